#include "service/traduz_erro.h"

#include <utility>

#include "runtime/text.h"

namespace fvn {

namespace {

// ASCII lower case: the keywords are ASCII, accented letters stay as they are.
std::string lower(std::string_view text) {
  std::string out{text};
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

}  // namespace

std::string traduz_erro(std::string_view error) {
  const std::string clipped = text::clip(error);
  if (clipped.find("EXCEPTION") == std::string::npos) return std::string{error};
  const std::string text = lower(clipped);
  const auto has = [&text](std::string_view keyword) { return text.find(keyword) != std::string::npos; };
  if (has("dest")) {
    if (has("xbairro")) return "Conteúdo inválido no campo do bairro do cliente.";
    if (has("cnpj")) return "Conteúdo inválido no campo do CNPJ do cliente.";
    if (has("cpf")) return "Conteúdo inválido no campo do CPF do cliente.";
  }
  static const std::pair<std::string_view, std::string_view> kRules[] = {
      {"fone",
       "Conteúdo inválido no campo do telefone da empresa emitente, do cliente ou da transportadora, caso possuir."},
      {"cpf' com valor", "Conteúdo inválido no campo do CPF da transportadora."},
      {"cnpj' com valor", "Conteúdo inválido no campo do CNPJ da transportadora."},
      {"ncm", "Conteúdo inválido no campo do NCM do item."},
      {"ie' com valor", "Conteúdo inválido no campo do IE do cliente ou da transportadora, caso possuir."},
      {"estringlisterror",
       "Conteúdo inválido, verifique os cadastros da empresa emitente, do cliente e da transportadora, caso possuir."},
  };
  for (const auto& [keyword, message] : kRules) {
    if (has(keyword)) return std::string{message};
  }
  return std::string{error};
}

}  // namespace fvn
