// The simulator refuses what the authority refuses, with its status code:
// one named row per check, each against the same running simulator.
#include <functional>
#include <memory>

#include <gtest/gtest.h>

#include "service/answer_fields.h"
#include "service/service_gateway.h"
#include "support/nfce_test_document.h"
#include "support/sim_process.h"
#include "support/temp_folder.h"

namespace fvn {
namespace {

using testing::SimProcess;
using testing::TestNote;

struct CheckRow {
  const char* name;
  std::function<void(TestNote&)> change;
  int cstat;
};

class SimChecksTest : public ::testing::TestWithParam<CheckRow> {
 protected:
  static void SetUpTestSuite() {
    folder_ = std::make_unique<testing::TempFolder>();
    sim_ = std::make_unique<SimProcess>(folder_->file("sim"));
  }
  static void TearDownTestSuite() {
    sim_.reset();
    folder_.reset();
  }
  static std::unique_ptr<testing::TempFolder> folder_;
  static std::unique_ptr<SimProcess> sim_;
};

std::unique_ptr<testing::TempFolder> SimChecksTest::folder_;
std::unique_ptr<SimProcess> SimChecksTest::sim_;

std::string with_last_digit_changed(std::string key) {
  key.back() = key.back() == '9' ? '0' : static_cast<char>(key.back() + 1);
  return key;
}

TEST_P(SimChecksTest, RefusesWithTheAuthorityCode) {
  ASSERT_TRUE(sim_->running());
  static std::int64_t number = 100;
  TestNote note;
  note.number = ++number;
  GetParam().change(note);
  ServiceGateway gateway(sim_->gateway_config());
  const std::string answer = gateway.Autorizar_Xml("11222333000181", note.xml());
  EXPECT_EQ(ObterValorCampo(answer, "statusAutorizacao"), GetParam().cstat == 100 ? "OK" : "ERRO") << answer;
  if (GetParam().cstat != 100) {
    EXPECT_EQ(ObterValorCampo(answer, "cStat"), std::to_string(GetParam().cstat)) << answer;
    EXPECT_TRUE(ObterValorCampo(answer, "detalheAutorizacao").starts_with(std::to_string(GetParam().cstat) + " - "));
  }
}

const CheckRow kRows[] = {
    {"KeyCheckDigit", [](TestNote& n) { n.key_override = with_last_digit_changed(n.key()); }, 236},
    {"KeyDisagreesWithFields",
     [](TestNote& n) {
       TestNote other = n;
       other.cnf = "99999999";
       n.key_override = other.key();
     },
     502},
    {"ModelNot65", [](TestNote& n) { n.model = 55; }, 775},
    {"OtherEnvironment", [](TestNote& n) { n.environment = 1; }, 252},
    {"UnknownUf", [](TestNote& n) { n.uf_code = 99; }, 226},
    {"EmitterCnpjCheckDigit", [](TestNote& n) { n.cnpj = "11222333000182"; }, 207},
    {"EmitterIsNotTheLogin", [](TestNote& n) { n.cnpj = "44555666000181"; }, 213},
    {"RecipientCpf", [](TestNote& n) { n.recipient_cpf = "12345678900"; }, 237},
    {"RecipientCnpj", [](TestNote& n) { n.recipient_cnpj = "44555666000180"; }, 208},
    {"IssuedInTheFuture", [](TestNote& n) { n.emitted_at = testing::now_seconds() + 3600; }, 703},
    {"IssuedLate", [](TestNote& n) { n.emitted_at = testing::now_seconds() - 3600; }, 704},
    {"ProductsTotal",
     [](TestNote& n) {
       n.total_overrides = {{"vProd", "1.00"}};
     },
     564},
    {"DiscountTotal",
     [](TestNote& n) {
       n.items[0].discount_cents = 50;
       n.total_overrides = {{"vDesc", "0.00"}};
     },
     537},
    {"IcmsTotal",
     [](TestNote& n) {
       n.total_overrides = {{"vICMS", "0.01"}};
     },
     532},
    {"NoteTotal",
     [](TestNote& n) {
       n.total_overrides = {{"vNF", "17.91"}};
     },
     610},
    {"DiscountedNote",
     [](TestNote& n) {
       n.items[0].quantity = 3;
       n.items[0].discount_cents = 70;
     },
     100},
};

INSTANTIATE_TEST_SUITE_P(Rows, SimChecksTest, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<CheckRow>& row) { return std::string{row.param.name}; });

TEST(SimChecks, AnUnreadableDocumentIsMalformed) {
  testing::TempFolder folder;
  SimProcess sim(folder.file("sim"));
  ASSERT_TRUE(sim.running());
  ServiceGateway gateway(sim.gateway_config());
  const std::string answer = gateway.Autorizar_Xml("11222333000181", "<NFe><infNFe>");
  EXPECT_EQ(ObterValorCampo(answer, "cStat"), "243") << answer;
  EXPECT_EQ(ObterValorCampo(answer, "statusAutorizacao"), "ERRO");
  const std::string no_cnpj = gateway.Autorizar_Xml("123", TestNote{}.xml());
  EXPECT_NE(ObterValorCampo(no_cnpj, "exMessage").find("HTTP 400"), std::string::npos) << no_cnpj;
}

// Without the schema check an amount beyond the 64-bit range reaches the
// totals check: it is refused as unreadable, not wrapped into a total.
TEST(SimChecks, AnAmountTooLargeToAddIsUnreadable) {
  testing::TempFolder folder;
  SimProcess sim(folder.file("sim"), {"--schemas", "none"});
  ASSERT_TRUE(sim.running());
  TestNote note;
  note.total_overrides = {{"vNF", "99999999999999999999.00"}};
  ServiceGateway gateway(sim.gateway_config());
  const std::string answer = gateway.Autorizar_Xml("11222333000181", note.xml());
  EXPECT_EQ(ObterValorCampo(answer, "cStat"), "225") << answer;
}

// A service item goes to ISSQNtot/vServ, not to ICMSTot/vProd: the note the
// module writes for one is authorised, schema and totals checked.
TEST(SimChecks, AuthorisesANoteWithAServiceItem) {
  testing::TempFolder folder;
  SimProcess sim(folder.file("sim"), {"--max-age", "999999999", "--schemas", FVN_SCHEMA_DIR});
  ASSERT_TRUE(sim.running());
  const std::string xml = testing::read_file(std::string{FVN_GOLDEN_DIR} + "/servico_issqn.xml");
  ASSERT_NE(xml.find("<ISSQN>"), std::string::npos);
  ServiceGateway gateway(sim.gateway_config());
  const std::string answer = gateway.Autorizar_Xml("11222333000181", xml);
  EXPECT_EQ(ObterValorCampo(answer, "statusAutorizacao"), "OK") << answer;
}

}  // namespace
}  // namespace fvn
