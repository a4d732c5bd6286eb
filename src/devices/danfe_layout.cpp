#include "devices/danfe_layout.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <utility>

#include "runtime/ini_file.h"
#include "runtime/rounding.h"
#include "runtime/working_folder.h"

namespace fvn {

namespace {

std::optional<double> numero(const IniFile& ini, const char* key, double fallback, std::string& erro) {
  const std::string value = ini.get(LayoutDanfe::kSecao, key);
  if (value.empty()) return fallback;
  std::string normal = value;
  std::replace(normal.begin(), normal.end(), ',', '.');
  char* end = nullptr;
  const double parsed = std::strtod(normal.c_str(), &end);
  if (end == normal.c_str() || *end != '\0' || !std::isfinite(parsed) || parsed < 0) {
    erro = std::string{"Valor inválido para "} + key + " no arquivo " + LayoutDanfe::kArquivo + ": " + value;
    return std::nullopt;
  }
  return parsed;
}

}  // namespace

LayoutDanfe LayoutDanfe::padrao(double largura_mm) {
  LayoutDanfe l;
  if (largura_mm < 70) {
    l.largura_mm = 58;
    l.margem_esquerda_mm = 2;
    l.margem_direita_mm = 2;
    l.fonte_pt = 6.5;
    l.fonte_titulo_pt = 7.5;
    l.fonte_pequena_pt = 5.5;
    l.qrcode_mm = 30;
  }
  return l;
}

int le_layout_danfe(const std::string& path, LayoutDanfe& layout, std::string& erro) {
  IniFile ini(path);
  if (!ini.load()) {
    erro = std::string{"Erro ao ler o arquivo "} + LayoutDanfe::kArquivo + ".";
    return 0;
  }
  const auto largura = numero(ini, "largura_mm", 80, erro);
  if (!largura) return 0;
  if (*largura != 80 && *largura != 58) {
    erro = std::string{"Largura de papel não suportada no arquivo "} + LayoutDanfe::kArquivo +
           " (80 ou 58 mm): " + decimal_text(*largura);
    return 0;
  }
  LayoutDanfe l = LayoutDanfe::padrao(*largura);
  struct Campo {
    const char* key;
    double* target;
    double minimo;
    double maximo;
  };
  const std::array<Campo, 8> campos{{
      {"margem_esquerda_mm", &l.margem_esquerda_mm, 0, 20},
      {"margem_direita_mm", &l.margem_direita_mm, 0, 20},
      {"margem_superior_mm", &l.margem_superior_mm, 0, 50},
      {"margem_inferior_mm", &l.margem_inferior_mm, 0, 50},
      {"fonte_pt", &l.fonte_pt, 4, 20},
      {"fonte_titulo_pt", &l.fonte_titulo_pt, 4, 24},
      {"fonte_pequena_pt", &l.fonte_pequena_pt, 4, 20},
      {"qrcode_mm", &l.qrcode_mm, 20, l.largura_mm},
  }};
  for (const Campo& campo : campos) {
    const auto value = numero(ini, campo.key, *campo.target, erro);
    if (!value) return 0;
    if (*value < campo.minimo || *value > campo.maximo) {
      erro = std::string{"Valor fora da faixa para "} + campo.key + " no arquivo " + LayoutDanfe::kArquivo + ": " +
             decimal_text(*value);
      return 0;
    }
    *campo.target = *value;
  }
  if (l.margem_esquerda_mm + l.margem_direita_mm > l.largura_mm / 2) {
    erro = std::string{"Margens maiores que a metade do papel no arquivo "} + LayoutDanfe::kArquivo + ".";
    return 0;
  }
  const auto dpi = numero(ini, "resolucao_dpi", l.resolucao_dpi, erro);
  if (!dpi) return 0;
  if (*dpi < 72 || *dpi > 600) {
    erro = std::string{"Valor fora da faixa para resolucao_dpi no arquivo "} + LayoutDanfe::kArquivo + ".";
    return 0;
  }
  l.resolucao_dpi = static_cast<int>(*dpi);
  l.fonte = ini.get(LayoutDanfe::kSecao, "fonte", l.fonte);
  l.logo = ini.get(LayoutDanfe::kSecao, "logo");
  if (!l.logo.empty() && l.logo.front() != '/') l.logo = working_file(l.logo);
  l.impressora = ini.get(LayoutDanfe::kSecao, "impressora");
  layout = std::move(l);
  return 1;
}

}  // namespace fvn
