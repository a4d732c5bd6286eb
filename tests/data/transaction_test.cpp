// The transaction guard against a real server: what a scope without a
// commit leaves behind, what a commit keeps, and a Begin that cannot be sent.
#include "data/transaction.h"

#include <gtest/gtest.h>

#include "data/passthrough_table.h"
#include "runtime/scripted_ui.h"
#include "support/db_fixture.h"

namespace fvn {
namespace {

using testing::DbTest;

class TransactionTest : public DbTest {
 protected:
  std::int32_t count_of(std::int32_t code) {
    PassthroughTable reader("TABELA_C", db);
    std::int32_t count = -1;
    reader.bind_long(count);
    if (reader.open() != 1 ||
        reader.execute("select count(*) from tmensagens where ccodmensagem = " + std::to_string(code)) != 1 ||
        reader.next() != 1) {
      ADD_FAILURE() << reader.error_text("count: ");
    }
    return count;
  }
};

TEST_F(TransactionTest, ScopeWithoutCommitRollsBackEveryTableOfTheSession) {
  ScriptedUi ui;
  PassthroughTable control("TABELA_A", db);
  PassthroughTable writer("TABELA_I", db);
  {
    Transaction tx(control, ui);
    ASSERT_TRUE(tx.begun()) << control.error_text("");
    ASSERT_EQ(writer.open(), 1);
    ASSERT_EQ(writer.execute("insert into tmensagens (ccodmensagem) values (93)"), 1);
    EXPECT_TRUE(writer.session()->in_transaction());
  }
  EXPECT_FALSE(control.session()->in_transaction());
  EXPECT_EQ(count_of(93), 0);
  EXPECT_TRUE(ui.messages().empty());

  // An explicit rollback ends it once; the scope's end sends nothing more.
  Transaction tx(control, ui);
  ASSERT_EQ(writer.execute("insert into tmensagens (ccodmensagem) values (94)"), 1);
  EXPECT_EQ(tx.rollback(), 1);
  EXPECT_FALSE(tx.begun());
  EXPECT_EQ(tx.commit(), 0) << "nothing left to commit";
  EXPECT_EQ(count_of(94), 0);
}

TEST_F(TransactionTest, CommitKeepsAndAFailedCommitStillRollsBack) {
  ScriptedUi ui;
  PassthroughTable table("TABELA_A", db);
  {
    Transaction tx(table, ui);
    ASSERT_EQ(table.execute("insert into tmensagens (ccodmensagem) values (95)"), 1);
    EXPECT_EQ(tx.commit(), 1) << table.error_text("");
  }
  EXPECT_EQ(count_of(95), 1);

  // A deferred constraint refuses the commit: the guard reports it and the
  // session is left outside any transaction.
  ASSERT_EQ(table.execute("create temp table adiada (a int unique deferrable initially deferred)"), 1);
  {
    Transaction tx(table, ui);
    ASSERT_EQ(table.execute("insert into adiada values (1), (1)"), 1);
    ASSERT_EQ(table.execute("insert into tmensagens (ccodmensagem) values (96)"), 1);
    EXPECT_EQ(tx.commit(), 0);
    EXPECT_NE(table.error_text("").find("adiada"), std::string::npos) << table.error_text("");
    EXPECT_TRUE(tx.begun());
  }
  EXPECT_FALSE(table.session()->in_transaction());
  EXPECT_EQ(count_of(96), 0);
  EXPECT_TRUE(ui.messages().empty());
}

TEST_F(TransactionTest, BeginThatCannotBeSentIsReportedAndNothingIsRolledBack) {
  ScriptedUi ui;
  PassthroughTable table("TABELA_A", "host=127.0.0.1 port=1 dbname=loja user=caixa connect_timeout=2");
  {
    Transaction tx(table, ui);
    EXPECT_FALSE(tx.begun());
    EXPECT_EQ(
        table.error_text("Erro ao abrir transação|").rfind("Erro ao abrir transação|Erro no driver de Arquivo|", 0),
        0U);
    EXPECT_EQ(tx.commit(), 0);
  }
  EXPECT_TRUE(ui.messages().empty()) << "no RollBack is sent for a transaction that never began";
}

}  // namespace
}  // namespace fvn
