// The images of the consumer receipt as cairo image surfaces: the QR-code
// BMP the NFC-e processor drew, the QR code encoded from the note's URL when
// there is no such file, and the shop's PNG logo. Each answers nullptr when
// the image cannot be had, and the receipt goes without it.
#pragma once

#include <memory>
#include <string>

#include <cairo.h>

namespace fvn {

struct CairoSurfaceDeleter {
  void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
using CairoSurface = std::unique_ptr<cairo_surface_t, CairoSurfaceDeleter>;

// An RGB image of the given size in pixels; nullptr when cairo cannot make it.
CairoSurface nova_imagem(int largura, int altura);

// An uncompressed BMP of 1, 24 or 32 bits per pixel (the QR-code image the
// NFC-e processor draws is a 1-bit one); nullptr for anything else.
CairoSurface le_bmp(const std::string& path);

// The QR code of `content`, one pixel per module, with a quiet zone of four
// modules (the same encoding as the processor's image).
CairoSurface codifica_qrcode(const std::string& content);

// A PNG file (the logo).
CairoSurface le_png(const std::string& path);

}  // namespace fvn
