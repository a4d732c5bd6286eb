// Whether the tests run under CI (the CI environment variable set, and not
// "0" or "false"): there a missing database or schema folder is a failure,
// elsewhere the tests that need it are skipped with a message.
#pragma once

#include <cstdlib>
#include <string_view>

namespace fvn::testing {

inline bool under_ci() {
  const char* ci = std::getenv("CI");
  return ci != nullptr && *ci != '\0' && std::string_view{ci} != "false" && std::string_view{ci} != "0";
}

}  // namespace fvn::testing
