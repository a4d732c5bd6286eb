#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "desktop/payment_views.h"
#include "desktop/qt_host_ui.h"
#include "payment_views_common.h"

namespace fvn::desktop {

using namespace payment_ui;

CpfCnpjOpcionalView::CpfCnpjOpcionalView(CpfCnpjOpcionalPresenter& presenter, QWidget* parent)
    : QDialog(parent),
      presenter_(presenter),
      fisica_(new QRadioButton(tr("&Física"), this)),
      juridica_(new QRadioButton(tr("&Jurídica"), this)),
      cpf_(campo(this, "cpf")),
      cnpj_(campo(this, "cnpj")),
      nome_(campo(this, "nome")) {
  setWindowTitle(to_qstring(CpfCnpjOpcionalPresenter::kTitle));
  setObjectName("cpf_cnpj_opcional");
  cpf_label_ = rotulo(this, tr("&CPF:"), cpf_);
  cnpj_label_ = rotulo(this, tr("C&NPJ:"), cnpj_);
  cpf_->setInputMask("999.999.999-99");
  cnpj_->setInputMask("99.999.999/9999-99");
  nome_->setMaxLength(99);
  auto* tipo = new QGroupBox(tr("Tipo Pessoa"), this);
  auto* tipos = new QHBoxLayout(tipo);
  tipos->addWidget(fisica_);
  tipos->addWidget(juridica_);
  fisica_->setChecked(presenter_.consumidor().tipo_pessoa == 0);
  juridica_->setChecked(presenter_.consumidor().tipo_pessoa == 1);
  connect(fisica_, &QRadioButton::toggled, this, [this](bool marcado) {
    presenter_.tipo_pessoa(marcado ? 0 : 1);
    show_type();
  });
  connect(cpf_, &QLineEdit::returnPressed, this, [this] {
    if (presenter_.cpf(texto(cpf_)) == 1) nome_->setFocus();
    focus();
  });
  connect(cnpj_, &QLineEdit::returnPressed, this, [this] {
    if (presenter_.cnpj(texto(cnpj_)) == 1) nome_->setFocus();
    focus();
  });
  connect(nome_, &QLineEdit::returnPressed, this, [this] { presenter_.nome(texto(nome_)); });
  auto* form = new QFormLayout;
  form->addRow(cpf_label_, cpf_);
  form->addRow(cnpj_label_, cnpj_);
  form->addRow(rotulo(this, tr("N&ome Cliente:"), nome_), nome_);
  auto* botoes = new QHBoxLayout;
  botoes->addStretch();
  botao(this, botoes, tr("F5 - &Confirmar"), Qt::Key_F5, [this] {
    const bool juridica = presenter_.consumidor().tipo_pessoa == 1;
    QLineEdit* documento = juridica ? cnpj_ : cpf_;
    if ((juridica ? presenter_.cnpj(texto(documento)) : presenter_.cpf(texto(documento))) != 1) {
      focus();
      return;
    }
    presenter_.nome(texto(nome_));
    if (presenter_.confirma() == 1) {
      accept();
    } else {
      focus();
    }
  });
  botao(this, botoes, tr("F12 - C&ancelar"), Qt::Key_F12, [this] { reject(); });
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tipo);
  layout->addLayout(form);
  layout->addLayout(botoes);
  show_type();
}

void CpfCnpjOpcionalView::show_type() {
  const bool juridica = presenter_.consumidor().tipo_pessoa == 1;
  cpf_label_->setVisible(!juridica);
  cpf_->setVisible(!juridica);
  cnpj_label_->setVisible(juridica);
  cnpj_->setVisible(juridica);
  (juridica ? cpf_ : cnpj_)->clear();
  (juridica ? cnpj_ : cpf_)->setFocus();
}

// The field the presenter asks for: a refused document was cleared.
void CpfCnpjOpcionalView::focus() {
  const IdentificacaoConsumidor& d = presenter_.consumidor();
  if (d.cpf.empty()) cpf_->clear();
  if (d.cnpj.empty()) cnpj_->clear();
  switch (presenter_.foco()) {
    case CpfCnpjOpcionalPresenter::Foco::Cpf: cpf_->setFocus(); break;
    case CpfCnpjOpcionalPresenter::Foco::Cnpj: cnpj_->setFocus(); break;
    case CpfCnpjOpcionalPresenter::Foco::Nome: nome_->setFocus(); break;
    case CpfCnpjOpcionalPresenter::Foco::TipoPessoa: fisica_->setFocus(); break;
  }
}

void CpfCnpjOpcionalView::reject() {
  if (!presenter_.fechada()) presenter_.cancela();
  QDialog::reject();
}

int cpf_cnpj_opcional_dialog(CpfCnpjOpcionalPresenter& presenter, QWidget* parent) {
  return abre<CpfCnpjOpcionalView>(presenter, parent);
}

}  // namespace fvn::desktop
