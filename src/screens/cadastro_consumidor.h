// The simplified consumer registration: name, CPF or CNPJ, phone, e-mail and
// the address with its postcode, whose municipality must be in the
// municipality table. The document and phone are checked with the module's
// field validator; a CPF or CNPJ that another customer already has is
// refused. The new customer takes the next code of seque_aclientes (codes
// already taken are skipped) and is written in one statement.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "data/passthrough_table.h"
#include "nfce/validador_fiscal.h"
#include "runtime/host_ui.h"

namespace fvn {

struct DadosConsumidor {
  std::string nome;
  std::string documento;  // CPF (11 digits) or CNPJ (14), punctuation allowed
  std::string telefone;   // optional; DDD + number
  std::string email;      // optional
  std::string cep;        // required; fills city, UF, and street and district when left empty
  std::string endereco;
  std::string numero;
  std::string bairro;
};

class CadastroConsumidorPresenter {
 public:
  static constexpr std::string_view kTitle = "Cadastro de Consumidor";

  // `permitido` is the logged-in user's registration right.
  CadastroConsumidorPresenter(HostUi& ui, std::string connection, VALIDADOR_FISCAL& validador, bool permitido);

  // False, after saying so, when the user has no right to register; the
  // caller then offers the customer list instead.
  bool abre();

  // The new customer's code; 0 when something was refused or failed (a
  // message says what, and the dialog stays open).
  std::int32_t grava(const DadosConsumidor& dados);

 private:
  std::int32_t recusa(std::string_view texto);
  HostUi& ui_;
  PassthroughTable table_;
  VALIDADOR_FISCAL& validador_;
  bool permitido_;
};

// True when `email` has the shape name@domain.tld with no blanks.
bool email_valido(std::string_view email);

}  // namespace fvn
