// IPI, PIS, COFINS, ISSQN, the import tax and the withholdings: base times
// rate, rounded to the cent (halves away from zero), gated by the tax
// situation code; withholdings gated by the company's use flag and minimum.
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "sale/tax_test_support.h"

namespace fvn::tax {
namespace {

using testing::Calculadora;
using testing::kCentesimo;

// One row for the four coded taxes: which tax, its code, rate and value.
enum class Tributo { Ipi, Pis, Cofins, Issqn };

struct Codificado {
  const char* name;
  Tributo tributo;
  const char* cst;
  double aliquota;
  double valor;
  int resultado = 1;
  double base = 0;
  double imposto = 0;
  double aliquota_final = 0;
  const char* erro = "";
};

class ImpostoCodificado : public testing::CalculadoraTabela<Codificado> {};

TEST_P(ImpostoCodificado, WorkedExample) {
  const Codificado& p = GetParam();
  CALCULO_IMPOSTOS& calc = *c.calc;
  calc.VALOR_IPI = 99;  // whatever an earlier item left
  double base = 0;
  double imposto = 0;
  double aliquota = 0;
  int resultado = 0;
  switch (p.tributo) {
    case Tributo::Ipi: {
      sale::GRUPO_IPI g{p.cst, 0, p.aliquota, 0};
      resultado = calc.IPI(g, p.valor);
      base = g.VALOR_BC_IPI;
      imposto = g.VALOR_IPI;
      aliquota = g.ALIQUOTA_IPI;
      // The ICMS bases read this item's IPI, never an earlier one.
      if (resultado == 1) {
        EXPECT_EQ(calc.VALOR_IPI, g.VALOR_IPI);
      }
      break;
    }
    case Tributo::Pis: {
      sale::GRUPO_PIS g{p.cst, 0, p.aliquota, 0};
      resultado = calc.PIS(g, p.valor);
      base = g.VALOR_BC_PIS;
      imposto = g.VALOR_PIS;
      aliquota = g.ALIQUOTA_PIS;
      EXPECT_EQ(calc.VALOR_IPI, 99);
      break;
    }
    case Tributo::Cofins: {
      sale::GRUPO_COFINS g{p.cst, 0, p.aliquota, 0};
      resultado = calc.COFINS(g, p.valor);
      base = g.VALOR_BC_COFINS;
      imposto = g.VALOR_COFINS;
      aliquota = g.ALIQUOTA_COFINS;
      break;
    }
    case Tributo::Issqn: {
      sale::GRUPO_ISSQN g{0, p.aliquota, 0, p.cst};
      resultado = calc.ISSQN(g, p.valor);
      base = g.VALOR_BC_ISSQN;
      imposto = g.VALOR_ISSQN;
      aliquota = g.ALIQUOTA_ISSQN;
      break;
    }
  }
  EXPECT_EQ(resultado, p.resultado);
  EXPECT_EQ(calc.ERROR, p.erro);
  EXPECT_NEAR(base, p.base, kCentesimo);
  EXPECT_NEAR(imposto, p.imposto, kCentesimo);
  EXPECT_NEAR(aliquota, p.aliquota_final, kCentesimo);
}

INSTANTIATE_TEST_SUITE_P(
    Taxes, ImpostoCodificado,
    ::testing::Values(Codificado{"IpiTaxedCst50", Tributo::Ipi, "50", 10, 100, 1, 100, 10, 10},
                      // 33.33 x 7.5% = 2.49975 -> 2.50.
                      Codificado{"IpiTaxedCst99RoundsToTheCent", Tributo::Ipi, "99", 7.5, 33.33, 1, 33.33, 2.50, 7.5},
                      Codificado{"IpiValidButNotTaxedZeroesAll", Tributo::Ipi, "52", 10, 100, 1, 0, 0, 0},
                      Codificado{"IpiCodeNotInTheTable", Tributo::Ipi, "06", 10, 100, 0, 0, 0, 10,
                                 "|IPI |Código não consta na tabela de IPI."},
                      Codificado{"PisTaxedCst01", Tributo::Pis, "01", 1.65, 100, 1, 100, 1.65, 1.65},
                      // "1" is read as "01"; 10.10 x 0.65% = 0.06565 -> 0.07.
                      Codificado{"PisOneDigitCode", Tributo::Pis, "1", 0.65, 10.10, 1, 10.10, 0.07, 0.65},
                      Codificado{"Pis49IsNotTaxed", Tributo::Pis, "49", 1.65, 100, 1, 0, 0, 0},
                      Codificado{"PisCodeNotInTheTable", Tributo::Pis, "10", 1.65, 100, 0, 0, 0, 1.65,
                                 "|PIS |Código não consta na tabela de PIS."},
                      Codificado{"Cofins49IsTaxed", Tributo::Cofins, "49", 7.6, 100, 1, 100, 7.60, 7.6},
                      Codificado{"CofinsExempt", Tributo::Cofins, "07", 7.6, 100, 1, 0, 0, 0},
                      Codificado{"IssqnNormal", Tributo::Issqn, "N", 5, 100, 1, 100, 5, 5},
                      // 0.25 x 2% = 0.005: half a cent goes up.
                      Codificado{"IssqnHalfCentGoesUp", Tributo::Issqn, "I", 2, 0.25, 1, 0.25, 0.01, 2},
                      Codificado{"IssqnUnknownCodeWritesNothing", Tributo::Issqn, "X", 5, 100, 0, 0, 0, 5,
                                 "|ISSQN |CST ISSQN Inválida"}),
    testing::RowName{});

// Withholdings on the sale's net total: written when the company uses them
// and the total reaches the minimum; the value is not rounded.
struct Retencao {
  const char* name;
  std::int32_t usa;
  double minimo;
  double percentual;
  double valor;
  bool retido;
};

class Retencoes : public testing::CalculadoraTabela<Retencao> {};

TEST_P(Retencoes, InssIrAndCsllFollowTheCompany) {
  const Retencao& p = GetParam();
  sale::GRUPO_EMPRESA e = c.calc->EMPRESA;
  e.UTILIZA_RETENCAO_INSS = e.UTILIZA_RETENCAO_IR = e.UTILIZA_RETENCAO_CSLL = p.usa;
  e.VALOR_MINIMO_INSS = e.VALOR_MINIMO_IR = e.VALOR_MINIMO_CSLL = p.minimo;
  e.PERC_RETENCAO_INSS = p.percentual;
  e.PERC_RETENCAO_IR = p.percentual / 2;
  e.PERC_RETENCAO_CSLL = p.percentual / 4;
  ASSERT_EQ(c.calc->Set_Dados_Empresa(e), 1) << c.calc->ERROR;
  sale::GRUPO_INSS inss;
  sale::GRUPO_IR ir;
  sale::GRUPO_CSLL csll;
  EXPECT_EQ(c.calc->INSS(inss, p.valor), 1);
  EXPECT_EQ(c.calc->IR(ir, p.valor), 1);
  EXPECT_EQ(c.calc->CSLL(csll, p.valor), 1);
  const double base = p.retido ? p.valor : 0;
  EXPECT_EQ(inss.VALOR_BC_INSS, base);
  EXPECT_EQ(inss.ALIQUOTA_INSS, p.retido ? p.percentual : 0);
  EXPECT_EQ(inss.VALOR_INSS, p.retido ? p.valor * p.percentual / 100 : 0);
  EXPECT_EQ(ir.VALOR_IR, p.retido ? p.valor * (p.percentual / 2) / 100 : 0);
  EXPECT_EQ(csll.VALOR_BC_CSLL, base);
  EXPECT_EQ(csll.VALOR_CSLL, p.retido ? p.valor * (p.percentual / 4) / 100 : 0);
}

INSTANTIATE_TEST_SUITE_P(Withholdings, Retencoes,
                         ::testing::Values(Retencao{"MinimumEqualToTheValueIsWithheld", 1, 100, 11, 100, true},
                                           Retencao{"MinimumOneCentAboveIsNot", 1, 100.01, 11, 100, false},
                                           // 1,000.33 x 11% = 110.0363, kept unrounded.
                                           Retencao{"ValueKeptUnrounded", 1, 10, 11, 1000.33, true},
                                           Retencao{"CompanyWithoutWithholding", 0, 0, 0, 5000, false}),
                         testing::RowName{});

TEST(ImportTax, RateOnTheNetValueRoundedToTheCent) {
  Calculadora c;
  sale::QUEUE_ITEM item = testing::item_de(55.55);
  item.ALIQUOTA_II = 10;  // 5.555 -> 5.56
  EXPECT_EQ(c.calc->II(item), 1);
  EXPECT_EQ(item.II.VALOR_BC_II, 55.55);
  EXPECT_NEAR(item.II.VALOR_II, 5.56, kCentesimo);
  EXPECT_EQ(c.calc->VALOR_II, item.II.VALOR_II);
  EXPECT_EQ(c.calc->BASE_II, 55.55);

  sale::QUEUE_ITEM sem = testing::item_de(55.55);
  sem.II.VALOR_II = 3;  // given with the item: a zero rate leaves it
  EXPECT_EQ(c.calc->II(sem), 1);
  EXPECT_EQ(sem.II.VALOR_II, 3);
  EXPECT_EQ(sem.II.VALOR_BC_II, 0);
}

// IPI runs for goods of an industry that charges it, on the value before the
// discounts; a valid code outside the taxed list adds nothing to the ICMS base.
TEST(IpiInCalculaItem, BaseIsTheValueBeforeDiscounts) {
  Calculadora c;
  sale::QUEUE_ITEM item = testing::item_de(90);
  item.DESCONTO = 6;
  item.DESCONTO_VENDA = 4;
  item.SUBTOTAL_ITEM = 94;  // the net value stays 90 by the item's parts
  item.IPI.CST_IPI = "50";
  item.IPI.ALIQUOTA_IPI = 10;
  item.ICMS.CST_ICMS_CONSUMO = "00";
  item.ICMS.ALIQUOTA_ICMS = 10;
  ASSERT_EQ(c.calc->Calcula_Item(item), 1) << c.calc->ERROR;
  EXPECT_EQ(item.IPI.VALOR_BC_IPI, 100);  // 90 + 6 + 4
  EXPECT_EQ(item.IPI.VALOR_IPI, 10);
  EXPECT_EQ(item.ICMS.VALOR_BC_ICMS, 100);  // 90 + IPI 10
  EXPECT_EQ(item.ICMS.VALOR_ICMS.value(), 10);

  item.IPI.CST_IPI = "52";  // valid, not taxed
  ASSERT_EQ(c.calc->Calcula_Item(item), 1);
  EXPECT_EQ(item.IPI.VALOR_IPI, 0);
  EXPECT_EQ(item.ICMS.VALOR_BC_ICMS, 90);
}

TEST(IpiInCalculaItem, NfceEmitterNeverChargesIpi) {
  Calculadora c;
  ASSERT_EQ(c.calc->Set_Dados_Emissor(Calculadora::emissor(11)), 1);
  sale::QUEUE_ITEM item = testing::item_de(100);
  item.IPI.CST_IPI = "50";
  item.IPI.ALIQUOTA_IPI = 10;
  item.ICMS.CST_ICMS_CONSUMO = "00";
  item.ICMS.ALIQUOTA_ICMS = 18;
  ASSERT_EQ(c.calc->Calcula_Item(item), 1);
  EXPECT_EQ(item.IPI.ALIQUOTA_IPI, 0);
  EXPECT_EQ(item.IPI.VALOR_IPI, 0);
  EXPECT_EQ(item.ICMS.VALOR_BC_ICMS, 100);
}

// A failed PIS skips COFINS; the steps before and after still run.
TEST(CalculaItemFailures, PisFailureSkipsCofinsAndKeepsTheLastError) {
  Calculadora c;
  sale::QUEUE_ITEM item = testing::item_de(100);
  item.ICMS.CST_ICMS_CONSUMO = "00";
  item.ICMS.ALIQUOTA_ICMS = 18;
  item.PIS.CST_PIS = "10";
  item.COFINS.CST_COFINS = "01";
  item.COFINS.ALIQUOTA_COFINS = 3;
  EXPECT_EQ(c.calc->Calcula_Item(item), 0);
  EXPECT_EQ(c.calc->ERROR, "|PIS |Código não consta na tabela de PIS.");
  EXPECT_EQ(c.calc->ERROR_FUNCTION, "PIS");
  EXPECT_EQ(item.ICMS.VALOR_ICMS.value(), 18);  // computed before the failure
  EXPECT_EQ(item.COFINS.VALOR_COFINS, 0);       // skipped
}

// With operation type 7 (import) PIS and COFINS leave out the expenses and
// the import tax and take back the sale discount: 100 - (5 + 10) + 2 = 87.
TEST(CalculaItemFailures, ImportOperationAdjustsThePisAndCofinsBase) {
  Calculadora c;
  sale::GRUPO_OPERACAO op = c.calc->OPERACAO;
  op.TIPO = 7;
  ASSERT_EQ(c.calc->Set_Dados_Operacao(op), 1);
  sale::QUEUE_ITEM item = testing::item_de(97);
  item.DESP_ACESSORIAS_VENDA = 5;
  item.DESCONTO_VENDA = 2;  // 97 - 2 + 5 = 100
  item.II.VALOR_II = 10;
  item.PIS.CST_PIS = "01";
  item.PIS.ALIQUOTA_PIS = 1;
  item.COFINS.CST_COFINS = "01";
  item.COFINS.ALIQUOTA_COFINS = 2;
  ASSERT_EQ(c.calc->Calcula_Item(item), 1) << c.calc->ERROR;
  EXPECT_EQ(item.TOTAL_LIQUIDO_VENDA, 100);
  EXPECT_EQ(item.PIS.VALOR_BC_PIS, 87);
  EXPECT_EQ(item.PIS.VALOR_PIS, 0.87);
  EXPECT_EQ(item.COFINS.VALOR_COFINS, 1.74);
}

}  // namespace
}  // namespace fvn::tax
