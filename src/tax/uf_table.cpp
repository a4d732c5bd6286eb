#include "tax/uf_table.h"

#include <algorithm>

namespace fvn::tax {

bool uf_valida(std::string_view uf) { return std::binary_search(kUfs.begin(), kUfs.end(), uf); }

}  // namespace fvn::tax
