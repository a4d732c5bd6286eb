// The dialogs behind QtHostUi: the pick list, the operation window, the
// number entry and the document preview. Each is keyboard-driven and holds no rules.
#pragma once

#include <QDialog>
#include <QFormLayout>
#include <QLineEdit>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "runtime/host_ui.h"

class QLineEdit;
class QListWidget;
class QProgressBar;
class QSortFilterProxyModel;
class QStandardItemModel;
class QTableView;
class QTimer;

namespace fvn::desktop {

// A list to pick a row from: a search box above the table filters the rows
// as the user types (any column, ignoring case), or, for a request with a
// search function, shows the rows it returns for the text typed; Up, Down, Page Up and Page
// Down move in the table while typing. Enter or F2 ("&Selecionar (F2)")
// picks the current row, Esc or F12 ("Sai&r (F12)") leaves.
class PickListDialog final : public QDialog {
 public:
  PickListDialog(const PickListRequest& request, QWidget* parent);
  // The row picked, 1-based in the request's rows; 0 when the user left.
  [[nodiscard]] int chosen() const { return chosen_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void pick();
  void fill(const std::vector<std::vector<std::string>>& rows);
  QLineEdit* search_;
  QTableView* table_;
  QStandardItemModel* model_;
  QSortFilterProxyModel* filter_;
  int chosen_ = 0;
};

// The operation window: the status lines above a progress bar. A timer runs
// one step per tick; the window closes itself once the steps end, and a
// request to close it (Esc, the window's close button) is granted only
// when the steps allow it.
class OperationDialog final : public QDialog {
 public:
  OperationDialog(const QString& title, OperationSteps& steps, QWidget* parent);
  void add_status(const QString& line);

 protected:
  void reject() override;
  void closeEvent(class QCloseEvent* event) override;

 private:
  void tick();
  OperationSteps& steps_;
  QListWidget* lines_;
  QProgressBar* progress_;
  QTimer* timer_;
  bool ended_ = false;
};

// A window asking for one number (NumberRequest): the group box holding the
// prompt and its entry, then the accept and cancel buttons. The entry takes
// digits and one decimal separator, a comma or a period, with at most the
// request's decimals after it. Enter accepts (an empty or unreadable entry
// keeps the window open), Esc cancels.
class NumberDialog final : public QDialog {
 public:
  NumberDialog(const NumberRequest& request, QWidget* parent);
  // The number accepted; std::nullopt when the user cancelled.
  [[nodiscard]] std::optional<double> value() const { return value_; }

 private:
  void take();
  QLineEdit* entry_;
  std::optional<double> value_;
};

// The receipt preview: the image at its size in a scroll area, "&Imprimir"
// (when a print handler is given) and "&Fechar" (Esc).
class PreviewDialog final : public QDialog {
 public:
  PreviewDialog(const QString& title, const QString& image, std::function<void()> print, QWidget* parent);
};

// The "&Usuário:" and "&Senha:" rows that the log-in and the supervisor's
// authorisation share: names the tests find the entries by, the user's length
// of the users' table, the password hidden.
QFormLayout* user_password_form(QWidget* parent, QLineEdit* user, QLineEdit* password);

}  // namespace fvn::desktop
