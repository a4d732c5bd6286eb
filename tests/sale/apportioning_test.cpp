// Spreading the sale-level discount, surcharge, interest, freight,
// insurance and expenses over the live items, and the sale totals.
#include <cmath>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "runtime/rounding.h"
#include "sale_test_support.h"

namespace fvn::sale {
namespace {

using testing::emissor_ecf;
using testing::item;
using testing::SaleTest;

using Setter = int (CLASSE_VENDA::*)(double);
using Share = double QUEUE_ITEM::*;

struct Spread {
  std::string name;
  std::vector<double> subtotais;
  Setter setter;
  double valor;
  Share quota;
  std::vector<double> quotas;
};

class Apportioning : public SaleTest, public ::testing::WithParamInterface<Spread> {};

TEST_P(Apportioning, GivesEachItemItsShareAndTheWholeValue) {
  const Spread& p = GetParam();
  for (const double subtotal : p.subtotais) vende(item(subtotal));
  ASSERT_EQ(((*venda).*p.setter)(p.valor), 1) << venda->ERROR;
  double soma = 0;
  for (std::size_t n = 0; n < p.quotas.size(); ++n) {
    const QUEUE_ITEM i = item_vendido(static_cast<std::int32_t>(n + 1));
    EXPECT_MONEY(i.*p.quota, p.quotas[n]) << "item " << n + 1;
    EXPECT_GE(i.*p.quota, 0) << "item " << n + 1;
    soma += i.*p.quota;
  }
  EXPECT_EQ(round_to(soma, 2), p.valor);
}

INSTANTIATE_TEST_SUITE_P(Examples, Apportioning,
                         ::testing::Values(
                             // 10.00 / 30.00 = 33.33%: 3.33 each, the cent left goes to the first item.
                             Spread{"DiscountRemainderToTheFirstItem",
                                    {10, 10, 10},
                                    &CLASSE_VENDA::Set_Desconto_Venda,
                                    10,
                                    &QUEUE_ITEM::DESCONTO_VENDA,
                                    {3.34, 3.33, 3.33}},
                             // The percentage rounds to 0.00: the whole discount is a remainder;
                             // the first item takes up to its subtotal minus one cent.
                             Spread{"DiscountFillsAnItemToOneCentAndCarriesOn",
                                    {0.50, 100000},
                                    &CLASSE_VENDA::Set_Desconto_Venda,
                                    1,
                                    &QUEUE_ITEM::DESCONTO_VENDA,
                                    {0.49, 0.51}},
                             // 17.00 / 200,001.00 rounds up to 0.01%: the shares add up to 20.00 and
                             // the 3.00 too much is taken back from the shares, none below zero.
                             Spread{"NegativeDiscountRemainderNeverMakesAShareNegative",
                                    {1, 100000, 100000},
                                    &CLASSE_VENDA::Set_Desconto_Venda,
                                    17,
                                    &QUEUE_ITEM::DESCONTO_VENDA,
                                    {0, 7, 10}},
                             Spread{"NegativeFreightRemainder",
                                    {1, 100000, 100000},
                                    &CLASSE_VENDA::Set_Frete_Venda,
                                    17,
                                    &QUEUE_ITEM::FRETE_VENDA,
                                    {0, 7, 10}},
                             Spread{"SurchargeRemainderToTheFirstItem",
                                    {10, 10, 10},
                                    &CLASSE_VENDA::Set_Acrescimo_Venda,
                                    10,
                                    &QUEUE_ITEM::ACRESCIMO_VENDA,
                                    {3.34, 3.33, 3.33}},
                             Spread{"FreightByGross",
                                    {10, 20, 70},
                                    &CLASSE_VENDA::Set_Frete_Venda,
                                    9.99,
                                    &QUEUE_ITEM::FRETE_VENDA,
                                    {1.01, 1.99, 6.99}}),
                         testing::RowName{});

TEST_F(SaleTest, DiscountIsSharedWithIpiAndStFreightBySubtotalOnly) {
  QUEUE_ITEM com_ipi = item(100);
  com_ipi.IPI.VALOR_IPI = 15;  // left as given: this company charges no IPI
  com_ipi.ICMS.CST_ICMS_CONSUMO = "10";
  com_ipi.ICMS.ALIQUOTA_ICMS_ST = 5;  // ST 100 x 5% = 5.00 before the discount
  vende(com_ipi);
  vende(item(100));
  ASSERT_EQ(venda->Set_Desconto_Venda(22), 1);  // 22 / 220 = 10%
  EXPECT_MONEY(item_vendido(1).DESCONTO_VENDA, 12);
  EXPECT_MONEY(item_vendido(2).DESCONTO_VENDA, 10);
  // The discount leaves 88.00 and an ST of 4.40; the next apportioning shares
  // the discount over 219.40: 10.03% of 119.40 and of 100.
  ASSERT_EQ(venda->Set_Frete_Venda(20), 1);  // 20 / 200 = 10%
  EXPECT_MONEY(item_vendido(1).FRETE_VENDA, 10);
  EXPECT_MONEY(item_vendido(2).FRETE_VENDA, 10);
  EXPECT_MONEY(item_vendido(1).DESCONTO_VENDA, 11.97);
  EXPECT_MONEY(item_vendido(2).DESCONTO_VENDA, 10.03);
}

TEST_F(SaleTest, CancelledItemsTakeNoShare) {
  vende(item(10));
  vende(item(10));
  vende(item(10));
  ASSERT_EQ(venda->Set_Desconto_Venda(3), 1);
  ASSERT_EQ(venda->Cancela_Item(2), 1);
  EXPECT_MONEY(item_vendido(1).DESCONTO_VENDA, 1.5);
  EXPECT_MONEY(item_vendido(3).DESCONTO_VENDA, 1.5);
  EXPECT_MONEY(item_vendido(2).DESCONTO_VENDA, 1);  // keeps its values, counts nowhere
  EXPECT_MONEY(venda->TOTAIS_VENDA.TOTAL_DESCONTO_VENDA, 3);
  EXPECT_MONEY(venda->Get_Total_Liquido(), 17);
}

TEST_F(SaleTest, ANegativeDiscountLeavesTheDiscountAndSharesAsTheyWere) {
  vende(item(10));
  vende(item(10));
  ASSERT_EQ(venda->Set_Desconto_Venda(4), 1);
  EXPECT_EQ(venda->Set_Desconto_Venda(-1), 0);
  EXPECT_EQ(venda->Get_Desconto_Venda(), 4);
  EXPECT_MONEY(item_vendido(1).DESCONTO_VENDA, 2);
  EXPECT_MONEY(item_vendido(2).DESCONTO_VENDA, 2);
}

struct TooMuch {
  std::string name;
  double desconto;
  std::string sobra;
};

class DiscountTooLarge : public SaleTest, public ::testing::WithParamInterface<TooMuch> {};

TEST_P(DiscountTooLarge, IsReportedAndEveryItemKeepsOneCent) {
  vende(item(10));
  vende(item(5));
  EXPECT_EQ(venda->Set_Desconto_Venda(GetParam().desconto), 0);
  EXPECT_EQ(venda->ERROR, "Desconto venda Desconto da venda maior que o total dos itens: R$ " + GetParam().sobra +
                              " não pôde ser rateado.");
  EXPECT_EQ(venda->ERROR_FUNCTION, "Set_Desconto_Venda");
  EXPECT_MONEY(item_vendido(1).TOTAL_LIQUIDO_VENDA, 0.01);
  EXPECT_MONEY(item_vendido(2).TOTAL_LIQUIDO_VENDA, 0.01);
}

INSTANTIATE_TEST_SUITE_P(Limits, DiscountTooLarge,
                         ::testing::Values(TooMuch{"EqualToTheItems", 15, "0.02"},
                                           TooMuch{"AboveTheItems", 20, "5.02"}),
                         testing::RowName{});

TEST_F(SaleTest, ValuesSetWithoutItemsWaitForTheItems) {
  ASSERT_EQ(venda->Set_Frete_Venda(5), 1);
  ASSERT_EQ(venda->Set_Desconto_Venda(1), 1);
  vende(item(20));
  EXPECT_MONEY(item_vendido(1).FRETE_VENDA, 5);
  EXPECT_MONEY(item_vendido(1).DESCONTO_VENDA, 1);
  EXPECT_MONEY(venda->Get_Total_Liquido(), 24);
}

TEST_F(SaleTest, TotalsOfASaleWithItemAndSaleLevelValues) {
  QUEUE_ITEM cafe = item(17.90, 2);
  cafe.DESCONTO = 1;
  vende(cafe);
  QUEUE_ITEM acucar = item(10);
  acucar.ACRESCIMO = 0.5;
  acucar.TIPO_PRODUTO = 3;
  vende(acucar);
  ASSERT_EQ(venda->Set_Desconto_Venda(2), 1);  // 2 / 45.30 = 4.42%: 1.53 + 0.46, 0.01 to the first
  ASSERT_EQ(venda->Set_Frete_Venda(5), 1);     // 5 / 45.80 = 10.92%: 3.80 + 1.14, 0.06 to the first
  EXPECT_MONEY(item_vendido(1).DESCONTO_VENDA, 1.54);
  EXPECT_MONEY(item_vendido(1).FRETE_VENDA, 3.86);
  EXPECT_MONEY(item_vendido(1).TOTAL_LIQUIDO_VENDA, 37.12);
  EXPECT_MONEY(item_vendido(2).TOTAL_LIQUIDO_VENDA, 11.18);
  const TOTAIS_VENDA& t = venda->TOTAIS_VENDA;
  EXPECT_MONEY(t.TOTAL_BRUTO, 45.8);
  EXPECT_MONEY(t.TOTAL_DESCONTO_ITEM, 1);
  EXPECT_MONEY(t.TOTAL_DESCONTO_VENDA, 2);
  EXPECT_MONEY(t.TOTAL_DESCONTO, 3);
  EXPECT_MONEY(t.TOTAL_ACRESCIMO_ITEM, 0.5);
  EXPECT_MONEY(t.TOTAL_ACRESCIMOS, 0.5);
  EXPECT_MONEY(t.TOTAL_FRETE, 5);
  EXPECT_MONEY(t.TOTAL_LIQUIDO_ITENS, 45.3);
  EXPECT_MONEY(t.TOTAL_LIQUIDO, 48.3);
  EXPECT_MONEY(t.TOTAL_PARCELAR, 48.3);
  EXPECT_MONEY(t.TOTAL_DESCONTO_IMPRESSO, 1);
  EXPECT_MONEY(t.TOTAL_ACRESCIMO_IMPRESSO, 0.5);
  EXPECT_MONEY(t.TOTAL_MERCADORIAS, 45.8);
  EXPECT_MONEY(t.TOTAL_SERVICOS, 0);
  EXPECT_MONEY(venda->Get_Total_Liquido_Itens(), 45.3);
}

TEST_F(SaleTest, AFiscalPrinterSumsWithoutRounding) {
  ASSERT_EQ(venda->Set_Dados_Emissor(emissor_ecf(1)), 1);
  vende(item(0.333, 3));
  QUEUE_ITEM servico = item(0.105);
  servico.TIPO_PRODUTO = 2;
  vende(servico);
  EXPECT_MONEY(venda->TOTAIS_VENDA.TOTAL_BRUTO, 1.09);
  EXPECT_MONEY(venda->TOTAIS_VENDA.TOTAL_PARCELAR, 1.09);
  EXPECT_MONEY(venda->TOTAIS_VENDA.TOTAL_SERVICOS, 0.10);
  EXPECT_EQ(venda->TOTAIS_VENDA.VALOR_ICMS, 0);
}

TEST_F(SaleTest, SimplesCompanyTotalsTakeTheSimplesGroup) {
  GRUPO_EMPRESA simples = testing::empresa_regime_normal();
  simples.TIPO = 1;
  ASSERT_EQ(venda->Set_Dados_Empresa(simples), 1);
  QUEUE_ITEM i = item(100);
  i.ICMS_SIMPLES.CSOSN_CONSUMO = "201";  // ST 130 x 18% - 18 = 5.40
  i.ICMS_SIMPLES.ALIQUOTA_ICMS = 18;
  i.ICMS_SIMPLES.ALIQUOTA_ICMS_ST = 18;
  i.MVA.PERCENTUAL_MVA_NCM = 30;
  i.ICMS.VALOR_ICMS = 18;  // not the company's regime: left out of the taxes
  i.PIS.CST_PIS = "01";
  i.PIS.ALIQUOTA_PIS = 0.65;  // 0.65 on 100.00
  vende(i);
  const TOTAIS_VENDA& t = venda->TOTAIS_VENDA;
  EXPECT_MONEY(t.VALOR_BC_ICMS_ST, 130);
  EXPECT_MONEY(t.VALOR_ICMS_ST, 5.4);
  EXPECT_MONEY(t.VALOR_ICMS, 0);
  EXPECT_MONEY(t.TOTAL_LIQUIDO, 105.4);
  EXPECT_MONEY(t.TOTAL_PARCELAR, 105.4);
  EXPECT_MONEY(venda->ITEM->VALOR_IMPOSTOS, 6.05);
  EXPECT_DOUBLE_EQ(venda->ITEM->PERCENTUAL_IMPOSTOS, 6.05 * 100 / 105.4);
}

TEST_F(SaleTest, RetainedIssIsNotPaidByTheCustomer) {
  GRUPO_EMPRESA empresa = testing::empresa_regime_normal();
  empresa.UTILIZA_RETENCAO_ISS = 1;
  empresa.PERC_RETENCAO_ISS = 5;
  empresa.VALOR_MINIMO_ISS = 10;
  ASSERT_EQ(venda->Set_Dados_Empresa(empresa), 1);
  QUEUE_ITEM servico = item(40);
  servico.TIPO_PRODUTO = 2;
  servico.ISSQN.ALIQUOTA_ISSQN = 5;  // 2.00 on 40.00
  vende(servico);
  EXPECT_MONEY(venda->TOTAIS_VENDA.TOTAL_LIQUIDO, 40);
  EXPECT_MONEY(venda->TOTAIS_VENDA.TOTAL_PARCELAR, 38);
}

// Whatever the sale, every live item keeps the invariant and a net value of at
// least one cent, no share is negative, and the shares add up to the values.
TEST_F(SaleTest, RandomSalesKeepTheInvariantAndLoseNothing) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> cents(1, 50'000);
  std::uniform_int_distribution<int> quantities(1, 5);
  for (int sale = 0; sale < 30; ++sale) {
    ASSERT_EQ(venda->Limpa_Venda(), 1);
    ASSERT_EQ(venda->Set_Dados_Vendedor({3, "JOANA"}), 1);
    const int n = 1 + sale % 9;
    for (int k = 0; k < n; ++k) vende(item(cents(random) / 100.0, quantities(random)));
    if (sale % 3 == 0) {
      ASSERT_EQ(venda->Cancela_Item(1), 1);
    }
    const double liquido = venda->Get_Total_Liquido_Itens();
    const double desconto = round_to(liquido * (sale % 10) / 10.5, 2);
    const double frete = cents(random) / 1000.0;
    ASSERT_EQ(venda->Set_Desconto_Venda(desconto), 1) << venda->ERROR;
    ASSERT_EQ(venda->Set_Frete_Venda(frete), 1);
    ASSERT_EQ(venda->Set_Juros_Venda(0.07), 1);
    double soma_desconto = 0;
    double soma_frete = 0;
    double soma_juros = 0;
    bool vivos = false;
    for (std::int32_t k = 1; k <= venda->Get_Quantidade_Itens(); ++k) {
      const QUEUE_ITEM i = item_vendido(k);
      if (i.CANCELADO != 0) continue;
      vivos = true;
      EXPECT_GE(i.DESCONTO_VENDA, 0);
      EXPECT_GE(i.FRETE_VENDA, 0);
      EXPECT_GE(i.JUROS_VENDA, 0);
      EXPECT_GE(round_to(i.TOTAL_LIQUIDO_VENDA - i.FRETE_VENDA - i.JUROS_VENDA, 2), 0.01);
      EXPECT_DOUBLE_EQ(i.TOTAL_LIQUIDO_VENDA, i.SUBTOTAL_ITEM - i.DESCONTO_VENDA + i.ACRESCIMO_VENDA + i.JUROS_VENDA +
                                                  i.DESP_ACESSORIAS_VENDA + i.FRETE_VENDA + i.SEGURO_VENDA);
      soma_desconto += i.DESCONTO_VENDA;
      soma_frete += i.FRETE_VENDA;
      soma_juros += i.JUROS_VENDA;
    }
    if (!vivos) continue;  // the values wait for the next item
    EXPECT_EQ(round_to(soma_desconto, 2), desconto) << "sale " << sale;
    EXPECT_EQ(round_to(soma_frete, 2), round_to(frete, 2)) << "sale " << sale;
    EXPECT_EQ(round_to(soma_juros, 2), 0.07) << "sale " << sale;
  }
}

}  // namespace
}  // namespace fvn::sale
