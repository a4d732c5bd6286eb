#include "runtime/expression.h"

#include <random>
#include <string>

#include <gtest/gtest.h>

#include "runtime/runtime_messages.h"

namespace fvn {
namespace {

std::string eval(std::string_view e, const std::string& p = {}) {
  const ExpressionResult r = evaluate_expression(e, {{"P", p}});
  EXPECT_TRUE(r.ok) << e << ": " << r.detail;
  return r.value;
}

// A weighing answer as a checkout scale sends it: STX, five digits, ETX.
const std::string kAnswer =
    "\x02"
    "01234"
    "\x03";

TEST(Expression, ScaleExpressionsReadTheAnswer) {
  EXPECT_EQ(eval("'<5>'"), "\x05");
  EXPECT_EQ(eval("'W<13,10>'"), "W\r\n");
  EXPECT_EQ(eval("SUB(P, 2, 5)", kAnswer), "01234");
  EXPECT_EQ(eval("p[2:6] / 1000", kAnswer), "1.234");
  EXPECT_EQ(eval("SUB(P,2,1) = 'I'", "\x02IIIII\x03"), "1");
  EXPECT_EQ(eval("SUB(P,2,1) = 'I' OR SUB(P,2,1) = 'N'", kAnswer), "0");
  EXPECT_EQ(eval("BAND(VAL(SUB(P,-1,1)), 2) <> 0", "ab\x03"), "1");
  EXPECT_EQ(eval("INSTRING('kg', P)", " 1.250kg"), "7");
  EXPECT_EQ(eval("INSTRING('a', 'xaxa', 2, 1)"), "0");
  EXPECT_EQ(eval("INSTRING('a', 'xaxa', 2, 2)"), "2");
  EXPECT_EQ(eval("LEFT(CLIP(P)) & '|'", "  12  "), "12|");
  EXPECT_EQ(eval("NUMERIC(P) + NUMERIC('1.5') * 10", "ab"), "10");
  EXPECT_EQ(eval("LEN('it''s <<ok>')"), "9");
}

TEST(Expression, ArithmeticComparisonAndPrecedence) {
  EXPECT_EQ(eval("1 + 2 * 3 - -4"), "11");
  EXPECT_EQ(eval("(1 + 2) * 3 % 4"), "1");
  EXPECT_EQ(eval("' 12 ' + 1"), "13");  // text read as a number
  EXPECT_EQ(eval("'x' + 1"), "1");      // not a number: 0
  EXPECT_EQ(eval("'10' < '9'"), "1");   // two texts compare as texts
  EXPECT_EQ(eval("'10' < 9"), "0");     // a number makes it numeric
  EXPECT_EQ(eval("'ab  ' = 'ab'"), "1");
  EXPECT_EQ(eval("NOT 1 = 2 AND ~(3 < 2)"), "1");
  EXPECT_EQ(eval("1 & 2 + 3"), "15");
  EXPECT_EQ(eval("ROUND(2.345, 0.01) & ' ' & ROUND(7, 5) & ' ' & INT(-2.7)"), "2.35 5 -2");
  EXPECT_EQ(eval("'abcde'[4:9] & 'abcde'[0] & 'abc'[2]"), "deb");
}

TEST(Expression, BadExpressionsFailWithTheRuntimeText) {
  for (const char* bad : {"", "1 +", "(1", "'open", "SUB(P, 1)", "FOO(1)", "1 / 0", "5 % 0", "'<300>'", "'<x>'",
                          "CHR(256)", "INSTRING('a', 'b', 0)", "P[1e999]", "1 2", "SUB(P, 1e12, 1)"}) {
    const ExpressionResult r = evaluate_expression(bad, {{"P", "x"}});
    EXPECT_FALSE(r.ok) << bad;
    EXPECT_EQ(r.error, "Expressão ilegal") << bad;
    EXPECT_FALSE(r.detail.empty()) << bad;
  }
  const ExpressionResult unknown = evaluate_expression("Q + 1", {{"P", "x"}});
  EXPECT_FALSE(unknown.ok);
  EXPECT_EQ(last_runtime_error(), rt::kVariableNotFound);
  EXPECT_EQ(unknown.error, runtime_message(rt::kVariableNotFound));
  EXPECT_FALSE(evaluate_expression(std::string(200, '(') + "1" + std::string(200, ')')).ok);
  EXPECT_EQ(read_number(" -1.50 "), -1.5);
  EXPECT_FALSE(read_number("1.2.3"));
  EXPECT_FALSE(read_number(std::string(31, '9')));
}

// Random bytes and random recombinations of the grammar's tokens: every
// input ends in a result or an error text (run under the sanitizers, a
// crash or an overflow fails the test). The libFuzzer target in
// expression_fuzz.cpp does the same without the fixed budget.
TEST(Expression, RandomInputsNeverCrash) {
  static const char* const kTokens[] = {
      "P",    "'a<1>'", "(",    ")",      "[",     "]",  ":", ",",           "+",  "-",   "*",    "/",
      "%",    "&",      "=",    "<>",     "<",     ">=", "~", "AND",         "OR", "NOT", "SUB(", "INSTRING(",
      "LEN(", "VAL(",   "CHR(", "ROUND(", "BAND(", "1",  "0", "99999999999", ".5", "'",   "<"};
  std::mt19937 random(23);
  int failures = 0;
  for (int round = 0; round < 20000; ++round) {
    std::string e;
    const int n = static_cast<int>(random() % 24);
    for (int i = 0; i < n; ++i) {
      if (random() % 8 == 0) {
        e += static_cast<char>(random() % 256);
      } else {
        e += kTokens[random() % std::size(kTokens)];
      }
    }
    const ExpressionResult r = evaluate_expression(e, {{"P",
                                                        "\x02"
                                                        "00500"
                                                        "\x03"}});
    if (!r.ok) {
      ++failures;
      EXPECT_FALSE(r.error.empty()) << e;
    }
  }
  EXPECT_GT(failures, 0);
}

}  // namespace
}  // namespace fvn
