// Base of the authorisation-workflow tests: the recorded-sales base (database
// clone with the demo shop, working folder with the code tables, sale
// builder), a real simulator process (which accepts the test sales' fixed
// emission date), and an NFC-e processor logged in for company 1, writing
// into a test NFC-e folder.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "../nfce/sales_fixture.h"
#include "data/sql_values.h"
#include "runtime/clock.h"
#include "service/nfce_processo.h"
#include "support/sim_process.h"
#include "support/temp_folder.h"

namespace fvn::testing {

inline constexpr const char* kCnpj = "11222333000181";

class WorkflowTest : public SalesDbTest {
 protected:
  void SetUp() override {
    SalesDbTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    sim_ = std::make_unique<SimProcess>(
        sim_data_.path().string(), std::vector<std::string>{"--max-age", "999999999", "--max-future", "999999999"});
    ASSERT_TRUE(sim_->running());
    sql("update tempresa set s_tem_caminho_pasta_nfce = " + builder_->text(nfce_.path().string()) +
        " where ccodempresa = 1");
    processor_ = make_processor(ui_);
  }
  void TearDown() override {
    processor_.reset();
    sim_.reset();
    SalesDbTest::TearDown();
  }

  std::unique_ptr<NFCE_PROCESSO> make_processor(HostUi& ui) {
    auto processor = std::make_unique<NFCE_PROCESSO>(ui, sim_->gateway_config());
    processor->set_connection(db);
    processor->Carrega_Pastas(1);
    return processor;
  }

  // The server check and the sending of `sale`, as the sale screen runs them.
  int issue(std::int32_t sale) {
    if (processor_->Checar_Servidor(kCnpj, "", "", "", "", sale, 0, 0) != 1) return 0;
    return processor_->Enviar_Nota(sale);
  }

  // A sale of today (coffee x2, cola x1) issued in contingency, which the
  // service then refuses; the station's lists start from its day, which the
  // server's may not be near midnight.
  std::int32_t rejected_sale() {
    EXPECT_TRUE(sim_->fault({{"mode", "pending"}, {"call", "autorizar"}, {"after", 0}, {"resolve", "ERRO"}}));
    const auto sale = scenario("consumidor_sem_cpf");
    sql("update asaidas set cemisaidas = " + sql_date(today()) + " where cidesaidas = " + std::to_string(sale));
    EXPECT_EQ(issue(sale), 1) << processor_->ERROR;
    EXPECT_TRUE(sim_->fault({{"mode", "normal"}}));
    return sale;
  }

  // Every message shown so far, one a line.
  std::string messages() const {
    std::string out;
    for (const MessageRequest& m : ui_.messages()) out += m.text + "\n";
    return out;
  }

  // The first column of the first row of a query, as text ("" for none or NULL).
  std::string value(const std::string& query) {
    EXPECT_EQ(table_->execute(query), 1) << table_->error_text("") << "\n  in: " << query;
    if (table_->next() != 1) return {};
    return table_->value(0);
  }
  long long count(const std::string& query) { return std::stoll(value("select count(*) from (" + query + ") x")); }

  TempFolder nfce_;
  TempFolder sim_data_;
  std::unique_ptr<SimProcess> sim_;
  std::unique_ptr<NFCE_PROCESSO> processor_;
};

}  // namespace fvn::testing
