#include "service/service_gateway.h"

#include <cstdio>
#include <filesystem>
#include <mutex>

#include <curl/curl.h>
#include <nlohmann/json.hpp>

#include "service/answer_fields.h"

namespace fvn {

namespace {

using nlohmann::json;

void global_init() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

CURL* handle(void* curl) { return static_cast<CURL*>(curl); }

std::string dump(const json& value) { return value.dump(-1, ' ', false, json::error_handler_t::replace); }

// scheme://host[:port] of an address, lower-cased, or empty when it has none.
std::string origin_of(std::string_view address) {
  const auto scheme_end = address.find("://");
  if (scheme_end == std::string_view::npos) return {};
  const auto path = address.find('/', scheme_end + 3);
  std::string origin{address.substr(0, path)};
  for (char& c : origin) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return origin;
}

// The file name a download is saved under: the link's last path segment
// without its query, when it is a plain name.
std::string download_name(std::string_view link) {
  std::string_view path = link.substr(0, link.find_first_of("?#"));
  const auto slash = path.find_last_of('/');
  const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  if (name.empty() || name.size() > 200 || name.front() == '.') return {};
  for (const char c : name) {
    const bool plain =
        (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '_';
    if (!plain) return {};
  }
  return std::string{name};
}

}  // namespace

// Where one request's answer goes: into `body` (bounded), or into `file`.
struct ServiceGateway::Transfer {
  std::string body;
  std::FILE* file = nullptr;
  std::size_t received = 0;
  std::size_t limit = 0;
  bool too_large = false;
  bool write_failed = false;

  static std::size_t write(char* data, std::size_t size, std::size_t count, void* self) {
    auto& transfer = *static_cast<Transfer*>(self);
    const std::size_t n = size * count;
    if (transfer.received + n > transfer.limit) {
      transfer.too_large = true;
      return 0;  // makes libcurl stop with a write error
    }
    transfer.received += n;
    if (transfer.file != nullptr) {
      if (std::fwrite(data, 1, n, transfer.file) != n) {
        transfer.write_failed = true;
        return 0;
      }
    } else {
      transfer.body.append(data, n);
    }
    return n;
  }
};

ServiceGateway::ServiceGateway(GatewayConfig config) : config_(std::move(config)) {
  global_init();
  // A line break in a credential would start a header of its own.
  for (std::string* value : {&config_.login, &config_.group, &config_.password}) {
    std::erase_if(*value, [](char c) { return c == '\r' || c == '\n'; });
  }
  curl_ = curl_easy_init();
  while (!config_.url.empty() && config_.url.back() == '/') config_.url.pop_back();
}

ServiceGateway::~ServiceGateway() {
  if (curl_ != nullptr) curl_easy_cleanup(handle(curl_));
}

std::string ServiceGateway::post(std::string_view path, const std::string& body) {
  Transfer transfer;
  transfer.limit = config_.max_answer_bytes;
  CURL* curl = handle(curl_);
  if (curl == nullptr) return failure_answer("a biblioteca de comunicação não pôde ser iniciada");
  curl_easy_reset(curl);
  const std::string address = config_.url + std::string{path};
  curl_easy_setopt(curl, CURLOPT_URL, address.c_str());
  curl_easy_setopt(curl, CURLOPT_POST, 1L);
  curl_easy_setopt(curl, CURLOPT_POSTFIELDS, body.c_str());
  curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
  curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, config_.total_timeout_ms);
  return finish(transfer);
}

std::string ServiceGateway::get(const std::string& address) {
  Transfer transfer;
  transfer.limit = config_.max_answer_bytes;
  CURL* curl = handle(curl_);
  if (curl == nullptr) return failure_answer("a biblioteca de comunicação não pôde ser iniciada");
  curl_easy_reset(curl);
  curl_easy_setopt(curl, CURLOPT_URL, address.c_str());
  curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
  curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, config_.total_timeout_ms);
  return finish(transfer);
}

// Sets the options every request shares, performs it and judges the answer.
std::string ServiceGateway::finish(Transfer& transfer) {
  CURL* curl = handle(curl_);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &Transfer::write);
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, config_.connect_timeout_ms);
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 0L);
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
  curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
  curl_slist* headers = nullptr;
  headers = curl_slist_append(headers, "Content-Type: application/json; charset=utf-8");
  headers = curl_slist_append(headers, "Accept: application/json");
  // No "Expect: 100-continue" round trip before a large body.
  headers = curl_slist_append(headers, "Expect:");
  headers = curl_slist_append(headers, ("X-Nfce-Login: " + config_.login).c_str());
  headers = curl_slist_append(headers, ("X-Nfce-Grupo: " + config_.group).c_str());
  headers = curl_slist_append(headers, ("X-Nfce-Senha: " + config_.password).c_str());
  curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
  const CURLcode code = curl_easy_perform(curl);
  long status = 0;
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
  curl_easy_setopt(curl, CURLOPT_HTTPHEADER, nullptr);
  curl_slist_free_all(headers);

  if (transfer.too_large) {
    return failure_answer("a resposta do serviço NFC-e excede " + std::to_string(transfer.limit) + " bytes");
  }
  if (transfer.write_failed) return failure_answer("não foi possível gravar o arquivo recebido");
  if (code == CURLE_OPERATION_TIMEDOUT) {
    return failure_answer("tempo esgotado na comunicação com o serviço NFC-e (" +
                          std::string{curl_easy_strerror(code)} + ")");
  }
  if (code != CURLE_OK) {
    return failure_answer("falha de comunicação com o serviço NFC-e (" + std::string{curl_easy_strerror(code)} + ")");
  }
  if (status != 200) {
    std::string cause = "o serviço NFC-e respondeu HTTP " + std::to_string(status);
    const std::string message = ObterValorCampo(transfer.body, "exMessage");
    if (!message.empty()) cause += ": " + message;
    return failure_answer(cause);
  }
  if (transfer.file != nullptr) return {};
  if (!is_answer_object(transfer.body)) {
    return failure_answer("a resposta do serviço NFC-e não é um objeto JSON");
  }
  return std::move(transfer.body);
}

std::string ServiceGateway::Autorizar_Xml(std::string_view cnpj, std::string_view xml) {
  return post("/api/autorizar", dump(json{{"cnpj", cnpj}, {"xml", xml}}));
}

std::string ServiceGateway::GetStatusPorChave_Xml(std::string_view cnpj, std::string_view key) {
  return post("/api/status", dump(json{{"cnpj", cnpj}, {"chave", key}}));
}

std::string ServiceGateway::Cancelar_Xml(std::string_view cnpj, std::string_view key, std::string_view justification) {
  return post("/api/cancelar", dump(json{{"cnpj", cnpj}, {"chave", key}, {"justificativa", justification}}));
}

std::string ServiceGateway::GetDoc(std::string_view cnpj, std::string_view key) {
  std::string answer = post("/api/documento", dump(json{{"cnpj", cnpj}, {"chave", key}}));
  std::string xml = ObterValorCampo(answer, "xml");
  return xml.empty() ? answer : xml;
}

std::string ServiceGateway::PingTesteWebService() { return get(config_.url + "/api/ping"); }

std::string ServiceGateway::SolicitarExportacao(std::string_view cnpj, std::int32_t year, std::int32_t month) {
  return post("/api/exportacao/solicitar", dump(json{{"cnpj", cnpj}, {"ano", year}, {"mes", month}}));
}

std::string ServiceGateway::ConsultarExportacao(std::string_view cnpj) {
  return post("/api/exportacao/consultar", dump(json{{"cnpj", cnpj}}));
}

std::string ServiceGateway::ExecutarDonwloadArquivo(std::string_view folder, std::string_view link) {
  const std::string service = origin_of(config_.url);
  if (service.empty() || origin_of(link) != service) {
    return failure_answer("o link de download não pertence ao serviço NFC-e configurado");
  }
  const std::string name = download_name(link);
  if (name.empty()) return failure_answer("o link de download não termina com um nome de arquivo válido");
  std::error_code ec;
  if (!std::filesystem::is_directory(std::string{folder}, ec)) {
    return failure_answer("a pasta de destino não existe: " + std::string{folder});
  }
  const std::filesystem::path target = std::filesystem::path{std::string{folder}} / name;
  const std::filesystem::path partial = target.string() + ".part";
  std::FILE* file = std::fopen(partial.c_str(), "wb");
  if (file == nullptr) return failure_answer("não foi possível criar o arquivo " + partial.string());

  Transfer transfer;
  transfer.file = file;
  transfer.limit = config_.max_download_bytes;
  CURL* curl = handle(curl_);
  std::string answer;
  if (curl == nullptr) {
    answer = failure_answer("a biblioteca de comunicação não pôde ser iniciada");
  } else {
    curl_easy_reset(curl);
    const std::string address{link};
    curl_easy_setopt(curl, CURLOPT_URL, address.c_str());
    curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, config_.download_timeout_ms);
    answer = finish(transfer);
  }
  const bool closed = std::fclose(file) == 0;
  if (answer.empty() && !closed) answer = failure_answer("não foi possível gravar o arquivo recebido");
  if (!answer.empty()) {
    std::filesystem::remove(partial, ec);
    return answer;
  }
  std::filesystem::rename(partial, target, ec);
  if (ec) {
    std::filesystem::remove(partial, ec);
    return failure_answer("não foi possível gravar o arquivo " + target.string());
  }
  return dump(json{{"arquivo", target.string()}, {"tamanho", transfer.received}, {"exMessage", ""}});
}

}  // namespace fvn
