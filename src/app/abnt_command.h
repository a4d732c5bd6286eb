// `fvn abnt AMOUNT`: the amount rounded to two decimals by the sale's ABNT
// rule (Arredonda_ABNT), for support staff checking an approximate-tax value.
#pragma once

#include <optional>
#include <string_view>

#include "app/fvn_cli.h"

namespace fvn::app {

// AMOUNT as typed: digits with an optional sign and a "." or "," before the
// decimals ("2.345", "-0,995"); std::nullopt for anything else.
std::optional<double> parse_amount(std::string_view text);

Command abnt_command();

}  // namespace fvn::app
