// The working folder: where the module finds its code tables, "nfe_ini.ini"
// and "ibpt.csv", and writes its own working files. The legacy module used
// the process's current folder; here it is set once at start-up from the
// configuration (the current folder until then). Per thread, like every
// module-wide value.
#pragma once

#include <string>
#include <string_view>

namespace fvn {

const std::string& working_folder();
void set_working_folder(std::string folder);

// `name` inside the working folder ("tb2.txt" -> "<folder>/tb2.txt").
std::string working_file(std::string_view name);

}  // namespace fvn
