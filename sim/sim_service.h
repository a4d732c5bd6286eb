// What the simulated NFC-e service does with each call, apart from HTTP:
// authorisation, status by key, cancellation, the authorised document,
// ping and the XML exports, with the store behind them. Requests and
// answers are JSON objects whose members are the service's named fields.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include "sim_faults.h"
#include "sim_signer.h"
#include "sim_store.h"

namespace fvn::sim {

struct ServiceOptions {
  int environment = 2;                    // tpAmb the service accepts: 1 production, 2 homologation
  int zone_minutes = -180;                // zone of the moments it writes (-03:00)
  std::int64_t max_age_seconds = 300;     // dhEmi older than this is late (704)
  std::int64_t max_future_seconds = 300;  // dhEmi ahead of the clock by more is refused (703)
  std::int64_t export_delay_seconds = 2;  // an export request is "AGUARDE" this long
  std::string token_id = "000001";        // CSC of a CNPJ without its own
  std::string csc = "SIMULADOR-CSC-DE-TESTE-0000000000000";
};

struct Credentials {
  std::string login;
  std::string group;
  std::string password;
};

struct Answer {
  int http_status = 200;
  nlohmann::json body = nlohmann::json::object();
};

// The export file of one request: a zip with the authorised XML of the month.
struct ExportFile {
  std::string name;
  std::string bytes;
};

class SimService {
 public:
  SimService(Store& store, const Signer& signer, const SchemaValidator* validator, ServiceOptions options);

  Answer authorise(const Credentials& credentials, const nlohmann::json& request, const FaultRule* rule);
  Answer status(const Credentials& credentials, const nlohmann::json& request);
  Answer cancel(const Credentials& credentials, const nlohmann::json& request, const FaultRule* rule);
  Answer document(const Credentials& credentials, const nlohmann::json& request);
  Answer ping();
  Answer request_export(const Credentials& credentials, const nlohmann::json& request);
  // `base_url` is the address the client reached the service at.
  Answer list_exports(const Credentials& credentials, const nlohmann::json& request, const std::string& base_url);
  // The zip of export `id`, or an answer explaining why not.
  std::optional<ExportFile> export_file(const Credentials& credentials, std::int64_t id, Answer& refusal);

  // Ends the wait of every export request: their files can be listed and
  // downloaded at once (admin; tests use it instead of waiting the delay).
  bool finish_exports() { return store_.age_exports(options_.export_delay_seconds); }
  // Marks a stored note's number as voided (INUTILIZADO); false when unknown.
  bool void_note(const std::string& key);
  bool add_account(const Account& account) { return store_.save_account(account); }

  // The link name of an export file ("NFCe_<cnpj>_<yyyymm>.zip").
  static std::string export_name(const ExportRow& row);

 private:
  std::optional<Answer> refuse_login(const Credentials& credentials, const std::string& cnpj);
  std::string new_protocol(int uf_code);
  void authorise_now(NoteRow& note);
  void void_original(const NoteRow& renumbered, const std::string& key, std::int64_t number);
  void resolve_pending(NoteRow& note);
  nlohmann::json authorisation_answer(const NoteRow& note);
  nlohmann::json status_answer(const NoteRow& note);
  Answer rejection(const std::string& key, std::int64_t number, int cstat, const std::string& detail);
  [[nodiscard]] std::int64_t now() const;

  Store& store_;
  const Signer& signer_;
  const SchemaValidator* validator_;
  ServiceOptions options_;
};

}  // namespace fvn::sim
