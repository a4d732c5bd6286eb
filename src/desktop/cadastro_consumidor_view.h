// The simplified consumer registration: "&Nome", "CPF/CN&PJ", "&Telefone",
// "&E-mail", "C&EP", "En&dereço", "Nú&mero", "&Bairro"; "&Gravar" (Enter)
// and "&Cancelar" (Esc). The presenter (screens/cadastro_consumidor.h)
// checks and writes; the dialog closes accepted with the new code.
#pragma once

#include <QDialog>
#include <cstdint>

#include "screens/cadastro_consumidor.h"

class QLineEdit;

namespace fvn::desktop {

class CadastroConsumidorView final : public QDialog {
 public:
  explicit CadastroConsumidorView(CadastroConsumidorPresenter& presenter, QWidget* parent = nullptr);
  [[nodiscard]] std::int32_t codigo() const { return codigo_; }

 private:
  void save();
  QLineEdit* field(const char* name, int max_length);
  CadastroConsumidorPresenter& presenter_;
  QLineEdit* nome_;
  QLineEdit* documento_;
  QLineEdit* telefone_;
  QLineEdit* email_;
  QLineEdit* cep_;
  QLineEdit* endereco_;
  QLineEdit* numero_;
  QLineEdit* bairro_;
  std::int32_t codigo_ = 0;
};

// CADASTRO_CONSUMIDOR_SIMPLIFICADO: the new customer's code; 0 when the user
// has no right (the presenter said so) or cancelled.
std::int32_t cadastro_consumidor(CadastroConsumidorPresenter& presenter, QWidget* parent = nullptr);

}  // namespace fvn::desktop
