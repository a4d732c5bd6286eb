// NFCE_PROCESSO: the NFC-e processor. It turns a sale recorded in `asaidas`
// into an authorised NFC-e: builds the invoice XML (its NFCE_DOCUMENTO),
// sends it through its service client, writes the answer back into
// `asaidas`, stores the authorised XML in `xmlnfe` and draws the QR-code
// image. The work runs in an operation window (HostUi::operation_window)
// that performs one step per tick and lists every step as a dated status
// line of the operation log. It also settles notes left pending, issued in
// contingency or owed a cancellation (nfce_resolucao.cpp), and wraps the XML
// export calls.
//
// Every operation returns 1 or 0 and leaves its failure in ERROR; failure
// paths that show or store ERROR pass it through Traduz_Erro first.
//
// Where this processor departs from the legacy one, each for a fault it had:
//  - values returned by the service go into SQL only through the quoting
//    helpers (sql_values.h) and are checked first: a key must be 44 digits,
//    an oid and a number whole numbers, a date and a time well-formed, an
//    empty date or time is NULL; anything else fails the step instead of
//    altering the statement. A key goes into a file name only once checked;
//  - FileToBlob fails on a read error instead of storing a truncated file,
//    and a failed or empty document fetch is never stored as the authorised
//    XML (a note still in contingency stores the XML it was sent with, with
//    no protocol, until the resolution brings the authorised one);
//  - before the note is sent, the sale is marked in doubt
//    (i_asa_situacao_nfce = 1, with its key and the moment) in a committed
//    step of its own, under a session lock on the sale that the resolution
//    respects; a process killed at any later moment leaves a row the
//    resolution finds. The mark is cleared when the authorisation is
//    stored, or by the reversal of a note the service refused (one
//    transaction: a kill before it leaves the sale for the resolution);
//  - when the sending fails without an answer about the note (transport,
//    time-out, HTTP error, malformed answer), the service is asked for the
//    key's status, with bounded retries and a growing wait: a note it holds
//    (OK, PENDENTE, contingency) is carried on as sent, one it refused is
//    refused; otherwise the outcome stays unknown and the sale in doubt.
//    Nota_Aceita() and Nota_Em_Duvida() tell the caller, so that only a
//    refused note (or one never sent) is reversed as rejected;
//  - an accepted note without a protocol (PENDENTE) is recorded like a
//    contingency note (flag 1, oid 0), so the resolution settles it later;
//  - the generated file is renamed to "<key>-nfce.xml" before it would be
//    deleted (the legacy order deleted it first, so the rename never worked).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "devices/gerador_qrcode.h"
#include "nfce/nfce_documento.h"
#include "runtime/error_triple.h"
#include "runtime/host_ui.h"
#include "service/nfce_servico.h"
#include "service/operation_log.h"

namespace fvn {

class PassthroughTable;

// The rows of `asaidas` the resolution settles: a standing sale in doubt or
// renumbered (i_asa_situacao_nfce), issued in contingency and not yet
// confirmed, or owed a cancellation. The pending-notes windows use the same
// condition, so what they count is what the resolution works on.
inline constexpr std::string_view kNotasPendentes =
    "(i_asa_situacao_nfce <> 0 or (coalesce(s_asa_protocolo_nfe,'') = '' and i_asa_contigencia = 1 and "
    "i_asa_oid_quorvex = 0) or i_asa_quorvex_canc = 1) and s_asa_estorno is null";

class NFCE_PROCESSO : public ErrorTriple {
 public:
  // The step flags of an operation window.
  struct Flags {
    bool generated = false;
    bool sent = false;
    bool answered = false;
    bool treated = false;
    bool recorded = false;
    bool failed = false;
    bool waiting_shown = false;
  };

  NFCE_PROCESSO(HostUi& ui, GatewayConfig config, OperationLog::ClockSource clock = {});

  // The application's connection text: owner of the processor's tables.
  void set_connection(std::string connection_text);
  [[nodiscard]] const std::string& connection() const { return connection_; }

  // Loads the company's NFC-e folders (base, downloads). Failures leave a
  // message in ERROR.
  void Carrega_Pastas(std::int32_t company);

  // The server check; 1 when its operation window ends in success. URL,
  // HTTP flag and port are accepted and not used: the gateway has its own
  // configuration.
  int Checar_Servidor(std::string_view cnpj, std::string_view group, std::string_view user, std::string_view password,
                      std::string_view url, std::int32_t sale, std::int32_t http, std::int32_t port);
  // Sends the note of sale `sale`; 1 when authorised (or accepted in
  // contingency) and recorded.
  int Enviar_Nota(std::int32_t sale);
  [[nodiscard]] std::int32_t current_sale() const { return current_sale_; }
  // True when the service accepted the last note sent (even if a later step
  // failed): such a note must not be reversed as rejected.
  [[nodiscard]] bool Nota_Aceita() const { return outcome_ == Outcome::Accepted; }
  // True when the last note was sent and whether the service holds it is
  // unknown: it must not be reversed either; the resolution settles it.
  [[nodiscard]] bool Nota_Em_Duvida() const { return outcome_ == Outcome::Unknown; }

  // 1 when the note may be sent again: the service refused it (ERRO) or
  // does not hold the key.
  int Verifica_Reenvio(std::string_view key);
  // 1 when sale `sale` may be sent: it stands (not reversed nor cancelled),
  // has no authorisation and, when it carries a key, Verifica_Reenvio
  // allows it. Needs the login of Checar_Servidor.
  int Verifica_Venda(std::int32_t sale);
  int Ping_Servidor();

  // Stores the authorised XML of sale `sale` in `xmlnfe`.
  int Incluir_XML_Banco(std::int32_t sale);
  // Loads the file into `blob`; 0 on an empty path, an unreadable or empty
  // file or a read error.
  int FileToBlob(const std::string& path, std::string& blob);
  // Draws the QR-code image of the current sale from `url`.
  int Gera_QRCode(std::string_view url);
  [[nodiscard]] std::string qrcode_path(std::int32_t sale) const;

  // Moves sale `old_sale` to a new id with the number and key of the last
  // authorisation answer (one transaction): header copied, items,
  // postings, installments, XML and order links moved; the old header
  // stays, with no financial effect, until the service voids its number.
  int Duplica_Nota(std::int32_t old_sale);
  // Settles the notes in doubt, in contingency and owed a cancellation.
  int Resolve_Notas_Offline(std::int32_t& pending, std::int32_t& errors);
  // Stores the cancellation XML of sale `sale` in its `xmlnfe` row.
  int Incluir_XML_Cancelamento(std::int32_t sale);
  // The notes Resolve_Notas_Offline would select: sale id and key.
  int Lista_Notas_Offline(std::vector<std::pair<std::int32_t, std::string>>& notes);

  // Export request, consult and download (the service client's calls,
  // logged; on failure the client's error text alone goes into ERROR).
  int Solicitar_Exportacao(std::int32_t year, std::int32_t month);
  int Consultar_Exportacao(std::string& result);
  int Download_Exportacao(std::string_view folder, std::string_view link);

  // Translates ERROR in place (schema rejections into plain words).
  std::string Traduz_Erro();

  [[nodiscard]] const std::string& base_folder() const { return base_folder_; }
  [[nodiscard]] const std::string& download_folder() const { return download_folder_; }
  void set_base_folder(std::string folder);
  [[nodiscard]] const Flags& flags() const { return flags_; }
  [[nodiscard]] int progress() const { return progress_; }
  [[nodiscard]] const AuthorisationResult& authorisation() const { return authorisation_; }
  [[nodiscard]] const StatusResult& status() const { return status_; }
  [[nodiscard]] const std::string& cancellation_protocol() const { return cancellation_protocol_; }

  NFCE_DOCUMENTO DOCUMENTO;
  NFCE_SERVICO SERVICO;
  OperationLog LOG;
  GERADOR_QRCODE QRCODE;

 private:
  class Window;
  friend class Window;

  // First key of the advisory lock ("select pg_advisory_lock(kSendLock,
  // sale)") a station holds on a sale while sending its note; the
  // resolution leaves a sale whose lock it cannot take.
  static constexpr int kSendLock = 6565;

  int run_window(std::string_view operation, std::string_view title);
  void step_server_check();
  void step_note();
  void send_note();
  bool record_answer(PassthroughTable& table);
  bool recover_lost_reply(const std::string& key);
  bool mark_sent(const std::string& key);
  int query_status(std::string_view key);
  void status_line(std::string_view message) { LOG.status_line(message); }
  void post_failure(std::string_view text);
  void post_done() { done_ = true; }
  void log_service_failure(std::string_view context);
  int store_failure(std::string_view text);
  std::int32_t invoice_number() const;
  bool write_document_file(const std::string& path, const std::string& xml);

  int resolve_row(std::int32_t sale, const std::string& key, std::int32_t number, std::int32_t series,
                  std::int32_t cancel_pending, std::int32_t& pending, std::int32_t& errors);
  int store_resolved(PassthroughTable& table, std::int32_t sale, const std::string& key);

  HostUi& ui_;
  std::string connection_;
  std::string base_folder_;
  std::string download_folder_;
  std::int32_t starting_sale_ = 0;
  std::int32_t current_sale_ = 0;
  Flags flags_;
  int progress_ = 0;
  bool done_ = false;
  enum class Outcome { NotSent, Refused, Accepted, Unknown };
  Outcome outcome_ = Outcome::NotSent;
  std::string login_cnpj_, login_group_, login_user_, login_password_;
  AuthorisationResult authorisation_;
  StatusResult status_;
  std::string cancellation_protocol_;
};

}  // namespace fvn
