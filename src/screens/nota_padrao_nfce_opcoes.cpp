// The sale screen's options menu (F4) and what its codes start: orders and
// service orders imported, a rejected invoice reloaded under its number;
// and what those loads hand to the payment and the recording.
#include <string>

#include "runtime/picture.h"
#include "runtime/text.h"
#include "screens/consulta_vendas_futuras.h"
#include "screens/desconto_venda.h"
#include "screens/importacao_pedidos.h"
#include "screens/nota_padrao_nfce.h"
#include "screens/opcoes_nota.h"
#include "screens/recarga_venda.h"

namespace fvn {

namespace {

constexpr std::string_view kAviso = "Aviso do Sistema";
constexpr std::string_view kSubstitui =
    "ATENÇÃO: A nota fiscal selecionada será estornada e substituída pela nota que será emitida, o número será o "
    "mesmo.|Deseja prosseguir?";

}  // namespace

int NotaPadraoNfcePresenter::opcoes() {
  std::int32_t codigo = OPCOES_NOTA::kNada;
  janelas_.OPCOES_NOTA(venda_, comissoes_, codigo);
  opcao(codigo);
  return codigo == OPCOES_NOTA::kNada || codigo == OPCOES_NOTA::kComissoes ? 0 : 1;
}

void NotaPadraoNfcePresenter::opcao(int codigo) {
  // A load into a sale that failed half-way leaves nothing of it.
  const auto carregado = [this](int r) {
    if (r != 1) nova_venda();
  };
  switch (codigo) {
    case OPCOES_NOTA::kItemCancelado: desconto_->zera(); break;  // the discount is typed again
    case OPCOES_NOTA::kCancelaNota: nova_venda(); return;
    case OPCOES_NOTA::kPedido:
      if (const auto pedido = importacao_->SELECIONA_PEDIDO()) carregado(importacao_->carrega_pedido(*pedido));
      break;
    case OPCOES_NOTA::kMultiplosPedidos:
      if (const auto pedidos = importacao_->SELECIONA_MULTIPLOS_PEDIDOS(); !pedidos.empty()) {
        carregado(importacao_->carrega_pedidos(pedidos));
      }
      break;
    case OPCOES_NOTA::kOrdemServico: carrega_ordens(); break;
    case OPCOES_NOTA::kNotaRejeitada: carrega_nota_rejeitada(); break;
    default: break;
  }
  refresca();
}

int NotaPadraoNfcePresenter::carrega_ordens() {
  const auto ordens = importacao_->SELECIONA_ORDEM();
  if (ordens.empty()) return 0;
  if (importacao_->carrega_ordens(ordens) == 1) return 1;
  nova_venda();
  return 0;
}

int NotaPadraoNfcePresenter::carrega_nota_rejeitada() {
  const CONTEXTO_VENDA& c = estacao_.contexto;
  CONSULTA_VENDAS_FUTURAS consulta(ui_, processo_, {c.empresa, c.cnpj, c.grupo_edoc, c.login_edoc, c.senha_edoc},
                                   itens_a_entregar());
  if (consulta.abre() != 1) return 0;
  if (janelas_.CONSULTA_VENDAS_FUTURAS(consulta, itens_a_entregar()) != 1 || consulta.escolhida() == 0) return 0;
  if (ui_.message(kSubstitui, kAviso, MessageIcon::Question, "&Sim|&Não") != 1) {
    nova_venda();
    return 0;
  }
  // The loader reads the old sale into an empty one, without the prompts a
  // new sale starts with.
  carregando_ = true;
  nova_venda();
  carregando_ = false;
  if (recarga_->Carrega_Venda(consulta.escolhida()) != 1) {
    ui_.message("Erro ao carregar nota de venda futura!", "Erro!", MessageIcon::Error);
    nova_venda();
    return 0;
  }
  return 1;
}

CONTEXTO_VENDA NotaPadraoNfcePresenter::contexto_gravacao() {
  CONTEXTO_VENDA c = contexto_fechamento(estacao_.contexto, venda_, tela_);
  const CargaPedidos& carga = importacao_->carga();
  c.pedidos = carga.pedidos;
  c.ordens_servico = carga.ordens_servico;
  c.cliente_alterado = carga.cliente_alterado;
  c.venda_recarregada = recarga_->venda_recarregada();
  c.comissoes = comissoes_;
  return c;
}

bool NotaPadraoNfcePresenter::recarga_disponivel() {
  if (recarga_->venda_recarregada() == 0 || recarga_->Verifica_Disponivel() == 1) return true;
  nova_venda();
  return false;
}

int NotaPadraoNfcePresenter::assume_prestacoes() {
  if (recarga_->venda_recarregada() != 0) return recarga_->Assume_Prestacoes();
  return importacao_->prestacoes_pedido();
}

bool NotaPadraoNfcePresenter::formas_pagamento() {
  const std::int32_t antes = venda_.Get_Quantidade_Pagamentos();
  bool pagou_sinais = false;
  if (!sinais_pagos_ && !importacao_->carga().ordens_servico.empty()) {
    if (importacao_->paga_sinais() != 1) return false;
    pagou_sinais = true;
  }
  sinais_pagos_ = sinais_pagos_ || pagou_sinais;
  if (janelas_.FORMA_PAGTO_VENDA(venda_) == 1) return true;
  if (pagou_sinais) {
    // Left: the sale goes back to how the payment found it.
    while (venda_.Get_Quantidade_Pagamentos() > antes &&
           venda_.Estorna_Pagamento(venda_.Get_Quantidade_Pagamentos()) == 1) {
    }
    sinais_pagos_ = false;
  }
  return false;
}

bool NotaPadraoNfcePresenter::pagamento_rapido_permitido() {
  if (importacao_->carga().ordens_servico.empty()) return true;
  const std::optional<double> sinais = importacao_->total_sinais();
  if (!sinais) return false;
  if (*sinais <= 0) return true;
  ui_.message("Não é possível realizar o fechamento rápido. Existem lançamentos de sinais OS no valor de R$ " +
                  text::trim(format_picture(*sinais, "N10.2")) +
                  " para a(s) ordem(s) de serviço selecionada(s).||Realize o pagamento pela forma normal (F5 - "
                  "Formas Pagto).",
              "Aviso do sistema", MessageIcon::Exclamation);
  return false;
}

}  // namespace fvn
