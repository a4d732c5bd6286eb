// `fvn simulate FILE.json`: runs a sale script through the sale facade in
// memory (no database) and prints, as JSON, the result and error triple of
// every operation, every item record and the sale totals, all members under
// their record names. The script format is described in docs/simulate.md.
//
// Exit status 0 when the script ran, whatever its operations returned; 1
// when the file cannot be read or is not a valid script (nothing is run).
#pragma once

#include <iosfwd>
#include <string>

#include "app/fvn_cli.h"
#include "devices/classe_balanca.h"
#include "sale/classe_venda.h"

namespace fvn::app {

// Runs the script read from `script`; the report goes to `out`, a script
// error to `err`. Weighed items read the scale `scale` (fvn simulate: the
// [scale] section). Returns the exit status.
int run_simulation(std::istream& script, std::ostream& out, std::ostream& err, const devices::DadosBalanca& scale = {});

// Runs the script's setup and steps on `venda` and stops at the first
// operation that fails. False, with what went wrong in `problem`, when the
// script is not valid or an operation failed.
bool build_sale(std::istream& script, sale::CLASSE_VENDA& venda, std::string& problem);

// Reads the script without running it (no sale, no database): false, with
// what is wrong in `problem`, when it is not a valid script.
bool read_script(std::istream& script, std::string& problem);

Command simulate_command();

}  // namespace fvn::app
