// Pictures: how the runtime writes numbers, dates and times as text, and
// reads typed text back.
//
// Grammar (letters in either case, the leading "@" optional):
//
//   number  N [currency] [sign] [fill] size [grouping] [separator places] [sign] [currency] [B]
//     currency   "$" or a text between tildes ("~R$ ~"), before or after the number
//     sign       leading "-" (minus in front), or "(" with a closing ")" after the
//                number; a trailing "-" puts the minus behind. Without a sign
//                indicator a negative value is written without its sign.
//     fill       "0" leading zeros, "_" leading blanks, "*" leading asterisks;
//                without it leading blanks. "0" and "_" also drop grouping.
//     size       the width of the whole field: digits, separators, sign, currency
//     grouping   "." periods, "-" hyphens, "_" blanks between groups of three
//                integer digits; by default commas, or periods when the decimal
//                separator is a comma
//     separator  "." decimal point, "`" or "'" decimal comma, "v" implied (no
//                separator written) followed by the number of decimals
//     B          blank field when the value is zero
//   Examples: n10.2 of 1234.5 is "  1,234.50"; n12`2 is "    1.234,50";
//   n-15.2 of -3 is "          -3.00"; n08 of 42 is "00000042"; n_7.2 of 1234.5
//   is "1234.50". The value is rounded half away from zero to the decimals.
//   A value that needs more than `size` positions, NaN or an infinity fills
//   the field with "#".
//
//   date    D format [separator] [B]   (the value is a day number, see clock.h)
//     format  1 mm/dd/yy   2 mm/dd/yyyy   3 mmm dd, yyyy   4 mmmmmmmmm dd, yyyy
//             5 dd/mm/yy   6 dd/mm/yyyy   7 dd mmm yy      8 dd mmm yyyy
//             9 yy/mm/dd  10 yyyy/mm/dd  11 yymmdd        12 yyyymmdd
//            13 mm/yy     14 mm/yyyy     15 yy/mm         16 yyyy/mm
//             written with a leading "0" (d06, D012) every number is zero
//             filled; without it a leading zero of the first field is a blank
//             ("d6" of 5 January 2024 is " 5/01/2024")
//     separator  "." period, "`" comma, "-" hyphen, "_" blank instead of "/"
//     month names are the runtime's Portuguese names ("Jan", "Janeiro").
//     A date out of range (0 included) is written as an empty text.
//
//   time    T format [separator] [B]   (the value is a TIME, see clock.h)
//     format  1 hh:mm   2 hhmm   3 hh:mmXM   4 hh:mm:ss   5 hhmmss   6 hh:mm:ssXM
//             a leading "0" zero-fills the hour (t04 is "09:05:03"); XM is AM/PM
//     separator as for dates, instead of ":"
//     A time out of range (0 included) is written as an empty text.
//
// A picture that does not follow the grammar formats as an empty text and
// deformats to std::nullopt; parse_picture tells which.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace fvn {

struct NumberPicture {
  enum class Sign { None, LeadingMinus, TrailingMinus, Parentheses };
  int size = 0;
  int places = 0;
  char decimal_separator = '.';  // '.', ',' or '\0' (implied)
  char grouping = ',';           // ',', '.', '-', ' ' or '\0' (none)
  char fill = ' ';               // ' ', '0' or '*'
  Sign sign = Sign::None;
  std::string currency_before;
  std::string currency_after;
  bool blank_when_zero = false;
};

struct DateTimePicture {
  int format = 0;
  bool zero_fill = false;
  char separator = '\0';  // '\0' = the format's own ("/" or ":")
  bool blank_when_zero = false;
};

struct Picture {
  enum class Kind { Number, DateValue, TimeValue };
  Kind kind = Kind::Number;
  NumberPicture number;
  DateTimePicture date_time;
};

std::optional<Picture> parse_picture(std::string_view picture);

// FORMAT(value, picture).
std::string format_picture(double value, std::string_view picture);
std::string format_picture(double value, const Picture& picture);

// DEFORMAT(text, picture): the number, day number or TIME written in `text`.
// A blank text gives 0. std::nullopt when the text cannot be read with the
// picture (letters in a number, 31/02/2024, 25:00) or the picture is invalid.
std::optional<double> deformat_picture(std::string_view text, std::string_view picture);

}  // namespace fvn
