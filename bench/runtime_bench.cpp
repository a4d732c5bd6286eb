// Cost of the runtime conversions that run for every item and every field
// written: decimal rounding, ABNT rounding and number pictures.
#include <benchmark/benchmark.h>

#include "runtime/expression.h"
#include "runtime/picture.h"
#include "runtime/rounding.h"

namespace {

// One scale reading evaluates four expressions against the answer.
void BM_ScaleExpressions(benchmark::State& state) {
  const std::vector<fvn::ExpressionBinding> p{{"P",
                                               "\x02"
                                               "01250"
                                               "\x03"}};
  for (auto _ : state) {
    benchmark::DoNotOptimize(fvn::evaluate_expression("SUB(P, 2, 5)", p));
    benchmark::DoNotOptimize(fvn::evaluate_expression("SUB(P, 2, 1) = 'N'", p));
    benchmark::DoNotOptimize(fvn::evaluate_expression("SUB(P, 2, 1) = 'I'", p));
    benchmark::DoNotOptimize(fvn::evaluate_expression("SUB(P, 2, 1) = 'S'", p));
  }
}
BENCHMARK(BM_ScaleExpressions);

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
