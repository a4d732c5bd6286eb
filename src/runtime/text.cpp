#include "runtime/text.h"

namespace fvn::text {

namespace {

// Length in bytes of the UTF-8 sequence starting at text[pos]; 1 for a byte
// that cannot start a valid sequence, so broken input still advances.
std::size_t sequence_length(std::string_view text, std::size_t pos) {
  const auto lead = static_cast<unsigned char>(text[pos]);
  std::size_t n = 1;
  if (lead >= 0xF0 && lead <= 0xF4) {
    n = 4;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    n = 3;
  } else if (lead >= 0xC2 && lead <= 0xDF) {
    n = 2;
  }
  if (n == 1 || pos + n > text.size()) return 1;
  for (std::size_t i = 1; i < n; ++i) {
    if ((static_cast<unsigned char>(text[pos + i]) & 0xC0U) != 0x80U) return 1;
  }
  return n;
}

}  // namespace

std::string clip(std::string_view text) {
  const auto end = text.find_last_not_of(' ');
  return end == std::string_view::npos ? std::string{} : std::string{text.substr(0, end + 1)};
}

std::string left_trim(std::string_view text) {
  const auto begin = text.find_first_not_of(' ');
  return begin == std::string_view::npos ? std::string{} : std::string{text.substr(begin)};
}

std::string trim(std::string_view text) { return left_trim(clip(text)); }

std::size_t length(std::string_view text) {
  std::size_t count = 0;
  for (std::size_t pos = 0; pos < text.size(); pos += sequence_length(text, pos)) ++count;
  return count;
}

std::string cut(std::string_view text, std::size_t max_chars) {
  std::size_t pos = 0;
  for (std::size_t count = 0; pos < text.size() && count < max_chars; ++count) {
    pos += sequence_length(text, pos);
  }
  return std::string{text.substr(0, pos)};
}

std::string fit(std::string_view text, std::size_t capacity) {
  return capacity == 0 ? std::string{} : cut(text, capacity - 1);
}

std::string upper(std::string_view text) {
  std::string out{text};
  for (std::size_t pos = 0; pos < out.size();) {
    const std::size_t n = sequence_length(out, pos);
    const auto c = static_cast<unsigned char>(out[pos]);
    if (n == 1 && c >= 'a' && c <= 'z') {
      out[pos] = static_cast<char>(c - ('a' - 'A'));
    } else if (n == 2 && c == 0xC3) {
      // U+00E0..U+00FE are encoded C3 A0..C3 BE; upper case is 0x20 lower.
      const auto second = static_cast<unsigned char>(out[pos + 1]);
      if (second >= 0xA0 && second <= 0xBE && second != 0xB7) {
        out[pos + 1] = static_cast<char>(second - 0x20);
      }
    }
    pos += n;
  }
  return out;
}

std::vector<std::string> split(std::string_view text, char separator) {
  std::vector<std::string> parts;
  std::size_t begin = 0;
  for (;;) {
    const auto end = text.find(separator, begin);
    if (end == std::string_view::npos) {
      parts.emplace_back(text.substr(begin));
      return parts;
    }
    parts.emplace_back(text.substr(begin, end - begin));
    begin = end + 1;
  }
}

bool all_digits(std::string_view text) {
  if (text.empty()) return false;
  for (const char c : text) {
    if (!is_digit(c)) return false;
  }
  return true;
}

std::string digits(std::string_view text) {
  std::string out;
  for (const char c : text) {
    if (is_digit(c)) out += c;
  }
  return out;
}

std::string strip_leading_zeros(std::string_view digits) {
  const auto first = digits.find_first_not_of('0');
  return first == std::string_view::npos ? std::string{"0"} : std::string{digits.substr(first)};
}

}  // namespace fvn::text
