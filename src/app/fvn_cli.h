// The `fvn` command line: the support tool and black-box face of the module.
//
// Common rules: `--config FILE` (else $FVN_CONFIG, else var/fvn.ini in the
// current folder) names the INI file with the connection, working folder,
// station values and service address; `--json` asks for structured output
// where a command has it. Exit status 0 for success, 1 for a refusal or a
// failure (the module's message on standard output, "|" turned into line
// breaks), 2 for a usage error.
#pragma once

#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/ini_file.h"

namespace fvn::app {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

inline constexpr std::string_view kDefaultConfigPath = "var/fvn.ini";

// Where the configuration comes from, by the rules above.
struct ConfigSource {
  std::string path;
  bool explicit_choice = false;  // named by --config or $FVN_CONFIG
};
ConfigSource resolve_config(std::string_view option, const char* environment);

// Sections and keys of the configuration file (var/fvn.ini):
//   [module]   working_folder (code tables, nfe_ini.ini, ibpt.csv; default var/work)
//   [database] connection: the shop database's connection text (the host's
//              GLO:CNXSTR), as a libpq keyword string ("host=... port=...
//              dbname=... user=..."), a postgresql:// URI, or ODBC-style
//              "Server=..;Port=..;Database=..;Uid=..;Pwd=..". No default.
//   [service]  the NFC-e web service: url (default http://127.0.0.1:8765),
//              login, group, password (sent in request headers, never
//              logged), connect_timeout_ms (default 3000), total_timeout_ms
//              (default 15000), status_attempts (default 4) and
//              status_backoff_ms (default 1000): the tries of a status query
//              that gets no answer, unknown_key_grace_ms (default 120000):
//              how long after sending a note the service says it does not
//              hold may still arrive, nfce_folder: the NFC-e folder whose
//              Log_Velto holds the operation log (default var/nfce).
// scripts/db init writes them for the demo shop, plus [station] (company,
// operator, user, emitter, customer, seller, operation, price_table) and
// [service] (url) for the capabilities that read them.
inline constexpr std::string_view kModuleSection = "module";
inline constexpr std::string_view kWorkingFolderKey = "working_folder";
inline constexpr std::string_view kDefaultWorkingFolder = "var/work";
inline constexpr std::string_view kDatabaseSection = "database";
inline constexpr std::string_view kConnectionKey = "connection";
inline constexpr std::string_view kServiceSection = "service";
inline constexpr std::string_view kServiceUrlKey = "url";
inline constexpr std::string_view kServiceLoginKey = "login";
inline constexpr std::string_view kServiceGroupKey = "group";
inline constexpr std::string_view kServicePasswordKey = "password";
inline constexpr std::string_view kServiceConnectTimeoutKey = "connect_timeout_ms";
inline constexpr std::string_view kServiceTotalTimeoutKey = "total_timeout_ms";
inline constexpr std::string_view kServiceStatusAttemptsKey = "status_attempts";
inline constexpr std::string_view kServiceStatusBackoffKey = "status_backoff_ms";
inline constexpr std::string_view kServiceUnknownKeyGraceKey = "unknown_key_grace_ms";
inline constexpr std::string_view kNfceFolderKey = "nfce_folder";
inline constexpr std::string_view kDefaultServiceUrl = "http://127.0.0.1:8765";
inline constexpr std::string_view kDefaultNfceFolder = "var/nfce";

struct Context {
  std::ostream& out;
  std::ostream& err;
  ConfigSource source;
  IniFile config;
  bool json = false;

  // The working folder named by the configuration, or the default.
  [[nodiscard]] std::string working_folder() const;

  // The [database] connection; when there is none, prints the message that
  // says which key to set (followed by `hint`, when given) and answers empty.
  std::string database_connection(std::string_view hint = {});
};

struct Command {
  std::string name;
  std::string usage;    // arguments after the name, for --help
  std::string summary;  // one line for --help
  std::function<int(Context&, const std::vector<std::string>&)> run;
};

// Every sub-command, in the order --help lists them.
const std::vector<Command>& commands();

// Runs fvn with the arguments after the program name.
int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, const char* config_env);

// The message form of the command line: "|" becomes a line break.
std::string message_lines(std::string_view text);

}  // namespace fvn::app
