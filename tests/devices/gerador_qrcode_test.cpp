// The QR-code bitmap: a 1-bit BMP that a decoder reads back to its content.
#include "devices/gerador_qrcode.h"

#include <cstdint>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "support/external_tools.h"
#include "support/temp_folder.h"

namespace fvn {
namespace {

using testing::TempFolder;

std::uint32_t le32(const std::string& bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < 4; ++i)
    value |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
  return value;
}

TEST(GeradorQrcode, WritesAMonochromeBmpThatDecodesToTheUrl) {
  TempFolder folder;
  const std::string path = folder.file("10.bmp");
  const std::string url =
      "https://portalsped.fazenda.mg.gov.br/portalnfce/sistema/qrcode.xhtml?p=31260511222333000181650010000001"
      "001123456781|2|2|1|4A6F2C";
  GERADOR_QRCODE qr;
  ASSERT_EQ(qr.gera(path, url), 1) << qr.error_text();
  const std::string bytes = testing::read_file(path);
  ASSERT_GT(bytes.size(), 62U);
  EXPECT_EQ(bytes.substr(0, 2), "BM");
  EXPECT_EQ(le32(bytes, 2), bytes.size());
  const std::uint32_t width = le32(bytes, 18);
  EXPECT_EQ(width, le32(bytes, 22));  // square
  EXPECT_EQ(width % GERADOR_QRCODE::kModulePixels, 0U);
  EXPECT_EQ(bytes[28], 1);  // one bit per pixel
  EXPECT_EQ(testing::qr_text(path), url);
  // The quiet zone: the first rows (bottom of the image) are white.
  const std::uint32_t row_bytes = ((width + 31U) / 32U) * 4U;
  for (std::uint32_t i = 0; i < row_bytes * GERADOR_QRCODE::kModulePixels * GERADOR_QRCODE::kQuietModules; ++i) {
    ASSERT_EQ(bytes[62 + i], 0) << i;
  }
}

TEST(GeradorQrcode, OverwritesTheSameFileAndRefusesEmptyOrOversizedContent) {
  TempFolder folder;
  const std::string path = folder.file("7.bmp");
  GERADOR_QRCODE qr;
  ASSERT_EQ(qr.gera(path, "https://exemplo/primeiro"), 1);
  ASSERT_EQ(qr.gera(path, "https://exemplo/segundo"), 1);
  EXPECT_EQ(testing::qr_text(path), "https://exemplo/segundo");
  EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
  EXPECT_EQ(qr.gera(folder.file("vazio.bmp"), ""), 0);
  EXPECT_EQ(qr.error_text(), "Conteúdo do QR Code vazio.");
  EXPECT_EQ(qr.gera(folder.file("grande.bmp"), std::string(1001, 'a')), 0);
  EXPECT_FALSE(std::filesystem::exists(folder.file("grande.bmp")));
  EXPECT_EQ(qr.gera(folder.file("sem-pasta/1.bmp"), "x"), 0);  // the folder is the caller's
}

}  // namespace
}  // namespace fvn
