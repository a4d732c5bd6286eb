// `fvn self-check`: a short check that the runtime computes what the module
// relies on, plus the configuration in use, for support staff and scripts.
#pragma once

#include "app/fvn_cli.h"

namespace fvn::app {

int self_check(Context& ctx);
Command self_check_command();

}  // namespace fvn::app
