// ICMS of the regular regime, by CST: the document path (ICMS) with its
// substitution (ST) recipes, and the fiscal-printer path (ICMS_CUPOM).
//
// Notation of the comments: V is the item's value; V+ is V plus this item's
// IPI when the operation adds the IPI to the ICMS base (its flag
// ADICIONA_IPI_BASE_ICMS = 0 adds it); Vst is V plus this item's IPI always.
// R() is the fiscal rounding; "stored" is a two-decimal field's rounding.
#include <string>
#include <string_view>

#include "runtime/decimal.h"
#include "runtime/rounding.h"
#include "runtime/text.h"
#include "tax/calculo_impostos.h"
#include "tax/tax_codes.h"

namespace fvn::tax {

namespace {

constexpr std::string_view kIcms = "ICMS";

constexpr std::string_view kStNegativo =
    "|ICMS |Valor de ICMS ST menor que zero.|Verifique se a configuração da alíquota ST está correta|ou se a "
    "configuração da MVA  está correta.";
constexpr std::string_view kStNegativoCst30 =
    "|ICMS |Valor de ICMS ST menor que zero.|Verifique se a configuração da alíquota ST está correta,|se a "
    "configuração da MVA está correta |ou se a alíquota de ICMS está correta.";

double R(double x) { return CALCULO_IMPOSTOS::Arredonda_Fiscal(x); }

// A REAL as a two-decimal fixed-point field holds it.
Dec2 stored(double x) { return Dec2(x); }

// The four blocks of the computation: side of the border and purpose. They
// differ in the CST field and the rates they read, and in a few roundings.
enum class Bloco { DentroConsumo, DentroRevenda, ForaConsumo, ForaRevenda };

struct Escolha {
  Bloco bloco;
  const std::string* cst;
  double* aliquota;
  double* aliquota_st;
  std::string_view fora_da_tabela;
};

Escolha escolhe(sale::GRUPO_ICMS& g, bool dentro, bool consumo) {
  if (dentro && consumo) {
    return {Bloco::DentroConsumo, &g.CST_ICMS_CONSUMO, &g.ALIQUOTA_ICMS, &g.ALIQUOTA_ICMS_ST,
            "|ICMS |CST CONSUMO dentro do estado não presente na tabela de CST"};
  }
  if (dentro) {
    return {Bloco::DentroRevenda, &g.CST_ICMS_REVENDA, &g.ALIQUOTA_ICMS, &g.ALIQUOTA_ICMS_ST,
            "|ICMS |CST Revenda dentro do estado não presente na tabela de CST"};
  }
  if (consumo) {
    return {Bloco::ForaConsumo, &g.CST_FORA_UF_CONSUMO, &g.ALIQUOTA_ICMS_FORA, &g.ALIQUOTA_ICMS_ST_FORA,
            "|ICMS |CST CONSUMO fora do estado não presente na tabela de CST"};
  }
  return {Bloco::ForaRevenda, &g.CST_FORA_UF, &g.ALIQUOTA_ICMS_FORA, &g.ALIQUOTA_ICMS_ST_FORA,
          "|ICMS |CST Revenda fora do estado não presente na tabela de CST"};
}

}  // namespace

int CALCULO_IMPOSTOS::ICMS(sale::GRUPO_ICMS& g, double v) {
  if (FINALIDADE_OPERACAO == kOutras) return 1;
  if (FINALIDADE_OPERACAO != kConsumo && FINALIDADE_OPERACAO != kRevenda) {
    return set_error("|ICMS |Tipo da finalidade inválida", 0, kIcms);
  }
  const Escolha e = escolhe(g, dentro_estado(), FINALIDADE_OPERACAO == kConsumo);
  std::string cst = text::clip(*e.cst);
  if (!cst_valido(cst)) return set_error(e.fora_da_tabela, 0, kIcms);
  // Every run computes the item's ICMS afresh: what an earlier run under
  // another CST, purpose or state wrote (an ST value, above all) must not
  // stay in the item and in the sale's totals.
  g.VALOR_BC_ICMS = 0;
  g.VALOR_ICMS = Dec2{};
  g.VALOR_ICMS_REDUCAO = 0;
  g.VALOR_BC_ICMS_ST = 0;
  g.VALOR_ICMS_ST = Dec2Short{};
  g.VALOR_BC_ICMS_ST_RET = 0;
  g.VALOR_ICMS_ST_RET = 0;
  g.VALOR_BC_ISENTA = 0;
  g.VALOR_ICMS_DEFERIDO = 0;

  // Operation type 4 forces the non-taxed CST; a transfer may swap to deferral.
  if (OPERACAO.TIPO == 4) {
    cst = "41";
    g.VALOR_BC_ICMS = 0;
    g.PERCENTUAL_RED_BC_ICMS = 0;
  } else if (OPERACAO.TIPO == 6 && OPERACAO.TROCA_CST_ICMS_TRANSFERENCIA == 1) {
    cst = "51";
  }
  const int n = std::stoi(cst);
  const double v_mais = OPERACAO.ADICIONA_IPI_BASE_ICMS == 0 ? v + VALOR_IPI : v;
  const double v_st = v + VALOR_IPI;
  const bool rural = !sem_brancos(CLIENTE.INSCRICAO_RURAL).empty();

  // Own ICMS of the full-base CSTs and of those with an optional reduction.
  if ((n == 0 || n == 10) && *e.aliquota != 0) {
    g.VALOR_BC_ICMS = R(v_mais);
    g.VALOR_ICMS_REDUCAO = 0;
    g.VALOR_ICMS = g.VALOR_BC_ICMS * *e.aliquota / 100;
  }
  if ((n == 70 || n == 90) && *e.aliquota != 0) {
    double base = v_mais;
    g.VALOR_ICMS_REDUCAO = 0;
    if (g.PERCENTUAL_RED_BC_ICMS != 0) {
      base = v_mais - v_mais * g.PERCENTUAL_RED_BC_ICMS / 100;
      g.VALOR_ICMS_REDUCAO = v_mais - base;
      if (e.bloco != Bloco::DentroConsumo) g.VALOR_ICMS_REDUCAO = R(g.VALOR_ICMS_REDUCAO);
    }
    g.VALOR_BC_ICMS = R(base);
    g.VALOR_ICMS = g.VALOR_BC_ICMS * *e.aliquota / 100;
  }
  // A transfer that does not compute taxes carries no own ICMS.
  if (OPERACAO.TIPO == 6 && OPERACAO.CALCULA_IMPOSTO_TRANFERENCIA == 0) {
    *e.aliquota = 0;
    g.VALOR_BC_ICMS = 0;
    g.PERCENTUAL_RED_BC_ICMS = 0;
    g.VALOR_ICMS = Dec2{};
  }
  const double aliquota = *e.aliquota;
  const double aliquota_st = *e.aliquota_st;

  // ST: S1 for CST 10 (the own ICMS is deducted, or the reduced own rate when
  // the ST base is reduced and the own rate is the larger), S2 for CST 70 and
  // 90 (the ST base is reduced). A rural producer gets no margin and no
  // deduction.
  const auto st_rural = [&](bool arredonda) {
    g.VALOR_BC_ICMS_ST = arredonda ? R(v_st) : v_st;
    g.PERCENTUAL_RED_BC_ICMS_ST = 0;
    g.VALOR_ICMS_ST = g.VALOR_BC_ICMS_ST * aliquota_st / 100;
    return 1;
  };
  const auto grava_st = [&](Dec2 st, std::string_view erro) {
    if (st.units() < 0) return set_error(erro, 0, kIcms);
    g.VALOR_ICMS_ST = Dec2Short::from_units(st.units());
    return 1;
  };
  const auto s1 = [&]() {
    if (rural) return st_rural(e.bloco != Bloco::DentroConsumo);
    g.VALOR_BC_ICMS_ST = R(v_st + v_st * g.PERCENTUAL_MVA / 100);
    const double red_st = g.PERCENTUAL_RED_BC_ICMS_ST;
    const double bruto = g.VALOR_BC_ICMS_ST * aliquota_st / 100;
    const Dec2 st = red_st != 0 && aliquota > aliquota_st ? stored(bruto - (aliquota - red_st) * g.VALOR_BC_ICMS / 100)
                                                          : stored(bruto - g.VALOR_ICMS.value());
    return grava_st(st, kStNegativo);
  };
  const auto s2 = [&]() {
    if (rural) return st_rural(true);
    g.VALOR_BC_ICMS_ST = R(v_st + v_st * g.PERCENTUAL_MVA / 100);
    g.VALOR_BC_ICMS_ST = R(g.VALOR_BC_ICMS_ST - g.VALOR_BC_ICMS_ST * g.PERCENTUAL_RED_BC_ICMS_ST / 100);
    return grava_st(stored(g.VALOR_BC_ICMS_ST * aliquota_st / 100 - g.VALOR_ICMS.value()), kStNegativo);
  };

  switch (n) {
    case 10:
      if (CLIENTE.CONCESSAO_ICMS_ST == 0 && aliquota_st != 0 && !s1()) return 0;
      break;
    case 20: {
      if (g.PERCENTUAL_RED_BC_ICMS == 0) {
        return set_error(
            "|ICMS |Valor de redução de base de cálculo de ICMS igual a zero.|Verifique se a configuração da redução "
            "de base de cálculo está correta.",
            0, kIcms);
      }
      g.VALOR_BC_ICMS = R(v_mais - v_mais * g.PERCENTUAL_RED_BC_ICMS / 100);
      g.VALOR_ICMS_REDUCAO = R(v_mais - g.VALOR_BC_ICMS);
      g.VALOR_ICMS = g.VALOR_BC_ICMS * aliquota / 100;
      break;
    }
    case 30: {
      // Only the ST is computed; the deduction is the own rate on V itself.
      g.VALOR_BC_ICMS_ST = R(v_st + v_st * g.PERCENTUAL_MVA / 100);
      g.PERCENTUAL_RED_BC_ICMS_ST = 0;
      const Dec2 st = stored(g.VALOR_BC_ICMS_ST * aliquota_st / 100 - v * aliquota / 100);
      if (!grava_st(st, e.bloco == Bloco::DentroRevenda ? kStNegativo : kStNegativoCst30)) return 0;
      break;
    }
    case 40: g.VALOR_BC_ISENTA = v; break;
    case 51: {
      if (!(g.PERCENTUAL_ICMS_DEFERIMENTO.value() > 0)) {
        return set_error(
            "|ICMS | Percentual de deferimento no item menor ou igual a zero.|Verifique se a configuração do "
            "percentual de deferimento está correta.",
            0, kIcms);
      }
      if (g.PERCENTUAL_RED_BC_ICMS != 0) {
        g.VALOR_BC_ICMS = R(v_mais - v_mais * g.PERCENTUAL_RED_BC_ICMS / 100);
        g.VALOR_ICMS_REDUCAO = R(v_mais - g.VALOR_BC_ICMS);
      } else {
        g.VALOR_BC_ICMS = e.bloco == Bloco::ForaRevenda && v_mais != v ? v_mais : R(v_mais);
        g.VALOR_ICMS_REDUCAO = 0;
      }
      g.VALOR_ICMS = g.VALOR_BC_ICMS * aliquota / 100;
      g.VALOR_ICMS_DEFERIDO = R(g.VALOR_ICMS.value() * g.PERCENTUAL_ICMS_DEFERIMENTO.value() / 100);
      g.VALOR_ICMS = g.VALOR_ICMS.value() - g.VALOR_ICMS_DEFERIDO;
      break;
    }
    case 60:
      g.VALOR_ICMS_ST_RET = v;
      *e.aliquota = 0;
      *e.aliquota_st = 0;
      break;
    case 70:
    case 90:
      if (aliquota_st != 0 && !s2()) return 0;
      break;
    default:  // 00, 41, 50: nothing more
      break;
  }
  if (n != 51) g.PERCENTUAL_ICMS_DEFERIMENTO = Dec2Short{};
  // The CST source fields are kept, so that a later change of purpose or of
  // the customer's state finds the item's CST again.
  g.CST_ICMS = cst;
  return 1;
}

int CALCULO_IMPOSTOS::ICMS_CUPOM(sale::GRUPO_ICMS& g, double valor) {
  constexpr std::string_view kFuncao = "ICMS_CUPOM";
  const std::string cst = text::clip(g.CST_ICMS);
  if (text::trim(cst).empty()) return set_error(" |ICMS_CUPOM |CST não preenchida ", 0, kFuncao);
  const bool sem_aliquota = cst == "60" || cst == "40" || cst == "41";
  if (!sem_aliquota && cst != "00" && EMISSOR.TIPO != 6) {
    return set_error("|ICMS_CUPOM |CST Informada não pode ser utilizada para este tipo de emissor| CST: " + cst + " ",
                     0, kFuncao);
  }
  if (sem_aliquota && g.ALIQUOTA_ICMS != 0) {
    return set_error("|ICMS_CUPOM |Não deve ter alíquota de ICMS quando CST estiver preenchida com 60, 40, 41", 0,
                     kFuncao);
  }
  if (cst == "00") {
    g.VALOR_BC_ICMS = valor;
    g.VALOR_ICMS = round_to(valor * g.ALIQUOTA_ICMS / 100, 2);
  } else if (cst == "60") {
    g.VALOR_BC_ICMS_ST_RET = valor;
    g.VALOR_ICMS_ST_RET = valor;
  }
  return 1;
}

}  // namespace fvn::tax
