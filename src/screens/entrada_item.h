// EntradaItem: the item entry of the sale screen. A code typed in the
// product field (or a product chosen from the price list) is looked up,
// decoded when it is a scale label, expanded when it is a kit, given its tax
// classification and state CSTs, priced from the chosen price table, checked
// (fractions, stock, the generic consumer's CSTs, the item audit) and sold
// through the facade's Vende_Item. Every refusal shows its message through
// HostUi and leaves the sale as it was; the one step that undoes a sale is
// the screen's consumer-invoice limits (set_limites), which cancel the item
// just sold.
//
// The price table is the screen's: nova_venda sets it back to the company's
// default, escolhe_tabela changes it and, during a sale, sells every live
// line again at the new table's price.
//
// No value typed by the cashier is pasted into a statement: the code goes
// through the table's quoting and numbers through sql_values.h.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "data/module_values.h"
#include "runtime/host_ui.h"
#include "sale/classe_venda.h"
#include "screens/janelas_venda.h"

namespace fvn {

// A price table the operator may choose: 0 "Normal", 1..10 "Tabela1" ..
// "Tabela10" (the company's description when set), 11 "Custo",
// 12 "Compra", 13 "Mínimo", 14 "Padrão".
struct TabelaPreco {
  std::int32_t codigo = 0;
  std::string nome;
};

// A line of an imported order or service order: sold at the order's price,
// discount and surcharge (amounts), tagged with the order's number and line.
struct LinhaPedido {
  std::int32_t produto = 0;  // aprodutos.ccodproduto
  double quantidade = 0;
  double unitario = 0;
  double desconto = 0;
  double acrescimo = 0;
  std::string descricao;         // the order's text for the product; empty: the product's
  std::string pedido;            // X_PED
  std::int32_t item_pedido = 0;  // N_ITEM_PED
};

class EntradaItem {
 public:
  EntradaItem(HostUi& ui, JanelasVenda& janelas, std::string connection, const ModuleValues& valores,
              sale::CLASSE_VENDA& venda);
  EntradaItem(const EntradaItem&) = delete;
  EntradaItem& operator=(const EntradaItem&) = delete;
  ~EntradaItem();

  // Called after each item is sold: the screen's consumer-invoice limits;
  // false means refused, and the item just sold is cancelled again (with
  // the sale's discount, expenses and surcharge set back to 0). Unset:
  // always true.
  void set_limites(std::function<bool()> limites);
  // The import-content sheet shown before a product with an import-content
  // record (its FCI key in CHAVE_FCI) is sold; 0 sells nothing. Unset:
  // nothing is shown.
  void set_ficha_conteudo(std::function<int(sale::QUEUE_ITEM&)> ficha);

  // A new sale: the table goes back to GLO_TAB_PRE_PADRAO and the lines
  // sold so far are forgotten.
  void nova_venda();

  // Sells the typed code (product code, bar code or scale label) with the
  // quantity of the quantity field. 1 sold (a kit: its components); 0
  // refused after a message, the sale as it was (a kit's components sold
  // before the refused one stay sold).
  int vende_codigo(std::string_view codigo, double quantidade);
  // Sells a product chosen from the price list, by its internal code
  // (aprodutos.i_apr_codigo).
  int vende_produto(std::int32_t produto, double quantidade);
  // Sells an order's line: no item-discount dialog (the order set it), a kit
  // is sold as the order priced it, not by its components. 1 sold; 2 not
  // sold because blocked negative stock leaves it pending in its order
  // (after its message); 0 refused after a message.
  int vende_linha_pedido(const LinhaPedido& linha);

  [[nodiscard]] std::int32_t tabela() const;
  // What LOC_TABELA_PRECO shows for the current table.
  [[nodiscard]] std::string nome_tabela() const;
  // The tables the operator may use (usuario_forma_pagto); empty after a
  // message when the query fails.
  std::vector<TabelaPreco> tabelas_permitidas();
  // Chooses the table. During a sale the items are emptied and every live
  // line is sold again at the new price, then the sale's expenses, discount
  // (0), freight and insurance are set again. 1 done; 0 after a message (a
  // table the operator may not use, or a failed re-sale: the sale as it was).
  int escolhe_tabela(std::int32_t tabela);

  // The name of a table number, as the screen shows it.
  [[nodiscard]] std::string nome_tabela(std::int32_t tabela) const;

 private:
  struct Estado;
  std::unique_ptr<Estado> estado_;
};

}  // namespace fvn
