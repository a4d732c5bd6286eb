#include "nfce/xml_fields.h"

#include "runtime/text.h"

namespace fvn::xml {

std::string tag(std::string_view name, std::string_view value) {
  std::string out;
  out.reserve(2 * name.size() + value.size() + 5);
  out += '<';
  out += name;
  out += '>';
  out += value;
  out += "</";
  out += name;
  out += '>';
  return out;
}

GrupoContribuicao grupo_contribuicao(std::int32_t cst) {
  if (cst == 1 || cst == 2) return GrupoContribuicao::Aliq;
  if (cst == 3) return GrupoContribuicao::Qtde;
  if (cst >= 4 && cst <= 9) return GrupoContribuicao::NT;
  const bool outras =
      (cst >= 49 && cst <= 56) || (cst >= 60 && cst <= 67) || (cst >= 70 && cst <= 75) || cst == 98 || cst == 99;
  return outras ? GrupoContribuicao::Outr : GrupoContribuicao::Nenhum;
}

bool valor_numerico_nao_zero(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  for (; i < text.size() && fvn::text::is_digit(text[i]); ++i) {
    if (text[i] != '0') return true;
  }
  return false;
}

}  // namespace fvn::xml
