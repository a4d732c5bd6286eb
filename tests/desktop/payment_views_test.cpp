// The payment dialogs on a real widget tree, offscreen: keys reach the
// presenters and the dialogs close with their results. Messages go to a
// ScriptedUi, so a refusal leaves the dialog up without a message box.
#include "desktop/payment_views.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QTableView>
#include <QTest>
#include <memory>

#include <gtest/gtest.h>

#include "data/module_values.h"
#include "desktop/offscreen_application.h"
#include "runtime/scripted_ui.h"
#include "sale/sale_test_support.h"
#include "screens/janelas_roteiro.h"
#include "screens/servicos_cliente.h"
#include "support/db_fixture.h"
#include "support/temp_folder.h"

namespace fvn::desktop {
namespace {

namespace st = sale::testing;

// Shows `view` as the active window and returns its child `name`.
template <typename Widget>
Widget* mostra(QDialog& view, const char* name) {
  view.show();
  view.activateWindow();
  QTest::qWait(50);
  auto* widget = view.findChild<Widget*>(name);
  EXPECT_NE(widget, nullptr) << name;
  return widget;
}

// Keys to whatever has the focus, as a cashier types them.
void tecla(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QTest::keyClick(QApplication::focusWidget(), key, modifiers);
}
void digita(const char* texto) { QTest::keyClicks(QApplication::focusWidget(), texto); }

class DialogTest : public ::testing::Test {
 protected:
  void SetUp() override { ensure_application(); }
  ScriptedUi ui_;
};

class PaymentViewsTest : public testing::DbTest {
 protected:
  void SetUp() override {
    ensure_application();
    DbTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    st::use_code_tables(pasta_.path());
    set_working_folder(pasta_.path().string());
    venda_ = std::make_unique<sale::CLASSE_VENDA>();
    ASSERT_EQ(venda_->Set_Dados_Emissor(st::emissor_nfce()), 1);
    ASSERT_EQ(venda_->Set_Dados_Operacao(st::operacao_venda()), 1);
    ASSERT_EQ(venda_->Set_Dados_Empresa(st::empresa_regime_normal()), 1);
    sale::GRUPO_CLIENTE consumidor;
    consumidor.CODIGO = 1;
    consumidor.NOME = "CONSUMIDOR";
    consumidor.UF = "MG";
    consumidor.TIPO = 1;
    ASSERT_EQ(venda_->Set_Dados_Cliente(consumidor), 1);
    ASSERT_EQ(venda_->Set_Finalidade_Operacao(1), 1);
    ASSERT_EQ(venda_->Set_Dados_Vendedor({1, "JOANA"}), 1);
    ASSERT_EQ(venda_->Set_Data_Emissao(today()), 1);
    ASSERT_EQ(venda_->Set_Quebra(1), 1);
    payment::GRUPO_FORMAS_PAGAMENTO dinheiro;
    dinheiro.CODIGO = 1;
    dinheiro.DESCRICAO = "DINHEIRO";
    dinheiro.TIPO = 1;
    ASSERT_EQ(venda_->PAGAMENTO->Adiciona_Forma_Pagamento(dinheiro), 1);
    sale::QUEUE_ITEM item = st::item(63.30);
    ASSERT_EQ(venda_->Vende_Item(item), 1) << venda_->ERROR;
    valores_.COD_EMPR = 1;
  }
  void TearDown() override {
    venda_.reset();
    set_working_folder(".");
    DbTest::TearDown();
  }

  ScriptedUi ui_;
  fvn::testing::TempFolder pasta_;
  std::unique_ptr<sale::CLASSE_VENDA> venda_;
  ModuleValues valores_;
};

TEST_F(PaymentViewsTest, PaymentFormsTakeTheAmountPayReverseAndContinueByKeys) {
  CondicaoPagtoPresenter condicao(ui_, *venda_, db, 0, valores_);
  ASSERT_EQ(condicao.abre(), 1);
  CondicaoPagtoView condicoes(condicao);
  ASSERT_NE(mostra<QTableView>(condicoes, "condicoes"), nullptr);
  tecla(Qt::Key_F5);  // the first row: A VISTA
  EXPECT_EQ(condicoes.result(), QDialog::Accepted);
  EXPECT_EQ(venda_->Get_Condicao(), 1);

  ServicosCliente servicos(db, 1);
  FormaPagtoVendaPresenter presenter(ui_, *venda_, db, servicos, {});
  presenter.abre();
  FormaPagtoVendaView view(presenter);
  auto* valor = mostra<QLineEdit>(view, "valor");
  ASSERT_NE(valor, nullptr);
  EXPECT_EQ(valor->text(), "63,30");
  EXPECT_TRUE(valor->hasFocus());
  digita("100,00");
  tecla(Qt::Key_Return);  // the amount, then the list of forms
  tecla(Qt::Key_Return);  // DINHEIRO
  EXPECT_EQ(view.findChild<QLineEdit*>("troco")->text(), "36,70");
  EXPECT_FALSE(valor->isEnabled());
  tecla(Qt::Key_F8);
  tecla(Qt::Key_Delete);  // reverses it: paying again
  EXPECT_EQ(venda_->Get_Quantidade_Pagamentos(), 0);
  EXPECT_TRUE(valor->isEnabled());
  tecla(Qt::Key_F6);
  tecla(Qt::Key_Return);
  tecla(Qt::Key_Return);
  tecla(Qt::Key_F5);
  EXPECT_EQ(view.result(), QDialog::Accepted);
  EXPECT_EQ(presenter.resultado(), 1);
  EXPECT_EQ(venda_->Get_Quantidade_Pagamentos(), 1);
}

TEST_F(PaymentViewsTest, InstallmentsChangeByKeysAndEscLeaves) {
  CondicaoPagtoPresenter condicao(ui_, *venda_, db, 0, valores_);
  ASSERT_EQ(condicao.abre(), 1);
  CondicaoPagtoView condicoes(condicao);
  ASSERT_NE(mostra<QTableView>(condicoes, "condicoes"), nullptr);
  tecla(Qt::Key_Down);
  tecla(Qt::Key_Return);  // 30/60 DIAS
  ASSERT_EQ(venda_->Get_Condicao(), 2) << (ui_.messages().empty() ? "" : ui_.messages().back().text);

  ServicosCliente servicos(db, 1);
  VALIDADOR_FISCAL validador(ui_);
  JanelasRoteiro janelas(ui_, db, valores_, {1, "caixa", 1}, validador, {});
  PrestacaoVendaPresenter presenter(ui_, *venda_, servicos, janelas);
  ASSERT_EQ(presenter.abre(), 1);
  PrestacaoVendaView view(presenter);
  auto* parcelas = mostra<QLineEdit>(view, "parcelas");
  ASSERT_NE(parcelas, nullptr);
  EXPECT_TRUE(parcelas->hasFocus());
  tecla(Qt::Key_A, Qt::ControlModifier);
  digita("3");
  tecla(Qt::Key_Return);
  EXPECT_EQ(venda_->Get_Quantidade_Parcelas(), 3);
  EXPECT_EQ(view.findChild<QTableView*>("parcelas_venda")->model()->rowCount(), 3);
  tecla(Qt::Key_Escape);
  EXPECT_EQ(view.result(), QDialog::Rejected);
  EXPECT_EQ(presenter.resultado(), 0);
}

TEST_F(PaymentViewsTest, CardDetailsChangeTheInstallmentsAndConfirmTheirPayment) {
  payment::GRUPO_FORMAS_PAGAMENTO cartao;
  cartao.CODIGO = 7;
  cartao.DESCRICAO = "CARTAO PARCELADO";
  cartao.TIPO = 5;
  cartao.TIPO_CARTAO_MANUAL = 1;
  cartao.COMPOSTA = 1;
  cartao.VEZES = 3;
  cartao.DIAS = 30;
  ASSERT_EQ(venda_->PAGAMENTO->Adiciona_Forma_Pagamento(cartao), 1);
  ASSERT_EQ(venda_->PAGAMENTO->Set_Valor_Total(63.30), 1);
  ASSERT_EQ(venda_->Paga(7, 60, 0, {}), 1) << venda_->ERROR;
  PagtoChequeCartaoPresenter presenter(ui_, *venda_, cartao);
  ASSERT_EQ(presenter.abre(), 1);
  PagtoChequeCartaoView view(presenter);
  auto* parcelas = mostra<QLineEdit>(view, "parcelas");
  ASSERT_NE(parcelas, nullptr);
  auto* lista = view.findChild<QTableView*>("parcelas_pagamento");
  EXPECT_EQ(lista->model()->rowCount(), 3);
  tecla(Qt::Key_A, Qt::ControlModifier);
  digita("2");
  tecla(Qt::Key_Return);
  EXPECT_EQ(lista->model()->rowCount(), 2);
  EXPECT_EQ(lista->model()->index(1, 2).data().toString(), "30,00");
  tecla(Qt::Key_F5);
  EXPECT_EQ(view.result(), QDialog::Accepted);
  payment::Payment pago;
  ASSERT_EQ(venda_->Get_Pagamento(1, pago), 1);
  EXPECT_EQ(pago.CONCLUIDO, 1);
}

TEST_F(DialogTest, ChangeRefusesLessThanTheDueAndConfirmsWithF5) {
  TelaTrocoPresenter presenter(ui_, 50);
  TelaTrocoView view(presenter);
  auto* pago = mostra<QLineEdit>(view, "valor_pago");
  ASSERT_NE(pago, nullptr);
  digita("40");
  tecla(Qt::Key_F5);
  EXPECT_TRUE(view.isVisible());
  ASSERT_EQ(ui_.messages().size(), 1U);
  EXPECT_EQ(ui_.messages().back().text, "O valor pago deve ser igual ou superior ao valor a pagar.");
  EXPECT_TRUE(pago->hasFocus());
  digita("60,5");
  tecla(Qt::Key_Return);
  EXPECT_EQ(view.findChild<QLineEdit*>("troco")->text(), "10,50");
  tecla(Qt::Key_F5);
  EXPECT_EQ(view.result(), QDialog::Accepted);
  EXPECT_EQ(presenter.valor_pago(), 60.50);
}

TEST_F(DialogTest, ConsumerDocumentIsTypedIntoItsMask) {
  VALIDADOR_FISCAL validador(ui_);
  CpfCnpjOpcionalPresenter presenter(ui_, validador);
  CpfCnpjOpcionalView view(presenter);
  auto* cpf = mostra<QLineEdit>(view, "cpf");
  ASSERT_NE(cpf, nullptr);
  EXPECT_TRUE(cpf->hasFocus());
  EXPECT_FALSE(view.findChild<QLineEdit*>("cnpj")->isVisible());
  digita("52998224725");
  tecla(Qt::Key_Return);
  EXPECT_TRUE(view.findChild<QLineEdit*>("nome")->hasFocus());
  digita("JOAO");
  tecla(Qt::Key_F5);
  EXPECT_EQ(view.result(), QDialog::Accepted);
  EXPECT_EQ(presenter.consumidor().cpf, "52998224725");
  EXPECT_EQ(presenter.consumidor().nome, "JOAO");
}

}  // namespace
}  // namespace fvn::desktop
