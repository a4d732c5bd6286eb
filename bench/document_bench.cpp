// Cost of writing the NFC-e XML of a recorded sale, database read included
// (header, items, payments, accountant, key), file written, joined into the
// document that is sent:
//   * a 20-item sale (goal: 10 ms or less);
//   * a 1,000-item sale (goal: 100 ms or less);
// and of the totals pre-check on those two documents.
// The benchmark clones the template database named by FVN_TEST_DB (default:
// the template of scripts/db), records the two sales there and drops the
// clone at the end. Start the cluster first: scripts/db start.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <benchmark/benchmark.h>

#include "bench_database.h"
#include "data/connection_text.h"
#include "data/db_session.h"
#include "data/passthrough_table.h"
#include "nfce/nfce_documento.h"
#include "nfce/valida_totais.h"
#include "runtime/headless_ui.h"
#include "runtime/working_folder.h"

namespace {

std::string bench_db;  // connection text of the clone
std::filesystem::path out_folder;

bool run(fvn::PassthroughTable& table, const std::string& sql) {
  if (table.open() == 1 && table.execute(sql) == 1) return true;
  std::fprintf(stderr, "%s\n", table.error_text("document_bench: " + sql.substr(0, 80) + "|").c_str());
  return false;
}

bool admin(fvn::ConnectionParams server, const std::string& sql) {
  server.set("dbname", "postgres");
  fvn::PassthroughTable table("ADMIN", fvn::bench::keyword_text(server));
  return run(table, sql);
}

// Records a cash sale of `items` items (coffee and soda, two tax situations)
// with a fixed id.
bool record_sale(int id, int items) {
  fvn::PassthroughTable table("TABELA_GRAVA", bench_db);
  const std::string sale = std::to_string(id);
  return run(table,
             "insert into asaidas (cidesaidas, cempresasaidas, cemisaidas, chocsaidas, csrisaidas, cnotsaidas, "
             "cclisaidas, cfpgsaidas, i_asa_codigo_tna, cidade_saidas, uf_saidas, cep_saidas, cmersaidas, ctotsaidas, "
             "n_asa_tot_impostos) values (" +
                 sale + ", 1, date '2026-05-04', time '10:00:00', 1, " + std::to_string(1000 + id) +
                 ", 1, 1, 5, 'BELO HORIZONTE', 'MG', 30130000, 0, 0, 0)") &&
         run(table,
             "insert into ahistorico (cisahistorico, cemphistorico, copcadhistorico, cprohistorico, cdeshistorico, "
             "ccfohistorico, csaihisotorico, cvbrhistorico, cvtothistorico, s_ahi_sit_tributaria, i_ahi_csosn, "
             "s_ahi_cst_pis, s_ahi_cst_cofins, n_ahi_tot_impostos) select " +
                 sale +
                 ", 1, 1, case when n % 2 = 0 then 42 else 45 end, 'ITEM ' || n, '5.102', 1 + n % 3, 17.90, "
                 "17.90 * (1 + n % 3), case when n % 2 = 0 then '0102' else '0500' end, case when n % 2 = 0 then 102 "
                 "else 500 end, '49', '49', 2.41 from generate_series(1, " +
                 std::to_string(items) + ") as n") &&
         run(table,
             "update asaidas set cmersaidas = t, ctotsaidas = t, n_asa_tot_impostos = i from (select "
             "sum(cvtothistorico) as t, sum(n_ahi_tot_impostos) as i from ahistorico where cisahistorico = " +
                 sale + ") as s where cidesaidas = " + sale) &&
         run(table,
             "insert into ahcontas (cidesaivenhist, ccodigofavorecidohistorico, ctef_cheque, cvalorcreditohistorico, "
             "cdescricaohistorico) select " +
                 sale + ", 1, 0, ctotsaidas, 'Venda NF' from asaidas where cidesaidas = " + sale);
}

void BM_InvoiceXml(benchmark::State& state) {
  const int items = static_cast<int>(state.range(0));
  const int sale = items == 20 ? 900 : 901;
  fvn::HeadlessUi ui;
  fvn::NFCE_DOCUMENTO documento(ui);
  documento.set_connection(bench_db);
  documento.set_pasta_nfce(out_folder.string());
  documento.ID = sale;
  for (auto _ : state) {
    if (documento.Gera_XML_NFCe() != 1) {
      state.SkipWithError(documento.ERROR.c_str());
      break;
    }
    benchmark::DoNotOptimize(documento.XML_NFCE.data());
  }
  state.counters["bytes"] = static_cast<double>(documento.XML_NFCE.size());
}
BENCHMARK(BM_InvoiceXml)->Arg(20)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime();

// The totals pre-check run before sending, on the document written above.
void BM_ValidaTotais(benchmark::State& state) {
  const int items = static_cast<int>(state.range(0));
  fvn::HeadlessUi ui;
  fvn::NFCE_DOCUMENTO documento(ui);
  documento.set_connection(bench_db);
  documento.set_pasta_nfce(out_folder.string());
  documento.ID = items == 20 ? 900 : 901;
  if (documento.Gera_XML_NFCe() != 1) {
    state.SkipWithError(documento.ERROR.c_str());
    return;
  }
  bool ok = false;
  std::string mensagem;
  for (auto _ : state) {
    const fvn::Resultado_Totais r = fvn::Valida_Totais(documento.XML_NFCE);
    ok = r.ok;
    mensagem = r.mensagem;
  }
  if (!ok) std::fprintf(stderr, "%s\n", mensagem.c_str());
  state.counters["ok"] = ok ? 1 : 0;
}
BENCHMARK(BM_ValidaTotais)->Arg(20)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  const auto server = fvn::bench::template_server("document_bench");
  if (!server) return 1;
  const std::string clone = "fvn_docbench_" + std::to_string(::getpid());
  if (!admin(*server, "create database " + clone + " template " + server->get("dbname"))) return 1;
  fvn::ConnectionParams params = *server;
  params.set("dbname", clone);
  bench_db = fvn::bench::keyword_text(params);
  fvn::set_working_folder(FVN_TABLES_DIR);
  out_folder = std::filesystem::temp_directory_path() / clone;
  std::filesystem::create_directories(out_folder);

  int status = 1;
  if (record_sale(900, 20) && record_sale(901, 1000)) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    status = 0;
  }
  fvn::DbSession::close_all();
  std::filesystem::remove_all(out_folder);
  admin(*server, "drop database if exists " + clone + " with (force)");
  return status;
}
