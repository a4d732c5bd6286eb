// The window "Notas Fiscais Pendentes" bound to NFCE_EMITIDAS_CONTINGENCIA:
// a locator above the list of unresolved notes (it filters the rows shown
// as the user types), "F2 - &Resolver Tudo", "F5 - &Ping" and "F12 - Sai&r"
// (Esc). The presenter reads the notes and runs the ping and the
// resolution; the view shows its rows.
#pragma once

#include <QDialog>

#include "screens/notas_pendentes.h"

class QLineEdit;
class QTableWidget;

namespace fvn::desktop {

class PendingNotesView final : public QDialog {
 public:
  PendingNotesView(NFCE_EMITIDAS_CONTINGENCIA& presenter, QWidget* parent = nullptr);
  // Reads the notes and opens the window.
  int open_window();

 private:
  void show_rows();
  void filter(const QString& text);
  NFCE_EMITIDAS_CONTINGENCIA& presenter_;
  QLineEdit* locator_;
  QTableWidget* list_;
};

}  // namespace fvn::desktop
