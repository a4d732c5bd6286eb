// nfce-service-sim: a local stand-in of the NFC-e authorisation web service.
// See --help.
#include <unistd.h>

#include <atomic>
#include <charconv>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <pthread.h>

#include "runtime/atomic_file.h"
#include "sim_document.h"
#include "sim_faults.h"
#include "sim_server.h"
#include "sim_service.h"
#include "sim_signer.h"
#include "sim_store.h"

namespace {

using namespace fvn::sim;

constexpr const char* kHelp = R"(nfce-service-sim - local stand-in of the NFC-e authorisation web service

Usage: nfce-service-sim [OPTIONS]

Answers the service calls of the point of sale over HTTP + JSON, checks each
note like the authority does, signs it with a test certificate, authorises it
with a protocol and keeps everything in SQLite, so a restart loses nothing.

Options:
  --host HOST            address to listen on (default 127.0.0.1)
  --port PORT            port (default 8765; 0 takes a free port)
  --port-file FILE       write the port there once listening
  --data DIR             store (sim.db) and test certificate (default var/sim)
  --schemas DIR          folder of the NF-e 4.00 schemas (nfe_v4.00.xsd): every
                         signed note is validated against them (default: the
                         project's schemas/nfe; "none" turns validation off)
  --environment 1|2      tpAmb accepted: 1 production, 2 homologation (default 2)
  --zone +HH:MM|-HH:MM   zone of the moments written (default -03:00)
  --max-age SECONDS      dhEmi older than this is refused with 704 (default 300)
  --max-future SECONDS   dhEmi ahead of the clock by more is refused with 703 (default 300)
  --export-delay SECONDS an export request stays "AGUARDE" this long (default 2)
  --account CNPJ:LOGIN:GROUP:PASSWORD
                         an account; once one exists every call must carry the
                         credentials of an account for the CNPJ it names
  --csc CNPJ:ID:CSC      the CNPJ's QR-code token id and CSC (default for all:
                         id 000001 and a fixed test CSC)
  --mode MODE            the fault mode of every call (same as --fault MODE)
  --fault RULE           a fault rule, MODE[,call=CALL][,count=N][,cstat=C]
                         [,delay_ms=MS][,after=N][,resolve=OK|ERRO]; repeatable
  --threads N            worker threads (default 8)
  --help                 this text

Fault modes (MODE):
  normal        answer normally (clears every rule)
  contingency   authorise in contingency under the same number: the answer
                says emContingencia TRUE without protocol; status queries
                answer PENDENTE for `after` queries (default 1), then OK
  renumber      like contingency, but the service gives the note the next
                free number of its series and a new key; the number it
                was sent under is voided (status INUTILIZADO, with the new
                key and number in chaveSubstituta and numeroSubstituto)
  pending       answer PENDENTE; after `after` status queries the note
                becomes OK, or ERRO with `resolve=ERRO` (status `cstat`)
  reject        refuse the note (or the cancellation) with status `cstat`
  slow          wait `delay_ms`, then answer normally (any other mode given
                `delay_ms` does its work first, then waits, then answers)
  drop          drop the connection without answering
  lost          do the work (the note is authorised), then drop the connection
  malformed     answer a text that is not JSON
  http500       answer HTTP 500
  down          answer HTTP 503, as an unreachable service
  fields        answer normally with the members of `fields` replaced (admin
                endpoint only: {"mode":"fields","fields":{"statusAutorizacao":"ok"}})
Calls (CALL): autorizar status cancelar documento ping solicitar consultar
download, or all (default). count=N applies the rule to the next N matching
calls; without it the rule stays until cleared.

Endpoints:
  POST /api/autorizar {cnpj, xml}          POST /api/status {cnpj, chave}
  POST /api/cancelar {cnpj, chave, justificativa}
  POST /api/documento {cnpj, chave}        GET  /api/ping
  POST /api/exportacao/solicitar {cnpj, ano, mes}
  POST /api/exportacao/consultar {cnpj}    GET  /api/exportacao/arquivo/ID/NAME.zip
  Credentials in the headers X-Nfce-Login, X-Nfce-Grupo, X-Nfce-Senha.
Admin:
  GET|POST|DELETE /admin/fault             the fault rules (POST one rule as JSON)
  POST /admin/conta {cnpj, login, grupo, senha, csc_id, csc}
  POST /admin/inutilizar {chave}           the note's number was voided
  POST /admin/exportacao/pronta            every export request's file is ready now

Checks on every note: well-formed XML (243); access key of 44 digits with its
check digit (236) agreeing with cUF, dhEmi, emitter CNPJ, mod, serie, nNF,
tpEmis and cNF (502); mod 65 (775); tpAmb (252); emitter CNPJ (207) equal to
the CNPJ of the call (213); recipient CPF (237) or CNPJ (208); dhEmi not in
the future (703) nor late (704); ICMSTot against the items (531-538, 564,
601-604) and vNF (610); the signed note against the schema (225), unless
--schemas none. A key sent again is answered with its existing authorisation; the
same number under another key is refused (539).
)";

struct Options {
  std::string host = "127.0.0.1";
  int port = 8765;
  std::string port_file;
  std::string data = "var/sim";
  std::string schemas = FVN_DEFAULT_SCHEMAS;
  int threads = 8;
  ServiceOptions service;
  std::vector<FaultRule> rules;
  std::vector<Account> accounts;
  std::vector<Account> cscs;
};

std::optional<long long> number(std::string_view text) {
  long long value = 0;
  const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc{} || ptr != text.data() + text.size()) return std::nullopt;
  return value;
}

std::vector<std::string> fields_of(std::string_view text) {
  std::vector<std::string> parts;
  std::size_t begin = 0;
  while (true) {
    const auto colon = text.find(':', begin);
    parts.emplace_back(text.substr(begin, colon - begin));
    if (colon == std::string_view::npos) break;
    begin = colon + 1;
  }
  return parts;
}

std::optional<int> zone_minutes(std::string_view text) {
  if (text.size() != 6 || (text[0] != '+' && text[0] != '-') || text[3] != ':') return std::nullopt;
  const auto hours = number(text.substr(1, 2));
  const auto minutes = number(text.substr(4, 2));
  if (!hours || !minutes || *hours > 14 || *minutes > 59) return std::nullopt;
  const int total = static_cast<int>(*hours * 60 + *minutes);
  return text[0] == '-' ? -total : total;
}

int usage(const std::string& why) {
  std::cerr << "nfce-service-sim: " << why << " (see --help)\n";
  return 2;
}

// Parses the command line; an exit status when the program should end.
std::optional<int> parse(int argc, char** argv, Options& options) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--help" || arg == "-h") {
      std::cout << kHelp;
      return 0;
    }
    if (i + 1 >= args.size()) return usage("unknown option or missing value: " + arg);
    const std::string& value = args[++i];
    std::string error;
    if (arg == "--host") {
      options.host = value;
    } else if (arg == "--port" && number(value) && *number(value) >= 0 && *number(value) < 65536) {
      options.port = static_cast<int>(*number(value));
    } else if (arg == "--port-file") {
      options.port_file = value;
    } else if (arg == "--data") {
      options.data = value;
    } else if (arg == "--schemas") {
      options.schemas = value == "none" ? std::string{} : value;
    } else if (arg == "--threads" && number(value) && *number(value) > 0 && *number(value) <= 256) {
      options.threads = static_cast<int>(*number(value));
    } else if (arg == "--environment" && (value == "1" || value == "2")) {
      options.service.environment = value == "1" ? 1 : 2;
    } else if (arg == "--zone" && zone_minutes(value)) {
      options.service.zone_minutes = *zone_minutes(value);
    } else if (arg == "--max-age" && number(value) && *number(value) >= 0) {
      options.service.max_age_seconds = *number(value);
    } else if (arg == "--max-future" && number(value) && *number(value) >= 0) {
      options.service.max_future_seconds = *number(value);
    } else if (arg == "--export-delay" && number(value) && *number(value) >= 0) {
      options.service.export_delay_seconds = *number(value);
    } else if (arg == "--mode" || arg == "--fault") {
      const auto rule = rule_from_text(value, error);
      if (!rule) return usage(std::string{arg}.append(" ").append(value).append(": ").append(error));
      options.rules.push_back(*rule);
    } else if (arg == "--account") {
      const auto parts = fields_of(value);
      if (parts.size() != 4 || parts[0].size() != 14 || !valid_cnpj(parts[0]) || parts[1].empty()) {
        return usage("--account needs CNPJ:LOGIN:GROUP:PASSWORD with a valid CNPJ");
      }
      options.accounts.push_back({parts[0], parts[1], parts[2], parts[3], "", ""});
    } else if (arg == "--csc") {
      const auto parts = fields_of(value);
      if (parts.size() != 3 || parts[0].size() != 14 || !valid_cnpj(parts[0]) || parts[1].empty() || parts[2].empty()) {
        return usage("--csc needs CNPJ:ID:CSC with a valid CNPJ");
      }
      options.cscs.push_back({parts[0], "", "", "", parts[1], parts[2]});
    } else {
      return usage(std::string{"unknown option or invalid value: "}.append(arg).append(" ").append(value));
    }
  }
  return std::nullopt;
}

// Keeps the accounts of earlier runs and adds (or updates) the given ones.
void save_accounts(Store& store, const Options& options) {
  for (const Account& given : options.accounts) {
    Account account = store.find_account(given.cnpj).value_or(Account{given.cnpj, "", "", "", "", ""});
    account.login = given.login;
    account.group = given.group;
    account.password = given.password;
    store.save_account(account);
  }
  for (const Account& given : options.cscs) {
    Account account = store.find_account(given.cnpj).value_or(Account{given.cnpj, "", "", "", "", ""});
    account.token_id = given.token_id;
    account.csc = given.csc;
    store.save_account(account);
  }
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (const auto status = parse(argc, argv, options)) return *status;

  // SIGINT and SIGTERM are taken by one thread, which stops the server.
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);

  XmlLibraries libraries;
  if (!libraries.ready()) {
    std::cerr << "nfce-service-sim: the XML signature library could not start\n";
    return 1;
  }
  std::error_code ec;
  std::filesystem::create_directories(options.data, ec);
  std::string error;
  auto store = Store::open((std::filesystem::path{options.data} / "sim.db").string(), error);
  auto signer = store ? Signer::open(options.data, error) : nullptr;
  std::unique_ptr<SchemaValidator> validator;
  if (signer && !options.schemas.empty()) validator = SchemaValidator::open(options.schemas, error);
  if (!store || !signer || (!options.schemas.empty() && !validator)) {
    std::cerr << "nfce-service-sim: " << error << "\n";
    return 1;
  }
  save_accounts(*store, options);

  Faults faults;
  for (const FaultRule& rule : options.rules) faults.add(rule);
  SimService service(*store, *signer, validator.get(), options.service);
  SimServer server(service, faults, options.threads);
  const int port = server.bind(options.host, options.port);
  if (port <= 0) {
    std::cerr << "nfce-service-sim: cannot listen on " << options.host << ":" << options.port << "\n";
    return 1;
  }

  std::thread stopper([&server, &signals] {
    int received = 0;
    sigwait(&signals, &received);
    server.stop();
  });
  std::atomic<bool> finished{false};
  std::thread announcer([&server, &options, &finished, port] {
    while (!server.is_running()) {
      if (finished) return;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (!options.port_file.empty()) {
      if (!fvn::write_file_atomically(options.port_file, std::to_string(port) + "\n"))
        std::cerr << "nfce-service-sim: cannot write the port file " << options.port_file << std::endl;
    }
    std::cout << "nfce-service-sim listening on http://" << options.host << ":" << port
              << (options.schemas.empty() ? " (schema validation off)" : " (schemas: " + options.schemas + ")")
              << std::endl;
  });
  const bool served = server.run();
  finished = true;
  announcer.join();
  if (served) {
    // Serving ended by a signal: the stopper has returned.
    stopper.join();
  } else {
    // The signal is blocked in every thread, so it reaches the stopper's sigwait.
    ::kill(::getpid(), SIGTERM);
    stopper.join();
  }
  return served ? 0 : 1;
}
