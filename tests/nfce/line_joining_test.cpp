#include "nfce/line_joining.h"

#include <string>

#include <gtest/gtest.h>

#include "support/temp_folder.h"

namespace fvn {
namespace {

using testing::read_file;
using testing::TempFolder;
using testing::write_file;

TEST(LineJoining, JoinsEveryLineWithNothingAddedOrLost) {
  TempFolder tmp;
  const std::string path = tmp.file("00000001.xml");
  const std::string long_line = "<infCpl>" + std::string(100'000, 'x') + "</infCpl>";
  write_file(path, "<a>\n  <b>ção</b> \n\n" + long_line + "\n<c/>\r\n<d/>");
  std::string document;
  std::string error;
  ASSERT_EQ(join_lines(path, document, error), 1) << error;
  const std::string expected = "<a>  <b>ção</b> " + long_line + "<c/><d/>";
  EXPECT_EQ(document, expected);
  EXPECT_EQ(read_file(path), expected + "\n") << "the file becomes the single-line document";
  EXPECT_FALSE(std::filesystem::exists(path + ".joined"));
}

TEST(LineJoining, AJoinedFileJoinsToItself) {
  TempFolder tmp;
  const std::string path = tmp.file("doc.xml");
  write_file(path, "<x>\n<y/>\n</x>\n");
  std::string first;
  std::string second;
  std::string error;
  ASSERT_EQ(join_lines(path, first, error), 1);
  ASSERT_EQ(join_lines(path, second, error), 1);
  EXPECT_EQ(first, "<x><y/></x>");
  EXPECT_EQ(second, first);
}

TEST(LineJoining, AMissingFileFailsNamingIt) {
  TempFolder tmp;
  const std::string path = tmp.file("none.xml");
  std::string document = "old";
  std::string error;
  EXPECT_EQ(join_lines(path, document, error), 0);
  EXPECT_EQ(document, "");
  EXPECT_EQ(error, "Erro ao abrir: Arquivo não encontrado Arquivo: " + path);
  EXPECT_FALSE(std::filesystem::exists(path));
}

}  // namespace
}  // namespace fvn
