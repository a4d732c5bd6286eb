// One server session (a libpq connection) per connection text, shared by
// every passthrough table of the thread that names that text. Sharing the
// session is what makes "Begin", "Commit" and "RollBack" sent through one
// table cover the statements of the others, and what keeps session
// temporary tables visible from every table.
//
// Every result is fetched whole into memory (PQexec), so several tables
// can hold open results on the same session at once.
//
// Sessions live until close_all() (module shutdown, tests). A connection
// that breaks is opened again on the next statement; when it broke inside a
// transaction, every statement fails until the caller sends "RollBack", so
// that a lost transaction is never followed by a "Commit" that reports
// success.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/connection_text.h"

struct pg_conn;
struct pg_result;

namespace fvn {

struct PgResultDeleter {
  void operator()(pg_result* result) const;
};
using PgResult = std::unique_ptr<pg_result, PgResultDeleter>;

// A value bound to a statement parameter ($1, $2, ...): text, raw bytes
// (large objects) or NULL.
struct SqlParam {
  std::optional<std::string> value;
  bool binary = false;

  static SqlParam text(std::string value) { return {std::move(value), false}; }
  static SqlParam bytes(std::string value) { return {std::move(value), true}; }
  static SqlParam null() { return {std::nullopt, false}; }
};

class DbSession {
 public:
  // The session of a connection text, created (not yet connected) on first
  // use. std::nullopt-like nullptr with `error` set when the text is unusable.
  static std::shared_ptr<DbSession> for_connection(std::string_view connection_text, std::string* error = nullptr);

  // Disconnects and forgets every session of this thread.
  static void close_all();

  explicit DbSession(ConnectionParams params);
  ~DbSession();
  DbSession(const DbSession&) = delete;
  DbSession& operator=(const DbSession&) = delete;

  // Connects when not connected; false with driver_message() set.
  bool connect();
  [[nodiscard]] bool connected() const;

  // Runs a statement; the result is null only when the connection cannot
  // be had. ok() tells success; driver_message() describes a failure.
  PgResult exec(std::string_view sql);
  PgResult exec(std::string_view sql, const std::vector<SqlParam>& params);

  static bool ok(const pg_result* result);

  // One-line description of the last failure: connection or statement.
  [[nodiscard]] const std::string& driver_message() const { return driver_message_; }

  // The text with its single quotes doubled (and whatever else the server
  // needs), ready to stand between the quotes of a statement. Bytes that are
  // not valid UTF-8 become "?", NUL characters are dropped.
  std::string escape(std::string_view text);

  [[nodiscard]] bool in_transaction() const;
  [[nodiscard]] const ConnectionParams& params() const { return params_; }
  [[nodiscard]] std::string description() const { return params_.describe(); }
  pg_conn* handle() { return conn_; }

 private:
  bool usable_for(std::string_view sql);
  void remember(const pg_result* result);

  ConnectionParams params_;
  pg_conn* conn_ = nullptr;
  std::string driver_message_;
  bool transaction_open_ = false;
  bool transaction_lost_ = false;
};

// The text with invalid UTF-8 bytes replaced by "?" and NUL characters removed.
std::string valid_utf8(std::string_view text);

// The text made valid UTF-8 with every quote doubled: the whole escaping
// rule of a session with standard strings, for when no server can be asked.
std::string escape_without_server(std::string_view text);

}  // namespace fvn
