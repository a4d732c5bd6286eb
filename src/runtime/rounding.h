// The one place where money and quantities are rounded or truncated.
//
// Every operation first takes the double at 15 significant decimal digits
// (the precision a double keeps for any decimal amount) and then works on
// those decimal digits, never on the binary value. So 1.005, held as
// 1.00499999999999989..., rounds to 1.01, and 10.00 x 33.33, held as
// 333.29999999999995..., truncates to 333.
//
// NaN and infinities are returned unchanged by the functions that return a
// double, are written "nan", "inf" and "-inf" by decimal_text, and make
// scaled_units answer std::nullopt.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace fvn {

// The value as plain decimal text at 15 significant digits: no exponent, no
// trailing zeros, no trailing point, "-" for negatives, "0" for zero.
// For example 2.345 -> "2.345", 1e-7 -> "0.0000001", 1.5e20 -> "150000000000000000000".
std::string decimal_text(double x);

// Rounded to `places` decimals (0..15, negative counts as 0), halves away
// from zero: round_to(1.005, 2) = 1.01, round_to(-2.5, 0) = -3.
double round_to(double x, int places);

// Truncated toward zero to `places` decimals: truncate_to(0.999, 2) = 0.99.
double truncate_to(double x, int places);

// The runtime's INT: the integer part, truncated toward zero.
double int_part(double x);

// Two-decimal rounding by the digit rule of the Brazilian rounding standard,
// used by the sale's approximate taxes and by every ICMS base and value.
// With F the fraction digits of decimal_text: below three digits F is
// completed with zeros; otherwise the third digit decides: below 5 cut,
// above 5 up, exactly 5 up when the second digit is odd or when more digits
// follow the 5, else cut. 2.345 -> 2.34, 2.335 -> 2.34, 2.3451 -> 2.35,
// 0.995 -> 1.00. A negative amount is rounded as its magnitude and keeps its sign.
double round_abnt(double x);

// The value as a whole number of 10^-places units, after rounding half away
// from zero (or truncating, when `truncate` is set): scaled_units(1.005, 2)
// = 101. std::nullopt for NaN, infinities and magnitudes of 10^18 units or more.
std::optional<std::int64_t> scaled_units(double x, int places, bool truncate = false);

namespace detail {
// The same operations computed from the C library's decimal conversion of
// the double, one digit at a time: slower, and the reference the fast paths
// above fall back to for rare values and are tested against.
double reference_round(double x, int places, bool truncate);
double reference_abnt(double x);
std::optional<std::int64_t> reference_scaled_units(double x, int places, bool truncate);
}  // namespace detail

}  // namespace fvn
