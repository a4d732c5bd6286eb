#include "runtime/atomic_file.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "runtime/runtime_messages.h"

namespace fvn {

AtomicWrite write_file_atomically(const std::string& path, std::string_view content) {
  const std::string temporary = path + ".tmp";
  errno = 0;
  std::FILE* file = std::fopen(temporary.c_str(), "wb");
  if (file == nullptr) return {AtomicWrite::Step::create, errno};
  const bool written = std::fwrite(content.data(), 1, content.size(), file) == content.size();
  const int write_error = errno;
  const bool closed = std::fclose(file) == 0;
  if (!written || !closed) {
    const int error = written ? errno : write_error;
    std::remove(temporary.c_str());
    return {AtomicWrite::Step::write, error};
  }
  if (std::rename(temporary.c_str(), path.c_str()) != 0) {
    const int error = errno;
    std::remove(temporary.c_str());
    return {AtomicWrite::Step::rename, error};
  }
  return {};
}

std::optional<std::string> read_file_whole(const std::string& path, int* open_error) {
  if (open_error != nullptr) *open_error = 0;
  // A folder opens as a stream that reads nothing; it is no file to read.
  if (std::error_code ec; std::filesystem::is_directory(path, ec)) {
    set_runtime_error(rt::kAccessDenied);
    return std::nullopt;
  }
  errno = 0;
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    const int error = errno != 0 ? errno : ENOENT;
    if (open_error != nullptr) *open_error = error;
    set_runtime_error(runtime_code_from_errno(error));
    return std::nullopt;
  }
  std::ostringstream content;
  content << in.rdbuf();
  if (in.bad()) {
    set_runtime_error(rt::kFileDriverError);
    return std::nullopt;
  }
  return std::move(content).str();
}

}  // namespace fvn
