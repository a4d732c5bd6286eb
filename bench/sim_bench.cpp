// Authorisation on the service simulator: a 20-item note parsed, checked,
// signed, validated against the schema (when the schema folder exists) and
// stored, one client at a time and four clients at once. The simulator is a
// real process on a loopback port; each note has a number of its own.
#include <atomic>
#include <filesystem>
#include <memory>

#include <benchmark/benchmark.h>

#include "service/answer_fields.h"
#include "service/service_gateway.h"
#include "support/nfce_test_document.h"
#include "support/sim_process.h"

namespace {

using fvn::testing::SimProcess;

std::atomic<std::int64_t> next_number{1};

SimProcess& simulator() {
  static const std::string folder = (std::filesystem::temp_directory_path() / "fvn-sim-bench").string();
  static std::unique_ptr<SimProcess> sim = [] {
    std::filesystem::remove_all(folder);
    return std::make_unique<SimProcess>(folder, std::vector<std::string>{"--max-age", "86400", "--threads", "8"});
  }();
  return *sim;
}

void BM_AuthoriseTwentyItemNote(benchmark::State& state) {
  SimProcess& sim = simulator();
  if (!sim.running()) {
    state.SkipWithError("the simulator did not start");
    return;
  }
  fvn::ServiceGateway gateway(sim.gateway_config());
  std::int64_t failures = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const std::string xml = fvn::testing::note_with_items(20, next_number++).xml();
    state.ResumeTiming();
    const std::string answer = gateway.Autorizar_Xml("11222333000181", xml);
    if (fvn::ObterValorCampo(answer, "statusAutorizacao") != "OK") ++failures;
  }
  state.counters["failures"] = static_cast<double>(failures);
  state.counters["notes/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  state.SetLabel(fvn::testing::schema_folder().empty() ? "sign+store" : "sign+schema+store");
}
BENCHMARK(BM_AuthoriseTwentyItemNote)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(300);
BENCHMARK(BM_AuthoriseTwentyItemNote)
    ->Name("BM_AuthoriseTwentyItemNote/FourClients")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Threads(4)
    ->Iterations(300);

}  // namespace

BENCHMARK_MAIN();
