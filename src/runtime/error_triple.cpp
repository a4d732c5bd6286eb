#include "runtime/error_triple.h"

#include "runtime/text.h"

namespace fvn {

int ErrorTriple::set_error(std::string_view text, std::int32_t code, std::string_view function) {
  ERROR = text::fit(text, kErrorCapacity);
  ERROR_CODE = code;
  ERROR_FUNCTION = text::fit(function, kFunctionCapacity);
  return 0;
}

int ErrorTriple::wrap_error(std::string_view prefix, const ErrorTriple& inner, std::string_view function) {
  std::string text{prefix};
  text += inner.ERROR;
  return set_error(text, 0, function);
}

std::string ErrorTriple::display() const {
  return "Retorno: " + std::to_string(ERROR_CODE) + "|Erro: " + ERROR + "|Função: " + ERROR_FUNCTION;
}

}  // namespace fvn
