#include "app/audit_command.h"

#include <array>
#include <charconv>
#include <optional>
#include <ostream>
#include <string>

#include "data/passthrough_table.h"
#include "nfce/audit_rows.h"
#include "nfce/auditor_fiscal.h"
#include "runtime/headless_ui.h"
#include "runtime/text.h"

namespace fvn::app {

namespace {

constexpr std::string_view kUsage =
    "fvn: usage: fvn audit KIND CODE [--emitter N] [--company N] [--customer N]\n"
    "     KIND: company, customer, operation, emitter, carrier, product\n";
constexpr std::array<std::string_view, 6> kKinds = {"company", "customer", "operation",
                                                    "emitter", "carrier",  "product"};
constexpr std::string_view kStationSection = "station";

std::optional<std::int32_t> code_of(std::string_view text) {
  std::int32_t code = 0;
  const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), code);
  if (ec != std::errc{} || ptr != text.data() + text.size() || code < 0) return std::nullopt;
  return code;
}

struct Request {
  std::string kind;
  std::int32_t code = 0;
  std::optional<std::int32_t> emitter;
  std::optional<std::int32_t> company;
  std::optional<std::int32_t> customer;
};

// Parses the arguments; false after printing the usage error.
bool parse(Context& ctx, const std::vector<std::string>& args, Request& request) {
  std::vector<std::string> positional;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    std::optional<std::int32_t>* option = nullptr;
    if (arg == "--emitter") option = &request.emitter;
    if (arg == "--company") option = &request.company;
    if (arg == "--customer") option = &request.customer;
    if (option != nullptr) {
      if (i + 1 >= args.size() || !(*option = code_of(args[i + 1]))) {
        ctx.err << "fvn: audit: " << arg << " needs a code\n" << kUsage;
        return false;
      }
      ++i;
    } else if (arg.starts_with("--")) {
      ctx.err << "fvn: audit: unknown option " << arg << "\n" << kUsage;
      return false;
    } else {
      positional.push_back(arg);
    }
  }
  if (positional.size() != 2) {
    ctx.err << kUsage;
    return false;
  }
  request.kind = positional[0];
  if (std::find(kKinds.begin(), kKinds.end(), request.kind) == kKinds.end()) {
    ctx.err << "fvn: audit: unknown kind " << request.kind << "\n" << kUsage;
    return false;
  }
  const auto code = code_of(positional[1]);
  if (!code) {
    ctx.err << "fvn: audit: not a code: " << positional[1] << "\n" << kUsage;
    return false;
  }
  request.code = *code;
  return true;
}

// The code given as an option, else the station's value.
std::optional<std::int32_t> station_value(Context& ctx, const std::optional<std::int32_t>& option,
                                          std::string_view key) {
  if (option) return option;
  return code_of(ctx.config.get(kStationSection, key));
}

class Audit {
 public:
  Audit(Context& ctx, const std::string& connection)
      : ctx_(ctx), ui_(ctx.err), auditor_(ui_), table_("AUDITORIA", connection) {}

  int run(const Request& r) {
    if (r.kind == "emitter") return emitter(r.code);
    if (r.kind == "company") return company(r.code);
    const int set_up = emitter(station(r.emitter, "emitter"), true);
    if (set_up != kExitOk) return set_up;
    if (r.kind == "customer") return customer(r.code);
    if (r.kind == "operation") return operation(r.code);
    if (r.kind == "carrier") return carrier(r.code);
    return product(r);
  }

 private:
  std::int32_t station(const std::optional<std::int32_t>& option, std::string_view key) {
    const auto value = station_value(ctx_, option, key);
    if (!value) missing_ = std::string(key);
    return value.value_or(-1);
  }

  int verdict(int accepted, bool quiet = false) {
    if (accepted == 1) {
      if (!quiet) ctx_.out << "OK\n";
      return kExitOk;
    }
    ctx_.out << message_lines(auditor_.display()) << "\n";
    return kExitFailure;
  }
  int unreadable() {
    ctx_.out << message_lines(error_) << "\n";
    return kExitFailure;
  }
  int no_station_value() {
    ctx_.err << "fvn: audit: no [station] " << missing_ << " in " << ctx_.source.path << ": give --" << missing_
             << " N\n";
    return kExitUsage;
  }

  int emitter(std::int32_t code, bool quiet = false) {
    if (!missing_.empty()) return no_station_value();
    AUDITOR_FISCAL::DADOS_EMISSOR row;
    if (le_emissor_auditoria(table_, code, row, error_) != 1) return unreadable();
    return verdict(auditor_.Audita_Emissor(row), quiet);
  }
  int company(std::int32_t code, bool quiet = false) {
    if (!missing_.empty()) return no_station_value();
    AUDITOR_FISCAL::DADOS_EMPRESA row;
    if (le_empresa_auditoria(table_, code, row, error_) != 1) return unreadable();
    return verdict(auditor_.Audita_Empresa(row), quiet);
  }
  int customer(std::int32_t code) {
    AUDITOR_FISCAL::DADOS_CLIENTE row;
    if (le_cliente_auditoria(table_, code, row, error_) != 1) return unreadable();
    return verdict(auditor_.Audita_Cliente(row));
  }
  int operation(std::int32_t code) {
    AUDITOR_FISCAL::DADOS_OPERACAO row;
    if (le_operacao_auditoria(table_, code, row, error_) != 1) return unreadable();
    return verdict(auditor_.Audita_Operacao(row));
  }
  int carrier(std::int32_t code) {
    AUDITOR_FISCAL::DADOS_TRANSPORTADORA row;
    if (le_transportadora_auditoria(table_, code, row, error_) != 1) return unreadable();
    return verdict(auditor_.Audita_Transportadora(row));
  }
  int product(const Request& r) {
    const int set_up = company(station(r.company, "company"), true);
    if (set_up != kExitOk) return set_up;
    const std::int32_t client_code = station(r.customer, "customer");
    if (!missing_.empty()) return no_station_value();
    AUDITOR_FISCAL::DADOS_CLIENTE client;
    if (le_cliente_auditoria(table_, client_code, client, error_) != 1) return unreadable();
    // The sale screen takes the generic consumer without its audit.
    if (text::upper(text::clip(client.NOME)) == "CONSUMIDOR") {
      auditor_.Esquece_Cliente();
    } else if (auditor_.Audita_Cliente(client) != 1) {
      return verdict(0);
    }
    AUDITOR_FISCAL::DADOS_ITEM item;
    if (le_produto_auditoria(table_, r.code, client.UF, item, error_) != 1) return unreadable();
    return verdict(auditor_.Audita_Item(item));
  }

  Context& ctx_;
  HeadlessUi ui_;
  AUDITOR_FISCAL auditor_;
  PassthroughTable table_;
  std::string error_;
  std::string missing_;  // the station value that is neither configured nor given
};

int audit(Context& ctx, const std::vector<std::string>& args) {
  Request request;
  if (!parse(ctx, args, request)) return kExitUsage;
  const std::string connection = ctx.database_connection();
  if (connection.empty()) return kExitFailure;
  Audit runner(ctx, connection);
  return runner.run(request);
}

}  // namespace

Command audit_command() {
  return {"audit", "KIND CODE [--emitter N] [--company N] [--customer N]",
          "run the pre-emission audit of a company, customer, operation, emitter, carrier or product", audit};
}

}  // namespace fvn::app
