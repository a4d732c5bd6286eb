// The error triple that every engine class keeps: the text, the return code
// and the operation name of the last failure. A success does not clear it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace fvn {

struct ErrorTriple {
  static constexpr std::size_t kErrorCapacity = 4096;    // text 4096
  static constexpr std::size_t kFunctionCapacity = 256;  // text 256

  std::string ERROR;
  std::int32_t ERROR_CODE = 0;
  std::string ERROR_FUNCTION;

  // Records a failure; texts are cut to their capacity (4095 and 255
  // characters). Returns 0, the result of a failed operation, so that
  // `return set_error(...)` reads naturally.
  int set_error(std::string_view text, std::int32_t code, std::string_view function);

  // Records a failure of an inner object as this object's own: the text is
  // `prefix` followed directly by the inner text, the code 0 and the
  // function this object's operation. Returns 0.
  int wrap_error(std::string_view prefix, const ErrorTriple& inner, std::string_view function);

  // The form windows show: "Retorno: " + code + "|Erro: " + text + "|Função: " + function.
  [[nodiscard]] std::string display() const;
};

}  // namespace fvn
