#include "nfce/formatador_fiscal.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <optional>
#include <system_error>

#include "runtime/rounding.h"
#include "runtime/text.h"

namespace fvn {

namespace {

// The legacy routines worked in buffers of this size; a value or a maximum
// that reaches it is still reported, although nothing is cut here.
constexpr std::int64_t kReturnBuffer = 1'000'000;
constexpr int kWideField = 30;
constexpr int kMaxPlaces = 9;

// One UTF-8 sequence at `pos`: its code point and its length, or nullopt for
// a byte that does not start a valid, shortest-form sequence.
struct CodePoint {
  char32_t value;
  std::size_t length;
};

std::optional<CodePoint> decode(std::string_view s, std::size_t pos) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
  const unsigned char lead = byte(pos);
  if (lead < 0x80) return CodePoint{lead, 1};
  std::size_t length = 0;
  char32_t value = 0;
  char32_t minimum = 0;
  if ((lead & 0xE0U) == 0xC0U) {
    length = 2;
    value = lead & 0x1FU;
    minimum = 0x80;
  } else if ((lead & 0xF0U) == 0xE0U) {
    length = 3;
    value = lead & 0x0FU;
    minimum = 0x800;
  } else if ((lead & 0xF8U) == 0xF0U) {
    length = 4;
    value = lead & 0x07U;
    minimum = 0x10000;
  } else {
    return std::nullopt;
  }
  if (pos + length > s.size()) return std::nullopt;
  for (std::size_t i = 1; i < length; ++i) {
    const unsigned char next = byte(pos + i);
    if ((next & 0xC0U) != 0x80U) return std::nullopt;
    value = (value << 6U) | (next & 0x3FU);
  }
  if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return std::nullopt;
  return CodePoint{value, length};
}

// The accent table: each source character becomes the target character in
// the same column.
constexpr std::u32string_view kAccentSource = U"ÁáÀàÂâÃãÄäÉéÈèÊêËëÍíÌìÎîÏïÓóÒòÕõÔôÖöÚúÙùÛûÜüÝýÇçºª";
constexpr std::string_view kAccentTarget = "AaAaAaAaAaEeEeEeEeIiIiIiIiOoOoOoOoOoUuUuUuUuYyCcoa";
static_assert(kAccentSource.size() == kAccentTarget.size());

using text::all_digits;
using text::is_digit;
using text::strip_leading_zeros;

// The runtime's NUMERIC(): optional sign, digits with at most one decimal
// point (at least one digit), optional exponent; blanks around are allowed.
std::optional<double> numeric_value(std::string_view text) {
  std::string t = text::trim(text);
  if (t.empty()) return std::nullopt;
  if (t.front() == '+') t.erase(0, 1);
  if (t.empty() || t.front() == '+') return std::nullopt;
  bool digit_seen = false;
  for (const char c : t) {
    if (is_digit(c)) {
      digit_seen = true;
      break;
    }
    if (c != '-' && c != '.') break;
  }
  if (!digit_seen) return std::nullopt;
  double value = 0;
  const char* end = t.data() + t.size();
  const auto [ptr, ec] = std::from_chars(t.data(), end, value, std::chars_format::general);
  if (ec != std::errc{} || ptr != end || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::string quoted_value(std::string_view label, std::string_view value) {
  std::string out{label};
  out += '"';
  out += value;
  out += '"';
  return out;
}

// What the schema's text type accepts is U+0020..U+00FF. Outside it, a few
// typographic characters have a plain equivalent; everything else (emoji,
// bidi and other format controls, combining marks, private-use and
// non-Latin characters) is dropped, so that a typed or pasted text can never
// make the authority refuse the note. C1 controls and DEL become blanks, as
// the C0 controls do. Equivalents come escaped, as the escaping writes them.
std::string_view schema_equivalent(char32_t c) {
  switch (c) {
    case 0x2018:
    case 0x2019:
    case 0x201A:
    case 0x201B:
    case 0x2032: return "&#39;";
    case 0x201C:
    case 0x201D:
    case 0x201E:
    case 0x2033: return "&quot;";
    case 0x2010:
    case 0x2011:
    case 0x2012:
    case 0x2013:
    case 0x2014:
    case 0x2015:
    case 0x2212:
    case 0x2022: return "-";
    case 0x2026: return "...";
    case 0x20AC: return "EUR";
    default: break;
  }
  if ((c >= 0x2000 && c <= 0x200A) || c == 0x202F || c == 0x205F || c == 0x3000) return " ";
  return {};
}

std::string zero_filled(std::string_view digits, std::size_t width) {
  std::string out;
  if (digits.size() < width) out.assign(width - digits.size(), '0');
  out += digits;
  return out;
}

std::string two_digits(int n) { return zero_filled(std::to_string(n), 2); }

}  // namespace

std::string blank_control_characters(std::string_view text) {
  std::string out{text};
  for (char& c : out) {
    if (static_cast<unsigned char>(c) < 0x20) c = ' ';
  }
  return out;
}

FORMATADOR_FISCAL::FORMATADOR_FISCAL(HostUi& ui) : VALIDA(ui), ui_(ui) {}

std::string FORMATADOR_FISCAL::com_sufixo(std::string resultado) const {
  resultado += text::clip(SUFIXO);
  return resultado;
}

void FORMATADOR_FISCAL::Registra_Erro(std::string_view descricao, std::string_view campo) {
  const std::string erro = text::clip(descricao);
  const std::string nome = text::clip(campo);
  if (erro.empty()) {
    ui_.message("Não é possível registrar erro sem descrição!|Campo = " + nome + "|Erro = " + erro, "Erro!",
                MessageIcon::Exclamation);
    return;
  }
  if (nome.empty()) {
    ui_.message("Não é possível registrar erro sem campo!|Campo = " + nome + "|Erro = " + erro, "Erro!",
                MessageIcon::Exclamation);
    return;
  }
  ERROS.add({text::fit(nome, ERRO_REGISTRO::kCampoCapacity), text::fit(erro, ERRO_REGISTRO::kErroCapacity)});
}

void FORMATADOR_FISCAL::registra(std::string_view rotulo, std::string_view valor, std::string_view campo) {
  Registra_Erro(quoted_value(rotulo, valor), campo);
}

void FORMATADOR_FISCAL::registra_validador() { Registra_Erro(VALIDA.ERROR, VALIDA.ERROR_FUNCTION); }

// --- dates -------------------------------------------------------------------

std::string FORMATADOR_FISCAL::Formata_Data_Hora_UTC(std::int64_t data, std::int64_t hora, std::string_view fuso) {
  constexpr std::string_view kRotina = "Formata_Data_Hora_UTC";
  if (data == 0) return com_sufixo({});
  const auto dia = civil_from_date(data);
  if (!dia) {
    registra("Valor Inválido = ", std::to_string(data), kRotina);
    return com_sufixo("?");
  }
  const auto momento = civil_from_time(hora);
  if (!momento) {
    registra("Valor Inválido = ", std::to_string(hora), kRotina);
    return com_sufixo("?");
  }
  std::string out = zero_filled(std::to_string(dia->year), 4) + "-" + two_digits(dia->month) + "-" +
                    two_digits(dia->day) + "T" + two_digits(momento->hour) + ":" + two_digits(momento->minute) + ":" +
                    two_digits(momento->second);
  out += fuso;
  return com_sufixo(std::move(out));
}

std::string FORMATADOR_FISCAL::Data_Servico(std::int64_t data) {
  if (data == 0) return com_sufixo({});
  const auto dia = civil_from_date(data);
  if (!dia) {
    registra("Valor Inválido = ", std::to_string(data), "Data_Servico");
    return com_sufixo("?");
  }
  return com_sufixo(zero_filled(std::to_string(dia->year), 4) + "-" + two_digits(dia->month) + "-" +
                    two_digits(dia->day));
}

// --- numbers -----------------------------------------------------------------

std::string FORMATADOR_FISCAL::Numerico(std::string_view valor, int largura, int decimais, bool preenche_zeros,
                                        bool inteiro, bool largura_maxima) {
  constexpr std::string_view kRotina = "Numerico";
  const auto numero = numeric_value(valor);
  if (!numero) {
    registra("Valor Inválido = ", valor, kRotina);
    return com_sufixo("?");
  }
  if (*numero < 0) {
    registra("Valor Negativo = ", valor, kRotina);
    return com_sufixo("?-");
  }
  const int casas = inteiro ? 0 : std::clamp(decimais, 0, kMaxPlaces);
  const std::size_t campo = static_cast<std::size_t>(std::max(largura_maxima ? kWideField : largura, 0));
  std::string corpo;
  const std::string limpo = text::trim(valor);
  if (inteiro && all_digits(limpo)) {
    // Digits are written exactly, however many there are.
    corpo = strip_leading_zeros(limpo);
  } else {
    const auto unidades = scaled_units(*numero, casas);
    if (unidades) {
      std::int64_t escala = 1;
      for (int i = 0; i < casas; ++i) escala *= 10;
      corpo = std::to_string(*unidades / escala);
      if (casas > 0) {
        corpo += SEPARADOR_DECIMAL == "." ? '.' : ',';
        corpo += zero_filled(std::to_string(*unidades % escala), static_cast<std::size_t>(casas));
      }
    }
  }
  if (corpo.empty() || corpo.size() > campo) {
    registra("Mascara Inválida = ", valor, kRotina);
    return com_sufixo("?" + std::string(campo, '#'));
  }
  if (preenche_zeros) corpo = zero_filled(corpo, campo);
  return com_sufixo(text::trim(corpo));
}

std::string FORMATADOR_FISCAL::Numerico(double valor, int largura, int decimais, bool preenche_zeros, bool inteiro,
                                        bool largura_maxima) {
  return Numerico(decimal_text(valor), largura, decimais, preenche_zeros, inteiro, largura_maxima);
}

std::string FORMATADOR_FISCAL::Numero_Digitos(std::string_view valor) {
  const std::string digitos = Somente_Numeros(valor);
  return Numerico(digitos, static_cast<int>(digitos.size()), 0, true, true);
}

// --- free text ---------------------------------------------------------------

std::string FORMATADOR_FISCAL::Alpha(std::string_view valor, std::int64_t maximo) {
  constexpr std::string_view kRotina = "Alpha";
  std::string texto = text::clip(valor);
  const auto tamanho = static_cast<std::int64_t>(text::length(texto));
  if (tamanho > maximo) {
    registra("Valor do campo maior que mascara = ", valor, kRotina);
    texto = text::cut(texto, static_cast<std::size_t>(std::max<std::int64_t>(maximo, 0)));
  }
  if (tamanho >= kReturnBuffer) registra("Valor do campo maior que o campo de retorno = ", valor, kRotina);
  if (maximo >= kReturnBuffer) registra("Tamanho máximo maior que o campo de retorno = ", valor, kRotina);
  texto = text::trim(texto);
  if (texto.find('|') != std::string::npos) {
    registra("Campo contém | (pipe) = ", valor, kRotina);
    return com_sufixo("?" + texto);
  }
  return com_sufixo(std::move(texto));
}

std::string FORMATADOR_FISCAL::Texto_XML(std::string_view valor, std::int64_t maximo) {
  const std::string escapado = Remove_Quebra_Linha(Escapa_XML(Alpha(valor, maximo)));
  // A character dropped by the escaping may leave a blank at either end,
  // which the schema's text type refuses.
  return com_sufixo(text::trim(blank_control_characters(escapado)));
}

std::string FORMATADOR_FISCAL::Remove_Acentos(std::string_view texto) {
  const std::string fonte = text::clip(texto);
  std::string out;
  out.reserve(fonte.size());
  std::size_t pos = 0;
  while (pos < fonte.size()) {
    const auto cp = decode(fonte, pos);
    if (!cp) {
      out += fonte[pos++];
      continue;
    }
    const auto coluna = cp->value > U'z' ? kAccentSource.find(cp->value) : std::u32string_view::npos;
    if (coluna == std::u32string_view::npos) {
      out.append(fonte, pos, cp->length);
    } else {
      out += kAccentTarget[coluna];
    }
    pos += cp->length;
  }
  return com_sufixo(text::clip(out));
}

std::string FORMATADOR_FISCAL::Escapa_XML(std::string_view texto) {
  const std::string fonte = text::clip(texto);
  std::string out;
  out.reserve(fonte.size() + fonte.size() / 8);
  std::size_t pos = 0;
  while (pos < fonte.size()) {
    const auto cp = decode(fonte, pos);
    if (!cp) {
      out += '?';  // not UTF-8: no XML parser would accept the byte
      ++pos;
      continue;
    }
    switch (cp->value) {
      case U'<': out += "&lt;"; break;
      case U'>': out += "&gt;"; break;
      case U'&': out += "&amp;"; break;
      case U'"': out += "&quot;"; break;
      case U'\'': out += "&#39;"; break;
      case U'Ç': out += 'C'; break;
      case U'ç': out += 'c'; break;
      case U'\t':
      case U'\n':
      case U'\r': out += static_cast<char>(cp->value); break;
      default:
        if (cp->value < 0x20 || (cp->value >= 0x7F && cp->value <= 0x9F)) {
          out += ' ';  // control characters: not XML characters, or not text
        } else if (cp->value <= 0xFF) {
          out.append(fonte, pos, cp->length);
        } else {
          out += schema_equivalent(cp->value);
        }
    }
    pos += cp->length;
  }
  return com_sufixo(std::move(out));
}

std::string FORMATADOR_FISCAL::Remove_Quebra_Linha(std::string_view texto) {
  std::string out;
  out.reserve(texto.size());
  for (std::size_t i = 0; i < texto.size(); ++i) {
    if (texto[i] == '\r' && i + 1 < texto.size() && texto[i + 1] == '\n') {
      out += ' ';
      ++i;
    } else {
      out += texto[i];
    }
  }
  return com_sufixo(text::clip(out));
}

std::string FORMATADOR_FISCAL::Somente_Numeros(std::string_view texto) { return com_sufixo(digits_of(texto)); }

const std::string& FORMATADOR_FISCAL::Substitui(std::string_view texto, std::string_view procura,
                                                std::string_view troca) {
  STRING_RETORNO.clear();
  if (texto.empty() || procura.empty()) return STRING_RETORNO;
  std::size_t pos = 0;
  while (pos < texto.size()) {
    const auto achado = texto.find(procura, pos);
    if (achado == std::string_view::npos) {
      STRING_RETORNO.append(texto.substr(pos));
      break;
    }
    STRING_RETORNO.append(texto.substr(pos, achado - pos));
    STRING_RETORNO.append(troca);
    pos = achado + procura.size();
  }
  STRING_RETORNO = com_sufixo(std::move(STRING_RETORNO));
  return STRING_RETORNO;
}

// --- codes checked by the validator ---------------------------------------------

std::string FORMATADOR_FISCAL::CFOP(std::string_view valor) {
  if (VALIDA.Valida_CFOP(valor) == 1) return com_sufixo(strip_leading_zeros(digits_of(valor)));
  registra_validador();
  return com_sufixo("?" + std::string{valor});
}

std::string FORMATADOR_FISCAL::Pais(std::string_view valor) {
  if (VALIDA.Valida_Pais(valor) == 1) return com_sufixo(strip_leading_zeros(digits_of(valor)));
  registra_validador();
  return com_sufixo("?" + std::string{valor});
}

std::string FORMATADOR_FISCAL::Municipio(std::string_view valor) {
  if (text::trim(valor).empty()) return com_sufixo({});
  if (VALIDA.Valida_Municipio(valor) == 1) return com_sufixo(strip_leading_zeros(digits_of(valor)));
  registra_validador();
  return com_sufixo("?" + std::string{valor});
}

std::string FORMATADOR_FISCAL::IE(std::string_view valor, std::string_view uf) {
  const std::string digitos = digits_of(valor);
  if (digitos.empty()) return com_sufixo({});
  if (VALIDA.Valida_IE(valor, uf) == 1) return com_sufixo(digitos);
  registra_validador();
  return com_sufixo("?" + std::string{valor});
}

std::string FORMATADOR_FISCAL::CPF(std::string_view valor) {
  const std::string digitos = digits_of(valor);
  if (digitos.empty()) return com_sufixo({});
  if (VALIDA.Valida_CPF(valor) == 1) return com_sufixo(zero_filled(digitos, 11));
  registra_validador();
  return com_sufixo("?" + std::string{valor});
}

std::string FORMATADOR_FISCAL::CNPJ(std::string_view valor) {
  const std::string digitos = digits_of(valor);
  if (digitos.empty()) return com_sufixo({});
  if (VALIDA.Valida_CNPJ(valor) == 1) return com_sufixo(zero_filled(digitos, 14));
  registra_validador();
  return com_sufixo("?" + std::string{valor});
}

// --- codes checked by their length ---------------------------------------------

std::string FORMATADOR_FISCAL::EAN(std::string_view valor) {
  std::string codigo = text::clip(valor);
  const std::size_t tamanho = text::length(codigo);
  if (tamanho == 0) return {};
  if (tamanho > 14) {
    registra("Valor maior que o máximo permitido (14) = ", valor, "EAN");
    return "?" + text::cut(codigo, 13);
  }
  if (tamanho == 8 || tamanho == 12 || tamanho == 13 || tamanho == 14) return codigo;
  registra("Valor fora do limite ( 8 , 12 , 13 ou 14 ) = ", valor, "EAN");
  return "?" + codigo;
}

std::string FORMATADOR_FISCAL::CEP(std::string_view valor) {
  const std::string digitos = digits_of(valor);
  if (digitos.size() == 8) return com_sufixo(digitos);
  if (digitos.size() == 7) return com_sufixo("0" + digitos);
  registra("CEP Inválido = ", valor, "CEP");
  return com_sufixo("?" + std::string{valor});
}

std::string FORMATADOR_FISCAL::Telefone(std::string_view valor) {
  const std::string digitos = digits_of(valor);
  if (digitos.empty()) return com_sufixo({});
  if (digitos.size() == 10 || digitos.size() == 11) return com_sufixo(digitos);
  registra("Telefone Inválido = ", valor, "Telefone");
  return com_sufixo("?" + std::string{valor});
}

}  // namespace fvn
