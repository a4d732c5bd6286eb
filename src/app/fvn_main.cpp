#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "app/fvn_cli.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  return fvn::app::run(args, std::cout, std::cerr, std::getenv("FVN_CONFIG"));
}
