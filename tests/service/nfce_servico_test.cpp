// The service client against a real simulator process: authorisation in
// every mode of the service, the rules by which answers are read, status,
// cancellation, document fetch, ping, and a restart of the service.
#include "service/nfce_servico.h"

#include <memory>
#include <regex>

#include <gtest/gtest.h>

#include "runtime/scripted_ui.h"
#include "service/answer_fields.h"
#include "support/nfce_test_document.h"
#include "support/sim_process.h"
#include "support/temp_folder.h"

namespace fvn {
namespace {

using testing::SimProcess;
using testing::TestNote;

constexpr std::string_view kCnpj = "11222333000181";
constexpr std::string_view kDefaultCsc = "SIMULADOR-CSC-DE-TESTE-0000000000000";

std::string sha1_upper_hex(const std::string& text);

class ServiceClientTest : public ::testing::Test {
 protected:
  explicit ServiceClientTest(std::vector<std::string> arguments = {})
      : sim_(folder_.file("sim"), std::move(arguments)) {}

  void SetUp() override {
    ASSERT_TRUE(sim_.running());
    connect();
  }

  void connect() {
    client_ = std::make_unique<NFCE_SERVICO>(ui_, sim_.gateway_config());
    ASSERT_EQ(client_->Set_Login("senha", "caixa01", "boavista", kCnpj), 1);
  }

  int authorise(const TestNote& note, AuthorisationResult& result) {
    return client_->autorizaxml_nfce(note.xml(), result);
  }

  StatusResult status_of(const std::string& key, int expected = 1) {
    StatusResult status;
    EXPECT_EQ(client_->statuschave_nfce(key, status), expected) << client_->error_text();
    return status;
  }

  fvn::testing::TempFolder folder_;
  SimProcess sim_;
  ScriptedUi ui_;
  std::unique_ptr<NFCE_SERVICO> client_;
};

TEST_F(ServiceClientTest, SetLoginKeepsTheDigitsOfAPunctuatedCnpj) {
  EXPECT_EQ(client_->Set_Login("s", "u", "g", "11.222.333/0001-81"), 1);
  EXPECT_EQ(client_->cnpj(), "11222333000181");
  EXPECT_EQ(client_->Set_Login("s", "u", "g", "11.222.333/0001-82"), 0);
  EXPECT_TRUE(client_->error_text().starts_with("Erro ao validar CNPJ: CNPJ inválido")) << client_->error_text();
  EXPECT_EQ(client_->cnpj(), "11222333000181");
}

TEST_F(ServiceClientTest, AuthorisedNoteCarriesProtocolMomentAndQrCode) {
  TestNote note;
  note.number = 42;
  AuthorisationResult result;
  ASSERT_EQ(authorise(note, result), 1) << client_->error_text();
  EXPECT_EQ(result.number, "42");
  EXPECT_EQ(result.access_key, note.key());
  EXPECT_EQ(result.contingency, 0);
  EXPECT_TRUE(std::regex_match(result.protocol, std::regex{R"(131\d{12})"})) << result.protocol;
  EXPECT_NE(result.oid, "");
  EXPECT_NE(result.oid, "0");
  EXPECT_TRUE(std::regex_match(result.authorisation_date, std::regex{R"(\d{4}-\d{2}-\d{2})"}));
  EXPECT_TRUE(std::regex_match(result.authorisation_time, std::regex{R"(\d{2}:\d{2}:\d{2})"}));
  // v2 QR code of MG homologation; the hash is SHA-1 of the parameters + CSC.
  const std::string parameters = note.key() + "|2|2|1";
  EXPECT_EQ(result.qr_code_url, "https://hportalsped.fazenda.mg.gov.br/portalnfce?p=" + parameters + "|" +
                                    sha1_upper_hex(parameters + std::string{kDefaultCsc}));
}

TEST_F(ServiceClientTest, AKeySentTwiceKeepsItsFirstAuthorisation) {
  TestNote note;
  AuthorisationResult first;
  AuthorisationResult second;
  ASSERT_EQ(authorise(note, first), 1);
  ASSERT_EQ(authorise(note, second), 1);
  EXPECT_EQ(second.protocol, first.protocol);
  EXPECT_EQ(second.oid, first.oid);
  // The same number under another key is refused, not authorised twice.
  note.cnf = "87654321";
  AuthorisationResult other;
  EXPECT_EQ(authorise(note, other), 0);
  EXPECT_NE(client_->error_text().find("539 - Duplicidade de NF-e com diferença na Chave de Acesso"), std::string::npos)
      << client_->error_text();
}

TEST_F(ServiceClientTest, ARejectionCarriesTheAuthorityMessage) {
  ASSERT_TRUE(sim_.fault({{"mode", "reject"}, {"cstat", 704}, {"count", 1}}));
  AuthorisationResult result;
  EXPECT_EQ(authorise(TestNote{}, result), 0);
  EXPECT_EQ(result.number, "0");
  EXPECT_EQ(client_->error_text(),
            "Erro: Mensagem: 704 - Rejeição: NFC-e com Data-Hora de emissão atrasada - rejeição simulada");
  EXPECT_TRUE(client_->Nota_Recusada());
  // A refusal that carries only the authority's code and motive still names them.
  ASSERT_TRUE(sim_.fault({{"mode", "fields"},
                          {"count", 1},
                          {"fields",
                           {{"statusAutorizacao", "ERRO"},
                            {"detalheAutorizacao", nullptr},
                            {"cStat", "533"},
                            {"xMotivo", "Total da BC ICMS-ST difere do somatório dos itens"}}}}));
  TestNote other;
  other.number = 2;
  EXPECT_EQ(authorise(other, result), 0);
  EXPECT_EQ(client_->error_text(), "Erro: Mensagem: 533 - Total da BC ICMS-ST difere do somatório dos itens");
  EXPECT_TRUE(client_->Nota_Recusada());
  // The service remembers the refusal: the note may be sent again.
  EXPECT_EQ(status_of(TestNote{}.key()).authorisation_status, "ERRO");
  EXPECT_EQ(authorise(TestNote{}, result), 1);
}

TEST_F(ServiceClientTest, ALostReplyLeavesTheNoteAuthorisedOnTheService) {
  ASSERT_TRUE(sim_.fault({{"mode", "lost"}, {"call", "autorizar"}, {"count", 1}}));
  TestNote note;
  AuthorisationResult lost;
  EXPECT_EQ(authorise(note, lost), 0);
  EXPECT_NE(client_->error_text().find("Exception"), std::string::npos) << client_->error_text();
  const StatusResult status = status_of(note.key());
  EXPECT_EQ(status.authorisation_status, "OK");
  AuthorisationResult again;
  ASSERT_EQ(authorise(note, again), 1);
  EXPECT_EQ(again.protocol, status.protocol);
}

TEST_F(ServiceClientTest, TransportFaultsBecomeExceptionAnswers) {
  const std::vector<std::pair<std::string, std::string>> faults = {
      {"drop", "falha de comunicação"},
      {"malformed", "não é um objeto JSON"},
      {"http500", "HTTP 500: Erro interno do servidor"},
      {"down", "HTTP 503"},
  };
  for (const auto& [mode, cause] : faults) {
    SCOPED_TRACE(mode);
    ASSERT_TRUE(sim_.fault({{"mode", mode}, {"count", 1}}));
    AuthorisationResult result;
    EXPECT_EQ(authorise(TestNote{}, result), 0);
    EXPECT_EQ(result.number, "0");
    EXPECT_TRUE(client_->error_text().starts_with("Erro: |Mensagem Exception: ")) << client_->error_text();
    EXPECT_NE(client_->error_text().find(cause), std::string::npos) << client_->error_text();
    EXPECT_FALSE(client_->Nota_Recusada());  // no answer about the note: outcome unknown
  }
  // None of them authorised anything: the service says it does not hold the key.
  StatusResult status;
  EXPECT_EQ(client_->statuschave_nfce(TestNote{}.key(), status), 0);
  EXPECT_TRUE(client_->Chave_Desconhecida());
  ASSERT_TRUE(sim_.fault({{"mode", "drop"}, {"count", 1}}));
  EXPECT_EQ(client_->statuschave_nfce(TestNote{}.key(), status), 0);
  EXPECT_FALSE(client_->Chave_Desconhecida());
}

TEST_F(ServiceClientTest, ASlowServiceTimesOutInsteadOfHanging) {
  GatewayConfig config = sim_.gateway_config();
  config.total_timeout_ms = 300;
  NFCE_SERVICO impatient(ui_, config);
  ASSERT_EQ(impatient.Set_Login("", "", "", kCnpj), 1);
  ASSERT_TRUE(sim_.fault({{"mode", "slow"}, {"delay_ms", 1500}, {"count", 1}}));
  StatusResult status;
  EXPECT_EQ(impatient.statuschave_nfce(TestNote{}.key(), status), 0);
  EXPECT_NE(impatient.error_text().find("tempo esgotado"), std::string::npos) << impatient.error_text();
  ASSERT_TRUE(sim_.fault({{"mode", "slow"}, {"delay_ms", 100}, {"count", 1}}));
  AuthorisationResult result;
  EXPECT_EQ(client_->autorizaxml_nfce(TestNote{}.xml(), result), 1) << client_->error_text();
}

TEST_F(ServiceClientTest, AnswersAreReadByTheClientRules) {
  AuthorisationResult lower;
  ASSERT_TRUE(sim_.fault(
      {{"mode", "fields"},
       {"count", 1},
       {"fields",
        {{"statusAutorizacao", "ok"}, {"emContingencia", nullptr}, {"dhAutorizacao", "2026-01-31T14:05:09+01:00"}}}}));
  TestNote one;
  one.number = 1;
  ASSERT_EQ(authorise(one, lower), 1) << client_->error_text();
  EXPECT_EQ(lower.contingency, 1);  // no emContingencia: contingency

  ASSERT_TRUE(
      sim_.fault({{"mode", "fields"}, {"count", 1}, {"fields", {{"numero", "0"}, {"exMessage", "numero ausente"}}}}));
  TestNote two;
  two.number = 2;
  AuthorisationResult zero;
  EXPECT_EQ(authorise(two, zero), 0);
  EXPECT_EQ(zero.number, "0");
  EXPECT_EQ(client_->error_text(), "Erro: |Mensagem numero ausente");

  ASSERT_TRUE(sim_.fault({{"mode", "fields"},
                          {"count", 1},
                          {"fields", {{"statusAutorizacao", "PENDENTE"}, {"urlQrCode", "http://x/?a=1&amp;b=2"}}}}));
  TestNote three;
  three.number = 3;
  AuthorisationResult pending;
  ASSERT_EQ(authorise(three, pending), 1);
  EXPECT_EQ(pending.qr_code_url, "http://x/?a=1&amp;b=2");  // not decoded when pending
  EXPECT_EQ(pending.protocol, "");
  EXPECT_EQ(pending.authorisation_date, "");
}

TEST_F(ServiceClientTest, AVoidedNumberIsReportedWithOnlyItsStatus) {
  AuthorisationResult result;
  ASSERT_EQ(authorise(TestNote{}, result), 1);
  ASSERT_TRUE(sim_.admin("/admin/inutilizar", {{"chave", result.access_key}}));
  const StatusResult status = status_of(result.access_key);
  EXPECT_EQ(status.authorisation_status, "INUTILIZADO");
  EXPECT_EQ(status.number, "");
  EXPECT_EQ(status.protocol, "");

  StatusResult unknown;
  EXPECT_EQ(client_->statuschave_nfce(std::string(44, '1'), unknown), 0);
  EXPECT_EQ(unknown.number, "0");
  EXPECT_EQ(client_->error_text(), "Erro: 217 - Rejeição: NF-e não consta na base de dados da SEFAZ");
}

TEST_F(ServiceClientTest, CancellationGivesTheProtocolOfTheEvent) {
  AuthorisationResult result;
  ASSERT_EQ(authorise(TestNote{}, result), 1);
  std::string protocol;
  const std::string justification = "Cliente desistiu da compra no caixa";
  ASSERT_EQ(client_->cancelarxml_nfce(result.access_key, justification, protocol), 1) << client_->error_text();
  EXPECT_TRUE(std::regex_match(protocol, std::regex{R"(131\d{12})"})) << protocol;
  EXPECT_NE(protocol, result.protocol);
  const StatusResult status = status_of(result.access_key);
  EXPECT_EQ(status.cancellation_status, "OK");
  // Cancelling again answers the same event.
  std::string again;
  ASSERT_EQ(client_->cancelarxml_nfce(result.access_key, justification, again), 1);
  EXPECT_EQ(again, protocol);
}

TEST_F(ServiceClientTest, CancellationOfANoteNotAuthorisedFails) {
  ASSERT_TRUE(sim_.fault({{"mode", "pending"}, {"count", 1}, {"after", 5}}));
  AuthorisationResult result;
  ASSERT_EQ(authorise(TestNote{}, result), 1);
  std::string protocol = "antes";
  EXPECT_EQ(client_->cancelarxml_nfce(result.access_key, "Cliente desistiu da compra", protocol), 0);
  EXPECT_EQ(protocol, "antes");
  EXPECT_EQ(client_->error_text(),
            "Erro: |Mensagem: 580 - Rejeição: O evento exige uma NF-e autorizada - situação PENDENTE ");
}

TEST_F(ServiceClientTest, DocumentFetchAcceptsOnlyTheAuthorisedXml) {
  AuthorisationResult result;
  ASSERT_EQ(authorise(TestNote{}, result), 1);
  std::string xml;
  ASSERT_EQ(client_->busca_documento(result.access_key, xml), 1) << client_->error_text();
  EXPECT_TRUE(xml.starts_with("<?xml")) << xml.substr(0, 60);
  EXPECT_NE(xml.find("<nfeProc"), std::string::npos);
  EXPECT_NE(xml.find("<nProt>" + result.protocol + "</nProt>"), std::string::npos);
  EXPECT_NE(xml.find("<Signature"), std::string::npos);

  // An unknown key, a failure and an empty answer are never taken as the XML.
  std::string kept = "anterior";
  EXPECT_EQ(client_->busca_documento(std::string(44, '2'), kept), 0);
  EXPECT_NE(client_->error_text().find("217"), std::string::npos) << client_->error_text();
  ASSERT_TRUE(sim_.fault({{"mode", "http500"}, {"call", "documento"}, {"count", 1}}));
  EXPECT_EQ(client_->busca_documento(result.access_key, kept), 0);
  ASSERT_TRUE(sim_.fault({{"mode", "fields"}, {"call", "documento"}, {"count", 1}, {"fields", {{"xml", ""}}}}));
  EXPECT_EQ(client_->busca_documento(result.access_key, kept), 0);
  ASSERT_TRUE(
      sim_.fault({{"mode", "fields"}, {"call", "documento"}, {"count", 1}, {"fields", {{"xml", "<nfeProc><NFe>"}}}}));
  EXPECT_EQ(client_->busca_documento(result.access_key, kept), 0);
  EXPECT_EQ(kept, "anterior");
}

TEST_F(ServiceClientTest, PingReportsTheCauseOfAFailure) {
  EXPECT_EQ(client_->ping(), 1);
  ASSERT_TRUE(sim_.fault({{"mode", "down"}, {"call", "ping"}, {"count", 1}}));
  EXPECT_EQ(client_->ping(), 0);
  EXPECT_NE(client_->error_text().find("HTTP 503"), std::string::npos) << client_->error_text();
  sim_.stop();
  EXPECT_EQ(client_->ping(), 0);
  EXPECT_NE(client_->error_text().find("falha de comunicação"), std::string::npos) << client_->error_text();
}

TEST_F(ServiceClientTest, ARestartOfTheServiceKeepsItsNotes) {
  AuthorisationResult result;
  ASSERT_EQ(authorise(TestNote{}, result), 1);
  ASSERT_TRUE(sim_.fault({{"mode", "pending"}, {"count", 1}, {"after", 0}}));
  TestNote pending_note;
  pending_note.number = 2;
  AuthorisationResult pending;
  ASSERT_EQ(authorise(pending_note, pending), 1);

  sim_.restart();
  ASSERT_TRUE(sim_.running());
  connect();
  const StatusResult status = status_of(result.access_key);
  EXPECT_EQ(status.authorisation_status, "OK");
  EXPECT_EQ(status.protocol, result.protocol);
  EXPECT_EQ(status.oid, result.oid);
  EXPECT_EQ(status_of(pending_note.key()).authorisation_status, "OK");
  AuthorisationResult again;
  ASSERT_EQ(authorise(TestNote{}, again), 1);
  EXPECT_EQ(again.protocol, result.protocol);
}

class ConfiguredCscTest : public ServiceClientTest {
 protected:
  ConfiguredCscTest() : ServiceClientTest({"--csc", "11222333000181:000002:CSC-PROPRIO-DA-LOJA"}) {}
};

TEST_F(ConfiguredCscTest, TheQrCodeUsesTheCompanysTokenAndCsc) {
  TestNote note;
  AuthorisationResult result;
  ASSERT_EQ(authorise(note, result), 1) << client_->error_text();
  const std::string parameters = note.key() + "|2|2|2";
  EXPECT_TRUE(
      result.qr_code_url.ends_with("?p=" + parameters + "|" + sha1_upper_hex(parameters + "CSC-PROPRIO-DA-LOJA")))
      << result.qr_code_url;
}

}  // namespace
}  // namespace fvn

#include <openssl/evp.h>

namespace fvn {
namespace {

std::string sha1_upper_hex(const std::string& text) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int size = 0;
  EVP_Digest(text.data(), text.size(), digest, &size, EVP_sha1(), nullptr);
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned int i = 0; i < size; ++i) {
    out += kDigits[digest[i] >> 4U];
    out += kDigits[digest[i] & 0x0FU];
  }
  return out;
}

}  // namespace
}  // namespace fvn
