// The item audit on the demo shop's products, in the context the sale gives
// it (emitter, company, client, the cst_csosn setting), and the auditor's
// state between audits: what an acceptance and a refusal keep, and what a
// new sale forgets.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "audit_fixture.h"
#include "nfce/audit_rows.h"
#include "records/party_groups.h"
#include "records/queue_item.h"

namespace fvn::testing {
namespace {

using Item = AUDITOR_FISCAL::DADOS_ITEM;

const std::string kCsosn =
    "CSOSN de consumo inválida para nota fiscal ao consumidor.|CSOSNs válidas: 102, 103, 300, 400, 500 e 900.";
const std::string kCsosnForaUf =
    "CSOSN de consumo fora UF inválida para nota fiscal ao consumidor.|CSOSNs válidas: 102, 103, 300, 400, 500 e 900";
const std::string kCst =
    "CST ICMS consumo inválida para nota fiscal ao consumidor.|CSTs válidas: 00, 20, 40, 41, 60 e 90.";
const std::string kCstForaUf =
    "CST ICMS consumo fora UF inválida para nota fiscal ao consumidor.|CSTs válidas: 00, 20, 40, 41, 60 e 90.";
const std::string kCst5051 = "CST ICMS consumo inválida para nota fiscal ao consumidor.";
const std::string kCst5051ForaUf = "CST ICMS fora UF consumo inválida para nota fiscal ao consumidor.";
const std::string kNcmIncompleto = "Produto com NCM incompleto, menor que 8 digitos.";

// Demo shop: company 1 is a Simples grocery in MG, company 2 a regular-regime
// store in SP; client 2 lives in MG, client 4 in SP. Product 42 (coffee, tax
// class 1), 49 (a service), 50 (hammer, class 4, consumer CST 10 for MG),
// 51 (wrenches, class 3).
struct LinhaItem {
  std::string nome;
  std::int32_t produto = 42;
  std::string sql{};
  std::function<void(Item&)> muda{};
  std::int32_t empresa = 1;
  std::int32_t cliente = 2;  // 0: no client accepted
  bool nfce = true;
  std::optional<std::string> cst_csosn{};  // std::nullopt: no nfe_ini.ini
  std::int32_t codigo_erro = kAceita;
  std::string mensagem{};
};

std::string produto(int codigo, const std::string& set) {
  return "update aprodutos set " + set + " where ccodproduto = " + std::to_string(codigo) + ";";
}
std::string tributacao(int codigo, const std::string& set) {
  return "update ttributacao set " + set + " where ccodtributacao = " + std::to_string(codigo) + ";";
}
// The product's consumer codes for clients of `uf`.
std::string por_estado(int codigo, const std::string& uf, const std::string& cst, int csosn) {
  return "insert into cstestado (i_cst_codigo_apr, s_cst_uf, s_cst_cst_consumo, i_cst_csosn_consumo) values (" +
         std::to_string(codigo) + ", '" + uf + "', '" + cst + "', " + std::to_string(csosn) + ");";
}

class ItemAuditado : public AuditTest, public ::testing::WithParamInterface<LinhaItem> {};

TEST_P(ItemAuditado, Regras) {
  const LinhaItem& linha = GetParam();
  sql(linha.sql);
  cst_csosn(linha.cst_csosn);
  emissor(linha.nfce);
  std::string erro;
  AUDITOR_FISCAL::DADOS_EMPRESA empresa;
  ASSERT_EQ(le_empresa_auditoria(*table_, linha.empresa, empresa, erro), 1) << erro;
  ASSERT_EQ(auditor_->Audita_Empresa(empresa), 1) << auditor_->display();
  AUDITOR_FISCAL::DADOS_CLIENTE cliente;
  if (linha.cliente > 0) {
    ASSERT_EQ(le_cliente_auditoria(*table_, linha.cliente, cliente, erro), 1) << erro;
    ASSERT_EQ(auditor_->Audita_Cliente(cliente), 1) << auditor_->display();
  }
  Item item;
  ASSERT_EQ(le_produto_auditoria(*table_, linha.produto, cliente.UF, item, erro), 1) << erro;
  if (linha.muda) linha.muda(item);
  marca_erro_anterior();
  espera_resultado(auditor_->Audita_Item(item), linha.codigo_erro, linha.mensagem, "Audita_Item");
}

const std::string kNcm99 = "insert into ncm (i_ncm_codigo, s_ncm_descricao) values ('99', 'SEM NCM');" +
                           produto(42, "i_apr_codigo_cnm = '99'");

INSTANTIATE_TEST_SUITE_P(
    Itens, ItemAuditado,
    ::testing::ValuesIn(std::vector<LinhaItem>{
        {"CafeSimplesMesmaUf"},
        {"ServicoComNcm00", 49},
        {"ChaveRegimeNormalMesmaUf", 51, "", {}, 2, 4},
        {"ChaveRegimeNormalOutraUf", 51, "", {}, 2, 2},
        {"MarteloParaMinasComCst10", 50, "", {}, 2, 2, true, {}, 58, kCstForaUf},
        {"CestaComPrecoZero", 48, "", {}, 1, 2, true, {}, 39, "Valor do item não pode ser igual a 0."},
        {"Ncm99ComIpi",
         42,
         kNcm99 + tributacao(1, "cipitributacao = 5"),
         {},
         1,
         2,
         true,
         {},
         35,
         "Não é possível vender um item com alíquota de IPI e código do NCM 99."},
        {"Ncm99SemIpi", 42, kNcm99, {}, 1, 2, true, {}, 43, "NCM igual a zero ou 99 são inválidos."},
        {"DescricaoComPipe",
         42,
         produto(42, "cdesproduto = 'CAFE|500G'"),
         {},
         1,
         2,
         true,
         {},
         51,
         "Descrição do item inválida.|" + kPipe},
        {"QuantidadeNegativa",
         42,
         "",
         [](Item& i) { i.QUANTIDADE = -1; },
         1,
         2,
         true,
         {},
         38,
         "Quantidade do item não pode ser igual a 0."},
        {"NcmZero", 42, "", [](Item& i) { i.NCM = "0"; }, 1, 2, true, {}, 43, "NCM igual a zero ou 99 são inválidos."},
        {"ServicoComNcmDeMercadoria",
         49,
         produto(49, "i_apr_codigo_cnm = '09012100'"),
         {},
         1,
         2,
         true,
         {},
         58,
         "Produto do tipo serviço cadastrado com NCM inválido, preencha seu cadastro como 00."},
        {"FreteComNcm00", 49, produto(49, "ctipproduto = 2")},
        {"MercadoriaComNcmDeQuatroDigitos",
         42,
         "insert into ncm (i_ncm_codigo, s_ncm_descricao) values ('2202', 'BEBIDAS');" +
             produto(42, "i_apr_codigo_cnm = '2202'"),
         {},
         1,
         2,
         true,
         {},
         58,
         kNcmIncompleto},
        {"NcmComPontos", 42, "", [](Item& i) { i.NCM = "0901.21.00"; }},
        {"CsosnMesmaUfForaDaLista", 42, tributacao(1, "i_atr_csosn_consumo = 101"), {}, 1, 2, true, {}, 58, kCsosn},
        {"CsosnOutraUfForaDaLista", 42, por_estado(42, "SP", "", 101), {}, 1, 4, true, {}, 58, kCsosnForaUf},
        {"CsosnOutraUfComZeroPassa", 42, por_estado(42, "SP", "", 101), {}, 1, 4, true, "0"},
        {"CsosnSemClienteAceito", 42, tributacao(1, "i_atr_csosn_consumo = 101"), {}, 1, 0},
        {"CsosnForaDaNfce", 42, tributacao(1, "i_atr_csosn_consumo = 101"), {}, 1, 2, false},
        {"CsosnDoConsumidorAceito",
         42,
         tributacao(1, "i_atr_csosn_consumo = 101") +
             "update aclientes set s_acl_endereco = 'RUA A', s_acl_bairro = 'CENTRO', cfoneresidencial = "
             "'3133334444' where ccodigo = 1;",
         {},
         1,
         1},
        {"CstMesmaUfForaDaLista", 51, tributacao(3, "s_atr_cst_consumo = '10'"), {}, 2, 4, true, {}, 58, kCst},
        {"EmpresaDeOutroTipoSemLista",
         51,
         tributacao(3, "s_atr_cst_consumo = '10'") +
             "update tempresa set i_tem_tipo_empresa = 3 where ccodempresa = 2;",
         {},
         2,
         4},
        {"Cst50MesmaUfComZero", 51, tributacao(3, "s_atr_cst_consumo = '50'"), {}, 2, 4, true, "0", 58, kCst5051},
        {"Cst51OutraUfComZero",
         50,
         "update cstestado set s_cst_cst_consumo = '51' where i_cst_codigo_apr = 50 and s_cst_uf = 'MG';",
         {},
         2,
         2,
         true,
         "0",
         58,
         kCst5051ForaUf},
        {"CstForaDaListaComZeroPassa", 51, tributacao(3, "s_atr_cst_consumo = '10'"), {}, 2, 4, true, "0"},
        {"ZeroNaoOlhaOTipoDaEmpresa", 42, tributacao(1, "s_atr_cst_consumo = '50'"), {}, 1, 2, true, "0", 58, kCst5051},
        {"ZeroSemClienteTestaForaUf",
         42,
         tributacao(1, "s_atr_cst_consumo = '51'"),
         {},
         1,
         0,
         true,
         "0",
         58,
         kCst5051ForaUf},
    }),
    [](const ::testing::TestParamInfo<LinhaItem>& linha) { return linha.param.nome; });

// --- the auditor's state --------------------------------------------------------

TEST_F(AuditTest, DescricaoRecusaPipeAntesDeO) {
  struct Caso {
    std::string texto;
    int resultado;
    std::int32_t codigo;
  };
  for (const Caso& c : std::vector<Caso>{
           {"", 1, 0}, {"CAFÉ 500G", 1, 0}, {"CAFE | 500G", 0, 41}, {"|", 0, 41}, {"MØLLER", 0, 42}, {"Ø|", 0, 41}}) {
    auditor_->ERROR_CODE = 0;
    EXPECT_EQ(auditor_->Audita_Descricao(c.texto), c.resultado) << c.texto;
    EXPECT_EQ(auditor_->ERROR_CODE, c.codigo) << c.texto;
    if (c.resultado == 0) {
      EXPECT_EQ(auditor_->ERROR_FUNCTION, "Audita_Descricao");
    }
  }
}

TEST_F(AuditTest, EmissorRecusadoMantemNfce) {
  emissor(true);
  EXPECT_EQ(auditor_->Audita_Emissor({0, 2}), 0);
  EXPECT_EQ(auditor_->ERROR, "Código do emissor inválido.");
  EXPECT_EQ(auditor_->ERROR_CODE, 32);
  EXPECT_EQ(auditor_->ERROR_FUNCTION, "Audita_Emissor");
  EXPECT_EQ(auditor_->NFCE, 1);
  EXPECT_EQ(auditor_->Audita_Emissor({3, 2}), 1);
  EXPECT_EQ(auditor_->NFCE, 0);
}

// A refused client leaves the one accepted before, and the item audit goes
// on comparing against it.
TEST_F(AuditTest, ClienteRecusadoMantemOAnterior) {
  emissor(true);
  std::string erro;
  AUDITOR_FISCAL::DADOS_CLIENTE sp;
  AUDITOR_FISCAL::DADOS_CLIENTE sem_telefone;
  ASSERT_EQ(le_cliente_auditoria(*table_, 4, sp, erro), 1) << erro;
  ASSERT_EQ(le_cliente_auditoria(*table_, 3, sem_telefone, erro), 1) << erro;
  ASSERT_EQ(auditor_->Audita_Cliente(sp), 1);
  EXPECT_EQ(auditor_->Audita_Cliente(sem_telefone), 0);
  EXPECT_EQ(auditor_->CLIENTE.CODIGO, 4);
  EXPECT_EQ(auditor_->CLIENTE.UF, "SP");
}

// The company and client of one sale do not judge the items of the next.
TEST_F(AuditTest, NovaVendaEsqueceEmpresaECliente) {
  sql(por_estado(42, "SP", "", 101));
  emissor(true);
  std::string erro;
  AUDITOR_FISCAL::DADOS_EMPRESA empresa;
  AUDITOR_FISCAL::DADOS_CLIENTE cliente;
  Item cafe;
  ASSERT_EQ(le_empresa_auditoria(*table_, 1, empresa, erro), 1) << erro;
  ASSERT_EQ(le_cliente_auditoria(*table_, 4, cliente, erro), 1) << erro;
  ASSERT_EQ(le_produto_auditoria(*table_, 42, "SP", cafe, erro), 1) << erro;
  ASSERT_EQ(auditor_->Audita_Empresa(empresa), 1);
  ASSERT_EQ(auditor_->Audita_Cliente(cliente), 1);
  EXPECT_EQ(auditor_->Audita_Item(cafe), 0);
  EXPECT_EQ(auditor_->ERROR, kCsosnForaUf);

  // The next sale is for the generic consumer, which enters without an audit.
  auditor_->Nova_Venda();
  EXPECT_EQ(auditor_->EMPRESA.CODIGO, 0);
  EXPECT_TRUE(auditor_->CLIENTE.UF.empty());
  EXPECT_EQ(auditor_->Audita_Item(cafe), 1) << auditor_->display();
  EXPECT_EQ(auditor_->NFCE, 1) << "the emitter stays: it is a setting of the station";
}

TEST_F(AuditTest, EsqueceClienteMantemEmpresa) {
  emissor(true);
  std::string erro;
  AUDITOR_FISCAL::DADOS_EMPRESA empresa;
  AUDITOR_FISCAL::DADOS_CLIENTE cliente;
  ASSERT_EQ(le_empresa_auditoria(*table_, 2, empresa, erro), 1) << erro;
  ASSERT_EQ(le_cliente_auditoria(*table_, 4, cliente, erro), 1) << erro;
  ASSERT_EQ(auditor_->Audita_Empresa(empresa), 1);
  ASSERT_EQ(auditor_->Audita_Cliente(cliente), 1);
  auditor_->Esquece_Cliente();
  EXPECT_EQ(auditor_->CLIENTE.CODIGO, 0);
  EXPECT_EQ(auditor_->EMPRESA.CODIGO, 2);
}

class AuditoriaSemMunicipios : public AuditTest {
 protected:
  void SetUp() override {
    skipped_table_ = "tb81.txt";
    AuditTest::SetUp();
  }
};

// Without the municipality table every company and client is refused.
TEST_F(AuditoriaSemMunicipios, RecusaEmpresaECliente) {
  EXPECT_EQ(ui_.messages().size(), 1U) << "the validator names the missing table once";
  std::string erro;
  AUDITOR_FISCAL::DADOS_EMPRESA empresa;
  AUDITOR_FISCAL::DADOS_CLIENTE cliente;
  ASSERT_EQ(le_empresa_auditoria(*table_, 1, empresa, erro), 1) << erro;
  ASSERT_EQ(le_cliente_auditoria(*table_, 2, cliente, erro), 1) << erro;
  EXPECT_EQ(auditor_->Audita_Empresa(empresa), 0);
  EXPECT_EQ(auditor_->ERROR_CODE, 5);
  EXPECT_EQ(auditor_->ERROR, "Código do município não consta na tabela de municípios");
  EXPECT_EQ(auditor_->Audita_Cliente(cliente), 0);
  EXPECT_EQ(auditor_->ERROR_CODE, 26);
}

// The sale's own records reach the audits field for field.
TEST_F(AuditTest, RegistrosDaVenda) {
  sale::GRUPO_EMPRESA empresa;
  empresa.CODIGO = 1;
  empresa.TIPO = 1;
  empresa.UF = "MG";
  empresa.CEP = "30130000";
  empresa.MUNICIPIO = 3106200;
  empresa.CNPJ = "11222333000181";
  empresa.BAIRRO = "CENTRO";
  empresa.ENDERECO = "AVENIDA AFONSO PENA";
  empresa.NUMERO = "1500";
  empresa.RAZAO_SOCIAL = "MERCEARIA BOA VISTA LTDA";
  empresa.NOME_MUNICIPIO = "BELO HORIZONTE";
  empresa.MENSAGEM_IMPRESSAO_VENDA = "Obrigado|";
  EXPECT_EQ(auditor_->Audita_Empresa(AUDITOR_FISCAL::empresa_de(empresa)), 0);
  EXPECT_EQ(auditor_->ERROR_CODE, 48);
  empresa.MENSAGEM_IMPRESSAO_VENDA.clear();
  ASSERT_EQ(auditor_->Audita_Empresa(AUDITOR_FISCAL::empresa_de(empresa)), 1) << auditor_->display();

  sale::GRUPO_EMISSOR emissor;
  emissor.CODIGO = 1;
  emissor.TIPO = 11;
  ASSERT_EQ(auditor_->Audita_Emissor(AUDITOR_FISCAL::emissor_de(emissor)), 1);
  sale::GRUPO_CLIENTE cliente;
  cliente.CODIGO = 4;
  cliente.NOME = "MARIA";
  cliente.ENDERECO = "RUA BARAO DE JAGUARA";
  cliente.CIDADE = "CAMPINAS";
  cliente.UF = "SP";
  cliente.FONE = "19999887766";
  cliente.CPF = "98765432100";
  cliente.BAIRRO = "CENTRO";
  cliente.MUNICIPIO = 3509502;
  ASSERT_EQ(auditor_->Audita_Cliente(AUDITOR_FISCAL::cliente_de(cliente)), 1) << auditor_->display();

  sale::GRUPO_OPERACAO operacao;
  operacao.CFOP_IND_DENTRO = operacao.CFOP_ADQUIRIDO_DENTRO = operacao.CFOP_IND_ST_DENTRO = "5.102";
  operacao.CFOP_ADQUIRIDO_ST_DENTRO = "5.405";
  operacao.CFOP_SERVICO_DENTRO = "5.949";
  EXPECT_EQ(auditor_->Audita_Operacao(AUDITOR_FISCAL::operacao_de(operacao)), 0);
  EXPECT_EQ(auditor_->ERROR.rfind("CFOP de prestação de serviço", 0), 0U) << auditor_->ERROR;

  sale::GRUPO_TRANSPORTADORA transportadora;
  transportadora.CODIGO_TRANSPORTADORA = 1;
  transportadora.TIPO_PESSOA = "1";
  transportadora.PLACA = "ABC1D23";
  EXPECT_EQ(auditor_->Audita_Transportadora(AUDITOR_FISCAL::transportadora_de(transportadora)), 0);
  EXPECT_EQ(auditor_->ERROR, "CPF da transportadora não preenchido.");

  sale::QUEUE_ITEM item;
  item.DESCRICAO = "CAFE";
  item.UNITARIO = 17.9;
  item.QUANTIDADE = 2;
  item.UNIDADE = "UN";
  item.TIPO_PRODUTO = 1;
  item.NCM = "09012100";
  item.ICMS_SIMPLES.CSOSN_CONSUMO = "102";
  item.ICMS_SIMPLES.CSOSN_FORA_UF_CONSUMO = "101";
  EXPECT_EQ(auditor_->Audita_Item(AUDITOR_FISCAL::item_de(item)), 0);
  EXPECT_EQ(auditor_->ERROR, kCsosnForaUf);
  item.ICMS_SIMPLES.CSOSN_FORA_UF_CONSUMO = "500";
  item.NCM = "99";
  item.IPI.ALIQUOTA_IPI = 5;
  EXPECT_EQ(auditor_->Audita_Item(AUDITOR_FISCAL::item_de(item)), 0);
  EXPECT_EQ(auditor_->ERROR_CODE, 35);
}

}  // namespace
}  // namespace fvn::testing
