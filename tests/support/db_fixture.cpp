#include "support/db_fixture.h"

#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include <libpq-fe.h>

#include "data/connection_text.h"
#include "data/db_session.h"
#include "support/ci.h"

namespace fvn::testing {

namespace {

struct State {
  bool tried = false;
  bool changed = false;    // a test may have changed the current clone
  std::string connection;  // of the clone
  std::string dbname;
  std::string reason;
  ConnectionParams server;  // the template's connection
};

State& state() {
  static State s;
  return s;
}

std::string program_name() {
  const std::string name = program_invocation_short_name;
  std::string clean;
  for (const char c : name)
    clean += (std::isalnum(static_cast<unsigned char>(c)) != 0) ? static_cast<char>(std::tolower(c)) : '_';
  return clean.substr(0, 30);
}

std::string text_of(const ConnectionParams& params) {
  std::string out;
  for (const auto& [key, value] : params.values) {
    if (!out.empty()) out += ' ';
    std::string quoted;
    for (const char c : value) {
      if (c == '\'' || c == '\\') quoted += '\\';
      quoted += c;
    }
    out += key + "='" + quoted + "'";
  }
  return out;
}

// Runs one statement on a database of the server; `param`, when given, is its $1.
bool run_on(const std::string& dbname, const std::string& sql, std::string& error, const char* param = nullptr) {
  PGconn* conn = PQconnectdb(connection_to(dbname).c_str());
  if (PQstatus(conn) != CONNECTION_OK) {
    error = PQerrorMessage(conn);
    PQfinish(conn);
    return false;
  }
  PQsetNoticeProcessor(
      conn, [](void*, const char*) {}, nullptr);
  PGresult* result = PQexecParams(conn, sql.c_str(), param == nullptr ? 0 : 1, nullptr, &param, nullptr, nullptr, 0);
  const bool ok = PQresultStatus(result) == PGRES_COMMAND_OK;
  if (!ok) error = PQresultErrorMessage(result);
  PQclear(result);
  PQfinish(conn);
  return ok;
}

bool admin(const std::string& sql, std::string& error) { return run_on("postgres", sql, error); }

// The template points the companies' NFC-e folders at the demo installation
// (var/nfce). Each clone gets empty folders of this program's own instead, so
// a test never reads or writes the demo's files (a QR image the demo left for
// the same sale id, say).
std::filesystem::path nfce_root() {
  const char* base = std::getenv("FVN_TEST_TMP");
  const std::filesystem::path root =
      base != nullptr && *base != '\0' ? std::filesystem::path{base} : std::filesystem::temp_directory_path();
  return root / (state().dbname + ".nfce");
}

bool own_folders(std::string& error) {
  const std::filesystem::path root = nfce_root();
  std::error_code ec;
  std::filesystem::remove_all(root, ec);
  // The demo's two companies, laid out as scripts/db lays out var/nfce.
  for (const char* company : {"1", "2"}) std::filesystem::create_directories(root / company, ec);
  if (ec) {
    error = "cannot create " + root.string() + ": " + ec.message();
    return false;
  }
  const std::string folder = root.string() + "/";
  return run_on(state().dbname, "update tempresa set s_tem_caminho_pasta_nfce = $1 || ccodempresa", error,
                folder.c_str());
}

void create_clone() {
  State& s = state();
  s.tried = true;
  const char* env = std::getenv("FVN_TEST_DB");
  if (env == nullptr || *env == '\0') {
    s.reason = "FVN_TEST_DB is not set: run the tests through scripts/test, which starts the database";
    return;
  }
  std::string error;
  auto params = parse_connection_text(env, &error);
  if (!params) {
    s.reason = "FVN_TEST_DB is not a usable connection text: " + error;
    return;
  }
  s.server = *params;
  const std::string template_name = params->get("dbname");
  s.dbname = "fvn_t_" + program_name() + "_" + std::to_string(::getpid());
  if (!admin("drop database if exists " + s.dbname + " with (force)", error) ||
      !admin("create database " + s.dbname + " template " + template_name, error)) {
    s.reason = "cannot create the test database from " + params->describe() + ": " + error;
    s.dbname.clear();
    return;
  }
  if (!own_folders(error)) {
    s.reason = "cannot give the test database folders of its own: " + error;
    admin("drop database if exists " + s.dbname + " with (force)", error);
    s.dbname.clear();
    return;
  }
  s.connection = connection_to(s.dbname);
}

class DropClone final : public ::testing::Environment {
 public:
  void TearDown() override {
    DbSession::close_all();
    State& s = state();
    if (s.dbname.empty()) return;
    std::string error;
    if (!admin("drop database if exists " + s.dbname + " with (force)", error)) {
      std::fprintf(stderr, "could not drop the test database %s: %s\n", s.dbname.c_str(), error.c_str());
    }
    std::error_code ec;
    std::filesystem::remove_all(nfce_root(), ec);
  }
};

[[maybe_unused]] ::testing::Environment* const drop_clone = ::testing::AddGlobalTestEnvironment(new DropClone);

}  // namespace

const std::string& test_database() {
  if (!state().tried) create_clone();
  return state().connection;
}

const std::string& reason() {
  test_database();
  return state().reason;
}

std::string connection_to(const std::string& dbname) {
  ConnectionParams params = state().server;
  params.set("dbname", dbname);
  return text_of(params);
}

void DbTest::SetUp() {
  db = test_database();
  State& s = state();
  if (!db.empty() && s.changed) {
    // Each test starts from the template's data: a test run through CTest
    // is a program of its own anyway; run all at once, they get a new clone.
    DbSession::close_all();
    std::string error;
    if (!admin("drop database if exists " + s.dbname + " with (force)", error) ||
        !admin("create database " + s.dbname + " template " + s.server.get("dbname"), error) || !own_folders(error)) {
      FAIL() << "cannot renew the test database: " << error;
    }
  }
  if (!rolls_back_) s.changed = true;
  if (db.empty()) {
    if (under_ci()) {
      FAIL() << "this test needs the database and CI must provide it: " << reason();
    }
    GTEST_SKIP() << "no database: " << reason();
  }
}

void DbTest::TearDown() { DbSession::close_all(); }

}  // namespace fvn::testing
