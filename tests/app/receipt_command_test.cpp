// `fvn receipt` end to end: a database clone, the command line's entry
// point, the files read back with pdftotext and zbarimg.
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "app/fvn_cli.h"
#include "cli_run.h"
#include "devices/escpos_reader.h"
#include "support/db_fixture.h"
#include "support/external_tools.h"
#include "support/fontconfig_leaks.h"
#include "support/temp_folder.h"

namespace fvn {
namespace {

using testing::CliResult;

class FvnReceipt : public testing::DbTest {
 protected:
  void SetUp() override {
    DbTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    ::setenv("CUPS_SERVER", (folder.path() / "no-cups.sock").c_str(), 1);
    ::unsetenv("PRINTER");
    ::unsetenv("LPDEST");
    config = testing::write_config(
        folder, "[module]\nworking_folder=" + folder.path().string() + "\n[database]\nconnection=" + db + "\n");
  }

  CliResult run(std::vector<std::string> args) { return testing::run_configured(config, std::move(args)); }

  testing::TempFolder folder;
  std::string config;
};

TEST_F(FvnReceipt, WritesThePdfToTheWorkingFolderByDefault) {
  const CliResult r = run({"receipt", "1"});
  ASSERT_EQ(r.status, app::kExitOk) << r.out << r.err;
  const std::string pdf = (folder.path() / "danfe-1.pdf").string();
  EXPECT_EQ(r.out, pdf + "\n");
  const std::string text = testing::pdf_text(pdf);
  EXPECT_NE(text.find("MERCEARIA BOA VISTA LTDA"), std::string::npos) << text;
  EXPECT_NE(text.find("CAFE TORRADO MOIDO 500G"), std::string::npos) << text;
}

TEST_F(FvnReceipt, ShortReceiptAndPngWhoseQrCodeReadsBackAsJson) {
  const std::string pdf = folder.file("r.pdf");
  const std::string png = folder.file("r.png");
  const CliResult r = run({"--json", "receipt", "5", "--resumido", "--pdf", pdf, "--png", png});
  ASSERT_EQ(r.status, app::kExitOk) << r.out << r.err;
  const auto answer = nlohmann::json::parse(r.out);
  EXPECT_EQ(answer["venda"], 5);
  EXPECT_EQ(answer["pdf"], pdf);
  EXPECT_EQ(answer["png"], png);
  const std::string text = testing::pdf_text(pdf);
  EXPECT_EQ(text.find("INSTALACAO DE PRATELEIRA"), std::string::npos) << text;
  EXPECT_NE(text.find("194,01"), std::string::npos) << text;
  EXPECT_EQ(testing::qr_text(png),
            "https://nfce.example/qrcode?p=31260511222333000181650010000000041000000054|2|2|1|MNO");
}

TEST_F(FvnReceipt, EscPosToAFileAndThroughTheStationSetting) {
  const std::string out = folder.file("r.escpos");
  const CliResult r = run({"receipt", "5", "--escpos", out, "--columns", "32"});
  ASSERT_EQ(r.status, app::kExitOk) << r.out << r.err;
  EXPECT_EQ(r.out, out + "\n");
  const testing::EscPosPage page = testing::read_escpos(testing::read_file(out));
  ASSERT_TRUE(page.problem.empty()) << page.problem;
  ASSERT_EQ(page.qr_payloads.size(), 1U);
  EXPECT_EQ(page.qr_payloads[0],
            "https://nfce.example/qrcode?p=31260511222333000181650010000000041000000054|2|2|1|MNO");
  // 32 columns: the title wraps after exactly 32 characters.
  EXPECT_NE(std::find(page.lines.begin(), page.lines.end(), "DANFE NFC-e - Documento Auxiliar"), page.lines.end());
  EXPECT_FALSE(std::filesystem::exists(folder.path() / "danfe-5.pdf"));

  // --print goes where [station] says.
  const std::string device = folder.file("lp0");
  const std::string station = testing::write_config(folder, testing::read_file(config) +
                                                                "[station]\nreceipt=escpos\nreceipt_qr=raster\n"
                                                                "receipt_device=" +
                                                                device + "\n");
  const CliResult printed = testing::run_configured(station, {"receipt", "5", "--print"});
  ASSERT_EQ(printed.status, app::kExitOk) << printed.out << printed.err;
  EXPECT_EQ(testing::read_escpos(testing::read_file(device)).rasters.size(), 1U);
  testing::write_file(station, testing::read_file(station) + "receipt_columns=40\n");
  EXPECT_EQ(testing::run_configured(station, {"receipt", "5", "--print"}).status, app::kExitFailure);
  EXPECT_EQ(run({"receipt", "5", "--escpos", out, "--columns", "40"}).status, app::kExitUsage);
}

TEST_F(FvnReceipt, FailuresAndUsage) {
  const CliResult print = run({"receipt", "1", "--print"});
  EXPECT_EQ(print.status, app::kExitFailure);
  EXPECT_EQ(print.out.rfind("Não foi possível abrir o relatório!\n", 0), 0U) << print.out;

  const CliResult missing = run({"receipt", "999999"});
  EXPECT_EQ(missing.status, app::kExitFailure);
  EXPECT_EQ(missing.out, "Venda 999999 não encontrada.\n");
  EXPECT_FALSE(std::filesystem::exists(folder.path() / "danfe-999999.pdf"));

  EXPECT_EQ(run({"receipt"}).status, app::kExitUsage);
  EXPECT_EQ(run({"receipt", "abc"}).status, app::kExitUsage);
  EXPECT_EQ(run({"receipt", "1", "--pdf"}).status, app::kExitUsage);
  EXPECT_EQ(run({"receipt", "1", "--pdf", "--print"}).status, app::kExitUsage);
  EXPECT_EQ(run({"receipt", "1", "2"}).status, app::kExitUsage);
}

}  // namespace
}  // namespace fvn
