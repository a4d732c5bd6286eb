// Cost of the runtime conversions that run for every item and every field
// written: decimal rounding, ABNT rounding and number pictures.
#include <benchmark/benchmark.h>

#include "runtime/picture.h"
#include "runtime/rounding.h"

namespace {

void BM_RoundTo2(benchmark::State& state) {
  double x = 1.005;
  for (auto _ : state) {
    benchmark::DoNotOptimize(fvn::round_to(x, 2));
    x += 0.001;
  }
}
BENCHMARK(BM_RoundTo2);

void BM_RoundAbnt(benchmark::State& state) {
  double x = 2.335;
  for (auto _ : state) {
    benchmark::DoNotOptimize(fvn::round_abnt(x));
    x += 0.001;
  }
}
BENCHMARK(BM_RoundAbnt);

void BM_FormatMoney(benchmark::State& state) {
  double x = 1234.5;
  for (auto _ : state) {
    benchmark::DoNotOptimize(fvn::format_picture(x, "@n12`2"));
    x += 0.01;
  }
}
BENCHMARK(BM_FormatMoney);

}  // namespace

BENCHMARK_MAIN();
