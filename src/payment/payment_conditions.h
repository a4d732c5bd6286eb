// The payment conditions offered for a sale (cash, or credit in installments
// with an optional down payment), kept by the sale facade in
// CONDICAO_PAGAMENTO and simulated against the sale total.
//
// What exists so far is the list and its emptying. Adding a condition (with
// its checks) is not written yet: it fails with kOperacaoNaoDisponivel.
#pragma once

#include <cstdint>
#include <string>

#include "payment/parcelas.h"
#include "runtime/clock.h"
#include "runtime/error_triple.h"
#include "runtime/ordered_list.h"

namespace fvn::payment {

struct CondicaoPagamento {
  std::int32_t CODIGO = 0;
  std::string DESCRICAO;
  std::int32_t TIPO = 0;  // 1 cash, 2 credit
  std::int32_t COM_ENTRADA = 0;
  std::int32_t PRESTACOES = 0;
  std::int32_t DIAS_ENTRE_PRESTACOES = 0;
  std::int32_t DIAS_PRIMEIRO_VENCIMENTO = 0;
  double JURO = 0;
  std::int32_t TIPO_JURO = 0;
  std::int32_t DIA_MES = 0;
  std::int32_t QUEBRA = 0;
  Date DATA_PRIMEIRA = 0;
  std::int32_t EMITE_BOLETO = 0;
  std::string SIMULACAO;
  double VALOR_ENTRADA_SIMULACAO = 0;
};

class PaymentConditions : public ErrorTriple {
 public:
  OrderedList<CondicaoPagamento> CONDICOES;

  // Not written yet (see above).
  int Adiciona_Condicao(const CondicaoPagamento& condicao);

  // Empties the list.
  void Limpa() { CONDICOES.clear(); }
};

}  // namespace fvn::payment
