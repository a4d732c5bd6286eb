#include "devices/danfe_desenho.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include <cairo-pdf.h>
#include <cairo.h>
#include <pango/pangocairo.h>

#include "devices/gerador_qrcode.h"
#include "runtime/ini_file.h"
#include "runtime/picture.h"
#include "runtime/rounding.h"
#include "runtime/text.h"
#include "runtime/working_folder.h"

namespace fvn {

namespace {

constexpr double kMmPorPolegada = 25.4;
constexpr double kPontosPorPolegada = 72.0;

struct SurfaceDeleter {
  void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct CairoDeleter {
  void operator()(cairo_t* c) const { cairo_destroy(c); }
};
struct GObjectDeleter {
  void operator()(void* o) const { g_object_unref(o); }
};
struct FontDeleter {
  void operator()(PangoFontDescription* f) const { pango_font_description_free(f); }
};
struct FontOptionsDeleter {
  void operator()(cairo_font_options_t* f) const { cairo_font_options_destroy(f); }
};
using Surface = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;
using Cairo = std::unique_ptr<cairo_t, CairoDeleter>;

int pango_units(double mm) { return static_cast<int>(std::lround(mm * PANGO_SCALE)); }
double from_pango(int units) { return static_cast<double>(units) / PANGO_SCALE; }

// --- images -----------------------------------------------------------------

std::uint32_t le_u32(const std::string& b, std::size_t at) {
  std::uint32_t v = 0;
  for (std::size_t i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + i])) << (8 * i);
  return v;
}
std::uint16_t le_u16(const std::string& b, std::size_t at) {
  return static_cast<std::uint16_t>(static_cast<unsigned char>(b[at]) |
                                    (static_cast<unsigned>(static_cast<unsigned char>(b[at + 1])) << 8U));
}

Surface nova_imagem(int largura, int altura) {
  Surface s{cairo_image_surface_create(CAIRO_FORMAT_RGB24, largura, altura)};
  if (cairo_surface_status(s.get()) != CAIRO_STATUS_SUCCESS) return nullptr;
  return s;
}

void pinta(cairo_surface_t* s, int x, int y, std::uint32_t rgb) {
  unsigned char* data = cairo_image_surface_get_data(s);
  const auto stride = static_cast<std::size_t>(cairo_image_surface_get_stride(s));
  auto* pixel = reinterpret_cast<std::uint32_t*>(data + static_cast<std::size_t>(y) * stride) + x;
  *pixel = rgb;
}

// An uncompressed BMP of 1, 24 or 32 bits per pixel (the QR-code image the
// NFC-e processor draws is a 1-bit one); nullptr for anything else.
Surface le_bmp(const std::string& path) {
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
  Surface s = nova_imagem(width, height);
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

// The QR code of `content`, one pixel per module, with a quiet zone of four
// modules (the same encoding as the processor's image).
Surface codifica_qrcode(const std::string& content) {
  const auto code = qr_modules(content, GERADOR_QRCODE::kQuietModules);
  if (!code) return nullptr;
  Surface s = nova_imagem(code->side, code->side);
  if (!s) return nullptr;
  cairo_surface_flush(s.get());
  for (int y = 0; y < code->side; ++y) {
    for (int x = 0; x < code->side; ++x) pinta(s.get(), x, y, code->dark(x, y) ? 0x000000U : 0xFFFFFFU);
  }
  cairo_surface_mark_dirty(s.get());
  return s;
}

Surface le_png(const std::string& path) {
  Surface s{cairo_image_surface_create_from_png(path.c_str())};
  if (cairo_surface_status(s.get()) != CAIRO_STATUS_SUCCESS) return nullptr;
  return s;
}

// --- drawing ----------------------------------------------------------------

using Alinha = AlinhaDanfe;

// Lays the receipt out top to bottom in millimetres on a cairo context; the
// same pass measures (on a recording surface) and draws (PDF, PNG).
class Desenho {
 public:
  Desenho(cairo_t* cr, const LayoutDanfe& l)
      : cr_(cr),
        x_(l.margem_esquerda_mm),
        largura_(l.largura_mm - l.margem_esquerda_mm - l.margem_direita_mm),
        y_(l.margem_superior_mm),
        layout_(pango_cairo_create_layout(cr)),
        fonte_(pango_font_description_new()) {
    PangoContext* context = pango_layout_get_context(layout_.get());
    pango_cairo_context_set_resolution(context, kMmPorPolegada);  // one user unit = one millimetre
    const std::unique_ptr<cairo_font_options_t, FontOptionsDeleter> options(cairo_font_options_create());
    // Unhinted metrics: the same line breaks on the measuring pass, the PDF and the PNG.
    cairo_font_options_set_hint_metrics(options.get(), CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_hint_style(options.get(), CAIRO_HINT_STYLE_NONE);
    pango_cairo_context_set_font_options(context, options.get());
    // Glyphs placed where the font puts them: rounding to whole user units
    // (millimetres) would space letters unevenly.
    pango_context_set_round_glyph_positions(context, FALSE);
    pango_layout_context_changed(layout_.get());
    pango_layout_set_wrap(layout_.get(), PANGO_WRAP_WORD_CHAR);
    pango_font_description_set_family(fonte_.get(), l.fonte.c_str());
    cairo_set_source_rgb(cr_, 0, 0, 0);
  }

  [[nodiscard]] double y() const { return y_; }
  [[nodiscard]] double largura() const { return largura_; }
  void espaco(double mm) { y_ += mm; }

  // A paragraph across the content width.
  void texto(std::string_view s, double pt, bool negrito = false, Alinha alinha = Alinha::Centro) {
    if (s.empty()) return;
    prepara(s, pt, negrito, largura_, alinha);
    y_ += mostra(x_, y_);
  }

  // A label on the left (wrapped) and a value on the right of the same line.
  void par(std::string_view esquerda, std::string_view direita, double pt, bool negrito = false) {
    double largura_direita = 0;
    double altura = 0;
    if (!direita.empty()) {
      prepara(direita, pt, negrito, -1, Alinha::Esquerda);
      int w = 0;
      int h = 0;
      pango_layout_get_size(layout_.get(), &w, &h);
      largura_direita = std::min(from_pango(w), largura_);
      altura = mostra(x_ + largura_ - largura_direita, y_);
    }
    const double resto = largura_ - largura_direita - (largura_direita > 0 ? 2.0 : 0.0);
    if (!esquerda.empty() && resto > 1.0) {
      prepara(esquerda, pt, negrito, resto, Alinha::Esquerda);
      altura = std::max(altura, mostra(x_, y_));
    }
    y_ += altura;
  }

  void separador() {
    y_ += 1.2;
    cairo_save(cr_);
    const std::array<double, 2> dashes{0.8, 0.6};
    cairo_set_dash(cr_, dashes.data(), 2, 0);
    cairo_set_line_width(cr_, 0.2);
    cairo_move_to(cr_, x_, y_);
    cairo_line_to(cr_, x_ + largura_, y_);
    cairo_stroke(cr_);
    cairo_restore(cr_);
    y_ += 1.2;
  }

  // An image centred, `largura` mm wide at most and `altura` mm tall at
  // most, keeping its proportions. `nitido` keeps every pixel square (QR).
  void imagem(cairo_surface_t* s, double largura, double altura, bool nitido) {
    const int w = cairo_image_surface_get_width(s);
    const int h = cairo_image_surface_get_height(s);
    if (w <= 0 || h <= 0) return;
    const double escala = std::min(
        {largura / static_cast<double>(w), altura / static_cast<double>(h), largura_ / static_cast<double>(w)});
    const double dw = escala * static_cast<double>(w);
    const double dh = escala * static_cast<double>(h);
    cairo_save(cr_);
    cairo_translate(cr_, x_ + (largura_ - dw) / 2, y_);
    cairo_scale(cr_, escala, escala);
    cairo_set_source_surface(cr_, s, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr_), nitido ? CAIRO_FILTER_NEAREST : CAIRO_FILTER_GOOD);
    cairo_rectangle(cr_, 0, 0, w, h);
    cairo_fill(cr_);
    cairo_restore(cr_);
    y_ += dh;
  }

 private:
  void prepara(std::string_view s, double pt, bool negrito, double largura, Alinha alinha) {
    pango_font_description_set_size(fonte_.get(), static_cast<int>(std::lround(pt * PANGO_SCALE)));
    pango_font_description_set_weight(fonte_.get(), negrito ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
    pango_layout_set_font_description(layout_.get(), fonte_.get());
    pango_layout_set_width(layout_.get(), largura < 0 ? -1 : pango_units(largura));
    pango_layout_set_alignment(layout_.get(), alinha == Alinha::Centro    ? PANGO_ALIGN_CENTER
                                              : alinha == Alinha::Direita ? PANGO_ALIGN_RIGHT
                                                                          : PANGO_ALIGN_LEFT);
    pango_layout_set_text(layout_.get(), s.data(), static_cast<int>(s.size()));
  }

  // Draws the prepared layout at (x, y); answers its height.
  double mostra(double x, double y) {
    cairo_move_to(cr_, x, y);
    pango_cairo_show_layout(cr_, layout_.get());
    int w = 0;
    int h = 0;
    pango_layout_get_size(layout_.get(), &w, &h);
    return from_pango(h);
  }

  cairo_t* cr_;
  double x_;
  double largura_;
  double y_;
  std::unique_ptr<PangoLayout, GObjectDeleter> layout_;
  std::unique_ptr<PangoFontDescription, FontDeleter> fonte_;
};

struct Imagens {
  Surface logo;
  Surface qrcode;
};

double tamanho(const LayoutDanfe& l, EstiloDanfe estilo) {
  switch (estilo) {
    case EstiloDanfe::Titulo: return l.fonte_titulo_pt;
    case EstiloDanfe::Pequena: return l.fonte_pequena_pt;
    case EstiloDanfe::Corpo: break;
  }
  return l.fonte_pt;
}

// The whole receipt; answers the height of the page.
double desenha(cairo_t* cr, const DanfeNfce& d, bool resumido, const LayoutDanfe& l, const Imagens& imagens) {
  Desenho p(cr, l);
  for (const BlocoDanfe& b : blocos_danfe(d, resumido, imagens.logo != nullptr, imagens.qrcode != nullptr)) {
    switch (b.tipo) {
      case BlocoDanfe::Tipo::Texto: p.texto(b.texto, tamanho(l, b.estilo), b.negrito, b.alinha); break;
      case BlocoDanfe::Tipo::Par: p.par(b.texto, b.direita, tamanho(l, b.estilo), b.negrito); break;
      case BlocoDanfe::Tipo::Separador: p.separador(); break;
      case BlocoDanfe::Tipo::Espaco: p.espaco(b.espaco_mm); break;
      case BlocoDanfe::Tipo::Logo: p.imagem(imagens.logo.get(), p.largura() * 0.6, 18, false); break;
      case BlocoDanfe::Tipo::QrCode: p.imagem(imagens.qrcode.get(), l.qrcode_mm, l.qrcode_mm, true); break;
    }
  }
  return p.y() + l.margem_inferior_mm;
}

std::optional<double> numero(const IniFile& ini, const char* key, double fallback, std::string& erro) {
  const std::string value = ini.get(LayoutDanfe::kSecao, key);
  if (value.empty()) return fallback;
  std::string normal = value;
  std::replace(normal.begin(), normal.end(), ',', '.');
  char* end = nullptr;
  const double parsed = std::strtod(normal.c_str(), &end);
  if (end == normal.c_str() || *end != '\0' || !std::isfinite(parsed) || parsed < 0) {
    erro = std::string{"Valor inválido para "} + key + " no arquivo " + LayoutDanfe::kArquivo + ": " + value;
    return std::nullopt;
  }
  return parsed;
}

}  // namespace

LayoutDanfe LayoutDanfe::padrao(double largura_mm) {
  LayoutDanfe l;
  if (largura_mm < 70) {
    l.largura_mm = 58;
    l.margem_esquerda_mm = 2;
    l.margem_direita_mm = 2;
    l.fonte_pt = 6.5;
    l.fonte_titulo_pt = 7.5;
    l.fonte_pequena_pt = 5.5;
    l.qrcode_mm = 30;
  }
  return l;
}

int le_layout_danfe(const std::string& path, LayoutDanfe& layout, std::string& erro) {
  IniFile ini(path);
  if (!ini.load()) {
    erro = std::string{"Erro ao ler o arquivo "} + LayoutDanfe::kArquivo + ".";
    return 0;
  }
  const auto largura = numero(ini, "largura_mm", 80, erro);
  if (!largura) return 0;
  if (*largura != 80 && *largura != 58) {
    erro = std::string{"Largura de papel não suportada no arquivo "} + LayoutDanfe::kArquivo +
           " (80 ou 58 mm): " + decimal_text(*largura);
    return 0;
  }
  LayoutDanfe l = LayoutDanfe::padrao(*largura);
  struct Campo {
    const char* key;
    double* target;
    double minimo;
    double maximo;
  };
  const std::array<Campo, 8> campos{{
      {"margem_esquerda_mm", &l.margem_esquerda_mm, 0, 20},
      {"margem_direita_mm", &l.margem_direita_mm, 0, 20},
      {"margem_superior_mm", &l.margem_superior_mm, 0, 50},
      {"margem_inferior_mm", &l.margem_inferior_mm, 0, 50},
      {"fonte_pt", &l.fonte_pt, 4, 20},
      {"fonte_titulo_pt", &l.fonte_titulo_pt, 4, 24},
      {"fonte_pequena_pt", &l.fonte_pequena_pt, 4, 20},
      {"qrcode_mm", &l.qrcode_mm, 20, l.largura_mm},
  }};
  for (const Campo& campo : campos) {
    const auto value = numero(ini, campo.key, *campo.target, erro);
    if (!value) return 0;
    if (*value < campo.minimo || *value > campo.maximo) {
      erro = std::string{"Valor fora da faixa para "} + campo.key + " no arquivo " + LayoutDanfe::kArquivo + ": " +
             decimal_text(*value);
      return 0;
    }
    *campo.target = *value;
  }
  if (l.margem_esquerda_mm + l.margem_direita_mm > l.largura_mm / 2) {
    erro = std::string{"Margens maiores que a metade do papel no arquivo "} + LayoutDanfe::kArquivo + ".";
    return 0;
  }
  const auto dpi = numero(ini, "resolucao_dpi", l.resolucao_dpi, erro);
  if (!dpi) return 0;
  if (*dpi < 72 || *dpi > 600) {
    erro = std::string{"Valor fora da faixa para resolucao_dpi no arquivo "} + LayoutDanfe::kArquivo + ".";
    return 0;
  }
  l.resolucao_dpi = static_cast<int>(*dpi);
  l.fonte = ini.get(LayoutDanfe::kSecao, "fonte", l.fonte);
  l.logo = ini.get(LayoutDanfe::kSecao, "logo");
  if (!l.logo.empty() && l.logo.front() != '/') l.logo = working_file(l.logo);
  l.impressora = ini.get(LayoutDanfe::kSecao, "impressora");
  layout = std::move(l);
  return 1;
}

int desenha_danfe(const DanfeNfce& danfe, bool resumido, const LayoutDanfe& layout, const std::string& pdf,
                  const std::string& png, std::string& erro, double* altura_mm) {
  Imagens imagens;
  if (!layout.logo.empty()) imagens.logo = le_png(layout.logo);
  std::error_code ec;
  const std::string arquivo_qr = danfe.arquivo_qrcode();
  if (std::filesystem::is_regular_file(arquivo_qr, ec)) imagens.qrcode = le_bmp(arquivo_qr);
  if (!imagens.qrcode && !danfe.url_qrcode.empty()) imagens.qrcode = codifica_qrcode(danfe.url_qrcode);

  // Measuring pass.
  const Surface medida{cairo_recording_surface_create(CAIRO_CONTENT_COLOR_ALPHA, nullptr)};
  double altura = 0;
  {
    const Cairo cr{cairo_create(medida.get())};
    altura = desenha(cr.get(), danfe, resumido, layout, imagens);
  }
  if (altura_mm != nullptr) *altura_mm = altura;
  const double mm_para_pontos = kPontosPorPolegada / kMmPorPolegada;

  if (!pdf.empty()) {
    const Surface surface{
        cairo_pdf_surface_create(pdf.c_str(), layout.largura_mm * mm_para_pontos, altura * mm_para_pontos)};
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) {
      erro = "Erro ao criar o arquivo " + pdf + ": " + cairo_status_to_string(cairo_surface_status(surface.get()));
      return 0;
    }
    cairo_pdf_surface_set_metadata(surface.get(), CAIRO_PDF_METADATA_TITLE, "DANFE NFCe");
    {
      const Cairo cr{cairo_create(surface.get())};
      cairo_scale(cr.get(), mm_para_pontos, mm_para_pontos);
      desenha(cr.get(), danfe, resumido, layout, imagens);
      cairo_show_page(cr.get());
    }
    cairo_surface_finish(surface.get());
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) {
      erro = "Erro ao gravar o arquivo " + pdf + ": " + cairo_status_to_string(cairo_surface_status(surface.get()));
      return 0;
    }
  }

  if (!png.empty()) {
    const double px_por_mm = layout.resolucao_dpi / kMmPorPolegada;
    const auto largura_px = static_cast<int>(std::lround(layout.largura_mm * px_por_mm));
    const auto altura_px = static_cast<int>(std::lround(altura * px_por_mm));
    const Surface surface = nova_imagem(largura_px, altura_px);
    if (!surface) {
      erro =
          "Erro ao criar a imagem do DANFE (" + std::to_string(largura_px) + " x " + std::to_string(altura_px) + ").";
      return 0;
    }
    {
      const Cairo cr{cairo_create(surface.get())};
      cairo_set_source_rgb(cr.get(), 1, 1, 1);
      cairo_paint(cr.get());
      cairo_scale(cr.get(), px_por_mm, px_por_mm);
      desenha(cr.get(), danfe, resumido, layout, imagens);
    }
    const cairo_status_t status = cairo_surface_write_to_png(surface.get(), png.c_str());
    if (status != CAIRO_STATUS_SUCCESS) {
      erro = "Erro ao gravar o arquivo " + png + ": " + cairo_status_to_string(status);
      return 0;
    }
  }
  return 1;
}

}  // namespace fvn
