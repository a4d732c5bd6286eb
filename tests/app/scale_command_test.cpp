// `fvn scale read` against a real scale-sim process.
#include <string>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "cli_run.h"
#include "devices/scale_sim_process.h"
#include "runtime/working_folder.h"
#include "support/code_tables.h"

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

// A weighed item of a sale script takes its quantity from the scale.
TEST(FvnScale, AWeighedItemTakesItsQuantityFromTheScale) {
  const testing::TempFolder folder;
  testing::link_code_tables(folder.path());
  const std::string module = "[module]\nworking_folder=" + folder.path().string() + "\n";
  testing::ScaleSim sim({"--grams", "1875"});
  const std::string config = testing::write_config(folder, module + scale_config(sim.path()));
  const std::string script = folder.file("pesado.json");
  // The set-up of an example script, one weighed item.
  auto sale = nlohmann::json::parse(testing::read_file(FVN_EXAMPLES_DIR "/cafe_com_frete.json"));
  sale["steps"] = nlohmann::json::parse(R"([{"op": "Vende_Item", "pesar": true, "item": {"CODIGO": "46",
      "DESCRICAO": "QUEIJO KG", "UNITARIO": 40, "QUANTIDADE": 0, "UNIDADE": "KG", "TIPO_PRODUTO": 1, "IAT": "A",
      "IPPT": "T", "ICMS": {"CST_ICMS_CONSUMO": "00", "ALIQUOTA_ICMS": 18}, "PIS": {"CST_PIS": "07"},
      "COFINS": {"CST_COFINS": "07"}}}])");
  testing::write_file(script, sale.dump());
  const CliResult r = testing::run_configured(config, {"simulate", script});
  ASSERT_EQ(r.status, app::kExitOk) << r.err;
  const auto report = nlohmann::json::parse(r.out);
  ASSERT_EQ(report.at("steps").at(0).at("result"), 1) << r.out;
  EXPECT_DOUBLE_EQ(report.at("items").at(0).at("QUANTIDADE").get<double>(), 1.875) << r.out;
  EXPECT_EQ(report.at("items").at(0).at("BALANCA"), 1);
  EXPECT_DOUBLE_EQ(report.at("totals").at("TOTAL_BRUTO").get<double>(), 75.0) << r.out;

  testing::ScaleSim unstable({"--mode", "unstable"});
  const CliResult failed = testing::run_configured(
      testing::write_config(folder, module + scale_config(unstable.path())), {"simulate", script});
  set_working_folder(".");
  const auto failure = nlohmann::json::parse(failed.out);
  EXPECT_EQ(failure.at("steps").at(0).at("result"), 0);
  EXPECT_EQ(failure.at("steps").at(0).at("ERROR"), "Erro ao ler peso: Peso instável.");
  EXPECT_TRUE(failure.at("items").empty());
}

}  // namespace
}  // namespace fvn
