// The field formats the invoice writers use, each a fixed combination of the
// formatter's routines, and the element helper.
//   Money     Numerico width 15, 2 decimals (1234.50)
//   Dec w.d   Numerico width w, d decimals
//   Int w     Numerico width w, integer only
//   Zero w    Numerico width w, integer only, zero fill
//   Text n    Remove_Acentos, then Texto_XML with maximum n
//   Plain n   Texto_XML with maximum n
//   Safe      a value written as it is (e-mails, codes, a value marked with
//             "?"): escaped, kept on one line and trimmed, never cut
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "nfce/formatador_fiscal.h"
#include "runtime/decimal.h"
#include "runtime/text.h"

namespace fvn::xml {

class Campos {
 public:
  explicit Campos(FORMATADOR_FISCAL& formata) : f_(formata) {}

  std::string money(double value) { return f_.Numerico(value, 15, 2, false, false); }
  template <int D, int P>
  std::string money(const Dec<D, P>& value) {
    return money(value.value());
  }
  std::string dec(double value, int width, int places) { return f_.Numerico(value, width, places, false, false); }
  template <int D, int P>
  std::string dec(const Dec<D, P>& value, int width, int places) {
    return dec(value.value(), width, places);
  }
  std::string inteiro(std::int64_t value, int width) {
    return f_.Numerico(std::to_string(value), width, 0, false, true);
  }
  std::string inteiro(std::string_view value, int width) { return f_.Numerico(value, width, 0, false, true); }
  template <int D, int P>
  std::string inteiro(const Dec<D, P>& value, int width) {
    return f_.Numerico(value.value(), width, 0, false, true);
  }
  std::string zero(std::int64_t value, int width) { return f_.Numerico(std::to_string(value), width, 0, true, true); }
  std::string zero(std::string_view value, int width) { return f_.Numerico(value, width, 0, true, true); }
  std::string texto(std::string_view value, std::int64_t maximum) {
    return f_.Texto_XML(f_.Remove_Acentos(value), maximum);
  }
  std::string plano(std::string_view value, std::int64_t maximum) { return f_.Texto_XML(value, maximum); }
  std::string seguro(std::string_view value) { return text::trim(blank_control_characters(f_.Escapa_XML(value))); }

 private:
  FORMATADOR_FISCAL& f_;
};

// The PIS or COFINS group a situation code is written in (both taxes share
// the codes): 01, 02 at a rate; 03 per quantity; 04 to 09 not taxed; every
// other code of the official table (49 to 56, 60 to 67, 70 to 75, 98, 99) as
// "other operations". Nenhum: a code the invoice cannot carry.
enum class GrupoContribuicao { Aliq, Qtde, NT, Outr, Nenhum };
GrupoContribuicao grupo_contribuicao(std::int32_t cst);

// "<name>" + value + "</name>".
std::string tag(std::string_view name, std::string_view value);

// True when the text's numeric value (its leading digits, after blanks and a
// sign) is not 0: "S/N", "", "0" and "000" are 0; "12A" and "33.444" are not.
bool valor_numerico_nao_zero(std::string_view text);

}  // namespace fvn::xml
