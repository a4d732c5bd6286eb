// What the consumer receipt (DANFE NFC-e) says and in what order, apart
// from how it is drawn: one list of blocks, in the order of the national
// receipt layout (emitter, title, notices, items unless the receipt is
// short, totals and payments, consultation address and access key,
// consumer, number and authorisation, QR code, approximate taxes). The PDF
// drawing (danfe_desenho.h) and the ESC/POS commands (danfe_escpos.h) both
// render this list, so both receipts carry the same texts.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "devices/danfe_dados.h"

namespace fvn {

enum class EstiloDanfe { Corpo, Titulo, Pequena };
enum class AlinhaDanfe { Esquerda, Centro, Direita };

struct BlocoDanfe {
  enum class Tipo {
    Texto,      // a paragraph across the width
    Par,        // `texto` on the left (wrapped), `direita` on the right of its first line
    Separador,  // a dashed rule
    Espaco,     // `espaco_mm` of blank paper
    Logo,       // the shop's logo, when the layout has one
    QrCode,     // the note's QR code
  };
  Tipo tipo = Tipo::Texto;
  std::string texto;
  std::string direita;
  EstiloDanfe estilo = EstiloDanfe::Corpo;
  bool negrito = false;
  AlinhaDanfe alinha = AlinhaDanfe::Centro;
  double espaco_mm = 0;
};

// The receipt of `d`; `resumido` leaves the item lines out. `com_logo` and
// `com_qrcode` say whether there is an image to place.
std::vector<BlocoDanfe> blocos_danfe(const DanfeNfce& d, bool resumido, bool com_logo, bool com_qrcode);

// Text helpers of the receipt, Brazilian style.
std::string danfe_valor(double value);                 // 1.234,50
std::string danfe_quantidade(double value);            // 2, 0,212 (up to 4 decimals)
std::string danfe_chave(std::string_view key);         // groups of four
std::string danfe_documento(std::string_view digits);  // CPF or CNPJ with its mask

}  // namespace fvn
