// `fvn validate [--dir DIR] KIND VALUE [UF]`: one field check of the module's
// validator. KIND is cpf, cnpj, ie (needs the UF), cfop, pais, municipio,
// pis, ipi, cofins, placa or telefone. Prints "OK" (exit 0) or the
// validator's message with "|" turned into line breaks (exit 1). The code
// tables come from the working folder of the configuration, or from DIR.
#pragma once

#include <string>
#include <vector>

#include "app/fvn_cli.h"

namespace fvn::app {

int validate(Context& ctx, const std::vector<std::string>& args);
Command validate_command();

}  // namespace fvn::app
