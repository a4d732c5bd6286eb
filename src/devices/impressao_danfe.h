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
#pragma once

#include <cstdint>
#include <string>

#include "runtime/error_triple.h"

namespace fvn {

class HostUi;
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

  // Prints the receipt on `impressora`; empty: the layout's printer, else
  // the default printer. 1 when the print server took the job.
  int Imprime(std::int32_t ide, std::int32_t resumido, const std::string& impressora = {});

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
  std::string ultimo_pdf_;
  std::string ultima_impressora_;
  int ultimo_trabalho_ = 0;
};

}  // namespace fvn
