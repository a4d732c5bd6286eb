// The database the benchmarks clone: the tests' template (FVN_TEST_DB), else
// the private cluster's template on its default port.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "data/connection_text.h"

namespace fvn::bench {

// The parameters as a libpq keyword text, password included.
inline std::string keyword_text(const ConnectionParams& params) {
  std::string text;
  for (const auto& [key, value] : params.values) text.append(key).append("='").append(value).append("' ");
  return text;
}

// The template's server; on failure says why on standard error, naming `program`.
inline std::optional<ConnectionParams> template_server(const char* program) {
  const char* env = std::getenv("FVN_TEST_DB");
  const std::string text =
      env != nullptr && *env != '\0' ? env : "host=127.0.0.1 port=55432 dbname=fvn_template user=fvn";
  std::string problem;
  auto server = parse_connection_text(text, &problem);
  if (!server) std::fprintf(stderr, "%s: %s\n", program, problem.c_str());
  return server;
}

}  // namespace fvn::bench
