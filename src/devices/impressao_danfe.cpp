#include "devices/impressao_danfe.h"

#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <regex>

#include <cups/cups.h>

#include "data/passthrough_table.h"
#include "data/sql_values.h"
#include "devices/danfe_dados.h"
#include "devices/danfe_desenho.h"
#include "devices/danfe_layout.h"
#include "devices/impressora_linha.h"
#include "runtime/host_ui.h"
#include "runtime/ini_file.h"
#include "runtime/text.h"
#include "runtime/working_folder.h"

namespace fvn {

namespace {

// Removes a file when it goes out of scope.
class ArquivoTemporario {
 public:
  explicit ArquivoTemporario(std::string path) : path_(std::move(path)) {}
  ~ArquivoTemporario() {
    std::error_code ec;
    std::filesystem::remove(path_, ec);
  }
  ArquivoTemporario(const ArquivoTemporario&) = delete;
  ArquivoTemporario& operator=(const ArquivoTemporario&) = delete;
  [[nodiscard]] const std::string& path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace

int le_impressao_estacao(const IniFile& config, ImpressaoEstacao& impressao, std::string& erro) {
  ImpressaoEstacao lida;
  const std::string tipo = text::trim(config.get("station", "receipt", "pdf"));
  const std::string colunas = text::trim(config.get("station", "receipt_columns", "48"));
  const std::string qr = text::trim(config.get("station", "receipt_qr", "native"));
  if (tipo != "pdf" && tipo != "escpos") {
    erro = "[station] receipt deve ser pdf ou escpos: " + tipo;
    return 0;
  }
  if (colunas != "48" && colunas != "32") {
    erro = "[station] receipt_columns deve ser 48 ou 32: " + colunas;
    return 0;
  }
  if (qr != "native" && qr != "raster") {
    erro = "[station] receipt_qr deve ser native ou raster: " + qr;
    return 0;
  }
  lida.escpos = tipo == "escpos";
  lida.dispositivo = text::trim(config.get("station", "receipt_device"));
  if (lida.escpos && lida.dispositivo.empty()) {
    erro = "[station] receipt_device é necessário para o recibo escpos.";
    return 0;
  }
  lida.opcoes.colunas = colunas == "32" ? 32 : 48;
  lida.opcoes.qrcode_nativo = qr == "native";
  impressao = std::move(lida);
  return 1;
}

IMPRESSAO_DANFE::IMPRESSAO_DANFE(HostUi& ui) : ui_(ui) {}

void IMPRESSAO_DANFE::set_connection(std::string connection_text) { connection_ = std::move(connection_text); }

int IMPRESSAO_DANFE::prepara(std::int32_t ide, DanfeNfce& danfe, LayoutDanfe& layout, const char* funcao) {
  std::string erro;
  if (le_layout_danfe(working_file(kLayout), layout, erro) != 1) return set_error(erro, 0, funcao);
  if (le_danfe(connection_, ide, danfe, erro) != 1) return set_error(erro, 0, funcao);
  return 1;
}

int IMPRESSAO_DANFE::Gera_PDF(std::int32_t ide, std::int32_t resumido, const std::string& pdf_path,
                              const std::string& png_path) {
  static constexpr const char* kFuncao = "Gera_PDF";
  if (pdf_path.empty() && png_path.empty()) return set_error("Nenhum arquivo de saída informado.", 0, kFuncao);
  DanfeNfce danfe;
  LayoutDanfe layout;
  if (prepara(ide, danfe, layout, kFuncao) != 1) return 0;
  std::string erro;
  if (desenha_danfe(danfe, resumido != 0, layout, pdf_path, png_path, erro) != 1) return set_error(erro, 0, kFuncao);
  return 1;
}

int IMPRESSAO_DANFE::Gera_EscPos(std::int32_t ide, std::int32_t resumido, const std::string& destino,
                                 const OpcoesEscPos& opcoes) {
  static constexpr const char* kFuncao = "Gera_EscPos";
  if (destino.empty()) return set_error("Nenhum dispositivo de saída informado.", 0, kFuncao);
  DanfeNfce danfe;
  LayoutDanfe layout;
  if (prepara(ide, danfe, layout, kFuncao) != 1) return 0;
  std::string erro;
  if (devices::envia_bruto(destino, danfe_escpos(danfe, resumido != 0, opcoes), erro) != 1)
    return set_error(erro, 0, kFuncao);
  return 1;
}

int IMPRESSAO_DANFE::Imprime(std::int32_t ide, std::int32_t resumido, const std::string& impressora) {
  static constexpr const char* kFuncao = "Imprime";
  ultima_impressora_.clear();
  ultimo_trabalho_ = 0;
  if (impressao_.escpos) {
    if (Gera_EscPos(ide, resumido, impressao_.dispositivo, impressao_.opcoes) != 1) {
      ERROR_FUNCTION = kFuncao;
      return 0;
    }
    ultima_impressora_ = impressao_.dispositivo;
    return 1;
  }
  DanfeNfce danfe;
  LayoutDanfe layout;
  if (prepara(ide, danfe, layout, kFuncao) != 1) return 0;
  std::string destino = !impressora.empty() ? impressora : layout.impressora;
  if (destino.empty()) {
    const char* padrao = cupsGetDefault();
    if (padrao == nullptr) {
      return set_error(
          std::string{"Nenhuma impressora padrão encontrada para imprimir o DANFE.|"} + cupsLastErrorString(), 0,
          kFuncao);
    }
    destino = padrao;
  }
  const ArquivoTemporario pdf(
      working_file("danfe-" + std::to_string(ide) + "-impressao-" + std::to_string(::getpid()) + ".pdf"));
  std::string erro;
  double altura = 0;
  if (desenha_danfe(danfe, resumido != 0, layout, pdf.path(), {}, erro, &altura) != 1) {
    return set_error(erro, 0, kFuncao);
  }
  // The roll's width and the receipt's own length.
  const std::string media = "Custom." + std::to_string(static_cast<int>(layout.largura_mm)) + "x" +
                            std::to_string(static_cast<int>(std::ceil(altura))) + "mm";
  cups_option_t* options = nullptr;
  int count = cupsAddOption("media", media.c_str(), 0, &options);
  count = cupsAddOption("fit-to-page", "false", count, &options);
  const int job = cupsPrintFile(destino.c_str(), pdf.path().c_str(), kTitulo, count, options);
  cupsFreeOptions(count, options);
  if (job == 0) {
    return set_error("Erro ao imprimir o DANFE na impressora " + destino + ".|" + cupsLastErrorString(), 0, kFuncao);
  }
  ultima_impressora_ = destino;
  ultimo_trabalho_ = job;
  return 1;
}

std::string IMPRESSAO_DANFE::nome_previa(std::int32_t ide, std::int32_t resumido) {
  return "danfe-" + std::to_string(ide) + (resumido != 0 ? "-resumido" : "") + ".pdf";
}

int IMPRESSAO_DANFE::Imprime_Previa(const std::string& pdf) {
  static const std::regex kNome{R"(danfe-([0-9]{1,9})(-resumido)?\.pdf)"};
  const std::string nome = std::filesystem::path(pdf).filename().string();
  std::smatch partes;
  if (!std::regex_match(nome, partes, kNome)) {
    return set_error("O arquivo " + pdf + " não é a prévia de um DANFE.", 0, "Imprime_Previa");
  }
  return Imprime(std::stoi(partes[1].str()), partes[2].matched ? 1 : 0);
}

int IMPRESSAO_DANFE::falha_mostrada() {
  ui_.message(std::string{kMensagemFalha} + "|" + ERROR, kTituloFalha, MessageIcon::Exclamation);
  return 0;
}

int IMPRESSAO_DANFE::Imprime_Danfe(std::int32_t ide, std::int32_t imprime_resumido) {
  static constexpr const char* kFuncao = "Imprime_Danfe";
  ultimo_pdf_.clear();
  std::int32_t tipo = 0;
  std::string modo;
  {
    PassthroughTable serie("tseriesnf", connection_);
    serie.bind_long(tipo).bind_text(modo, 21);
    if (serie.open() != 1 ||
        serie.execute("select cforserie, s_tse_1report_manager from asaidas inner join tseriesnf on cserserie = "
                      "csrisaidas where cidesaidas = " +
                      sql_integer(ide)) != 1) {
      set_error(serie.error_text("Erro ao consultar a série da venda.|"), 0, kFuncao);
      return falha_mostrada();
    }
    if (serie.next() != 1) {
      set_error(serie.at_end() ? "Venda " + std::to_string(ide) + " não encontrada."
                               : serie.error_text("Erro ao ler a série da venda.|"),
                0, kFuncao);
      return falha_mostrada();
    }
  }
  if (tipo != kSerieNfce) return 1;
  if (text::trim(modo) == "1") {
    const std::string pdf = working_file(nome_previa(ide, imprime_resumido));
    if (Gera_PDF(ide, imprime_resumido, pdf) != 1) return falha_mostrada();
    ultimo_pdf_ = pdf;
    ui_.preview_document(kTitulo, pdf);
    return 1;
  }
  if (Imprime(ide, imprime_resumido) != 1) return falha_mostrada();
  return 1;
}

}  // namespace fvn
