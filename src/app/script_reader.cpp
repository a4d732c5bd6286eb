#include "app/script_reader.h"

#include <array>
#include <cstdio>
#include <limits>

namespace fvn::app {

namespace {

std::string printable(const std::string& message) {
  std::string out;
  for (const char c : message) {
    if (static_cast<unsigned char>(c) >= 0x20) {
      out += c;
      continue;
    }
    std::array<char, 7> escape{};
    std::snprintf(escape.data(), escape.size(), "\\u%04x", static_cast<unsigned>(c));
    out += escape.data();
  }
  return out;
}

}  // namespace

ScriptError::ScriptError(const std::string& message) : std::runtime_error(printable(message)) {}

std::int32_t as_int(const Json& value, const std::string& where) {
  constexpr auto kMax = std::numeric_limits<std::int32_t>::max();
  // An integer above the int64 range is held unsigned: read as int64 it
  // would wrap to a small negative number and pass the range check.
  if (value.is_number_unsigned()) {
    if (value.get<std::uint64_t>() <= static_cast<std::uint64_t>(kMax)) return value.get<std::int32_t>();
  } else if (value.is_number_integer()) {
    const auto n = value.get<std::int64_t>();
    if (n >= std::numeric_limits<std::int32_t>::min() && n <= kMax) return static_cast<std::int32_t>(n);
  }
  throw ScriptError(where + ": a whole number (32 bits) is expected");
}

double as_double(const Json& value, const std::string& where) {
  if (!value.is_number()) throw ScriptError(where + ": a number is expected");
  return value.get<double>();
}

std::string as_text(const Json& value, const std::string& where) {
  if (value.is_string()) return value.get<std::string>();
  // A code written as a number keeps its digits exactly, however long.
  if (value.is_number_integer()) return value.dump();
  throw ScriptError(where + ": a text is expected");
}

// A date: "YYYY-MM-DD", or the runtime's day number as a whole number.
Date as_date(const Json& value, const std::string& where) {
  if (value.is_number_integer()) return as_int(value, where);
  if (value.is_string()) {
    const std::string text = value.get<std::string>();
    if (text == "today") return today();
    int year = 0;
    int month = 0;
    int day = 0;
    char end = 0;
    if (text.size() == 10 && std::sscanf(text.c_str(), "%4d-%2d-%2d%c", &year, &month, &day, &end) == 3) {
      const Date date = date_from_civil(year, month, day);
      if (date != 0) return date;
    }
  }
  throw ScriptError(where + ": a date (YYYY-MM-DD, \"today\" or a day number) is expected");
}

bool as_flag(const Json& value, const std::string& where) {
  if (!value.is_boolean()) throw ScriptError(where + ": true or false is expected");
  return value.get<bool>();
}

void check_members(const Json& object, const std::vector<std::string_view>& allowed, const std::string& where,
                   std::string_view refusal, std::string_view selector) {
  if (!object.is_object()) throw ScriptError(where + ": an object is expected");
  for (const auto& [name, value] : object.items()) {
    bool known = !selector.empty() && name == selector;
    for (const std::string_view a : allowed) known = known || name == a;
    if (!known) throw ScriptError(where + "." + name + std::string{refusal});
  }
}

}  // namespace fvn::app
