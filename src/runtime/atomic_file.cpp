#include "runtime/atomic_file.h"

#include <cerrno>
#include <cstdio>

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

}  // namespace fvn
