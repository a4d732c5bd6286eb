// Values pasted into SQL text. The statements of the module are written as
// text with the values between their fragments; every value that comes from
// outside (typed by a user, read from a file, returned by the service) goes
// through these helpers, so that a quote, a backslash or a semicolon stays
// data and never becomes SQL:
//   * text: PassthroughTable::escape() between the quotes of a fragment
//     ("... = '" + value + "'"), literal() for a whole quoted literal,
//     literal_or_null() for one that is NULL when blank;
//   * numbers always with "." and no thousands separator: sql_number(),
//     sql_integer(), sql_decimal();
//   * runtime dates and times as quoted ISO text, NULL for "no date";
//   * values returned by the service as text, checked and written as the
//     column's type wants them, NULL when empty: sql_service_*() answer
//     std::nullopt for a value that is not what it claims to be, and the
//     caller fails instead of sending a broken statement.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/clock.h"
#include "runtime/decimal.h"

namespace fvn {

// Numbers: plain digits, "." as decimal point, no exponent, no grouping.
// sql_number rounds to `places` decimals (half away from zero) through the
// runtime's rounding; NaN and infinities become NULL.
std::string sql_integer(std::int64_t value);
std::string sql_number(double value, int places);
template <int Digits, int Places>
std::string sql_decimal(const Dec<Digits, Places>& value) {
  return sql_number(value.value(), Places);
}

// A comma-separated list of integers for "in ( ... )"; "NULL" when empty, so
// that "in ( NULL )" selects nothing instead of being a syntax error.
std::string sql_integer_list(const std::vector<std::int32_t>& values);

// Runtime DATE as 'yyyy-mm-dd' and TIME as 'hh:mm:ss'; NULL for 0 (no date,
// no time) and for values out of range.
std::string sql_date(Date date);
std::string sql_time(Time time);

// Values of the service's answers.
// An integer (optional sign, digits): the digits; empty gives NULL.
std::optional<std::string> sql_service_integer(std::string_view text);
// A decimal number written with "." or ",": normalised with "."; empty gives NULL.
std::optional<std::string> sql_service_number(std::string_view text);
// A date "yyyy-mm-dd" (a time part after it is ignored) or "dd/mm/yyyy":
// quoted ISO; empty gives NULL.
std::optional<std::string> sql_service_date(std::string_view text);
// A time "hh:mm" or "hh:mm:ss" (fraction ignored): quoted 'hh:mm:ss'; empty gives NULL.
std::optional<std::string> sql_service_time(std::string_view text);
// An access key: exactly 44 digits, quoted; empty gives NULL.
std::optional<std::string> sql_service_key(std::string_view text);

}  // namespace fvn
