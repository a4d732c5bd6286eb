#include "runtime/decimal.h"

#include <cstdint>
#include <limits>

#include <gtest/gtest.h>

namespace fvn {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(Decimal, AssignmentRoundsHalfAwayFromZero) {
  Dec2 d = 1.005;
  EXPECT_EQ(d.units(), 101);
  EXPECT_EQ(d.value(), 1.01);
  d = -1.005;
  EXPECT_EQ(d.units(), -101);
  d = 10.00 * 33.33;
  EXPECT_EQ(d.units(), 33'330);
  EXPECT_EQ(Dec4{1.23455}.units(), 12'346);
  EXPECT_EQ((Dec2{Dec2{0.1} + Dec2{0.2}}.units()), 30);
}

TEST(Decimal, SetRefusesWhatDoesNotFitAndKeepsTheValue) {
  Dec2 d = 12.34;
  for (const double bad : {kNaN, kInf, -kInf, 1e13, -1e13}) EXPECT_FALSE(d.set(bad)) << bad;
  EXPECT_EQ(d.units(), 1234);
  EXPECT_TRUE(d.set(9'999'999'999'999.99));  // 15 digits, 2 of them decimals
  EXPECT_EQ(d.units(), Dec2::kMaxUnits);
  Dec2Short s = 1.0;
  EXPECT_FALSE(s.set(1e11));
  EXPECT_EQ(s.units(), 100);
  EXPECT_TRUE(Dec4Short::fits(-999'999'999.9999));
  EXPECT_FALSE(Dec4Short::fits(1e9));
}

TEST(Decimal, AssignmentSaturatesInsteadOfWrapping) {
  Dec2 d = 1e20;
  EXPECT_EQ(d.units(), Dec2::kMaxUnits);
  d = -kInf;
  EXPECT_EQ(d.units(), -Dec2::kMaxUnits);
  d = kNaN;
  EXPECT_EQ(d.units(), 0);
  EXPECT_EQ(Dec4::from_units(std::numeric_limits<std::int64_t>::min()).units(), -Dec4::kMaxUnits);
}

template <typename D>
void expect_units_round_trip() {
  for (std::int64_t units = -20'000; units <= 20'000; ++units) {
    ASSERT_EQ(D{D::from_units(units).value()}.units(), units);
  }
  for (std::int64_t units = -D::kMaxUnits; units <= D::kMaxUnits; units += D::kMaxUnits / 4'999) {
    ASSERT_EQ(D{D::from_units(units).value()}.units(), units);
  }
}

TEST(Decimal, UnitsAndValueRoundTrip) {
  expect_units_round_trip<Dec2>();
  expect_units_round_trip<Dec4>();
  expect_units_round_trip<Dec2Short>();
  expect_units_round_trip<Dec4Short>();
}

}  // namespace
}  // namespace fvn
