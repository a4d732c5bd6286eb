// The sale screen's options menu (F4) and the sale's commissions form.
//
// OPCOES_NOTA acts at once on the sale for two of its buttons (cancelling an
// item, editing the commissions) and otherwise only leaves an option code
// telling the sale screen what to do next:
//   0 nothing ("F12-Fechar")          4 the commissions were edited
//   1 an item was cancelled           5 reload a rejected invoice
//   2 abandon the sale                6 import several orders
//   3 import one order                7 import service orders
// While the sale holds no line the four loading buttons are offered and the
// sale's own ("F8-Cancela Nota", "F11-Comissões") are not; once it holds a
// line, the reverse. "F2-Cancela Item" needs a live item.
//
// Cancelling an item asks which one (SETA_ITEM_CANCELAR); a user without
// the cancel right needs a supervisor, whose release goes to the item and is
// recorded with the note. A cancelled item clears the sale-level discount,
// accessory expenses and surcharge: the cashier types them again over the
// new total. Cancelling the whole sale asks for confirmation when the shop
// allows cashiers to (GLO:I_PAR_PERMITE_CANC_CF); otherwise a user who holds
// the cancel right must authenticate first.
//
// Every message goes through HostUi and every dialog through JanelasVenda;
// the presenter never shows anything by itself.
#pragma once

#include <cstdint>
#include <string_view>

#include "data/module_values.h"
#include "runtime/host_ui.h"
#include "sale/classe_venda.h"
#include "screens/janelas_venda.h"

namespace fvn {

class OPCOES_NOTA {
 public:
  static constexpr std::string_view kTitulo = "Opções";

  enum Codigo : std::int32_t {
    kNada = 0,
    kItemCancelado = 1,
    kCancelaNota = 2,
    kPedido = 3,
    kComissoes = 4,
    kNotaRejeitada = 5,
    kMultiplosPedidos = 6,
    kOrdemServico = 7,
  };

  // The menu's buttons, in the order the window lays them out.
  enum class Botao {
    CancelaItem,
    CarregaNotaRejeitada,
    CarregaMultiplosPedidos,
    CancelaNota,
    CarregaOrdem,
    CarregaPedido,
    Comissoes,
    Fechar,
  };
  static constexpr Botao kBotoes[] = {Botao::CancelaItem,
                                      Botao::CarregaNotaRejeitada,
                                      Botao::CarregaMultiplosPedidos,
                                      Botao::CancelaNota,
                                      Botao::CarregaOrdem,
                                      Botao::CarregaPedido,
                                      Botao::Comissoes,
                                      Botao::Fechar};

  // "F2-Cancela Item", ...; the key is the caption's prefix.
  static std::string_view legenda(Botao botao);

  // `comissoes` are the sale's ten commission percentages; `opcao` the code
  // left for the screen (written as the buttons decide).
  OPCOES_NOTA(HostUi& ui, JanelasVenda& janelas, const ModuleValues& valores, sale::CLASSE_VENDA& venda,
              ComissoesVenda& comissoes, std::int32_t& opcao);

  [[nodiscard]] bool habilitado(Botao botao) const;
  // Runs a button; true when the menu closes. A disabled button does nothing.
  bool pressiona(Botao botao);
  // The button that should hold the focus (after a failure, the one that failed).
  [[nodiscard]] Botao foco() const { return foco_; }
  [[nodiscard]] std::int32_t opcao() const { return opcao_; }

 private:
  bool cancela_item();
  bool cancela_nota();
  // Shows a facade failure, `contexto` + "|Retorno: ..."; false.
  bool falha(std::string_view contexto, std::string_view titulo);

  HostUi& ui_;
  JanelasVenda& janelas_;
  const ModuleValues& valores_;
  sale::CLASSE_VENDA& venda_;
  ComissoesVenda& comissoes_;
  std::int32_t& opcao_;
  bool com_itens_ = false;
  bool itens_vivos_ = false;
  Botao foco_ = Botao::Fechar;
};

// COMISSOES: "Comissões", ten fields "% Comissão 1:" to "% Comissão 10:"
// (two decimals) bound to the sale's percentages; "F5-Continuar" and
// "F12-Voltar" both close it, leaving the values as edited.
class COMISSOES {
 public:
  static constexpr std::string_view kTitulo = "Comissões";
  static constexpr int kCampos = 10;
  static constexpr double kMaximo = 100;

  explicit COMISSOES(ComissoesVenda& comissoes) : comissoes_(comissoes) {}

  // "% Comissão n:", n from 1.
  [[nodiscard]] static std::string rotulo(int n);
  [[nodiscard]] double valor(int n) const;
  // Rounds to two decimals; a percentage outside 0..100 (or not a number)
  // is refused and the field keeps its value.
  bool set_valor(int n, double percentual);

 private:
  ComissoesVenda& comissoes_;
};

}  // namespace fvn
