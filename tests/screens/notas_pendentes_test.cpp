// The pending-notes windows headless against a real simulator: the check,
// the resolution's messages and the browse's "resolve everything".
#include "screens/notas_pendentes.h"

#include <gtest/gtest.h>

#include "service/workflow_fixture.h"

namespace fvn {
namespace {

class PendingNotesTest : public testing::WorkflowTest {
 protected:
  void SetUp() override {
    WorkflowTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    // The demo shop's own contingency notes are unknown to this simulator.
    sql("update asaidas set i_asa_contigencia = 0, i_asa_quorvex_canc = 0");
  }
  std::int32_t issued(const nlohmann::json& rule) {
    EXPECT_TRUE(sim_->fault(rule));
    const auto sale = scenario("consumidor_sem_cpf");
    EXPECT_EQ(issue(sale), 1) << processor_->ERROR;
    EXPECT_TRUE(sim_->fault({{"mode", "normal"}}));
    return sale;
  }
  std::vector<std::string> texts() const {
    std::vector<std::string> out;
    for (const auto& m : ui_.messages()) out.push_back(m.text);
    return out;
  }
  const ExportCompany company_{1, testing::kCnpj, "", "", ""};
};

TEST_F(PendingNotesTest, NothingPendingShowsNothing) {
  EXPECT_EQ(VERIFICA_NOTAS_PENDENTES(ui_, db), 0);
  ATUALIZA_NOTAS_PENDENTES(ui_, *processor_, company_, 1);
  EXPECT_TRUE(ui_.messages().empty());
  ASSERT_FALSE(ui_.operation_statuses().empty());
  EXPECT_EQ(ui_.operation_statuses().front(), "Resolvendo notas ficais emitidas em modo offline, aguarde por favor...");
}

TEST_F(PendingNotesTest, ResolveAllSettlesWhatItCanAndListsTheRest) {
  const auto waiting = issued({{"mode", "pending"}, {"call", "autorizar"}, {"after", 100}});
  const auto refused = issued({{"mode", "pending"}, {"call", "autorizar"}, {"after", 0}, {"resolve", "ERRO"}});
  EXPECT_EQ(VERIFICA_NOTAS_PENDENTES(ui_, db), 1);
  NFCE_EMITIDAS_CONTINGENCIA browse(ui_, *processor_, company_);
  ASSERT_EQ(browse.refresh(), 1);
  ASSERT_EQ(browse.rows().size(), 2U);
  EXPECT_EQ(browse.rows()[0][5], std::to_string(waiting));  // "Ide NF Saida", ordered by sale
  EXPECT_EQ(browse.rows()[1][5], std::to_string(refused));

  ASSERT_EQ(browse.resolve_all(), 1);
  // The processor's status line for each note shows in the window.
  const auto& lines = ui_.operation_statuses();
  EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [&](const std::string& line) {
    return line.find("Resolvendo NFC-e da venda " + std::to_string(refused)) != std::string::npos;
  }));
  EXPECT_EQ(texts(), (std::vector<std::string>{
                         "Há 1 nota(s) emitida(s) offline com autorização pendente no servidor.|Por favor, tente "
                         "resolvê-la(s) novamente mais tarde.",
                         "Há 1 nota(s) emitida(s) offline com erro de autorização no servidor.|Você pode tentar "
                         "emiti-la(s) novamente pela opção F2-Venda>F4-Opções>F6-Carrega Nota Rejeitada."}));
  ASSERT_EQ(browse.rows().size(), 1U);  // refreshed: the refused note was reversed
  EXPECT_EQ(browse.rows()[0][5], std::to_string(waiting));
}

TEST_F(PendingNotesTest, ServiceDownResolvesNothingAndFailuresAlwaysShow) {
  const auto waiting = issued({{"mode", "pending"}, {"call", "autorizar"}, {"after", 0}, {"resolve", "ERRO"}});
  NFCE_EMITIDAS_CONTINGENCIA browse(ui_, *processor_, company_);
  ASSERT_EQ(browse.refresh(), 1);
  sim_.reset();
  EXPECT_EQ(browse.resolve_all(), 0);
  ASSERT_EQ(ui_.messages().size(), 1U);
  EXPECT_EQ(ui_.messages()[0].text.rfind("Erro ao efetuar conexão com servidor de notas fiscais.|", 0), 0U);
  EXPECT_EQ(browse.rows().size(), 1U);
  EXPECT_EQ(value("select coalesce(s_asa_estorno, '-') from asaidas where cidesaidas = " + std::to_string(waiting)),
            "-");
  // Without messages the failure is still shown.
  ATUALIZA_NOTAS_PENDENTES(ui_, *processor_, company_, 0);
  ASSERT_EQ(ui_.messages().size(), 2U);
  EXPECT_EQ(ui_.messages()[1].title, "Erro!");
  EXPECT_EQ(ui_.messages()[1].text.rfind("Erro ao resolver NFCe offline.|Erro: ", 0), 0U);
}

TEST_F(PendingNotesTest, FailedCheckIsShownAndCountsAsNone) {
  EXPECT_EQ(VERIFICA_NOTAS_PENDENTES(ui_, "host=127.0.0.1 port=1 dbname=nada connect_timeout=2"), 0);
  ASSERT_EQ(ui_.messages().size(), 1U);
  EXPECT_EQ(ui_.messages()[0].title, "Erro!");
  EXPECT_EQ(ui_.messages()[0].text.rfind("Erro ao realizar consulta de notas fiscais emitidas offline na tabela.|", 0),
            0U);
}

}  // namespace
}  // namespace fvn
