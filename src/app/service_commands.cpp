#include "app/service_commands.h"

#include <charconv>
#include <ostream>

#include <nlohmann/json.hpp>

#include "app/command_line_ui.h"
#include "runtime/text.h"
#include "service/nfce_servico.h"
#include "service/operation_log.h"

namespace fvn::app {

namespace {

// A whole number of [service] `key` of at least `minimum`; `value` stays as
// it is when the key is missing.
template <typename Number>
bool read_number(const Context& ctx, std::string_view key, Number& value, Number minimum, std::string& why) {
  const std::string text = ctx.config.get(kServiceSection, key);
  if (text.empty()) return true;
  Number parsed = 0;
  const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), parsed);
  if (ec != std::errc{} || ptr != text.data() + text.size() || parsed < minimum) {
    why = "[service] " + std::string{key} + " must be a number of at least " + std::to_string(minimum) + ": " + text;
    return false;
  }
  value = parsed;
  return true;
}

// The pieces every service command shares.
struct Session {
  Session(Context& ctx, const GatewayConfig& config) : ui(ctx.out, ctx.err), log(ui), client(ui, config), err(ctx.err) {
    log.set_base_folder(ctx.config.get(kServiceSection, kNfceFolderKey, kDefaultNfceFolder));
  }

  void status(std::string_view message) {
    log.status_line(message);
    if (!log.error_text().empty() && !warned) {
      err << "fvn: aviso: " << log.error_text() << "\n";
      warned = true;
    }
  }

  CommandLineUi ui;
  OperationLog log;
  NFCE_SERVICO client;
  std::ostream& err;
  bool warned = false;
};

}  // namespace

bool service_config(const Context& ctx, GatewayConfig& config, std::string& why) {
  config.url = ctx.config.get(kServiceSection, kServiceUrlKey, kDefaultServiceUrl);
  config.login = ctx.config.get(kServiceSection, kServiceLoginKey);
  config.group = ctx.config.get(kServiceSection, kServiceGroupKey);
  config.password = ctx.config.get(kServiceSection, kServicePasswordKey);
  return read_number(ctx, kServiceConnectTimeoutKey, config.connect_timeout_ms, 1L, why) &&
         read_number(ctx, kServiceTotalTimeoutKey, config.total_timeout_ms, 1L, why) &&
         read_number(ctx, kServiceStatusAttemptsKey, config.status_attempts, 1, why) &&
         read_number(ctx, kServiceStatusBackoffKey, config.status_backoff_ms, 0L, why) &&
         read_number(ctx, kServiceUnknownKeyGraceKey, config.unknown_key_grace_ms, 0L, why);
}

namespace {

// The service settings; when they are wrong, says why on the error stream.
bool service_config_or_say(const Context& ctx, GatewayConfig& config) {
  std::string why;
  if (service_config(ctx, config, why)) return true;
  ctx.err << "fvn: " << why << "\n";
  return false;
}

}  // namespace

int ping(Context& ctx, const std::vector<std::string>& args) {
  if (!args.empty()) {
    ctx.err << "fvn: ping takes no arguments\n";
    return kExitUsage;
  }
  GatewayConfig config;
  if (!service_config_or_say(ctx, config)) return kExitUsage;
  Session session(ctx, config);
  session.status("Efetuando ping no servidor de NFCe...");
  if (session.client.ping() == 1) {
    session.status("Ping no servidor de NFCe OK");
    return kExitOk;
  }
  const std::string error = session.client.error_text();
  session.status("Retorno Quorvex - Erro ao efetuar ping no servidor de NFCe.," + text::clip(error));
  ctx.out << message_lines("Verifique sua conectividade com a internet ou se o serviço está ativo no servidor.|" +
                           error)
          << "\n";
  return kExitFailure;
}

int status(Context& ctx, const std::vector<std::string>& args) {
  if (args.size() != 1) {
    ctx.err << "fvn: status: usage: fvn status KEY\n";
    return kExitUsage;
  }
  const std::string key = digits_of(args[0]);
  if (key.size() != 44 || key != args[0]) {
    ctx.err << "fvn: status: the access key must be 44 digits\n";
    return kExitUsage;
  }
  GatewayConfig config;
  if (!service_config_or_say(ctx, config)) return kExitUsage;
  Session session(ctx, config);
  NFCE_SERVICO& client = session.client;
  if (client.Set_Login(config.password, config.login, config.group, key.substr(6, 14)) != 1) {
    session.status("Retorno Quorvex - Erro ao setar informações para web quorvex," + text::clip(client.error_text()));
    ctx.out << message_lines("Erro ao setar informações para web quorvex|" + client.error_text()) << "\n";
    return kExitFailure;
  }
  session.status("Consultando status da NFCe " + key + "...");
  StatusResult result;
  if (client.statuschave_nfce(key, result) != 1) {
    session.status("Retorno Quorvex - Erro ao consultar status da NFCe," + text::clip(client.error_text()));
    ctx.out << message_lines("Erro ao consultar status da NFCe.|" + client.error_text()) << "\n";
    return kExitFailure;
  }
  session.status("Status da NFCe: " + result.authorisation_status);
  std::vector<std::pair<std::string, std::string>> fields = {
      {"statusAutorizacao", result.authorisation_status},
      {"statusCancelamento", result.cancellation_status},
      {"numero", result.number},
      {"chave", result.access_key},
      {"numeroProtocoloAutorizacao", result.protocol},
      {"oid", result.oid},
      {"urlQrCode", result.qr_code_url},
      {"dataAutorizacao", result.authorisation_date},
      {"horaAutorizacao", result.authorisation_time},
      {"emContingencia", std::to_string(result.contingency)},
  };
  if (!result.replacement_key.empty()) {  // the number was voided because the note was renumbered
    fields.emplace_back("chaveSubstituta", result.replacement_key);
    fields.emplace_back("numeroSubstituto", result.replacement_number);
  }
  if (ctx.json) {
    nlohmann::json out = nlohmann::json::object();
    for (const auto& [name, value] : fields) out[name] = value;
    ctx.out << out.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
  } else {
    for (const auto& [name, value] : fields) ctx.out << name << ": " << value << "\n";
  }
  return kExitOk;
}

Command ping_command() { return {"ping", "", "check that the NFC-e service answers", ping}; }

Command status_command() {
  return {"status", "KEY", "the NFC-e service's status of the note with this access key", status};
}

}  // namespace fvn::app
