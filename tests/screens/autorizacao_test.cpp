// The supervisor's authorisation and the simplified consumer registration
// against the demo shop's users (caixa, supervisor, gerente) and customers.
#include "screens/autorizacao.h"

#include <gtest/gtest.h>

#include "data/passthrough_table.h"
#include "runtime/scripted_ui.h"
#include "runtime/working_folder.h"
#include "screens/cadastro_consumidor.h"
#include "support/code_tables.h"
#include "support/db_fixture.h"

namespace fvn {
namespace {

class AutorizacaoTest : public testing::DbTest {
 protected:
  std::string query(const std::string& sql) {
    PassthroughTable table("T", db);
    if (table.open() != 1 || table.execute(sql) != 1 || table.next() != 1) return "<" + table.driver_message() + ">";
    return table.value(0);
  }
  ScriptedUi ui;
  const SessaoAtual caixa{1, "caixa", 1};
};

TEST_F(AutorizacaoTest, AGrantFillsTheReleaseRecordTheSaleRecords) {
  AutorizacaoPresenter p(ui, db, caixa, Direito::Desconto, "Liberação para desconto na nota fiscal.",
                         "Percentual de desconto liberado: 15");
  ASSERT_EQ(p.submit("supervisor", "super123"), AutorizacaoPresenter::Outcome::Granted);
  const sale::GRUPO_DADOS_LIBERACAO& l = p.liberacao();
  EXPECT_EQ(l.DATA, today());
  EXPECT_EQ(l.OPERADOR_LOGADO, 1);
  EXPECT_EQ(l.USUARIO_LOGADO, "caixa");
  EXPECT_EQ(l.OPERADOR_LIBERACAO, 3);
  EXPECT_EQ(l.USUARIO_LIBERACAO, "supervisor");
  EXPECT_EQ(l.CODIGO_EMPRESA, 1);
  EXPECT_EQ(l.TIPO_LIBERACAO, "Desconto Nota Fiscal");
  EXPECT_EQ(l.MOTIVO_LIBERACAO, "Percentual de desconto liberado: 15");
  // The record passes every check the closing makes before writing it.
  EXPECT_EQ(sale::falta_na_liberacao(l, {"d", "h", "ol", "ul", "ob", "ub", "e", "t"}), "");
  EXPECT_TRUE(ui.messages().empty());
}

TEST_F(AutorizacaoTest, EachRightNeedsItsFlagAndOwnSessionsNeedTheirs) {
  const struct {
    std::string login, senha;
    SessaoAtual sessao;
    Direito direito;
    AutorizacaoPresenter::Outcome esperado;
    std::string mensagem;
  } casos[] = {
      {"gerente", "gerente123", caixa, Direito::VendaPrazo, AutorizacaoPresenter::Outcome::Granted, ""},
      {"gerente", "gerente123", caixa, Direito::CancelaItem, AutorizacaoPresenter::Outcome::Retry,
       "Usuário sem permissão para cancelar itens ou a venda."},
      {"gerente", "gerente123", caixa, Direito::EstoqueNegativo, AutorizacaoPresenter::Outcome::Retry,
       "Usuário sem permissão para liberar venda com estoque negativo."},
      {"caixa", "caixa123", {3, "supervisor", 1}, Direito::Autenticacao, AutorizacaoPresenter::Outcome::Granted, ""},
      {"caixa", "caixa123", caixa, Direito::Autenticacao, AutorizacaoPresenter::Outcome::Retry,
       "O usuário não pode autorizar uma operação da própria sessão.|Informe outro usuário."},
      {"gerente",
       "gerente123",
       {4, "gerente", 1},
       Direito::ClienteBloqueado,
       AutorizacaoPresenter::Outcome::Retry,
       "O usuário não pode autorizar uma operação da própria sessão.|Informe outro usuário."},
      {"supervisor",
       "super123",
       {3, "supervisor", 1},
       Direito::ClienteBloqueado,
       AutorizacaoPresenter::Outcome::Granted,
       ""},
  };
  for (const auto& c : casos) {
    ScriptedUi local;
    AutorizacaoPresenter p(local, db, c.sessao, c.direito, "texto");
    EXPECT_EQ(p.submit(c.login, c.senha), c.esperado) << c.login << " " << tipo_liberacao(c.direito);
    if (c.mensagem.empty()) {
      EXPECT_TRUE(local.messages().empty());
    } else {
      ASSERT_EQ(local.messages().size(), 1U);
      EXPECT_EQ(local.messages()[0].text, c.mensagem);
    }
  }
}

TEST_F(AutorizacaoTest, ThirdWrongPasswordClosesAndEachIsLogged) {
  AutorizacaoPresenter p(ui, db, caixa, Direito::Desconto, "texto");
  EXPECT_EQ(p.submit("supervisor", "x"), AutorizacaoPresenter::Outcome::Retry);
  EXPECT_EQ(p.submit("supervisor", "y"), AutorizacaoPresenter::Outcome::Retry);
  EXPECT_EQ(p.submit("supervisor", "super"), AutorizacaoPresenter::Outcome::Closed);
  EXPECT_EQ(query("select count(*) from tusuario_tentativas where s_tut_login = 'supervisor'"), "3");
  EXPECT_EQ(p.liberacao().OPERADOR_LIBERACAO, 0);
}

TEST(LiberaPercentual, UpToTheSupervisorsOwnMaximum) {
  UserAccount gerente;
  gerente.libera_desconto = 1;
  gerente.desconto_maximo = 20;
  const struct {
    double pedido;
    int esperado;
  } casos[] = {{20, 1}, {20.004, 1}, {20.01, 0}, {0, 0}, {-5, 0}};
  for (const auto& c : casos) {
    double liberado = 0;
    std::string motivo;
    EXPECT_EQ(libera_percentual(gerente, c.pedido, liberado, motivo), c.esperado) << c.pedido;
  }
  double liberado = 0;
  std::string motivo;
  libera_percentual(gerente, 25, liberado, motivo);
  EXPECT_EQ(motivo, "Percentual acima do máximo que o usuário pode liberar: 20,00%.");
  gerente.desconto_maximo = 100;
  EXPECT_EQ(libera_percentual(gerente, 100, liberado, motivo), 0);  // never the whole sale
  gerente.libera_desconto = 0;
  EXPECT_EQ(libera_percentual(gerente, 1, liberado, motivo), 0);
}

class CadastroConsumidorTest : public AutorizacaoTest {
 protected:
  void SetUp() override {
    AutorizacaoTest::SetUp();
    testing::link_code_tables(folder.path());
    set_working_folder(folder.path().string());
  }
  testing::TempFolder folder;
};

TEST_F(CadastroConsumidorTest, RefusalsSayWhyAndWriteNothing) {
  VALIDADOR_FISCAL validador(ui);
  CadastroConsumidorPresenter sem_direito(ui, db, validador, false);
  const DadosConsumidor bom{"Ana", "123.456.780-62", "", "", "30130-000", "", "", ""};
  EXPECT_EQ(sem_direito.grava(bom), 0);
  EXPECT_EQ(ui.messages().back().text, "Usuário não possui permissão para cadastrar clientes.");
  ASSERT_EQ(query("insert into tcep (ccodcep, i_tce_codigo_uf, i_tce_codigo_cidade) values (99999999, 31, 3199999) "
                  "returning 1"),
            "1");

  CadastroConsumidorPresenter p(ui, db, validador, true);
  const auto com = [&](auto mudanca) {
    DadosConsumidor d = bom;
    mudanca(d);
    return d;
  };
  const struct {
    DadosConsumidor dados;
    std::string mensagem;
  } casos[] = {
      {com([](auto& d) { d.nome = "  "; }), "Informe o nome do cliente."},
      {com([](auto& d) { d.documento = "123.456.780-63"; }), "CPF Inválido"},
      {com([](auto& d) { d.documento = "1234567806"; }),
       "Informe o CPF (11 dígitos) ou o CNPJ (14 dígitos) do cliente."},
      {com([](auto& d) { d.documento = "123.456.789-09"; }),
       "CPF já cadastrado para o cliente 2 - JOSE DA SILVA SAURO."},
      {com([](auto& d) { d.telefone = "3133"; }), "Telefone informado está preenchido incorretamente."},
      {com([](auto& d) { d.cep = "01001-000"; }), "CEP 01001000 não cadastrado."},
      {com([](auto& d) { d.cep = "99999-999"; }), "Código do município não consta na tabela de municípios"},
  };
  for (const auto& c : casos) {
    EXPECT_EQ(p.grava(c.dados), 0) << c.mensagem;
    EXPECT_TRUE(ui.messages().back().text.starts_with(c.mensagem)) << ui.messages().back().text;
  }
  EXPECT_EQ(query("select count(*) from aclientes"), "6");
}

TEST_F(CadastroConsumidorTest, NewCustomersTakeTheNextFreeCodeAndTheCepsAddress) {
  ASSERT_EQ(query("insert into aclientes (ccodigo, cnomecliente, i_acl_cep) values (8, 'A MAO', 30130000) returning 1"),
            "1");
  VALIDADOR_FISCAL validador(ui);
  CadastroConsumidorPresenter p(ui, db, validador, true);
  EXPECT_EQ(p.grava({"ana souza", "123.456.780-62", "(31) 98888-7777", "ana@example.com", "30130000", "", "", ""}), 7);
  EXPECT_EQ(p.grava({"Loja X", "11.222.333/0001-81", "", "", "36010000", "Rua B", "12", "Centro"}), 9);
  EXPECT_EQ(query("select string_agg(concat_ws('|', ccodigo, cnomecliente, i_acl_tipo_pessoa, s_acl_cpf, s_acl_cnpj, "
                  "s_acl_endereco, i_acl_endereco_numero, s_acl_cidade, s_acl_uf, cfonecelular, cemail, "
                  "i_acl_compra_prazo), ';' order by ccodigo) from aclientes where ccodigo in (7, 9)"),
            "7|ANA SOUZA|1|12345678062||AVENIDA AFONSO PENA|S/N|BELO HORIZONTE|MG|31988887777|ana@example.com|0;"
            "9|LOJA X|2||11222333000181|RUA B|12|JUIZ DE FORA|MG|0");
}

}  // namespace
}  // namespace fvn
