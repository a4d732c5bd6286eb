// The consumer receipt as ESC/POS commands for thermal receipt printers:
// the blocks of danfe_blocos.h (the same texts as the PDF receipt) laid out
// in 48 columns (80 mm paper) or 32 (58 mm).
//
//   ESC @, then ESC t 2: code page 850, which holds every Portuguese letter
//   (a character outside it prints as "?");
//   body text in font A, titles bold and double height, small text in
//   font B (a third more columns: 64 or 42); paragraphs word-wrapped and
//   aligned with ESC a; a label and its value share a line, the value at
//   the right margin; rules of "-";
//   the QR code centred, with the printer's QR commands (GS ( k: model 2,
//   error correction M, module size 6 or 4 dots) or, for printers without
//   them, as a raster image (GS v 0, error correction M, a quiet zone of
//   four modules); the logo is left out;
//   four blank lines and a partial cut (GS V 1) at the end.
#pragma once

#include <string>
#include <string_view>

#include "devices/danfe_dados.h"

namespace fvn {

struct OpcoesEscPos {
  int colunas = 48;           // 48 or 32
  bool qrcode_nativo = true;  // false: the QR code as a raster image
};

std::string danfe_escpos(const DanfeNfce& d, bool resumido, const OpcoesEscPos& opcoes);

// UTF-8 text in code page 850 (a character outside it becomes "?", a
// control byte a blank: data never carries printer commands).
std::string texto_cp850(std::string_view utf8);

// Word-wraps `text` to lines of at most `columns` characters (code points);
// a word longer than a line is cut. An empty text gives no line.
std::vector<std::string> quebra_linhas(std::string_view text, std::size_t columns);

}  // namespace fvn
