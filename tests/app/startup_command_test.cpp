// fvn start-up: the module's start-up from the configuration, as pdv runs it.
#include <gtest/gtest.h>

#include "app/cli_run.h"
#include "data/passthrough_table.h"
#include "support/code_tables.h"
#include "support/db_fixture.h"

namespace fvn {
namespace {

using testing::run_configured;

class StartupCommand : public testing::DbTest {};

TEST_F(StartupCommand, StartsForTheStationsUserOrTheOneGiven) {
  testing::TempFolder folder;
  testing::link_code_tables(folder.path());
  const std::string config =
      testing::write_config(folder, "[module]\nworking_folder=" + folder.path().string() +
                                        "\n[database]\nconnection=" + db + "\n[station]\ncompany=1\nuser=1\n");
  const auto cashier = run_configured(config, {"start-up"});
  EXPECT_EQ(cashier.status, app::kExitOk) << cashier.out;
  EXPECT_NE(cashier.out.find("usuario: 1 CAIXA 01\nlibera_desconto: 0\n"), std::string::npos) << cashier.out;
  const auto supervisor = run_configured(config, {"start-up", "--user", "3"});
  EXPECT_NE(supervisor.out.find("usuario: 3 SUPERVISOR\nlibera_desconto: 1\ncancela_item: 1\n"), std::string::npos)
      << supervisor.out;
  EXPECT_EQ(run_configured(config, {"start-up", "--user"}).status, app::kExitUsage);

  PassthroughTable table("T", db);
  ASSERT_EQ(table.open() == 1 && table.execute("delete from parametros where cusuariocod = 3") == 1, true);
  const auto missing = run_configured(config, {"start-up", "--user", "3"});
  EXPECT_EQ(missing.status, app::kExitFailure);
  EXPECT_EQ(missing.out,
            "Parâmetros do usuário 3 não cadastrados.\nCadastre os parâmetros do usuário antes de abrir a frente de "
            "caixa.\n");
}

}  // namespace
}  // namespace fvn
