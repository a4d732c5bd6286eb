// The sale options menu and the commissions form against the demo shop,
// the dialogs answered from a plan (JanelasRoteiro) through the real
// authorisation and the real commissions form.
#include "screens/opcoes_nota.h"

#include <memory>

#include <gtest/gtest.h>

#include "runtime/clock.h"
#include "runtime/scripted_ui.h"
#include "runtime/working_folder.h"
#include "sale/sale_test_support.h"
#include "screens/janelas_roteiro.h"
#include "support/db_fixture.h"
#include "support/temp_folder.h"

namespace fvn {
namespace {

using Botao = OPCOES_NOTA::Botao;

class OpcoesNotaTest : public testing::DbTest {
 protected:
  void SetUp() override {
    DbTest::SetUp();
    if (db.empty()) return;
    sale::testing::use_code_tables(pasta.path());
    set_working_folder(pasta.path().string());
    ASSERT_EQ(venda.Set_Dados_Emissor(sale::testing::emissor_nfce()), 1);
    ASSERT_EQ(venda.Set_Dados_Operacao(sale::testing::operacao_venda()), 1) << venda.ERROR;
    ASSERT_EQ(venda.Set_Dados_Empresa(sale::testing::empresa_regime_normal()), 1);
    sale::GRUPO_CLIENTE cliente;
    cliente.CODIGO = 1;
    cliente.NOME = "Consumidor";
    cliente.UF = "MG";
    cliente.TIPO = 1;
    ASSERT_EQ(venda.Set_Dados_Cliente(cliente), 1) << venda.ERROR;
    ASSERT_EQ(venda.Set_Finalidade_Operacao(1), 1);
    ASSERT_EQ(venda.Set_Dados_Vendedor({1, "JOANA"}), 1);
    ASSERT_EQ(venda.Set_Data_Emissao(today()), 1);
    validador = std::make_unique<VALIDADOR_FISCAL>(ui);
    janelas = std::make_unique<JanelasRoteiro>(ui, db, valores, SessaoAtual{1, "caixa", 1}, *validador, RoteiroVenda{});
    valores.USUARIO = valores.OPERADOR = 1;
    valores.NOME_USUARIO = "CAIXA 01";
    valores.COD_EMPR = 1;
  }
  void plano(std::string supervisor, std::string senha) {
    RoteiroVenda r;
    r.supervisor = std::move(supervisor);
    r.senha = std::move(senha);
    janelas->set_roteiro(std::move(r));
  }
  void vende(double unitario, double quantidade = 1) {
    sale::QUEUE_ITEM item = sale::testing::item(unitario, quantidade);
    ASSERT_EQ(venda.Vende_Item(item), 1) << venda.ERROR;
  }
  OPCOES_NOTA menu() { return OPCOES_NOTA(ui, *janelas, valores, venda, comissoes, opcao); }
  [[nodiscard]] std::string ultima() const { return ui.messages().empty() ? "" : ui.messages().back().text; }

  testing::TempFolder pasta;
  ScriptedUi ui;
  ModuleValues valores;
  sale::CLASSE_VENDA venda;
  ComissoesVenda comissoes{};
  std::int32_t opcao = -1;
  std::unique_ptr<VALIDADOR_FISCAL> validador;
  std::unique_ptr<JanelasRoteiro> janelas;
};

TEST_F(OpcoesNotaTest, TheButtonsFollowTheItemList) {
  {
    OPCOES_NOTA vazio = menu();
    for (const Botao b : {Botao::CarregaNotaRejeitada, Botao::CarregaOrdem, Botao::CarregaPedido,
                          Botao::CarregaMultiplosPedidos, Botao::Fechar}) {
      EXPECT_TRUE(vazio.habilitado(b)) << OPCOES_NOTA::legenda(b);
    }
    for (const Botao b : {Botao::CancelaItem, Botao::CancelaNota, Botao::Comissoes}) {
      EXPECT_FALSE(vazio.habilitado(b)) << OPCOES_NOTA::legenda(b);
      EXPECT_FALSE(vazio.pressiona(b));
    }
    EXPECT_EQ(opcao, -1);  // a disabled button writes nothing
    EXPECT_TRUE(vazio.pressiona(Botao::CarregaMultiplosPedidos));
    EXPECT_EQ(opcao, OPCOES_NOTA::kMultiplosPedidos);
  }
  // A sale whose only line was cancelled: the sale's buttons but no item to cancel.
  vende(10);
  ASSERT_EQ(venda.Cancela_Item(1), 1);
  OPCOES_NOTA cancelado = menu();
  EXPECT_FALSE(cancelado.habilitado(Botao::CancelaItem));
  EXPECT_TRUE(cancelado.habilitado(Botao::CancelaNota));
  EXPECT_FALSE(cancelado.habilitado(Botao::CarregaPedido));
}

TEST_F(OpcoesNotaTest, CancellingAnItemClearsTheSaleLevelValuesSetBeforeIt) {
  // The plan names no supervisor: had the menu asked for one, it would
  // cancel nothing.
  valores.CANCELA_ITEM = 1;
  vende(50);
  ASSERT_EQ(venda.Set_Desconto_Venda(5), 1);
  ASSERT_EQ(venda.Set_Desp_Acessorias_Venda(3), 1);
  ASSERT_EQ(venda.Set_Acrescimo_Venda(2), 1);
  vende(30);  // values set before this item was sold

  OPCOES_NOTA m = menu();
  ui.answer_pick(0);  // the pick list left: the menu stays open
  EXPECT_FALSE(m.pressiona(Botao::CancelaItem));
  EXPECT_EQ(venda.Calcula_Qtde_Itens_Vendidos(), 2);

  ui.answer_pick(2);
  ASSERT_TRUE(m.pressiona(Botao::CancelaItem)) << ultima();
  EXPECT_EQ(opcao, OPCOES_NOTA::kItemCancelado);
  EXPECT_EQ(venda.Calcula_Qtde_Itens_Vendidos(), 1);
  EXPECT_DOUBLE_EQ(venda.Get_Desconto_Venda(), 0);
  EXPECT_DOUBLE_EQ(venda.Get_Desp_Acessorias_Venda(), 0);
  EXPECT_DOUBLE_EQ(venda.Get_Acrescimo_Venda(), 0);
  EXPECT_DOUBLE_EQ(venda.Get_Total_Liquido(), 50);  // item 2 went, with the values
}

TEST_F(OpcoesNotaTest, AUserWithoutTheCancelRightNeedsASupervisor) {
  valores.CANCELA_ITEM = 0;
  vende(10);
  vende(20);
  OPCOES_NOTA m = menu();
  // The manager lacks the right: nothing cancelled, the menu open.
  plano("gerente", "gerente123");
  ui.answer_pick(1);
  EXPECT_FALSE(m.pressiona(Botao::CancelaItem));
  EXPECT_EQ(venda.Calcula_Qtde_Itens_Vendidos(), 2);
  EXPECT_EQ(ultima(), "Usuário sem permissão para cancelar itens ou a venda.");
  plano("supervisor", "super123");
  ui.answer_pick(1);
  ASSERT_TRUE(m.pressiona(Botao::CancelaItem)) << ultima();
  sale::QUEUE_ITEM item;
  ASSERT_EQ(venda.Get_Item_Venda(1, item), 1);
  EXPECT_EQ(item.CANCELADO, 1);
  EXPECT_EQ(item.DADOS_LIBERACAO_CANCELAMENTO.USUARIO_LIBERACAO, "supervisor");
  EXPECT_EQ(item.DADOS_LIBERACAO_CANCELAMENTO.OPERADOR_LOGADO, 1);
  EXPECT_EQ(opcao, OPCOES_NOTA::kItemCancelado);
}

TEST_F(OpcoesNotaTest, CancellingTheSaleAsksAndRefusingKeepsTheMenuAndTheCode) {
  vende(10);
  valores.I_PAR_PERMITE_CANC_CF = 1;
  {
    OPCOES_NOTA m = menu();
    ui.answer_message(2);  // "&Não"
    EXPECT_FALSE(m.pressiona(Botao::CancelaNota));
    EXPECT_EQ(opcao, -1);
    ASSERT_EQ(ui.messages().size(), 1U);
    EXPECT_EQ(ui.messages()[0].text, "Deseja realmente cancelar a nota fiscal?");
    EXPECT_EQ(ui.messages()[0].default_button, 2);
    ui.answer_message(1);
    EXPECT_TRUE(m.pressiona(Botao::CancelaNota));
    EXPECT_EQ(opcao, OPCOES_NOTA::kCancelaNota);
  }
  // Cashiers may not: someone authenticates, and only a holder of the right
  // reaches the question.
  valores.I_PAR_PERMITE_CANC_CF = 0;
  opcao = -1;
  OPCOES_NOTA m = menu();
  plano("caixa", "caixa123");  // only someone else may authenticate
  EXPECT_FALSE(m.pressiona(Botao::CancelaNota));
  plano("gerente", "gerente123");
  EXPECT_FALSE(m.pressiona(Botao::CancelaNota));
  EXPECT_EQ(ultima(), "O usuário não possui permissão para cancelar nota fiscal.");
  EXPECT_EQ(m.foco(), Botao::CancelaNota);
  plano("supervisor", "super123");
  ui.answer_message(1);
  EXPECT_TRUE(m.pressiona(Botao::CancelaNota));
  EXPECT_EQ(ultima(), "Deseja realmente cancelar a nota fiscal?");
  EXPECT_EQ(opcao, OPCOES_NOTA::kCancelaNota);
}

TEST_F(OpcoesNotaTest, ClosingAfterTheCommissionsReturnsZeroAndKeepsThem) {
  vende(10);
  RoteiroVenda r;
  r.opcoes = {Botao::CarregaPedido, Botao::Comissoes};  // the first is disabled with an item
  r.comissoes = {{1, 2.5}, {10, 1.234}, {3, -1}, {4, 101}, {11, 5}};
  janelas->set_roteiro(std::move(r));
  EXPECT_EQ(janelas->OPCOES_NOTA(venda, comissoes, opcao), 1);
  EXPECT_EQ(opcao, OPCOES_NOTA::kNada);  // the plan left it open: "F12-Fechar"
  // Two decimals; out-of-range percentages and fields are refused.
  EXPECT_EQ(comissoes, (ComissoesVenda{2.5, 0, 0, 0, 0, 0, 0, 0, 0, 1.23}));
  EXPECT_EQ(ui.messages().size(), 3U);
  EXPECT_EQ(COMISSOES::rotulo(10), "% Comissão 10:");
}

}  // namespace
}  // namespace fvn
