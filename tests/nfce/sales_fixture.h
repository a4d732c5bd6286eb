// Base of the tests that record sales in the database: a database clone with
// the demo shop, the working folder set to a test folder with the code tables
// and "nfe_ini.ini" (CEST on), and a sale builder on a table of that database.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "data/passthrough_table.h"
#include "runtime/scripted_ui.h"
#include "runtime/working_folder.h"
#include "support/code_tables.h"
#include "support/db_fixture.h"
#include "support/temp_folder.h"
#include "support/test_sales.h"

namespace fvn::testing {

class SalesDbTest : public DbTest {
 protected:
  void SetUp() override {
    DbTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    previous_folder_ = working_folder();
    invoice_working_folder(work_);
    set_working_folder(work_.path().string());
    table_ = std::make_unique<PassthroughTable>("TESTE", db);
    ASSERT_EQ(table_->open(), 1) << table_->error_text("");
    builder_ = std::make_unique<SaleBuilder>(*table_);
  }
  void TearDown() override {
    builder_.reset();
    table_.reset();
    set_working_folder(previous_folder_);
    DbTest::TearDown();
  }

  std::int32_t scenario(std::string_view name) {
    const std::int32_t sale = build_scenario(name, *builder_);
    EXPECT_GT(sale, 0) << name;
    return sale;
  }

  // Runs a statement on the test database.
  void sql(const std::string& statement) { builder_->run(statement); }

  ScriptedUi ui_;
  TempFolder work_;
  std::unique_ptr<PassthroughTable> table_;
  std::unique_ptr<SaleBuilder> builder_;
  std::string previous_folder_;
};

}  // namespace fvn::testing
