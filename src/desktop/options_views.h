// The sale screen's options menu and the commissions form over their
// presenters (screens/opcoes_nota.h), keyboard only: each button answers its
// function key, Esc is "F12-Fechar" / "F12-Voltar".
#pragma once

#include <QDialog>
#include <array>

#include "screens/opcoes_nota.h"

class QLineEdit;
class QPushButton;

namespace fvn::desktop {

// OPCOES_NOTA: the eight buttons, enabled as the presenter says; a button
// the presenter closes on closes the window, any other leaves the focus
// where the presenter asks.
class OpcoesNotaView final : public QDialog {
 public:
  explicit OpcoesNotaView(OPCOES_NOTA& presenter, QWidget* parent = nullptr);
  void reject() override;

 private:
  void pressiona(OPCOES_NOTA::Botao botao);
  OPCOES_NOTA& presenter_;
  std::array<QPushButton*, std::size(OPCOES_NOTA::kBotoes)> botoes_{};
};

// COMISSOES: ten fields "comissao_1" to "comissao_10"; a field takes its
// value when it loses the focus or on Enter (which moves to the next);
// a refused value shows the one the sale keeps.
class ComissoesView final : public QDialog {
 public:
  explicit ComissoesView(COMISSOES& presenter, QWidget* parent = nullptr);
  void reject() override;

 private:
  void aplica(int n);
  void aplica_todos();
  COMISSOES& presenter_;
  std::array<QLineEdit*, COMISSOES::kCampos> campos_{};
};

// Shows the menu; 1 once it closed (the presenter holds the option code).
int opcoes_nota_dialog(OPCOES_NOTA& presenter, QWidget* parent = nullptr);
// Shows the form; 1 once it closed (the values stay as edited).
int comissoes_dialog(COMISSOES& presenter, QWidget* parent = nullptr);

}  // namespace fvn::desktop
