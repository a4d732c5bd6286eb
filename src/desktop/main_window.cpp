#include "desktop/main_window.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>
#include <QVBoxLayout>

namespace fvn::desktop {

namespace {

struct EntryText {
  Qt::Key key;
  const char* caption;
};

constexpr std::array<EntryText, MainWindow::kEntries> kEntryTexts = {{
    {Qt::Key_F2, "F2 - &Venda"},
    {Qt::Key_F3, "F3 - Notas &pendentes"},
    {Qt::Key_F4, "F4 - Notas em &contingência"},
    {Qt::Key_F5, "F5 - Pin&g no servidor de NFC-e"},
    {Qt::Key_F6, "F6 - E&xportação de XML"},
    {Qt::Key_F7, "F7 - C&onsultas"},
    {Qt::Key_F8, "F8 - Ca&dastro de consumidor"},
    {Qt::Key_F9, "F9 - Crédi&to do cliente"},
}};

}  // namespace

MainWindow::MainWindow(const QString& title, const QString& heading, QWidget* parent) : QMainWindow(parent) {
  setWindowTitle(title);
  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  auto* label = new QLabel(heading, central);
  label->setObjectName("cabecalho");
  QFont bold = label->font();
  bold.setBold(true);
  bold.setPointSizeF(bold.pointSizeF() * 1.2);
  label->setFont(bold);
  layout->addWidget(label);
  for (std::size_t i = 0; i < buttons_.size(); ++i) {
    auto* button = new QPushButton(QString::fromUtf8(kEntryTexts[i].caption), central);
    button->setEnabled(false);
    button->setMinimumHeight(36);
    connect(button, &QPushButton::clicked, this, [this, i] {
      if (actions_[i]) actions_[i]();
    });
    auto* shortcut = new QShortcut(QKeySequence(kEntryTexts[i].key), this);
    // An entry's key belongs to this window only: never while a window it
    // opened (the sale screen, a dialog) is up.
    connect(shortcut, &QShortcut::activated, button, [button] {
      if (button->isEnabled() && QApplication::activeModalWidget() == nullptr) button->click();
    });
    buttons_[i] = button;
    layout->addWidget(button);
  }
  auto* leave = new QPushButton(tr("Esc - Sai&r"), central);
  leave->setMinimumHeight(36);
  connect(leave, &QPushButton::clicked, this, &QWidget::close);
  layout->addWidget(leave);
  layout->addStretch();
  setCentralWidget(central);
  statusBar()->showMessage(tr("Pronto"));
  resize(520, 500);
}

void MainWindow::set_action(Entry entry, std::function<void()> action) {
  const auto i = static_cast<std::size_t>(entry);
  actions_[i] = std::move(action);
  buttons_[i]->setEnabled(static_cast<bool>(actions_[i]));
  if (actions_[i] && !centralWidget()->focusWidget()) buttons_[i]->setFocus();
}

void MainWindow::show_status(const QString& text) { statusBar()->showMessage(text); }

void MainWindow::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    close();
    return;
  }
  QMainWindow::keyPressEvent(event);
}

}  // namespace fvn::desktop
