// The INI-file service: sections of "key=value" lines, keys and sections
// compared without regard to case. A file that does not exist reads as an
// empty file; saving writes a new file and renames it over the old one, so
// a failed save never leaves a half-written file.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace fvn {

class IniFile {
 public:
  IniFile();
  explicit IniFile(std::string path);
  ~IniFile();
  IniFile(IniFile&&) noexcept;
  IniFile& operator=(IniFile&&) noexcept;
  IniFile(const IniFile&) = delete;
  IniFile& operator=(const IniFile&) = delete;

  [[nodiscard]] const std::string& path() const { return path_; }

  // Reads the file named at construction (or `path`). A missing file gives
  // an empty INI and true; a file that exists but cannot be read or parsed
  // gives false and sets the runtime error.
  bool load();
  bool load(std::string path);

  // Parses INI text (for tests and for configuration held in memory).
  bool load_text(std::string_view text);

  [[nodiscard]] bool has(std::string_view section, std::string_view key) const;
  // The value, trimmed of blanks; `fallback` when the key is missing.
  [[nodiscard]] std::string get(std::string_view section, std::string_view key, std::string_view fallback = {}) const;
  void set(std::string_view section, std::string_view key, std::string_view value);
  bool remove(std::string_view section, std::string_view key);

  [[nodiscard]] std::vector<std::string> sections() const;
  [[nodiscard]] std::vector<std::string> keys(std::string_view section) const;

  // Writes the INI to its path; false with the runtime error set on failure.
  bool save() const;

 private:
  struct Impl;
  std::string path_;
  std::unique_ptr<Impl> impl_;
};

}  // namespace fvn
