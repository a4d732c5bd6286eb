#include "screens/janelas_roteiro.h"

#include <utility>

#include "data/module_values.h"
#include "runtime/picture.h"
#include "sale/venda_interface.h"
#include "screens/condicao_pagto.h"
#include "screens/consulta_vendas_futuras.h"
#include "screens/cpf_cnpj_opcional.h"
#include "screens/detalhe_produto.h"
#include "screens/forma_pagto_venda.h"
#include "screens/pagamento_comum.h"
#include "screens/pagto_cheque_cartao.h"
#include "screens/prestacao_venda.h"
#include "screens/servicos_cliente.h"
#include "screens/tela_troco.h"

namespace fvn {

namespace {

constexpr std::string_view kAviso = "Aviso do Sistema";

// What the plan types into a field: the text a cashier would type.
std::string digitado(double valor) { return valor == 0 ? std::string{} : mostra_valor(valor); }
std::string digitada(Date data) { return data == 0 ? std::string{} : format_picture(data, "@d06"); }

}  // namespace

JanelasRoteiro::JanelasRoteiro(HostUi& ui, std::string connection, const ModuleValues& valores, SessaoAtual sessao,
                               VALIDADOR_FISCAL& validador, RoteiroVenda roteiro)
    : ui_(ui),
      connection_(std::move(connection)),
      valores_(valores),
      sessao_(std::move(sessao)),
      validador_(validador),
      roteiro_(std::move(roteiro)) {}

void JanelasRoteiro::set_roteiro(RoteiroVenda roteiro) {
  roteiro_ = std::move(roteiro);
  proximo_detalhe_ = 0;
  proxima_opcao_ = 0;
}

int JanelasRoteiro::CONDICAO_PAGTO(sale::VENDA_INTERFACE& venda, std::int32_t tabela_preco) {
  CondicaoPagtoPresenter janela(ui_, venda, connection_, tabela_preco, valores_);
  if (janela.abre() != 1 || roteiro_.condicao == 0) return janela.voltar();
  const std::int32_t posicao = janela.posicao(roteiro_.condicao);
  if (posicao == 0) {
    ui_.message("Condição de pagamento " + std::to_string(roteiro_.condicao) +
                    " não oferecida para a tabela de preço " + std::to_string(tabela_preco) + ".",
                kAviso, MessageIcon::Exclamation);
    return janela.voltar();
  }
  return janela.escolhe(posicao) == 1 ? 1 : janela.voltar();
}

int JanelasRoteiro::PRESTACAO_VENDA(sale::VENDA_INTERFACE& venda) {
  ServicosCliente servicos(connection_, valores_.COD_EMPR);
  PrestacaoVendaPresenter janela(ui_, venda, servicos, *this);
  if (janela.abre() != 1) return janela.voltar();
  if (roteiro_.entrada && janela.entrada(digitado(*roteiro_.entrada)) != 1) return janela.voltar();
  for (const ParcelaRoteiro& p : roteiro_.parcelas) {
    if (janela.altera(p.numero, digitada(p.vencimento), digitado(p.valor)) != 1) return janela.voltar();
  }
  return janela.continuar() == 1 ? 1 : janela.voltar();
}

int JanelasRoteiro::FORMA_PAGTO_VENDA(sale::VENDA_INTERFACE& venda) {
  ServicosCliente servicos(connection_, valores_.COD_EMPR);
  std::int32_t parcelas = 0;  // of the payment being made
  const PagtoChequeCartao detalhes = [&](sale::VENDA_INTERFACE& v, const payment::GRUPO_FORMAS_PAGAMENTO& forma) {
    PagtoChequeCartaoPresenter cartao(ui_, v, forma);
    if (cartao.abre() != 1) return cartao.voltar();
    if (parcelas > 0 && cartao.parcelas(std::to_string(parcelas)) != 1) return cartao.voltar();
    return cartao.confirma() == 1 ? 1 : cartao.voltar();
  };
  FormaPagtoVendaPresenter janela(ui_, venda, connection_, servicos, detalhes);
  janela.abre();
  if (roteiro_.usa_creditos && !janela.encerrado()) janela.creditos();
  std::vector<PagamentoRoteiro> pagamentos = roteiro_.pagamentos;
  if (pagamentos.empty() && !janela.encerrado()) pagamentos.push_back({janela.codigo_forma(1), 0, 0});
  for (const PagamentoRoteiro& p : pagamentos) {
    if (janela.encerrado()) break;
    const std::int32_t posicao = janela.posicao_forma(p.forma);
    if (posicao == 0) {
      ui_.message("Meio de pagamento " + std::to_string(p.forma) + " não disponível para esta venda.", kAviso,
                  MessageIcon::Exclamation);
      return janela.voltar();
    }
    if (p.valor != 0 && janela.valor(digitado(p.valor)) != 1) return janela.voltar();
    parcelas = p.parcelas;
    if (janela.paga(posicao) != 1) return janela.voltar();
  }
  if (janela.continuar() != 1) {
    ui_.message("Os pagamentos não cobrem o valor a pagar: faltam R$ " + mostra_valor(janela.total_pagar()) + ".",
                kAviso, MessageIcon::Exclamation);
    return janela.voltar();
  }
  return 1;
}

int JanelasRoteiro::TELA_TROCO(double a_pagar, double& pago) {
  TelaTrocoPresenter janela(ui_, a_pagar);
  if (roteiro_.valor_entregue && janela.pago(digitado(*roteiro_.valor_entregue)) != 1) return janela.voltar();
  if (janela.confirma() != 1) return janela.voltar();
  pago = janela.valor_pago();
  return 1;
}

int JanelasRoteiro::CPF_CNPJ_OPCIONAL(IdentificacaoConsumidor& consumidor) {
  CpfCnpjOpcionalPresenter janela(ui_, validador_);
  if (roteiro_.consumidor) {
    const IdentificacaoConsumidor& plano = *roteiro_.consumidor;
    janela.tipo_pessoa(plano.tipo_pessoa);
    const int aceito = plano.tipo_pessoa == 1 ? janela.cnpj(plano.cnpj) : janela.cpf(plano.cpf);
    janela.nome(plano.nome);
    if (aceito == 1 && janela.confirma() == 1) {
      consumidor = janela.consumidor();
      return 1;
    }
  }
  janela.cancela();
  consumidor = janela.consumidor();
  return 0;
}

int JanelasRoteiro::DETALHE_PRODUTO(sale::QUEUE_ITEM& item) {
  const std::size_t indice = proximo_detalhe_++;
  if (indice >= roteiro_.detalhes.size()) return 1;
  const DetalheRoteiro& d = roteiro_.detalhes[indice];
  DetalheProdutoPresenter janela(ui_, item);
  if (janela.desconto(digitado(d.desconto), d.desconto_percentual) != 1 ||
      janela.acrescimo(digitado(d.acrescimo), d.acrescimo_percentual) != 1) {
    return janela.cancela();
  }
  return janela.confirma() == 1 ? 1 : janela.cancela();
}

int JanelasRoteiro::AUTENTICACAO(Direito direito, std::string_view texto, std::string_view motivo,
                                 UserAccount& supervisor, sale::GRUPO_DADOS_LIBERACAO& liberacao) {
  if (roteiro_.supervisor.empty()) return 0;
  AutorizacaoPresenter janela(ui_, connection_, sessao_, direito, std::string{texto}, std::string{motivo});
  if (janela.submit(roteiro_.supervisor, roteiro_.senha) != AutorizacaoPresenter::Outcome::Granted) return 0;
  supervisor = janela.supervisor();
  liberacao = janela.liberacao();
  return 1;
}

std::int32_t JanelasRoteiro::CADASTRO_CONSUMIDOR_SIMPLIFICADO() {
  if (!roteiro_.cadastro) return 0;
  CadastroConsumidorPresenter janela(ui_, connection_, validador_, valores_.CADASTRA_CLIENTE == 1);
  if (!janela.abre()) return 0;
  return janela.grava(*roteiro_.cadastro);
}

int JanelasRoteiro::OPCOES_NOTA(sale::CLASSE_VENDA& venda, ComissoesVenda& comissoes, std::int32_t& opcao) {
  fvn::OPCOES_NOTA menu(ui_, *this, valores_, venda, comissoes, opcao);
  while (proxima_opcao_ < roteiro_.opcoes.size()) {
    if (menu.pressiona(roteiro_.opcoes[proxima_opcao_++])) return 1;
  }
  menu.pressiona(fvn::OPCOES_NOTA::Botao::Fechar);
  return 1;
}

int JanelasRoteiro::COMISSOES(ComissoesVenda& comissoes) {
  fvn::COMISSOES form(comissoes);
  for (const auto& [campo, valor] : roteiro_.comissoes) {
    if (!form.set_valor(campo, valor)) {
      ui_.message("Comissão " + std::to_string(campo) + " recusada.", "Aviso do Sistema", MessageIcon::Exclamation);
    }
  }
  return 1;
}

int JanelasRoteiro::CONSULTA_VENDAS_FUTURAS(fvn::CONSULTA_VENDAS_FUTURAS& consulta, ItensEntrega& /*itens*/) {
  if (roteiro_.nota_rejeitada == 0) return 0;
  return consulta.seleciona(roteiro_.nota_rejeitada);
}

}  // namespace fvn
