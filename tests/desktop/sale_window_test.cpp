// The sale window offscreen over its presenter on a clone of the demo shop:
// the item list tells the view only what changed, and the fields' Enter
// sells without closing the window.
#include "desktop/sale_window.h"

#include <QApplication>
#include <QBrush>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include "desktop/offscreen_application.h"
#include "desktop/sale_item_model.h"
#include "runtime/scripted_ui.h"
#include "runtime/working_folder.h"
#include "service/nfce_processo.h"
#include "support/code_tables.h"
#include "support/db_fixture.h"
#include "support/demo_sale.h"
#include "support/temp_folder.h"

namespace fvn::desktop {
namespace {

class SaleWindowTest : public testing::DbTest {
 protected:
  void SetUp() override {
    DbTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    ensure_application();
    testing::invoice_working_folder(work_);
    previous_ = working_folder();
    set_working_folder(work_.path().string());
    ASSERT_TRUE(testing::carrega_valores_demo(db, valores_));
    processo_ = std::make_unique<NFCE_PROCESSO>(ui_, GatewayConfig{});
    tela_ = testing::abre_tela_demo(ui_, janelas_, valores_, venda_, *processo_, "");
  }
  void TearDown() override {
    tela_.reset();
    processo_.reset();
    set_working_folder(previous_);
    DbTest::TearDown();
  }

  ScriptedUi ui_;
  testing::JanelasFixas janelas_;  // every item sold as it is; nothing else is asked
  ModuleValues valores_;
  sale::CLASSE_VENDA venda_;
  testing::TempFolder work_;
  std::string previous_;
  std::unique_ptr<NFCE_PROCESSO> processo_;
  std::unique_ptr<NotaPadraoNfcePresenter> tela_;
};

TEST_F(SaleWindowTest, ListSignalsOnlyTheRowsThatChanged) {
  SaleItemModel model(*tela_);
  for (const char* codigo : {"42", "43", "44"}) ASSERT_EQ(tela_->codigo_produto(codigo), 1);
  EXPECT_EQ(model.refresh(), 0);  // three rows inserted, none changed
  ASSERT_EQ(model.rowCount(), 3);
  QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
  QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);

  // A fourth item: one row inserted, the others untouched.
  ASSERT_EQ(tela_->codigo_produto("45"), 1);
  EXPECT_EQ(model.refresh(), 0);
  EXPECT_EQ(inserted.count(), 1);
  EXPECT_EQ(changed.count(), 0);

  // Freight is shared by every item: every row changes, in one signal.
  ASSERT_EQ(tela_->frete(10), 1);
  EXPECT_EQ(model.refresh(), 4);
  ASSERT_EQ(changed.count(), 1);
  EXPECT_EQ(changed[0][0].value<QModelIndex>().row(), 0);
  EXPECT_EQ(changed[0][1].value<QModelIndex>().row(), 3);

  // A cancelled item stays on the list in the cancelled colour.
  ASSERT_EQ(venda_.Cancela_Item(2), 1);
  EXPECT_GE(model.refresh(), 1);
  EXPECT_EQ(model.rowCount(), 4);
  EXPECT_EQ(model.data(model.index(1, 7), Qt::DisplayRole).toString(), "Sim");
  EXPECT_EQ(model.data(model.index(1, 0), Qt::BackgroundRole).value<QBrush>().color(), QColor(QRgb(kCorCancelado)));
  EXPECT_EQ(model.data(model.index(0, 7), Qt::DisplayRole).toString(), "");
}

TEST_F(SaleWindowTest, EnterInTheFieldsSellsAndKeepsTheWindowOpen) {
  SaleWindow window(*tela_);
  window.show();
  window.refresh();
  auto* quantidade = window.findChild<QLineEdit*>("quantidade");
  auto* produto = window.findChild<QLineEdit*>("produto");
  ASSERT_NE(quantidade, nullptr);
  ASSERT_NE(produto, nullptr);
  quantidade->setFocus();
  quantidade->selectAll();
  QTest::keyClicks(quantidade, "2,5");
  QTest::keyClick(quantidade, Qt::Key_Return);
  EXPECT_TRUE(window.isVisible());
  EXPECT_DOUBLE_EQ(tela_->campos().quantidade, 2.5);
  QTest::keyClicks(produto, "46");  // cheese by weight
  QTest::keyClick(produto, Qt::Key_Return);
  EXPECT_TRUE(window.isVisible());
  ASSERT_EQ(window.model().rowCount(), 1);
  EXPECT_EQ(window.model().data(window.model().index(0, 3), Qt::DisplayRole).toString(), "2,500");
  EXPECT_EQ(produto->text(), "");
  // Text in the quantity is refused with its message; the quantity stays.
  QTest::keyClicks(quantidade, "abc");
  QTest::keyClick(quantidade, Qt::Key_Return);
  EXPECT_NE(ui_.messages().back().text.find("Valor inválido"), std::string::npos);
  EXPECT_DOUBLE_EQ(tela_->campos().quantidade, 1);
}

}  // namespace
}  // namespace fvn::desktop
