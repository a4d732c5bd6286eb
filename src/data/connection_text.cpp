#include "data/connection_text.h"

#include <algorithm>
#include <memory>

#include <libpq-fe.h>

#include "runtime/text.h"

namespace fvn {

namespace {

constexpr std::string_view kDefaultConnectTimeout = "10";

std::string lower(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(),
                 [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); });
  return out;
}

// The libpq keyword an ODBC key stands for; empty for keys PostgreSQL does
// not use (Driver, Provider, DSN, ...).
std::string_view odbc_keyword(std::string_view key) {
  struct Alias {
    std::string_view odbc;
    std::string_view libpq;
  };
  static constexpr Alias kAliases[] = {
      {"server", "host"},
      {"host", "host"},
      {"servername", "host"},
      {"address", "host"},
      {"data source", "host"},
      {"port", "port"},
      {"database", "dbname"},
      {"dbname", "dbname"},
      {"initial catalog", "dbname"},
      {"uid", "user"},
      {"user id", "user"},
      {"user", "user"},
      {"username", "user"},
      {"pwd", "password"},
      {"password", "password"},
      {"sslmode", "sslmode"},
      {"connect_timeout", "connect_timeout"},
      {"timeout", "connect_timeout"},
      {"application_name", "application_name"},
  };
  for (const Alias& alias : kAliases) {
    if (alias.odbc == key) return alias.libpq;
  }
  return {};
}

bool looks_like_odbc(std::string_view text) {
  if (text.find(';') != std::string_view::npos) return true;
  const auto eq = text.find('=');
  if (eq == std::string_view::npos) return false;
  const std::string key = lower(text::trim(text.substr(0, eq)));
  static constexpr std::string_view kOdbcOnly[] = {"server",   "uid", "pwd",         "database", "driver",
                                                   "provider", "dsn", "data source", "user id",  "initial catalog"};
  return std::find(std::begin(kOdbcOnly), std::end(kOdbcOnly), key) != std::end(kOdbcOnly);
}

std::optional<ConnectionParams> parse_odbc(std::string_view text, std::string* error) {
  ConnectionParams params;
  std::size_t i = 0;
  while (i < text.size()) {
    const auto eq = text.find('=', i);
    if (eq == std::string_view::npos) {
      if (!text::trim(text.substr(i)).empty()) {
        if (error) *error = "Texto de conexão inválido: falta \"=\" depois de uma chave.";
        return std::nullopt;
      }
      break;
    }
    const std::string key = lower(text::trim(text.substr(i, eq - i)));
    std::size_t j = eq + 1;
    while (j < text.size() && text[j] == ' ') ++j;
    std::string value;
    if (j < text.size() && text[j] == '{') {
      // {value}: "}}" stands for "}", and ";" is part of the value.
      ++j;
      bool closed = false;
      while (j < text.size()) {
        if (text[j] == '}') {
          if (j + 1 < text.size() && text[j + 1] == '}') {
            value += '}';
            j += 2;
            continue;
          }
          closed = true;
          ++j;
          break;
        }
        value += text[j++];
      }
      if (!closed) {
        if (error) *error = "Texto de conexão inválido: chave \"" + key + "\" com \"{\" sem \"}\".";
        return std::nullopt;
      }
      const auto end = text.find(';', j);
      i = end == std::string_view::npos ? text.size() : end + 1;
    } else {
      const auto end = text.find(';', j);
      value = text::trim(text.substr(j, (end == std::string_view::npos ? text.size() : end) - j));
      i = end == std::string_view::npos ? text.size() : end + 1;
    }
    if (key.empty()) {
      if (error) *error = "Texto de conexão inválido: chave vazia.";
      return std::nullopt;
    }
    const std::string_view keyword = odbc_keyword(key);
    if (!keyword.empty()) params.set(keyword, value);
  }
  return params;
}

std::optional<ConnectionParams> parse_libpq(std::string_view text, std::string* error) {
  char* message = nullptr;
  const std::string copy(text);
  std::unique_ptr<PQconninfoOption, decltype(&PQconninfoFree)> options(PQconninfoParse(copy.c_str(), &message),
                                                                       &PQconninfoFree);
  if (!options) {
    // libpq's message may quote part of the text, and so a password: it is
    // not repeated here.
    if (message != nullptr) PQfreemem(message);
    if (error)
      *error = "Texto de conexão inválido: não é uma lista libpq (chave=valor), uma URI postgresql:// nem ODBC.";
    return std::nullopt;
  }
  ConnectionParams params;
  for (const PQconninfoOption* option = options.get(); option->keyword != nullptr; ++option) {
    if (option->val != nullptr) params.set(option->keyword, option->val);
  }
  return params;
}

}  // namespace

std::string ConnectionParams::get(std::string_view keyword) const {
  for (const auto& [key, value] : values) {
    if (key == keyword) return value;
  }
  return {};
}

void ConnectionParams::set(std::string_view keyword, std::string value) {
  for (auto& [key, old] : values) {
    if (key == keyword) {
      old = std::move(value);
      return;
    }
  }
  values.emplace_back(std::string(keyword), std::move(value));
}

std::string ConnectionParams::describe() const {
  std::string out;
  for (const auto& [key, value] : values) {
    if (key == "password" || key == "passfile" || key == "sslpassword") continue;
    if (!out.empty()) out += ' ';
    out += key + "=" + value;
  }
  return out;
}

std::string ConnectionParams::session_key() const {
  auto sorted = values;
  std::sort(sorted.begin(), sorted.end());
  std::string key;
  for (const auto& [k, v] : sorted) {
    key += k;
    key += '\x1f';
    key += v;
    key += '\x1e';
  }
  return key;
}

std::optional<ConnectionParams> parse_connection_text(std::string_view text, std::string* error) {
  const std::string trimmed = text::trim(text);
  if (trimmed.empty()) {
    if (error) *error = "Texto de conexão com o banco de dados vazio.";
    return std::nullopt;
  }
  const bool uri = trimmed.rfind("postgresql://", 0) == 0 || trimmed.rfind("postgres://", 0) == 0;
  auto params = (!uri && looks_like_odbc(trimmed)) ? parse_odbc(trimmed, error) : parse_libpq(trimmed, error);
  if (!params) return std::nullopt;
  if (params->get("connect_timeout").empty()) params->set("connect_timeout", std::string(kDefaultConnectTimeout));
  if (params->get("application_name").empty()) params->set("application_name", "fvn");
  return params;
}

}  // namespace fvn
