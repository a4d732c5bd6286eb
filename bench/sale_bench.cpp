// Cost of selling an item as the sale grows. Every item sold re-apportions
// the sale-level discount and freight over all live items, recomputes the
// taxes of every item and the totals twice, so the cost of item #n grows
// with n. Every item carries taxes: ICMS by a mix of CSTs (full, reduced,
// exempt, with ST and with ST retained earlier), FCP-ST, PIS and COFINS.
//
//   BM_SellItem/N     time to sell item #N of a sale that already holds N - 1
//                     items, with a sale-level discount and freight set
//   BM_WholeSale/N    time to sell all N items of a sale, from an empty sale
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include <benchmark/benchmark.h>

#include "runtime/clock.h"
#include "runtime/working_folder.h"
#include "sale/classe_venda.h"

namespace {

using fvn::sale::CLASSE_VENDA;
using fvn::sale::QUEUE_ITEM;

// A working folder of its own with the fiscal code tables (no IBPT table:
// the company uses its approximate-tax percentage).
void use_scratch_folder() {
  const auto folder = std::filesystem::temp_directory_path() / "fvn-sale-bench";
  std::filesystem::create_directories(folder);
  const auto tables = std::filesystem::path{FVN_TABLES_DIR};
  for (const auto& table : std::filesystem::directory_iterator(tables)) {
    std::error_code already_there;
    std::filesystem::create_symlink(std::filesystem::canonical(table.path()), folder / table.path().filename(),
                                    already_there);
  }
  fvn::set_working_folder(folder.string());
}

std::unique_ptr<CLASSE_VENDA> new_sale() {
  auto venda = std::make_unique<CLASSE_VENDA>();
  venda->Set_Dados_Emissor({1, 11, 0});
  fvn::sale::GRUPO_OPERACAO operacao;
  operacao.CODIGO = 5;
  operacao.DESCRICAO = "VENDA";
  operacao.TIPO = 1;
  operacao.TIPO_MOVIMENTO = 2;
  operacao.CFOP_IND_DENTRO = "5.101";
  operacao.CFOP_IND_FORA = "6.101";
  operacao.CFOP_ADQUIRIDO_DENTRO = "5.102";
  operacao.CFOP_ADQUIRIDO_FORA = "6.102";
  operacao.CFOP_IND_ST_DENTRO = "5.401";
  operacao.CFOP_IND_ST_FORA = "6.401";
  operacao.CFOP_ADQUIRIDO_ST_DENTRO = "5.405";
  operacao.CFOP_ADQUIRIDO_ST_FORA = "6.404";
  venda->Set_Dados_Operacao(operacao);
  fvn::sale::GRUPO_EMPRESA empresa;
  empresa.CODIGO = 1;
  empresa.RAMO = 2;
  empresa.TIPO = 2;
  empresa.UF = "MG";
  empresa.CEP = "30130-000";
  empresa.MUNICIPIO = 3106200;
  empresa.IM = "1234567";
  empresa.PERC_APROX_IMPOSTOS = 31.45;
  venda->Set_Dados_Empresa(empresa);
  fvn::sale::GRUPO_CLIENTE cliente;
  cliente.CODIGO = 1;
  cliente.NOME = "CONSUMIDOR";
  // Moved in, not copied from the literal: g++ 12 at -O3 takes the in-place
  // copy into this string for a read of uninitialised memory.
  cliente.UF = std::string{"MG"};
  cliente.TIPO = 1;
  venda->Set_Dados_Cliente(cliente);
  venda->Set_Finalidade_Operacao(1);
  venda->Set_Data_Emissao(fvn::date_from_civil(2026, 5, 4));
  return venda;
}

void start_sale(CLASSE_VENDA& venda) {
  venda.Limpa_Venda();
  venda.Set_Dados_Vendedor({3, "JOANA"});
  venda.Set_Desconto_Venda(2.00);
  venda.Set_Frete_Venda(12.34);
}

// Item k of a sale: prices and quantities vary so that every share differs.
QUEUE_ITEM item(std::int64_t k) {
  QUEUE_ITEM i;
  i.CODIGO = std::to_string(1000 + k % 500);
  i.DESCRICAO = "PRODUTO " + i.CODIGO;
  i.UNITARIO = 1.99 + static_cast<double>(k % 97) * 0.37;
  i.QUANTIDADE = static_cast<double>(1 + k % 3);
  i.UNIDADE = "UN";
  i.TIPO_PRODUTO = 1;
  i.IAT = "A";
  i.IPPT = "T";
  i.DESCONTO = k % 5 == 0 ? 0.10 : 0.0;
  static constexpr const char* kCsts[] = {"00", "10", "20", "60", "00", "40", "10"};
  i.ICMS.CST_ICMS_CONSUMO = kCsts[k % 7];
  i.ICMS.ALIQUOTA_ICMS = i.ICMS.CST_ICMS_CONSUMO == "60" || i.ICMS.CST_ICMS_CONSUMO == "40" ? 0.0 : 18.0;
  i.ICMS.ALIQUOTA_ICMS_ST = 18;
  i.ICMS.PERCENTUAL_RED_BC_ICMS = 33.33;
  i.MVA.PERCENTUAL_MVA_NCM = 40;
  i.FCP_ST.PERC_FCP_ST = 2;
  i.PIS.CST_PIS = "01";
  i.PIS.ALIQUOTA_PIS = 0.65;
  i.COFINS.CST_COFINS = "01";
  i.COFINS.ALIQUOTA_COFINS = 3;
  return i;
}

void BM_SellItem(benchmark::State& state) {
  use_scratch_folder();
  auto venda = new_sale();
  start_sale(*venda);
  const std::int64_t n = state.range(0);
  for (std::int64_t k = 1; k < n; ++k) {
    QUEUE_ITEM i = item(k);
    if (venda->Vende_Item(i) != 1) state.SkipWithError(venda->ERROR.c_str());
  }
  for (auto _ : state) {
    QUEUE_ITEM i = item(n);
    if (venda->Vende_Item(i) != 1) state.SkipWithError(venda->ERROR.c_str());
    state.PauseTiming();
    // Take item #n out again so that every iteration sells item #n; the next
    // sale re-apportions every share from the subtotals anyway.
    venda->ITEM->ITENS.erase(static_cast<std::size_t>(n));
    state.ResumeTiming();
  }
  state.counters["items"] = static_cast<double>(n);
}
BENCHMARK(BM_SellItem)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);

void BM_WholeSale(benchmark::State& state) {
  use_scratch_folder();
  auto venda = new_sale();
  const std::int64_t n = state.range(0);
  for (auto _ : state) {
    state.PauseTiming();
    start_sale(*venda);
    state.ResumeTiming();
    for (std::int64_t k = 1; k <= n; ++k) {
      QUEUE_ITEM i = item(k);
      if (venda->Vende_Item(i) != 1) state.SkipWithError(venda->ERROR.c_str());
    }
  }
  state.counters["items"] = static_cast<double>(n);
}
BENCHMARK(BM_WholeSale)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
