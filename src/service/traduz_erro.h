// Translation of the service's schema rejections: a raw exception text that
// names the element at fault becomes a message in plain words naming the
// registration to correct (client's neighbourhood, CPF or CNPJ, a
// telephone, the carrier's CPF or CNPJ, an item's NCM, a state
// registration). A text without "EXCEPTION" (upper case, exactly) or with
// none of the keywords is returned as it is. Applying it twice gives the
// same text as applying it once.
#pragma once

#include <string>
#include <string_view>

namespace fvn {

std::string traduz_erro(std::string_view error);

}  // namespace fvn
