#include "desktop/janelas_venda_qt.h"

#include <QApplication>
#include <utility>

#include "desktop/autorizacao_view.h"
#include "desktop/cadastro_consumidor_view.h"
#include "desktop/options_views.h"
#include "desktop/payment_views.h"
#include "desktop/qt_host_ui.h"
#include "screens/cadastro_consumidor.h"
#include "screens/servicos_cliente.h"

namespace fvn::desktop {

QtJanelasVenda::QtJanelasVenda(QWidget* parent, QtHostUi& ui, std::string connection, const ModuleValues& valores,
                               SessaoAtual sessao, VALIDADOR_FISCAL& validador)
    : parent_(parent),
      ui_(ui),
      connection_(std::move(connection)),
      valores_(valores),
      sessao_(std::move(sessao)),
      validador_(validador) {}

QWidget* QtJanelasVenda::sobre() const {
  QWidget* modal = QApplication::activeModalWidget();
  return modal != nullptr ? modal : parent_;
}

int QtJanelasVenda::CONDICAO_PAGTO(sale::VENDA_INTERFACE& venda, std::int32_t tabela_preco) {
  CondicaoPagtoPresenter presenter(ui_, venda, connection_, tabela_preco, valores_);
  if (presenter.abre() != 1) return 0;
  return condicao_pagto_dialog(presenter, sobre());
}

int QtJanelasVenda::PRESTACAO_VENDA(sale::VENDA_INTERFACE& venda) {
  ServicosCliente servicos(connection_, valores_.COD_EMPR);
  PrestacaoVendaPresenter presenter(ui_, venda, servicos, *this);
  if (presenter.abre() != 1) return 0;
  return prestacao_venda_dialog(presenter, sobre());
}

int QtJanelasVenda::FORMA_PAGTO_VENDA(sale::VENDA_INTERFACE& venda) {
  ServicosCliente servicos(connection_, valores_.COD_EMPR);
  const PagtoChequeCartao detalhes = [this](sale::VENDA_INTERFACE& v, const payment::GRUPO_FORMAS_PAGAMENTO& forma) {
    PagtoChequeCartaoPresenter cartao(ui_, v, forma);
    if (cartao.abre() != 1) return 0;
    return pagto_cheque_cartao_dialog(cartao, sobre());
  };
  FormaPagtoVendaPresenter presenter(ui_, venda, connection_, servicos, detalhes);
  presenter.abre();
  return forma_pagto_venda_dialog(presenter, sobre());
}

int QtJanelasVenda::TELA_TROCO(double a_pagar, double& pago) {
  TelaTrocoPresenter presenter(ui_, a_pagar);
  if (tela_troco_dialog(presenter, sobre()) != 1) return 0;
  pago = presenter.valor_pago();
  return 1;
}

int QtJanelasVenda::CPF_CNPJ_OPCIONAL(IdentificacaoConsumidor& consumidor) {
  CpfCnpjOpcionalPresenter presenter(ui_, validador_);
  const int resultado = cpf_cnpj_opcional_dialog(presenter, sobre());
  consumidor = presenter.consumidor();
  return resultado;
}

int QtJanelasVenda::DETALHE_PRODUTO(sale::QUEUE_ITEM& item) {
  DetalheProdutoPresenter presenter(ui_, item);
  return detalhe_produto_dialog(presenter, sobre());
}

int QtJanelasVenda::AUTENTICACAO(Direito direito, std::string_view texto, std::string_view motivo,
                                 UserAccount& supervisor, sale::GRUPO_DADOS_LIBERACAO& liberacao) {
  AutorizacaoPresenter presenter(ui_, connection_, sessao_, direito, std::string{texto}, std::string{motivo});
  if (autenticacao(presenter, sobre()) != 1) return 0;
  supervisor = presenter.supervisor();
  liberacao = presenter.liberacao();
  return 1;
}

std::int32_t QtJanelasVenda::CADASTRO_CONSUMIDOR_SIMPLIFICADO() {
  CadastroConsumidorPresenter presenter(ui_, connection_, validador_, valores_.CADASTRA_CLIENTE == 1);
  if (!presenter.abre()) return 0;
  return cadastro_consumidor(presenter, sobre());
}

int QtJanelasVenda::OPCOES_NOTA(sale::CLASSE_VENDA& venda, ComissoesVenda& comissoes, std::int32_t& opcao) {
  fvn::OPCOES_NOTA presenter(ui_, *this, valores_, venda, comissoes, opcao);
  return opcoes_nota_dialog(presenter, sobre());
}

int QtJanelasVenda::COMISSOES(ComissoesVenda& comissoes) {
  fvn::COMISSOES presenter(comissoes);
  return comissoes_dialog(presenter, sobre());
}

int QtJanelasVenda::CONSULTA_VENDAS_FUTURAS(fvn::CONSULTA_VENDAS_FUTURAS& consulta, ItensEntrega& itens) {
  consulta.set_janela_itens([this, &itens](SELECIONA_ITENS_VENDA_FUTURA& selecao) {
    const auto altera = [this, &itens](std::int32_t linha) {
      ALTERA_QTDE_ITEM quantidade(ui_, connection_, itens, linha);
      return altera_qtde_item_dialog(quantidade, sobre());
    };
    return seleciona_itens_venda_futura_dialog(selecao, altera, sobre());
  });
  return consulta_vendas_futuras_dialog(consulta, sobre());
}

}  // namespace fvn::desktop
