#include "runtime/clock.h"

#include <algorithm>
#include <chrono>
#include <ctime>

namespace fvn {

namespace {

// Days from 1970-01-01 to a proleptic Gregorian date (H. Hinnant's algorithm).
constexpr std::int64_t days_from_civil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2 ? 1 : 0;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const auto yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

struct Ymd {
  std::int64_t y;
  unsigned m;
  unsigned d;
};

constexpr Ymd civil_from_days(std::int64_t z) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const auto doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t y = static_cast<std::int64_t>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  const unsigned d = doy - (153 * mp + 2) / 5 + 1;
  const unsigned m = mp < 10 ? mp + 3 : mp - 9;
  return {y + (m <= 2 ? 1 : 0), m, d};
}

// Day number of 1970-01-01: day 4 is 1801-01-01.
constexpr std::int64_t kEpochOffset = 4 - days_from_civil(1801, 1, 1);

static_assert(days_from_civil(9999, 12, 31) + kEpochOffset == kLastDate);

constexpr bool leap(std::int64_t y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

constexpr unsigned days_in_month(std::int64_t y, unsigned m) {
  constexpr unsigned kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && leap(y) ? 29 : kDays[m - 1];
}

Date checked(std::int64_t day) { return valid_date(day) ? static_cast<Date>(day) : 0; }

// DATE(month, day, year) on 64-bit values, so that no argument overflows.
Date make_date_wide(std::int64_t month, std::int64_t day, std::int64_t year) {
  const std::int64_t months = year * 12 + (month - 1);
  const std::int64_t y = months >= 0 ? months / 12 : (months - 11) / 12;
  const auto m = static_cast<unsigned>(months - y * 12 + 1);
  if (y < 1700 || y > 10100) return 0;  // far outside the range: avoid huge day counts
  return checked(days_from_civil(y, m, 1) + kEpochOffset + (day - 1));
}

}  // namespace

bool valid_date(std::int64_t date) { return date >= kFirstDate && date <= kLastDate; }

bool valid_time(std::int64_t time) { return time >= kFirstTime && time <= kLastTime; }

Date date_from_civil(int year, int month, int day) {
  if (month < 1 || month > 12 || day < 1) return 0;
  if (year < 1801 || year > 9999) return 0;
  if (static_cast<unsigned>(day) > days_in_month(year, static_cast<unsigned>(month))) return 0;
  return checked(days_from_civil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) + kEpochOffset);
}

Date make_date(int month, int day, int year) { return make_date_wide(month, day, year); }

std::optional<CivilDate> civil_from_date(std::int64_t date) {
  if (!valid_date(date)) return std::nullopt;
  const Ymd ymd = civil_from_days(date - kEpochOffset);
  return CivilDate{static_cast<int>(ymd.y), static_cast<int>(ymd.m), static_cast<int>(ymd.d)};
}

int year_of(Date date) {
  const auto civil = civil_from_date(date);
  return civil ? civil->year : 0;
}

int month_of(Date date) {
  const auto civil = civil_from_date(date);
  return civil ? civil->month : 0;
}

int day_of(Date date) {
  const auto civil = civil_from_date(date);
  return civil ? civil->day : 0;
}

int day_of_week(Date date) {
  if (!valid_date(date)) return -1;
  // 1970-01-01 was a Thursday (4).
  const std::int64_t days = date - kEpochOffset;
  return static_cast<int>(((days % 7) + 7 + 4) % 7);
}

Date add_months(Date date, int months) {
  const auto civil = civil_from_date(date);
  if (!civil) return 0;
  return make_date_wide(static_cast<std::int64_t>(civil->month) + months, civil->day, civil->year);
}

Date add_days(Date date, std::int64_t days) {
  if (!valid_date(date) || days > kLastDate || days < -kLastDate) return 0;
  return checked(date + days);
}

Time time_from_civil(int hour, int minute, int second, int hundredths) {
  if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || hundredths < 0 ||
      hundredths > 99) {
    return 0;
  }
  return ((hour * 60 + minute) * 60 + second) * 100 + hundredths + 1;
}

std::optional<CivilTime> civil_from_time(std::int64_t time) {
  if (!valid_time(time)) return std::nullopt;
  const auto t = static_cast<int>(time - 1);
  return CivilTime{t / 360000, t / 6000 % 60, t / 100 % 60, t % 100};
}

Date today() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return date_from_civil(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}

Time clock_now() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  std::tm local{};
  localtime_r(&seconds, &local);
  const auto since_second = now.time_since_epoch() % std::chrono::seconds(1);
  const auto hundredths =
      static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(since_second).count() / 10);
  return time_from_civil(local.tm_hour, local.tm_min, std::min(local.tm_sec, 59), hundredths);
}

}  // namespace fvn
