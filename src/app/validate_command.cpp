#include "app/validate_command.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <ostream>
#include <string_view>

#include "nfce/validador_fiscal.h"
#include "runtime/headless_ui.h"
#include "runtime/working_folder.h"

namespace fvn::app {

namespace {

constexpr std::string_view kUsage = "[--dir DIR] KIND VALUE [UF]";

struct Kind {
  std::string_view name;
  int (VALIDADOR_FISCAL::*check)(std::string_view);  // null for ie, which takes the UF too
};

constexpr std::array<Kind, 11> kKinds = {{
    {"cpf", &VALIDADOR_FISCAL::Valida_CPF},
    {"cnpj", &VALIDADOR_FISCAL::Valida_CNPJ},
    {"ie", nullptr},
    {"cfop", &VALIDADOR_FISCAL::Valida_CFOP},
    {"pais", &VALIDADOR_FISCAL::Valida_Pais},
    {"municipio", &VALIDADOR_FISCAL::Valida_Municipio},
    {"pis", &VALIDADOR_FISCAL::Valida_PIS},
    {"ipi", &VALIDADOR_FISCAL::Valida_IPI},
    {"cofins", &VALIDADOR_FISCAL::Valida_Cofins},
    {"placa", &VALIDADOR_FISCAL::Valida_Placa},
    {"telefone", &VALIDADOR_FISCAL::Valida_Telefone},
}};

int usage_error(Context& ctx, std::string_view why) {
  ctx.err << "fvn: validate: " << why << " (usage: fvn validate " << kUsage << ")\n";
  return kExitUsage;
}

}  // namespace

int validate(Context& ctx, const std::vector<std::string>& args) {
  std::string folder;
  std::vector<std::string> positional;
  bool options_done = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (!options_done && arg == "--") {
      options_done = true;
      continue;
    }
    if (!options_done && arg == "--dir") {
      if (i + 1 >= args.size() || args[i + 1].empty()) return usage_error(ctx, "--dir needs a folder");
      folder = args[++i];
      continue;
    }
    if (!options_done && arg.starts_with("--dir=")) {
      folder = arg.substr(6);
      if (folder.empty()) return usage_error(ctx, "--dir needs a folder");
      continue;
    }
    positional.push_back(arg);
  }
  if (positional.empty()) return usage_error(ctx, "no kind given");
  const auto kind = std::find_if(kKinds.begin(), kKinds.end(),
                                 [&](const Kind& candidate) { return candidate.name == positional[0]; });
  if (kind == kKinds.end()) return usage_error(ctx, "unknown kind " + positional[0]);
  const std::size_t expected = kind->check == nullptr ? 3 : 2;
  if (positional.size() < expected) {
    return usage_error(ctx, kind->check == nullptr ? "ie needs the registration and the UF" : "no value given");
  }
  if (positional.size() > expected) return usage_error(ctx, "too many arguments");
  if (!folder.empty()) {
    std::error_code ec;
    if (!std::filesystem::is_directory(folder, ec)) return usage_error(ctx, "no such folder: " + folder);
    set_working_folder(folder);
  }

  // Messages about missing tables go to standard error; the answer to standard output.
  HeadlessUi ui(ctx.err);
  VALIDADOR_FISCAL validator(ui);
  const int valid = kind->check == nullptr ? validator.Valida_IE(positional[1], positional[2])
                                           : (validator.*kind->check)(positional[1]);
  if (valid == 1) {
    ctx.out << "OK\n";
    return kExitOk;
  }
  ctx.out << message_lines(validator.Get_Error()) << "\n";
  return kExitFailure;
}

Command validate_command() {
  return {"validate", std::string{kUsage},
          "check a value: cpf cnpj ie cfop pais municipio pis ipi cofins placa telefone (ie takes the UF)", validate};
}

}  // namespace fvn::app
