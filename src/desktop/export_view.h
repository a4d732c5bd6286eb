// The window "Exportação de Arquivos XML" bound to SOLICITA_EXPORTACAO_XML:
// the period ("MM/AAAA"), the list of requests and the buttons
// "F3 - &Exportar", "F5 - &Atualizar", "F2 - &Download" and "F12 - Sai&r"
// (Esc). The presenter decides everything; the view copies the period into
// it, shows its list and selection, and puts the cursor where it asks.
#pragma once

#include <QDialog>

#include "screens/exportacao_xml.h"

class QLineEdit;
class QTableWidget;

namespace fvn::desktop {

class ExportView final : public QDialog {
 public:
  ExportView(SOLICITA_EXPORTACAO_XML& presenter, QWidget* parent = nullptr);
  // Opens the window: the presenter's opening, then the list.
  int open_window();

 private:
  void run(int (SOLICITA_EXPORTACAO_XML::*action)());
  void show_list();
  SOLICITA_EXPORTACAO_XML& presenter_;
  QLineEdit* period_;
  QTableWidget* list_;
};

}  // namespace fvn::desktop
