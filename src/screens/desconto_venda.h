// The sale-level discount of the sale screen: the "Desconto %:" and
// "Valor Desconto:" fields, kept consistent with each other (value = the
// items' net total x percentage / 100, to the cent), the largest percentage
// this sale may take and the supervisor's release that raises it (Ctrl+F2).
//
// The largest percentage is the user's GLO_MAX_DESC at every new sale; a
// release replaces it for the current sale only and fills the sale's
// discount release record, which the closing writes with the note. A
// discount the customer's or partner's registration offers goes through the
// same checks as a typed one, with the origin "CLIENTE".
//
// Each int operation returns 1 when the discount was applied (or the release
// granted) and 0 when it was refused after its message; a refusal leaves the
// previous discount in place, except the two refusals that say the discount
// reaches the items' total, which put it back to 0. Every message goes
// through HostUi; the supervisor's dialog through JanelasVenda.
#pragma once

#include <functional>
#include <string>

#include "data/module_values.h"
#include "runtime/host_ui.h"
#include "sale/classe_venda.h"
#include "screens/janelas_venda.h"

namespace fvn {

// A release record as the supervisor's dialog returned it, with what the
// dialog left empty taken from the session (date, time, operator and user,
// company) and from the supervisor who granted it.
void completa_liberacao(sale::GRUPO_DADOS_LIBERACAO& liberacao, const ModuleValues& valores,
                        const UserAccount& supervisor);

class DescontoVenda {
 public:
  static constexpr std::string_view kOrigemCliente = "CLIENTE";

  DescontoVenda(HostUi& ui, JanelasVenda& janelas, const ModuleValues& valores, sale::CLASSE_VENDA& venda);

  // New sale: the maximum back to GLO_MAX_DESC, the fields, the origin and
  // the release cleared (the facade's Limpa_Venda clears the sale's own).
  void nova_venda();
  // "Desconto %:" accepted.
  int percentual(double percentual);
  // "Valor Desconto:" accepted.
  int valor(double valor);
  // The customer's or partner's configured percentage, accepted by the
  // cashier: the same checks as a typed percentage, origin "CLIENTE".
  int do_cliente(double percentual);
  // Ctrl+F2: a supervisor authenticates and releases a new maximum; the
  // release record goes to the sale. 0 when cancelled or refused (the
  // maximum stays as it was).
  int libera();
  // An item was cancelled or the price table changed: the discount goes
  // back to 0 and the cashier types it again.
  void zera();
  // The items changed: a percentage discount follows the items' new net
  // total (a customer's discount given before the first item included).
  int reaplica();

  [[nodiscard]] double maximo() const { return maximo_; }
  [[nodiscard]] double perc() const { return perc_; }
  [[nodiscard]] double valor_desconto() const { return valor_; }
  // "CLIENTE" when the discount came from the customer or partner, else empty.
  [[nodiscard]] const std::string& origem() const { return origem_; }
  // The release granted in this sale (DATA 0 when none).
  [[nodiscard]] const sale::GRUPO_DADOS_LIBERACAO& liberacao() const { return liberacao_; }

  // The screen's consumer-invoice limits, run after a discount is applied.
  void set_limites(std::function<bool()> limites) { limites_ = std::move(limites); }

 private:
  int aplica_percentual(double percentual, std::string_view origem);
  int aplica(double valor, double percentual, std::string_view origem);
  // The discount reaches the items' total: the message, then back to 0.
  int recusa_total(std::string_view texto);
  void falha_facade();

  HostUi& ui_;
  JanelasVenda& janelas_;
  const ModuleValues& valores_;
  sale::CLASSE_VENDA& venda_;
  double maximo_ = 0;
  double perc_ = 0;
  double valor_ = 0;
  std::string origem_;
  sale::GRUPO_DADOS_LIBERACAO liberacao_;
  std::function<bool()> limites_;
};

}  // namespace fvn
