// Support commands over the shop's customers and users:
//   fvn customer check CODE [--total VALUE]
//       runs every credit and block check of the customer for the station's
//       company ([station] company) with a sale of VALUE (default 0.00) and
//       prints one line per check: its name, "livre", "liberação" (must be
//       released) or "aviso", and the reason; then the available credit.
//   fvn user add LOGIN NAME [--code N] [--flags LIST] [--max-discount P]
//       adds a user; LIST is comma-separated: desconto, cancela, prazo,
//       bloqueado, estoque, cadastro, propria (docs/rights.md).
//   fvn user passwd LOGIN
//       sets a user's password.
// Both user commands read the password from the first line of standard
// input, never from the command line (where any process list shows it).
#pragma once

#include <istream>

#include "app/fvn_cli.h"

namespace fvn::app {

Command customer_command();
// `in` is where the password is read from (standard input in fvn).
Command user_command(std::istream& in);

}  // namespace fvn::app
