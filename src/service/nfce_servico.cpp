#include "service/nfce_servico.h"

#include <pugixml.hpp>

#include "runtime/text.h"
#include "service/answer_fields.h"

namespace fvn {

namespace {

constexpr std::size_t kNumberCapacity = 31;
constexpr std::size_t kKeyCapacity = 50;
constexpr std::size_t kProtocolCapacity = 50;
constexpr std::size_t kOidCapacity = 91;
constexpr std::size_t kUrlCapacity = 401;
constexpr std::size_t kStatusCapacity = 21;
constexpr std::size_t kDateCapacity = 11;
constexpr std::size_t kTimeCapacity = 9;
constexpr std::size_t kExportResultChars = 10'000;

// A field of the answer cut to a record field of `capacity`.
std::string field(std::string_view answer, std::string_view name, std::size_t capacity) {
  return text::fit(ObterValorCampo(answer, name), capacity);
}

// True when `value` reads as a whole number greater than zero.
bool positive_number(std::string_view value) {
  const std::string digits = text::trim(value);
  if (digits.empty()) return false;
  bool nonzero = false;
  for (const char c : digits) {
    if (c < '0' || c > '9') return false;
    if (c != '0') nonzero = true;
  }
  return nonzero;
}

std::int32_t contingency_flag(std::string_view answer) {
  return text::upper(text::clip(ObterValorCampo(answer, "emContingencia"))) == "FALSE" ? 0 : 1;
}

// The authority's code for "this key is not in its base".
constexpr std::string_view kUnknownKeyCode = "217";

// The reason of a refusal: the answer's `name` field, else the first of
// detalheAutorizacao, exMessage and xMotivo that it carries, led by the
// authority's code (cStat) when the text does not start with it, so that
// the cashier never reads an empty reason.
std::string refusal_reason(std::string_view answer, std::string_view name) {
  std::string reason;
  for (const std::string_view candidate :
       {name, std::string_view{"detalheAutorizacao"}, std::string_view{"exMessage"}, std::string_view{"xMotivo"}}) {
    reason = text::clip(ObterValorCampo(answer, candidate));
    if (!reason.empty()) break;
  }
  const std::string code = text::clip(ObterValorCampo(answer, "cStat"));
  if (!code.empty() && reason.rfind(code, 0) != 0) reason = code + (reason.empty() ? "" : " - ") + reason;
  return reason;
}

// The message a failure answer carries: its exMessage, else the answer.
std::string answer_message(std::string_view answer) {
  std::string message = ObterValorCampo(answer, "exMessage");
  return message.empty() ? text::clip(answer) : message;
}

}  // namespace

AuthorisationMoment split_authorisation_moment(std::string_view value) {
  AuthorisationMoment moment;
  std::size_t t_position = std::string_view::npos;
  for (std::size_t i = 0; i < value.size(); ++i) {
    const char c = value[i];
    if (c == 'T' || c == 't') {
      moment.date = text::fit(value.substr(0, i), kDateCapacity);
      t_position = i;
    } else if (c == '-' && t_position != std::string_view::npos) {
      moment.time = text::fit(value.substr(t_position + 1, i - t_position - 1), kTimeCapacity);
    }
  }
  return moment;
}

std::string cancellation_protocol(std::string_view detail) {
  constexpr std::string_view kMarker = "nProt:";
  const auto marker = detail.find(kMarker);
  if (marker == std::string_view::npos) return {};
  std::string_view rest = detail.substr(marker + kMarker.size());
  rest = rest.substr(0, rest.find(','));
  return text::fit(text::trim(rest), kProtocolCapacity);
}

NFCE_SERVICO::NFCE_SERVICO(HostUi& ui, GatewayConfig config) : gateway_(std::move(config)), cnpj_validator_(ui) {}

int NFCE_SERVICO::fail(std::string_view text, std::string_view function) { return set_error(text, 0, function); }

int NFCE_SERVICO::Set_Login(std::string_view password, std::string_view user, std::string_view group,
                            std::string_view cnpj) {
  if (cnpj_validator_.Valida_CNPJ(cnpj) != 1) {
    return fail("Erro ao validar CNPJ: " + cnpj_validator_.Get_Error(), "Set_Login");
  }
  cnpj_ = digits_of(cnpj);
  group_ = text::fit(group, 201);
  user_ = text::fit(user, 201);
  password_ = text::fit(password, 201);
  return 1;
}

int NFCE_SERVICO::autorizaxml_nfce(std::string_view xml, AuthorisationResult& result) {
  constexpr std::string_view kFunction = "autorizaxml_nfce";
  const std::string answer = gateway_.Autorizar_Xml(cnpj_, xml);
  const std::string status = text::upper(text::clip(ObterValorCampo(answer, "statusAutorizacao")));
  refused_ = status == "ERRO" && !is_exception_answer(answer);
  unknown_key_ = false;
  result.number = field(answer, "numero", kNumberCapacity);
  if (!positive_number(result.number)) {
    result.number = "0";
    return fail("Erro: |Mensagem " + refusal_reason(answer, "exMessage"), kFunction);
  }
  if (status == "OK") {
    result.protocol = field(answer, "numeroProtocoloAutorizacao", kProtocolCapacity);
    result.oid = field(answer, "oid", kOidCapacity);
    result.qr_code_url = text::fit(DecodificarHtml(ObterValorCampo(answer, "urlQrCode")), kUrlCapacity);
    result.access_key = field(answer, "chave", kKeyCapacity);
    const AuthorisationMoment moment = split_authorisation_moment(ObterValorCampo(answer, "dhAutorizacao"));
    result.authorisation_date = moment.date;
    result.authorisation_time = moment.time;
    result.contingency = contingency_flag(answer);
    return 1;
  }
  if (status == "PENDENTE") {
    result.access_key = field(answer, "chave", kKeyCapacity);
    result.qr_code_url = field(answer, "urlQrCode", kUrlCapacity);
    result.contingency = contingency_flag(answer);
    return 1;
  }
  result.number = "0";
  return fail("Erro: Mensagem: " + refusal_reason(answer, "detalheAutorizacao"), kFunction);
}

int NFCE_SERVICO::statuschave_nfce(std::string_view key, StatusResult& status) {
  constexpr std::string_view kFunction = "statuschave_nfce";
  const std::string answer = gateway_.GetStatusPorChave_Xml(cnpj_, key);
  refused_ = false;
  unknown_key_ = false;
  status.authorisation_status = field(answer, "statusAutorizacao", kStatusCapacity);
  if (text::upper(text::clip(status.authorisation_status)) == "INUTILIZADO") {
    status.replacement_key = field(answer, "chaveSubstituta", kKeyCapacity);
    status.replacement_number = field(answer, "numeroSubstituto", kNumberCapacity);
    return 1;
  }
  status.number = field(answer, "numero", kNumberCapacity);
  if (!positive_number(status.number)) {
    status.number = "0";
    const std::string message = ObterValorCampo(answer, "exMessage");
    unknown_key_ = !is_exception_answer(answer) && text::trim(message).rfind(kUnknownKeyCode, 0) == 0;
    return fail("Erro: " + message, kFunction);
  }
  status.cancellation_status = field(answer, "statusCancelamento", kStatusCapacity);
  status.authorisation_status = field(answer, "statusAutorizacao", kStatusCapacity);
  status.protocol = field(answer, "numeroProtocoloAutorizacao", kProtocolCapacity);
  status.oid = field(answer, "oid", kOidCapacity);
  status.qr_code_url = field(answer, "urlQrCode", kUrlCapacity);
  status.access_key = field(answer, "chave", kKeyCapacity);
  const AuthorisationMoment moment = split_authorisation_moment(ObterValorCampo(answer, "dhAutorizacao"));
  status.authorisation_date = moment.date;
  status.authorisation_time = moment.time;
  status.contingency = contingency_flag(answer);
  return 1;
}

int NFCE_SERVICO::cancelarxml_nfce(std::string_view key, std::string_view justification, std::string& protocol) {
  const std::string answer = gateway_.Cancelar_Xml(cnpj_, key, justification);
  const std::string detail = ObterValorCampo(answer, "detalheCancelamento");
  if (text::upper(text::clip(ObterValorCampo(answer, "statusCancelamento"))) == "OK") {
    protocol = cancellation_protocol(detail);
    return 1;
  }
  return fail("Erro: |Mensagem: " + detail + " " + ObterValorCampo(answer, "exMessage"), "cancelarxml_nfce");
}

int NFCE_SERVICO::busca_documento(std::string_view key, std::string& xml) {
  constexpr std::string_view kFunction = "busca_documento";
  std::string answer = gateway_.GetDoc(cnpj_, key);
  const std::string_view body = answer;
  const auto first = body.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) {
    return fail("Erro ao obter o XML autorizado da NFC-e: o serviço não devolveu documento.", kFunction);
  }
  if (body[first] != '<') {
    return fail("Erro ao obter o XML autorizado da NFC-e: " + answer_message(answer), kFunction);
  }
  if (text::length(answer) > kDocumentMaxChars) {
    return fail("Erro ao obter o XML autorizado da NFC-e: o documento excede 1.000.000 caracteres.", kFunction);
  }
  pugi::xml_document document;
  const pugi::xml_parse_result parsed = document.load_buffer(answer.data(), answer.size());
  if (!parsed) {
    return fail(
        "Erro ao obter o XML autorizado da NFC-e: documento XML inválido (" + std::string{parsed.description()} + ").",
        kFunction);
  }
  xml = std::move(answer);
  return 1;
}

int NFCE_SERVICO::ping() {
  const std::string answer = gateway_.PingTesteWebService();
  if (is_exception_answer(answer)) return fail(answer_message(answer), "ping");
  return 1;
}

int NFCE_SERVICO::Solicitar_Exportacao(std::int32_t year, std::int32_t month) {
  const std::string answer = gateway_.SolicitarExportacao(cnpj_, year, month);
  if (is_exception_answer(answer)) return fail(" " + answer, "Solicitar_Exportacao");
  return 1;
}

int NFCE_SERVICO::Consultar_Exportacao(std::string& result) {
  const std::string answer = gateway_.ConsultarExportacao(cnpj_);
  if (is_exception_answer(answer)) return fail(" " + answer, "Consultar_Exportacao");
  result = text::cut(ObterValorCampo(answer, "resultado"), kExportResultChars);
  return 1;
}

int NFCE_SERVICO::download_exportacao(std::string_view folder, std::string_view link) {
  const std::string answer = gateway_.ExecutarDonwloadArquivo(folder, link);
  if (is_exception_answer(answer)) return fail(" " + answer, "download_exportacao");
  return 1;
}

}  // namespace fvn
