// Settling contingency notes and notes owed a cancellation against the
// simulator: what the service reports decides what happens to the sale.
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "workflow_fixture.h"

namespace fvn {
namespace {

using testing::WorkflowTest;

class ResolutionTest : public WorkflowTest {
 protected:
  void SetUp() override {
    WorkflowTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    // The demo shop's own contingency notes are unknown to this simulator.
    sql("update asaidas set i_asa_contigencia = 0, i_asa_quorvex_canc = 0");
  }
  // Issues a new sale of `scenario_name` under the fault `rule`; its id.
  std::int32_t issued(const nlohmann::json& rule, std::string_view scenario_name = "consumidor_sem_cpf") {
    EXPECT_TRUE(sim_->fault(rule));
    const auto sale = scenario(scenario_name);
    EXPECT_EQ(issue(sale), 1) << processor_->ERROR;
    EXPECT_TRUE(sim_->fault({{"mode", "normal"}}));
    return sale;
  }
  std::vector<std::int32_t> selected() {
    std::vector<std::pair<std::int32_t, std::string>> notes;
    EXPECT_EQ(processor_->Lista_Notas_Offline(notes), 1) << processor_->ERROR;
    std::vector<std::int32_t> ids;
    ids.reserve(notes.size());
    for (const auto& note : notes) ids.push_back(note.first);
    return ids;
  }
  std::int32_t pending = -1;
  std::int32_t errors = -1;
};

TEST_F(ResolutionTest, PendingNotesAreLeftAndARefusedOneIsReversed) {
  const auto a = issued({{"mode", "pending"}, {"call", "autorizar"}, {"after", 100}});
  const auto b = issued({{"mode", "pending"}, {"call", "autorizar"}, {"after", 100}});
  const auto c = issued({{"mode", "pending"}, {"call", "autorizar"}, {"after", 0}, {"resolve", "ERRO"}});
  ASSERT_EQ(processor_->Resolve_Notas_Offline(pending, errors), 1) << processor_->ERROR;
  EXPECT_EQ(pending, 2);
  EXPECT_EQ(errors, 1);
  EXPECT_EQ(value("select s_asa_estorno || i_asa_situacao_nfce from asaidas where cidesaidas = " + std::to_string(c)),
            "R0");
  EXPECT_EQ(selected(), (std::vector<std::int32_t>{a, b}));
}

// A contingency note, a lost answer followed by lost status queries, and
// failures after the service accepted the note: the sale stays in doubt,
// never reversed, and the resolution stores the whole authorisation.
TEST_F(ResolutionTest, ANoteInDoubtOrAcceptedButNotStoredGetsItsAuthorisation) {
  const std::vector<nlohmann::json> faults = {
      {{"mode", "contingency"}, {"call", "autorizar"}, {"count", 1}, {"after", 0}},
      {{"mode", "lost"}, {"call", "autorizar"}, {"count", 1}},
      {{"mode", "http500"}, {"call", "documento"}, {"count", 1}},
      {{"mode", "fields"}, {"call", "autorizar"}, {"count", 1}, {"fields", {{"oid", "99999999999"}}}},
      {{"mode", "fields"}, {"call", "autorizar"}, {"count", 1}, {"fields", {{"dhAutorizacao", "2026-13-45T99:99"}}}},
      {{"mode", "fields"}, {"call", "autorizar"}, {"count", 1}, {"fields", {{"chave", "123"}}}},
  };
  std::vector<std::int32_t> sales;
  for (const auto& fault : faults) {
    SCOPED_TRACE(fault.dump());
    ASSERT_TRUE(sim_->fault(fault));
    if (fault["mode"] == "lost") {
      ASSERT_TRUE(sim_->fault({{"mode", "drop"}, {"call", "status"}, {"count", 4}}));
    }
    const auto sale = scenario("consumidor_sem_cpf");
    EXPECT_EQ(issue(sale), fault["mode"] == "contingency" ? 1 : 0);
    EXPECT_TRUE(processor_->Nota_Aceita() || processor_->Nota_Em_Duvida());
    EXPECT_EQ(value("select i_asa_situacao_nfce || coalesce(s_asa_estorno, '-') from asaidas where cidesaidas = " +
                    std::to_string(sale)),
              "1-");
    sales.push_back(sale);
  }
  EXPECT_EQ(selected(), sales);
  ASSERT_EQ(processor_->Resolve_Notas_Offline(pending, errors), 1) << processor_->ERROR;
  for (const auto sale : sales) {
    const std::string id = std::to_string(sale);
    EXPECT_EQ(
        value("select (s_asa_protocolo_nfe <> '') || '/' || (i_asa_oid_quorvex > 0) || '/' || i_asa_situacao_nfce "
              "|| '/' || (i_asa_nsu > 0) from asaidas where cidesaidas = " +
              id),
        "true/true/0/true")
        << id;
    EXPECT_EQ(count("select 1 from xmlnfe where i_nfe_codigo_asa = " + id +
                    " and s_nfe_protocolo_autorizacao <> '' and convert_from(b_nfe_xml, 'UTF8') like '%<nfeProc%'"),
              1)
        << id;
  }
  EXPECT_TRUE(selected().empty());
}

// A note the service never received is reversed, but only once a request
// still on its way would have arrived.
TEST_F(ResolutionTest, ANoteNeverReceivedIsReversedAfterTheGrace) {
  ASSERT_TRUE(sim_->fault({{"mode", "drop"}, {"call", "autorizar"}, {"count", 1}}));
  const auto sale = scenario("consumidor_sem_cpf");
  EXPECT_EQ(issue(sale), 0);
  EXPECT_TRUE(processor_->Nota_Em_Duvida());
  GatewayConfig patient_config = sim_->gateway_config();
  patient_config.unknown_key_grace_ms = 600'000;
  NFCE_PROCESSO patient(ui_, patient_config);
  patient.set_connection(db);
  ASSERT_EQ(patient.Checar_Servidor(testing::kCnpj, "", "", "", "", 0, 0, 0), 1);
  ASSERT_EQ(patient.Resolve_Notas_Offline(pending, errors), 1) << patient.ERROR;
  EXPECT_EQ(pending, 1);
  EXPECT_EQ(selected(), std::vector<std::int32_t>{sale});
  // While a station holds the sending lock of the sale, another station's
  // resolution leaves it alone.
  sql("select pg_advisory_lock(6565, " + std::to_string(sale) + ")");
  std::thread station([&] {
    ScriptedUi ui;
    auto other = make_processor(ui);
    other->Checar_Servidor(testing::kCnpj, "", "", "", "", 0, 0, 0);
    other->Resolve_Notas_Offline(pending, errors);
    DbSession::close_all();
  });
  station.join();
  EXPECT_EQ(pending, 1);
  EXPECT_EQ(selected(), std::vector<std::int32_t>{sale});
  sql("select pg_advisory_unlock(6565, " + std::to_string(sale) + ")");
  ASSERT_EQ(processor_->Resolve_Notas_Offline(pending, errors), 1) << processor_->ERROR;
  EXPECT_EQ(
      value("select s_asa_estorno || i_asa_situacao_nfce from asaidas where cidesaidas = " + std::to_string(sale)),
      "R0");
  EXPECT_TRUE(selected().empty());
}

// Renumbering moves the sale: one live set of items, postings and
// installments at any moment, the XML on the sale with the service's key,
// the original number tracked until the service voids it.
TEST_F(ResolutionTest, ARenumberedNoteMovesTheSaleAndItsOriginalNumberIsVoided) {
  const auto sale = scenario("cliente_cnpj_email");  // two installments
  const std::string id = std::to_string(sale);
  const std::string number = value("select cnotsaidas from asaidas where cidesaidas = " + id);
  // A posting that names the note (a debit: the note's payments stay those of the sale).
  sql("insert into ahcontas (cidesaivenhist, ccodigofavorecidohistorico, cvalordebitohistorico, "
      "cdescricaohistorico, i_ahc_codigo_tem) values (" +
      id + ", 1, 259, 'Venda NF: " + number + "', 1)");
  // The sale's commission and the order it invoiced go with it.
  sql("insert into asaidas_comissao (i_asc_ide_asaidas, i_asc_ordem, n_asc_percentual) values (" + id + ", 1, 2.5)");
  sql("update pedidos set i_pdi_ide_asaidas = " + id + " where i_pdi_codigo = 1001");
  const auto rows = [&](const std::string& sale_id) {
    return std::to_string(count("select 1 from ahistorico where cisahistorico = " + sale_id)) + "/" +
           std::to_string(count("select 1 from ahcontas where cidesaivenhist = " + sale_id)) + "/" +
           std::to_string(count("select 1 from asduplicatas where cisadupli = " + sale_id)) + "/" +
           std::to_string(count("select 1 from asaidas_comissao where i_asc_ide_asaidas = " + sale_id)) + "/" +
           std::to_string(count("select 1 from pedidos where i_pdi_ide_asaidas = " + sale_id)) + "/" +
           std::to_string(count("select 1 from xmlnfe where i_nfe_codigo_asa = " + sale_id));
  };
  const std::string before = rows(id);
  std::string sent_key;
  ASSERT_EQ(processor_->DOCUMENTO.Monta_Chave_Acesso(sale, sent_key), 1);
  ASSERT_TRUE(sim_->fault({{"mode", "renumber"}, {"call", "autorizar"}, {"count", 1}}));
  ASSERT_EQ(issue(sale), 1) << processor_->ERROR;
  const auto moved = processor_->current_sale();
  ASSERT_NE(moved, sale);
  const std::string new_id = std::to_string(moved);
  const std::string new_number = processor_->authorisation().number;
  EXPECT_EQ(value("select cnotsaidas || '/' || s_asa_chave_nfe from asaidas where cidesaidas = " + new_id),
            new_number + "/" + processor_->authorisation().access_key);
  EXPECT_EQ(rows(new_id), before.substr(0, before.size() - 1) + "1");  // and the XML sent
  EXPECT_EQ(rows(id), "0/0/0/0/0/0");
  EXPECT_EQ(value("select i_asa_situacao_nfce || '/' || s_asa_chave_nfe from asaidas where cidesaidas = " + id),
            "2/" + sent_key);
  EXPECT_EQ(count("select 1 from ahcontas where cidesaivenhist = " + new_id +
                  " and cdescricaohistorico = 'Venda NF: " + new_number + "'"),
            1);
  EXPECT_EQ(count("select 1 from asduplicatas where cisadupli = " + new_id + " and cnotdupli = " + new_number), 2);

  // The service voided the original number and authorises the new note.
  ASSERT_EQ(processor_->Resolve_Notas_Offline(pending, errors), 1) << processor_->ERROR;
  ASSERT_EQ(processor_->Resolve_Notas_Offline(pending, errors), 1) << processor_->ERROR;
  EXPECT_EQ(count("select 1 from asaidas where cidesaidas = " + id), 0);
  EXPECT_EQ(count("select 1 from asaidas_canc where s_asa_status_nf = 'I' and cnotsaidas = " + number), 1);
  EXPECT_NE(value("select s_asa_protocolo_nfe from asaidas where cidesaidas = " + new_id), "");
  EXPECT_TRUE(selected().empty());
}

// The move fails (a database fault) after the service renumbered the note:
// the sale follows the service's key and the resolution moves it; and a
// service number the shop already gave to another sale loses neither.
TEST_F(ResolutionTest, AFailedMoveIsFinishedByTheResolutionAndACollidingNumberLosesNoSale) {
  const auto sale = scenario("consumidor_sem_cpf");
  const std::string id = std::to_string(sale);
  const auto items = count("select 1 from ahistorico where cisahistorico = " + id);
  sql("create function falha_move() returns trigger language plpgsql as $$ begin raise exception 'falha de teste'; "
      "end $$");
  sql("create trigger falha_move before update on ahistorico for each row execute function falha_move()");
  ASSERT_TRUE(sim_->fault({{"mode", "renumber"}, {"call", "autorizar"}, {"count", 1}, {"after", 0}}));
  const auto sales_before = count("select 1 from asaidas");
  EXPECT_EQ(issue(sale), 0);
  EXPECT_TRUE(processor_->Nota_Aceita());
  EXPECT_EQ(processor_->ERROR.rfind("Erro ao duplicar NFCe emitida em contingência|", 0), 0U) << processor_->ERROR;
  EXPECT_EQ(count("select 1 from asaidas"), sales_before);
  EXPECT_EQ(count("select 1 from ahistorico where cisahistorico = " + id), items);
  EXPECT_EQ(value("select s_asa_chave_nfe from asaidas where cidesaidas = " + id),
            processor_->authorisation().access_key);
  const std::string service_number = processor_->authorisation().number;
  sql("drop trigger falha_move on ahistorico");
  ASSERT_EQ(processor_->Resolve_Notas_Offline(pending, errors), 1) << processor_->ERROR;
  ASSERT_EQ(processor_->Resolve_Notas_Offline(pending, errors), 1) << processor_->ERROR;
  EXPECT_EQ(count("select 1 from asaidas where cidesaidas = " + id), 0);  // original voided
  EXPECT_EQ(count("select 1 from asaidas where s_asa_protocolo_nfe <> '' and cidesaidas in (select cisahistorico "
                  "from ahistorico) and cnotsaidas = " +
                  service_number),
            1);

  // Another station already recorded the number the service gives next.
  const auto first = scenario("consumidor_sem_cpf");
  const auto second = scenario("consumidor_com_cpf");
  const std::string next = std::to_string(
      std::stoll(value("select cnotsaidas from asaidas where cidesaidas = " + std::to_string(first))) + 1);
  sql("update asaidas set cnotsaidas = " + next + " where cidesaidas = " + std::to_string(second));
  ASSERT_TRUE(sim_->fault({{"mode", "renumber"}, {"call", "autorizar"}, {"count", 1}}));
  ASSERT_EQ(issue(first), 1) << processor_->ERROR;
  EXPECT_EQ(processor_->authorisation().number, next);
  EXPECT_EQ(value("select cnotsaidas from asaidas where cidesaidas = " + std::to_string(processor_->current_sale())),
            next);
  EXPECT_NE(value("select cnotsaidas from asaidas where cidesaidas = " + std::to_string(second)), next);
  ASSERT_EQ(issue(second), 1) << processor_->ERROR;
  EXPECT_NE(value("select s_asa_protocolo_nfe from asaidas where cidesaidas = " + std::to_string(second)), "");
}

TEST_F(ResolutionTest, AVoidedNoteBecomesACancelledNumberAndItsSaleDisappears) {
  const auto sale = issued({{"mode", "contingency"}, {"call", "autorizar"}, {"after", 5}}, "cliente_cnpj_email");
  const std::string id = std::to_string(sale);
  const std::string number = value("select cnotsaidas from asaidas where cidesaidas = " + id);
  ASSERT_TRUE(sim_->admin("/admin/inutilizar", {{"chave", processor_->authorisation().access_key}}));
  ASSERT_EQ(processor_->Resolve_Notas_Offline(pending, errors), 1) << processor_->ERROR;
  EXPECT_EQ(count("select 1 from asaidas_canc where cnotsaidas = " + number +
                  " and csrisaidas = 1 and cnatsaidas = '5.102' and s_asa_status_nf = 'I' and caviaprsaidas = 'V'"),
            1);
  for (const char* table :
       {"asaidas where cidesaidas", "ahistorico where cisahistorico", "asduplicatas where cisadupli",
        "ahcontas where cidesaivenhist", "xmlnfe where i_nfe_codigo_asa"}) {
    EXPECT_EQ(count(std::string{"select 1 from "} + table + " = " + id), 0) << table;
  }
  ASSERT_EQ(processor_->Resolve_Notas_Offline(pending, errors), 1);
  EXPECT_EQ(count("select 1 from asaidas_canc where cnotsaidas = " + number), 1);
}

TEST_F(ResolutionTest, ACancellationOwedIsSentStoredAndTheSaleReversedOnce) {
  const auto sale = issued({{"mode", "normal"}});
  const std::string id = std::to_string(sale);
  sql("update asaidas set i_asa_quorvex_canc = 1 where cidesaidas = " + id);
  EXPECT_EQ(selected(), std::vector<std::int32_t>{sale});
  ASSERT_EQ(processor_->Resolve_Notas_Offline(pending, errors), 1) << processor_->ERROR;
  EXPECT_FALSE(processor_->cancellation_protocol().empty());
  EXPECT_EQ(count("select 1 from xmlnfe where i_nfe_codigo_asa = " + id + " and s_nfe_protocolo_cancelamento = '" +
                  processor_->cancellation_protocol() +
                  "' and convert_from(b_nfe_xml_cancelamento, 'UTF8') like '%<procEventoNFe%110111%'"),
            1);
  EXPECT_EQ(count("select 1 from asaidas where cidesaidas = " + id +
                  " and s_asa_estorno = 'C' and i_asa_quorvex_canc = 0 and s_asa_motivo_estorno like 'NFCe cancelada "
                  "apos%'"),
            1);
  EXPECT_TRUE(std::filesystem::exists(processor_->base_folder() + "XML_Gerados/" +
                                      processor_->authorisation().access_key + "-nfce-canc.xml"));
  const auto reversals = count("select 1 from ahcontas where i_ahc_tip_lancto = 9");
  EXPECT_TRUE(selected().empty());
  ASSERT_EQ(processor_->Resolve_Notas_Offline(pending, errors), 1);
  EXPECT_EQ(count("select 1 from ahcontas where i_ahc_tip_lancto = 9"), reversals);
}

TEST_F(ResolutionTest, ANoteLockedByAnotherStationIsLeftToIt) {
  const auto locked = issued({{"mode", "pending"}, {"call", "autorizar"}, {"after", 0}});
  const auto free = issued({{"mode", "pending"}, {"call", "autorizar"}, {"after", 0}});
  // The other station: a session of its own (another thread) holding the
  // first note's row while this one resolves.
  sql("Begin");
  sql("select 1 from asaidas where cidesaidas = " + std::to_string(locked) + " for update");
  int result = -1;
  std::thread station([&] {
    ScriptedUi ui;
    auto other = make_processor(ui);
    other->Checar_Servidor(testing::kCnpj, "", "", "", "", 0, 0, 0);
    result = other->Resolve_Notas_Offline(pending, errors);
    DbSession::close_all();
  });
  station.join();
  sql("Commit");
  EXPECT_EQ(result, 1);
  EXPECT_EQ(value("select s_asa_protocolo_nfe from asaidas where cidesaidas = " + std::to_string(locked)), "");
  EXPECT_NE(value("select s_asa_protocolo_nfe from asaidas where cidesaidas = " + std::to_string(free)), "");
  EXPECT_EQ(selected(), std::vector<std::int32_t>{locked});
  ASSERT_EQ(processor_->Resolve_Notas_Offline(pending, errors), 1) << processor_->ERROR;
  EXPECT_TRUE(selected().empty());
}

}  // namespace
}  // namespace fvn
