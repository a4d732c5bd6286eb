// The sale screen's window ("NFC-e - Venda ao Consumidor") bound to
// NotaPadraoNfcePresenter: the product ("F2-Produto:") and quantity
// ("F3-Quantidade:") fields, the item list (SaleItemModel), the big totals,
// the tabs of the sale's values and parties with their "..." lookups, the
// F-key buttons and a status bar refreshed by a timer. Every accepted field
// and every key goes to the presenter; after each the window reads back the
// values, the totals and the rows that changed. It decides nothing.
//
// Keys: F2 price list (the product field takes the focus), F3 quantity,
// F4 options, F5 payment, Alt+F5 fast cash payment, F6 price table, F7
// seller, F8 customer, Ctrl+F2 discount release, Alt+O service orders, Alt+D
// the discount percentage, and
// in the product and quantity fields and the list Shift+C (consumer
// registration), Shift+N (consumer's CPF/CNPJ) and Shift+P (price query).
// Esc, F12 and Alt+F4 ask before closing.
#pragma once

#include <QDialog>
#include <QKeySequence>
#include <functional>
#include <map>

#include "screens/nota_padrao_nfce.h"

class QComboBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QTabWidget;
class QTableView;
class QTimer;

namespace fvn::desktop {

class SaleItemModel;

class SaleWindow final : public QDialog {
 public:
  SaleWindow(NotaPadraoNfcePresenter& presenter, QWidget* parent = nullptr);
  // Opens the window and runs the new-sale reset once it shows; returns
  // when the cashier closed it.
  int open_window();
  // Reads the presenter back into every widget (after each action).
  void refresh();

  [[nodiscard]] SaleItemModel& model() { return *model_; }

 protected:
  void reject() override;
  void closeEvent(class QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QLineEdit* amount_field(const QString& name, const std::string& picture);
  QLineEdit* code_field(const QString& name);
  void shortcut(const QKeySequence& sequence, std::function<void()> action);
  void on_amount(QLineEdit* field, const std::string& picture, int (NotaPadraoNfcePresenter::*action)(double));
  void on_code(QLineEdit* field, int (NotaPadraoNfcePresenter::*action)(std::int32_t));
  void key(TeclaVenda tecla);
  void show_status_bar();
  QWidget* build_values_tab();
  QWidget* build_taxes_tab();
  QWidget* build_transport_tab();

  NotaPadraoNfcePresenter& presenter_;
  SaleItemModel* model_;
  QLineEdit* product_;
  QLineEdit* quantity_;
  QTableView* list_;
  QLabel* status_;
  QLabel* items_;
  QLabel* total_quantity_;
  QLabel* total_;
  QTabWidget* tabs_;
  std::map<std::string, QLineEdit*> fields_;
  std::map<std::string, QLabel*> labels_;
  QComboBox* print_kind_ = nullptr;
  QComboBox* purpose_ = nullptr;
  QComboBox* freight_kind_ = nullptr;
  QPlainTextEdit* note_remarks_ = nullptr;
  QPlainTextEdit* order_remarks_ = nullptr;
  std::array<QLabel*, 4> status_bar_{};
  QTimer* clock_;
  bool closing_ = false;
};

// Opens the sale screen over `parent` and returns when it closes.
void NOTA_PADRAO_NFCE(NotaPadraoNfcePresenter& presenter, QWidget* parent);

}  // namespace fvn::desktop
