#include "nfce/line_joining.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "data/line_file.h"
#include "runtime/runtime_messages.h"
#include "runtime/text.h"

namespace fvn {

int join_lines(const std::string& path, std::string& document, std::string& error) {
  document.clear();
  error.clear();
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) {
    error = "Erro ao abrir: " + std::string{runtime_message(rt::kFileNotFound)} + " Arquivo: " + path;
    return 0;
  }
  LineReaderWriter in(path);
  if (in.open() != 1) {
    error = in.error_text();
    return 0;
  }
  while (in.next_line() == 1) document += in.current_line();
  const bool read_to_end = last_runtime_error() == rt::kEndOfFile;
  const std::string read_error = in.error_text();
  if (in.close() != 1 || !read_to_end) {
    error = read_to_end ? in.error_text() : read_error;
    return 0;
  }
  const std::string joined = path + ".joined";
  LineWriter out(joined);
  if (out.create() != 1 || out.open() != 1 || out.add_line(document, text::length(document)) != 1 || out.close() != 1) {
    error = out.error_text();
    std::filesystem::remove(joined, ec);
    return 0;
  }
  std::filesystem::rename(joined, path, ec);
  if (ec) {
    set_runtime_error(runtime_code_from_errno(ec.value()));
    error = "Erro ao renomear: " + std::string{last_runtime_message()} + " Arquivo: " + path;
    std::filesystem::remove(joined, ec);
    return 0;
  }
  return 1;
}

}  // namespace fvn
