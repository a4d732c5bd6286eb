#include "sim_tables.h"

#include <array>

namespace fvn::sim {

namespace {

struct Status {
  int code;
  std::string_view message;
};

// The codes the simulator answers with, and their official messages.
constexpr std::array<Status, 36> kStatuses = {{
    {100, "Autorizado o uso da NF-e"},
    {107, "Serviço em Operação"},
    {135, "Evento registrado e vinculado a NF-e"},
    {204, "Duplicidade de NF-e"},
    {207, "Rejeição: CNPJ do emitente inválido"},
    {208, "Rejeição: CNPJ do destinatário inválido"},
    {213, "Rejeição: CNPJ-Base do Emitente difere do CNPJ-Base do Certificado Digital"},
    {217, "Rejeição: NF-e não consta na base de dados da SEFAZ"},
    {225, "Rejeição: Falha no Schema XML do lote de NFe"},
    {226, "Rejeição: Código da UF do Emitente diverge da UF autorizadora"},
    {236, "Rejeição: Chave de Acesso com dígito verificador inválido"},
    {237, "Rejeição: CPF do destinatário inválido"},
    {243, "Rejeição: XML Mal Formado"},
    {252, "Rejeição: Ambiente informado diverge do Ambiente de recebimento"},
    {502, "Rejeição: Erro na Chave de Acesso - Campo Id não corresponde à concatenação dos campos correspondentes"},
    {531, "Rejeição: Total da BC ICMS difere do somatório dos itens"},
    {532, "Rejeição: Total do ICMS difere do somatório dos itens"},
    {533, "Rejeição: Total da BC ICMS-ST difere do somatório dos itens"},
    {534, "Rejeição: Total do ICMS-ST difere do somatório dos itens"},
    {535, "Rejeição: Total do Frete difere do somatório dos itens"},
    {536, "Rejeição: Total do Seguro difere do somatório dos itens"},
    {537, "Rejeição: Total do Desconto difere do somatório dos itens"},
    {538, "Rejeição: Total do IPI difere do somatório dos itens"},
    {539, "Duplicidade de NF-e com diferença na Chave de Acesso"},
    {564, "Rejeição: Total do Produto / Serviço difere do somatório dos itens"},
    {580, "Rejeição: O evento exige uma NF-e autorizada"},
    {601, "Rejeição: Total do II difere do somatório dos itens"},
    {602, "Rejeição: Total do PIS difere do somatório dos itens sujeitos ao ICMS"},
    {603, "Rejeição: Total do COFINS difere do somatório dos itens sujeitos ao ICMS"},
    {604, "Rejeição: Total do vOutro difere do somatório dos itens"},
    {610, "Rejeição: Total da NF difere do somatório dos Valores compõe o valor Total da NF."},
    {703, "Rejeição: Data-Hora de Emissão posterior ao horário de recebimento"},
    {704, "Rejeição: NFC-e com Data-Hora de emissão atrasada"},
    {775, "Rejeição: Modelo da NFC-e diferente de 65"},
    {110, "Uso Denegado"},
    {999, "Rejeição: Erro não catalogado"},
}};

struct Uf {
  int code;
  std::string_view uf;
  std::string_view production;
  std::string_view homologation;
};

constexpr std::array<Uf, 27> kUfs = {{
    {11, "RO", "www.sefin.ro.gov.br/nfce/consulta", "www.sefin.ro.gov.br/nfce/consulta"},
    {12, "AC", "www.sefaznet.ac.gov.br/nfce/consulta", "www.sefaznet.ac.gov.br/nfce/consulta"},
    {13, "AM", "www.sefaz.am.gov.br/nfce/consulta", "www.sefaz.am.gov.br/nfce/consulta"},
    {14, "RR", "www.sefaz.rr.gov.br/nfce/consulta", "www.sefaz.rr.gov.br/nfce/consulta"},
    {15, "PA", "www.sefa.pa.gov.br/nfce/consulta", "www.sefa.pa.gov.br/nfce/consulta"},
    {16, "AP", "www.sefaz.ap.gov.br/nfce/consulta", "www.sefaz.ap.gov.br/nfce/consulta"},
    {17, "TO", "www.sefaz.to.gov.br/nfce/consulta", "http://homologacao.sefaz.to.gov.br/nfce/consulta.jsf"},
    {21, "MA", "www.sefaz.ma.gov.br/nfce/consulta", "www.sefaz.ma.gov.br/nfce/consulta"},
    {22, "PI", "www.sefaz.pi.gov.br/nfce/consulta", "www.sefaz.pi.gov.br/nfce/consulta"},
    {23, "CE", "www.sefaz.ce.gov.br/nfce/consulta", "www.sefaz.ce.gov.br/nfce/consulta"},
    {24, "RN", "www.set.rn.gov.br/nfce/consulta", "www.set.rn.gov.br/nfce/consulta"},
    {25, "PB", "www.sefaz.pb.gov.br/nfce/consulta", "www.sefaz.pb.gov.br/nfcehom"},
    {26, "PE", "nfce.sefaz.pe.gov.br/nfce/consulta", "nfce.sefaz.pe.gov.br/nfce/consulta"},
    {27, "AL", "www.sefaz.al.gov.br/nfce/consulta", "www.sefaz.al.gov.br/nfce/consulta"},
    {28, "SE", "http://www.nfce.se.gov.br/nfce/consulta", "http://www.hom.nfe.se.gov.br/nfce/consulta"},
    {29, "BA", "http://www.sefaz.ba.gov.br/nfce/consulta", "http://hinternet.sefaz.ba.gov.br/nfce/consulta"},
    {31, "MG", "https://portalsped.fazenda.mg.gov.br/portalnfce", "https://hportalsped.fazenda.mg.gov.br/portalnfce"},
    {32, "ES", "www.sefaz.es.gov.br/nfce/consulta", "www.sefaz.es.gov.br/nfce/consulta"},
    {33, "RJ", "www.fazenda.rj.gov.br/nfce/consulta", "www.fazenda.rj.gov.br/nfce/consulta"},
    {35, "SP", "https://www.nfce.fazenda.sp.gov.br/NFCeConsultaPublica",
     "https://www.homologacao.nfce.fazenda.sp.gov.br/NFCeConsultaPublica"},
    {41, "PR", "http://www.fazenda.pr.gov.br/nfce/consulta", "http://www.fazenda.pr.gov.br/nfce/consulta"},
    {42, "SC", "https://sat.sef.sc.gov.br/nfce/consulta", "https://hom.sat.sef.sc.gov.br/nfce/consulta"},
    {43, "RS", "www.sefaz.rs.gov.br/nfce/consulta", "www.sefaz.rs.gov.br/nfce/consulta"},
    {50, "MS", "http://www.dfe.ms.gov.br/nfce/consulta", "http://www.dfe.ms.gov.br/nfce/consulta"},
    {51, "MT", "http://www.sefaz.mt.gov.br/nfce/consultanfce", "http://homologacao.sefaz.mt.gov.br/nfce/consultanfce"},
    {52, "GO", "www.sefaz.go.gov.br/nfce/consulta", "www.nfce.go.gov.br/post/ver/214413/consulta-nfc-e-homologacao"},
    {53, "DF", "www.fazenda.df.gov.br/nfce/consulta", "www.fazenda.df.gov.br/nfce/consulta"},
}};

}  // namespace

std::string_view cstat_message(int code) {
  for (const Status& status : kStatuses) {
    if (status.code == code) return status.message;
  }
  return {};
}

std::string cstat_text(int code, std::string_view detail) {
  std::string text = std::to_string(code) + " - ";
  const std::string_view message = cstat_message(code);
  text += message.empty() ? std::string_view{"Rejeição"} : message;
  if (!detail.empty()) {
    text += " - ";
    text += detail;
  }
  return text;
}

std::string_view uf_of_code(int code) {
  for (const Uf& uf : kUfs) {
    if (uf.code == code) return uf.uf;
  }
  return {};
}

std::string consultation_address(int environment, int uf_code) {
  for (const Uf& uf : kUfs) {
    if (uf.code != uf_code) continue;
    const std::string_view address = environment == 1 ? uf.production : uf.homologation;
    if (address.starts_with("http://") || address.starts_with("https://")) return std::string{address};
    return "https://" + std::string{address};
  }
  return {};
}

}  // namespace fvn::sim
