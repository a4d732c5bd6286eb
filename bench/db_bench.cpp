// Cost of the database work of a sale, on the private cluster:
//   * recording a 100-item sale (header, items, payments, installments) in
//     one transaction, one statement per row as the recording sends them
//     (goal: 50 ms or less);
//   * four stations drawing invoice numbers at once, each in its own
//     session and its own short transaction (goal: 2,000 numbers a second
//     or more, and never the same number twice).
// The benchmark clones the template database named by FVN_TEST_DB (default:
// the template of scripts/db) and drops the clone at the end. Start the
// cluster first: scripts/db start.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "bench_database.h"
#include "data/connection_text.h"
#include "data/db_session.h"
#include "data/passthrough_table.h"
#include "data/sql_values.h"

namespace {

std::string bench_db;  // connection text of the clone
std::mutex drawn_mutex;
std::vector<std::int32_t> drawn;

bool admin(const fvn::ConnectionParams& server, const std::string& sql) {
  fvn::ConnectionParams params = server;
  params.set("dbname", "postgres");
  fvn::PassthroughTable table("ADMIN", fvn::bench::keyword_text(params));
  if (table.open() != 1 || table.execute(sql) != 1) {
    std::fprintf(stderr, "%s\n", table.error_text("db_bench: " + sql + "|").c_str());
    return false;
  }
  return true;
}

int run(fvn::PassthroughTable& table, const std::string& sql, benchmark::State& state) {
  if (table.execute(sql) == 1) return 1;
  state.SkipWithError(table.error_text("statement failed|").c_str());
  return 0;
}

void BM_RecordSale100Items(benchmark::State& state) {
  fvn::PassthroughTable table("TABELA_GRAVA", bench_db);
  std::int32_t value = 0;
  table.bind_long(value);
  if (table.open() != 1) {
    state.SkipWithError(table.error_text("open|").c_str());
    return;
  }
  const int items = static_cast<int>(state.range(0));
  for (auto _ : state) {
    if (!run(table, "Begin", state)) break;
    if (!run(table, "select inclui_sequencia ( 1 );", state) || table.next() != 1) break;
    const std::string number = fvn::sql_integer(value);
    if (!run(table,
             "insert into atransacao_fin (i_atf_codigo_tem, i_atf_operador, s_atf_descricao) values (1, 1, "
             "'Venda') returning i_atf_codigo;",
             state) ||
        table.next() != 1) {
      break;
    }
    const std::string transaction = fvn::sql_integer(value);
    if (!run(table, "select nextval('seque_asaidas');", state) || table.next() != 1) break;
    const std::string sale = fvn::sql_integer(value);
    const double total = items * 17.90;
    if (!run(table,
             "insert into asaidas (cidesaidas, cempresasaidas, cemisaidas, chocsaidas, csrisaidas, cnotsaidas, "
             "caviaprsaidas, cnatsaidas, cclisaidas, cvensaidas, cfpgsaidas, i_asa_codigo_tna, "
             "i_asa_codigo_transacao_fin, "
             "nome_saidas, cpf_saidas, cep_saidas, cmersaidas, ctotsaidas, cvbrsaidas, s_asa_obs_digitadas) values (" +
                 sale + ", 1, current_date, localtime(0), 1, " + number + ", 'P', '5.102', 2, 1, 3, 5, " + transaction +
                 ", " + table.literal("JOSE D'AVILA") + ", '12345678909', 30140071, " + fvn::sql_number(total, 2) +
                 ", " + fvn::sql_number(total, 2) + ", " + fvn::sql_number(total, 2) + ", " +
                 table.literal("entrega; portão \"B\"") + ");",
             state)) {
      break;
    }
    bool ok = true;
    for (int i = 0; i < items && ok; ++i) {
      ok = run(table,
               "insert into ahistorico (cisahistorico, cemphistorico, copcadhistorico, cprohistorico, cdeshistorico, "
               "ctiphistorico, ctipphistorico, ccfohistorico, csaihisotorico, cvbrhistorico, cvdeshistorico, "
               "cvtothistorico, s_ahi_sit_tributaria, i_ahi_csosn, s_ahi_cst_ipi, s_ahi_cst_pis, s_ahi_cst_cofins, "
               "n_ahi_tot_impostos, n_ahi_valor_tot_item, i_ahi_codigo_tve, s_ahi_ncm) values (" +
                   sale + ", 1, 1, 42, " + table.literal("CAFE TORRADO MOIDO 500G") + ", 'S', 0, '5.102', " +
                   fvn::sql_number(1, 4) + ", " + fvn::sql_number(17.90, 4) + ", 0, " + fvn::sql_number(17.90, 2) +
                   ", '0102', 102, '53', '49', '49', " + fvn::sql_number(2.41, 2) + ", " + fvn::sql_number(17.90, 4) +
                   ", 1, '09012100');",
               state);
    }
    if (!ok) break;
    const double down = 100.0;
    if (!run(table,
             "insert into ahcontas (cidesaivenhist, ccodigofavorecidohistorico, ctef_cheque, cvalorcreditohistorico, "
             "cdescricaohistorico, i_ahc_ide_transacao_fin, i_ahc_codigo_tem, i_ahc_operador, i_ahc_usuario, "
             "i_ahc_codigo_forma, i_ahc_codigo_cli) values (" +
                 sale + ", 1, 0, " + fvn::sql_number(down, 2) + ", " +
                 table.literal("Venda NF: " + number + " - Emissor: 1") + ", " + transaction + ", 1, 1, 1, 1, 2);",
             state)) {
      break;
    }
    for (int p = 1; p <= 3 && ok; ++p) {
      ok = run(table,
               "insert into asduplicatas (cisadupli, cnotdupli, cnprdupli, cvendupli, cvprdupli) values (" + sale +
                   ", " + number + ", " + std::to_string(p) + ", current_date + " + std::to_string(30 * p) + ", " +
                   fvn::sql_number((total - down) / 3, 2) + ");",
               state);
    }
    if (!ok || !run(table, "Commit", state)) break;
  }
  state.counters["items"] = items;
}
BENCHMARK(BM_RecordSale100Items)->Arg(100)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_FourStationsNumbering(benchmark::State& state) {
  // Each benchmark thread is one station with its own session. With
  // argument 1 the session commits without waiting for the disk
  // (synchronous_commit off): what the numbering itself costs, apart from
  // the disk's flush time.
  fvn::PassthroughTable table("TABELA_NUMERO", bench_db);
  std::int32_t number = 0;
  table.bind_long(number);
  if (table.open() != 1 || (state.range(0) == 1 && table.execute("set synchronous_commit = off") != 1)) {
    state.SkipWithError(table.error_text("open|").c_str());
    return;
  }
  std::vector<std::int32_t> mine;
  for (auto _ : state) {
    if (table.execute("Begin") != 1 || table.execute("select inclui_sequencia ( 2 );") != 1 || table.next() != 1 ||
        table.execute("Commit") != 1) {
      state.SkipWithError(table.error_text("numbering failed|").c_str());
      break;
    }
    mine.push_back(number);
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
  const std::lock_guard<std::mutex> lock(drawn_mutex);
  drawn.insert(drawn.end(), mine.begin(), mine.end());
  fvn::DbSession::close_all();
}
BENCHMARK(BM_FourStationsNumbering)->Arg(0)->Arg(1)->Threads(4)->UseRealTime()->MinTime(3.0);

}  // namespace

int main(int argc, char** argv) {
  const auto server = fvn::bench::template_server("db_bench");
  if (!server) return 1;
  const std::string clone = "fvn_bench_" + std::to_string(::getpid());
  if (!admin(*server, "create database " + clone + " template " + server->get("dbname"))) return 1;
  fvn::ConnectionParams params = *server;
  params.set("dbname", clone);
  bench_db = fvn::bench::keyword_text(params);

  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  fvn::DbSession::close_all();

  std::sort(drawn.begin(), drawn.end());
  const auto duplicates =
      drawn.size() - static_cast<std::size_t>(std::unique(drawn.begin(), drawn.end()) - drawn.begin());
  std::printf("invoice numbers drawn by the four stations: %zu, duplicates: %zu\n", drawn.size(), duplicates);
  admin(*server, "drop database if exists " + clone + " with (force)");
  return duplicates == 0 ? 0 : 1;
}
