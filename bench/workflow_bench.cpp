// Issuing a recorded 20-item sale against the local simulator, as `fvn
// issue` does: the invoice XML, the sending, the answer and the authorised
// XML stored, the QR image drawn. Needs the test database (FVN_TEST_DB); a
// fresh sale is recorded before each iteration, outside the timing.
#include <filesystem>
#include <memory>
#include <string>

#include <benchmark/benchmark.h>

#include "data/db_fixture.h"
#include "data/passthrough_table.h"
#include "nfce/test_sales.h"
#include "runtime/headless_ui.h"
#include "runtime/working_folder.h"
#include "service/nfce_processo.h"
#include "service/sim_process.h"
#include "support/code_tables.h"

namespace {

using fvn::testing::SaleBuilder;

// A cash sale of 20 distinct items (products 42 to 47 in turn).
std::int32_t twenty_item_sale(SaleBuilder& b) {
  const auto sale = b.sale({{"cmersaidas", "200.00"}, {"ctotsaidas", "200.00"}, {"cvbrsaidas", "200.00"}});
  for (int i = 0; i < 20; ++i) {
    b.item(sale, {{"cprohistorico", std::to_string(42 + i % 6)},
                  {"cdeshistorico", "'ITEM " + std::to_string(i + 1) + "'"},
                  {"ccfohistorico", "'5.102'"},
                  {"csaihisotorico", "1"},
                  {"cvbrhistorico", "10.00"},
                  {"cvtothistorico", "10.00"},
                  {"s_ahi_sit_tributaria", "'0102'"},
                  {"i_ahi_csosn", "102"}});
  }
  b.posting(sale, {{"cvalorcreditohistorico", "200.00"}});
  return sale;
}

void BM_IssueTwentyItemSale(benchmark::State& state) {
  const std::string& db = fvn::testing::test_database();
  if (db.empty()) {
    state.SkipWithError(("no test database: " + fvn::testing::reason()).c_str());
    return;
  }
  const auto root = std::filesystem::temp_directory_path() / "fvn-workflow-bench";
  std::filesystem::remove_all(root);
  std::filesystem::create_directories(root / "work");
  std::filesystem::create_directories(root / "nfce");
  fvn::testing::link_code_tables(root / "work");
  fvn::set_working_folder((root / "work").string());
  fvn::testing::SimProcess sim((root / "sim").string(), {"--max-age", "999999999", "--max-future", "999999999"});
  if (!sim.running()) {
    state.SkipWithError("the simulator did not start");
    return;
  }
  fvn::PassthroughTable table("BENCH", db);
  table.open();
  SaleBuilder builder(table);
  builder.run("update tempresa set s_tem_caminho_pasta_nfce = " + builder.text((root / "nfce").string()) +
              " where ccodempresa = 1");
  fvn::HeadlessUi ui;
  fvn::NFCE_PROCESSO processor(ui, sim.gateway_config());
  processor.set_connection(db);
  processor.Carrega_Pastas(1);
  for (auto _ : state) {
    state.PauseTiming();
    const auto sale = twenty_item_sale(builder);
    state.ResumeTiming();
    if (processor.Checar_Servidor("11222333000181", "", "", "", "", sale, 0, 0) != 1 ||
        processor.Enviar_Nota(sale) != 1) {
      state.SkipWithError(processor.ERROR.c_str());
      break;
    }
  }
  std::filesystem::remove_all(root);
}
BENCHMARK(BM_IssueTwentyItemSale)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
