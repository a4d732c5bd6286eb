// Replacing a file whole: the content goes to `path + ".tmp"`, which is then
// renamed over `path`, so a reader finds the old file or the new one, never a
// part of either.
#pragma once

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

}  // namespace fvn
