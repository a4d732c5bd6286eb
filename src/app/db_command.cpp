#include "app/db_command.h"

#include <ostream>

#include <nlohmann/json.hpp>

#include "data/connection_text.h"
#include "data/database_contract.h"
#include "data/passthrough_table.h"

namespace fvn::app {

int db_check(Context& ctx) {
  const std::string connection = ctx.database_connection("(scripts/db init escreve a do banco de demonstração)");
  if (connection.empty()) return kExitFailure;
  std::string problem;
  const auto params = parse_connection_text(connection, &problem);
  if (!params) {
    ctx.out << message_lines(problem) << "\n";
    return kExitFailure;
  }
  PassthroughTable table("TABELA_A", connection);
  ContractReport report;
  if (table.open() != 1) {
    ctx.out << message_lines(table.error_text("Erro ao abrir tabela|")) << "\n";
    return kExitFailure;
  }
  if (check_database_contract(table, report) != 1) {
    ctx.out << message_lines(table.error_text("Erro ao verificar o banco de dados.|")) << "\n";
    table.close();
    return kExitFailure;
  }
  table.close();
  if (ctx.json) {
    const nlohmann::json answer = {{"ok", report.ok()},
                                   {"connection", params->describe()},
                                   {"schema_version", report.schema_version},
                                   {"expected_version", kSchemaVersion},
                                   {"missing", report.missing}};
    ctx.out << answer.dump() << "\n";
  } else {
    ctx.out << "conexão " << params->describe() << "\n"
            << "versão do esquema " << report.schema_version << " (esperada " << kSchemaVersion << ")"
            << (report.schema_version == kSchemaVersion ? "" : " INCOMPATÍVEL") << "\n"
            << contract_tables().size() << " tabelas, " << contract_sequences().size() << " sequências, "
            << contract_functions().size() << " funções verificadas\n";
    for (const std::string& missing : report.missing) ctx.out << "falta " << missing << "\n";
    ctx.out << (report.ok() ? "OK" : "FALHOU") << "\n";
  }
  return report.ok() ? kExitOk : kExitFailure;
}

Command db_command() {
  return {"db", "check", "check the shop database: schema version, tables, sequences and stored functions",
          [](Context& ctx, const std::vector<std::string>& args) {
            if (args.size() != 1 || args[0] != "check") {
              ctx.err << "fvn: usage: fvn db check\n";
              return kExitUsage;
            }
            return db_check(ctx);
          }};
}

}  // namespace fvn::app
