#include "payment/payment_ledger.h"

namespace fvn::payment {

int PaymentLedger::nao_disponivel(std::string_view operacao) { return set_error(kOperacaoNaoDisponivel, 0, operacao); }

int PaymentLedger::Set_Quebra(std::int32_t quebra) {
  if (quebra < 1 || quebra > 4) return set_error("Tipo de quebra inválida.", 0, "Set_Quebra");
  QUEBRA = quebra;
  return 1;
}

int PaymentLedger::Set_Data_Emissao(Date data) {
  if (data < kFirstDate || data > kLastDate) return set_error("Data de emissão inválida", 0, "Set_Data_Emissao");
  DATA_EMISSAO = data;
  return 1;
}

int PaymentLedger::Adiciona_Entidade(const EntidadeFinanceira&) { return nao_disponivel("Adiciona_Entidade"); }
int PaymentLedger::Adiciona_Forma_Pagamento(const GRUPO_FORMAS_PAGAMENTO&) {
  return nao_disponivel("Adiciona_Forma_Pagamento");
}
int PaymentLedger::Set_Valor_Total(double) { return nao_disponivel("Set_Valor_Total"); }
int PaymentLedger::Paga(std::int32_t, double, std::int32_t, const OpcoesPagamento&) { return nao_disponivel("Paga"); }
int PaymentLedger::Estorna(std::int32_t) { return nao_disponivel("Estorna"); }
int PaymentLedger::Conclui_Pagamento() { return nao_disponivel("Conclui_Pagamento"); }
int PaymentLedger::Calcula_Parcelas() { return nao_disponivel("Calcula_Parcelas"); }
int PaymentLedger::Adiciona_Parcela(const QUEUE_PARCELAS&) { return nao_disponivel("Adiciona_Parcela"); }
int PaymentLedger::Set_Numero_Parcelas(std::int32_t) { return nao_disponivel("Set_Numero_Parcelas"); }
int PaymentLedger::Set_Dias_Parcelas(std::int32_t) { return nao_disponivel("Set_Dias_Parcelas"); }
int PaymentLedger::Set_Valor_Parcela(std::int32_t, double) { return nao_disponivel("Set_Valor_Parcela"); }
int PaymentLedger::Set_Vencimento_Parcela(std::int32_t, Date) { return nao_disponivel("Set_Vencimento_Parcela"); }
int PaymentLedger::Set_Documento_Parcela(std::int32_t, std::string_view) {
  return nao_disponivel("Set_Documento_Parcela");
}
int PaymentLedger::Set_Conta_Parcela(std::int32_t, std::string_view) { return nao_disponivel("Set_Conta_Parcela"); }
int PaymentLedger::Set_Entidade_Parcela(std::int32_t, std::int32_t) { return nao_disponivel("Set_Entidade_Parcela"); }
int PaymentLedger::Estorna_Parcela(std::int32_t) { return nao_disponivel("Estorna_Parcela"); }

}  // namespace fvn::payment
