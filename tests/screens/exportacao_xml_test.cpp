// The XML export window's logic: the list read from the service's answer,
// and the window's actions and messages against a real simulator.
#include "screens/exportacao_xml.h"

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "service/workflow_fixture.h"
#include "support/zip_entries.h"

namespace fvn {
namespace {

using testing::zip_entries;

std::vector<ExportEntry> entries_of(const OrderedList<ExportEntry>& list) {
  std::vector<ExportEntry> out;
  ExportEntry entry;
  for (std::size_t position = 1; position <= list.records(); ++position) {
    if (list.get(position, entry)) out.push_back(entry);
  }
  return out;
}

TEST(ExportList, OneEntryPerCompleteLine) {
  EXPECT_EQ(
      entries_of(parse_export_list("05/2026 http://h/a/1/x.zip\r\n06/2026 AGUARDE - arquivo em processamento\r\n")),
      (std::vector<ExportEntry>{{"05/2026", "http://h/a/1/x.zip"}, {"06/2026", "AGUARDE - arquivo em processamento"}}));
  // Text after the last CR LF is not a line; a lone LF does not end one.
  EXPECT_EQ(entries_of(parse_export_list("05/2026 http://h/1\r\n06/2026 http://h/2")).size(), 1U);
  EXPECT_EQ(entries_of(parse_export_list("05/2026 http://h/1\n06/2026 http://h/2\r\n")),
            (std::vector<ExportEntry>{{"05/2026", "http://h/1\n06/2026 http://h/2"}}));
  EXPECT_TRUE(parse_export_list("").empty());
  EXPECT_TRUE(parse_export_list("05/2026 http://h/1").empty());
}

TEST(ExportList, ShortLinesAndCharactersBeyondTheFieldSizes) {
  // Shorter than nine characters: an entry with an empty link; an empty line still counts.
  EXPECT_EQ(entries_of(parse_export_list("05/2026\r\n\r\n")), (std::vector<ExportEntry>{{"05/2026", ""}, {"/", ""}}));
  // Positions count characters, not bytes; the separator in column 3 is not copied.
  EXPECT_EQ(entries_of(parse_export_list("ç5-2026 ãé\r\n")), (std::vector<ExportEntry>{{"ç5/2026", "ãé"}}));
  // A link holds 199 characters.
  const std::string link(250, 'a');
  const auto entries = entries_of(parse_export_list("05/2026 " + link + "\r\n"));
  ASSERT_EQ(entries.size(), 1U);
  EXPECT_EQ(entries[0].link, std::string(199, 'a'));
}

// The window of company 1 on a simulator whose exports are ready after
// `delay` seconds.
class ExportWindowTest : public testing::WorkflowTest {
 protected:
  void use_export_delay(const std::string& delay) {
    processor_.reset();
    sim_ = std::make_unique<testing::SimProcess>(
        export_data_.path().string(),
        std::vector<std::string>{"--max-age", "999999999", "--max-future", "999999999", "--export-delay", delay});
    ASSERT_TRUE(sim_->running());
    processor_ = make_processor(ui_);
    window_ = std::make_unique<SOLICITA_EXPORTACAO_XML>(ui_, *processor_, ExportCompany{1, testing::kCnpj, "", "", ""});
  }

  // The texts and titles of the messages shown since the last call.
  std::vector<std::string> shown() {
    std::vector<std::string> out;
    for (std::size_t i = seen_; i < ui_.messages().size(); ++i) {
      out.push_back("[" + ui_.messages()[i].title + "] " + ui_.messages()[i].text);
    }
    seen_ = ui_.messages().size();
    return out;
  }

  testing::TempFolder export_data_;
  std::unique_ptr<SOLICITA_EXPORTACAO_XML> window_;
  std::size_t seen_ = 0;
};

TEST_F(ExportWindowTest, RequestsAMonthAndDownloadsItsFileIntoTheChosenFolder) {
  use_export_delay("0");
  const auto sale = scenario("consumidor_sem_cpf");
  ASSERT_EQ(issue(sale), 1) << processor_->ERROR;
  const std::string key = value("select s_asa_chave_nfe from asaidas where cidesaidas = " + std::to_string(sale));
  const std::string month = key.substr(4, 2);
  const std::string year = "20" + key.substr(2, 2);
  seen_ = ui_.messages().size();

  const Date before = today();
  ASSERT_EQ(window_->Abrir(), 1) << processor_->ERROR;
  EXPECT_TRUE(window_->period() == before || window_->period() == today());
  EXPECT_TRUE(window_->take_period_focus());
  EXPECT_FALSE(window_->take_period_focus());
  EXPECT_TRUE(window_->entries().empty());
  EXPECT_EQ(window_->selected(), 0U);

  // Asking twice sends two requests; the last listed is selected.
  window_->set_period(date_from_civil(std::stoi(year), std::stoi(month), 17));
  ASSERT_EQ(window_->Exportar(), 1) << processor_->ERROR;
  ASSERT_EQ(window_->Exportar(), 1) << processor_->ERROR;
  const auto entries = entries_of(window_->entries());
  ASSERT_EQ(entries.size(), 2U);
  EXPECT_EQ(entries[0].period, month + "/" + year);
  EXPECT_TRUE(entries[1].link.starts_with(sim_->url() + "/api/exportacao/arquivo/")) << entries[1].link;
  EXPECT_EQ(window_->selected(), 2U);
  EXPECT_TRUE(shown().empty());

  // Cancelling the folder choice does nothing.
  ui_.answer_folder(std::nullopt);
  EXPECT_EQ(window_->Download(), 0);
  EXPECT_EQ(ui_.folder_prompts().back(), SOLICITA_EXPORTACAO_XML::kFolderPrompt);
  EXPECT_TRUE(shown().empty());

  const std::string folder = nfce_.file("escolhida");
  std::filesystem::create_directories(folder);
  ui_.answer_folder(folder);
  ASSERT_EQ(window_->Download(), 1) << processor_->ERROR;
  EXPECT_EQ(shown(), std::vector<std::string>{"[Aviso do sistema] Download realizado com sucesso em " + folder + "."});
  EXPECT_EQ(zip_entries(folder + "/NFCe_" + testing::kCnpj + "_" + year + month + ".zip"),
            std::vector<std::string>{key + "-nfce.xml"});
}

TEST_F(ExportWindowTest, AFileBeingPreparedOrNoSelectionIsNotDownloaded) {
  use_export_delay("3600");
  ASSERT_EQ(window_->Abrir(), 1) << processor_->ERROR;
  EXPECT_EQ(window_->Download(), 0);
  EXPECT_EQ(shown(), std::vector<std::string>{"[Aviso do sistema] Nenhum arquivo selecionado para download."});

  window_->set_period(0);
  EXPECT_EQ(window_->Exportar(), 0);
  EXPECT_EQ(shown(),
            std::vector<std::string>{"[Aviso do sistema] Informe o mês/ano que deseja exportar os arquivos XML."});
  EXPECT_TRUE(window_->take_period_focus());
  EXPECT_TRUE(window_->entries().empty());

  window_->set_period(date_from_civil(2026, 5, 1));
  ASSERT_EQ(window_->Exportar(), 1) << processor_->ERROR;
  ASSERT_EQ(window_->entries().records(), 1U);
  EXPECT_EQ(window_->Download(), 0);
  EXPECT_EQ(shown(), std::vector<std::string>{
                         "[Aviso do sistema] Arquivo em processamento.|Aguarde alguns segundos e clique em \"F5 - "
                         "Atualizar\" para verificar se a requisição foi finalizada."});
  EXPECT_TRUE(ui_.folder_prompts().empty());
}

TEST_F(ExportWindowTest, ServiceFailuresShowTheirMessageAndKeepTheList) {
  use_export_delay("0");
  // The server check refuses the company's CNPJ (wrong check digits).
  SOLICITA_EXPORTACAO_XML refused(ui_, *processor_, ExportCompany{1, "11222333000100", "", "", ""});
  EXPECT_EQ(refused.Abrir(), 0);
  auto messages = shown();
  ASSERT_EQ(messages.size(), 1U);
  EXPECT_TRUE(messages[0].starts_with("[Erro!] Erro ao checar servidor.|Erro: ")) << messages[0];
  EXPECT_NE(messages[0].find("CNPJ"), std::string::npos) << messages[0];
  EXPECT_TRUE(refused.entries().empty());
  EXPECT_EQ(refused.period(), 0);

  ASSERT_EQ(window_->Abrir(), 1) << processor_->ERROR;
  window_->set_period(date_from_civil(2026, 4, 30));
  ASSERT_EQ(window_->Exportar(), 1);
  const auto listed = entries_of(window_->entries());
  ASSERT_EQ(listed.size(), 1U);

  // The service refuses the period: its own words after "Erro: ".
  window_->set_period(date_from_civil(1999, 12, 1));
  EXPECT_EQ(window_->Exportar(), 0);
  messages = shown();
  ASSERT_EQ(messages.size(), 1U);
  EXPECT_TRUE(messages[0].starts_with("[Erro!] Erro ao solicitar exportação.|Erro: ")) << messages[0];
  EXPECT_NE(messages[0].find("período inválido"), std::string::npos) << messages[0];

  ASSERT_TRUE(sim_->fault({{"mode", "down"}, {"call", "consultar"}, {"count", 1}}));
  EXPECT_EQ(window_->Atualizar(), 0);
  messages = shown();
  ASSERT_EQ(messages.size(), 1U);
  EXPECT_TRUE(messages[0].starts_with("[Erro!] Erro ao solicitar exportação.|Erro: ")) << messages[0];
  EXPECT_EQ(entries_of(window_->entries()), listed);

  ASSERT_TRUE(sim_->fault({{"mode", "drop"}, {"call", "download"}, {"count", 1}}));
  ui_.answer_folder(nfce_.path().string());
  EXPECT_EQ(window_->Download(), 0);
  messages = shown();
  ASSERT_EQ(messages.size(), 1U);
  EXPECT_TRUE(messages[0].starts_with("[Erro!] Erro ao executar download do arquivo compactado.|Erro: "))
      << messages[0];
  EXPECT_TRUE(window_->last_folder().empty());
}

}  // namespace
}  // namespace fvn
