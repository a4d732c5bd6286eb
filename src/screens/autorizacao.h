// A supervisor's authorisation at the cashier's station: a user types a
// login and a password, checked exactly as at log-in (data/user_accounts.h),
// and grants one right when their flags in tusuarios include it. A user may
// not authorise an operation of their own session unless their flag
// i_tus_autoriza_propria allows it. A grant fills the release record that
// the sale records with the note (who, for whom, when, why).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "data/passthrough_table.h"
#include "data/user_accounts.h"
#include "records/release_record.h"
#include "runtime/host_ui.h"

namespace fvn::sale {
class CLASSE_VENDA;
}

namespace fvn {

// The rights a supervisor grants. `Autenticacao` asks for no right: any
// active user who types a valid password (and is not the session's own
// user, unless allowed) is accepted and the caller reads the flags it needs
// from `supervisor()`.
enum class Direito {
  Autenticacao,
  Desconto,          // a discount above the user's maximum
  CancelaItem,       // cancelling an item or the sale
  VendaPrazo,        // a credit sale, or one above the customer's limit
  ClienteBloqueado,  // a sale to a blocked customer
  EstoqueNegativo,   // stock going below zero
  CadastraCliente,   // registering a consumer
};

// True when `user`'s flags include `direito` (always for Autenticacao).
bool tem_direito(const UserAccount& user, Direito direito);

// The kind of release written to the record ("Desconto Nota Fiscal", ...).
std::string_view tipo_liberacao(Direito direito);

// The user of the session asking for the authorisation.
struct SessaoAtual {
  std::int32_t operador = 0;  // GLO_OPERADOR
  std::string usuario;        // GLO_USUARIO's login
  std::int32_t empresa = 0;   // GLO_COD_EMPR
};

class AutorizacaoPresenter {
 public:
  static constexpr int kMaxAttempts = 3;
  static constexpr std::string_view kTitle = "Autorização";

  enum class Outcome {
    Granted,  // supervisor() and liberacao() are filled
    Retry,    // a message was shown; the dialog stays open
    Closed,   // the third refused password: the dialog closes without a grant
  };

  // `texto` is what the dialog shows above the fields (why it is asked);
  // `motivo` goes to the release record.
  AutorizacaoPresenter(HostUi& ui, std::string connection, SessaoAtual sessao, Direito direito, std::string texto,
                       std::string motivo = {});

  Outcome submit(std::string_view login, std::string_view password);

  [[nodiscard]] const std::string& texto() const { return texto_; }
  [[nodiscard]] Direito direito() const { return direito_; }
  [[nodiscard]] const UserAccount& supervisor() const { return supervisor_; }
  [[nodiscard]] const sale::GRUPO_DADOS_LIBERACAO& liberacao() const { return liberacao_; }

 private:
  HostUi& ui_;
  PassthroughTable table_;
  SessaoAtual sessao_;
  Direito direito_;
  std::string texto_;
  std::string motivo_;
  UserAccount supervisor_;
  sale::GRUPO_DADOS_LIBERACAO liberacao_;
  int failures_ = 0;
};

// SETA_VALOR_PERMISSAO's rule: the discount percentage `supervisor` may
// release. 1 with `liberado` set when 0 < `pedido` <= the supervisor's own
// maximum and below 100; otherwise 0 with `motivo` saying why.
int libera_percentual(const UserAccount& supervisor, double pedido, double& liberado, std::string& motivo);

// SETA_ITEM_CANCELAR: offers the sale's live items in a pick list ("Item",
// "Código", "Descrição", "Qtde", "Total"); 1 with `item` set to the chosen
// item's number, 0 (and `item` 0) when the user left or none is live.
int SETA_ITEM_CANCELAR(HostUi& ui, sale::CLASSE_VENDA& venda, std::int32_t& item);

}  // namespace fvn
