#include "desktop/cadastro_consumidor_view.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "desktop/qt_host_ui.h"

namespace fvn::desktop {

QLineEdit* CadastroConsumidorView::field(const char* name, int max_length) {
  auto* edit = new QLineEdit(this);
  edit->setObjectName(name);
  edit->setMaxLength(max_length);
  return edit;
}

CadastroConsumidorView::CadastroConsumidorView(CadastroConsumidorPresenter& presenter, QWidget* parent)
    : QDialog(parent),
      presenter_(presenter),
      nome_(field("nome", 200)),
      documento_(field("documento", 18)),
      telefone_(field("telefone", 20)),
      email_(field("email", 512)),
      cep_(field("cep", 9)),
      endereco_(field("endereco", 200)),
      numero_(field("numero", 60)),
      bairro_(field("bairro", 200)) {
  setWindowTitle(to_qstring(CadastroConsumidorPresenter::kTitle));
  setObjectName("cadastro_consumidor");
  auto* form = new QFormLayout;
  const auto row = [this, form](const QString& caption, QLineEdit* edit) {
    auto* label = new QLabel(caption, this);
    label->setBuddy(edit);
    form->addRow(label, edit);
  };
  row(tr("&Nome:"), nome_);
  row(tr("CPF/CN&PJ:"), documento_);
  row(tr("&Telefone:"), telefone_);
  row(tr("&E-mail:"), email_);
  row(tr("C&EP:"), cep_);
  row(tr("En&dereço:"), endereco_);
  row(tr("Nú&mero:"), numero_);
  row(tr("&Bairro:"), bairro_);
  auto* save = new QPushButton(tr("&Gravar"), this);
  auto* cancel = new QPushButton(tr("&Cancelar"), this);
  save->setDefault(true);
  cancel->setAutoDefault(false);
  connect(save, &QPushButton::clicked, this, [this] { this->save(); });
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(save);
  buttons->addWidget(cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addLayout(buttons);
  setMinimumWidth(460);
  nome_->setFocus();
}

void CadastroConsumidorView::save() {
  const auto text = [](const QLineEdit* edit) { return edit->text().toStdString(); };
  codigo_ = presenter_.grava({text(nome_), text(documento_), text(telefone_), text(email_), text(cep_), text(endereco_),
                              text(numero_), text(bairro_)});
  if (codigo_ != 0) accept();
}

std::int32_t cadastro_consumidor(CadastroConsumidorPresenter& presenter, QWidget* parent) {
  if (!presenter.abre()) return 0;
  CadastroConsumidorView view(presenter, parent);
  return view.exec() == QDialog::Accepted ? view.codigo() : 0;
}

}  // namespace fvn::desktop
