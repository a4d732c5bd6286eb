#include "data/line_file.h"

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "runtime/runtime_messages.h"
#include "support/temp_folder.h"

namespace fvn {
namespace {

using fvn::testing::read_file;
using fvn::testing::TempFolder;
using fvn::testing::write_file;

// The lines of an open reader, from where it stands to the end.
std::vector<std::string> remaining_lines(LineReaderWriter& file) {
  std::vector<std::string> lines;
  while (file.next_line() == 1) lines.push_back(file.current_line());
  return lines;
}

TEST(LineFile, SentencesBeforeOpenAndAfterAnEmptyFileIsCreated) {
  TempFolder tmp;
  const std::string path = tmp.file("nota.xml");
  LineReaderWriter file(path);
  EXPECT_EQ(file.add_line("<NFe>"), 0);
  EXPECT_EQ(file.error_text(), "Erro, arquivo não foi aberto. Arquivo: " + path);
  EXPECT_EQ(file.next_line(), 0);
  EXPECT_EQ(file.error_text(), "Erro, arquivo não foi aberto. Arquivo: " + path);
  EXPECT_EQ(file.rewind(), 0);
  EXPECT_EQ(file.error_text(), "Erro ao executar SET: Arquivo não está aberto Arquivo: " + path);
  EXPECT_EQ(file.close(), 0);
  EXPECT_EQ(file.error_text(), "Erro ao verificar STATUS: Arquivo não está aberto Arquivo: " + path);
  EXPECT_FALSE(std::filesystem::exists(path));

  set_runtime_error(rt::kEndOfFile);
  ASSERT_EQ(file.open(), 1);  // creates the missing file, empty
  EXPECT_EQ(std::filesystem::file_size(path), 0U);
  EXPECT_EQ(file.error_text(), "");
  EXPECT_EQ(last_runtime_error(), 0);
  EXPECT_EQ(file.open(), 0);
  EXPECT_EQ(file.error_text(), "Erro ao abrir: Arquivo já está aberto Arquivo: " + path);
  EXPECT_EQ(file.next_line(), 0);
  EXPECT_EQ(file.error_text(), "Erro ao executar NEXT: Final de Arquivo Arquivo: " + path);
  EXPECT_EQ(last_runtime_error(), rt::kEndOfFile);
  ASSERT_EQ(file.close(), 1);
  EXPECT_EQ(file.error_text(), "");
}

TEST(LineFile, OpenKeepsContentAndRewinds) {
  TempFolder tmp;
  const std::string path = tmp.file("tabela.txt");
  write_file(path, "primeira\nsegunda\n");
  LineReaderWriter file(path);
  ASSERT_EQ(file.open(), 1);
  ASSERT_EQ(file.add_line("terceira"), 1);
  EXPECT_EQ(remaining_lines(file), (std::vector<std::string>{"primeira", "segunda", "terceira"}));
  ASSERT_EQ(file.rewind(), 1);
  ASSERT_EQ(file.next_line(), 1);
  EXPECT_EQ(file.current_line(), "primeira");
  ASSERT_EQ(file.close(), 1);
  EXPECT_EQ(read_file(path), "primeira\nsegunda\nterceira\n");
}

TEST(LineFile, CreateEmptiesTheFileOpenOrNot) {
  TempFolder tmp;
  const std::string path = tmp.file("nota.xml");
  write_file(path, "antigo\n");
  LineWriter writer(path);
  ASSERT_EQ(writer.create(), 1);
  EXPECT_EQ(std::filesystem::file_size(path), 0U);
  ASSERT_EQ(writer.open(), 1);
  ASSERT_EQ(writer.add_line("<a/>"), 1);
  ASSERT_EQ(writer.create(), 1);
  ASSERT_EQ(writer.add_line("<b/>"), 1);
  ASSERT_EQ(writer.close(), 1);
  EXPECT_EQ(read_file(path), "<b/>\n");
}

TEST(LineFile, LengthZeroClipsBlanksAndALengthWritesExactlyThatManyCharacters) {
  TempFolder tmp;
  const std::string path = tmp.file("linhas.txt");
  LineWriter writer(path);
  ASSERT_EQ(writer.open(), 1);
  for (const auto& [line, length] : std::vector<std::pair<std::string, std::size_t>>{
           {"  texto   ", 0}, {"     ", 0}, {"     ", 5}, {"ab", 5}, {"abcdefgh", 3}, {"ação", 6}, {"ação", 2}}) {
    ASSERT_EQ(writer.add_line(line, length), 1) << writer.error_text();
  }
  ASSERT_EQ(writer.close(), 1);
  EXPECT_EQ(read_file(path), "  texto\n\n     \nab   \nabc\nação  \naç\n");
}

TEST(LineFile, LongLinesAreNeverCut) {
  TempFolder tmp;
  std::string line;
  for (int i = 0; line.size() < 100'000; ++i) line += static_cast<char>('a' + i % 26);
  LineReaderWriter file(tmp.file("longa.xml"));
  ASSERT_EQ(file.open(), 1);
  ASSERT_EQ(file.add_line(line), 1);
  ASSERT_EQ(file.add_line("fim"), 1);
  EXPECT_EQ(remaining_lines(file), (std::vector<std::string>{line, "fim"}));
}

TEST(LineFile, ReadingDropsCarriageReturnsAndKeepsEmptyLines) {
  TempFolder tmp;
  write_file(tmp.file("windows.txt"), "um\r\n\r\ndois\n\ntres sem fim");
  LineReaderWriter file(tmp.file("windows.txt"));
  ASSERT_EQ(file.open(), 1);
  EXPECT_EQ(remaining_lines(file), (std::vector<std::string>{"um", "", "dois", "", "tres sem fim"}));
}

TEST(LineFile, AFailedWriteGivesTheAddSentence) {
  LineWriter writer("/dev/full");
  ASSERT_EQ(writer.open(), 1) << writer.error_text();
  EXPECT_EQ(writer.add_line("<NFe/>"), 0);
  EXPECT_EQ(writer.error_text(), "Erro ao adicionar: Erro no driver de Arquivo Arquivo: /dev/full");
}

TEST(LineFile, PathsThatCannotBeFilesDoNotOpen) {
  TempFolder tmp;
  const std::string path = tmp.file("falta/nota.xml");
  LineReaderWriter file(path);
  EXPECT_EQ(file.open(), 0);
  EXPECT_FALSE(file.is_open());
  EXPECT_TRUE(file.error_text().starts_with("Erro ao criar arquivo: ")) << file.error_text();
  EXPECT_TRUE(file.error_text().ends_with(" Arquivo: " + path)) << file.error_text();
  EXPECT_EQ(file.create(), 0);
  EXPECT_TRUE(file.error_text().starts_with("Erro ao criar arquivo: ")) << file.error_text();

  LineWriter folder(tmp.path().string());
  EXPECT_EQ(folder.open(), 0);
  EXPECT_EQ(folder.error_text(), "Erro ao abrir: Acesso não permitido Arquivo: " + tmp.path().string());
}

TEST(LineFile, DestroyClosesAndReleasesTheLock) {
  TempFolder tmp;
  {
    LineWriter first(tmp.file("log.txt"));
    ASSERT_EQ(first.open(), 1);
    ASSERT_EQ(first.add_line("antes"), 1);
  }
  LineReaderWriter second(tmp.file("log.txt"));
  ASSERT_EQ(second.open(), 1) << second.error_text();
  EXPECT_EQ(remaining_lines(second), std::vector<std::string>{"antes"});
}

// Waits the whole lock time (two seconds).
TEST(LineFile, ASecondHolderWaitsThenFailsWithTheLockSentence) {
  TempFolder tmp;
  const std::string path = tmp.file("travado.txt");
  LineWriter first(path);
  ASSERT_EQ(first.open(), 1);
  LineWriter second(path);
  EXPECT_EQ(second.open(), 0);
  EXPECT_FALSE(second.is_open());
  EXPECT_EQ(second.error_text(), "Erro ao abrir: Arquivo ja está bloqueado Arquivo: " + path);
}

}  // namespace
}  // namespace fvn
