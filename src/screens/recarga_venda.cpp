#include "screens/recarga_venda.h"

#include <cmath>

#include "data/passthrough_table.h"
#include "data/record_columns.h"
#include "data/sql_values.h"
#include "runtime/picture.h"
#include "runtime/rounding.h"
#include "screens/browses.h"
#include "screens/entrada_item.h"
#include "screens/gravacao_venda_linhas.h"
#include "screens/partes_venda.h"

namespace fvn {

namespace {

constexpr std::string_view kAviso = "Aviso do Sistema";
constexpr std::string_view kErro = "Erro!";

// One line of the old sale to sell again.
struct LinhaAntiga {
  std::int32_t linha = 0;
  std::int32_t produto = 0;
  double quantidade = 0;
};

// The old sale's header row: the header, its volumes (their quantity as the
// text the column holds) and the company.
struct LeituraCabecalho {
  CabecalhoRecarga c;
  sale::GRUPO_VOLUME volume;
  std::string quantidade_volume;
  std::int32_t empresa = 0;
};

const RecordColumns<LeituraCabecalho>& colunas_cabecalho() {
  using L = LeituraCabecalho;
  using C = CabecalhoRecarga;
  using V = sale::GRUPO_VOLUME;
  static const RecordColumns<LeituraCabecalho> colunas = {
      {"cclisaidas", &L::c, &C::cliente},
      {"coalesce(cvensaidas, 0)", &L::c, &C::vendedor},
      {"coalesce(ctrasaidas, 0)", &L::c, &C::transportadora},
      {"cempresasaidas", &L::empresa},
      {"i_asa_codigo_tna", &L::c, &C::operacao},
      {"cvalorfrete", &L::c, &C::frete},
      {"n_asa_valor_seguro", &L::c, &C::seguro},
      {"cacesosaidas", &L::c, &C::despesas},
      {"cdessaidas", &L::c, &C::desconto},
      {"i_asa_codigo_tab_preco", &L::c, &C::tabela_preco},
      {"s_asa_chave_nfe", &L::c, &C::chave, 60},
      {"cnotsaidas", &L::c, &C::numero},
      {"cacrsaidas", &L::c, &C::acrescimo},
      {"coalesce(cpliqvolsaidas, 0)", &L::volume, &V::PESO_LIQUIDO_VOLUME},
      {"coalesce(cpbrusaidas, 0)", &L::volume, &V::PESO_BRUTO_VOLUME},
      {"coalesce(cvqtdsaidas, '')", &L::quantidade_volume, 15},
      {"coalesce(cvespsaidas, '')", &L::volume, &V::ESPECIE_VOLUME, 50},
      {"coalesce(cvmarsaidas, '')", &L::volume, &V::MARCA_VOLUME, 50},
      {"coalesce(cvnumsaidas, '')", &L::volume, &V::NUMERO_VOLUME, 15},
      {"ctfresaidas", &L::c, &C::tipo_frete},
      {"i_asa_finalidade_venda", &L::c, &C::finalidade},
      {"s_asa_obs_digitadas", &L::c, &C::observacoes, 5000},
      {"ctotsaidas", &L::c, &C::total},
      {"cfpgsaidas", &L::c, &C::condicao},
      {"ctipformapagto", &L::c, &C::tipo_condicao},
      {"coalesce(i_asa_codigo_eve, 0)", &L::c, &C::evento},
      {"coalesce(i_asa_cod_parceria, 0)", &L::c, &C::parceria},
      {"csrisaidas", &L::c, &C::emissor},
  };
  return colunas;
}

// An installment of the old sale, with the sale's terms on each row.
struct ParcelaAntiga {
  std::int32_t numero = 0;
  Date vencimento = 0;
  double valor = 0;
  double entrada = 0;
  std::int32_t dias = 0;
  std::int32_t primeira = 0;
  std::int32_t dias_distintos = 0;  // distinct days of the month the installments fall on
};

const RecordColumns<ParcelaAntiga>& colunas_parcela() {
  static const RecordColumns<ParcelaAntiga> colunas = {
      {"cnprdupli", &ParcelaAntiga::numero},
      RecordColumn<ParcelaAntiga>::day("cvendupli", &ParcelaAntiga::vencimento),
      {"cvprdupli", &ParcelaAntiga::valor},
      {"centsaidas", &ParcelaAntiga::entrada},
      {"i_tfor_dias_entre_prestacoes", &ParcelaAntiga::dias},
      {"i_tfor_ndias_primeiro_vencto", &ParcelaAntiga::primeira},
      {"(select count(distinct to_char(cvendupli,'DD')) from asduplicatas where cisadupli = cidesaidas)::integer",
       &ParcelaAntiga::dias_distintos},
  };
  return colunas;
}

// Keeps the loading flag of the parties set while the sale loads: no
// customer discount is offered for a sale read back.
class Carregando {
 public:
  explicit Carregando(PartesVenda& partes) : partes_(partes) { partes_.set_carregando(true); }
  ~Carregando() { partes_.set_carregando(false); }
  Carregando(const Carregando&) = delete;
  Carregando& operator=(const Carregando&) = delete;

 private:
  PartesVenda& partes_;
};

}  // namespace

RecargaVenda::RecargaVenda(HostUi& ui, std::string connection, const ModuleValues& valores, sale::CLASSE_VENDA& venda,
                           PartesVenda& partes, EntradaItem& entrada, const ItensEntrega& itens)
    : ui_(ui),
      connection_(std::move(connection)),
      valores_(valores),
      venda_(venda),
      partes_(partes),
      entrada_(entrada),
      itens_(itens) {}

int RecargaVenda::falha_facade(std::string_view contexto) {
  ui_.message(std::string{contexto} + venda_.display(), kErro, MessageIcon::Error);
  return 0;
}

int RecargaVenda::falha_sql(std::string_view contexto, const PassthroughTable& t) {
  ui_.message(t.error_text(contexto), kErro, MessageIcon::Error);
  return 0;
}

std::int32_t RecargaVenda::quebra() const { return valores_.tipo_quebra(); }

int RecargaVenda::aplica_cliente(std::int32_t cliente) {
  if (ui_.message({.text = "Deseja alterar o cliente?",
                   .title = "Aviso do sistema",
                   .icon = MessageIcon::Question,
                   .buttons = "&Sim|&Não",
                   .default_button = 2}) == 1) {
    std::optional<std::int32_t> escolhido;
    if (escolhe_cliente_) {
      escolhido = escolhe_cliente_();
    } else {
      PassthroughTable tabela("BROWSE", connection_);
      const auto escolha = pick_browse(ui_, tabela, browse_clientes());
      if (escolha) escolhido = como_inteiro(*escolha);
    }
    // Nothing chosen keeps the old sale's customer.
    if (escolhido && *escolhido != 0) cliente = *escolhido;
  }
  return partes_.cliente(cliente);
}

int RecargaVenda::vende_itens(std::int32_t venda) {
  std::vector<LinhaAntiga> linhas;
  if (itens_.venda == venda && itens_.algum_marcado()) {
    // The cashier chose lines: the marked ones, with their quantities to deliver.
    for (const ItemEntrega& item : itens_.itens) {
      if (item.marcado) linhas.push_back({item.linha, item.produto, item.entrega});
    }
  } else {
    PassthroughTable t("TABELA_ITENS", connection_);
    static const RecordColumns<LinhaAntiga> colunas = {
        {"cidehistorico", &LinhaAntiga::linha},
        {"cprohistorico", &LinhaAntiga::produto},
        {"csaihisotorico", &LinhaAntiga::quantidade},
    };
    if (t.open() != 1 ||
        select_records(t, colunas,
                       " from ahistorico where cisahistorico = " + sql_integer(venda) + " order by cidehistorico",
                       linhas) != 1) {
      return falha_sql("Erro ao consultar itens da nota.|", t);
    }
  }
  if (linhas.empty()) {
    ui_.message("A nota fiscal rejeitada " + std::to_string(venda) + " não tem itens para vender novamente.", kAviso,
                MessageIcon::Exclamation);
    return 0;
  }
  // Each refusal was shown by the item entry.
  for (const LinhaAntiga& l : linhas) {
    if (entrada_.vende_produto(l.produto, l.quantidade) != 1) return 0;
  }
  return 1;
}

int RecargaVenda::Carrega_Venda(std::int32_t venda) {
  cabecalho_ = {};
  Carregando carregando(partes_);
  LeituraCabecalho lido;
  CabecalhoRecarga& c = lido.c;
  sale::GRUPO_VOLUME& volume = lido.volume;
  c.venda = venda;

  // 1: the items' gross total.
  PassthroughTable t("TABELA_RECARGA", connection_);
  t.bind_real(c.total_itens);
  if (t.open() != 1 ||
      t.execute("select sum(tot_itens) from ( select sum(n_ahi_valor_tot_item * csaihisotorico) as tot_itens from "
                "ahistorico where cisahistorico = " +
                sql_integer(venda) + " group by n_ahi_valor_tot_item, csaihisotorico) as x") != 1) {
    return falha_sql("Erro ao consultar informações da nota.|", t);
  }
  if (t.next() != 1) return falha_sql("Erro ao ler dados da nota.|", t);

  // 2: the header, only while the sale is still one to reload.
  if (select_record(t, colunas_cabecalho(), lido,
                    " from asaidas inner join tformapagto on ccodformapgto = cfpgsaidas where cidesaidas = " +
                        sql_integer(venda) + " and " + std::string{kNotasRejeitadas}) != 1) {
    return falha_sql("Erro ao consultar informações da nota.|", t);
  }
  if (t.next() != 1) {
    if (t.runtime_error() != 33) return falha_sql("Erro ao ler dados da nota.|", t);
    ui_.message(
        "A nota fiscal rejeitada " + std::to_string(venda) + " já foi recarregada ou resolvida em outra estação.",
        kAviso, MessageIcon::Exclamation);
    return 0;
  }
  volume.QTDE_VOLUME = como_inteiro(lido.quantidade_volume).value_or(0);

  // 3: the header through the screen's own routines, then the items. The
  // old sale's series first: its number is only handed over within it.
  if (partes_.emissor(c.emissor) != 1) return 0;
  if (partes_.operacao(c.operacao) != 1) {
    ui_.message("Erro ao buscar dados da operação da nota de venda futura.|Erro: operação " +
                    std::to_string(c.operacao) + " recusada.",
                kErro, MessageIcon::Error);
    return 0;
  }
  if (partes_.tipo_frete(c.tipo_frete) != 1) return 0;
  if (aplica_cliente(c.cliente) != 1) return 0;
  c.cliente = partes_.codigo_cliente();
  c.nome_cliente = partes_.nome_cliente();
  if (c.evento != 0 && partes_.evento(c.evento) != 1) return 0;
  if (c.parceria != 0 && partes_.parceiro(c.parceria) != 1) return 0;
  if (venda_.Set_Finalidade_Operacao(c.finalidade) != 1) return falha_facade("Erro ao setar finalidade da operação.|");
  if (c.vendedor != 0 && partes_.vendedor(c.vendedor) != 1) return 0;
  if (c.transportadora != 0 && partes_.transportadora(c.transportadora) != 1) return 0;
  // The note is issued again today: its issue date is the new sale's.
  c.emissao = today();
  if (venda_.Set_Data_Emissao(c.emissao) != 1) return falha_facade("Erro ao setar data de emissão.|");
  if (entrada_.escolhe_tabela(c.tabela_preco) != 1) return 0;
  if (vende_itens(venda) != 1) return 0;

  // The sale-level values follow the part of the old items sold again, so
  // that a partial delivery never carries the whole discount.
  sale::TOTAIS_VENDA totais;
  if (venda_.Calcula_Total_Venda(totais) != 1) return falha_facade("Erro em Calcula_Total_Venda|");
  const double parte = c.total_itens > 0 ? std::min(1.0, venda_.Get_Total_Bruto() / c.total_itens) : 1.0;
  const auto proporcional = [&](double valor) { return parte >= 1.0 ? valor : round_to(valor * parte, 2); };
  if (partes_.volumes(volume) != 1) return 0;
  if (venda_.Set_Desconto_Venda(proporcional(c.desconto)) != 1) return falha_facade("Erro ao setar desconto.|");
  if (venda_.Set_Desp_Acessorias_Venda(proporcional(c.despesas)) != 1) {
    return falha_facade("Erro ao setar despesas acessórias.|");
  }
  if (venda_.Set_Seguro_Venda(proporcional(c.seguro)) != 1) return falha_facade("Erro ao setar seguro.|");
  if (venda_.Set_Frete_Venda(proporcional(c.frete)) != 1) return falha_facade("Erro ao setar frete.|");
  if (venda_.Set_Quebra(quebra()) != 1) return falha_facade("Erro ao setar tipo de quebra padrão.|");
  if (venda_.Set_Condicao_Pagamento(c.condicao) != 1) {
    return falha_facade("Erro ao setar condição de pagamento na venda.|");
  }
  // A credit condition: its interest and installments (a cash one has none).
  payment::PaymentCondition condicao;
  venda_.Get_Condicoes_Pagamento().CONDICOES.get_by_key(&payment::PaymentCondition::CODIGO, c.condicao, condicao);
  if (condicao.TIPO == 2) {
    if (venda_.Set_Juro(condicao.JURO) != 1) {
      ui_.message("Erro ao setar o juro.|Erro: " + venda_.ERROR + "|Função: " + venda_.ERROR_FUNCTION, kErro,
                  MessageIcon::Error);
      return 0;
    }
    if (venda_.Calcula_Parcelas() != 1) return falha_facade("Erro ao calcular parcelas.|");
  }

  // 4: loaded.
  cabecalho_ = c;
  ui_.message(std::string{kSucesso} + "\r\nNº da nota: " + std::to_string(c.numero) + "\r\nValor: " +
                  format_picture(venda_.Get_Total_Liquido(), "n14.2") + "\r\nCliente: " + c.nome_cliente,
              kAviso, MessageIcon::Information);
  return 1;
}

int RecargaVenda::Verifica_Disponivel() {
  if (cabecalho_.venda == 0) return 1;
  PassthroughTable t("TABELA_RECARGA", connection_);
  if (t.open() != 1 || t.execute("select cidesaidas from asaidas where cidesaidas = " + sql_integer(cabecalho_.venda) +
                                 " and " + std::string{kNotasRejeitadas}) != 1) {
    return falha_sql("Erro ao consultar nota fiscal rejeitada.|", t);
  }
  if (t.next() == 1) return 1;
  ui_.message("A nota fiscal rejeitada " + std::to_string(cabecalho_.venda) +
                  " já foi recarregada ou resolvida em outra estação.|A venda não pode ser gravada.",
              kAviso, MessageIcon::Exclamation);
  return 0;
}

int RecargaVenda::Assume_Prestacoes() {
  if (cabecalho_.venda == 0) return 1;
  const std::string antiga = sql_integer(cabecalho_.venda);
  std::vector<ParcelaAntiga> parcelas;
  PassthroughTable t("TABELA_PRESTACOES", connection_);
  if (t.open() != 1 ||
      select_records(t, colunas_parcela(),
                     " from asduplicatas inner join asaidas on cidesaidas = cisadupli inner join tformapagto on "
                     "ccodformapgto = cfpgsaidas where cisadupli = " +
                         antiga + " order by cnprdupli",
                     parcelas) != 1) {
    return falha_sql("Erro ao consultar tabela asduplicatas.|Erro: ", t);
  }
  if (parcelas.empty()) return 1;
  // The sale's terms, the same on every row.
  const double entrada = parcelas.front().entrada;
  const std::int32_t dias = parcelas.front().dias;
  const std::int32_t primeira = parcelas.front().primeira;
  const std::int32_t dias_distintos = parcelas.front().dias_distintos;

  // The old plan is taken over only when it still pays this sale: the same
  // total (a partial delivery or new prices keep the plan just computed).
  double soma = entrada;
  for (const ParcelaAntiga& a : parcelas) soma += a.valor;
  if (std::fabs(round_to(soma, 2) - round_to(venda_.Get_Total_Liquido(), 2)) >= 0.005) {
    ui_.message("As parcelas da nota rejeitada não foram mantidas: o total da venda mudou.|Confira as parcelas.",
                kAviso, MessageIcon::Exclamation);
    return 1;
  }

  const auto passo = [&](int resultado, std::string_view contexto) {
    if (resultado == 1) return true;
    ui_.message(std::string{contexto} + venda_.ERROR + "|Função: " + venda_.ERROR_FUNCTION, kErro, MessageIcon::Error);
    return false;
  };
  const auto count = static_cast<std::int32_t>(parcelas.size());
  // GLO:I_TEM_TIPO_JUROS unset keeps the condition's kind.
  const std::int32_t tipo_juro = valores_.I_TEM_TIPO_JUROS > 0 ? valores_.I_TEM_TIPO_JUROS : venda_.Get_Tipo_Juro();
  if (!passo(venda_.Zera_Prestacoes(), "Erro ao zerar as prestações. |Erro: ") ||
      !passo(venda_.Set_Total_Parcelar(round_to(soma - entrada, 2)), "Erro ao setar valor total a parcelar. |Erro: ") ||
      !passo(venda_.Set_Juros_Venda(0), "Erro ao setar o acréscimo/juros da venda. |Erro: ") ||
      !passo(venda_.Set_Numero_Parcelas(count), "Erro ao setar o número de parcelas. |Erro: ") ||
      !passo(venda_.Set_Valor_Entrada(entrada), "Erro ao setar valor da entrada. |Erro: ") ||
      !passo(venda_.Set_Dias(dias), "Erro ao setar o número de dia entre as prestações. |Erro: ") ||
      !passo(venda_.Set_Primeira(primeira), "Erro ao setar o número de dias para a primeira prestação. |Erro: ") ||
      !passo(venda_.Set_Juro(0), "Erro ao setar o juro. |Erro: ") ||
      !passo(venda_.Set_Tipo_Juro(tipo_juro), "Erro ao setar o tipo de juro. |Erro: ") ||
      !passo(venda_.Set_Dia_Mes(dias_distintos == 1 ? 1 : 0),
             "Erro ao setar se as prestações serão para o mesmo dia dia do mês. |Erro: ") ||
      !passo(venda_.Set_Data_Primeira(parcelas.front().vencimento),
             "Erro ao setar data da primeira parcela. |Erro: ") ||
      !passo(venda_.Set_Data_Emissao(today()), "Erro ao setar data de emissão. |Erro: ") ||
      !passo(venda_.Set_Quebra(quebra()), "Erro ao setar quebra da prestação. |Erro: ") ||
      !passo(venda_.Calcula_Parcelas(), "Erro ao calcular as parcelas. |Erro: ") ||
      !passo(venda_.Limpa_Prestacoes(), "Erro ao limpar as prestações. |Erro: ")) {
    return 0;
  }
  for (const ParcelaAntiga& a : parcelas) {
    payment::QUEUE_PARCELAS parcela;
    parcela.NUMERO = a.numero;
    parcela.VENCIMENTO = a.vencimento;
    parcela.VALOR = a.valor;
    if (venda_.Adiciona_Prestacao(parcela) != 1) {
      ui_.message("Erro ao adicionar prestação da Nota.| " + venda_.display(), kErro, MessageIcon::Error);
      return 0;
    }
  }
  return 1;
}

}  // namespace fvn
