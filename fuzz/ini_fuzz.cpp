// The INI reader over any text: every section and key it lists must be
// found again by name, and a value set must read back.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/ini_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  fvn::IniFile ini;
  if (!ini.load_text(text)) return 0;
  for (const std::string& section : ini.sections()) {
    for (const std::string& key : ini.keys(section)) {
      if (!ini.has(section, key)) __builtin_trap();
      (void)ini.get(section, key);
    }
  }
  ini.set("fuzz", "key", "value");
  if (ini.get("FUZZ", "KEY") != "value") __builtin_trap();
  return 0;
}
