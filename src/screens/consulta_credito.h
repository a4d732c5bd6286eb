// The customer's credit window of the main menu: runs every credit and block
// check on one customer (as `fvn customer check` does, with no sale total),
// shows each warning, and asks a supervisor to release each block. Blocks
// are grouped by the right that releases them, so one grant covers every
// block of its kind; a warning or block that repeats an earlier reason (the
// cash-sale variants of the overdue checks) is shown once, as the block.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "screens/servicos_cliente.h"

namespace fvn {

class ConsultaCreditoPresenter {
 public:
  static constexpr std::string_view kTitle = "Crédito do Cliente";

  // One release to ask for: the right, the reasons it covers ('|' between
  // them, as the dialog shows them) and, after the supervisor answered, who
  // granted it (empty when refused).
  struct Liberacao {
    Direito direito = Direito::ClienteBloqueado;
    std::string motivos;
    std::string_view sem_permissao;  // the refusal for a user without the right
    std::string liberado_por;
  };

  // `autoriza` asks a supervisor for one release (the dialog); it returns
  // the login of who granted it, empty when nobody did.
  using Autoriza = std::function<std::string(const Liberacao&)>;

  ConsultaCreditoPresenter(HostUi& ui, std::string connection, std::int32_t empresa, UserAccount usuario);

  // Checks `cliente`: shows the warnings, then for each release the user may
  // not give themself says so and asks `autoriza`. The status-bar line: the
  // customer, the checks' outcome and the grants. A database failure is a
  // block like any other (the checks never let a failure through).
  std::string verifica(std::int32_t cliente, const Autoriza& autoriza);

  // The restrictions of the last check, in order, repeated reasons dropped.
  [[nodiscard]] const std::vector<Bloqueio>& restricoes() const { return restricoes_; }
  [[nodiscard]] const std::vector<Liberacao>& liberacoes() const { return liberacoes_; }

 private:
  void junta(const Bloqueio& bloqueio);
  HostUi& ui_;
  ServicosCliente servicos_;
  UserAccount usuario_;
  std::vector<Bloqueio> restricoes_;
  std::vector<Liberacao> liberacoes_;
};

}  // namespace fvn
