// The options menu and the commissions form on a real widget tree,
// offscreen: function keys reach the presenters, disabled buttons ignore
// theirs, Esc closes as F12 does.
#include "desktop/options_views.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "desktop/offscreen_application.h"
#include "nfce/validador_fiscal.h"
#include "runtime/scripted_ui.h"
#include "screens/janelas_roteiro.h"

namespace fvn::desktop {
namespace {

class OptionsViewsTest : public ::testing::Test {
 protected:
  void SetUp() override { ensure_application(); }
  // Shows `view` as the active window.
  static void mostra(QDialog& view) {
    view.show();
    view.activateWindow();
    QTest::qWait(50);
  }
  // A key to whatever has the focus.
  static void tecla(Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key); }

  ScriptedUi ui;
  ModuleValues valores;
  VALIDADOR_FISCAL validador{ui};
  JanelasRoteiro janelas{ui, "", valores, SessaoAtual{1, "caixa", 1}, validador, RoteiroVenda{}};
  sale::CLASSE_VENDA venda;
  ComissoesVenda comissoes{};
  std::int32_t opcao = -1;
};

TEST_F(OptionsViewsTest, AnEmptySaleOffersTheLoadsAndTheirKeysCloseWithTheirCodes) {
  OPCOES_NOTA menu(ui, janelas, valores, venda, comissoes, opcao);
  OpcoesNotaView view(menu);
  EXPECT_EQ(view.findChild<QPushButton*>("opcao_7")->text(), "F11-Comissões");
  EXPECT_FALSE(view.findChild<QPushButton*>("opcao_7")->isEnabled());
  mostra(view);
  tecla(Qt::Key_F8);  // "F8-Cancela Nota": disabled without items
  EXPECT_TRUE(view.isVisible());
  EXPECT_EQ(opcao, -1);
  tecla(Qt::Key_F10);
  EXPECT_FALSE(view.isVisible());
  EXPECT_EQ(opcao, OPCOES_NOTA::kPedido);

  OPCOES_NOTA outro(ui, janelas, valores, venda, comissoes, opcao);
  OpcoesNotaView esc(outro);
  mostra(esc);
  tecla(Qt::Key_Escape);
  EXPECT_FALSE(esc.isVisible());
  EXPECT_EQ(opcao, OPCOES_NOTA::kNada);
}

TEST_F(OptionsViewsTest, CommissionsKeepWhatWasTypedAndShowTheRefusedAsKept) {
  comissoes[1] = 3;
  COMISSOES form(comissoes);
  ComissoesView view(form);
  mostra(view);
  QTest::keyClicks(QApplication::focusWidget(), "2,5");
  tecla(Qt::Key_Return);
  auto* segundo = view.findChild<QLineEdit*>("comissao_2");
  ASSERT_TRUE(segundo->hasFocus());
  segundo->selectAll();
  QTest::keyClicks(segundo, "150");
  tecla(Qt::Key_F12);  // "F12-Voltar" keeps the edits too
  EXPECT_FALSE(view.isVisible());
  EXPECT_EQ(segundo->text(), "3,00");  // above 100 %: refused
  EXPECT_EQ(comissoes, (ComissoesVenda{2.5, 3, 0, 0, 0, 0, 0, 0, 0, 0}));
}

}  // namespace
}  // namespace fvn::desktop
