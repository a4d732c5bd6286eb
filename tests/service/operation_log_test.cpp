// The daily operation log and the status lines of the operation window.
#include "service/operation_log.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "runtime/scripted_ui.h"
#include "support/temp_folder.h"

namespace fvn {
namespace {

using fvn::testing::read_file;
using fvn::testing::TempFolder;

class OperationLogTest : public ::testing::Test {
 protected:
  OperationLogTest() : log_(ui_, [this] { return moment_; }) { log_.set_base_folder(folder_.path().string()); }

  TempFolder folder_;
  ScriptedUi ui_;
  OperationLog::Moment moment_{date_from_civil(2026, 1, 31), time_from_civil(14, 5, 9)};
  OperationLog log_;
};

// The first line creates the log folder; lines of one day share its file.
TEST_F(OperationLogTest, LinesOfOneDayShareAFileAndMidnightStartsANewOne) {
  ASSERT_FALSE(std::filesystem::exists(folder_.file("Log_Velto")));
  ASSERT_EQ(log_.Gera_Arquivo_Log("primeira"), 1) << log_.error_text();
  moment_.time = time_from_civil(23, 59, 59);
  ASSERT_EQ(log_.Gera_Arquivo_Log("segunda"), 1);
  moment_ = {date_from_civil(2026, 2, 1), time_from_civil(0, 0, 1)};
  ASSERT_EQ(log_.Gera_Arquivo_Log("terceira"), 1);
  EXPECT_EQ(read_file(folder_.file("Log_Velto/NFC-e20260131.TXT")),
            "31/01/2026 - 14:05:09 - primeira\n31/01/2026 - 23:59:59 - segunda\n");
  EXPECT_EQ(read_file(folder_.file("Log_Velto/NFC-e20260201.TXT")), "01/02/2026 - 00:00:01 - terceira\n");
}

TEST_F(OperationLogTest, TrailingBlanksGoLeadingBlanksStayAndLongLinesAreWhole) {
  ASSERT_EQ(log_.Gera_Arquivo_Log("  recuo   "), 1);
  const std::string xml = "<NFe>" + std::string(20'000, 'x') + "</NFe>";
  ASSERT_EQ(log_.Gera_Arquivo_Log(xml), 1);
  EXPECT_EQ(read_file(log_.log_file(moment_.date)),
            "31/01/2026 - 14:05:09 -   recuo\n31/01/2026 - 14:05:09 - " + xml + "\n");
}

TEST_F(OperationLogTest, AFolderThatCannotBeCreatedIsReported) {
  fvn::testing::write_file(folder_.file("arquivo"), "não é pasta");
  log_.set_base_folder(folder_.file("arquivo"));
  EXPECT_EQ(log_.Gera_Arquivo_Log("linha"), 0);
  EXPECT_EQ(log_.error_text(), "Gera_Arquivo_Log - Erro ao criar pasta Log.");
}

TEST_F(OperationLogTest, AFileThatCannotBeOpenedKeepsTheFilesOwnMessage) {
  std::filesystem::create_directories(log_.log_file(moment_.date));  // a folder where the file should be
  EXPECT_EQ(log_.Gera_Arquivo_Log("linha"), 0);
  EXPECT_NE(log_.error_text().find("NFC-e20260131.TXT"), std::string::npos) << log_.error_text();
}

TEST_F(OperationLogTest, StatusLinesAreListedShownAndLogged) {
  log_.status_line("Setando dados de login OK");
  log_.status_line("Enviando Arquivo para Checar Servidor...", false);
  const std::vector<std::string> expected = {"31/01/2026 - 14:05:09 - Setando dados de login OK",
                                             "31/01/2026 - 14:05:09 - Enviando Arquivo para Checar Servidor..."};
  EXPECT_EQ(log_.status_list(), expected);
  // Only the line of a shown window reaches the host.
  EXPECT_EQ(ui_.operation_statuses(), std::vector<std::string>{expected[0]});
  EXPECT_EQ(read_file(log_.log_file(moment_.date)), expected[0] + "\n" + expected[1] + "\n");

  log_.status_line(std::string(400, 'a'));
  EXPECT_EQ(log_.status_list().back().size(), 255U);
  log_.clear_status_list();
  EXPECT_TRUE(log_.status_list().empty());
}

}  // namespace
}  // namespace fvn
