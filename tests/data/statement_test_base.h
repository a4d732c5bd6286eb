// Base of the tests that run the module's statements: an open passthrough
// table on the test database and small helpers to run a statement and read
// its first value.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "data/passthrough_table.h"
#include "support/db_fixture.h"

namespace fvn {

inline std::string join(const std::vector<std::string>& parts, std::string_view separator) {
  std::string out;
  for (const std::string& part : parts) {
    if (!out.empty()) out += separator;
    out += part;
  }
  return out;
}

inline std::string id(int n) { return std::to_string(n); }

class ModuleStatementsTest : public testing::DbTest {
 protected:
  void SetUp() override {
    DbTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    table_ = std::make_unique<PassthroughTable>("TABELA_A", db);
    ASSERT_EQ(table_->open(), 1);
  }

  // Runs a statement; returns the rows it selected or changed (-1 on failure).
  long long run(const std::string& sql) {
    if (table_->execute(sql) != 1) {
      ADD_FAILURE() << table_->error_text("") << "\n  in: " << sql;
      return -1;
    }
    return table_->row_count();
  }
  // The first column of the first row as text.
  std::string first(const std::string& sql) {
    if (run(sql) < 1 || table_->next() != 1) return "<no row>";
    return table_->value(0);
  }
  std::string quoted(std::string_view text) { return table_->literal(text); }
  std::string escaped(std::string_view text) { return table_->escape(text); }

  std::unique_ptr<PassthroughTable> table_;
};

}  // namespace fvn
