// Settings of the "nfe_ini.ini" file of the working folder, section "nfce",
// as the tax calculator reads them. The calculator asks for them for every
// item it computes, and a sale recomputes every item whenever it changes, so
// the file is read again only when its path changes or a second has passed
// since it was last read: a change made by support staff is seen by the next
// item sold, without reading the file thousands of times per sale.
#pragma once

#include <string>
#include <string_view>

namespace fvn::tax {

// The value of `key` in section "nfce" of "nfe_ini.ini" in the working
// folder, trimmed; empty when the file or the key is missing.
std::string nfe_ini_nfce(std::string_view key);

// Forgets what was read, so the next call reads the file again.
void nfe_ini_esquece();

}  // namespace fvn::tax
