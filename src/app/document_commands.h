// The NFC-e document from the command line:
//   fvn key DIGITS             the 44-digit access key of a 43-digit base (its
//                              check digit appended), or why the base is refused
//   fvn xml SALE_ID [--out DIR]  writes the invoice XML of a recorded sale into
//                              the company's NFC-e folder (or DIR) and prints
//                              the file's path, or the failure's text
#pragma once

#include "app/fvn_cli.h"

namespace fvn::app {

Command key_command();
Command xml_command();

}  // namespace fvn::app
