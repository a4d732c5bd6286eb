// Whole sales through the facade: every item is taxed when it is sold and
// again whenever the sale-level values or the parties change, and the totals
// carry the summed tax groups. The expected figures are worked by hand.
#include <cmath>
#include <random>

#include <gtest/gtest.h>

#include "sale/sale_test_support.h"

namespace fvn::sale {
namespace {

using testing::item;
using testing::SaleTest;

QUEUE_ITEM tributado(double unitario, double quantidade, double aliquota) {
  QUEUE_ITEM i = item(unitario, quantidade);
  i.ICMS.CST_ICMS_CONSUMO = "00";
  i.ICMS.ALIQUOTA_ICMS = aliquota;
  return i;
}

// 35.80 and 10.00 at 18%, a discount of 2.00 and freight of 5.00:
// discount 4.37% -> shares 1.56 + 0.43, remainder 0.01 to the first (1.57);
// freight 10.92% -> shares 3.90 + 1.09, remainder 0.01 to the first (3.91);
// nets 38.14 and 10.66; ICMS 6.8652 -> 6.87 and 1.9188 -> 1.92;
// PIS 0.65% of 38.14 = 0.25, COFINS 3% = 1.14.
TEST_F(SaleTest, DiscountAndFreightReachTheTaxBases) {
  QUEUE_ITEM cafe = tributado(17.90, 2, 18);
  cafe.PIS.CST_PIS = "01";
  cafe.PIS.ALIQUOTA_PIS = 0.65;
  cafe.COFINS.CST_COFINS = "01";
  cafe.COFINS.ALIQUOTA_COFINS = 3;
  vende(cafe);
  vende(tributado(10, 1, 18));
  ASSERT_EQ(venda->Set_Desconto_Venda(2), 1) << venda->ERROR;
  ASSERT_EQ(venda->Set_Frete_Venda(5), 1) << venda->ERROR;

  const QUEUE_ITEM um = item_vendido(1);
  const QUEUE_ITEM dois = item_vendido(2);
  EXPECT_MONEY(um.DESCONTO_VENDA, 1.57);
  EXPECT_MONEY(um.FRETE_VENDA, 3.91);
  EXPECT_MONEY(um.ICMS.VALOR_BC_ICMS, 38.14);
  EXPECT_MONEY(um.ICMS.VALOR_ICMS.value(), 6.87);
  EXPECT_MONEY(um.PIS.VALOR_PIS, 0.25);
  EXPECT_MONEY(um.COFINS.VALOR_COFINS, 1.14);
  EXPECT_MONEY(dois.ICMS.VALOR_BC_ICMS, 10.66);
  EXPECT_MONEY(dois.ICMS.VALOR_ICMS.value(), 1.92);
  EXPECT_EQ(um.CFOP, "5.102");

  const TOTAIS_VENDA& t = venda->TOTAIS_VENDA;
  EXPECT_MONEY(t.VALOR_BC_ICMS, 48.80);
  EXPECT_MONEY(t.VALOR_ICMS, 8.79);
  EXPECT_MONEY(t.VALOR_ICMS_ST, 0);
  EXPECT_MONEY(t.TOTAL_LIQUIDO, 48.80);
  EXPECT_MONEY(t.TOTAL_PARCELAR, 48.80);
  EXPECT_MONEY(venda->ITEM->VALOR_IMPOSTOS, 10.18);  // 8.79 + 0.25 + 1.14
}

// ST at 18% with MVA 40% and FCP-ST 2%: ST 140 x 18% - 18 = 7.20, FCP 2.80;
// the customer pays 100 + 7.20 + 2.80. A discount of 11.00 (10.26% of
// 107.20, with the ST) leaves 89.00: ICMS 16.02, ST base 124.60,
// ST 22.43 - 16.02 = 6.41, FCP 2.492; the sale 100 - 11 + 6.41 + 2.492.
TEST_F(SaleTest, SubstitutionAndPovertyFundArePaidByTheCustomer) {
  QUEUE_ITEM refrigerante = tributado(100, 1, 18);
  refrigerante.ICMS.CST_ICMS_CONSUMO = "10";
  refrigerante.ICMS.ALIQUOTA_ICMS_ST = 18;
  refrigerante.MVA.PERCENTUAL_MVA_NCM = 40;
  refrigerante.FCP_ST.PERC_FCP_ST = 2;
  vende(refrigerante);
  const TOTAIS_VENDA& t = venda->TOTAIS_VENDA;
  EXPECT_MONEY(t.VALOR_BC_ICMS_ST, 140);
  EXPECT_MONEY(t.VALOR_ICMS_ST, 7.20);
  EXPECT_MONEY(t.TOTAL_LIQUIDO, 110);
  EXPECT_MONEY(t.TOTAL_PARCELAR, 110);
  EXPECT_MONEY(venda->ITEM->VALOR_IMPOSTOS, 25.20);
  EXPECT_EQ(item_vendido(1).CFOP, "5.405");

  ASSERT_EQ(venda->Set_Desconto_Venda(11), 1) << venda->ERROR;
  EXPECT_MONEY(item_vendido(1).DESCONTO_VENDA, 11);
  EXPECT_MONEY(t.VALOR_BC_ICMS, 89);
  EXPECT_MONEY(t.VALOR_ICMS, 16.02);
  EXPECT_MONEY(t.VALOR_BC_ICMS_ST, 124.60);
  EXPECT_MONEY(t.VALOR_ICMS_ST, 6.41);
  EXPECT_EQ(item_vendido(1).FCP_ST.VALOR_FCP_ST.units(), 24920);
  EXPECT_MONEY(t.TOTAL_LIQUIDO, 97.90);
  EXPECT_MONEY(t.TOTAL_PARCELAR, 97.90);
  EXPECT_MONEY(venda->ITEM->VALOR_IMPOSTOS, 22.43);
}

// A service of 40.00 with ISSQN 5% (2.00), the ISS retained and INSS 11%
// withheld on the net total (4.40): the customer pays 40 - 2 - 4.40.
TEST_F(SaleTest, RetainedTaxesLeaveTheAmountToPay) {
  GRUPO_EMPRESA empresa = testing::empresa_regime_normal();
  empresa.UTILIZA_RETENCAO_ISS = 1;
  empresa.VALOR_MINIMO_ISS = 10;
  empresa.PERC_RETENCAO_ISS = 5;
  empresa.UTILIZA_RETENCAO_INSS = 1;
  empresa.VALOR_MINIMO_INSS = 10;
  empresa.PERC_RETENCAO_INSS = 11;
  ASSERT_EQ(venda->Set_Dados_Empresa(empresa), 1) << venda->ERROR;
  QUEUE_ITEM servico = item(40);
  servico.TIPO_PRODUTO = 2;
  servico.ISSQN.ALIQUOTA_ISSQN = 5;
  vende(servico);
  const TOTAIS_VENDA& t = venda->TOTAIS_VENDA;
  EXPECT_MONEY(t.ISSQN.VALOR_BC_ISSQN, 40);
  EXPECT_MONEY(t.ISSQN.VALOR_ISSQN, 2);
  EXPECT_MONEY(t.INSS.VALOR_INSS, 4.40);
  EXPECT_MONEY(t.TOTAL_SERVICOS, 40);
  EXPECT_MONEY(t.TOTAL_LIQUIDO, 40);
  EXPECT_MONEY(t.TOTAL_PARCELAR, 33.60);
  EXPECT_MONEY(venda->ITEM->VALOR_IMPOSTOS, 2);
}

// The purpose changes after the items were sold: every item is taxed again
// with its resale CST, which the first run left in place.
TEST_F(SaleTest, ChangingThePurposeRetaxesEveryItem) {
  QUEUE_ITEM i = tributado(100, 1, 18);
  i.ICMS.CST_ICMS_REVENDA = "10";
  i.ICMS.ALIQUOTA_ICMS_ST = 18;
  i.MVA.PERCENTUAL_MVA_NCM = 40;
  vende(i);
  EXPECT_MONEY(venda->TOTAIS_VENDA.VALOR_ICMS_ST, 0);
  ASSERT_EQ(venda->Set_Finalidade_Operacao(2), 1) << venda->ERROR;
  EXPECT_EQ(item_vendido(1).ICMS.CST_ICMS, "10");
  EXPECT_MONEY(venda->TOTAIS_VENDA.VALOR_ICMS_ST, 7.20);
  ASSERT_EQ(venda->Set_Finalidade_Operacao(1), 1) << venda->ERROR;
  EXPECT_EQ(item_vendido(1).ICMS.CST_ICMS, "00");
}

TEST_F(SaleTest, AnItemTheCalculatorRefusesIsNotSold) {
  QUEUE_ITEM i = tributado(10, 1, 18);
  i.ICMS.CST_ICMS_CONSUMO = "99";
  EXPECT_EQ(venda->Vende_Item(i), 0);
  EXPECT_EQ(venda->ERROR, "Erro em vende item |ICMS |CST CONSUMO dentro do estado não presente na tabela de CST");
  EXPECT_EQ(venda->ERROR_FUNCTION, "Vende_Item");
  EXPECT_EQ(venda->Get_Quantidade_Itens(), 0);
}

TEST(SaleWithoutParties, IsRefusedBeforeTheFirstItem) {
  CLASSE_VENDA venda;
  ASSERT_EQ(venda.Set_Data_Emissao(date_from_civil(2026, 5, 4)), 1);
  QUEUE_ITEM i = item(10);
  EXPECT_EQ(venda.Vende_Item(i), 0);
  EXPECT_EQ(venda.ERROR, "Erro em vende item Emissor não definido.");
  EXPECT_EQ(venda.ERROR_FUNCTION, "Valida_Dados_Geral");
}

// Whatever the mix of CSTs, discounts, freight and cancellations, the totals
// hold the sums of the live items' tax values.
TEST_F(SaleTest, TotalsAreTheSumsOfTheLiveItems) {
  std::mt19937 random(11);
  std::uniform_int_distribution<int> cents(50, 20'000);
  const char* csts[] = {"00", "10", "20", "40", "60", "70", "90"};
  for (int k = 0; k < 12; ++k) {
    QUEUE_ITEM i = tributado(cents(random) / 100.0, 1 + k % 3, 18);
    i.ICMS.CST_ICMS_CONSUMO = csts[k % 7];
    i.ICMS.PERCENTUAL_RED_BC_ICMS = 20;
    i.ICMS.ALIQUOTA_ICMS_ST = 20;
    i.MVA.PERCENTUAL_MVA_NCM = 35;
    i.FCP_ST.PERC_FCP_ST = 2;
    vende(i);
  }
  ASSERT_EQ(venda->Set_Desconto_Venda(25.5), 1) << venda->ERROR;
  ASSERT_EQ(venda->Set_Frete_Venda(13.27), 1) << venda->ERROR;
  ASSERT_EQ(venda->Cancela_Item(3), 1) << venda->ERROR;

  double bc = 0, icms = 0, bc_st = 0, st = 0, parcelar = 0;
  for (std::int32_t n = 1; n <= venda->Get_Quantidade_Itens(); ++n) {
    const QUEUE_ITEM i = item_vendido(n);
    if (i.CANCELADO != 0) continue;
    EXPECT_TRUE(std::isfinite(i.ICMS.VALOR_BC_ICMS)) << n;
    EXPECT_GE(i.ICMS.VALOR_ICMS_ST.value(), 0) << n;
    bc += i.ICMS.VALOR_BC_ICMS;
    icms += i.ICMS.VALOR_ICMS.value();
    bc_st += i.ICMS.VALOR_BC_ICMS_ST;
    st += i.ICMS.VALOR_ICMS_ST.value();
    parcelar += round_to(i.TOTAL_BRUTO + i.FRETE_VENDA - i.DESCONTO - i.DESCONTO_VENDA + i.FCP_ST.VALOR_FCP_ST.value() +
                             i.ICMS.VALOR_ICMS_ST.value(),
                         2);
  }
  const TOTAIS_VENDA& t = venda->TOTAIS_VENDA;
  EXPECT_MONEY(t.VALOR_BC_ICMS, round_to(bc, 6));
  EXPECT_MONEY(t.VALOR_ICMS, round_to(icms, 6));
  EXPECT_MONEY(t.VALOR_BC_ICMS_ST, round_to(bc_st, 6));
  EXPECT_MONEY(t.VALOR_ICMS_ST, round_to(st, 6));
  EXPECT_MONEY(t.TOTAL_PARCELAR, round_to(parcelar, 6));
}

}  // namespace
}  // namespace fvn::sale
