#include "runtime/expression.h"

#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <variant>

#include "runtime/rounding.h"
#include "runtime/runtime_messages.h"
#include "runtime/text.h"

namespace fvn {

namespace {

constexpr std::size_t kMaxExpression = 4096;
constexpr int kMaxDepth = 64;
constexpr std::size_t kMaxText = 1U << 20U;  // a result grows at most linearly; this is a backstop
constexpr double kMaxIndex = 1e9;

using Value = std::variant<double, std::string>;

struct Failure {
  int code;
  std::string detail;
};

bool is_blank(char c) { return c == ' ' || c == '\t'; }

std::string upper_ascii(std::string_view s) {
  std::string out{s};
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

std::string as_text(const Value& v) {
  if (const auto* n = std::get_if<double>(&v)) return decimal_text(*n);
  return std::get<std::string>(v);
}

double as_number(const Value& v) {
  if (const auto* n = std::get_if<double>(&v)) return *n;
  return read_number(std::get<std::string>(v)).value_or(0.0);
}

std::string clip_text(std::string_view s) {
  std::size_t end = s.size();
  while (end > 0 && is_blank(s[end - 1])) --end;
  return std::string{s.substr(0, end)};
}

class Evaluator {
 public:
  Evaluator(std::string_view source, const std::vector<ExpressionBinding>& bindings)
      : s_(source), bindings_(bindings) {}

  Value run() {
    Value v = expression();
    skip_blanks();
    if (pos_ < s_.size()) fail("texto inesperado");
    return v;
  }

  [[noreturn]] void fail(std::string_view what, int code = rt::kIllegalExpression) const {
    throw Failure{code, std::string{what} + " (posição " + std::to_string(pos_ + 1) + ")"};
  }

 private:
  // Guards the recursion: every nesting level of the grammar passes here.
  struct Depth {
    explicit Depth(Evaluator& e) : e_(e) {
      if (++e_.depth_ > kMaxDepth) e_.fail("expressão aninhada demais");
    }
    ~Depth() { --e_.depth_; }
    Depth(const Depth&) = delete;
    Depth& operator=(const Depth&) = delete;
    Evaluator& e_;
  };

  void skip_blanks() {
    while (pos_ < s_.size() && (is_blank(s_[pos_]) || s_[pos_] == '\r' || s_[pos_] == '\n')) ++pos_;
  }

  bool accept(std::string_view token) {
    skip_blanks();
    if (s_.substr(pos_, token.size()) != token) return false;
    pos_ += token.size();
    return true;
  }

  // A keyword operator (AND, OR, NOT) not followed by a name character.
  bool accept_word(std::string_view word) {
    skip_blanks();
    if (s_.size() - pos_ < word.size() || upper_ascii(s_.substr(pos_, word.size())) != word) return false;
    const std::size_t after = pos_ + word.size();
    if (after < s_.size() && (std::isalnum(static_cast<unsigned char>(s_[after])) != 0 || s_[after] == '_'))
      return false;
    pos_ = after;
    return true;
  }

  void expect(std::string_view token) {
    if (!accept(token)) fail("esperado \"" + std::string{token} + "\"");
  }

  Value expression() {
    const Depth depth(*this);
    Value left = conjunction();
    while (accept_word("OR")) {
      const Value right = conjunction();
      left = (as_number(left) != 0 || as_number(right) != 0) ? 1.0 : 0.0;
    }
    return left;
  }

  Value conjunction() {
    Value left = negation();
    while (accept_word("AND")) {
      const Value right = negation();
      left = (as_number(left) != 0 && as_number(right) != 0) ? 1.0 : 0.0;
    }
    return left;
  }

  Value negation() {
    const Depth depth(*this);
    skip_blanks();
    if (accept_word("NOT") || (pos_ < s_.size() && s_[pos_] == '~' && s_.substr(pos_, 2) != "~=" && accept("~"))) {
      return as_number(negation()) == 0 ? 1.0 : 0.0;
    }
    return comparison();
  }

  Value comparison() {
    Value left = concatenation();
    static constexpr std::string_view kOps[] = {"<>", "~=", "<=", ">=", "=", "<", ">"};
    for (const std::string_view op : kOps) {
      if (!accept(op)) continue;
      const Value right = concatenation();
      int order = 0;
      if (std::holds_alternative<double>(left) || std::holds_alternative<double>(right)) {
        const double a = as_number(left);
        const double b = as_number(right);
        order = a < b ? -1 : (a > b ? 1 : 0);
      } else {
        const int c = clip_text(std::get<std::string>(left)).compare(clip_text(std::get<std::string>(right)));
        order = c < 0 ? -1 : (c > 0 ? 1 : 0);
      }
      bool result = false;
      if (op == "=")
        result = order == 0;
      else if (op == "<>" || op == "~=")
        result = order != 0;
      else if (op == "<")
        result = order < 0;
      else if (op == ">")
        result = order > 0;
      else if (op == "<=")
        result = order <= 0;
      else
        result = order >= 0;
      return result ? 1.0 : 0.0;
    }
    return left;
  }

  Value concatenation() {
    Value left = sum();
    while (accept("&")) {
      std::string joined = as_text(left) + as_text(sum());
      if (joined.size() > kMaxText) fail("texto longo demais");
      left = std::move(joined);
    }
    return left;
  }

  Value sum() {
    Value left = product();
    for (;;) {
      if (accept("+"))
        left = as_number(left) + as_number(product());
      else if (accept("-"))
        left = as_number(left) - as_number(product());
      else
        return left;
    }
  }

  Value product() {
    Value left = unary();
    for (;;) {
      skip_blanks();
      const char op = pos_ < s_.size() ? s_[pos_] : '\0';
      if (op != '*' && op != '/' && op != '%') return left;
      ++pos_;
      const double a = as_number(left);
      const double b = as_number(unary());
      if ((op == '/' || op == '%') && b == 0) fail("divisão por zero");
      left = op == '*' ? a * b : (op == '/' ? a / b : std::fmod(a, b));
    }
  }

  Value unary() {
    const Depth depth(*this);
    if (accept("-")) return -as_number(unary());
    if (accept("+")) return as_number(unary());
    return postfix();
  }

  Value postfix() {
    Value v = primary();
    while (accept("[")) {
      const std::string t = as_text(v);
      const std::int64_t from = index(sum());
      std::int64_t to = from;
      if (accept(":")) to = index(sum());
      expect("]");
      v = slice(t, from, to - from + 1);
    }
    return v;
  }

  std::int64_t index(const Value& v) const {
    const double n = as_number(v);
    if (!std::isfinite(n) || std::fabs(n) > kMaxIndex) fail("número fora da faixa");
    return static_cast<std::int64_t>(n);
  }

  // `length` bytes from 1-based `from`, the parts outside the text left out.
  static std::string slice(const std::string& t, std::int64_t from, std::int64_t length) {
    std::int64_t end = from + length;  // exclusive
    from = std::max<std::int64_t>(from, 1);
    end = std::min<std::int64_t>(end, static_cast<std::int64_t>(t.size()) + 1);
    if (end <= from) return {};
    return t.substr(static_cast<std::size_t>(from - 1), static_cast<std::size_t>(end - from));
  }

  Value primary() {
    const Depth depth(*this);
    skip_blanks();
    if (pos_ >= s_.size()) fail("expressão incompleta");
    const char c = s_[pos_];
    if (c == '(') {
      ++pos_;
      Value v = expression();
      expect(")");
      return v;
    }
    if (c == '\'') return text_literal();
    if (text::is_digit(c) || c == '.') return number_literal();
    if (std::isalpha(static_cast<unsigned char>(c)) != 0 || c == '_') return name();
    fail("operando esperado");
  }

  Value number_literal() {
    const std::size_t start = pos_;
    while (pos_ < s_.size() && (text::is_digit(s_[pos_]) || s_[pos_] == '.')) ++pos_;
    const auto n = read_number(s_.substr(start, pos_ - start));
    if (!n) fail("número inválido");
    return *n;
  }

  Value text_literal() {
    ++pos_;  // opening quote
    std::string out;
    for (;;) {
      if (pos_ >= s_.size()) fail("texto sem aspa final");
      const char c = s_[pos_++];
      if (c == '\'') {
        if (pos_ < s_.size() && s_[pos_] == '\'') {
          out += '\'';
          ++pos_;
          continue;
        }
        return out;
      }
      if (c != '<') {
        out += c;
        continue;
      }
      if (pos_ < s_.size() && s_[pos_] == '<') {
        out += '<';
        ++pos_;
        continue;
      }
      // <n,m,...>: byte codes.
      for (;;) {
        const std::size_t start = pos_;
        while (pos_ < s_.size() && text::is_digit(s_[pos_]) && pos_ - start < 4) ++pos_;
        if (pos_ == start) fail("código de caractere esperado");
        const int code = std::atoi(std::string{s_.substr(start, pos_ - start)}.c_str());
        if (code > 255) fail("código de caractere maior que 255");
        out += static_cast<char>(static_cast<unsigned char>(code));
        if (pos_ < s_.size() && s_[pos_] == ',') {
          ++pos_;
          continue;
        }
        if (pos_ < s_.size() && s_[pos_] == '>') {
          ++pos_;
          break;
        }
        fail("esperado \">\"");
      }
    }
  }

  Value name() {
    const std::size_t start = pos_;
    while (pos_ < s_.size() && (std::isalnum(static_cast<unsigned char>(s_[pos_])) != 0 || s_[pos_] == '_')) ++pos_;
    const std::string id = upper_ascii(s_.substr(start, pos_ - start));
    if (accept("(")) {
      std::vector<Value> args;
      if (!accept(")")) {
        do {
          args.push_back(expression());
        } while (accept(","));
        expect(")");
      }
      return call(id, args);
    }
    for (const auto& [bound, value] : bindings_) {
      if (upper_ascii(bound) == id) return value;
    }
    pos_ = start;
    fail("variável desconhecida " + id, rt::kVariableNotFound);
  }

  void arity(const std::vector<Value>& args, std::size_t least, std::size_t most, const std::string& id) const {
    if (args.size() < least || args.size() > most) fail("número de argumentos errado em " + id);
  }

  Value call(const std::string& id, const std::vector<Value>& a) {
    if (id == "SUB") {
      arity(a, 3, 3, id);
      const std::string t = as_text(a[0]);
      std::int64_t from = index(a[1]);
      const std::int64_t length = index(a[2]);
      if (from < 0) from = static_cast<std::int64_t>(t.size()) + from + 1;
      if (from == 0) from = 1;
      return slice(t, from, length);
    }
    if (id == "LEN") {
      arity(a, 1, 1, id);
      return static_cast<double>(as_text(a[0]).size());
    }
    if (id == "CLIP") {
      arity(a, 1, 1, id);
      return clip_text(as_text(a[0]));
    }
    if (id == "LEFT") {
      arity(a, 1, 1, id);
      const std::string t = as_text(a[0]);
      std::size_t i = 0;
      while (i < t.size() && is_blank(t[i])) ++i;
      return t.substr(i);
    }
    if (id == "UPPER" || id == "LOWER") {
      arity(a, 1, 1, id);
      std::string t = as_text(a[0]);
      for (char& c : t) {
        const auto u = static_cast<unsigned char>(c);
        c = static_cast<char>(id == "UPPER" ? std::toupper(u) : std::tolower(u));
      }
      return t;
    }
    if (id == "INSTRING") {
      arity(a, 2, 4, id);
      const std::string needle = as_text(a[0]);
      const std::string hay = as_text(a[1]);
      const std::int64_t step = a.size() > 2 ? index(a[2]) : 1;
      std::int64_t at = a.size() > 3 ? index(a[3]) : 1;
      if (step < 1) fail("passo de INSTRING menor que 1");
      if (needle.empty()) return 0.0;
      for (at = std::max<std::int64_t>(at, 1);
           at + static_cast<std::int64_t>(needle.size()) - 1 <= static_cast<std::int64_t>(hay.size()); at += step) {
        if (hay.compare(static_cast<std::size_t>(at - 1), needle.size(), needle) == 0) return static_cast<double>(at);
      }
      return 0.0;
    }
    if (id == "VAL") {
      arity(a, 1, 1, id);
      const std::string t = as_text(a[0]);
      return t.empty() ? 0.0 : static_cast<double>(static_cast<unsigned char>(t[0]));
    }
    if (id == "CHR") {
      arity(a, 1, 1, id);
      const std::int64_t code = index(a[0]);
      if (code < 0 || code > 255) fail("código de caractere fora da faixa");
      return std::string(1, static_cast<char>(static_cast<unsigned char>(code)));
    }
    if (id == "NUMERIC") {
      arity(a, 1, 1, id);
      if (std::holds_alternative<double>(a[0])) return 1.0;
      return read_number(std::get<std::string>(a[0])) ? 1.0 : 0.0;
    }
    if (id == "INT") {
      arity(a, 1, 1, id);
      return int_part(as_number(a[0]));
    }
    if (id == "ABS") {
      arity(a, 1, 1, id);
      return std::fabs(as_number(a[0]));
    }
    if (id == "ROUND") {
      arity(a, 2, 2, id);
      const double step = as_number(a[1]);
      if (!(step > 0) || !std::isfinite(step)) fail("passo de ROUND inválido");
      const double x = as_number(a[0]);
      // Steps of a power of ten round through the one rounding helper.
      const double places = -std::log10(step);
      if (std::fabs(places - std::round(places)) < 1e-9 && places >= 0 && places <= 15)
        return round_to(x, static_cast<int>(std::lround(places)));
      return std::round(x / step) * step;
    }
    if (id == "BAND" || id == "BOR") {
      arity(a, 2, 2, id);
      const auto x = static_cast<std::uint64_t>(index(a[0]) & 0xFFFFFFFF);
      const auto y = static_cast<std::uint64_t>(index(a[1]) & 0xFFFFFFFF);
      return static_cast<double>(id == "BAND" ? (x & y) : (x | y));
    }
    fail("função desconhecida " + id);
  }

  std::string_view s_;
  const std::vector<ExpressionBinding>& bindings_;
  std::size_t pos_ = 0;
  int depth_ = 0;
};

}  // namespace

std::optional<double> read_number(std::string_view text) {
  std::size_t i = 0;
  std::size_t end = text.size();
  while (i < end && is_blank(text[i])) ++i;
  while (end > i && is_blank(text[end - 1])) --end;
  std::string digits;
  if (i < end && (text[i] == '-' || text[i] == '+')) digits += text[i++];
  std::size_t count = 0;
  bool point = false;
  for (; i < end; ++i) {
    const char c = text[i];
    if (text::is_digit(c)) {
      ++count;
    } else if (c == '.' && !point) {
      point = true;
    } else {
      return std::nullopt;
    }
    digits += c;
  }
  if (count == 0 || count > 30) return std::nullopt;
  return std::strtod(digits.c_str(), nullptr);
}

ExpressionResult evaluate_expression(std::string_view expression, const std::vector<ExpressionBinding>& bindings) {
  ExpressionResult result;
  try {
    if (expression.size() > kMaxExpression) throw Failure{rt::kIllegalExpression, "expressão longa demais"};
    Evaluator evaluator(expression, bindings);
    result.value = as_text(evaluator.run());
    result.ok = true;
    clear_runtime_error();
  } catch (const Failure& failure) {
    set_runtime_error(failure.code);
    result.error = std::string{last_runtime_message()};
    result.detail = failure.detail;
  }
  return result;
}

}  // namespace fvn
