// RecargaVenda: reads a rejected sale back into the sale screen, so that it
// is issued again under its own number. The screen chose the sale
// (CONSULTA_VENDAS_FUTURAS), confirmed the question and ran its new-sale
// reset; the loader then applies the old header through the screen's own
// routines (PartesVenda: the old sale's emitter - its number is handed over
// only within its series -, operation, freight modality, customer - asking
// "Deseja alterar o cliente?" -, event, partner, seller, carrier; purpose,
// issue date (today) and price table on the facade and EntradaItem), sells
// the items again through EntradaItem (only the marked lines with their
// quantities to deliver when the items-to-deliver list holds lines of this
// sale; every line otherwise), then volumes, discount, expenses, insurance
// and freight (in proportion to the part of the old items sold again), the
// payment condition and, for a credit one, the interest and installments.
//
// A failure shows its message and returns 0: the caller runs the new-sale
// reset. On success the loader remembers the sale: the recording gets it as
// CONTEXTO_VENDA::venda_recarregada (the recording locks the old row,
// reverses it with kind 'R' and keeps its number; a second station that
// reloaded the same sale is refused there, and Verifica_Disponivel tells it
// why before the payment dialogs), and at the payment of a credit sale
// Assume_Prestacoes puts the old installments back in the plan.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "data/module_values.h"
#include "runtime/clock.h"
#include "runtime/host_ui.h"
#include "sale/classe_venda.h"
#include "screens/consulta_vendas_futuras.h"

namespace fvn {

class PartesVenda;
class PassthroughTable;
class EntradaItem;

// What the reload put on screen, for the window's fields.
struct CabecalhoRecarga {
  std::int32_t venda = 0;    // the old sale (cidesaidas)
  std::int32_t numero = 0;   // its invoice number, kept
  std::int32_t emissor = 0;  // its series: the number is handed over within it
  std::int32_t operacao = 0;
  std::int32_t cliente = 0;
  std::string nome_cliente;
  std::int32_t vendedor = 0;
  std::int32_t transportadora = 0;
  std::int32_t tipo_frete = 9;
  std::int32_t evento = 0;
  std::int32_t parceria = 0;
  std::int32_t finalidade = 1;
  Date emissao = 0;
  std::int32_t tabela_preco = 0;
  std::int32_t condicao = 0;
  std::int32_t tipo_condicao = 1;  // 1 cash, 2 credit
  double desconto = 0, despesas = 0, seguro = 0, frete = 0, acrescimo = 0;
  double total_itens = 0;  // the old items' gross total
  double total = 0;        // the old sale's total
  std::string observacoes;
  std::string chave;
};

class RecargaVenda {
 public:
  static constexpr std::string_view kSucesso = "Nota Fiscal ao consumidor rejeitada carregada com sucesso.";

  RecargaVenda(HostUi& ui, std::string connection, const ModuleValues& valores, sale::CLASSE_VENDA& venda,
               PartesVenda& partes, EntradaItem& entrada, const ItensEntrega& itens = itens_a_entregar());
  RecargaVenda(const RecargaVenda&) = delete;
  RecargaVenda& operator=(const RecargaVenda&) = delete;

  // The customer browse "&Sim" to "Deseja alterar o cliente?" opens; the
  // chosen customer's code, or none. Unset: the shop's customer browse
  // through HostUi's pick list.
  void set_escolhe_cliente(std::function<std::optional<std::int32_t>()> escolhe) {
    escolhe_cliente_ = std::move(escolhe);
  }

  // Reads sale `venda` into the facade (which the caller emptied) and shows
  // the success message. 1 loaded; 0 after its message (nothing
  // remembered; the caller resets the sale).
  int Carrega_Venda(std::int32_t venda);

  // The sale being reloaded (0: none): CONTEXTO_VENDA::venda_recarregada.
  [[nodiscard]] std::int32_t venda_recarregada() const { return cabecalho_.venda; }
  [[nodiscard]] const CabecalhoRecarga& cabecalho() const { return cabecalho_; }
  // The new-sale reset forgets the reload.
  void limpa() { cabecalho_ = {}; }

  // Before the payment: 1 when the sale may still be reloaded (no other
  // station recorded it meanwhile); 0 after "A nota fiscal rejeitada N já
  // foi recarregada ..." (title "Aviso do Sistema"); the caller resets.
  int Verifica_Disponivel();

  // At the payment of a credit sale, after the installments were computed:
  // the old sale's installments replace the plan (same values and due
  // dates). 1 done (or nothing to take over); 0 after its message.
  int Assume_Prestacoes();

 private:
  // A facade refusal: `contexto` + its error triple, titled "Erro!"; 0.
  int falha_facade(std::string_view contexto);
  // A failed statement: `contexto` + runtime and driver messages; 0.
  int falha_sql(std::string_view contexto, const PassthroughTable& t);
  // The installments' break mode (GLO:I_TEM_TIPO_QUEBRA, 1 when unset).
  [[nodiscard]] std::int32_t quebra() const;
  // The customer of the old sale, or another one when the cashier wants.
  int aplica_cliente(std::int32_t cliente);
  // The old items sold again; 1 when every one was sold.
  int vende_itens(std::int32_t venda);

  HostUi& ui_;
  std::string connection_;
  const ModuleValues& valores_;
  sale::CLASSE_VENDA& venda_;
  PartesVenda& partes_;
  EntradaItem& entrada_;
  const ItensEntrega& itens_;
  std::function<std::optional<std::int32_t>()> escolhe_cliente_;
  CabecalhoRecarga cabecalho_;
};

}  // namespace fvn
