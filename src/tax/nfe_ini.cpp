#include "tax/nfe_ini.h"

#include <chrono>

#include "runtime/ini_file.h"
#include "runtime/working_folder.h"

namespace fvn::tax {

namespace {

constexpr std::chrono::seconds kValidade{1};

struct Lido {
  std::string caminho;
  std::chrono::steady_clock::time_point quando{};
  IniFile ini;
  bool valido = false;
};

// Per thread, like the working folder it depends on.
Lido& lido() {
  thread_local Lido l;
  return l;
}

}  // namespace

std::string nfe_ini_nfce(std::string_view key) {
  Lido& l = lido();
  const std::string caminho = working_file("nfe_ini.ini");
  const auto agora = std::chrono::steady_clock::now();
  if (!l.valido || l.caminho != caminho || agora - l.quando >= kValidade) {
    l.ini = IniFile(caminho);
    // A file that cannot be read counts as missing: every key reads as empty.
    if (!l.ini.load()) l.ini = IniFile(caminho);
    l.caminho = caminho;
    l.quando = agora;
    l.valido = true;
  }
  return l.ini.get("nfce", key);
}

void nfe_ini_esquece() { lido().valido = false; }

}  // namespace fvn::tax
