#include "payment/payment_conditions.h"

namespace fvn::payment {

int PaymentConditions::Adiciona_Condicao(const CondicaoPagamento&) {
  return set_error(kOperacaoNaoDisponivel, 0, "Adiciona_Condicao");
}

}  // namespace fvn::payment
