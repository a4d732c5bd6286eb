// The parties of the sale: the checks of the carrier, partner, event and
// seller, the readers of the customer, operation and seller, and the
// tax-relevant parties recomputing the taxes of every item.
#include <functional>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "sale_test_support.h"

namespace fvn::sale {
namespace {

using testing::item;
using testing::RowName;
using testing::SaleTest;

GRUPO_TRANSPORTADORA transportadora() {
  GRUPO_TRANSPORTADORA t;
  t.CODIGO_TRANSPORTADORA = 4;
  t.RAZAO_SOCIAL = "TRANSPORTES RAPIDOS LTDA";
  return t;
}

struct CarrierRow {
  std::string name;
  std::function<void(GRUPO_TRANSPORTADORA&)> muda;
  std::string error;  // empty: accepted
};

class Carrier : public SaleTest, public ::testing::WithParamInterface<CarrierRow> {};

TEST_P(Carrier, ChecksInOrder) {
  GRUPO_TRANSPORTADORA anterior = transportadora();
  anterior.CODIGO_TRANSPORTADORA = 1;
  ASSERT_EQ(venda->Set_Dados_Transportadora(anterior), 1);
  GRUPO_TRANSPORTADORA t = transportadora();
  GetParam().muda(t);
  const bool aceita = GetParam().error.empty();
  EXPECT_EQ(venda->Set_Dados_Transportadora(t), aceita ? 1 : 0);
  GRUPO_TRANSPORTADORA lida;
  lida.PLACA = "lixo";
  ASSERT_EQ(venda->Get_Dados_Transportadora(lida), 1);
  EXPECT_EQ(lida.CODIGO_TRANSPORTADORA, aceita ? t.CODIGO_TRANSPORTADORA : 1);
  EXPECT_EQ(lida.PLACA, aceita ? t.PLACA : "");
  if (!aceita) {
    EXPECT_EQ(venda->ERROR, GetParam().error);
    EXPECT_EQ(venda->ERROR_FUNCTION, "Set_Dados_Transportadora");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Rules, Carrier,
    ::testing::Values(
        CarrierRow{"ZeroCode", [](GRUPO_TRANSPORTADORA& g) { g.CODIGO_TRANSPORTADORA = 0; },
                   "Código da transportadora não pode ser zero!"},
        CarrierRow{"WithoutDocumentNeedsNoAddress", [](GRUPO_TRANSPORTADORA& g) { g.PLACA = "ABC1D23"; }, ""},
        CarrierRow{"ZeroCnpjCountsAsNone", [](GRUPO_TRANSPORTADORA& g) { g.CNPJ = "00000000000000"; }, ""},
        CarrierRow{"CpfNeedsAddress", [](GRUPO_TRANSPORTADORA& g) { g.CPF = "12345678909"; },
                   "Endereço da transportadora não pode ser vazio!"},
        CarrierRow{"CnpjNeedsMunicipality",
                   [](GRUPO_TRANSPORTADORA& g) {
                     g.CNPJ = "11222333000181";
                     g.ENDERECO = "RUA A, 1";
                   },
                   "Munícipio da transportadora não pode ser vazio!"},
        CarrierRow{"CnpjWithAddress",
                   [](GRUPO_TRANSPORTADORA& g) {
                     g.CNPJ = "11222333000181";
                     g.ENDERECO = "RUA A, 1";
                     g.MUNICIPIO = "CONTAGEM";
                   },
                   ""}),
    RowName{});

TEST_F(SaleTest, PartnerChecks) {
  EXPECT_EQ(venda->Set_Parceiro_Venda({0, "ARQUITETO", 1, 2, 3, 4, 5}), 0);
  EXPECT_EQ(venda->ERROR, "O código do parceiro não foi informado.");
  EXPECT_EQ(venda->ERROR_FUNCTION, "Set_Parceiro_Venda");
  EXPECT_EQ(venda->Set_Parceiro_Venda({8, " ", 1, 2, 3, 4, 5}), 0);
  EXPECT_EQ(venda->ERROR, "A descrição do parceiro não foi informada.");
  ASSERT_EQ(venda->Set_Parceiro_Venda({8, "ARQUITETO", 1, 2, 3, 4, 5}), 1);
  GRUPO_PARCEIRO p;
  ASSERT_EQ(venda->Get_Parceiro_Venda(p), 1);
  EXPECT_EQ(p.PERC_DESCONTO, 5);
  venda->Limpa_Parceiro_Venda();
  ASSERT_EQ(venda->Get_Parceiro_Venda(p), 1);
  EXPECT_EQ(p.CODIGO, 0);
}

TEST_F(SaleTest, RefusedEventLeavesTheStoredOne) {
  struct Row {
    std::int32_t codigo;
    std::string_view descricao;
    std::int32_t cliente;
    std::int32_t vendedor;
    std::int32_t empresa;
    std::string_view error;
  };
  constexpr Row rows[] = {
      {0, "CASAMENTO", 2, 3, 1, "Código do evento não informado."},
      {5, "", 2, 3, 1, "Descrição do evento não foi informada."},
      {5, "CASAMENTO", 0, 3, 1, "O evento informado não possuí código de cliente."},
      {5, "CASAMENTO", 2, 0, 1, "O evento informado não possui código de vendedor."},
      {5, "CASAMENTO", 2, 3, 0, "O evento informado não possui código de empresa."},
  };
  ASSERT_EQ(venda->Set_Evento_Venda({1, "FEIRA", 2, 3, 1, 0}), 1);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.error);
    EXPECT_EQ(
        venda->Set_Evento_Venda({row.codigo, std::string{row.descricao}, row.cliente, row.vendedor, row.empresa, 0}),
        0);
    EXPECT_EQ(venda->ERROR, row.error);
    EXPECT_EQ(venda->ERROR_FUNCTION, "Set_Evento_Venda");
    GRUPO_EVENTO e;
    ASSERT_EQ(venda->Get_Evento_Venda(e), 1);
    EXPECT_EQ(e.DESCRICAO, "FEIRA");
  }
}

TEST_F(SaleTest, SellerChecksFollowThePreviousError) {
  venda->ITEM->ERROR = "anterior";
  EXPECT_EQ(venda->Set_Dados_Vendedor({0, "ANA"}), 0);
  EXPECT_EQ(venda->ERROR, " Código do vendedor menor ou igual a zero anterior");
  EXPECT_EQ(venda->ERROR_FUNCTION, "Set_Dados_Vendedor");
  EXPECT_EQ(venda->Set_Dados_Vendedor({4, ""}), 0);
  EXPECT_EQ(venda->ERROR, " Nome do Vendedor vazio  Código do vendedor menor ou igual a zero anterior");
  GRUPO_VENDEDOR v;
  ASSERT_EQ(venda->Get_Dados_Vendedor(v), 1);
  EXPECT_EQ(v.NOME, "JOANA");
}

TEST_F(SaleTest, ReadersOfPartiesNotSet) {
  CLASSE_VENDA nova;
  GRUPO_CLIENTE c;
  EXPECT_EQ(nova.Get_Dados_Cliente(c), 0);
  EXPECT_EQ(nova.ERROR, "Cliente não definido.");
  GRUPO_OPERACAO o;
  EXPECT_EQ(nova.Get_Dados_Operacao(o), 0);
  EXPECT_EQ(nova.ERROR, "Operação não definida.");
  GRUPO_VENDEDOR v;
  EXPECT_EQ(nova.Get_Dados_Vendedor(v), 0);
  EXPECT_EQ(nova.ERROR, "Vendedor não definido.");
  EXPECT_EQ(nova.ERROR_FUNCTION, "Get_Dados_Vendedor");
}

// The customer's state decides the ICMS rate; changing the customer
// recomputes every item, the cancelled one too.
TEST_F(SaleTest, ChangingTheCustomerStateRecomputesTheIcmsOfEveryItem) {
  for (int n = 1; n <= 2; ++n) {
    QUEUE_ITEM i = item(100, 1, std::to_string(n));
    i.ICMS.ALIQUOTA_ICMS = 18;
    i.ICMS.ALIQUOTA_ICMS_FORA = 12;
    vende(i);
  }
  ASSERT_EQ(venda->Cancela_Item(2), 1) << venda->ERROR;
  EXPECT_MONEY(item_vendido(1).ICMS.VALOR_ICMS.value(), 18);
  EXPECT_MONEY(venda->Get_Valor_ICMS(), 18);

  GRUPO_CLIENTE paulista = venda->CLIENTE;
  paulista.UF = "SP";
  ASSERT_EQ(venda->Set_Dados_Cliente(paulista), 1) << venda->ERROR;
  EXPECT_MONEY(item_vendido(1).ICMS.VALOR_ICMS.value(), 12);
  EXPECT_MONEY(item_vendido(2).ICMS.VALOR_ICMS.value(), 12);
  EXPECT_MONEY(venda->Get_Valor_ICMS(), 12);
  EXPECT_EQ(venda->CLIENTE.UF, "SP");
}

}  // namespace
}  // namespace fvn::sale
