#include "devices/danfe_imagens.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>

#include "devices/gerador_qrcode.h"

namespace fvn {

namespace {

std::uint32_t le_u32(const std::string& b, std::size_t at) {
  std::uint32_t v = 0;
  for (std::size_t i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + i])) << (8 * i);
  return v;
}
std::uint16_t le_u16(const std::string& b, std::size_t at) {
  return static_cast<std::uint16_t>(static_cast<unsigned char>(b[at]) |
                                    (static_cast<unsigned>(static_cast<unsigned char>(b[at + 1])) << 8U));
}

void pinta(cairo_surface_t* s, int x, int y, std::uint32_t rgb) {
  unsigned char* data = cairo_image_surface_get_data(s);
  const auto stride = static_cast<std::size_t>(cairo_image_surface_get_stride(s));
  auto* pixel = reinterpret_cast<std::uint32_t*>(data + static_cast<std::size_t>(y) * stride) + x;
  *pixel = rgb;
}

}  // namespace

CairoSurface nova_imagem(int largura, int altura) {
  CairoSurface s{cairo_image_surface_create(CAIRO_FORMAT_RGB24, largura, altura)};
  if (cairo_surface_status(s.get()) != CAIRO_STATUS_SUCCESS) return nullptr;
  return s;
}

CairoSurface le_bmp(const std::string& path) {
  std::error_code ec;
  const std::uintmax_t size = std::filesystem::file_size(path, ec);
  if (ec || size < 54 || size > std::uintmax_t{64} * 1024 * 1024) return nullptr;
  std::ifstream in(path, std::ios::binary);
  std::string b(static_cast<std::size_t>(size), '\0');
  if (!in.read(b.data(), static_cast<std::streamsize>(b.size()))) return nullptr;
  if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') return nullptr;
  const std::uint32_t offset = le_u32(b, 10);
  const std::uint32_t dib = le_u32(b, 14);
  const auto width = static_cast<std::int32_t>(le_u32(b, 18));
  const auto height_raw = static_cast<std::int32_t>(le_u32(b, 22));
  const std::uint16_t bpp = le_u16(b, 28);
  const std::uint32_t compression = le_u32(b, 30);
  const bool top_down = height_raw < 0;
  const std::int32_t height = top_down ? -height_raw : height_raw;
  if (dib < 40 || compression != 0 || width <= 0 || height <= 0 || width > 8192 || height > 8192) return nullptr;
  if (bpp != 1 && bpp != 24 && bpp != 32) return nullptr;
  const auto w = static_cast<std::size_t>(width);
  const auto h = static_cast<std::size_t>(height);
  const std::size_t row_bytes = ((w * bpp + 31U) / 32U) * 4U;
  if (offset > b.size() || b.size() - offset < row_bytes * h) return nullptr;
  std::array<std::uint32_t, 2> palette{0xFFFFFFU, 0x000000U};
  if (bpp == 1) {
    const std::size_t at = 14U + dib;
    if (at + 8 > b.size()) return nullptr;
    for (std::size_t i = 0; i < 2; ++i) palette[i] = le_u32(b, at + 4 * i) & 0xFFFFFFU;
  }
  CairoSurface s = nova_imagem(width, height);
  if (!s) return nullptr;
  cairo_surface_flush(s.get());
  for (std::size_t row = 0; row < h; ++row) {
    const std::size_t y = top_down ? row : h - 1 - row;
    const std::size_t line = offset + row * row_bytes;
    for (std::size_t x = 0; x < w; ++x) {
      std::uint32_t rgb = 0;
      if (bpp == 1) {
        const auto byte = static_cast<unsigned char>(b[line + x / 8]);
        rgb = palette[(byte >> (7U - x % 8U)) & 1U];
      } else {
        const std::size_t at = line + x * (bpp / 8U);
        rgb = static_cast<std::uint32_t>(static_cast<unsigned char>(b[at])) |
              (static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8U) |
              (static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 2])) << 16U);
      }
      pinta(s.get(), static_cast<int>(x), static_cast<int>(y), rgb);
    }
  }
  cairo_surface_mark_dirty(s.get());
  return s;
}

CairoSurface codifica_qrcode(const std::string& content) {
  const auto code = qr_modules(content, GERADOR_QRCODE::kQuietModules);
  if (!code) return nullptr;
  CairoSurface s = nova_imagem(code->side, code->side);
  if (!s) return nullptr;
  cairo_surface_flush(s.get());
  for (int y = 0; y < code->side; ++y) {
    for (int x = 0; x < code->side; ++x) pinta(s.get(), x, y, code->dark(x, y) ? 0x000000U : 0xFFFFFFU);
  }
  cairo_surface_mark_dirty(s.get());
  return s;
}

CairoSurface le_png(const std::string& path) {
  CairoSurface s{cairo_image_surface_create_from_png(path.c_str())};
  if (cairo_surface_status(s.get()) != CAIRO_STATUS_SUCCESS) return nullptr;
  return s;
}

}  // namespace fvn
