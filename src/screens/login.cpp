#include "screens/login.h"

#include "runtime/text.h"

namespace fvn {

LoginPresenter::LoginPresenter(HostUi& ui, std::string connection)
    : ui_(ui), table_("USUARIOS", std::move(connection)) {}

LoginPresenter::Outcome LoginPresenter::submit(std::string_view login, std::string_view password) {
  const std::string name = text::trim(login);
  if (name.empty()) {
    ui_.message("Informe o usuário.", "Atenção", MessageIcon::Exclamation);
    return Outcome::Retry;
  }
  std::string error;
  switch (check_login(table_, name, password, user_, error)) {
    case LoginCheck::Accepted: return Outcome::Accepted;
    case LoginCheck::Failed: ui_.message(error, "Erro", MessageIcon::Error); return Outcome::Retry;
    case LoginCheck::Refused: break;
  }
  ++failures_;
  if (log_failed_login(table_, name, failures_, error) != 1) ui_.message(error, "Erro", MessageIcon::Error);
  if (failures_ >= kMaxAttempts) {
    ui_.message("Usuário ou senha inválidos.|Número máximo de tentativas excedido: o sistema será fechado.",
                "Aviso do sistema", MessageIcon::Error);
    return Outcome::Closed;
  }
  ui_.message("Usuário ou senha inválidos.|Tentativa " + std::to_string(failures_) + " de " +
                  std::to_string(kMaxAttempts) + ".",
              "Aviso do sistema", MessageIcon::Exclamation);
  return Outcome::Retry;
}

}  // namespace fvn
