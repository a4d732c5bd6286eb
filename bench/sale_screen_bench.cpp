// The sale screen on the demo shop (a clone of the test database, FVN_TEST_DB)
// with a local simulator process:
//   - BM_OpenAndNewSale: the presenter created and opened (colours and the
//     new-sale reset: parties, conditions, banks, payees, price table);
//   - BM_KeyToRepaintedList: with 1,000 items on the sale, one product code
//     typed and accepted, then the window refreshed (only the rows that
//     changed signalled) and its list and totals repainted, offscreen (/1:
//     the refresh and repaint alone);
//   - BM_LastKeyToNextSale: a 20-item sale (typed outside the timing) from
//     Alt+F5 (the change dialog answered at once) to the screen ready for the
//     next sale: recorded, issued against the simulator, the receipt drawn to
//     PDF and PNG, and the new-sale reset.
#include <QApplication>
#include <memory>
#include <sstream>
#include <string>

#include <benchmark/benchmark.h>

#include "bench_shop.h"
#include "data/module_values.h"
#include "desktop/sale_window.h"
#include "devices/impressao_danfe.h"
#include "nfce/validador_fiscal.h"
#include "runtime/headless_ui.h"
#include "screens/janelas_roteiro.h"
#include "screens/nota_padrao_nfce.h"
#include "service/nfce_processo.h"
#include "support/db_fixture.h"

namespace {

// What every benchmark of the screen needs, on the demo shop.
struct Screen {
  explicit Screen(const std::string& db)
      : shop("fvn-sale-screen-bench", db), ui(messages), processor(ui, shop.sim->gateway_config()), validator(ui) {
    fvn::PassthroughTable table("VALORES", db);
    if (fvn::load_module_values(table, 1, 1, values, problem) != 1) return;
    danfe = std::make_unique<fvn::IMPRESSAO_DANFE>(ui);
    danfe->set_connection(db);
    janelas = std::make_unique<fvn::JanelasRoteiro>(ui, db, values, fvn::SessaoAtual{1, "caixa", 1}, validator,
                                                    fvn::RoteiroVenda{});
  }
  std::unique_ptr<fvn::NotaPadraoNfcePresenter> open() {
    fvn::EstacaoVenda estacao{fvn::contexto_estacao(values, shop.sim->url()), 1};
    estacao.contexto.imprime_danfe = [this](std::int32_t sale, std::int32_t resumido) {
      const std::string base = (shop.root / ("danfe-" + std::to_string(sale))).string();
      return danfe->Gera_PDF(sale, resumido, base + ".pdf", base + ".png");
    };
    auto screen = std::make_unique<fvn::NotaPadraoNfcePresenter>(ui, *janelas, values, venda, processor, estacao);
    screen->abre();
    return screen;
  }

  fvn::bench::BenchShop shop;
  std::ostringstream messages;  // the screen's messages are kept out of the report
  fvn::HeadlessUi ui;
  fvn::NFCE_PROCESSO processor;
  fvn::VALIDADOR_FISCAL validator;
  fvn::ModuleValues values;
  fvn::sale::CLASSE_VENDA venda;
  std::unique_ptr<fvn::IMPRESSAO_DANFE> danfe;
  std::unique_ptr<fvn::JanelasRoteiro> janelas;
  std::string problem;
};

std::unique_ptr<Screen> screen_or_skip(benchmark::State& state) {
  const std::string& db = fvn::testing::test_database();
  if (db.empty()) {
    state.SkipWithError(("no test database: " + fvn::testing::reason()).c_str());
    return nullptr;
  }
  auto screen = std::make_unique<Screen>(db);
  if (!screen->shop.problem.empty() || !screen->problem.empty()) {
    state.SkipWithError((screen->shop.problem + screen->problem).c_str());
    return nullptr;
  }
  return screen;
}

void BM_OpenAndNewSale(benchmark::State& state) {
  auto s = screen_or_skip(state);
  if (!s) return;
  for (auto _ : state) benchmark::DoNotOptimize(s->open());
}
BENCHMARK(BM_OpenAndNewSale)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_KeyToRepaintedList(benchmark::State& state) {
  auto s = screen_or_skip(state);
  if (!s) return;
  auto screen = s->open();
  // An identified customer: a thousand items pass the consumer's limit.
  if (screen->cliente(2) != 1) {
    state.SkipWithError("customer 2 was refused");
    return;
  }
  for (int i = 0; i < 1000; ++i) {
    if (screen->codigo_produto(i % 2 == 0 ? "42" : "7891000000021") != 1) {
      state.SkipWithError("an item was refused");
      return;
    }
  }
  fvn::desktop::SaleWindow window(*screen);
  window.show();
  window.refresh();
  QApplication::processEvents();
  const bool view_only = state.range(0) == 1;
  for (auto _ : state) {
    if (view_only) state.PauseTiming();
    screen->codigo_produto("42");
    if (view_only) state.ResumeTiming();
    window.refresh();
    QApplication::processEvents();  // the repaint of what changed, as after a real key
  }
  state.counters["items"] = screen->quantidade_itens();
}
// Arg 0: the whole key (item entry, engine, view); 1: the view's share only.
BENCHMARK(BM_KeyToRepaintedList)->Unit(benchmark::kMillisecond)->Iterations(100)->Arg(0)->Arg(1);

void BM_LastKeyToNextSale(benchmark::State& state) {
  auto s = screen_or_skip(state);
  if (!s) return;
  auto screen = s->open();
  for (auto _ : state) {
    state.PauseTiming();
    for (int i = 0; i < 20; ++i) screen->codigo_produto(i % 2 == 0 ? "42" : "7891000000021");
    s->messages.str({});
    state.ResumeTiming();
    if (screen->tecla(fvn::TeclaVenda::AltF5) != 1) {
      state.SkipWithError(("the sale was not closed: " + s->messages.str()).c_str());
      break;
    }
  }
}
BENCHMARK(BM_LastKeyToNextSale)->Unit(benchmark::kMillisecond)->MinTime(3.0);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
