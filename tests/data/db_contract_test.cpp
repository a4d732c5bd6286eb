// The stored functions and the contract check, on a real server: numbering
// under concurrency, the rejected-invoice reload keeping its number, the
// reversal of a sale (once, whoever calls it), the product search.
#include <algorithm>
#include <set>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "data/database_contract.h"
#include "data/db_session.h"
#include "data/passthrough_table.h"
#include "support/db_fixture.h"

namespace fvn {
namespace {

using testing::DbTest;

class ContractTest : public DbTest {
 protected:
  // The first column of the first row of a query, as an integer.
  std::int32_t scalar(PassthroughTable& table, const std::string& sql) {
    std::int32_t value = -1;
    table.clear_fields();
    table.bind_long(value);
    EXPECT_EQ(table.execute(sql), 1) << sql << ": " << table.driver_message();
    EXPECT_EQ(table.next(), 1) << sql << ": " << table.driver_message();
    return value;
  }
};

TEST_F(ContractTest, TemplateDatabaseFulfilsTheContract) {
  PassthroughTable table("TABELA_A", db);
  ASSERT_EQ(table.open(), 1);
  ContractReport report;
  ASSERT_EQ(check_database_contract(table, report), 1) << table.driver_message();
  EXPECT_EQ(report.schema_version, kSchemaVersion);
  EXPECT_TRUE(report.missing.empty()) << report.missing.front();
  std::string error;
  EXPECT_EQ(verify_schema_version(table, error), 1) << error;
}

TEST_F(ContractTest, MissingObjectsAndWrongVersionAreReported) {
  PassthroughTable table("TABELA_A", db);
  ASSERT_EQ(table.open(), 1);
  ASSERT_EQ(table.execute("Begin"), 1);
  ASSERT_EQ(
      table.execute("drop function busca_produto(text, text); drop table tnota_pedido; "
                    "drop sequence seque_xmlnfe cascade; alter table asaidas drop column t_asa_envio_nfce; delete from "
                    "tversao_esquema;"),
      1)
      << table.driver_message();
  ContractReport report;
  ASSERT_EQ(check_database_contract(table, report), 1);
  EXPECT_FALSE(report.ok());
  EXPECT_EQ(report.schema_version, 0);
  const std::vector<std::string> expected = {"tabela tnota_pedido", "sequência seque_xmlnfe",
                                             "função busca_produto(text,text)", "coluna asaidas.t_asa_envio_nfce"};
  EXPECT_EQ(report.missing, expected);
  std::string error;
  EXPECT_EQ(verify_schema_version(table, error), 0);
  EXPECT_EQ(error, "Versão do banco de dados incompatível.|Esperada: " + std::to_string(kSchemaVersion) +
                       "|Encontrada: nenhuma");
  ASSERT_EQ(table.execute("RollBack"), 1);
}

TEST_F(ContractTest, InvoiceNumbersFollowEachOtherAndComeBackOnRollback) {
  PassthroughTable table("TABELA_N", db);
  ASSERT_EQ(table.open(), 1);
  const std::int32_t first = scalar(table, "select inclui_sequencia ( 1 );");
  EXPECT_EQ(scalar(table, "select inclui_sequencia ( 1 );"), first + 1);
  ASSERT_EQ(table.execute("Begin"), 1);
  EXPECT_EQ(scalar(table, "select inclui_sequencia ( 1 );"), first + 2);
  ASSERT_EQ(table.execute("RollBack"), 1);
  EXPECT_EQ(scalar(table, "select inclui_sequencia ( 1 );"), first + 2) << "a rolled-back sale gives its number back";
  EXPECT_EQ(scalar(table, "select count(*) from anosequencia where i_ano_serie = 1 and i_ano_numero = " +
                              std::to_string(first + 2)),
            1);
  // A number the service gave to a duplicated note is skipped.
  ASSERT_EQ(table.execute("insert into anosequencia values (1, " + std::to_string(first + 3) + ", '1' );"), 1);
  EXPECT_EQ(scalar(table, "select inclui_sequencia ( 1 );"), first + 4);
  EXPECT_EQ(table.execute("select inclui_sequencia ( 998 );"), 0);
  EXPECT_NE(table.driver_message().find("998"), std::string::npos);
}

TEST_F(ContractTest, FourStationsNumberingAtOnceNeverShareANumber) {
  constexpr int kStations = 4;
  constexpr int kEach = 60;
  std::vector<std::vector<std::int32_t>> drawn(kStations);
  std::vector<std::thread> stations;
  stations.reserve(kStations);
  for (int s = 0; s < kStations; ++s) {
    stations.emplace_back([&, s] {
      PassthroughTable table("TABELA_N", db);  // one session per thread
      std::int32_t number = 0;
      table.bind_long(number);
      if (table.open() != 1) return;
      for (int i = 0; i < kEach; ++i) {
        // Half inside a recording transaction that commits, as the sale does.
        const bool in_transaction = i % 2 == 0;
        if (in_transaction && table.execute("Begin") != 1) return;
        if (table.execute("select inclui_sequencia ( 2 );") != 1 || table.next() != 1) return;
        if (in_transaction && table.execute("Commit") != 1) return;
        drawn[static_cast<std::size_t>(s)].push_back(number);
      }
      DbSession::close_all();
    });
  }
  for (auto& station : stations) station.join();
  std::vector<std::int32_t> all;
  for (const auto& numbers : drawn) {
    EXPECT_EQ(numbers.size(), static_cast<std::size_t>(kEach));
    all.insert(all.end(), numbers.begin(), numbers.end());
  }
  std::sort(all.begin(), all.end());
  EXPECT_EQ(std::adjacent_find(all.begin(), all.end()), all.end()) << "a number was drawn twice";
  ASSERT_FALSE(all.empty());
  EXPECT_EQ(all.back() - all.front() + 1, kStations * kEach) << "numbers left a gap";
}

TEST_F(ContractTest, ReloadedRejectedInvoiceKeepsItsNumber) {
  PassthroughTable table("TABELA_A", db);
  ASSERT_EQ(table.open(), 1);
  const std::int32_t old_number = scalar(table, "select cnotsaidas from asaidas where cidesaidas = 3");
  // Reversed after a failed issue, on its own: nothing is handed over.
  EXPECT_EQ(scalar(table, "select estorna_transacao( 3 , 'Estorno de Nfe Rejeitada' , 'R' );"), 1);
  const std::int32_t next_free = scalar(table, "select inclui_sequencia ( 1 );");
  EXPECT_NE(next_free, old_number);

  // The reload records the new sale in one transaction: reversal, then number.
  ASSERT_EQ(table.execute("Begin"), 1);
  EXPECT_EQ(scalar(table,
                   "select estorna_transacao( 3 , 'Cancelamento de Nfe Rejeitada - Emitida nota ID 6 no dia "
                   "04/05/2026 para substituir. OBS - Nota estornada foi sobreescrita no servidor Quorvex.', "
                   "'R' );"),
            0)
      << "already reversed: nothing reversed twice";
  EXPECT_EQ(scalar(table, "select inclui_sequencia ( 1 );"), old_number);
  EXPECT_EQ(scalar(table, "select inclui_sequencia ( 1 );"), next_free + 1) << "the hand-over is used once";
  ASSERT_EQ(
      table.execute("insert into asaidas (cidesaidas, cempresasaidas, csrisaidas, cnotsaidas, cclisaidas, "
                    "cfpgsaidas, i_asa_codigo_tna, cep_saidas, ide_futura) select 6, cempresasaidas, "
                    "csrisaidas, " +
                    std::to_string(old_number) +
                    ", cclisaidas, cfpgsaidas, i_asa_codigo_tna, cep_saidas, 3 from asaidas where cidesaidas = 3;"),
      1)
      << table.driver_message();
  ASSERT_EQ(table.execute("Commit"), 1);
  EXPECT_EQ(scalar(table,
                   "select count(*) from asaidas where cidesaidas = 3 and i_asa_numero_reutilizado = 1 and "
                   "(coalesce(s_asa_protocolo_nfe,'') = '' and i_asa_contigencia = 1 and i_asa_oid_quorvex = 0)"),
            0)
      << "the replaced note leaves the unresolved list";

  // A second reload of the same rejected invoice is refused.
  ASSERT_EQ(table.execute("Begin"), 1);
  EXPECT_EQ(table.execute("select estorna_transacao( 3 , 'de novo', 'R' );"), 0);
  EXPECT_NE(table.driver_message().find("substituída"), std::string::npos) << table.driver_message();
  ASSERT_EQ(table.execute("RollBack"), 1);
}

TEST_F(ContractTest, ReloadRolledBackLeavesTheNumberWithTheRejectedSale) {
  PassthroughTable table("TABELA_A", db);
  ASSERT_EQ(table.open(), 1);
  const std::int32_t old_number = scalar(table, "select cnotsaidas from asaidas where cidesaidas = 3");
  ASSERT_EQ(table.execute("Begin"), 1);
  scalar(table, "select estorna_transacao( 3 , 'recarga', 'R' );");
  EXPECT_EQ(scalar(table, "select inclui_sequencia ( 1 );"), old_number);
  ASSERT_EQ(table.execute("RollBack"), 1);
  EXPECT_EQ(scalar(table, "select i_asa_numero_reutilizado + i_asa_contigencia * 10 from asaidas where cidesaidas = 3"),
            10);
  ASSERT_EQ(table.execute("Begin"), 1);
  scalar(table, "select estorna_transacao( 3 , 'recarga', 'R' );");
  EXPECT_EQ(scalar(table, "select inclui_sequencia ( 1 );"), old_number);
  ASSERT_EQ(table.execute("Commit"), 1);
}

TEST_F(ContractTest, ReversalUndoesEveryFinancialEffectOnceAndDeletesNothing) {
  PassthroughTable table("TABELA_A", db);
  ASSERT_EQ(table.open(), 1);
  // Sale 5 was paid with a customer credit for part of it.
  ASSERT_EQ(table.execute("update ahcontas set i_ahc_credito_utilizado = 1 where idhistorico = 7; "
                          "update ahcontas set i_ahc_ide_credito_origem = 7 where idhistorico = 5; "
                          "insert into ahcontas (ccodigofavorecidohistorico, cvalorcreditohistorico, "
                          "cdescricaohistorico, i_ahc_tip_lancto, i_ahc_codigo_cli, i_ahc_ide_credito_origem) "
                          "values (7, 5.00, 'Credito restante', 3, 2, 7);"),
            1)
      << table.driver_message();
  const std::string balance =
      "select (sum(cvalorcreditohistorico - cvalordebitohistorico) * 100)::integer from ahcontas where "
      "idhistorico in (select idhistorico from ahcontas where cidesaivenhist = 2 or cidesaivenhist = 5) or "
      "i_ahc_estorno_de in (select idhistorico from ahcontas where cidesaivenhist in (2, 5))";
  const std::int32_t rows_before = scalar(table, "select count(*) from ahcontas where cidesaivenhist in (2, 5)");
  EXPECT_NE(scalar(table, balance), 0);

  EXPECT_EQ(scalar(table,
                   "select estorna_transacao(5,'Nota fiscal cancelada devido a instabilidade no servidor "
                   "quorvex, nota foi duplicada.','C');"),
            1);
  EXPECT_EQ(scalar(table, "select estorna_transacao(2, 'Cancelada a pedido do cliente','C');"), 1);
  EXPECT_EQ(scalar(table, balance), 0) << "postings and counter-postings cancel out";
  EXPECT_EQ(scalar(table, "select count(*) from ahcontas where cidesaivenhist in (2, 5)"), rows_before)
      << "the sale's own rows stay for a reload";
  EXPECT_EQ(scalar(table, "select count(*) from asduplicatas where cisadupli = 2 and s_adu_situacao <> 'E'"), 0);
  EXPECT_EQ(scalar(table, "select i_ahc_credito_utilizado from ahcontas where idhistorico = 7"), 0);
  EXPECT_EQ(
      scalar(table, "select i_ahc_credito_utilizado from ahcontas where cdescricaohistorico = 'Credito restante'"), 1);
  EXPECT_EQ(scalar(table, "select count(*) from ahistorico where cisahistorico in (2, 5)"), 4);

  // Twice: nothing changes.
  const std::int32_t postings = scalar(table, "select count(*) from ahcontas");
  EXPECT_EQ(scalar(table, "select estorna_transacao(2, 'de novo','C');"), 0);
  EXPECT_EQ(scalar(table, "select count(*) from ahcontas"), postings);
  EXPECT_EQ(scalar(table, balance), 0);
  EXPECT_EQ(table.execute("select estorna_transacao(2, 'x', 'Z');"), 0);
  EXPECT_EQ(table.execute("select estorna_transacao(424242, 'x', 'C');"), 0);
}

TEST_F(ContractTest, CancellationClearsTheOwedCancellationFlag) {
  PassthroughTable table("TABELA_A", db);
  ASSERT_EQ(table.open(), 1);
  const std::string unresolved =
      "select count(*) from asaidas where (coalesce(s_asa_protocolo_nfe,'') = '' and i_asa_contigencia = 1 and "
      "i_asa_oid_quorvex = 0) or i_asa_quorvex_canc = 1 ";
  const std::int32_t before = scalar(table, unresolved);
  scalar(table,
         "select estorna_transacao(4, 'NFCe cancelada apos realizar tentativa de cancelamento quando o sefaz "
         "estava offline para o PDV.','C');");
  EXPECT_EQ(scalar(table, unresolved), before - 1);
}

TEST_F(ContractTest, TwoStationsReversingOneSaleReverseItOnce) {
  std::vector<std::int32_t> results(2, -1);
  std::vector<std::thread> stations;
  stations.reserve(2);
  for (int s = 0; s < 2; ++s) {
    stations.emplace_back([&, s] {
      PassthroughTable table("TABELA_E", db);
      std::int32_t result = -1;
      table.bind_long(result);
      if (table.open() == 1 && table.execute("select estorna_transacao(1, 'Nota fiscal cancelada', 'C');") == 1 &&
          table.next() == 1) {
        results[static_cast<std::size_t>(s)] = result;
      }
      DbSession::close_all();
    });
  }
  for (auto& station : stations) station.join();
  std::sort(results.begin(), results.end());
  EXPECT_EQ(results, (std::vector<std::int32_t>{0, 1}));
  PassthroughTable table("TABELA_A", db);
  ASSERT_EQ(table.open(), 1);
  EXPECT_EQ(scalar(table,
                   "select count(*) from ahcontas where i_ahc_tip_lancto = 9 and i_ahc_estorno_de in "
                   "(select idhistorico from ahcontas where cidesaivenhist = 1)"),
            2);
}

TEST_F(ContractTest, NsuAndBatchNumbersAdvanceOnEveryCall) {
  PassthroughTable table("TABELA_A", db);
  ASSERT_EQ(table.open(), 1);
  const std::int32_t nsu = scalar(table, "Select inclui_sequencia_nsu ( 1 );");
  EXPECT_EQ(scalar(table, "Select inclui_sequencia_nsu ( 1 );"), nsu + 1);
  EXPECT_EQ(scalar(table,
                   "select count(*) from (select nextval('seque_asaidas'), csrisaidas, "
                   "inclui_sequencia_nsu(cempresasaidas) from asaidas where cidesaidas = 1) x"),
            1);
  EXPECT_EQ(scalar(table, "Select inclui_sequencia_nsu ( 1 );"), nsu + 3);
  EXPECT_EQ(table.execute("Select inclui_sequencia_nsu ( 77 );"), 0);
  const std::int32_t batch = scalar(table, "select ( select inclui_sequencia_lote_nfe() as i_tn_lote_nfe )");
  EXPECT_EQ(scalar(table, "select ( select inclui_sequencia_lote_nfe() as i_tn_lote_nfe )"), batch + 1);
}

struct Search {
  const char* name;
  const char* code;
  const char* sequence;
  std::vector<std::int32_t> found;
};

void PrintTo(const Search& row, std::ostream* out) { *out << row.name; }

class ProductSearchTest : public ContractTest, public ::testing::WithParamInterface<Search> {};

TEST_P(ProductSearchTest, FindsActiveProductsInTheCompanySearchOrder) {
  const Search& search = GetParam();
  PassthroughTable table("TABELA_P", db);
  ASSERT_EQ(table.open(), 1);
  std::int32_t code = 0;
  std::int32_t joined = 0;
  table.bind_long(code).bind_long(joined);
  const std::string sql = "select ccodproduto, busca_produto from aprodutos inner join busca_produto ( " +
                          table.literal(search.code) + " , " + table.literal(search.sequence) +
                          " ) on busca_produto = ccodproduto;";
  ASSERT_EQ(table.execute(sql), 1) << table.driver_message();
  std::vector<std::int32_t> found;
  while (table.next() == 1) {
    EXPECT_EQ(code, joined);
    found.push_back(code);
  }
  EXPECT_EQ(found, search.found);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, ProductSearchTest,
    ::testing::Values(Search{"code", "42", "CB", {42}}, Search{"code_with_zeros", "000042", "CB", {42}},
                      Search{"barcode", "7891000000069", "CB", {50}}, Search{"barcode_only", "42", "B", {}},
                      Search{"reference_any_case", "mrt27", "CBR", {50}}, Search{"inactive", "52", "CB", {}},
                      Search{"unknown", "999999", "CB", {}}, Search{"empty", "", "CB", {}},
                      Search{"empty_sequence_is_code_then_barcode", "7891000000014", "", {42}},
                      Search{"huge_number_is_no_code", "99999999999999999999", "CB", {}},
                      Search{"quote_is_data", "42' or '1'='1", "CBR", {}},
                      Search{"semicolon_is_data", "42'); drop table aprodutos; --", "CBR", {}}),
    [](const ::testing::TestParamInfo<Search>& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace fvn
