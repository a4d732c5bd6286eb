// PAGTO_CHEQUE_CARTAO: the details of a payment made with a form paid in
// installments (a card in installments, post-dated cheques). The payment
// just made carries its own installment plan; the dialog shows it, lets the
// cashier change the number of installments and the days between them, and
// each installment's due date, amount, document (cheque number or card
// authorisation) and account, all through the facade's *_Parcela_Pagamento
// operations. Confirming concludes the payment (the plan must add up to the
// payment); abandoning returns 0 and the caller reverses the payment.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "payment/payment_ledger.h"
#include "runtime/host_ui.h"

namespace fvn {

namespace sale {
class VENDA_INTERFACE;
}

// How the payment-forms window opens the details of a payment: given the
// facade and the form paid with, 1 when confirmed, 0 when abandoned.
using PagtoChequeCartao = std::function<int(sale::VENDA_INTERFACE&, const payment::GRUPO_FORMAS_PAGAMENTO&)>;

// One row of the installment list: "Nº", "Vencimento", "Valor", "Documento", "Conta".
struct LinhaParcelaPagamento {
  std::int32_t numero = 0;
  std::string vencimento;  // dd/mm/yyyy
  std::string valor;       // 1.234,56
  std::string documento;
  std::string conta;
};

class PagtoChequeCartaoPresenter {
 public:
  static constexpr std::string_view kTitle = "Pagamento em Cheque / Cartão";

  PagtoChequeCartaoPresenter(HostUi& ui, sale::VENDA_INTERFACE& venda, payment::GRUPO_FORMAS_PAGAMENTO forma);

  // Builds the payment's plan with the form's number of installments and
  // days; 0 (with the message shown) when the facade refuses.
  int abre();

  // "Parcelas:" and "Dias:": rebuild the plan.
  int parcelas(std::string_view texto);
  int dias(std::string_view texto);
  // "F8-Alterar" on installment `posicao` (1-based): a changed due date,
  // amount, document or account; blank texts leave the field as it is.
  int altera(std::int32_t posicao, std::string_view vencimento, std::string_view valor, std::string_view documento,
             std::string_view conta);
  // "F5-Confirmar": concludes the payment; 1 closes the dialog.
  int confirma();
  // "F12-Voltar": 0; the caller reverses the payment.
  int voltar();

  [[nodiscard]] const payment::GRUPO_FORMAS_PAGAMENTO& forma() const { return forma_; }
  [[nodiscard]] double valor_pagamento() const { return valor_; }
  [[nodiscard]] std::int32_t numero_parcelas() const { return numero_parcelas_; }
  [[nodiscard]] std::int32_t dias_parcelas() const { return dias_; }
  [[nodiscard]] const std::vector<LinhaParcelaPagamento>& linhas() const { return linhas_; }

 private:
  int le_plano();
  int recalcula(std::string_view contexto);
  HostUi& ui_;
  sale::VENDA_INTERFACE& venda_;
  payment::GRUPO_FORMAS_PAGAMENTO forma_;
  double valor_ = 0;
  std::int32_t numero_parcelas_ = 1;
  std::int32_t dias_ = 0;
  std::vector<LinhaParcelaPagamento> linhas_;
};

}  // namespace fvn
