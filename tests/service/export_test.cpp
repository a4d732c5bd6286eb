// Export of a month's authorised XML: the request and the list with its
// "AGUARDE" state.
#include <gtest/gtest.h>

#include "runtime/scripted_ui.h"
#include "service/nfce_servico.h"
#include "service/nfce_test_document.h"
#include "service/sim_process.h"
#include "support/temp_folder.h"

namespace fvn {
namespace {

using testing::SimProcess;
using testing::TempFolder;
using testing::TestNote;

// The raw list the service answers, CR LF ended; the download of a ready
// month and the service's failures are driven through the export window.
TEST(Export, ARequestedMonthIsListedAsBeingPrepared) {
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
}

}  // namespace
}  // namespace fvn
