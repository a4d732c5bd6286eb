// ICMS of the regular regime, by CST, through Calcula_Item: one worked
// example per row, computed by hand from the rules (V = item value; ST base
// = (V + IPI) x (1 + MVA); ST = ST base x ST rate - own ICMS; every base and
// value rounded by the fiscal rule).
#include <string>

#include <gtest/gtest.h>

#include "sale/tax_test_support.h"

namespace fvn::tax {
namespace {

using testing::Calculadora;
using testing::kCentesimo;

constexpr const char* kStNegativo =
    "|ICMS |Valor de ICMS ST menor que zero.|Verifique se a configuração da alíquota ST está correta|ou se a "
    "configuração da MVA  está correta.";

struct Cst {
  const char* name;
  // Case
  std::int32_t finalidade = kConsumo;
  bool fora = false;  // customer of another state
  const char* cst = "00";
  double v = 100;
  double ipi = 0;                // IPI rate (CST 50) on the item; 0 = no IPI
  std::int32_t ipi_na_base = 0;  // ADICIONA_IPI_BASE_ICMS: 0 adds the IPI to the own base
  double aliq = 0;
  double aliq_st = 0;
  double red = 0;
  double mva = 0;
  double red_st = 0;
  double deferimento = 0;
  bool rural = false;
  std::int32_t concessao = 0;
  std::int32_t op_tipo = 1;
  std::int32_t troca = 0;
  std::int32_t calcula_transferencia = 1;
  // Expected
  int resultado = 1;
  const char* cst_final = "00";
  double bc = 0;
  double icms = 0;
  double reducao = 0;
  double bc_st = 0;
  double st = 0;
  double isenta = 0;
  double deferido = 0;
  double st_ret = 0;
  const char* erro = "";
};

class IcmsPorCst : public testing::CalculadoraTabela<Cst> {};

TEST_P(IcmsPorCst, WorkedExample) {
  const Cst& p = GetParam();
  CALCULO_IMPOSTOS& calc = *c.calc;
  const testing::Contexto ctx{p.op_tipo, p.fora, p.rural, p.finalidade};
  testing::usa_contexto(
      calc, ctx,
      [&](sale::GRUPO_OPERACAO& op) {
        op.ADICIONA_IPI_BASE_ICMS = p.ipi_na_base;
        op.TROCA_CST_ICMS_TRANSFERENCIA = p.troca;
        op.CALCULA_IMPOSTO_TRANFERENCIA = p.calcula_transferencia;
      },
      [&](sale::GRUPO_CLIENTE& cliente) { cliente.CONCESSAO_ICMS_ST = p.concessao; });
  if (HasFatalFailure()) return;

  sale::QUEUE_ITEM item = testing::item_de(p.v);
  sale::GRUPO_ICMS& g = item.ICMS;
  const std::string& fonte =
      testing::prepara_icms(item, g, {&g.CST_ICMS_CONSUMO, &g.CST_ICMS_REVENDA, &g.CST_FORA_UF, &g.CST_FORA_UF_CONSUMO},
                            ctx, p.cst, "40", {p.aliq, p.aliq_st, p.red, p.mva, p.red_st});
  g.PERCENTUAL_ICMS_DEFERIMENTO = p.deferimento;
  if (p.ipi != 0) {
    item.IPI.CST_IPI = "50";
    item.IPI.ALIQUOTA_IPI = p.ipi;
  }

  EXPECT_EQ(calc.Calcula_Item(item), p.resultado) << calc.ERROR;
  if (p.resultado == 0) {
    EXPECT_EQ(calc.ERROR, p.erro);
    EXPECT_EQ(calc.ERROR_CODE, 0);
  }
  EXPECT_EQ(g.CST_ICMS, p.cst_final);
  testing::espera_valores(g, p.bc, p.icms, p.bc_st, p.st);
  EXPECT_NEAR(g.VALOR_ICMS_REDUCAO, p.reducao, kCentesimo);
  EXPECT_NEAR(g.VALOR_BC_ISENTA, p.isenta, kCentesimo);
  EXPECT_NEAR(g.VALOR_ICMS_DEFERIDO, p.deferido, kCentesimo);
  EXPECT_NEAR(g.VALOR_ICMS_ST_RET, p.st_ret, kCentesimo);
  // A run never blanks the source codes.
  EXPECT_EQ(fonte, p.cst);
}

INSTANTIATE_TEST_SUITE_P(
    Cst, IcmsPorCst,
    ::testing::Values(
        Cst{.name = "Cst00FullBase", .aliq = 18, .bc = 100, .icms = 18},
        // IPI 10% of 100 = 10.00 joins the own base when the flag is 0.
        Cst{.name = "Cst00IpiInTheBase", .ipi = 10, .aliq = 18, .bc = 110, .icms = 19.80},
        Cst{.name = "Cst00IpiOutOfTheBase", .ipi = 10, .ipi_na_base = 1, .aliq = 18, .bc = 100, .icms = 18},
        // 0.25 x 18% = 0.045: a stored half goes up, 0.05.
        Cst{.name = "Cst00StoredValueRoundsHalfUp", .v = 0.25, .aliq = 18, .bc = 0.25, .icms = 0.05},
        // In-state resale, both rates 18%, MVA 40%: ST 25.20 - 18.00.
        Cst{.name = "Cst10InStateResale",
            .finalidade = kRevenda,
            .cst = "10",
            .aliq = 18,
            .aliq_st = 18,
            .mva = 40,
            .cst_final = "10",
            .bc = 100,
            .icms = 18,
            .bc_st = 140,
            .st = 7.20},
        // The ST base takes the IPI even when the own base does not: 110 x 1.4.
        Cst{.name = "Cst10StBaseTakesTheIpi",
            .finalidade = kRevenda,
            .cst = "10",
            .ipi = 10,
            .ipi_na_base = 1,
            .aliq = 18,
            .aliq_st = 18,
            .mva = 40,
            .cst_final = "10",
            .bc = 100,
            .icms = 18,
            .bc_st = 154,
            .st = 9.72},
        // Reduced ST with the own rate larger: 140 x 12% - (18 - 5) x 100 / 100.
        Cst{.name = "Cst10ReducedStDeductsTheReducedRate",
            .finalidade = kRevenda,
            .cst = "10",
            .aliq = 18,
            .aliq_st = 12,
            .mva = 40,
            .red_st = 5,
            .cst_final = "10",
            .bc = 100,
            .icms = 18,
            .bc_st = 140,
            .st = 3.80},
        Cst{.name = "Cst10ConcessionLeavesTheSt",
            .finalidade = kRevenda,
            .cst = "10",
            .aliq = 18,
            .aliq_st = 18,
            .mva = 40,
            .concessao = 1,
            .cst_final = "10",
            .bc = 100,
            .icms = 18},
        // A rural producer: ST base = V + IPI, no margin, nothing deducted.
        Cst{.name = "Cst10RuralProducer",
            .finalidade = kRevenda,
            .cst = "10",
            .aliq = 18,
            .aliq_st = 18,
            .mva = 40,
            .rural = true,
            .cst_final = "10",
            .bc = 100,
            .icms = 18,
            .bc_st = 100,
            .st = 18},
        Cst{.name = "Cst10NegativeStFails",
            .finalidade = kRevenda,
            .cst = "10",
            .aliq = 18,
            .aliq_st = 7,
            .resultado = 0,
            .cst_final = "",
            .bc = 100,
            .icms = 18,
            .bc_st = 100,
            .erro = kStNegativo},
        // 100 - 33.33% = 66.67; 66.67 x 18% = 12.0006, stored 12.00.
        Cst{.name = "Cst20ReducedBase",
            .cst = "20",
            .aliq = 18,
            .red = 33.33,
            .cst_final = "20",
            .bc = 66.67,
            .icms = 12.00,
            .reducao = 33.33},
        Cst{.name = "Cst20WithoutReductionFails",
            .cst = "20",
            .aliq = 18,
            .resultado = 0,
            .cst_final = "",
            .erro = "|ICMS |Valor de redução de base de cálculo de ICMS igual a zero.|Verifique se a configuração da "
                    "redução de base de cálculo está correta."},
        // Only ST: 140 x 18% - 100 x 12%, never an own base or value.
        Cst{.name = "Cst30StOnly",
            .cst = "30",
            .aliq = 12,
            .aliq_st = 18,
            .mva = 40,
            .cst_final = "30",
            .bc_st = 140,
            .st = 13.20},
        // The deduction takes V without the IPI: 154 x 18% - 100 x 12%.
        Cst{.name = "Cst30DeductionLeavesTheIpiOut",
            .cst = "30",
            .ipi = 10,
            .aliq = 12,
            .aliq_st = 18,
            .mva = 40,
            .cst_final = "30",
            .bc_st = 154,
            .st = 15.72},
        Cst{.name = "Cst30NegativeStFails",
            .cst = "30",
            .aliq = 18,
            .aliq_st = 7,
            .resultado = 0,
            .cst_final = "",
            .bc_st = 100,
            .erro = "|ICMS |Valor de ICMS ST menor que zero.|Verifique se a configuração da alíquota ST está "
                    "correta,|se a configuração da MVA está correta |ou se a alíquota de ICMS está correta."},
        Cst{.name = "Cst40ExemptBase", .cst = "40", .aliq = 18, .cst_final = "40", .isenta = 100},
        Cst{.name = "Cst50NothingComputed", .cst = "50", .aliq = 18, .cst_final = "50"},
        // 18.00 x 33.33% = 5.9994, fiscally 6.00; 18.00 - 6.00.
        Cst{.name = "Cst51Deferral",
            .cst = "51",
            .aliq = 18,
            .deferimento = 33.33,
            .cst_final = "51",
            .bc = 100,
            .icms = 12,
            .deferido = 6},
        // 90 x 18% = 16.20, half deferred.
        Cst{.name = "Cst51ReducedBase",
            .cst = "51",
            .aliq = 18,
            .red = 10,
            .deferimento = 50,
            .cst_final = "51",
            .bc = 90,
            .icms = 8.10,
            .reducao = 10,
            .deferido = 8.10},
        Cst{.name = "Cst51WithoutDeferralFails",
            .cst = "51",
            .aliq = 18,
            .resultado = 0,
            .cst_final = "",
            .erro = "|ICMS | Percentual de deferimento no item menor ou igual a zero.|Verifique se a configuração do "
                    "percentual de deferimento está correta."},
        Cst{.name = "Cst60RetainedEarlier", .cst = "60", .aliq = 18, .aliq_st = 18, .cst_final = "60", .st_ret = 100},
        // 100 - 20% = 80 (ICMS 14.40); ST base 140 - 20% = 112; 112 x 18% - 14.40.
        Cst{.name = "Cst70ReducedBaseAndSt",
            .finalidade = kRevenda,
            .cst = "70",
            .aliq = 18,
            .aliq_st = 18,
            .red = 20,
            .mva = 40,
            .red_st = 20,
            .cst_final = "70",
            .bc = 80,
            .icms = 14.40,
            .reducao = 20,
            .bc_st = 112,
            .st = 5.76},
        Cst{.name = "Cst70WithoutReductionFullBase", .cst = "70", .aliq = 18, .cst_final = "70", .bc = 100, .icms = 18},
        // In-state consumption keeps the reduction amount unrounded:
        // 33.33 x 33.33% = 11.108889; base 22.221111 -> 22.22; 3.9996 -> 4.00.
        Cst{.name = "Cst90InStateConsumptionUnroundedReduction",
            .cst = "90",
            .v = 33.33,
            .aliq = 18,
            .red = 33.33,
            .cst_final = "90",
            .bc = 22.22,
            .icms = 4.00,
            .reducao = 33.33 - (33.33 - 33.33 * 33.33 / 100)},
        Cst{.name = "Cst90InStateResaleRoundsTheReduction",
            .finalidade = kRevenda,
            .cst = "90",
            .v = 33.33,
            .aliq = 18,
            .red = 33.33,
            .cst_final = "90",
            .bc = 22.22,
            .icms = 4.00,
            .reducao = 11.11},
        // Out of state: interstate rates and the state margin: 150 x 18% - 12.
        Cst{.name = "Cst90OutOfStateInterstateRates",
            .finalidade = kRevenda,
            .fora = true,
            .cst = "90",
            .aliq = 12,
            .aliq_st = 18,
            .mva = 50,
            .cst_final = "90",
            .bc = 100,
            .icms = 12,
            .bc_st = 150,
            .st = 15},
        Cst{.name = "Cst90RuralProducer",
            .finalidade = kRevenda,
            .cst = "90",
            .aliq = 18,
            .aliq_st = 18,
            .mva = 40,
            .rural = true,
            .cst_final = "90",
            .bc = 100,
            .icms = 18,
            .bc_st = 100,
            .st = 18},
        Cst{.name = "OperationType4ForcesCst41", .cst = "00", .aliq = 18, .op_tipo = 4, .cst_final = "41"},
        Cst{.name = "TransferSwapTo51NeedsDeferral",
            .cst = "00",
            .aliq = 18,
            .op_tipo = 6,
            .troca = 1,
            .resultado = 0,
            .cst_final = "",
            .erro = "|ICMS | Percentual de deferimento no item menor ou igual a zero.|Verifique se a configuração do "
                    "percentual de deferimento está correta."},
        Cst{.name = "TransferWithoutTaxesZeroesTheOwnIcms",
            .cst = "00",
            .aliq = 18,
            .op_tipo = 6,
            .calcula_transferencia = 0},
        Cst{.name = "PurposeOtherComputesNothing",
            .finalidade = kOutras,
            .cst = "10",
            .aliq = 18,
            .aliq_st = 18,
            .cst_final = ""},
        Cst{.name = "UnknownConsumptionCst",
            .cst = "99",
            .resultado = 0,
            .cst_final = "",
            .erro = "|ICMS |CST CONSUMO dentro do estado não presente na tabela de CST"}),
    testing::RowName{});

// The fiscal printer: ICMS on the value at the printer's rate, rounded to
// the cent, and the printer's tax code.
struct Cupom {
  const char* name;
  std::int32_t tipo_produto = 1;
  const char* cst = "00";
  double v = 10;
  double aliq = 0;
  double aliq_issqn = 0;
  int resultado = 1;
  const char* cfop = "5102";
  const char* codigo = "";
  double bc = 0;
  double icms = 0;
  double st_ret = 0;
  double issqn = 0;
  const char* erro = "";
};

class IcmsCupom : public testing::CalculadoraTabela<Cupom> {};

TEST_P(IcmsCupom, PrinterRules) {
  const Cupom& p = GetParam();
  CALCULO_IMPOSTOS& calc = *c.calc;
  ASSERT_EQ(calc.Set_Dados_Emissor(Calculadora::emissor(1)), 1);
  sale::QUEUE_ITEM item = testing::item_de(p.v);
  item.TIPO_PRODUTO = p.tipo_produto;
  item.ICMS.CST_ICMS = p.cst;
  item.ICMS.ALIQUOTA_ICMS = p.aliq;
  item.ISSQN.ALIQUOTA_ISSQN = p.aliq_issqn;
  EXPECT_EQ(calc.Calcula_Item(item), p.resultado);
  EXPECT_EQ(calc.ERROR, p.erro);
  EXPECT_EQ(item.CFOP, p.cfop);
  EXPECT_EQ(item.DESCRICAO_TRIBUTACAO, p.codigo);
  EXPECT_NEAR(item.ICMS.VALOR_BC_ICMS, p.bc, kCentesimo);
  EXPECT_NEAR(item.ICMS.VALOR_ICMS.value(), p.icms, kCentesimo);
  EXPECT_NEAR(item.ICMS.VALOR_ICMS_ST_RET, p.st_ret, kCentesimo);
  EXPECT_NEAR(item.ISSQN.VALOR_ISSQN, p.issqn, kCentesimo);
}

INSTANTIATE_TEST_SUITE_P(
    Printer, IcmsCupom,
    ::testing::Values(
        Cupom{.name = "Cst00Taxed", .aliq = 18, .codigo = "T18,00%", .bc = 10, .icms = 1.80},
        Cupom{.name = "RateWrittenInFiveCharacters", .aliq = 7.5, .codigo = "T07,50%", .bc = 10, .icms = 0.75},
        // 0.25 x 18% = 0.045: halves away from zero, 0.05.
        Cupom{.name = "HalfCentGoesUp", .v = 0.25, .aliq = 18, .codigo = "T18,00%", .bc = 0.25, .icms = 0.05},
        Cupom{.name = "Cst60RetainedSt", .cst = "60", .cfop = "5405", .codigo = "F", .st_ret = 10},
        Cupom{.name = "Cst40Exempt", .cst = "40", .codigo = "I"},
        Cupom{.name = "Cst41NotTaxed", .cst = "41", .codigo = "N"},
        Cupom{.name = "ServiceWithIssqn",
              .tipo_produto = 2,
              .aliq_issqn = 5,
              .cfop = "5933",
              .codigo = "S05,00%",
              .issqn = 0.50},
        Cupom{.name = "Cst20NotForThisPrinter",
              .cst = "20",
              .aliq = 18,
              .resultado = 0,
              .erro = "|ICMS_CUPOM |CST Informada não pode ser utilizada para este tipo de emissor| CST: 20 "},
        Cupom{.name = "Cst60WithARateRefused",
              .cst = "60",
              .aliq = 18,
              .resultado = 0,
              .cfop = "5405",
              .codigo = "F",
              .erro = "|ICMS_CUPOM |Não deve ter alíquota de ICMS quando CST estiver preenchida com 60, 40, 41"},
        Cupom{.name = "BlankCstRefused", .cst = "", .resultado = 0, .erro = " |ICMS_CUPOM |CST não preenchida "}),
    testing::RowName{});

// The CST source fields survive a run, so the purpose can change afterwards.
TEST(IcmsSourceFields, ChangingThePurposeFindsTheResaleCst) {
  Calculadora c;
  sale::QUEUE_ITEM item = testing::item_de(100);
  item.ICMS.CST_ICMS_CONSUMO = "00";
  item.ICMS.CST_ICMS_REVENDA = "10";
  item.ICMS.ALIQUOTA_ICMS = 18;
  item.ICMS.ALIQUOTA_ICMS_ST = 18;
  item.MVA.PERCENTUAL_MVA_NCM = 40;
  ASSERT_EQ(c.calc->Calcula_Item(item), 1);
  EXPECT_EQ(item.ICMS.CST_ICMS, "00");
  ASSERT_EQ(c.calc->Set_Finalidade_Operacao(kRevenda), 1);
  ASSERT_EQ(c.calc->Calcula_Item(item), 1) << c.calc->ERROR;
  EXPECT_EQ(item.ICMS.CST_ICMS, "10");
  EXPECT_EQ(item.ICMS.VALOR_ICMS_ST.value(), 7.20);
}

}  // namespace
}  // namespace fvn::tax
