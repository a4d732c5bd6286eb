#include "screens/exportacao_xml.h"

#include <utility>

#include "runtime/text.h"
#include "service/nfce_processo.h"

namespace fvn {

namespace {

constexpr std::string_view kErrorTitle = "Erro!";
constexpr std::string_view kNoticeTitle = "Aviso do sistema";
constexpr std::size_t kPeriodCapacity = 20;
constexpr std::size_t kLinkCapacity = 200;

// The text after its first `count` characters.
std::string_view after(std::string_view text, std::size_t count) { return text.substr(text::cut(text, count).size()); }

}  // namespace

OrderedList<ExportEntry> parse_export_list(std::string_view result) {
  OrderedList<ExportEntry> entries;
  for (std::size_t end = result.find("\r\n"); end != std::string_view::npos; end = result.find("\r\n")) {
    const std::string_view line = result.substr(0, end);
    result.remove_prefix(end + 2);
    ExportEntry entry;
    entry.period = text::fit(text::cut(line, 2) + "/" + text::cut(after(line, 3), 4), kPeriodCapacity);
    entry.link = text::fit(after(line, 8), kLinkCapacity);
    entries.add(std::move(entry));
  }
  return entries;
}

SOLICITA_EXPORTACAO_XML::SOLICITA_EXPORTACAO_XML(HostUi& ui, NFCE_PROCESSO& processor, ExportCompany company)
    : ui_(ui), processor_(processor), company_(std::move(company)) {}

int SOLICITA_EXPORTACAO_XML::Abrir(Date today) {
  processor_.Carrega_Pastas(company_.code);
  if (processor_.Checar_Servidor(company_.cnpj, company_.group, company_.user, company_.password, "", 0, 0, 0) != 1) {
    error("Erro ao checar servidor.");
    return 0;
  }
  const int listed = Atualizar();
  period_ = today;
  period_focus_ = true;
  return listed;
}

int SOLICITA_EXPORTACAO_XML::Atualizar() {
  std::string result;
  if (processor_.Consultar_Exportacao(result) != 1) {
    error("Erro ao solicitar exportação.");
    return 0;
  }
  entries_ = parse_export_list(result);
  selected_ = entries_.records();
  return 1;
}

int SOLICITA_EXPORTACAO_XML::Exportar() {
  if (year_of(period_) == 0) {
    notice("Informe o mês/ano que deseja exportar os arquivos XML.");
    period_focus_ = true;
    return 0;
  }
  if (processor_.Solicitar_Exportacao(year_of(period_), month_of(period_)) != 1) {
    error("Erro ao solicitar exportação.");
    return 0;
  }
  return Atualizar();
}

int SOLICITA_EXPORTACAO_XML::Download() {
  ExportEntry entry;
  if (selected_ != 0) entries_.get(selected_, entry);
  const std::string link = text::clip(entry.link);
  if (link.empty()) {
    notice("Nenhum arquivo selecionado para download.");
    return 0;
  }
  if (text::upper(link).find("AGUARDE") != std::string::npos) {
    notice(
        "Arquivo em processamento.|Aguarde alguns segundos e clique em \"F5 - Atualizar\" para verificar se a "
        "requisição foi finalizada.");
    return 0;
  }
  const std::optional<std::string> folder = ui_.choose_folder(kFolderPrompt, processor_.download_folder());
  if (!folder || folder->empty()) return 0;
  if (processor_.Download_Exportacao(*folder, link) != 1) {
    error("Erro ao executar download do arquivo compactado.");
    return 0;
  }
  last_folder_ = *folder;
  notice("Download realizado com sucesso em " + *folder + ".");
  return 1;
}

bool SOLICITA_EXPORTACAO_XML::select(std::size_t position) {
  if (position < 1 || position > entries_.records()) return false;
  selected_ = position;
  return true;
}

bool SOLICITA_EXPORTACAO_XML::select_link(std::string_view link) {
  ExportEntry entry;
  for (std::size_t position = 1; position <= entries_.records(); ++position) {
    if (entries_.get(position, entry) && text::clip(entry.link) == link) {
      selected_ = position;
      return true;
    }
  }
  return false;
}

bool SOLICITA_EXPORTACAO_XML::take_period_focus() { return std::exchange(period_focus_, false); }

void SOLICITA_EXPORTACAO_XML::error(std::string_view context) {
  ui_.message(std::string{context} + "|Erro: " + processor_.Traduz_Erro(), kErrorTitle, MessageIcon::Error);
}

void SOLICITA_EXPORTACAO_XML::notice(std::string_view text) {
  ui_.message(text, kNoticeTitle, MessageIcon::Exclamation);
}

}  // namespace fvn
