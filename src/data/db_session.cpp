#include "data/db_session.h"

#include <map>

#include <libpq-fe.h>

#include "runtime/text.h"

namespace fvn {

namespace {

thread_local std::map<std::string, std::shared_ptr<DbSession>> sessions;

// Collapses line breaks and runs of blanks into single blanks.
std::string one_line(std::string_view text) {
  std::string out;
  bool blank = false;
  for (const char c : text) {
    if (c == '\n' || c == '\r' || c == '\t' || c == ' ') {
      blank = true;
      continue;
    }
    if (blank && !out.empty()) out += ' ';
    blank = false;
    out += c;
  }
  return out;
}

std::string result_message(const PGresult* result) {
  const char* primary = PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY);
  if (primary == nullptr) return one_line(PQresultErrorMessage(result));
  std::string out;
  if (const char* severity = PQresultErrorField(result, PG_DIAG_SEVERITY)) out = std::string(severity) + ": ";
  out += primary;
  if (const char* detail = PQresultErrorField(result, PG_DIAG_MESSAGE_DETAIL)) out += " - " + std::string(detail);
  if (const char* state = PQresultErrorField(result, PG_DIAG_SQLSTATE)) out += " (SQLSTATE " + std::string(state) + ")";
  return one_line(out);
}

bool is_rollback(std::string_view sql) {
  std::string word = text::trim(sql);
  while (!word.empty() && (word.back() == ';' || word.back() == ' ')) word.pop_back();
  return text::upper(word) == "ROLLBACK";
}

}  // namespace

void PgResultDeleter::operator()(pg_result* result) const { PQclear(result); }

std::string valid_utf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  std::size_t i = 0;
  while (i < text.size()) {
    const unsigned char c = bytes[i];
    std::size_t len = 0;
    if (c == 0) {
      ++i;
      continue;
    }
    if (c < 0x80) {
      len = 1;
    } else if (c >= 0xC2 && c <= 0xDF) {
      len = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
      len = 3;
    } else if (c >= 0xF0 && c <= 0xF4) {
      len = 4;
    }
    bool good = len > 0 && i + len <= text.size();
    for (std::size_t k = 1; good && k < len; ++k) good = (bytes[i + k] & 0xC0) == 0x80;
    if (good && len == 3) {
      const unsigned char d = bytes[i + 1];
      good = !(c == 0xE0 && d < 0xA0) && !(c == 0xED && d >= 0xA0);  // overlong, surrogates
    }
    if (good && len == 4) {
      const unsigned char d = bytes[i + 1];
      good = !(c == 0xF0 && d < 0x90) && !(c == 0xF4 && d >= 0x90);
    }
    if (good) {
      out.append(text.substr(i, len));
      i += len;
    } else {
      out += '?';
      ++i;
    }
  }
  return out;
}

std::shared_ptr<DbSession> DbSession::for_connection(std::string_view connection_text, std::string* error) {
  auto params = parse_connection_text(connection_text, error);
  if (!params) return nullptr;
  const std::string key = params->session_key();
  auto found = sessions.find(key);
  if (found != sessions.end()) return found->second;
  auto session = std::make_shared<DbSession>(std::move(*params));
  sessions.emplace(key, session);
  return session;
}

void DbSession::close_all() { sessions.clear(); }

DbSession::DbSession(ConnectionParams params) : params_(std::move(params)) {}

DbSession::~DbSession() {
  if (conn_ != nullptr) PQfinish(conn_);
}

bool DbSession::connected() const { return conn_ != nullptr && PQstatus(conn_) == CONNECTION_OK; }

bool DbSession::connect() {
  if (connected()) return true;
  if (conn_ != nullptr) {
    PQfinish(conn_);
    conn_ = nullptr;
  }
  std::vector<const char*> keywords;
  std::vector<const char*> values;
  std::string options = params_.get("options");
  // Statements are written for standard strings, ISO dates and UTF-8.
  options += " -c standard_conforming_strings=on -c datestyle=ISO,DMY";
  for (const auto& [key, value] : params_.values) {
    if (key == "options" || key == "client_encoding") continue;
    keywords.push_back(key.c_str());
    values.push_back(value.c_str());
  }
  keywords.push_back("options");
  values.push_back(options.c_str());
  keywords.push_back("client_encoding");
  values.push_back("UTF8");
  keywords.push_back(nullptr);
  values.push_back(nullptr);
  conn_ = PQconnectdbParams(keywords.data(), values.data(), 0);
  if (conn_ == nullptr) {
    driver_message_ = "Memória insuficiente para abrir a conexão com o banco de dados.";
    return false;
  }
  if (PQstatus(conn_) != CONNECTION_OK) {
    driver_message_ = one_line(PQerrorMessage(conn_));
    PQfinish(conn_);
    conn_ = nullptr;
    return false;
  }
  // Server notices (a "Commit" outside a transaction and the like) are not
  // failures and must not reach the terminal.
  PQsetNoticeProcessor(
      conn_, [](void*, const char*) {}, nullptr);
  return true;
}

bool DbSession::usable_for(std::string_view sql) {
  if (!connected()) {
    if (transaction_open_) transaction_lost_ = true;
    transaction_open_ = false;
    if (!connect()) return false;
  }
  if (transaction_lost_) {
    if (is_rollback(sql)) {
      transaction_lost_ = false;
      return true;
    }
    driver_message_ =
        "A conexão com o banco de dados caiu durante uma transação e ela foi desfeita; envie RollBack antes de "
        "continuar.";
    return false;
  }
  return true;
}

void DbSession::remember(const pg_result* result) {
  if (result == nullptr) {
    driver_message_ = one_line(PQerrorMessage(conn_));
  } else if (!ok(result)) {
    driver_message_ = result_message(result);
  }
  if (PQstatus(conn_) != CONNECTION_OK) {
    // The server went away during this statement: whatever transaction was
    // open is gone with it.
    if (transaction_open_) transaction_lost_ = true;
    transaction_open_ = false;
    return;
  }
  const auto status = PQtransactionStatus(conn_);
  transaction_open_ = status == PQTRANS_INTRANS || status == PQTRANS_INERROR || status == PQTRANS_ACTIVE;
}

PgResult DbSession::exec(std::string_view sql) {
  if (!usable_for(sql)) return nullptr;
  const std::string text(sql);
  PgResult result(PQexec(conn_, text.c_str()));
  remember(result.get());
  return result;
}

PgResult DbSession::exec(std::string_view sql, const std::vector<SqlParam>& params) {
  if (!usable_for(sql)) return nullptr;
  std::vector<const char*> values;
  std::vector<int> lengths;
  std::vector<int> formats;
  for (const SqlParam& param : params) {
    values.push_back(param.value ? param.value->data() : nullptr);
    lengths.push_back(param.value ? static_cast<int>(param.value->size()) : 0);
    formats.push_back(param.binary ? 1 : 0);
  }
  const std::string text(sql);
  PgResult result(PQexecParams(conn_, text.c_str(), static_cast<int>(params.size()), nullptr, values.data(),
                               lengths.data(), formats.data(), 0));
  remember(result.get());
  return result;
}

bool DbSession::ok(const pg_result* result) {
  if (result == nullptr) return false;
  const auto status = PQresultStatus(result);
  return status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK || status == PGRES_EMPTY_QUERY;
}

std::string DbSession::escape(std::string_view text) {
  const std::string clean = valid_utf8(text);
  if (connected() || connect()) {
    std::string out(clean.size() * 2 + 1, '\0');
    int error = 0;
    const std::size_t n = PQescapeStringConn(conn_, out.data(), clean.data(), clean.size(), &error);
    if (error == 0) {
      out.resize(n);
      return out;
    }
  }
  // Without a server to ask: the session always runs with standard strings.
  return escape_without_server(clean);
}

std::string escape_without_server(std::string_view text) {
  std::string out;
  for (const char c : valid_utf8(text)) {
    out += c;
    if (c == '\'') out += '\'';
  }
  return out;
}

bool DbSession::in_transaction() const { return transaction_open_; }

}  // namespace fvn
