// Cost of one keystroke in a browse: the query the pick list runs for the
// search text typed so far (goal: 16 ms or less, one frame), on a shop of
// 100,000 generated customers and 100,000 generated products. Each text of
// a typing sequence is one benchmark; the prefix rule (one or two
// characters), the trigram rule (three or more) and the digits rule (code,
// document, bar code) are all covered, as is a text no row matches.
// The benchmark clones the template database named by FVN_TEST_DB (default:
// the template of scripts/db), fills the clone and drops it at the end.
// Start the cluster first: scripts/db start.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include <benchmark/benchmark.h>

#include "bench_database.h"
#include "data/connection_text.h"
#include "data/db_session.h"
#include "data/passthrough_table.h"
#include "screens/browses.h"

namespace {

std::string bench_db;  // connection text of the clone

bool run_sql(const std::string& connection, const std::string& sql) {
  fvn::PassthroughTable table("BENCH", connection);
  if (table.open() != 1 || table.execute(sql) != 1) {
    std::fprintf(stderr, "%s\n", table.error_text("browse_bench: " + sql.substr(0, 60) + "|").c_str());
    return false;
  }
  return true;
}

// Names built from word lists so that prefixes and fragments repeat as in a
// real shop (many "MARIA", "SILVA", "ARROZ"), each ending in its number.
constexpr const char* kFill = R"SQL(
insert into aclientes (ccodigo, cnomecliente, i_acl_tipo_pessoa, s_acl_cpf, s_acl_cidade, s_acl_uf, i_acl_cep)
select 1000 + g,
  (array['MARIA','JOSE','ANA','JOAO','ANTONIO','FRANCISCA','CARLOS','PAULO','LUCAS','JULIANA','MARCOS','PATRICIA',
         'RAFAEL','ALINE','BRUNO','SANDRA','DIEGO','CAMILA','FELIPE','VERA'])[1 + (g * 7) % 20] || ' ' ||
  (array['SILVA','SANTOS','OLIVEIRA','SOUZA','RODRIGUES','FERREIRA','ALVES','PEREIRA','LIMA','GOMES','COSTA',
         'RIBEIRO','MARTINS','CARVALHO','ALMEIDA','LOPES','SOARES','FERNANDES','VIEIRA','BARBOSA','ROCHA','DIAS',
         'NASCIMENTO','ANDRADE','MOREIRA'])[1 + (g * 13) % 25] || ' ' ||
  (array['SILVA','SANTOS','OLIVEIRA','SOUZA','RODRIGUES','FERREIRA','ALVES','PEREIRA','LIMA','GOMES','COSTA',
         'RIBEIRO','MARTINS','CARVALHO','ALMEIDA','LOPES','SOARES','FERNANDES','VIEIRA','BARBOSA','ROCHA','DIAS',
         'NASCIMENTO','ANDRADE','MOREIRA'])[1 + (g * 31 / 7) % 25] || ' ' || g,
  1, lpad(((g::bigint * 7919) % 99999999999)::text, 11, '0'), 'BELO HORIZONTE', 'MG', 30130000
from generate_series(1, 100000) g;
insert into aprodutos (ccodproduto, cdesproduto, cbarproduto, ctriproduto, i_apr_codigo_cnm, n_apr_preco_normal,
                       n_apr_preco_tabela1, n_apr_estoque_empresa1)
select 1000 + g,
  (array['ARROZ','FEIJAO','CAFE','ACUCAR','OLEO','MACARRAO','FARINHA','LEITE','BISCOITO','SABAO','DETERGENTE',
         'PARAFUSO','MARTELO','CHAVE','TINTA','CANETA','CADERNO','SUCO','REFRIGERANTE','AGUA'])[1 + (g * 7) % 20] ||
  ' ' || (array['TIPO 1','INTEGRAL','EXTRA','PREMIUM','TRADICIONAL','LIGHT','ZERO','FORTE','SUAVE','ESPECIAL'])
         [1 + (g * 3) % 10] || ' ' ||
  (array['500G','1KG','2KG','5KG','1L','2L','900ML','UN','CX 12','PCT 6'])[1 + (g * 11 / 3) % 10] || ' ' || g,
  '789' || lpad(g::text, 10, '0'), 1, '10063021', 1 + g % 500, 0.9 + g % 500, g % 40
from generate_series(1, 100000) g;
analyze aclientes;
analyze aprodutos;
)SQL";

void keystroke(benchmark::State& state, const fvn::Browse& browse, const std::string& text) {
  fvn::PassthroughTable table("LISTA", bench_db);
  fvn::BrowseRows rows;
  for (auto _ : state) {
    if (fvn::browse_rows(table, browse, text, rows) != 1) {
      state.SkipWithError(table.error_text("query failed|").c_str());
      break;
    }
  }
  state.counters["rows"] = static_cast<double>(rows.size());
}

void register_sequence(const std::string& group, const fvn::Browse& browse, const char* const* texts) {
  for (; *texts != nullptr; ++texts) {
    const std::string text = *texts;
    benchmark::RegisterBenchmark((group + "/\"" + text + "\"").c_str(),
                                 [browse, text](benchmark::State& state) { keystroke(state, browse, text); })
        ->Unit(benchmark::kMillisecond)
        ->MinTime(0.3);
  }
}

}  // namespace

int main(int argc, char** argv) {
  const auto server = fvn::bench::template_server("browse_bench");
  if (!server) return 1;
  fvn::ConnectionParams admin = *server;
  admin.set("dbname", "postgres");
  const std::string admin_db = fvn::bench::keyword_text(admin);
  const std::string clone = "fvn_browse_bench_" + std::to_string(::getpid());
  if (!run_sql(admin_db, "create database " + clone + " template " + server->get("dbname"))) return 1;
  fvn::ConnectionParams params = *server;
  params.set("dbname", clone);
  bench_db = fvn::bench::keyword_text(params);

  int status = 1;
  if (run_sql(bench_db, kFill)) {
    static const char* const kCustomers[] = {"",      "m",       "ma",        "mar",          "mari",
                                             "maria", "maria s", "maria sil", "nascimento 9", "zzz",
                                             "1",     "12",      "5432",      "12345",        nullptr};
    static const char* const kProducts[] = {
        "", "c", "ca", "caf", "cafe", "cafe premium", "2kg 77", "ozz", "7890000012345", "789000001", "4242", nullptr};
    register_sequence("clientes", fvn::browse_clientes(), kCustomers);
    register_sequence("lista_de_precos", fvn::LISTA_DE_PRECOS(1, 1), kProducts);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    status = 0;
  }
  fvn::DbSession::close_all();
  run_sql(admin_db, "drop database if exists " + clone + " with (force)");
  return status;
}
