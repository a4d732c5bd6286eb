// Every ICMS, PIS and COFINS group of the invoice, built the way a sale
// reaches it: items sold through the facade (the tax engine computes them),
// recorded by GRAVACAO_VENDA, written by the invoice writer from the recorded
// rows, signed and validated against the official schema. Each row checks a
// few values worked out by hand; every note's ICMS totals must be the sums of
// its items. A seeded random run does the same for many mixed sales.
#include <algorithm>
#include <cstdlib>
#include <functional>
#include <map>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "../nfce/document_fixture.h"
#include "runtime/rounding.h"
#include "sale/sale_test_support.h"
#include "screens/gravacao_venda.h"
#include "screens/operacao_demo.h"
#include "service/nfce_processo.h"
#include "support/xml_signing.h"

namespace fvn {
namespace {

struct ItemSpec {
  int produto = 51;  // JOGO CHAVE DE BOCA: its tax class has an own poverty fund of 2 %
  double unitario = 100;
  double quantidade = 1;
  const char* situacao = "00";  // CST, or CSOSN for the Simples company
  double aliq = 0;
  double aliq_fora = 0;
  double aliq_st = 0;
  double mva = 0;
  double red = 0;
  double fcp_st = 0;
  double diferimento = 0;
  double credito = 0;  // the Simples credit rate, as a fraction
  const char* pis = "49";
  const char* cofins = "49";
  double pis_aliq = 0;
  double cofins_aliq = 0;
  double desconto = 0;
  bool servico = false;
  double iss = 0;
};

struct Caso {
  const char* name;
  bool simples = false;  // company 1 (Simples, MG); otherwise company 2 (regular regime, SP)
  int cliente = 1;       // 1 the walk-in consumer in the company's state; 2 a person in MG; 4 a person in SP
  std::vector<ItemSpec> itens;
  bool paga = true;
  double desconto_venda = 0;
  double frete = 0;
  // Expected text at a path below infNFe; "det/..." is looked up in every item
  // in turn. "#tag": how many items hold a `tag` element.
  std::vector<std::pair<std::string, std::string>> espera;
};

sale::QUEUE_ITEM item_de(const ItemSpec& s) {
  sale::QUEUE_ITEM i = sale::testing::item(s.unitario, s.quantidade, std::to_string(s.produto));
  i.ID_PRODUTO = s.produto;
  i.DESCRICAO = "PRODUTO " + std::to_string(s.produto);
  i.NCM = "82041100";
  for (std::string* c : {&i.ICMS.CST_ICMS_CONSUMO, &i.ICMS.CST_ICMS_REVENDA, &i.ICMS.CST_FORA_UF,
                         &i.ICMS.CST_FORA_UF_CONSUMO, &i.ICMS_SIMPLES.CSOSN_CONSUMO, &i.ICMS_SIMPLES.CSOSN_REVENDA,
                         &i.ICMS_SIMPLES.CSOSN_FORA_UF, &i.ICMS_SIMPLES.CSOSN_FORA_UF_CONSUMO}) {
    *c = s.situacao;
  }
  i.ICMS.ALIQUOTA_ICMS = i.ICMS_SIMPLES.ALIQUOTA_ICMS = s.aliq;
  i.ICMS.ALIQUOTA_ICMS_FORA = i.ICMS_SIMPLES.ALIQUOTA_ICMS_FORA = s.aliq_fora;
  i.ICMS.ALIQUOTA_ICMS_ST = i.ICMS_SIMPLES.ALIQUOTA_ICMS_ST = s.aliq_st;
  i.ICMS.ALIQUOTA_ICMS_ST_FORA = i.ICMS_SIMPLES.ALIQUOTA_ICMS_ST_FORA = s.aliq_st;
  i.ICMS.PERCENTUAL_RED_BC_ICMS = i.ICMS_SIMPLES.PERCENTUAL_RED_BC_ICMS = s.red;
  i.ICMS.PERCENTUAL_ICMS_DEFERIMENTO = s.diferimento;
  i.ICMS_SIMPLES.ALIQUOTA_CRED_SIMPLES = s.credito;
  i.MVA.PERCENTUAL_MVA_NCM = i.MVA.PERCENTUAL_MVA_ESTADO = s.mva;
  i.FCP_ST.PERC_FCP_ST = s.fcp_st;
  i.PIS.CST_PIS = s.pis;
  i.PIS.ALIQUOTA_PIS = s.pis_aliq;
  i.COFINS.CST_COFINS = s.cofins;
  i.COFINS.ALIQUOTA_COFINS = s.cofins_aliq;
  i.DESCONTO = s.desconto;
  if (s.servico) i.TIPO_PRODUTO = 2;
  i.ISSQN.ALIQUOTA_ISSQN = s.iss;
  return i;
}

class GruposFiscais : public testing::DocumentTest {
 protected:
  // Sells the case's items, records the sale and returns its id (0 when it failed).
  std::int32_t grava(const Caso& caso) {
    sale::CLASSE_VENDA venda;
    EXPECT_EQ(venda.Set_Dados_Emissor({1, 11, 0}), 1);
    const sale::GRUPO_OPERACAO op = testing_support::operacao_venda_demo();
    EXPECT_EQ(venda.Set_Dados_Operacao(op), 1) << venda.ERROR;
    sale::GRUPO_EMPRESA e;
    e.CODIGO = caso.simples ? 1 : 2;
    e.RAMO = 2;
    e.TIPO = caso.simples ? 1 : 2;
    e.UF = caso.simples ? "MG" : "SP";
    e.CEP = caso.simples ? "30130-000" : "01310-100";
    e.MUNICIPIO = caso.simples ? 3106200 : 3550308;
    e.CNPJ = caso.simples ? "11222333000181" : "44555666000181";
    e.IE = caso.simples ? "0623079040081" : "110042490114";
    e.ALIQUOTA_SIMPLES = caso.simples ? 2.56 : 0;
    EXPECT_EQ(venda.Set_Dados_Empresa(e), 1) << venda.ERROR;
    sale::GRUPO_CLIENTE c;
    c.CODIGO = caso.cliente;
    c.NOME = caso.cliente == 1 ? "CONSUMIDOR" : caso.cliente == 2 ? "JOSE DA SILVA SAURO" : "MARIA D'AVILA";
    c.UF = caso.cliente == 1 ? e.UF : caso.cliente == 2 ? "MG" : "SP";
    c.CPF = caso.cliente == 1 ? "" : caso.cliente == 2 ? "12345678909" : "98765432100";
    c.TIPO = 1;
    EXPECT_EQ(venda.Set_Dados_Cliente(c), 1) << venda.ERROR;
    EXPECT_EQ(venda.Set_Finalidade_Operacao(1), 1);
    EXPECT_EQ(venda.Set_Dados_Vendedor({1, "JOANA"}), 1);
    EXPECT_EQ(venda.Set_Data_Emissao(today()), 1);
    payment::GRUPO_FORMAS_PAGAMENTO dinheiro;
    dinheiro.CODIGO = 1;
    dinheiro.DESCRICAO = "DINHEIRO";
    dinheiro.TIPO = 1;
    EXPECT_EQ(venda.PAGAMENTO->Adiciona_Forma_Pagamento(dinheiro), 1);
    for (const ItemSpec& s : caso.itens) {
      sale::QUEUE_ITEM i = item_de(s);
      EXPECT_EQ(venda.Vende_Item(i), 1) << venda.ERROR;
    }
    if (caso.desconto_venda != 0) {
      EXPECT_EQ(venda.Set_Desconto_Venda(caso.desconto_venda), 1) << venda.ERROR;
    }
    if (caso.frete != 0) {
      EXPECT_EQ(venda.Set_Frete_Venda(caso.frete), 1) << venda.ERROR;
    }
    if (caso.paga) {
      payment::PaymentCondition a_vista;
      a_vista.CODIGO = 1;
      a_vista.DESCRICAO = "A VISTA";
      a_vista.TIPO = 1;
      EXPECT_EQ(venda.Adiciona_Condicao(a_vista), 1) << venda.ERROR;
      EXPECT_EQ(venda.Calcula_Simulacao(), 1) << venda.ERROR;
      EXPECT_EQ(venda.Set_Condicao_Pagamento(1), 1) << venda.ERROR;
      sale::TOTAIS_VENDA t;
      EXPECT_EQ(venda.Calcula_Total_Venda(t), 1);
      EXPECT_EQ(venda.Paga(1, round_to(t.TOTAL_LIQUIDO, 2), 0, {.permite_troco = true}), 1) << venda.ERROR;
    }
    if (::testing::Test::HasFailure()) return 0;
    NFCE_PROCESSO processo(ui_, GatewayConfig{});
    GRAVACAO_VENDA gravacao(ui_, venda, processo);
    CONTEXTO_VENDA contexto;
    contexto.conexao = db;
    contexto.empresa = e.CODIGO;
    contexto.cnpj = e.CNPJ;
    contexto.operador = 1;
    contexto.usuario = 1;
    contexto.emissor = e.CODIGO;  // series 1 belongs to company 1, series 2 to company 2
    contexto.condicao_pagamento = 1;
    if (gravacao.Grava_Venda(contexto) != 1) {
      ADD_FAILURE() << "not recorded: " << (ui_.messages().empty() ? "" : ui_.messages().back().text);
      return 0;
    }
    return gravacao.venda();
  }

  // The invoice of `sale`, signed and checked against the schema of `folder`
  // and the totals pre-check; its infNFe.
  pugi::xml_node nota_valida(std::int32_t sale, const std::string& folder) {
    const pugi::xml_node inf = invoice(sale);
    std::string assinado;
    std::string erro;
    EXPECT_TRUE(testing::sign_nfe(doc_->XML_NFCE, assinado, erro)) << erro;
    const std::vector<std::string> problemas = testing::schema_errors(folder, assinado);
    for (const std::string& p : problemas) ADD_FAILURE() << p;
    if (!problemas.empty()) ADD_FAILURE() << doc_->XML_NFCE;
    return inf;
  }
};

// The sums of the ICMS tags of the items, by tag, in cents.
std::map<std::string, long long> somas_dos_itens(pugi::xml_node inf) {
  std::map<std::string, long long> somas;
  for (const pugi::xml_node det : inf.children("det")) {
    for (const pugi::xml_node grupo : det.child("imposto").child("ICMS").children()) {
      for (const pugi::xml_node campo : grupo.children()) {
        const std::string nome = campo.name();
        const std::string alvo = nome == "vICMSST" ? "vST" : nome;
        somas[alvo] += std::llround(std::stod(campo.child_value()) * 100);
      }
    }
  }
  return somas;
}

// The ICMS totals that must equal the sums of the items' tags.
void totais_iguais_aos_itens(pugi::xml_node inf) {
  const std::map<std::string, long long> somas = somas_dos_itens(inf);
  const pugi::xml_node total = inf.child("total").child("ICMSTot");
  for (const char* tag : {"vBC", "vICMS", "vBCST", "vST", "vFCP", "vFCPST", "vFCPSTRet"}) {
    const auto soma = somas.find(tag);
    EXPECT_EQ(std::llround(std::stod(total.child_value(tag)) * 100), soma == somas.end() ? 0 : soma->second) << tag;
  }
}

std::string valor_em(pugi::xml_node inf, const std::string& caminho) {
  if (!caminho.starts_with("det/")) return inf.first_element_by_path(caminho.c_str()).child_value();
  for (const pugi::xml_node det : inf.children("det")) {
    const pugi::xml_node achado = det.first_element_by_path(caminho.substr(4).c_str());
    if (achado) return achado.child_value();
  }
  return "(absent)";
}

int itens_com(pugi::xml_node inf, const std::string& tag) {
  int n = 0;
  for (const pugi::xml_node det : inf.children("det")) {
    n += det.find_node([&tag](pugi::xml_node x) { return tag == x.name(); }) ? 1 : 0;
  }
  return n;
}

void PrintTo(const Caso& caso, std::ostream* os) { *os << caso.name; }

class GrupoNaNota : public GruposFiscais, public ::testing::WithParamInterface<Caso> {};

TEST_P(GrupoNaNota, RecordedSaleGivesTheGroupWithHandWorkedValues) {
  FVN_SCHEMA_FOLDER(folder);
  const Caso& caso = GetParam();
  // Scale indicator and maker on two products; only the one written with a CEST may carry them.
  sql("update aprodutos set s_apr_escala_relevante = 'N', s_apr_cnpj_relevante = '12345678000195' where "
      "ccodproduto in (45, 42)");
  const std::int32_t sale = grava(caso);
  ASSERT_GT(sale, 0);
  const pugi::xml_node inf = nota_valida(sale, folder);
  ASSERT_TRUE(inf);
  for (const auto& [caminho, esperado] : caso.espera) {
    if (caminho.starts_with("#")) {
      EXPECT_EQ(std::to_string(itens_com(inf, caminho.substr(1))), esperado) << caminho;
    } else {
      EXPECT_EQ(valor_em(inf, caminho), esperado) << caminho;
    }
  }
  totais_iguais_aos_itens(inf);
}

// Unless a row says otherwise: 100.00 of product 51, consumer in the
// company's state, purpose consumption, no IPI, paid in cash. The groups the
// golden notes pin byte for byte (ICMS00 with the fund, ICMS10 with FCP-ST,
// ICMS20, CSOSN 102) have no row here, nor the codes whose group repeats
// another row's sums (40/41/50, CSOSN 202, CSOSN 900 with ST): the random
// sales write every code and hold each group's ST and ICMS to the totals.
INSTANTIATE_TEST_SUITE_P(
    Grupos, GrupoNaNota,
    ::testing::Values(
        // 140 x 18 % - 100 x 12 % = 13.20; no own base.
        Caso{.name = "icms30",
             .itens = {{.situacao = "30", .aliq = 12, .aliq_st = 18, .mva = 40}},
             .espera = {{"det/imposto/ICMS/ICMS30/vICMSST", "13.20"}, {"total/ICMSTot/vBC", "0.00"}}},
        // 18.00 of operation, 33.33 % deferred = 5.9994 -> 6.00, 12.00 due (and in the total).
        Caso{.name = "icms51",
             .itens = {{.situacao = "51", .aliq = 18, .diferimento = 33.33}},
             .espera = {{"det/imposto/ICMS/ICMS51/vICMSOp", "18.00"},
                        {"det/imposto/ICMS/ICMS51/pDif", "33.33"},
                        {"det/imposto/ICMS/ICMS51/vICMSDif", "6.00"},
                        {"det/imposto/ICMS/ICMS51/vICMS", "12.00"},
                        {"total/ICMSTot/vICMS", "12.00"}}},
        // Product 50 carries 46.20 / 8.32 withheld per unit: x 2 = 92.40 / 16.64, not the sale value.
        Caso{.name = "icms60_retido_do_produto",
             .itens = {{.produto = 50, .unitario = 39.90, .quantidade = 2, .situacao = "60"}},
             .espera = {{"det/imposto/ICMS/ICMS60/vBCSTRet", "92.40"},
                        {"det/imposto/ICMS/ICMS60/vICMSSTRet", "16.64"},
                        {"det/prod/CEST", "0601400"},
                        {"total/ICMSTot/vST", "0.00"}}},
        // Base 90.00, ICMS 16.20; ST 140 x 18 % - 16.20 = 9.00.
        Caso{.name = "icms70",
             .itens = {{.situacao = "70", .aliq = 18, .aliq_st = 18, .mva = 40, .red = 10}},
             .espera = {{"det/imposto/ICMS/ICMS70/vICMS", "16.20"}, {"det/imposto/ICMS/ICMS70/vICMSST", "9.00"}}},
        // 0.416 x 462.22 = 192.28352 and FCP-ST 269.19 x 1 % = 2.6919 are paid unrounded:
        // 192.28352 + 25.38 + 2.6919 = 220.36, while the items carry 192.28 + 25.38 + 2.69 = 220.35;
        // the cent goes to the item as another charge, so that vNF is both.
        Caso{.name = "arredondamento_do_total",
             .itens = {{.unitario = 462.22,
                        .quantidade = 0.416,
                        .situacao = "10",
                        .aliq = 12,
                        .aliq_st = 18,
                        .mva = 40,
                        .fcp_st = 1}},
             .espera = {{"det/prod/vProd", "192.28"},
                        {"det/prod/vOutro", "0.01"},
                        {"det/imposto/ICMS/ICMS10/vFCPST", "2.69"},
                        {"total/ICMSTot/vNF", "220.36"},
                        {"pag/detPag/vPag", "220.36"}}},
        Caso{.name = "icms90_sem_st",
             .itens = {{.situacao = "90", .aliq = 18}},
             .espera = {{"det/imposto/ICMS/ICMS90/vICMS", "18.00"}, {"#modBCST", "0"}}},
        // The ST the engine computes (7.20) and its FCP-ST (2.80) are written in the item.
        Caso{.name = "icms90_st_fcp_st",
             .itens = {{.situacao = "90", .aliq = 18, .aliq_st = 18, .mva = 40, .fcp_st = 2}},
             .espera = {{"det/imposto/ICMS/ICMS90/vICMSST", "7.20"},
                        {"det/imposto/ICMS/ICMS90/vFCPST", "2.80"},
                        {"total/ICMSTot/vST", "7.20"}}},
        // 100 x 0.0125 = 1.25 of credit, stated as 1.25 %.
        Caso{.name = "csosn101",
             .simples = true,
             .itens = {{.produto = 42, .situacao = "101", .credito = 0.0125}},
             .espera = {{"det/imposto/ICMS/ICMSSN101/pCredSN", "1.25"},
                        {"det/imposto/ICMS/ICMSSN101/vCredICMSSN", "1.25"}}},
        // 140 x 18 % - 100 x 12 % = 13.20; credit 1.25; FCP-ST 2.80.
        Caso{.name = "csosn201",
             .simples = true,
             .itens = {{.produto = 43,
                        .situacao = "201",
                        .aliq = 12,
                        .aliq_st = 18,
                        .mva = 40,
                        .fcp_st = 2,
                        .credito = 0.0125}},
             .espera = {{"det/imposto/ICMS/ICMSSN201/vICMSST", "13.20"},
                        {"det/imposto/ICMS/ICMSSN201/vFCPST", "2.80"},
                        {"det/imposto/ICMS/ICMSSN201/vCredICMSSN", "1.25"}}},
        // Product 45 (CEST, scale flag N and maker) withheld 8.20 / 1.48 per unit, x 3;
        // product 42 has the same flags but no CEST, so none of them.
        Caso{.name = "csosn500_balanca_cest",
             .simples = true,
             .itens = {{.produto = 45, .unitario = 9.49, .quantidade = 3, .situacao = "500"},
                       {.produto = 42, .unitario = 17.90, .situacao = "102"}},
             .espera = {{"det/imposto/ICMS/ICMSSN500/vBCSTRet", "24.60"},
                        {"det/imposto/ICMS/ICMSSN500/vICMSSTRet", "4.44"},
                        {"det/prod/CEST", "0300700"},
                        {"det/prod/indEscala", "N"},
                        {"det/prod/CNPJFab", "12345678000195"},
                        {"#indEscala", "1"}}},
        Caso{.name = "csosn900_sem_st",
             .simples = true,
             .itens = {{.produto = 43, .situacao = "900", .aliq = 18}},
             .espera = {{"det/imposto/ICMS/ICMSSN900/vICMS", "18.00"}, {"#vBCST", "0"}}},
        // PIS 1.65 % and COFINS 7.6 % of 100.00; per quantity; not taxed; 55 and 99 as "other".
        Caso{.name = "pis_cofins",
             .itens = {{.pis = "01", .cofins = "01", .pis_aliq = 1.65, .cofins_aliq = 7.6},
                       {.pis = "03", .cofins = "03", .pis_aliq = 1.65, .cofins_aliq = 7.6},
                       {.pis = "07", .cofins = "07"},
                       {.pis = "99", .cofins = "55", .pis_aliq = 0.65, .cofins_aliq = 3}},
             .espera = {{"det/imposto/PIS/PISAliq/vPIS", "1.65"},
                        {"det/imposto/COFINS/COFINSAliq/vCOFINS", "7.60"},
                        {"det/imposto/PIS/PISQtde/qBCProd", "1.0000"},
                        {"det/imposto/PIS/PISNT/CST", "07"},
                        {"det/imposto/PIS/PISOutr/vPIS", "0.65"},
                        {"det/imposto/COFINS/COFINSOutr/CST", "55"},
                        {"total/ICMSTot/vPIS", "3.95"}}},
        Caso{.name = "sem_pagamento",
             .simples = true,
             .itens = {{.produto = 42, .unitario = 0.01, .situacao = "102"}},
             .paga = false,
             .espera = {{"pag/detPag/tPag", "90"}, {"pag/detPag/vPag", "0.00"}}},
        // A service without ISS rate: ISSQNtot carries vServ and no vISS at 0.00.
        Caso{.name = "servico",
             .simples = true,
             .itens = {{.produto = 49, .unitario = 80, .quantidade = 2, .situacao = "102", .servico = true}},
             .espera = {{"det/imposto/ISSQN/vBC", "160.00"},
                        {"total/ISSQNtot/vServ", "160.00"},
                        {"total/ISSQNtot/vISS", ""}}},
        // A customer from MG buying in SP: the interstate 12 % is the rate written and used.
        Caso{.name = "interestadual",
             .cliente = 2,
             .itens = {{.aliq = 18, .aliq_fora = 12}},
             .espera = {{"det/imposto/ICMS/ICMS00/pICMS", "12.00"},
                        {"det/imposto/ICMS/ICMS00/vICMS", "12.00"},
                        {"dest/enderDest/UF", "MG"}}},
        Caso{.name = "interestadual_simples_900",
             .simples = true,
             .cliente = 4,
             .itens = {{.produto = 43, .situacao = "900", .aliq = 18, .aliq_fora = 12}},
             .espera = {{"det/imposto/ICMS/ICMSSN900/pICMS", "12.00"}, {"det/imposto/ICMS/ICMSSN900/vICMS", "12.00"}}}),
    [](const ::testing::TestParamInfo<Caso>& row) { return std::string{row.param.name}; });

// --- random sales -----------------------------------------------------------

int do_ambiente(const char* nome, int padrao) {
  const char* valor = std::getenv(nome);
  return valor != nullptr && *valor != '\0' ? std::atoi(valor) : padrao;
}

// A sale of 1 to 5 items of any code the company's regime has, with rates,
// margins, reductions, FCP-ST, deferral and credit in the ranges the engine
// accepts; now and then an out-of-state customer, a service, item and sale
// discounts and freight.
Caso venda_aleatoria(std::mt19937& g) {
  const auto sorteio = [&g](int de, int ate) { return std::uniform_int_distribution<int>(de, ate)(g); };
  const auto um_de = [&](const std::vector<double>& v) {
    return v[static_cast<std::size_t>(sorteio(0, static_cast<int>(v.size()) - 1))];
  };
  static const std::vector<const char*> csts = {"00", "10", "20", "30", "40", "41", "50", "51", "60", "70", "90"};
  static const std::vector<const char*> csosns = {"101", "102", "103", "201", "202", "203", "300", "400", "500", "900"};
  static const std::vector<const char*> contribuicoes = {"01", "02", "03", "04", "06", "07", "08", "09", "49",
                                                         "50", "55", "56", "60", "67", "70", "75", "98", "99"};
  Caso caso{.name = "aleatoria", .itens = {}, .espera = {}};
  caso.simples = sorteio(0, 1) == 1;
  const bool interestadual = sorteio(0, 3) == 0;
  const int itens = sorteio(1, 5);
  for (int n = 0; n < itens; ++n) {
    ItemSpec s;
    const auto& codigos = caso.simples ? csosns : csts;
    s.situacao = codigos[static_cast<std::size_t>(sorteio(0, static_cast<int>(codigos.size()) - 1))];
    const std::string sit = s.situacao;
    s.produto = sit == "60" ? 50 : sit == "500" ? 45 : caso.simples ? 43 : 51;
    s.unitario = sorteio(5, 50000) / 100.0;
    s.quantidade = sorteio(0, 2) == 0 ? sorteio(1, 3000) / 1000.0 : sorteio(1, 6);
    s.aliq = um_de({0, 7, 12, 17, 18});
    s.aliq_fora = um_de({4, 7, 12});
    s.aliq_st = std::max({s.aliq, s.aliq_fora, um_de({17, 18, 20, 25})});
    if (sorteio(0, 3) == 0) s.aliq_st = 0;  // 90 and 900 without ST; codes that need it get it below
    if (sit == "10" || sit == "30" || sit == "70" || sit == "201" || sit == "202" || sit == "203") {
      s.aliq_st = std::max({s.aliq, s.aliq_fora, 18.0});
    }
    // Without a margin an ST equal to the own rate is zero and its rounding may
    // make it negative, which the engine refuses.
    s.mva = um_de({20, 40, 71.5});
    s.red = sit == "20" ? um_de({10, 33.33, 61.11}) : um_de({0, 0, 10});
    s.fcp_st = um_de({0, 0, 1, 2});
    s.diferimento = um_de({33.33, 50, 100});
    s.credito = um_de({0, 0.0125, 0.0256});
    s.pis = contribuicoes[static_cast<std::size_t>(sorteio(0, static_cast<int>(contribuicoes.size()) - 1))];
    s.cofins = contribuicoes[static_cast<std::size_t>(sorteio(0, static_cast<int>(contribuicoes.size()) - 1))];
    s.pis_aliq = um_de({0, 0.65, 1.65});
    s.cofins_aliq = um_de({0, 3, 7.6});
    if (sorteio(0, 9) == 0) {
      s.produto = 49;
      s.situacao = caso.simples ? "400" : "41";
      s.servico = true;
      s.iss = um_de({0, 2, 5});
    }
    caso.itens.push_back(s);
  }
  double bruto = 0;
  for (const ItemSpec& s : caso.itens) bruto += s.unitario * s.quantidade;
  // The walk-in consumer may not pass 10,000.00 (ST included): larger sales go to a named
  // customer of the company's state.
  const int mesmo_estado = caso.simples ? 2 : 4;
  caso.cliente = interestadual ? (caso.simples ? 4 : 2) : bruto > 5000 ? mesmo_estado : 1;
  // A sale discount of up to a tenth of the goods (more is refused by the facade).
  if (sorteio(0, 2) == 0) caso.desconto_venda = std::min(sorteio(1, 500), static_cast<int>(bruto * 10)) / 100.0;
  if (sorteio(0, 2) == 0) caso.frete = sorteio(1, 2000) / 100.0;
  return caso;
}

// Many random sales, each recorded, written, signed and checked against the
// schema and the totals pre-check, with its ICMS totals equal to the sums of
// its items. FVN_RANDOM_SALES sets the count (300 by default), FVN_RANDOM_SEED
// the seed; the first failing sale stops the run and names both.
TEST_F(GruposFiscais, RandomSalesGiveValidNotesWhoseTotalsAreTheirItems) {
  FVN_SCHEMA_FOLDER(folder);
  const int vendas = do_ambiente("FVN_RANDOM_SALES", 300);
  const auto semente = static_cast<unsigned>(do_ambiente("FVN_RANDOM_SEED", 20261206));
  std::mt19937 gerador(semente);
  for (int n = 0; n < vendas && !HasFailure(); ++n) {
    const Caso caso = venda_aleatoria(gerador);
    SCOPED_TRACE("FVN_RANDOM_SEED=" + std::to_string(semente) + ", sale " + std::to_string(n + 1));
    const std::int32_t sale = grava(caso);
    if (sale == 0) break;
    const pugi::xml_node inf = nota_valida(sale, folder);
    if (!inf) break;
    totais_iguais_aos_itens(inf);
  }
}

}  // namespace
}  // namespace fvn
