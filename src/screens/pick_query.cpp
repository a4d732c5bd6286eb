#include "screens/pick_query.h"

namespace fvn {

std::optional<std::string> pick_from_query(HostUi& ui, PassthroughTable& table, const PickQuery& query) {
  table.clear_fields();
  if (table.open() != 1 || table.execute(query.sql) != 1) {
    ui.message(table.error_text("Erro ao consultar a lista.|"), "Erro", MessageIcon::Error);
    return std::nullopt;
  }
  PickListRequest request{query.title, query.columns, {}, query.current.empty() ? 1 : 0, {}};
  while (table.next() == 1) {
    std::vector<std::string> row;
    row.reserve(static_cast<std::size_t>(table.column_count()));
    for (int column = 0; column < table.column_count(); ++column) row.push_back(table.value(column));
    if (!query.current.empty() && !row.empty() && row.front() == query.current) {
      request.default_row = static_cast<int>(request.rows.size()) + 1;
    }
    request.rows.push_back(std::move(row));
  }
  table.close();
  if (request.rows.empty()) request.default_row = 0;
  const int chosen = ui.pick_list(request);
  if (chosen < 1 || static_cast<std::size_t>(chosen) > request.rows.size()) return std::nullopt;
  return request.rows[static_cast<std::size_t>(chosen) - 1].front();
}

}  // namespace fvn
