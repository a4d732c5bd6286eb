// Values pasted into statements: numbers always with ".", dates and times
// as ISO text or NULL, service values checked, and texts that stay data
// whatever they hold.
#include "data/sql_values.h"

#include <gtest/gtest.h>

#include "data/passthrough_table.h"
#include "support/db_fixture.h"

namespace fvn {
namespace {

TEST(SqlValuesTest, NumbersUseAPointAndNoGrouping) {
  EXPECT_EQ(sql_number(1234567.891, 2), "1234567.89");
  EXPECT_EQ(sql_number(1.005, 2), "1.01");
  EXPECT_EQ(sql_number(-0.5, 0), "-1");
  EXPECT_EQ(sql_number(12.5, 4), "12.5");
  EXPECT_EQ(sql_number(1e-7, 2), "0");
  EXPECT_EQ(sql_number(std::numeric_limits<double>::quiet_NaN(), 2), "NULL");
  EXPECT_EQ(sql_decimal(Dec4(17.9)), "17.9");
  EXPECT_EQ(sql_integer(-42), "-42");
  EXPECT_EQ(sql_integer_list({501, 502}), "501, 502");
  EXPECT_EQ(sql_integer_list({}), "NULL");
}

TEST(SqlValuesTest, DatesAndTimesAreIsoOrNull) {
  EXPECT_EQ(sql_date(date_from_civil(2026, 1, 31)), "'2026-01-31'");
  EXPECT_EQ(sql_date(kFirstDate), "'1801-01-01'");
  EXPECT_EQ(sql_date(0), "NULL");
  EXPECT_EQ(sql_date(kLastDate + 1), "NULL");
  EXPECT_EQ(sql_time(time_from_civil(14, 5, 9, 99)), "'14:05:09'");
  EXPECT_EQ(sql_time(0), "NULL");
}

// A table whose server cannot be reached escapes by itself: the quotes are
// still doubled, so a value cannot end the literal it is pasted into; and a
// blank value is NULL, not an empty text.
TEST(SqlValuesTest, WithoutAServerQuotesAreStillDoubledAndBlankIsNull) {
  PassthroughTable table("TABELA_A", "host=127.0.0.1 port=1 dbname=fvn user=fvn connect_timeout=2");
  EXPECT_EQ(table.literal("D'Ávila'; --"), "'D''Ávila''; --'");
  EXPECT_EQ(table.literal_or_null(" "), "NULL");
  EXPECT_EQ(table.literal_or_null("x"), "'x'");
}

struct ServiceCase {
  const char* name;
  std::optional<std::string> (*helper)(std::string_view);
  const char* input;
  std::optional<std::string> expected;
};

void PrintTo(const ServiceCase& row, std::ostream* out) { *out << row.name; }

class ServiceValueTest : public ::testing::TestWithParam<ServiceCase> {};

TEST_P(ServiceValueTest, ChecksWhatTheServiceReturned) {
  EXPECT_EQ(GetParam().helper(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, ServiceValueTest,
    ::testing::Values(ServiceCase{"oid", sql_service_integer, " 70001 ", "70001"},
                      ServiceCase{"oid_empty_is_null", sql_service_integer, "", "NULL"},
                      ServiceCase{"oid_negative_zero", sql_service_integer, "-0", "0"},
                      ServiceCase{"oid_injection", sql_service_integer, "1; delete from asaidas", std::nullopt},
                      ServiceCase{"oid_decimal", sql_service_integer, "1.5", std::nullopt},
                      ServiceCase{"number_comma", sql_service_number, "12,50", "12.50"},
                      ServiceCase{"number_point", sql_service_number, "-0.5", "-0.5"},
                      ServiceCase{"number_thousands", sql_service_number, "1.234,56", std::nullopt},
                      ServiceCase{"number_empty", sql_service_number, " ", "NULL"},
                      ServiceCase{"date_iso", sql_service_date, "2026-05-04", "'2026-05-04'"},
                      ServiceCase{"date_with_time", sql_service_date, "2026-05-04T10:02:50-03:00", "'2026-05-04'"},
                      ServiceCase{"date_brazilian", sql_service_date, "04/05/2026", "'2026-05-04'"},
                      ServiceCase{"date_empty_is_null", sql_service_date, "", "NULL"},
                      ServiceCase{"date_impossible", sql_service_date, "2026-02-30", std::nullopt},
                      ServiceCase{"date_injection", sql_service_date, "2026-05-04'; drop table x; --", std::nullopt},
                      ServiceCase{"time", sql_service_time, "10:02:50", "'10:02:50'"},
                      ServiceCase{"time_short", sql_service_time, "10:02", "'10:02:00'"},
                      ServiceCase{"time_fraction", sql_service_time, "10:02:50.123", "'10:02:50'"},
                      ServiceCase{"time_empty_is_null", sql_service_time, "", "NULL"},
                      ServiceCase{"time_impossible", sql_service_time, "25:00:00", std::nullopt},
                      ServiceCase{"time_injection", sql_service_time, "10:02:50' or 1=1", std::nullopt},
                      ServiceCase{"key", sql_service_key, "31260511222333000181650010000000011000000010",
                                  "'31260511222333000181650010000000011000000010'"},
                      ServiceCase{"key_short", sql_service_key, "3126051122233300018165001", std::nullopt},
                      ServiceCase{"key_injection", sql_service_key, "1 or 1=1", std::nullopt}),
    [](const ::testing::TestParamInfo<ServiceCase>& row) { return std::string(row.param.name); });

class InjectionTest : public testing::DbTest {};

// Every text helper, fed quotes, backslashes, semicolons and unicode: the
// value goes in and comes back unchanged, and nothing after it runs.
TEST_F(InjectionTest, HostileTextsStayData) {
  const std::vector<std::string> hostile = {
      "D'Ávila",
      "'; drop table aclientes; --",
      "\\'; delete from tempresa; --",
      "C:\\notas\\XML_Gerados\\",
      "a'')); select pg_sleep(10); --",
      "$$; drop table aprodutos; $$",
      "ação ñ 日本語 😀 ‘curly’ quotes",
      "E'\\x27' \\\\ '' ' '",
      std::string("nul\0byte", 8),
      "invalid \xff\xfe utf-8",
  };
  PassthroughTable table("TABELA_A", db);
  ASSERT_EQ(table.open(), 1);
  ASSERT_EQ(table.execute("create temp table eco (n integer, t text);"), 1);
  std::string back;
  table.bind_text(back, 0);
  int n = 0;
  for (const std::string& value : hostile) {
    const std::string expected = valid_utf8(value);
    const std::vector<std::string> pasted = {"'" + table.escape(value) + "'", table.literal(value),
                                             table.literal_or_null(value)};
    for (const std::string& literal : pasted) {
      const std::string id = std::to_string(++n);
      const std::string sql = "insert into eco values (" + id + ", " + literal + "); select 1;";
      ASSERT_EQ(table.execute(sql), 1) << sql << ": " << table.driver_message();
      ASSERT_EQ(table.execute("select t from eco where n = " + id), 1);
      ASSERT_EQ(table.next(), 1);
      EXPECT_EQ(back, expected) << sql;
    }
    // As a search value in a statement of the module.
    ASSERT_EQ(table.execute("select * from aprodutos inner join busca_produto ( '" + table.escape(value) + "' , '" +
                            table.escape(value) + "' ) on busca_produto = ccodproduto;"),
              1)
        << table.driver_message();
    EXPECT_EQ(table.row_count(), 0);
  }
  ASSERT_EQ(table.execute("select count(*)::text from aclientes, tempresa, aprodutos"), 1);
  ASSERT_EQ(table.next(), 1);
  EXPECT_NE(back, "0") << "no table was dropped or emptied";
}

}  // namespace
}  // namespace fvn
