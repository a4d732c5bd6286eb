// The sale scripts of docs/examples, run by `fvn simulate` as support staff
// run them: each one's report must agree with the expected output kept next
// to it (<name>.expected: the step results, the items' CFOPs and tax groups,
// the totals), and in every script the totals must be the sums of the live
// items' tax values.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "app/fvn_cli.h"
#include "cli_run.h"
#include "runtime/rounding.h"
#include "runtime/working_folder.h"
#include "support/code_tables.h"
#include "support/temp_folder.h"

namespace fvn::app {
namespace {

using fvn::testing::TempFolder;
using Json = nlohmann::json;

const std::filesystem::path kExemplos = std::filesystem::path{FVN_EXAMPLES_DIR};

std::filesystem::path expected_of(std::filesystem::path script) { return script.replace_extension(".expected"); }

// Every example script; with `with_expected`, only those that carry their
// expected output beside them.
std::vector<std::filesystem::path> scripts(bool with_expected = false) {
  std::vector<std::filesystem::path> out;
  for (const auto& entry : std::filesystem::directory_iterator(kExemplos)) {
    if (entry.path().extension() != ".json") continue;
    if (with_expected && !std::filesystem::exists(expected_of(entry.path()))) continue;
    out.push_back(entry.path());
  }
  std::sort(out.begin(), out.end());
  return out;
}

// The report of one script, run in a working folder of its own that holds
// the fiscal code tables.
Json simula(const std::filesystem::path& script) {
  TempFolder folder;
  fvn::testing::link_code_tables(folder.path());
  const fvn::testing::CliResult r = fvn::testing::run_configured(
      fvn::testing::write_config(folder, "[module]\nworking_folder=" + folder.path().string() + "\n"),
      {"simulate", script.string()});
  set_working_folder(".");
  EXPECT_EQ(r.status, kExitOk) << r.err;
  return Json::parse(r.out);
}

// Every member of `expected` is in `actual` with the same value; members
// the report has and the expected output leaves out are not compared.
void confere(const Json& expected, const Json& actual, const std::string& where) {
  if (expected.is_object()) {
    ASSERT_TRUE(actual.is_object()) << where;
    for (const auto& [name, value] : expected.items()) {
      ASSERT_TRUE(actual.contains(name)) << where << "." << name;
      std::string dentro = where;
      dentro += ".";
      dentro += name;
      confere(value, actual[name], dentro);
    }
  } else if (expected.is_array()) {
    ASSERT_TRUE(actual.is_array()) << where;
    ASSERT_EQ(actual.size(), expected.size()) << where;
    for (std::size_t i = 0; i < expected.size(); ++i) {
      std::string dentro = where;
      dentro += "[" + std::to_string(i) + "]";
      confere(expected[i], actual[i], dentro);
    }
  } else {
    EXPECT_EQ(actual, expected) << where;
  }
}

class SimulateExample : public ::testing::TestWithParam<std::filesystem::path> {};
class SimulateExpected : public ::testing::TestWithParam<std::filesystem::path> {};

TEST_P(SimulateExpected, MatchesItsExpectedOutput) {
  const std::filesystem::path script = GetParam();
  std::ifstream in(expected_of(script));
  confere(Json::parse(in), simula(script), script.filename().string());
}

TEST_P(SimulateExample, TotalsAreTheSumsOfTheLiveItems) {
  const Json report = simula(GetParam());
  std::ifstream in(GetParam());
  const Json script = Json::parse(in);
  const bool simples = script["setup"].contains("EMPRESA") && script["setup"]["EMPRESA"].value("TIPO", 0) == 1;
  const Json& t = report["totals"];
  struct Soma {
    const char* grupo;
    const char* campo;
    double total = 0;
  };
  std::vector<Soma> somas = {{"ICMS", "VALOR_BC_ICMS"},
                             {"ICMS", "VALOR_ICMS"},
                             {"ICMS", "VALOR_BC_ICMS_ST"},
                             {"ICMS", "VALOR_ICMS_ST"},
                             {"ICMS_SIMPLES", "VALOR_BC_ICMS"},
                             {"ICMS_SIMPLES", "VALOR_ICMS_ST"},
                             {"ICMS_SIMPLES", "VALOR_CRED_SIMPLES"},
                             {"IPI", "VALOR_IPI"},
                             {"PIS", "VALOR_PIS"},
                             {"COFINS", "VALOR_COFINS"},
                             {"ISSQN", "VALOR_ISSQN"}};
  for (const Json& item : report["items"]) {
    if (item["CANCELADO"] != 0) continue;
    for (Soma& s : somas) s.total += item[s.grupo][s.campo].get<double>();
  }
  for (const Soma& s : somas) {
    EXPECT_EQ(round_to(t[s.grupo][s.campo].get<double>(), 6), round_to(s.total, 6)) << s.grupo << "." << s.campo;
  }
  // The summary takes the ICMS of the company's regime.
  const Json& regime = t[simples ? "ICMS_SIMPLES" : "ICMS"];
  for (const char* campo : {"VALOR_BC_ICMS", "VALOR_ICMS", "VALOR_BC_ICMS_ST", "VALOR_ICMS_ST"}) {
    EXPECT_EQ(t[campo], regime[campo]) << campo;
  }
}

std::string row_name(const ::testing::TestParamInfo<std::filesystem::path>& row) { return row.param.stem().string(); }

INSTANTIATE_TEST_SUITE_P(Examples, SimulateExample, ::testing::ValuesIn(scripts()), row_name);
INSTANTIATE_TEST_SUITE_P(Examples, SimulateExpected, ::testing::ValuesIn(scripts(true)), row_name);

TEST(SimulateExamples, FiveScriptsCarryTheirExpectedOutput) { EXPECT_GE(scripts(true).size(), 5U); }

}  // namespace
}  // namespace fvn::app
