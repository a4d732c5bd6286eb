#include "desktop/autorizacao_view.h"

#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "desktop/dialogs.h"
#include "desktop/qt_host_ui.h"

namespace fvn::desktop {

namespace {

// The callers' texts break lines with "\r\n" or "|".
QString linhas(std::string_view texto) {
  QString out = to_qstring(texto);
  out.replace("\r\n", "\n");
  out.replace('|', '\n');
  return out;
}

}  // namespace

AutorizacaoView::AutorizacaoView(AutorizacaoPresenter& presenter, QWidget* parent)
    : QDialog(parent), presenter_(presenter), user_(new QLineEdit(this)), password_(new QLineEdit(this)) {
  setWindowTitle(to_qstring(AutorizacaoPresenter::kTitle));
  setObjectName("autorizacao");
  auto* reason = new QLabel(linhas(presenter.texto()), this);
  reason->setObjectName("motivo");
  reason->setWordWrap(true);
  auto* form = user_password_form(this, user_, password_);
  auto* grant = new QPushButton(tr("&Autorizar"), this);
  auto* cancel = new QPushButton(tr("&Cancelar"), this);
  grant->setDefault(true);
  cancel->setAutoDefault(false);
  connect(grant, &QPushButton::clicked, this, [this] { authorise(); });
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(grant);
  buttons->addWidget(cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(reason);
  layout->addLayout(form);
  layout->addLayout(buttons);
  setMinimumWidth(380);
  user_->setFocus();
}

void AutorizacaoView::authorise() {
  const auto outcome = presenter_.submit(user_->text().toStdString(), password_->text().toStdString());
  password_->clear();
  switch (outcome) {
    case AutorizacaoPresenter::Outcome::Granted: accept(); return;
    case AutorizacaoPresenter::Outcome::Closed: reject(); return;
    case AutorizacaoPresenter::Outcome::Retry:
      (user_->text().trimmed().isEmpty() ? user_ : password_)->setFocus();
      return;
  }
}

int autenticacao(AutorizacaoPresenter& presenter, QWidget* parent) {
  AutorizacaoView view(presenter, parent);
  return view.exec() == QDialog::Accepted ? 1 : 0;
}

int seta_valor_permissao(HostUi& ui, const UserAccount& supervisor, std::string_view prompt, double& percentual,
                         QWidget* parent) {
  QDialog dialog(parent);
  dialog.setWindowTitle(to_qstring(AutorizacaoPresenter::kTitle));
  dialog.setObjectName("valor_permissao");
  auto* value = new QDoubleSpinBox(&dialog);
  value->setObjectName("percentual");
  value->setDecimals(2);
  value->setRange(0, 99.99);
  value->setSuffix(" %");
  value->setValue(percentual);
  auto* release = new QPushButton(QObject::tr("&Liberar"), &dialog);
  auto* cancel = new QPushButton(QObject::tr("&Cancelar"), &dialog);
  release->setDefault(true);
  cancel->setAutoDefault(false);
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(new QLabel(linhas(prompt), &dialog));
  layout->addWidget(value);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(release);
  buttons->addWidget(cancel);
  layout->addLayout(buttons);
  QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
  QObject::connect(release, &QPushButton::clicked, &dialog, [&] {
    value->interpretText();
    std::string motivo;
    if (libera_percentual(supervisor, value->value(), percentual, motivo) == 1) {
      dialog.accept();
    } else {
      ui.message(motivo, "Aviso do Sistema", MessageIcon::Exclamation);
      value->setFocus();
      value->selectAll();
    }
  });
  value->setFocus();
  value->selectAll();
  return dialog.exec() == QDialog::Accepted ? 1 : 0;
}

}  // namespace fvn::desktop
