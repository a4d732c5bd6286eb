// `fvn scale read [--device PATH]`: one weight through the scale configured
// in [scale] (see devices/classe_balanca.h): "peso: 1.250" and exit 0, or
// "Erro ao ler peso: ..." and exit 1. --device replaces the configured
// port's device path (a pseudo-terminal of scale-sim, say). Model 4 asks
// for the weight on standard input.
#pragma once

#include "app/fvn_cli.h"

namespace fvn::app {

Command scale_command();

}  // namespace fvn::app
