#include "runtime/picture.h"

#include <cctype>
#include <limits>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "runtime/clock.h"

namespace fvn {
namespace {

double day(int year, int month, int d) { return date_from_civil(year, month, d); }
double at(int hour, int minute, int second = 0) { return time_from_civil(hour, minute, second, 7); }

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
const auto kRowName = [](const auto& row) { return row.param.name; };

struct FormatCase {
  std::string name;
  std::string picture;
  double value;
  std::string expected;
};

class FormatTable : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatTable, WritesTheValue) {
  const FormatCase& c = GetParam();
  EXPECT_EQ(format_picture(c.value, c.picture), c.expected) << c.picture << " of " << c.value;
}

INSTANTIATE_TEST_SUITE_P(Dates, FormatTable,
                         ::testing::Values(FormatCase{"d06", "@d06", day(2024, 1, 5), "05/01/2024"},
                                           FormatCase{"d06_first_day", "d06", kFirstDate, "01/01/1801"},
                                           FormatCase{"d06b", "@d06b", day(2024, 12, 25), "25/12/2024"},
                                           FormatCase{"d6_blank_leading_zero", "@d6", day(2024, 1, 5), " 5/01/2024"},
                                           FormatCase{"D012", "@D012", day(2024, 1, 5), "20240105"},
                                           FormatCase{"D012_last_day", "@D012", kLastDate, "99991231"},
                                           FormatCase{"d10_hyphen", "@d10-", day(2024, 1, 5), "2024-01-05"},
                                           FormatCase{"d05_period", "@d05.", day(1999, 7, 9), "09.07.99"},
                                           FormatCase{"d08_abbreviation", "@d08", day(2024, 12, 5), "05 Dez 2024"},
                                           FormatCase{"no_date", "@d06b", 0, ""}, FormatCase{"day_3", "@d06", 3, ""},
                                           FormatCase{"after_last_day", "@D012", kLastDate + 1, ""},
                                           FormatCase{"fraction_of_a_day", "@d06", 81457.5, ""}),
                         kRowName);

INSTANTIATE_TEST_SUITE_P(Times, FormatTable,
                         ::testing::Values(FormatCase{"t04", "@t04", at(9, 5, 3), "09:05:03"},
                                           FormatCase{"t4_blank_leading_zero", "@t4", at(9, 5, 3), " 9:05:03"},
                                           FormatCase{"t04_first", "@t04", kFirstTime, "00:00:00"},
                                           FormatCase{"t04_last", "@t04", kLastTime, "23:59:59"},
                                           FormatCase{"t03_afternoon", "@t03", at(13, 5), "01:05PM"},
                                           FormatCase{"t03_midnight", "@t03", at(0, 30), "12:30AM"},
                                           FormatCase{"no_time", "@t04", 0, ""},
                                           FormatCase{"after_last", "@t04", kLastTime + 1, ""}),
                         kRowName);

INSTANTIATE_TEST_SUITE_P(
    Numbers, FormatTable,
    ::testing::Values(
        FormatCase{"n10_2", "@n10.2", 1234.5, "  1,234.50"}, FormatCase{"N10_2", "@N10.2", 1234.5, "  1,234.50"},
        FormatCase{"no_sign_drops_minus", "@n10.2", -1234.5, "  1,234.50"},
        FormatCase{"half_away_from_zero", "@n10.2", 1.005, "      1.01"},
        FormatCase{"exact_width", "@n10.2", 999999.99, "999,999.99"},
        FormatCase{"too_wide", "@n10.2", 9999999.99, "##########"},
        FormatCase{"n_minus_15_2", "@n-15.2", -3, "          -3.00"},
        FormatCase{"minus_half_away", "@n-15.2", -1.005, "          -1.01"},
        FormatCase{"minus_rounded_to_zero", "@n-15.2", -0.004, "           0.00"},
        FormatCase{"n_minus_19_4", "@n-19.4", -1234.5678, "        -1,234.5678"},
        FormatCase{"n_minus_19_4_full", "@n-19.4", -1234567890.12345, "-1,234,567,890.1235"},
        FormatCase{"n_minus_19_4_too_wide", "@n-19.4", -12345678901.2, "###################"},
        FormatCase{"n12_comma_2", "@n12`2", 1234.5, "    1.234,50"}, FormatCase{"n6_2", "@n6.2", 12.5, " 12.50"},
        FormatCase{"n6_2_rounding_overflows", "@n6.2", 999.995, "######"}, FormatCase{"n02", "@n02", 5, "05"},
        FormatCase{"n04_no_grouping", "@n04", 1234, "1234"},
        FormatCase{"n014", "@n014", 12345678901234, "12345678901234"}, FormatCase{"n3", "@n3", 2.5, "  3"},
        FormatCase{"n3_too_wide", "@n3", 1234, "###"},
        FormatCase{"blank_fill_no_grouping", "@n_8.2", 1234.5, " 1234.50"},
        FormatCase{"zero_fill_after_minus", "@n-08", -42, "-0000042"},
        FormatCase{"trailing_minus", "@n10.2-", -5, "     5.00-"},
        FormatCase{"parentheses", "@n(10.2)", -5, "    (5.00)"},
        FormatCase{"period_grouping", "@n12.`2", 1234567.5, "1.234.567,50"},
        FormatCase{"currency_before", "@n~R$ ~12`2", 1234.5, " R$ 1.234,50"},
        FormatCase{"blank_when_zero", "@n10.2b", 0.004, "          "},
        FormatCase{"blank_only_when_zero", "@n10.2B", 0.005, "      0.01"},
        FormatCase{"nan", "@n10.2", kNaN, "##########"}, FormatCase{"minus_infinity", "@n-6.2", -kInf, "######"}),
    kRowName);

class InvalidPictureTable : public ::testing::TestWithParam<std::string> {};

TEST_P(InvalidPictureTable, FormatsEmptyAndDeformatsNothing) {
  EXPECT_EQ(parse_picture(GetParam()), std::nullopt);
  EXPECT_EQ(format_picture(12.0, GetParam()), "");
  EXPECT_EQ(deformat_picture("12", GetParam()), std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(Pictures, InvalidPictureTable,
                         ::testing::Values("", "@", "@@n10.2", "@x10", "@n", "@n0", "@n10.2)", "@n-10.2-", "@n10.10",
                                           "@n10.2bb", "@n~R$10.2", "@d0", "@d17", "@d06x", "@t7", "@t04:"),
                         [](const auto& row) {
                           std::string name = "row" + std::to_string(row.index) + "_";
                           for (const char c : row.param) {
                             if (std::isalnum(static_cast<unsigned char>(c)) != 0) name += c;
                           }
                           return name;
                         });

struct DeformatCase {
  std::string name;
  std::string picture;
  std::string text;
  std::optional<double> expected;
};

class DeformatTable : public ::testing::TestWithParam<DeformatCase> {};

TEST_P(DeformatTable, ReadsTheText) {
  const DeformatCase& c = GetParam();
  EXPECT_EQ(deformat_picture(c.text, c.picture), c.expected) << c.picture << " of \"" << c.text << "\"";
}

INSTANTIATE_TEST_SUITE_P(Pictures, DeformatTable,
                         ::testing::Values(DeformatCase{"decimal_point", "@n10.2", "  1,234.50", 1234.5},
                                           DeformatCase{"decimal_comma", "@n12`2", "1.234,50", 1234.5},
                                           DeformatCase{"decimal_comma_no_grouping", "@n12`2", "1234,5", 1234.5},
                                           DeformatCase{"minus", "@n-15.2", "  -3.00", -3},
                                           DeformatCase{"parentheses", "@n(10.2)", "(5.00)", -5},
                                           DeformatCase{"currency", "@n~R$ ~12`2", "R$ 1.234,50", 1234.5},
                                           DeformatCase{"blank_number", "@n10.2", "   ", 0.0},
                                           DeformatCase{"letters", "@n10.2", "12a", std::nullopt},
                                           DeformatCase{"two_decimal_points", "@n10.2", "1.2.3", std::nullopt},
                                           DeformatCase{"d06", "@d06", "05/01/2024", day(2024, 1, 5)},
                                           DeformatCase{"d06_short_fields", "@d06", "5/1/24", day(2024, 1, 5)},
                                           DeformatCase{"D012", "@D012", "20240105", day(2024, 1, 5)},
                                           DeformatCase{"D012_short", "@D012", "2024015", std::nullopt},
                                           DeformatCase{"d10_hyphen", "@d10-", "2024-01-05", day(2024, 1, 5)},
                                           DeformatCase{"month_name", "@d04", "fevereiro 5, 2024", day(2024, 2, 5)},
                                           DeformatCase{"feb_31", "@d06", "31/02/2024", std::nullopt},
                                           DeformatCase{"date_letters", "@d06", "aa/bb/cccc", std::nullopt},
                                           DeformatCase{"blank_date", "@d06", "", 0.0},
                                           DeformatCase{"t04", "@t04", "09:05:03", time_from_civil(9, 5, 3)},
                                           DeformatCase{"t02_digits", "@t02", "0905", time_from_civil(9, 5, 0)},
                                           DeformatCase{"t03_afternoon", "@t03", "01:05pm", time_from_civil(13, 5, 0)},
                                           DeformatCase{"time_junk", "@t04", "09:5x", std::nullopt},
                                           DeformatCase{"blank_time", "@t04", " ", 0.0}),
                         kRowName);

TEST(Picture, DatesReadBackWhatTheyWrite) {
  for (const char* picture : {"@d06", "@D012", "@d10-", "@d08", "@d2"}) {
    for (Date d = kFirstDate; d <= kLastDate; d += 997) {
      ASSERT_EQ(deformat_picture(format_picture(d, picture), picture), std::optional<double>{d}) << picture << d;
    }
  }
}

TEST(Picture, NumbersReadBackWhatTheyWrite) {
  for (const char* picture : {"@n-19.4", "@n-15.2", "@n-14.`2", "@n(12.2)", "@n$-14.2", "@n-010.2"}) {
    for (const double value : {0.01, 1.5, -1234.56, 999999.99, -999999.99}) {
      ASSERT_EQ(deformat_picture(format_picture(value, picture), picture), value) << picture << " of " << value;
    }
  }
}

}  // namespace
}  // namespace fvn
