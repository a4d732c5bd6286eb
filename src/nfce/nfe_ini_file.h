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

}  // namespace fvn
