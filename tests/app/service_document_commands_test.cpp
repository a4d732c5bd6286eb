// fvn's key, xml, ping and status commands end to end: a real database clone
// and a real simulator process, driven through the command line's entry point.
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/fvn_cli.h"
#include "data/db_fixture.h"
#include "service/sim_process.h"
#include "support/temp_folder.h"

namespace fvn {
namespace {

struct CliResult {
  int status = -1;
  std::string out;
  std::string err;
};

CliResult run_fvn(const std::string& config, std::vector<std::string> args) {
  args.insert(args.begin(), {"--config", config});
  std::ostringstream out;
  std::ostringstream err;
  CliResult run;
  run.status = app::run(args, out, err, nullptr);
  run.out = out.str();
  run.err = err.str();
  return run;
}

std::string write_config(const testing::TempFolder& folder, const std::string& body) {
  std::string path = folder.file("fvn.ini");
  testing::write_file(path, body);
  return path;
}

TEST(FvnKey, AppendsTheCheckDigitOrRefusesAShortBase) {
  testing::TempFolder folder;
  const std::string config = write_config(folder, "");
  // Check digit worked out by hand: weights 2..9 from the right, modulus 11.
  const CliResult ok = run_fvn(config, {"key", "3512069876543200019865001000000123100000012"});
  EXPECT_EQ(ok.status, app::kExitOk) << ok.out << ok.err;
  EXPECT_EQ(ok.out, "35120698765432000198650010000001231000000124\n");

  const CliResult short_base = run_fvn(config, {"key", "351206"});
  EXPECT_EQ(short_base.status, app::kExitFailure);
  EXPECT_FALSE(short_base.out.empty());

  EXPECT_EQ(run_fvn(config, {"key"}).status, app::kExitUsage);
}

class FvnXml : public testing::DbTest {};

TEST_F(FvnXml, WritesTheInvoiceOfARecordedSaleAndPrintsItsPath) {
  testing::TempFolder folder;
  const std::string config = write_config(folder, "[database]\nconnection=" + db + "\n");
  const CliResult run = run_fvn(config, {"xml", "1", "--out", folder.path().string()});
  ASSERT_EQ(run.status, app::kExitOk) << run.out << run.err;
  const std::string path = run.out.substr(0, run.out.find('\n'));
  ASSERT_TRUE(std::filesystem::exists(path)) << path;
  const std::string xml = testing::read_file(path);
  EXPECT_EQ(xml.rfind("<?xml", 0), 0U);
  EXPECT_NE(xml.find("<infNFe versao=\"4.00\" Id=\"NFe"), std::string::npos);
  EXPECT_NE(xml.find("</NFe>"), std::string::npos);

  const CliResult missing = run_fvn(config, {"xml", "999999", "--out", folder.path().string()});
  EXPECT_EQ(missing.status, app::kExitFailure);
  EXPECT_EQ(run_fvn(config, {"xml", "abc"}).status, app::kExitUsage);
}

TEST(FvnXmlWithoutDatabase, SaysWhichKeyIsMissing) {
  testing::TempFolder folder;
  const CliResult run = run_fvn(write_config(folder, ""), {"xml", "1"});
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

  const CliResult ok = run_fvn(config, {"ping"});
  EXPECT_EQ(ok.status, app::kExitOk) << ok.out << ok.err;
  EXPECT_NE(ok.out.find("Ping no servidor de NFCe OK"), std::string::npos) << ok.out;

  sim.stop();
  const CliResult down = run_fvn(config, {"ping"});
  EXPECT_EQ(down.status, app::kExitFailure);
  EXPECT_NE(down.out.find("Verifique sua conectividade"), std::string::npos) << down.out;
}

TEST(FvnStatus, RefusesAKeyThatIsNotFortyFourDigits) {
  testing::TempFolder folder;
  const std::string config = write_config(folder, "");
  EXPECT_EQ(run_fvn(config, {"status", "1234"}).status, app::kExitUsage);
  EXPECT_EQ(run_fvn(config, {"status", "3512069876543200019865001000000123100000012X"}).status, app::kExitUsage);
  EXPECT_EQ(run_fvn(config, {"status"}).status, app::kExitUsage);
}

}  // namespace
}  // namespace fvn
