// The "nfe_ini.ini" file of the working folder: the [nfce] settings that
// support staff set per station ("cst_csosn", "cest"). Every call reads the
// file again, so a change made while the module runs is seen by the next
// call; a missing file, a file that cannot be read and a missing key all
// read as an empty value.
#pragma once

#include <string>
#include <string_view>

namespace fvn {

inline constexpr std::string_view kNfeIniFile = "nfe_ini.ini";
inline constexpr std::string_view kNfeIniSection = "nfce";

// The value of `key` in section [nfce] of nfe_ini.ini, without surrounding
// blanks; empty when the file or the key is missing.
std::string nfe_ini_value(std::string_view key);

// The same value from a copy of the file read at most once a second (and
// again whenever the working folder changes): for the tax calculator, which
// asks for every item each time a sale recomputes every item. A change made
// by support staff is seen within a second.
std::string nfe_ini_recent_value(std::string_view key);

// Forgets the copy, so that the next nfe_ini_recent_value reads the file.
void nfe_ini_forget();

}  // namespace fvn
