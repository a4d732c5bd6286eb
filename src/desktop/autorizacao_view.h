// The supervisor's authorisation dialog: the reason it is asked for, then
// "&Usuário" and "&Senha", "&Autorizar" (Enter) and "&Cancelar" (Esc).
// The presenter (screens/autorizacao.h) decides; the dialog closes accepted
// on a grant, rejected on cancel or after the last refused password.
// seta_valor_permissao asks the discount percentage a granted supervisor
// releases.
#pragma once

#include <QDialog>
#include <optional>
#include <string_view>

#include "screens/autorizacao.h"

class QLineEdit;

namespace fvn::desktop {

class AutorizacaoView final : public QDialog {
 public:
  explicit AutorizacaoView(AutorizacaoPresenter& presenter, QWidget* parent = nullptr);

 private:
  void authorise();
  AutorizacaoPresenter& presenter_;
  QLineEdit* user_;
  QLineEdit* password_;
};

// AUTENTICACAO: shows the dialog; 1 when the presenter granted.
int autenticacao(AutorizacaoPresenter& presenter, QWidget* parent = nullptr);

// SETA_VALOR_PERMISSAO: asks `prompt` for a percentage until `supervisor`
// may release it (libera_percentual) or the user cancels; 1 with `percentual`.
int seta_valor_permissao(HostUi& ui, const UserAccount& supervisor, std::string_view prompt, double& percentual,
                         QWidget* parent = nullptr);

}  // namespace fvn::desktop
