#include "desktop/qt_host_ui.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <vector>

#include "desktop/dialogs.h"

namespace fvn::desktop {

QString to_qstring(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QWidget* dialog_parent() {
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  return QApplication::activeWindow();
}

namespace {

QMessageBox::Icon box_icon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Information: return QMessageBox::Information;
    case MessageIcon::Exclamation: return QMessageBox::Warning;
    case MessageIcon::Question: return QMessageBox::Question;
    case MessageIcon::Error: return QMessageBox::Critical;
    case MessageIcon::None: break;
  }
  return QMessageBox::NoIcon;
}

}  // namespace

int QtHostUi::message(const MessageRequest& request) {
  QMessageBox box(dialog_parent());
  box.setWindowTitle(to_qstring(request.title));
  box.setText(to_qstring(display_lines(request.text)));
  box.setTextFormat(Qt::PlainText);
  box.setIcon(box_icon(request.icon));
  std::vector<std::string> captions = button_captions(request.buttons);
  if (captions.empty()) captions.emplace_back("&Ok");
  std::vector<QPushButton*> buttons;
  buttons.reserve(captions.size());
  for (const auto& caption : captions) buttons.push_back(box.addButton(to_qstring(caption), QMessageBox::ActionRole));
  const auto count = static_cast<int>(buttons.size());
  const int default_button =
      request.default_button >= 1 && request.default_button <= count ? request.default_button : 1;
  box.setDefaultButton(buttons[static_cast<std::size_t>(default_button - 1)]);
  box.setEscapeButton(buttons.back());
  box.exec();
  for (int i = 0; i < count; ++i) {
    if (box.clickedButton() == buttons[static_cast<std::size_t>(i)]) return i + 1;
  }
  return count;
}

int QtHostUi::pick_list(const PickListRequest& request) {
  PickListDialog dialog(request, dialog_parent());
  dialog.exec();
  return dialog.chosen();
}

std::optional<std::string> QtHostUi::choose_folder(std::string_view title, std::string_view start_folder) {
  QFileDialog dialog(dialog_parent(), to_qstring(title), to_qstring(start_folder));
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOptions(QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().front().toStdString();
}

void QtHostUi::operation_status(std::string_view line) {
  if (operation_ != nullptr) operation_->add_status(to_qstring(line));
}

void QtHostUi::operation_window(std::string_view title, OperationSteps& steps) {
  OperationDialog dialog(to_qstring(title), steps, dialog_parent());
  OperationDialog* outer = operation_;
  operation_ = &dialog;
  dialog.exec();
  operation_ = outer;
}

std::optional<double> QtHostUi::ask_number(const NumberRequest& request) {
  NumberDialog dialog(request, dialog_parent());
  dialog.exec();
  return dialog.value();
}

void QtHostUi::preview_document(std::string_view title, std::string_view path) {
  QFileInfo file(to_qstring(path));
  const QString image = file.suffix().compare("png", Qt::CaseInsensitive) == 0
                            ? file.filePath()
                            : file.path() + "/" + file.completeBaseName() + ".png";
  std::function<void()> print;
  if (print_) print = [this, document = std::string(path)] { print_(document); };
  PreviewDialog dialog(to_qstring(title), image, std::move(print), dialog_parent());
  dialog.exec();
}

}  // namespace fvn::desktop
