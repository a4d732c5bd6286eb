// fvn order against a database clone: the rows an order and a service order
// get, and that a refused row leaves nothing behind.
#include <gtest/gtest.h>

#include "app/cli_run.h"
#include "data/passthrough_table.h"
#include "support/db_fixture.h"

namespace fvn {
namespace {

using testing::run_configured;

class OrderCommand : public testing::DbTest {
 protected:
  void SetUp() override {
    DbTest::SetUp();
    config = testing::write_config(folder, "[database]\nconnection=" + db + "\n[station]\ncompany=1\n");
  }
  testing::CliResult add(const std::string& kind, const std::string& body) {
    const std::string path = folder.file("ordem.json");
    testing::write_file(path, body);
    return run_configured(config, {"order", kind, path});
  }
  std::string value(const std::string& query) {
    PassthroughTable t("T", db);
    EXPECT_EQ(t.open() == 1 && t.execute(query) == 1, true) << t.driver_message();
    return t.next() == 1 ? t.value(0) : std::string{};
  }
  testing::TempFolder folder;
  std::string config;
};

TEST_F(OrderCommand, AnOrderWithItsLinesAndInstallments) {
  const auto r = add("add", R"({"cliente": 2, "condicao": 2, "frete": 3.5,
      "itens": [{"produto": 45, "quantidade": 2, "unitario": 9.49, "desconto": 0.5},
                {"produto": 42, "quantidade": 1, "unitario": 17.9, "a_faturar": 0}],
      "parcelas": [{"vencimento": "2027-01-10", "valor": 20}, {"vencimento": "2027-02-10", "valor": 20.38}]})");
  ASSERT_EQ(r.status, app::kExitOk) << r.out << r.err;
  EXPECT_EQ(r.out, "pedido: 1004\n");  // after the demo's 1001-1003
  EXPECT_EQ(value("select n_pdi_valor_subtotal::numeric(9,2) || '/' || n_pdi_valor_frete::numeric(9,2) || '/' || "
                  "d_pdi_data_primeira_prest || '/' || i_pdi_codigo_tfo from pedidos where i_pdi_codigo = 1004"),
            "36.88/3.50/2027-01-10/2");
  EXPECT_EQ(value("select string_agg(s_ipe_desc_produto || ':' || n_ipe_qtd_afaturar::numeric(9,1) || ':' || "
                  "n_ipe_qtd_pendente::numeric(9,1), ' ' order by i_ipe_codigo) from itens_pedidos where "
                  "i_ipe_codigo_pdi = 1004"),
            "REFRIGERANTE COLA 2L:2.0:2.0 CAFE TORRADO MOIDO 500G:0.0:1.0");
  EXPECT_EQ(value("select sum(n_dpe_valor)::numeric(9,2) from duplicata_pedido where i_dpe_codigo_pdi = 1004"),
            "40.38");
}

TEST_F(OrderCommand, AServiceOrderWithADepositAndARefusalThatWritesNothing) {
  const auto r = add("service", R"({"codigo": 610, "cliente": 2, "descricao": "Montagem",
      "itens": [{"produto": 49, "quantidade": 1, "unitario": 80}], "sinais": [{"valor": 30, "forma": 2}]})");
  ASSERT_EQ(r.status, app::kExitOk) << r.out << r.err;
  EXPECT_EQ(r.out, "ordem: 610\n");
  // Payment form 2 (CARTAO CREDITO) pays payee 3.
  EXPECT_EQ(value("select ccodigofavorecidohistorico || '/' || cvalorcreditohistorico::numeric(9,2) || '/' || "
                  "i_ahc_tip_lancto from ahcontas where i_ahc_ide_oservico = 610"),
            "3/30.00/2");
  // An unknown product: the order and its deposit are rolled back.
  const auto refused = add("service", R"({"codigo": 611, "cliente": 2, "itens": [{"produto": 99999}],
      "sinais": [{"valor": 10, "forma": 1}]})");
  EXPECT_EQ(refused.status, app::kExitFailure);
  EXPECT_EQ(value("select count(*) from aordens where cideord = 611") + value("select count(*) from ahcontas where "
                                                                              "i_ahc_ide_oservico = 611"),
            "00");
  EXPECT_EQ(run_configured(config, {"order", "add"}).status, app::kExitUsage);
}

}  // namespace
}  // namespace fvn
