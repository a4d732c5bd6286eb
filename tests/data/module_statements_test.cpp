// The duplicate-note copy: the statements that copy a sale with its XML,
// history, postings and instalments under a new id, run against the shop
// schema and its demo data, so that a column added to one of those tables
// without a default fails here and not at a till.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "data/passthrough_table.h"
#include "data/sql_values.h"
#include "statement_test_base.h"

namespace fvn {
namespace {

TEST_F(ModuleStatementsTest, DuplicateNoteStatementsCopyTheWholeSale) {
  const int old_sale = 1;
  ASSERT_EQ(run("select nextval('seque_asaidas'), csrisaidas, inclui_sequencia_nsu(cempresasaidas) from asaidas where "
                "cidesaidas = " +
                id(old_sale) + ";"),
            1);
  ASSERT_EQ(table_->next(), 1);
  const std::string new_id = table_->value(0);
  const std::string series = table_->value(1);
  const std::string nsu = table_->value(2);
  const std::string key = *sql_service_key("31260511222333000181650010000000091000000064");
  const std::string number = *sql_service_integer("9");
  const std::vector<std::string> statements = {
      "select * into temp table asaidas_nfce from asaidas where cidesaidas = " + id(old_sale) + " ;",
      "update asaidas_nfce set cidesaidas = " + new_id + ", s_asa_chave_nfe = " + key + ", cnotsaidas = " + number +
          ", i_asa_nsu  = " + nsu + " ;",
      "insert into asaidas select * from asaidas_nfce;",
      "drop table asaidas_nfce;",
      "insert into anosequencia values (" + series + ", " + number + ", '1'  );",
      "select * into temp table xmlnfe_nfce from xmlnfe where i_nfe_codigo_asa =" + id(old_sale) + " ;",
      "update xmlnfe_nfce set i_nfe_codigo = nextval('seque_xmlnfe'), s_nfe_chave = " + key +
          ", i_nfe_codigo_asa = " + new_id + ";",
      "insert into xmlnfe select * from xmlnfe_nfce;",
      "drop table xmlnfe_nfce;",
      "select * into temp table ahistorico_nfce from ahistorico where cisahistorico =" + id(old_sale) + " ;",
      "update ahistorico_nfce set cidehistorico = nextval('seque_ahistorico'), cisahistorico = " + new_id + ";",
      "insert into ahistorico select * from ahistorico_nfce;",
      "drop table ahistorico_nfce;",
      "select * into temp table ahcontas_nfce from ahcontas where cidesaivenhist =" + id(old_sale) + " ;",
      "update ahcontas_nfce set idhistorico = nextval('seque_ahcontas'), cidesaivenhist = " + new_id +
          ", cdescricaohistorico = replace(cdescricaohistorico, '" + escaped("1") + "' , '" + escaped("9") + "');",
      "insert into ahcontas select * from ahcontas_nfce;",
      "drop table ahcontas_nfce;",
      "select * into temp table asduplicatas_nfce from asduplicatas where cisadupli = " + id(old_sale) + " ;",
      "update asduplicatas_nfce set cidedupli = nextval('seque_asduplicatas'), cnotdupli = " + number +
          ", cisadupli = " + new_id + ";",
      "insert into asduplicatas select * from asduplicatas_nfce;",
      "drop table asduplicatas_nfce;",
  };
  for (const std::string& sql : statements) run(sql);
  EXPECT_EQ(first("select count(*) from ahistorico where cisahistorico = " + new_id), "3");
  EXPECT_EQ(first("select string_agg(cdescricaohistorico, ',' order by idhistorico) from ahcontas where "
                  "cidesaivenhist = " +
                  new_id),
            "Venda NF: 9 - Emissor: 9,Troco NF: 9");
  EXPECT_EQ(first("select count(*) from xmlnfe where i_nfe_codigo_asa = " + new_id), "1");
  EXPECT_EQ(first("select count(*) from asaidas where cidesaidas in (1, " + new_id + ")"), "2");
}

}  // namespace
}  // namespace fvn
