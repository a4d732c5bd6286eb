// The helpers the payment dialogs (payment_views.h) share: fields,
// captions, F-key buttons and shortcuts, the keys of a list, and opening a
// dialog over its presenter. Private to the files of those dialogs.
#pragma once

#include <QObject>
#include <QString>
#include <Qt>
#include <functional>
#include <string>

class QBoxLayout;
class QKeySequence;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class QWidget;

namespace fvn::desktop::payment_ui {

// An amount as the dialogs show it.
QString valor_texto(double valor);

// A named field; a read-only one takes no focus and aligns to the right.
QLineEdit* campo(QWidget* parent, const char* name, bool somente_leitura = false);

// A caption whose buddy takes the focus with the caption's accelerator.
QLabel* rotulo(QWidget* parent, const QString& texto, QWidget* buddy);

void atalho(QWidget* janela, const QKeySequence& tecla, std::function<void()> acao);

// A button on `linha` that `tecla` clicks too.
QPushButton* botao(QWidget* janela, QBoxLayout* linha, const QString& caption, Qt::Key tecla,
                   std::function<void()> acao);

std::string texto(const QLineEdit* edit);

// Enter moves to the next control, as the dialogs' fields do.
void proximo(QWidget* campo);

// Enter (and a double click) and Delete on a list, as actions on its
// current row (1-based).
class TeclasLista final : public QObject {
 public:
  TeclasLista(QTableView* lista, std::function<void(int)> enter, std::function<void(int)> apaga);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QTableView* lista_;
  std::function<void(int)> enter_;
  std::function<void(int)> apaga_;
};

// Opens `View` modally over `presenter` (already opened by the caller) and
// returns the presenter's result.
template <typename View, typename Presenter>
int abre(Presenter& presenter, QWidget* parent) {
  View view(presenter, parent);
  view.exec();
  return presenter.resultado();
}

}  // namespace fvn::desktop::payment_ui
