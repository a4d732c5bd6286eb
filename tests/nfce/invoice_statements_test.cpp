// The statements that read a recorded sale back to write its invoice: the
// access key, the header, the items and the payments, run on every demo sale.
// An inner join that silently dropped the sale, an item or a payment would
// make an invoice without them; a column expression holding a comma of its
// own would shift every later column into its neighbour's field.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "data/passthrough_table.h"
#include "data/statement_test_base.h"
#include "nfce/invoice_records.h"

namespace fvn {
namespace {

// Reads the first row of `sql` into a record bound by `bind_record`: one
// result column per field, and every value fits its field.
template <class Record>
void expect_record_reads(PassthroughTable& table, const std::string& sql) {
  Record record;
  bind_record(table, record);
  ASSERT_EQ(table.execute(sql), 1) << table.error_text("") << "\n  in: " << sql;
  EXPECT_EQ(table.column_count(), static_cast<int>(table.field_count())) << sql;
  EXPECT_EQ(table.next(), 1) << table.error_text("") << "\n  in: " << sql;
}

TEST_F(ModuleStatementsTest, InvoiceDocumentStatementsFindEverySaleWhole) {
  for (const int sale : {1, 2, 3, 4, 5}) {
    EXPECT_EQ(run(chave_statement(sale)), 1) << "sale " << sale;
    EXPECT_EQ(run(nota_statement(sale)), 1) << "sale " << sale;
  }
  expect_record_reads<TABELA_CHAVE>(*table_, chave_statement(1));
  expect_record_reads<TABELA_NOTA>(*table_, nota_statement(1));
  expect_record_reads<TABELA_ITENS>(*table_, itens_statement(1));
  expect_record_reads<TABELA_PAGAMENTOS>(*table_, pagamentos_statement(1));
  table_->clear_fields();
  EXPECT_EQ(first(std::string{kContadorStatement}), "52998224725");
  EXPECT_EQ(run(itens_statement(1)), 3);
  EXPECT_EQ(run(itens_statement(2)), 2);
  EXPECT_EQ(run(itens_statement(5)), 2);

  struct Payment {
    int sale;
    std::vector<std::string> rows;  // code:amount
  };
  const std::vector<Payment> payments = {
      {1, {"01:100.0000", "TR:45.61"}}, {2, {"05:169.7000"}}, {4, {"03:9.4900"}}, {5, {"03:194.0100"}}};
  for (const Payment& payment : payments) {
    ASSERT_GE(run(pagamentos_statement(payment.sale)), 0);
    std::vector<std::string> rows;
    while (table_->next() == 1) rows.push_back(table_->value(0) + ":" + table_->value(1));
    EXPECT_EQ(rows, payment.rows) << "sale " << payment.sale;
  }
  run("update asaidas set i_asa_codigo_tna = 6 where cidesaidas = 3");
  EXPECT_EQ(first(pagamentos_statement(3)), "90");
}

}  // namespace
}  // namespace fvn
