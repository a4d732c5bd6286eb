#include "nfce/valida_totais.h"

#include <array>
#include <charconv>
#include <optional>

#include <pugixml.hpp>

#include "runtime/picture.h"
#include "runtime/rounding.h"
#include "runtime/text.h"

namespace fvn {

namespace {

// A TDec_1302-like amount ("0", "12", "12.34") in cents; std::nullopt for a
// sign, an exponent, more than two decimals or anything else that is not a
// plain decimal.
std::optional<std::int64_t> centavos(std::string_view texto) {
  std::size_t decimais = 0;
  bool ponto = false;
  for (const char c : texto) {
    if (c == '.' && !ponto) {
      ponto = true;
    } else if (text::is_digit(c)) {
      if (ponto && ++decimais > 2) return std::nullopt;
    } else {
      return std::nullopt;
    }
  }
  if (texto.empty() || texto.front() == '.' || texto.back() == '.') return std::nullopt;
  double valor = 0;
  const auto [fim, erro] = std::from_chars(texto.data(), texto.data() + texto.size(), valor);
  if (erro != std::errc{} || fim != texto.data() + texto.size()) return std::nullopt;
  return scaled_units(valor, 2);
}

std::string valor_texto(std::int64_t cents) {
  return text::trim(format_picture(static_cast<double>(cents) / 100.0, "@n-20`2"));
}

pugi::xml_node primeiro_elemento(pugi::xml_node no) {
  for (pugi::xml_node filho = no.first_child(); filho; filho = filho.next_sibling()) {
    if (filho.type() == pugi::node_element) return filho;
  }
  return {};
}

// Reads amounts, remembering the first one that does not read.
class Leitor {
 public:
  std::int64_t operator()(pugi::xml_node no, const char* nome) {
    const pugi::xml_node campo = no.child(nome);
    if (!campo) return 0;
    const std::string_view texto = campo.text().get();
    const auto valor = centavos(texto);
    if (valor) return *valor;
    if (erro.empty()) erro = "Valor ilegível em " + std::string{nome} + ": \"" + std::string{texto} + "\"";
    return 0;
  }
  std::string erro;
};

enum class Onde { Prod, ProdTotalizado, Icms, Ipi, Ii, Devol, PisCofins, Imposto };

struct Regra {
  const char* total;  // in ICMSTot
  Onde onde;
  const char* item;  // the item's tag
};

constexpr std::array<Regra, 19> kRegras = {{
    {"vBC", Onde::Icms, "vBC"},
    {"vICMS", Onde::Icms, "vICMS"},
    {"vICMSDeson", Onde::Icms, "vICMSDeson"},
    {"vFCP", Onde::Icms, "vFCP"},
    {"vBCST", Onde::Icms, "vBCST"},
    {"vST", Onde::Icms, "vICMSST"},
    {"vFCPST", Onde::Icms, "vFCPST"},
    {"vFCPSTRet", Onde::Icms, "vFCPSTRet"},
    {"vProd", Onde::ProdTotalizado, "vProd"},
    {"vFrete", Onde::Prod, "vFrete"},
    {"vSeg", Onde::Prod, "vSeg"},
    {"vDesc", Onde::Prod, "vDesc"},
    {"vII", Onde::Ii, "vII"},
    {"vIPI", Onde::Ipi, "vIPI"},
    {"vIPIDevol", Onde::Devol, "vIPIDevol"},
    {"vPIS", Onde::PisCofins, "PIS"},
    {"vCOFINS", Onde::PisCofins, "COFINS"},
    {"vOutro", Onde::Prod, "vOutro"},
    {"vTotTrib", Onde::Imposto, "vTotTrib"},
}};

// The item's share of rule `r`.
std::int64_t parcela(const Regra& r, pugi::xml_node det, Leitor& le) {
  const pugi::xml_node prod = det.child("prod");
  const pugi::xml_node imposto = det.child("imposto");
  switch (r.onde) {
    case Onde::Prod: return le(prod, r.item);
    case Onde::ProdTotalizado:
      if (imposto.child("ISSQN")) return 0;
      return std::string_view{prod.child("indTot").text().as_string("1")} == "1" ? le(prod, r.item) : 0;
    case Onde::Icms: return le(primeiro_elemento(imposto.child("ICMS")), r.item);
    case Onde::Ipi: return le(imposto.child("IPI").child("IPITrib"), r.item);
    case Onde::Ii: return le(imposto.child("II"), r.item);
    case Onde::Devol: return le(det.child("impostoDevol").child("IPI"), r.item);
    case Onde::PisCofins: {
      if (imposto.child("ISSQN")) return 0;
      const std::string valor = std::string{"v"} + r.item;
      return le(primeiro_elemento(imposto.child(r.item)), valor.c_str());
    }
    case Onde::Imposto: return le(imposto, r.item);
  }
  return 0;
}

std::string linha(const Divergencia_Total& d) {
  const bool nota = d.total == "vNF";
  const bool pagamentos = d.total == "vPag";
  std::string texto = pagamentos ? "Pagamentos menos troco (" : "Total " + d.total + " da nota (";
  texto += valor_texto(d.informado);
  texto += pagamentos ? ") diferem do total vNF ("
           : nota     ? ") difere do valor calculado ("
                      : ") difere da soma dos itens (";
  texto += valor_texto(d.soma_itens) + "): diferença de " + valor_texto(d.diferenca);
  return texto;
}

}  // namespace

Resultado_Totais Valida_Totais(std::string_view xml) {
  Resultado_Totais resultado;
  pugi::xml_document documento;
  if (!documento.load_buffer(xml.data(), xml.size())) {
    resultado.mensagem = "O XML da nota não pôde ser lido.";
    return resultado;
  }
  const pugi::xml_node inf =
      documento.find_node([](pugi::xml_node no) { return std::string_view{no.name()} == "infNFe"; });
  const pugi::xml_node tot = inf.child("total").child("ICMSTot");
  if (!inf || !tot) {
    resultado.mensagem = "O XML não traz os totais de uma nota (infNFe/total/ICMSTot).";
    return resultado;
  }

  Leitor le;
  const auto diverge = [&](const char* total, std::int64_t informado, std::int64_t soma) {
    if (informado != soma) resultado.divergencias.push_back({total, informado, soma, informado - soma});
  };
  for (const Regra& r : kRegras) {
    std::int64_t soma = 0;
    bool algum_item = false;
    for (pugi::xml_node det = inf.child("det"); det; det = det.next_sibling("det")) {
      soma += parcela(r, det, le);
      algum_item = algum_item || det.child("imposto").child(r.item);
    }
    if (r.onde == Onde::Imposto && !tot.child(r.total) && !algum_item) continue;
    diverge(r.total, le(tot, r.total), soma);
  }

  // vNF from the totals as written.
  std::int64_t desonerado_sem_deducao = 0;
  for (pugi::xml_node det = inf.child("det"); det; det = det.next_sibling("det")) {
    const pugi::xml_node icms = primeiro_elemento(det.child("imposto").child("ICMS"));
    if (std::string_view{icms.child("indDeduzDeson").text().get()} == "0") {
      desonerado_sem_deducao += le(icms, "vICMSDeson");
    }
  }
  const auto t = [&](const char* nome) { return le(tot, nome); };
  const std::int64_t calculado = t("vProd") - t("vDesc") - (t("vICMSDeson") - desonerado_sem_deducao) + t("vST") +
                                 t("vFCPST") + t("vFrete") + t("vSeg") + t("vOutro") + t("vII") + t("vIPI") +
                                 t("vIPIDevol") + le(inf.child("total").child("ISSQNtot"), "vServ");
  const std::int64_t vnf = t("vNF");
  diverge("vNF", vnf, calculado);

  // The payments of a consumer note.
  if (std::string_view{inf.child("ide").child("mod").text().get()} == "65") {
    const pugi::xml_node pag = inf.child("pag");
    std::int64_t pago = 0;
    bool com_valor = false;
    for (pugi::xml_node det = pag.child("detPag"); det; det = det.next_sibling("detPag")) {
      pago += le(det, "vPag");
      com_valor = com_valor || std::string_view{det.child("tPag").text().get()} != "90";
    }
    if (com_valor || !pag.child("detPag")) diverge("vPag", pago - le(pag, "vTroco"), vnf);
  }

  if (!le.erro.empty()) {
    resultado.divergencias.clear();
    resultado.mensagem = le.erro;
    return resultado;
  }
  for (const Divergencia_Total& d : resultado.divergencias) {
    if (!resultado.mensagem.empty()) resultado.mensagem += '|';
    resultado.mensagem += linha(d);
  }
  resultado.ok = resultado.divergencias.empty();
  return resultado;
}

}  // namespace fvn
