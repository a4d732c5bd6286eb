// A pick list over a SQL query: the rows of the query are offered through
// HostUi::pick_list (the desktop's list has incremental search, "&Selecionar
// (F2)" and "Sai&r (F12)"), and the chosen row's first column is the code
// returned. Nothing when the user leaves or the query fails (the failure
// is shown titled "Erro").
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "data/passthrough_table.h"
#include "runtime/host_ui.h"

namespace fvn {

struct PickQuery {
  std::string title;
  std::vector<std::string> columns;  // headings, one per selected column
  std::string sql;                   // its first column is the code
  std::string current;               // the code to start on, when any
};

std::optional<std::string> pick_from_query(HostUi& ui, PassthroughTable& table, const PickQuery& query);

}  // namespace fvn
