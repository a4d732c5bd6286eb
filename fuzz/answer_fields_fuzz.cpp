// The service's answers: the field reader over any text, the HTML-reference
// decoder, and the gateway's own failure answer around any cause. The first
// byte chooses the field asked for.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "service/answer_fields.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  static constexpr std::array<std::string_view, 6> kFields = {
      "numero", "statusAutorizacao", "exMessage", "chaveAcesso", "", "a"};
  const std::string_view field = kFields[data[0] % kFields.size()];
  const std::string_view input(reinterpret_cast<const char*>(data + 1), size - 1);

  (void)fvn::ObterValorCampo(input, field);
  // A reference is never shorter than what it decodes to.
  if (fvn::DecodificarHtml(input).size() > input.size()) __builtin_trap();
  // Whatever the cause, the failure answer reads back as a failure.
  const std::string failure = fvn::failure_answer(input);
  if (!fvn::is_exception_answer(failure)) __builtin_trap();
  if (fvn::ObterValorCampo(failure, "exMessage").rfind("Exception: ", 0) != 0) __builtin_trap();
  return 0;
}
