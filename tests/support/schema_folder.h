// The official NF-e 4.00 schemas the tests validate against: schemas/nfe of
// the source tree (FVN_SCHEMA_DIR, set for every test target).
#pragma once

#include <filesystem>
#include <string>

#include "support/ci.h"

namespace fvn::testing {

// The folder, or empty when nfe_v4.00.xsd is not there.
inline std::string schema_folder() {
  const std::filesystem::path folder{FVN_SCHEMA_DIR};
  std::error_code ec;
  return std::filesystem::is_regular_file(folder / "nfe_v4.00.xsd", ec) ? folder.string() : std::string{};
}

}  // namespace fvn::testing

// Declares `const std::string var` = the schema folder; when it is missing,
// the test fails under CI and is skipped (saying so) elsewhere.
#define FVN_SCHEMA_FOLDER(var)                                                                         \
  const std::string var = ::fvn::testing::schema_folder();                                             \
  if (var.empty()) {                                                                                   \
    if (::fvn::testing::under_ci()) FAIL() << "the schema folder " << FVN_SCHEMA_DIR << " is missing"; \
    GTEST_SKIP() << "the schema folder " << FVN_SCHEMA_DIR << " is missing: not validated";            \
  }
