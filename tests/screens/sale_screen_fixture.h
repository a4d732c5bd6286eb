// Base of the sale screen's tests against a real simulator: the demo shop's
// module values, a facade, and open() starting the screen (its new-sale
// reset) with the test's dialogs; receipts are not drawn but listed in
// impressos_.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "service/workflow_fixture.h"
#include "support/demo_sale.h"

namespace fvn::testing {

class SaleScreenTest : public WorkflowTest {
 protected:
  void SetUp() override {
    WorkflowTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    ASSERT_TRUE(carrega_valores_demo(db, valores_));
    venda_ = std::make_unique<sale::CLASSE_VENDA>();
  }
  void TearDown() override {
    tela_.reset();
    venda_.reset();
    WorkflowTest::TearDown();
  }
  NotaPadraoNfcePresenter& open(JanelasVenda& janelas) {
    tela_ = abre_tela_demo(ui_, janelas, valores_, *venda_, *processor_, sim_->gateway_config().url, &impressos_);
    return *tela_;
  }

  ModuleValues valores_;
  std::unique_ptr<sale::CLASSE_VENDA> venda_;
  std::unique_ptr<NotaPadraoNfcePresenter> tela_;
  std::vector<std::int32_t> impressos_;
};

}  // namespace fvn::testing
