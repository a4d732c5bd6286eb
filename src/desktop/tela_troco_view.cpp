#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "desktop/payment_views.h"
#include "desktop/qt_host_ui.h"
#include "payment_views_common.h"

namespace fvn::desktop {

using namespace payment_ui;

TelaTrocoView::TelaTrocoView(TelaTrocoPresenter& presenter, QWidget* parent)
    : QDialog(parent), presenter_(presenter), pago_(campo(this, "valor_pago")), troco_(campo(this, "troco", true)) {
  setWindowTitle(to_qstring(TelaTrocoPresenter::kTitle));
  setObjectName("tela_troco");
  auto* a_pagar = campo(this, "a_pagar", true);
  a_pagar->setText(valor_texto(presenter_.a_pagar()));
  pago_->setText(valor_texto(presenter_.valor_pago()));
  troco_->setText(valor_texto(presenter_.troco()));
  pago_->setAlignment(Qt::AlignRight);
  connect(pago_, &QLineEdit::returnPressed, this, [this] {
    if (presenter_.pago(texto(pago_)) == 1) {
      pago_->setText(valor_texto(presenter_.valor_pago()));
      troco_->setText(valor_texto(presenter_.troco()));
      proximo(pago_);
    } else {
      pago_->selectAll();
    }
  });
  auto* form = new QFormLayout;
  form->addRow(tr("Valor a pagar:"), a_pagar);
  form->addRow(rotulo(this, tr("Valor &Pago:"), pago_), pago_);
  form->addRow(tr("Troco:"), troco_);
  auto* botoes = new QHBoxLayout;
  botoes->addStretch();
  botao(this, botoes, tr("F5 Confirma"), Qt::Key_F5, [this] {
    // The amount typed counts even when Enter was not pressed on it.
    if (presenter_.pago(texto(pago_)) != 1) return;
    troco_->setText(valor_texto(presenter_.troco()));
    if (presenter_.confirma() == 1) {
      accept();
    } else {
      pago_->setFocus();
      pago_->selectAll();
    }
  });
  botao(this, botoes, tr("F12 Voltar"), Qt::Key_F12, [this] { reject(); });
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addLayout(botoes);
  pago_->setFocus();
  pago_->selectAll();
}

void TelaTrocoView::reject() {
  if (!presenter_.fechada()) presenter_.voltar();
  QDialog::reject();
}

int tela_troco_dialog(TelaTrocoPresenter& presenter, QWidget* parent) { return abre<TelaTrocoView>(presenter, parent); }

}  // namespace fvn::desktop
