#include "runtime/ini_file.h"

#define SI_CONVERT_ICU
#include <cerrno>

#include <SimpleIni.h>

#include "runtime/atomic_file.h"
#include "runtime/runtime_messages.h"
#include "runtime/text.h"

namespace fvn {

struct IniFile::Impl {
  CSimpleIniA ini{true, false, false};  // UTF-8, single keys, no multi-line values
};

IniFile::IniFile() : impl_(std::make_unique<Impl>()) {}
IniFile::IniFile(std::string path) : path_(std::move(path)), impl_(std::make_unique<Impl>()) {}
IniFile::~IniFile() = default;
IniFile::IniFile(IniFile&&) noexcept = default;
IniFile& IniFile::operator=(IniFile&&) noexcept = default;

bool IniFile::load(std::string path) {
  path_ = std::move(path);
  return load();
}

bool IniFile::load() {
  impl_->ini.Reset();
  int open_error = 0;
  const std::optional<std::string> content = read_file_whole(path_, &open_error);
  if (!content) {
    if (open_error != ENOENT) return false;
    clear_runtime_error();  // a missing file reads as empty
    return true;
  }
  return load_text(*content);
}

bool IniFile::load_text(std::string_view text) {
  impl_->ini.Reset();
  if (impl_->ini.LoadData(text.data(), text.size()) < 0) {
    set_runtime_error(rt::kFileDriverError);
    return false;
  }
  clear_runtime_error();
  return true;
}

bool IniFile::has(std::string_view section, std::string_view key) const {
  return impl_->ini.GetValue(std::string{section}.c_str(), std::string{key}.c_str()) != nullptr;
}

std::string IniFile::get(std::string_view section, std::string_view key, std::string_view fallback) const {
  const char* value = impl_->ini.GetValue(std::string{section}.c_str(), std::string{key}.c_str());
  return value == nullptr ? std::string{fallback} : text::trim(value);
}

void IniFile::set(std::string_view section, std::string_view key, std::string_view value) {
  impl_->ini.SetValue(std::string{section}.c_str(), std::string{key}.c_str(), std::string{value}.c_str());
}

bool IniFile::remove(std::string_view section, std::string_view key) {
  return impl_->ini.Delete(std::string{section}.c_str(), std::string{key}.c_str(), true);
}

std::vector<std::string> IniFile::sections() const {
  CSimpleIniA::TNamesDepend names;
  impl_->ini.GetAllSections(names);
  names.sort(CSimpleIniA::Entry::LoadOrder());
  std::vector<std::string> out;
  for (const auto& entry : names) out.emplace_back(entry.pItem);
  return out;
}

std::vector<std::string> IniFile::keys(std::string_view section) const {
  CSimpleIniA::TNamesDepend names;
  impl_->ini.GetAllKeys(std::string{section}.c_str(), names);
  names.sort(CSimpleIniA::Entry::LoadOrder());
  std::vector<std::string> out;
  for (const auto& entry : names) out.emplace_back(entry.pItem);
  return out;
}

bool IniFile::save() const {
  std::string content;
  if (impl_->ini.Save(content) < 0) {
    set_runtime_error(rt::kFileDriverError);
    return false;
  }
  const AtomicWrite written = write_file_atomically(path_, content);
  if (!written) {
    set_runtime_error(written.failed == AtomicWrite::Step::write ? rt::kFileDriverError
                                                                 : runtime_code_from_errno(written.error));
    return false;
  }
  clear_runtime_error();
  return true;
}

}  // namespace fvn
