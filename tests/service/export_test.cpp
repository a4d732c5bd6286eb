// Export of a month's authorised XML: request, the list with its "AGUARDE"
// state, and the download of the zip into a folder.
#include <gtest/gtest.h>

#include "runtime/scripted_ui.h"
#include "service/nfce_servico.h"
#include "support/nfce_test_document.h"
#include "support/sim_process.h"
#include "support/temp_folder.h"
#include "support/zip_entries.h"

namespace fvn {
namespace {

using testing::SimProcess;
using testing::TempFolder;
using testing::TestNote;
using testing::zip_entries;

// The request stays "AGUARDE" for the simulator's hour-long delay until the
// admin call ends the wait.
TEST(Export, ARequestedMonthIsPreparedThenDownloaded) {
  TempFolder folder;
  SimProcess sim(folder.file("sim"), {"--export-delay", "3600"});
  ASSERT_TRUE(sim.running());
  ScriptedUi ui;
  NFCE_SERVICO client(ui, sim.gateway_config());
  ASSERT_EQ(client.Set_Login("", "", "", "11222333000181"), 1);
  TestNote note;
  AuthorisationResult result;
  ASSERT_EQ(client.autorizaxml_nfce(note.xml(), result), 1) << client.error_text();
  const std::string month = note.dh_emi().substr(5, 2);
  const std::string year = note.dh_emi().substr(0, 4);

  EXPECT_EQ(client.Solicitar_Exportacao(std::stoi(year), 13), 0);
  EXPECT_NE(client.error_text().find("Exception: período inválido"), std::string::npos) << client.error_text();
  ASSERT_EQ(client.Solicitar_Exportacao(std::stoi(year), std::stoi(month)), 1) << client.error_text();
  std::string list;
  ASSERT_EQ(client.Consultar_Exportacao(list), 1);
  EXPECT_EQ(list, month + "/" + year + " AGUARDE - arquivo em processamento\r\n");

  ASSERT_TRUE(sim.admin("/admin/exportacao/pronta", nlohmann::json::object()));
  ASSERT_EQ(client.Consultar_Exportacao(list), 1);
  ASSERT_TRUE(list.starts_with(month + "/" + year + " " + sim.url() + "/api/exportacao/arquivo/")) << list;
  ASSERT_TRUE(list.ends_with("\r\n"));
  const std::string link = list.substr(8, list.size() - 10);
  const std::string downloads = folder.file("downloads");
  std::filesystem::create_directories(downloads);
  ASSERT_EQ(client.download_exportacao(downloads, link), 1) << client.error_text();
  const std::string zip = downloads + "/NFCe_11222333000181_" + year + month + ".zip";
  EXPECT_EQ(zip_entries(zip), std::vector<std::string>{note.key() + "-nfce.xml"});

  ASSERT_TRUE(sim.fault({{"mode", "drop"}, {"call", "download"}, {"count", 1}}));
  EXPECT_EQ(client.download_exportacao(downloads, link), 0);
  EXPECT_NE(client.error_text().find("Exception"), std::string::npos);
  ASSERT_TRUE(sim.fault({{"mode", "down"}, {"call", "consultar"}, {"count", 1}}));
  EXPECT_EQ(client.Consultar_Exportacao(list), 0);
}

}  // namespace
}  // namespace fvn
