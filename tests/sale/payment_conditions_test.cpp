// Payment conditions through the sale facade: the checks of a condition, the
// simulated lines, applying a cash or a credit condition with its down
// payment, and a credit sale whose down payment and installments add up to
// the sale total to the cent.
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "runtime/runtime_messages.h"
#include "sale_test_support.h"

namespace fvn::sale {
namespace {

using payment::PaymentCondition;
using testing::item;
using testing::RowName;
using testing::SaleTest;

PaymentCondition a_vista() {
  PaymentCondition c;
  c.CODIGO = 1;
  c.DESCRICAO = "A VISTA";
  c.TIPO = 1;
  return c;
}

PaymentCondition a_prazo(std::int32_t codigo, std::int32_t prestacoes, bool entrada, double juro = 0) {
  PaymentCondition c;
  c.CODIGO = codigo;
  c.DESCRICAO = "A PRAZO";
  c.TIPO = 2;
  c.COM_ENTRADA = entrada ? 1 : 0;
  c.PRESTACOES = prestacoes;
  c.DIAS_ENTRE_PRESTACOES = 30;
  c.DIAS_PRIMEIRO_VENCIMENTO = 30;
  c.JURO = juro;
  c.TIPO_JURO = 1;
  c.QUEBRA = 1;
  return c;
}

class Conditions : public SaleTest {
 protected:
  void SetUp() override {
    SaleTest::SetUp();
    ASSERT_EQ(venda->Set_Quebra(1), 1);
  }
  void condicoes() {
    ASSERT_EQ(venda->Adiciona_Condicao(a_vista()), 1) << venda->ERROR;
    ASSERT_EQ(venda->Adiciona_Condicao(a_prazo(2, 3, false)), 1) << venda->ERROR;
    ASSERT_EQ(venda->Adiciona_Condicao(a_prazo(3, 3, true)), 1) << venda->ERROR;
  }
  void escolhe(std::int32_t codigo) {
    ASSERT_EQ(venda->Calcula_Simulacao(), 1) << venda->ERROR;
    ASSERT_EQ(venda->Set_Condicao_Pagamento(codigo), 1) << venda->ERROR << " (" << venda->ERROR_FUNCTION << ")";
  }
  [[nodiscard]] double soma_parcelas() const {
    double s = 0;
    for (const payment::QUEUE_PARCELAS& p : venda->PRESTACAO->PARCELAS) s += p.VALOR;
    return round_to(s, 2);
  }
};

TEST_F(Conditions, SimulatedLines) {
  vende(item(100));
  condicoes();
  ASSERT_EQ(venda->Calcula_Simulacao(), 1) << venda->ERROR;
  const auto& lista = venda->Get_Condicoes_Pagamento().CONDICOES;
  EXPECT_EQ(lista.at(1).SIMULACAO, "1x 100.00");
  EXPECT_EQ(lista.at(1).VALOR_ENTRADA_SIMULACAO, 0);
  // The average installment, although the first one is 33.34.
  EXPECT_EQ(lista.at(2).SIMULACAO, "3x 33.33");
  EXPECT_EQ(lista.at(3).SIMULACAO, "25.00 + 3x 25.00");
  EXPECT_EQ(venda->Get_Entrada_Simulacao(3), 25);
  EXPECT_EQ(venda->Get_Entrada_Simulacao(4), 0);
  EXPECT_EQ(venda->ERROR, "Erro ao dar get na queue de condições de pagamento!");
}

TEST_F(Conditions, TheSimulationBaseIncludesTheSaleDiscountAndSurcharge) {
  vende(item(1000));
  ASSERT_EQ(venda->Set_Desconto_Venda(100), 1);
  ASSERT_EQ(venda->Set_Acrescimo_Venda(334.5), 1);
  ASSERT_EQ(venda->Adiciona_Condicao(a_vista()), 1);
  ASSERT_EQ(venda->Calcula_Simulacao(), 1) << venda->ERROR;
  EXPECT_EQ(venda->Get_Condicoes_Pagamento().CONDICOES.at(1).SIMULACAO, "1x 1,234.50");
}

TEST_F(Conditions, ACreditConditionWithDownPayment) {
  vende(item(100));
  condicoes();
  escolhe(3);
  EXPECT_EQ(venda->Get_Condicao(), 3);
  EXPECT_EQ(venda->Get_Permite_Entrada(), 1);
  EXPECT_EQ(venda->Get_Valor_Entrada(), 25);
  EXPECT_EQ(venda->Get_Valor_Total_Pagamento(), 25);
  EXPECT_EQ(venda->Get_Total_Parcelar(), 75);
  ASSERT_EQ(venda->Get_Quantidade_Parcelas(), 3);
  payment::QUEUE_PARCELAS p;
  ASSERT_EQ(venda->Get_Parcela(1, p), 1);
  EXPECT_EQ(p.VALOR, 25);
  EXPECT_EQ(p.VENCIMENTO, date_from_civil(2026, 6, 3));
}

TEST_F(Conditions, ACreditSaleAddsUpToTheCent) {
  vende(item(10));
  vende(item(25.99, 1, "2"));
  vende(item(64.02, 1, "3"));
  ASSERT_EQ(venda->Adiciona_Condicao(a_prazo(4, 3, true, 2)), 1);
  escolhe(4);
  // 100.01: down payment 25.00; 75.01 at 2 % a month over 90 days is 4.50.
  EXPECT_EQ(venda->Get_Valor_Entrada(), 25);
  EXPECT_MONEY(venda->Get_Acrescimo_Parcelas(), 4.5);
  payment::QUEUE_PARCELAS p;
  ASSERT_EQ(venda->Get_Parcela(1, p), 1);
  EXPECT_MONEY(p.VALOR, 26.51);
  ASSERT_EQ(venda->Get_Parcela(3, p), 1);
  EXPECT_MONEY(p.VALOR, 26.5);
  EXPECT_MONEY(venda->JUROS, 4.5);
  EXPECT_MONEY(venda->TOTAIS_VENDA.TOTAL_PARCELAR, 100.01);
  EXPECT_MONEY(venda->Get_Total_Liquido(), 104.51);
  EXPECT_EQ(round_to(venda->Get_Valor_Entrada() + soma_parcelas(), 2), round_to(venda->Get_Total_Liquido(), 2));
  EXPECT_EQ(venda->Checa_Valores(), 1) << venda->ERROR;

  // The down payment is paid at the counter, with change.
  payment::GRUPO_FORMAS_PAGAMENTO dinheiro;
  dinheiro.CODIGO = 1;
  dinheiro.DESCRICAO = "DINHEIRO";
  dinheiro.TIPO = 1;
  ASSERT_EQ(venda->PAGAMENTO->Adiciona_Forma_Pagamento(dinheiro), 1);
  ASSERT_EQ(venda->Paga(1, 30, 0, {.permite_troco = true}), 1) << venda->ERROR;
  EXPECT_EQ(venda->Get_Valor_Pagar(), 0);
  EXPECT_EQ(venda->Get_Valor_Troco(), -5);
}

TEST_F(Conditions, ACashConditionPaysTheWholeTotalAtTheCounter) {
  vende(item(100));
  condicoes();
  escolhe(3);
  escolhe(1);
  EXPECT_EQ(venda->Get_Condicao(), 1);
  EXPECT_EQ(venda->Get_Valor_Entrada(), 0);
  EXPECT_EQ(venda->Get_Valor_Total_Pagamento(), 100);
  EXPECT_EQ(venda->Get_Quantidade_Parcelas(), 0);
}

TEST_F(Conditions, ACashConditionDropsTheInterestOfACreditConditionChosenBefore) {
  vende(item(100));
  ASSERT_EQ(venda->Adiciona_Condicao(a_vista()), 1);
  ASSERT_EQ(venda->Adiciona_Condicao(a_prazo(4, 3, false, 2)), 1);
  escolhe(4);
  EXPECT_MONEY(venda->Get_Total_Liquido(), 106);
  escolhe(1);
  EXPECT_EQ(venda->JUROS, 0);
  EXPECT_MONEY(venda->Get_Total_Liquido(), 100);
  EXPECT_EQ(venda->Get_Valor_Total_Pagamento(), 100);
}

TEST_F(Conditions, ChoosingACreditConditionDiscardsThePaymentsMade) {
  vende(item(100));
  condicoes();
  payment::GRUPO_FORMAS_PAGAMENTO dinheiro;
  dinheiro.CODIGO = 1;
  dinheiro.DESCRICAO = "DINHEIRO";
  dinheiro.TIPO = 1;
  ASSERT_EQ(venda->PAGAMENTO->Adiciona_Forma_Pagamento(dinheiro), 1);
  ASSERT_EQ(venda->Set_Valor_Total_Pagar(100), 1);
  ASSERT_EQ(venda->Paga(1, 10, 0, {}), 1);
  escolhe(3);
  EXPECT_EQ(venda->Get_Quantidade_Pagamentos(), 0);
  EXPECT_EQ(venda->Get_Valor_Pagar(), 25);
}

TEST_F(Conditions, DownPaymentRefusals) {
  vende(item(100));
  EXPECT_EQ(venda->Set_Valor_Entrada(-1), 0);
  EXPECT_EQ(venda->ERROR, "Valor da entrada menor que zero");
  EXPECT_EQ(venda->Set_Valor_Entrada(10), 0);
  EXPECT_EQ(venda->ERROR, "Condição de Pagamento não permite entrada.");
  ASSERT_EQ(venda->Set_Permite_Entrada(1), 1);
  EXPECT_EQ(venda->Set_Valor_Entrada(100), 0);
  EXPECT_EQ(venda->ERROR, "Valor de entrada maior ou igual ao valor total a parcelar.");
  EXPECT_EQ(venda->ERROR_FUNCTION, "Set_Valor_Entrada");
  EXPECT_EQ(venda->Get_Valor_Entrada(), 0);
  EXPECT_EQ(venda->Set_Permite_Entrada(-1), 0);
  EXPECT_EQ(venda->ERROR, "Campo de verificação da entrada negativo.");
}

TEST_F(Conditions, ADownPaymentAboveWhatIsLeftIsRefusedNotSplitNegative) {
  vende(item(100));
  condicoes();
  escolhe(3);
  ASSERT_EQ(venda->Cancela_Item(1), 1);
  EXPECT_EQ(venda->Calcula_Parcelas(), 0);
  EXPECT_EQ(venda->ERROR, "Erro setar valor a parcelar Total a parcelar negativo.");
  EXPECT_EQ(venda->ERROR_FUNCTION, "Calcula_Parcelas - Set_Total_Parcelar");
}

TEST_F(Conditions, AnUnknownConditionIsRefused) {
  EXPECT_EQ(venda->Set_Condicao_Pagamento(9), 0);
  EXPECT_EQ(venda->ERROR, "Condição de pagamento inexistente! Entrada não encontrada");
  EXPECT_EQ(venda->ERROR_FUNCTION, "Set_Condicao_Pagamento");
}

TEST_F(Conditions, PlanWrappersCarryTheirOwnContext) {
  EXPECT_EQ(venda->Set_Juro(-1), 0);
  EXPECT_EQ(venda->ERROR, "Erro ao dar set no juro Percentual de juros negativo");
  EXPECT_EQ(venda->ERROR_FUNCTION, "Set_Juro");
  EXPECT_EQ(venda->Set_Numero_Parcelas(0), 0);
  EXPECT_EQ(venda->ERROR, "Erro ao dar set no número de parcelas Número de parcelas negativo ou zerado.");
  ASSERT_EQ(venda->Set_Total_Parcelar(50), 1);
  EXPECT_EQ(venda->Checa_Valores(), 0);
  EXPECT_EQ(venda->ERROR,
            "Erro no Checa_Valores Valor acumulado das prestações R$ 0,00difere do total parcelado R$ "
            "50,00|Diferença entre valores de R$ -50,00 ");
  EXPECT_EQ(venda->ERROR_FUNCTION, "Checa_Valores");
}

TEST_F(Conditions, AReloadedPlanIsRebuiltInstallmentByInstallment) {
  vende(item(100));
  condicoes();
  escolhe(2);
  ASSERT_EQ(venda->Limpa_Prestacoes(), 1);
  EXPECT_EQ(venda->Checa_Valores(), 0);
  for (const int mes : {6, 7, 8}) {
    payment::QUEUE_PARCELAS p;
    p.VENCIMENTO = date_from_civil(2026, mes, 10);
    p.VALOR = mes == 6 ? 33.34 : 33.33;
    ASSERT_EQ(venda->Adiciona_Prestacao(p), 1) << venda->ERROR;
  }
  EXPECT_EQ(venda->Checa_Valores(), 1) << venda->ERROR;
}

struct CondicaoRow {
  std::string name;
  std::function<void(PaymentCondition&)> muda;
  std::string error;
};

class CondicaoRecusada : public SaleTest, public ::testing::WithParamInterface<CondicaoRow> {};

TEST_P(CondicaoRecusada, IsNotAdded) {
  PaymentCondition c = a_prazo(5, 2, false);
  GetParam().muda(c);
  EXPECT_EQ(venda->Adiciona_Condicao(c), 0);
  EXPECT_EQ(venda->ERROR, GetParam().error);
  EXPECT_EQ(venda->ERROR_FUNCTION, "Adiciona_Condicao");
  EXPECT_TRUE(venda->Get_Condicoes_Pagamento().CONDICOES.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Checks, CondicaoRecusada,
    ::testing::Values(
        CondicaoRow{"ZeroCode", [](PaymentCondition& c) { c.CODIGO = 0; }, "Código da condição menor ou igual a zero"},
        CondicaoRow{"BlankDescription", [](PaymentCondition& c) { c.DESCRICAO = ""; }, "Descrição da condição vazia"},
        CondicaoRow{"CashWithDownPayment",
                    [](PaymentCondition& c) {
                      c = a_vista();
                      c.COM_ENTRADA = 1;
                    },
                    "Valor de entrada somente pode ser preenchido com tipo da condição a prazo"},
        CondicaoRow{"CashWithInstallments",
                    [](PaymentCondition& c) {
                      c = a_vista();
                      c.PRESTACOES = 2;
                    },
                    "Prestação preenchida para condição a vista"},
        CondicaoRow{"NegativeInterest", [](PaymentCondition& c) { c.JURO = -1; },
                    "Prestação preencida para condição a vista"},
        CondicaoRow{"NoSpacing",
                    [](PaymentCondition& c) {
                      c.DIAS_ENTRE_PRESTACOES = 0;
                      c.DIA_MES = 0;
                    },
                    "Dias entre as prestações ou o dia do mês devem ser preenchidos"},
        CondicaoRow{"NoFirstDueDate", [](PaymentCondition& c) { c.DIAS_PRIMEIRO_VENCIMENTO = 0; },
                    "Dias do primeiro vencimento ou data da primeira parcela devem ser preenchidas"},
        CondicaoRow{"Quebra0", [](PaymentCondition& c) { c.QUEBRA = 0; }, "Tipo de quebra inválida"}),
    RowName{});

}  // namespace
}  // namespace fvn::sale
