#include "screens/detalhe_produto.h"

#include "runtime/rounding.h"
#include "screens/pagamento_comum.h"

namespace fvn {

namespace {

constexpr std::string_view kErro = "Erro";

}  // namespace

DetalheProdutoPresenter::DetalheProdutoPresenter(HostUi& ui, sale::QUEUE_ITEM& item)
    : ui_(ui), item_(item), desconto_(item.DESCONTO), acrescimo_(item.ACRESCIMO) {}

double DetalheProdutoPresenter::bruto() const { return round_to(item_.UNITARIO * item_.QUANTIDADE, 2); }

int DetalheProdutoPresenter::le(std::string_view texto, bool percentual, double& destino) {
  const std::optional<double> v = le_valor(texto);
  if (!v || *v < 0) {
    ui_.message(kValorInvalido, kErro, MessageIcon::Error);
    return 0;
  }
  if (percentual && *v >= 100) {
    ui_.message("O percentual deve ser menor que 100%.", kErro, MessageIcon::Error);
    return 0;
  }
  destino = percentual ? round_to(bruto() * *v / 100, 2) : round_to(*v, 2);
  return 1;
}

int DetalheProdutoPresenter::desconto(std::string_view texto, bool percentual) {
  double valor = 0;
  if (le(texto, percentual, valor) != 1) return 0;
  if (valor > 0 && !(valor < round_to(bruto() + acrescimo_, 2))) {
    ui_.message("O desconto deve ser menor que o valor do item.", kErro, MessageIcon::Error);
    return 0;
  }
  desconto_ = valor;
  return 1;
}

int DetalheProdutoPresenter::acrescimo(std::string_view texto, bool percentual) {
  return le(texto, percentual, acrescimo_);
}

int DetalheProdutoPresenter::confirma() {
  if (fechada_) return 0;
  if (desconto_ > 0 && !(desconto_ < round_to(bruto() + acrescimo_, 2))) {
    ui_.message("O desconto deve ser menor que o valor do item.", kErro, MessageIcon::Error);
    return 0;
  }
  item_.DESCONTO = desconto_;
  item_.ACRESCIMO = acrescimo_;
  fechada_ = true;
  resultado_ = 1;
  return 1;
}

int DetalheProdutoPresenter::cancela() {
  fechada_ = true;
  resultado_ = 0;
  return 0;
}

}  // namespace fvn
