// NFCE_SERVICO: the service client, the one object that calls the NFC-e
// service gateway. It holds the company CNPJ used on every call, turns each
// answer into a fixed record, decides success or failure and keeps the last
// failure as text for the caller.
//
// Every operation returns 1 for success and 0 for failure; on failure the
// error text is set (and never cleared by a success). Texts read from an
// answer are cut to the widths of the record fields.
//
// Departures from the legacy client, each for a fault it had:
//  - the document fetch fails when the answer is empty or is not an XML
//    document (a failure answer used to be stored as the authorised XML);
//  - the cancellation protocol read from the detail ends at the first comma
//    after "nProt:" (or at the end of the detail), not at the last comma;
//  - a failed ping leaves the cause in the error text, so the caller does
//    not show a stale, unrelated message;
//  - answer fields are read from the whole answer (the gateway bounds its
//    size); cutting a JSON answer at 10,000 characters would lose them all.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "nfce/validador_fiscal.h"
#include "runtime/error_triple.h"
#include "runtime/host_ui.h"
#include "service/service_gateway.h"

namespace fvn {

// Result of an authorisation; the caller clears it before the call.
struct AuthorisationResult {
  std::int32_t contingency = 0;    // emContingencia: 0 only for "FALSE"
  std::string number;              // numero, text of 31
  std::string access_key;          // chave, text of 50
  std::string protocol;            // numeroProtocoloAutorizacao, text of 50
  std::string oid;                 // oid, text of 91
  std::string qr_code_url;         // urlQrCode, text of 401
  std::string authorisation_date;  // date part of dhAutorizacao, text of 11
  std::string authorisation_time;  // time part of dhAutorizacao, text of 9
};

// Result of a status query; the caller clears it before the call.
struct StatusResult {
  std::int32_t contingency = 0;
  std::string number;
  std::string access_key;
  std::string protocol;
  std::string oid;
  std::string qr_code_url;
  std::string authorisation_status;  // statusAutorizacao, text of 21
  std::string cancellation_status;   // statusCancelamento, text of 21
  std::string authorisation_date;
  std::string authorisation_time;
  // A number voided because the service renumbered the note names the note
  // that replaced it (chaveSubstituta, numeroSubstituto); empty otherwise.
  std::string replacement_key;
  std::string replacement_number;
};

// Date and time parts of a dhAutorizacao value: the text before the first
// "T" (either case, at most 10 characters) and the text between that "T"
// and the last hyphen after it (at most 8). No "T": both empty; a zone
// written with "+" (or "Z") leaves the time empty.
struct AuthorisationMoment {
  std::string date;
  std::string time;
};
AuthorisationMoment split_authorisation_moment(std::string_view value);

// The protocol of a cancellation detail ("cStat: 135, nProt: 1352, ..."):
// the text after "nProt:" up to the first comma or the end, trimmed; empty
// without the marker.
std::string cancellation_protocol(std::string_view detail);

class NFCE_SERVICO : public ErrorTriple {
 public:
  // Width limits of the record fields and arguments (capacities).
  static constexpr std::size_t kAnswerFieldCapacity = 501;
  static constexpr std::size_t kDocumentMaxChars = 1'000'000;

  NFCE_SERVICO(HostUi& ui, GatewayConfig config);

  int Set_Login(std::string_view password, std::string_view user, std::string_view group, std::string_view cnpj);
  int autorizaxml_nfce(std::string_view xml, AuthorisationResult& result);
  int statuschave_nfce(std::string_view key, StatusResult& status);
  int cancelarxml_nfce(std::string_view key, std::string_view justification, std::string& protocol);
  // Document fetch: the authorised XML of the note (up to 1,000,000 characters).
  int busca_documento(std::string_view key, std::string& xml);
  int ping();
  int Solicitar_Exportacao(std::int32_t year, std::int32_t month);
  // The export list of the company: the answer's "resultado" (10,000 characters).
  int Consultar_Exportacao(std::string& result);
  int download_exportacao(std::string_view folder, std::string_view link);

  [[nodiscard]] const std::string& error_text() const { return ERROR; }
  [[nodiscard]] const std::string& cnpj() const { return cnpj_; }
  // How the last autorizaxml_nfce or statuschave_nfce failure reads. Only
  // these two are answers about the note: the service refused it (status
  // ERRO), or it does not hold the key (cStat 217). Any other failure (no
  // answer, time-out, HTTP error, malformed answer) leaves the outcome
  // unknown.
  [[nodiscard]] bool Nota_Recusada() const { return refused_; }
  [[nodiscard]] bool Chave_Desconhecida() const { return unknown_key_; }
  [[nodiscard]] ServiceGateway& gateway() { return gateway_; }

 private:
  int fail(std::string_view text, std::string_view function);

  ServiceGateway gateway_;
  VALIDADOR_FISCAL cnpj_validator_;
  bool refused_ = false;
  bool unknown_key_ = false;
  std::string cnpj_;
  std::string group_;
  std::string user_;
  std::string password_;
};

}  // namespace fvn
