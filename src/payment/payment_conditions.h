// The payment conditions offered for a sale (cash, or credit in installments
// with an optional down payment), kept by the sale facade in
// CONDICAO_PAGAMENTO. The facade simulates every condition against the sale
// total and turns the chosen one into its installment plan.
#pragma once

#include <cstdint>
#include <string>

#include "payment/parcelas.h"
#include "runtime/clock.h"
#include "runtime/error_triple.h"
#include "runtime/ordered_list.h"

namespace fvn::payment {

struct PaymentCondition {
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
  std::string SIMULACAO;  // the simulated line, for example "3x 33.33"
  double VALOR_ENTRADA_SIMULACAO = 0;

  template <typename Self, typename Visit>
  static void fields(Self& s, Visit&& v) {
    v("CODIGO", s.CODIGO);
    v("DESCRICAO", s.DESCRICAO, 256);
    v("TIPO", s.TIPO);
    v("COM_ENTRADA", s.COM_ENTRADA);
    v("PRESTACOES", s.PRESTACOES);
    v("DIAS_ENTRE_PRESTACOES", s.DIAS_ENTRE_PRESTACOES);
    v("DIAS_PRIMEIRO_VENCIMENTO", s.DIAS_PRIMEIRO_VENCIMENTO);
    v("JURO", s.JURO);
    v("TIPO_JURO", s.TIPO_JURO);
    v("DIA_MES", s.DIA_MES);
    v("QUEBRA", s.QUEBRA);
    v("DATA_PRIMEIRA", s.DATA_PRIMEIRA);
    v("EMITE_BOLETO", s.EMITE_BOLETO);
    v("SIMULACAO", s.SIMULACAO, 101);
    v("VALOR_ENTRADA_SIMULACAO", s.VALOR_ENTRADA_SIMULACAO);
  }
};

class PaymentConditions : public ErrorTriple {
 public:
  OrderedList<PaymentCondition> CONDICOES;

  // Checks the condition and appends it.
  int Adiciona_Condicao(const PaymentCondition& condicao);

  // Fills SIMULACAO and VALOR_ENTRADA_SIMULACAO of every condition for a
  // sale of `base` issued on `data_emissao`.
  int Calcula_Simulacao(double base, Date data_emissao);

  // Empties the list.
  void Limpa() { CONDICOES.clear(); }
};

}  // namespace fvn::payment
