#include "devices/danfe_desenho.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <memory>
#include <string_view>

#include <cairo-pdf.h>
#include <cairo.h>
#include <pango/pangocairo.h>

#include "devices/danfe_imagens.h"

namespace fvn {

namespace {

constexpr double kMmPorPolegada = 25.4;
constexpr double kPontosPorPolegada = 72.0;

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
using Cairo = std::unique_ptr<cairo_t, CairoDeleter>;

int pango_units(double mm) { return static_cast<int>(std::lround(mm * PANGO_SCALE)); }
double from_pango(int units) { return static_cast<double>(units) / PANGO_SCALE; }

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
  CairoSurface logo;
  CairoSurface qrcode;
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

}  // namespace

int desenha_danfe(const DanfeNfce& danfe, bool resumido, const LayoutDanfe& layout, const std::string& pdf,
                  const std::string& png, std::string& erro, double* altura_mm) {
  Imagens imagens;
  if (!layout.logo.empty()) imagens.logo = le_png(layout.logo);
  std::error_code ec;
  const std::string arquivo_qr = danfe.arquivo_qrcode();
  if (std::filesystem::is_regular_file(arquivo_qr, ec)) imagens.qrcode = le_bmp(arquivo_qr);
  if (!imagens.qrcode && !danfe.url_qrcode.empty()) imagens.qrcode = codifica_qrcode(danfe.url_qrcode);

  // Measuring pass.
  const CairoSurface medida{cairo_recording_surface_create(CAIRO_CONTENT_COLOR_ALPHA, nullptr)};
  double altura = 0;
  {
    const Cairo cr{cairo_create(medida.get())};
    altura = desenha(cr.get(), danfe, resumido, layout, imagens);
  }
  if (altura_mm != nullptr) *altura_mm = altura;
  const double mm_para_pontos = kPontosPorPolegada / kMmPorPolegada;

  if (!pdf.empty()) {
    const CairoSurface surface{
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
    const CairoSurface surface = nova_imagem(largura_px, altura_px);
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
