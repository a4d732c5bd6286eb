// HostUi with Qt Widgets: the module's messages, pick lists, operation
// window, folder chooser and receipt preview as the cashier sees them.
// Dialogs are modal over the active window; every one answers the keyboard
// (Enter accepts, Esc leaves, "&" letters are accelerators).
#pragma once

#include <QString>
#include <functional>
#include <string>

#include "runtime/host_ui.h"

class QWidget;

namespace fvn::desktop {

class OperationDialog;

class QtHostUi final : public HostUi {
 public:
  QtHostUi() = default;

  using HostUi::message;
  // Buttons in the order given; the default button has the focus and takes
  // Enter; Esc answers the last button (the "no" or "cancel" of a question).
  int message(const MessageRequest& request) override;
  int pick_list(const PickListRequest& request) override;
  std::optional<std::string> choose_folder(std::string_view title, std::string_view start_folder) override;
  void operation_status(std::string_view line) override;
  void operation_window(std::string_view title, OperationSteps& steps) override;
  // The number window (NumberDialog); a decimal comma or period is read.
  std::optional<double> ask_number(const NumberRequest& request) override;
  // Shows the receipt's PNG (the file itself, or the PNG beside a PDF).
  void preview_document(std::string_view title, std::string_view path) override;

  // What the preview's "&Imprimir" button does with the document's path;
  // without one the button is disabled.
  void set_print_handler(std::function<void(const std::string&)> print) { print_ = std::move(print); }

 private:
  OperationDialog* operation_ = nullptr;  // the open operation window
  std::function<void(const std::string&)> print_;
};

// The window dialogs open over: the active modal dialog, else the active window.
QWidget* dialog_parent();

// std::string (UTF-8) to QString.
QString to_qstring(std::string_view text);

}  // namespace fvn::desktop
