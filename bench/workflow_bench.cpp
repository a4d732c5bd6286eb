// Issuing a recorded 20-item sale against the local simulator, as `fvn
// issue` does: the invoice XML, the sending, the answer and the authorised
// XML stored, the QR image drawn. Needs the test database (FVN_TEST_DB); a
// fresh sale is recorded before each iteration, outside the timing.
#include <filesystem>
#include <memory>
#include <string>

#include <benchmark/benchmark.h>

#include "bench_shop.h"
#include "data/passthrough_table.h"
#include "runtime/headless_ui.h"
#include "service/nfce_processo.h"
#include "support/db_fixture.h"
#include "support/test_sales.h"

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
  const fvn::bench::BenchShop shop("fvn-workflow-bench", db);
  if (!shop.problem.empty()) {
    state.SkipWithError(shop.problem.c_str());
    return;
  }
  fvn::PassthroughTable table("BENCH", db);
  table.open();
  SaleBuilder builder(table);
  fvn::HeadlessUi ui;
  fvn::NFCE_PROCESSO processor(ui, shop.sim->gateway_config());
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
}
BENCHMARK(BM_IssueTwentyItemSale)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
