// ICMS of Simples Nacional companies, by CSOSN: the document path
// (ICMS_SIMPLES), limited to substitution (ST) and to the credit a Simples
// company passes on, and the fiscal-printer path (ICMS_CUPOM_SIMPLES).
//
// Notation as for the regular regime: V, V+ (V plus this item's IPI when the
// operation adds it to the base), Vst (V plus this item's IPI), R() the
// fiscal rounding, "stored" a two-decimal field's rounding.
#include <charconv>
#include <string>
#include <string_view>

#include "runtime/decimal.h"
#include "runtime/rounding.h"
#include "runtime/text.h"
#include "tax/calculo_impostos.h"
#include "tax/tax_codes.h"

namespace fvn::tax {

namespace {

constexpr std::string_view kFuncao = "ICMS_SIMPLES";
constexpr std::string_view kStNegativo =
    "|ICMS_SIMPLES|Valor de ICMS ST menor que zero.|Verifique se a configuração da alíquota ST está correta|ou se a "
    "configuração da MVA  está correta.";

double R(double x) { return CALCULO_IMPOSTOS::Arredonda_Fiscal(x); }

// A REAL as a two-decimal fixed-point field holds it.
Dec2 stored(double x) { return Dec2(x); }

enum class Bloco { DentroConsumo, DentroRevenda, ForaConsumo, ForaRevenda };

struct Escolha {
  Bloco bloco;
  const std::string* csosn;
  double* aliquota;
  double* aliquota_st;
  std::string_view fora_da_tabela;
};

Escolha escolhe(sale::GRUPO_ICMS_SIMPLES& g, bool dentro, bool consumo) {
  if (dentro && consumo) {
    return {Bloco::DentroConsumo, &g.CSOSN_CONSUMO, &g.ALIQUOTA_ICMS, &g.ALIQUOTA_ICMS_ST,
            "|ICMS_SIMPLES|CSOSN CONSUMO dentro do estado não presente na tabela de CSOSN"};
  }
  if (dentro) {
    return {Bloco::DentroRevenda, &g.CSOSN_REVENDA, &g.ALIQUOTA_ICMS, &g.ALIQUOTA_ICMS_ST,
            "|ICMS_SIMPLES |CSOSN Revenda dentro do estado não presente na tabela de CSOSN"};
  }
  if (consumo) {
    return {Bloco::ForaConsumo, &g.CSOSN_FORA_UF_CONSUMO, &g.ALIQUOTA_ICMS_FORA, &g.ALIQUOTA_ICMS_ST_FORA,
            "|ICMS_SIMPLES |CSOSN CONSUMO fora do estado não presente na tabela de CSOSN"};
  }
  return {Bloco::ForaRevenda, &g.CSOSN_FORA_UF, &g.ALIQUOTA_ICMS_FORA, &g.ALIQUOTA_ICMS_ST_FORA,
          "|ICMS_SIMPLES |CSOSN Revenda fora do estado não presente na tabela de CSOSN"};
}

// A code read as a number the way the runtime converts text: anything that
// is not a whole number reads as 0.
long numero(std::string_view texto) {
  const std::string t = text::trim(texto);
  long n = 0;
  const auto [ptr, ec] = std::from_chars(t.data(), t.data() + t.size(), n);
  return ec == std::errc{} && ptr == t.data() + t.size() ? n : 0;
}

}  // namespace

int CALCULO_IMPOSTOS::ICMS_SIMPLES(sale::GRUPO_ICMS_SIMPLES& g, double v) {
  if (FINALIDADE_OPERACAO == kOutras) return 1;
  if (FINALIDADE_OPERACAO != kConsumo && FINALIDADE_OPERACAO != kRevenda) {
    return set_error("|Calcula_Item |Tipo da finalidade inválido", 0, "Calcula_Item");
  }
  const Escolha e = escolhe(g, dentro_estado(), FINALIDADE_OPERACAO == kConsumo);
  std::string csosn = text::clip(*e.csosn);
  if (!csosn_valido(csosn)) return set_error(e.fora_da_tabela, 0, kFuncao);
  // Every run computes the item's ICMS afresh (the credit value stays: for
  // CSOSN 900 it is an input).
  g.VALOR_BC_ICMS = 0;
  g.VALOR_ICMS = Dec2{};
  g.VALOR_BC_ICMS_ST = 0;
  g.VALOR_ICMS_ST = Dec2Short{};
  if (OPERACAO.TIPO == 4) {
    csosn = "103";
    g.VALOR_BC_ICMS = 0;
    g.PERCENTUAL_RED_BC_ICMS = 0;
  }
  const bool revenda = e.bloco == Bloco::DentroRevenda || e.bloco == Bloco::ForaRevenda;
  // A company outside industry, commerce and their mix sells to the state's
  // consumers with no ICMS at all.
  if (e.bloco == Bloco::DentroConsumo && EMPRESA.RAMO != 1 && EMPRESA.RAMO != 2 && EMPRESA.RAMO != 3) {
    g.VALOR_BC_ICMS = 0;
    g.VALOR_ICMS = Dec2{};
    g.ALIQUOTA_ICMS = 0;
    g.ALIQUOTA_CRED_SIMPLES = 0;
    g.CSOSN = csosn;
    return 1;
  }

  const int n = std::stoi(csosn);
  const bool soma_ipi = OPERACAO.ADICIONA_IPI_BASE_ICMS == 0;
  const double v_mais = soma_ipi ? v + VALOR_IPI : v;
  const double v_st = v + VALOR_IPI;
  const bool rural = !sem_brancos(CLIENTE.INSCRICAO_RURAL).empty();
  // The credit a Simples company passes on: the value times the credit rate
  // as loaded (a fraction, not a percentage).
  const auto credito = [&]() {
    const double c = v * g.ALIQUOTA_CRED_SIMPLES;
    g.VALOR_CRED_SIMPLES = e.bloco == Bloco::DentroRevenda ? c : R(c);
  };

  if (n == 201 || n == 202 || n == 203) {
    g.VALOR_BC_ICMS = e.bloco == Bloco::DentroConsumo && !soma_ipi ? v : R(v_mais);
    if (*e.aliquota != 0) g.VALOR_ICMS = g.VALOR_BC_ICMS * *e.aliquota / 100;
    if (n == 201) credito();
  }
  const double aliquota = *e.aliquota;
  const double aliquota_st = *e.aliquota_st;
  const auto grava_st = [&](Dec2 st) {
    if (st.units() < 0) return set_error(kStNegativo, 0, kFuncao);
    g.VALOR_ICMS_ST = Dec2Short::from_units(st.units());
    return 1;
  };

  switch (n) {
    // 101 to 400 and 500 clear the in-state rates whatever the block: a
    // Simples item of these codes keeps its interstate rates as loaded.
    case 101:
      g.ALIQUOTA_ICMS = 0;
      credito();
      break;
    case 102:
    case 103:
    case 300:
    case 400: g.ALIQUOTA_ICMS = 0; break;
    case 201:
    case 202:
    case 203: {
      if (rural) {
        g.VALOR_BC_ICMS_ST = e.bloco == Bloco::DentroRevenda ? v_st : R(v_st);
        g.PERCENTUAL_RED_BC_ICMS_ST = 0;
        g.VALOR_ICMS_ST = g.VALOR_BC_ICMS_ST * aliquota_st / 100;
      } else {
        g.VALOR_BC_ICMS_ST = R(v_st + v_st * g.PERCENTUAL_MVA / 100);
        const double red_st = g.PERCENTUAL_RED_BC_ICMS_ST;
        const double bruto = g.VALOR_BC_ICMS_ST * aliquota_st / 100;
        const Dec2 st = red_st != 0 && aliquota > aliquota_st
                            ? stored(bruto - (aliquota - red_st) * g.VALOR_BC_ICMS / 100)
                            : stored(bruto - g.VALOR_ICMS.value());
        if (!grava_st(st)) return 0;
      }
      // A Simples item never keeps an own ICMS value.
      g.VALOR_ICMS = Dec2{};
      g.VALOR_BC_ICMS = 0;
      break;
    }
    case 500:
      g.ALIQUOTA_ICMS_ST = 0;
      g.ALIQUOTA_ICMS = 0;
      break;
    case 900: {
      if (aliquota != 0) {
        const bool reduz = g.PERCENTUAL_RED_BC_ICMS != 0;
        const double base = reduz ? v_mais - v_mais * g.PERCENTUAL_RED_BC_ICMS / 100 : v_mais;
        g.VALOR_BC_ICMS = e.bloco == Bloco::DentroConsumo && !soma_ipi && !reduz ? base : R(base);
        g.VALOR_ICMS = g.VALOR_BC_ICMS * aliquota / 100;
        // On resale a credit value given with the item is a percentage that
        // reduces the ICMS. It is kept, on both sides of the border, so that
        // every recomputation of the item applies it again.
        if (revenda && g.VALOR_CRED_SIMPLES != 0) {
          g.VALOR_ICMS = g.VALOR_ICMS.value() - R(g.VALOR_ICMS.value() * g.VALOR_CRED_SIMPLES / 100);
        }
      }
      if (aliquota_st != 0) {
        if (rural) {
          g.VALOR_BC_ICMS_ST = e.bloco == Bloco::DentroConsumo ? v_st : R(v_st);
          g.PERCENTUAL_RED_BC_ICMS_ST = 0;
          g.VALOR_ICMS_ST = g.VALOR_BC_ICMS_ST * aliquota_st / 100;
        } else {
          const double red_st = g.PERCENTUAL_RED_BC_ICMS_ST;
          double base_st = v_st + v_st * g.PERCENTUAL_MVA / 100;
          if (e.bloco == Bloco::ForaRevenda) {
            base_st = R(base_st);
            base_st = base_st - base_st * red_st / 100;
          } else {
            base_st = R(base_st - base_st * red_st / 100);
          }
          g.VALOR_BC_ICMS_ST = base_st;
          if (!grava_st(stored(base_st * aliquota_st / 100 - g.VALOR_ICMS.value()))) return 0;
        }
      }
      break;
    }
    default: break;
  }
  // The other three source fields keep their codes.
  g.CSOSN = csosn;
  return 1;
}

int CALCULO_IMPOSTOS::ICMS_CUPOM_SIMPLES(sale::GRUPO_ICMS_SIMPLES& g, double valor) {
  if (numero(g.CSOSN) == 0) {
    return set_error(" |ICMS_CUPOM_SIMPLES | CSOSN não preenchida ou com valor zero", 0, "ICMS_CUPOM_SIMPLES");
  }
  g.VALOR_BC_ICMS = valor;
  g.VALOR_ICMS = Dec2{};
  g.VALOR_BC_ICMS_ST = 0;
  g.VALOR_ICMS_ST = Dec2Short{};
  g.ALIQUOTA_CRED_SIMPLES = 0;
  g.VALOR_CRED_SIMPLES = 0;
  if (text::trim(g.CSOSN) == "101") {
    g.VALOR_ICMS = round_to(valor * g.ALIQUOTA_ICMS / 100, 2);
    g.ALIQUOTA_CRED_SIMPLES = g.ALIQUOTA_ICMS;
    g.VALOR_CRED_SIMPLES = g.VALOR_ICMS.value();
  }
  return 1;
}

}  // namespace fvn::tax
