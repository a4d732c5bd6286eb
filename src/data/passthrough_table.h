// Passthrough tables: the one way the module reads and writes the shop
// database. A table sends SQL text unchanged to the server session of its
// owner (the connection text) and reads the result row by row into a typed
// record bound by position (see record_field.h for the conversions).
//
// Every use follows four operations:
//   open()     ensure open: connects the owner's session when needed; an
//              open table is reused as it is;
//   execute()  sends a statement; its whole result is kept in memory, so
//              other tables may run statements meanwhile;
//   next()     reads the next row into the record; at the end of the rows
//              it answers 0 with the runtime error "Final de Arquivo" (33)
//              and leaves the record as it was: the end of the data is not
//              a failure of this layer;
//   close()    forgets the result; the session stays for the other tables.
// Each returns 1 on success and 0 on failure, leaving a runtime error code
// (90 "Erro no driver de Arquivo" for the server's refusals, 37 "Arquivo
// não está aberto" for a table used before open()) and the driver's message.
// error_text(context) composes the caller's message:
//   context + runtime message + "|" + driver message.
// The connection text never appears in a message; its password nowhere.
//
// Transactions are statements like any other ("Begin", "Commit",
// "RollBack"): tables with the same owner share one server session, so a
// transaction begun through one table covers the others.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "data/db_session.h"
#include "data/record_field.h"

namespace fvn {

class HostUi;

class PassthroughTable {
 public:
  PassthroughTable() = default;
  PassthroughTable(std::string name, std::string owner) : name_(std::move(name)), owner_(std::move(owner)) {}
  ~PassthroughTable();
  PassthroughTable(const PassthroughTable&) = delete;
  PassthroughTable& operator=(const PassthroughTable&) = delete;

  // Diagnostic name ("TABELA_A"); several tables may share one.
  [[nodiscard]] const std::string& name() const { return name_; }
  void set_name(std::string name) { name_ = std::move(name); }

  // The owner: the application's connection text. Changing it closes the table.
  [[nodiscard]] const std::string& owner() const { return owner_; }
  void set_owner(std::string connection_text);

  // The record, field by field in select-list order.
  void clear_fields() { fields_.clear(); }
  PassthroughTable& bind_long(std::int32_t& field);
  PassthroughTable& bind_text(std::string& field, std::size_t capacity);
  PassthroughTable& bind_real(double& field);
  PassthroughTable& bind_date(Date& field);
  PassthroughTable& bind_time(Time& field);
  PassthroughTable& bind_blob(std::string& field);
  template <int Digits, int Places>
  PassthroughTable& bind_decimal(Dec<Digits, Places>& field) {
    fields_.push_back(RecordField::decimal_field(field));
    return *this;
  }
  [[nodiscard]] std::size_t field_count() const { return fields_.size(); }

  int open();
  [[nodiscard]] bool is_open() const { return session_ != nullptr; }
  int execute(std::string_view sql);
  // A statement with parameters $1, $2, ...: how large objects are written.
  int execute(std::string_view sql, const std::vector<SqlParam>& params);
  int next();
  int close();

  // The state of the last operation.
  [[nodiscard]] int runtime_error() const { return runtime_error_; }
  [[nodiscard]] std::string_view runtime_message() const;
  [[nodiscard]] const std::string& driver_message() const { return driver_message_; }
  [[nodiscard]] bool at_end() const;
  [[nodiscard]] std::string error_text(std::string_view context) const;

  // Rows of the last result (selected, or changed by an update, insert or delete).
  [[nodiscard]] long long row_count() const;

  // The raw cells of the current row, for readers without a record.
  [[nodiscard]] int column_count() const;
  [[nodiscard]] std::string column_name(int column) const;
  [[nodiscard]] bool is_null(int column) const;
  [[nodiscard]] std::string value(int column) const;

  // Quoting for the values pasted into this table's statements (see
  // sql_values.h); the table must be open.
  std::string escape(std::string_view text);
  std::string literal(std::string_view text);
  // A literal, or NULL when the text is blank.
  std::string literal_or_null(std::string_view text);

  // The shared session, once open.
  [[nodiscard]] DbSession* session() const { return session_.get(); }

 private:
  int fail(int runtime_code, std::string driver_message);
  int succeed();
  int take(PgResult result);

  std::string name_;
  std::string owner_;
  std::vector<RecordField> fields_;
  std::shared_ptr<DbSession> session_;
  PgResult result_;
  int row_ = -1;  // row in the record; -1 before the first
  int runtime_error_ = 0;
  std::string driver_message_;
};

// Sends "RollBack" through the table. When the rollback itself fails the
// user sees a box titled "Erro" with "Erro ao parar transação.|" + runtime
// message + "|" + driver message. Returns 1 or 0; the caller still reports
// its first failure.
int send_rollback(PassthroughTable& table, HostUi& ui);

}  // namespace fvn
