#include "screens/prestacao_venda.h"

#include "runtime/picture.h"
#include "runtime/rounding.h"
#include "runtime/text.h"
#include "sale/venda_interface.h"
#include "screens/janelas_venda.h"
#include "screens/pagamento_comum.h"
#include "screens/servicos_cliente.h"

namespace fvn {

namespace {

constexpr std::string_view kErro = "Erro";
constexpr std::string_view kAviso = "Aviso do sistema";

constexpr double kLimiteConsumidor = 10000.00;
constexpr double kLimiteNota = 200000.00;

}  // namespace

PrestacaoVendaPresenter::PrestacaoVendaPresenter(HostUi& ui, sale::VENDA_INTERFACE& venda, ServicosCliente& servicos,
                                                 JanelasVenda& janelas)
    : ui_(ui), venda_(venda), servicos_(servicos), janelas_(janelas) {}

int PrestacaoVendaPresenter::abre() {
  // The facade keeps no reader of the day-of-month flag: it is the chosen
  // condition's until the cashier changes it here.
  payment::PaymentCondition condicao;
  if (venda_.Get_Condicoes_Pagamento().CONDICOES.get_by_key(&payment::PaymentCondition::CODIGO, venda_.Get_Condicao(),
                                                            condicao) == 1) {
    campos_.mesmo_dia = condicao.DIA_MES == 1;
  }
  return le();
}

int PrestacaoVendaPresenter::le() {
  campos_.parcelar = venda_.Get_Total_Parcelar();
  campos_.entrada = venda_.Get_Valor_Entrada();
  campos_.parcelas = venda_.Get_Numero_Parcelas();
  campos_.dias = venda_.Get_Dias();
  campos_.primeira = venda_.Get_Primeira();
  campos_.data_primeira = venda_.Get_Data_Primeira();
  campos_.juros = venda_.Get_Juro();
  campos_.tipo_juro = venda_.Get_Tipo_Juro();
  campos_.quebra = venda_.Get_Quebra();
  campos_.acrescimo = venda_.Get_Acrescimo_Parcelas();
  campos_.total_parcelado = venda_.Get_Total_Parcelado();
  campos_.total_com_acrescimo = round_to(campos_.entrada + campos_.total_parcelado, 2);
  linhas_.clear();
  for (std::int32_t i = 1; i <= venda_.Get_Quantidade_Parcelas(); ++i) {
    payment::QUEUE_PARCELAS p;
    if (venda_.Get_Parcela(i, p) != 1) {
      ui_.message(falha_venda("Erro ao buscar parcelas.", venda_), kErro, MessageIcon::Error);
      return 0;
    }
    linhas_.push_back(
        {format_picture(p.NUMERO, "n03"), format_picture(p.VENCIMENTO, "d06b"), format_picture(p.VALOR, "n10.2")});
  }
  return 1;
}

// A parameter field: its setter, then the plan rebuilt and read back.
template <typename Setter>
int PrestacaoVendaPresenter::ajusta(std::string_view contexto, Setter setter) {
  int ok = setter();
  if (ok != 1) {
    ui_.message(falha_venda(contexto, venda_), kErro, MessageIcon::Error);
  } else if (venda_.Calcula_Parcelas() != 1) {
    ui_.message(falha_venda("Erro ao calcular parcelas.", venda_), kErro, MessageIcon::Error);
    ok = 0;
  }
  le();
  return ok;
}

int PrestacaoVendaPresenter::entrada(std::string_view texto) {
  const std::optional<double> v = le_valor(texto);
  if (!v) {
    ui_.message(kValorInvalido, kErro, MessageIcon::Error);
    return 0;
  }
  return ajusta("Erro ao setar valor de entrada.", [&] { return venda_.Set_Valor_Entrada(*v); });
}

int PrestacaoVendaPresenter::parcelas(std::string_view texto) {
  const std::optional<int> n = le_inteiro(texto);
  if (!n) {
    ui_.message("Número de parcelas inválido: informe um número inteiro.", kErro, MessageIcon::Error);
    return 0;
  }
  return ajusta("Erro ao setar número de parcelas.", [&] { return venda_.Set_Numero_Parcelas(*n); });
}

int PrestacaoVendaPresenter::dias(std::string_view texto) {
  const std::optional<int> n = le_inteiro(texto);
  if (!n) {
    ui_.message("Número de dias inválido: informe um número inteiro.", kErro, MessageIcon::Error);
    return 0;
  }
  return ajusta("Erro ao setar dias entre as parcelas.", [&] { return venda_.Set_Dias(*n); });
}

int PrestacaoVendaPresenter::mesmo_dia(bool marcado) {
  const int ok = ajusta("Erro ao setar mesmo dia.", [&] { return venda_.Set_Dia_Mes(marcado ? 1 : 0); });
  if (ok == 1) campos_.mesmo_dia = marcado;
  return ok;
}

int PrestacaoVendaPresenter::primeira(std::string_view texto) {
  const std::optional<int> n = le_inteiro(texto);
  if (!n) {
    ui_.message("Número de dias inválido: informe um número inteiro.", kErro, MessageIcon::Error);
    return 0;
  }
  return ajusta("Erro ao setar dias para primeira parcela.", [&] { return venda_.Set_Primeira(*n); });
}

int PrestacaoVendaPresenter::data_primeira(std::string_view texto) {
  const std::optional<Date> d = le_data(texto);
  if (!d) {
    ui_.message("Data inválida: informe dd/mm/aaaa.", kErro, MessageIcon::Error);
    return 0;
  }
  return ajusta("Erro ao setar data para a primeira parcela.", [&] { return venda_.Set_Data_Primeira(*d); });
}

int PrestacaoVendaPresenter::juros(std::string_view texto) {
  const std::optional<double> v = le_valor(texto);
  if (!v) {
    ui_.message(kValorInvalido, kErro, MessageIcon::Error);
    return 0;
  }
  return ajusta("Erro ao setar juros.", [&] { return venda_.Set_Juro(*v); });
}

int PrestacaoVendaPresenter::tipo_juro(std::int32_t tipo) {
  return ajusta("Erro ao setar tipo de juros.", [&] { return venda_.Set_Tipo_Juro(tipo); });
}

int PrestacaoVendaPresenter::quebra(std::int32_t quebra) {
  return ajusta("Erro ao setar tipo de quebra.", [&] { return venda_.Set_Quebra(quebra); });
}

int PrestacaoVendaPresenter::altera(std::int32_t posicao, std::string_view vencimento, std::string_view valor) {
  const std::optional<VencimentoValor> lido = le_vencimento_valor(ui_, vencimento, valor);
  if (!lido) return 0;
  const Date data = lido->vencimento;
  const double v = lido->valor;
  payment::QUEUE_PARCELAS atual;
  if (venda_.Get_Parcela(posicao, atual) != 1) {
    ui_.message(falha_venda("Erro ao buscar parcelas.", venda_), kErro, MessageIcon::Error);
    return 0;
  }
  int ok = 1;
  if (data != 0 && data != atual.VENCIMENTO && venda_.Set_Vencimento_Parcela(posicao, data) != 1) {
    ui_.message(falha_venda("Erro ao alterar o vencimento.", venda_), kErro, MessageIcon::Error);
    ok = 0;
  }
  if (ok == 1 && v != 0 && round_to(v, 2) != round_to(atual.VALOR, 2)) {
    if (venda_.Set_Valor_Parcela(posicao, v) != 1) {
      ui_.message(falha_venda("Erro ao alterar valor.", venda_), kErro, MessageIcon::Error);
      ok = 0;
    } else if (venda_.Recalcula_Parcelas_Seguintes(posicao) != 1) {
      ui_.message(falha_venda("Erro ao recalcular parcelas.", venda_), kErro, MessageIcon::Error);
      ok = 0;
    }
  }
  le();
  return ok;
}

int PrestacaoVendaPresenter::continuar() {
  if (fechada_) return 0;
  if (venda_.Checa_Valores() != 1) {
    ui_.message("Erro ao verificar valores.|Erro: " + venda_.Get_Error(), kErro, MessageIcon::Error);
    return 0;
  }
  sale::GRUPO_CLIENTE cliente;
  if (venda_.Get_Dados_Cliente(cliente) != 1) {
    ui_.message(falha_venda("Erro ao buscar informações do cliente na classe.", venda_), kErro, MessageIcon::Error);
    return 0;
  }
  le();
  const double total = campos_.total_com_acrescimo;
  if (total > kLimiteConsumidor && text::upper(text::trim(cliente.NOME)) == "CONSUMIDOR") {
    ui_.message(
        "Nota fiscal ao consumidor não deve possuir valor superior a R$ 10.000,00 para clientes do tipo "
        "CONSUMIDOR.",
        kAviso, MessageIcon::Exclamation);
    return 0;
  }
  if (total > kLimiteNota) {
    ui_.message("Nota fiscal ao consumidor não deve possuir valor superior a R$ 200.000,00.", kAviso,
                MessageIcon::Exclamation);
    return 0;
  }
  bool precisa_liberacao = false;
  std::string mensagem;
  const int limite_total = servicos_.VERIFICA_LIMITE_TOTAL_CLIENTE(cliente.CODIGO, campos_.total_parcelado, mensagem);
  if (limite_total < 0) {
    // A check the database cannot answer never lets the sale through.
    ui_.message(mensagem, kErro, MessageIcon::Error);
    return 0;
  }
  if (limite_total == 1) {
    if (ui_.message("Total parcelado ultrapassou o limite de crédito que o cliente possui!", kAviso,
                    MessageIcon::Question, "Continuar|Cancelar", 1) != 1) {
      return 0;
    }
    precisa_liberacao = true;
  }
  std::vector<ParcelaPlano> plano;
  for (std::int32_t i = 1; i <= venda_.Get_Quantidade_Parcelas(); ++i) {
    payment::QUEUE_PARCELAS p;
    if (venda_.Get_Parcela(i, p) == 1) plano.push_back({p.VENCIMENTO, p.VALOR});
  }
  std::vector<MesAcimaLimite> meses;
  const int limite_mensal = servicos_.VERIFICA_LIMITE_MENSAL_CLIENTE(cliente.CODIGO, plano, meses, mensagem);
  if (limite_mensal < 0) {
    ui_.message(mensagem, kErro, MessageIcon::Error);
    return 0;
  }
  if (limite_mensal == 1) {
    ui_.message(mensagem_limite_mensal(meses), kAviso, MessageIcon::Exclamation);
    precisa_liberacao = true;
  }
  if (precisa_liberacao && libera() != 1) return 0;
  // The facade's Calcula_Parcelas already put the plan's interest on the
  // sale after every rebuild; manual edits do not change it.
  fechada_ = true;
  resultado_ = 1;
  return 1;
}

// A supervisor releases a sale beyond the customer's credit limits.
int PrestacaoVendaPresenter::libera() {
  UserAccount supervisor;
  sale::GRUPO_DADOS_LIBERACAO liberacao;
  constexpr std::string_view kMotivo = "É necessária a liberação para prosseguir com fechamento desta transação.";
  if (janelas_.AUTENTICACAO(Direito::Autenticacao, kMotivo, "Limite de crédito do cliente ultrapassado.", supervisor,
                            liberacao) != 1) {
    return 0;
  }
  if (!tem_direito(supervisor, Direito::VendaPrazo)) {
    ui_.message("Usuário não possui permissão para liberar vendas com valor acima do limite de crédito do cliente.",
                kAviso, MessageIcon::Exclamation);
    return 0;
  }
  liberacao.TIPO_LIBERACAO = tipo_liberacao(Direito::VendaPrazo);
  if (venda_.Seta_Dados_Liberacao_Venda_Prazo(liberacao) != 1) {
    ui_.message(falha_venda("Erro ao gravar dados da liberação.", venda_), kErro, MessageIcon::Error);
    return 0;
  }
  return 1;
}

int PrestacaoVendaPresenter::voltar() {
  fechada_ = true;
  resultado_ = 0;
  return 0;
}

std::string mensagem_limite_mensal(const std::vector<MesAcimaLimite>& meses) {
  std::string texto = "O limite de crédito mensal do cliente foi ultrapassado nos seguintes meses:";
  for (const MesAcimaLimite& m : meses) {
    texto += "|     Mês/Ano: " + format_picture(m.mes, "N02") + "-" + format_picture(m.ano, "n04") +
             "|Valor Mensal: " + format_picture(m.valor, "n10`2");
  }
  return texto;
}

}  // namespace fvn
