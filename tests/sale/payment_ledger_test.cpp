// The payment ledger: loading entities and forms, paying against the total
// with change, installment payments that must be concluded, and reversals.
#include "payment/payment_ledger.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "runtime/clock.h"
#include "sale_test_support.h"
#include "support/temp_folder.h"

namespace fvn::payment {
namespace {

using sale::testing::RowName;

constexpr std::int32_t kDinheiro = 1;
constexpr std::int32_t kCheque = 3;
constexpr std::int32_t kCrediario = 7;  // type 3, in three installments every 30 days

GRUPO_FORMAS_PAGAMENTO forma(std::int32_t codigo, std::int32_t tipo, std::string descricao) {
  GRUPO_FORMAS_PAGAMENTO f;
  f.CODIGO = codigo;
  f.TIPO = tipo;
  f.DESCRICAO = std::move(descricao);
  return f;
}

class Ledger : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(l.Set_Data_Emissao(date_from_civil(2026, 5, 4)), 1);
    ASSERT_EQ(l.Set_Quebra(1), 1);
    ASSERT_EQ(l.Adiciona_Entidade({5, "BANCO DO POVO", 1}), 1) << l.ERROR;
    ASSERT_EQ(l.Adiciona_Forma_Pagamento(forma(kDinheiro, 1, "DINHEIRO")), 1) << l.ERROR;
    ASSERT_EQ(l.Adiciona_Forma_Pagamento(forma(kCheque, 3, "CHEQUE")), 1) << l.ERROR;
    GRUPO_FORMAS_PAGAMENTO crediario = forma(kCrediario, 3, "CREDIARIO");
    crediario.COMPOSTA = 1;
    crediario.VEZES = 3;
    crediario.DIAS = 30;
    crediario.CODIGO_ENTIDADE = 5;
    ASSERT_EQ(l.Adiciona_Forma_Pagamento(crediario), 1) << l.ERROR;
    ASSERT_EQ(l.Set_Valor_Total(100), 1);
  }

  void paga(std::int32_t codigo, double valor, PaymentOptions opcoes = {}) {
    ASSERT_EQ(l.Paga(codigo, valor, 0, opcoes), 1) << l.ERROR;
  }

  PaymentLedger l;
};

TEST_F(Ledger, CashAboveTheTotalGivesChange) {
  paga(kDinheiro, 150, {.permite_troco = true});
  EXPECT_EQ(l.VALOR_PAGO, 150);
  EXPECT_EQ(l.VALOR_PAGAR, 0);
  EXPECT_EQ(l.VALOR_TROCO, -50);
  EXPECT_EQ(l.PAGAMENTOS.at(1).TROCO.value(), -50);
  EXPECT_EQ(l.PAGAMENTOS.at(1).CONCLUIDO, 1);
  EXPECT_EQ(l.PAGAMENTOS.at(1).DESCRICAO_FORMA, "DINHEIRO");
}

TEST_F(Ledger, ChangeIsOnlyRecordedOnThePaymentWhenAllowed) {
  paga(kDinheiro, 30);
  paga(kDinheiro, 80);
  EXPECT_EQ(l.VALOR_TROCO, -10);
  EXPECT_EQ(l.PAGAMENTOS.at(2).TROCO.value(), 0);
}

TEST_F(Ledger, AChequeMayNotExceedWhatIsDue) {
  EXPECT_EQ(l.Paga(kCheque, 150, 0, {}), 0);
  EXPECT_EQ(l.ERROR, " Valor A Pagar R$ 100.00 Menor que Valor Pagamento R$ 150.00 ");
  EXPECT_EQ(l.ERROR_FUNCTION, " Paga ");
  EXPECT_TRUE(l.PAGAMENTOS.empty());
}

TEST_F(Ledger, AmountsAboveAThousandAreGrouped) {
  ASSERT_EQ(l.Set_Valor_Total(1234.5), 1);
  EXPECT_EQ(l.Paga(kCheque, 2000, 0, {}), 0);
  EXPECT_EQ(l.ERROR, " Valor A Pagar R$ 1,234.50 Menor que Valor Pagamento R$ 2,000.00 ");
}

TEST_F(Ledger, NothingMoreCanBePaidOnceSettledExceptADownPayment) {
  paga(kDinheiro, 100);
  EXPECT_EQ(l.Paga(kDinheiro, 1, 0, {}), 0);
  EXPECT_EQ(l.ERROR, " Valor A Pagar Menor ou Igual a zero ");
  paga(kDinheiro, 10, {.sinal = true});
  EXPECT_EQ(l.PAGAMENTOS.at(2).SINAL_OS, 1);
  EXPECT_EQ(l.PAGAMENTOS.at(2).TROCO.value(), -10);
  EXPECT_EQ(l.VALOR_TROCO, -10);
}

TEST_F(Ledger, PaymentRefusals) {
  EXPECT_EQ(l.Paga(kDinheiro, 0, 0, {}), 0);
  EXPECT_EQ(l.ERROR, " Valor Pagamento Menor que Zero ");
  EXPECT_EQ(l.Paga(99, 10, 0, {}), 0);
  EXPECT_EQ(l.ERROR, " Forma de Pagamento Inexistente! Entrada não encontrada");
  EXPECT_EQ(l.Set_Valor_Total(-1), 0);
  EXPECT_EQ(l.ERROR, "Valor Total menor que zero");
}

TEST_F(Ledger, AnInstallmentPaymentStaysOpenUntilItsPlanAddsUp) {
  paga(kCrediario, 60);
  ASSERT_NE(l.Get_Ultima_Parcela(), nullptr);
  EXPECT_EQ(l.PAGAMENTOS.at(1).CONCLUIDO, 0);
  EXPECT_EQ(l.Ultimo_Concluido(), 0);
  EXPECT_EQ(l.Paga(kDinheiro, 40, 0, {}), 0);
  EXPECT_EQ(l.ERROR, "Último pagamento não concluído!");
  EXPECT_EQ(l.Conclui_Pagamento(), 0);  // nothing built yet
  EXPECT_EQ(l.ERROR,
            " Erro ao checar valores: Valor acumulado das prestações R$ 0,00difere do total parcelado R$ "
            "60,00|Diferença entre valores de R$ -60,00 ");

  ASSERT_EQ(l.Calcula_Parcelas(), 1) << l.ERROR;
  const Parcelas& plano = *l.Get_Ultima_Parcela();
  ASSERT_EQ(plano.Get_Quantidade_Parcelas(), 3);
  EXPECT_EQ(plano.PARCELAS.at(1).VALOR, 20);
  EXPECT_EQ(plano.PARCELAS.at(1).VENCIMENTO, date_from_civil(2026, 6, 3));
  EXPECT_EQ(plano.PARCELAS.at(1).ENTIDADE, 5);
  ASSERT_EQ(l.Conclui_Pagamento(), 1) << l.ERROR;
  paga(kDinheiro, 40);
  EXPECT_EQ(l.VALOR_PAGAR, 0);
}

TEST_F(Ledger, EditingAnInstallmentKeepsThePlanWhole) {
  paga(kCrediario, 100);
  ASSERT_EQ(l.Calcula_Parcelas(), 1);
  // Payment plans may edit the installment that absorbs differences.
  ASSERT_EQ(l.Set_Valor_Parcela(2, 50), 1) << l.ERROR;
  const Parcelas& plano = *l.Get_Ultima_Parcela();
  EXPECT_MONEY(plano.PARCELAS.at(1).VALOR, 16.67);
  EXPECT_MONEY(plano.PARCELAS.at(3).VALOR, 33.33);
  ASSERT_EQ(l.Conclui_Pagamento(), 1) << l.ERROR;
}

TEST_F(Ledger, ChangingAConcludedPlanOpensThePaymentAgain) {
  paga(kCrediario, 60);
  ASSERT_EQ(l.Calcula_Parcelas(), 1);
  ASSERT_EQ(l.Conclui_Pagamento(), 1);
  ASSERT_EQ(l.Estorna_Parcela(3), 1);
  EXPECT_EQ(l.Ultimo_Concluido(), 0);
  EXPECT_EQ(l.Paga(kDinheiro, 40, 0, {}), 0);
  EXPECT_EQ(l.Conclui_Pagamento(), 0);
}

TEST_F(Ledger, OnlyTheOpenPaymentCanBeReversed) {
  paga(kDinheiro, 20);
  paga(kCrediario, 30);
  EXPECT_EQ(l.Estorna(1), 0);
  EXPECT_EQ(l.ERROR, "Pagamento não pode ser estornado. | Pagamento nº 1 não está concluído");
  ASSERT_EQ(l.Estorna(2), 1) << l.ERROR;
  EXPECT_EQ(l.VALOR_PAGO, 20);
  EXPECT_EQ(l.VALOR_PAGAR, 80);
  EXPECT_EQ(l.Ultimo_Concluido(), 1);
}

TEST_F(Ledger, ReversingThePaymentThatGaveChange) {
  paga(kDinheiro, 120, {.permite_troco = true});
  paga(kDinheiro, 10, {.sinal = true});
  EXPECT_EQ(l.VALOR_TROCO, -30);
  ASSERT_EQ(l.Estorna(2), 1);
  EXPECT_EQ(l.VALOR_PAGO, 120);
  EXPECT_EQ(l.VALOR_TROCO, -20);
  EXPECT_EQ(l.PAGAMENTOS.at(1).TROCO.value(), -20);
  ASSERT_EQ(l.Estorna(1), 1);
  EXPECT_EQ(l.VALOR_PAGO, 0);
  EXPECT_EQ(l.VALOR_PAGAR, 100);
  EXPECT_EQ(l.VALOR_TROCO, 0);
}

TEST_F(Ledger, ReversingAnEarlierPaymentMovesTheChangeToTheNewLast) {
  paga(kDinheiro, 80);
  paga(kDinheiro, 50, {.permite_troco = true});
  ASSERT_EQ(l.Estorna(1), 1);
  EXPECT_EQ(l.VALOR_PAGO, 50);
  EXPECT_EQ(l.VALOR_PAGAR, 50);
  EXPECT_EQ(l.VALOR_TROCO, 0);
  EXPECT_EQ(l.PAGAMENTOS.at(1).TROCO.value(), 0);
}

TEST_F(Ledger, ReversalRefusals) {
  EXPECT_EQ(l.Estorna(0), 0);
  EXPECT_EQ(l.ERROR, "Número parcela igual ou menor que zero");
  EXPECT_EQ(l.Estorna(1), 0);
  EXPECT_EQ(l.ERROR, "Erro ao dar GET na queue pagamentos Entrada não encontrada");
  EXPECT_EQ(l.ERROR_FUNCTION, " Estorna ");
}

TEST_F(Ledger, PlanOperationsNeedAnInstallmentPayment) {
  paga(kDinheiro, 10);
  EXPECT_EQ(l.Calcula_Parcelas(), 0);
  EXPECT_EQ(l.ERROR, "Objeto Parcelas não criado ");
  EXPECT_EQ(l.ERROR_FUNCTION, "Calcula_Parcelas");
}

TEST_F(Ledger, ANewTotalReleasesThePayments) {
  paga(kCrediario, 60);
  ASSERT_EQ(l.Set_Valor_Total(80), 1);
  EXPECT_TRUE(l.PAGAMENTOS.empty());
  EXPECT_EQ(l.VALOR_PAGAR, 80);
  EXPECT_EQ(l.VALOR_PAGO, 0);
}

TEST(LedgerPlan, AMissingBreakModeStopsAnInstallmentPayment) {
  PaymentLedger l;
  ASSERT_EQ(l.Set_Data_Emissao(date_from_civil(2026, 5, 4)), 1);
  GRUPO_FORMAS_PAGAMENTO f = forma(2, 3, "CREDIARIO");
  f.COMPOSTA = 1;
  f.VEZES = 2;
  ASSERT_EQ(l.Adiciona_Forma_Pagamento(f), 1);
  ASSERT_EQ(l.Set_Valor_Total(10), 1);
  EXPECT_EQ(l.Paga(2, 10, 0, {}), 0);
  EXPECT_EQ(l.ERROR, " Set_Quebra Tipo de quebra inválida.");
  EXPECT_TRUE(l.PAGAMENTOS.empty());
}

struct FormaRow {
  std::string name;
  std::function<void(GRUPO_FORMAS_PAGAMENTO&)> muda;
  std::string error;
};

class FormaRecusada : public ::testing::TestWithParam<FormaRow> {};

TEST_P(FormaRecusada, IsNotLoaded) {
  PaymentLedger l;
  GRUPO_FORMAS_PAGAMENTO f = forma(1, 1, "DINHEIRO");
  GetParam().muda(f);
  EXPECT_EQ(l.Adiciona_Forma_Pagamento(f), 0);
  EXPECT_EQ(l.ERROR, GetParam().error);
  EXPECT_TRUE(l.FORMAS_PAGAMENTO.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Checks, FormaRecusada,
    ::testing::Values(
        FormaRow{"ZeroCode", [](GRUPO_FORMAS_PAGAMENTO& f) { f.CODIGO = 0; }, "Código menor que zero"},
        FormaRow{"BlankDescription", [](GRUPO_FORMAS_PAGAMENTO& f) { f.DESCRICAO = "  "; }, "Descrição vazia"},
        FormaRow{"Type6", [](GRUPO_FORMAS_PAGAMENTO& f) { f.TIPO = 6; }, "Tipo de forma de pagamento inválido"},
        FormaRow{"ManualCardWithoutCardType", [](GRUPO_FORMAS_PAGAMENTO& f) { f.TIPO = 5; }, "Tipo de cartão inválido"},
        FormaRow{"InstallmentsWithoutCount", [](GRUPO_FORMAS_PAGAMENTO& f) { f.COMPOSTA = 1; },
                 "Número de vezes menor que zero ou forma composta e sem número de vezes."},
        FormaRow{"NegativeEntity", [](GRUPO_FORMAS_PAGAMENTO& f) { f.CODIGO_ENTIDADE = -1; },
                 "Código de entidade menor que zero"},
        FormaRow{"TefWithoutSurchargeKind", [](GRUPO_FORMAS_PAGAMENTO& f) { f.TIPO = 2; }, "Código menor que zero"},
        FormaRow{"TefFolderMissing",
                 [](GRUPO_FORMAS_PAGAMENTO& f) {
                   f.TIPO = 2;
                   f.TIPO_ACRESCIMO_TEF = 1;
                   f.PASTA_TEF = "/nonexistent/tef";
                 },
                 "Pasta não existente /nonexistent/tef"},
        FormaRow{"UnknownEntity", [](GRUPO_FORMAS_PAGAMENTO& f) { f.CODIGO_ENTIDADE = 9; },
                 " Código da entidade inexistente Entrada não encontrada"}),
    RowName{});

TEST(LedgerForms, ATefFormCreatesItsBackupFolder) {
  fvn::testing::TempFolder pasta;
  PaymentLedger l;
  GRUPO_FORMAS_PAGAMENTO f = forma(4, 2, "CARTAO TEF");
  f.TIPO_ACRESCIMO_TEF = 2;
  f.PASTA_TEF = pasta.path().string();
  const auto backup = pasta.path() / "bkp" / "tef";
  f.PASTA_BACKUP_TEF = backup.string() + "  ";
  ASSERT_EQ(l.Adiciona_Forma_Pagamento(f), 1) << l.ERROR;
  EXPECT_TRUE(std::filesystem::is_directory(backup));

  f.PASTA_BACKUP_TEF = (pasta.path() / "arquivo" / "x").string();
  std::ofstream(pasta.path() / "arquivo") << "a file where a folder should be";
  EXPECT_EQ(l.Adiciona_Forma_Pagamento(f), 0);
  EXPECT_EQ(
      l.ERROR.rfind("Pasta de Backup não existente e não foi possível criar em: " + f.PASTA_BACKUP_TEF + "|Erro: ", 0),
      0u)
      << l.ERROR;
}

TEST(LedgerEntities, Checks) {
  PaymentLedger l;
  EXPECT_EQ(l.Adiciona_Entidade({0, "BANCO", 1}), 0);
  EXPECT_EQ(l.ERROR, "Código com valor zero ou menor que zero ");
  EXPECT_EQ(l.Adiciona_Entidade({1, " ", 1}), 0);
  EXPECT_EQ(l.ERROR, "Descrição da Entidade Não pode estar Vazia ");
  EXPECT_EQ(l.Adiciona_Entidade({1, "BANCO", 5}), 0);
  EXPECT_EQ(l.ERROR, "Tipo da Entidade Difere dos tipos Constantes ");
  EXPECT_TRUE(l.ENTIDADES.empty());
}

}  // namespace
}  // namespace fvn::payment
