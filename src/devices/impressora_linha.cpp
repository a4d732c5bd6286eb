#include "devices/impressora_linha.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>

#include <cups/cups.h>

#include "runtime/text.h"

namespace fvn::devices {

namespace {

constexpr std::size_t kMaximoBytes = 1024;

struct Portas {
  std::array<std::string, 9> com{"/dev/ttyS0", "/dev/ttyS1", "/dev/ttyS2", "/dev/ttyS3", "/dev/ttyS4",
                                 "/dev/ttyS5", "/dev/ttyS6", "/dev/ttyS7", "/dev/ttyS8"};
  std::array<std::string, 9> lpt{"/dev/lp0", "/dev/lp1", "/dev/lp2", "/dev/lp3", "/dev/lp4",
                                 "/dev/lp5", "/dev/lp6", "/dev/lp7", "/dev/lp8"};
  std::string fila;
};

Portas& portas() {
  static thread_local Portas p;
  return p;
}

// The slot of "COMn" / "LPTn" (case-insensitive), or nullptr.
std::string* porta_nomeada(std::string_view nome) {
  if (nome.size() != 4 || nome[3] < '1' || nome[3] > '9') return nullptr;
  const std::string prefixo = text::upper(nome.substr(0, 3));
  const auto n = static_cast<std::size_t>(nome[3] - '1');
  if (prefixo == "COM") return &portas().com[n];
  if (prefixo == "LPT") return &portas().lpt[n];
  return nullptr;
}

bool compartilhada(std::string_view nome) {
  return nome.size() >= 2 && (nome[0] == '\\' || nome[0] == '/') && nome[1] == nome[0];
}

bool escreve_tudo(int fd, std::string_view dados) {
  while (!dados.empty()) {
    const ssize_t n = ::write(fd, dados.data(), dados.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    dados.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

// A raw CUPS job: one document, written in pieces.
struct TrabalhoCups {
  std::string fila;
  int id = 0;

  bool inicia(const std::string& nome_fila, const char* titulo) {
    fila = nome_fila;
    if (fila.empty()) {
      const char* padrao = cupsGetDefault();
      if (padrao == nullptr) return false;
      fila = padrao;
    }
    id = cupsCreateJob(CUPS_HTTP_DEFAULT, fila.c_str(), titulo, 0, nullptr);
    if (id <= 0) return false;
    if (cupsStartDocument(CUPS_HTTP_DEFAULT, fila.c_str(), id, titulo, CUPS_FORMAT_RAW, 1) != HTTP_STATUS_CONTINUE) {
      cupsCancelJob(fila.c_str(), id);
      id = 0;
      return false;
    }
    return true;
  }
  bool escreve(std::string_view dados) const {
    return dados.empty() || cupsWriteRequestData(CUPS_HTTP_DEFAULT, dados.data(), dados.size()) == HTTP_STATUS_CONTINUE;
  }
  bool termina() {
    const bool ok = cupsFinishDocument(CUPS_HTTP_DEFAULT, fila.c_str()) == IPP_STATUS_OK;
    id = 0;
    return ok;
  }
};

std::optional<TrabalhoCups>& trabalho_aberto() {
  static thread_local std::optional<TrabalhoCups> t;
  return t;
}

}  // namespace

bool define_porta_linha(std::string_view nome, std::string caminho) {
  std::string* slot = porta_nomeada(nome);
  if (slot == nullptr) return false;
  *slot = std::move(caminho);
  return true;
}

void define_fila_linha(std::string fila) { portas().fila = std::move(fila); }

std::int32_t IMPLINHA(std::int32_t acao, std::string_view texto, std::int32_t modo, std::string_view porta,
                      std::int32_t quantidade, std::int32_t linha) {
  std::string dados;
  if (linha != 0) {
    dados = text::clip(texto.substr(0, std::min(texto.size(), kMaximoBytes)));
  } else {
    if (quantidade < 0 || static_cast<std::size_t>(quantidade) > std::min(texto.size(), kMaximoBytes)) return 0;
    dados = std::string{texto.substr(0, static_cast<std::size_t>(quantidade))};
  }

  if (modo == 2) {
    const std::string* nomeada = porta_nomeada(porta);
    const std::string caminho = nomeada != nullptr ? *nomeada : std::string{porta};
    if (caminho.empty()) return 0;
    int fd = ::open(caminho.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) fd = ::open(caminho.c_str(), O_WRONLY | O_CREAT | O_NOCTTY | O_CLOEXEC, 0644);
    if (fd < 0) return 0;
    struct stat info {};
    const bool arquivo = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    bool ok = true;
    if (nomeada == nullptr && !compartilhada(porta) && arquivo) ok = ::lseek(fd, 0, SEEK_END) >= 0;
    ok = ok && escreve_tudo(fd, dados);
    if (::close(fd) != 0) ok = false;
    return ok ? 1 : 0;
  }
  if (modo != 1) return 0;

  auto& trabalho = trabalho_aberto();
  switch (acao) {
    case 1: {
      if (trabalho) trabalho->termina();  // a job left open by a caller that never ended it
      TrabalhoCups novo;
      if (!novo.inicia(portas().fila, "PRINTJOB")) {
        trabalho.reset();
        return 0;
      }
      trabalho = novo;
      return trabalho->id;
    }
    case 0:
      if (!trabalho || !trabalho->escreve(dados)) return 0;
      return static_cast<std::int32_t>(dados.size());
    case 2: {
      if (!trabalho) return 0;
      const bool ok = trabalho->termina();
      trabalho.reset();
      return ok ? 1 : 0;
    }
    default: return 0;
  }
}

int envia_bruto(const std::string& destino, std::string_view dados, std::string& erro) {
  if (destino.rfind("cups:", 0) == 0) {
    TrabalhoCups trabalho;
    if (!trabalho.inicia(destino.substr(5), "DANFE NFCe")) {
      erro = "Erro ao abrir a fila de impressão " + (destino.size() > 5 ? destino.substr(5) : std::string{"padrão"}) +
             ".|" + cupsLastErrorString();
      return 0;
    }
    const bool escrito = trabalho.escreve(dados);
    if (!trabalho.termina() || !escrito) {
      erro = "Erro ao enviar à fila de impressão " + trabalho.fila + ".|" + cupsLastErrorString();
      return 0;
    }
    return 1;
  }
  const int fd = ::open(destino.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOCTTY | O_CLOEXEC, 0644);
  if (fd < 0) {
    erro = "Erro ao abrir " + destino + ": " + std::strerror(errno);
    return 0;
  }
  const bool escrito = escreve_tudo(fd, dados);
  const int erro_escrita = errno;
  if (::close(fd) != 0 || !escrito) {
    erro = "Erro ao gravar em " + destino + ": " + std::strerror(escrito ? errno : erro_escrita);
    return 0;
  }
  return 1;
}

void Caneta::aplica(cairo_t* cr) const { cairo_set_source_rgb(cr, r, g, b); }

int picria(ObjetosDesenho& o, int altura, int largura, const std::array<std::uint32_t, 6>& cores, int fonte_altura,
           int fonte_largura) {
  pidestroi(o);
  if (altura < 1 || largura < 1 || altura > 16384 || largura > 16384) return 0;
  o.imagem = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, largura, altura);
  o.mascara = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, largura, altura);
  if (cairo_surface_status(o.imagem) != CAIRO_STATUS_SUCCESS ||
      cairo_surface_status(o.mascara) != CAIRO_STATUS_SUCCESS) {
    pidestroi(o);
    return 0;
  }
  o.contexto_imagem = cairo_create(o.imagem);
  o.contexto_mascara = cairo_create(o.mascara);
  // Transparent background: text and shapes leave the rest untouched.
  cairo_set_operator(o.contexto_imagem, CAIRO_OPERATOR_OVER);
  o.fonte = pango_font_description_new();
  pango_font_description_set_family(o.fonte, "Monospace");
  pango_font_description_set_absolute_size(o.fonte, std::max(fonte_altura, 1) * PANGO_SCALE);
  pango_font_description_set_weight(o.fonte, PANGO_WEIGHT_NORMAL);
  // The width asked for becomes a horizontal stretch when it is narrower
  // or wider than the font's own.
  const int razao = fonte_altura > 0 ? fonte_largura * 100 / fonte_altura : 50;
  pango_font_description_set_stretch(o.fonte, razao < 40   ? PANGO_STRETCH_CONDENSED
                                              : razao > 70 ? PANGO_STRETCH_EXPANDED
                                                           : PANGO_STRETCH_NORMAL);
  o.fonte_pequena = pango_font_description_new();
  pango_font_description_set_family(o.fonte_pequena, "Sans");
  pango_font_description_set_absolute_size(o.fonte_pequena, 10 * PANGO_SCALE);
  pango_font_description_set_weight(o.fonte_pequena, PANGO_WEIGHT_NORMAL);
  for (std::size_t i = 0; i < cores.size(); ++i) {
    o.canetas[i] =
        Caneta{static_cast<double>((cores[i] >> 16U) & 0xFFU) / 255.0,
               static_cast<double>((cores[i] >> 8U) & 0xFFU) / 255.0, static_cast<double>(cores[i] & 0xFFU) / 255.0};
  }
  for (cairo_t* cr : {o.contexto_imagem, o.contexto_mascara}) cairo_set_line_width(cr, 1.0);
  o.pincel = o.canetas[2];
  o.pincel_vazio = true;
  return 1;
}

void pidestroi(ObjetosDesenho& o) {
  if (o.contexto_imagem != nullptr) cairo_destroy(o.contexto_imagem);
  if (o.contexto_mascara != nullptr) cairo_destroy(o.contexto_mascara);
  if (o.imagem != nullptr) cairo_surface_destroy(o.imagem);
  if (o.mascara != nullptr) cairo_surface_destroy(o.mascara);
  if (o.fonte != nullptr) pango_font_description_free(o.fonte);
  if (o.fonte_pequena != nullptr) pango_font_description_free(o.fonte_pequena);
  o = ObjetosDesenho{};
}

}  // namespace fvn::devices
