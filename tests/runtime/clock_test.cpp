#include "runtime/clock.h"

#include <climits>
#include <cstdint>
#include <limits>
#include <string>

#include <gtest/gtest.h>

namespace fvn {
namespace {

constexpr std::int64_t kMax64 = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kMin64 = std::numeric_limits<std::int64_t>::min();

struct CivilCase {
  std::string name;
  CivilDate civil;
  Date day;
};

class CivilDateTable : public ::testing::TestWithParam<CivilCase> {};

TEST_P(CivilDateTable, DayNumberAndCalendarDateMatch) {
  const CivilCase& c = GetParam();
  EXPECT_EQ(date_from_civil(c.civil.year, c.civil.month, c.civil.day), c.day);
  EXPECT_EQ(civil_from_date(c.day), c.civil);
  EXPECT_EQ(year_of(c.day) * 10000 + month_of(c.day) * 100 + day_of(c.day),
            c.civil.year * 10000 + c.civil.month * 100 + c.civil.day);
}

INSTANTIATE_TEST_SUITE_P(Clock, CivilDateTable,
                         ::testing::Values(CivilCase{"first_day", {1801, 1, 1}, 4},
                                           CivilCase{"last_day", {9999, 12, 31}, 2'994'626},
                                           CivilCase{"leap_day_2000", {2000, 2, 29}, 72'746},
                                           CivilCase{"after_28_feb_1900", {1900, 3, 1}, 36'222},
                                           CivilCase{"leap_day_2024", {2024, 2, 29}, 81'512}),
                         [](const auto& row) { return row.param.name; });

TEST(Clock, DatesOutsideTheCalendarOrTheRangeAreZero) {
  EXPECT_FALSE(valid_date(3));
  EXPECT_TRUE(valid_date(4));
  EXPECT_TRUE(valid_date(2'994'626));
  EXPECT_FALSE(valid_date(2'994'627));
  for (const std::int64_t day : {std::int64_t{0}, std::int64_t{3}, std::int64_t{2'994'627}, kMax64, kMin64}) {
    EXPECT_EQ(civil_from_date(day), std::nullopt) << day;
  }
  EXPECT_EQ(year_of(3) + month_of(0) + day_of(2'994'627), 0);
  const int missing[][3] = {{1900, 2, 29}, {2023, 2, 29}, {2024, 4, 31}, {1800, 12, 31},        {10000, 1, 1},
                            {2024, 0, 1},  {2024, 13, 1}, {2024, 1, 0},  {INT_MAX, INT_MAX, 1}, {INT_MIN, 1, INT_MIN}};
  for (const auto& d : missing) EXPECT_EQ(date_from_civil(d[0], d[1], d[2]), 0) << d[0] << "-" << d[1] << "-" << d[2];
}

TEST(Clock, EveryDayOfTheRangeRoundTripsInCalendarOrder) {
  int previous_day = 31;
  for (Date day = kFirstDate; day <= kLastDate; ++day) {
    const auto civil = civil_from_date(day);
    ASSERT_TRUE(civil.has_value()) << day;
    ASSERT_EQ(date_from_civil(civil->year, civil->month, civil->day), day);
    ASSERT_TRUE(civil->day == previous_day + 1 || (civil->day == 1 && previous_day >= 28)) << day;
    previous_day = civil->day;
  }
}

struct ShiftCase {
  std::string name;
  CivilDate from;      // make_date: {year, month, day} as given; add_months: the start date
  int months;          // add_months only
  CivilDate expected;  // {}: no date
};

Date expected_day(const ShiftCase& c) { return date_from_civil(c.expected.year, c.expected.month, c.expected.day); }

class MakeDateTable : public ::testing::TestWithParam<ShiftCase> {};

TEST_P(MakeDateTable, CarriesMonthsAndDays) {
  const ShiftCase& c = GetParam();
  EXPECT_EQ(make_date(c.from.month, c.from.day, c.from.year), expected_day(c));
}

INSTANTIATE_TEST_SUITE_P(Clock, MakeDateTable,
                         ::testing::Values(ShiftCase{"month_13_is_next_january", {2025, 13, 1}, 0, {2026, 1, 1}},
                                           ShiftCase{"month_0_is_december_before", {2025, 0, 1}, 0, {2024, 12, 1}},
                                           ShiftCase{"month_minus_1", {2025, -1, 15}, 0, {2024, 11, 15}},
                                           ShiftCase{"april_31_is_1_may", {2024, 4, 31}, 0, {2024, 5, 1}},
                                           ShiftCase{"feb_30_common_year", {2023, 2, 30}, 0, {2023, 3, 2}},
                                           ShiftCase{"day_0_is_last_of_previous_month", {2024, 3, 0}, 0, {2024, 2, 29}},
                                           ShiftCase{"day_400_of_january", {2023, 1, 400}, 0, {2024, 2, 4}},
                                           ShiftCase{"day_before_first", {1800, 12, 31}, 0, {}},
                                           ShiftCase{"huge_arguments", {INT_MAX, INT_MAX, INT_MAX}, 0, {}},
                                           ShiftCase{"huge_day", {2000, 1, INT_MAX}, 0, {}},
                                           ShiftCase{"lowest_month_huge_year", {INT_MAX, INT_MIN, 1}, 0, {}}),
                         [](const auto& row) { return row.param.name; });

class AddMonthsTable : public ::testing::TestWithParam<ShiftCase> {};

TEST_P(AddMonthsTable, KeepsTheDayWithCarry) {
  const ShiftCase& c = GetParam();
  EXPECT_EQ(add_months(date_from_civil(c.from.year, c.from.month, c.from.day), c.months), expected_day(c));
}

INSTANTIATE_TEST_SUITE_P(Clock, AddMonthsTable,
                         ::testing::Values(ShiftCase{"jan_31_plus_1_common_year", {2023, 1, 31}, 1, {2023, 3, 3}},
                                           ShiftCase{"jan_31_plus_1_leap_year", {2024, 1, 31}, 1, {2024, 3, 2}},
                                           ShiftCase{"mar_31_minus_1", {2023, 3, 31}, -1, {2023, 3, 3}},
                                           ShiftCase{"leap_day_plus_12", {2024, 2, 29}, 12, {2025, 3, 1}},
                                           ShiftCase{"past_last_day", {9999, 12, 31}, 1, {}},
                                           ShiftCase{"huge_count", {2024, 1, 1}, INT_MAX, {}},
                                           ShiftCase{"no_start_date", {}, 1, {}}),
                         [](const auto& row) { return row.param.name; });

TEST(Clock, AddDaysStaysInsideTheRange) {
  EXPECT_EQ(add_days(date_from_civil(2024, 2, 28), 1), date_from_civil(2024, 2, 29));
  EXPECT_EQ(add_days(date_from_civil(1900, 3, 1), -1), date_from_civil(1900, 2, 28));
  EXPECT_EQ(add_days(kLastDate, 1), 0);
  EXPECT_EQ(add_days(kFirstDate, -1), 0);
  EXPECT_EQ(add_days(kFirstDate, kMax64), 0);
  EXPECT_EQ(add_days(kLastDate, kMin64), 0);
}

TEST(Clock, DayOfWeekOfKnownDates) {
  EXPECT_EQ(day_of_week(date_from_civil(1801, 1, 1)), 4);    // Thursday
  EXPECT_EQ(day_of_week(date_from_civil(2000, 1, 1)), 6);    // Saturday
  EXPECT_EQ(day_of_week(date_from_civil(2024, 3, 3)), 0);    // Sunday
  EXPECT_EQ(day_of_week(date_from_civil(2026, 5, 4)), 1);    // Monday
  EXPECT_EQ(day_of_week(date_from_civil(9999, 12, 31)), 5);  // Friday
  EXPECT_EQ(day_of_week(0), -1);
  EXPECT_EQ(day_of_week(kLastDate + 1), -1);
}

TEST(Clock, TimesRunFromOneTo8640000) {
  EXPECT_EQ(civil_from_time(1), (CivilTime{0, 0, 0, 0}));
  EXPECT_EQ(civil_from_time(8'640'000), (CivilTime{23, 59, 59, 99}));
  EXPECT_EQ(time_from_civil(12, 34, 56, 78), 4'529'679);
  for (const std::int64_t time : {std::int64_t{0}, std::int64_t{8'640'001}, std::int64_t{-5}, kMax64, kMin64}) {
    EXPECT_EQ(civil_from_time(time), std::nullopt) << time;
  }
  const int bad[][4] = {{24, 0, 0, 0},  {-1, 0, 0, 0}, {0, 60, 0, 0},     {0, 0, 60, 0},
                        {0, 0, 0, 100}, {0, 0, 0, -1}, {INT_MAX, 0, 0, 0}};
  for (const auto& t : bad) EXPECT_EQ(time_from_civil(t[0], t[1], t[2], t[3]), 0) << t[0] << ":" << t[1];
}

// A stride of 7 reaches every value of the hundredths, seconds and minutes.
TEST(Clock, TimesAcrossTheDayRoundTrip) {
  for (Time t = kFirstTime; t <= kLastTime; t += 7) {
    const auto civil = civil_from_time(t);
    ASSERT_TRUE(civil.has_value()) << t;
    ASSERT_EQ(time_from_civil(civil->hour, civil->minute, civil->second, civil->hundredths), t);
  }
  EXPECT_EQ(time_from_civil(23, 59, 59, 99), kLastTime);
}

}  // namespace
}  // namespace fvn
