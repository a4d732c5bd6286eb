// DETALHE_PRODUTO: the item's discount and surcharge before it is sold,
// each typed as an amount or as a percentage of the item's gross value
// (unit price times quantity). A discount must leave something to pay.
#pragma once

#include <string_view>

#include "records/queue_item.h"
#include "runtime/host_ui.h"

namespace fvn {

class DetalheProdutoPresenter {
 public:
  static constexpr std::string_view kTitle = "Detalhe do Produto";

  DetalheProdutoPresenter(HostUi& ui, sale::QUEUE_ITEM& item);

  // "Desconto:" / "Acréscimo:" accepted; `percentual` reads the text as a
  // percentage of the gross value. 0 (shown) when refused.
  int desconto(std::string_view texto, bool percentual);
  int acrescimo(std::string_view texto, bool percentual);
  // Enter / F5: writes the discount and surcharge into the item; 1 closes.
  int confirma();
  // Esc / F12: 0, the item untouched.
  int cancela();

  [[nodiscard]] const sale::QUEUE_ITEM& item() const { return item_; }
  [[nodiscard]] double bruto() const;
  [[nodiscard]] double valor_desconto() const { return desconto_; }
  [[nodiscard]] double valor_acrescimo() const { return acrescimo_; }
  [[nodiscard]] bool fechada() const { return fechada_; }
  [[nodiscard]] int resultado() const { return resultado_; }

 private:
  int le(std::string_view texto, bool percentual, double& destino);
  HostUi& ui_;
  sale::QUEUE_ITEM& item_;
  double desconto_;
  double acrescimo_;
  bool fechada_ = false;
  int resultado_ = 0;
};

}  // namespace fvn
