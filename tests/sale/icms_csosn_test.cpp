// ICMS of Simples Nacional companies, by CSOSN, through Calcula_Item: one
// worked example per row, computed by hand (V = item value; the credit is V
// times the credit rate as loaded, a fraction; ST = (V + IPI) x (1 + MVA) x
// ST rate - own ICMS; every base and value rounded by the fiscal rule).
#include <string>

#include <gtest/gtest.h>

#include "sale/tax_test_support.h"

namespace fvn::tax {
namespace {

using testing::Calculadora;
using testing::kCentesimo;

struct Csosn {
  const char* name;
  // Case
  std::int32_t finalidade = kConsumo;
  bool fora = false;
  const char* csosn = "102";
  double v = 100;
  double aliq = 0;
  double aliq_st = 0;
  double red = 0;
  double mva = 0;
  double red_st = 0;
  double cred = 0;        // ALIQUOTA_CRED_SIMPLES
  double cred_valor = 0;  // VALOR_CRED_SIMPLES on entry
  bool rural = false;
  std::int32_t ramo = 2;
  std::int32_t op_tipo = 1;
  // Expected
  int resultado = 1;
  const char* csosn_final = "102";
  double aliq_final = 0;
  double bc = 0;
  double icms = 0;
  double bc_st = 0;
  double st = 0;
  double credito = 0;
  const char* erro = "";
};

class IcmsPorCsosn : public testing::CalculadoraTabela<Csosn> {};

TEST_P(IcmsPorCsosn, WorkedExample) {
  const Csosn& p = GetParam();
  CALCULO_IMPOSTOS& calc = *c.calc;
  c.simples();
  sale::GRUPO_EMPRESA empresa = calc.EMPRESA;
  empresa.RAMO = p.ramo;
  empresa.UTILIZA_IPI = 0;
  ASSERT_EQ(calc.Set_Dados_Empresa(empresa), 1);
  const testing::Contexto ctx{p.op_tipo, p.fora, p.rural, p.finalidade};
  testing::usa_contexto(
      calc, ctx, [](sale::GRUPO_OPERACAO&) {}, [](sale::GRUPO_CLIENTE&) {});
  if (HasFatalFailure()) return;

  sale::QUEUE_ITEM item = testing::item_de(p.v);
  sale::GRUPO_ICMS_SIMPLES& g = item.ICMS_SIMPLES;
  const std::string& fonte =
      testing::prepara_icms(item, g, {&g.CSOSN_CONSUMO, &g.CSOSN_REVENDA, &g.CSOSN_FORA_UF, &g.CSOSN_FORA_UF_CONSUMO},
                            ctx, p.csosn, "300", {p.aliq, p.aliq_st, p.red, p.mva, p.red_st});
  g.ALIQUOTA_CRED_SIMPLES = p.cred;
  g.VALOR_CRED_SIMPLES = p.cred_valor;

  EXPECT_EQ(calc.Calcula_Item(item), p.resultado) << calc.ERROR;
  EXPECT_EQ(calc.ERROR, p.erro);
  EXPECT_EQ(g.CSOSN, p.csosn_final);
  EXPECT_NEAR(p.fora ? g.ALIQUOTA_ICMS_FORA : g.ALIQUOTA_ICMS, p.aliq_final, kCentesimo);
  testing::espera_valores(g, p.bc, p.icms, p.bc_st, p.st);
  EXPECT_NEAR(g.VALOR_CRED_SIMPLES, p.credito, kCentesimo);
  EXPECT_EQ(fonte, p.csosn);  // the source codes stay
  // The regular-regime group is never touched for a Simples company.
  EXPECT_EQ(item.ICMS.CST_ICMS, "");
}

INSTANTIATE_TEST_SUITE_P(
    Csosn, IcmsPorCsosn,
    ::testing::Values(
        // 200.00 x 0.0125 = 2.50 of credit; the own rate is cleared.
        Csosn{.name = "Csosn101Credit",
              .csosn = "101",
              .v = 200,
              .aliq = 3,
              .cred = 0.0125,
              .csosn_final = "101",
              .credito = 2.50},
        // 33.33 x 0.0125 = 0.416625: fiscally 0.42, kept as is on in-state resale.
        Csosn{.name = "Csosn101CreditRounded",
              .csosn = "101",
              .v = 33.33,
              .cred = 0.0125,
              .csosn_final = "101",
              .credito = 0.42},
        Csosn{.name = "Csosn101InStateResaleCreditUnrounded",
              .finalidade = kRevenda,
              .csosn = "101",
              .v = 33.33,
              .cred = 0.0125,
              .csosn_final = "101",
              .credito = 33.33 * 0.0125},
        Csosn{.name = "Csosn102", .aliq = 18, .csosn_final = "102"},
        // Out of state, 102 clears the in-state rate only: the interstate one stays.
        Csosn{.name = "Csosn102OutOfStateKeepsTheInterstateRate",
              .fora = true,
              .aliq = 12,
              .csosn_final = "102",
              .aliq_final = 12},
        Csosn{.name = "Csosn103", .csosn = "103", .aliq = 18, .csosn_final = "103"},
        // Consumer without registration, ST 18%, MVA 40%, own 12%: 25.20 - 12.00.
        // The own ICMS is only deducted, never kept; the credit is 1.25.
        Csosn{.name = "Csosn201StAndCredit",
              .csosn = "201",
              .aliq = 12,
              .aliq_st = 18,
              .mva = 40,
              .cred = 0.0125,
              .csosn_final = "201",
              .aliq_final = 12,
              .bc_st = 140,
              .st = 13.20,
              .credito = 1.25},
        // Reduced ST with the own rate larger: 140 x 12% - (18 - 5).
        Csosn{.name = "Csosn202ReducedSt",
              .csosn = "202",
              .aliq = 18,
              .aliq_st = 12,
              .mva = 40,
              .red_st = 5,
              .csosn_final = "202",
              .aliq_final = 18,
              .bc_st = 140,
              .st = 3.80},
        Csosn{.name = "Csosn203RuralProducer",
              .csosn = "203",
              .aliq = 12,
              .aliq_st = 18,
              .mva = 40,
              .rural = true,
              .csosn_final = "203",
              .aliq_final = 12,
              .bc_st = 100,
              .st = 18},
        Csosn{.name = "Csosn201NegativeStFails",
              .csosn = "201",
              .aliq = 18,
              .aliq_st = 7,
              .resultado = 0,
              .csosn_final = "",
              .aliq_final = 18,
              .bc = 100,
              .icms = 18,
              .bc_st = 100,
              .erro = "|ICMS_SIMPLES|Valor de ICMS ST menor que zero.|Verifique se a configuração da alíquota ST "
                      "está correta|ou se a configuração da MVA  está correta."},
        Csosn{.name = "Csosn500", .csosn = "500", .aliq = 18, .aliq_st = 18, .csosn_final = "500"},
        // Own 18.00 kept; ST 140 x 18% - 18.00.
        Csosn{.name = "Csosn900OwnAndSt",
              .csosn = "900",
              .aliq = 18,
              .aliq_st = 18,
              .mva = 40,
              .csosn_final = "900",
              .aliq_final = 18,
              .bc = 100,
              .icms = 18,
              .bc_st = 140,
              .st = 7.20},
        // 100 - 10% = 90; 90 x 18% = 16.20.
        Csosn{.name = "Csosn900ReducedBase",
              .csosn = "900",
              .aliq = 18,
              .red = 10,
              .csosn_final = "900",
              .aliq_final = 18,
              .bc = 90,
              .icms = 16.20},
        // On resale a credit value on entry is a percentage off the ICMS:
        // 18.00 - 10% = 16.20; ST 25.20 - 16.20.
        Csosn{.name = "Csosn900ResaleCreditPercentage",
              .finalidade = kRevenda,
              .csosn = "900",
              .aliq = 18,
              .aliq_st = 18,
              .mva = 40,
              .cred_valor = 10,
              .csosn_final = "900",
              .aliq_final = 18,
              .bc = 100,
              .icms = 16.20,
              .bc_st = 140,
              .st = 9.00,
              .credito = 10},
        // Out-of-state resale rounds the ST base before its reduction:
        // 10.05 x 1.1 = 11.055 -> 11.06; less 10% = 9.954; 9.954 x 18% = 1.79.
        Csosn{.name = "Csosn900OutOfStateResaleReducedSt",
              .finalidade = kRevenda,
              .fora = true,
              .csosn = "900",
              .v = 10.05,
              .aliq_st = 18,
              .mva = 10,
              .red_st = 10,
              .csosn_final = "900",
              .bc_st = 11.06 * 0.9,
              .st = 1.79},
        // Elsewhere the reduced base is rounded: 11.055 - 1.1055 = 9.9495 -> 9.95.
        Csosn{.name = "Csosn900InStateReducedSt",
              .finalidade = kRevenda,
              .csosn = "900",
              .v = 10.05,
              .aliq_st = 18,
              .mva = 10,
              .red_st = 10,
              .csosn_final = "900",
              .bc_st = 9.95,
              .st = 1.79},
        Csosn{.name = "Csosn900RuralProducer",
              .finalidade = kRevenda,
              .csosn = "900",
              .aliq = 12,
              .aliq_st = 18,
              .mva = 40,
              .rural = true,
              .csosn_final = "900",
              .aliq_final = 12,
              .bc = 100,
              .icms = 12,
              .bc_st = 100,
              .st = 18},
        Csosn{.name = "OperationType4ForcesCsosn103", .csosn = "900", .aliq = 18, .op_tipo = 4, .csosn_final = "103"},
        // Outside industry and commerce: no ICMS, no credit rate, code copied.
        Csosn{.name = "ServicesCompanyInStateConsumer",
              .csosn = "101",
              .aliq = 18,
              .cred = 0.0125,
              .ramo = 4,
              .csosn_final = "101"},
        Csosn{.name = "ServicesCompanyOutOfStateIsTaxed",
              .fora = true,
              .csosn = "101",
              .v = 200,
              .cred = 0.0125,
              .ramo = 4,
              .csosn_final = "101",
              .credito = 2.50},
        Csosn{.name = "PurposeOtherComputesNothing",
              .finalidade = kOutras,
              .csosn = "900",
              .aliq = 18,
              .csosn_final = "",
              .aliq_final = 18},
        Csosn{.name = "UnknownConsumptionCsosn",
              .csosn = "104",
              .resultado = 0,
              .csosn_final = "",
              .erro = "|ICMS_SIMPLES|CSOSN CONSUMO dentro do estado não presente na tabela de CSOSN"}),
    testing::RowName{});

// The fiscal printer of a Simples company: only the base, and for CSOSN 101
// the credit at the ICMS rate.
struct CupomSimples {
  const char* name;
  const char* csosn;
  int resultado = 1;
  const char* codigo = "";
  double icms = 0;
  double credito = 0;
};

class IcmsCupomSimples : public testing::CalculadoraTabela<CupomSimples> {};

TEST_P(IcmsCupomSimples, PrinterRules) {
  const CupomSimples& p = GetParam();
  c.simples();
  ASSERT_EQ(c.calc->Set_Dados_Emissor(Calculadora::emissor(1)), 1);
  sale::QUEUE_ITEM item = testing::item_de(200);
  item.ICMS_SIMPLES.CSOSN = p.csosn;
  item.ICMS_SIMPLES.ALIQUOTA_ICMS = 2.5;
  item.ICMS_SIMPLES.VALOR_BC_ICMS_ST = 50;  // cleared by the printer path
  EXPECT_EQ(c.calc->Calcula_Item(item), p.resultado);
  EXPECT_EQ(item.DESCRICAO_TRIBUTACAO, p.codigo);
  EXPECT_NEAR(item.ICMS_SIMPLES.VALOR_ICMS.value(), p.icms, kCentesimo);
  EXPECT_NEAR(item.ICMS_SIMPLES.VALOR_CRED_SIMPLES, p.credito, kCentesimo);
  if (p.resultado == 1) {
    EXPECT_EQ(item.ICMS_SIMPLES.VALOR_BC_ICMS, 200);
    EXPECT_EQ(item.ICMS_SIMPLES.VALOR_BC_ICMS_ST, 0);
  } else {
    EXPECT_EQ(c.calc->ERROR, " |ICMS_CUPOM_SIMPLES | CSOSN não preenchida ou com valor zero");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Printer, IcmsCupomSimples,
    ::testing::Values(
        CupomSimples{.name = "Csosn101CreditAtTheIcmsRate", .csosn = "101", .codigo = "T", .icms = 5, .credito = 5},
        CupomSimples{.name = "Csosn102", .csosn = "102", .codigo = "T"},
        CupomSimples{.name = "Csosn500", .csosn = "500", .codigo = "F"},
        CupomSimples{.name = "Csosn300", .csosn = "300", .codigo = "N"},
        CupomSimples{.name = "Csosn203", .csosn = "203", .codigo = "I"},
        CupomSimples{.name = "Csosn900LeavesTheCode", .csosn = "900"},
        CupomSimples{.name = "UnlistedCodeOnlyTheBase", .csosn = "999"},
        CupomSimples{.name = "ZeroRefused", .csosn = "000", .resultado = 0},
        CupomSimples{.name = "BlankRefused", .csosn = " ", .resultado = 0}),
    testing::RowName{});

}  // namespace
}  // namespace fvn::tax
