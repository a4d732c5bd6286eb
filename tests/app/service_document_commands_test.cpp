// fvn's key, xml, ping, status, issue, sell, pending and export commands end
// to end: a real database clone and a real simulator process, driven through
// the command line's entry point.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>
#include <signal.h>

#include "app/fvn_cli.h"
#include "cli_run.h"
#include "data/passthrough_table.h"
#include "support/code_tables.h"
#include "support/db_fixture.h"
#include "support/external_tools.h"
#include "support/fontconfig_leaks.h"
#include "support/sim_process.h"
#include "support/temp_folder.h"

namespace fvn {
namespace {

using testing::CliResult;
using testing::run_configured;
using testing::write_config;

TEST(FvnKey, AppendsTheCheckDigitOrRefusesAShortBase) {
  testing::TempFolder folder;
  const std::string config = write_config(folder, "");
  // Check digit worked out by hand: weights 2..9 from the right, modulus 11.
  const CliResult ok = run_configured(config, {"key", "3512069876543200019865001000000123100000012"});
  EXPECT_EQ(ok.status, app::kExitOk) << ok.out << ok.err;
  EXPECT_EQ(ok.out, "35120698765432000198650010000001231000000124\n");

  const CliResult short_base = run_configured(config, {"key", "351206"});
  EXPECT_EQ(short_base.status, app::kExitFailure);
  EXPECT_FALSE(short_base.out.empty());

  EXPECT_EQ(run_configured(config, {"key"}).status, app::kExitUsage);
}

class FvnXml : public testing::DbTest {};

TEST_F(FvnXml, WritesTheInvoiceOfARecordedSaleIntoAFolderItMakesAndPrintsItsPath) {
  testing::TempFolder folder;
  const std::string config = write_config(folder, "[database]\nconnection=" + db + "\n");
  const CliResult run = run_configured(config, {"xml", "1", "--out", folder.file("saida/nfce")});
  ASSERT_EQ(run.status, app::kExitOk) << run.out << run.err;
  const std::string path = run.out.substr(0, run.out.find('\n'));
  ASSERT_TRUE(std::filesystem::exists(path)) << path;
  const std::string xml = testing::read_file(path);
  EXPECT_EQ(xml.rfind("<?xml", 0), 0U);
  EXPECT_NE(xml.find("<infNFe versao=\"4.00\" Id=\"NFe"), std::string::npos);
  EXPECT_NE(xml.find("</NFe>"), std::string::npos);

  const CliResult missing = run_configured(config, {"xml", "999999", "--out", folder.path().string()});
  EXPECT_EQ(missing.status, app::kExitFailure);
  const CliResult below_a_file = run_configured(config, {"xml", "1", "--out", path + "/nfce"});
  EXPECT_EQ(below_a_file.status, app::kExitFailure);
  EXPECT_EQ(below_a_file.out.rfind("Erro ao criar a pasta " + path + "/nfce", 0), 0U) << below_a_file.out;
  EXPECT_EQ(run_configured(config, {"xml", "abc"}).status, app::kExitUsage);
}

TEST(FvnXmlWithoutDatabase, SaysWhichKeyIsMissing) {
  testing::TempFolder folder;
  const CliResult run = run_configured(write_config(folder, ""), {"xml", "1"});
  EXPECT_EQ(run.status, app::kExitFailure);
  EXPECT_NE(run.out.find("[database] connection"), std::string::npos) << run.out;
}

TEST(FvnPing, AnswersWhileTheServiceRunsAndFailsWhenItIsGone) {
  testing::TempFolder folder;
  testing::SimProcess sim(folder.file("sim"));
  ASSERT_TRUE(sim.running());
  const std::string config =
      write_config(folder, "[service]\nurl=" + sim.url() + "\nnfce_folder=" + folder.file("nfce") +
                               "\nconnect_timeout_ms=500\ntotal_timeout_ms=2000\n");

  const CliResult ok = run_configured(config, {"ping"});
  EXPECT_EQ(ok.status, app::kExitOk) << ok.out << ok.err;
  EXPECT_NE(ok.out.find("Ping no servidor de NFCe OK"), std::string::npos) << ok.out;

  sim.stop();
  const CliResult down = run_configured(config, {"ping"});
  EXPECT_EQ(down.status, app::kExitFailure);
  EXPECT_NE(down.out.find("Verifique sua conectividade"), std::string::npos) << down.out;
}

TEST(FvnStatus, RefusesAKeyThatIsNotFortyFourDigits) {
  testing::TempFolder folder;
  const std::string config = write_config(folder, "");
  EXPECT_EQ(run_configured(config, {"status", "1234"}).status, app::kExitUsage);
  EXPECT_EQ(run_configured(config, {"status", "3512069876543200019865001000000123100000012X"}).status, app::kExitUsage);
  EXPECT_EQ(run_configured(config, {"status"}).status, app::kExitUsage);
}

const std::string kDemoSale = (std::filesystem::path{FVN_EXAMPLES_DIR} / "demo_loja.json").string();

// The workflow commands on the demo shop: company 1 writes into a test
// NFC-e folder, the working folder holds the code tables, and the simulator
// accepts the demo sales' emission date.
class FvnWorkflow : public testing::DbTest {
 protected:
  void SetUp() override {
    DbTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    testing::invoice_working_folder(work_);
    sim_ = std::make_unique<testing::SimProcess>(
        folder_.file("sim"), std::vector<std::string>{"--max-age", "999999999", "--max-future", "999999999",
                                                      "--export-delay", "0", "--schemas", FVN_SCHEMA_DIR});
    ASSERT_TRUE(sim_->running());
    PassthroughTable table("TESTE", db);
    ASSERT_EQ(table.open(), 1);
    ASSERT_EQ(table.execute("update tempresa set s_tem_caminho_pasta_nfce = " + table.literal(nfce_.path().string()) +
                            " where ccodempresa = 1"),
              1)
        << table.error_text("");
    config_ = write_config(
        folder_, "[module]\nworking_folder=" + work_.path().string() + "\n[database]\nconnection=" + db +
                     "\n[station]\ncompany=1\n[service]\nurl=" + sim_->url() +
                     "\nnfce_folder=" + nfce_.path().string() + "\nconnect_timeout_ms=500\ntotal_timeout_ms=5000\n");
  }
  void TearDown() override {
    sim_.reset();
    DbTest::TearDown();
  }

  // The value printed after "name: " on a line of its own.
  static std::string field(const std::string& out, const std::string& name) {
    const auto start = out.find("\n" + name + ": ");
    if (start == std::string::npos) return {};
    const auto from = start + name.size() + 3;
    return out.substr(from, out.find('\n', from) - from);
  }

  // Demo sale `sale` as if it had never been sent.
  void unsent(int sale) const {
    ASSERT_EQ(query("update asaidas set s_asa_protocolo_nfe = '', s_asa_chave_nfe = '' where cidesaidas = " +
                    std::to_string(sale) + " returning 1"),
              "1");
  }

  // Runs `fvn sell` of the demo sale and kills it once its note is marked
  // sent and `ready(key)` holds (polled for 10 s); the sale marked, empty
  // when none was.
  std::string sell_killed_when(const std::function<bool(const std::string&)>& ready) const {
    const pid_t child = fork();
    if (child == 0) {
      const int null = open("/dev/null", O_WRONLY);
      dup2(null, 1);
      dup2(null, 2);
      execl(FVN_BINARY, FVN_BINARY, "--config", config_.c_str(), "sell", kDemoSale.c_str(), nullptr);
      _exit(127);
    }
    std::string sale;
    for (int i = 0; i < 200 && sale.empty() && child > 0; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      sale = query(
          "select coalesce(max(cidesaidas), 0) from asaidas where i_asa_situacao_nfce = 1 and s_asa_chave_nfe <> ''");
      if (sale == "0") sale.clear();
    }
    if (!sale.empty()) {
      const std::string key = query("select s_asa_chave_nfe from asaidas where cidesaidas = " + sale);
      for (int i = 0; i < 100 && !ready(key); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    if (child > 0) {
      kill(child, SIGKILL);
      waitpid(child, nullptr, 0);
    }
    return sale;
  }

  // The first value of a one-row query on the test database.
  std::string query(const std::string& sql) const {
    PassthroughTable table("TESTE", db);
    if (table.open() != 1 || table.execute(sql) != 1 || table.next() != 1) return "<" + table.error_text("") + ">";
    return table.value(0);
  }

  testing::TempFolder folder_;
  testing::TempFolder work_;
  testing::TempFolder nfce_;
  std::unique_ptr<testing::SimProcess> sim_;
  std::string config_;
};

TEST_F(FvnWorkflow, SellRecordsIssuesAndDrawsTheReceiptOfTheDemoSale) {
  const std::string pdf = folder_.file("recibo.pdf");
  const std::string png = folder_.file("recibo.png");
  const CliResult run = run_configured(config_, {"sell", kDemoSale, "--pdf", pdf, "--png", png});
  ASSERT_EQ(run.status, app::kExitOk) << run.out << run.err;
  EXPECT_NE(run.out.find("[Aviso do Sistema] Nota Fiscal finalizada com sucesso.\nNº Nota: "), std::string::npos)
      << run.out;
  const std::string sale = field(run.out, "venda");
  const std::string key = field(run.out, "chave");
  ASSERT_EQ(key.size(), 44U) << run.out;
  EXPECT_EQ(field(run.out, "pdf"), pdf);

  // What was recorded is what the service authorised and the receipt shows;
  // the rows a recording writes and the receipt's lines are checked where
  // they are made.
  EXPECT_EQ(query("select s_asa_chave_nfe from asaidas where cidesaidas = " + sale), key);
  EXPECT_EQ(query("select s_asa_protocolo_nfe from asaidas where cidesaidas = " + sale), field(run.out, "protocolo"));
  EXPECT_EQ(query("select cnotsaidas from asaidas where cidesaidas = " + sale), field(run.out, "numero"));
  EXPECT_EQ(query("select ctotsaidas from asaidas where cidesaidas = " + sale), "70.2900");
  EXPECT_NE(testing::pdf_text(pdf).find("70,29"), std::string::npos);
  EXPECT_EQ(testing::qr_text(png), query("select i_asa_url_code_nfce from asaidas where cidesaidas = " + sale));
}

// A screen script: the keys of a cash sale typed into the sale screen's
// presenter for the station's user, the change handed back with Alt+F5.
TEST_F(FvnWorkflow, SellOfAScreenScriptTypesTheSaleIntoTheScreenAndRefusesWhatTheScreenRefuses) {
  std::string config = testing::read_file(config_);
  config.replace(config.find("[station]\n"), 10, "[station]\nuser=1\n");
  testing::write_file(config_, config);
  const std::string script = folder_.file("tela.json");
  testing::write_file(script, R"({"tela": [{"acao": "cliente", "codigo": 2},
      {"acao": "quantidade", "valor": 2}, {"acao": "produto", "codigo": "42"},
      {"acao": "quantidade", "valor": 1}, {"acao": "produto", "codigo": "7891000000021"},
      {"acao": "pagamento_rapido"}],
    "roteiro": {"valor_entregue": 100}})");
  const CliResult run = run_configured(config_, {"sell", script});
  ASSERT_EQ(run.status, app::kExitOk) << run.out << run.err;
  const std::string sale = field(run.out, "venda");
  EXPECT_EQ(field(run.out, "chave").size(), 44U) << run.out;
  // The company's default table ("Tabela1"): 2 x 16.90 + 25.90.
  EXPECT_EQ(query("select ctotsaidas from asaidas where cidesaidas = " + sale), "59.7000");
  EXPECT_EQ(query("select cclisaidas from asaidas where cidesaidas = " + sale), "2");
  EXPECT_EQ(query("select count(*) from ahistorico where cisahistorico = " + sale), "2");
  EXPECT_EQ(query("select cvalordebitohistorico from ahcontas where cidesaivenhist = " + sale +
                  " and cdescricaohistorico like 'Troco NF: %'"),
            "40.3000");

  // An unknown product is refused by the screen: nothing is recorded.
  const std::string sales_before = query("select count(*) from asaidas");
  testing::write_file(script, R"({"tela": [{"acao": "produto", "codigo": "99999"}, {"acao": "pagamento"}]})");
  const CliResult refused = run_configured(config_, {"sell", script});
  EXPECT_EQ(refused.status, app::kExitFailure);
  EXPECT_NE(refused.out.find("A venda do roteiro não pôde ser montada: tela[0]: produto recusado pela tela"),
            std::string::npos)
      << refused.out;
  EXPECT_EQ(query("select count(*) from asaidas"), sales_before);
}

TEST_F(FvnWorkflow, SellRefusesABadScriptAndReversesANoteTheServiceRejects) {
  EXPECT_EQ(run_configured(config_, {"sell"}).status, app::kExitUsage);
  EXPECT_EQ(run_configured(config_, {"sell", kDemoSale, "--pdf", "--print"}).status, app::kExitUsage);
  EXPECT_EQ(run_configured(config_, {"sell", folder_.file("nenhum.json")}).status, app::kExitFailure);

  const std::string sales_before = query("select count(*) from asaidas");
  const std::string script = folder_.file("sem_itens.json");
  testing::write_file(script, R"({"steps": [{"op": "Paga", "forma": 1, "value": 10}]})");
  const CliResult bad = run_configured(config_, {"sell", script});
  EXPECT_EQ(bad.status, app::kExitFailure);
  EXPECT_EQ(bad.out.rfind("A venda do roteiro não pôde ser montada: steps[0]: Paga failed: ", 0), 0U) << bad.out;
  EXPECT_EQ(query("select count(*) from asaidas"), sales_before);

  // A database of another version is refused before anything is recorded.
  EXPECT_EQ(query("insert into tversao_esquema (i_tve_versao) values (10) returning i_tve_versao"), "10");
  const CliResult other_version = run_configured(config_, {"sell", kDemoSale});
  EXPECT_EQ(other_version.status, app::kExitFailure);
  EXPECT_EQ(other_version.out, "Versão do banco de dados incompatível.\nEsperada: 9\nEncontrada: 10\n");
  EXPECT_EQ(query("select count(*) from asaidas"), sales_before);
  EXPECT_EQ(query("delete from tversao_esquema where i_tve_versao = 10 returning i_tve_versao"), "10");

  ASSERT_TRUE(sim_->fault({{"mode", "reject"}, {"call", "autorizar"}, {"cstat", 539}, {"count", 1}}));
  const CliResult rejected = run_configured(config_, {"sell", kDemoSale});
  EXPECT_EQ(rejected.status, app::kExitFailure) << rejected.out;
  EXPECT_NE(rejected.out.find("Erro ao efetuar emissão da Nfe.\n"), std::string::npos) << rejected.out;
  EXPECT_NE(rejected.out.find("\n\nA Nfe foi estornada!\n"), std::string::npos) << rejected.out;
  const std::string sale = field(rejected.out, "venda");
  ASSERT_FALSE(sale.empty()) << rejected.out;
  EXPECT_EQ(query("select s_asa_estorno from asaidas where cidesaidas = " + sale), "R");
  EXPECT_EQ(field(rejected.out, "chave"), "");
}

// Text the schema refuses, typed into the customer's name, an item and the
// observation, and a CPF typed with its punctuation: the service (checking
// the schema) authorises the note, and the CPF keeps its eleven digits.
TEST_F(FvnWorkflow, SellOfHostileTextAndAPunctuatedCpfIsAuthorised) {
  nlohmann::json script = nlohmann::json::parse(testing::read_file(kDemoSale));
  script["setup"]["CLIENTE"] = {
      {"CODIGO", 2}, {"NOME", "JOSE \U0001F600\u202E DA SILVA"}, {"UF", "MG"}, {"TIPO", 1}, {"CPF", "111.444.777-35"}};
  script["steps"][0]["item"]["DESCRICAO"] = "\u202ECAFE \u2615 TORRADO \uE000";
  script["steps"].push_back({{"op", "Set_Observacao"}, {"value", "\U0001F69A entregar \u202Ehoje"}});
  const std::string path = folder_.file("hostil.json");
  testing::write_file(path, script.dump());

  const CliResult run = run_configured(config_, {"sell", path});
  ASSERT_EQ(run.status, app::kExitOk) << run.out << run.err;
  const std::string sale = field(run.out, "venda");
  EXPECT_EQ(field(run.out, "chave").size(), 44U) << run.out;
  EXPECT_EQ(query("select cpf_saidas from asaidas where cidesaidas = " + sale), "11144477735");
}

TEST_F(FvnWorkflow, IssuePrintsTheStatusLinesThenTheAuthorisation) {
  unsent(1);
  const CliResult run = run_configured(config_, {"issue", "1"});
  ASSERT_EQ(run.status, app::kExitOk) << run.out << run.err;
  EXPECT_NE(run.out.find("Arquivo para Checar Servidor Enviado OK\n"), std::string::npos) << run.out;
  EXPECT_EQ(field(run.out, "venda"), "1");
  const std::string key = field(run.out, "chave");
  EXPECT_EQ(key.size(), 44U) << run.out;
  EXPECT_EQ(key.substr(6, 14), "11222333000181");
  EXPECT_FALSE(field(run.out, "protocolo").empty()) << run.out;
  EXPECT_EQ(field(run.out, "contingencia"), "0");
  EXPECT_TRUE(std::filesystem::exists(field(run.out, "qrcode"))) << run.out;
  // The service has the note under the printed key.
  const CliResult status = run_configured(config_, {"status", key});
  EXPECT_EQ(status.status, app::kExitOk) << status.out << status.err;
  EXPECT_NE(status.out.find("statusAutorizacao: OK\n"), std::string::npos) << status.out;
}

TEST_F(FvnWorkflow, IssueRefusesAnUnknownSaleABadIdAndAServiceThatRejects) {
  const CliResult unknown = run_configured(config_, {"issue", "999999"});
  EXPECT_EQ(unknown.status, app::kExitFailure);
  EXPECT_EQ(unknown.out, "Venda 999999 não encontrada.\n");
  EXPECT_EQ(run_configured(config_, {"issue", "abc"}).status, app::kExitUsage);
  EXPECT_EQ(run_configured(config_, {"issue", "0"}).status, app::kExitUsage);
  EXPECT_EQ(run_configured(config_, {"issue"}).status, app::kExitUsage);

  // An authorised sale, then a reversed one, is refused before anything is sent.
  const std::string key = query("select s_asa_chave_nfe from asaidas where cidesaidas = 1");
  const CliResult authorised = run_configured(config_, {"issue", "1"});
  EXPECT_EQ(authorised.status, app::kExitFailure);
  EXPECT_TRUE(
      authorised.out.ends_with("\nNota Fiscal autorizada no servidor não pode ser reenviada.\nNada foi enviado.\n"))
      << authorised.out;
  EXPECT_EQ(run_configured(config_, {"status", key}).status, app::kExitFailure);  // the service never saw it

  ASSERT_TRUE(sim_->fault({{"mode", "reject"}, {"call", "autorizar"}, {"cstat", 539}, {"count", 1}}));
  unsent(1);
  const CliResult rejected = run_configured(config_, {"issue", "1"});
  EXPECT_EQ(rejected.status, app::kExitFailure) << rejected.out;
  // The service's code and reason reach the cashier.
  EXPECT_NE(rejected.out.find(
                "Erro ao efetuar emissão da Nfe.\nErro ao enviar Arquivo de NFCe Quorvex\nErro: Mensagem: 539 - "),
            std::string::npos)
      << rejected.out;
  EXPECT_EQ(field(rejected.out, "chave"), "");
  // Refused and not reversed: it stays marked until a reversal clears the
  // mark, here the resolution's (the service holds it as refused).
  EXPECT_EQ(query("select i_asa_situacao_nfce || coalesce(s_asa_estorno, '-') from asaidas where cidesaidas = 1"),
            "1-");
  run_configured(config_, {"pending", "--resolve"});
  EXPECT_EQ(query("select i_asa_situacao_nfce || coalesce(s_asa_estorno, '-') from asaidas where cidesaidas = 1"),
            "0R");
  const CliResult reversed = run_configured(config_, {"issue", "1"});
  EXPECT_EQ(reversed.status, app::kExitFailure);
  EXPECT_TRUE(reversed.out.ends_with("\nVenda 1 estornada: a nota não pode ser enviada.\nNada foi enviado.\n"))
      << reversed.out;
}

TEST_F(FvnWorkflow, PendingListsTheNotesToSettleAndStopsOnOneTheServiceDoesNotHave) {
  // Demo sale 3 was issued in contingency, sale 4 still owes its cancellation.
  const std::string notes =
      "3 31260511222333000181650010000000021000000033\n4 31260511222333000181650010000000031000000049\n";
  const CliResult listed = run_configured(config_, {"pending"});
  ASSERT_EQ(listed.status, app::kExitOk) << listed.out << listed.err;
  EXPECT_EQ(listed.out, notes);
  EXPECT_EQ(run_configured(config_, {"pending", "--now"}).status, app::kExitUsage);

  // This simulator never received either note: sale 3, never authorised,
  // is reversed; sale 4, authorised, is reported and left.
  const CliResult resolved = run_configured(config_, {"pending", "--resolve"});
  EXPECT_EQ(resolved.status, app::kExitFailure);
  EXPECT_TRUE(resolved.out.starts_with(notes)) << resolved.out;
  EXPECT_NE(resolved.out.find("Arquivo para Checar Servidor Enviado OK\n"), std::string::npos) << resolved.out;
  EXPECT_NE(resolved.out.find("\npendentes: "), std::string::npos) << resolved.out;
  EXPECT_NE(resolved.out.find("Erro ao consultar status da NFCe.\nErro: 217"), std::string::npos) << resolved.out;
  EXPECT_EQ(query("select coalesce(s_asa_estorno, '-') from asaidas where cidesaidas = 3"), "R");
  EXPECT_EQ(run_configured(config_, {"pending"}).out, "4 31260511222333000181650010000000031000000049\n");
}

// A station switched off while its note is on the way: the sale was marked
// in doubt before the sending, so the resolution finds it and stores the
// authorisation the service gave.
TEST_F(FvnWorkflow, ASellKilledWhileSendingIsSettledByTheResolution) {
  ASSERT_TRUE(sim_->fault({{"mode", "slow"}, {"call", "autorizar"}, {"delay_ms", 1500}, {"count", 1}}));
  const std::string sale = sell_killed_when([](const std::string&) { return true; });
  ASSERT_FALSE(sale.empty()) << "the sale was never marked in doubt";
  const std::string key = query("select s_asa_chave_nfe from asaidas where cidesaidas = " + sale);
  ASSERT_EQ(key.size(), 44U);
  std::this_thread::sleep_for(std::chrono::milliseconds(2000));  // the service finishes the slow request
  EXPECT_NE(run_configured(config_, {"pending"}).out.find(sale + " " + key + "\n"), std::string::npos);

  run_configured(config_, {"pending", "--resolve"});  // the demo's notes fail; this one is settled
  EXPECT_EQ(query("select (s_asa_protocolo_nfe <> '') || '/' || i_asa_situacao_nfce || '/' || (i_asa_nsu > 0) || "
                  "'/' || coalesce(s_asa_estorno, '-') from asaidas where cidesaidas = " +
                  sale),
            "true/0/true/-");
  EXPECT_EQ(query("select count(*) from xmlnfe where i_nfe_codigo_asa = " + sale +
                  " and convert_from(b_nfe_xml, 'UTF8') like '%<nfeProc%'"),
            "1");
}

// Killed after the service renumbered the note and before hearing so: the
// number sent is voided in favour of the new one, and the resolution moves
// the sale there instead of deleting it. The next sale, which drew that
// number and was refused for it, gives the number up; the one after is
// authorised.
TEST_F(FvnWorkflow, ARenumberedSellKilledBeforeTheAnswerMovesToTheReplacement) {
  ASSERT_TRUE(
      sim_->fault({{"mode", "renumber"}, {"call", "autorizar"}, {"after", 0}, {"delay_ms", 8000}, {"count", 1}}));
  std::string replacement;
  const std::string sale = sell_killed_when([&](const std::string& key) {
    replacement = field("\n" + run_configured(config_, {"status", key}).out, "chaveSubstituta");
    return !replacement.empty();
  });
  ASSERT_FALSE(sale.empty()) << "the sale was never marked in doubt";
  ASSERT_EQ(replacement.size(), 44U) << "the service never voided the number sent";
  const std::string number = query("select cnotsaidas from asaidas where cidesaidas = " + sale);
  const std::string new_number = std::to_string(std::stoll(replacement.substr(25, 9)));
  auto rows_of = [](const std::string& id) {
    return "(select count(*) from ahistorico where cisahistorico = " + id +
           ") || '/' || (select count(*) from ahcontas where cidesaivenhist = " + id + ")";
  };
  const std::string rows = query("select " + rows_of(sale));

  const CliResult refused = run_configured(config_, {"sell", kDemoSale});
  EXPECT_NE(refused.out.find("539"), std::string::npos) << refused.out;
  const std::string refused_sale = query("select max(cidesaidas) from asaidas");
  EXPECT_EQ(query("select cnotsaidas || coalesce(s_asa_estorno, '-') from asaidas where cidesaidas = " + refused_sale),
            new_number + "R");

  run_configured(config_, {"pending", "--resolve"});  // the demo's notes fail; these are settled
  EXPECT_EQ(query("select count(*) from asaidas where cidesaidas = " + sale), "0");
  EXPECT_EQ(query("select count(*) from asaidas_canc where cnotsaidas = " + number + " and s_asa_status_nf = 'I'"),
            "1");
  EXPECT_EQ(query("select (s_asa_protocolo_nfe <> '') || '/' || i_asa_situacao_nfce || '/' || coalesce(s_asa_estorno, "
                  "'-') || '/' || " +
                  rows_of("cidesaidas") + " from asaidas where s_asa_chave_nfe = '" + replacement + "'"),
            "true/0/-/" + rows);
  EXPECT_NE(query("select cnotsaidas from asaidas where cidesaidas = " + refused_sale), new_number);
  EXPECT_EQ(run_configured(config_, {"pending"}).out.find(replacement), std::string::npos);

  const CliResult next = run_configured(config_, {"sell", kDemoSale});
  EXPECT_EQ(next.status, app::kExitOk) << next.out;
}

TEST_F(FvnWorkflow, ExportRequestsListsAndDownloadsAMonth) {
  EXPECT_EQ(run_configured(config_, {"export"}).status, app::kExitUsage);
  EXPECT_EQ(run_configured(config_, {"export", "request", "2026-13"}).status, app::kExitUsage);
  EXPECT_EQ(run_configured(config_, {"export", "request", "202605"}).status, app::kExitUsage);
  EXPECT_EQ(run_configured(config_, {"export", "download", "x"}).status, app::kExitUsage);

  const CliResult empty = run_configured(config_, {"export", "list"});
  ASSERT_EQ(empty.status, app::kExitOk) << empty.out << empty.err;
  EXPECT_EQ(empty.out.find("05/2026"), std::string::npos) << empty.out;

  unsent(1);
  ASSERT_EQ(run_configured(config_, {"issue", "1"}).status, app::kExitOk);
  const CliResult requested = run_configured(config_, {"export", "request", "2026-05"});
  ASSERT_EQ(requested.status, app::kExitOk) << requested.out << requested.err;
  const std::string prefix = "05/2026 " + sim_->url() + "/api/exportacao/arquivo/";
  const auto at = requested.out.find(prefix);
  ASSERT_NE(at, std::string::npos) << requested.out;
  const std::string link = requested.out.substr(at + 8, requested.out.find('\n', at) - at - 8);
  EXPECT_NE(run_configured(config_, {"export", "list"}).out.find(link + "\n"), std::string::npos);

  const std::string target = folder_.file("contador");
  std::filesystem::create_directories(target);
  const CliResult downloaded = run_configured(config_, {"export", "download", link, target});
  EXPECT_EQ(downloaded.status, app::kExitOk) << downloaded.out << downloaded.err;
  EXPECT_NE(downloaded.out.find("Download realizado com sucesso em " + target + "."), std::string::npos)
      << downloaded.out;
  EXPECT_TRUE(std::filesystem::exists(target + "/NFCe_11222333000181_202605.zip"));

  const CliResult elsewhere = run_configured(config_, {"export", "download", sim_->url() + "/outro.zip", target});
  EXPECT_EQ(elsewhere.status, app::kExitFailure);
  EXPECT_NE(elsewhere.out.find("não encontrado na lista"), std::string::npos) << elsewhere.out;

  sim_->stop();
  const CliResult down = run_configured(config_, {"export", "list"});
  EXPECT_EQ(down.status, app::kExitFailure);
  EXPECT_NE(down.out.find("Erro ao solicitar exportação.\nErro: "), std::string::npos) << down.out;
}

}  // namespace
}  // namespace fvn
