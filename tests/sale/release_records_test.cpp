// Release records of the sale and of its items: the field checks in their
// order with each operation's own texts, and the context each accepted
// record gets in OUTROS_DADOS.
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "runtime/clock.h"
#include "sale_test_support.h"

namespace fvn::sale {
namespace {

using testing::item;
using testing::RowName;
using testing::SaleTest;

GRUPO_DADOS_LIBERACAO completa() {
  GRUPO_DADOS_LIBERACAO l;
  l.DATA = date_from_civil(2026, 5, 4);
  l.HORA = time_from_civil(10, 30, 0);
  l.OPERADOR_LOGADO = 7;
  l.USUARIO_LOGADO = "CAIXA1";
  l.OPERADOR_LIBERACAO = 2;
  l.USUARIO_LIBERACAO = "GERENTE";
  l.CODIGO_EMPRESA = 1;
  l.TIPO_LIBERACAO = "DESCONTO";
  l.MOTIVO_LIBERACAO = "CLIENTE ANTIGO";
  return l;
}

using Operacao = std::function<int(CLASSE_VENDA&, const GRUPO_DADOS_LIBERACAO&)>;

const Operacao kDescontoVenda = [](CLASSE_VENDA& v, const GRUPO_DADOS_LIBERACAO& l) {
  return v.Seta_Dados_Liberacao_Desconto(l);
};
const Operacao kCancelamentoVenda = [](CLASSE_VENDA& v, const GRUPO_DADOS_LIBERACAO& l) {
  return v.Seta_Dados_Liberacao_Cancelamento(l);
};
const Operacao kVendaPrazo = [](CLASSE_VENDA& v, const GRUPO_DADOS_LIBERACAO& l) {
  return v.Seta_Dados_Liberacao_Venda_Prazo(l);
};
const Operacao kDescontoItem = [](CLASSE_VENDA& v, const GRUPO_DADOS_LIBERACAO& l) {
  return v.Seta_Dados_Liberacao_Desconto(l, 1);
};
const Operacao kCancelamentoItem = [](CLASSE_VENDA& v, const GRUPO_DADOS_LIBERACAO& l) {
  return v.Seta_Dados_Liberacao_Cancelamento(l, 1);
};

struct Row {
  std::string name;
  Operacao operacao;
  std::string function;
  std::function<void(GRUPO_DADOS_LIBERACAO&)> falta;
  std::string error;
};

class Liberacao : public SaleTest, public ::testing::WithParamInterface<Row> {};

TEST_P(Liberacao, RefusesTheRecordAndKeepsTheStoredOne) {
  vende(item(10));
  const Row& row = GetParam();
  GRUPO_DADOS_LIBERACAO l = completa();
  row.falta(l);
  EXPECT_EQ(row.operacao(*venda, l), 0);
  EXPECT_EQ(venda->ERROR, row.error);
  EXPECT_EQ(venda->ERROR_FUNCTION, row.function);
  EXPECT_EQ(venda->GRUPO_DADOS_LIBERACAO_DESCONTO.DATA, 0);
  EXPECT_EQ(venda->GRUPO_DADOS_LIBERACAO_CANCELAMENTO.DATA, 0);
  EXPECT_EQ(venda->GRUPO_DADOS_LIBERACAO_VENDA_PRAZO.DATA, 0);
  EXPECT_EQ(item_vendido(1).DADOS_LIBERACAO_DESCONTO.DATA, 0);
  EXPECT_EQ(item_vendido(1).DADOS_LIBERACAO_CANCELAMENTO.DATA, 0);
}

void sem_data(GRUPO_DADOS_LIBERACAO& l) { l.DATA = 0; }
void sem_hora(GRUPO_DADOS_LIBERACAO& l) { l.HORA = 0; }
void sem_operador(GRUPO_DADOS_LIBERACAO& l) { l.OPERADOR_LOGADO = 0; }
void sem_usuario(GRUPO_DADOS_LIBERACAO& l) { l.USUARIO_LOGADO = " "; }
void sem_quem_liberou(GRUPO_DADOS_LIBERACAO& l) { l.OPERADOR_LIBERACAO = 0; }
void sem_usuario_que_liberou(GRUPO_DADOS_LIBERACAO& l) { l.USUARIO_LIBERACAO = ""; }
void sem_empresa(GRUPO_DADOS_LIBERACAO& l) { l.CODIGO_EMPRESA = 0; }
void sem_tipo(GRUPO_DADOS_LIBERACAO& l) { l.TIPO_LIBERACAO = ""; }
// With several fields missing, the first check decides.
void sem_hora_nem_empresa(GRUPO_DADOS_LIBERACAO& l) {
  l.HORA = 0;
  l.CODIGO_EMPRESA = 0;
}

const std::string kEmpresa = "A empresa em que a operação de liberação foi efetuada não foi informada.";
const std::string kTipo = "O tipo de liberação que foi efetuada não foi informada.";

INSTANTIATE_TEST_SUITE_P(
    SaleLevel, Liberacao,
    ::testing::Values(Row{"DiscountDate", kDescontoVenda, "Seta_Dados_Liberacao_Desconto", sem_data,
                          "A data de liberação de cancelamento na venda não foi informada."},
                      Row{"DiscountTimeBeforeCompany", kDescontoVenda, "Seta_Dados_Liberacao_Desconto",
                          sem_hora_nem_empresa, "A hora de liberação de cancelamento na venda não foi informada."},
                      Row{"DiscountCompany", kDescontoVenda, "Seta_Dados_Liberacao_Desconto", sem_empresa, kEmpresa},
                      Row{"CancellationUser", kCancelamentoVenda, "Seta_Dados_Liberacao_Cancelamento", sem_usuario,
                          "A usuário logado no momento do cancelamento de desconto na venda não foi informado."},
                      Row{"CancellationCompany", kCancelamentoVenda, "Seta_Dados_Liberacao_Cancelamento", sem_empresa,
                          kEmpresa},
                      Row{"CreditDate", kVendaPrazo, "Seta_Dados_Liberacao_Venda_Prazo", sem_data,
                          "A data de liberação não foi informada."},
                      Row{"CreditTime", kVendaPrazo, "Seta_Dados_Liberacao_Venda_Prazo", sem_hora,
                          "A hora de liberação não foi informada."},
                      Row{"CreditKind", kVendaPrazo, "Seta_Dados_Liberacao_Venda_Prazo", sem_tipo, kTipo}),
    RowName{});

INSTANTIATE_TEST_SUITE_P(
    ItemLevel, Liberacao,
    ::testing::Values(Row{"DiscountDate", kDescontoItem, "Seta_Dados_Liberacao_Desconto", sem_data,
                          "A data de liberação de desconto do item não foi informada."},
                      Row{"DiscountOperator", kDescontoItem, "Seta_Dados_Liberacao_Desconto", sem_operador,
                          "O operador logado no momento da liberação de desconto do item não foi informado."},
                      Row{"DiscountAuthoriser", kDescontoItem, "Seta_Dados_Liberacao_Desconto", sem_quem_liberou,
                          "O operador que liberou o desconto do item não foi informado."},
                      Row{"DiscountAuthorisingUser", kDescontoItem, "Seta_Dados_Liberacao_Desconto",
                          sem_usuario_que_liberou, "O usuário que liberou o desconto do item não foi informado."},
                      Row{"DiscountTime", kDescontoItem, "Seta_Dados_Liberacao_Desconto", sem_hora,
                          "A hora de liberação de desconto do item não foi informada."},
                      Row{"DiscountKind", kDescontoItem, "Seta_Dados_Liberacao_Desconto", sem_tipo, kTipo},
                      Row{"CancellationDate", kCancelamentoItem, "Seta_Dados_Liberacao_Cancelamento", sem_data,
                          "A data de liberação de cancelamento do item não foi informada."},
                      Row{"CancellationTime", kCancelamentoItem, "Seta_Dados_Liberacao_Cancelamento", sem_hora,
                          "A hora de liberação de cancelamento do item não foi informada."},
                      Row{"CancellationCompany", kCancelamentoItem, "Seta_Dados_Liberacao_Cancelamento", sem_empresa,
                          kEmpresa}),
    RowName{});

TEST_F(SaleTest, AnAuthorisedDiscountOfTheSaleNamesTheEmitter) {
  GRUPO_DADOS_LIBERACAO l = completa();
  l.OUTROS_DADOS = "Desconto de 10%";
  ASSERT_EQ(venda->Seta_Dados_Liberacao_Desconto(l), 1) << venda->ERROR;
  EXPECT_EQ(venda->GRUPO_DADOS_LIBERACAO_DESCONTO.OUTROS_DADOS, "Desconto de 10%. Emissor: 1");
  EXPECT_EQ(venda->GRUPO_DADOS_LIBERACAO_DESCONTO.USUARIO_LIBERACAO, "GERENTE");
}

TEST_F(SaleTest, AnAuthorisedCancellationOfTheSaleNeedsNoAuthoriserAndNamesTheTotal) {
  vende(item(1234.5));
  GRUPO_DADOS_LIBERACAO l = completa();
  l.OPERADOR_LIBERACAO = 0;
  l.USUARIO_LIBERACAO = "";
  ASSERT_EQ(venda->Seta_Dados_Liberacao_Cancelamento(l), 1) << venda->ERROR;
  EXPECT_EQ(venda->GRUPO_DADOS_LIBERACAO_CANCELAMENTO.OUTROS_DADOS, ". Emissor: 1. Valor Total: 1,234.50");
}

TEST_F(SaleTest, AnAuthorisedCreditSaleKeepsTheRecordAsGiven) {
  ASSERT_EQ(venda->Seta_Dados_Liberacao_Venda_Prazo(completa()), 1) << venda->ERROR;
  EXPECT_EQ(venda->GRUPO_DADOS_LIBERACAO_VENDA_PRAZO.OUTROS_DADOS, "");
  EXPECT_EQ(venda->GRUPO_DADOS_LIBERACAO_VENDA_PRAZO.MOTIVO_LIBERACAO, "CLIENTE ANTIGO");
}

TEST_F(SaleTest, ItemReleasesAreStoredInTheItemWithItsContext) {
  vende(item(10));
  QUEUE_ITEM cafe = item(8.5, 2, "42");
  cafe.DESCRICAO = "CAFE 500G";
  vende(cafe);
  ASSERT_EQ(venda->Seta_Dados_Liberacao_Desconto(completa(), 2), 1) << venda->ERROR;
  GRUPO_DADOS_LIBERACAO l = completa();
  l.OPERADOR_LIBERACAO = 0;
  ASSERT_EQ(venda->Seta_Dados_Liberacao_Cancelamento(l, 2), 1) << venda->ERROR;
  EXPECT_EQ(item_vendido(2).DADOS_LIBERACAO_DESCONTO.OUTROS_DADOS, ". Emissor: 1. Item: 2.");
  EXPECT_EQ(item_vendido(2).DADOS_LIBERACAO_CANCELAMENTO.OUTROS_DADOS,
            ". Emissor: 1. Item: 2, Código: 42, Descrição: CAFE 500G, Total Item: 17.00");
  EXPECT_EQ(item_vendido(1).DADOS_LIBERACAO_DESCONTO.DATA, 0);
}

TEST_F(SaleTest, AnItemReleaseForItemZeroFailsBeforeTheFields) {
  EXPECT_EQ(venda->Seta_Dados_Liberacao_Desconto(GRUPO_DADOS_LIBERACAO{}, 0), 0);
  EXPECT_EQ(venda->ERROR, "Nenhum item foi informado");
  EXPECT_EQ(venda->Seta_Dados_Liberacao_Cancelamento(GRUPO_DADOS_LIBERACAO{}, 0), 0);
  EXPECT_EQ(venda->ERROR_FUNCTION, "Seta_Dados_Liberacao_Cancelamento");
}

TEST_F(SaleTest, AnItemReleaseForAMissingItem) {
  vende(item(10));
  EXPECT_EQ(venda->Seta_Dados_Liberacao_Desconto(completa(), 2), 0);
  EXPECT_EQ(venda->ERROR, "Erro ao buscar item na queue de itens.");
}

}  // namespace
}  // namespace fvn::sale
