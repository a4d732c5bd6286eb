// A record read by one statement, described once: each entry holds the
// select-list expression of a column and the member of the record its value
// lands in. The select list and the fields bound to the passthrough table are
// both made from that one list, so a column can never be read into its
// neighbour's member, nor one list grow without the other.
//
// The field kind follows the member's type: std::int32_t is LONG, double is
// REAL, Dec<D,P> is a decimal, std::string is text and needs its capacity
// (terminator included, as the passthrough tables count it; 0 reads the value
// whole). Date and Time are integers to the compiler, so a date or time
// member is described with `RecordColumn::day` / `RecordColumn::time`. A
// member of a struct the record holds is named by both member pointers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "data/passthrough_table.h"
#include "runtime/clock.h"
#include "runtime/decimal.h"

namespace fvn {

template <class Record>
class RecordColumn {
 public:
  // An integer, REAL or decimal member.
  template <class Member>
  RecordColumn(std::string expression, Member Record::*member)
      : RecordColumn(
            std::move(expression), [member](Record& r) -> Member& { return r.*member; }, 0) {
    static_assert(!std::is_same_v<Member, std::string>, "a text member is described with its capacity");
  }
  // A text member of `capacity` characters, terminator included.
  RecordColumn(std::string expression, std::string Record::*member, std::size_t capacity)
      : RecordColumn(
            std::move(expression), [member](Record& r) -> std::string& { return r.*member; }, capacity) {}
  // A member of a part of the record (a struct the record holds), as above.
  template <class Part, class Member>
  RecordColumn(std::string expression, Part Record::*part, Member Part::*member)
      : RecordColumn(
            std::move(expression), [part, member](Record& r) -> Member& { return (r.*part).*member; }, 0) {
    static_assert(!std::is_same_v<Member, std::string>, "a text member is described with its capacity");
  }
  template <class Part>
  RecordColumn(std::string expression, Part Record::*part, std::string Part::*member, std::size_t capacity)
      : RecordColumn(
            std::move(expression), [part, member](Record& r) -> std::string& { return (r.*part).*member; }, capacity) {}
  // One text of an array member: `index` of `array`, of `capacity` characters.
  template <std::size_t N>
  RecordColumn(std::string expression, std::string (Record::*array)[N], std::size_t index, std::size_t capacity)
      : RecordColumn(
            std::move(expression), [array, index](Record& r) -> std::string& { return (r.*array)[index]; }, capacity) {}
  // A date or a time member.
  static RecordColumn day(std::string expression, Date Record::*member) {
    return {std::move(expression),
            Binder{[member](PassthroughTable& table, Record& record) { table.bind_date(record.*member); }}};
  }
  static RecordColumn time(std::string expression, Time Record::*member) {
    return {std::move(expression),
            Binder{[member](PassthroughTable& table, Record& record) { table.bind_time(record.*member); }}};
  }

  [[nodiscard]] const std::string& expression() const { return expression_; }
  void bind(PassthroughTable& table, Record& record) const { bind_(table, record); }

 private:
  using Binder = std::function<void(PassthroughTable&, Record&)>;
  RecordColumn(std::string expression, Binder bind) : expression_(std::move(expression)), bind_(std::move(bind)) {}
  template <class Access>
  RecordColumn(std::string expression, Access access, std::size_t capacity)
      : expression_(std::move(expression)), bind_([access, capacity](PassthroughTable& table, Record& record) {
          bind_value(table, access(record), capacity);
        }) {}

  static void bind_value(PassthroughTable& table, std::int32_t& field, std::size_t) { table.bind_long(field); }
  static void bind_value(PassthroughTable& table, double& field, std::size_t) { table.bind_real(field); }
  static void bind_value(PassthroughTable& table, std::string& field, std::size_t capacity) {
    table.bind_text(field, capacity);
  }
  template <int Digits, int Places>
  static void bind_value(PassthroughTable& table, Dec<Digits, Places>& field, std::size_t) {
    table.bind_decimal(field);
  }

  std::string expression_;
  Binder bind_;
};

template <class Record>
using RecordColumns = std::vector<RecordColumn<Record>>;

// The expressions joined by `separator`, in order.
template <class Record>
std::string select_list(const RecordColumns<Record>& columns, std::string_view separator) {
  std::string list;
  for (std::size_t i = 0; i < columns.size(); ++i) {
    if (i > 0) list += separator;
    list += columns[i].expression();
  }
  return list;
}

// Binds `record`'s members to `table` in the same order (after clearing the
// table's fields).
template <class Record>
void bind_columns(PassthroughTable& table, const RecordColumns<Record>& columns, Record& record) {
  table.clear_fields();
  for (const RecordColumn<Record>& column : columns) column.bind(table, record);
}

// Binds `record` and runs "select " + the columns + `rest` (the from and
// where clauses, with their leading blank). 1 or 0, as `execute`.
template <class Record>
int select_record(PassthroughTable& table, const RecordColumns<Record>& columns, Record& record, std::string_view rest,
                  std::string_view separator = ", ") {
  bind_columns(table, columns, record);
  return table.execute("select " + select_list(columns, separator) + std::string{rest});
}

// select_record, then every row read into `records`, in order. 1, or 0 when
// the statement fails.
template <class Record>
int select_records(PassthroughTable& table, const RecordColumns<Record>& columns, std::string_view rest,
                   std::vector<Record>& records, std::string_view separator = ", ") {
  Record record;
  if (select_record(table, columns, record, rest, separator) != 1) return 0;
  while (table.next() == 1) records.push_back(record);
  return 1;
}

}  // namespace fvn
