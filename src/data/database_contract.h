// What the module relies on in the shop database: the schema version, the
// tables, the sequences and the stored functions. The module checks the
// version at start-up; `fvn db check` checks everything and lists what is
// missing.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace fvn {

class PassthroughTable;

// The schema version (tversao_esquema) this build works with.
inline constexpr int kSchemaVersion = 9;

// Names the statements of the module use.
const std::vector<std::string_view>& contract_tables();
const std::vector<std::string_view>& contract_sequences();
// Functions with their argument types: "inclui_sequencia(integer)".
const std::vector<std::string_view>& contract_functions();
// Columns added after the first schema version, as "table.column".
const std::vector<std::string_view>& contract_columns();

struct ContractReport {
  int schema_version = 0;            // 0 when the database has no version row
  std::vector<std::string> missing;  // "tabela asaidas", "coluna asaidas.i_asa_situacao_nfce", ...
  [[nodiscard]] bool ok() const { return schema_version == kSchemaVersion && missing.empty(); }
};

// Runs the checks through an open passthrough table. Returns 1 when the
// checks ran (whatever they found) and 0 when a statement failed, with the
// table's error state set.
int check_database_contract(PassthroughTable& table, ContractReport& report);

// The start-up check: 1 when the database carries kSchemaVersion; 0 with
// `error` set to a message for the user otherwise.
int verify_schema_version(PassthroughTable& table, std::string& error);

}  // namespace fvn
