#include "screens/forma_pagto_venda.h"

#include <algorithm>
#include <utility>

#include "runtime/picture.h"
#include "runtime/rounding.h"
#include "runtime/runtime_messages.h"
#include "runtime/text.h"
#include "sale/venda_interface.h"
#include "screens/pagamento_comum.h"
#include "screens/servicos_cliente.h"

namespace fvn {

namespace {

constexpr std::string_view kErro = "Erro";

}  // namespace

FormaPagtoVendaPresenter::FormaPagtoVendaPresenter(HostUi& ui, sale::VENDA_INTERFACE& venda, std::string connection,
                                                   ServicosCliente& servicos, PagtoChequeCartao detalhes)
    : ui_(ui),
      venda_(venda),
      table_("FORMAS_PAGAMENTO", std::move(connection)),
      servicos_(servicos),
      detalhes_(std::move(detalhes)) {}

int FormaPagtoVendaPresenter::abre() {
  const int formas = le_formas();
  atualiza();
  valor_pagar_ = total_pagar_;
  sale::GRUPO_CLIENTE cliente;
  if (venda_.Get_Dados_Cliente(cliente) == 1 && cliente.CODIGO != 0) {
    std::string mensagem;
    const double credito = servicos_.VERIFICA_CREDITO_CLIENTE(cliente.CODIGO, mensagem);
    if (credito > 0) {
      ui_.message("Cliente possui R$ " + format_picture(credito, "N10.2") + " em crédito disponível.",
                  "Aviso do Sistema", MessageIcon::Information);
    }
  }
  fim_de_pagamento();
  return formas;
}

// The forms the sale's ledger accepts, in the order of the shop's table.
int FormaPagtoVendaPresenter::le_formas() {
  formas_.clear();
  descricoes_formas_.clear();
  std::int32_t codigo = 0;
  table_.clear_fields();
  table_.bind_long(codigo);
  if (table_.open() != 1 || table_.execute("select i_tef_codigo from tabempfavorecido order by i_tef_codigo") != 1) {
    ui_.message(table_.error_text("Erro ao buscar meios de pagamento.|"), kErro, MessageIcon::Error);
    return 0;
  }
  std::vector<std::int32_t> codigos;
  while (table_.next() == 1) codigos.push_back(codigo);
  table_.close();
  for (const std::int32_t c : codigos) {
    payment::GRUPO_FORMAS_PAGAMENTO forma;
    if (venda_.Get_Forma_Pagamento(c, forma) != 1) continue;
    descricoes_formas_.push_back(text::cut(forma.DESCRICAO, 20));
    formas_.push_back(std::move(forma));
  }
  return 1;
}

void FormaPagtoVendaPresenter::atualiza() {
  total_pagar_ = venda_.Get_Valor_Pagar();
  pago_ = venda_.Get_Valor_Pago();
  troco_ = round_to(-venda_.Get_Valor_Troco(), 2);
  pagamentos_.clear();
  for (std::int32_t i = 1; i <= venda_.Get_Quantidade_Pagamentos(); ++i) {
    payment::Payment p;
    if (venda_.Get_Pagamento(i, p) != 1) break;
    pagamentos_.push_back({text::cut(p.DESCRICAO_FORMA, 19), format_picture(p.VALOR, "n10.2")});
  }
}

// Step 4 of paying: with nothing left to pay, only "F5-Continuar" remains.
void FormaPagtoVendaPresenter::fim_de_pagamento() {
  encerrado_ = !(round_to(total_pagar_, 2) > 0);
  if (encerrado_) {
    valor_pagar_ = 0;
    foco_ = Foco::Continuar;
  } else {
    valor_pagar_ = total_pagar_;
    foco_ = Foco::Valor;
  }
}

int FormaPagtoVendaPresenter::valor(std::string_view texto) {
  const std::optional<double> v = le_valor(texto);
  if (!v) {
    ui_.message(kValorInvalido, kErro, MessageIcon::Error);
    foco_ = Foco::Valor;
    return 0;
  }
  valor_pagar_ = round_to(*v, 2);
  foco_ = Foco::Formas;
  return 1;
}

int FormaPagtoVendaPresenter::paga(std::int32_t posicao_forma) {
  if (encerrado_ || fechada_) return 0;
  if (posicao_forma < 1 || static_cast<std::size_t>(posicao_forma) > formas_.size()) {
    ui_.message("Erro ao dar get na queue local de formas de pagamento.|Erro: " +
                    std::string{runtime_message(rt::kEntryNotFound)},
                kErro, MessageIcon::Error);
    return 0;
  }
  const payment::GRUPO_FORMAS_PAGAMENTO forma = formas_[static_cast<std::size_t>(posicao_forma) - 1];
  if (venda_.Paga(forma.CODIGO, valor_pagar_, 0, {.permite_troco = true}) != 1) {
    ui_.message(falha_venda("Erro ao efetuar pagamento.", venda_), kErro, MessageIcon::Error);
    foco_ = Foco::Valor;
    return 0;
  }
  // A form paid in installments carries a plan that must be filled and
  // concluded before anything else is paid; abandoning it reverses the payment.
  if (forma.COMPOSTA == 1) {
    const int confirmado = detalhes_ ? detalhes_(venda_, forma) : 0;
    if (confirmado != 1) {
      atualiza();
      estorna(venda_.Get_Quantidade_Pagamentos());
      fim_de_pagamento();
      return 0;
    }
  }
  atualiza();
  fim_de_pagamento();
  return 1;
}

int FormaPagtoVendaPresenter::estorna(std::int32_t posicao_pagamento) {
  if (fechada_) return 0;
  if (venda_.Estorna_Pagamento(posicao_pagamento) != 1) {
    ui_.message(falha_venda("Erro ao estornar pagamento.", venda_), kErro, MessageIcon::Error);
    return 0;
  }
  atualiza();
  fim_de_pagamento();
  return 1;
}

int FormaPagtoVendaPresenter::creditos() {
  if (encerrado_ || fechada_) return 0;
  sale::GRUPO_CLIENTE cliente;
  if (venda_.Get_Dados_Cliente(cliente) != 1) {
    ui_.message(falha_venda("Erro ao buscar informações do cliente na classe.", venda_), kErro, MessageIcon::Error);
    return 0;
  }
  CreditoCliente credito;
  int resultado = servicos_.SELECIONA_CREDITO_CLIENTE(ui_, cliente.CODIGO, credito);
  if (resultado == 1) {
    // A credit is paid as cash, at most what is still due; what it leaves
    // stays the customer's when the sale is recorded.
    const payment::GRUPO_FORMAS_PAGAMENTO* dinheiro = nullptr;
    for (const auto& f : formas_) {
      if (f.TIPO == 1 && f.COMPOSTA == 0) {
        dinheiro = &f;
        break;
      }
    }
    const double valor = std::min(credito.valor, round_to(venda_.Get_Valor_Pagar(), 2));
    if (dinheiro == nullptr) {
      ui_.message("Nenhum meio de pagamento em dinheiro para lançar o crédito do cliente.", kErro, MessageIcon::Error);
      resultado = 0;
    } else if (venda_.Paga(dinheiro->CODIGO, valor, credito.id, {}) != 1) {
      ui_.message(falha_venda("Erro ao efetuar pagamento.", venda_), kErro, MessageIcon::Error);
      resultado = 0;
    }
  }
  atualiza();
  fim_de_pagamento();
  return resultado == 1 ? 1 : 0;
}

int FormaPagtoVendaPresenter::voltar() {
  for (std::int32_t i = venda_.Get_Quantidade_Pagamentos(); i >= 1; --i) {
    if (venda_.Estorna_Pagamento(i) != 1) {
      ui_.message(falha_venda("Erro ao estornar pagamento.", venda_), kErro, MessageIcon::Error);
    }
  }
  atualiza();
  fechada_ = true;
  resultado_ = 0;
  return 0;
}

int FormaPagtoVendaPresenter::continuar() {
  if (!encerrado_ || fechada_) return 0;
  fechada_ = true;
  resultado_ = 1;
  return 1;
}

std::int32_t FormaPagtoVendaPresenter::codigo_forma(std::int32_t posicao) const {
  if (posicao < 1 || static_cast<std::size_t>(posicao) > formas_.size()) return 0;
  return formas_[static_cast<std::size_t>(posicao) - 1].CODIGO;
}

std::int32_t FormaPagtoVendaPresenter::posicao_forma(std::int32_t codigo) const {
  for (std::size_t i = 0; i < formas_.size(); ++i) {
    if (formas_[i].CODIGO == codigo) return static_cast<std::int32_t>(i + 1);
  }
  return 0;
}

}  // namespace fvn
