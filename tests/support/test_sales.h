// Sales written into the test database the way the sale screen records
// them, one builder per case the invoice must handle. Every sale starts from
// plain defaults (company 1, the walk-in consumer, one series, cash) and
// changes only what its case is about.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "data/passthrough_table.h"

namespace fvn::testing {

// Column name and the SQL text of its value ("'text'", "12.5", "null").
using Columns = std::vector<std::pair<std::string, std::string>>;

class SaleBuilder {
 public:
  explicit SaleBuilder(PassthroughTable& table) : t_(table) {}

  // Inserts a row; `changes` replace defaults or add columns. sale() returns the new id.
  std::int32_t sale(const Columns& changes = {});
  void item(std::int32_t sale, const Columns& changes);
  void posting(std::int32_t sale, const Columns& changes);
  void installment(std::int32_t sale, const Columns& changes);

  // Runs a statement; a refusal fails the test.
  void run(const std::string& sql);
  // A quoted SQL literal.
  std::string text(std::string_view value);

 private:
  std::string insert(std::string_view table, Columns defaults, const Columns& changes, std::string_view returning);
  PassthroughTable& t_;
};

// The invoice cases, by name (a valid test name).
const std::vector<std::string>& scenario_names();

// Records the sale of case `name` and returns its id (0 for an unknown name).
std::int32_t build_scenario(std::string_view name, SaleBuilder& b);

// An observation of exactly 5,000 characters with accents and markup.
std::string long_observation();

}  // namespace fvn::testing
