// The typed fields of a passthrough table's record and how a column value
// of the result lands in each (bound by position):
//
//   LONG (32-bit integer)  integers as they are; decimals cut to their integer
//                          part; texts by their leading digits ("0" when
//                          none); booleans 1/0; dates and times as the
//                          runtime's day and time numbers
//   text of N              the value as text, cut to N - 1 characters
//                          (booleans "1"/"0")
//   decimal (Dec<D,P>)     exact decimal, rounded half away from zero to P
//                          places
//   REAL                   the number as a double
//   DATE, TIME             runtime day number / hundredths of a second + 1
//   large object           the bytes (bytea unescaped)
//   NULL                   0, blank text, the zero date or time, no bytes
//
// A value that cannot fit its field (an integer beyond 32 bits, a decimal
// beyond its digits) is an error of the fetch, never a silent cut or wrap.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "runtime/clock.h"
#include "runtime/decimal.h"

namespace fvn {

// PostgreSQL type of a result column, as far as conversions care.
enum class ColumnKind { Other, Boolean, Integer, Numeric, Float, Day, ClockTime, Timestamp, Bytes };
ColumnKind column_kind_of(unsigned int type_oid);

// An exact decimal read from text: whole units of 10^-places, rounded half
// away from zero; 0 when the text holds no number; std::nullopt when the
// value does not fit in 18 digits. Leading blanks are skipped; reading stops at
// the first character that is not part of the number.
std::optional<std::int64_t> parse_decimal_units(std::string_view text, int places);

// The runtime's DATE and TIME of ISO texts ("2026-05-04", "14:05:09.25",
// "2026-05-04 14:05:09"); 0 when the text is no valid date or time.
Date date_from_iso(std::string_view text);
Time time_from_iso(std::string_view text);

class RecordField {
 public:
  enum class Kind { Long, Text, Decimal, Real, Day, ClockTime, Blob };

  static RecordField long_field(std::int32_t& target);
  static RecordField text_field(std::string& target, std::size_t capacity);
  static RecordField real_field(double& target);
  static RecordField date_field(Date& target);
  static RecordField time_field(Time& target);
  static RecordField blob_field(std::string& target);
  template <int Digits, int Places>
  static RecordField decimal_field(Dec<Digits, Places>& target) {
    RecordField field(Kind::Decimal);
    field.places_ = Places;
    field.store_units_ = [&target](std::int64_t units) {
      if (units > Dec<Digits, Places>::kMaxUnits || units < -Dec<Digits, Places>::kMaxUnits) return false;
      target = Dec<Digits, Places>::from_units(units);
      return true;
    };
    return field;
  }

  [[nodiscard]] Kind kind() const { return kind_; }

  // Stores a column value (nullptr for NULL) of the given kind. False, with
  // `problem` set, when the value does not fit the field.
  bool assign(const char* value, std::size_t length, ColumnKind column, std::string& problem) const;

 private:
  explicit RecordField(Kind kind) : kind_(kind) {}
  bool assign_null() const;

  Kind kind_;
  void* target_ = nullptr;
  std::size_t capacity_ = 0;
  int places_ = 0;
  std::function<bool(std::int64_t)> store_units_;
};

}  // namespace fvn
