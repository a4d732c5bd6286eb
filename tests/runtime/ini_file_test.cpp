#include "runtime/ini_file.h"

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "runtime/runtime_messages.h"
#include "support/temp_folder.h"

namespace fvn {
namespace {

using fvn::testing::TempFolder;
using fvn::testing::write_file;

TEST(IniFile, MissingFileReadsEmptyAndSucceeds) {
  TempFolder tmp;
  set_runtime_error(rt::kEndOfFile);
  IniFile ini(tmp.file("nada.ini"));
  EXPECT_TRUE(ini.load());
  EXPECT_EQ(last_runtime_error(), 0);
  EXPECT_TRUE(ini.sections().empty());
  EXPECT_EQ(ini.get("nfce", "cest", "padrão"), "padrão");
  EXPECT_FALSE(std::filesystem::exists(tmp.file("nada.ini")));
}

TEST(IniFile, KeysIgnoreCaseAndValuesAreTrimmed) {
  TempFolder tmp;
  write_file(tmp.file("nfe_ini.ini"), "[NFCe]\r\nCST_CSOSN =   1  \r\ncest=0\n[Outra]\nchave = valor com espaço \n");
  IniFile ini;
  ASSERT_TRUE(ini.load(tmp.file("nfe_ini.ini")));
  EXPECT_EQ(ini.get("nfce", "cst_csosn"), "1");
  EXPECT_EQ(ini.get("NFCE", "CEST"), "0");
  EXPECT_EQ(ini.get("outra", "Chave"), "valor com espaço");
  EXPECT_TRUE(ini.has("nFcE", "Cest"));
  EXPECT_FALSE(ini.has("nfce", "outra"));
  EXPECT_EQ(ini.sections(), (std::vector<std::string>{"NFCe", "Outra"}));
  EXPECT_EQ(ini.keys("nfce"), (std::vector<std::string>{"CST_CSOSN", "cest"}));
}

TEST(IniFile, SaveThenLoadRoundTrip) {
  TempFolder tmp;
  write_file(tmp.file("fvn.ini"), "[velha]\nk=v\n");
  IniFile ini(tmp.file("fvn.ini"));
  ini.set("module", "working_folder", "/var/lib/pdv/trabalho");
  ini.set("station", "operador", "JOÃO");
  ini.set("station", "empresa", "1");
  ASSERT_TRUE(ini.remove("station", "empresa"));
  ASSERT_TRUE(ini.save());
  EXPECT_FALSE(std::filesystem::exists(tmp.file("fvn.ini.tmp")));
  IniFile again(tmp.file("fvn.ini"));
  ASSERT_TRUE(again.load());
  EXPECT_EQ(again.sections(), (std::vector<std::string>{"module", "station"}));
  EXPECT_EQ(again.get("MODULE", "Working_Folder"), "/var/lib/pdv/trabalho");
  EXPECT_EQ(again.get("station", "operador"), "JOÃO");
  EXPECT_FALSE(again.has("station", "empresa"));
}

TEST(IniFile, SaveIntoAMissingFolderFailsAndLeavesNoFile) {
  TempFolder tmp;
  IniFile ini(tmp.file("falta/fvn.ini"));
  ini.set("module", "working_folder", "x");
  clear_runtime_error();
  EXPECT_FALSE(ini.save());
  EXPECT_NE(last_runtime_error(), 0);
  EXPECT_TRUE(std::filesystem::is_empty(tmp.path()));
}

TEST(IniFile, AFolderInPlaceOfTheFileIsNotRead) {
  TempFolder tmp;
  IniFile ini(tmp.path().string());
  clear_runtime_error();
  EXPECT_FALSE(ini.load());
  EXPECT_NE(last_runtime_error(), 0);
}

}  // namespace
}  // namespace fvn
