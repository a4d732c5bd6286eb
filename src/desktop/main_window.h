// The point of sale's main window: the module's entries as buttons with
// their function keys. An entry without an action (a window not built yet)
// is shown disabled; "Sai&r" (Esc) closes the window.
#pragma once

#include <QMainWindow>
#include <array>
#include <functional>

class QPushButton;

namespace fvn::desktop {

class MainWindow final : public QMainWindow {
 public:
  enum Entry {
    Vender,
    NotasPendentes,
    NotasContingencia,
    Ping,
    ExportarXml,
    Consultas,
    CadastroConsumidor,
    CreditoCliente,
    kEntries
  };

  // `heading`: the company and user line shown above the entries.
  MainWindow(const QString& title, const QString& heading, QWidget* parent = nullptr);

  // Enables `entry` and makes it run `action`.
  void set_action(Entry entry, std::function<void()> action);
  void show_status(const QString& text);

 protected:
  void keyPressEvent(class QKeyEvent* event) override;

 private:
  std::array<QPushButton*, kEntries> buttons_{};
  std::array<std::function<void()>, kEntries> actions_;
};

}  // namespace fvn::desktop
