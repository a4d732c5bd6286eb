// The modal dialogs the sale screen opens while it builds and closes a sale.
// The screen's presenter calls them through this interface and never knows
// how they are shown: the desktop opens each as a window over its presenter,
// while `fvn sell` and the tests answer them from a script. Each returns 1
// when the operator confirmed and 0 when the dialog was abandoned; an
// abandoned dialog leaves the sale as the dialog found it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "screens/autorizacao.h"

namespace fvn {

namespace sale {
class CLASSE_VENDA;
class VENDA_INTERFACE;
struct QUEUE_ITEM;
}  // namespace sale

// What the consumer-identification dialog hands back.
struct IdentificacaoConsumidor {
  std::string cpf;               // 11 digits, or empty
  std::string cnpj;              // 14 digits, or empty
  std::string nome;              // optional name printed on the note
  std::int32_t tipo_pessoa = 0;  // 0 "Física", 1 "Jurídica"
};

class CONSULTA_VENDAS_FUTURAS;
struct ItensEntrega;

// The sale's ten commission percentages (GLO_COMISSAO_1 to _10), kept by
// the sale screen for the current sale and recorded with it.
using ComissoesVenda = std::array<double, 10>;

class JanelasVenda {
 public:
  JanelasVenda() = default;
  JanelasVenda(const JanelasVenda&) = delete;
  JanelasVenda& operator=(const JanelasVenda&) = delete;
  virtual ~JanelasVenda() = default;

  // The payment condition of the sale, from the conditions of price table
  // `tabela_preco`.
  virtual int CONDICAO_PAGTO(sale::VENDA_INTERFACE& venda, std::int32_t tabela_preco) = 0;
  // The installment plan of a credit sale.
  virtual int PRESTACAO_VENDA(sale::VENDA_INTERFACE& venda) = 0;
  // The payments at the counter; 1 leaves them in the sale's ledger.
  virtual int FORMA_PAGTO_VENDA(sale::VENDA_INTERFACE& venda) = 0;
  // The amount handed over for `a_pagar`; `pago` is written only on 1.
  virtual int TELA_TROCO(double a_pagar, double& pago) = 0;
  // The consumer's CPF or CNPJ and name.
  virtual int CPF_CNPJ_OPCIONAL(IdentificacaoConsumidor& consumidor) = 0;
  // The item's discount and surcharge before it is sold; 0 sells nothing.
  virtual int DETALHE_PRODUTO(sale::QUEUE_ITEM& item) = 0;
  // A supervisor's authorisation (the authorisation module's dialog over
  // `AutorizacaoPresenter`) for `direito`, showing `texto`; `motivo` goes to
  // the release record. 1 with `supervisor` and `liberacao` filled.
  virtual int AUTENTICACAO(Direito direito, std::string_view texto, std::string_view motivo, UserAccount& supervisor,
                           sale::GRUPO_DADOS_LIBERACAO& liberacao) = 0;
  // The simplified consumer registration; the new customer's code, or 0.
  virtual std::int32_t CADASTRO_CONSUMIDOR_SIMPLIFICADO() = 0;
  // The options menu over the sale (screens/opcoes_nota.h): 1 once it
  // closed, `opcao` holding the code the screen acts on. A host that offers
  // no menu leaves `opcao` at 0 and returns 0.
  virtual int OPCOES_NOTA(sale::CLASSE_VENDA& venda, ComissoesVenda& comissoes, std::int32_t& opcao);
  // The commissions form; the percentages stay as edited (always 1 once
  // shown). A host without the form leaves them as they were and returns 0.
  virtual int COMISSOES(ComissoesVenda& comissoes);
  // The rejected invoices to reload (screens/consulta_vendas_futuras.h),
  // over the opened `consulta`, whose items window fills `itens`; 1 when a
  // sale was chosen (consulta.escolhida()). A host without it returns 0.
  virtual int CONSULTA_VENDAS_FUTURAS(fvn::CONSULTA_VENDAS_FUTURAS& consulta, ItensEntrega& itens);
};

}  // namespace fvn
