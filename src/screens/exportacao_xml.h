// SOLICITA_EXPORTACAO_XML: the logic of the window "Exportação de Arquivos
// XML". The operator requests the XML files of a month from the NFC-e
// service, sees the list of requests with their state and downloads a
// finished file into a folder. The view (a desktop window, fvn or a test)
// holds the period entry and the list control and calls the actions below
// for its buttons; everything shown or asked goes through HostUi.
//
//   F3 - Exportar  -> Exportar()    F5 - Atualizar -> Atualizar()
//   F2 - Download  -> Download()    F12 - Sair     -> the view closes
//
// Each action returns 1 on success and 0 when it stopped (its message has
// been shown). The list keeps one entry per complete line of the service's
// answer; a trailing part without CR LF is not a line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/clock.h"
#include "runtime/host_ui.h"
#include "runtime/ordered_list.h"

namespace fvn {

class NFCE_PROCESSO;

// One requested period: "MM/YYYY" and the download link, or a state text
// with "AGUARDE" while the service prepares the file.
struct ExportEntry {
  std::string period;  // text of 20
  std::string link;    // text of 200
  friend bool operator==(const ExportEntry&, const ExportEntry&) = default;
};

// The entries of a consult result: one per line ended by CR LF; the period
// is characters 1-2, "/", characters 4-7 and the link the line from its
// ninth character on.
OrderedList<ExportEntry> parse_export_list(std::string_view result);

// The company whose files are exported and its service login.
struct ExportCompany {
  std::int32_t code = 0;
  std::string cnpj;
  std::string group;
  std::string user;
  std::string password;
};

class SOLICITA_EXPORTACAO_XML {
 public:
  static constexpr std::string_view kTitle = "Exportação de Arquivos XML";
  static constexpr std::string_view kFolderPrompt = "Escolha o local para salvar o arquivo:";

  // `processor` has its connection set; it shows through the same HostUi.
  SOLICITA_EXPORTACAO_XML(HostUi& ui, NFCE_PROCESSO& processor, ExportCompany company);

  // Opening: the company folders and the server check, then the list and
  // the period set to `today`. 0 when the server check failed (the list
  // stays empty) or the list could not be read.
  int Abrir(Date today = fvn::today());
  // F5: consults the service and rebuilds the list, selecting its last
  // entry; on failure the old list stays.
  int Atualizar();
  // F3: requests the period's month; on success the list is refreshed.
  int Exportar();
  // F2: downloads the selected entry's file into a folder the user picks.
  // 0 also when nothing was downloaded for another reason (no file, file
  // still being prepared, folder choice cancelled).
  int Download();

  // The period entry; only its month and year count. 0 is empty.
  [[nodiscard]] Date period() const { return period_; }
  void set_period(Date period) { period_ = period; }

  [[nodiscard]] const OrderedList<ExportEntry>& entries() const { return entries_; }
  // The selected entry, 1-based; 0 for none.
  [[nodiscard]] std::size_t selected() const { return selected_; }
  // Selects an entry (the user clicking a row); false when out of range.
  bool select(std::size_t position);
  // Selects the entry with this link; false when none has it.
  bool select_link(std::string_view link);

  // True once when the view should put the cursor in the period entry
  // (after the opening and after a request without a period); reading clears it.
  bool take_period_focus();

  // The folder of the last successful download.
  [[nodiscard]] const std::string& last_folder() const { return last_folder_; }

 private:
  void error(std::string_view context);
  void notice(std::string_view text);

  HostUi& ui_;
  NFCE_PROCESSO& processor_;
  ExportCompany company_;
  Date period_ = 0;
  OrderedList<ExportEntry> entries_;
  std::size_t selected_ = 0;
  bool period_focus_ = false;
  std::string last_folder_;
};

}  // namespace fvn
