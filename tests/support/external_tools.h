// The outside programs the tests read results back with: pdftotext for a
// PDF's text, zbarimg for a QR code in an image. Real processes, so a test
// checks what a reader of the file would see.
#pragma once

#include <array>
#include <cstdio>
#include <string>

namespace fvn::testing {

// What `command` writes on its standard output (empty when it cannot run).
inline std::string command_output(const std::string& command) {
  std::FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return {};
  std::string out;
  std::array<char, 4096> buffer{};
  while (std::fgets(buffer.data(), static_cast<int>(buffer.size()), pipe) != nullptr) out += buffer.data();
  ::pclose(pipe);
  return out;
}

// The text of a PDF, laid out as on the page.
inline std::string pdf_text(const std::string& path) {
  return command_output("pdftotext -layout '" + path + "' - 2>/dev/null");
}

// The text of the QR code(s) in an image, without the final line break.
inline std::string qr_text(const std::string& path) {
  std::string out = command_output("zbarimg --quiet --raw '" + path + "' 2>/dev/null");
  while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
  return out;
}

}  // namespace fvn::testing
