#include "devices/gerador_qrcode.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include <qrencode.h>

#include "runtime/atomic_file.h"

namespace fvn {

namespace {

void put16(std::vector<std::uint8_t>& out, std::uint32_t value) {
  out.push_back(static_cast<std::uint8_t>(value & 0xFFU));
  out.push_back(static_cast<std::uint8_t>((value >> 8U) & 0xFFU));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  put16(out, value & 0xFFFFU);
  put16(out, value >> 16U);
}

// A 1-bit BMP (palette: 0 white, 1 black) of `dark(x, y)` over size x size
// pixels, rows bottom-up and padded to 4 bytes.
template <typename Dark>
std::vector<std::uint8_t> monochrome_bmp(std::uint32_t size, Dark dark) {
  const std::uint32_t row_bytes = ((size + 31U) / 32U) * 4U;
  const std::uint32_t pixel_bytes = row_bytes * size;
  constexpr std::uint32_t kHeader = 14U + 40U + 8U;
  std::vector<std::uint8_t> out;
  out.reserve(kHeader + pixel_bytes);
  out.push_back('B');
  out.push_back('M');
  put32(out, kHeader + pixel_bytes);
  put32(out, 0);
  put32(out, kHeader);
  put32(out, 40);    // BITMAPINFOHEADER
  put32(out, size);  // width
  put32(out, size);  // height, positive: bottom-up
  put16(out, 1);     // planes
  put16(out, 1);     // bits per pixel
  put32(out, 0);     // no compression
  put32(out, pixel_bytes);
  put32(out, 7874);  // 200 dpi
  put32(out, 7874);
  put32(out, 2);  // colours in the palette
  put32(out, 2);
  put32(out, 0x00FFFFFFU);  // 0: white
  put32(out, 0x00000000U);  // 1: black
  for (std::uint32_t row = 0; row < size; ++row) {
    const std::uint32_t y = size - 1U - row;
    std::vector<std::uint8_t> line(row_bytes, 0);
    for (std::uint32_t x = 0; x < size; ++x) {
      if (dark(x, y)) line[x / 8U] = static_cast<std::uint8_t>(line[x / 8U] | (0x80U >> (x % 8U)));
    }
    out.insert(out.end(), line.begin(), line.end());
  }
  return out;
}

struct QrDeleter {
  void operator()(QRcode* code) const { QRcode_free(code); }
};

}  // namespace

std::optional<QrModules> qr_modules(std::string_view content, int quiet) {
  const std::string data{content};
  const std::unique_ptr<QRcode, QrDeleter> code(QRcode_encodeData(
      static_cast<int>(data.size()), reinterpret_cast<const unsigned char*>(data.data()), 0, QR_ECLEVEL_M));
  if (!code) return std::nullopt;
  const int modules = code->width;
  QrModules out;
  out.side = modules + 2 * quiet;
  out.cells.assign(static_cast<std::size_t>(out.side) * static_cast<std::size_t>(out.side), 0);
  for (int y = 0; y < modules; ++y) {
    for (int x = 0; x < modules; ++x) {
      const auto at = static_cast<std::size_t>(y + quiet) * static_cast<std::size_t>(out.side) +
                      static_cast<std::size_t>(x + quiet);
      out.cells[at] = code->data[static_cast<std::size_t>(y * modules + x)] & 1U;
    }
  }
  return out;
}

int GERADOR_QRCODE::fail(std::string text) {
  error_ = std::move(text);
  return 0;
}

int GERADOR_QRCODE::gera(const std::string& path, std::string_view content) {
  error_.clear();
  if (content.empty()) return fail("Conteúdo do QR Code vazio.");
  if (content.size() > kMaxContent) return fail("Conteúdo do QR Code excede 1000 caracteres.");
  errno = 0;
  const auto code = qr_modules(content, kQuietModules);
  if (!code) return fail("Erro ao codificar o QR Code: " + std::string{std::strerror(errno)});
  constexpr auto kPixels = static_cast<std::uint32_t>(kModulePixels);
  const std::uint32_t size = static_cast<std::uint32_t>(code->side) * kPixels;
  const auto bmp = monochrome_bmp(size, [&](std::uint32_t x, std::uint32_t y) {
    return code->dark(static_cast<int>(x / kPixels), static_cast<int>(y / kPixels));
  });
  const AtomicWrite written = write_file_atomically(path, {reinterpret_cast<const char*>(bmp.data()), bmp.size()});
  if (written) return 1;
  if (written.failed == AtomicWrite::Step::write) return fail("Erro ao gravar o arquivo " + path + ".");
  const char* action = written.failed == AtomicWrite::Step::create ? "criar" : "gravar";
  return fail("Erro ao " + std::string{action} + " o arquivo " + path + ": " + std::strerror(written.error));
  return 1;
}

}  // namespace fvn
