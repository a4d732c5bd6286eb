// fvn's command line run in-process, as a shell runs it: the exit status
// and what it printed on each stream; and its configuration file.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "app/fvn_cli.h"
#include "support/temp_folder.h"

namespace fvn::testing {

struct CliResult {
  int status = -1;
  std::string out;
  std::string err;
};

// fvn with `args`; `config_env` stands for the configuration named by the environment.
inline CliResult run_cli(const std::vector<std::string>& args, const char* config_env = nullptr) {
  std::ostringstream out;
  std::ostringstream err;
  CliResult result;
  result.status = app::run(args, out, err, config_env);
  result.out = out.str();
  result.err = err.str();
  return result;
}

// fvn with `--config config` before `args`.
inline CliResult run_configured(const std::string& config, std::vector<std::string> args) {
  args.insert(args.begin(), {"--config", config});
  return run_cli(args);
}

// Writes `body` as fvn.ini in `folder`; the file's path.
inline std::string write_config(const TempFolder& folder, const std::string& body) {
  std::string path = folder.file("fvn.ini");
  write_file(path, body);
  return path;
}

}  // namespace fvn::testing
