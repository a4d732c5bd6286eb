#include "app/fvn_cli.h"

#include <filesystem>
#include <ostream>

#include "runtime/host_ui.h"
#include "runtime/runtime_messages.h"
#include "runtime/working_folder.h"
#include "sale/sale_formatter.h"

#ifndef FVN_VERSION
#define FVN_VERSION "0.0.0"
#endif

namespace fvn::app {

namespace {

void print_help(std::ostream& out) {
  out << "fvn " << FVN_VERSION << " - point-of-sale module tool\n\n"
      << "Usage: fvn [--config FILE] [--json] COMMAND [ARGS...]\n"
      << "       fvn --help | --version\n\n"
      << "Options:\n"
      << "  --config FILE  configuration (default: $FVN_CONFIG, then " << kDefaultConfigPath << ")\n"
      << "  --json         structured output where the command has it\n\n"
      << "Commands:\n";
  for (const Command& command : commands()) {
    std::string head = "  " + command.name;
    if (!command.usage.empty()) head += " " + command.usage;
    out << head;
    if (head.size() < 28)
      out << std::string(28 - head.size(), ' ');
    else
      out << "\n" << std::string(28, ' ');
    out << command.summary << "\n";
  }
  out << "\nExit status: 0 success, 1 refusal or failure, 2 usage error.\n";
}

}  // namespace

ConfigSource resolve_config(std::string_view option, const char* environment) {
  if (!option.empty()) return {std::string{option}, true};
  if (environment != nullptr && *environment != '\0') return {environment, true};
  return {std::string{kDefaultConfigPath}, false};
}

std::string Context::working_folder() const {
  return config.get(kModuleSection, kWorkingFolderKey, kDefaultWorkingFolder);
}

std::string Context::database_connection(std::string_view hint) {
  std::string connection = config.get(kDatabaseSection, kConnectionKey);
  if (connection.empty()) {
    std::string text = "Nenhuma conexão com o banco de dados configurada.|Informe [" + std::string(kDatabaseSection) +
                       "] " + std::string(kConnectionKey) + " em " + source.path;
    if (!hint.empty()) text += " " + std::string(hint);
    out << message_lines(text + ".") << "\n";
  }
  return connection;
}

std::string message_lines(std::string_view text) { return display_lines(text); }

int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, const char* config_env) {
  std::string config_option;
  bool json = false;
  std::size_t i = 0;
  for (; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--help" || arg == "-h") {
      print_help(out);
      return kExitOk;
    }
    if (arg == "--version") {
      out << "fvn " << FVN_VERSION << "\n";
      return kExitOk;
    }
    if (arg == "--json") {
      json = true;
    } else if (arg == "--config") {
      if (i + 1 >= args.size() || args[i + 1].empty()) {
        err << "fvn: --config needs a file name\n";
        return kExitUsage;
      }
      config_option = args[++i];
    } else if (arg.rfind("--config=", 0) == 0) {
      config_option = arg.substr(9);
      if (config_option.empty()) {
        err << "fvn: --config needs a file name\n";
        return kExitUsage;
      }
    } else if (arg.rfind("--", 0) == 0) {
      err << "fvn: unknown option " << arg << " (see fvn --help)\n";
      return kExitUsage;
    } else {
      break;
    }
  }
  if (i >= args.size()) {
    err << "fvn: no command given (see fvn --help)\n";
    return kExitUsage;
  }
  const std::string& name = args[i];
  const Command* command = nullptr;
  for (const Command& candidate : commands()) {
    if (candidate.name == name) command = &candidate;
  }
  if (command == nullptr) {
    err << "fvn: unknown command " << name << " (see fvn --help)\n";
    return kExitUsage;
  }
  Context ctx{out, err, resolve_config(config_option, config_env), IniFile{}, json};
  std::error_code ec;
  if (ctx.source.explicit_choice && !std::filesystem::exists(ctx.source.path, ec)) {
    err << "fvn: configuration file not found: " << ctx.source.path << "\n";
    return kExitUsage;
  }
  if (!ctx.config.load(ctx.source.path)) {
    out << "Não foi possível ler a configuração " << ctx.source.path << ": " << last_runtime_message() << "\n";
    return kExitFailure;
  }
  set_working_folder(ctx.working_folder());
  // Copies of the IBPT table left by processes killed mid-sale.
  sale::SaleFormatter::remove_copias_abandonadas();
  const std::vector<std::string> rest(args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());
  return command->run(ctx, rest);
}

}  // namespace fvn::app
