// CONDICAO_PAGTO: the payment conditions of the sale's price table, each
// with its simulated line ("3x 33,33"), and the one the cashier chooses
// applied to the sale. A condition beyond the user's limits (installments,
// days between them, days to the first) or a credit condition on a sale
// with nothing to pay is refused and the sale keeps its previous condition.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "data/passthrough_table.h"
#include "data/record_columns.h"
#include "payment/payment_conditions.h"
#include "runtime/host_ui.h"

namespace fvn {

namespace sale {
class VENDA_INTERFACE;
}
struct ModuleValues;

// A tformapagto row as the conditions dialog and the sale's parties read it:
// the condition, then the columns the condition does not hold.
struct FormaPagtoLida {
  payment::PaymentCondition condicao;
  double desconto = 0;
  std::string observacao;
  std::int32_t permite_alterar = 0;
  std::int32_t imprime_relatorio = 0;
  std::int32_t paf_ide = 0;
};
const RecordColumns<FormaPagtoLida>& colunas_forma_pagto();

// One row of "F11-Condição de Pagamento:".
struct LinhaCondicao {
  std::int32_t codigo = 0;
  std::string condicao;   // the description, 20 characters
  std::string simulacao;  // the simulated line, 20 characters
};

class CondicaoPagtoPresenter {
 public:
  static constexpr std::string_view kTitle = "Condições de Pagamento";

  CondicaoPagtoPresenter(HostUi& ui, sale::VENDA_INTERFACE& venda, std::string connection, std::int32_t tabela_preco,
                         const ModuleValues& valores);

  // Opening: the facade's conditions replaced by those of the price table,
  // simulated against the sale. 0 when a step failed (shown).
  int abre();
  // Enter on the list, or "F5-Continuar", on the condition at `posicao`
  // (1-based). 1 closes the window with the condition applied.
  int escolhe(std::int32_t posicao);
  // "F12-Voltar": 0, closes.
  int voltar();

  [[nodiscard]] double total() const { return total_; }  // "Total:"
  [[nodiscard]] const std::vector<LinhaCondicao>& linhas() const { return linhas_; }
  // The 1-based position of condition `codigo`; 0 when not listed.
  [[nodiscard]] std::int32_t posicao(std::int32_t codigo) const;
  [[nodiscard]] bool fechada() const { return fechada_; }
  [[nodiscard]] int resultado() const { return resultado_; }

 private:
  HostUi& ui_;
  sale::VENDA_INTERFACE& venda_;
  PassthroughTable table_;
  std::int32_t tabela_preco_;
  const ModuleValues& valores_;
  double total_ = 0;
  std::vector<LinhaCondicao> linhas_;
  bool fechada_ = false;
  int resultado_ = 0;
};

}  // namespace fvn
