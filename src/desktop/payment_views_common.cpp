#include "payment_views_common.h"

#include <QApplication>
#include <QBoxLayout>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTableView>
#include <utility>

#include "desktop/qt_host_ui.h"
#include "screens/pagamento_comum.h"

namespace fvn::desktop::payment_ui {

QString valor_texto(double valor) { return to_qstring(mostra_valor(valor)); }

QLineEdit* campo(QWidget* parent, const char* name, bool somente_leitura) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(name);
  if (somente_leitura) {
    edit->setReadOnly(true);
    edit->setFocusPolicy(Qt::NoFocus);
    edit->setAlignment(Qt::AlignRight);
  }
  return edit;
}

QLabel* rotulo(QWidget* parent, const QString& texto, QWidget* buddy) {
  auto* label = new QLabel(texto, parent);
  label->setBuddy(buddy);
  return label;
}

void atalho(QWidget* janela, const QKeySequence& tecla, std::function<void()> acao) {
  QObject::connect(new QShortcut(tecla, janela), &QShortcut::activated, janela, std::move(acao));
}

QPushButton* botao(QWidget* janela, QBoxLayout* linha, const QString& caption, Qt::Key tecla,
                   std::function<void()> acao) {
  auto* b = new QPushButton(caption, janela);
  b->setAutoDefault(false);
  QObject::connect(b, &QPushButton::clicked, janela, std::move(acao));
  QObject::connect(new QShortcut(QKeySequence(tecla), janela), &QShortcut::activated, b, &QPushButton::click);
  linha->addWidget(b);
  return b;
}

std::string texto(const QLineEdit* edit) { return edit->text().toStdString(); }

void proximo(QWidget* campo) {
  QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
  QApplication::sendEvent(campo, &tab);
}

TeclasLista::TeclasLista(QTableView* lista, std::function<void(int)> enter, std::function<void(int)> apaga)
    : QObject(lista), lista_(lista), enter_(std::move(enter)), apaga_(std::move(apaga)) {
  lista->installEventFilter(this);
  connect(lista, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
    if (enter_) enter_(index.row() + 1);
  });
}

bool TeclasLista::eventFilter(QObject* watched, QEvent* event) {
  if (watched == lista_ && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    const int linha = lista_->currentIndex().isValid() ? lista_->currentIndex().row() + 1 : 0;
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && enter_) {
      if (linha > 0) enter_(linha);
      return true;
    }
    if (key == Qt::Key_Delete && apaga_) {
      if (linha > 0) apaga_(linha);
      return true;
    }
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace fvn::desktop::payment_ui
