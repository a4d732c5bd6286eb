// A working folder for tests that need the fiscal code tables (CFOP,
// municipalities, PIS, COFINS, IPI...): the tables of db/tables linked into
// a test folder. Needs FVN_TABLES_DIR, which the test program defines.
#pragma once

#include <filesystem>
#include <string_view>

#include "support/temp_folder.h"

namespace fvn::testing {

// Links every code table into `folder` but `skipped`; a link already there is
// kept, so one folder can serve several runs.
inline void link_code_tables(const std::filesystem::path& folder, std::string_view skipped = {}) {
  for (const auto& table : std::filesystem::directory_iterator(FVN_TABLES_DIR)) {
    const std::filesystem::path link = folder / table.path().filename();
    if (table.path().filename() == skipped || std::filesystem::is_symlink(link)) continue;
    std::filesystem::create_symlink(table.path(), link);
  }
}

// The code tables and the nfe_ini.ini of the invoice tests (CEST on, the
// CST/CSOSN check off) in `folder`.
inline void invoice_working_folder(const TempFolder& folder) {
  link_code_tables(folder.path());
  write_file(folder.file("nfe_ini.ini"), "[nfce]\ncst_csosn=0\ncest=1\n");
}

}  // namespace fvn::testing
