// Reloading a rejected invoice, the choosing side: three window presenters,
// toolkit-free, and the module-wide list of items to deliver they fill.
//
//   CONSULTA_VENDAS_FUTURAS        "Consultar Notas Fiscais Rejeitadas": the
//                                  invoices issued in contingency that the
//                                  service never authorised, filtered by
//                                  emission dates, customer and emitter.
//                                  Opening pings the service and settles the
//                                  pending notes first; F2 asks the
//                                  processor whether the chosen key may be
//                                  sent again, then opens the items window.
//   SELECIONA_ITENS_VENDA_FUTURA   "Itens Nota Rejeitada": the chosen
//                                  invoice's item lines that still have a
//                                  quantity pending delivery; the cashier
//                                  marks them (F3, F4, F7, F8) and confirms.
//   ALTERA_QTDE_ITEM               the quantity to deliver of one line (never
//                                  above what is pending; no fraction for a
//                                  product that forbids fractional sales).
//
// What is pending of a line is its quantity minus what later sales
// delivering it (ide_futura = the invoice, i_ahi_ide_entregue = the line)
// already sold; it is read again when a line is marked, so a line another
// station delivered meanwhile cannot be marked. The marked lines are left in
// the items-to-deliver list, which the reload sells again.
//
// Everything shown goes through HostUi; numbers reach SQL through
// sql_values.h only.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/clock.h"
#include "runtime/host_ui.h"
#include "screens/exportacao_xml.h"

namespace fvn {

class NFCE_PROCESSO;
class PassthroughTable;

// The rows the window lists: issued in contingency and never authorised
// (nor cancelled, nor already reloaded under their number).
inline constexpr std::string_view kNotasRejeitadas =
    "(coalesce(s_asa_protocolo_nfe,'') = '' and i_asa_contigencia = 1 and i_asa_oid_quorvex = 0) and "
    "i_asa_numero_reutilizado = 0 and coalesce(s_asa_estorno, 'R') = 'R'";

// One line of the items-to-deliver list.
struct ItemEntrega {
  bool marcado = false;        // "X"
  std::int32_t linha = 0;      // cidehistorico of the sold line
  std::int32_t produto = 0;    // cprohistorico
  std::string descricao;       // CDesHistorico
  std::string unidade;         // the product's unit
  std::int32_t nota = 0;       // the invoice number
  double quantidade_nota = 0;  // the line's quantity on the invoice
  double pendente = 0;         // still to deliver ("Qtde. Nota" of ALTERA_QTDE_ITEM)
  double entrega = 0;          // to deliver now; starts equal to pendente
  double liquido = 0;          // the line's net value (total - discount + surcharge)
  double desconto = 0;
  double acrescimo = 0;
  double valor = 0;  // the sold line's total value
};

// The module-wide list of items to deliver: refilled each time an invoice
// is chosen, read by the reload.
struct ItensEntrega {
  std::int32_t venda = 0;  // the invoice the lines belong to (0: none chosen)
  std::vector<ItemEntrega> itens;

  void limpa() {
    venda = 0;
    itens.clear();
  }
  // The line with item line id `linha`, or nullptr.
  ItemEntrega* busca(std::int32_t linha);
  [[nodiscard]] const ItemEntrega* busca(std::int32_t linha) const;
  [[nodiscard]] bool algum_marcado() const;
};

// The module's list.
ItensEntrega& itens_a_entregar();

// SELECIONA_ITENS_VENDA_FUTURA (sale id).
class SELECIONA_ITENS_VENDA_FUTURA {
 public:
  static constexpr std::string_view kTitulo = "Itens Nota Rejeitada";
  static const std::vector<std::string>& colunas();

  SELECIONA_ITENS_VENDA_FUTURA(HostUi& ui, std::string connection, ItensEntrega& itens, std::int32_t venda);

  // Opening: empties the list and loads the lines with a pending quantity.
  // 0 when the window closes at once (no line pending, or a failed query,
  // after its message).
  int abre();
  // The rows as the list shows them (the columns of colunas()).
  [[nodiscard]] std::vector<std::vector<std::string>> linhas() const;
  [[nodiscard]] const ItensEntrega& itens() const { return itens_; }

  // F3 / F4 on row `linha` (1-based); marking reads the pending quantity
  // again and refuses a line with nothing left. 1 done.
  int marca(int linha);
  int desmarca(int linha);
  // F7 / F8: every line (a line with nothing left stays unmarked after its
  // message). 1 when every line could be marked.
  int marca_todos();
  void desmarca_todos();
  // "Total de itens:" and "Valor total dos itens:" of the marked lines (the
  // value in proportion to the quantity to deliver).
  [[nodiscard]] std::int32_t total_itens() const;
  [[nodiscard]] double valor_total_itens() const;
  // F2-Confirmar: the number of marked lines (0 after a message when none
  // is marked: the window stays open). The window closes on non-zero.
  int confirma();

 private:
  // The quantity of line `item` not yet delivered, or none after the
  // failure's message.
  std::optional<double> pendente(const ItemEntrega& item);
  // A failed query of ahistorico, shown titled "Erro!"; 0.
  int falha_sql(const PassthroughTable& t);

  HostUi& ui_;
  std::string connection_;
  ItensEntrega& itens_;
  std::int32_t venda_;
};

// ALTERA_QTDE_ITEM (item line id): "Qtde. Entrega:" of one marked line.
class ALTERA_QTDE_ITEM {
 public:
  ALTERA_QTDE_ITEM(HostUi& ui, std::string connection, ItensEntrega& itens, std::int32_t linha);

  // Fills the fields from the list; 0 after a message when the line is not
  // in it.
  int abre();
  [[nodiscard]] std::int32_t codigo() const { return codigo_; }
  [[nodiscard]] const std::string& descricao() const { return descricao_; }
  [[nodiscard]] double qtde_nota() const { return qtde_nota_; }
  [[nodiscard]] double qtde_entrega() const { return qtde_entrega_; }
  // "Qtde. Entrega:" accepted: above "Qtde. Nota:" it is refused with its
  // message and the field goes back to the invoice quantity (0).
  int qtde_entrega(double quantidade);
  // F5-Salvar: the product's fraction rule, then the quantity stored as the
  // line's quantity to deliver. 1 saved (the window closes); 0 after its
  // message (the focus back on the quantity).
  int salva();

 private:
  HostUi& ui_;
  std::string connection_;
  ItensEntrega& itens_;
  std::int32_t linha_;
  std::int32_t codigo_ = 0;
  std::string descricao_;
  double qtde_nota_ = 0;
  double qtde_entrega_ = 0;
};

// The filters of CONSULTA_VENDAS_FUTURAS (0: "Todos").
struct FiltroVendasFuturas {
  Date de = 0;
  Date ate = 0;
  std::int32_t cliente = 0;
  std::int32_t emissor = 0;
};

// One listed invoice.
struct VendaRejeitada {
  std::int32_t id = 0;
  std::int32_t cliente = 0;
  std::string nome_cliente;
  Date emissao = 0;
  std::int32_t nota = 0;
  std::string vp;  // "V" cash, "P" credit
  double total = 0, desconto = 0, acrescimo = 0, entrada = 0;
  std::string forma_pagamento;
  double icms = 0, isento = 0, iss = 0, st = 0, ipi = 0;
  std::string chave;
};

// CONSULTA_VENDAS_FUTURAS.
class CONSULTA_VENDAS_FUTURAS {
 public:
  static constexpr std::string_view kTitulo = "Consultar Notas Fiscais Rejeitadas";
  static const std::vector<std::string>& colunas();

  // Opens the items window for a sale; its result (non-zero: lines
  // confirmed). The desktop shows SELECIONA_ITENS_VENDA_FUTURA over its
  // presenter; unset, every pending line is marked and confirmed.
  using JanelaItens = std::function<int(SELECIONA_ITENS_VENDA_FUTURA& itens)>;

  // `processo` has its connection set; `empresa` is the company whose
  // notes are settled and listed.
  CONSULTA_VENDAS_FUTURAS(HostUi& ui, NFCE_PROCESSO& processo, ExportCompany empresa, ItensEntrega& itens);
  void set_janela_itens(JanelaItens janela) { janela_itens_ = std::move(janela); }

  // Opening: both dates today, the connectivity check and, when the
  // service answers, the pending notes settled and the list read. 0: the
  // window closes at once.
  int abre(Date hoje = today());
  // The filters; a final date before the initial one is refused ("Aviso do
  // sistema") and the list is left as it was. Each reads the list again.
  int filtro(const FiltroVendasFuturas& filtro);
  [[nodiscard]] const FiltroVendasFuturas& filtros() const { return filtro_; }
  // Reads the list; 0 after the failure's message.
  int atualiza();
  [[nodiscard]] const std::vector<VendaRejeitada>& vendas() const { return vendas_; }
  [[nodiscard]] std::vector<std::vector<std::string>> linhas() const;

  // F2-Selecionar on row `linha` (1-based): the processor's resend check,
  // then the items window. 1 when lines were confirmed (the window closes;
  // escolhida() is the sale), 0 otherwise.
  int seleciona(int linha);
  [[nodiscard]] std::int32_t escolhida() const { return escolhida_; }

 private:
  HostUi& ui_;
  NFCE_PROCESSO& processo_;
  ExportCompany empresa_;
  ItensEntrega& itens_;
  JanelaItens janela_itens_;
  FiltroVendasFuturas filtro_;
  std::vector<VendaRejeitada> vendas_;
  std::int32_t escolhida_ = 0;
};

}  // namespace fvn
