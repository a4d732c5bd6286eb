// The layout of the consumer receipt: paper width, margins, fonts, QR-code
// size, logo, printer and preview resolution.
//
// The layout configuration is the INI file "DANFE-NFCE_PADRAO.rep" in the
// working folder; without it, or without a key, the defaults below apply.
// Section [danfe]:
//   largura_mm         paper width: 80 (default) or 58
//   margem_esquerda_mm, margem_direita_mm, margem_superior_mm,
//   margem_inferior_mm margins in mm (defaults 3, 3, 3, 6; 2 on each side
//                      at 58 mm); together under half the width
//   fonte              font family (default "DejaVu Sans")
//   fonte_pt           body size in points (default 7.5; 6.5 at 58 mm)
//   fonte_titulo_pt    emitter and title size (default 8.5; 7.5 at 58 mm)
//   fonte_pequena_pt   notes, key and address size (default 6.5; 5.5 at 58 mm)
//   qrcode_mm          QR-code side (default 35; 30 at 58 mm)
//   logo               PNG file printed above the emitter (none by default);
//                      a relative path is taken from the working folder
//   impressora         printer name (default: the system's default printer)
//   resolucao_dpi      resolution of the PNG preview (default 203, a
//                      thermal printer's 8 dots per mm)
#pragma once

#include <string>

namespace fvn {

struct LayoutDanfe {
  static constexpr const char* kArquivo = "DANFE-NFCE_PADRAO.rep";
  static constexpr const char* kSecao = "danfe";

  double largura_mm = 80;
  double margem_esquerda_mm = 3;
  double margem_direita_mm = 3;
  double margem_superior_mm = 3;
  double margem_inferior_mm = 6;
  std::string fonte = "DejaVu Sans";
  double fonte_pt = 7.5;
  double fonte_titulo_pt = 8.5;
  double fonte_pequena_pt = 6.5;
  double qrcode_mm = 35;
  std::string logo;
  std::string impressora;
  int resolucao_dpi = 203;

  // The defaults of a paper width (80 or 58).
  static LayoutDanfe padrao(double largura_mm);
};

// Reads the layout from `path` (an INI file; a missing file gives the
// defaults). 0 with `erro` set when a value is out of range or not a number.
int le_layout_danfe(const std::string& path, LayoutDanfe& layout, std::string& erro);

}  // namespace fvn
