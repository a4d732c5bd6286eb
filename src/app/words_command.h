// `fvn words AMOUNT`: the amount in words as the installment forms print it,
// leading blank included (" um Real", "Um Mil e Quinhentos Reais").
#pragma once

#include "app/fvn_cli.h"

namespace fvn::app {

Command words_command();

}  // namespace fvn::app
