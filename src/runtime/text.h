// Small text helpers shared by every layer. Texts are UTF-8; a "character"
// is a Unicode code point, so lengths and cuts count code points, never bytes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace fvn::text {

// The text without its trailing blanks (the runtime's CLIP).
std::string clip(std::string_view text);

// The text without its leading blanks.
std::string left_trim(std::string_view text);

// The text without leading and trailing blanks.
std::string trim(std::string_view text);

// Number of characters (code points). A byte that does not start a valid
// UTF-8 sequence counts as one character.
std::size_t length(std::string_view text);

// The first `max_chars` characters; never splits a multi-byte character.
std::string cut(std::string_view text, std::size_t max_chars);

// The text as a field of capacity N holds it: at most N - 1 characters.
std::string fit(std::string_view text, std::size_t capacity);

// Upper case for ASCII letters and the accented Latin letters of Portuguese
// (U+00E0..U+00FE except U+00F7); every other character is kept.
std::string upper(std::string_view text);

// True for the ASCII digits 0 to 9 only (never the locale's digits).
constexpr bool is_digit(char c) { return c >= '0' && c <= '9'; }

// True when the text is not empty and holds ASCII digits only.
bool all_digits(std::string_view text);

// The ASCII digits of the text, in order; everything else dropped.
std::string digits(std::string_view text);

// The digits without their leading zeros; "0" when nothing else is left.
std::string strip_leading_zeros(std::string_view digits);

// Splits at every occurrence of `separator`; an empty text gives one empty part.
std::vector<std::string> split(std::string_view text, char separator);

}  // namespace fvn::text
