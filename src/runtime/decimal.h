// Fixed-point decimal fields ("dec n"): `Digits` significant digits of which
// `Places` are decimals, held exactly as a whole number of 10^-Places units.
//
// Assigning a double rounds it half away from zero to `Places` decimals
// through the rounding module, the way the runtime stores a REAL into a
// decimal field. A value that does not fit the field is never wrapped or
// cut silently: `set` refuses it and keeps the old value; plain assignment
// saturates at the largest value of the field's sign (and stores 0 for NaN).
// `fits` tells beforehand.
#pragma once

#include <compare>
#include <cstdint>

#include "runtime/rounding.h"

namespace fvn {

template <int Digits, int Places>
class Dec {
  static_assert(Digits > 0 && Digits <= 18, "an int64 holds at most 18 decimal digits");
  static_assert(Places >= 0 && Places < Digits, "decimals must leave room for the integer part");

 public:
  static constexpr std::int64_t pow10(int n) { return n == 0 ? 1 : 10 * pow10(n - 1); }
  static constexpr std::int64_t kScale = pow10(Places);
  // The largest magnitude in units: Digits nines.
  static constexpr std::int64_t kMaxUnits = pow10(Digits) - 1;

  constexpr Dec() = default;
  Dec(double x) { assign(x); }  // NOLINT(google-explicit-constructor): fields take REALs
  Dec& operator=(double x) {
    assign(x);
    return *this;
  }

  static constexpr Dec from_units(std::int64_t units) {
    Dec d;
    d.units_ = units > kMaxUnits ? kMaxUnits : (units < -kMaxUnits ? -kMaxUnits : units);
    return d;
  }

  static bool fits(double x) {
    const auto units = scaled_units(x, Places);
    return units && *units <= kMaxUnits && *units >= -kMaxUnits;
  }

  // Stores x rounded; false (value unchanged) when x is NaN, infinite or too large.
  bool set(double x) {
    const auto units = scaled_units(x, Places);
    if (!units || *units > kMaxUnits || *units < -kMaxUnits) return false;
    units_ = *units;
    return true;
  }

  [[nodiscard]] constexpr std::int64_t units() const { return units_; }
  [[nodiscard]] constexpr double value() const { return static_cast<double>(units_) / static_cast<double>(kScale); }
  operator double() const { return value(); }  // NOLINT(google-explicit-constructor)

  friend constexpr bool operator==(const Dec&, const Dec&) = default;
  friend constexpr auto operator<=>(const Dec&, const Dec&) = default;

 private:
  void assign(double x) {
    if (set(x)) return;
    if (x != x) {  // NaN
      units_ = 0;
    } else {
      units_ = x > 0 ? kMaxUnits : -kMaxUnits;
    }
  }

  std::int64_t units_ = 0;
};

// The two kinds of money field of the records: 8-byte (15 digits) and 7-byte
// (13 digits), each with 2 or 4 decimals.
using Dec2 = Dec<15, 2>;
using Dec4 = Dec<15, 4>;
using Dec2Short = Dec<13, 2>;
using Dec4Short = Dec<13, 4>;

}  // namespace fvn
