// The customer's credit and block checks a sale goes through before payment,
// each computed by one query over that customer's rows: open installments
// (asduplicatas of the customer's sales, amount still owed above zero),
// unused credits (ahcontas postings of kind 3), the customer's limits, birth
// date and credit-bureau record (aclientes) and the company's rules
// (tempresa, tcidade_bloqueada). docs/rights.md describes the rules.
//
// A block check answers 1 when a restriction applies, with its kind (1 =
// must be released by a user with the right, 2 = a warning to show) and a
// reason that says why; 0 when none applies. A check the database cannot
// answer is a restriction of kind 1 whose reason carries the driver's text:
// a failure never lets a sale through unchecked.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "data/passthrough_table.h"
#include "runtime/clock.h"
#include "runtime/host_ui.h"
#include "screens/autorizacao.h"

namespace fvn {

enum class TipoBloqueio : std::int32_t { Nenhum = 0, Liberacao = 1, Aviso = 2 };

struct Bloqueio {
  TipoBloqueio tipo = TipoBloqueio::Nenhum;
  std::string motivo;
  // The right that releases it, and the refusal shown to a user without it.
  Direito direito = Direito::ClienteBloqueado;
  std::string_view sem_permissao;
};

// A month whose installments go above the customer's monthly limit.
struct MesAcimaLimite {
  std::int32_t mes = 0;
  std::int32_t ano = 0;
  double valor = 0;  // open installments due that month plus the plan's
};

// One installment of the plan being checked.
struct ParcelaPlano {
  Date vencimento = 0;
  double valor = 0;
};

// An unused credit of the customer.
struct CreditoCliente {
  std::int32_t id = 0;  // ahcontas.idhistorico, the payment's ID_CREDITO
  double valor = 0;
  std::string descricao;
};

// The refusal to show when `user` may not release every kind-1 block of
// `bloqueios` (the first one they lack the right for); empty when they may.
std::string_view falta_permissao(const UserAccount& user, const std::vector<Bloqueio>& bloqueios);

class ServicosCliente {
 public:
  ServicosCliente(std::string connection, std::int32_t empresa);

  // Each returns 1 and fills `bloqueio` when a restriction applies, else 0.
  int VERIFICA_BLOQUEIO_ATRASO(std::int32_t cliente, Bloqueio& bloqueio);
  int VERIFICA_BLOQUEIO_ATRASO_AVISTA(std::int32_t cliente, Bloqueio& bloqueio);
  int VERIFICA_BLOQUEIO_ATRASO_DIAS(std::int32_t cliente, Bloqueio& bloqueio);
  int VERIFICA_BLOQUEIO_ATRASO_DIAS_AVISTA(std::int32_t cliente, Bloqueio& bloqueio);
  int VERIFICA_BLOQUEIO_CIDADE(std::int32_t cliente, Bloqueio& bloqueio);
  int VERIFICA_BLOQUEIO_IDADE(std::int32_t cliente, Bloqueio& bloqueio);
  int VERIFICACAO_SPC_CLIENTE(std::int32_t cliente, Bloqueio& bloqueio);
  int VERIFICA_BLOQUEIO_LIMITE_CREDITO(std::int32_t cliente, double total_venda, Bloqueio& bloqueio);

  // 1 when the open installments plus `total_parcelado` exceed the limit
  // (`mensagem` says by how much); 0 within it or with no limit; -1 when the
  // database failed (`mensagem` says why).
  int VERIFICA_LIMITE_TOTAL_CLIENTE(std::int32_t cliente, double total_parcelado, std::string& mensagem);
  // 1 with the months above the monthly limit, in date order; 0 when none
  // is (or the customer has no monthly limit); -1 on a database failure.
  int VERIFICA_LIMITE_MENSAL_CLIENTE(std::int32_t cliente, const std::vector<ParcelaPlano>& plano,
                                     std::vector<MesAcimaLimite>& meses, std::string& mensagem);
  // The customer's available credit (sum of unused credits); -1 on a
  // database failure.
  double VERIFICA_CREDITO_CLIENTE(std::int32_t cliente, std::string& mensagem);
  // Offers the customer's unused credits in a pick list; 1 with the chosen
  // one, 0 when the user left or there is none, -1 on a failure (shown).
  int SELECIONA_CREDITO_CLIENTE(HostUi& ui, std::int32_t cliente, CreditoCliente& credito);

  // The last statement's failure text, for the support command.
  [[nodiscard]] const std::string& erro() const { return erro_; }

 private:
  int falha(std::string_view contexto, Bloqueio& bloqueio);
  int atraso(std::int32_t cliente, TipoBloqueio tipo, Bloqueio& bloqueio);
  int atraso_dias(std::int32_t cliente, Bloqueio& bloqueio);
  // The customer's credit limit and open amount (to the cent) and the
  // company's warning percentage: 1 read, 0 no such customer, -1 failed.
  struct Limite {
    double limite = 0;
    double aberto = 0;
    double aviso = 0;
  };
  int le_limite(std::int32_t cliente, Limite& l);
  PassthroughTable table_;
  std::int32_t empresa_;
  std::string erro_;
};

}  // namespace fvn
