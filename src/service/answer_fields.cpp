#include "service/answer_fields.h"

#include <array>
#include <cstdint>

#include <nlohmann/json.hpp>

#include "runtime/text.h"

namespace fvn {

namespace {

void append_utf8(std::string& out, std::uint32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

// The code point of a numeric reference body ("#124", "#x7C"), or 0 when it
// is not one or names no valid character.
std::uint32_t numeric_reference(std::string_view body) {
  if (body.size() < 2 || body[0] != '#') return 0;
  const bool hex = body[1] == 'x' || body[1] == 'X';
  const std::string_view digits = body.substr(hex ? 2 : 1);
  if (digits.empty() || digits.size() > 7) return 0;
  std::uint32_t code = 0;
  for (const char c : digits) {
    std::uint32_t digit = 0;
    if (c >= '0' && c <= '9') {
      digit = static_cast<std::uint32_t>(c - '0');
    } else if (hex && c >= 'a' && c <= 'f') {
      digit = static_cast<std::uint32_t>(c - 'a' + 10);
    } else if (hex && c >= 'A' && c <= 'F') {
      digit = static_cast<std::uint32_t>(c - 'A' + 10);
    } else {
      return 0;
    }
    code = code * (hex ? 16U : 10U) + digit;
  }
  if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
  return code;
}

struct NamedEntity {
  std::string_view name;
  std::uint32_t code;
};

constexpr std::array<NamedEntity, 6> kNamedEntities = {{
    {"amp", '&'},
    {"lt", '<'},
    {"gt", '>'},
    {"quot", '"'},
    {"apos", '\''},
    {"nbsp", 0xA0},
}};

// The service's answers nest two or three levels. Deeper text is refused
// before it is parsed: writing a member back as text recurses once per level,
// and a few megabytes of brackets would exhaust the stack.
constexpr int kMaxNesting = 64;

bool nests_too_deep(std::string_view text) {
  int depth = 0;
  bool in_string = false;
  bool escaped = false;
  for (const char c : text) {
    if (in_string) {
      if (escaped) {
        escaped = false;
      } else if (c == '\\') {
        escaped = true;
      } else if (c == '"') {
        in_string = false;
      }
    } else if (c == '"') {
      in_string = true;
    } else if (c == '[' || c == '{') {
      if (++depth > kMaxNesting) return true;
    } else if (c == ']' || c == '}') {
      --depth;
    }
  }
  return false;
}

// The answer as a JSON object, or a discarded value when it is not one.
nlohmann::json parse_answer(std::string_view answer) {
  if (nests_too_deep(answer)) return nlohmann::json(nlohmann::json::value_t::discarded);
  auto parsed = nlohmann::json::parse(answer, nullptr, false);
  if (!parsed.is_object()) return nlohmann::json(nlohmann::json::value_t::discarded);
  return parsed;
}

}  // namespace

bool is_answer_object(std::string_view answer) { return !parse_answer(answer).is_discarded(); }

std::string ObterValorCampo(std::string_view answer, std::string_view field) {
  const auto parsed = parse_answer(answer);
  if (parsed.is_discarded()) return {};
  const auto member = parsed.find(std::string{field});
  if (member == parsed.end() || member->is_null()) return {};
  if (member->is_string()) return member->get<std::string>();
  return member->dump();
}

std::string DecodificarHtml(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t pos = 0;
  while (pos < text.size()) {
    const char c = text[pos];
    const std::size_t end = c == '&' ? text.find(';', pos + 1) : std::string_view::npos;
    if (end == std::string_view::npos || end - pos > 12) {
      out += c;
      ++pos;
      continue;
    }
    const std::string_view body = text.substr(pos + 1, end - pos - 1);
    std::uint32_t code = numeric_reference(body);
    for (const NamedEntity& entity : kNamedEntities) {
      if (code == 0 && body == entity.name) code = entity.code;
    }
    if (code == 0) {
      out += c;
      ++pos;
      continue;
    }
    append_utf8(out, code);
    pos = end + 1;
  }
  return out;
}

std::string failure_answer(std::string_view cause) {
  nlohmann::json answer = nlohmann::json::object();
  answer["exMessage"] = "Exception: " + std::string{cause};
  return answer.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

bool is_exception_answer(std::string_view answer) { return text::clip(answer).find("Exception") != std::string::npos; }

}  // namespace fvn
