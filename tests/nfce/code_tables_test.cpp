// The code tables committed under db/tables, as the demo installation uses
// them: all ten present and holding the codes a sale needs.
#include <string>

#include <gtest/gtest.h>

#include "nfce/validador_fiscal.h"
#include "runtime/scripted_ui.h"
#include "runtime/working_folder.h"

namespace fvn {
namespace {

class CommittedTables : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = working_folder();
    set_working_folder(FVN_TABLES_DIR);
  }
  void TearDown() override { set_working_folder(previous_); }

  ScriptedUi ui_;
  std::string previous_;
};

TEST_F(CommittedTables, HoldTheCodesOfAnOrdinarySale) {
  VALIDADOR_FISCAL validator(ui_);
  EXPECT_TRUE(ui_.messages().empty()) << "a table is missing";
  EXPECT_EQ(validator.Valida_CFOP("5.102"), 1);
  EXPECT_EQ(validator.Valida_CFOP("5.405"), 1);
  EXPECT_EQ(validator.Valida_CFOP("6.108"), 1);
  EXPECT_EQ(validator.Valida_Municipio("3550308"), 1);  // São Paulo
  EXPECT_EQ(validator.Valida_Municipio("5300108"), 1);  // Brasília
  EXPECT_EQ(validator.Valida_Pais("1058"), 1);
  EXPECT_EQ(validator.Valida_Pais("0175"), 1);  // Albania, keyed wrongly in the source package
  EXPECT_EQ(validator.Valida_IPI("99"), 1);
  EXPECT_EQ(validator.Valida_PIS("1"), 1);
  EXPECT_EQ(validator.Valida_Cofins("49"), 1);
  EXPECT_EQ(validator.Valida_PIS("49"), 1);
  EXPECT_EQ(validator.lookup(code_table::kCest, "0302100"), 1);
}

TEST_F(CommittedTables, RefuseCodesThatDoNotExist) {
  VALIDADOR_FISCAL validator(ui_);
  EXPECT_EQ(validator.Valida_CFOP("5.350"), 0);  // a heading, not an operation
  EXPECT_EQ(validator.Valida_Municipio("3550309"), 0);
  EXPECT_EQ(validator.Valida_IPI("06"), 0);
  EXPECT_EQ(validator.Valida_PIS("10"), 0);
}

}  // namespace
}  // namespace fvn
