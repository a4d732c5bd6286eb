// `fvn simulate FILE.json`: runs a sale script through the sale facade in
// memory (no database) and prints, as JSON, the result and error triple of
// every operation, every item record and the sale totals, all members under
// their record names. The script format is described in docs/simulate.md.
//
// Exit status 0 when the script ran, whatever its operations returned; 1
// when the file cannot be read or is not a valid script (nothing is run).
#pragma once

#include <iosfwd>
#include <stdexcept>
#include <string>

#include <nlohmann/json.hpp>

#include "app/fvn_cli.h"
#include "app/sale_report.h"
#include "devices/classe_balanca.h"
#include "runtime/clock.h"
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

// The readers of script values: each returns the value or throws
// ScriptError naming `where` and what was expected.
struct ScriptError : std::runtime_error {
  using std::runtime_error::runtime_error;
};
std::int32_t as_int(const Json& value, const std::string& where);
double as_double(const Json& value, const std::string& where);
std::string as_text(const Json& value, const std::string& where);
// "YYYY-MM-DD", "today" or the runtime's day number.
Date as_date(const Json& value, const std::string& where);

Command simulate_command();

}  // namespace fvn::app
