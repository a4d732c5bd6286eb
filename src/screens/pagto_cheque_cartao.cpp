#include "screens/pagto_cheque_cartao.h"

#include <utility>

#include "runtime/picture.h"
#include "sale/venda_interface.h"
#include "screens/pagamento_comum.h"

namespace fvn {

namespace {

constexpr std::string_view kErro = "Erro";

}  // namespace

PagtoChequeCartaoPresenter::PagtoChequeCartaoPresenter(HostUi& ui, sale::VENDA_INTERFACE& venda,
                                                       payment::GRUPO_FORMAS_PAGAMENTO forma)
    : ui_(ui),
      venda_(venda),
      forma_(std::move(forma)),
      numero_parcelas_(forma_.VEZES > 0 ? forma_.VEZES : 1),
      dias_(forma_.DIAS) {}

int PagtoChequeCartaoPresenter::abre() { return recalcula("Erro ao calcular parcelas do pagamento."); }

// The installments of the last payment, as the ledger holds them.
int PagtoChequeCartaoPresenter::le_plano() {
  linhas_.clear();
  payment::Payment pagamento;
  if (venda_.Get_Pagamento(venda_.Get_Quantidade_Pagamentos(), pagamento) != 1 || !pagamento.PARCELAS) {
    ui_.message(falha_venda("Erro ao buscar o pagamento efetuado.", venda_), kErro, MessageIcon::Error);
    return 0;
  }
  valor_ = pagamento.VALOR;
  const payment::Parcelas& plano = *pagamento.PARCELAS;
  numero_parcelas_ = plano.Get_Parcelas();
  dias_ = plano.Get_Dias();
  for (const payment::QUEUE_PARCELAS& p : plano.PARCELAS) {
    linhas_.push_back({p.NUMERO, format_picture(p.VENCIMENTO, "@d06"), mostra_valor(p.VALOR), p.DOCUMENTO, p.CONTA});
  }
  return 1;
}

int PagtoChequeCartaoPresenter::recalcula(std::string_view contexto) {
  if (venda_.Calcula_Parcelas_Pagamento() != 1) {
    ui_.message(falha_venda(contexto, venda_), kErro, MessageIcon::Error);
    le_plano();
    return 0;
  }
  return le_plano();
}

int PagtoChequeCartaoPresenter::parcelas(std::string_view texto) {
  const std::optional<int> n = le_inteiro(texto);
  if (!n) {
    ui_.message("Número de parcelas inválido: informe um número inteiro.", kErro, MessageIcon::Error);
    return 0;
  }
  if (venda_.Set_Numero_Parcelas_Pagamento(*n) != 1) {
    ui_.message(falha_venda("Erro ao setar número de parcelas.", venda_), kErro, MessageIcon::Error);
    return 0;
  }
  return recalcula("Erro ao calcular parcelas.");
}

int PagtoChequeCartaoPresenter::dias(std::string_view texto) {
  const std::optional<int> n = le_inteiro(texto);
  if (!n) {
    ui_.message("Número de dias inválido: informe um número inteiro.", kErro, MessageIcon::Error);
    return 0;
  }
  if (venda_.Set_Dias_Parcelas_Pagamento(*n) != 1) {
    ui_.message(falha_venda("Erro ao setar dias entre as parcelas.", venda_), kErro, MessageIcon::Error);
    return 0;
  }
  return recalcula("Erro ao calcular parcelas.");
}

int PagtoChequeCartaoPresenter::altera(std::int32_t posicao, std::string_view vencimento, std::string_view valor,
                                       std::string_view documento, std::string_view conta) {
  const std::optional<VencimentoValor> lido = le_vencimento_valor(ui_, vencimento, valor);
  if (!lido) return 0;
  const Date data = lido->vencimento;
  const double v = lido->valor;
  const auto falhou = [&](std::string_view contexto) {
    ui_.message(falha_venda(contexto, venda_), kErro, MessageIcon::Error);
    le_plano();
    return 0;
  };
  if (data != 0 && venda_.Set_Vencimento_Parcela_Pagamento(posicao, data) != 1) {
    return falhou("Erro ao alterar o vencimento.");
  }
  if (v != 0 && venda_.Set_Valor_Parcela_Pagamento(posicao, v) != 1) return falhou("Erro ao alterar valor.");
  if (!documento.empty() && venda_.Set_Documento_Parcela_Pagamento(posicao, documento) != 1) {
    return falhou("Erro ao alterar o documento.");
  }
  if (!conta.empty() && venda_.Set_Conta_Parcela_Pagamento(posicao, conta) != 1) {
    return falhou("Erro ao alterar a conta.");
  }
  return le_plano();
}

int PagtoChequeCartaoPresenter::confirma() {
  if (venda_.Conclui_Pagamento() != 1) {
    ui_.message(falha_venda("Erro ao concluir o pagamento.", venda_), kErro, MessageIcon::Error);
    return 0;
  }
  return 1;
}

int PagtoChequeCartaoPresenter::voltar() { return 0; }

}  // namespace fvn
