#include "data/sql_values.h"

#include <cmath>
#include <cstdio>

#include "runtime/rounding.h"
#include "runtime/text.h"

namespace fvn {

namespace {

constexpr std::string_view kNull = "NULL";

using text::all_digits;

std::string two(int n) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%02d", n);
  return buf;
}

std::string iso_date(int year, int month, int day) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "'%04d-%02d-%02d'", year, month, day);
  return buf;
}

int number(std::string_view digits) {
  int n = 0;
  for (const char c : digits) n = n * 10 + (c - '0');
  return n;
}

}  // namespace

std::string sql_integer(std::int64_t value) { return std::to_string(value); }

std::string sql_number(double value, int places) {
  if (!std::isfinite(value)) return std::string(kNull);
  return decimal_text(round_to(value, places < 0 ? 0 : places));
}

std::string sql_integer_list(const std::vector<std::int32_t>& values) {
  if (values.empty()) return std::string(kNull);
  std::string out;
  for (const std::int32_t value : values) {
    if (!out.empty()) out += ", ";
    out += std::to_string(value);
  }
  return out;
}

std::string sql_date(Date date) {
  const auto civil = civil_from_date(date);
  if (date == 0 || !civil) return std::string(kNull);
  return iso_date(civil->year, civil->month, civil->day);
}

std::string sql_time(Time time) {
  const auto civil = civil_from_time(time);
  if (time == 0 || !civil) return std::string(kNull);
  return "'" + two(civil->hour) + ":" + two(civil->minute) + ":" + two(civil->second) + "'";
}

std::optional<std::string> sql_service_integer(std::string_view text) {
  const std::string value = text::trim(text);
  if (value.empty()) return std::string(kNull);
  std::string_view digits = value;
  std::string sign;
  if (digits.front() == '-' || digits.front() == '+') {
    if (digits.front() == '-') sign = "-";
    digits.remove_prefix(1);
  }
  if (!all_digits(digits)) return std::nullopt;
  while (digits.size() > 1 && digits.front() == '0') digits.remove_prefix(1);
  if (digits.size() > 18) return std::nullopt;
  return (digits == "0" ? "" : sign) + std::string(digits);
}

std::optional<std::string> sql_service_number(std::string_view text) {
  std::string value = text::trim(text);
  if (value.empty()) return std::string(kNull);
  std::string sign;
  if (value.front() == '-' || value.front() == '+') {
    if (value.front() == '-') sign = "-";
    value.erase(0, 1);
  }
  const auto point = value.find_first_of(".,");
  const std::string whole = value.substr(0, point);
  const std::string fraction = point == std::string::npos ? "" : value.substr(point + 1);
  if ((whole.empty() && fraction.empty()) || (!whole.empty() && !all_digits(whole)) ||
      (point != std::string::npos && !all_digits(fraction))) {
    return std::nullopt;
  }
  return sign + (whole.empty() ? "0" : whole) + (fraction.empty() ? "" : "." + fraction);
}

std::optional<std::string> sql_service_date(std::string_view text) {
  const std::string value = text::trim(text);
  if (value.empty()) return std::string(kNull);
  int year = 0;
  int month = 0;
  int day = 0;
  const std::string_view v = value;
  if (v.size() >= 10 && v[4] == '-' && v[7] == '-' && all_digits(v.substr(0, 4)) && all_digits(v.substr(5, 2)) &&
      all_digits(v.substr(8, 2)) && (v.size() == 10 || v[10] == 'T' || v[10] == ' ')) {
    year = number(v.substr(0, 4));
    month = number(v.substr(5, 2));
    day = number(v.substr(8, 2));
  } else if (v.size() == 10 && v[2] == '/' && v[5] == '/' && all_digits(v.substr(0, 2)) && all_digits(v.substr(3, 2)) &&
             all_digits(v.substr(6, 4))) {
    day = number(v.substr(0, 2));
    month = number(v.substr(3, 2));
    year = number(v.substr(6, 4));
  } else {
    return std::nullopt;
  }
  if (date_from_civil(year, month, day) == 0) return std::nullopt;
  return iso_date(year, month, day);
}

std::optional<std::string> sql_service_time(std::string_view text) {
  const std::string value = text::trim(text);
  if (value.empty()) return std::string(kNull);
  const std::string_view v = value;
  if (v.size() < 5 || v[2] != ':' || !all_digits(v.substr(0, 2)) || !all_digits(v.substr(3, 2))) return std::nullopt;
  int second = 0;
  if (v.size() > 5) {
    if (v.size() < 8 || v[5] != ':' || !all_digits(v.substr(6, 2))) return std::nullopt;
    if (v.size() > 8 && v[8] != '.' && v[8] != '-' && v[8] != '+' && v[8] != 'Z') return std::nullopt;
    second = number(v.substr(6, 2));
  }
  const int hour = number(v.substr(0, 2));
  const int minute = number(v.substr(3, 2));
  if (time_from_civil(hour, minute, second) == 0) return std::nullopt;
  return "'" + two(hour) + ":" + two(minute) + ":" + two(second) + "'";
}

std::optional<std::string> sql_service_key(std::string_view text) {
  const std::string value = text::trim(text);
  if (value.empty()) return std::string(kNull);
  if (value.size() != 44 || !all_digits(value)) return std::nullopt;
  return "'" + value + "'";
}

}  // namespace fvn
