// `fvn abnt` and `fvn simulate` as support staff and scripts see them, and
// the reader of the screen scripts of `fvn sell`.
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "app/fvn_cli.h"
#include "app/sale_screen_script.h"
#include "cli_run.h"
#include "runtime/working_folder.h"
#include "support/code_tables.h"
#include "support/temp_folder.h"

namespace fvn::app {
namespace {

using fvn::testing::TempFolder;
using fvn::testing::write_file;
using Json = nlohmann::json;

using Outcome = fvn::testing::CliResult;

// fvn with a configuration whose working folder is `folder`, which holds
// the fiscal code tables the tax calculator checks codes against.
Outcome fvn_in(const TempFolder& folder, std::vector<std::string> args) {
  fvn::testing::link_code_tables(folder.path());
  Outcome r = fvn::testing::run_configured(
      fvn::testing::write_config(folder, "[module]\nworking_folder=" + folder.path().string() + "\n"), std::move(args));
  set_working_folder(".");
  return r;
}

struct Abnt {
  const char* name;
  const char* amount;
  const char* printed;
};

class AbntCommand : public ::testing::TestWithParam<Abnt> {};

TEST_P(AbntCommand, PrintsTheAbntRounding) {
  TempFolder folder;
  const Outcome r = fvn_in(folder, {"abnt", GetParam().amount});
  EXPECT_EQ(r.status, kExitOk) << r.err;
  EXPECT_EQ(r.out, std::string{GetParam().printed} + "\n");
}

INSTANTIATE_TEST_SUITE_P(
    Amounts, AbntCommand,
    ::testing::Values(Abnt{"EvenBeforeFiveIsCut", "2.345", "2.34"}, Abnt{"OddBeforeFiveGoesUp", "2.335", "2.34"},
                      Abnt{"OddFiveGoesUp", "2.355", "2.36"}, Abnt{"DigitsAfterTheFiveGoUp", "2.3451", "2.35"},
                      Abnt{"CarryIntoTheUnits", "0.995", "1.00"}, Abnt{"DecimalComma", "1,005", "1.00"},
                      Abnt{"WholeAmount", "7", "7.00"}, Abnt{"NegativeKeepsItsSign", "-1234567.345", "-1234567.34"},
                      Abnt{"NegativeZeroIsZero", "-0.001", "0.00"}),
    [](const ::testing::TestParamInfo<Abnt>& row) { return std::string{row.param.name}; });

TEST(AbntCommandUsage, RefusesWhatIsNotOneAmount) {
  TempFolder folder;
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"abnt"}, {"abnt", "abc"}, {"abnt", "1e5"}, {"abnt", "2."}, {"abnt", "1", "2"}}) {
    const Outcome r = fvn_in(folder, args);
    EXPECT_EQ(r.status, kExitUsage) << args.size();
    EXPECT_EQ(r.out, "");
  }
}

constexpr const char* kSale = R"({
  "setup": {"DATA_EMISSAO": "2026-05-04", "FINALIDADE_OPERACAO": 1, "EMISSOR": {"CODIGO": 1, "TIPO": 11},
            "OPERACAO": {"CODIGO": 5, "DESCRICAO": "VENDA", "TIPO": 1, "TIPO_MOVIMENTO": 2,
                         "CFOP_IND_DENTRO": "5.101", "CFOP_IND_FORA": "6.101", "CFOP_ADQUIRIDO_DENTRO": "5.102",
                         "CFOP_ADQUIRIDO_FORA": "6.102", "CFOP_IND_ST_DENTRO": "5.401", "CFOP_IND_ST_FORA": "6.401",
                         "CFOP_ADQUIRIDO_ST_DENTRO": "5.405", "CFOP_ADQUIRIDO_ST_FORA": "6.404"},
            "EMPRESA": {"CODIGO": 1, "RAMO": 2, "TIPO": 2, "UF": "MG", "CEP": "30130-000", "MUNICIPIO": 3106200,
                        "IM": "1234567"},
            "CLIENTE": {"CODIGO": 1, "NOME": "CONSUMIDOR", "UF": "MG", "TIPO": 1},
            "VENDEDOR": {"CODIGO": 3, "NOME": "JOANA"}},
  "steps": [
    {"op": "Vende_Item", "item": {"CODIGO": 101, "DESCRICAO": "CANECA", "UNITARIO": 0.1, "QUANTIDADE": 3,
                                  "UNIDADE": "UN", "TIPO_PRODUTO": 1, "IAT": "A", "IPPT": "T",
                                  "ICMS": {"CST_ICMS_CONSUMO": "40"}, "PIS": {"CST_PIS": "07"}, "COFINS": {"CST_COFINS": "07"}}},
    {"op": "Vende_Item", "item": {"CODIGO": "102", "DESCRICAO": "PRATO", "UNITARIO": 10, "QUANTIDADE": 1,
                                  "UNIDADE": "UN", "TIPO_PRODUTO": 1, "IAT": "A", "IPPT": "T",
                                  "ICMS": {"CST_ICMS_CONSUMO": "40"}, "PIS": {"CST_PIS": "07"}, "COFINS": {"CST_COFINS": "07"}}},
    {"op": "Vende_Item", "item": {"CODIGO": "103", "DESCRICAO": "TIGELA", "UNITARIO": 10, "QUANTIDADE": 1,
                                  "UNIDADE": "UN", "TIPO_PRODUTO": 1, "IAT": "A", "IPPT": "T",
                                  "ICMS": {"CST_ICMS_CONSUMO": "40"}, "PIS": {"CST_PIS": "07"}, "COFINS": {"CST_COFINS": "07"}}},
    {"op": "Set_Desconto_Venda", "value": -1},
    {"op": "Set_Frete_Venda", "value": 2},
    {"op": "Cancela_Item", "n": 1},
    {"op": "Calcula_Qtde_Itens_Vendidos"},
    {"op": "Set_Data_Saida", "value": 2994627}
  ]
})";

TEST(SimulateCommand, ReportsEveryStepItemAndTotal) {
  TempFolder folder;
  write_file(folder.file("sale.json"), kSale);
  const Outcome r = fvn_in(folder, {"simulate", folder.file("sale.json")});
  ASSERT_EQ(r.status, kExitOk) << r.err;
  const Json report = Json::parse(r.out);

  ASSERT_EQ(report["setup"].size(), 7U);
  EXPECT_EQ(report["setup"][6]["op"], "Set_Data_Emissao");
  const Json& steps = report["steps"];
  ASSERT_EQ(steps.size(), 8U);
  EXPECT_EQ(steps[0]["result"], 1);
  EXPECT_EQ(steps[2]["NUMERO"], 3);
  EXPECT_EQ(steps[3]["result"], 0);
  EXPECT_EQ(steps[3]["ERROR"], "Desconto venda Valor Inválido, Desconto menor que 0.");
  EXPECT_EQ(steps[3]["ERROR_CODE"], 0);
  EXPECT_EQ(steps[3]["ERROR_FUNCTION"], "Set_Desconto_Venda");
  EXPECT_EQ(steps[4]["result"], 1);
  EXPECT_EQ(steps[6]["result"], 2);
  EXPECT_EQ(steps[7]["ERROR"], "Data de saída inválida");

  const Json& items = report["items"];
  ASSERT_EQ(items.size(), 3U);
  EXPECT_EQ(items[0]["CODIGO"], "101");
  EXPECT_EQ(items[0]["CANCELADO"], 1);
  EXPECT_EQ(items[0]["TOTAL_BRUTO"].dump(), "0.3");  // 15 significant digits, not 0.30000000000000004
  EXPECT_EQ(items[1]["FRETE_VENDA"], 1.0);
  EXPECT_EQ(items[1]["ICMS"]["CST_ICMS"], "40");
  EXPECT_EQ(items[1]["ICMS"]["VALOR_BC_ISENTA"], 11.0);  // 10.00 and its freight share
  EXPECT_EQ(items[1]["CORES"]["NUMERO"].size(), 4U);
  const Json& totals = report["totals"];
  EXPECT_EQ(totals["TOTAL_BRUTO"], 20.0);
  EXPECT_EQ(totals["TOTAL_FRETE"], 2.0);
  EXPECT_EQ(totals["TOTAL_LIQUIDO"], 22.0);
  EXPECT_EQ(report["venda"]["FRETE_VENDA"], 2.0);
}

struct BadScript {
  const char* name;
  const char* script;
  const char* reason;
};

class SimulateRefusal : public ::testing::TestWithParam<BadScript> {};

TEST_P(SimulateRefusal, RunsNothingAndSaysWhy) {
  TempFolder folder;
  write_file(folder.file("bad.json"), GetParam().script);
  const Outcome r = fvn_in(folder, {"simulate", folder.file("bad.json")});
  EXPECT_EQ(r.status, kExitFailure);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find(GetParam().reason), std::string::npos) << r.err;
}

INSTANTIATE_TEST_SUITE_P(
    Scripts, SimulateRefusal,
    ::testing::Values(
        BadScript{"NotJson", "{\"steps\": [", "not valid JSON"},
        BadScript{"NoSteps", "{\"setup\": {}}", "steps: a list of operations is expected"},
        BadScript{"UnknownOperation", R"({"steps": [{"op": "Vende_Tudo"}]})",
                  "steps[0].op: unknown operation \"Vende_Tudo\""},
        BadScript{"MisspeltItemMember", R"({"steps": [{"op": "Vende_Item", "item": {"PRECO": 1}}]})",
                  "steps[0].item.PRECO: no such member"},
        BadScript{"MisspeltArgument", R"({"steps": [{"op": "Set_Frete_Venda", "valor": 1}]})",
                  "steps[0].valor: no such member for this operation"},
        BadScript{"TextForANumber", R"({"steps": [{"op": "Set_Frete_Venda", "value": "1"}]})",
                  "steps[0].value: a number is expected"},
        BadScript{"ImpossibleDate", R"({"setup": {"DATA_EMISSAO": "2026-02-30"}, "steps": []})",
                  "setup.DATA_EMISSAO: a date (YYYY-MM-DD, \"today\" or a day number) is expected"},
        BadScript{"UnknownSetupGroup", R"({"setup": {"CAIXA": {}}, "steps": []})", "setup.CAIXA: no such member"},
        // Above the int64 range: read as int64 it would wrap to -1.
        BadScript{"WholeNumberBeyond64Bits", R"({"steps": [{"op": "Set_Quebra", "value": 18446744073709551615}]})",
                  "steps[0].value: a whole number (32 bits) is expected"},
        // A NUL in a name would end the message before the reason.
        BadScript{"NulInAName", R"({"\u0000x": []})", R"(\u0000x: no such member)"},
        BadScript{"WeighNotAFlag", R"({"steps": [{"op": "Vende_Item", "item": {}, "pesar": 1}]})",
                  "steps[0].pesar: true or false is expected"},
        BadScript{"FixedPointOverflow", R"({"steps": [{"op": "Vende_Item", "item": {"ALIQUOTA_II": 1e20}}]})",
                  "steps[0].item.ALIQUOTA_II: a number of at most 13 whole digits is expected"}),
    [](const ::testing::TestParamInfo<BadScript>& row) { return std::string{row.param.name}; });

TEST(SimulateCommand, MissingFileAndUsage) {
  TempFolder folder;
  EXPECT_EQ(fvn_in(folder, {"simulate", folder.file("none.json")}).status, kExitFailure);
  EXPECT_EQ(fvn_in(folder, {"simulate"}).status, kExitUsage);
}

// The worked examples that carry no expected output of their own (every
// example's run is checked by simulate_examples_test).
TEST(SimulateCommand, WorkedExamples) {
  const std::filesystem::path examples = std::filesystem::path{FVN_EXAMPLES_DIR};
  TempFolder folder;
  const Outcome rateado = fvn_in(folder, {"simulate", (examples / "desconto_rateado.json").string()});
  ASSERT_EQ(rateado.status, kExitOk) << rateado.err;
  const Json shares = Json::parse(rateado.out)["items"];
  EXPECT_EQ(shares[0]["DESCONTO_VENDA"], 3.34);
  EXPECT_EQ(shares[1]["DESCONTO_VENDA"], 3.33);
  EXPECT_EQ(shares[2]["DESCONTO_VENDA"], 3.33);
  const Outcome fiscal = fvn_in(folder, {"simulate", (examples / "impressora_fiscal.json").string()});
  ASSERT_EQ(fiscal.status, kExitOk) << fiscal.err;
  const Json gross = Json::parse(fiscal.out)["items"];
  EXPECT_EQ(gross[0]["TOTAL_BRUTO"], 0.99);
  EXPECT_EQ(gross[1]["TOTAL_BRUTO"], 0.999);
}

// A screen script is read whole before anything is typed: the plan's
// members reach their fields, and a member a step or record does not take
// is refused, naming it.
TEST(ScreenScript, ReadsThePlanAndRefusesWhatAStepDoesNotTake) {
  RoteiroTela script;
  std::string problem;
  ASSERT_TRUE(read_screen_script(nlohmann::ordered_json::parse(R"({
      "tela": [{"acao": "quantidade", "valor": 2}, {"acao": "produto", "codigo": 42}, {"acao": "pagamento"}],
      "roteiro": {"usa_creditos": 1, "consumidor": {"cnpj": "11222333000181"},
                  "parcelas": [{"numero": 2, "vencimento": "2026-03-31"}],
                  "detalhes": [{"desconto": 5, "desconto_percentual": true}]}})"),
                                 script, problem))
      << problem;
  ASSERT_EQ(script.passos.size(), 3U);
  EXPECT_EQ(script.passos[1].acao, "produto");
  EXPECT_FALSE(script.passos[1].fecha);
  EXPECT_TRUE(script.passos[2].fecha);
  EXPECT_TRUE(script.roteiro.usa_creditos);
  ASSERT_TRUE(script.roteiro.consumidor.has_value());
  EXPECT_EQ(script.roteiro.consumidor->tipo_pessoa, 1);
  EXPECT_EQ(script.roteiro.parcelas.at(0).vencimento, date_from_civil(2026, 3, 31));
  EXPECT_TRUE(script.roteiro.detalhes.at(0).desconto_percentual);

  for (const auto& [text, reason] : std::vector<std::pair<const char*, const char*>>{
           {R"({"tela": [{"acao": "pagamento", "valor": 3}]})", "tela[0].valor: unknown member"},
           {R"({"tela": [{"acao": "cliente", "valor": 2}]})", "tela[0].valor: unknown member"},
           {R"({"tela": [], "roteiro": {"detalhes": [{"desconto_percentual": 1}]}})",
            "roteiro.detalhes[0].desconto_percentual: true or false is expected"},
           {R"({"tela": [], "roteiro": {"": 1}})", "roteiro.: unknown member"}}) {
    RoteiroTela refused;
    EXPECT_FALSE(read_screen_script(nlohmann::ordered_json::parse(text), refused, problem)) << text;
    EXPECT_EQ(problem, reason);
  }
}

}  // namespace
}  // namespace fvn::app
