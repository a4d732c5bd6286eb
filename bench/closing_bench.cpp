// Closing a 20-item sale as the sale screen does after its payment dialogs:
// recorded in the database in one transaction, issued against a local
// simulator process (server check, sending, answer, authorised XML, QR
// image, NSU) and its receipt drawn to PDF and PNG. Needs the test database
// (FVN_TEST_DB); the sale is built in the facade before each iteration,
// outside the timing (that is the cashier's work).
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>

#include <benchmark/benchmark.h>

#include "app/simulate_command.h"
#include "bench_shop.h"
#include "devices/impressao_danfe.h"
#include "runtime/headless_ui.h"
#include "screens/gravacao_venda.h"
#include "service/nfce_processo.h"
#include "support/db_fixture.h"

namespace {

// The demo shop's first company selling 20 items of its products in turn,
// paid in cash with change.
std::string twenty_item_script() {
  static constexpr struct {
    const char* code;
    const char* description;
    const char* price;
    const char* ncm;
    const char* csosn;
  } kProducts[] = {{"42", "CAFE TORRADO MOIDO 500G", "17.9", "09012100", "102"},
                   {"43", "ARROZ TIPO 1 5KG", "27.5", "10063021", "400"},
                   {"44", "FEIJAO CARIOCA 1KG", "8.99", "07133319", "400"},
                   {"45", "REFRIGERANTE COLA 2L", "9.49", "22021000", "500"}};
  std::ostringstream s;
  s << R"({"setup": {"DATA_EMISSAO": "today", "FINALIDADE_OPERACAO": 1, "EMISSOR": {"CODIGO": 1, "TIPO": 11},
  "OPERACAO": {"CODIGO": 5, "DESCRICAO": "VENDA DE MERCADORIA", "TIPO": 1, "TIPO_MOVIMENTO": 2,
    "CFOP_IND_DENTRO": "5.102", "CFOP_IND_FORA": "6.102", "CFOP_ADQUIRIDO_DENTRO": "5.102",
    "CFOP_ADQUIRIDO_FORA": "6.102", "CFOP_IND_ST_DENTRO": "5.405", "CFOP_IND_ST_FORA": "6.404",
    "CFOP_ADQUIRIDO_ST_DENTRO": "5.405", "CFOP_ADQUIRIDO_ST_FORA": "6.404"},
  "EMPRESA": {"CODIGO": 1, "RAMO": 2, "TIPO": 1, "ALIQUOTA_SIMPLES": 2.56, "UF": "MG", "CEP": "30130-000",
    "MUNICIPIO": 3106200, "IM": "12345670019", "PERC_APROX_IMPOSTOS": 13.45},
  "CLIENTE": {"CODIGO": 1, "NOME": "CONSUMIDOR", "UF": "MG", "TIPO": 1},
  "VENDEDOR": {"CODIGO": 1, "NOME": "JOANA"}},
 "steps": [)";
  for (int i = 0; i < 20; ++i) {
    const auto& p = kProducts[i % 4];
    s << R"({"op": "Vende_Item", "item": {"CODIGO": ")" << p.code << R"(", "DESCRICAO": ")" << p.description
      << R"(", "UNITARIO": )" << p.price << R"(, "QUANTIDADE": 1, "UNIDADE": "UN", "TIPO_PRODUTO": 1, "IAT": "A",
      "IPPT": "T", "NCM": ")"
      << p.ncm << R"(", "ICMS_SIMPLES": {"CSOSN_CONSUMO": ")" << p.csosn
      << R"("}, "PIS": {"CST_PIS": "49"}, "COFINS": {"CST_COFINS": "49"}}},)";
  }
  s << R"({"op": "Adiciona_Condicao", "value": {"CODIGO": 1, "DESCRICAO": "A VISTA", "TIPO": 1}},
  {"op": "Calcula_Simulacao"}, {"op": "Set_Condicao_Pagamento", "value": 1},
  {"op": "Adiciona_Forma_Pagamento", "value": {"CODIGO": 1, "DESCRICAO": "DINHEIRO", "TIPO": 1}},
  {"op": "Paga", "forma": 1, "value": 400, "troco": true}]})";
  return s.str();
}

void BM_CloseTwentyItemSale(benchmark::State& state) {
  const std::string& db = fvn::testing::test_database();
  if (db.empty()) {
    state.SkipWithError(("no test database: " + fvn::testing::reason()).c_str());
    return;
  }
  const fvn::bench::BenchShop shop("fvn-closing-bench", db);
  if (!shop.problem.empty()) {
    state.SkipWithError(shop.problem.c_str());
    return;
  }
  std::ostringstream messages;  // the success messages are kept out of the report
  fvn::HeadlessUi ui(messages);
  fvn::NFCE_PROCESSO processor(ui, shop.sim->gateway_config());
  fvn::IMPRESSAO_DANFE danfe(ui);
  danfe.set_connection(db);
  fvn::CONTEXTO_VENDA c;
  c.conexao = db;
  c.empresa = 1;
  c.cnpj = "11222333000181";
  c.operador = 1;
  c.usuario = 1;
  c.emissor = 1;
  c.condicao_pagamento = 1;
  c.imprime_danfe = [&](std::int32_t sale, std::int32_t resumido) {
    const std::string base = (shop.root / ("danfe-" + std::to_string(sale))).string();
    return danfe.Gera_PDF(sale, resumido, base + ".pdf", base + ".png");
  };
  const std::string script = twenty_item_script();
  for (auto _ : state) {
    state.PauseTiming();
    fvn::sale::CLASSE_VENDA venda;
    std::istringstream input(script);
    std::string problem;
    if (!fvn::app::build_sale(input, venda, problem)) {
      state.SkipWithError(problem.c_str());
      break;
    }
    fvn::GRAVACAO_VENDA closing(ui, venda, processor);
    messages.str({});
    state.ResumeTiming();
    if (closing.Fecha_Venda(c) != 1) {
      state.SkipWithError(("the sale was not closed: " + processor.ERROR).c_str());
      break;
    }
  }
}
BENCHMARK(BM_CloseTwentyItemSale)->Unit(benchmark::kMillisecond)->MinTime(3.0);

}  // namespace

BENCHMARK_MAIN();
