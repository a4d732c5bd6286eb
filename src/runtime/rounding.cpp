#include "runtime/rounding.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace fvn {

namespace {

constexpr int kSignificant = 15;
constexpr int kMaxPlaces = 15;

// A finite double at 15 significant digits: value = digits x 10^(exponent - 14),
// where digits holds exactly 15 decimal digits (all zeros for zero).
struct Decimal {
  bool negative = false;
  std::string digits;
  int exponent = 0;
};

Decimal to_decimal(double x) {
  char buffer[40];
  // "-d.dddddddddddddde+XX"
  std::snprintf(buffer, sizeof buffer, "%.*e", kSignificant - 1, x);
  Decimal d;
  std::string_view text{buffer};
  if (!text.empty() && text.front() == '-') {
    d.negative = true;
    text.remove_prefix(1);
  }
  const auto e = text.find('e');
  for (const char c : text.substr(0, e)) {
    if (c != '.') d.digits.push_back(c);
  }
  d.exponent = std::atoi(std::string{text.substr(e + 1)}.c_str());
  if (d.digits.find_first_not_of('0') == std::string::npos) {
    d.negative = false;
    d.exponent = 0;
  }
  return d;
}

// Integer digits and fraction digits of a decimal, without leading zeros in
// the integer part and without trailing zeros in the fraction.
struct Parts {
  bool negative = false;
  std::string integer;   // "0" when the magnitude is below 1
  std::string fraction;  // possibly empty
};

Parts to_parts(double x) {
  const Decimal d = to_decimal(x);
  Parts p;
  p.negative = d.negative;
  // Position of the decimal point inside the digit string.
  const int point = d.exponent + 1;
  if (point <= 0) {
    p.integer = "0";
    p.fraction = std::string(static_cast<std::size_t>(-point), '0') + d.digits;
  } else if (point >= kSignificant) {
    p.integer = d.digits + std::string(static_cast<std::size_t>(point - kSignificant), '0');
  } else {
    p.integer = d.digits.substr(0, static_cast<std::size_t>(point));
    p.fraction = d.digits.substr(static_cast<std::size_t>(point));
  }
  const auto first = p.integer.find_first_not_of('0');
  p.integer = first == std::string::npos ? "0" : p.integer.substr(first);
  const auto last = p.fraction.find_last_not_of('0');
  p.fraction = last == std::string::npos ? std::string{} : p.fraction.substr(0, last + 1);
  return p;
}

// Adds one unit to the last digit of a digit string, carrying to the left.
void increment(std::string& digits) {
  for (std::size_t i = digits.size(); i-- > 0;) {
    if (digits[i] != '9') {
      ++digits[i];
      return;
    }
    digits[i] = '0';
  }
  digits.insert(digits.begin(), '1');
}

double from_text(const std::string& text) { return std::strtod(text.c_str(), nullptr); }

// The digit string of |x| scaled by 10^places, rounded or truncated.
std::string scaled_digits(const Parts& p, int places, bool truncate) {
  std::string fraction = p.fraction;
  const auto keep = static_cast<std::size_t>(places);
  const bool round_up = !truncate && fraction.size() > keep && fraction[keep] >= '5';
  fraction.resize(keep, '0');
  std::string digits = p.integer + fraction;
  if (round_up) increment(digits);
  const auto first = digits.find_first_not_of('0');
  return first == std::string::npos ? "0" : digits.substr(first);
}

double rounded(double x, int places, bool truncate) {
  if (!std::isfinite(x)) return x;
  places = std::clamp(places, 0, kMaxPlaces);
  const Parts p = to_parts(x);
  std::string digits = scaled_digits(p, places, truncate);
  if (digits == "0") return 0.0;
  const auto point = static_cast<std::size_t>(places);
  if (digits.size() <= point) digits.insert(0, point - digits.size() + 1, '0');
  digits.insert(digits.size() - point, ".");
  return from_text((p.negative ? "-" : "") + digits);
}

}  // namespace

std::string decimal_text(double x) {
  if (std::isnan(x)) return "nan";
  if (std::isinf(x)) return x < 0 ? "-inf" : "inf";
  const Parts p = to_parts(x);
  std::string text = p.negative ? "-" : "";
  text += p.integer;
  if (!p.fraction.empty()) text += "." + p.fraction;
  return text;
}

double round_to(double x, int places) { return rounded(x, places, false); }

double truncate_to(double x, int places) { return rounded(x, places, true); }

double int_part(double x) { return rounded(x, 0, true); }

double round_abnt(double x) {
  if (!std::isfinite(x)) return x;
  const Parts p = to_parts(x);
  const std::string& f = p.fraction;
  std::string cents = (f + "00").substr(0, 2);
  std::string integer = p.integer;
  bool up = false;
  if (f.size() >= 3) {
    const char third = f[2];
    const bool second_odd = ((f[1] - '0') % 2) == 1;
    up = third > '5' || (third == '5' && (second_odd || f.size() > 3));
  }
  if (up) {
    std::string all = integer + cents;
    increment(all);
    integer = all.substr(0, all.size() - 2);
    cents = all.substr(all.size() - 2);
  }
  if (integer == "0" && cents == "00") return 0.0;  // no negative zero
  return from_text((p.negative ? "-" : "") + integer + "." + cents);
}

std::optional<std::int64_t> scaled_units(double x, int places, bool truncate) {
  if (!std::isfinite(x)) return std::nullopt;
  places = std::clamp(places, 0, kMaxPlaces);
  const Parts p = to_parts(x);
  const std::string digits = scaled_digits(p, places, truncate);
  if (digits.size() > 18) return std::nullopt;
  const std::int64_t units = std::strtoll(digits.c_str(), nullptr, 10);
  return p.negative ? -units : units;
}

}  // namespace fvn
