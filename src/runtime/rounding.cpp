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

namespace detail {

double reference_round(double x, int places, bool truncate) { return rounded(x, places, truncate); }

double reference_abnt(double x) {
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

std::optional<std::int64_t> reference_scaled_units(double x, int places, bool truncate) {
  if (!std::isfinite(x)) return std::nullopt;
  places = std::clamp(places, 0, kMaxPlaces);
  const Parts p = to_parts(x);
  const std::string digits = scaled_digits(p, places, truncate);
  if (digits.size() > 18) return std::nullopt;
  const std::int64_t units = std::strtoll(digits.c_str(), nullptr, 10);
  return p.negative ? -units : units;
}

}  // namespace detail

// The fast path. A finite double is taken at 15 significant digits as an
// integer D (10^14 <= D < 10^15) and an exponent e: |x| = D x 10^(e - 14).
// D is computed in extended precision, whose error (below 10^-4 of a unit
// of D) cannot move the result across a rounding boundary unless the
// product lies within 10^-3 of a half; those rare values, tiny or huge
// magnitudes, and results beyond 2^53 take the reference path above, which
// reads the digits from the C library's correctly rounded conversion.
namespace {

constexpr std::int64_t kPow10[] = {1,
                                   10,
                                   100,
                                   1000,
                                   10000,
                                   100000,
                                   1000000,
                                   10000000,
                                   100000000,
                                   1000000000,
                                   10000000000,
                                   100000000000,
                                   1000000000000,
                                   10000000000000,
                                   100000000000000,
                                   1000000000000000,
                                   10000000000000000,
                                   100000000000000000,
                                   1000000000000000000};
constexpr int kMaxPow10 = 18;
constexpr std::int64_t kExactInDouble = std::int64_t{1} << 53;

struct Sig15 {
  bool negative = false;
  std::int64_t digits = 0;  // 0, or 10^14 .. 10^15 - 1
  int exponent = 0;
};

long double pow10l(int n) {
  long double p = 1.0L;
  for (int i = 0; i < n; ++i) p *= 10.0L;  // exact up to 10^27
  return p;
}

std::optional<Sig15> fast_sig15(double x) {
  Sig15 s;
  if (x == 0.0) return s;
  s.negative = x < 0;
  const long double a = std::fabs(static_cast<long double>(x));
  int e = static_cast<int>(std::floor(std::log10(std::fabs(x))));
  for (int attempt = 0; attempt < 2; ++attempt) {
    const int k = 14 - e;
    if (k > 27 || k < -27) return std::nullopt;
    const long double scaled = k >= 0 ? a * pow10l(k) : a / pow10l(-k);
    const long double whole = std::floor(scaled);
    const long double fraction = scaled - whole;
    if (std::fabs(fraction - 0.5L) < 1e-3L) return std::nullopt;
    // log10 may be one off near a power of ten: the whole part must have
    // exactly 15 digits before rounding.
    const auto truncated = static_cast<std::int64_t>(whole);
    if (truncated >= kPow10[15]) {
      ++e;
      continue;
    }
    if (truncated < kPow10[14]) {
      --e;
      continue;
    }
    const std::int64_t digits = truncated + (fraction > 0.5L ? 1 : 0);
    if (digits == kPow10[15]) {  // 999...9.6 rounds up to the next power of ten
      s.digits = kPow10[14];
      s.exponent = e + 1;
      return s;
    }
    s.digits = digits;
    s.exponent = e;
    return s;
  }
  return std::nullopt;
}

// Units of 10^-places, rounded half away from zero or truncated; std::nullopt
// when the magnitude reaches 10^18 units.
std::optional<std::int64_t> units_of(const Sig15& s, int places, bool truncate) {
  const int fraction_digits = 14 - s.exponent;
  std::int64_t units = 0;
  if (fraction_digits <= places) {
    const int shift = places - fraction_digits;
    if (shift > kMaxPow10 || s.digits > (kPow10[kMaxPow10] - 1) / kPow10[shift]) return std::nullopt;
    units = s.digits * kPow10[shift];
  } else {
    const int drop = fraction_digits - places;
    if (drop <= kMaxPow10) {
      const std::int64_t unit = kPow10[drop];
      units = s.digits / unit;
      if (!truncate && (s.digits % unit) * 2 >= unit) ++units;
    }  // else D < 10^15 is below half a unit: 0
  }
  if (units >= kPow10[kMaxPow10]) return std::nullopt;
  return s.negative ? -units : units;
}

double fast_round(double x, int places, bool truncate) {
  if (!std::isfinite(x)) return x;
  places = std::clamp(places, 0, kMaxPlaces);
  const auto s = fast_sig15(x);
  if (!s) return detail::reference_round(x, places, truncate);
  const auto units = units_of(*s, places, truncate);
  if (!units || *units >= kExactInDouble || *units <= -kExactInDouble) {
    return detail::reference_round(x, places, truncate);
  }
  if (*units == 0) return 0.0;
  // Both operands are exact, so the quotient is the double nearest the decimal.
  return static_cast<double>(*units) / static_cast<double>(kPow10[places]);
}

}  // namespace

double round_to(double x, int places) { return fast_round(x, places, false); }

double truncate_to(double x, int places) { return fast_round(x, places, true); }

double int_part(double x) { return fast_round(x, 0, true); }

double round_abnt(double x) {
  if (!std::isfinite(x)) return x;
  const auto s = fast_sig15(x);
  if (!s) return detail::reference_abnt(x);
  const int fraction_digits = 14 - s->exponent;
  std::int64_t cents = 0;
  if (fraction_digits <= 2) {
    const int shift = 2 - fraction_digits;
    if (shift > 2) return detail::reference_abnt(x);  // 10^17 and above
    cents = s->digits * kPow10[shift];
  } else if (fraction_digits <= kMaxPow10) {
    // F = the fraction digits; the first three decide, with whether any
    // non-zero digit follows them.
    const std::int64_t integer = s->digits / kPow10[fraction_digits];
    const std::int64_t fraction = s->digits % kPow10[fraction_digits];
    const std::int64_t first_three = fraction / kPow10[fraction_digits - 3];
    const bool more = fraction % kPow10[fraction_digits - 3] != 0;
    const std::int64_t third = first_three % 10;
    const bool second_odd = (first_three / 10) % 2 == 1;
    const bool up = third > 5 || (third == 5 && (second_odd || more));
    cents = integer * 100 + first_three / 10 + (up ? 1 : 0);
  }  // else the first three fraction digits are zeros: 0.00
  if (cents >= kExactInDouble) return detail::reference_abnt(x);
  if (cents == 0) return 0.0;
  const double magnitude = static_cast<double>(cents) / 100.0;
  return s->negative ? -magnitude : magnitude;
}

std::optional<std::int64_t> scaled_units(double x, int places, bool truncate) {
  if (!std::isfinite(x)) return std::nullopt;
  places = std::clamp(places, 0, kMaxPlaces);
  const auto s = fast_sig15(x);
  if (!s) return detail::reference_scaled_units(x, places, truncate);
  return units_of(*s, places, truncate);
}

}  // namespace fvn
