// `fvn scale read` against a real scale-sim process.
#include <string>

#include <gtest/gtest.h>

#include "cli_run.h"
#include "devices/scale_sim_process.h"

namespace fvn {
namespace {

using testing::CliResult;

std::string scale_config(const std::string& device) {
  return "[scale]\nmodel=1\nport=4\nbaud=9600\ndata_bits=8\nparity=1\nrequest='<5>'\nanswer=SUB(P, 2, 5)\n"
         "divisor=1000\npoll_ms=20\ntimeout_ms=300\nunstable=SUB(P, 2, 1) = 'I'\noverload=SUB(P, 2, 1) = 'S'\n"
         "negative=SUB(P, 2, 1) = 'N'\ncom4=" +
         device + "\n";
}

TEST(FvnScale, ReadsTheConfiguredScale) {
  const testing::TempFolder folder;
  testing::ScaleSim stable({"--grams", "3075"});
  const std::string config = testing::write_config(folder, scale_config(stable.path()));
  const CliResult weight = testing::run_configured(config, {"scale", "read"});
  EXPECT_EQ(weight.status, app::kExitOk) << weight.err;
  EXPECT_EQ(weight.out, "peso: 3.075\n");

  // --device points the configured port at another terminal.
  testing::ScaleSim overload({"--mode", "overload"});
  const CliResult over = testing::run_configured(config, {"scale", "read", "--device", overload.path()});
  EXPECT_EQ(over.status, app::kExitFailure);
  EXPECT_EQ(over.out, "Erro ao ler peso: Excesso de peso.\n");

  const CliResult silent = testing::run_configured(
      testing::write_config(folder, scale_config(folder.file("no-such-tty"))), {"scale", "read"});
  EXPECT_EQ(silent.out, "Erro ao ler peso: Erro ao abrir porta.\n");
  EXPECT_EQ(testing::run_configured(config, {"scale"}).status, app::kExitUsage);
  EXPECT_EQ(testing::run_configured(config, {"scale", "read", "--device"}).status, app::kExitUsage);
}

}  // namespace
}  // namespace fvn
