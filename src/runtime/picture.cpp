#include "runtime/picture.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "runtime/clock.h"
#include "runtime/rounding.h"
#include "runtime/runtime_messages.h"
#include "runtime/text.h"

namespace fvn {

namespace {

using text::is_digit;

// Reads a run of digits at `pos`; false when there is none or it is too long.
bool read_int(std::string_view s, std::size_t& pos, int& out) {
  const std::size_t begin = pos;
  while (pos < s.size() && is_digit(s[pos])) ++pos;
  if (pos == begin || pos - begin > 4) return false;
  out = std::atoi(std::string{s.substr(begin, pos - begin)}.c_str());
  return true;
}

bool read_currency(std::string_view s, std::size_t& pos, std::string& out) {
  if (pos < s.size() && s[pos] == '$') {
    out = "$";
    ++pos;
    return true;
  }
  if (pos < s.size() && s[pos] == '~') {
    const auto end = s.find('~', pos + 1);
    if (end == std::string_view::npos) return false;
    out = std::string{s.substr(pos + 1, end - pos - 1)};
    pos = end + 1;
  }
  return true;
}

bool is_decimal_mark(char c) { return c == '.' || c == '`' || c == '\'' || c == 'v' || c == 'V'; }

std::optional<NumberPicture> parse_number(std::string_view s) {
  NumberPicture p;
  std::size_t pos = 0;
  if (!read_currency(s, pos, p.currency_before)) return std::nullopt;
  if (pos < s.size() && (s[pos] == '-' || s[pos] == '(')) {
    p.sign = s[pos] == '-' ? NumberPicture::Sign::LeadingMinus : NumberPicture::Sign::Parentheses;
    ++pos;
  }
  bool no_grouping = false;
  if (pos + 1 < s.size() && ((s[pos] == '0' && is_digit(s[pos + 1])) || s[pos] == '_' || s[pos] == '*')) {
    p.fill = s[pos] == '*' ? '*' : (s[pos] == '0' ? '0' : ' ');
    no_grouping = s[pos] != '*';
    ++pos;
  }
  if (!read_int(s, pos, p.size) || p.size == 0) return std::nullopt;
  char grouping = '\0';
  if (pos < s.size() && (s[pos] == '.' || s[pos] == '-' || s[pos] == '_')) {
    const char next = pos + 1 < s.size() ? s[pos + 1] : '\0';
    const bool is_grouping = s[pos] == '.' ? !is_digit(next) : (s[pos] == '_' || is_decimal_mark(next));
    if (is_grouping) {
      grouping = s[pos] == '_' ? ' ' : s[pos];
      ++pos;
    }
  }
  if (pos + 1 < s.size() && is_decimal_mark(s[pos]) && is_digit(s[pos + 1])) {
    const char mark = s[pos];
    p.decimal_separator = mark == '.' ? '.' : ((mark == 'v' || mark == 'V') ? '\0' : ',');
    ++pos;
    if (!read_int(s, pos, p.places) || p.places >= p.size || p.places > 15) return std::nullopt;
  }
  if (pos < s.size() && (s[pos] == '-' || s[pos] == ')')) {
    if (s[pos] == ')' && p.sign != NumberPicture::Sign::Parentheses) return std::nullopt;
    if (s[pos] == '-' && p.sign != NumberPicture::Sign::None) return std::nullopt;
    if (s[pos] == '-') p.sign = NumberPicture::Sign::TrailingMinus;
    ++pos;
  }
  if (!read_currency(s, pos, p.currency_after)) return std::nullopt;
  if (pos < s.size() && (s[pos] == 'b' || s[pos] == 'B')) {
    p.blank_when_zero = true;
    ++pos;
  }
  if (pos != s.size()) return std::nullopt;
  if (grouping != '\0') {
    p.grouping = grouping;
  } else if (no_grouping) {
    p.grouping = '\0';
  } else {
    p.grouping = p.decimal_separator == ',' ? '.' : ',';
  }
  return p;
}

std::optional<DateTimePicture> parse_date_time(std::string_view s, int max_format) {
  DateTimePicture p;
  std::size_t pos = 0;
  p.zero_fill = pos < s.size() && s[pos] == '0';
  if (!read_int(s, pos, p.format) || p.format < 1 || p.format > max_format) return std::nullopt;
  if (pos < s.size()) {
    switch (s[pos]) {
      case '.':
        p.separator = '.';
        ++pos;
        break;
      case '`':
        p.separator = ',';
        ++pos;
        break;
      case '-':
        p.separator = '-';
        ++pos;
        break;
      case '_':
        p.separator = ' ';
        ++pos;
        break;
      default: break;
    }
  }
  if (pos < s.size() && (s[pos] == 'b' || s[pos] == 'B')) {
    p.blank_when_zero = true;
    ++pos;
  }
  if (pos != s.size()) return std::nullopt;
  return p;
}

std::string two_digits(int n) {
  return std::string{static_cast<char>('0' + n / 10 % 10), static_cast<char>('0' + n % 10)};
}

std::string four_digits(int n) { return two_digits(n / 100) + two_digits(n % 100); }

std::string format_number(double value, const NumberPicture& p) {
  const auto size = static_cast<std::size_t>(p.size);
  const auto units = scaled_units(value, p.places);
  if (!units) return std::string(size, '#');
  if (*units == 0 && p.blank_when_zero) return std::string(size, ' ');
  const bool negative = *units < 0;
  std::string digits = std::to_string(negative ? -*units : *units);
  const auto places = static_cast<std::size_t>(p.places);
  if (digits.size() <= places) digits.insert(0, places + 1 - digits.size(), '0');
  const std::string integer = digits.substr(0, digits.size() - places);
  std::string body;
  for (std::size_t i = 0; i < integer.size(); ++i) {
    if (i > 0 && p.grouping != '\0' && (integer.size() - i) % 3 == 0) body += p.grouping;
    body += integer[i];
  }
  if (places > 0) {
    if (p.decimal_separator != '\0') body += p.decimal_separator;
    body += digits.substr(digits.size() - places);
  }
  std::string lead;
  std::string trail;
  switch (p.sign) {
    case NumberPicture::Sign::None: break;
    case NumberPicture::Sign::LeadingMinus:
      if (negative) lead = "-";
      break;
    case NumberPicture::Sign::TrailingMinus: trail = negative ? "-" : " "; break;
    case NumberPicture::Sign::Parentheses:
      lead = negative ? "(" : " ";
      trail = negative ? ")" : " ";
      break;
  }
  lead = p.currency_before + lead;
  trail += p.currency_after;
  const std::size_t used = text::length(lead) + body.size() + text::length(trail);
  if (used > size) return std::string(size, '#');
  const std::string filler(size - used, p.fill);
  if (p.fill == ' ') return filler + lead + body + trail;
  return lead + filler + body + trail;
}

std::string format_date(double value, const DateTimePicture& p) {
  if (!std::isfinite(value) || value != std::trunc(value)) return {};
  const auto civil = civil_from_date(static_cast<std::int64_t>(value));
  if (!civil) return {};
  const std::string sep(1, p.separator == '\0' ? '/' : p.separator);
  const std::string dd = two_digits(civil->day);
  const std::string mm = two_digits(civil->month);
  const std::string yy = two_digits(civil->year % 100);
  const std::string yyyy = four_digits(civil->year);
  const auto month_index = static_cast<std::size_t>(civil->month - 1);
  const std::string mmm{kMonthAbbreviations[month_index]};
  const std::string month_name{kMonthNames[month_index]};
  std::string out;
  switch (p.format) {
    case 1: out = mm + sep + dd + sep + yy; break;
    case 2: out = mm + sep + dd + sep + yyyy; break;
    case 3: out = mmm + " " + dd + ", " + yyyy; break;
    case 4: out = month_name + " " + dd + ", " + yyyy; break;
    case 5: out = dd + sep + mm + sep + yy; break;
    case 6: out = dd + sep + mm + sep + yyyy; break;
    case 7: out = dd + " " + mmm + " " + yy; break;
    case 8: out = dd + " " + mmm + " " + yyyy; break;
    case 9: out = yy + sep + mm + sep + dd; break;
    case 10: out = yyyy + sep + mm + sep + dd; break;
    case 11: out = yy + mm + dd; break;
    case 12: out = yyyy + mm + dd; break;
    case 13: out = mm + sep + yy; break;
    case 14: out = mm + sep + yyyy; break;
    case 15: out = yy + sep + mm; break;
    default: out = yyyy + sep + mm; break;
  }
  // Without zero fill the first field's leading zero shows as a blank.
  const bool day_or_month_first = p.format <= 2 || (p.format >= 5 && p.format <= 8) || p.format == 13 || p.format == 14;
  if (!p.zero_fill && day_or_month_first && out[0] == '0') out[0] = ' ';
  return out;
}

std::string format_time(double value, const DateTimePicture& p) {
  if (!std::isfinite(value) || value != std::trunc(value)) return {};
  const auto civil = civil_from_time(static_cast<std::int64_t>(value));
  if (!civil) return {};
  const std::string sep = p.format == 2 || p.format == 5 ? "" : std::string(1, p.separator == '\0' ? ':' : p.separator);
  const bool twelve = p.format == 3 || p.format == 6;
  int hour = civil->hour;
  if (twelve) hour = hour % 12 == 0 ? 12 : hour % 12;
  std::string out = two_digits(hour) + sep + two_digits(civil->minute);
  if (p.format >= 4) out += sep + two_digits(civil->second);
  if (twelve) out += civil->hour < 12 ? "AM" : "PM";
  if (!p.zero_fill && out[0] == '0') out[0] = ' ';
  return out;
}

std::optional<double> deformat_number(std::string_view text, const NumberPicture& p) {
  std::string s{text};
  for (const std::string& currency : {p.currency_before, p.currency_after}) {
    if (currency.empty()) continue;
    for (auto at = s.find(currency); at != std::string::npos; at = s.find(currency)) s.erase(at, currency.size());
  }
  bool negative = false;
  std::string number;
  bool seen_separator = false;
  for (const char c : s) {
    if (is_digit(c)) {
      number += c;
    } else if (c == '-' || c == '(' || c == ')') {
      negative = true;
    } else if (p.decimal_separator != '\0' && c == p.decimal_separator) {
      if (seen_separator) return std::nullopt;
      seen_separator = true;
      number += '.';
    } else if (c == ' ' || c == '*' || (p.grouping != '\0' && c == p.grouping) ||
               (c == ',' && p.grouping == '\0' && p.decimal_separator == '.')) {
      continue;
    } else {
      return std::nullopt;
    }
  }
  if (number.empty() || number == ".") return number.empty() ? std::optional<double>{0.0} : std::nullopt;
  double value = std::strtod(number.c_str(), nullptr);
  if (p.decimal_separator == '\0' && p.places > 0) value /= std::pow(10.0, p.places);
  return negative ? -value : value;
}

// Splits a typed date or time into its runs of digits and letters.
std::vector<std::string> tokens(std::string_view text) {
  std::vector<std::string> out;
  std::string current;
  auto flush = [&] {
    if (!current.empty()) out.push_back(current);
    current.clear();
  };
  for (const char c : text) {
    const bool alpha = std::isalpha(static_cast<unsigned char>(c)) != 0;
    if (is_digit(c) || alpha) {
      if (!current.empty() && is_digit(current.back()) != is_digit(c)) flush();
      current += c;
    } else {
      flush();
    }
  }
  flush();
  return out;
}

int expand_year(int year, std::size_t written_digits) {
  if (written_digits > 2) return year;
  return year < 50 ? 2000 + year : 1900 + year;
}

std::optional<double> deformat_date(std::string_view text, const DateTimePicture& p) {
  if (text::trim(text).empty()) return 0.0;
  std::vector<std::string> parts = tokens(text);
  // Formats written without separators are cut by position.
  if ((p.format == 11 || p.format == 12) && parts.size() == 1) {
    const std::string all = parts[0];
    const std::size_t ylen = p.format == 11 ? 2 : 4;
    if (all.size() != ylen + 4) return std::nullopt;
    parts = {all.substr(0, ylen), all.substr(ylen, 2), all.substr(ylen + 2, 2)};
  }
  auto number = [](const std::string& s) -> std::optional<int> {
    if (s.empty() || s.size() > 4 || !std::all_of(s.begin(), s.end(), is_digit)) return std::nullopt;
    return std::atoi(s.c_str());
  };
  auto month_from_name = [](const std::string& s) -> std::optional<int> {
    const std::string up = text::upper(s);
    for (std::size_t i = 0; i < kMonthNames.size(); ++i) {
      if (up == text::upper(kMonthNames[i]) || up == text::upper(kMonthAbbreviations[i]))
        return static_cast<int>(i) + 1;
    }
    return std::nullopt;
  };
  // Order of the fields: d = day, m = month (number), n = month (name), y = year.
  std::string order;
  switch (p.format) {
    case 1:
    case 2: order = "mdy"; break;
    case 3:
    case 4: order = "ndy"; break;
    case 5:
    case 6: order = "dmy"; break;
    case 7:
    case 8: order = "dny"; break;
    case 9:
    case 10:
    case 11:
    case 12: order = "ymd"; break;
    case 13:
    case 14: order = "my"; break;
    default: order = "ym"; break;
  }
  if (parts.size() != order.size()) return std::nullopt;
  int day = 1;
  int month = 0;
  int year = 0;
  for (std::size_t i = 0; i < order.size(); ++i) {
    const auto value = order[i] == 'n' ? month_from_name(parts[i]) : number(parts[i]);
    if (!value) return std::nullopt;
    switch (order[i]) {
      case 'd': day = *value; break;
      case 'y': year = expand_year(*value, parts[i].size()); break;
      default: month = *value; break;
    }
  }
  const Date date = date_from_civil(year, month, day);
  if (date == 0) return std::nullopt;
  return date;
}

std::optional<double> deformat_time(std::string_view text, const DateTimePicture& p) {
  if (text::trim(text).empty()) return 0.0;
  std::vector<std::string> parts = tokens(text);
  std::string meridian;
  if (!parts.empty() && !is_digit(parts.back()[0])) {
    meridian = text::upper(parts.back());
    parts.pop_back();
    if (meridian != "AM" && meridian != "PM") return std::nullopt;
  }
  if ((p.format == 2 || p.format == 5) && parts.size() == 1 && parts[0].size() >= 4) {
    const std::string all = parts[0];
    parts = {all.substr(0, 2), all.substr(2, 2)};
    if (all.size() == 6)
      parts.push_back(all.substr(4, 2));
    else if (all.size() != 4)
      return std::nullopt;
  }
  if (parts.empty() || parts.size() > 3) return std::nullopt;
  int fields[3] = {0, 0, 0};
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (parts[i].size() > 2 || !std::all_of(parts[i].begin(), parts[i].end(), is_digit)) return std::nullopt;
    fields[i] = std::atoi(parts[i].c_str());
  }
  if (!meridian.empty()) {
    if (fields[0] < 1 || fields[0] > 12) return std::nullopt;
    fields[0] = fields[0] % 12 + (meridian == "PM" ? 12 : 0);
  }
  const Time time = time_from_civil(fields[0], fields[1], fields[2]);
  if (time == 0) return std::nullopt;
  return time;
}

}  // namespace

std::optional<Picture> parse_picture(std::string_view picture) {
  std::string_view s = picture;
  if (!s.empty() && s.front() == '@') s.remove_prefix(1);
  if (s.empty()) return std::nullopt;
  const char kind = static_cast<char>(std::toupper(static_cast<unsigned char>(s.front())));
  s.remove_prefix(1);
  Picture p;
  if (kind == 'N') {
    const auto number = parse_number(s);
    if (!number) return std::nullopt;
    p.kind = Picture::Kind::Number;
    p.number = *number;
    return p;
  }
  if (kind == 'D' || kind == 'T') {
    const auto dt = parse_date_time(s, kind == 'D' ? 16 : 6);
    if (!dt) return std::nullopt;
    p.kind = kind == 'D' ? Picture::Kind::DateValue : Picture::Kind::TimeValue;
    p.date_time = *dt;
    return p;
  }
  return std::nullopt;
}

std::string format_picture(double value, const Picture& picture) {
  switch (picture.kind) {
    case Picture::Kind::Number: return format_number(value, picture.number);
    case Picture::Kind::DateValue: return format_date(value, picture.date_time);
    case Picture::Kind::TimeValue: return format_time(value, picture.date_time);
  }
  return {};
}

std::string format_picture(double value, std::string_view picture) {
  const auto parsed = parse_picture(picture);
  return parsed ? format_picture(value, *parsed) : std::string{};
}

std::optional<double> deformat_picture(std::string_view text, std::string_view picture) {
  const auto parsed = parse_picture(picture);
  if (!parsed) return std::nullopt;
  switch (parsed->kind) {
    case Picture::Kind::Number: return deformat_number(text, parsed->number);
    case Picture::Kind::DateValue: return deformat_date(text, parsed->date_time);
    case Picture::Kind::TimeValue: return deformat_time(text, parsed->date_time);
  }
  return std::nullopt;
}

}  // namespace fvn
