// The gateway to the NFC-e authorisation web service: one function per call
// of the service, each one HTTP request (libcurl) to the configured address,
// answering the service's JSON answer text.
//
// Requests: POST with a JSON body (GET for the ping) to the endpoints below,
// relative to `url`; the company CNPJ and the other arguments go in the
// body, the credentials in the headers X-Nfce-Login, X-Nfce-Grupo and
// X-Nfce-Senha, never in the address.
//
//   Autorizar_Xml            POST /api/autorizar            {cnpj, xml}
//   GetStatusPorChave_Xml    POST /api/status               {cnpj, chave}
//   Cancelar_Xml             POST /api/cancelar             {cnpj, chave, justificativa}
//   GetDoc                   POST /api/documento            {cnpj, chave} -> member "xml"
//   PingTesteWebService      GET  /api/ping
//   SolicitarExportacao      POST /api/exportacao/solicitar {cnpj, ano, mes}
//   ConsultarExportacao      POST /api/exportacao/consultar {cnpj} -> member "resultado"
//   ExecutarDonwloadArquivo  GET  <link>, the body written into the folder
//
// Every call has a connect and a total time-out; https is verified against
// the system's certificate authorities; redirects are not followed. A
// transport failure, a time-out, an HTTP status other than 200, an answer
// that is not a JSON object or one larger than the bound becomes the answer
// of failure_answer() (answer_fields.h): "exMessage" names the cause and the
// text contains "Exception". Nothing here is logged.
//
// One gateway serves one thread at a time; it keeps its connection open
// between calls.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace fvn {

struct GatewayConfig {
  std::string url;  // the service's base address, "http://127.0.0.1:8765"
  std::string login;
  std::string group;
  std::string password;
  long connect_timeout_ms = 3'000;
  long total_timeout_ms = 15'000;
  // Time allowed for a download of an export file.
  long download_timeout_ms = 300'000;
  std::size_t max_answer_bytes = 8U << 20U;
  // A status query that gets no answer is tried again, at most
  // `status_attempts` times in all, waiting `status_backoff_ms` before the
  // second try and twice as long before each later one.
  int status_attempts = 4;
  long status_backoff_ms = 1'000;
  // A note the service says it does not hold is reversed only once this much
  // time has passed since it was sent: a request still in flight (a slow
  // link, a station killed mid-send) may yet reach the service before that.
  long unknown_key_grace_ms = 120'000;
  std::size_t max_download_bytes = 512U << 20U;
};

class ServiceGateway {
 public:
  explicit ServiceGateway(GatewayConfig config);
  ~ServiceGateway();
  ServiceGateway(const ServiceGateway&) = delete;
  ServiceGateway& operator=(const ServiceGateway&) = delete;

  [[nodiscard]] const GatewayConfig& config() const { return config_; }

  std::string Autorizar_Xml(std::string_view cnpj, std::string_view xml);
  std::string GetStatusPorChave_Xml(std::string_view cnpj, std::string_view key);
  std::string Cancelar_Xml(std::string_view cnpj, std::string_view key, std::string_view justification);
  // The authorised XML text itself; a failure answer (JSON) when the service
  // has no document for the key or the call failed.
  std::string GetDoc(std::string_view cnpj, std::string_view key);
  std::string PingTesteWebService();
  std::string SolicitarExportacao(std::string_view cnpj, std::int32_t year, std::int32_t month);
  std::string ConsultarExportacao(std::string_view cnpj);
  // Downloads `link` into `folder`, under the link's last path segment
  // (letters, digits, ".", "-" and "_" only). The link must lie under the
  // configured address, so the credentials never go to another host.
  // Answers {"arquivo": path, "tamanho": bytes} or a failure answer.
  std::string ExecutarDonwloadArquivo(std::string_view folder, std::string_view link);

 private:
  struct Transfer;
  std::string post(std::string_view path, const std::string& body);
  std::string get(const std::string& address);
  std::string finish(Transfer& transfer);

  GatewayConfig config_;
  void* curl_ = nullptr;  // CURL*, reused between calls
};

}  // namespace fvn
