#include "screens/tela_troco.h"

#include "runtime/rounding.h"
#include "screens/pagamento_comum.h"

namespace fvn {

TelaTrocoPresenter::TelaTrocoPresenter(HostUi& ui, double a_pagar)
    : ui_(ui), a_pagar_(round_to(a_pagar, 2)), pago_(a_pagar_) {}

int TelaTrocoPresenter::pago(std::string_view texto) {
  const std::optional<double> v = le_valor(texto);
  if (!v || *v < 0) {
    ui_.message(kValorInvalido, "Erro!", MessageIcon::Error);
    return 0;
  }
  pago_ = round_to(*v, 2);
  const double troco = round_to(pago_ - a_pagar_, 2);
  troco_ = troco > 0 ? troco : 0;
  return 1;
}

int TelaTrocoPresenter::confirma() {
  if (fechada_) return 0;
  if (pago_ < a_pagar_) {
    ui_.message("O valor pago deve ser igual ou superior ao valor a pagar.", "Erro!", MessageIcon::Error);
    return 0;
  }
  fechada_ = true;
  resultado_ = 1;
  return 1;
}

int TelaTrocoPresenter::voltar() {
  fechada_ = true;
  resultado_ = 0;
  return 0;
}

}  // namespace fvn
