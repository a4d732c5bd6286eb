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

TEST_F(ResolutionTest, PendingThenAuthorisedGetsItsProtocolAndIsNoLongerSelected) {
  const auto sale = issued({{"mode", "contingency"}, {"call", "autorizar"}, {"after", 1}});
  const std::string id = std::to_string(sale);
  EXPECT_EQ(selected(), std::vector<std::int32_t>{sale});
  ASSERT_EQ(processor_->Resolve_Notas_Offline(pending, errors), 1) << processor_->ERROR;
  EXPECT_EQ(pending, 1);
  EXPECT_EQ(errors, 0);
  ASSERT_EQ(processor_->Resolve_Notas_Offline(pending, errors), 1) << processor_->ERROR;
  EXPECT_EQ(pending, 0);
  const std::string protocol = value("select s_asa_protocolo_nfe from asaidas where cidesaidas = " + id);
  EXPECT_FALSE(protocol.empty());
  EXPECT_NE(value("select i_asa_oid_quorvex from asaidas where cidesaidas = " + id), "0");
  EXPECT_FALSE(value("select d_asa_data_autorizacao_nfce from asaidas where cidesaidas = " + id).empty());
  // xmlnfe: the protocol, and the authorised XML in place of the one sent.
  EXPECT_EQ(count("select 1 from xmlnfe where i_nfe_codigo_asa = " + id + " and s_nfe_protocolo_autorizacao = '" +
                  protocol + "' and convert_from(b_nfe_xml, 'UTF8') like '%<nfeProc%'"),
            1);
  EXPECT_TRUE(selected().empty());
}

TEST_F(ResolutionTest, PendingAndErrorNotesAreCountedAndLeftForTheNextRun) {
  const auto a = issued({{"mode", "pending"}, {"call", "autorizar"}, {"after", 100}});
  const auto b = issued({{"mode", "pending"}, {"call", "autorizar"}, {"after", 100}});
  const auto c = issued({{"mode", "pending"}, {"call", "autorizar"}, {"after", 0}, {"resolve", "ERRO"}});
  ASSERT_EQ(processor_->Resolve_Notas_Offline(pending, errors), 1) << processor_->ERROR;
  EXPECT_EQ(pending, 2);
  EXPECT_EQ(errors, 1);
  EXPECT_EQ(selected(), (std::vector<std::int32_t>{a, b, c}));
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
