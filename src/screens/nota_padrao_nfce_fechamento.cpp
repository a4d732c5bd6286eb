// The sale screen's closings: F5 (condition, cash or credit branch, payment
// forms) and Alt+F5 (fast cash payment with change), and the recording and
// issuing through GRAVACAO_VENDA that `fvn sell` shares.
#include <algorithm>
#include <optional>

#include "runtime/picture.h"
#include "screens/desconto_venda.h"
#include "screens/entrada_item.h"
#include "screens/importacao_pedidos.h"
#include "screens/nota_padrao_nfce.h"
#include "screens/partes_venda.h"
#include "service/nfce_processo.h"

namespace fvn {

namespace {

constexpr std::string_view kAviso = "Aviso do Sistema";

// The condition `codigo` of the facade's list; none when it is not there.
std::optional<payment::PaymentCondition> condicao_da_venda(sale::CLASSE_VENDA& venda, std::int32_t codigo) {
  payment::PaymentCondition condicao;
  if (!venda.Get_Condicoes_Pagamento().CONDICOES.get_by_key(&payment::PaymentCondition::CODIGO, codigo, condicao)) {
    return std::nullopt;
  }
  return condicao;
}

}  // namespace

CONTEXTO_VENDA contexto_estacao(const ModuleValues& valores, std::string_view url) {
  CONTEXTO_VENDA c;
  c.conexao = valores.CNXSTR;
  c.empresa = valores.COD_EMPR;
  c.cnpj = valores.CNPJ;
  c.operador = valores.OPERADOR;
  c.usuario = valores.USUARIO;
  c.troca_cliente_carga_pedido = valores.I_PAR_TROCA_CLIENTE_CARGA_PED;
  c.grupo_edoc = valores.S_TEM_GRUPO_EDOC;
  c.login_edoc = valores.S_TEM_LOGIN_EDOC;
  c.senha_edoc = valores.S_TEM_SENHA_EDOC;
  c.url_edoc = valores.S_TEM_URL_EDOC.empty() ? std::string{url} : valores.S_TEM_URL_EDOC;
  c.usa_http = valores.I_TEM_USA_HTTP;
  c.porta_edoc = valores.I_TEM_PORTA_EDOC;
  return c;
}

CONTEXTO_VENDA contexto_fechamento(const CONTEXTO_VENDA& estacao, sale::CLASSE_VENDA& venda,
                                   const TelaFechamento& tela) {
  CONTEXTO_VENDA c = estacao;
  if (venda.EMISSOR.CODIGO != 0) c.emissor = venda.EMISSOR.CODIGO;
  c.tipo_emissor = venda.EMISSOR.TIPO;
  c.condicao_pagamento = venda.CONDICAO;
  // A credit condition records "P", so does a plan of installments set by
  // hand; everything else is a cash sale.
  const auto condicao = condicao_da_venda(venda, venda.CONDICAO);
  const bool prazo = condicao && condicao->TIPO == 2;
  c.tipo_condicao = prazo || venda.PRESTACAO->Get_Quantidade_Parcelas() > 0 ? 'P' : 'V';
  c.tabela_preco = tela.tabela_preco;
  c.observacoes = tela.observacoes;
  c.codigo_exportacao = tela.codigo_exportacao;
  c.mensagem_nota = tela.mensagem_nota;
  c.resumido = tela.resumido;
  c.cpf_digitado = tela.consumidor.cpf;
  c.cnpj_digitado = tela.consumidor.cnpj;
  c.nome_digitado = tela.consumidor.nome;
  return c;
}

Fechamento fecha_venda(HostUi& ui, sale::CLASSE_VENDA& venda, NFCE_PROCESSO& processo, const CONTEXTO_VENDA& contexto) {
  GRAVACAO_VENDA gravacao(ui, venda, processo);
  gravacao.Fecha_Venda(contexto);
  Fechamento f;
  f.venda = gravacao.venda();
  f.numero = gravacao.numero();
  f.resultado = gravacao.resultado();
  f.contingencia = f.resultado == ResultadoEmissao::Emitida && contexto.tipo_emissor != 2 &&
                   processo.authorisation().contingency != 0;
  if (f.contingencia) {
    ui.message("A nota " + std::to_string(f.numero) +
                   " foi emitida em contingência.|Ela será concluída na verificação das notas pendentes; a próxima "
                   "venda pode ser feita normalmente.",
               kAviso, MessageIcon::Information);
  }
  return f;
}

// The type of the sale's condition in the facade's list.
std::optional<std::int32_t> NotaPadraoNfcePresenter::tipo_condicao() {
  const auto condicao = condicao_da_venda(venda_, venda_.CONDICAO);
  if (!condicao) return std::nullopt;
  return condicao->TIPO;
}

// A dialog was left: back to the sale as it was before the payment began.
int NotaPadraoNfcePresenter::volta_venda(int resultado) {
  estado_ = EstadoTela::EmAndamento;
  refresca();
  return resultado;
}

int NotaPadraoNfcePresenter::pagamento() {
  if (totais().itens == 0) {
    ui_.message("Nenhum item vendido.|Venda ao menos um item antes do pagamento.", kAviso, MessageIcon::Exclamation);
    return 0;
  }
  if (!recarga_disponivel()) return 0;
  estado_ = EstadoTela::Pagando;
  if (!limites_consumidor()) return volta_venda(0);
  // The installments of a credit condition (simulated as it is chosen) and
  // of a form paid in installments split their cents by the company's break
  // mode.
  if (venda_.Set_Quebra(valores_.tipo_quebra()) != 1) {
    falha_facade("Erro ao setar tipo de quebra padrão.|");
    return volta_venda(0);
  }
  if (janelas_.CONDICAO_PAGTO(venda_, entrada_->tabela()) != 1) return volta_venda(0);
  const std::optional<std::int32_t> tipo = tipo_condicao();
  if (tipo == 1) {
    if (partes_->verifica_credito(false) != 1) return volta_venda(0);
    if (partes_->verifica_limite_credito(venda_.Get_Total_Liquido()) != 1) return volta_venda(0);
    if (venda_.Get_Total_Liquido() <= 0) {
      ui_.message("TRANSAÇÃO ISENTA DE PAGAMENTO!", kAviso, MessageIcon::Information);
      return grava();
    }
    if (!formas_pagamento()) return volta_venda(0);
    return grava();
  }
  if (tipo == 2) return a_prazo();
  ui_.message("Tipo da condição de pagamento inválido!", kAviso, MessageIcon::Exclamation);
  return volta_venda(0);
}

int NotaPadraoNfcePresenter::a_prazo() {
  if (!partes_->compra_prazo()) {
    ui_.message("O cliente " + std::to_string(venda_.CLIENTE.CODIGO) + " - " + venda_.CLIENTE.NOME +
                    " não possui permissão para efetuar compras a prazo.",
                kAviso, MessageIcon::Exclamation);
    return volta_venda(0);
  }
  if (importacao_->avisa_sinais() != 1) return volta_venda(0);
  // The plan's interest becomes the sale's when the installments dialog
  // confirms; leaving any later dialog takes it back.
  const double juros_antes = venda_.Get_Juros_Venda();
  const auto desiste = [&] {
    venda_.Set_Juros_Venda(juros_antes);
    return volta_venda(0);
  };
  const auto condicao = condicao_da_venda(venda_, venda_.CONDICAO);
  if (venda_.Set_Juro(condicao ? condicao->JURO : 0) != 1) {
    ui_.message("Erro ao setar o juro.|Erro: " + venda_.ERROR + "|Função: " + venda_.ERROR_FUNCTION, "Erro!",
                MessageIcon::Error);
    return desiste();
  }
  if (venda_.Calcula_Parcelas() != 1) {
    falha_facade("Erro ao calcular parcelas.|");
    return desiste();
  }
  if (assume_prestacoes() != 1) return desiste();
  if (partes_->verifica_credito(true) != 1) return desiste();
  if (partes_->verifica_limite_credito(venda_.Get_Total_Liquido()) != 1) return desiste();
  if (venda_.Get_Total_Liquido() <= 0) {
    ui_.message("TRANSAÇÃO ISENTA DE PAGAMENTO!", kAviso, MessageIcon::Information);
    return grava();
  }
  if (janelas_.PRESTACAO_VENDA(venda_) != 1) return desiste();
  if (!formas_pagamento()) return desiste();
  return grava();
}

int NotaPadraoNfcePresenter::pagamento_rapido() {
  if (totais().itens == 0) {
    ui_.message("Nenhum item vendido.|Venda ao menos um item antes do pagamento.", kAviso, MessageIcon::Exclamation);
    return 0;
  }
  if (!pagamento_rapido_permitido() || !recarga_disponivel()) return 0;
  estado_ = EstadoTela::Pagando;
  if (!limites_consumidor()) return volta_venda(0);
  const auto condicao = condicao_da_venda(venda_, 1);
  if (!condicao || condicao->TIPO != 1) {
    ui_.message("Condição de pagamento código 1 deve ser a vista para tecla de pagamento rápido.", kAviso,
                MessageIcon::Exclamation);
    return volta_venda(0);
  }
  if (venda_.Set_Condicao_Pagamento(1) != 1) {
    falha_facade("Erro ao setar condição de pagamento na venda.|");
    return volta_venda(0);
  }
  if (partes_->verifica_credito(false) != 1) return volta_venda(0);
  if (partes_->verifica_limite_credito(venda_.Get_Total_Liquido()) != 1) return volta_venda(0);
  const double total = venda_.Get_Total_Liquido();
  if (total <= 0) {
    ui_.message("TRANSAÇÃO ISENTA DE PAGAMENTO!", kAviso, MessageIcon::Information);
    return grava();
  }
  if (valores_.GF_AVI_DIN == 0) {
    ui_.message("Meio de pagamento para tecla de pagamento rápido não definido.", kAviso, MessageIcon::Exclamation);
    return volta_venda(0);
  }
  double pago = total;
  if (janelas_.TELA_TROCO(total, pago) != 1) return volta_venda(0);
  // The amount handed over is paid with the cash form; the ledger keeps the
  // change it gives back.
  if (venda_.Paga(valores_.GF_AVI_DIN, std::max(pago, total), 0, {}) != 1) {
    falha_facade("Erro ao efetuar pagamento.|", "Erro");
    return volta_venda(0);
  }
  const int r = grava();
  if (r != 1 && venda_.Get_Quantidade_Pagamentos() > 0) {
    // Recording failed: the payment made here goes, so the next attempt
    // starts from the sale as the cashier left it.
    venda_.Estorna_Pagamento(venda_.Get_Quantidade_Pagamentos());
  }
  return r;
}

// Records and issues the sale. A recorded sale (issued, kept in doubt, or
// refused and reversed) starts the next sale; a recording that failed keeps
// the sale on screen for another attempt.
int NotaPadraoNfcePresenter::grava() {
  estado_ = EstadoTela::Pagando;
  tela_.tabela_preco = entrada_->tabela();
  tela_.observacoes = campos_.observacoes_nota;
  tela_.codigo_exportacao = campos_.exportacao;
  tela_.mensagem_nota = campos_.mensagem_nota;
  tela_.resumido = campos_.resumido;
  fechamento_ = fecha_venda(ui_, venda_, processo_, contexto_gravacao());
  if (!fechamento_.gravada()) return volta_venda(0);
  nova_venda();
  return fechamento_.resultado == ResultadoEmissao::Emitida ? 1 : 0;
}

}  // namespace fvn
