#include "sim_service.h"

#include <chrono>
#include <cstdio>
#include <sstream>

#include <pugixml.hpp>
#include <zip.h>

#include "runtime/text.h"
#include "sim_document.h"
#include "sim_tables.h"

namespace fvn::sim {

namespace {

using nlohmann::json;

constexpr std::string_view kApplication = "SIM-NFCE-1.0";

std::string xml_escape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&#39;"; break;
      default: out += c;
    }
  }
  return out;
}

std::string text_member(const json& request, const char* name) {
  const auto it = request.find(name);
  return it != request.end() && it->is_string() ? it->get<std::string>() : std::string{};
}

bool is_digits(std::string_view text, std::size_t size) { return text.size() == size && text::all_digits(text); }

Answer failure(int http_status, const std::string& message) {
  Answer answer;
  answer.http_status = http_status;
  answer.body["exMessage"] = "Exception: " + message;
  return answer;
}

std::string padded(std::int64_t value, int width) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%0*lld", width, static_cast<long long>(value));
  return buffer;
}

// The key of a note with another number (the service renumbered it).
std::string renumbered_key(std::string_view key, std::int64_t number) {
  std::string first43 = std::string{key.substr(0, 25)} + padded(number, 9) + std::string{key.substr(34, 9)};
  return first43 + std::to_string(key_check_digit(first43));
}

// Rewrites nNF, cDV and the Id of the document for the new key.
void renumber_document(pugi::xml_document& document, const std::string& key, std::int64_t number) {
  pugi::xml_node inf = document.document_element().child("infNFe");
  inf.attribute("Id").set_value(("NFe" + key).c_str());
  pugi::xml_node ide = inf.child("ide");
  ide.child("nNF").text().set(std::to_string(number).c_str());
  ide.child("cDV").text().set(key.substr(43).c_str());
}

std::string proc_xml(const NoteRow& note, int environment) {
  return std::string{R"(<?xml version="1.0" encoding="UTF-8"?><nfeProc xmlns=")"} + std::string{kNfeNamespace} +
         R"(" versao="4.00">)" + note.signed_nfe + R"(<protNFe versao="4.00"><infProt><tpAmb>)" +
         std::to_string(environment) + "</tpAmb><verAplic>" + std::string{kApplication} + "</verAplic><chNFe>" +
         note.key + "</chNFe><dhRecbto>" + note.authorised_at + "</dhRecbto><nProt>" + note.protocol +
         "</nProt><digVal>" + note.digest_value + "</digVal><cStat>100</cStat><xMotivo>" +
         std::string{cstat_message(cstat::kAuthorised)} + "</xMotivo></infProt></protNFe></nfeProc>";
}

std::string cancellation_xml(const NoteRow& note, const CancellationRow& row, int environment) {
  const std::string uf = note.key.substr(0, 2);
  const std::string event = "<evento versao=\"1.00\"><infEvento Id=\"ID110111" + note.key + "01\"><cOrgao>" + uf +
                            "</cOrgao><tpAmb>" + std::to_string(environment) + "</tpAmb><CNPJ>" + note.cnpj +
                            "</CNPJ><chNFe>" + note.key + "</chNFe><dhEvento>" + row.registered_at +
                            "</dhEvento><tpEvento>110111</tpEvento><nSeqEvento>1</nSeqEvento><verEvento>1.00"
                            "</verEvento><detEvento versao=\"1.00\"><descEvento>Cancelamento</descEvento><nProt>" +
                            note.protocol + "</nProt><xJust>" + xml_escape(row.justification) +
                            "</xJust></detEvento></infEvento></evento>";
  const std::string answer =
      "<retEvento versao=\"1.00\"><infEvento><tpAmb>" + std::to_string(environment) + "</tpAmb><verAplic>" +
      std::string{kApplication} + "</verAplic><cOrgao>" + uf + "</cOrgao><cStat>135</cStat><xMotivo>" +
      std::string{cstat_message(cstat::kEventRegistered)} + "</xMotivo><chNFe>" + note.key +
      "</chNFe><tpEvento>110111</tpEvento><xEvento>Cancelamento registrado</xEvento>"
      "<nSeqEvento>1</nSeqEvento><dhRegEvento>" +
      row.registered_at + "</dhRegEvento><nProt>" + row.protocol + "</nProt></infEvento></retEvento>";
  return R"(<?xml version="1.0" encoding="UTF-8"?><procEventoNFe xmlns=")" + std::string{kNfeNamespace} +
         R"(" versao="1.00">)" + event + answer + "</procEventoNFe>";
}

std::string cancellation_detail(const CancellationRow& row) {
  return "cStat: 135, nProt: " + row.protocol + ", dhRegEvento: " + row.registered_at;
}

// A zip (in memory) of the given files.
std::optional<std::string> zip_files(const std::vector<std::pair<std::string, std::string>>& files) {
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
  if (buffer == nullptr) return std::nullopt;
  zip_source_keep(buffer);
  zip_t* archive = zip_open_from_source(buffer, ZIP_TRUNCATE, &error);
  bool ok = archive != nullptr;
  for (const auto& [name, content] : files) {
    if (!ok) break;
    zip_source_t* source = zip_source_buffer(archive, content.data(), content.size(), 0);
    ok = source != nullptr && zip_file_add(archive, name.c_str(), source, ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE) >= 0;
    if (!ok && source != nullptr) zip_source_free(source);
  }
  if (archive != nullptr && zip_close(archive) < 0) {
    zip_discard(archive);
    ok = false;
  }
  std::string bytes;
  if (ok && zip_source_open(buffer) == 0) {
    zip_source_seek(buffer, 0, SEEK_END);
    const zip_int64_t size = zip_source_tell(buffer);
    zip_source_seek(buffer, 0, SEEK_SET);
    bytes.resize(static_cast<std::size_t>(size > 0 ? size : 0));
    ok = zip_source_read(buffer, bytes.data(), bytes.size()) == size;
    zip_source_close(buffer);
  }
  zip_source_free(buffer);
  zip_error_fini(&error);
  if (!ok) return std::nullopt;
  return bytes;
}

std::string html_escape(std::string_view text) { return xml_escape(text); }

}  // namespace

SimService::SimService(Store& store, const Signer& signer, const SchemaValidator* validator, ServiceOptions options)
    : store_(store), signer_(signer), validator_(validator), options_(std::move(options)) {}

std::int64_t SimService::now() const {
  return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count();
}

std::optional<Answer> SimService::refuse_login(const Credentials& credentials, const std::string& cnpj) {
  if (!store_.has_accounts()) return std::nullopt;
  const auto account = store_.find_account_by_login(credentials.login);
  if (!account || account->password != credentials.password || account->group != credentials.group) {
    return failure(401, "usuário, grupo ou senha inválidos");
  }
  if (!cnpj.empty() && account->cnpj != cnpj) {
    return failure(403, "o usuário " + credentials.login + " não está autorizado para o CNPJ " + cnpj);
  }
  return std::nullopt;
}

std::string SimService::new_protocol(int uf_code) {
  const std::string year = format_moment(now(), options_.zone_minutes).substr(2, 2);
  return "1" + padded(uf_code, 2) + year + padded(store_.next("protocolo"), 10);
}

void SimService::authorise_now(NoteRow& note) {
  note.state = "OK";
  note.protocol = new_protocol(std::stoi(note.key.substr(0, 2)));
  note.authorised_at = format_moment(now(), options_.zone_minutes);
  note.cstat = cstat::kAuthorised;
  note.reason = std::string{cstat_message(cstat::kAuthorised)};
  note.proc = proc_xml(note, note.environment);
}

void SimService::resolve_pending(NoteRow& note) {
  if (note.state != "PENDENTE") return;
  if (note.resolve_after > 0) {
    --note.resolve_after;
  } else if (note.resolve_to == "ERRO") {
    note.state = "ERRO";
    note.cstat = note.resolve_cstat > 0 ? note.resolve_cstat : cstat::kUncatalogued;
    note.reason = std::string{cstat_message(note.cstat)};
  } else {
    authorise_now(note);
  }
  store_.update_note(note);
}

json SimService::authorisation_answer(const NoteRow& note) {
  json answer = {{"numero", std::to_string(note.number)},
                 {"chave", note.key},
                 {"urlQrCode", html_escape(note.qr_code)},
                 {"emContingencia", note.contingency == 1 ? "TRUE" : "FALSE"},
                 {"numeroProtocoloAutorizacao", ""},
                 {"oid", std::to_string(note.oid)},
                 {"dhAutorizacao", ""},
                 {"exMessage", ""}};
  if (note.state == "OK") {
    answer["statusAutorizacao"] = "OK";
    answer["numeroProtocoloAutorizacao"] = note.protocol;
    answer["dhAutorizacao"] = note.authorised_at;
    answer["detalheAutorizacao"] = cstat_text(cstat::kAuthorised);
  } else if (note.state == "PENDENTE" && note.contingency == 1) {
    // Accepted by the service and issued in contingency; the authority
    // has not authorised it yet.
    answer["statusAutorizacao"] = "OK";
    answer["oid"] = "0";
    answer["detalheAutorizacao"] = "NFC-e emitida em contingência, aguardando autorização";
  } else if (note.state == "PENDENTE") {
    answer["statusAutorizacao"] = "PENDENTE";
    answer["detalheAutorizacao"] = "105 - Lote em processamento";
  } else {
    answer["statusAutorizacao"] = note.state;
    answer["detalheAutorizacao"] = cstat_text(note.cstat, note.reason);
  }
  return answer;
}

json SimService::status_answer(const NoteRow& note) {
  const auto cancellation = store_.find_cancellation(note.key);
  json answer = {{"numero", std::to_string(note.number)},
                 {"statusAutorizacao", note.state},
                 {"statusCancelamento", cancellation ? "OK" : ""},
                 {"numeroProtocoloAutorizacao", note.protocol},
                 {"oid", std::to_string(note.oid)},
                 {"urlQrCode", note.qr_code},
                 {"chave", note.key},
                 {"dhAutorizacao", note.authorised_at},
                 {"emContingencia", note.contingency == 1 ? "TRUE" : "FALSE"},
                 {"exMessage", ""}};
  if (note.state == "ERRO") answer["detalheAutorizacao"] = cstat_text(note.cstat, note.reason);
  if (cancellation) answer["detalheCancelamento"] = cancellation_detail(*cancellation);
  // A number voided because the note was renumbered names the note that
  // replaced it, so a sender that never saw the renumbering can find it.
  if (note.state == "INUTILIZADO" && is_digits(note.replaced_by, 44)) {
    answer["chaveSubstituta"] = note.replaced_by;
    answer["numeroSubstituto"] = std::to_string(std::stoll(note.replaced_by.substr(25, 9)));
  }
  return answer;
}

Answer SimService::rejection(const std::string& key, std::int64_t number, int cstat_code, const std::string& detail) {
  const std::string text = cstat_text(cstat_code, detail);
  Answer answer;
  answer.body = {{"numero", std::to_string(number)},
                 {"statusAutorizacao", "ERRO"},
                 {"chave", key},
                 {"cStat", std::to_string(cstat_code)},
                 {"detalheAutorizacao", text},
                 {"emContingencia", "FALSE"},
                 {"exMessage", text}};
  return answer;
}

Answer SimService::authorise(const Credentials& credentials, const json& request, const FaultRule* rule) {
  const std::string cnpj = text_member(request, "cnpj");
  if (!is_digits(cnpj, 14)) return failure(400, "CNPJ da empresa inválido");
  if (auto refused = refuse_login(credentials, cnpj)) return *refused;
  const std::string xml = text_member(request, "xml");

  pugi::xml_document document;
  if (!document.load_buffer(xml.data(), xml.size())) {
    return rejection("", 0, cstat::kMalformed, "o XML enviado não pôde ser lido");
  }
  const std::string_view id = document.document_element().child("infNFe").attribute("Id").value();
  const std::string sent_key = id.size() == 47 ? std::string{id.substr(3)} : std::string{};
  if (!sent_key.empty()) {
    if (auto existing = store_.find_note(sent_key); existing && existing->state != "ERRO") {
      return Answer{200, authorisation_answer(*existing)};
    }
  }

  NoteFacts facts;
  CheckContext context{cnpj, options_.environment, now(), options_.max_future_seconds, options_.max_age_seconds};
  NoteRow note;
  std::optional<Rejection> refused = examine(document, context, facts);
  note.key = facts.key;
  note.cnpj = facts.cnpj;
  note.series = facts.series;
  note.number = facts.number;
  note.environment = facts.environment;
  note.emitted = facts.emitted;
  note.year_month = facts.emitted.size() >= 7 ? facts.emitted.substr(0, 7) : std::string{};
  if (!refused && rule != nullptr && rule->mode == Mode::Reject) {
    refused = Rejection{rule->cstat, "rejeição simulada"};
  }
  if (!refused) {
    if (auto other = store_.find_same_number(note)) {
      refused = Rejection{cstat::kDuplicateOtherKey, "[chNFe: " + other->key + "]"};
    }
  }
  const Mode mode = rule != nullptr ? rule->mode : Mode::Normal;
  std::string to_sign = xml;
  if (!refused && mode == Mode::Renumber) {
    note.number = std::max(store_.highest_number(note.cnpj, note.series), note.number) + 1;
    note.key = renumbered_key(note.key, note.number);
    renumber_document(document, note.key, note.number);
    std::ostringstream out;
    document.save(out, "", pugi::format_raw);
    to_sign = out.str();
  }

  std::string schema_error;
  std::string error;
  std::optional<Signer::Signed> signed_document;
  if (!refused) {
    QrParameters qr;
    qr.address = consultation_address(facts.environment, facts.uf_code);
    qr.environment = facts.environment;
    const auto account = store_.find_account(note.cnpj);
    const bool own_csc = account && !account->csc.empty();
    qr.token_id = own_csc ? account->token_id : options_.token_id;
    qr.csc = own_csc ? account->csc : options_.csc;
    qr.offline = facts.emission_type == 9;
    qr.day = facts.emitted.substr(8, 2);
    qr.total = facts.total;
    signed_document = signer_.sign(to_sign, note.key, qr, validator_, schema_error, error);
    if (!signed_document && !schema_error.empty()) refused = Rejection{cstat::kSchema, schema_error};
    if (!signed_document && schema_error.empty()) return failure(500, error);
  }
  if (refused) {
    if (!is_digits(note.key, 44)) return rejection(sent_key, note.number, refused->cstat, refused->detail);
    note.state = "ERRO";
    note.cstat = refused->cstat;
    note.reason = refused->detail;
    if (auto existing = store_.save_new_note(note)) return Answer{200, authorisation_answer(*existing)};
    return rejection(note.key, note.number, refused->cstat, refused->detail);
  }

  note.signed_nfe = std::move(signed_document->nfe);
  note.digest_value = signed_document->digest_value;
  note.qr_code = signed_document->qr_code;
  note.oid = store_.next("oid");
  if (mode == Mode::Contingency || mode == Mode::Renumber || mode == Mode::Pending) {
    note.state = "PENDENTE";
    note.contingency = mode == Mode::Pending ? 0 : 1;
    note.resolve_after = rule->after;
    note.resolve_to = mode == Mode::Pending ? rule->resolve : "OK";
    note.resolve_cstat = rule->cstat;
  } else {
    authorise_now(note);
  }
  if (auto existing = store_.save_new_note(note)) return Answer{200, authorisation_answer(*existing)};
  if (mode == Mode::Renumber && is_digits(sent_key, 44)) void_original(note, sent_key, facts.number);
  return Answer{200, authorisation_answer(note)};
}

// The number a renumbered note was sent under is voided, as the service
// does: a status query on the key sent answers INUTILIZADO, naming the
// replacement.
void SimService::void_original(const NoteRow& renumbered, const std::string& key, std::int64_t number) {
  NoteRow original = renumbered;
  original.key = key;
  original.number = number;
  original.state = "INUTILIZADO";
  original.contingency = 0;
  original.protocol.clear();
  original.proc.clear();
  original.cstat = 102;
  original.reason = "Inutilização de número homologado";
  original.replaced_by = renumbered.key;
  store_.save_new_note(original);
}

Answer SimService::status(const Credentials& credentials, const json& request) {
  const std::string cnpj = text_member(request, "cnpj");
  if (auto refused = refuse_login(credentials, cnpj)) return *refused;
  const std::string key = text_member(request, "chave");
  auto note = store_.find_note(key);
  if (!note || note->cnpj != cnpj) {
    Answer answer;
    answer.body = {{"chave", key}, {"exMessage", cstat_text(cstat::kNotFound)}};
    return answer;
  }
  resolve_pending(*note);
  return Answer{200, status_answer(*note)};
}

Answer SimService::cancel(const Credentials& credentials, const json& request, const FaultRule* rule) {
  const std::string cnpj = text_member(request, "cnpj");
  if (auto refused = refuse_login(credentials, cnpj)) return *refused;
  const std::string key = text_member(request, "chave");
  const std::string justification = text_member(request, "justificativa");
  Answer answer;
  auto refuse = [&](int code, const std::string& detail) {
    answer.body = {
        {"statusCancelamento", "ERRO"}, {"detalheCancelamento", cstat_text(code, detail)}, {"exMessage", ""}};
    return answer;
  };
  auto note = store_.find_note(key);
  if (!note || note->cnpj != cnpj) return refuse(cstat::kNotFound, key);
  if (auto existing = store_.find_cancellation(key)) {
    answer.body = {
        {"statusCancelamento", "OK"}, {"detalheCancelamento", cancellation_detail(*existing)}, {"exMessage", ""}};
    return answer;
  }
  resolve_pending(*note);
  if (note->state != "OK") return refuse(cstat::kEventNeedsAuthorised, "situação " + note->state);
  const std::size_t length = justification.size();
  if (length < 15 || length > 255) return refuse(cstat::kSchema, "xJust deve ter de 15 a 255 caracteres");
  if (rule != nullptr && rule->mode == Mode::Reject) return refuse(rule->cstat, "rejeição simulada");

  CancellationRow row;
  row.key = key;
  row.protocol = new_protocol(std::stoi(key.substr(0, 2)));
  row.registered_at = format_moment(now(), options_.zone_minutes);
  row.justification = justification;
  row.event_xml = cancellation_xml(*note, row, note->environment);
  store_.save_cancellation(row);
  const auto saved = store_.find_cancellation(key);
  answer.body = {{"statusCancelamento", "OK"},
                 {"detalheCancelamento", cancellation_detail(saved ? *saved : row)},
                 {"exMessage", ""}};
  return answer;
}

Answer SimService::document(const Credentials& credentials, const json& request) {
  const std::string cnpj = text_member(request, "cnpj");
  if (auto refused = refuse_login(credentials, cnpj)) return *refused;
  const std::string key = text_member(request, "chave");
  Answer answer;
  const auto note = store_.find_note(key);
  if (!note || note->cnpj != cnpj) {
    answer.body = {{"xml", ""}, {"exMessage", "Exception: " + cstat_text(cstat::kNotFound, key)}};
    return answer;
  }
  if (const auto cancellation = store_.find_cancellation(key)) {
    answer.body = {{"xml", cancellation->event_xml}, {"exMessage", ""}};
    return answer;
  }
  if (note->state != "OK") {
    answer.body = {{"xml", ""},
                   {"exMessage", "Exception: a NFC-e " + key + " não está autorizada (" + note->state + ")"}};
    return answer;
  }
  answer.body = {{"xml", note->proc}, {"exMessage", ""}};
  return answer;
}

Answer SimService::ping() {
  Answer answer;
  answer.body = {{"status", "OK"},
                 {"cStat", std::to_string(cstat::kServiceRunning)},
                 {"xMotivo", std::string{cstat_message(cstat::kServiceRunning)}},
                 {"dhRecbto", format_moment(now(), options_.zone_minutes)}};
  return answer;
}

Answer SimService::request_export(const Credentials& credentials, const json& request) {
  const std::string cnpj = text_member(request, "cnpj");
  if (!is_digits(cnpj, 14)) return failure(400, "CNPJ da empresa inválido");
  if (auto refused = refuse_login(credentials, cnpj)) return *refused;
  const int year = request.value("ano", 0);
  const int month = request.value("mes", 0);
  if (year < 2000 || year > 9999 || month < 1 || month > 12) {
    Answer answer;
    answer.body = {{"resultado", ""}, {"exMessage", "Exception: período inválido"}};
    return answer;
  }
  store_.add_export(cnpj, year, month, now());
  Answer answer;
  answer.body = {{"resultado", "Solicitação de exportação registrada"}, {"exMessage", ""}};
  return answer;
}

std::string SimService::export_name(const ExportRow& row) {
  return "NFCe_" + row.cnpj + "_" + padded(row.year, 4) + padded(row.month, 2) + ".zip";
}

Answer SimService::list_exports(const Credentials& credentials, const json& request, const std::string& base_url) {
  const std::string cnpj = text_member(request, "cnpj");
  if (auto refused = refuse_login(credentials, cnpj)) return *refused;
  std::string result;
  for (const ExportRow& row : store_.exports(cnpj)) {
    result += padded(row.month, 2) + "/" + padded(row.year, 4) + " ";
    if (now() - row.requested_at < options_.export_delay_seconds) {
      result += "AGUARDE - arquivo em processamento";
    } else {
      result += base_url + "/api/exportacao/arquivo/" + std::to_string(row.id) + "/" + export_name(row);
    }
    result += "\r\n";
  }
  Answer answer;
  answer.body = {{"resultado", result}, {"exMessage", ""}};
  return answer;
}

std::optional<ExportFile> SimService::export_file(const Credentials& credentials, std::int64_t id, Answer& refusal) {
  const auto row = store_.find_export(id);
  if (!row) {
    refusal = failure(404, "exportação não encontrada");
    return std::nullopt;
  }
  if (auto refused = refuse_login(credentials, row->cnpj)) {
    refusal = *refused;
    return std::nullopt;
  }
  if (now() - row->requested_at < options_.export_delay_seconds) {
    refusal = failure(409, "arquivo em processamento, AGUARDE");
    return std::nullopt;
  }
  std::vector<std::pair<std::string, std::string>> files;
  for (NoteRow& note : store_.authorised_notes(row->cnpj, padded(row->year, 4) + "-" + padded(row->month, 2))) {
    files.emplace_back(note.key + "-nfce.xml", std::move(note.proc));
    if (auto cancellation = store_.find_cancellation(note.key)) {
      files.emplace_back(note.key + "-nfce-canc.xml", std::move(cancellation->event_xml));
    }
  }
  auto bytes = zip_files(files);
  if (!bytes) {
    refusal = failure(500, "não foi possível montar o arquivo compactado");
    return std::nullopt;
  }
  return ExportFile{export_name(*row), std::move(*bytes)};
}

bool SimService::void_note(const std::string& key) {
  auto note = store_.find_note(key);
  if (!note) return false;
  note->state = "INUTILIZADO";
  note->cstat = 102;
  note->reason = "Inutilização de número homologado";
  return store_.update_note(*note);
}

}  // namespace fvn::sim
