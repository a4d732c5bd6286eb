#include "devices/valor_extenso.h"

#include <array>
#include <cstdint>
#include <string_view>

#include "runtime/rounding.h"
#include "runtime/text.h"

namespace fvn::devices {

namespace {

constexpr std::array<std::string_view, 9> kUnidades = {"Um",   "Dois", "Tres", "Quatro", "Cinco",
                                                       "Seis", "Sete", "Oito", "Nove"};
constexpr std::array<std::string_view, 10> kDezenas = {"Dez",    "Onze",      "Doze",      "Treze",   "Quatorze",
                                                       "Quinze", "Dezesseis", "Dezessete", "Dezoito", "Dezenove"};
constexpr std::array<std::string_view, 8> kDezenasVinte = {"Vinte",    "Trinta",  "Quarenta", "Cincoenta",
                                                           "Sessenta", "Setenta", "Oitenta",  "Noventa"};
constexpr std::array<std::string_view, 9> kCentenas = {"Cento",        "Duzentos",   "Trezentos",
                                                       "Quatrocentos", "Quinhentos", "Seiscentos",
                                                       "Setecentos",   "Oitocentos", "Novecentos"};

// The currency words. Only the lowest integer group that is written carries
// them; every group above gets them blank.
struct Moeda {
  std::string MOEDA = "Real";
  std::string MOEDAS = "Reais";
  std::string DEMOEDAS = "de Reais";
};

// The integer groups, lowest first, and the words of each.
enum Grupo : std::size_t { kCentavos, kUnidadesReais, kMil, kMilhoes, kBilhoes, kTrilhoes, kGrupos };

constexpr std::int64_t kLimiteCentavos = 100'000'000'000'000'000;  // 10^15 Reais in cents

// The text of a group whose value is above 0.
std::string texto_grupo(Grupo grupo, std::int64_t value, const Moeda& moeda) {
  const std::string palavras = grupo_extenso(static_cast<int>(value));
  switch (grupo) {
    case kUnidadesReais: return value == 1 ? "  um " + moeda.MOEDA : palavras + " " + moeda.MOEDAS;
    case kMil: return palavras + " " + text::clip("Mil " + moeda.MOEDAS);
    case kMilhoes:
      return value == 1 ? text::clip("  Um Milhao " + moeda.DEMOEDAS)
                        : palavras + " " + text::clip("Milhoes " + moeda.DEMOEDAS);
    case kBilhoes:
      return value == 1 ? text::clip("  um Bilhao " + moeda.DEMOEDAS)
                        : palavras + " " + text::clip("Bilhoes " + moeda.DEMOEDAS);
    case kTrilhoes:
      return value == 1 ? text::clip("  um Trilhao " + moeda.DEMOEDAS)
                        : palavras + " " + text::clip("Trilhoes " + moeda.DEMOEDAS);
    case kCentavos:
    case kGrupos: break;
  }
  return {};
}

}  // namespace

std::string grupo_extenso(int value) {
  if (value < 0 || value > 999) return {};
  const int h = value / 100;
  const int t = value / 10 % 10;
  const int u = value % 10;
  if (h == 1 && t == 0 && u == 0) return " cem";
  std::string palavras;
  if (h > 0) palavras = " " + std::string{kCentenas.at(static_cast<std::size_t>(h - 1))};
  if (t == 0 && u == 0) return palavras;
  if (h > 0) palavras += " e";
  if (t == 0) {
    palavras += " " + std::string{kUnidades.at(static_cast<std::size_t>(u - 1))};
  } else if (t == 1) {
    palavras += " " + std::string{kDezenas.at(static_cast<std::size_t>(u))};
  } else {
    palavras += " " + std::string{kDezenasVinte.at(static_cast<std::size_t>(t - 2))};
    if (u > 0) palavras += " e " + std::string{kUnidades.at(static_cast<std::size_t>(u - 1))};
  }
  return palavras;
}

std::optional<std::string> valor_extenso(double amount) {
  const std::optional<std::int64_t> centavos_total = scaled_units(amount, 2);
  if (!centavos_total || *centavos_total < 0 || *centavos_total >= kLimiteCentavos) return std::nullopt;

  Moeda moeda;
  if (*centavos_total == 0) return "zero " + moeda.MOEDAS;

  std::array<std::int64_t, kGrupos> valores{};
  valores[kCentavos] = *centavos_total % 100;
  std::int64_t inteiro = *centavos_total / 100;
  const bool sem_inteiro = inteiro == 0;
  for (std::size_t grupo = kUnidadesReais; grupo < kGrupos; ++grupo) {
    valores[grupo] = inteiro % 1000;
    inteiro /= 1000;
  }

  // One text per group, never cut: the longest, " Quatrocentos e Cincoenta
  // e Quatro Trilhoes de Reais" and its connector, runs to 54 characters.
  std::array<std::string, kGrupos> textos;
  std::string conector = "  ";
  if (valores[kCentavos] > 0) {
    conector = " e";
    if (valores[kCentavos] == 1) {
      if (sem_inteiro) return " um centavo de " + moeda.MOEDA;
      textos[kCentavos] = "  um centavo";
    } else {
      textos[kCentavos] = grupo_extenso(static_cast<int>(valores[kCentavos])) + " Centavos";
      if (sem_inteiro) return textos[kCentavos] + " de " + moeda.MOEDAS;
    }
  }

  for (std::size_t grupo = kUnidadesReais; grupo < kGrupos; ++grupo) {
    if (valores[grupo] == 0) continue;
    textos[grupo] = texto_grupo(static_cast<Grupo>(grupo), valores[grupo], moeda) + conector;
    moeda = Moeda{"", "", ""};
    conector = conector == "  " ? " e" : ", ";
  }

  std::string resultado;
  for (std::size_t grupo = kGrupos; grupo-- > 0;) resultado += text::clip(textos[grupo]);
  return resultado.substr(1);
}

}  // namespace fvn::devices
