// The sale screen's parties, credit checks and sale-level discount against
// the demo shop, with the supervisor's dialog answered by the real
// authorisation (logins and passwords of tusuarios).
#include "screens/partes_venda.h"

#include <deque>
#include <memory>
#include <utility>

#include <gtest/gtest.h>

#include "data/user_accounts.h"
#include "runtime/scripted_ui.h"
#include "runtime/working_folder.h"
#include "sale/sale_test_support.h"
#include "support/code_tables.h"
#include "support/db_fixture.h"
#include "support/temp_folder.h"

namespace fvn {
namespace {

// AUTENTICACAO through AutorizacaoPresenter with queued logins; an empty
// queue is the operator closing the dialog.
class JanelasTeste final : public JanelasVenda {
 public:
  JanelasTeste(HostUi& ui, std::string db) : ui_(ui), db_(std::move(db)) {}
  std::deque<std::pair<std::string, std::string>> logins;
  std::vector<std::string> textos;

  int AUTENTICACAO(Direito direito, std::string_view texto, std::string_view motivo, UserAccount& supervisor,
                   sale::GRUPO_DADOS_LIBERACAO& liberacao) override {
    textos.emplace_back(texto);
    AutorizacaoPresenter p(ui_, db_, {1, "caixa", 1}, direito, std::string{texto}, std::string{motivo});
    while (!logins.empty()) {
      const auto [login, senha] = logins.front();
      logins.pop_front();
      if (p.submit(login, senha) != AutorizacaoPresenter::Outcome::Granted) continue;
      supervisor = p.supervisor();
      liberacao = p.liberacao();
      return 1;
    }
    return 0;
  }
  int CONDICAO_PAGTO(sale::VENDA_INTERFACE&, std::int32_t) override { return 0; }
  int PRESTACAO_VENDA(sale::VENDA_INTERFACE&) override { return 0; }
  int FORMA_PAGTO_VENDA(sale::VENDA_INTERFACE&) override { return 0; }
  int TELA_TROCO(double, double&) override { return 0; }
  int CPF_CNPJ_OPCIONAL(IdentificacaoConsumidor&) override { return 0; }
  int DETALHE_PRODUTO(sale::QUEUE_ITEM&) override { return 0; }
  std::int32_t CADASTRO_CONSUMIDOR_SIMPLIFICADO() override { return 0; }

 private:
  HostUi& ui_;
  std::string db_;
};

class PartesVendaTest : public testing::DbTest {
 protected:
  void SetUp() override {
    DbTest::SetUp();
    if (db.empty()) return;
    testing::link_code_tables(folder.path());
    set_working_folder(folder.path().string());
    PassthroughTable table("T", db);
    std::string erro;
    ASSERT_EQ(load_module_values(table, 1, 1, valores, erro), 1) << erro;
    valores.MAX_DESC = 10;
    janelas = std::make_unique<JanelasTeste>(ui, db);
    desconto = std::make_unique<DescontoVenda>(ui, *janelas, valores, venda);
    partes = std::make_unique<PartesVenda>(ui, *janelas, db, valores, venda, *desconto);
  }
  void exec(const std::string& sql) {
    PassthroughTable table("T", db);
    ASSERT_TRUE(table.open() == 1 && table.execute(sql) == 1) << table.driver_message();
  }
  // The new sale's defaults, in the screen's order.
  void padroes() {
    ASSERT_EQ(venda.Set_Data_Emissao(today()), 1);
    ASSERT_EQ(venda.Set_Finalidade_Operacao(1), 1);
    ASSERT_EQ(partes->empresa(), 1);
    ASSERT_EQ(partes->emissor(valores.I_PAR_EMISSOR_PADRAO_NFCE), 1);
    ASSERT_EQ(partes->bancos(), 1);
    ASSERT_EQ(partes->operacao(valores.NAT_PADRAO), 1);
    ASSERT_EQ(partes->favorecidos(), 1);
    ASSERT_EQ(partes->cliente(valores.CLI_PADRA), 1);
    ASSERT_EQ(partes->transportadora(1), 1);
    ASSERT_EQ(partes->tipo_frete(0), 1);
    ASSERT_EQ(partes->vendedor(valores.VEN_PADRA), 1);
    ASSERT_TRUE(ui.messages().empty()) << ui.messages().front().text;
  }
  void vende(double unitario, double quantidade = 1) {
    sale::QUEUE_ITEM item = sale::testing::item(unitario, quantidade);
    ASSERT_EQ(venda.Vende_Item(item), 1) << venda.ERROR;
  }
  [[nodiscard]] std::string ultima() const { return ui.messages().empty() ? "" : ui.messages().back().text; }

  testing::TempFolder folder;
  ScriptedUi ui;
  ModuleValues valores;
  sale::CLASSE_VENDA venda;
  std::unique_ptr<JanelasTeste> janelas;
  std::unique_ptr<DescontoVenda> desconto;
  std::unique_ptr<PartesVenda> partes;
};

TEST_F(PartesVendaTest, TheDemoShopsDefaultsFillTheFacade) {
  padroes();
  EXPECT_EQ(venda.EMPRESA.CEP, "30130000");  // the punctuation of the stored CEP dropped
  EXPECT_EQ(partes->descricao_emissor(), "NFC-E MERCEARIA");
  EXPECT_EQ(partes->descricao_operacao(), "VENDA DE MERCADORIA");
  EXPECT_TRUE(partes->consumidor());
  EXPECT_EQ(venda.TIPO_FRETE, 9);  // the consumer takes no freight, whatever was asked
  EXPECT_EQ(partes->nome_vendedor(), "JOANA");
  EXPECT_EQ(venda.Get_Condicoes_Pagamento().CONDICOES.records(), 3U);
  EXPECT_EQ(venda.PAGAMENTO->ENTIDADES.records(), 4U);
  EXPECT_EQ(venda.PAGAMENTO->FORMAS_PAGAMENTO.records(),
            5U);  // the grocery's series 1 payees, the card in installments included
  // A second reset loads the same lists, not twice as many.
  ASSERT_EQ(partes->condicoes_pagamento(), 1);
  ASSERT_EQ(partes->favorecidos(), 1);
  EXPECT_EQ(venda.Get_Condicoes_Pagamento().CONDICOES.records(), 3U);
  EXPECT_EQ(venda.PAGAMENTO->FORMAS_PAGAMENTO.records(), 5U);
  // A named customer may take freight; the consumer never does.
  ASSERT_EQ(partes->cliente(2), 1);
  ASSERT_EQ(partes->tipo_frete(0), 1);
  EXPECT_EQ(venda.TIPO_FRETE, 0);
  ASSERT_EQ(partes->cliente(1), 1);
  EXPECT_EQ(venda.TIPO_FRETE, 9);
  vende(10);
  EXPECT_EQ(venda.Get_Total_Liquido_Itens(), 10);
}

TEST_F(PartesVendaTest, ItemsFixCustomerOperationAndEmitterButNotTheSeller) {
  padroes();
  vende(10);
  EXPECT_EQ(partes->cliente(2), 0);
  EXPECT_EQ(ultima(), "Não é possível alterar o cliente após o início da venda de itens.");
  EXPECT_EQ(partes->operacao(5), 0);
  EXPECT_EQ(ultima(), "Não é possível alterar a operação após o início da venda de itens.");
  EXPECT_EQ(partes->emissor(1), 0);
  EXPECT_EQ(ultima(), "Não é possível alterar o emissor após o início da venda de itens.");
  EXPECT_EQ(venda.CLIENTE.CODIGO, 1);
  EXPECT_EQ(partes->vendedor(2), 1);
  EXPECT_EQ(venda.VENDEDOR.NOME, "PEDRO");
  // Above the consumer's limit the sale must name its customer, items or not.
  exec("insert into aclientes (ccodigo, cnomecliente, i_acl_cep) values (7, 'CONSUMIDOR', 30130000)");
  EXPECT_EQ(partes->cliente_acima_limite(7), 0);
  EXPECT_EQ(venda.CLIENTE.CODIGO, 1);
  ASSERT_EQ(partes->cliente_acima_limite(2), 1);
  EXPECT_EQ(venda.CLIENTE.CODIGO, 2);
  EXPECT_EQ(partes->cliente_acima_limite(4), 0);  // only the consumer's sale
}

TEST_F(PartesVendaTest, RefusedPartiesLeaveTheOnesBefore) {
  padroes();
  exec("update aclientes set i_acl_bloqueado_venda = 1 where ccodigo = 2");
  const std::pair<std::int32_t, std::string> clientes[] = {
      {0, "Campo código do cliente inválido.|Informe um código válido."},
      {99, "Código de cliente inexistente, informe um código válido."},
      {6, "Cliente 6 - CLIENTE INATIVO está inativo e não pode ser utilizado na emissão da Nota."},
      {2, "Cliente 2 - JOSE DA SILVA SAURO está bloqueado para as vendas."},
  };
  for (const auto& [codigo, mensagem] : clientes) {
    EXPECT_EQ(partes->cliente(codigo), 0);
    EXPECT_EQ(ultima(), mensagem);
  }
  EXPECT_EQ(venda.CLIENTE.CODIGO, 1);
  EXPECT_EQ(partes->vendedor(4), 0);
  EXPECT_EQ(ultima(), "Vendedor(a) 4 - LUIZA está inativo e não pode ser utilizado na emissão de nota fiscal.");
  EXPECT_EQ(partes->vendedor(3), 0);
  EXPECT_EQ(
      ultima(),
      "Empresa do emissor diferente da empresa do vendedor 3.|Vendedor não habilitado para a empresa do emissor.");
  EXPECT_EQ(venda.VENDEDOR.CODIGO, 1);
  EXPECT_EQ(partes->emissor(3), 0);  // the printed form series
  EXPECT_EQ(ultima(), "O emissor selecionado não é do tipo Nota Fiscal. Selecione outro emissor.");
  EXPECT_EQ(partes->emissor(2), 0);  // another company's series
  EXPECT_EQ(venda.EMISSOR.CODIGO, 1);
  // An event is the customer's own.
  EXPECT_EQ(partes->evento(1), 0);
  EXPECT_EQ(ultima(), "Erro ao setar evento na nota.|Cliente da transação diferente do cliente do evento.");
  EXPECT_EQ(partes->evento(2), 1);
  EXPECT_EQ(venda.EVENTO.DESCRICAO, "ANIVERSARIO DA LOJA");
}

TEST_F(PartesVendaTest, TheCustomersAndPartnersDiscountIsOfferedAndFollowsTheItems) {
  valores.I_PAR_APLICA_DESCONTO_CLIENTE = 1;
  valores.I_TEM_UTILIZA_PARCERIA = 1;
  padroes();
  ui.answer_message(1);  // "&Sim"
  ASSERT_EQ(partes->cliente(2), 1);
  EXPECT_EQ(
      ui.messages().back().text,
      "O cliente selecionado possui desconto de 5,00% configurado em seu cadastro.|Deseja aplicar este desconto?");
  EXPECT_EQ(desconto->perc(), 5);
  EXPECT_EQ(desconto->origem(), "CLIENTE");
  // Given before the first item, the percentage follows the items sold.
  vende(40);
  ASSERT_EQ(desconto->reaplica(), 1);
  EXPECT_EQ(venda.Get_Desconto_Venda(), 2);

  venda.Limpa_Venda();
  exec("update aclientes set cfonecomercial = '3232150000' where ccodigo = 3");
  ASSERT_EQ(partes->cliente(3), 1) << ultima();  // PADARIA, of the "Clube do Padeiro"
  EXPECT_EQ(ultima(),
            "O cliente selecionado possui parceria com 1 - CLUBE DO PADEIRO|e será concedido desconto de 3,00%");
  EXPECT_EQ(venda.PARCEIRO.PERC_DESCONTO, 3);
  EXPECT_EQ(desconto->perc(), 3);  // JOSE's own 5 % left with JOSE

  const std::size_t antes = ui.messages().size();
  partes->set_carregando(true);
  ASSERT_EQ(partes->cliente(2), 1);
  EXPECT_EQ(ui.messages().size(), antes);  // nothing offered while an order loads
  EXPECT_EQ(desconto->perc(), 0);
}

TEST_F(PartesVendaTest, BlocksNeedAUserHoldingEveryBlocksRight) {
  padroes();
  // CONSTRUTORA owes installments since June and is on the bureau's list.
  exec("update aclientes set d_acl_spc = date '2026-11-01' where ccodigo = 5");
  EXPECT_EQ(partes->cliente(5), 0);  // a named customer is audited first
  EXPECT_EQ(ultima(),
            "Erro ao auditar dados do cliente.|Retorno: 16|Erro: Parâmetro vazio, nenhum telefone foi "
            "informado.|Função: Audita_Cliente");
  exec(
      "update aclientes set cfonecomercial = '1133334444', s_acl_inscricao_estadual = '110042490114' where ccodigo = "
      "5");
  ASSERT_EQ(partes->cliente(5), 1) << ultima();
  UserAccount so_prazo{7, "prazo", "SO PRAZO"};
  so_prazo.venda_prazo = 1;
  PassthroughTable table("T", db);
  std::string erro;
  ASSERT_EQ(add_user(table, so_prazo, "prazo123", erro), 1) << erro;

  EXPECT_EQ(partes->verifica_credito(true), 0);  // the dialog closed
  ASSERT_EQ(janelas->textos.size(), 1U);
  const std::string& texto = janelas->textos[0];
  EXPECT_EQ(texto.rfind("Esta transação possui as seguintes restrições: \r\nCliente possui 2 duplicata(s)", 0), 0U);
  EXPECT_NE(texto.find("\r\nCliente registrado no SPC desde 01/11/2026.\r\nInforme um usuário com permissão:"),
            std::string::npos);

  janelas->logins = {{"prazo", "prazo123"}};
  EXPECT_EQ(partes->verifica_credito(true), 0);
  EXPECT_EQ(ultima(), "Usuário sem permissão para liberação de cliente com duplicatas em atraso.");
  EXPECT_EQ(venda.GRUPO_DADOS_LIBERACAO_VENDA_PRAZO.DATA, 0);

  janelas->logins = {{"gerente", "gerente123"}};
  EXPECT_EQ(partes->verifica_credito(true), 1);
  const sale::GRUPO_DADOS_LIBERACAO& l = venda.GRUPO_DADOS_LIBERACAO_VENDA_PRAZO;
  EXPECT_EQ(l.USUARIO_LIBERACAO, "gerente");
  EXPECT_EQ(l.TIPO_LIBERACAO, "Cliente Bloqueado");
  EXPECT_NE(l.MOTIVO_LIBERACAO.find("SPC"), std::string::npos);
  // The limit released after the blocks keeps the blocks' reasons in the record.
  janelas->logins = {{"gerente", "gerente123"}};
  EXPECT_EQ(partes->verifica_limite_credito(600), 1);
  EXPECT_EQ(l.TIPO_LIBERACAO, "Cliente Bloqueado; Venda a Prazo");
  EXPECT_NE(l.MOTIVO_LIBERACAO.find("SPC"), std::string::npos);
  EXPECT_NE(l.MOTIVO_LIBERACAO.find("Limite de crédito do cliente excedido"), std::string::npos);
}

TEST_F(PartesVendaTest, WarningsAreShownAndThePaymentGoesOn) {
  padroes();
  ASSERT_EQ(partes->cliente(2), 1);
  exec(
      "insert into asduplicatas (cisadupli, cnprdupli, cvendupli, cvprdupli, cvpgdupli, s_adu_situacao) values "
      "(5, 9, current_date - 3, 10, 0, 'A')");
  const std::size_t antes = ui.messages().size();
  EXPECT_EQ(partes->verifica_credito(false), 1);  // cash sales skip the checks unless the operator says
  EXPECT_EQ(ui.messages().size(), antes);
  valores.I_PAR_BLOQUEIA_CLIENTE_ATRASADO_VISTA = 1;
  EXPECT_EQ(partes->verifica_credito(false), 1);
  EXPECT_EQ(ultima().rfind("Esta transação possuí as seguintes condições: \r\nCliente possui 1 duplicata(s)", 0), 0U);
  EXPECT_TRUE(janelas->textos.empty());

  // JOSE's limit is 1,000.00 with 10.00 open: 90 % warns, above blocks.
  EXPECT_EQ(partes->verifica_limite_credito(950), 1);
  EXPECT_EQ(ui.messages().back().title, "Aviso do sistema");
  EXPECT_EQ(partes->verifica_limite_credito(1000), 0);
  janelas->logins = {{"gerente", "gerente123"}};
  EXPECT_EQ(partes->verifica_limite_credito(1000), 1);
  EXPECT_EQ(venda.GRUPO_DADOS_LIBERACAO_VENDA_PRAZO.TIPO_LIBERACAO, "Venda a Prazo");
  valores.RES_BLO = 0;
  EXPECT_EQ(partes->verifica_limite_credito(5000), 1);
}

TEST_F(PartesVendaTest, TheDiscountStaysWithinTheMaximum) {
  padroes();
  vende(25, 4);  // 100.00
  EXPECT_EQ(desconto->percentual(10), 1);
  EXPECT_EQ(venda.Get_Desconto_Venda(), 10);
  EXPECT_EQ(desconto->percentual(10.01), 0);
  EXPECT_EQ(ultima(),
            "Percentual de desconto maior que o máximo permitido para esta transação.|Percentual máximo de desconto "
            "é 10,00%.");
  EXPECT_EQ(venda.Get_Desconto_Venda(), 10);  // the one before stays
  EXPECT_EQ(desconto->valor(10.5), 0);
  EXPECT_EQ(ultima(),
            "Valor de desconto maior que o máximo permitido para esta transação.|Valor máximo de desconto é R$ 10,00");
  EXPECT_EQ(desconto->valor(5), 1);
  EXPECT_EQ(desconto->perc(), 5);
  EXPECT_EQ(desconto->valor(100), 0);
  EXPECT_EQ(ultima(), "O valor de desconto não pode ser igual ou maior que o valor do total dos itens.");
  EXPECT_EQ(venda.Get_Desconto_Venda(), 0);
  EXPECT_EQ(desconto->perc(), 0);
  EXPECT_EQ(desconto->valor(-1), 0);
}

TEST_F(PartesVendaTest, ASupervisorRaisesTheMaximumForThisSaleOnly) {
  padroes();
  vende(100);
  EXPECT_EQ(desconto->libera(), 0);  // closed at the authentication
  EXPECT_TRUE(ui.number_requests().empty());
  EXPECT_EQ(desconto->maximo(), 10);

  janelas->logins = {{"gerente", "gerente123"}};
  ui.answer_number(25);
  EXPECT_EQ(desconto->libera(), 0);  // above the manager's own 20 %
  EXPECT_EQ(ultima(), "Percentual acima do máximo que o usuário pode liberar: 20,00%.");
  EXPECT_EQ(desconto->maximo(), 10);

  janelas->logins = {{"supervisor", "super123"}};
  ui.answer_number(30);
  ASSERT_EQ(desconto->libera(), 1);
  EXPECT_EQ(ui.number_requests().back().prompt, "Indique o percentual máximo de desconto no subtotal:");
  EXPECT_EQ(janelas->textos.back(), "Liberação para desconto na nota fiscal.");
  EXPECT_EQ(desconto->percentual(25), 1);
  EXPECT_EQ(venda.Get_Desconto_Venda(), 25);
  const sale::GRUPO_DADOS_LIBERACAO& l = venda.GRUPO_DADOS_LIBERACAO_DESCONTO;
  EXPECT_EQ(l.MOTIVO_LIBERACAO, "Percentual de desconto liberado: 30,00");
  EXPECT_EQ(l.TIPO_LIBERACAO, "Desconto Nota Fiscal");
  EXPECT_EQ(l.USUARIO_LIBERACAO, "supervisor");
  desconto->nova_venda();
  EXPECT_EQ(desconto->maximo(), 10);
}

}  // namespace
}  // namespace fvn
