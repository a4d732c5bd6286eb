#include "devices/impressora_linha.h"

#include <sys/stat.h>

#include <cstdlib>
#include <future>
#include <string>

#include <gtest/gtest.h>

#include "support/temp_folder.h"

namespace fvn::devices {
namespace {

using fvn::testing::read_file;

TEST(ImpLinha, AFileGetsLinesAppendedAndCountsBeyondTheTextAreRefused) {
  const fvn::testing::TempFolder folder;
  const std::string file = folder.file("linhas.txt");
  EXPECT_EQ(IMPLINHA(0, "TOTAL 10,00   ", 2, file, 0, 1), 1);
  EXPECT_EQ(IMPLINHA(0, "TOTAL 10,00   ", 2, file, 0, 1), 1);
  EXPECT_EQ(IMPLINHA(0, "     ", 2, file, 0, 1), 1);  // blanks only: nothing sent, success
  EXPECT_EQ(IMPLINHA(0, std::string_view{"\r\n\0x", 4}, 2, file, 3, 0), 1);
  EXPECT_EQ(read_file(file), std::string("TOTAL 10,00TOTAL 10,00\r\n\0", 25));

  // Never more than the text holds, nor more than one call takes.
  EXPECT_EQ(IMPLINHA(0, "abc", 2, file, 4, 0), 0);
  EXPECT_EQ(IMPLINHA(0, "abc", 2, file, -1, 0), 0);
  const std::string big(2000, 'x');
  EXPECT_EQ(IMPLINHA(0, big, 2, file, 1025, 0), 0);
  EXPECT_EQ(read_file(file).size(), 25U);
  EXPECT_EQ(IMPLINHA(0, "x", 2, folder.file("no/such/folder/f"), 0, 1), 0);
}

TEST(ImpLinha, NamedPortsAreWrittenWithoutPositioning) {
  const fvn::testing::TempFolder folder;
  // A port backed by an ordinary file shows it: the second line starts at the beginning.
  const std::string as_file = folder.file("lpt1");
  ASSERT_TRUE(define_porta_linha("LPT1", as_file));
  EXPECT_EQ(IMPLINHA(0, "abcdef", 2, "LPT1", 0, 1), 1);
  EXPECT_EQ(IMPLINHA(0, "XY", 2, "lpt1", 0, 1), 1);
  EXPECT_EQ(read_file(as_file), "XYcdef");

  // A device node that cannot seek at all (a FIFO) takes the line too.
  const std::string fifo = folder.file("com2");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  ASSERT_TRUE(define_porta_linha("COM2", fifo));
  auto reader = std::async(std::launch::async, [&] { return read_file(fifo); });
  EXPECT_EQ(IMPLINHA(0, "\x1b@linha", 2, "COM2", 7, 0), 1);
  EXPECT_EQ(reader.get(), "\x1b@linha");
  EXPECT_FALSE(define_porta_linha("PRN", "/dev/null"));
  define_porta_linha("LPT1", "/dev/lp0");
  define_porta_linha("COM2", "/dev/ttyS1");
}

TEST(ImpLinha, ThePrintServerPathFailsCleanlyWithoutAServer) {
  ::setenv("CUPS_SERVER", "/nonexistent/cups.sock", 1);
  define_fila_linha("bobina");
  EXPECT_EQ(IMPLINHA(1, "", 1, "", 0, 1), 0);
  EXPECT_EQ(IMPLINHA(0, "linha", 1, "", 0, 1), 0);  // no job open
  EXPECT_EQ(IMPLINHA(2, "", 1, "", 0, 1), 0);
  std::string erro;
  EXPECT_EQ(envia_bruto("cups:bobina", "x", erro), 0);
  EXPECT_NE(erro.find("bobina"), std::string::npos);
  define_fila_linha({});
  ::unsetenv("CUPS_SERVER");
}

TEST(DrawingHelpers, PicriaCreatesWhatPidestroiReleases) {
  ObjetosDesenho o;
  EXPECT_EQ(picria(o, 0, 100, {}, 12, 8), 0);
  EXPECT_EQ(o.imagem, nullptr);
  ASSERT_EQ(picria(o, 40, 120, {0xFF0000, 0x00FF00, 0x0000FF, 0, 0, 0xFFFFFF}, 12, 8), 1);
  EXPECT_EQ(cairo_image_surface_get_width(o.imagem), 120);
  EXPECT_EQ(cairo_image_surface_get_height(o.mascara), 40);
  // The third colour is the brush; drawing with a pen paints the picture,
  // whose background stays transparent.
  EXPECT_DOUBLE_EQ(o.pincel.b, 1.0);
  o.canetas[0].aplica(o.contexto_imagem);
  cairo_rectangle(o.contexto_imagem, 0, 0, 10, 10);
  cairo_fill(o.contexto_imagem);
  cairo_surface_flush(o.imagem);
  const auto* pixels = reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(o.imagem));
  EXPECT_EQ(pixels[0], 0xFFFF0000U);
  EXPECT_EQ(pixels[119], 0U);
  ASSERT_NE(o.fonte, nullptr);
  EXPECT_EQ(pango_font_description_get_size(o.fonte), 12 * PANGO_SCALE);
  pidestroi(o);
  EXPECT_EQ(o.contexto_imagem, nullptr);
  pidestroi(o);
}

}  // namespace
}  // namespace fvn::devices
