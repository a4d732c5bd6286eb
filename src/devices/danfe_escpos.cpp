#include "devices/danfe_escpos.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "devices/danfe_blocos.h"
#include "devices/gerador_qrcode.h"
#include "runtime/text.h"

namespace fvn {

namespace {

constexpr char ESC = '\x1b';
constexpr char GS = '\x1d';

// Code page 850 bytes of U+00A0 .. U+00FF.
constexpr std::array<unsigned char, 96> kCp850{
    0xFF, 0xAD, 0xBD, 0x9C, 0xCF, 0xBE, 0xDD, 0xF5, 0xF9, 0xB8, 0xA6, 0xAE, 0xAA, 0xF0, 0xA9, 0xEE,
    0xF8, 0xF1, 0xFD, 0xFC, 0xEF, 0xE6, 0xF4, 0xFA, 0xF7, 0xFB, 0xA7, 0xAF, 0xAC, 0xAB, 0xF3, 0xA8,
    0xB7, 0xB5, 0xB6, 0xC7, 0x8E, 0x8F, 0x92, 0x80, 0xD4, 0x90, 0xD2, 0xD3, 0xDE, 0xD6, 0xD7, 0xD8,
    0xD1, 0xA5, 0xE3, 0xE0, 0xE2, 0xE5, 0x99, 0x9E, 0x9D, 0xEB, 0xE9, 0xEA, 0x9A, 0xED, 0xE8, 0xE1,
    0x85, 0xA0, 0x83, 0xC6, 0x84, 0x86, 0x91, 0x87, 0x8A, 0x82, 0x88, 0x89, 0x8D, 0xA1, 0x8C, 0x8B,
    0xD0, 0xA4, 0x95, 0xA2, 0x93, 0xE4, 0x94, 0xF6, 0x9B, 0x97, 0xA3, 0x96, 0x81, 0xEC, 0xE7, 0x98};

std::string cmd(std::initializer_list<int> bytes) {
  std::string out;
  for (const int b : bytes) out += static_cast<char>(static_cast<unsigned char>(b));
  return out;
}

// The UTF-8 sequences of a text, one per character.
std::vector<std::string> caracteres(std::string_view s) {
  std::vector<std::string> out;
  for (std::size_t i = 0; i < s.size();) {
    const std::string one = text::cut(s.substr(i), 1);
    const std::size_t n = one.empty() ? 1 : one.size();
    out.emplace_back(s.substr(i, n));
    i += n;
  }
  return out;
}

// The printer's own QR code: model 2, module size, error correction M, store, print.
std::string qrcode_nativo(const std::string& conteudo, int modulo) {
  const std::size_t n = conteudo.size() + 3;
  std::string out = cmd({GS, '(', 'k', 4, 0, 49, 65, 50, 0});
  out += cmd({GS, '(', 'k', 3, 0, 49, 67, modulo});
  out += cmd({GS, '(', 'k', 3, 0, 49, 69, 49});
  out += cmd({GS, '(', 'k', static_cast<int>(n & 0xFFU), static_cast<int>((n >> 8U) & 0xFFU), 49, 80, 48});
  out += conteudo;
  out += cmd({GS, '(', 'k', 3, 0, 49, 81, 48});
  return out;
}

// The QR code as a raster image (GS v 0), each module `escala` dots square,
// with a quiet zone of four modules; empty when the content cannot be encoded.
std::string qrcode_raster(const std::string& conteudo, int largura_pontos) {
  const auto code = qr_modules(conteudo, GERADOR_QRCODE::kQuietModules);
  if (!code) return {};
  const int escala = std::max(1, std::min(8, largura_pontos * 2 / 3 / code->side));
  const int lado = code->side * escala;
  const int bytes_linha = (lado + 7) / 8;
  std::string out = cmd({GS, 'v', '0', 0, bytes_linha & 0xFF, bytes_linha >> 8, lado & 0xFF, lado >> 8});
  for (int y = 0; y < lado; ++y) {
    std::string linha(static_cast<std::size_t>(bytes_linha), '\0');
    for (int x = 0; x < lado; ++x) {
      if (code->dark(x / escala, y / escala))
        linha[static_cast<std::size_t>(x / 8)] |= static_cast<char>(0x80U >> static_cast<unsigned>(x % 8));
    }
    out += linha;
  }
  return out;
}

}  // namespace

std::string texto_cp850(std::string_view utf8) {
  std::string out;
  for (const std::string& c : caracteres(utf8)) {
    const auto b0 = static_cast<unsigned char>(c[0]);
    if (c.size() == 1 && (b0 < 0x20 || b0 == 0x7F)) {
      out += ' ';  // a control byte in the sale's data must not reach the printer as a command
    } else if (c.size() == 1 && b0 < 0x80) {
      out += c;
    } else if (c.size() == 2 && (b0 == 0xC2 || b0 == 0xC3)) {
      const unsigned code = ((b0 & 0x1FU) << 6U) | (static_cast<unsigned char>(c[1]) & 0x3FU);
      out += static_cast<char>(code >= 0xA0 ? kCp850[code - 0xA0] : '?');
    } else {
      out += '?';
    }
  }
  return out;
}

std::vector<std::string> quebra_linhas(std::string_view s, std::size_t columns) {
  std::vector<std::string> lines;
  if (columns == 0) return lines;
  // Leading blanks indent the first line (item detail lines), when they fit.
  std::size_t indent = 0;
  while (indent < s.size() && s[indent] == ' ') ++indent;
  if (indent >= columns) indent = 0;
  std::string line(indent, ' ');
  std::size_t line_len = indent;
  bool empty = true;  // no word on the line yet
  const auto push = [&] {
    lines.push_back(line);
    line.clear();
    line_len = 0;
    empty = true;
  };
  for (const std::string& word : text::split(s, ' ')) {
    if (word.empty()) continue;
    std::vector<std::string> chars = caracteres(word);
    for (;;) {
      const std::size_t need = chars.size() + (empty ? 0 : 1);
      if (line_len + need <= columns) break;
      if (!empty) {
        push();
        continue;
      }
      // A word longer than a line: a line's worth of it.
      const std::size_t room = columns - line_len;
      for (std::size_t i = 0; i < room; ++i) line += chars[i];
      chars.erase(chars.begin(), chars.begin() + static_cast<std::ptrdiff_t>(room));
      push();
    }
    if (!empty) {
      line += ' ';
      ++line_len;
    }
    for (const std::string& c : chars) line += c;
    line_len += chars.size();
    empty = false;
  }
  if (!empty) lines.push_back(line);
  return lines;
}

std::string danfe_escpos(const DanfeNfce& d, bool resumido, const OpcoesEscPos& o) {
  const bool estreito = o.colunas < 48;
  const std::size_t colunas_a = estreito ? 32 : 48;
  const std::size_t colunas_b = estreito ? 42 : 64;
  const int pontos = estreito ? 384 : 576;

  std::string out = cmd({ESC, '@'}) + cmd({ESC, 't', 2});
  const auto estilo = [&](EstiloDanfe e, bool negrito, AlinhaDanfe alinha) {
    out += cmd({ESC, 'M', e == EstiloDanfe::Pequena ? 1 : 0});
    out += cmd({GS, '!', e == EstiloDanfe::Titulo ? 0x01 : 0x00});
    out += cmd({ESC, 'E', negrito ? 1 : 0});
    out += cmd({ESC, 'a', alinha == AlinhaDanfe::Centro ? 1 : (alinha == AlinhaDanfe::Direita ? 2 : 0)});
  };
  const auto linha = [&](const std::string& t) { out += texto_cp850(t) + "\n"; };

  const bool com_qrcode = !d.url_qrcode.empty();
  for (const BlocoDanfe& b : blocos_danfe(d, resumido, false, com_qrcode)) {
    const std::size_t colunas = b.estilo == EstiloDanfe::Pequena ? colunas_b : colunas_a;
    switch (b.tipo) {
      case BlocoDanfe::Tipo::Texto:
        estilo(b.estilo, b.negrito, b.alinha);
        for (const std::string& l : quebra_linhas(b.texto, colunas)) linha(l);
        break;
      case BlocoDanfe::Tipo::Par: {
        estilo(b.estilo, b.negrito, AlinhaDanfe::Esquerda);
        const std::size_t direita = std::min(text::length(b.direita), colunas);
        const std::size_t resto = colunas - direita > 1 ? colunas - direita - 1 : 1;
        std::vector<std::string> esquerda = quebra_linhas(b.texto, resto);
        if (esquerda.empty()) esquerda.emplace_back();
        std::string primeira = esquerda[0];
        const std::size_t usado = text::length(primeira) + direita;
        if (usado < colunas) primeira += std::string(colunas - usado, ' ');
        linha(primeira + text::cut(b.direita, colunas));
        for (std::size_t i = 1; i < esquerda.size(); ++i) linha(esquerda[i]);
        break;
      }
      case BlocoDanfe::Tipo::Separador:
        estilo(EstiloDanfe::Corpo, false, AlinhaDanfe::Esquerda);
        linha(std::string(colunas_a, '-'));
        break;
      case BlocoDanfe::Tipo::Espaco: {
        const int dots = std::min(255, static_cast<int>(b.espaco_mm * 8));  // 8 dots per mm
        if (dots > 0) out += cmd({ESC, 'J', dots});
        break;
      }
      case BlocoDanfe::Tipo::Logo: break;
      case BlocoDanfe::Tipo::QrCode:
        estilo(EstiloDanfe::Corpo, false, AlinhaDanfe::Centro);
        out += o.qrcode_nativo ? qrcode_nativo(d.url_qrcode, estreito ? 4 : 6) : qrcode_raster(d.url_qrcode, pontos);
        out += "\n";
        break;
    }
  }
  estilo(EstiloDanfe::Corpo, false, AlinhaDanfe::Esquerda);
  out += cmd({ESC, 'd', 4});
  out += cmd({GS, 'V', 1});
  return out;
}

}  // namespace fvn
