// Cost of the validator's table look-ups against the committed code tables:
// a look-up answered from the cache, and the first look-up of a code in the
// 5,571-line municipality table (which reads the file).
#include <benchmark/benchmark.h>

#include "nfce/validador_fiscal.h"
#include "runtime/scripted_ui.h"
#include "runtime/working_folder.h"

namespace {

// The last municipality of the table (the whole file is read to find it) and
// one that is not there (the whole file is read to miss it).
constexpr std::string_view kLastMunicipio = "5300108";
constexpr std::string_view kMissingMunicipio = "5399999";

void BM_CachedLookups100k(benchmark::State& state) {
  fvn::set_working_folder(FVN_TABLES_DIR);
  fvn::ScriptedUi ui;
  fvn::VALIDADOR_FISCAL validator(ui);
  // A handful of cached codes of several tables, as a sale would have them.
  validator.Valida_Municipio(kLastMunicipio);
  validator.Valida_CFOP("5102");
  validator.Valida_PIS("01");
  validator.Valida_Cofins("01");
  validator.Valida_IPI("99");
  for (auto _ : state) {
    int found = 0;
    for (int i = 0; i < 100000; ++i) found += validator.Valida_Municipio(kLastMunicipio);
    benchmark::DoNotOptimize(found);
  }
}
BENCHMARK(BM_CachedLookups100k)->Unit(benchmark::kMillisecond);

void first_lookup(benchmark::State& state, std::string_view code) {
  fvn::set_working_folder(FVN_TABLES_DIR);
  fvn::ScriptedUi ui;
  for (auto _ : state) {
    state.PauseTiming();
    fvn::VALIDADOR_FISCAL validator(ui);
    state.ResumeTiming();
    benchmark::DoNotOptimize(validator.Valida_Municipio(code));
  }
}

void BM_FirstLookupMunicipioLastLine(benchmark::State& state) { first_lookup(state, kLastMunicipio); }
BENCHMARK(BM_FirstLookupMunicipioLastLine)->Unit(benchmark::kMicrosecond);

void BM_FirstLookupMunicipioMiss(benchmark::State& state) { first_lookup(state, kMissingMunicipio); }
BENCHMARK(BM_FirstLookupMunicipioMiss)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
