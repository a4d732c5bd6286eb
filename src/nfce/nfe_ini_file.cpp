#include "nfce/nfe_ini_file.h"

#include "runtime/ini_file.h"
#include "runtime/working_folder.h"

namespace fvn {

std::string nfe_ini_value(std::string_view key) {
  IniFile ini(working_file(kNfeIniFile));
  if (!ini.load()) return {};
  return ini.get(kNfeIniSection, key);
}

}  // namespace fvn
