// TOTAIS_VENDA: the sale totals that Calcula_Total_Venda fills from the live
// items (cancelled items count nowhere).
#pragma once

#include "records/item_tax_groups.h"
#include "runtime/decimal.h"

namespace fvn::sale {

struct TOTAIS_VENDA {
  double TOTAL_BRUTO = 0;
  double TOTAL_DESCONTO_ITEM = 0;
  double TOTAL_DESCONTO_VENDA = 0;
  double TOTAL_DESCONTO = 0;
  double TOTAL_PARCELAR = 0;  // amount to be paid (in installments or at once)
  double TOTAL_ACRESCIMO_ITEM = 0;
  double TOTAL_ACRESCIMO_VENDA = 0;
  double TOTAL_JUROS = 0;
  double TOTAL_ACRESCIMOS = 0;
  double TOTAL_LIQUIDO_ITENS = 0;  // items net of their own discount and surcharge
  double TOTAL_LIQUIDO = 0;        // net total of the sale
  double TOTAL_MERCADORIAS = 0;
  double TOTAL_SERVICOS = 0;
  GRUPO_ICMS ICMS;
  GRUPO_ICMS_SIMPLES ICMS_SIMPLES;
  GRUPO_ISSQN ISSQN;
  GRUPO_PIS PIS;
  GRUPO_COFINS COFINS;
  GRUPO_IPI IPI;
  GRUPO_II II;
  GRUPO_INSS INSS;
  GRUPO_CSLL CSLL;
  GRUPO_IR IR;
  double TOTAL_DESCONTO_IMPRESSO = 0;
  double TOTAL_ACRESCIMO_IMPRESSO = 0;
  double TOTAL_FRETE = 0;
  double TOTAL_SEGURO = 0;
  double TOTAL_DESPESAS_ACESSORIAS = 0;
  double VALOR_BC_ICMS = 0;
  double VALOR_ICMS = 0;
  double VALOR_BC_ICMS_ST = 0;
  double VALOR_ICMS_ST = 0;
  Dec2 VALOR_TOTAL_APROX_IMPOSTOS;

  template <typename Self, typename Visit>
  static void fields(Self& s, Visit&& v) {
    v("TOTAL_BRUTO", s.TOTAL_BRUTO);
    v("TOTAL_DESCONTO_ITEM", s.TOTAL_DESCONTO_ITEM);
    v("TOTAL_DESCONTO_VENDA", s.TOTAL_DESCONTO_VENDA);
    v("TOTAL_DESCONTO", s.TOTAL_DESCONTO);
    v("TOTAL_PARCELAR", s.TOTAL_PARCELAR);
    v("TOTAL_ACRESCIMO_ITEM", s.TOTAL_ACRESCIMO_ITEM);
    v("TOTAL_ACRESCIMO_VENDA", s.TOTAL_ACRESCIMO_VENDA);
    v("TOTAL_JUROS", s.TOTAL_JUROS);
    v("TOTAL_ACRESCIMOS", s.TOTAL_ACRESCIMOS);
    v("TOTAL_LIQUIDO_ITENS", s.TOTAL_LIQUIDO_ITENS);
    v("TOTAL_LIQUIDO", s.TOTAL_LIQUIDO);
    v("TOTAL_MERCADORIAS", s.TOTAL_MERCADORIAS);
    v("TOTAL_SERVICOS", s.TOTAL_SERVICOS);
    v("ICMS", s.ICMS);
    v("ICMS_SIMPLES", s.ICMS_SIMPLES);
    v("ISSQN", s.ISSQN);
    v("PIS", s.PIS);
    v("COFINS", s.COFINS);
    v("IPI", s.IPI);
    v("II", s.II);
    v("INSS", s.INSS);
    v("CSLL", s.CSLL);
    v("IR", s.IR);
    v("TOTAL_DESCONTO_IMPRESSO", s.TOTAL_DESCONTO_IMPRESSO);
    v("TOTAL_ACRESCIMO_IMPRESSO", s.TOTAL_ACRESCIMO_IMPRESSO);
    v("TOTAL_FRETE", s.TOTAL_FRETE);
    v("TOTAL_SEGURO", s.TOTAL_SEGURO);
    v("TOTAL_DESPESAS_ACESSORIAS", s.TOTAL_DESPESAS_ACESSORIAS);
    v("VALOR_BC_ICMS", s.VALOR_BC_ICMS);
    v("VALOR_ICMS", s.VALOR_ICMS);
    v("VALOR_BC_ICMS_ST", s.VALOR_BC_ICMS_ST);
    v("VALOR_ICMS_ST", s.VALOR_ICMS_ST);
    v("VALOR_TOTAL_APROX_IMPOSTOS", s.VALOR_TOTAL_APROX_IMPOSTOS);
  }
};

}  // namespace fvn::sale
