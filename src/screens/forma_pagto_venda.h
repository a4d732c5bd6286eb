// FORMA_PAGTO_VENDA: the window in which the cashier settles the amount due
// with one or more forms of payment. It works only through the facade's
// payment operations; the forms listed are those the sale's ledger accepts,
// in the order of the shop's table of forms (tabempfavorecido). Every
// failure is shown and leaves the window open; nothing is recorded here.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "data/passthrough_table.h"
#include "payment/payment_ledger.h"
#include "runtime/host_ui.h"
#include "screens/pagto_cheque_cartao.h"

namespace fvn {

namespace sale {
class VENDA_INTERFACE;
}
class ServicosCliente;

// One row of "F8-Pagamentos Efetuados".
struct LinhaPagamento {
  std::string forma;  // the form's description, 19 characters
  std::string valor;  // n10.2
};

class FormaPagtoVendaPresenter {
 public:
  static constexpr std::string_view kTitle = "Meios de Pagamento";

  enum class Foco { Valor, Formas, Pagamentos, Continuar };

  // `connection` reads the shop's table of forms; `servicos` answers the
  // customer's credits; `detalhes` opens PAGTO_CHEQUE_CARTAO.
  FormaPagtoVendaPresenter(HostUi& ui, sale::VENDA_INTERFACE& venda, std::string connection, ServicosCliente& servicos,
                           PagtoChequeCartao detalhes);

  // Opening: the lists and totals, and the customer's available credit.
  // 0 when the forms cannot be read (shown); the window stays usable.
  int abre();

  // "F6-Valor:" accepted: the amount the next payment takes.
  int valor(std::string_view texto);
  // Enter on "F7-Meio Pagamento" (1-based position): pays the amount entered.
  int paga(std::int32_t posicao_forma);
  // Delete on "F8-Pagamentos Efetuados" (1-based position).
  int estorna(std::int32_t posicao_pagamento);
  // "F9-Créditos": the customer's credits as payments.
  int creditos();
  // "F12-Voltar": reverses every payment, last first; returns 0 and closes.
  int voltar();
  // "F5-Continuar": only once nothing remains to pay; 1 closes, leaving the
  // payments in the ledger.
  int continuar();

  [[nodiscard]] const std::vector<std::string>& formas() const { return descricoes_formas_; }
  [[nodiscard]] const std::vector<LinhaPagamento>& pagamentos() const { return pagamentos_; }
  [[nodiscard]] double valor_pagar() const { return valor_pagar_; }  // LOC:VALOR_PAGAR
  [[nodiscard]] double total_pagar() const { return total_pagar_; }  // "A Pagar:"
  [[nodiscard]] double troco() const { return troco_; }              // "Troco:", positive
  [[nodiscard]] double pago() const { return pago_; }                // "Pago:"
  // Paying has ended: the amount, the forms and "F9-Créditos" are disabled
  // and "F5-Continuar" enabled.
  [[nodiscard]] bool encerrado() const { return encerrado_; }
  [[nodiscard]] Foco foco() const { return foco_; }
  [[nodiscard]] bool fechada() const { return fechada_; }
  [[nodiscard]] int resultado() const { return resultado_; }
  // The code of the form at a 1-based position of formas(); 0 when none.
  [[nodiscard]] std::int32_t codigo_forma(std::int32_t posicao) const;
  // The 1-based position of form `codigo` in formas(); 0 when not listed.
  [[nodiscard]] std::int32_t posicao_forma(std::int32_t codigo) const;

 private:
  int le_formas();
  void atualiza();
  void fim_de_pagamento();
  HostUi& ui_;
  sale::VENDA_INTERFACE& venda_;
  PassthroughTable table_;
  ServicosCliente& servicos_;
  PagtoChequeCartao detalhes_;
  std::vector<payment::GRUPO_FORMAS_PAGAMENTO> formas_;
  std::vector<std::string> descricoes_formas_;
  std::vector<LinhaPagamento> pagamentos_;
  double valor_pagar_ = 0;
  double total_pagar_ = 0;
  double troco_ = 0;
  double pago_ = 0;
  bool encerrado_ = false;
  Foco foco_ = Foco::Valor;
  bool fechada_ = false;
  int resultado_ = 0;
};

}  // namespace fvn
