// The sale-script reader of fvn simulate and fvn sell: the bytes are read as
// a facade script (setup and steps), without running it. A script refused
// must come with its reason.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "app/simulate_command.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::istringstream script(std::string(reinterpret_cast<const char*>(data), size));
  std::string problem;
  if (!fvn::app::read_script(script, problem) && problem.empty()) __builtin_trap();
  return 0;
}
