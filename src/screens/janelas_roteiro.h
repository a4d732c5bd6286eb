// JanelasRoteiro: the sale's dialogs answered from a plan instead of a
// person. Each dialog runs its real presenter step by step with the plan's
// answers (choosing the condition, editing the down payment and the
// installments, paying form by form, handing over an amount, typing a CPF),
// so a scripted sale (`fvn sell`, the sale screen's tests) obeys exactly the
// rules of the windows: what a window refuses, the plan cannot do either.
// Every message goes through the HostUi given; a dialog whose plan cannot
// be carried out is abandoned (0) as a cashier would leave it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "nfce/validador_fiscal.h"
#include "runtime/clock.h"
#include "runtime/host_ui.h"
#include "screens/autorizacao.h"
#include "screens/cadastro_consumidor.h"
#include "screens/janelas_venda.h"
#include "screens/opcoes_nota.h"

namespace fvn {

struct ModuleValues;

// One payment of FORMA_PAGTO_VENDA.
struct PagamentoRoteiro {
  std::int32_t forma = 0;     // the form's code
  double valor = 0;           // 0: whatever is still due
  std::int32_t parcelas = 0;  // installments of a form paid in installments; 0: the form's own
};

// One edit of PRESTACAO_VENDA's installments ("F8-Alterar").
struct ParcelaRoteiro {
  std::int32_t numero = 0;
  double valor = 0;     // 0: unchanged
  Date vencimento = 0;  // 0: unchanged
};

// The answer to one DETALHE_PRODUTO, in the order the items are sold.
struct DetalheRoteiro {
  double desconto = 0;
  bool desconto_percentual = false;
  double acrescimo = 0;
  bool acrescimo_percentual = false;
};

struct RoteiroVenda {
  // CONDICAO_PAGTO: the condition's code; 0 abandons the dialog.
  std::int32_t condicao = 1;
  // PRESTACAO_VENDA: a down payment to set, and installment edits.
  std::optional<double> entrada;
  std::vector<ParcelaRoteiro> parcelas;
  // FORMA_PAGTO_VENDA: the payments in order; none pays everything due with
  // the first form of the list. The customer's credits are used first when
  // `usa_creditos`.
  std::vector<PagamentoRoteiro> pagamentos;
  bool usa_creditos = false;
  // TELA_TROCO: the amount handed over; none confirms the amount due.
  std::optional<double> valor_entregue;
  // CPF_CNPJ_OPCIONAL: none cancels the dialog.
  std::optional<IdentificacaoConsumidor> consumidor;
  // DETALHE_PRODUTO: one per item sold; an item beyond the list is sold
  // without discount or surcharge.
  std::vector<DetalheRoteiro> detalhes;
  // AUTENTICACAO: the supervisor who releases; an empty login refuses.
  std::string supervisor;
  std::string senha;
  // CADASTRO_CONSUMIDOR_SIMPLIFICADO: the consumer registered; none cancels.
  std::optional<DadosConsumidor> cadastro;
  // OPCOES_NOTA: the buttons pressed, in order, across the menus opened in
  // this sale; a menu the plan leaves open closes with "F12-Fechar". A
  // disabled button is skipped, as a click on it would be.
  std::vector<OPCOES_NOTA::Botao> opcoes;
  // COMISSOES: the percentages typed, {field 1..10, value}.
  std::vector<std::pair<int, double>> comissoes;
  // CONSULTA_VENDAS_FUTURAS: the row chosen (1-based; 0 leaves the list),
  // its pending lines all marked and confirmed.
  int nota_rejeitada = 0;
};

class JanelasRoteiro final : public JanelasVenda {
 public:
  JanelasRoteiro(HostUi& ui, std::string connection, const ModuleValues& valores, SessaoAtual sessao,
                 VALIDADOR_FISCAL& validador, RoteiroVenda roteiro);

  int CONDICAO_PAGTO(sale::VENDA_INTERFACE& venda, std::int32_t tabela_preco) override;
  int PRESTACAO_VENDA(sale::VENDA_INTERFACE& venda) override;
  int FORMA_PAGTO_VENDA(sale::VENDA_INTERFACE& venda) override;
  int TELA_TROCO(double a_pagar, double& pago) override;
  int CPF_CNPJ_OPCIONAL(IdentificacaoConsumidor& consumidor) override;
  int DETALHE_PRODUTO(sale::QUEUE_ITEM& item) override;
  int AUTENTICACAO(Direito direito, std::string_view texto, std::string_view motivo, UserAccount& supervisor,
                   sale::GRUPO_DADOS_LIBERACAO& liberacao) override;
  std::int32_t CADASTRO_CONSUMIDOR_SIMPLIFICADO() override;
  int OPCOES_NOTA(sale::CLASSE_VENDA& venda, ComissoesVenda& comissoes, std::int32_t& opcao) override;
  int COMISSOES(ComissoesVenda& comissoes) override;
  int CONSULTA_VENDAS_FUTURAS(fvn::CONSULTA_VENDAS_FUTURAS& consulta, ItensEntrega& itens) override;

  [[nodiscard]] const RoteiroVenda& roteiro() const { return roteiro_; }
  // Replaces the plan (the next sale of a script).
  void set_roteiro(RoteiroVenda roteiro);

 private:
  HostUi& ui_;
  std::string connection_;
  const ModuleValues& valores_;
  SessaoAtual sessao_;
  VALIDADOR_FISCAL& validador_;
  RoteiroVenda roteiro_;
  std::size_t proximo_detalhe_ = 0;
  std::size_t proxima_opcao_ = 0;
};

}  // namespace fvn
