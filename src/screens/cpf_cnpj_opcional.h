// CPF_CNPJ_OPCIONAL: the consumer's CPF ("Física") or CNPJ ("Jurídica") and
// the name printed on the note. The document is checked with the module's
// field validator when its field is accepted and again on confirming; a
// confirmation needs the document of the chosen person type.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "nfce/validador_fiscal.h"
#include "runtime/host_ui.h"
#include "screens/janelas_venda.h"

namespace fvn {

class CpfCnpjOpcionalPresenter {
 public:
  static constexpr std::string_view kTitle = "CPF/CNPJ do Consumidor";

  enum class Foco { TipoPessoa, Cpf, Cnpj, Nome };

  CpfCnpjOpcionalPresenter(HostUi& ui, VALIDADOR_FISCAL& validador);

  // "Tipo Pessoa": 0 "Física" shows the CPF and clears the CNPJ, 1
  // "Jurídica" the reverse.
  void tipo_pessoa(std::int32_t tipo);
  // "CPF:" / "CNPJ:" accepted (digits, with or without the mask's
  // punctuation). 0 when the validator refused it: shown, cleared, focused.
  int cpf(std::string_view texto);
  int cnpj(std::string_view texto);
  // "Nome Cliente:" (up to 99 characters).
  void nome(std::string_view texto);
  // "F5 - &Confirmar": 1 closes with consumidor() filled.
  int confirma();
  // "F12 - C&ancelar": consumidor() emptied, 0, closes.
  int cancela();

  // The CPF and CNPJ as digits; the name as typed.
  [[nodiscard]] const IdentificacaoConsumidor& consumidor() const { return dados_; }
  [[nodiscard]] Foco foco() const { return foco_; }
  [[nodiscard]] bool fechada() const { return fechada_; }
  [[nodiscard]] int resultado() const { return resultado_; }

 private:
  int valida(bool cnpj);
  HostUi& ui_;
  VALIDADOR_FISCAL& validador_;
  IdentificacaoConsumidor dados_;
  Foco foco_ = Foco::Cpf;
  bool fechada_ = false;
  int resultado_ = 0;
};

}  // namespace fvn
