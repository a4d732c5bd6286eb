#include "nfce/nfce_documento.h"

#include "runtime/text.h"

namespace fvn {

NFCE_DOCUMENTO::NFCE_DOCUMENTO(HostUi& ui) : FORMATA(ui), relogio_([] { return Momento{today(), clock_now()}; }) {
  FORMATA.SEPARADOR_DECIMAL = ".";
}

void NFCE_DOCUMENTO::set_pasta_nfce(std::string folder) {
  if (!folder.empty() && folder.back() != '/') folder += '/';
  pasta_ = std::move(folder);
}

std::string NFCE_DOCUMENTO::arquivo_xml(std::int32_t id) const {
  std::string digits = std::to_string(id);
  if (digits.size() < 8) digits.insert(0, 8 - digits.size(), '0');
  return pasta_ + digits + ".xml";
}

bool NFCE_DOCUMENTO::escreve(std::string_view linha, std::string_view funcao) {
  if (TEXT.add_line(linha) == 1) return true;
  set_error(TEXT.error_text(), 0, funcao);
  falha_escrita_ = true;
  return false;
}

bool NFCE_DOCUMENTO::consumidor(std::string_view nome) {
  return text::clip(FORMATA.Remove_Acentos(text::upper(nome))) == "CONSUMIDOR";
}

void NFCE_DOCUMENTO::SomasIcms::soma(const SomasIcms& item) {
  base += item.base;
  icms += item.icms;
  base_st += item.base_st;
  st += item.st;
  fcp += item.fcp;
  fcp_st += item.fcp_st;
  fcp_st_retido += item.fcp_st_retido;
}

}  // namespace fvn
