// The customer's credit and block checks against the demo shop, with the
// edges of each rule moved by updating the rows they read.
#include "screens/servicos_cliente.h"

#include <gtest/gtest.h>

#include "data/passthrough_table.h"
#include "runtime/scripted_ui.h"
#include "screens/consulta_credito.h"
#include "support/db_fixture.h"

namespace fvn {
namespace {

class ServicosClienteTest : public testing::DbTest {
 protected:
  void exec(const std::string& sql) {
    PassthroughTable table("T", db);
    ASSERT_TRUE(table.open() == 1 && table.execute(sql) == 1) << table.driver_message();
  }
  // Customer 2 owes one installment of `valor` due `dias` days ago (negative: ahead).
  void deve(int dias, double valor, std::string_view situacao = "A", double pago = 0) {
    exec("insert into asduplicatas (cisadupli, cnprdupli, cvendupli, cvprdupli, cvpgdupli, s_adu_situacao) values (" +
         std::string{kVendaJose} + ", 9, current_date - " + std::to_string(dias) + ", " + std::to_string(valor) + ", " +
         std::to_string(pago) + ", '" + std::string{situacao} + "')");
  }
  // Demo sale 5 is JOSE's (customer 2).
  static constexpr std::string_view kVendaJose = "5";
  Bloqueio b;
};

TEST_F(ServicosClienteTest, DemoCustomersEachMeetTheirRule) {
  ServicosCliente s(db, 1);
  // CONSTRUTORA (5) owes two installments of note 1 from June 2026.
  ASSERT_EQ(s.VERIFICA_BLOQUEIO_ATRASO(5, b), 1);
  EXPECT_EQ(b.tipo, TipoBloqueio::Liberacao);
  EXPECT_EQ(b.motivo,
            "Cliente possui 2 duplicata(s) em atraso somando R$ 169,70, a mais antiga vencida em 03/06/2026.");
  EXPECT_EQ(b.sem_permissao, "Usuário sem permissão para liberação de cliente com duplicatas em atraso.");
  ASSERT_EQ(s.VERIFICA_BLOQUEIO_ATRASO_AVISTA(5, b), 1);
  EXPECT_EQ(b.tipo, TipoBloqueio::Aviso);  // a cash sale is only warned
  ASSERT_EQ(s.VERIFICA_BLOQUEIO_ATRASO_DIAS_AVISTA(5, b), 1);
  EXPECT_EQ(b.tipo, TipoBloqueio::Liberacao);
  EXPECT_EQ(b.sem_permissao, "Usuário sem permissão para liberação de clientes negativados.");
  // PADARIA (3) is in Juiz de Fora, closed to credit sales.
  ASSERT_EQ(s.VERIFICA_BLOQUEIO_CIDADE(3, b), 1);
  EXPECT_EQ(b.motivo, "Venda a prazo bloqueada para a cidade JUIZ DE FORA/MG: Cobrança fora da região.");
  EXPECT_EQ(s.VERIFICA_BLOQUEIO_CIDADE(3, b), 1);
  ServicosCliente outra_empresa(db, 2);
  EXPECT_EQ(outra_empresa.VERIFICA_BLOQUEIO_CIDADE(3, b), 0);  // the list is the company's own
  // MARIA (4) is on the bureau's list.
  ASSERT_EQ(s.VERIFICACAO_SPC_CLIENTE(4, b), 1);
  EXPECT_EQ(b.motivo, "Cliente registrado no SPC desde 10/02/2026.");
  EXPECT_EQ(b.sem_permissao, "Usuário sem permissão para liberação de cliente enviado no SPC.");
  // JOSE (2) is clear of every block, and has a credit of 20.00.
  using Check = int (ServicosCliente::*)(std::int32_t, Bloqueio&);
  for (Check check : {&ServicosCliente::VERIFICA_BLOQUEIO_ATRASO, &ServicosCliente::VERIFICA_BLOQUEIO_ATRASO_DIAS,
                      &ServicosCliente::VERIFICA_BLOQUEIO_CIDADE, &ServicosCliente::VERIFICA_BLOQUEIO_IDADE,
                      &ServicosCliente::VERIFICACAO_SPC_CLIENTE}) {
    EXPECT_EQ((s.*check)(2, b), 0) << b.motivo;
  }
  std::string mensagem;
  EXPECT_EQ(s.VERIFICA_CREDITO_CLIENTE(2, mensagem), 20.0);
}

TEST_F(ServicosClienteTest, OverdueCountsOnlyOpenInstallmentsPastTheTolerance) {
  ServicosCliente s(db, 1);
  deve(0, 50);           // due today: not late
  deve(3, 40, "Q", 40);  // paid
  deve(3, 30, "E");      // reversed
  deve(3, 25, "A", 25);  // received in full though still marked open
  EXPECT_EQ(s.VERIFICA_BLOQUEIO_ATRASO(2, b), 0) << b.motivo;
  deve(1, 10.5, "A", 0.5);  // one day late, 10.00 still owed
  ASSERT_EQ(s.VERIFICA_BLOQUEIO_ATRASO(2, b), 1);
  EXPECT_NE(b.motivo.find("1 duplicata(s) em atraso somando R$ 10,00"), std::string::npos) << b.motivo;
  exec("update tempresa set i_tem_dias_tolerancia_atraso = 1 where ccodempresa = 1");
  EXPECT_EQ(s.VERIFICA_BLOQUEIO_ATRASO(2, b), 0);
}

TEST_F(ServicosClienteTest, NegativeRecordStartsTheDayAfterTheCompanysDays) {
  ServicosCliente s(db, 1);
  deve(60, 10);
  EXPECT_EQ(s.VERIFICA_BLOQUEIO_ATRASO_DIAS(2, b), 0);
  deve(61, 10);
  ASSERT_EQ(s.VERIFICA_BLOQUEIO_ATRASO_DIAS(2, b), 1);
  EXPECT_EQ(b.motivo, "Cliente negativado: duplicata vencida há 61 dias (limite de 60 dias).");
}

TEST_F(ServicosClienteTest, AgeCountsWholeYearsOfPeopleOnly) {
  ServicosCliente s(db, 1);
  const struct {
    std::string nascimento;
    int tipo_pessoa;
    int esperado;
    TipoBloqueio tipo;
  } casos[] = {
      {"current_date - interval '18 years'", 1, 0, TipoBloqueio::Nenhum},                        // 18 today
      {"current_date - interval '18 years' + interval '1 day'", 1, 1, TipoBloqueio::Liberacao},  // 17
      {"null", 1, 1, TipoBloqueio::Aviso},                                                       // unknown
      {"current_date - interval '10 years'", 2, 0, TipoBloqueio::Nenhum},                        // a company
  };
  for (const auto& c : casos) {
    exec("update aclientes set d_acl_nascimento = " + c.nascimento +
         ", i_acl_tipo_pessoa = " + std::to_string(c.tipo_pessoa) + " where ccodigo = 2");
    b = {};
    EXPECT_EQ(s.VERIFICA_BLOQUEIO_IDADE(2, b), c.esperado) << c.nascimento;
    EXPECT_EQ(b.tipo, c.tipo) << c.nascimento;
  }
  EXPECT_EQ(b.tipo, TipoBloqueio::Nenhum);
  exec("update aclientes set d_acl_nascimento = current_date, i_acl_tipo_pessoa = 1 where ccodigo = 2");
  exec("update tempresa set i_tem_idade_minima_prazo = 0");
  EXPECT_EQ(s.VERIFICA_BLOQUEIO_IDADE(2, b), 0);  // the rule is off
}

TEST_F(ServicosClienteTest, CreditLimitWarnsNearItAndBlocksAboveIt) {
  ServicosCliente s(db, 1);
  deve(-10, 400);  // JOSE: limit 1000.00, 400.00 open
  std::string mensagem;
  const struct {
    double venda;
    int esperado;
    TipoBloqueio tipo;
  } casos[] = {{500, 0, TipoBloqueio::Nenhum},
               {500.01, 1, TipoBloqueio::Aviso},
               {600, 1, TipoBloqueio::Aviso},  // exactly the limit
               {600.01, 1, TipoBloqueio::Liberacao}};
  for (const auto& c : casos) {
    b = {};
    EXPECT_EQ(s.VERIFICA_BLOQUEIO_LIMITE_CREDITO(2, c.venda, b), c.esperado) << c.venda;
    EXPECT_EQ(b.tipo, c.tipo) << c.venda;
    EXPECT_EQ(s.VERIFICA_LIMITE_TOTAL_CLIENTE(2, c.venda, mensagem), c.tipo == TipoBloqueio::Liberacao ? 1 : 0);
  }
  EXPECT_EQ(b.motivo,
            "Limite de crédito do cliente excedido: limite R$ 1.000,00, em aberto R$ 400,00, esta venda "
            "R$ 600,01.");
  EXPECT_EQ(b.direito, Direito::VendaPrazo);
  // A user who may release blocked customers but not credit above the limit.
  UserAccount user;
  user.cliente_bloqueado = 1;
  Bloqueio aviso{TipoBloqueio::Aviso, "", Direito::EstoqueNegativo, "nunca"};
  EXPECT_EQ(falta_permissao(user, {aviso, b}),
            "Usuário sem permissão para liberação de venda acima do limite do cliente.");
  user.venda_prazo = 1;
  EXPECT_EQ(falta_permissao(user, {aviso, b}), "");
  EXPECT_EQ(s.VERIFICA_BLOQUEIO_LIMITE_CREDITO(3, 1e6, b), 0);  // no limit set: no control
}

TEST_F(ServicosClienteTest, MonthlyLimitAddsThePlanToTheOpenInstallmentsOfEachMonth) {
  exec(
      "insert into asduplicatas (cisadupli, cnprdupli, cvendupli, cvprdupli) values "
      "(5, 7, date '2031-03-10', 200), (5, 8, date '2031-05-01', 100)");
  ServicosCliente s(db, 1);
  std::vector<MesAcimaLimite> meses;
  std::string mensagem;
  const std::vector<ParcelaPlano> plano = {{date_from_civil(2031, 3, 31), 100.01},
                                           {date_from_civil(2031, 4, 30), 300},
                                           {date_from_civil(2031, 5, 31), 200.01}};
  ASSERT_EQ(s.VERIFICA_LIMITE_MENSAL_CLIENTE(2, plano, meses, mensagem), 1) << mensagem;
  ASSERT_EQ(meses.size(), 2U);  // April is exactly at the 300.00 limit
  EXPECT_EQ(meses[0].mes, 3);
  EXPECT_EQ(meses[0].ano, 2031);
  EXPECT_DOUBLE_EQ(meses[0].valor, 300.01);
  EXPECT_EQ(meses[1].mes, 5);
  EXPECT_DOUBLE_EQ(meses[1].valor, 300.01);
  EXPECT_EQ(s.VERIFICA_LIMITE_MENSAL_CLIENTE(5, plano, meses, mensagem), 0);  // no monthly limit
}

TEST_F(ServicosClienteTest, CreditsAreOfferedUnusedAndTheChosenOneComesBack) {
  exec(
      "insert into ahcontas (ccodigofavorecidohistorico, cvalorcreditohistorico, cdescricaohistorico, "
      "i_ahc_tip_lancto, i_ahc_codigo_cli, i_ahc_credito_utilizado) values "
      "(7, 5.5, 'Usado', 3, 2, 1), (7, 12.25, 'Troca', 3, 2, 0)");
  ServicosCliente s(db, 1);
  std::string mensagem;
  EXPECT_EQ(s.VERIFICA_CREDITO_CLIENTE(2, mensagem), 32.25);
  ScriptedUi ui;
  ui.answer_pick(2);
  CreditoCliente credito;
  ASSERT_EQ(s.SELECIONA_CREDITO_CLIENTE(ui, 2, credito), 1);
  ASSERT_EQ(ui.pick_lists().size(), 1U);
  EXPECT_EQ(ui.pick_lists()[0].rows.size(), 2U);
  EXPECT_EQ(credito.descricao, "Troca");
  EXPECT_DOUBLE_EQ(credito.valor, 12.25);
  ui.answer_pick(0);
  EXPECT_EQ(s.SELECIONA_CREDITO_CLIENTE(ui, 2, credito), 0);
}

TEST_F(ServicosClienteTest, ADatabaseFailureBlocksInsteadOfLettingTheSaleThrough) {
  ServicosCliente s("host=127.0.0.1 port=1 dbname=none connect_timeout=2", 1);
  ASSERT_EQ(s.VERIFICACAO_SPC_CLIENTE(2, b), 1);
  EXPECT_EQ(b.tipo, TipoBloqueio::Liberacao);
  EXPECT_TRUE(b.motivo.starts_with("Erro ao verificar o registro do cliente no SPC.|")) << b.motivo;
  std::string mensagem;
  EXPECT_EQ(s.VERIFICA_LIMITE_TOTAL_CLIENTE(2, 1, mensagem), -1);
}

// The credit window of pdv: one release per right, each reason once, the
// refusal shown only to a user who lacks the right, warnings only shown.
TEST_F(ServicosClienteTest, CreditWindowAsksOneReleasePerRight) {
  exec("update aclientes set n_acl_limite_credito = 100 where ccodigo = 5");
  std::vector<Direito> pedidos;
  const auto autoriza = [&](const ConsultaCreditoPresenter::Liberacao& l) {
    pedidos.push_back(l.direito);
    return l.direito == Direito::ClienteBloqueado ? std::string("gerente") : std::string();
  };
  ScriptedUi ui;
  UserAccount caixa;
  caixa.codigo = 1;
  ConsultaCreditoPresenter c(ui, db, 1, caixa);
  EXPECT_EQ(c.verifica(5, autoriza), "Cliente 5: Cliente Bloqueado liberado por gerente; Venda a Prazo não liberado.");
  EXPECT_EQ(pedidos, (std::vector<Direito>{Direito::ClienteBloqueado, Direito::VendaPrazo}));
  ASSERT_EQ(c.restricoes().size(), 3U);  // overdue and "negativado" once each, not again as cash-sale warnings
  ASSERT_EQ(c.liberacoes().size(), 2U);
  EXPECT_EQ(c.liberacoes()[0].motivos.rfind(
                "Cliente possui 2 duplicata(s) em atraso somando R$ 169,70, a mais antiga vencida em 03/06/2026.|"
                "Cliente negativado: duplicata vencida há ",
                0),
            0U);
  ASSERT_EQ(ui.messages().size(), 2U);
  EXPECT_EQ(ui.messages()[0].text, "Usuário sem permissão para liberação de cliente com duplicatas em atraso.");

  ScriptedUi ui_supervisor;
  UserAccount supervisor;
  supervisor.codigo = 3;
  supervisor.cliente_bloqueado = supervisor.venda_prazo = 1;
  ConsultaCreditoPresenter s(ui_supervisor, db, 1, supervisor);
  s.verifica(5, autoriza);
  EXPECT_TRUE(ui_supervisor.messages().empty());

  // JOSE (2) has 20,00 of credit; an installment not yet due takes him above
  // 90 % of his limit: a warning, no release asked.
  deve(-10, 950);
  pedidos.clear();
  ScriptedUi ui_jose;
  ConsultaCreditoPresenter j(ui_jose, db, 1, caixa);
  EXPECT_EQ(j.verifica(2, autoriza), "Cliente 2: sem bloqueios, 1 aviso(s); crédito disponível 20,00.");
  EXPECT_TRUE(pedidos.empty());
  ASSERT_EQ(ui_jose.messages().size(), 1U);
  EXPECT_EQ(ui_jose.messages()[0].text.rfind("Esta venda compromete 95,00% do limite", 0), 0U);
}

}  // namespace
}  // namespace fvn
