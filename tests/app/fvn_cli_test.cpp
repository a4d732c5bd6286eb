#include "app/fvn_cli.h"

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cli_run.h"
#include "runtime/working_folder.h"
#include "support/temp_folder.h"

namespace fvn::app {
namespace {

using fvn::testing::TempFolder;
using fvn::testing::write_file;

using fvn::testing::CliResult;
using fvn::testing::run_cli;

TEST(FvnCli, HelpAndVersionExitWithZero) {
  for (const char* option : {"--help", "-h"}) {
    const CliResult r = run_cli({option, "no-such-command"});
    EXPECT_EQ(r.status, kExitOk);
    EXPECT_NE(r.out.find("Usage: fvn"), std::string::npos);
    EXPECT_NE(r.out.find("self-check"), std::string::npos);
  }
  const CliResult r = run_cli({"--version"});
  EXPECT_EQ(r.status, kExitOk);
  EXPECT_TRUE(r.out.starts_with("fvn ")) << r.out;
}

TEST(FvnCli, UsageErrorsExitWithTwo) {
  TempFolder tmp;
  const std::string missing = tmp.file("nada.ini");
  const std::vector<std::vector<std::string>> cases = {{},
                                                       {"--json"},
                                                       {"no-such-command"},
                                                       {"--bogus", "self-check"},
                                                       {"--config"},
                                                       {"--config", ""},
                                                       {"--config="},
                                                       {"self-check", "extra"},
                                                       {"--config", missing, "self-check"},
                                                       {"--config=" + missing, "self-check"}};
  for (const auto& args : cases) {
    const CliResult r = run_cli(args);
    EXPECT_EQ(r.status, kExitUsage) << ::testing::PrintToString(args);
    EXPECT_FALSE(r.err.empty()) << ::testing::PrintToString(args);
    EXPECT_EQ(r.out, "") << ::testing::PrintToString(args);
  }
  EXPECT_NE(run_cli({"--config", missing, "self-check"}).err.find(missing), std::string::npos);
  EXPECT_EQ(run_cli({"self-check"}, missing.c_str()).status, kExitUsage);
}

TEST(FvnCli, SelfCheckPrintsOkAndTheConfigurationInUse) {
  TempFolder tmp;
  const std::string from_env = tmp.file("env.ini");
  const std::string from_option = tmp.file("option.ini");
  write_file(from_env, "[module]\nworking_folder = " + tmp.file("env") + "\n");
  write_file(from_option, "[module]\nworking_folder=" + tmp.file("option") + "\n");

  CliResult r = run_cli({"self-check"}, from_env.c_str());
  EXPECT_EQ(r.status, kExitOk) << r.out;
  EXPECT_EQ(r.out.find("FAIL"), std::string::npos) << r.out;
  EXPECT_TRUE(r.out.ends_with("\nOK\n")) << r.out;
  EXPECT_NE(r.out.find("configuration " + from_env + "\n  [module] 1 keys\n"), std::string::npos) << r.out;
  EXPECT_EQ(working_folder(), tmp.file("env"));

  r = run_cli({"--json", "--config", from_option, "self-check"}, from_env.c_str());
  EXPECT_EQ(r.status, kExitOk) << r.out;
  EXPECT_NE(r.out.find("configuration " + from_option + "\n"), std::string::npos) << r.out;
  EXPECT_EQ(working_folder(), tmp.file("option"));
}

TEST(FvnCli, DefaultConfigurationMayBeMissingAndIsReadWhenPresent) {
  TempFolder tmp;
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(tmp.path());
  const CliResult missing = run_cli({"self-check"}, "");
  std::filesystem::create_directory("var");
  write_file("var/fvn.ini", "[module]\nworking_folder=/srv/pdv\n");
  const CliResult present = run_cli({"self-check"});
  std::filesystem::current_path(previous);

  EXPECT_EQ(missing.status, kExitOk) << missing.out << missing.err;
  EXPECT_NE(missing.out.find("configuration var/fvn.ini (not found: defaults in use)"), std::string::npos);
  EXPECT_EQ(present.status, kExitOk) << present.out << present.err;
  EXPECT_NE(present.out.find("configuration var/fvn.ini\n"), std::string::npos) << present.out;
  EXPECT_EQ(working_folder(), "/srv/pdv");
}

TEST(FvnCli, UnreadableConfigurationIsAFailure) {
  TempFolder tmp;
  const CliResult r = run_cli({"--config", tmp.path().string(), "self-check"});
  EXPECT_EQ(r.status, kExitFailure);
  EXPECT_TRUE(r.out.starts_with("Não foi possível ler a configuração " + tmp.path().string())) << r.out;
}

}  // namespace
}  // namespace fvn::app
