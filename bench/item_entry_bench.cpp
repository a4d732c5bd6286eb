// Cost of one product code confirmed in the sale screen's product field, on
// the engine's side: the look-up, tax classification, checks and the sale of
// the item through the facade (which re-apportions every item of the sale),
// with 1,000 items already on the sale (goal, with the repaint: 16 ms), and
// on an empty sale for comparison.
// Each iteration adds one more item, so the sale grows from 1,000 to
// 1,000 + iterations items. The benchmark clones the template database named
// by FVN_TEST_DB (default: the template of scripts/db) and drops the clone
// at the end. Start the cluster first: scripts/db start.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include <benchmark/benchmark.h>

#include "bench_database.h"
#include "data/db_session.h"
#include "data/module_values.h"
#include "data/passthrough_table.h"
#include "runtime/clock.h"
#include "runtime/scripted_ui.h"
#include "runtime/working_folder.h"
#include "screens/entrada_item.h"
#include "screens/operacao_demo.h"
#include "support/code_tables.h"

namespace {

std::string bench_db;  // connection text of the clone

bool run_sql(const std::string& connection, const std::string& sql) {
  fvn::PassthroughTable table("BENCH", connection);
  if (table.open() != 1 || table.execute(sql) != 1) {
    std::fprintf(stderr, "%s\n", table.error_text("item_entry_bench: " + sql.substr(0, 60) + "|").c_str());
    return false;
  }
  return true;
}

// No dialog opens in this run: item discounts are off and stock is not
// controlled.
class NoDialogs final : public fvn::JanelasVenda {
 public:
  int CONDICAO_PAGTO(fvn::sale::VENDA_INTERFACE&, std::int32_t) override { return 0; }
  int PRESTACAO_VENDA(fvn::sale::VENDA_INTERFACE&) override { return 0; }
  int FORMA_PAGTO_VENDA(fvn::sale::VENDA_INTERFACE&) override { return 0; }
  int TELA_TROCO(double, double&) override { return 0; }
  int CPF_CNPJ_OPCIONAL(fvn::IdentificacaoConsumidor&) override { return 0; }
  int DETALHE_PRODUTO(fvn::sale::QUEUE_ITEM&) override { return 1; }
  int AUTENTICACAO(fvn::Direito, std::string_view, std::string_view, fvn::UserAccount&,
                   fvn::sale::GRUPO_DADOS_LIBERACAO&) override {
    return 0;
  }
  std::int32_t CADASTRO_CONSUMIDOR_SIMPLIFICADO() override { return 0; }
};

void sell_with_items(benchmark::State& state, int already) {
  fvn::ScriptedUi ui;
  NoDialogs janelas;
  fvn::ModuleValues valores;
  fvn::PassthroughTable table("VALORES", bench_db);
  std::string erro;
  if (fvn::load_module_values(table, 1, 1, valores, erro) != 1) {
    state.SkipWithError(erro.c_str());
    return;
  }
  valores.I_PAR_UTILIZA_DESC_ITEM = 0;
  valores.BLQ_ESTNEG = 0;
  fvn::sale::CLASSE_VENDA venda;
  fvn::sale::GRUPO_EMPRESA e;
  e.CODIGO = 1;
  e.RAMO = 2;
  e.TIPO = 1;
  e.UF = "MG";
  e.CEP = "30130-000";
  e.MUNICIPIO = 3106200;
  e.CNPJ = "11222333000181";
  e.IE = "0623079040081";
  e.ALIQUOTA_SIMPLES = 2.56;
  fvn::sale::GRUPO_CLIENTE c;
  c.CODIGO = 1;
  c.NOME = "CONSUMIDOR";
  c.UF = e.UF;
  c.TIPO = 1;
  if (venda.Set_Dados_Emissor({1, 11, 0}) != 1 ||
      venda.Set_Dados_Operacao(fvn::testing_support::operacao_venda_demo()) != 1 || venda.Set_Dados_Empresa(e) != 1 ||
      venda.Set_Dados_Cliente(c) != 1 || venda.Set_Finalidade_Operacao(1) != 1 ||
      venda.Set_Dados_Vendedor({1, "JOANA"}) != 1 || venda.Set_Data_Emissao(fvn::today()) != 1) {
    state.SkipWithError(venda.ERROR.c_str());
    return;
  }
  fvn::EntradaItem entrada(ui, janelas, bench_db, valores, venda);
  const char* const codes[] = {"42", "7891000000021", "44", "45"};
  for (int i = 0; i < already; ++i) {
    if (entrada.vende_codigo(codes[i % 4], 1) != 1) {
      state.SkipWithError("the sale of the first items failed");
      return;
    }
  }
  int n = 0;
  for (auto _ : state) {
    if (entrada.vende_codigo(codes[n++ % 4], 1) != 1) {
      state.SkipWithError(ui.messages().empty() ? "refused" : ui.messages().back().text.c_str());
      break;
    }
  }
  state.counters["items"] = venda.Get_Quantidade_Itens();
}

}  // namespace

int main(int argc, char** argv) {
  const auto server = fvn::bench::template_server("item_entry_bench");
  if (!server) return 1;
  fvn::ConnectionParams admin = *server;
  admin.set("dbname", "postgres");
  const std::string admin_db = fvn::bench::keyword_text(admin);
  const std::string clone = "fvn_item_entry_bench_" + std::to_string(::getpid());
  if (!run_sql(admin_db, "create database " + clone + " template " + server->get("dbname"))) return 1;
  fvn::ConnectionParams params = *server;
  params.set("dbname", clone);
  bench_db = fvn::bench::keyword_text(params);

  const std::filesystem::path work = std::filesystem::temp_directory_path() / clone;
  std::filesystem::create_directories(work);
  fvn::testing::link_code_tables(work);
  fvn::testing::write_file((work / "nfe_ini.ini").string(), "[nfce]\ncst_csosn=0\n");
  fvn::set_working_folder(work.string());

  // An empty sale too: the difference is the facade's work on the items.
  for (const int already : {0, 1000}) {
    benchmark::RegisterBenchmark(("vende_codigo/" + std::to_string(already) + "_itens").c_str(),
                                 [already](benchmark::State& state) { sell_with_items(state, already); })
        ->Unit(benchmark::kMillisecond)
        ->Iterations(50);
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  fvn::DbSession::close_all();
  run_sql(admin_db, "drop database if exists " + clone + " with (force)");
  std::filesystem::remove_all(work);
  return 0;
}
