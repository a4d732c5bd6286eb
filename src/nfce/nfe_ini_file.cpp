#include "nfce/nfe_ini_file.h"

#include <chrono>

#include "runtime/ini_file.h"
#include "runtime/working_folder.h"

namespace fvn {

namespace {

constexpr std::chrono::seconds kRecent{1};

struct RecentCopy {
  std::string path;
  std::chrono::steady_clock::time_point read_at{};
  IniFile ini;
  bool valid = false;
};

// Per thread, like the working folder it depends on.
RecentCopy& recent_copy() {
  thread_local RecentCopy copy;
  return copy;
}

}  // namespace

std::string nfe_ini_value(std::string_view key) {
  IniFile ini(working_file(kNfeIniFile));
  if (!ini.load()) return {};
  return ini.get(kNfeIniSection, key);
}

std::string nfe_ini_recent_value(std::string_view key) {
  RecentCopy& copy = recent_copy();
  const std::string path = working_file(kNfeIniFile);
  const auto now = std::chrono::steady_clock::now();
  if (!copy.valid || copy.path != path || now - copy.read_at >= kRecent) {
    copy.ini = IniFile(path);
    // A file that cannot be read counts as missing: every key reads as empty.
    if (!copy.ini.load()) copy.ini = IniFile(path);
    copy.path = path;
    copy.read_at = now;
    copy.valid = true;
  }
  return copy.ini.get(kNfeIniSection, key);
}

void nfe_ini_forget() { recent_copy().valid = false; }

}  // namespace fvn
