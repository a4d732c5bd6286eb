#include "data/record_field.h"

#include <charconv>
#include <limits>

#include <libpq-fe.h>

#include "runtime/text.h"

namespace fvn {

namespace {

using text::is_digit;

std::string_view skip_blanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  return text;
}

// Leading integer of a text ("12.7" -> 12, "abc" -> 0); std::nullopt beyond int64.
std::optional<std::int64_t> leading_integer(std::string_view text) {
  text = skip_blanks(text);
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  std::int64_t value = 0;
  for (const char c : text) {
    if (!is_digit(c)) break;
    if (value > (std::numeric_limits<std::int64_t>::max() - (c - '0')) / 10) return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return negative ? -value : value;
}

int digits_value(std::string_view digits) {
  int n = 0;
  for (const char c : digits) n = n * 10 + (c - '0');
  return n;
}

bool all_digits(std::string_view text) {
  if (text.empty()) return false;
  for (const char c : text) {
    if (!is_digit(c)) return false;
  }
  return true;
}

}  // namespace

ColumnKind column_kind_of(unsigned int type_oid) {
  switch (type_oid) {
    case 16: return ColumnKind::Boolean;
    case 17: return ColumnKind::Bytes;
    case 20:
    case 21:
    case 23:
    case 26: return ColumnKind::Integer;
    case 1700:
    case 790: return ColumnKind::Numeric;
    case 700:
    case 701: return ColumnKind::Float;
    case 1082: return ColumnKind::Day;
    case 1083:
    case 1266: return ColumnKind::ClockTime;
    case 1114:
    case 1184: return ColumnKind::Timestamp;
    default: return ColumnKind::Other;
  }
}

std::optional<std::int64_t> parse_decimal_units(std::string_view text, int places) {
  text = skip_blanks(text);
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  std::string digits;  // integer digits then exactly `places` fraction digits
  std::size_t i = 0;
  while (i < text.size() && is_digit(text[i])) digits += text[i++];
  int fraction = 0;
  bool round_up = false;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && is_digit(text[i])) {
      if (fraction < places) {
        digits += text[i];
        ++fraction;
      } else if (fraction == places) {
        round_up = text[i] >= '5';  // half away from zero: only the first dropped digit decides
        ++fraction;
      }
      ++i;
    }
  }
  for (int k = fraction; k < places; ++k) digits += '0';
  std::size_t first = digits.find_first_not_of('0');
  if (first == std::string::npos) return round_up ? (negative ? -1 : 1) : 0;
  if (digits.size() - first > 18) return std::nullopt;
  std::int64_t units = 0;
  for (std::size_t k = first; k < digits.size(); ++k) units = units * 10 + (digits[k] - '0');
  if (round_up) ++units;
  return negative ? -units : units;
}

Date date_from_iso(std::string_view text) {
  text = skip_blanks(text);
  if (text.size() < 10 || text[4] != '-' || text[7] != '-') return 0;
  if (!all_digits(text.substr(0, 4)) || !all_digits(text.substr(5, 2)) || !all_digits(text.substr(8, 2))) return 0;
  if (text.size() > 10 && text[10] != ' ' && text[10] != 'T') return 0;  // "2026-05-04 BC" and the like
  return date_from_civil(digits_value(text.substr(0, 4)), digits_value(text.substr(5, 2)),
                         digits_value(text.substr(8, 2)));
}

Time time_from_iso(std::string_view text) {
  text = skip_blanks(text);
  if (text.size() >= 19 && text[10] == ' ') text.remove_prefix(11);  // timestamp: its time part
  if (text.size() < 8 || text[2] != ':' || text[5] != ':') return 0;
  if (!all_digits(text.substr(0, 2)) || !all_digits(text.substr(3, 2)) || !all_digits(text.substr(6, 2))) return 0;
  int hundredths = 0;
  if (text.size() > 9 && text[8] == '.' && is_digit(text[9])) {
    hundredths = (text[9] - '0') * 10;
    if (text.size() > 10 && is_digit(text[10])) hundredths += text[10] - '0';
  }
  return time_from_civil(digits_value(text.substr(0, 2)), digits_value(text.substr(3, 2)),
                         digits_value(text.substr(6, 2)), hundredths);
}

RecordField RecordField::long_field(std::int32_t& target) {
  RecordField field(Kind::Long);
  field.target_ = &target;
  return field;
}

RecordField RecordField::text_field(std::string& target, std::size_t capacity) {
  RecordField field(Kind::Text);
  field.target_ = &target;
  field.capacity_ = capacity;
  return field;
}

RecordField RecordField::real_field(double& target) {
  RecordField field(Kind::Real);
  field.target_ = &target;
  return field;
}

RecordField RecordField::date_field(Date& target) {
  RecordField field(Kind::Day);
  field.target_ = &target;
  return field;
}

RecordField RecordField::time_field(Time& target) {
  RecordField field(Kind::ClockTime);
  field.target_ = &target;
  return field;
}

RecordField RecordField::blob_field(std::string& target) {
  RecordField field(Kind::Blob);
  field.target_ = &target;
  return field;
}

bool RecordField::assign_null() const {
  switch (kind_) {
    case Kind::Long:
    case Kind::Day:
    case Kind::ClockTime: *static_cast<std::int32_t*>(target_) = 0; break;
    case Kind::Text:
    case Kind::Blob: static_cast<std::string*>(target_)->clear(); break;
    case Kind::Real: *static_cast<double*>(target_) = 0.0; break;
    case Kind::Decimal: store_units_(0); break;
  }
  return true;
}

bool RecordField::assign(const char* value, std::size_t length, ColumnKind column, std::string& problem) const {
  if (value == nullptr) return assign_null();
  const std::string_view text(value, length);
  const bool boolean_true = column == ColumnKind::Boolean && text == "t";
  switch (kind_) {
    case Kind::Long: {
      auto* target = static_cast<std::int32_t*>(target_);
      if (column == ColumnKind::Boolean) {
        *target = boolean_true ? 1 : 0;
      } else if (column == ColumnKind::Day || column == ColumnKind::Timestamp) {
        *target = date_from_iso(text);
      } else if (column == ColumnKind::ClockTime) {
        *target = time_from_iso(text);
      } else {
        const auto number = leading_integer(text);
        if (!number || *number > std::numeric_limits<std::int32_t>::max() ||
            *number < std::numeric_limits<std::int32_t>::min()) {
          problem = "o valor " + std::string(text) + " não cabe num campo inteiro de 32 bits";
          return false;
        }
        *target = static_cast<std::int32_t>(*number);
      }
      return true;
    }
    case Kind::Text: {
      auto* target = static_cast<std::string*>(target_);
      if (column == ColumnKind::Boolean) {
        *target = boolean_true ? "1" : "0";
      } else {
        *target = capacity_ == 0 ? std::string(text) : text::fit(text, capacity_);
      }
      return true;
    }
    case Kind::Decimal: {
      std::optional<std::int64_t> units;
      if (column == ColumnKind::Boolean) {
        units = parse_decimal_units(boolean_true ? "1" : "0", places_);
      } else {
        units = parse_decimal_units(text, places_);
      }
      if (!units || !store_units_(*units)) {
        problem = "o valor " + std::string(text) + " não cabe no campo decimal";
        return false;
      }
      return true;
    }
    case Kind::Real: {
      auto* target = static_cast<double*>(target_);
      if (column == ColumnKind::Boolean) {
        *target = boolean_true ? 1.0 : 0.0;
        return true;
      }
      const std::string_view digits = skip_blanks(text);
      double number = 0.0;
      const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
      (void)end;
      *target = error == std::errc{} ? number : 0.0;
      return true;
    }
    case Kind::Day: {
      auto* target = static_cast<std::int32_t*>(target_);
      if (column == ColumnKind::Integer) {
        const auto number = leading_integer(text);
        *target = number && valid_date(*number) ? static_cast<Date>(*number) : 0;
      } else {
        *target = date_from_iso(text);
      }
      return true;
    }
    case Kind::ClockTime: {
      auto* target = static_cast<std::int32_t*>(target_);
      if (column == ColumnKind::Integer) {
        const auto number = leading_integer(text);
        *target = number && valid_time(*number) ? static_cast<Time>(*number) : 0;
      } else {
        *target = time_from_iso(text);
      }
      return true;
    }
    case Kind::Blob: {
      auto* target = static_cast<std::string*>(target_);
      if (column == ColumnKind::Bytes) {
        std::size_t size = 0;
        unsigned char* bytes = PQunescapeBytea(reinterpret_cast<const unsigned char*>(value), &size);
        if (bytes == nullptr) {
          problem = "memória insuficiente para o objeto grande";
          return false;
        }
        target->assign(reinterpret_cast<const char*>(bytes), size);
        PQfreemem(bytes);
      } else {
        target->assign(text);
      }
      return true;
    }
  }
  return false;
}

}  // namespace fvn
