// The module's start-up against the demo shop: the values it loads, and the
// clear message and the module left down when the database does not answer,
// carries another schema or lacks the user's parameter row.
#include <gtest/gtest.h>

#include "data/database_contract.h"
#include "data/module/fiscovendanotas.h"
#include "data/passthrough_table.h"
#include "runtime/scripted_ui.h"
#include "runtime/working_folder.h"
#include "support/code_tables.h"
#include "support/db_fixture.h"

namespace fvn {
namespace {

class StartupTest : public testing::DbTest {
 protected:
  void SetUp() override {
    DbTest::SetUp();
    testing::link_code_tables(folder.path());
    settings.connection = db;
    settings.working_folder = folder.path().string();
    settings.company = 1;
    settings.user = 1;
  }
  void TearDown() override {
    fiscovendanotas_kill();
    DbTest::TearDown();
  }
  void run(const std::string& sql) {
    PassthroughTable table("T", db);
    ASSERT_EQ(table.open() == 1 && table.execute(sql) == 1, true) << table.driver_message();
  }
  testing::TempFolder folder;
  ModuleSettings settings;
  ScriptedUi ui;
  std::string error;
};

TEST_F(StartupTest, LoadsTheCompanyTheUserAndTheirParameters) {
  testing::write_file(folder.file("FISCOVENDANOTAS.INI"), "[nfce]\nvia=2\n");
  ASSERT_EQ(fiscovendanotas_init(ui, settings, error), 1) << error;
  FiscoVendaNotas* module = fiscovendanotas();
  ASSERT_NE(module, nullptr);
  const ModuleValues& v = module->values();
  EXPECT_EQ(v.COD_EMPR, 1);
  EXPECT_EQ(v.CNPJ, "11222333000181");
  EXPECT_EQ(v.NOME_FANTASIA, "MERCEARIA BOA VISTA");
  EXPECT_EQ(v.USUARIO, 1);
  EXPECT_EQ(v.NOME_USUARIO, "CAIXA 01");
  EXPECT_EQ(v.MAX_DESC, 5);
  EXPECT_EQ(v.NAT_PADRAO, 5);
  EXPECT_EQ(v.I_PAR_EMISSOR_PADRAO_NFCE, 1);
  EXPECT_EQ(v.I_PAR_CASAS_DECI_VENDA, 2);  // the column's default
  EXPECT_EQ(v.S_TEM_SEQUENCIA_BUSCA_PRODUTO, "CBR");
  EXPECT_EQ(v.S_TEM_DESCRICAO_TABELA[0], "ATACADO");
  EXPECT_EQ(v.S_TEM_URL_EDOC, "http://127.0.0.1:8765");
  EXPECT_EQ(v.CNXSTR, db);
  EXPECT_EQ(module->ini().get("nfce", "via"), "2");
  EXPECT_TRUE(ui.messages().empty());  // the code tables were found

  // A second start-up replaces the first; the kill leaves nothing.
  settings.user = 3;
  ASSERT_EQ(fiscovendanotas_init(ui, settings, error), 1) << error;
  EXPECT_EQ(fiscovendanotas()->values().LIBERA_DESCONTO, 1);
  fiscovendanotas_kill();
  EXPECT_EQ(fiscovendanotas(), nullptr);
}

TEST_F(StartupTest, FailuresLeaveTheModuleDownWithAClearMessage) {
  ASSERT_EQ(fiscovendanotas_init(ui, settings, error), 1) << error;

  run("delete from parametros where cusuariocod = 1");
  EXPECT_EQ(fiscovendanotas_init(ui, settings, error), 0);
  EXPECT_EQ(error,
            "Parâmetros do usuário 1 não cadastrados.|Cadastre os parâmetros do usuário antes de abrir a frente de "
            "caixa.");
  EXPECT_EQ(fiscovendanotas(), nullptr);  // the earlier module is gone too

  settings.user = 3;
  settings.company = 9;
  EXPECT_EQ(fiscovendanotas_init(ui, settings, error), 0);
  EXPECT_EQ(error, "Empresa 9 não cadastrada.|Verifique a empresa configurada na estação.");

  settings.company = 1;
  run("insert into tversao_esquema (i_tve_versao) values (" + std::to_string(kSchemaVersion + 1) + ")");
  EXPECT_EQ(fiscovendanotas_init(ui, settings, error), 0);
  EXPECT_EQ(error.rfind("Versão do banco de dados incompatível.", 0), 0U) << error;

  settings.connection = "host=127.0.0.1 port=1 dbname=fvn user=fvn connect_timeout=2";
  set_working_folder("antes");
  EXPECT_EQ(fiscovendanotas_init(ui, settings, error), 0);
  EXPECT_EQ(error.rfind("Não foi possível conectar ao banco de dados.|", 0), 0U) << error;
  EXPECT_EQ(fiscovendanotas(), nullptr);
  EXPECT_EQ(working_folder(), "antes");  // not left on the failed start-up's folder
}

}  // namespace
}  // namespace fvn
