#include "runtime/working_folder.h"

namespace fvn {

namespace {
thread_local std::string folder = ".";
}  // namespace

const std::string& working_folder() { return folder; }

void set_working_folder(std::string new_folder) { folder = new_folder.empty() ? "." : std::move(new_folder); }

std::string working_file(std::string_view name) {
  std::string path = folder;
  if (path.back() != '/') path += '/';
  path += name;
  return path;
}

}  // namespace fvn
