// Selling an item: the checks in their order with their exact texts, the
// gross value rules of each kind of emitter, the item numbers and colours,
// and the approximate taxes.
#include <cmath>
#include <functional>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "sale_test_support.h"
#include "support/temp_folder.h"

namespace fvn::sale {
namespace {

using testing::emissor_ecf;
using testing::item;
using testing::SaleTest;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

struct Refusal {
  std::string name;
  std::function<void(CLASSE_VENDA&, QUEUE_ITEM&)> change;
  std::string message;  // the sale object's text; the facade puts "Erro em vende item " in front
};

class VendeItemRefusal : public SaleTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(VendeItemRefusal, IsReportedWithItsTextAndAddsNothing) {
  QUEUE_ITEM i = item(10);
  GetParam().change(*venda, i);
  EXPECT_EQ(venda->Vende_Item(i), 0);
  EXPECT_EQ(venda->ERROR, "Erro em vende item " + GetParam().message);
  EXPECT_EQ(venda->ERROR_CODE, 0);
  EXPECT_EQ(venda->ERROR_FUNCTION, "Vende_Item");
  EXPECT_EQ(venda->Get_Quantidade_Itens(), 0);
  EXPECT_EQ(venda->Get_Total_Liquido(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Checks, VendeItemRefusal,
    ::testing::Values(
        Refusal{"NoSeller", [](CLASSE_VENDA& v, QUEUE_ITEM&) { v.ITEM->VENDEDOR = {}; }, "Vendedor não definido."},
        Refusal{"CodeZero", [](CLASSE_VENDA&, QUEUE_ITEM& i) { i.CODIGO = "0"; },
                "Código do item menor ou igual a zero."},
        Refusal{"CodeCheckedBeforeDescription",
                [](CLASSE_VENDA&, QUEUE_ITEM& i) {
                  i.CODIGO = "";
                  i.DESCRICAO = "";
                  i.UNIDADE = "";
                },
                "Código do item menor ou igual a zero."},
        Refusal{"DescriptionBlank", [](CLASSE_VENDA&, QUEUE_ITEM& i) { i.DESCRICAO = "   "; },
                "Descrição do item vazia."},
        Refusal{"PriceZero", [](CLASSE_VENDA&, QUEUE_ITEM& i) { i.UNITARIO = 0; },
                "Valor unitário menor ou igual a zero."},
        Refusal{"PriceNaNOfAService",
                [](CLASSE_VENDA&, QUEUE_ITEM& i) {
                  i.TIPO_PRODUTO = 2;
                  i.UNITARIO = kNaN;
                },
                "Valor unitário menor ou igual a zero."},
        Refusal{"QuantityNaN", [](CLASSE_VENDA&, QUEUE_ITEM& i) { i.QUANTIDADE = kNaN; },
                "Quantidade menor ou igual a zero."},
        Refusal{"UnitBlank", [](CLASSE_VENDA&, QUEUE_ITEM& i) { i.UNIDADE = ""; }, "Unidade do item vazia."},
        Refusal{"DiscountNegative", [](CLASSE_VENDA&, QUEUE_ITEM& i) { i.DESCONTO = -0.01; },
                "Desconto menor que zero."},
        Refusal{"DiscountNaN", [](CLASSE_VENDA&, QUEUE_ITEM& i) { i.DESCONTO = kNaN; }, "Desconto menor que zero."},
        Refusal{"SurchargeInfinite", [](CLASSE_VENDA&, QUEUE_ITEM& i) { i.ACRESCIMO = kInf; },
                "Acréscimo menor que zero."},
        Refusal{"ProductTypeFour", [](CLASSE_VENDA&, QUEUE_ITEM& i) { i.TIPO_PRODUTO = 4; },
                "Tipo do Produto Inválido."},
        Refusal{"IatBlank", [](CLASSE_VENDA&, QUEUE_ITEM& i) { i.IAT = " "; },
                "Índice de arredondamento e truncamento vazio."},
        Refusal{"IpptBlank", [](CLASSE_VENDA&, QUEUE_ITEM& i) { i.IPPT = ""; },
                "Índice de produção própria ou terceirizada vazio."},
        Refusal{"ArrivesCancelled", [](CLASSE_VENDA&, QUEUE_ITEM& i) { i.CANCELADO = 1; },
                "Item marcado como cancelado não pode ser vendido."},
        Refusal{"GrossOverflows",
                [](CLASSE_VENDA&, QUEUE_ITEM& i) {
                  i.UNITARIO = 1e300;
                  i.QUANTIDADE = 1e300;
                },
                "Valor total do item inválido."},
        Refusal{"DiscountAboveGross", [](CLASSE_VENDA&, QUEUE_ITEM& i) { i.DESCONTO = 10.0001; },
                "Desconto do item maior que quantidade X valor unitário!"},
        Refusal{"DiscountEqualToGross", [](CLASSE_VENDA&, QUEUE_ITEM& i) { i.DESCONTO = 10; },
                "Valor total do item igual valor do desconto!"},
        Refusal{"FiscalPrinterSurchargeNotBelowGross",
                [](CLASSE_VENDA& v, QUEUE_ITEM& i) {
                  v.Set_Dados_Emissor(emissor_ecf(1));
                  i.ACRESCIMO = 10;
                },
                "Acréscimo do item maior que quantidade X valor unitário!"}),
    testing::RowName{});

TEST_F(SaleTest, AServiceMayBeFreeAndFullyDiscounted) {
  QUEUE_ITEM servico = item(0);
  servico.TIPO_PRODUTO = 2;
  vende(servico);
  QUEUE_ITEM descontado = item(20);
  descontado.TIPO_PRODUTO = 2;
  descontado.DESCONTO = 20;
  vende(descontado);
  EXPECT_EQ(item_vendido(2).SUBTOTAL_ITEM, 0);
}

TEST_F(SaleTest, AFiscalPrinterPassesAZeroPriceOnToTheSurchargeCheck) {
  // The price check lets a zero price through for a fiscal printer, but the
  // surcharge check that follows refuses a surcharge (0) not below the gross (0).
  ASSERT_EQ(venda->Set_Dados_Emissor(emissor_ecf(1)), 1);
  QUEUE_ITEM gratis = item(0);
  EXPECT_EQ(venda->Vende_Item(gratis), 0);
  EXPECT_EQ(venda->ERROR, "Erro em vende item Acréscimo do item maior que quantidade X valor unitário!");
}

struct Gross {
  std::string name;
  GRUPO_EMISSOR emissor;
  double unitario;
  double quantidade;
  double bruto;
  double subtotal;
};

class GrossValue : public SaleTest, public ::testing::WithParamInterface<Gross> {};

TEST_P(GrossValue, FollowsTheEmitter) {
  ASSERT_EQ(venda->Set_Dados_Emissor(GetParam().emissor), 1);
  QUEUE_ITEM i = item(GetParam().unitario, GetParam().quantidade);
  vende(i);
  EXPECT_MONEY(i.TOTAL_BRUTO, GetParam().bruto);  // written back into the caller's record
  EXPECT_MONEY(item_vendido(1).TOTAL_BRUTO, GetParam().bruto);
  EXPECT_EQ(item_vendido(1).SUBTOTAL_ITEM, GetParam().subtotal);
}

INSTANTIATE_TEST_SUITE_P(
    Emitters, GrossValue,
    ::testing::Values(Gross{"ElectronicDocumentKeepsThreeDecimals", testing::emissor_nfce(), 0.333, 3, 0.999, 1.00},
                      Gross{"FiscalPrinterTruncatesToTheCent", emissor_ecf(1), 0.333, 3, 0.99, 0.99},
                      Gross{"TruncationReadsTheDecimalValue", emissor_ecf(2), 1.15, 1, 1.15, 1.15},
                      Gross{"PriceAndQuantityTakenAtThreePlaces", emissor_ecf(3), 2.3456, 1, 2.34, 2.34},
                      Gross{"MakeFourRoundsByAbnt", emissor_ecf(4), 0.333, 3, 1.00, 1.00},
                      Gross{"MakeFiveRoundsHalfToEven", emissor_ecf(5), 2.345, 1, 2.34, 2.34},
                      Gross{"MakeFiveRoundsUpAfterAnOddDigit", emissor_ecf(5), 2.335, 1, 2.34, 2.34}),
    testing::RowName{});

struct Reduction {
  std::string name;
  std::int32_t arredonda;
  double aliquota;
};

class FiscalPrinterRate : public SaleTest, public ::testing::WithParamInterface<Reduction> {};

TEST_P(FiscalPrinterRate, IsReducedByTheBaseReduction) {
  GRUPO_EMPRESA empresa = testing::empresa_regime_normal();
  empresa.ARREDONDA_BASE_CALCULO = GetParam().arredonda;
  ASSERT_EQ(venda->Set_Dados_Empresa(empresa), 1);
  ASSERT_EQ(venda->Set_Dados_Emissor(emissor_ecf(1)), 1);
  QUEUE_ITEM i = item(10);
  i.ICMS.ALIQUOTA_ICMS = 18;
  i.ICMS.PERCENTUAL_RED_BC_ICMS = 41.67;  // 18 - 0.18 x 41.67 = 10.4994
  vende(i);
  EXPECT_DOUBLE_EQ(item_vendido(1).ICMS.ALIQUOTA_ICMS, GetParam().aliquota);
}

INSTANTIATE_TEST_SUITE_P(Rounding, FiscalPrinterRate,
                         ::testing::Values(Reduction{"WholeNumberForZero", 0, 10},
                                           Reduction{"WholeNumberForOne", 1, 10}, Reduction{"TwoPlacesForTwo", 2, 10.5},
                                           Reduction{"UnchangedForOtherValues", 3, 18}),
                         testing::RowName{});

TEST_F(SaleTest, TheElectronicDocumentIgnoresTheBaseReductionOfTheRate) {
  QUEUE_ITEM i = item(10);
  i.ICMS.ALIQUOTA_ICMS = 18;
  i.ICMS.PERCENTUAL_RED_BC_ICMS = 41.67;
  vende(i);
  EXPECT_EQ(item_vendido(1).ICMS.ALIQUOTA_ICMS, 18);
}

TEST_F(SaleTest, NumbersCountCancelledItemsAndAreWrittenBack) {
  QUEUE_ITEM primeiro = item(10);
  vende(primeiro);
  EXPECT_EQ(primeiro.NUMERO, 1);
  vende(item(5));
  ASSERT_EQ(venda->Cancela_Item(1), 1);
  QUEUE_ITEM terceiro = item(7);
  vende(terceiro);
  EXPECT_EQ(terceiro.NUMERO, 3);
  EXPECT_EQ(venda->Get_Quantidade_Itens(), 3);
  EXPECT_EQ(venda->Calcula_Qtde_Itens_Vendidos(), 2);
  EXPECT_EQ(item_vendido(1).NUMERO, 1);
  EXPECT_EQ(item_vendido(1).CANCELADO, 1);
  EXPECT_MONEY(venda->TOTAIS_VENDA.TOTAL_BRUTO, 12);
}

TEST_F(SaleTest, RowsAreColouredByParityAndCancellation) {
  venda->Set_Cores(100, 200, 300);
  vende(item(1));
  vende(item(2));
  const CORES_CAMPO impar{-1, 100, -1, -1};
  const CORES_CAMPO par{-1, 200, -1, -1};
  for (const CORES_CAMPO& c : item_vendido(1).CORES) EXPECT_EQ(c, impar);
  for (const CORES_CAMPO& c : item_vendido(2).CORES) EXPECT_EQ(c, par);
  ASSERT_EQ(venda->Cancela_Item(2), 1);
  for (const CORES_CAMPO& c : item_vendido(2).CORES) EXPECT_EQ(c, (CORES_CAMPO{300, 300, 300, 300}));
}

TEST_F(SaleTest, ImportTaxEntersTheUnitPrice) {
  ASSERT_EQ(venda->Set_Dados_Emissor({1, 2, 0}), 1);  // an NF-e emitter: an NFC-e sells only
  GRUPO_OPERACAO importacao = venda->OPERACAO;
  importacao.TIPO = 7;
  ASSERT_EQ(venda->Set_Dados_Operacao(importacao), 1);
  QUEUE_ITEM i = item(5, 3);
  i.II.VALOR_II = 10;  // as the import-tax computation leaves it
  vende(i);
  EXPECT_MONEY(item_vendido(1).UNITARIO, 8.33);  // 5 + R2(10 / 3)
  EXPECT_MONEY(item_vendido(1).TOTAL_BRUTO, 24.99);
  EXPECT_MONEY(item_vendido(1).SUBTOTAL_ITEM, 24.99);
}

TEST_F(SaleTest, ApproximateTaxesUseTheCompanyPercentageWithAbntRounding) {
  GRUPO_EMPRESA empresa = testing::empresa_regime_normal();
  empresa.PERC_APROX_IMPOSTOS = 23.45;
  ASSERT_EQ(venda->Set_Dados_Empresa(empresa), 1);
  vende(item(10));  // 10.00 x 23.45% = 2.345: ABNT keeps 2.34 where halves-up would give 2.35
  EXPECT_EQ(item_vendido(1).TOTAL_APROX_IMPOSTOS.units(), 234);
  EXPECT_MONEY(venda->TOTAIS_VENDA.VALOR_TOTAL_APROX_IMPOSTOS.value(), 2.34);
}

class IbptSale : public SaleTest {
 protected:
  void SetUp() override {
    SaleTest::SetUp();
    GRUPO_EMPRESA empresa = testing::empresa_regime_normal();
    empresa.USA_IMPOSTO_PRODUTO = 1;
    empresa.PERC_APROX_IMPOSTOS = 99;  // not used with the table
    ASSERT_EQ(venda->Set_Dados_Empresa(empresa), 1);
  }
  void write_table() {
    fvn::testing::write_file(folder.file("ibpt.csv"),
                             "codigo;ex;tipo;descricao;nacionalfederal;importadosfederal;estadual\r\n"
                             "02109100;01;0;\"Carnes; salgadas\";13.45;15.45;4.14\r\n"
                             "02109100;;0;\"Carnes\";20.00;15.45;4.14\r\n"
                             "84713012;;0;\"Computadores\";7,5;9.85;4.14\r\n");
  }
  QUEUE_ITEM com_ncm(double valor, std::string ncm) {
    QUEUE_ITEM i = item(valor);
    i.NCM = std::move(ncm);
    return i;
  }
};

TEST_F(IbptSale, RateOfTheFirstMatchingRowWhateverTheNcmSpelling) {
  write_table();
  vende(com_ncm(100, "0210.91.00"));
  vende(com_ncm(100, "2109100"));
  vende(com_ncm(33.33, "8471.30.12"));
  EXPECT_EQ(item_vendido(1).TOTAL_APROX_IMPOSTOS.units(), 1345);
  EXPECT_EQ(item_vendido(2).TOTAL_APROX_IMPOSTOS.units(), 1345);
  EXPECT_EQ(item_vendido(3).TOTAL_APROX_IMPOSTOS.units(), 250);  // 33.33 x 7.5% = 2.49975
}

TEST_F(IbptSale, AnNcmMissingFromTheTableGivesZeroAndTheSaleGoesOn) {
  write_table();
  vende(com_ncm(50, "9999.99.99"));
  EXPECT_EQ(item_vendido(1).TOTAL_APROX_IMPOSTOS.units(), 0);
}

TEST_F(IbptSale, WithoutTheTableTheItemIsRefused) {
  QUEUE_ITEM i = com_ncm(50, "02109100");
  EXPECT_EQ(venda->Vende_Item(i), 0);
  EXPECT_EQ(venda->ERROR, "Erro em vende item Arquivo ibpt.csv não encontrado! ");
  EXPECT_EQ(venda->ERROR_FUNCTION, "Vende_Item");
  EXPECT_EQ(venda->Get_Quantidade_Itens(), 0);
}

}  // namespace
}  // namespace fvn::sale
