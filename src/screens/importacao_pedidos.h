// ImportacaoPedidos: loads customer orders (one or several) and service
// orders into the sale screen's empty sale instead of typed items. The
// order's customer goes through PartesVenda (the customer checks, with the
// change-customer question when GLO:I_PAR_TROCA_CLIENTE_CARGA_PED allows
// it), its lines with something pending or to invoice are sold through
// EntradaItem with the order's price, discount, surcharge and its number and
// line (X_PED / N_ITEM_PED), and its freight, discount, payment condition,
// interest, installments and down payment are taken over by the facade.
// Service orders bring their customer and lines; their deposits ("sinais")
// are announced before a credit payment and paid into the sale at payment.
//
// A load returns 1 with the sale filled, or 0 after its message: the caller
// then runs the new-sale reset, so a sale is never left half loaded. An order
// already invoiced (pedidos.i_pdi_ide_asaidas / aordens.ide_asaidas set) is
// refused at load; the recording locks the rows again and refuses it there
// too, which is what keeps two stations from invoicing it twice.
//
// Pick windows: the order and service-order browses of browses.h. Several
// codes are chosen by repeated picks: each pick lists only the rows not yet
// chosen of the first row's customer, and leaving the list ends the choice.
//
// Codes pasted into statements are integers built by sql_values.h.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "data/module_values.h"
#include "runtime/host_ui.h"
#include "sale/classe_venda.h"

namespace fvn {

class EntradaItem;
class PartesVenda;

// What a load leaves for the recording (CONTEXTO_VENDA::pedidos,
// ordens_servico and cliente_alterado) and for the payment.
struct CargaPedidos {
  std::vector<std::int32_t> pedidos;
  std::vector<std::int32_t> ordens_servico;
  bool cliente_alterado = false;
  // Lines left pending in their order because the stock would go negative:
  // "order/line" codes, for the screen to show if it wants.
  std::vector<std::string> pendentes;
  [[nodiscard]] bool vazia() const { return pedidos.empty() && ordens_servico.empty(); }
};

class ImportacaoPedidos {
 public:
  ImportacaoPedidos(HostUi& ui, std::string connection, const ModuleValues& valores, sale::CLASSE_VENDA& venda,
                    PartesVenda& partes, EntradaItem& entrada);
  ~ImportacaoPedidos();
  ImportacaoPedidos(const ImportacaoPedidos&) = delete;
  ImportacaoPedidos& operator=(const ImportacaoPedidos&) = delete;

  // The screen's consumer-invoice limits, run once the items, freight and
  // discount are in; false refuses the load. Unset: always true.
  void set_limites(std::function<bool()> limites);

  // New-sale reset: what was loaded is forgotten.
  void nova_venda();

  // Loads order `pedido`. 1 loaded; 0 after a message (run the reset).
  int carrega_pedido(std::int32_t pedido);
  // Loads several orders with the user's default seller, carrier and freight
  // modality, no event. 1 loaded; 0 after a message (run the reset).
  int carrega_pedidos(const std::vector<std::int32_t>& pedidos);
  // Loads service orders. 1 loaded; 0 after a message (run the reset).
  int carrega_ordens(const std::vector<std::int32_t>& ordens);

  // At a credit payment, once the screen computed the condition's plan
  // (which replaces the installments loaded with the order): the single
  // imported order's installments and down payment set again. 1 done or
  // nothing to do; 0 after a message.
  int prestacoes_pedido();

  // What was loaded since the last reset.
  [[nodiscard]] const CargaPedidos& carga() const;

  // Deposits of the loaded service orders: their sum (0 when none), or
  // nullopt after a message when the query failed.
  std::optional<double> total_sinais();
  // Before a credit payment: the deposits' notice "Existem lançamentos de
  // sinais OS ..." when there are any. 1 goes on; 0 the query failed.
  int avisa_sinais();
  // At payment: every deposit paid into the sale with Paga under its payee's
  // payment form. 1 paid (or nothing to pay); 0 after a message.
  int paga_sinais();

  // Pick windows over the browses. Empty / nullopt when the user leaves.
  std::optional<std::int32_t> SELECIONA_PEDIDO(std::int32_t cliente = 0);
  std::vector<std::int32_t> SELECIONA_MULTIPLOS_PEDIDOS(std::int32_t cliente = 0);
  std::vector<std::int32_t> SELECIONA_ORDEM(std::int32_t cliente = 0);

 private:
  struct Estado;
  std::unique_ptr<Estado> estado_;
};

}  // namespace fvn
