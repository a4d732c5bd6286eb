// Files read or replaced whole. Replacing: the content goes to
// `path + ".tmp"`, which is then renamed over `path`, so a reader finds the
// old file or the new one, never a part of either.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace fvn {

struct AtomicWrite {
  enum class Step { none, create, write, rename };
  Step failed = Step::none;  // the step that failed; none on success
  int error = 0;             // errno of the failure (0 when none was set)
  explicit operator bool() const { return failed == Step::none; }
};

// Writes `content` to `path` as above. On failure the temporary file is
// removed and `path` is left as it was.
AtomicWrite write_file_atomically(const std::string& path, std::string_view content);

// The content of the file at `path`. When it cannot be read, the runtime
// error is set (from the open's errno, access denied for a folder, the file
// driver's error for a failed read) and there is no value; `open_error`
// then holds the open's errno (0 when the file opened), so a caller may
// take a missing file as empty.
std::optional<std::string> read_file_whole(const std::string& path, int* open_error = nullptr);

}  // namespace fvn
