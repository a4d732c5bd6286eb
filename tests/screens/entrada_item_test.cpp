// The item entry against the demo shop: what a typed code, label, kit or
// table change puts on the sale, and that every refusal leaves the sale as
// it was.
#include "screens/entrada_item.h"

#include <cmath>
#include <limits>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "data/passthrough_table.h"
#include "runtime/scripted_ui.h"
#include "runtime/working_folder.h"
#include "screens/operacao_demo.h"
#include "support/code_tables.h"
#include "support/db_fixture.h"

namespace fvn {
namespace {

// The dialogs answered by the test: the item detail accepts (with the
// discount set here), the supervisor's authorisation as told.
class JanelasTeste final : public JanelasVenda {
 public:
  int CONDICAO_PAGTO(sale::VENDA_INTERFACE&, std::int32_t) override { return 0; }
  int PRESTACAO_VENDA(sale::VENDA_INTERFACE&) override { return 0; }
  int FORMA_PAGTO_VENDA(sale::VENDA_INTERFACE&) override { return 0; }
  int TELA_TROCO(double, double&) override { return 0; }
  int CPF_CNPJ_OPCIONAL(IdentificacaoConsumidor&) override { return 0; }
  int DETALHE_PRODUTO(sale::QUEUE_ITEM& item) override {
    ++detalhes;
    item.DESCONTO = desconto;
    return detalhe;
  }
  int AUTENTICACAO(Direito direito, std::string_view, std::string_view, UserAccount&,
                   sale::GRUPO_DADOS_LIBERACAO&) override {
    ++autenticacoes;
    EXPECT_EQ(direito, Direito::EstoqueNegativo);
    return autentica;
  }
  std::int32_t CADASTRO_CONSUMIDOR_SIMPLIFICADO() override { return 0; }

  int detalhe = 1;
  double desconto = 0;
  int autentica = 0;
  int detalhes = 0;
  int autenticacoes = 0;
};

// A 12-digit text with its EAN-13 check digit appended.
std::string ean13(const std::string& doze) {
  int soma = 0;
  for (std::size_t i = 0; i < 12; ++i) soma += (doze[i] - '0') * (i % 2 == 0 ? 1 : 3);
  return doze + std::to_string((10 - soma % 10) % 10);
}

class EntradaItemTest : public testing::DbTest {
 protected:
  void SetUp() override {
    DbTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    testing::link_code_tables(folder.path());
    testing::write_file(folder.file("nfe_ini.ini"), "[nfce]\ncst_csosn=0\n");
    set_working_folder(folder.path().string());
    abre(1);
  }

  // A new sale of `empresa` (1 Simples in MG, 2 regular in SP) to the generic
  // consumer of the company's state.
  void abre(std::int32_t empresa) {
    PassthroughTable t("VALORES", db);
    std::string erro;
    ASSERT_EQ(load_module_values(t, empresa, 1, valores, erro), 1) << erro;
    venda = std::make_unique<sale::CLASSE_VENDA>();
    ASSERT_EQ(venda->Set_Dados_Emissor({1, 11, 0}), 1);
    ASSERT_EQ(venda->Set_Dados_Operacao(testing_support::operacao_venda_demo()), 1) << venda->ERROR;
    sale::GRUPO_EMPRESA e;
    e.CODIGO = empresa;
    e.RAMO = 2;
    e.TIPO = empresa == 1 ? 1 : 2;
    e.UF = empresa == 1 ? "MG" : "SP";
    e.CEP = empresa == 1 ? "30130-000" : "01310-100";
    e.MUNICIPIO = empresa == 1 ? 3106200 : 3550308;
    e.CNPJ = empresa == 1 ? "11222333000181" : "44555666000181";
    e.IE = empresa == 1 ? "0623079040081" : "110042490114";
    e.ALIQUOTA_SIMPLES = empresa == 1 ? 2.56 : 0;
    e.IM = empresa == 1 ? "12345670019" : "45678901";
    ASSERT_EQ(venda->Set_Dados_Empresa(e), 1) << venda->ERROR;
    sale::GRUPO_CLIENTE c;
    c.CODIGO = 1;
    c.NOME = "CONSUMIDOR";
    c.UF = e.UF;
    c.TIPO = 1;
    ASSERT_EQ(venda->Set_Dados_Cliente(c), 1) << venda->ERROR;
    ASSERT_EQ(venda->Set_Finalidade_Operacao(1), 1);
    ASSERT_EQ(venda->Set_Dados_Vendedor({1, "JOANA"}), 1);
    ASSERT_EQ(venda->Set_Data_Emissao(today()), 1);
    entrada = std::make_unique<EntradaItem>(ui, janelas, db, valores, *venda);
  }

  void sql(const std::string& statement) {
    PassthroughTable t("SQL", db);
    ASSERT_EQ(t.open(), 1);
    ASSERT_EQ(t.execute(statement), 1) << t.driver_message();
  }

  sale::QUEUE_ITEM item(std::int32_t numero) {
    sale::QUEUE_ITEM i;
    EXPECT_EQ(venda->Get_Item_Venda(numero, i), 1) << venda->ERROR;
    return i;
  }
  std::int32_t itens() const { return venda->Get_Quantidade_Itens(); }
  std::string ultima_mensagem() const { return ui.messages().empty() ? "" : ui.messages().back().text; }

  testing::TempFolder folder;
  ScriptedUi ui;
  JanelasTeste janelas;
  ModuleValues valores;
  std::unique_ptr<sale::CLASSE_VENDA> venda;
  std::unique_ptr<EntradaItem> entrada;
};

TEST_F(EntradaItemTest, ScaleLabelsInBothLayoutsAndCodesOfOtherShapes) {
  valores.I_TEM_ETIQUETA_BALANCA = 1;
  // Layout 1: product in characters 2-5, value in 6-12 in cents; BANANA at
  // 5.99 (Tabela1, the company's default): 10.00 buys 1.669 kg (3 decimals).
  valores.I_PAR_QTD_VAL_COD_BARRA = 1;
  ASSERT_EQ(entrada->vende_codigo(ean13("200470001000"), 1), 1) << ultima_mensagem();
  EXPECT_EQ(item(1).ID_PRODUTO, 47);
  EXPECT_DOUBLE_EQ(item(1).QUANTIDADE, 1.669);
  EXPECT_EQ(item(1).BALANCA, 1);
  // Layout 0: product in characters 2-7, value in 8-12 as it is; QUEIJO
  // at 39.90: 1995 gives 50 kg.
  valores.I_PAR_QTD_VAL_COD_BARRA = 0;
  ASSERT_EQ(entrada->vende_codigo(ean13("200004601995"), 1), 1) << ultima_mensagem();
  EXPECT_EQ(item(2).ID_PRODUTO, 46);
  EXPECT_DOUBLE_EQ(item(2).QUANTIDADE, 50);

  // A label whose check digit fails, and a 12-digit code starting with "2",
  // are ordinary codes: the latter is found by its bar code.
  std::string errado = ean13("200470001000");
  errado.back() = errado.back() == '9' ? '0' : static_cast<char>(errado.back() + 1);
  EXPECT_EQ(entrada->vende_codigo(errado, 1), 0);
  EXPECT_EQ(ultima_mensagem(), "Não achou o produto ou produto inativo.");
  sql("update aprodutos set cbarproduto = '200470001000' where ccodproduto = 47");
  ASSERT_EQ(entrada->vende_codigo("200470001000", 2), 1) << ultima_mensagem();
  EXPECT_EQ(item(3).ID_PRODUTO, 47);
  EXPECT_DOUBLE_EQ(item(3).QUANTIDADE, 2);
  EXPECT_EQ(item(3).BALANCA, 0);

  // Codes typed with a check digit: the first 6 characters are tried first.
  EXPECT_EQ(entrada->vende_codigo("0000427", 1), 0);
  valores.I_PAR_USA_DIGITO_VERIFICADOR_VENDA = 3;
  ASSERT_EQ(entrada->vende_codigo("0000427", 1), 1) << ultima_mensagem();
  EXPECT_EQ(item(4).ID_PRODUTO, 42);
  EXPECT_EQ(itens(), 4);
}

TEST_F(EntradaItemTest, NegativeStockWarnsOrBlocksCountingTheLinesAlreadySold) {
  // FEIJAO has 2 in stock at company 1.
  valores.BLQ_ESTNEG = 1;
  ASSERT_EQ(entrada->vende_codigo("44", 3), 1);
  EXPECT_EQ(ultima_mensagem(), "Estoque do item vai ficar negativo.");
  EXPECT_EQ(ui.messages().back().title, "Aviso do Sistema");

  ASSERT_EQ(venda->Cancela_Item(1), 1);
  valores.BLQ_ESTNEG = 2;
  const std::size_t avisos = ui.messages().size();
  ASSERT_EQ(entrada->vende_codigo("44", 2), 1);
  EXPECT_EQ(ui.messages().size(), avisos);  // the cancelled line no longer counts
  const double total = venda->Get_Total_Liquido();
  EXPECT_EQ(entrada->vende_codigo("44", 1), 0);  // a second line counts the first
  EXPECT_EQ(janelas.autenticacoes, 1);
  EXPECT_EQ(itens(), 2);
  EXPECT_DOUBLE_EQ(venda->Get_Total_Liquido(), total);

  janelas.autentica = 1;  // a supervisor releases it
  EXPECT_EQ(entrada->vende_codigo("44", 1), 1);
  valores.I_PAR_LIB_VDA_EST_NEGATIVO = 1;  // the operator's parameters release it
  EXPECT_EQ(entrada->vende_codigo("44", 1), 1);
  EXPECT_EQ(janelas.autenticacoes, 2);
}

TEST_F(EntradaItemTest, KitsSellTheirComponentsAndRefuseAKitInsideAKit) {
  // CESTA BASICA MINI: ARROZ, 2 FEIJAO with 0.50 off, CAFE.
  ASSERT_EQ(entrada->vende_codigo("48", 2), 1) << ultima_mensagem();
  ASSERT_EQ(itens(), 3);
  EXPECT_EQ(item(1).ID_PRODUTO, 43);
  EXPECT_EQ(item(2).ID_PRODUTO, 44);
  EXPECT_DOUBLE_EQ(item(2).QUANTIDADE, 4);
  EXPECT_DOUBLE_EQ(item(2).DESCONTO, 1.00);
  EXPECT_EQ(janelas.detalhes, 0);  // components take the kit's discount, not the dialog

  sql("insert into aprodutos (ccodproduto, cdesproduto, ctriproduto, i_apr_codigo_cnm, i_apr_kit) values "
      "(60, 'KIT DUPLO', 1, '10063021', 1)");
  sql("insert into produtos_kit values (10, 60, 45, 1, 0), (11, 60, 48, 1, 0), (12, 60, 42, 1, 0)");
  EXPECT_EQ(entrada->vende_codigo("60", 1), 0);
  EXPECT_EQ(ultima_mensagem(), "Produto com kit configurado não pode ser carregado em outro KIT.");
  ASSERT_EQ(itens(), 4);  // the component sold before the refused one stays
  EXPECT_EQ(item(4).ID_PRODUTO, 45);
}

TEST_F(EntradaItemTest, GenericConsumerTakesOnlyConsumptionCodes) {
  // CAFE's classification with CSOSN 101 (a credit, not a consumer's code).
  sql("update ttributacao set i_atr_csosn_consumo = 101 where ccodtributacao = 1");
  EXPECT_EQ(entrada->vende_codigo("42", 1), 0);
  const std::string recusa = ultima_mensagem();
  EXPECT_EQ(recusa,
            "Retorno: 58|Erro: CSOSN de consumo inválida para nota fiscal ao consumidor.|CSOSNs válidas: 102, 103, "
            "300, 400, 500 e 900.|Função: Audita_Item");
  EXPECT_EQ(ui.messages().back().title, "Erro!");
  EXPECT_EQ(itens(), 0);
  // Without the key the check does not run.
  testing::write_file(folder.file("nfe_ini.ini"), "[nfce]\n");
  EXPECT_EQ(entrada->vende_codigo("42", 1), 1) << ultima_mensagem();
  // An identified customer passes the item audit instead, which checks the
  // codes whenever the key is not "0".
  sale::GRUPO_CLIENTE jose;
  jose.CODIGO = 2;
  jose.NOME = "JOSE DA SILVA SAURO";
  jose.UF = "MG";
  jose.CPF = "12345678909";
  jose.TIPO = 1;
  ASSERT_EQ(venda->Set_Dados_Cliente(jose), 1) << venda->ERROR;
  const std::size_t antes = ui.messages().size();
  EXPECT_EQ(entrada->vende_codigo("42", 1), 0);
  EXPECT_EQ(ui.messages().size(), antes + 1);
  EXPECT_EQ(ultima_mensagem(), recusa);
  EXPECT_EQ(itens(), 1);

  // The regular company: CST 00 sells, CST 51 is refused with its own text.
  testing::write_file(folder.file("nfe_ini.ini"), "[nfce]\ncst_csosn=0\n");
  abre(2);
  EXPECT_EQ(entrada->vende_codigo("51", 1), 1) << ultima_mensagem();
  EXPECT_EQ(item(1).ICMS.CST_ICMS_CONSUMO, "00");
  sql("update ttributacao set s_atr_cst_consumo = '51' where ccodtributacao = 3");
  EXPECT_EQ(entrada->vende_codigo("51", 1), 0);
  EXPECT_EQ(ultima_mensagem(),
            "Retorno: 58|Erro: CST ICMS consumo inválida para nota fiscal ao consumidor.|Função: Audita_Item");
  EXPECT_EQ(itens(), 1);
}

TEST_F(EntradaItemTest, ChangingThePriceTableSellsTheLiveLinesAgainAtTheNewPrices) {
  const std::vector<TabelaPreco> tabelas = entrada->tabelas_permitidas();
  ASSERT_EQ(tabelas.size(), 2U);
  EXPECT_EQ(tabelas[1].nome, "ATACADO");  // the company's name for Tabela1
  ASSERT_EQ(entrada->escolhe_tabela(0), 1);
  EXPECT_EQ(entrada->nome_tabela(), "Normal");

  ASSERT_EQ(entrada->vende_codigo("42", 2), 1);
  ASSERT_EQ(entrada->vende_codigo("44", 1), 1);
  ASSERT_EQ(entrada->vende_codigo("43", 1), 1);
  ASSERT_EQ(venda->Cancela_Item(2), 1);
  sale::QUEUE_ITEM de_fora = item(3);  // a line sold without the item entry
  ASSERT_EQ(venda->Vende_Item(de_fora), 1);
  ASSERT_EQ(venda->Set_Frete_Venda(5), 1);
  ASSERT_EQ(venda->Set_Desconto_Venda(3), 1);
  EXPECT_DOUBLE_EQ(venda->Get_Total_Liquido(), 2 * 17.90 + 2 * 27.50 + 5 - 3);

  // A table the operator may not use changes nothing.
  EXPECT_EQ(entrada->escolhe_tabela(3), 0);
  EXPECT_EQ(entrada->tabela(), 0);
  EXPECT_EQ(itens(), 4);

  ASSERT_EQ(entrada->escolhe_tabela(1), 1) << ultima_mensagem();
  EXPECT_EQ(entrada->tabela(), 1);
  ASSERT_EQ(itens(), 3);  // the cancelled line is gone, the others sold again
  EXPECT_DOUBLE_EQ(item(1).UNITARIO, 16.90);
  EXPECT_DOUBLE_EQ(item(1).QUANTIDADE, 2);
  EXPECT_DOUBLE_EQ(item(2).UNITARIO, 25.90);
  EXPECT_DOUBLE_EQ(item(3).UNITARIO, 25.90);
  EXPECT_DOUBLE_EQ(venda->Get_Frete_Venda(), 5);
  EXPECT_DOUBLE_EQ(venda->Get_Desconto_Venda(), 0);
  EXPECT_DOUBLE_EQ(venda->Get_Total_Liquido(), 2 * 16.90 + 2 * 25.90 + 5);

  entrada->nova_venda();
  EXPECT_EQ(entrada->tabela(), valores.TAB_PRE_PADRAO);
}

TEST_F(EntradaItemTest, BadInputIsRefusedAndLeavesTheSaleAsItWas) {
  ASSERT_EQ(entrada->vende_codigo("42", 1), 1);
  const double total = venda->Get_Total_Liquido();
  const struct {
    std::string codigo;
    double quantidade;
  } casos[] = {
      {std::string(200, '7'), 1},
      {"42';delete--", 1},
      {"x' or '1'='1", 1},
      {"42\\", 1},
      {"'", 1},
      {"999999", 1},
      {"42", 0},
      {"42", -1},
      {"42", std::numeric_limits<double>::quiet_NaN()},
      {"42", 1e14},
      {"42", 1.5},  // CAFE is not sold in fractions
  };
  for (const auto& c : casos) {
    const std::size_t antes = ui.messages().size();
    EXPECT_EQ(entrada->vende_codigo(c.codigo, c.quantidade), 0) << c.codigo << " " << c.quantidade;
    EXPECT_EQ(ui.messages().size(), antes + 1) << c.codigo;
    EXPECT_EQ(itens(), 1) << c.codigo;
    EXPECT_DOUBLE_EQ(venda->Get_Total_Liquido(), total) << c.codigo;
  }
  EXPECT_EQ(entrada->vende_produto(9999, 1), 0);
  EXPECT_EQ(ultima_mensagem(), "Não achou o produto.");
  EXPECT_EQ(entrada->vende_produto(52, 1), 0);
  EXPECT_EQ(ultima_mensagem(), "Produto inativo!");
  // Abandoning the item detail sells nothing and says nothing.
  janelas.detalhe = 0;
  const std::size_t antes = ui.messages().size();
  EXPECT_EQ(entrada->vende_codigo("43", 1), 0);
  EXPECT_EQ(ui.messages().size(), antes);
  EXPECT_EQ(itens(), 1);
  // So does abandoning the import-content sheet of a product that has one.
  janelas.detalhe = 1;
  sql("update aprodutos set s_apr_chave_fci = '12345678-1234-1234-1234-123456789012' where ccodproduto = 43");
  std::string chave;
  entrada->set_ficha_conteudo([&chave](sale::QUEUE_ITEM& i) {
    chave = i.CHAVE_FCI;
    return 0;
  });
  EXPECT_EQ(entrada->vende_codigo("43", 1), 0);
  EXPECT_EQ(chave, "12345678-1234-1234-1234-123456789012");
  EXPECT_EQ(itens(), 1);
  // The statements kept the pastes as data.
  EXPECT_EQ(entrada->vende_codigo("51", 1), 1);
}

TEST_F(EntradaItemTest, RefusedLimitsCancelTheItemJustSold) {
  ASSERT_EQ(entrada->vende_codigo("42", 1), 1);
  const double total = venda->Get_Total_Liquido();
  ASSERT_EQ(venda->Set_Desconto_Venda(1), 1);
  entrada->set_limites([] { return false; });
  EXPECT_EQ(entrada->vende_codigo("43", 1), 0);
  ASSERT_EQ(itens(), 2);
  EXPECT_EQ(item(2).CANCELADO, 1);
  EXPECT_DOUBLE_EQ(venda->Get_Desconto_Venda(), 0);
  EXPECT_DOUBLE_EQ(venda->Get_Total_Liquido(), total);
}

TEST_F(EntradaItemTest, ServicesNeedTheirIssAndTheCompanysRegistrations) {
  // INSTALACAO DE PRATELEIRA, classification 5: ISS 2.5 % at company 1.
  ASSERT_EQ(entrada->vende_codigo("49", 1), 1) << ultima_mensagem();
  EXPECT_DOUBLE_EQ(item(1).ISSQN.ALIQUOTA_ISSQN, 2.5);
  EXPECT_DOUBLE_EQ(item(1).ISSQN.VALOR_ISSQN, 2.00);
  sql("update tempresa set i_tem_cnae = '' where ccodempresa = 1");
  EXPECT_EQ(entrada->vende_codigo("49", 1), 0);
  EXPECT_EQ(ultima_mensagem(),
            "Para a venda de produtos do tipo serviço, o CNAE da empresa deve estar preenchido.|Por favor, verifique "
            "o cadastro da empresa.");
  sql("update tempresa set i_tem_cnae = '4712100' where ccodempresa = 1");
  sql("delete from iss where i_iss_codigo_tem = 1");
  EXPECT_EQ(entrada->vende_codigo("49", 1), 0);
  EXPECT_EQ(ultima_mensagem(), "Nenhum registro retornou da busca na tabela de iss.|");
  EXPECT_EQ(itens(), 1);
}

}  // namespace
}  // namespace fvn
