#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "desktop/payment_views.h"
#include "desktop/qt_host_ui.h"
#include "payment_views_common.h"
#include "screens/pagamento_comum.h"

namespace fvn::desktop {

using namespace payment_ui;

DetalheProdutoView::DetalheProdutoView(DetalheProdutoPresenter& presenter, QWidget* parent)
    : QDialog(parent),
      presenter_(presenter),
      desconto_(campo(this, "desconto")),
      desconto_percentual_(new QCheckBox("%", this)),
      acrescimo_(campo(this, "acrescimo")),
      acrescimo_percentual_(new QCheckBox("%", this)) {
  setWindowTitle(to_qstring(DetalheProdutoPresenter::kTitle));
  setObjectName("detalhe_produto");
  desconto_percentual_->setObjectName("desconto_percentual");
  acrescimo_percentual_->setObjectName("acrescimo_percentual");
  desconto_->setText(valor_texto(presenter_.valor_desconto()));
  acrescimo_->setText(valor_texto(presenter_.valor_acrescimo()));
  connect(desconto_, &QLineEdit::returnPressed, this, [this] { acrescimo_->setFocus(); });
  connect(acrescimo_, &QLineEdit::returnPressed, this, [this] { confirm(); });
  const sale::QUEUE_ITEM& item = presenter_.item();
  auto* descricao = new QLabel(
      to_qstring(item.CODIGO + " - " + item.DESCRICAO + "  (R$ " + mostra_valor(presenter_.bruto()) + ")"), this);
  auto* form = new QGridLayout;
  form->addWidget(rotulo(this, tr("&Desconto:"), desconto_), 0, 0);
  form->addWidget(desconto_, 0, 1);
  form->addWidget(desconto_percentual_, 0, 2);
  form->addWidget(rotulo(this, tr("&Acréscimo:"), acrescimo_), 1, 0);
  form->addWidget(acrescimo_, 1, 1);
  form->addWidget(acrescimo_percentual_, 1, 2);
  auto* botoes = new QHBoxLayout;
  botoes->addStretch();
  botao(this, botoes, tr("F5-Confirmar"), Qt::Key_F5, [this] { confirm(); });
  botao(this, botoes, tr("F12-Cancelar"), Qt::Key_F12, [this] { reject(); });
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(descricao);
  layout->addLayout(form);
  layout->addLayout(botoes);
  desconto_->setFocus();
  desconto_->selectAll();
}

void DetalheProdutoView::confirm() {
  if (presenter_.desconto(texto(desconto_), desconto_percentual_->isChecked()) != 1) {
    desconto_->setFocus();
    desconto_->selectAll();
    return;
  }
  if (presenter_.acrescimo(texto(acrescimo_), acrescimo_percentual_->isChecked()) != 1) {
    acrescimo_->setFocus();
    acrescimo_->selectAll();
    return;
  }
  if (presenter_.confirma() == 1) accept();
}

void DetalheProdutoView::reject() {
  if (!presenter_.fechada()) presenter_.cancela();
  QDialog::reject();
}

int detalhe_produto_dialog(DetalheProdutoPresenter& presenter, QWidget* parent) {
  return abre<DetalheProdutoView>(presenter, parent);
}

}  // namespace fvn::desktop
