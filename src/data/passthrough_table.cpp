#include "data/passthrough_table.h"

#include <libpq-fe.h>

#include "runtime/host_ui.h"
#include "runtime/runtime_messages.h"
#include "runtime/text.h"

namespace fvn {

PassthroughTable::~PassthroughTable() = default;

void PassthroughTable::set_owner(std::string connection_text) {
  if (connection_text == owner_) return;
  result_.reset();
  session_.reset();
  row_ = -1;
  owner_ = std::move(connection_text);
}

PassthroughTable& PassthroughTable::bind_long(std::int32_t& field) {
  fields_.push_back(RecordField::long_field(field));
  return *this;
}

PassthroughTable& PassthroughTable::bind_text(std::string& field, std::size_t capacity) {
  fields_.push_back(RecordField::text_field(field, capacity));
  return *this;
}

PassthroughTable& PassthroughTable::bind_real(double& field) {
  fields_.push_back(RecordField::real_field(field));
  return *this;
}

PassthroughTable& PassthroughTable::bind_date(Date& field) {
  fields_.push_back(RecordField::date_field(field));
  return *this;
}

PassthroughTable& PassthroughTable::bind_time(Time& field) {
  fields_.push_back(RecordField::time_field(field));
  return *this;
}

PassthroughTable& PassthroughTable::bind_blob(std::string& field) {
  fields_.push_back(RecordField::blob_field(field));
  return *this;
}

int PassthroughTable::fail(int runtime_code, std::string driver_message) {
  runtime_error_ = runtime_code;
  driver_message_ = std::move(driver_message);
  set_runtime_error(runtime_code);
  return 0;
}

int PassthroughTable::succeed() {
  runtime_error_ = 0;
  driver_message_.clear();
  clear_runtime_error();
  return 1;
}

int PassthroughTable::open() {
  if (session_ != nullptr) return succeed();
  std::string problem;
  auto session = DbSession::for_connection(owner_, &problem);
  if (session == nullptr) return fail(rt::kFileDriverError, problem);
  if (!session->connect()) return fail(rt::kFileDriverError, session->driver_message());
  session_ = std::move(session);
  result_.reset();
  row_ = -1;
  return succeed();
}

int PassthroughTable::take(PgResult result) {
  row_ = -1;
  if (!DbSession::ok(result.get())) {
    result_.reset();
    return fail(rt::kFileDriverError, session_->driver_message());
  }
  result_ = std::move(result);
  return succeed();
}

int PassthroughTable::execute(std::string_view sql) {
  if (session_ == nullptr) return fail(rt::kFileNotOpen, "Tabela " + name_ + " não está aberta.");
  result_.reset();
  return take(session_->exec(sql));
}

int PassthroughTable::execute(std::string_view sql, const std::vector<SqlParam>& params) {
  if (session_ == nullptr) return fail(rt::kFileNotOpen, "Tabela " + name_ + " não está aberta.");
  result_.reset();
  return take(session_->exec(sql, params));
}

int PassthroughTable::next() {
  if (session_ == nullptr) return fail(rt::kFileNotOpen, "Tabela " + name_ + " não está aberta.");
  if (result_ == nullptr) return fail(rt::kFileDriverError, "Nenhuma consulta foi executada na tabela " + name_ + ".");
  if (row_ + 1 >= PQntuples(result_.get())) {
    row_ = PQntuples(result_.get());
    return fail(rt::kEndOfFile, "");
  }
  ++row_;
  const int columns = PQnfields(result_.get());
  const int n = std::min(columns, static_cast<int>(fields_.size()));
  std::string problem;
  for (int c = 0; c < n; ++c) {
    const char* value = PQgetisnull(result_.get(), row_, c) ? nullptr : PQgetvalue(result_.get(), row_, c);
    const auto length = static_cast<std::size_t>(PQgetlength(result_.get(), row_, c));
    if (!fields_[static_cast<std::size_t>(c)].assign(value, length, column_kind_of(PQftype(result_.get(), c)),
                                                     problem)) {
      return fail(rt::kFileDriverError,
                  "Coluna " + std::to_string(c + 1) + " (" + PQfname(result_.get(), c) + "): " + problem + ".");
    }
  }
  return succeed();
}

int PassthroughTable::close() {
  result_.reset();
  session_.reset();
  row_ = -1;
  return succeed();
}

std::string_view PassthroughTable::runtime_message() const { return fvn::runtime_message(runtime_error_); }

bool PassthroughTable::at_end() const { return runtime_error_ == rt::kEndOfFile; }

std::string PassthroughTable::error_text(std::string_view context) const {
  std::string text(context);
  text += fvn::runtime_message(runtime_error_);
  text += '|';
  text += driver_message_;
  return text;
}

long long PassthroughTable::row_count() const {
  if (result_ == nullptr) return 0;
  if (PQresultStatus(result_.get()) == PGRES_TUPLES_OK) return PQntuples(result_.get());
  const char* affected = PQcmdTuples(result_.get());
  return affected != nullptr && *affected != '\0' ? std::stoll(affected) : 0;
}

int PassthroughTable::column_count() const { return result_ ? PQnfields(result_.get()) : 0; }

std::string PassthroughTable::column_name(int column) const {
  if (!result_ || column < 0 || column >= PQnfields(result_.get())) return {};
  return PQfname(result_.get(), column);
}

bool PassthroughTable::is_null(int column) const {
  if (!result_ || row_ < 0 || row_ >= PQntuples(result_.get()) || column < 0 || column >= PQnfields(result_.get()))
    return true;
  return PQgetisnull(result_.get(), row_, column) != 0;
}

std::string PassthroughTable::value(int column) const {
  if (is_null(column)) return {};
  return {PQgetvalue(result_.get(), row_, column), static_cast<std::size_t>(PQgetlength(result_.get(), row_, column))};
}

std::string PassthroughTable::escape(std::string_view text) {
  if (session_ == nullptr) open();
  if (session_ == nullptr) return escape_without_server(text);
  return session_->escape(text);
}

std::string PassthroughTable::literal(std::string_view text) { return "'" + escape(text) + "'"; }

std::string PassthroughTable::literal_or_null(std::string_view text) {
  return text::trim(text).empty() ? std::string{"NULL"} : literal(text);
}

int send_rollback(PassthroughTable& table, HostUi& ui) {
  if (table.open() == 1 && table.execute("RollBack") == 1) return 1;
  ui.message(table.error_text("Erro ao parar transação.|"), "Erro", MessageIcon::Error);
  return 0;
}

}  // namespace fvn
