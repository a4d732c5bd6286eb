#include "desktop/login_view.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "desktop/dialogs.h"
#include "desktop/qt_host_ui.h"

namespace fvn::desktop {

LoginView::LoginView(LoginPresenter& presenter, std::function<bool(const UserAccount&)> accepted, QWidget* parent)
    : QDialog(parent),
      presenter_(presenter),
      accepted_(std::move(accepted)),
      user_(new QLineEdit(this)),
      password_(new QLineEdit(this)) {
  setWindowTitle(to_qstring(LoginPresenter::kTitle));
  auto* form = user_password_form(this, user_, password_);
  auto* enter = new QPushButton(tr("&Entrar"), this);
  auto* leave = new QPushButton(tr("Sai&r"), this);
  enter->setDefault(true);
  leave->setAutoDefault(false);
  connect(enter, &QPushButton::clicked, this, [this] { this->enter(); });
  connect(leave, &QPushButton::clicked, this, &QDialog::reject);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(enter);
  buttons->addWidget(leave);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addLayout(buttons);
  setMinimumWidth(340);
  user_->setFocus();
}

void LoginView::enter() {
  entered_.start();
  switch (presenter_.submit(user_->text().toStdString(), password_->text().toStdString())) {
    case LoginPresenter::Outcome::Accepted:
      password_->clear();
      if (accepted_(presenter_.user())) {
        accept();
      } else {
        password_->setFocus();
      }
      return;
    case LoginPresenter::Outcome::Retry:
      password_->clear();
      (user_->text().trimmed().isEmpty() ? user_ : password_)->setFocus();
      return;
    case LoginPresenter::Outcome::Closed:
      exhausted_ = true;
      reject();
      return;
  }
}

}  // namespace fvn::desktop
