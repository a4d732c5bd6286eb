// The raw line printer and the drawing helpers other modules of the
// application use: IMPLINHA sends one line or a block of bytes straight to
// a printer; picria and pidestroi create and release the drawing objects of
// an off-screen picture.
//
// IMPLINHA(acao, texto, modo, porta, quantidade, linha):
//   linha 1: `texto` with trailing blanks removed is sent; linha 0: exactly
//   `quantidade` bytes of `texto`. A count beyond the text (or beyond 1,024
//   bytes, the most one call takes) is refused with 0 and nothing is sent:
//   the bytes past the text are not the caller's to send.
//   modo 2: `porta` is a port or a file. "COM1".."COM9" and "LPT1".."LPT9"
//   are the device nodes configured with define_porta_linha (by default
//   /dev/ttyS0.. and /dev/lp0..); a name beginning with two slashes or
//   backslashes is a shared printer; anything else is a path. The target is
//   opened for writing (created when it does not exist); an ordinary file
//   gets the line appended, a port or device node gets it without
//   positioning. 1 when every byte was written and the target closed, else 0.
//   modo 1: the print server (CUPS) in raw mode, one document per job:
//   acao 1 starts a job named "PRINTJOB" on the default queue (or the one
//   set with define_fila_linha) and returns its job id (0 on failure);
//   acao 0 writes and returns the bytes written; acao 2 ends the job and
//   returns 1. The open job is the only state kept between calls (per thread).
//
// envia_bruto sends a whole block the same way to "cups:QUEUE" (a raw job;
// "cups:" alone is the default queue) or to a file or device node path (an
// ordinary file is replaced): what the ESC/POS receipt uses.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include <cairo.h>
#include <pango/pango-font.h>

namespace fvn::devices {

std::int32_t IMPLINHA(std::int32_t acao, std::string_view texto, std::int32_t modo, std::string_view porta,
                      std::int32_t quantidade, std::int32_t linha);

// The device node behind "COMn" or "LPTn" (n 1..9); false for another name.
bool define_porta_linha(std::string_view nome, std::string caminho);
// The CUPS queue of modo 1; empty for the default queue.
void define_fila_linha(std::string fila);

// 1 when every byte reached the target; 0 with `erro` set.
int envia_bruto(const std::string& destino, std::string_view dados, std::string& erro);

// A pen: a colour (0xRRGGBB) drawn one pixel wide.
struct Caneta {
  double r = 0, g = 0, b = 0;
  void aplica(cairo_t* cr) const;
};

// The drawing objects of one off-screen picture: the picture and its mask
// (two image surfaces of the same size, each with its context; the
// picture's background is transparent), the main font (monospace, the
// given height and width in pixels, weight 400) and the small font (sans,
// 10 by 8), six pens, a solid brush in the third colour and the empty
// brush (no fill).
struct ObjetosDesenho {
  cairo_surface_t* imagem = nullptr;
  cairo_t* contexto_imagem = nullptr;
  cairo_surface_t* mascara = nullptr;
  cairo_t* contexto_mascara = nullptr;
  PangoFontDescription* fonte = nullptr;
  PangoFontDescription* fonte_pequena = nullptr;
  std::array<Caneta, 6> canetas{};
  Caneta pincel;
  bool pincel_vazio = true;  // the empty brush: shapes are outlined, not filled
};

// 1 with `o` filled; 0 (nothing left allocated) for a size out of 1..16,384
// or when cairo cannot create the surfaces.
int picria(ObjetosDesenho& o, int altura, int largura, const std::array<std::uint32_t, 6>& cores, int fonte_altura,
           int fonte_largura);
// Releases everything picria created; calling it again does nothing.
void pidestroi(ObjetosDesenho& o);

}  // namespace fvn::devices
