// A fresh folder for one test, under $FVN_TEST_TMP (set by CTest) or the
// system's temporary folder, named after the running test and removed with
// its content when the test ends.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

namespace fvn::testing {

class TempFolder {
 public:
  TempFolder() {
    const char* base = std::getenv("FVN_TEST_TMP");
    const std::filesystem::path root =
        base != nullptr && *base != '\0' ? std::filesystem::path{base} : std::filesystem::temp_directory_path();
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = info == nullptr ? std::string{"fvn"} : std::string{info->test_suite_name()} + "." + info->name();
    for (char& c : name) {
      if (c == '/') c = '_';
    }
    static int sequence = 0;  // several folders in one test each get their own
    path_ = root / (name + "." + std::to_string(::getpid()) + "." + std::to_string(++sequence));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  [[nodiscard]] const std::filesystem::path& path() const { return path_; }
  [[nodiscard]] std::string file(std::string_view name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

// Empty when the file cannot be read. (Copied through the stream buffer, not
// istreambuf_iterator, whose inlined null checks g++ 12 at -O3 takes for
// null dereferences.)
inline std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  if (in) out << in.rdbuf();
  return out.str();
}

inline void write_file(const std::string& path, std::string_view content) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << content;
}

}  // namespace fvn::testing
