// FORMATADOR_FISCAL: turns database values into the exact texts that the
// invoice layout wants. Dates and date-times in ISO form, numbers with a
// fixed width and number of decimals, codes reduced to their digits, free
// text cut to the field's maximum, stripped of accents, XML-escaped and kept
// on one line.
//
// A formatting routine never fails: an unusable value comes back as a
// marked text that begins with "?" ("?-" for a negative number) so that the
// invoice is visibly wrong rather than silently empty, and a diagnostic is
// appended to ERROS (routine name + label + the value in double quotes).
//
// Texts are UTF-8 and "character" means a code point: maximums count code
// points and the accent table works on code points.
//
// Where this formatter differs from the legacy one, each for a fault it had:
//  - no routine cuts a text silently: Remove_Acentos and Escapa_XML work on
//    the whole text (the legacy buffers dropped everything after 1,024 and
//    999,999 characters), only Alpha cuts, and it registers when it does;
//  - Escapa_XML turns control characters that XML forbids and bytes that are
//    not UTF-8 into safe characters, and Texto_XML leaves no line break or
//    other control character in its result, so that a value can never make
//    a document ill-formed or break the line it is written on;
//  - Escapa_XML keeps only what the schema's text type accepts (U+0020 to
//    U+00FF): a few typographic characters become their plain equivalents,
//    every other character outside it (emoji, bidi controls, private use)
//    is dropped, and Texto_XML trims the blanks a drop leaves at the ends.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "nfce/validador_fiscal.h"
#include "runtime/clock.h"
#include "runtime/host_ui.h"
#include "runtime/ordered_list.h"

namespace fvn {

class FORMATADOR_FISCAL {
 public:
  // One registered problem. Texts sizes include the terminator.
  struct ERRO_REGISTRO {
    static constexpr std::size_t kCampoCapacity = 40;
    static constexpr std::size_t kErroCapacity = 100;
    std::string CAMPO;  // the routine that found the problem
    std::string ERRO;   // label + "\"" + value + "\""
  };

  // `ui` shows the messages of Registra_Erro and of the validator's
  // construction (a missing code table).
  explicit FORMATADOR_FISCAL(HostUi& ui);

  // Appends a diagnostic. Both texts lose their trailing blanks; an empty
  // description or field shows an "Erro!" message instead and adds nothing.
  void Registra_Erro(std::string_view descricao, std::string_view campo);

  // Date and time. Date 0: empty. Out of range: "?" and a diagnostic.
  std::string Formata_Data_Hora_UTC(std::int64_t data, std::int64_t hora, std::string_view fuso);
  std::string Data_Servico(std::int64_t data);

  // `valor` is numeric text. Width counts every character (separator and
  // decimals included). With `inteiro` the value is rounded to an integer and
  // written without separator; otherwise rounded half away from zero to
  // `decimais` places after the separator chosen by SEPARADOR_DECIMAL ("."
  // gives a point, anything else a comma). `largura_maxima` ignores the width
  // and uses 30.
  std::string Numerico(std::string_view valor, int largura, int decimais, bool preenche_zeros, bool inteiro,
                       bool largura_maxima = false);
  // The same for a number held in a double or a decimal field: written as
  // decimal text at 15 significant digits first.
  std::string Numerico(double valor, int largura, int decimais, bool preenche_zeros, bool inteiro,
                       bool largura_maxima = false);

  // The digits of `valor` unchanged (leading zeros kept). A value without any
  // digit gives "?" with the "Valor Inválido" diagnostic of Numerico.
  std::string Numero_Digitos(std::string_view valor);

  // Free text.
  std::string Alpha(std::string_view valor, std::int64_t maximo);
  std::string Texto_XML(std::string_view valor, std::int64_t maximo);
  std::string Remove_Acentos(std::string_view texto);
  std::string Escapa_XML(std::string_view texto);
  std::string Remove_Quebra_Linha(std::string_view texto);
  std::string Somente_Numeros(std::string_view texto);
  // The result stays in STRING_RETORNO until the next call.
  const std::string& Substitui(std::string_view texto, std::string_view procura, std::string_view troca);

  // Codes checked by the validator.
  std::string CFOP(std::string_view valor);
  std::string Pais(std::string_view valor);
  std::string Municipio(std::string_view valor);
  std::string IE(std::string_view valor, std::string_view uf);
  std::string CPF(std::string_view valor);
  std::string CNPJ(std::string_view valor);

  // Codes checked by their length.
  std::string EAN(std::string_view valor);
  std::string CEP(std::string_view valor);
  std::string Telefone(std::string_view valor);

  OrderedList<ERRO_REGISTRO> ERROS;
  VALIDADOR_FISCAL VALIDA;
  std::string SUFIXO;             // text of 2; nothing here sets it
  std::string SEPARADOR_DECIMAL;  // text of 2
  std::string STRING_RETORNO;

 private:
  std::string com_sufixo(std::string resultado) const;
  void registra(std::string_view rotulo, std::string_view valor, std::string_view campo);
  void registra_validador();

  HostUi& ui_;
};

// The text with every character below a blank (line breaks and tabs
// included) turned into a blank: what a single-line XML value may hold.
std::string blank_control_characters(std::string_view text);

}  // namespace fvn
