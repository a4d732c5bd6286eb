// The tax calculator's context: party checks, the UF table, the MVA
// selection, the CFOP choice (with the NFC-e check that nfe_ini.ini switches
// on), FCP-ST, the delivery state, and the item value of return operations.
#include <cmath>
#include <functional>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "sale/tax_test_support.h"
#include "support/temp_folder.h"
#include "tax/uf_table.h"

namespace fvn::tax {
namespace {

using testing::Calculadora;
using testing::kCentesimo;

// ---- Party checks ----------------------------------------------------------

struct Parte {
  const char* name;
  std::function<int(CALCULO_IMPOSTOS&)> set;
  const char* erro;  // "" when accepted
  const char* funcao = "";
};

sale::GRUPO_OPERACAO operacao(const std::function<void(sale::GRUPO_OPERACAO&)>& muda) {
  sale::GRUPO_OPERACAO o = sale::testing::operacao_venda();
  muda(o);
  return o;
}

sale::GRUPO_EMPRESA empresa(const std::function<void(sale::GRUPO_EMPRESA&)>& muda) {
  sale::GRUPO_EMPRESA e = sale::testing::empresa_regime_normal();
  muda(e);
  return e;
}

class Partes : public ::testing::TestWithParam<Parte> {
 protected:
  Calculadora c;
};

TEST_P(Partes, AreCheckedBeforeTheyAreHeld) {
  const Parte& p = GetParam();
  CALCULO_IMPOSTOS& calc = *c.calc;
  const sale::GRUPO_OPERACAO op_antes = calc.OPERACAO;
  const sale::GRUPO_EMPRESA empresa_antes = calc.EMPRESA;
  const int resultado = p.set(calc);
  if (std::string{p.erro}.empty()) {
    EXPECT_EQ(resultado, 1) << calc.ERROR;
    return;
  }
  EXPECT_EQ(resultado, 0);
  EXPECT_EQ(calc.ERROR, p.erro);
  EXPECT_EQ(calc.ERROR_CODE, 0);
  EXPECT_EQ(calc.ERROR_FUNCTION, p.funcao);
  // A refused group leaves the one held before.
  EXPECT_EQ(calc.OPERACAO.CFOP_IND_FORA, op_antes.CFOP_IND_FORA);
  EXPECT_EQ(calc.OPERACAO.TIPO, op_antes.TIPO);
  EXPECT_EQ(calc.EMPRESA.TIPO, empresa_antes.TIPO);
  EXPECT_EQ(calc.EMPRESA.UF, empresa_antes.UF);
}

const auto nfce_e = [](CALCULO_IMPOSTOS& c, const sale::GRUPO_OPERACAO& o) {
  return c.Set_Dados_Emissor({1, 11, 0}) && c.Set_Dados_Operacao(o) ? 1 : 0;
};

INSTANTIATE_TEST_SUITE_P(
    Checks, Partes,
    ::testing::Values(
        Parte{"EmitterCodeZero",
              [](auto& c) {
                return c.Set_Dados_Emissor({0, 11, 0});
              },
              "Código do emissor inválido", "Set_Dados_Emissor"},
        Parte{"EmitterTypeTwelve",
              [](auto& c) {
                return c.Set_Dados_Emissor({1, 12, 0});
              },
              "Tipo de emissor inválido.", "Set_Dados_Emissor"},
        Parte{"OperationTypeNine", [](auto& c) { return c.Set_Dados_Operacao(operacao([](auto& o) { o.TIPO = 9; })); },
              "Tipo da operação inválida", "Set_Dados_Operacao"},
        Parte{"NfceEmitterWithAReturnOperation",
              [](auto& c) { return nfce_e(c, operacao([](auto& o) { o.TIPO = 3; })); },
              "Tipo da operação inválido para este tipo de emissor ", "Set_Dados_Operacao"},
        Parte{"CfopNotInTheTable",
              [](auto& c) { return c.Set_Dados_Operacao(operacao([](auto& o) { o.CFOP_ADQUIRIDO_FORA = "6.350"; })); },
              "Erro em CFOP Adquirido Fora do Estado|CFOP não consta na tabela de CFOPs", "Set_Dados_Operacao"},
        Parte{"ServiceCfopOfThreeDigits",
              [](auto& c) { return c.Set_Dados_Operacao(operacao([](auto& o) { o.CFOP_SERVICO_FORA = "693"; })); },
              "Erro em CFOP Serviço Fora do Estado|Tamanho do CFOP inválido = \"693\"", "Set_Dados_Operacao"},
        Parte{"ExitWithAnInStateCfopOut",
              [](auto& c) { return c.Set_Dados_Operacao(operacao([](auto& o) { o.CFOP_IND_FORA = "5.101"; })); },
              "CFOP Interestadual em operação de Saída deve Iniciar com digito 6. ", "Set_Dados_Operacao"},
        Parte{"ExportIsFreeOfTheDigitSixRule",
              [](auto& c) {
                return c.Set_Dados_Operacao(operacao([](auto& o) {
                  o.OPERACAO_EXPORTACAO = 1;
                  o.CFOP_IND_FORA = o.CFOP_ADQUIRIDO_FORA = "7.102";
                }));
              },
              ""},
        Parte{"EntryNeedsDigitTwoOrThreeOutOfState",
              [](auto& c) { return c.Set_Dados_Operacao(operacao([](auto& o) { o.TIPO_MOVIMENTO = 1; })); },
              "CFOP Interestadual em operação de Entrada deve Iniciar com digito 2 ou 3. ", "Set_Dados_Operacao"},
        Parte{"SimplesWithoutItsRate",
              [](auto& c) {
                return c.Set_Dados_Empresa(empresa([](auto& e) {
                  e.TIPO = 1;
                  e.ALIQUOTA_SIMPLES = 0;
                }));
              },
              "Alíquota Simples da Empresa Menor ou Igual a Zero", "Set_Dados_Empresa"},
        Parte{"UfOutsideTheTable", [](auto& c) { return c.Set_Dados_Empresa(empresa([](auto& e) { e.UF = "XX"; })); },
              "UF da Empresa Inválida", "Set_Dados_Empresa"},
        Parte{"MunicipalityNotInTheTable",
              [](auto& c) { return c.Set_Dados_Empresa(empresa([](auto& e) { e.MUNICIPIO = 3550309; })); },
              "Código do município não consta na tabela de municípios", "Set_Dados_Empresa"},
        Parte{"NeitherRegistration", [](auto& c) { return c.Set_Dados_Empresa(empresa([](auto& e) { e.IM = "0"; })); },
              "Inscrições Estadual e Municipal da Empresa não preenchidas", "Set_Dados_Empresa"},
        Parte{"IssWithholdingWithoutMinimum",
              [](auto& c) {
                return c.Set_Dados_Empresa(empresa([](auto& e) {
                  e.UTILIZA_RETENCAO_ISS = 1;
                  e.PERC_RETENCAO_ISS = 5;
                }));
              },
              "Valor Mínimo de ISS não preenchido", "Set_Dados_Empresa"},
        Parte{"PurposeFour", [](auto& c) { return c.Set_Finalidade_Operacao(4); },
              "Finalidade de operação não consta na lista de contantes.", "Set_Finalidade_Operacao"}),
    testing::RowName{});

TEST(UfTable, TakesOnlyTheUnitsInCapitals) {
  EXPECT_TRUE(uf_valida("DF"));
  EXPECT_FALSE(uf_valida("mg"));
  EXPECT_FALSE(uf_valida("EX"));
  EXPECT_FALSE(uf_valida(""));
}

TEST(ValidaDadosGeral, NamesTheFirstMissingParty) {
  CALCULO_IMPOSTOS calc;
  EXPECT_EQ(calc.Valida_Dados_Geral(), 0);
  EXPECT_EQ(calc.ERROR, "Emissor não definido.");
  ASSERT_EQ(calc.Set_Dados_Emissor({1, 11, 0}), 1);
  EXPECT_EQ(calc.Valida_Dados_Geral(), 0);
  EXPECT_EQ(calc.ERROR, "Operação não definida.");
  EXPECT_EQ(calc.ERROR_FUNCTION, "Valida_Dados_Geral");
}

// ---- MVA selection -------------------------------------------------------------

struct Mva {
  const char* name;
  const char* uf_empresa;
  const char* uf_cliente;
  std::int32_t finalidade;
  const char* ie;
  const char* cnpj;
  std::int32_t tipo_cliente;
  double esperado;
};

class SelecaoMva : public ::testing::TestWithParam<Mva> {
 protected:
  Calculadora c;
};

TEST_P(SelecaoMva, ChoosesTheMargin) {
  const Mva& p = GetParam();
  CALCULO_IMPOSTOS& calc = *c.calc;
  calc.EMPRESA.UF = p.uf_empresa;
  calc.CLIENTE.UF = p.uf_cliente;
  calc.CLIENTE.IE = p.ie;
  calc.CLIENTE.CNPJ = p.cnpj;
  calc.CLIENTE.TIPO = p.tipo_cliente;
  calc.FINALIDADE_OPERACAO = p.finalidade;
  const sale::GRUPO_MVA mva{40, 50, 70, 60};
  sale::GRUPO_ICMS icms;
  calc.Seleciona_MVA(icms, mva);
  EXPECT_NEAR(icms.PERCENTUAL_MVA, p.esperado, kCentesimo);
  sale::GRUPO_ICMS_SIMPLES simples;
  calc.Seleciona_MVA_Simples(simples, mva);
  EXPECT_NEAR(simples.PERCENTUAL_MVA, p.esperado, kCentesimo);
}

INSTANTIATE_TEST_SUITE_P(
    Margins, SelecaoMva,
    ::testing::Values(Mva{"InStateTakesTheNcmMargin", "MG", "MG", kConsumo, "", "", 1, 40},
                      Mva{"OutOfStateTakesTheStateMargin", "MG", "SP", kConsumo, "", "", 1, 50},
                      Mva{"ConsumerWithRegistrationHasNone", "MG", "MG", kConsumo, "0620001", "", 2, 0},
                      Mva{"ExemptRegistrationKeepsIt", "MG", "MG", kConsumo, "isento", "", 2, 40},
                      Mva{"ResaleWithRegistrationKeepsIt", "MG", "MG", kRevenda, "0620001", "", 2, 40},
                      // 40 x 70% in state, 50 x 60% from another state.
                      Mva{"SantaCatarinaCompanyReducedInState", "SC", "SC", kRevenda, "", "11222333000181", 2, 28},
                      Mva{"SantaCatarinaCompanyReducedFromOutside", "MG", "SC", kRevenda, "", "11222333000181", 2, 30},
                      Mva{"SantaCatarinaPersonNotReduced", "SC", "SC", kRevenda, "", "", 1, 40}),
    testing::RowName{});

// ---- CFOP ------------------------------------------------------------------------

struct Cfop {
  const char* name;
  std::int32_t emissor = 2;
  std::int32_t empresa_tipo = 2;
  const char* uf_cliente = "MG";
  std::int32_t finalidade = kConsumo;
  const char* ippt = "T";
  std::int32_t tipo_produto = 1;
  const char* codigo = "00";  // the CST or CSOSN of every source field
  const char* cfop_antes = "";
  const char* esperado = "";
};

class EscolhaCfop : public ::testing::TestWithParam<Cfop> {
 protected:
  Calculadora c;
};

TEST_P(EscolhaCfop, FromTheOperation) {
  const Cfop& p = GetParam();
  if (p.empresa_tipo == 1) c.simples();
  CALCULO_IMPOSTOS& calc = *c.calc;
  ASSERT_EQ(calc.Set_Dados_Emissor(Calculadora::emissor(p.emissor)), 1);
  ASSERT_EQ(calc.Set_Dados_Cliente(testing::consumidor(p.uf_cliente)), 1);
  ASSERT_EQ(calc.Set_Finalidade_Operacao(p.finalidade), 1);
  sale::QUEUE_ITEM item = testing::item_de(10);
  item.IPPT = p.ippt;
  item.TIPO_PRODUTO = p.tipo_produto;
  item.CFOP = p.cfop_antes;
  item.ICMS.CST_ICMS = item.ICMS.CST_ICMS_CONSUMO = item.ICMS.CST_FORA_UF = item.ICMS.CST_FORA_UF_CONSUMO = p.codigo;
  item.ICMS_SIMPLES.CSOSN = item.ICMS_SIMPLES.CSOSN_CONSUMO = item.ICMS_SIMPLES.CSOSN_FORA_UF =
      item.ICMS_SIMPLES.CSOSN_FORA_UF_CONSUMO = p.codigo;
  item.ICMS.CST_ICMS_REVENDA = item.ICMS_SIMPLES.CSOSN_REVENDA = p.codigo;
  calc.Calcula_Item(item);
  EXPECT_EQ(item.CFOP, p.esperado);
}

INSTANTIATE_TEST_SUITE_P(
    Table, EscolhaCfop,
    ::testing::Values(
        Cfop{.name = "RegularAcquiredInState", .esperado = "5.102"},
        Cfop{.name = "RegularAcquiredStInState", .codigo = "60", .esperado = "5.405"},
        Cfop{.name = "RegularOwnProductionOutOfState", .uf_cliente = "SP", .ippt = "P", .esperado = "6.101"},
        Cfop{.name = "RegularOwnProductionStOutOfState",
             .uf_cliente = "SP",
             .ippt = "P",
             .codigo = "10",
             .esperado = "6.401"},
        Cfop{.name = "RegularResaleReadsTheEffectiveCst", .finalidade = kRevenda, .codigo = "70", .esperado = "5.405"},
        Cfop{.name = "SimplesServiceInState",
             .empresa_tipo = 1,
             .tipo_produto = 2,
             .codigo = "102",
             .esperado = "5.933"},
        Cfop{.name = "SimplesStCsosn", .empresa_tipo = 1, .codigo = "500", .esperado = "5.405"},
        Cfop{.name = "SimplesOwnProduction", .empresa_tipo = 1, .ippt = "P", .codigo = "101", .esperado = "5.101"},
        Cfop{.name = "NfceIsAlwaysInState", .emissor = 11, .uf_cliente = "SP", .esperado = "5.102"},
        Cfop{.name = "PurposeOtherKeepsTheCfop", .finalidade = kOutras, .cfop_antes = "5.949", .esperado = "5.949"},
        Cfop{.name = "FiscalPrinterGoods", .emissor = 1, .esperado = "5102"},
        Cfop{.name = "FiscalPrinterRetainedSt", .emissor = 1, .codigo = "60", .esperado = "5405"}),
    testing::RowName{});

// An NFC-e sold to a customer of another state: in-state CFOP, but ICMS by
// the out-of-state block (interstate rate).
TEST(NfceOutOfStateCustomer, InStateCfopOutOfStateIcms) {
  Calculadora c;
  ASSERT_EQ(c.calc->Set_Dados_Emissor(Calculadora::emissor(11)), 1);
  ASSERT_EQ(c.calc->Set_Dados_Cliente(testing::consumidor("SP")), 1);
  sale::QUEUE_ITEM item = testing::item_de(100);
  item.ICMS.CST_ICMS_CONSUMO = "41";
  item.ICMS.CST_FORA_UF_CONSUMO = "00";
  item.ICMS.ALIQUOTA_ICMS = 18;
  item.ICMS.ALIQUOTA_ICMS_FORA = 12;
  ASSERT_EQ(c.calc->Calcula_Item(item), 1) << c.calc->ERROR;
  EXPECT_EQ(item.CFOP, "5.102");
  EXPECT_EQ(item.ICMS.CST_ICMS, "00");
  EXPECT_EQ(item.ICMS.VALOR_ICMS.value(), 12);
}

// nfe_ini.ini [nfce] cst_csosn=1: an NFC-e's CFOP must agree with the
// consumption code.
struct CfopNfce {
  const char* name;
  const char* ini;
  std::int32_t empresa_tipo;
  const char* codigo;
  const char* cfop_adquirido;
  const char* erro;
};

class ConferenciaCfopNfce : public ::testing::TestWithParam<CfopNfce> {
 protected:
  Calculadora c;
};

TEST_P(ConferenciaCfopNfce, FollowsTheIniKey) {
  const CfopNfce& p = GetParam();
  fvn::testing::write_file(c.folder.file("nfe_ini.ini"), p.ini);
  nfe_ini_forget();
  if (p.empresa_tipo == 1) c.simples();
  CALCULO_IMPOSTOS& calc = *c.calc;
  ASSERT_EQ(calc.Set_Dados_Emissor(Calculadora::emissor(11)), 1);
  sale::GRUPO_OPERACAO op = calc.OPERACAO;
  op.CFOP_ADQUIRIDO_DENTRO = op.CFOP_ADQUIRIDO_ST_DENTRO = p.cfop_adquirido;
  ASSERT_EQ(calc.Set_Dados_Operacao(op), 1) << calc.ERROR;
  sale::QUEUE_ITEM item = testing::item_de(10);
  item.ICMS.CST_ICMS_CONSUMO = p.codigo;
  item.ICMS_SIMPLES.CSOSN_CONSUMO = p.codigo;
  const bool erro = std::string{p.erro}.empty();
  EXPECT_EQ(calc.Calcula_Item(item), erro ? 1 : 0);
  EXPECT_EQ(calc.ERROR, p.erro);
  if (!erro) {
    EXPECT_EQ(calc.ERROR_FUNCTION, "Calcula_Item");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Ini, ConferenciaCfopNfce,
    ::testing::Values(
        CfopNfce{"CstWithAnStCfop", "[nfce]\ncst_csosn=1\n", 2, "00", "5.405",
                 "CFOP inválida para CST de consumo.|Para CSTs 00, 20, 40, 41, e 90 as CFOPs válidas são: 5.101, "
                 "5.102, 5.104 e 5.115.|CST utilizada: 00|CFOP utilizada: 5.405"},
        CfopNfce{"Cst60WithASaleCfop", "[nfce]\ncst_csosn=1\n", 2, "60", "5.102",
                 "CFOP inválida para CST de consumo.|Para CST 60 as CFOPs válidas são: 5.405, 5.656 e 5.667.|CST "
                 "utilizada: 60|CFOP utilizada: 5.102"},
        CfopNfce{"Csosn500WithASaleCfop", "[nfce]\ncst_csosn=1\n", 1, "500", "5.102",
                 "CFOP inválida para CSOSN de consumo.|Para CSOSN 500 as CFOPs válidas são: 5.405, 5.656 e 5.667.|"
                 "CSOSN utilizada: 500|CFOP utilizada: 5.102"},
        CfopNfce{"MatchingCfopPasses", "[nfce]\ncst_csosn=1\n", 2, "00", "5.102", ""},
        CfopNfce{"OtherValueChecksNothing", "[nfce]\ncst_csosn=0\n", 2, "00", "5.405", ""}),
    testing::RowName{});

// ---- FCP-ST ------------------------------------------------------------------------

TEST(FcpSt, OnTheStBaseOfSubstitutionCodesOnly) {
  Calculadora c;
  ASSERT_EQ(c.calc->Set_Finalidade_Operacao(kRevenda), 1);
  sale::QUEUE_ITEM item = testing::item_de(100);
  item.ICMS.CST_ICMS_REVENDA = "10";
  item.ICMS.ALIQUOTA_ICMS = 18;
  item.ICMS.ALIQUOTA_ICMS_ST = 18;
  item.MVA.PERCENTUAL_MVA_NCM = 40;
  item.FCP_ST.PERC_FCP_ST = 2;
  ASSERT_EQ(c.calc->Calcula_Item(item), 1) << c.calc->ERROR;
  EXPECT_EQ(item.FCP_ST.BASE_FCP_ST.value(), 140);
  EXPECT_EQ(item.FCP_ST.VALOR_FCP_ST.value(), 2.80);
  EXPECT_EQ(c.calc->VALOR_FCP_ST, 2.80);

  // 33.33 x 1.4 = 46.662 -> 46.66; x 2% = 0.9332 (four decimals).
  sale::QUEUE_ITEM quebrado = item;
  quebrado.SUBTOTAL_ITEM = 33.33;
  ASSERT_EQ(c.calc->Calcula_Item(quebrado), 1);
  EXPECT_EQ(quebrado.FCP_ST.VALOR_FCP_ST.units(), 9332);

  // Another code takes the base but leaves the value as it was.
  sale::QUEUE_ITEM sem_st = item;
  sem_st.ICMS.CST_ICMS_REVENDA = "00";
  sem_st.FCP_ST.VALOR_FCP_ST = 1.5;
  ASSERT_EQ(c.calc->Calcula_Item(sem_st), 1);
  EXPECT_EQ(sem_st.FCP_ST.VALOR_FCP_ST.value(), 1.5);
}

TEST(FcpSt, SimplesCsosn201) {
  Calculadora c;
  c.simples();
  sale::QUEUE_ITEM item = testing::item_de(100);
  item.ICMS_SIMPLES.CSOSN_CONSUMO = "201";
  item.ICMS_SIMPLES.ALIQUOTA_ICMS = 12;
  item.ICMS_SIMPLES.ALIQUOTA_ICMS_ST = 18;
  item.MVA.PERCENTUAL_MVA_NCM = 40;
  item.FCP_ST.PERC_FCP_ST = 1;
  ASSERT_EQ(c.calc->Calcula_Item(item), 1) << c.calc->ERROR;
  EXPECT_EQ(item.FCP_ST.VALOR_FCP_ST.value(), 1.40);
}

// ---- Delivery state, return operations, values that are not numbers -----------

TEST(DeliveryState, TaxesAsACustomerOfThatStateAndPutsTheUfBack) {
  Calculadora c;
  sale::GRUPO_CLIENTE cliente = testing::consumidor("MG");
  cliente.UF_ENTREGA = "SP";
  ASSERT_EQ(c.calc->Set_Dados_Cliente(cliente), 1);
  sale::QUEUE_ITEM item = testing::item_de(100);
  item.ICMS.CST_ICMS_CONSUMO = "41";
  item.ICMS.CST_FORA_UF_CONSUMO = "00";
  item.ICMS.ALIQUOTA_ICMS_FORA = 12;
  ASSERT_EQ(c.calc->Calcula_Item(item), 1) << c.calc->ERROR;
  EXPECT_EQ(item.CFOP, "6.102");
  EXPECT_EQ(item.ICMS.VALOR_ICMS.value(), 12);
  EXPECT_EQ(c.calc->CLIENTE.UF, "MG");
}

// A return takes the item's expenses out of its value once, however often
// the sale recomputes it.
TEST(ReturnOperation, ExpensesComeOutOnceAcrossRecomputations) {
  Calculadora c;
  sale::GRUPO_OPERACAO op = c.calc->OPERACAO;
  op.TIPO = 3;
  ASSERT_EQ(c.calc->Set_Dados_Operacao(op), 1);
  sale::QUEUE_ITEM item = testing::item_de(100);
  item.DESP_ACESSORIAS_VENDA = 10;
  item.TOTAL_LIQUIDO_VENDA = 110;
  item.ICMS.CST_ICMS_CONSUMO = "00";
  item.ICMS.ALIQUOTA_ICMS = 18;
  for (int vez = 0; vez < 3; ++vez) {
    ASSERT_EQ(c.calc->Calcula_Item(item), 1);
    EXPECT_EQ(item.TOTAL_LIQUIDO_VENDA, 100) << "run " << vez;
    EXPECT_EQ(item.ICMS.VALOR_BC_ICMS, 100) << "run " << vez;
  }
  // With the flag that keeps the expenses in the base, nothing comes out.
  op.ADICIONA_DESP_DEVOLUCAO_BASE_ICMS = 1;
  ASSERT_EQ(c.calc->Set_Dados_Operacao(op), 1);
  ASSERT_EQ(c.calc->Calcula_Item(item), 1);
  EXPECT_EQ(item.TOTAL_LIQUIDO_VENDA, 110);
  EXPECT_EQ(item.ICMS.VALOR_BC_ICMS, 110);
}

TEST(NotANumber, IsRefusedBeforeAnythingIsWritten) {
  Calculadora c;
  sale::QUEUE_ITEM item = testing::item_de(100);
  item.ICMS.CST_ICMS_CONSUMO = "00";
  item.ICMS.ALIQUOTA_ICMS = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(c.calc->Calcula_Item(item), 0);
  EXPECT_EQ(c.calc->ERROR, "|Calcula_Item |Valor, percentual ou alíquota do item não é um número.");
  EXPECT_EQ(item.ICMS.VALOR_BC_ICMS, 0);
  EXPECT_EQ(item.ICMS.VALOR_ICMS.value(), 0);
  EXPECT_EQ(item.ICMS.CST_ICMS, "");
}

}  // namespace
}  // namespace fvn::tax
