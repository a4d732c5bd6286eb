// TELA_TROCO: how much the customer handed over for the amount due, and the
// change. The paid amount starts at the amount due; a paid amount below it
// shows change 0 and cannot be confirmed.
#pragma once

#include <string_view>

#include "runtime/host_ui.h"

namespace fvn {

class TelaTrocoPresenter {
 public:
  static constexpr std::string_view kTitle = "Troco";

  TelaTrocoPresenter(HostUi& ui, double a_pagar);

  // "Valor Pago:" accepted: the change is recomputed. 0 (shown) when the
  // text is not a number; the paid amount is then unchanged.
  int pago(std::string_view texto);
  // "F5 Confirma": 1 closes with valor_pago(); refused while paid < due.
  int confirma();
  // "F12 Voltar": 0, closes; the caller's paid amount is not written.
  int voltar();

  [[nodiscard]] double a_pagar() const { return a_pagar_; }
  [[nodiscard]] double valor_pago() const { return pago_; }
  [[nodiscard]] double troco() const { return troco_; }
  [[nodiscard]] bool fechada() const { return fechada_; }
  [[nodiscard]] int resultado() const { return resultado_; }

 private:
  HostUi& ui_;
  double a_pagar_;
  double pago_;
  double troco_ = 0;
  bool fechada_ = false;
  int resultado_ = 0;
};

}  // namespace fvn
