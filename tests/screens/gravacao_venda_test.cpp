// Closing a sale: sales built in the facade, recorded into a clone of the
// demo shop and issued against a real simulator (with the official schema
// when this machine has it). Failures are injected with triggers created in
// the test's own database.
#include "screens/gravacao_venda.h"

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "runtime/clock.h"
#include "runtime/picture.h"
#include "sale/sale_test_support.h"
#include "screens/autorizacao.h"
#include "screens/operacao_demo.h"
#include "service/workflow_fixture.h"

namespace fvn {
namespace {

using sale::QUEUE_ITEM;

QUEUE_ITEM item(int produto, std::string descricao, double unitario, double quantidade, std::string ncm,
                const std::string& csosn = "102") {
  // The engine tests' goods item (CST 00, IPI not taxed, ISSQN normal) as
  // the demo product `produto`, with PIS and COFINS of other operations.
  QUEUE_ITEM i = sale::testing::item(unitario, quantidade, std::to_string(produto));
  i.ID_PRODUTO = produto;
  i.DESCRICAO = std::move(descricao);
  i.NCM = std::move(ncm);
  for (std::string* c : {&i.ICMS_SIMPLES.CSOSN, &i.ICMS_SIMPLES.CSOSN_CONSUMO, &i.ICMS_SIMPLES.CSOSN_REVENDA,
                         &i.ICMS_SIMPLES.CSOSN_FORA_UF, &i.ICMS_SIMPLES.CSOSN_FORA_UF_CONSUMO}) {
    *c = csosn;
  }
  i.PIS.CST_PIS = "49";
  i.COFINS.CST_COFINS = "49";
  return i;
}

payment::GRUPO_FORMAS_PAGAMENTO forma(std::int32_t codigo, std::string descricao, std::int32_t tipo) {
  payment::GRUPO_FORMAS_PAGAMENTO f;
  f.CODIGO = codigo;
  f.DESCRICAO = std::move(descricao);
  f.TIPO = tipo;
  return f;
}

// The demo shop's "30/60 DIAS".
payment::PaymentCondition condicao_prazo() {
  payment::PaymentCondition c;
  c.CODIGO = 2;
  c.DESCRICAO = "30/60 DIAS";
  c.TIPO = 2;
  c.PRESTACOES = 2;
  c.DIAS_ENTRE_PRESTACOES = 30;
  c.DIAS_PRIMEIRO_VENCIMENTO = 30;
  c.TIPO_JURO = 1;
  c.QUEBRA = 2;
  return c;
}

sale::GRUPO_DADOS_LIBERACAO liberacao(std::string tipo) {
  sale::GRUPO_DADOS_LIBERACAO l;
  l.DATA = today();
  l.HORA = time_from_civil(10, 0, 0);
  l.OPERADOR_LOGADO = 1;
  l.USUARIO_LOGADO = "CAIXA 01";
  l.OPERADOR_LIBERACAO = 2;
  l.USUARIO_LIBERACAO = "GERENTE";
  l.CODIGO_EMPRESA = 1;
  l.TIPO_LIBERACAO = std::move(tipo);
  l.MOTIVO_LIBERACAO = "cliente antigo";
  return l;
}

class GravacaoVendaTest : public testing::WorkflowTest {
 protected:
  void SetUp() override {
    WorkflowTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    venda_ = std::make_unique<sale::CLASSE_VENDA>();
    ASSERT_EQ(venda_->Set_Dados_Emissor({1, 11, 0}), 1);
    const sale::GRUPO_OPERACAO op = testing_support::operacao_venda_demo();
    ASSERT_EQ(venda_->Set_Dados_Operacao(op), 1) << venda_->ERROR;
    sale::GRUPO_EMPRESA e;
    e.CODIGO = 1;
    e.RAMO = 2;
    e.TIPO = 1;
    e.ALIQUOTA_SIMPLES = 2.56;
    e.UF = "MG";
    e.CEP = "30130-000";
    e.MUNICIPIO = 3106200;
    e.CNPJ = testing::kCnpj;
    e.IM = "12345670019";
    ASSERT_EQ(venda_->Set_Dados_Empresa(e), 1) << venda_->ERROR;
    cliente(1, "CONSUMIDOR");
    ASSERT_EQ(venda_->Set_Finalidade_Operacao(1), 1);
    ASSERT_EQ(venda_->Set_Dados_Vendedor({1, "JOANA"}), 1);
    ASSERT_EQ(venda_->Set_Data_Emissao(today()), 1);
    ASSERT_EQ(venda_->Set_Quebra(1), 1);
    for (const payment::GRUPO_FORMAS_PAGAMENTO& f : {forma(1, "DINHEIRO", 1), forma(2, "CARTAO", 3)}) {
      ASSERT_EQ(venda_->PAGAMENTO->Adiciona_Forma_Pagamento(f), 1) << venda_->PAGAMENTO->ERROR;
    }
    contexto_.conexao = db;
    contexto_.empresa = 1;
    contexto_.cnpj = testing::kCnpj;
    contexto_.operador = 1;
    contexto_.usuario = 1;
    contexto_.emissor = 1;
    contexto_.condicao_pagamento = 1;
    contexto_.imprime_danfe = [this](std::int32_t venda, std::int32_t resumido) {
      impressos_.emplace_back(venda, resumido);
      return 1;
    };
    gravacao_ = std::make_unique<GRAVACAO_VENDA>(ui_, *venda_, *processor_);
  }
  void TearDown() override {
    gravacao_.reset();
    venda_.reset();
    WorkflowTest::TearDown();
  }

  void cliente(std::int32_t codigo, std::string nome) {
    sale::GRUPO_CLIENTE c;
    c.CODIGO = codigo;
    c.NOME = std::move(nome);
    c.UF = "MG";
    c.CIDADE = "BELO HORIZONTE";
    c.TIPO = 1;
    ASSERT_EQ(venda_->Set_Dados_Cliente(c), 1) << venda_->ERROR;
  }
  void vende(QUEUE_ITEM i) { ASSERT_EQ(venda_->Vende_Item(i), 1) << venda_->ERROR << " " << venda_->ERROR_FUNCTION; }
  // A cash condition and the payments given (form, amount); change allowed.
  void paga_a_vista(const std::vector<std::pair<std::int32_t, double>>& pagamentos) {
    payment::PaymentCondition a_vista;
    a_vista.CODIGO = 1;
    a_vista.DESCRICAO = "A VISTA";
    a_vista.TIPO = 1;
    ASSERT_EQ(venda_->Adiciona_Condicao(a_vista), 1) << venda_->ERROR;
    ASSERT_EQ(venda_->Calcula_Simulacao(), 1) << venda_->ERROR;
    ASSERT_EQ(venda_->Set_Condicao_Pagamento(1), 1) << venda_->ERROR;
    for (const auto& [forma, valor] : pagamentos) {
      ASSERT_EQ(venda_->Paga(forma, valor, 0, {.permite_troco = true}), 1) << venda_->ERROR;
    }
  }
  // Coffee x2 and rice: 63.30, paid with 100.00 in cash.
  void venda_com_troco() {
    vende(item(42, "CAFE TORRADO MOIDO 500G", 17.90, 2, "09012100"));
    vende(item(43, "ARROZ TIPO 1 5KG", 27.50, 1, "10063021", "400"));
    paga_a_vista({{1, 100.00}});
  }

  std::string id() const { return std::to_string(gravacao_->venda()); }
  std::vector<std::string> textos() const {
    std::vector<std::string> out;
    for (const auto& m : ui_.messages()) out.push_back(m.text);
    return out;
  }
  // Rows of every table a recording writes.
  std::string linhas() {
    return value(
        "select (select count(*) from asaidas) || '/' || (select count(*) from ahistorico) || '/' || (select "
        "count(*) from ahcontas) || '/' || (select count(*) from atransacao_fin) || '/' || (select count(*) from "
        "asduplicatas) || '/' || (select count(*) from aliberacao) || '/' || (select count(*) from tnota_pedido) || "
        "'/' || (select count(*) from anosequencia) || '/' || (select i_tse_ultimo_numero from tseriesnf where "
        "cserserie = 1) || '/' || (select count(*) from pedidos where i_pdi_ide_asaidas is not null)");
  }

  std::unique_ptr<sale::CLASSE_VENDA> venda_;
  std::unique_ptr<GRAVACAO_VENDA> gravacao_;
  CONTEXTO_VENDA contexto_;
  std::vector<std::pair<std::int32_t, std::int32_t>> impressos_;
};

TEST(JuntaMensagem, AppendsOnlyNewNonBlankMessages) {
  EXPECT_EQ(junta_mensagem("", "  Volte sempre "), "Volte sempre");
  EXPECT_EQ(junta_mensagem("Pedido N.: 7", "Volte sempre"), "Pedido N.: 7 Volte sempre");
  EXPECT_EQ(junta_mensagem("Pedido N.: 7 Volte sempre", "Volte sempre"), "Pedido N.: 7 Volte sempre");
  EXPECT_EQ(junta_mensagem("Pedido N.: 7", "   "), "Pedido N.: 7");
}

TEST_F(GravacaoVendaTest, ACashSaleWithChangeIsWrittenToEveryTable) {
  venda_com_troco();
  contexto_.observacoes = "Entregar a D'Ávila; portão 3";
  ASSERT_EQ(gravacao_->Grava_Venda(contexto_), 1) << ::testing::PrintToString(textos());
  EXPECT_TRUE(ui_.messages().empty()) << ::testing::PrintToString(textos());
  EXPECT_EQ(gravacao_->numero(), 5);  // the series' next number
  EXPECT_EQ(value("select i_tse_ultimo_numero from tseriesnf where cserserie = 1"), "5");

  EXPECT_EQ(value("select cnotsaidas || '|' || csrisaidas || '|' || cclisaidas || '|' || cvensaidas || '|' || "
                  "coalesce(ctrasaidas::text, 'null') || '|' || coalesce(cmsgsaidas::text, 'null') || '|' || "
                  "caviaprsaidas || '|' || cfpgsaidas || '|' || i_asa_codigo_tna || '|' || cmersaidas::numeric(15,2) "
                  "|| '|' || ctotsaidas::numeric(15,2) || '|' || cep_saidas || '|' || ctfresaidas || '|' || "
                  "s_asa_obs_digitadas from asaidas where cidesaidas = " +
                  id()),
            "5|1|1|1|null|null|V|1|5|63.30|63.30|30130000|9|Entregar a D'Ávila; portão 3");
  // The note's text: the typed observation, the operation's message, the rice's tax message.
  EXPECT_EQ(value("select cobssaidas from asaidas where cidesaidas = " + id()),
            "Entregar a D'Ávila; portão 3 Documento emitido por ME ou EPP optante pelo Simples Nacional. Isento de "
            "ICMS conforme RICMS/MG.");
  EXPECT_EQ(count("select 1 from atransacao_fin join asaidas on i_atf_codigo = i_asa_codigo_transacao_fin where "
                  "cidesaidas = " +
                  id()),
            1);
  EXPECT_EQ(value("select string_agg(cprohistorico || ':' || s_ahi_sit_tributaria || ':' || i_ahi_csosn || ':' || "
                  "ccfohistorico || ':' || csaihisotorico::numeric(15,2) || ':' || cvtothistorico::numeric(15,2) || "
                  "':' || cvcuhistorico::numeric(15,2) || ':' || s_ahi_ncm, ' ' order by cidehistorico) from "
                  "ahistorico where cisahistorico = " +
                  id()),
            "42:0102:102:5.102:2.00:35.80:9.80:09012100 43:0400:400:5.102:1.00:27.50:18.00:10063021");
  EXPECT_EQ(value("select string_agg(ccodigofavorecidohistorico || ':' || cvalorcreditohistorico::numeric(15,2) || "
                  "':' || cvalordebitohistorico::numeric(15,2) || ':' || cdescricaohistorico, ' / ' order by "
                  "idhistorico) from ahcontas where cidesaivenhist = " +
                  id()),
            "1:100.00:0.00:Venda NF: 5 - Emissor: 1 / 2:0.00:36.70:Troco NF: 5");
  EXPECT_EQ(count("select 1 from asduplicatas where cisadupli = " + id()), 0);
}

// The facade never reaches a net total of 0 (every live item keeps at least a
// cent), so the sale exempt from payment is a bonus shipment nobody pays for.
TEST_F(GravacaoVendaTest, ASaleWithoutPaymentsHasNoPaymentRows) {
  sale::GRUPO_OPERACAO bonificacao;
  bonificacao.CODIGO = 6;
  bonificacao.DESCRICAO = "REMESSA EM BONIFICACAO";
  bonificacao.TIPO = 1;
  bonificacao.TIPO_MOVIMENTO = 2;
  bonificacao.CFOP_IND_DENTRO = bonificacao.CFOP_ADQUIRIDO_DENTRO = bonificacao.CFOP_IND_ST_DENTRO =
      bonificacao.CFOP_ADQUIRIDO_ST_DENTRO = "5.910";
  bonificacao.CFOP_IND_FORA = bonificacao.CFOP_ADQUIRIDO_FORA = bonificacao.CFOP_IND_ST_FORA =
      bonificacao.CFOP_ADQUIRIDO_ST_FORA = "6.910";
  bonificacao.CFOP_SERVICO_DENTRO = "5.949";
  bonificacao.CFOP_SERVICO_FORA = "6.949";
  ASSERT_EQ(venda_->Set_Dados_Operacao(bonificacao), 1) << venda_->ERROR;
  vende(item(42, "CAFE TORRADO MOIDO 500G", 17.90, 1, "09012100"));
  ASSERT_EQ(gravacao_->Grava_Venda(contexto_), 1) << ::testing::PrintToString(textos());
  EXPECT_EQ(value("select ccfohistorico from ahistorico where cisahistorico = " + id()), "5.910");
  EXPECT_EQ(count("select 1 from ahcontas where cidesaivenhist = " + id()), 0);
  EXPECT_EQ(count("select 1 from asduplicatas where cisadupli = " + id()), 0);
}

TEST_F(GravacaoVendaTest, AnInstallmentSaleRecordsItsPlanAndItsCreditRelease) {
  cliente(2, "JOSE DA SILVA SAURO");
  vende(item(43, "ARROZ TIPO 1 5KG", 27.50, 4, "10063021", "400"));
  ASSERT_EQ(venda_->Adiciona_Condicao(condicao_prazo()), 1) << venda_->ERROR;
  ASSERT_EQ(venda_->Calcula_Simulacao(), 1) << venda_->ERROR;
  ASSERT_EQ(venda_->Set_Condicao_Pagamento(2), 1) << venda_->ERROR;
  ASSERT_EQ(venda_->Calcula_Parcelas(), 1) << venda_->ERROR;
  ASSERT_EQ(venda_->Seta_Dados_Liberacao_Venda_Prazo(liberacao("VENDA A PRAZO")), 1) << venda_->ERROR;
  contexto_.condicao_pagamento = 2;
  contexto_.tipo_condicao = 'P';
  ASSERT_EQ(gravacao_->Grava_Venda(contexto_), 1) << ::testing::PrintToString(textos());
  EXPECT_EQ(value("select string_agg(cnprdupli || ':' || cnotdupli || ':' || (cvendupli - cemidupli) || ':' || "
                  "cvprdupli::numeric(15,2), ' ' order by cnprdupli) from asduplicatas where cisadupli = " +
                  id()),
            "1:5:30:55.00 2:5:60:55.00");
  EXPECT_EQ(value("select caviaprsaidas || i_asa_tipo_pagto || nome_saidas || '/' || cpf_saidas || '/' || "
                  "endereco_saidas || '/' || cep_saidas from asaidas where cidesaidas = " +
                  id()),
            "P1JOSE DA SILVA SAURO/12345678909/RUA DOS GUAJAJARAS/30140071");
  EXPECT_EQ(value("select concat_ws(':', i_ali_tipo, i_ali_usuario, i_ali_operador, i_ali_codigo_tem, "
                  "n_ali_valor::numeric(15,2)) from aliberacao where i_ali_ide_asaidas = " +
                  id()),
            "3:2:1:1:110.00");
}

// A supervisor cancels an item picked from the live ones and releases the
// discount; the sale records who authorised each release and for whom.
TEST_F(GravacaoVendaTest, SupervisorReleasesAreRecordedWithWhoAndForWhom) {
  vende(item(42, "CAFE TORRADO MOIDO 500G", 17.90, 2, "09012100"));
  vende(item(43, "ARROZ TIPO 1 5KG", 27.50, 1, "10063021", "400"));
  vende(item(44, "FEIJAO CARIOCA 1KG", 8.99, 1, "07133319", "400"));
  ASSERT_EQ(venda_->Cancela_Item(1), 1) << venda_->ERROR;
  std::int32_t escolhido = 0;
  ui_.answer_pick(2);
  ASSERT_EQ(SETA_ITEM_CANCELAR(ui_, *venda_, escolhido), 1);
  ASSERT_EQ(ui_.pick_lists().size(), 1U);
  EXPECT_EQ(ui_.pick_lists().back().rows.size(), 2U);  // item 1 is already cancelled
  EXPECT_EQ(escolhido, 3);

  AutorizacaoPresenter autorizacao(ui_, db, {1, "caixa", 1}, Direito::CancelaItem, "Cancelar item");
  ASSERT_EQ(autorizacao.submit("supervisor", "super123"), AutorizacaoPresenter::Outcome::Granted);
  ASSERT_EQ(venda_->Cancela_Item(escolhido), 1) << venda_->ERROR;
  ASSERT_EQ(venda_->Seta_Dados_Liberacao_Cancelamento(autorizacao.liberacao(), escolhido), 1) << venda_->ERROR;
  paga_a_vista({{1, 27.50}});
  ASSERT_EQ(gravacao_->Grava_Venda(contexto_), 1) << ::testing::PrintToString(textos());
  EXPECT_EQ(value("select concat_ws(':', i_ali_tipo, i_ali_usuario, i_ali_operador, i_ali_codigo_tem, s_ali_motivo) "
                  "from aliberacao where i_ali_ide_asaidas = " +
                  id()),
            "2:3:1:1:Cancelamento: ");
}

TEST_F(GravacaoVendaTest, TheCommissionsSetAreRecordedNumberedAsTheFormShowsThem) {
  vende(item(42, "CAFE TORRADO MOIDO 500G", 17.90, 1, "09012100"));
  paga_a_vista({{1, 17.90}});
  contexto_.comissoes = {1.5, 0, 2, 0, 0, 0, 0, 0, 0, 0.004};  // the last rounds to 0
  ASSERT_EQ(gravacao_->Grava_Venda(contexto_), 1) << ::testing::PrintToString(textos());
  EXPECT_EQ(value("select string_agg(i_asc_ordem || '=' || n_asc_percentual, ' ' order by i_asc_ordem) from "
                  "asaidas_comissao where i_asc_ide_asaidas = " +
                  id()),
            "1=1.50 3=2.00");
}

TEST_F(GravacaoVendaTest, ConsumerInvoiceLimitsStopTheRecordingBeforeAnythingIsWritten) {
  const std::string antes = linhas();
  vende(item(42, "CAFE TORRADO MOIDO 500G", 17.90, 600, "09012100"));  // 10,740.00
  EXPECT_EQ(gravacao_->Grava_Venda(contexto_), 0);
  cliente(2, "JOSE DA SILVA SAURO");
  vende(item(42, "CAFE TORRADO MOIDO 500G", 1000, 200, "09012100"));  // 210,740.00
  EXPECT_EQ(gravacao_->Grava_Venda(contexto_), 0);
  EXPECT_EQ(textos(),
            (std::vector<std::string>{"Para nota fiscal ao consumidor com valor acima de R$ 10.000,00 o cadastro do "
                                      "cliente deve estar completo.|Por favor, escolha um cliente que não seja "
                                      "consumidor.",
                                      "Nota fiscal ao consumidor não deve possuir valor superior a R$ 200.000,00."}));
  EXPECT_EQ(linhas(), antes);
}

TEST_F(GravacaoVendaTest, OrdersServiceOrdersAndMessagesGoIntoTheNoteText) {
  cliente(3, "PADARIA PAO DOURADO");
  vende(item(45, "REFRIGERANTE COLA 2L", 9.49, 1, "22021000", "500"));
  vende(item(45, "REFRIGERANTE COLA 2L", 9.49, 1, "22021000", "500"));
  paga_a_vista({{1, 18.98}});
  contexto_.pedidos = {1001};
  contexto_.ordens_servico = {501};
  contexto_.troca_cliente_carga_pedido = 1;
  contexto_.cliente_alterado = true;
  ASSERT_EQ(gravacao_->Grava_Venda(contexto_), 1) << ::testing::PrintToString(textos());
  // Each message once, although two items share the product's tax message.
  EXPECT_EQ(value("select cobssaidas from asaidas where cidesaidas = " + id()),
            "Pedido N.: 1001 Obs. Pedido: Entregar pela manha OS N.: 501 Documento emitido por ME ou EPP optante "
            "pelo Simples Nacional. Pedido interno 4471 ICMS recolhido anteriormente por substituicao tributaria.");
  // None of the order's lines was sold from it: the order stays open, linked to the sale.
  EXPECT_EQ(value("select coalesce(i_pdi_ide_asaidas::text, 'aberto') || '/' || i_pdi_codigo_cli from pedidos where "
                  "i_pdi_codigo = 1001"),
            "aberto/3");
  EXPECT_EQ(count("select 1 from tnota_pedido where i_tnp_pedido = 1001 and i_tnp_asaidas = " + id()), 1);
  // Step 21, after the commit: the service order and its deposit belong to the sale.
  EXPECT_EQ(value("select ide_asaidas || '/' || ope_fat from aordens where cideord = 501"), id() + "/1");
  EXPECT_EQ(count("select 1 from ahcontas where idhistorico = 6 and cidesaivenhist = " + id()), 1);
}

// A failure injected at the n-th row written into a table.
struct Falha {
  const char* nome;
  const char* tabela;
  int linha;
  const char* mensagem;  // start of the message shown
  bool prazo;            // an installment sale instead of the cash sale
};

// The case's name in test listings (instead of the record's bytes).
void PrintTo(const Falha& f, std::ostream* out) { *out << f.nome; }

class GravacaoFalhaTest : public GravacaoVendaTest, public ::testing::WithParamInterface<Falha> {};

TEST_P(GravacaoFalhaTest, AnyFailureBeforeTheCommitLeavesTheDatabaseUnchanged) {
  const Falha& f = GetParam();
  sql(std::string{"create function falha_teste() returns trigger language plpgsql as $$ declare n integer := "
                  "coalesce(nullif(current_setting('teste.linhas', true), ''), '0')::integer + 1; begin perform "
                  "set_config('teste.linhas', n::text, true); if n = "} +
      std::to_string(f.linha) + " then raise exception 'falha de teste'; end if; return new; end $$");
  sql(std::string{"create trigger falha_teste before insert or update on "} + f.tabela +
      " for each row execute function falha_teste()");
  const std::string antes = linhas();
  if (f.prazo) {
    cliente(2, "JOSE DA SILVA SAURO");
    vende(item(43, "ARROZ TIPO 1 5KG", 27.50, 4, "10063021", "400"));
    ASSERT_EQ(venda_->Adiciona_Condicao(condicao_prazo()), 1);
    ASSERT_EQ(venda_->Calcula_Simulacao(), 1);
    ASSERT_EQ(venda_->Set_Condicao_Pagamento(2), 1);
    ASSERT_EQ(venda_->Calcula_Parcelas(), 1) << venda_->ERROR;
    contexto_.tipo_condicao = 'P';
  } else {
    vende(item(42, "CAFE TORRADO MOIDO 500G", 17.90, 2, "09012100"));
    vende(item(43, "ARROZ TIPO 1 5KG", 27.50, 1, "10063021", "400"));
    vende(item(44, "FEIJAO CARIOCA 1KG", 8.99, 1, "07133319", "400"));
    ASSERT_EQ(venda_->Set_Desconto_Venda(2.29), 1);
    ASSERT_EQ(venda_->Seta_Dados_Liberacao_Desconto(liberacao("DESCONTO NA VENDA")), 1) << venda_->ERROR;
    paga_a_vista({{2, 50.00}, {1, 50.00}});
    contexto_.pedidos = {1001};
  }
  EXPECT_EQ(gravacao_->Grava_Venda(contexto_), 0);
  ASSERT_EQ(ui_.messages().size(), 1U) << ::testing::PrintToString(textos());
  EXPECT_EQ(ui_.messages()[0].title, "Erro!");
  EXPECT_EQ(ui_.messages()[0].text.rfind(f.mensagem, 0), 0U) << ui_.messages()[0].text;
  EXPECT_NE(ui_.messages()[0].text.find("falha de teste"), std::string::npos) << ui_.messages()[0].text;
  EXPECT_EQ(gravacao_->venda(), 0);
  sql("drop trigger falha_teste on " + std::string{f.tabela});
  EXPECT_EQ(linhas(), antes);
  // The number given back is drawn again by the next sale.
  ASSERT_EQ(gravacao_->Grava_Venda(contexto_), 1) << ::testing::PrintToString(textos());
  EXPECT_EQ(gravacao_->numero(), 5);
}

INSTANTIATE_TEST_SUITE_P(
    CadaEscrita, GravacaoFalhaTest,
    ::testing::Values(
        Falha{"transacao", "atransacao_fin", 1, "Erro ao inserir sequência de transação financeira.|", false},
        Falha{"cabecalho", "asaidas", 1, "Erro ao incluir nota fiscal.|", false},
        Falha{"pedido", "tnota_pedido", 1, "Erro ao atualizar pedido que foi utilizado na carga.|", false},
        Falha{"primeiro_item", "ahistorico", 1, "Erro ao incluir item da nota fiscal.|", false},
        Falha{"segundo_pagamento", "ahcontas", 2, "Erro ao gravar pagamentos da nota fiscal!|Erro ao inserir ahcontas|",
              false},
        Falha{"liberacao", "aliberacao", 1, "Erro ao gravar dados da liberação de desconto no banco de dados.|", false},
        Falha{"texto_da_nota", "asaidas", 2, "Erro ao incluir nota fiscal.|", false},
        Falha{"segunda_parcela", "asduplicatas", 2,
              "Erro ao sincronizar duplicatas notas!|Erro ao inserir ASDUPLICATAS|", true}),
    [](const ::testing::TestParamInfo<Falha>& linha) { return std::string{linha.param.nome}; });

TEST_F(GravacaoVendaTest, AFailedCommitRollsBackAndSaysSo) {
  sql("create function falha_commit() returns trigger language plpgsql as $$ begin raise exception 'falha de teste'; "
      "end $$");
  sql("create constraint trigger falha_commit after insert on asaidas deferrable initially deferred for each row "
      "execute function falha_commit()");
  const std::string antes = linhas();
  venda_com_troco();
  EXPECT_EQ(gravacao_->Grava_Venda(contexto_), 0);
  ASSERT_FALSE(ui_.messages().empty());
  EXPECT_EQ(ui_.messages().back().text.rfind("Erro ao confirmar gravação da Nota!|", 0), 0U) << textos().back();
  EXPECT_EQ(linhas(), antes);
}

TEST_F(GravacaoVendaTest, AReloadedRejectedSaleKeepsItsNumberAndCannotBeReloadedTwice) {
  // Sale 3 of the demo shop: number 2, issued in contingency and never accepted.
  vende(item(43, "ARROZ TIPO 1 5KG", 27.50, 1, "10063021", "400"));
  paga_a_vista({{1, 27.50}});
  contexto_.venda_recarregada = 3;
  ASSERT_EQ(gravacao_->Grava_Venda(contexto_), 1) << ::testing::PrintToString(textos());
  EXPECT_EQ(gravacao_->numero(), 2);
  EXPECT_EQ(value("select ide_futura from asaidas where cidesaidas = " + id()), "3");
  EXPECT_EQ(value("select s_asa_estorno || i_asa_numero_reutilizado || i_asa_contigencia from asaidas where "
                  "cidesaidas = 3"),
            "R10");
  EXPECT_NE(value("select s_asa_motivo_estorno from asaidas where cidesaidas = 3")
                .find("Emitida nota ID " + id() + " no dia " + format_picture(today(), "d06")),
            std::string::npos);
  EXPECT_EQ(value("select i_tse_ultimo_numero from tseriesnf where cserserie = 1"), "4");  // no new number drawn

  // Another station (or the same one again) reloading sale 3, or reloading an
  // authorised sale (demo sale 1): refused, nothing written.
  const std::string antes = linhas();
  contexto_.venda_recarregada = 1;
  EXPECT_EQ(gravacao_->Grava_Venda(contexto_), 0);
  EXPECT_EQ(linhas(), antes);
  contexto_.venda_recarregada = 3;
  EXPECT_EQ(gravacao_->Grava_Venda(contexto_), 0);
  ASSERT_FALSE(ui_.messages().empty());
  EXPECT_EQ(ui_.messages().back().text,
            "A nota fiscal rejeitada 3 já foi recarregada ou resolvida em outra estação.|A venda não foi gravada.");
  EXPECT_EQ(linhas(), antes);
}

TEST_F(GravacaoVendaTest, AnAuthorisedSaleGetsItsNsuAndReceipt) {
  venda_com_troco();
  contexto_.resumido = 1;
  ASSERT_EQ(gravacao_->Fecha_Venda(contexto_), 1) << ::testing::PrintToString(textos()) << processor_->ERROR;
  EXPECT_EQ(gravacao_->resultado(), ResultadoEmissao::Emitida);
  EXPECT_EQ(impressos_, (std::vector<std::pair<std::int32_t, std::int32_t>>{{gravacao_->venda(), 1}}));
  EXPECT_EQ(value("select i_asa_nsu || '/' || (s_asa_protocolo_nfe <> '') || '/' || coalesce(s_asa_estorno, '-') "
                  "from asaidas where cidesaidas = " +
                  id()),
            "4/true/-");
  EXPECT_EQ(count("select 1 from xmlnfe where i_nfe_codigo_asa = " + id()), 1);
  ASSERT_FALSE(ui_.messages().empty());
  EXPECT_EQ(ui_.messages().back().text,
            "Nota Fiscal finalizada com sucesso.\r\nNº Nota: 5\r\nValor:          63.30\r\nCliente: CONSUMIDOR");
}

TEST_F(GravacaoVendaTest, AnNsuThatCannotBeReadIsReportedAndTheIssuedSaleStillPrinted) {
  // The company's NSU counter answers nothing: the note is authorised all the same.
  sql("create or replace function inclui_sequencia_nsu(p_empresa integer) returns integer language sql as "
      "'select null::integer'");
  venda_com_troco();
  ASSERT_EQ(gravacao_->Fecha_Venda(contexto_), 1) << ::testing::PrintToString(textos()) << processor_->ERROR;
  EXPECT_EQ(gravacao_->resultado(), ResultadoEmissao::Emitida);
  EXPECT_EQ(impressos_.size(), 1U);
  EXPECT_EQ(value("select i_asa_nsu || '/' || coalesce(s_asa_estorno, '-') from asaidas where cidesaidas = " + id()),
            "0/-");
  const auto texts = textos();
  ASSERT_GE(texts.size(), 2U);
  EXPECT_EQ(texts[texts.size() - 2].rfind("Erro ao ler NSU em TEMPRESA.|", 0), 0U) << texts[texts.size() - 2];
  EXPECT_EQ(texts.back().rfind("Nota Fiscal finalizada com sucesso.", 0), 0U);
}

TEST_F(GravacaoVendaTest, ANamedCustomerWithCardAndCashIsAuthorised) {
  cliente(2, "JOSE DA SILVA SAURO");
  vende(item(42, "CAFE TORRADO MOIDO 500G", 17.90, 3, "09012100"));
  vende(item(44, "FEIJAO CARIOCA 1KG", 8.99, 2, "07133319", "400"));
  ASSERT_EQ(venda_->Set_Desconto_Venda(1.68), 1);
  paga_a_vista({{2, 50.00}, {1, 20.00}});
  ASSERT_EQ(gravacao_->Fecha_Venda(contexto_), 1) << ::testing::PrintToString(textos()) << processor_->ERROR;
  EXPECT_EQ(value("select cdessaidas::numeric(15,2) || '/' || ctotsaidas::numeric(15,2) from asaidas where "
                  "cidesaidas = " +
                  id()),
            "1.68/70.00");
  EXPECT_EQ(count("select 1 from ahcontas where ctef_cheque = 4 and ccodigofavorecidohistorico = 3 and "
                  "cidesaivenhist = " +
                  id()),
            1);
}

TEST_F(GravacaoVendaTest, ARejectedNoteIsReversedWithTheTranslatedError) {
  ASSERT_TRUE(sim_->fault({{"mode", "reject"}, {"call", "autorizar"}, {"cstat", 539}, {"count", 1}}));
  venda_com_troco();
  EXPECT_EQ(gravacao_->Fecha_Venda(contexto_), 0);
  EXPECT_EQ(gravacao_->resultado(), ResultadoEmissao::Estornada);
  EXPECT_TRUE(impressos_.empty());
  ASSERT_FALSE(ui_.messages().empty());
  const std::string& texto = ui_.messages().back().text;
  EXPECT_EQ(texto.rfind("Erro ao efetuar emissão da Nfe.|", 0), 0U) << texto;
  EXPECT_NE(texto.find("539"), std::string::npos) << texto;
  EXPECT_EQ(texto.substr(texto.size() - 22), "||A Nfe foi estornada!");
  EXPECT_EQ(value("select s_asa_estorno || '/' || i_asa_nsu from asaidas where cidesaidas = " + id()), "R/0");
  EXPECT_EQ(count("select 1 from ahcontas where i_ahc_tip_lancto = 9 and i_ahc_estorno_de in (select idhistorico "
                  "from ahcontas where cidesaivenhist = " +
                  id() + ")"),
            2);
}

TEST_F(GravacaoVendaTest, ANoteWhoseStoredTotalsDisagreeIsNotSentAndTheSaleIsReversed) {
  // The sale's approximate-tax total is one cent off its items as it reaches
  // the database (the ICMS totals are written from the items themselves).
  sql("create function adultera_total() returns trigger language plpgsql as $$ begin new.n_asa_tot_impostos := "
      "new.n_asa_tot_impostos + 0.01; return new; end $$");
  sql("create trigger adultera before insert on asaidas for each row execute function adultera_total()");
  // A rejection that any note reaching the simulator would spend.
  ASSERT_TRUE(sim_->fault({{"mode", "reject"}, {"call", "autorizar"}, {"cstat", 539}, {"count", 1}}));
  venda_com_troco();
  EXPECT_EQ(gravacao_->Fecha_Venda(contexto_), 0);
  EXPECT_EQ(gravacao_->resultado(), ResultadoEmissao::Estornada);
  ASSERT_FALSE(ui_.messages().empty());
  EXPECT_EQ(ui_.messages().back().text,
            "Erro ao efetuar emissão da Nfe.|Nota Fiscal não enviada: os totais não conferem com os itens.|Total "
            "vTotTrib da nota (0,01) difere da soma dos itens (0,00): diferença de 0,01||A Nfe foi estornada!");
  EXPECT_EQ(value("select s_asa_estorno || '/' || i_asa_nsu from asaidas where cidesaidas = " + id()), "R/0");
  EXPECT_EQ(sim_->fault_rules().size(), 1U) << "the note reached the simulator";
  EXPECT_TRUE(impressos_.empty());
}

TEST_F(GravacaoVendaTest, AFailedServerCheckReversesTheSaleAtOnce) {
  venda_com_troco();
  contexto_.cnpj = "11222333000100";  // refused by the check
  EXPECT_EQ(gravacao_->Fecha_Venda(contexto_), 0);
  EXPECT_EQ(gravacao_->resultado(), ResultadoEmissao::Estornada);
  const std::string& texto = ui_.messages().back().text;
  EXPECT_EQ(texto.rfind("Erro ao consultar status do servidor|", 0), 0U) << texto;
  EXPECT_EQ(texto.substr(texto.size() - 22), "||A Nfe foi estornada!");
  EXPECT_EQ(ui_.messages().back().title, "Aviso do Sistema");
  EXPECT_EQ(value("select s_asa_estorno from asaidas where cidesaidas = " + id()), "R");
}

TEST_F(GravacaoVendaTest, ALostReplyIsRecoveredAndTheSaleKept) {
  ASSERT_TRUE(sim_->fault({{"mode", "lost"}, {"call", "autorizar"}, {"count", 1}}));
  venda_com_troco();
  ASSERT_EQ(gravacao_->Fecha_Venda(contexto_), 1) << ::testing::PrintToString(textos());
  EXPECT_EQ(value("select coalesce(s_asa_estorno, '-') || '/' || i_asa_nsu from asaidas where cidesaidas = " + id()),
            "-/4");
  EXPECT_EQ(impressos_.size(), 1U);
}

TEST_F(GravacaoVendaTest, AnAcceptedNoteWhoseStorageFailedIsKeptNotReversed) {
  sql("create function falha_xml() returns trigger language plpgsql as $$ begin raise exception 'falha de teste'; "
      "end $$");
  sql("create trigger falha_xml before insert on xmlnfe for each row execute function falha_xml()");
  venda_com_troco();
  EXPECT_EQ(gravacao_->Fecha_Venda(contexto_), 0);
  EXPECT_TRUE(processor_->Nota_Aceita());
  EXPECT_EQ(gravacao_->resultado(), ResultadoEmissao::Mantida);
  EXPECT_EQ(value("select coalesce(s_asa_estorno, '-') from asaidas where cidesaidas = " + id()), "-");
  EXPECT_EQ(count("select 1 from ahcontas where i_ahc_tip_lancto = 9"), 0);
  EXPECT_TRUE(impressos_.empty());
  const std::string& texto = ui_.messages().back().text;
  EXPECT_NE(texto.find("A Nfe foi aceita pelo servidor e não foi estornada."), std::string::npos) << texto;
  EXPECT_EQ(texto.find("A Nfe foi estornada!"), std::string::npos) << texto;
}

TEST_F(GravacaoVendaTest, ASendingWhoseOutcomeIsUnknownIsKeptInDoubtNotReversed) {
  ASSERT_TRUE(sim_->fault({{"mode", "lost"}, {"call", "autorizar"}, {"count", 1}}));
  ASSERT_TRUE(sim_->fault({{"mode", "drop"}, {"call", "status"}}));
  venda_com_troco();
  EXPECT_EQ(gravacao_->Fecha_Venda(contexto_), 0);
  EXPECT_EQ(gravacao_->resultado(), ResultadoEmissao::Mantida);
  EXPECT_EQ(value("select coalesce(s_asa_estorno, '-') || i_asa_situacao_nfce from asaidas where cidesaidas = " + id()),
            "-1");
  const std::string& texto = ui_.messages().back().text;
  EXPECT_TRUE(texto.ends_with("|Ela será concluída na verificação das notas pendentes.")) << texto;
  EXPECT_EQ(texto.find("estornada!"), std::string::npos) << texto;
}

TEST_F(GravacaoVendaTest, ASaleRecordedButNeverSentIsSettledByTheResolution) {
  venda_com_troco();
  ASSERT_EQ(gravacao_->Grava_Venda(contexto_), 1) << ::testing::PrintToString(textos());
  sql("update asaidas set i_asa_contigencia = 0, i_asa_quorvex_canc = 0 where cidesaidas <> " + id());
  ASSERT_EQ(processor_->Checar_Servidor(testing::kCnpj, "", "", "", "", 0, 0, 0), 1);
  std::int32_t pendentes = 0;
  std::int32_t erros = 0;
  ASSERT_EQ(processor_->Resolve_Notas_Offline(pendentes, erros), 1) << processor_->ERROR;
  EXPECT_EQ(value("select s_asa_estorno || i_asa_situacao_nfce from asaidas where cidesaidas = " + id()), "R0");
}

TEST_F(GravacaoVendaTest, APrintedFormGetsItsNsuAndReceiptWithoutSending) {
  venda_com_troco();
  contexto_.tipo_emissor = 2;
  ASSERT_EQ(gravacao_->Fecha_Venda(contexto_), 1) << ::testing::PrintToString(textos());
  EXPECT_EQ(value("select i_asa_nsu || '/' || s_asa_protocolo_nfe from asaidas where cidesaidas = " + id()), "4/");
  EXPECT_EQ(impressos_.size(), 1U);
  EXPECT_TRUE(ui_.operation_titles().empty());  // nothing was sent
  EXPECT_EQ(ui_.messages().back().text.rfind("Nota Fiscal finalizada com sucesso.\r\nNº Nota: 5\r\n", 0), 0U);
}

}  // namespace
}  // namespace fvn
