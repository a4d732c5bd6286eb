// The sale facade: how it reports its own and its sub-objects' failures
// (prefixes and operation names), the issue and exit dates, starting a new
// sale, and the values it mirrors.
#include <cmath>
#include <functional>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "runtime/runtime_messages.h"
#include "sale_test_support.h"

namespace fvn::sale {
namespace {

using testing::item;
using testing::SaleTest;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST_F(SaleTest, AnItemWithoutIssueDateIsRefusedBeforeTheSaleObjectIsTouched) {
  venda->DATA_EMISSAO = 0;
  venda->ITEM->VENDEDOR = {};  // the sale object would fail too, with another text
  QUEUE_ITEM i = item(10);
  EXPECT_EQ(venda->Vende_Item(i), 0);
  EXPECT_EQ(venda->ERROR, "Data de emissão não preenchida.");
  EXPECT_EQ(venda->ERROR_FUNCTION, "Vende_Item");
  EXPECT_EQ(venda->Get_Quantidade_Itens(), 0);
  EXPECT_EQ(venda->ITEM->ERROR, "Arquivo ibpt.csv não encontrado! ");  // only what its construction left
}

struct Failure {
  std::string name;
  std::function<int(CLASSE_VENDA&)> call;
  std::string error;
  std::string function;
};

class FacadeFailure : public SaleTest, public ::testing::WithParamInterface<Failure> {};

TEST_P(FacadeFailure, CarriesTheFacadeContextAndName) {
  vende(item(10));
  clear_runtime_error();
  EXPECT_EQ(GetParam().call(*venda), 0);
  EXPECT_EQ(venda->Get_Error(), GetParam().error);
  EXPECT_EQ(venda->Get_Error_Code(), 0);
  EXPECT_EQ(venda->Get_Error_Function(), GetParam().function);
}

INSTANTIATE_TEST_SUITE_P(
    Operations, FacadeFailure,
    ::testing::Values(
        Failure{"NegativeDiscount", [](CLASSE_VENDA& v) { return v.Set_Desconto_Venda(-1); },
                "Desconto venda Valor Inválido, Desconto menor que 0.", "Set_Desconto_Venda"},
        Failure{"NegativeFreight", [](CLASSE_VENDA& v) { return v.Set_Frete_Venda(-0.01); },
                "Frete venda Valor inválido, frete menor que 0.", "Set_Frete_Venda"},
        Failure{"NegativeExpenses", [](CLASSE_VENDA& v) { return v.Set_Desp_Acessorias_Venda(-2); },
                "Despesas acessórias venda Valor inválido, Despesas acessórias menor que 0.",
                "Set_Desp_Acessorias_Venda"},
        Failure{"NegativeSurchargeRefusedByTheFacade", [](CLASSE_VENDA& v) { return v.Set_Acrescimo_Venda(-1); },
                "Valor de acréscimo não pode ser menor que zero.", "Set_Acrescimo_Venda"},
        Failure{"SurchargeNotANumber", [](CLASSE_VENDA& v) { return v.Set_Acrescimo_Venda(kNaN); },
                "Valor de acréscimo não pode ser menor que zero.", "Set_Acrescimo_Venda"},
        Failure{"NegativeInterestUsesTheSurchargeName", [](CLASSE_VENDA& v) { return v.Set_Juros_Venda(-1); },
                "Valor de acréscimo não pode ser menor que zero.", "Set_Acrescimo_Venda"},
        Failure{"CancelItemZero", [](CLASSE_VENDA& v) { return v.Cancela_Item(0); },
                "Erro no cancela item  Número do item menor ou igual a zero ", "Cancela_Item"},
        Failure{"CancelMissingItem", [](CLASSE_VENDA& v) { return v.Cancela_Item(2); },
                "Erro no cancela item  Erro ao dar GET na QUEUE Itens Entrada não encontrada", "Cancela_Item"},
        Failure{"CancelTwice",
                [](CLASSE_VENDA& v) {
                  v.Cancela_Item(1);
                  return v.Cancela_Item(1);
                },
                "Erro no cancela item  Item já Cancelado ", "Cancela_Item"},
        Failure{"IssueDateOutOfRange", [](CLASSE_VENDA& v) { return v.Set_Data_Emissao(kLastDate + 1); },
                "Erro ao dar set no data emissão Data de emissão inválida", "Set_Data_Emissao"},
        Failure{"BreakModeOutOfRange", [](CLASSE_VENDA& v) { return v.Set_Quebra(5); },
                "Erro ao dar set na quebra Tipo de quebra inválida.", "Set_Quebra"},
        Failure{"ExitDate", [](CLASSE_VENDA& v) { return v.Set_Data_Saida(0); }, "Data de saída inválida",
                "Set_Data_Saida"},
        Failure{"SellerWithoutCodeAppendsThePreviousText",
                [](CLASSE_VENDA& v) {
                  return v.Set_Dados_Vendedor({0, "ANA"});
                },
                " Código do vendedor menor ou igual a zero Arquivo ibpt.csv não encontrado! ", "Set_Dados_Vendedor"},
        Failure{"SellerWithoutName",
                [](CLASSE_VENDA& v) {
                  return v.Set_Dados_Vendedor({4, " "});
                },
                " Nome do Vendedor vazio Arquivo ibpt.csv não encontrado! ", "Set_Dados_Vendedor"},
        Failure{"InstallmentPlanWithNothingToSplit", [](CLASSE_VENDA& v) { return v.Calcula_Parcelas(); },
                "Erro no Calcula_Parcelas Parcelas com valor menor que R$ 0.01", "Calcula_Parcelas"},
        Failure{"PaymentWithUnknownForm", [](CLASSE_VENDA& v) { return v.Paga(1, 10, 0, payment::PaymentOptions{}); },
                "Paga  Forma de Pagamento Inexistente! Entrada não encontrada", "Paga"},
        Failure{"ScaleWithoutModel",
                [](CLASSE_VENDA& v) {
                  double peso = 1;
                  return v.Get_Peso(peso);
                },
                "Erro ao ler peso: Modelo inválido ou não definido", "Get_Peso"},
        Failure{"CommissionNotANumber", [](CLASSE_VENDA& v) { return v.Set_Perc_Comissao_Venda(kNaN); },
                "Percentual de comissão inválido.", "Set_Perc_Comissao_Venda"}),
    testing::RowName{});

struct ExitDate {
  std::string name;
  Date date;
  int result;
};

class ExitDateRange : public SaleTest, public ::testing::WithParamInterface<ExitDate> {};

TEST_P(ExitDateRange, AcceptsTheRuntimeDatesOnly) {
  EXPECT_EQ(venda->Set_Data_Saida(GetParam().date), GetParam().result);
  EXPECT_EQ(venda->Get_Data_Saida(), GetParam().result == 1 ? GetParam().date : 0);
}

INSTANTIATE_TEST_SUITE_P(Limits, ExitDateRange,
                         ::testing::Values(ExitDate{"FirstDay", 4, 1}, ExitDate{"LastDay", 2994626, 1},
                                           ExitDate{"DayBeforeTheFirst", 3, 0},
                                           ExitDate{"DayAfterTheLast", 2994627, 0}),
                         testing::RowName{});

TEST_F(SaleTest, AFailureInsideTheSaleObjectKeepsItsOperationName) {
  vende(item(10));
  // More discount than the item can take: the apportioning reports it.
  EXPECT_EQ(venda->Set_Desconto_Venda(50), 0);
  QUEUE_ITEM outro = item(10);
  EXPECT_EQ(venda->Vende_Item(outro), 0);
  EXPECT_EQ(venda->ERROR,
            "Erro em vende item Desconto da venda maior que o total dos itens: R$ 30.02 não pôde ser rateado.");
  EXPECT_EQ(venda->ERROR_FUNCTION, "Rateia_Valores_Venda");
  EXPECT_EQ(venda->Get_Quantidade_Itens(), 2);  // added before the apportioning failed
}

TEST_F(SaleTest, SurchargeAndInterestAreMirroredRoundedEvenWhenRefusedLater) {
  vende(item(10));
  ASSERT_EQ(venda->Set_Acrescimo_Venda(1.005), 1);
  ASSERT_EQ(venda->Set_Juros_Venda(0.5), 1);
  EXPECT_EQ(venda->ACRESCIMO, 1.01);
  EXPECT_EQ(venda->ACRESCIMO_TOTAL, 1.51);
  EXPECT_MONEY(venda->Get_Total_Liquido(), 11.51);

  EXPECT_EQ(venda->Set_Desconto_Venda(20), 0);  // stored, but cannot be spread
  EXPECT_EQ(venda->Set_Acrescimo_Venda(2), 0);
  EXPECT_EQ(venda->ERROR_FUNCTION, "Set_Acrescimo_Venda");
  EXPECT_EQ(venda->ERROR.rfind("Acréscimo venda Desconto da venda maior", 0), 0U) << venda->ERROR;
  EXPECT_EQ(venda->ACRESCIMO, 2);
  EXPECT_EQ(venda->ACRESCIMO_TOTAL, 2.5);
}

TEST_F(SaleTest, LimpaVendaStartsANewSaleKeepingDatesAndBreakMode) {
  ASSERT_EQ(venda->Set_Quebra(2), 1);
  vende(item(10));
  ASSERT_EQ(venda->Set_Desconto_Venda(1), 1);
  ASSERT_EQ(venda->Set_Frete_Venda(2), 1);
  ASSERT_EQ(venda->Set_Acrescimo_Venda(3), 1);
  venda->GRUPO_DADOS_LIBERACAO_DESCONTO.OPERADOR_LOGADO = 9;
  const payment::Parcelas* plano_antigo = venda->PRESTACAO.get();
  const payment::PaymentLedger* caixa_antigo = venda->PAGAMENTO.get();

  ASSERT_EQ(venda->Limpa_Venda(), 1);
  EXPECT_EQ(venda->Get_Quantidade_Itens(), 0);
  EXPECT_EQ(venda->TOTAIS_VENDA.TOTAL_LIQUIDO, 0);
  EXPECT_EQ(venda->TOTAIS_VENDA.TOTAL_BRUTO, 0);
  EXPECT_EQ(venda->Get_Desconto_Venda(), 0);
  EXPECT_EQ(venda->Get_Frete_Venda(), 0);
  EXPECT_EQ(venda->ACRESCIMO_TOTAL, 0);
  EXPECT_EQ(venda->GRUPO_DADOS_LIBERACAO_DESCONTO.OPERADOR_LOGADO, 0);
  EXPECT_NE(venda->PRESTACAO.get(), plano_antigo);
  EXPECT_NE(venda->PAGAMENTO.get(), caixa_antigo);
  EXPECT_EQ(venda->PAGAMENTO->DATA_EMISSAO, date_from_civil(2026, 5, 4));
  EXPECT_EQ(venda->PRESTACAO->DATA_EMISSAO, date_from_civil(2026, 5, 4));
  EXPECT_EQ(venda->PAGAMENTO->QUEBRA, 2);
  EXPECT_EQ(venda->PRESTACAO->QUEBRA, 2);
  EXPECT_EQ(venda->CLIENTE.CODIGO, 1);  // the parties stay with the facade

  // The sale object's seller went with the items: it must be set again.
  QUEUE_ITEM i = item(5);
  EXPECT_EQ(venda->Vende_Item(i), 0);
  EXPECT_EQ(venda->ERROR, "Erro em vende item Vendedor não definido.");
}

TEST_F(SaleTest, CountingLiveItemsOfAnEmptySaleIsAFailure) {
  EXPECT_EQ(venda->Calcula_Qtde_Itens_Vendidos(), 0);
  EXPECT_EQ(venda->ERROR, "Venda sem itens Arquivo ibpt.csv não encontrado! ");
  EXPECT_EQ(venda->ERROR_FUNCTION, "Calcula_Qtde_Itens_Vendidos");
  vende(item(10));
  EXPECT_EQ(venda->Calcula_Qtde_Itens_Vendidos(), 1);
}

TEST_F(SaleTest, QuantityOfAProductCountsLiveItemsOnly) {
  QUEUE_ITEM a = item(2, 1.5);
  a.ID_PRODUTO = 77;
  vende(a);
  vende(a);
  QUEUE_ITEM b = item(3, 4);
  b.ID_PRODUTO = 78;
  vende(b);
  EXPECT_EQ(venda->Get_Quantidade_Produto(77), 3);
  ASSERT_EQ(venda->Cancela_Item(1), 1);
  EXPECT_EQ(venda->Get_Quantidade_Produto(77), 1.5);
  EXPECT_EQ(venda->Get_Quantidade_Produto(99), 0);
}

TEST_F(SaleTest, ItemRecordsAreReadByNumber) {
  vende(item(10, 1, "42"));
  QUEUE_ITEM lido;
  ASSERT_EQ(venda->Get_Item_Venda(1, lido), 1);
  EXPECT_EQ(lido.CODIGO, "42");
  EXPECT_EQ(venda->Get_Item_Venda(2, lido), 0);
  EXPECT_EQ(venda->Get_Item_Venda(-1, lido), 0);
  EXPECT_EQ(venda->ERROR_FUNCTION, "Get_Item_Venda");
}

TEST_F(SaleTest, APartyRefusedByTheSaleObjectIsNotCopied) {
  const GRUPO_VENDEDOR antes = venda->VENDEDOR;
  EXPECT_EQ(venda->Set_Dados_Vendedor({0, "OUTRO"}), 0);
  EXPECT_EQ(venda->VENDEDOR.NOME, antes.NOME);
  GRUPO_VENDEDOR lido;
  ASSERT_EQ(venda->Get_Dados_Vendedor(lido), 1);
  EXPECT_EQ(lido.CODIGO, 3);
  venda->CLIENTE = {};
  GRUPO_CLIENTE cliente;
  EXPECT_EQ(venda->Get_Dados_Cliente(cliente), 0);
  EXPECT_EQ(venda->ERROR, "Cliente não definido.");
}

}  // namespace
}  // namespace fvn::sale
