// `fvn db check`: connects with the configured connection text and checks
// the shop database against what the module relies on: the schema version,
// the tables, the sequences and the stored functions. Prints what is
// missing; exit status 0 when nothing is.
#pragma once

#include "app/fvn_cli.h"

namespace fvn::app {

int db_check(Context& ctx);
Command db_command();

}  // namespace fvn::app
