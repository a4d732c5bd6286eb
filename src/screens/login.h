// The log-in window's logic: the user types a login and a password; the
// window checks them against the shop's users (data/user_accounts.h).
// A wrong login or password gets one message that never says which of the
// two was wrong, and is written to tusuario_tentativas; the third failure
// in one window ends the log-in (the application closes). A database that
// does not answer is shown as such and counts as no attempt.
#pragma once

#include <string>
#include <string_view>

#include "data/passthrough_table.h"
#include "data/user_accounts.h"
#include "runtime/host_ui.h"

namespace fvn {

class LoginPresenter {
 public:
  static constexpr int kMaxAttempts = 3;
  static constexpr std::string_view kTitle = "Acesso ao sistema";

  enum class Outcome {
    Accepted,  // user() is the logged-in user
    Retry,     // a message was shown; the window stays open
    Closed,    // the third failed attempt: the window closes
  };

  LoginPresenter(HostUi& ui, std::string connection);

  Outcome submit(std::string_view login, std::string_view password);

  [[nodiscard]] const UserAccount& user() const { return user_; }
  [[nodiscard]] int failed_attempts() const { return failures_; }

 private:
  HostUi& ui_;
  PassthroughTable table_;
  UserAccount user_;
  int failures_ = 0;
};

}  // namespace fvn
