// VALIDADOR_FISCAL: checks of single fiscal codes and documents before they
// are used. Tax situation codes of PIS, COFINS and IPI, CFOP, country and
// municipality codes are looked up in the official code tables kept as text
// files in the working folder; the state registration goes through
// ConsisteInscricaoEstadual; CPF and CNPJ are checked by their check digits;
// vehicle plates and telephone numbers by their shape.
//
// Every check returns 1 (valid) or 0 (invalid). On 0 it leaves the message in
// ERROR and its own name in ERROR_FUNCTION, with ERROR_CODE 0; a valid value
// leaves the last failure in place.
//
// Values are taken as given, with these exceptions only: trailing blanks of a
// code are dropped (fixed-width fields carry them), a one-digit situation
// code is zero-filled ("1" -> "01"), CFOP, CPF, CNPJ, telephone and state
// registration are read by their digits, and a plate by its letters (in upper
// case) and digits.
//
// Code tables: "tb" + number + ".txt", one code per line as the text before
// the first "|"; lines without "|" are ignored. Each answer (found or not) is
// kept per validator, so a table is read once per code: a code added to a
// file later is seen only by a new validator.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/error_triple.h"
#include "runtime/host_ui.h"
#include "runtime/ordered_list.h"

namespace fvn {

// The code tables the validator knows.
namespace code_table {
inline constexpr std::int32_t kCfop = 2;
inline constexpr std::int32_t kGeneroItem = 3;
inline constexpr std::int32_t kObrigacoesIcms = 19;
inline constexpr std::int32_t kIpi = 57;
inline constexpr std::int32_t kPaises = 68;
inline constexpr std::int32_t kMunicipios = 81;
inline constexpr std::int32_t kCofins = 113;
inline constexpr std::int32_t kPis = 114;
inline constexpr std::int32_t kEnquadramentoIpi = 221;
inline constexpr std::int32_t kCest = 222;

// "tb" + number + ".txt".
std::string file_name(std::int32_t table);
}  // namespace code_table

// The characters 0 to 9 of `value`, in order, everything else dropped; at
// most 1,023 of them.
std::string digits_of(std::string_view value);

// A CPF or CNPJ as typed, reduced to its digits before it is stored in a
// field sized for the digits: a value of digits, points, hyphens, slashes and
// blanks gives its digits; any other value comes back unchanged, so that the
// validator still refuses it.
std::string document_digits(std::string_view value);

class VALIDADOR_FISCAL : public ErrorTriple {
 public:
  // One cached answer of the table look-up.
  struct TABELA_REGISTRO {
    std::int32_t TABELA = 0;  // table number
    std::string VALOR;        // the code looked up
    std::int32_t EXISTE = 0;  // 1 when the code was found
  };

  // Checks that the ten table files exist in the working folder and shows
  // one "Erro!" message through `ui` for each one that does not; the
  // validator works all the same (look-ups in a missing table fail).
  explicit VALIDADOR_FISCAL(HostUi& ui);

  int Valida_PIS(std::string_view value);
  int Valida_IPI(std::string_view value);
  int Valida_Cofins(std::string_view value);
  int Valida_CFOP(std::string_view value);
  int Valida_Pais(std::string_view value);
  int Valida_Municipio(std::string_view value);
  int Valida_IE(std::string_view registration, std::string_view uf);
  int Valida_CPF(std::string_view value);
  int Valida_CNPJ(std::string_view value);
  int Valida_Placa(std::string_view value);
  int Valida_Telefone(std::string_view value);

  [[nodiscard]] const std::string& Get_Error() const { return ERROR; }
  [[nodiscard]] std::int32_t Get_Error_Code() const { return ERROR_CODE; }
  [[nodiscard]] const std::string& Get_Error_Function() const { return ERROR_FUNCTION; }

  // Looks `code` up in table `table` of the working folder: 1 when a line's
  // text before its first "|" equals `code` exactly, else 0. The answer is
  // kept, so later look-ups of the same code do not read the file; a table
  // that cannot be opened gives 0 and is tried again next time.
  int lookup(std::int32_t table, std::string_view code);

  // Cache of table look-ups, in the order they were made.
  OrderedList<TABELA_REGISTRO> TABELAS;

 private:
  int situation_code(std::string_view value, std::int32_t table, std::string_view tax, std::string_view function);
  int fail(std::string_view text, std::string_view function);
};

}  // namespace fvn
