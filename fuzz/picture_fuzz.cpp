// Reading typed text back with a picture: the input is "picture\ntext".
// A value read back must format again with the same picture.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "runtime/picture.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t newline = input.find('\n');
  if (newline == std::string_view::npos) return 0;
  const std::string_view picture = input.substr(0, newline);
  const std::string_view text = input.substr(newline + 1);
  const auto value = fvn::deformat_picture(text, picture);
  if (value && !fvn::parse_picture(picture)) __builtin_trap();  // a value from an invalid picture
  if (value) (void)fvn::format_picture(*value, picture);
  return 0;
}
