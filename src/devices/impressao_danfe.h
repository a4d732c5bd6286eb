// The consumer receipt (DANFE NFC-e) of a recorded sale: drawn by the
// module itself from the shop database (danfe_dados.h, danfe_desenho.h)
// and shown or printed according to the sale's series.
//
// Imprime_Danfe(ide, imprime_resumido) is what the sale screen calls after
// a sale has been issued:
//   * the sale's series (tseriesnf) decides: only document kind 2 (NFC-e)
//     has a DANFE; any other kind returns 1 and does nothing;
//   * engine mode "1" (s_tse_1report_manager): preview. The PDF is written
//     to <working folder>/danfe-<ide>.pdf and handed to
//     HostUi::preview_document with the title "DANFE NFCe";
//   * any other mode: printed straight to the printer named by the layout
//     file, else the system's default printer (CUPS), without a dialog.
// When the receipt cannot be drawn, previewed or printed (no such sale, no
// printer, a failed print) the user sees "Não foi possível abrir o
// relatório!" (with the reason on the next line) in a box titled "Alerta -
// Report Manager", the error triple keeps the reason and the result is 0.
// The sale is only read, never changed: the receipt can be printed again.
//
// Gera_PDF and Imprime are the lower-level calls (fvn receipt): they set
// the error triple and show nothing.
//
// IMPRIME_RESUMIDO (imprime_resumido, resumido): 0 the detailed receipt,
// any other value the short one, without item lines.
//
// A station with a thermal printer prints ESC/POS instead (danfe_escpos.h):
// the [station] section of the configuration chooses, read by
// le_impressao_estacao and handed over with set_impressao:
//   receipt          pdf (default) or escpos
//   receipt_device   escpos only: a device node (/dev/usb/lp0), a file, or
//                    cups:QUEUE for a raw print queue ("cups:" alone: the
//                    default queue)
//   receipt_columns  48 (80 mm, default) or 32 (58 mm)
//   receipt_qr       native (the printer's QR command, default) or raster
// Then the print path of Imprime_Danfe (and Imprime) sends the ESC/POS
// receipt to that device; the preview path still shows the PDF, and
// printing from the preview (Imprime_Previa) prints the station's way.
#pragma once

#include <cstdint>
#include <string>

#include "devices/danfe_escpos.h"
#include "runtime/error_triple.h"

namespace fvn {

class HostUi;
class IniFile;

// How a station prints its receipts.
struct ImpressaoEstacao {
  bool escpos = false;
  std::string dispositivo;
  OpcoesEscPos opcoes;
};

// The receipt keys of [station]; 0 with `erro` set for a value it does not know.
int le_impressao_estacao(const IniFile& config, ImpressaoEstacao& impressao, std::string& erro);
struct LayoutDanfe;
struct DanfeNfce;

class IMPRESSAO_DANFE : public ErrorTriple {
 public:
  static constexpr const char* kLayout = "DANFE-NFCE_PADRAO.rep";
  static constexpr const char* kTitulo = "DANFE NFCe";
  static constexpr const char* kMensagemFalha = "Não foi possível abrir o relatório!";
  static constexpr const char* kTituloFalha = "Alerta - Report Manager";
  static constexpr std::int32_t kSerieNfce = 2;

  explicit IMPRESSAO_DANFE(HostUi& ui);

  // The application's connection text: owner of the passthrough tables.
  void set_connection(std::string connection_text);

  // See above. 1 when the receipt was shown or printed (or the series has
  // none), 0 otherwise.
  int Imprime_Danfe(std::int32_t ide, std::int32_t imprime_resumido);

  // Writes the receipt to `pdf_path` and, when given, a PNG preview to
  // `png_path`. 1 or 0 with the error triple set.
  int Gera_PDF(std::int32_t ide, std::int32_t resumido, const std::string& pdf_path, const std::string& png_path = {});

  // Writes the ESC/POS receipt to `destino` (a file, a device node or
  // cups:QUEUE). 1 or 0 with the error triple set.
  int Gera_EscPos(std::int32_t ide, std::int32_t resumido, const std::string& destino, const OpcoesEscPos& opcoes);

  // The station's way of printing (see above).
  void set_impressao(ImpressaoEstacao impressao) { impressao_ = std::move(impressao); }

  // Prints the receipt on `impressora`; empty: the layout's printer, else
  // the default printer. 1 when the print server took the job.
  int Imprime(std::int32_t ide, std::int32_t resumido, const std::string& impressora = {});

  // The preview's file name: danfe-<ide>.pdf, or danfe-<ide>-resumido.pdf
  // for the short receipt.
  static std::string nome_previa(std::int32_t ide, std::int32_t resumido);

  // Prints, as Imprime does, the receipt whose preview is `pdf` (a file
  // named by nome_previa): what the preview's print button does. 1 or 0
  // with the error triple set.
  int Imprime_Previa(const std::string& pdf);

  // The PDF of the last preview.
  [[nodiscard]] const std::string& ultimo_pdf() const { return ultimo_pdf_; }
  // The printer the last print went to, and the print server's job id.
  [[nodiscard]] const std::string& ultima_impressora() const { return ultima_impressora_; }
  [[nodiscard]] int ultimo_trabalho() const { return ultimo_trabalho_; }

 private:
  int prepara(std::int32_t ide, DanfeNfce& danfe, LayoutDanfe& layout, const char* funcao);
  int falha_mostrada();

  HostUi& ui_;
  std::string connection_;
  ImpressaoEstacao impressao_;
  std::string ultimo_pdf_;
  std::string ultima_impressora_;
  int ultimo_trabalho_ = 0;
};

}  // namespace fvn
