// The runtime's expression evaluator, as far as configuration expressions use
// it (the scale's request, answer and state expressions). Texts are byte
// strings here: a scale answers bytes, so positions and lengths count bytes.
//
// Grammar (keywords and names are case-insensitive):
//
//   expression := or
//   or         := and { "OR" and }
//   and        := not { "AND" not }
//   not        := ( "NOT" | "~" ) not | comparison
//   comparison := concat [ ( "=" | "<>" | "~=" | "<" | ">" | "<=" | ">=" ) concat ]
//   concat     := sum { "&" sum }
//   sum        := product { ( "+" | "-" ) product }
//   product    := unary { ( "*" | "/" | "%" ) unary }
//   unary      := ( "-" | "+" ) unary | postfix
//   postfix    := primary { "[" sum [ ":" sum ] "]" }
//   primary    := number | text | name | name "(" [ expression { "," expression } ] ")"
//               | "(" expression ")"
//
//   number: digits with an optional fraction ("12", "0.5", ".5"); no exponent.
//   text:   in single quotes; '' is one quote, << is one "<", and <n> or
//           <n,m,...> inside the quotes are the bytes of those codes (0..255):
//           '<5>' is ENQ, 'OK<13,10>' ends with CR LF.
//   name:   a bound variable (for the scale, P is the answer).
//
// Values are numbers or texts. Arithmetic reads a text as a number (blanks
// around it allowed; a text that is not a number counts as 0, as the runtime
// does). A comparison is numeric when either side is a number, otherwise
// textual with trailing blanks ignored; it yields 1 or 0. AND, OR and NOT
// take 0 as false. `&` joins the texts of its operands; a number becomes
// text as decimal_text writes it (15 significant digits, no exponent).
//
// Slicing: t[a:b] is bytes a..b (1-based, inclusive), t[a] the byte at a;
// parts outside the text are left out (t[4:9] of 'abcde' is 'de').
//
// Functions:
//   SUB(t, start, length)   `length` bytes from `start`; a negative start
//                            counts from the end (-1 is the last byte)
//   LEN(t)                   length in bytes
//   CLIP(t), LEFT(t)         trailing / leading blanks removed
//   UPPER(t), LOWER(t)       ASCII letters changed
//   INSTRING(s, t [, step [, start]])
//                            position of s in t, tried at start, start+step,
//                            ...; 0 when not found (step >= 1, default 1)
//   VAL(t)                   code of the first byte (0 for an empty text)
//   CHR(n)                   the byte of code n (0..255)
//   NUMERIC(t)               1 when t reads as a number, else 0
//   INT(n), ABS(n)           integer part (toward zero), magnitude
//   ROUND(n, step)           n rounded to a multiple of step (0.01, 1, ...)
//   BAND(a, b), BOR(a, b)    bitwise and / or of two integers (status bytes)
//
// Failures never throw: a syntax error, a wrong argument, a division by zero
// or an unknown name make the result fail with the runtime error set (800
// "Expressão ilegal" or 801 for an unknown name) and `error` holding the
// runtime text; `detail` says what and where. Nesting deeper than 64 levels
// and expressions longer than 4,096 bytes are refused.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace fvn {

struct ExpressionResult {
  bool ok = false;
  std::string value;   // the result as text (a number as decimal_text writes it)
  std::string error;   // the runtime error text when !ok
  std::string detail;  // what went wrong and the byte position, when !ok
};

// A variable binding: name (case-insensitive) and its text.
using ExpressionBinding = std::pair<std::string, std::string>;

ExpressionResult evaluate_expression(std::string_view expression, const std::vector<ExpressionBinding>& bindings = {});

// The text as a number when it is one: optional blanks, an optional sign,
// digits with an optional fraction (at most 30 digits), optional blanks.
std::optional<double> read_number(std::string_view text);

}  // namespace fvn
