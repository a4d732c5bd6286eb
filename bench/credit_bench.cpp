// Every credit and block check of one customer (the eight block checks, the
// total and monthly limits, the available credit) on a shop of 50,000
// customers with 100,000 sales, 100,000 installments and 100,000 customer
// credits, beside the same round on the demo shop. Each check reads only
// that customer's rows through an index (its execution takes about 0.2 ms
// on the large shop); the round trip and the planning make up the rest.
// Goal: the eleven answers in 25 ms or less on the large shop. Runs on a
// clone of the template database named by FVN_TEST_DB (scripts/db
// template), dropped at the end.
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "data/passthrough_table.h"
#include "screens/servicos_cliente.h"
#include "support/db_fixture.h"

namespace {

constexpr int kCustomers = 50'000;
constexpr int kRows = 100'000;

std::string generate(const std::string& db) {
  fvn::PassthroughTable t("BENCH", db);
  const std::string n = std::to_string(kRows);
  const std::string c = std::to_string(kCustomers);
  for (const std::string& sql : {
           "insert into aclientes (ccodigo, cnomecliente, i_acl_cep, n_acl_limite_credito, n_acl_limite_mensal, "
           "d_acl_nascimento) select 100 + g, 'CLIENTE ' || g, 30130000, 1000, 300, date '1990-01-01' from "
           "generate_series(0, " +
               c + " - 1) g",
           "do $$ declare cols text; begin select string_agg(column_name, ', ' order by ordinal_position) into cols "
           "from information_schema.columns where table_name = 'asaidas' and column_name not in ('cidesaidas', "
           "'cnotsaidas', 'cclisaidas'); execute format('insert into asaidas (cidesaidas, cnotsaidas, cclisaidas, %s) "
           "select 1000 + g, 1000 + g, 100 + g %% " +
               c + ", %s from asaidas, generate_series(1, " + n + ") g where cidesaidas = 5', cols, cols); end $$",
           "insert into asduplicatas (cisadupli, cnprdupli, cvendupli, cvprdupli) select 1000 + g, 1, current_date - "
           "(g % 400) + 200, 50 from generate_series(1, " +
               n + ") g",
           "insert into ahcontas (ccodigofavorecidohistorico, cvalorcreditohistorico, i_ahc_tip_lancto, "
           "i_ahc_codigo_cli) select 7, 5, 3, 100 + g % " +
               c + " from generate_series(1, " + n + ") g",
           std::string{"analyze"},
       }) {
    if (t.open() != 1 || t.execute(sql) != 1) return t.error_text("credit_bench: generating the shop|");
  }
  return {};
}

// The eleven answers for customers `primeiro`, `primeiro` + 1 ... of `quantos`.
void every_check(benchmark::State& state, const std::string& db, std::int32_t primeiro, std::int32_t quantos) {
  fvn::ServicosCliente s(db, 1);
  const std::vector<fvn::ParcelaPlano> plano = {{fvn::today() + 30, 100}, {fvn::today() + 60, 100}};
  std::int32_t n = 0;
  for (auto _ : state) {
    const std::int32_t cliente = primeiro + n;
    n = (n + 7919) % quantos;
    fvn::Bloqueio b;
    std::vector<fvn::MesAcimaLimite> meses;
    std::string mensagem;
    int restricoes = s.VERIFICA_BLOQUEIO_ATRASO(cliente, b) + s.VERIFICA_BLOQUEIO_ATRASO_AVISTA(cliente, b) +
                     s.VERIFICA_BLOQUEIO_ATRASO_DIAS(cliente, b) + s.VERIFICA_BLOQUEIO_ATRASO_DIAS_AVISTA(cliente, b) +
                     s.VERIFICA_BLOQUEIO_CIDADE(cliente, b) + s.VERIFICA_BLOQUEIO_IDADE(cliente, b) +
                     s.VERIFICACAO_SPC_CLIENTE(cliente, b) + s.VERIFICA_BLOQUEIO_LIMITE_CREDITO(cliente, 200, b) +
                     s.VERIFICA_LIMITE_TOTAL_CLIENTE(cliente, 200, mensagem) +
                     s.VERIFICA_LIMITE_MENSAL_CLIENTE(cliente, plano, meses, mensagem);
    benchmark::DoNotOptimize(restricoes);
    benchmark::DoNotOptimize(s.VERIFICA_CREDITO_CLIENTE(cliente, mensagem));
    if (!s.erro().empty()) {
      state.SkipWithError(s.erro().c_str());
      break;
    }
  }
}

void BM_EveryCheckDemoShop(benchmark::State& state) {
  const std::string& db = fvn::testing::test_database();
  if (db.empty()) {
    state.SkipWithError(("no test database: " + fvn::testing::reason()).c_str());
    return;
  }
  every_check(state, db, 1, 5);
}
BENCHMARK(BM_EveryCheckDemoShop)->Unit(benchmark::kMillisecond)->MinTime(1.0);

void BM_EveryCheckLargeShop(benchmark::State& state) {
  const std::string& db = fvn::testing::test_database();
  if (db.empty()) {
    state.SkipWithError(("no test database: " + fvn::testing::reason()).c_str());
    return;
  }
  static const std::string problem = generate(db);
  if (!problem.empty()) {
    state.SkipWithError(problem.c_str());
    return;
  }
  every_check(state, db, 100, kCustomers);
}
BENCHMARK(BM_EveryCheckLargeShop)->Unit(benchmark::kMillisecond)->MinTime(1.0);

}  // namespace

BENCHMARK_MAIN();
