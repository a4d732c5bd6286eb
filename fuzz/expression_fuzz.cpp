// The expression evaluator (the scale's request and answer): the first byte
// chooses the answer bound as P, the rest is the expression. A failure must
// come with its error text.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/expression.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  static const std::string kAnswers[] = {
      "\x02"
      "01234"
      "\x03",
      "\x02IIIII\x03", "", " 1.250kg "};
  const std::string& answer = kAnswers[data[0] % 4];
  const std::string_view expression(reinterpret_cast<const char*>(data + 1), size - 1);
  const fvn::ExpressionResult result = fvn::evaluate_expression(expression, {{"P", answer}});
  if (!result.ok && result.error.empty()) __builtin_trap();
  return 0;
}
