// Dates and times as the runtime keeps them.
//
// DATE is a day number: day 4 is 1 January 1801 and day 2,994,626 is
// 31 December 9999, the last accepted date; 0 means "no date". TIME is
// hundredths of a second since midnight plus one: 1 is 00:00:00.00 and
// 8,640,000 is 23:59:59.99; 0 means "no time". Every function here accepts
// any integer and answers 0 or std::nullopt for values outside those ranges.
#pragma once

#include <cstdint>
#include <optional>

namespace fvn {

using Date = std::int32_t;
using Time = std::int32_t;

inline constexpr Date kFirstDate = 4;
inline constexpr Date kLastDate = 2'994'626;
inline constexpr Time kFirstTime = 1;
inline constexpr Time kLastTime = 8'640'000;

struct CivilDate {
  int year = 0;
  int month = 0;  // 1..12
  int day = 0;    // 1..31
  friend bool operator==(const CivilDate&, const CivilDate&) = default;
};

struct CivilTime {
  int hour = 0;        // 0..23
  int minute = 0;      // 0..59
  int second = 0;      // 0..59
  int hundredths = 0;  // 0..99
  friend bool operator==(const CivilTime&, const CivilTime&) = default;
};

bool valid_date(std::int64_t date);
bool valid_time(std::int64_t time);

// The day number of a real calendar date, or 0 when the date does not exist
// (31 April) or lies outside 1801-01-01 .. 9999-12-31.
Date date_from_civil(int year, int month, int day);

// The runtime's DATE(month, day, year): months outside 1..12 carry into the
// year and days beyond the month's end (or below 1) carry into the next (or
// previous) months, so DATE(13, 1, 2025) is 1 January 2026 and day 31 of a
// 30-day month is the 1st of the next. 0 when the result is out of range.
Date make_date(int month, int day, int year);

std::optional<CivilDate> civil_from_date(std::int64_t date);

// Parts of a date; 0 for a date out of range.
int year_of(Date date);
int month_of(Date date);
int day_of(Date date);

// 0 = Sunday .. 6 = Saturday; -1 for a date out of range.
int day_of_week(Date date);

// The date `months` months later (earlier when negative), keeping the day of
// the month with the runtime's carry (31 January + 1 month = 3 March in a
// common year). 0 when out of range.
Date add_months(Date date, int months);

// The date `days` days later; 0 when out of range.
Date add_days(Date date, std::int64_t days);

// The TIME of a clock time, or 0 when a part is out of its range.
Time time_from_civil(int hour, int minute, int second, int hundredths = 0);

std::optional<CivilTime> civil_from_time(std::int64_t time);

// Today and the clock time from the system clock (local time zone).
Date today();
Time clock_now();

}  // namespace fvn
