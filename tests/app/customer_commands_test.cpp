// fvn customer check and fvn user add/passwd against a database clone; the
// password comes from standard input.
#include <iostream>
#include <sstream>

#include <gtest/gtest.h>

#include "app/cli_run.h"
#include "data/passthrough_table.h"
#include "data/user_accounts.h"
#include "support/db_fixture.h"

namespace fvn {
namespace {

using testing::run_configured;

class CustomerUserCommands : public testing::DbTest {
 protected:
  void SetUp() override {
    DbTest::SetUp();
    config = testing::write_config(folder, "[database]\nconnection=" + db + "\n[station]\ncompany=1\n");
  }
  // fvn with `input` as standard input.
  testing::CliResult with_input(const std::string& input, const std::vector<std::string>& args) {
    std::istringstream in(input);
    std::streambuf* saved = std::cin.rdbuf(in.rdbuf());
    auto result = run_configured(config, args);
    std::cin.rdbuf(saved);
    return result;
  }
  testing::TempFolder folder;
  std::string config;
};

TEST_F(CustomerUserCommands, CustomerCheckPrintsEveryCheckWithItsReason) {
  const auto r = run_configured(config, {"customer", "check", "5", "--total", "400,00"});
  EXPECT_EQ(r.status, app::kExitOk) << r.err;
  for (const char* line : {
           "cliente: 5 CONSTRUTORA HORIZONTE LTDA\n",
           "VERIFICA_BLOQUEIO_ATRASO_AVISTA: aviso - Cliente possui 2 duplicata(s) em atraso",
           "VERIFICA_BLOQUEIO_CIDADE: livre\n",
           "VERIFICA_BLOQUEIO_LIMITE_CREDITO: liberação - Limite de crédito do cliente excedido: limite R$ 500,00, "
           "em aberto R$ 169,70, esta venda R$ 400,00.\n",
           "VERIFICA_CREDITO_CLIENTE: 0,00\n",
       }) {
    EXPECT_NE(r.out.find(line), std::string::npos) << line << "\n" << r.out;
  }
  EXPECT_EQ(run_configured(config, {"customer", "check", "77"}).out, "Cliente 77 não cadastrado.\n");
  EXPECT_EQ(run_configured(config, {"customer", "check", "x"}).status, app::kExitUsage);
  EXPECT_EQ(run_configured(config, {"customer", "check", "2", "--total"}).status, app::kExitUsage);
}

TEST_F(CustomerUserCommands, UserAddAndPasswdTakeThePasswordFromStandardInput) {
  auto r = with_input("segredo1\n",
                      {"user", "add", "joana", "Joana Lima", "--flags", "prazo,cadastro", "--max-discount", "7,5"});
  ASSERT_EQ(r.status, app::kExitOk) << r.out << r.err;
  EXPECT_EQ(r.out, "usuário 5 joana gravado.\n");
  PassthroughTable table("T", db);
  UserAccount user;
  std::string error;
  ASSERT_EQ(check_login(table, "joana", "segredo1", user, error), LoginCheck::Accepted);
  EXPECT_EQ(user.nome, "JOANA LIMA");
  EXPECT_EQ(user.venda_prazo + user.cadastra_cliente + user.libera_desconto + user.cliente_bloqueado, 2);
  EXPECT_DOUBLE_EQ(user.desconto_maximo, 7.5);
  // A taken login, a short password and an unknown flag are refused.
  EXPECT_EQ(with_input("segredo1\n", {"user", "add", "joana", "Outra"}).status, app::kExitFailure);
  EXPECT_EQ(with_input("curta\n", {"user", "add", "pedro", "Pedro"}).status, app::kExitFailure);
  EXPECT_EQ(with_input("segredo1\n", {"user", "add", "pedro", "Pedro", "--flags", "tudo"}).status, app::kExitUsage);

  r = with_input("outra-senha\r\n", {"user", "passwd", "joana"});
  ASSERT_EQ(r.status, app::kExitOk) << r.out;
  EXPECT_EQ(check_login(table, "joana", "segredo1", user, error), LoginCheck::Refused);
  EXPECT_EQ(check_login(table, "joana", "outra-senha", user, error), LoginCheck::Accepted);
  EXPECT_EQ(with_input("x12345678\n", {"user", "passwd", "ninguem"}).out, "Usuário ninguem não cadastrado.\n");
}

}  // namespace
}  // namespace fvn
