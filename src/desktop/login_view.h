// The log-in window: "&Usuário" and "&Senha", "&Entrar" (Enter) and
// "&Sair" (Esc). Every decision is the presenter's (screens/login.h); the
// view only hands it the two fields and reacts to its outcome.
#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <functional>

#include "screens/login.h"

class QLineEdit;

namespace fvn::desktop {

class LoginView final : public QDialog {
 public:
  // `accepted` runs once the presenter accepts a user; it answers false
  // when the application could not start for that user (it has shown why),
  // and the window then stays open for another try.
  LoginView(LoginPresenter& presenter, std::function<bool(const UserAccount&)> accepted, QWidget* parent = nullptr);

  // Ends the application with status 1 after the last failed attempt.
  [[nodiscard]] bool attempts_exhausted() const { return exhausted_; }
  // Milliseconds since the user last pressed "&Entrar".
  [[nodiscard]] qint64 since_enter_ms() const { return entered_.elapsed(); }

 private:
  void enter();
  LoginPresenter& presenter_;
  std::function<bool(const UserAccount&)> accepted_;
  QLineEdit* user_;
  QLineEdit* password_;
  bool exhausted_ = false;
  QElapsedTimer entered_;
};

}  // namespace fvn::desktop
