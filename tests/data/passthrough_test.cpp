// Passthrough tables against a real server: the four operations, typed
// records bound by position, error texts, shared sessions and transactions.
#include <gtest/gtest.h>
#include <libpq-fe.h>

#include "data/db_session.h"
#include "data/passthrough_table.h"
#include "data/record_columns.h"
#include "runtime/runtime_messages.h"
#include "runtime/scripted_ui.h"
#include "runtime/text.h"
#include "support/db_fixture.h"

namespace fvn {
namespace {

using testing::DbTest;

class PassthroughTest : public DbTest {};

TEST_F(PassthroughTest, FetchesEveryFieldKindByPosition) {
  std::int32_t code = 0;
  std::string name;
  Dec4 price;
  Date day = 0;
  Time clock = 0;
  std::int32_t flag = 7;
  std::string blob;
  double real = 0;
  PassthroughTable table("TABELA_P", db);
  table.bind_long(code).bind_text(name, 11).bind_decimal(price).bind_date(day).bind_time(clock).bind_long(flag);
  table.bind_blob(blob).bind_real(real);
  ASSERT_EQ(table.open(), 1);
  ASSERT_EQ(table.execute("select ccodproduto, cdesproduto, n_apr_preco_normal, date '2026-05-04', "
                          "time '14:05:09.257', i_apr_kit = 1, convert_to('c''af\u00e9', 'UTF8'), 2.5::float8 "
                          "from aprodutos where ccodproduto = 42;"),
            1)
      << table.driver_message();
  ASSERT_EQ(table.next(), 1) << table.driver_message();
  EXPECT_EQ(code, 42);
  EXPECT_EQ(name, "CAFE TORRA");  // text of 11 holds 10 characters
  EXPECT_EQ(price.units(), 179000);
  EXPECT_EQ(day, date_from_civil(2026, 5, 4));
  EXPECT_EQ(clock, time_from_civil(14, 5, 9, 25));
  EXPECT_EQ(flag, 0);  // boolean false
  EXPECT_EQ(blob, "c'af\u00e9");
  EXPECT_DOUBLE_EQ(real, 2.5);
  EXPECT_EQ(table.next(), 0);
  EXPECT_TRUE(table.at_end());
  EXPECT_EQ(table.runtime_error(), rt::kEndOfFile);
  EXPECT_EQ(code, 42) << "the end of the rows leaves the record as it was";
  EXPECT_EQ(table.close(), 1);
}

// A column list binds each member with its own kind and capacity, whether it
// is the record's, a part's or an array's: a day column keeps the day rule
// (an integer that is no day reads 0), texts are cut to their capacity.
TEST_F(PassthroughTest, ColumnListReadsEachColumnIntoItsOwnMember) {
  struct Part {
    std::string text;
    double real = 0;
  };
  struct Row {
    std::int32_t code = 0;
    Date day = 0;
    Part part;
    std::string names[2];
    Dec2 amount;
  };
  const RecordColumns<Row> columns = {
      {"n", &Row::code},
      RecordColumn<Row>::day("d", &Row::day),
      {"t", &Row::part, &Part::text, 4},
      {"r", &Row::part, &Part::real},
      {"'x' || t", &Row::names, 1, 3},
      {"n * 1.005", &Row::amount},
  };
  PassthroughTable table("TABELA_C", db);
  std::vector<Row> rows;
  ASSERT_EQ(table.open(), 1);
  ASSERT_EQ(select_records(table, columns, " from (values (1, 4, 'abcdef', 0.5), (2, 9999999, 'g', 1.5)) v(n, d, t, r)",
                           rows),
            1)
      << table.driver_message();
  ASSERT_EQ(rows.size(), 2U);
  EXPECT_EQ(rows[0].code, 1);
  EXPECT_EQ(rows[0].day, kFirstDate);
  EXPECT_EQ(rows[1].day, 0);
  EXPECT_EQ(rows[0].part.text, "abc");
  EXPECT_DOUBLE_EQ(rows[1].part.real, 1.5);
  EXPECT_EQ(rows[0].names[1], "xa");
  EXPECT_EQ(rows[1].names[0], "");
  EXPECT_EQ(rows[1].amount.units(), 201);
}

TEST_F(PassthroughTest, NullBecomesZeroBlankOrZeroDate) {
  std::int32_t number = 5;
  std::string text = "x";
  Dec2 amount = 3.0;
  Date day = 100;
  Time clock = 100;
  std::string blob = "x";
  PassthroughTable table("TABELA_N", db);
  table.bind_long(number).bind_text(text, 20).bind_decimal(amount).bind_date(day).bind_time(clock).bind_blob(blob);
  ASSERT_EQ(table.open(), 1);
  ASSERT_EQ(table.execute("select null::integer, null::text, null::numeric, null::date, null::time, null::bytea"), 1);
  ASSERT_EQ(table.next(), 1);
  EXPECT_EQ(number, 0);
  EXPECT_EQ(text, "");
  EXPECT_EQ(amount.units(), 0);
  EXPECT_EQ(day, 0);
  EXPECT_EQ(clock, 0);
  EXPECT_EQ(blob, "");
}

TEST_F(PassthroughTest, ConvertsBetweenColumnAndFieldTypes) {
  std::int32_t from_text = 0;
  std::int32_t from_blank = 9;
  std::int32_t from_true = 0;
  std::int32_t date_as_long = 0;
  std::string from_integer;
  std::string from_boolean;
  Dec2 rounded;
  Dec2 negative;
  std::int32_t cut = 0;
  PassthroughTable table("TABELA_C", db);
  table.bind_long(from_text).bind_long(from_blank).bind_long(from_true).bind_long(date_as_long);
  table.bind_text(from_integer, 16).bind_text(from_boolean, 2).bind_decimal(rounded).bind_decimal(negative);
  table.bind_long(cut);
  ASSERT_EQ(table.open(), 1);
  ASSERT_EQ(table.execute("select '0102'::text, 'S/N'::text, true, date '1801-01-01', 4567, true, 2.345::numeric, "
                          "-2.345::numeric, 12.9::numeric"),
            1);
  ASSERT_EQ(table.next(), 1) << table.driver_message();
  EXPECT_EQ(from_text, 102);
  EXPECT_EQ(from_blank, 0);
  EXPECT_EQ(from_true, 1);
  EXPECT_EQ(date_as_long, kFirstDate);
  EXPECT_EQ(from_integer, "4567");
  EXPECT_EQ(from_boolean, "1");
  EXPECT_EQ(rounded.units(), 235);  // half away from zero
  EXPECT_EQ(negative.units(), -235);
  EXPECT_EQ(cut, 12);
}

TEST_F(PassthroughTest, ValueTooLargeForItsFieldFailsTheFetch) {
  std::int32_t number = 1;
  Dec<5, 2> small;
  PassthroughTable table("TABELA_A", db);
  table.bind_long(number);
  ASSERT_EQ(table.open(), 1);
  ASSERT_EQ(table.execute("select 3000000000::bigint"), 1);
  EXPECT_EQ(table.next(), 0);
  EXPECT_EQ(table.runtime_error(), rt::kFileDriverError);
  EXPECT_NE(table.driver_message().find("3000000000"), std::string::npos);

  table.clear_fields();
  table.bind_decimal(small);
  ASSERT_EQ(table.execute("select 1234.5::numeric"), 1);
  EXPECT_EQ(table.next(), 0);
  EXPECT_EQ(small.units(), 0);
}

TEST_F(PassthroughTest, FailedStatementComposesContextRuntimeAndDriverMessages) {
  PassthroughTable table("TABELA_A", db);
  ASSERT_EQ(table.open(), 1);
  EXPECT_EQ(table.execute("select * from tabela_que_nao_existe;"), 0);
  const std::string error = table.error_text("Erro ao abrir tabela|");
  const auto parts = text::split(error, '|');
  ASSERT_EQ(parts.size(), 3U) << error;
  EXPECT_EQ(parts[0], "Erro ao abrir tabela");
  EXPECT_EQ(parts[1], "Erro no driver de Arquivo");
  EXPECT_NE(parts[2].find("tabela_que_nao_existe"), std::string::npos);
  EXPECT_EQ(last_runtime_error(), rt::kFileDriverError);
}

TEST_F(PassthroughTest, UseBeforeOpenIsRefusedAndOpenTableIsReused) {
  PassthroughTable table("TABELA_A", db);
  EXPECT_EQ(table.execute("select 1"), 0);
  EXPECT_EQ(table.runtime_error(), rt::kFileNotOpen);
  EXPECT_EQ(table.error_text("Erro|"), "Erro|Arquivo não está aberto|Tabela TABELA_A não está aberta.");

  ASSERT_EQ(table.open(), 1);
  DbSession* session = table.session();
  ASSERT_EQ(table.execute("create temp table marca (n integer); insert into marca values (1);"), 1);
  EXPECT_EQ(table.open(), 1);
  EXPECT_EQ(table.session(), session);
  std::int32_t n = 0;
  table.bind_long(n);
  ASSERT_EQ(table.execute("select n from marca"), 1) << "reopening kept the session and its temp table";
  ASSERT_EQ(table.next(), 1);
  EXPECT_EQ(n, 1);
}

TEST_F(PassthroughTest, TablesOfOneOwnerShareTransactionsAndTempTables) {
  PassthroughTable control("TABELA_A", db);
  PassthroughTable writer("TABELA_I", db);
  PassthroughTable reader("TABELA_C", db);
  ASSERT_EQ(control.open() + writer.open() + reader.open(), 3);
  EXPECT_EQ(control.session(), writer.session());

  ASSERT_EQ(control.execute("Begin"), 1);
  ASSERT_EQ(writer.execute("update tempresa set cfanempresa = 'DENTRO DA TRANSACAO' where ccodempresa = 1;"), 1);
  ASSERT_EQ(writer.execute("select * into temp table tempresa_copia from tempresa where ccodempresa = 1 ;"), 1);
  ASSERT_EQ(control.execute("RollBack"), 1);

  std::string fantasy;
  reader.bind_text(fantasy, 201);
  ASSERT_EQ(reader.execute("select cfanempresa from tempresa where ccodempresa = 1"), 1);
  ASSERT_EQ(reader.next(), 1);
  EXPECT_EQ(fantasy, "MERCEARIA BOA VISTA");
  EXPECT_EQ(reader.execute("select * from tempresa_copia"), 0) << "the temp table was created inside the transaction";

  ASSERT_EQ(writer.execute("select * into temp table tempresa_copia from tempresa where ccodempresa = 1 ;"), 1);
  std::int32_t count = 0;
  reader.clear_fields();
  reader.bind_long(count);
  ASSERT_EQ(reader.execute("select count(*) from tempresa_copia"), 1);
  ASSERT_EQ(reader.next(), 1);
  EXPECT_EQ(count, 1);
}

TEST_F(PassthroughTest, SeveralResultsStayOpenWhileOtherStatementsRun) {
  PassthroughTable header("Tabela_Nota", db);
  PassthroughTable items("Tabela_Itens", db);
  std::int32_t sale = 0;
  std::int32_t item = 0;
  header.bind_long(sale);
  items.bind_long(item);
  ASSERT_EQ(header.open() + items.open(), 2);
  ASSERT_EQ(header.execute("select cidesaidas from asaidas where cidesaidas in (1, 2, 5) order by 1"), 1);
  int sales = 0;
  int lines = 0;
  while (header.next() == 1) {
    ++sales;
    ASSERT_EQ(items.execute("select cidehistorico from ahistorico where cisahistorico = " + std::to_string(sale)), 1);
    while (items.next() == 1) ++lines;
  }
  EXPECT_EQ(sales, 3);
  EXPECT_EQ(lines, 7);
  EXPECT_EQ(items.row_count(), 2);
}

TEST_F(PassthroughTest, LargeObjectsAreWrittenAsParametersAndReadBack) {
  std::string xml = "<nfeProc>";
  for (int i = 0; i < 20000; ++i) xml += static_cast<char>(i % 251 + 1);
  xml += std::string(1, '\0') + "'; drop table xmlnfe; --</nfeProc>";
  PassthroughTable table("Tabela_XmlNfe", db);
  ASSERT_EQ(table.open(), 1);
  ASSERT_EQ(table.execute("update xmlnfe set b_nfe_xml_cancelamento = $1 where i_nfe_codigo_asa = $2",
                          {SqlParam::bytes(xml), SqlParam::text("1")}),
            1)
      << table.driver_message();
  EXPECT_EQ(table.row_count(), 1);
  std::string back;
  table.bind_blob(back);
  ASSERT_EQ(table.execute("select b_nfe_xml_cancelamento from xmlnfe where i_nfe_codigo_asa = 1"), 1);
  ASSERT_EQ(table.next(), 1);
  EXPECT_EQ(back, xml);
}

TEST_F(PassthroughTest, UnreachableServerFailsWithoutShowingThePassword) {
  PassthroughTable table("TABELA_A", "Server=127.0.0.1;Port=1;Database=loja;Uid=caixa;Pwd=segredo-muito-secreto;");
  EXPECT_EQ(table.open(), 0);
  const std::string error = table.error_text("Erro ao abrir tabela|");
  EXPECT_EQ(error.rfind("Erro ao abrir tabela|Erro no driver de Arquivo|", 0), 0U) << error;
  EXPECT_NE(error.find("127.0.0.1"), std::string::npos) << error;
  EXPECT_EQ(error.find("segredo"), std::string::npos) << error;
  EXPECT_FALSE(table.is_open());

  PassthroughTable garbled("TABELA_A", "host=127.0.0.1 password='segredo-muito-secreto");
  EXPECT_EQ(garbled.open(), 0);
  EXPECT_EQ(garbled.error_text("").find("segredo"), std::string::npos) << garbled.error_text("");
}

TEST_F(PassthroughTest, FailedRollbackShowsItsBoxAndReportsFailure) {
  ScriptedUi ui;
  PassthroughTable table("TABELA_A", "host=127.0.0.1 port=1 dbname=loja user=caixa connect_timeout=2");
  EXPECT_EQ(send_rollback(table, ui), 0);
  ASSERT_EQ(ui.messages().size(), 1U);
  EXPECT_EQ(ui.messages()[0].title, "Erro");
  EXPECT_EQ(ui.messages()[0].text.rfind("Erro ao parar transação.|Erro no driver de Arquivo|", 0), 0U);

  PassthroughTable good("TABELA_A", db);
  ASSERT_EQ(good.open(), 1);
  ASSERT_EQ(good.execute("Begin"), 1);
  ASSERT_EQ(good.execute("insert into tmensagens (ccodmensagem) values (90)"), 1);
  EXPECT_EQ(send_rollback(good, ui), 1);
  EXPECT_EQ(ui.messages().size(), 1U);
  std::int32_t count = 1;
  good.bind_long(count);
  ASSERT_EQ(good.execute("select count(*) from tmensagens where ccodmensagem = 90"), 1);
  ASSERT_EQ(good.next(), 1);
  EXPECT_EQ(count, 0);
}

TEST_F(PassthroughTest, ConnectionLostInsideATransactionNeverCommits) {
  PassthroughTable table("TABELA_A", db);
  ASSERT_EQ(table.open(), 1);
  ASSERT_EQ(table.execute("Begin"), 1);
  ASSERT_EQ(table.execute("insert into tmensagens (ccodmensagem, ctx1mensagem) values (91, 'perdida')"), 1);
  const int pid = PQbackendPID(table.session()->handle());

  PassthroughTable other("TABELA_B", testing::connection_to("postgres"));
  ASSERT_EQ(other.open(), 1);
  ASSERT_EQ(other.execute("select pg_terminate_backend(" + std::to_string(pid) + ")"), 1);

  EXPECT_EQ(table.execute("insert into tmensagens (ccodmensagem) values (92)"), 0);
  EXPECT_EQ(table.execute("Commit"), 0) << "a commit after a lost transaction must not report success";
  EXPECT_NE(table.driver_message().find("RollBack"), std::string::npos) << table.driver_message();
  EXPECT_EQ(table.execute("RollBack"), 1);
  std::int32_t count = 1;
  table.bind_long(count);
  ASSERT_EQ(table.execute("select count(*) from tmensagens where ccodmensagem in (91, 92)"), 1);
  ASSERT_EQ(table.next(), 1);
  EXPECT_EQ(count, 0);
}

}  // namespace
}  // namespace fvn
