// Base of the authorisation-workflow tests: a database clone with the demo
// shop, a working folder with the code tables, a real simulator process
// (which accepts the test sales' fixed emission date), and an NFC-e
// processor logged in for company 1, writing into a test NFC-e folder.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "../data/db_fixture.h"
#include "../nfce/test_sales.h"
#include "data/passthrough_table.h"
#include "runtime/scripted_ui.h"
#include "runtime/working_folder.h"
#include "service/nfce_processo.h"
#include "sim_process.h"
#include "support/temp_folder.h"

namespace fvn::testing {

inline constexpr const char* kCnpj = "11222333000181";

class WorkflowTest : public DbTest {
 protected:
  void SetUp() override {
    DbTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    previous_folder_ = working_folder();
    for (const auto& entry : std::filesystem::directory_iterator(FVN_TABLES_DIR)) {
      std::filesystem::create_symlink(entry.path(), work_.path() / entry.path().filename());
    }
    write_file(work_.file("nfe_ini.ini"), "[nfce]\ncst_csosn=0\ncest=1\n");
    set_working_folder(work_.path().string());
    sim_ = std::make_unique<SimProcess>(
        sim_data_.path().string(), std::vector<std::string>{"--max-age", "999999999", "--max-future", "999999999"});
    ASSERT_TRUE(sim_->running());
    table_ = std::make_unique<PassthroughTable>("TESTE", db);
    ASSERT_EQ(table_->open(), 1) << table_->error_text("");
    builder_ = std::make_unique<SaleBuilder>(*table_);
    sql("update tempresa set s_tem_caminho_pasta_nfce = " + builder_->text(nfce_.path().string()) +
        " where ccodempresa = 1");
    processor_ = make_processor(ui_);
  }
  void TearDown() override {
    processor_.reset();
    builder_.reset();
    table_.reset();
    sim_.reset();
    set_working_folder(previous_folder_);
    DbTest::TearDown();
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

  std::int32_t scenario(std::string_view name) {
    const std::int32_t sale = build_scenario(name, *builder_);
    EXPECT_GT(sale, 0) << name;
    return sale;
  }

  void sql(const std::string& statement) { builder_->run(statement); }

  // The first column of the first row of a query, as text ("" for none or NULL).
  std::string value(const std::string& query) {
    EXPECT_EQ(table_->execute(query), 1) << table_->error_text("") << "\n  in: " << query;
    if (table_->next() != 1) return {};
    return table_->value(0);
  }
  long long count(const std::string& query) { return std::stoll(value("select count(*) from (" + query + ") x")); }

  ScriptedUi ui_;
  TempFolder work_;
  TempFolder nfce_;
  TempFolder sim_data_;
  std::unique_ptr<SimProcess> sim_;
  std::unique_ptr<PassthroughTable> table_;
  std::unique_ptr<SaleBuilder> builder_;
  std::unique_ptr<NFCE_PROCESSO> processor_;
  std::string previous_folder_;
};

}  // namespace fvn::testing
