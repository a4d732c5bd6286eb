#include "app/startup_command.h"

#include <charconv>
#include <ostream>

#include "app/command_line_ui.h"
#include "app/service_commands.h"

namespace fvn::app {

namespace {

std::optional<std::int32_t> whole_number(std::string_view text) {
  std::int32_t value = 0;
  if (text.empty() || std::from_chars(text.data(), text.data() + text.size(), value).ptr != text.data() + text.size()) {
    return std::nullopt;
  }
  return value;
}

}  // namespace

std::int32_t station_number(const IniFile& config, std::string_view key, std::int32_t fallback) {
  return whole_number(config.get("station", key)).value_or(fallback);
}

std::optional<int> module_settings(Context& ctx, ModuleSettings& settings) {
  settings.connection = ctx.database_connection();
  if (settings.connection.empty()) return kExitFailure;
  std::string why;
  if (!service_config(ctx, settings.service, why)) {
    ctx.err << "fvn: " << why << "\n";
    return kExitUsage;
  }
  settings.working_folder = ctx.working_folder();
  settings.company = station_number(ctx.config, "company", 1);
  return std::nullopt;
}

namespace {

int start_up(Context& ctx, const std::vector<std::string>& args) {
  ModuleSettings settings;
  settings.user = station_number(ctx.config, "user", 0);
  if (args.size() == 2 && args[0] == "--user") settings.user = whole_number(args[1]).value_or(-1);
  if ((!args.empty() && args.size() != 2) || settings.user < 0) {
    ctx.err << "fvn: usage: fvn start-up [--user N]\n";
    return kExitUsage;
  }
  if (auto exit = module_settings(ctx, settings)) return *exit;
  CommandLineUi ui(ctx.out, ctx.out);
  std::string error;
  if (fiscovendanotas_init(ui, settings, error) != 1) {
    ctx.out << message_lines(error) << "\n";
    return kExitFailure;
  }
  const ModuleValues& v = fiscovendanotas()->values();
  ctx.out << "empresa: " << v.COD_EMPR << " " << v.EMPRESA << "\n"
          << "cnpj: " << v.CNPJ << "\n"
          << "usuario: " << v.USUARIO << " " << v.NOME_USUARIO << "\n"
          << "libera_desconto: " << v.LIBERA_DESCONTO << "\n"
          << "cancela_item: " << v.CANCELA_ITEM << "\n"
          << "desconto_maximo: " << v.MAX_DESC << "\n"
          << "serie: " << v.SERIE << "\n"
          << "natureza: " << v.NAT_PADRAO << "\n"
          << "cliente: " << v.CLI_PADRA << "\n"
          << "vendedor: " << v.VEN_PADRA << "\n"
          << "tabela_preco: " << v.TAB_PRE_PADRAO << "\n"
          << "emissor_nfce: " << v.I_PAR_EMISSOR_PADRAO_NFCE << "\n"
          << "casas_preco: " << v.I_PAR_CASAS_DECI_VENDA << "\n"
          << "casas_quantidade: " << v.I_PAR_QTD_CASAS_QTD_VENDA << "\n";
  fiscovendanotas_kill();
  return kExitOk;
}

}  // namespace

Command startup_command() {
  return {"start-up", "[--user N]", "the module's start-up for the station and a user: the values it loads", start_up};
}

}  // namespace fvn::app
