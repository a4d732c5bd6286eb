// CLASSE_ITEM, its totals: the sale totals, the apportioning of the sale-level values over
// the live items, and the tax recomputation of every item.
//
// These run over the whole item list on every change of the sale (twice per
// item sold), so they work on the records in place, without copying them.
#include <algorithm>
#include <cmath>

#include "runtime/picture.h"
#include "runtime/rounding.h"
#include "runtime/text.h"
#include "sale/classe_item.h"

namespace fvn::sale {

namespace {

// R2: rounded to the cent, halves away from zero.
double r2(double x) { return round_to(x, 2); }

// Discounts and surcharges are taken at 4 places.
double at4(double x) { return round_to(x, 4); }

template <typename D>
void soma(D& total, const D& parcela) {
  total = D::from_units(total.units() + parcela.units());
}

bool cancelado(const QUEUE_ITEM& item) { return item.CANCELADO != 0; }

// TOTAL_LIQUIDO_VENDA by the item invariant.
void recalcula_liquido(QUEUE_ITEM& item) {
  item.TOTAL_LIQUIDO_VENDA = item.SUBTOTAL_ITEM - item.DESCONTO_VENDA + item.ACRESCIMO_VENDA + item.JUROS_VENDA +
                             item.DESP_ACESSORIAS_VENDA + item.FRETE_VENDA + item.SEGURO_VENDA;
}

// A share of a sale-level value: INT(base x percentage) / 100, cut to the cent.
double quota(double base, double percentual) { return percentual == 0 ? 0.0 : int_part(base * percentual) / 100; }

// Percentage of a sale-level value over its base, at 2 places; 0 without a base.
double percentual(double valor, double base) { return base == 0 ? 0.0 : r2(valor / base * 100); }

// The most of the sale discount an item can take: its subtotal minus the
// one cent it keeps, never below 0.
double limite_desconto(const QUEUE_ITEM& item) { return std::max(0.0, r2(item.SUBTOTAL_ITEM - 0.01)); }

// Takes a negative remainder back from the shares, item by item from the
// first live one, never below 0. Returns what could not be taken (0 unless
// the shares hold less than the remainder).
double devolve(OrderedList<QUEUE_ITEM>& itens, double QUEUE_ITEM::*campo, double resto) {
  for (QUEUE_ITEM& item : itens) {
    if (resto >= 0) break;
    if (cancelado(item) || item.*campo <= 0) continue;
    const double tirado = std::min(-resto, item.*campo);
    item.*campo = r2(item.*campo - tirado);
    resto = r2(resto + tirado);
    recalcula_liquido(item);
  }
  return resto;
}

void soma_impostos(TOTAIS_VENDA& t, const QUEUE_ITEM& item) {
  t.ICMS.VALOR_BC_ICMS += item.ICMS.VALOR_BC_ICMS;
  soma(t.ICMS.VALOR_ICMS, item.ICMS.VALOR_ICMS);
  t.ICMS.VALOR_BC_ICMS_ST += item.ICMS.VALOR_BC_ICMS_ST;
  soma(t.ICMS.VALOR_ICMS_ST, item.ICMS.VALOR_ICMS_ST);
  t.ICMS.VALOR_BC_ICMS_ST_RET += item.ICMS.VALOR_BC_ICMS_ST_RET;
  t.ICMS.VALOR_ICMS_ST_RET += item.ICMS.VALOR_ICMS_ST_RET;
  t.ICMS_SIMPLES.VALOR_BC_ICMS += item.ICMS_SIMPLES.VALOR_BC_ICMS;
  soma(t.ICMS_SIMPLES.VALOR_ICMS, item.ICMS_SIMPLES.VALOR_ICMS);
  t.ICMS_SIMPLES.VALOR_BC_ICMS_ST += item.ICMS_SIMPLES.VALOR_BC_ICMS_ST;
  soma(t.ICMS_SIMPLES.VALOR_ICMS_ST, item.ICMS_SIMPLES.VALOR_ICMS_ST);
  t.ICMS_SIMPLES.VALOR_CRED_SIMPLES += item.ICMS_SIMPLES.VALOR_CRED_SIMPLES;
  t.ISSQN.VALOR_BC_ISSQN += item.ISSQN.VALOR_BC_ISSQN;
  t.ISSQN.VALOR_ISSQN += item.ISSQN.VALOR_ISSQN;
  t.PIS.VALOR_BC_PIS += item.PIS.VALOR_BC_PIS;
  t.PIS.VALOR_PIS += item.PIS.VALOR_PIS;
  t.COFINS.VALOR_BC_COFINS += item.COFINS.VALOR_BC_COFINS;
  t.COFINS.VALOR_COFINS += item.COFINS.VALOR_COFINS;
  t.IPI.VALOR_BC_IPI += item.IPI.VALOR_BC_IPI;
  t.IPI.VALOR_IPI += item.IPI.VALOR_IPI;
  t.II.VALOR_BC_II += item.II.VALOR_BC_II;
  t.II.VALOR_DESP_ADU += item.II.VALOR_DESP_ADU;
  t.II.VALOR_II += item.II.VALOR_II;
  t.II.VALOR_IOF += item.II.VALOR_IOF;
}

}  // namespace

int CLASSE_ITEM::Calcula_Total_Venda(TOTAIS_VENDA& t) {
  t = TOTAIS_VENDA{};
  const bool ecf = emissor_ecf();
  const bool simples = EMPRESA.TIPO == 1;
  for (const QUEUE_ITEM& item : ITENS) {
    if (cancelado(item)) continue;
    const double desconto = at4(item.DESCONTO);
    const double desconto_venda = at4(item.DESCONTO_VENDA);
    const double acrescimo = at4(item.ACRESCIMO);
    const double acrescimo_venda = at4(item.ACRESCIMO_VENDA);
    t.TOTAL_BRUTO += item.TOTAL_BRUTO;
    t.TOTAL_DESCONTO_ITEM += desconto;
    t.TOTAL_DESCONTO_VENDA += desconto_venda;
    t.TOTAL_DESCONTO += desconto + desconto_venda;
    t.TOTAL_ACRESCIMO_ITEM += acrescimo;
    t.TOTAL_ACRESCIMO_VENDA += acrescimo_venda;
    t.TOTAL_FRETE += item.FRETE_VENDA;
    t.TOTAL_SEGURO += item.SEGURO_VENDA;
    t.TOTAL_JUROS += item.JUROS_VENDA;
    t.TOTAL_DESPESAS_ACESSORIAS += item.DESP_ACESSORIAS_VENDA;
    t.TOTAL_ACRESCIMOS += acrescimo + acrescimo_venda + item.JUROS_VENDA;

    const double a = acrescimo + acrescimo_venda;
    const double d = desconto + desconto_venda;
    const double f = item.FCP_ST.VALOR_FCP_ST.value();
    t.TOTAL_LIQUIDO += item.TOTAL_BRUTO + a + item.JUROS_VENDA + item.FRETE_VENDA + item.SEGURO_VENDA +
                       item.DESP_ACESSORIAS_VENDA + f - d;
    t.TOTAL_LIQUIDO_ITENS += item.TOTAL_BRUTO + acrescimo - desconto;
    soma(t.VALOR_TOTAL_APROX_IMPOSTOS, item.TOTAL_APROX_IMPOSTOS);
    // Everything the customer pays for the item except the interest.
    const double y = a + item.FRETE_VENDA + item.SEGURO_VENDA + item.DESP_ACESSORIAS_VENDA + f - d;
    if (ecf) t.TOTAL_PARCELAR += item.TOTAL_BRUTO + y;
    if (desconto > acrescimo) {
      t.TOTAL_DESCONTO_IMPRESSO += r2(desconto - acrescimo);
    } else {
      t.TOTAL_ACRESCIMO_IMPRESSO += r2(acrescimo - desconto);
    }
    if (item.TIPO_PRODUTO == 1 || item.TIPO_PRODUTO == 3) {
      t.TOTAL_MERCADORIAS += item.TOTAL_BRUTO;
    } else if (item.TIPO_PRODUTO == 2) {
      t.TOTAL_SERVICOS += item.TOTAL_BRUTO;
    }
    soma_impostos(t, item);
    if (ecf) continue;

    const double st = simples ? item.ICMS_SIMPLES.VALOR_ICMS_ST.value() : item.ICMS.VALOR_ICMS_ST.value();
    t.TOTAL_BRUTO = r2(t.TOTAL_BRUTO);
    t.TOTAL_PARCELAR += r2(item.TOTAL_BRUTO + y + item.IPI.VALOR_IPI + st);
    if (simples) {
      t.VALOR_BC_ICMS = t.ICMS_SIMPLES.VALOR_BC_ICMS;
      t.VALOR_ICMS = t.ICMS_SIMPLES.VALOR_ICMS;
      t.VALOR_BC_ICMS_ST = t.ICMS_SIMPLES.VALOR_BC_ICMS_ST;
      t.VALOR_ICMS_ST = t.ICMS_SIMPLES.VALOR_ICMS_ST;
    } else {
      t.VALOR_BC_ICMS = t.ICMS.VALOR_BC_ICMS;
      t.VALOR_ICMS = t.ICMS.VALOR_ICMS;
      t.VALOR_BC_ICMS_ST = t.ICMS.VALOR_BC_ICMS_ST;
      t.VALOR_ICMS_ST = t.ICMS.VALOR_ICMS_ST;
    }
    t.TOTAL_LIQUIDO_ITENS = r2(t.TOTAL_LIQUIDO_ITENS + item.IPI.VALOR_IPI + st);
    t.TOTAL_LIQUIDO = r2(t.TOTAL_LIQUIDO + item.IPI.VALOR_IPI + st);
    t.TOTAL_MERCADORIAS = r2(t.TOTAL_MERCADORIAS);
  }

  constexpr std::string_view kFuncao = "Calcula_Total_Venda";
  if (!IMPOSTO->INSS(t.INSS, t.TOTAL_LIQUIDO)) return set_error("Erro ao calcular valores de INSS.", 0, kFuncao);
  if (!IMPOSTO->IR(t.IR, t.TOTAL_LIQUIDO)) return set_error("Erro ao calcular valores de IR.", 0, kFuncao);
  if (!IMPOSTO->CSLL(t.CSLL, t.TOTAL_LIQUIDO)) return set_error("Erro ao calcular valores de CSLL.", 0, kFuncao);
  if (!ecf) {
    // Retained taxes are not paid by the customer.
    t.TOTAL_PARCELAR -= t.INSS.VALOR_INSS + t.IR.VALOR_IR + t.CSLL.VALOR_CSLL;
    if (EMPRESA.UTILIZA_RETENCAO_ISS == 1 && EMPRESA.PERC_RETENCAO_ISS != 0) t.TOTAL_PARCELAR -= t.ISSQN.VALOR_ISSQN;
  }

  VALOR_IMPOSTOS = t.ICMS_SIMPLES.VALOR_ICMS + t.ICMS_SIMPLES.VALOR_ICMS_ST;
  if (!simples) VALOR_IMPOSTOS += t.ICMS.VALOR_ICMS + t.ICMS.VALOR_ICMS_ST;
  VALOR_IMPOSTOS += t.IPI.VALOR_IPI + t.COFINS.VALOR_COFINS + t.PIS.VALOR_PIS + t.II.VALOR_II + t.ISSQN.VALOR_ISSQN;
  PERCENTUAL_IMPOSTOS = t.TOTAL_LIQUIDO == 0 ? 0.0 : VALOR_IMPOSTOS * 100 / t.TOTAL_LIQUIDO;
  return 1;
}

int CLASSE_ITEM::Rateia_Valores_Venda() {
  if (!Calcula_Total_Venda(totais_rateio_)) return 0;
  const TOTAIS_VENDA& t = totais_rateio_;
  // Discount, surcharge and interest are shared by item value (with its IPI
  // and ST) over the items' net total; freight, insurance and expenses by
  // item subtotal over the gross total.
  const double p_desc = percentual(DESCONTO_VENDA, t.TOTAL_LIQUIDO_ITENS);
  const double p_acr = percentual(ACRESCIMO_VENDA, t.TOTAL_LIQUIDO_ITENS);
  const double p_jur = percentual(JUROS_VENDA, t.TOTAL_LIQUIDO_ITENS);
  const double p_fre = percentual(FRETE_VENDA, t.TOTAL_BRUTO);
  const double p_seg = percentual(SEGURO_VENDA, t.TOTAL_BRUTO);
  const double p_desp = percentual(DESP_ACESSORIAS, t.TOTAL_BRUTO);

  double s_desc = 0, s_acr = 0, s_jur = 0, s_fre = 0, s_seg = 0, s_desp = 0;
  QUEUE_ITEM* primeiro = nullptr;
  for (QUEUE_ITEM& item : ITENS) {
    if (cancelado(item)) continue;
    if (primeiro == nullptr) primeiro = &item;
    const double b1 = item.SUBTOTAL_ITEM + item.IPI.VALOR_IPI + item.ICMS.VALOR_ICMS_ST.value();
    const double b2 = item.SUBTOTAL_ITEM;
    // An item keeps at least one cent of its subtotal: a discount share never
    // takes more (what it cannot take goes to the remainder below).
    item.DESCONTO_VENDA = std::min(quota(b1, p_desc), limite_desconto(item));
    item.ACRESCIMO_VENDA = quota(b1, p_acr);
    item.JUROS_VENDA = quota(b1, p_jur);
    item.FRETE_VENDA = quota(b2, p_fre);
    item.SEGURO_VENDA = quota(b2, p_seg);
    item.DESP_ACESSORIAS_VENDA = quota(b2, p_desp);
    recalcula_liquido(item);
    s_desc += item.DESCONTO_VENDA;
    s_acr += item.ACRESCIMO_VENDA;
    s_jur += item.JUROS_VENDA;
    s_fre += item.FRETE_VENDA;
    s_seg += item.SEGURO_VENDA;
    s_desp += item.DESP_ACESSORIAS_VENDA;
  }

  // Remainders left by the rounded percentages and the cut shares. Without
  // live items there is nothing to apportion: the values stay stored and
  // are spread when items are sold.
  double sobra_desconto = 0;
  if (primeiro != nullptr) {
    double resto = r2(r2(DESCONTO_VENDA) - r2(s_desc));
    if (resto > 0) {
      // Each item takes what it can up to its subtotal minus one cent.
      for (QUEUE_ITEM& item : ITENS) {
        if (resto <= 0) break;
        if (cancelado(item)) continue;
        const double espaco = r2(limite_desconto(item) - item.DESCONTO_VENDA);
        if (espaco <= 0) continue;
        const double tomado = std::min(resto, espaco);
        item.DESCONTO_VENDA = r2(item.DESCONTO_VENDA + tomado);
        resto = r2(resto - tomado);
        recalcula_liquido(item);
      }
    } else if (resto < 0) {
      resto = devolve(ITENS, &QUEUE_ITEM::DESCONTO_VENDA, resto);
    }
    sobra_desconto = resto;

    // The other remainders go whole to the first live item; a negative one is
    // taken back from the shares, none going below 0.
    const struct {
      double valor;
      double soma;
      double QUEUE_ITEM::*campo;
    } restos[] = {{ACRESCIMO_VENDA, s_acr, &QUEUE_ITEM::ACRESCIMO_VENDA},
                  {JUROS_VENDA, s_jur, &QUEUE_ITEM::JUROS_VENDA},
                  {FRETE_VENDA, s_fre, &QUEUE_ITEM::FRETE_VENDA},
                  {SEGURO_VENDA, s_seg, &QUEUE_ITEM::SEGURO_VENDA},
                  {DESP_ACESSORIAS, s_desp, &QUEUE_ITEM::DESP_ACESSORIAS_VENDA}};
    for (const auto& r : restos) {
      const double sobra = r2(r2(r.valor) - r2(r.soma));
      if (sobra > 0) {
        primeiro->*r.campo = r2(primeiro->*r.campo + sobra);
        recalcula_liquido(*primeiro);
      } else if (sobra < 0) {
        devolve(ITENS, r.campo, sobra);
      }
    }
  }

  if (!Calcula_Imposto_Item()) return 0;
  if (sobra_desconto != 0) {
    // The discount is more than the live items can take (each keeps one cent).
    return set_error("Desconto da venda maior que o total dos itens: R$ " +
                         text::trim(format_picture(sobra_desconto, "@n-15.2")) + " não pôde ser rateado.",
                     0, "Rateia_Valores_Venda");
  }
  return 1;
}

int CLASSE_ITEM::Calcula_Imposto_Item() {
  for (QUEUE_ITEM& item : ITENS) {
    if (!IMPOSTO->Calcula_Item(item)) return set_error(IMPOSTO->ERROR, 0, "Calcula_Imposto_Item");
  }
  return 1;
}

}  // namespace fvn::sale
