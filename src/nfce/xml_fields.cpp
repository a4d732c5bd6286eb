#include "nfce/xml_fields.h"

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

bool valor_numerico_nao_zero(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    if (text[i] != '0') return true;
  }
  return false;
}

}  // namespace fvn::xml
