#include "runtime/rounding.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace fvn {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
const auto kRowName = [](const auto& row) { return row.param.name; };

enum class Op { Round, Truncate, Abnt };

struct RoundCase {
  std::string name;
  Op op;
  double x;
  int places;  // round and truncate only
  double expected;
};

class RoundingTable : public ::testing::TestWithParam<RoundCase> {};

TEST_P(RoundingTable, GivesTheDecimalResult) {
  const RoundCase& c = GetParam();
  const double got = c.op == Op::Round      ? round_to(c.x, c.places)
                     : c.op == Op::Truncate ? truncate_to(c.x, c.places)
                                            : round_abnt(c.x);
  EXPECT_EQ(got, c.expected);
  EXPECT_FALSE(std::signbit(got) && got == 0.0) << "negative zero";
}

INSTANTIATE_TEST_SUITE_P(Rounding, RoundingTable,
                         ::testing::Values(RoundCase{"round_2_675", Op::Round, 2.675, 2, 2.68},
                                           RoundCase{"round_minus_half", Op::Round, -2.5, 0, -3.0},
                                           RoundCase{"round_large", Op::Round, 123456789012.345, 2, 123456789012.35},
                                           RoundCase{"round_minus_to_zero", Op::Round, -0.001, 2, 0.0},
                                           RoundCase{"round_negative_places", Op::Round, 2.5, -1, 3.0},
                                           RoundCase{"round_places_beyond_15", Op::Round, 0.1234567890123456, 20,
                                                     0.123456789012346},
                                           RoundCase{"truncate_10_times_33_33", Op::Truncate, 10.00 * 33.33, 0, 333.0},
                                           RoundCase{"truncate_sum_below_0_8", Op::Truncate, 0.7 + 0.1, 1, 0.8},
                                           RoundCase{"truncate_product_below_435", Op::Truncate, 4.35 * 100, 0, 435.0},
                                           RoundCase{"abnt_2_3451", Op::Abnt, 2.3451, 0, 2.35},
                                           RoundCase{"abnt_minus_to_zero", Op::Abnt, -0.004, 0, 0.0}),
                         kRowName);

// Every amount of three decimals from -20 to 20 against the rules worked out
// on whole thousandths.
TEST(Rounding, ThousandthsFollowTheirDecimalDigits) {
  auto text = [](long long cents) {
    const long long m = std::llabs(cents);
    std::string s = (cents < 0 ? "-" : "") + std::to_string(m / 100);
    if (m % 100 != 0) s += (m % 100 < 10 ? ".0" : ".") + std::to_string(m % 10 == 0 ? m % 100 / 10 : m % 100);
    return s;
  };
  for (long long k = -20'000; k <= 20'000; ++k) {
    const double x = static_cast<double>(k) / 1000.0;
    const long long sign = k < 0 ? -1 : 1;
    const long long kept = std::llabs(k) / 10;
    const long long digit = std::llabs(k) % 10;
    const bool abnt_up = digit > 5 || (digit == 5 && kept % 2 == 1);
    ASSERT_EQ(decimal_text(round_to(x, 2)), text(sign * (kept + (digit >= 5 ? 1 : 0)))) << k;
    ASSERT_EQ(decimal_text(truncate_to(x, 2)), text(sign * kept)) << k;
    ASSERT_EQ(decimal_text(round_abnt(x)), text(sign * (kept + (abnt_up ? 1 : 0)))) << k;
  }
}

struct TextCase {
  std::string name;
  double x;
  std::string expected;
};

class DecimalTextTable : public ::testing::TestWithParam<TextCase> {};

TEST_P(DecimalTextTable, WritesPlainDecimals) { EXPECT_EQ(decimal_text(GetParam().x), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(
    Rounding, DecimalTextTable,
    ::testing::Values(TextCase{"plain", 2.345, "2.345"}, TextCase{"small", 1e-7, "0.0000001"},
                      TextCase{"large", 1.5e20, "150000000000000000000"}, TextCase{"negative_zero", -0.0, "0"},
                      TextCase{"negative", -2.5, "-2.5"}, TextCase{"no_trailing_point", 100.0, "100"},
                      TextCase{"fifteen_digits", 0.1 + 0.2, "0.3"}, TextCase{"third", 1.0 / 3.0, "0.333333333333333"},
                      TextCase{"beyond_fifteen_digits", 123456789012345678.0, "123456789012346000"},
                      TextCase{"nan", kNaN, "nan"}, TextCase{"infinity", kInf, "inf"},
                      TextCase{"minus_infinity", -kInf, "-inf"}),
    kRowName);

TEST(Rounding, IntPartAndNanAndInfinitiesPassingThrough) {
  EXPECT_TRUE(std::isnan(round_to(kNaN, 2)));
  EXPECT_TRUE(std::isnan(truncate_to(kNaN, 2)));
  EXPECT_TRUE(std::isnan(round_abnt(kNaN)));
  EXPECT_EQ(round_to(kInf, 2), kInf);
  EXPECT_EQ(int_part(10.00 * 33.33), 333.0);
  EXPECT_EQ(int_part(-kInf), -kInf);
  EXPECT_EQ(round_abnt(-kInf), -kInf);
}

TEST(Rounding, ScaledUnitsFitAnInt64OrNothing) {
  EXPECT_EQ(scaled_units(1.005, 2), 101);
  EXPECT_EQ(scaled_units(-1.005, 2), -101);
  EXPECT_EQ(scaled_units(0.999, 2, true), 99);
  EXPECT_EQ(scaled_units(1e17, 0), std::int64_t{100'000'000'000'000'000});
  EXPECT_EQ(scaled_units(1e18, 0), std::nullopt);
  EXPECT_EQ(scaled_units(-1e18, 0), std::nullopt);
  EXPECT_EQ(scaled_units(1e16, 2), std::nullopt);
  EXPECT_EQ(scaled_units(kNaN, 2), std::nullopt);
  EXPECT_EQ(scaled_units(-kInf, 0), std::nullopt);
}

}  // namespace
}  // namespace fvn

// The fast paths must agree with the digit-by-digit reference on every value:
// money-like amounts and their products, values next to powers of ten, and
// doubles of every magnitude drawn at random.
TEST(Rounding, FastPathsAgreeWithTheReference) {
  std::vector<double> values;
  for (int cents = -100000; cents <= 100000; cents += 97) {
    values.push_back(cents / 100.0);
    values.push_back(cents / 1000.0);
    values.push_back(cents / 100.0 * 33.33);
    values.push_back(cents / 10000.0 * 0.65);
  }
  for (int e = -20; e <= 20; ++e) {
    const double p = std::pow(10.0, e);
    for (const double x : {p, std::nextafter(p, 0.0), std::nextafter(p, 1e300), 9.999999999999999 * p,
                           9.99999999999995 * p, 0.5 * p, 0.005 * p}) {
      values.push_back(x);
      values.push_back(-x);
    }
  }
  std::mt19937_64 random(20261206);
  std::uniform_real_distribution<double> mantissa(1.0, 10.0);
  std::uniform_int_distribution<int> exponent(-25, 25);
  for (int i = 0; i < 3000; ++i) values.push_back(mantissa(random) * std::pow(10.0, exponent(random)));

  for (const double x : values) {
    for (int places = 0; places <= 6; ++places) {
      ASSERT_EQ(fvn::round_to(x, places), fvn::detail::reference_round(x, places, false)) << x << " " << places;
      ASSERT_EQ(fvn::truncate_to(x, places), fvn::detail::reference_round(x, places, true)) << x << " " << places;
      ASSERT_EQ(fvn::scaled_units(x, places), fvn::detail::reference_scaled_units(x, places, false)) << x;
    }
    ASSERT_EQ(fvn::round_abnt(x), fvn::detail::reference_abnt(x)) << x;
  }
}
