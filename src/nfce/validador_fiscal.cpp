#include "nfce/validador_fiscal.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>

#include "nfce/state_registration.h"
#include "runtime/text.h"
#include "runtime/working_folder.h"

namespace fvn {

namespace {

constexpr std::size_t kMaxDigits = 1023;
constexpr std::size_t kMaxRegistrationDigits = 20;

struct TableInfo {
  std::int32_t number;
  std::string_view content;  // as the missing-file message names it
};

// In the order construction checks them.
constexpr std::array<TableInfo, 10> kTables = {{
    {code_table::kCfop, "Código Fiscal de Operação e Prestação - CFOP"},
    {code_table::kGeneroItem, "Gênero do Item de Mercadoria/Serviço"},
    {code_table::kMunicipios, "Municípios"},
    {code_table::kObrigacoesIcms, "Obrigações do ICMS a Recolher"},
    {code_table::kPaises, "Países IBGE"},
    {code_table::kIpi, "IPI"},
    {code_table::kPis, "PIS"},
    {code_table::kCofins, "COFINS"},
    {code_table::kEnquadramentoIpi, "Enquadramento Legal de IPI"},
    {code_table::kCest, "CEST"},
}};

using text::is_digit;

bool table_file_exists(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_regular_file(path, ec);
}

std::string quoted(std::string_view value) {
  std::string out = "\"";
  out += value;
  out += '"';
  return out;
}

std::string labelled(std::string_view label, std::string_view value) {
  std::string out{label};
  out += value;
  return out;
}

// Check digit of the CPF and CNPJ rules: 0 when the remainder by 11 is below
// 2, else 11 - remainder.
int check_digit(int sum) {
  const int remainder = sum % 11;
  return remainder < 2 ? 0 : 11 - remainder;
}

int digit_at(std::string_view digits, std::size_t i) { return digits[i] - '0'; }

}  // namespace

namespace code_table {
std::string file_name(std::int32_t table) { return "tb" + std::to_string(table) + ".txt"; }
}  // namespace code_table

std::string digits_of(std::string_view value) {
  std::string digits = text::digits(value);
  if (digits.size() > kMaxDigits) digits.resize(kMaxDigits);
  return digits;
}

std::string document_digits(std::string_view value) {
  for (const char c : value) {
    if (!is_digit(c) && std::string_view{".-/ "}.find(c) == std::string_view::npos) return std::string{value};
  }
  return digits_of(value);
}

VALIDADOR_FISCAL::VALIDADOR_FISCAL(HostUi& ui) {
  for (const TableInfo& table : kTables) {
    const std::string name = code_table::file_name(table.number);
    if (table_file_exists(working_file(name))) continue;
    const std::string text =
        table.number == code_table::kMunicipios
            ? "Tabela de Municípios (" + name + ")!"
            : "Não foi possível encontrar a Tabela de " + std::string{table.content} + " (" + name + ")!";
    ui.message(text, "Erro!", MessageIcon::Exclamation);
  }
}

int VALIDADOR_FISCAL::fail(std::string_view text, std::string_view function) { return set_error(text, 0, function); }

int VALIDADOR_FISCAL::lookup(std::int32_t table, std::string_view code) {
  for (const TABELA_REGISTRO& entry : TABELAS) {
    if (entry.TABELA == table && entry.VALOR == code) return entry.EXISTE;
  }
  const std::string path = working_file(code_table::file_name(table));
  if (!table_file_exists(path)) return 0;
  std::ifstream in(path, std::ios::binary);
  if (!in) return 0;
  bool found = false;
  bool first_line = true;
  std::string line;
  while (!found && std::getline(in, line)) {
    std::string_view view = line;
    // A table saved by a Windows editor may start with a byte-order mark.
    if (first_line && view.starts_with("\xEF\xBB\xBF")) view.remove_prefix(3);
    first_line = false;
    const auto bar = view.find('|');
    if (bar != std::string_view::npos && view.substr(0, bar) == code) found = true;
  }
  // A read error is not an answer: leave it uncached so the next look-up tries again.
  if (in.bad()) return 0;
  TABELAS.add({table, std::string{code}, found ? 1 : 0});
  return found ? 1 : 0;
}

// PIS, IPI and COFINS situation codes: at most 2 characters; a one-digit code
// is looked up zero-filled ("1" -> "01"), any other code as it is.
int VALIDADOR_FISCAL::situation_code(std::string_view value, std::int32_t table, std::string_view tax,
                                     std::string_view function) {
  const std::string code = text::clip(value);
  if (code.empty()) return fail("Nenhum código de " + std::string{tax} + " foi informado.", function);
  if (text::length(code) > 2) {
    return fail("Tamanho do código " + std::string{tax} + " inválido = " + quoted(value), function);
  }
  const std::string key = code.size() == 1 && is_digit(code[0]) ? "0" + code : code;
  if (lookup(table, key) == 0) return fail("Código não consta na tabela de " + std::string{tax} + ".", function);
  return 1;
}

int VALIDADOR_FISCAL::Valida_PIS(std::string_view value) {
  return situation_code(value, code_table::kPis, "PIS", "Valida_PIS");
}

int VALIDADOR_FISCAL::Valida_IPI(std::string_view value) {
  return situation_code(value, code_table::kIpi, "IPI", "Valida_IPI");
}

int VALIDADOR_FISCAL::Valida_Cofins(std::string_view value) {
  return situation_code(value, code_table::kCofins, "COFINS", "Valida_Cofins");
}

int VALIDADOR_FISCAL::Valida_CFOP(std::string_view value) {
  constexpr std::string_view kFunction = "Valida_CFOP";
  if (text::clip(value).empty()) return fail("Nenhum CFOP foi informado.", kFunction);
  const std::string digits = digits_of(value);
  if (digits.size() != 4) return fail("Tamanho do CFOP inválido = " + quoted(value), kFunction);
  if (lookup(code_table::kCfop, digits) == 0) return fail("CFOP não consta na tabela de CFOPs", kFunction);
  return 1;
}

int VALIDADOR_FISCAL::Valida_Pais(std::string_view value) {
  constexpr std::string_view kFunction = "Valida_Pais";
  const std::string code = text::clip(value);
  if (code.empty()) return fail("Nenhum código de país foi informado.", kFunction);
  if (text::length(code) > 4) return fail("Tamanho do código do país inválido = " + quoted(value), kFunction);
  if (lookup(code_table::kPaises, code) == 0) {
    return fail("Código do país não consta na tabela de países.", kFunction);
  }
  return 1;
}

int VALIDADOR_FISCAL::Valida_Municipio(std::string_view value) {
  constexpr std::string_view kFunction = "Valida_Municipio";
  const std::string code = text::clip(value);
  if (code.empty()) return fail("Nenhum código de município foi informado.", kFunction);
  if (text::length(code) != 7) {
    return fail("Tamanho do código do município Inválido = " + quoted(value), kFunction);
  }
  if (lookup(code_table::kMunicipios, code) == 0) {
    return fail("Código do município não consta na tabela de municípios", kFunction);
  }
  return 1;
}

// The registration's digits go to the state-registration check with the UF.
// A São Paulo rural producer's registration keeps its leading "P", without
// which no such registration could ever pass.
int VALIDADOR_FISCAL::Valida_IE(std::string_view registration, std::string_view uf) {
  std::string digits = digits_of(registration).substr(0, kMaxRegistrationDigits);
  const std::string state = text::clip(uf);
  if (state == "SP" && text::left_trim(registration).starts_with('P')) digits.insert(0, "P");
  if (ConsisteInscricaoEstadual(digits, state) != 0) {
    return fail(
        "Inscrição Estadual informada é inválida : " + digits + "|Verifique a Inscrição Estadual e a UF informada.",
        "Valida_IE");
  }
  return 1;
}

int VALIDADOR_FISCAL::Valida_CPF(std::string_view value) {
  constexpr std::string_view kFunction = "Valida_CPF";
  const std::string d = digits_of(value);
  if (d.size() != 11)
    return fail(labelled("Quantidade de caracteres informados no CPF é inválida = ", value), kFunction);
  if (std::all_of(d.begin(), d.end(), [&d](char c) { return c == d[0]; })) {
    return fail("CPF com todo os dígitos iguais é inválido.", kFunction);
  }
  int first = 0;
  for (std::size_t i = 0; i < 9; ++i) first += digit_at(d, i) * static_cast<int>(10 - i);
  if (check_digit(first) != digit_at(d, 9)) return fail(labelled("CPF Inválido = ", value), kFunction);
  int second = 0;
  for (std::size_t i = 0; i < 10; ++i) second += digit_at(d, i) * static_cast<int>(11 - i);
  if (check_digit(second) != digit_at(d, 10)) {
    return fail(labelled("CPF Inválido, o digito de validação não confere com cálculo do validador = ", value),
                kFunction);
  }
  return 1;
}

int VALIDADOR_FISCAL::Valida_CNPJ(std::string_view value) {
  constexpr std::string_view kFunction = "Valida_CNPJ";
  constexpr std::array<int, 13> kWeights = {6, 5, 4, 3, 2, 9, 8, 7, 6, 5, 4, 3, 2};
  const std::string d = digits_of(value);
  if (d.size() != 14) {
    return fail(labelled("Quantidade de caracteres informados no CNPJ é inválida = ", value), kFunction);
  }
  // The first check digit weighs the 12 leading digits 5,4,3,2,9..2 (the
  // table from its second weight), the second weighs 13 digits 6,5,4,3,2,9..2.
  int first = 0;
  for (std::size_t i = 0; i < 12; ++i) first += digit_at(d, i) * kWeights[i + 1];
  int second = 0;
  for (std::size_t i = 0; i < 13; ++i) second += digit_at(d, i) * kWeights[i];
  if (check_digit(first) != digit_at(d, 12) || check_digit(second) != digit_at(d, 13)) {
    return fail(labelled("CNPJ inválido, o digito de validação não confere com cálculo do validador = ", value),
                kFunction);
  }
  return 1;
}

// A plate is three letters and four digits (ABC1234), or the Mercosur form
// with a letter as its fifth character (ABC1D23). Only A-Z (lower case taken
// as upper case) and 0-9 count; every other character is dropped.
int VALIDADOR_FISCAL::Valida_Placa(std::string_view value) {
  constexpr std::string_view kFunction = "Valida_Placa";
  std::string plate;
  for (const char c : value) {
    if (c >= 'a' && c <= 'z') {
      plate += static_cast<char>(c - 'a' + 'A');
    } else if ((c >= 'A' && c <= 'Z') || is_digit(c)) {
      plate += c;
    }
    if (plate.size() > 7) break;
  }
  if (plate.size() > 7) {
    return fail(labelled("Valor Inválido, a placa informada contém mais de 7 caracteres = ", value), kFunction);
  }
  if (plate.size() < 7) {
    return fail(labelled("Valor Inválido, a placa informada contém menos de 7 caracteres = ", value), kFunction);
  }
  if (std::any_of(plate.begin(), plate.begin() + 3, is_digit)) {
    return fail("Valor Inválido, contém número nas posições das letras = " + quoted(value), kFunction);
  }
  if (!is_digit(plate[3]) || !is_digit(plate[5]) || !is_digit(plate[6])) {
    return fail("Valor Inválido, contém letras nas posições dos números = " + quoted(value), kFunction);
  }
  return 1;
}

int VALIDADOR_FISCAL::Valida_Telefone(std::string_view value) {
  constexpr std::string_view kFunction = "Valida_Telefone";
  const std::string digits = digits_of(value);
  if (digits.empty() || digits == "0") return fail("Parâmetro vazio, nenhum telefone foi informado.", kFunction);
  if (digits.size() < 10) {
    return fail("Telefone informado está preenchido incorretamente.|Preenchimento correto -> DDD+TELEFONE", kFunction);
  }
  return 1;
}

}  // namespace fvn
