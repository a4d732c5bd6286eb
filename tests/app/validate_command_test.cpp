#include "app/validate_command.h"

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/fvn_cli.h"
#include "cli_run.h"
#include "runtime/working_folder.h"
#include "support/temp_folder.h"

namespace fvn::app {
namespace {

using fvn::testing::TempFolder;
using fvn::testing::write_file;

using fvn::testing::CliResult;
class FvnValidate : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = working_folder();
    std::filesystem::create_directories(tables_);
    std::filesystem::create_directories(empty_);
    for (const auto& [name, content] :
         std::vector<std::pair<std::string, std::string>>{{"tb2.txt", "5102|Venda\n"},
                                                          {"tb3.txt", "00|Serviço\n"},
                                                          {"tb19.txt", "000|ICMS a recolher\n"},
                                                          {"tb57.txt", "50|Saída Tributada\n"},
                                                          {"tb68.txt", "1058|BRASIL\n"},
                                                          {"tb81.txt", "3550308|São Paulo|SP\n"},
                                                          {"tb113.txt", "01|Tributável\n"},
                                                          {"tb114.txt", "01|Tributável\n"},
                                                          {"tb221.txt", "999|Outros\n"},
                                                          {"tb222.txt", "0302100|Cerveja\n"}}) {
      write_file((tables_ / name).string(), content);
    }
  }
  void TearDown() override { set_working_folder(previous_); }

  // fvn with a configuration whose working folder is `folder`.
  CliResult fvn(const std::vector<std::string>& args, const std::string& folder) {
    return fvn::testing::run_configured(fvn::testing::write_config(tmp_, "[module]\nworking_folder = " + folder + "\n"),
                                        args);
  }
  CliResult fvn(const std::vector<std::string>& args) { return fvn(args, tables_.string()); }

  // One temporary folder per test: the code tables, an empty folder and the configuration.
  TempFolder tmp_;
  std::filesystem::path tables_ = tmp_.path() / "tables";
  std::filesystem::path empty_ = tmp_.path() / "empty";
  std::string previous_;
};

TEST_F(FvnValidate, PrintsOkForAValidValue) {
  // One kind read from the code tables, one with its UF; the validator's own rules are tested beside it.
  for (const auto& args :
       std::vector<std::vector<std::string>>{{"validate", "cfop", "5.102"}, {"validate", "ie", "110042490114", "SP"}}) {
    const CliResult r = fvn(args);
    EXPECT_EQ(r.status, kExitOk) << args[1];
    EXPECT_EQ(r.out, "OK\n") << args[1];
    EXPECT_EQ(r.err, "") << args[1];
  }
}

TEST_F(FvnValidate, PrintsTheMessageLineByLineForAnInvalidValue) {
  CliResult r = fvn({"validate", "telefone", "3456-7890"});
  EXPECT_EQ(r.status, kExitFailure);
  EXPECT_EQ(r.out, "Telefone informado está preenchido incorretamente.\nPreenchimento correto -> DDD+TELEFONE\n");
}

TEST_F(FvnValidate, DirOptionOverridesTheConfiguredFolder) {
  CliResult r = fvn({"validate", "cfop", "5102"}, empty_.string());
  EXPECT_EQ(r.status, kExitFailure);
  EXPECT_EQ(r.out, "CFOP não consta na tabela de CFOPs\n");
  // The missing tables are reported on standard error, one line each.
  EXPECT_NE(r.err.find("[Erro!] Não foi possível encontrar a Tabela de Código Fiscal de Operação e Prestação - CFOP "
                       "(tb2.txt)!"),
            std::string::npos);

  r = fvn({"validate", "--dir", tables_.string(), "cfop", "5102"}, empty_.string());
  EXPECT_EQ(r.status, kExitOk);
  r = fvn({"validate", "cfop", "5102", "--dir=" + tables_.string()}, empty_.string());
  EXPECT_EQ(r.status, kExitOk);
}

TEST_F(FvnValidate, ValuesThatLookLikeOptionsFollowADoubleDash) {
  const CliResult r = fvn({"validate", "--", "telefone", "--11-3456-7890"});
  EXPECT_EQ(r.status, kExitOk);
}

TEST_F(FvnValidate, UsageErrors) {
  for (const auto& args : std::vector<std::vector<std::string>>{{"validate"},
                                                                {"validate", "rg", "123"},
                                                                {"validate", "cpf"},
                                                                {"validate", "ie", "110042490114"},
                                                                {"validate", "cpf", "1", "SP"},
                                                                {"validate", "--dir"},
                                                                {"validate", "--dir", "/no/such/folder", "cpf", "1"},
                                                                {"validate", "CPF", "111.444.777-35"}}) {
    const CliResult r = fvn(args);
    EXPECT_EQ(r.status, kExitUsage) << ::testing::PrintToString(args);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("usage: fvn validate"), std::string::npos);
  }
}

TEST_F(FvnValidate, AnEmptyValueIsCheckedNotRefused) {
  const CliResult r = fvn({"validate", "cfop", ""});
  EXPECT_EQ(r.status, kExitFailure);
  EXPECT_EQ(r.out, "Nenhum CFOP foi informado.\n");
}

}  // namespace
}  // namespace fvn::app
