// The log-in against the demo shop's users, the password hash, and the pick
// list over a query, headless with ScriptedUi.
#include "screens/login.h"

#include <gtest/gtest.h>

#include "data/passthrough_table.h"
#include "runtime/scripted_ui.h"
#include "screens/pick_query.h"
#include "support/db_fixture.h"

namespace fvn {
namespace {

TEST(PasswordHash, IsPbkdf2HmacSha256) {
  // The first 32 bytes of the RFC 7914 vector: "passwd", salt "salt", 1 round.
  EXPECT_EQ(password_hash("passwd", "73616c74", 1), "55ac046e56e3089fec1691c22544b605f94185216dde0465e68b9d57c20dacbc");
  EXPECT_EQ(password_hash("passwd", "73616C7", 1), "");  // odd length
  EXPECT_EQ(password_hash("passwd", "zz", 1), "");
  EXPECT_EQ(password_hash("passwd", "73616c74", 0), "");
  const std::string salt = new_password_salt();
  EXPECT_EQ(salt.size(), 32U);
  EXPECT_NE(salt, new_password_salt());
}

class LoginTest : public testing::DbTest {
 protected:
  std::string query(const std::string& sql) {
    PassthroughTable table("T", db);
    if (table.open() != 1 || table.execute(sql) != 1 || table.next() != 1) return "<" + table.driver_message() + ">";
    return table.value(0);
  }
  ScriptedUi ui;
};

TEST_F(LoginTest, DemoUsersLogInWithTheirFlags) {
  LoginPresenter cashier(ui, db);
  ASSERT_EQ(cashier.submit(" caixa ", "caixa123"), LoginPresenter::Outcome::Accepted);
  EXPECT_EQ(cashier.user().codigo, 1);
  EXPECT_EQ(cashier.user().libera_desconto, 0);
  LoginPresenter supervisor(ui, db);
  ASSERT_EQ(supervisor.submit("supervisor", "super123"), LoginPresenter::Outcome::Accepted);
  EXPECT_EQ(supervisor.user().libera_desconto, 1);
  EXPECT_TRUE(ui.messages().empty());
  // The table holds no password in clear.
  EXPECT_EQ(query("select count(*) from tusuarios where s_tus_hash like '%caixa123%' or s_tus_sal like '%caixa%'"),
            "0");
}

TEST_F(LoginTest, ThirdFailureClosesAndEveryFailureIsLoggedWithoutThePassword) {
  LoginPresenter presenter(ui, db);
  EXPECT_EQ(presenter.submit("caixa", "errada"), LoginPresenter::Outcome::Retry);
  EXPECT_EQ(presenter.submit("ninguem", "caixa123"), LoginPresenter::Outcome::Retry);
  // An empty user is asked for again and is no attempt.
  EXPECT_EQ(presenter.submit("  ", "x"), LoginPresenter::Outcome::Retry);
  EXPECT_EQ(presenter.submit("caixa", ""), LoginPresenter::Outcome::Closed);
  ASSERT_EQ(ui.messages().size(), 4U);
  // Unknown user and wrong password read the same.
  EXPECT_EQ(ui.messages()[0].text, "Usuário ou senha inválidos.|Tentativa 1 de 3.");
  EXPECT_EQ(ui.messages()[1].text, "Usuário ou senha inválidos.|Tentativa 2 de 3.");
  EXPECT_EQ(ui.messages()[2].text, "Informe o usuário.");
  EXPECT_EQ(ui.messages()[3].text,
            "Usuário ou senha inválidos.|Número máximo de tentativas excedido: o sistema será fechado.");
  EXPECT_EQ(query("select string_agg(s_tut_login || ':' || i_tut_tentativa, ',' order by i_tut_codigo) "
                  "from tusuario_tentativas"),
            "caixa:1,ninguem:2,caixa:3");
}

TEST_F(LoginTest, InactiveUserAndChangedPassword) {
  ASSERT_EQ(query("update tusuarios set i_tus_ativo = 0 where i_tus_codigo = 3 returning 1"), "1");
  LoginPresenter presenter(ui, db);
  EXPECT_EQ(presenter.submit("supervisor", "super123"), LoginPresenter::Outcome::Retry);

  PassthroughTable table("T", db);
  std::string error;
  ASSERT_EQ(set_password(table, 1, "nova-senha", error), 1) << error;
  EXPECT_EQ(set_password(table, 99, "x", error), 0);
  EXPECT_EQ(error, "Usuário 99 não encontrado.");
  EXPECT_EQ(presenter.submit("caixa", "caixa123"), LoginPresenter::Outcome::Retry);
  EXPECT_EQ(presenter.submit("caixa", "nova-senha"), LoginPresenter::Outcome::Accepted);
}

TEST_F(LoginTest, DatabaseThatDoesNotAnswerIsNoAttempt) {
  LoginPresenter presenter(ui, "host=127.0.0.1 port=1 dbname=fvn user=fvn connect_timeout=2");
  EXPECT_EQ(presenter.submit("caixa", "caixa123"), LoginPresenter::Outcome::Retry);
  EXPECT_EQ(presenter.failed_attempts(), 0);
  ASSERT_EQ(ui.messages().size(), 1U);
  EXPECT_EQ(ui.messages()[0].title, "Erro");
  EXPECT_EQ(ui.messages()[0].text.rfind("Erro ao consultar usuários.|", 0), 0U) << ui.messages()[0].text;
}

TEST_F(LoginTest, PickListOverAQueryAnswersTheChosenCode) {
  PassthroughTable table("LISTA", db);
  const PickQuery sellers{
      "Vendedores", {"Código", "Nome"}, "select i_tve_codigo, s_tve_nome from tvendedores order by i_tve_codigo", "2"};
  ui.answer_pick(2);
  ui.answer_pick(0);
  const auto chosen = pick_from_query(ui, table, sellers);
  ASSERT_EQ(ui.pick_lists().size(), 1U);
  EXPECT_EQ(ui.pick_lists()[0].default_row, 2);  // starts on the current code
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(*chosen, ui.pick_lists()[0].rows[1][0]);
  EXPECT_FALSE(pick_from_query(ui, table, sellers).has_value());
  EXPECT_FALSE(pick_from_query(ui, table, {"X", {"X"}, "select nada from lugar_nenhum", ""}).has_value());
  EXPECT_EQ(ui.messages().back().title, "Erro");
}

}  // namespace
}  // namespace fvn
