// Orders and service orders of the demo shop imported into a sale through
// the real parties, item entry and facade, then recorded: what each load puts
// on the sale, and that an order is never invoiced twice, even by two
// stations recording at once.
#include "screens/importacao_pedidos.h"

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "../service/workflow_fixture.h"
#include "data/passthrough_table.h"
#include "screens/gravacao_venda.h"
#include "support/demo_sale.h"

namespace fvn {
namespace {

class ImportacaoPedidosTest : public testing::WorkflowTest {
 protected:
  void SetUp() override {
    WorkflowTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    ASSERT_TRUE(testing::carrega_valores_demo(db, valores));
    valores.I_PAR_UTILIZA_DESC_ITEM = 1;
    valores.I_TEM_TIPO_QUEBRA = 2;
    // Order 1001's customer needs a phone to pass the customer audit.
    sql("update aclientes set cfoneresidencial = '3132221100' where ccodigo = 3");
    demo_ = std::make_unique<testing::VendaDemo>(ui_, db, valores);
    demo_->janelas.detalhe = 0;  // typed items would open the detail: order lines must not
    importacao = std::make_unique<ImportacaoPedidos>(ui_, db, valores, demo_->venda, demo_->partes, demo_->entrada);
    padroes();
  }
  // A new sale with the demo shop's defaults, in the screen's order.
  void padroes() {
    ASSERT_TRUE(demo_->padroes());
    importacao->nova_venda();
  }
  void nova_venda() {
    ASSERT_EQ(demo_->venda.Limpa_Venda(), 1);
    padroes();
  }

  sale::QUEUE_ITEM item(std::int32_t numero) {
    sale::QUEUE_ITEM i;
    EXPECT_EQ(demo_->venda.Get_Item_Venda(numero, i), 1) << demo_->venda.ERROR;
    return i;
  }
  // The loaded sale paid in cash and recorded by `gravacao`.
  int grava(GRAVACAO_VENDA& gravacao) {
    CONTEXTO_VENDA c;
    c.conexao = db;
    c.empresa = 1;
    c.cnpj = testing::kCnpj;
    c.operador = 1;
    c.usuario = 1;
    c.emissor = valores.I_PAR_EMISSOR_PADRAO_NFCE;
    c.condicao_pagamento = 1;
    c.pedidos = importacao->carga().pedidos;
    c.ordens_servico = importacao->carga().ordens_servico;
    return gravacao.Grava_Venda(c);
  }
  void paga_a_vista() {
    ASSERT_EQ(demo_->venda.Set_Condicao_Pagamento(1), 1) << demo_->venda.display();
    ASSERT_EQ(demo_->venda.Paga(1, demo_->venda.Get_Valor_Pagar(), 0, {.permite_troco = true}), 1)
        << demo_->venda.display();
  }

  ModuleValues valores;
  std::unique_ptr<testing::VendaDemo> demo_;
  std::unique_ptr<ImportacaoPedidos> importacao;
};

TEST_F(ImportacaoPedidosTest, AnOrderBringsItsPendingLinesPricesAndInstallmentsWithItsDownPayment) {
  sql("update duplicata_pedido set d_dpe_data_vencimento = date '2030-01-10' + 30 * (i_dpe_numero_duplicata - 1) "
      "where i_dpe_codigo_pdi = 1002");
  ASSERT_EQ(importacao->carrega_pedido(1002), 1) << messages();
  ASSERT_EQ(demo_->venda.Get_Quantidade_Itens(), 1);
  EXPECT_EQ(item(1).X_PED, "1002");
  EXPECT_EQ(item(1).N_ITEM_PED, 1);
  EXPECT_DOUBLE_EQ(item(1).UNITARIO, 9.49);
  EXPECT_DOUBLE_EQ(item(1).DESCONTO, 1.00);
  EXPECT_EQ(demo_->venda.CLIENTE.CODIGO, 2);
  // ENTRADA + 3X with the order's 6.96 down and its three installments.
  EXPECT_EQ(demo_->venda.Get_Condicao(), 3);
  EXPECT_DOUBLE_EQ(demo_->venda.Get_Valor_Entrada(), 6.96);
  ASSERT_EQ(demo_->venda.Get_Quantidade_Parcelas(), 3);
  for (std::int32_t n = 1; n <= 3; ++n) {
    payment::QUEUE_PARCELAS p;
    ASSERT_EQ(demo_->venda.Get_Parcela(n, p), 1);
    EXPECT_DOUBLE_EQ(p.VALOR, 10.00);
    EXPECT_EQ(p.VENCIMENTO, date_from_civil(2030, 1, 10) + 30 * (n - 1));
  }
  EXPECT_EQ(importacao->carga().pedidos, std::vector<std::int32_t>{1002});
  // Another price table (Normal, where the soda costs more) leaves the
  // order's price alone.
  sql("update aprodutos set n_apr_preco_normal = 11.90 where ccodproduto = 45");
  ASSERT_EQ(demo_->entrada.escolhe_tabela(0), 1) << messages();
  EXPECT_DOUBLE_EQ(item(1).UNITARIO, 9.49);
  // The payment recomputes the condition's own plan; the order's comes back.
  ASSERT_EQ(demo_->venda.Calcula_Parcelas(), 1);
  ASSERT_EQ(importacao->prestacoes_pedido(), 1) << messages();
  payment::QUEUE_PARCELAS ultima;
  ASSERT_EQ(demo_->venda.Get_Parcela(3, ultima), 1);
  EXPECT_EQ(ultima.VENCIMENTO, date_from_civil(2030, 3, 11));

  // Order 1001: its second line has nothing pending nor to invoice.
  nova_venda();
  ASSERT_EQ(importacao->carrega_pedido(1001), 1) << messages();
  ASSERT_EQ(demo_->venda.Get_Quantidade_Itens(), 2);
  EXPECT_EQ(item(1).N_ITEM_PED, 1);
  EXPECT_EQ(item(2).N_ITEM_PED, 3);
  EXPECT_DOUBLE_EQ(demo_->venda.Get_Frete_Venda(), 10.00);
  EXPECT_DOUBLE_EQ(demo_->venda.Get_Desconto_Venda(), 5.00);
}

TEST_F(ImportacaoPedidosTest, SeveralOrdersTakeTheUsersCarrierAndFreightAndNoEvent) {
  valores.TRANSP = 0;
  valores.I_PAR_TIPO_FRETE_PADRAO = 9;
  ASSERT_EQ(demo_->partes.transportadora(1), 1);
  ASSERT_EQ(importacao->carrega_pedidos({1001, 1003}), 1) << messages();
  EXPECT_EQ(demo_->venda.Get_Quantidade_Itens(), 3);
  sale::GRUPO_TRANSPORTADORA t;
  demo_->venda.Get_Dados_Transportadora(t);
  EXPECT_EQ(t.CODIGO_TRANSPORTADORA, 0);
  sale::GRUPO_EVENTO e;
  demo_->venda.Get_Evento_Venda(e);
  EXPECT_EQ(e.CODIGO, 0);
  EXPECT_DOUBLE_EQ(demo_->venda.Get_Desconto_Venda(), 7.00);  // 5.00 + 2.00
  EXPECT_NE(messages().find("Pedido(s) 1001, 1003 carregado(s) com sucesso."), std::string::npos);
  EXPECT_NE(messages().find("|* Transportadora padrão do usuário;|* Frete padrão do usuário;"), std::string::npos);
}

TEST_F(ImportacaoPedidosTest, ALoadThatFailsLeavesNothingToRecord) {
  // A discount as large as the items.
  sql("update pedidos set n_pdi_valor_desconto = 36.96 where i_pdi_codigo = 1002");
  EXPECT_EQ(importacao->carrega_pedido(1002), 0);
  EXPECT_EQ(ui_.messages().back().text,
            "O valor de desconto não pode ser igual ou maior que o valor do total dos itens.");
  EXPECT_TRUE(importacao->carga().vazia());
  // An invoiced order is refused before anything is sold.
  nova_venda();
  sql("update pedidos set i_pdi_ide_asaidas = 1 where i_pdi_codigo = 1003");
  EXPECT_EQ(importacao->carrega_pedido(1003), 0);
  EXPECT_EQ(demo_->venda.Get_Quantidade_Itens(), 0);
  EXPECT_EQ(ui_.messages().back().text,
            "O pedido 1003 já foi faturado pela venda 1.|Não pode ser importado duas vezes.");
}

TEST_F(ImportacaoPedidosTest, ALineSkippedForNegativeStockStaysPendingAndKeepsItsOrderOpen) {
  valores.BLQ_ESTNEG = 2;
  valores.I_PAR_LIB_VDA_EST_NEGATIVO = 0;
  sql("update aprodutos set s_apr_controle_estoque = 'E', n_apr_estoque_empresa1 = 3 where ccodproduto = 43");
  ASSERT_EQ(importacao->carrega_pedido(1001), 1) << messages();
  ASSERT_EQ(demo_->venda.Get_Quantidade_Itens(), 1);  // the coffee; the rice (10) is left
  EXPECT_EQ(importacao->carga().pendentes, std::vector<std::string>{"1001/1"});
  EXPECT_NE(messages().find("O item não será carregado e ficará com quantidade pendente no pedido."),
            std::string::npos);
  ASSERT_EQ(demo_->venda.Set_Condicao_Pagamento(1), 1) << demo_->venda.display();  // the order's 30/60 replaced
  ASSERT_EQ(demo_->venda.Paga(1, demo_->venda.Get_Valor_Pagar(), 0, {.permite_troco = true}), 1)
      << demo_->venda.display();
  GRAVACAO_VENDA gravacao(ui_, demo_->venda, *processor_);
  ASSERT_EQ(grava(gravacao), 1) << messages();
  EXPECT_EQ(value("select string_agg(n_ipe_qtd_pendente::numeric(9,2) || '/' || n_ipe_qtd_entregue::numeric(9,2), "
                  "' ' order by i_ipe_codigo) from itens_pedidos where i_ipe_codigo_pdi = 1001"),
            "10.00/0.00 0.00/0.00 0.00/1.00");
  EXPECT_EQ(value("select coalesce(i_pdi_ide_asaidas::text, 'aberto') from pedidos where i_pdi_codigo = 1001"),
            "aberto");
}

TEST_F(ImportacaoPedidosTest, TwoStationsRecordingTheSameOrderOneWins) {
  ASSERT_EQ(importacao->carrega_pedido(1003), 1) << messages();
  paga_a_vista();
  // The other station has recorded order 1003 in a transaction not yet
  // committed: this station's recording waits for its row lock.
  PassthroughTable outra("OUTRA", db + " application_name=estacao2");
  ASSERT_EQ(outra.open(), 1);
  ASSERT_EQ(outra.execute("Begin"), 1);
  ASSERT_EQ(outra.execute("select 1 from pedidos where i_pdi_codigo = 1003 for update"), 1);
  ASSERT_EQ(outra.execute("update pedidos set i_pdi_ide_asaidas = 1 where i_pdi_codigo = 1003"), 1);
  const long long vendas = count("select 1 from asaidas");
  GRAVACAO_VENDA gravacao(ui_, demo_->venda, *processor_);
  int resultado = -1;
  std::thread estacao([&] { resultado = grava(gravacao); });
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_EQ(resultado, -1);  // still waiting for the lock
  ASSERT_EQ(outra.execute("Commit"), 1);
  estacao.join();
  EXPECT_EQ(resultado, 0);
  EXPECT_NE(messages().find("O pedido 1003 já foi faturado pela venda 1."), std::string::npos) << messages();
  EXPECT_EQ(count("select 1 from asaidas"), vendas);

  // Once free again, the same sale records and closes the order; a second
  // recording of it is refused.
  sql("update pedidos set i_pdi_ide_asaidas = null where i_pdi_codigo = 1003");
  ASSERT_EQ(grava(gravacao), 1) << messages();
  EXPECT_EQ(value("select i_pdi_ide_asaidas from pedidos where i_pdi_codigo = 1003"), std::to_string(gravacao.venda()));
  EXPECT_EQ(grava(gravacao), 0);
}

TEST_F(ImportacaoPedidosTest, ServiceOrderDepositsAboveTheTotalLeaveChange) {
  // A second deposit: 50.00 + 200.00 for a 160.00 service.
  sql("insert into ahcontas (ccodigofavorecidohistorico, cvalorcreditohistorico, cvalordebitohistorico, "
      "cdescricaohistorico, i_ahc_tip_lancto, i_ahc_codigo_tem, d_ahc_data, i_ahc_codigo_forma, i_ahc_ide_oservico) "
      "values (1, 200.00, 0, 'Sinal OS 501', 2, 1, current_date, 1, 501)");
  ASSERT_EQ(importacao->carrega_ordens({501}), 1) << messages();
  ASSERT_EQ(demo_->venda.Get_Quantidade_Itens(), 1);
  EXPECT_EQ(demo_->venda.CLIENTE.CODIGO, 2);
  ASSERT_EQ(importacao->avisa_sinais(), 1);
  EXPECT_EQ(ui_.messages().back().text,
            "Existem lançamentos de sinais OS no valor de R$ 250.00 para a(s) ordem(s) de serviço selecionada(s).");
  ASSERT_EQ(demo_->venda.Set_Condicao_Pagamento(1), 1) << demo_->venda.display();
  ASSERT_EQ(importacao->paga_sinais(), 1) << messages();
  EXPECT_DOUBLE_EQ(demo_->venda.Get_Valor_Troco(), -90.00);
  GRAVACAO_VENDA gravacao(ui_, demo_->venda, *processor_);
  ASSERT_EQ(grava(gravacao), 1) << messages();
  EXPECT_EQ(value("select ide_asaidas from aordens where cideord = 501"), std::to_string(gravacao.venda()));
  EXPECT_EQ(count("select 1 from ahcontas where cdescricaohistorico like 'Troco NF:%' and cidesaivenhist = " +
                  std::to_string(gravacao.venda())),
            1);
  // The service order cannot be loaded again.
  nova_venda();
  EXPECT_EQ(importacao->carrega_ordens({501}), 0);
}

TEST_F(ImportacaoPedidosTest, SeveralPicksListOnlyTheFirstCustomersOrdersNotYetChosen) {
  // JOSE's two orders come first by name; the third pick finds the list
  // empty (PADARIA's order 1001 is another customer's) and ends the choice.
  ui_.answer_pick(1);
  ui_.answer_pick(1);
  ui_.answer_pick(1);
  std::vector<std::int32_t> escolhidos = importacao->SELECIONA_MULTIPLOS_PEDIDOS();
  std::sort(escolhidos.begin(), escolhidos.end());
  EXPECT_EQ(escolhidos, (std::vector<std::int32_t>{1002, 1003})) << messages();
}

}  // namespace
}  // namespace fvn
