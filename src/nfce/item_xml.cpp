// Gera_XML_Itens: one det group per item of the sale, in the order of the
// items' tax situation and then of their history id.
#include <vector>

#include "data/passthrough_table.h"
#include "nfce/nfce_documento.h"
#include "nfce/xml_fields.h"
#include "runtime/ini_file.h"
#include "runtime/text.h"
#include "runtime/working_folder.h"

namespace fvn {

namespace {

constexpr std::string_view kFuncao = "Gera_XML_Itens";
constexpr std::int32_t kServico = 1;
constexpr std::int32_t kFrete = 2;
constexpr std::int32_t kAnpGlp = 210203001;

// The ICMS group of an item, as lines; empty when its CST or CSOSN has none.
// Each group follows the official schema's sequence: own ICMS, own poverty
// fund (FCP), then the ST part with the poverty fund on substitution (FCP-ST)
// inside it. What the group writes is added to `somas`, from which the
// note's ICMS totals are written: the totals are always the sum of the items.
class GrupoIcms {
 public:
  GrupoIcms(xml::Campos& c, const TABELA_ITENS& i, NFCE_DOCUMENTO::SomasIcms& somas) : c_(c), i_(i), s_(somas) {}

  std::vector<std::string> simples() {
    const int csosn = i_.I_TI_CSOSN;
    const std::string literal = xml::tag("CSOSN", c_.inteiro(csosn, 3));
    switch (csosn) {
      case 101: return {abre("ICMSSN101") + literal + credito() + "</ICMSSN101></ICMS>"};
      case 102:
      case 103:
      case 300:
      case 400: return {abre("ICMSSN102") + literal + "</ICMSSN102></ICMS>"};
      case 201: return fecha("ICMSSN201", substituicao(abre("ICMSSN201") + literal), credito());
      case 202:
      case 203: return fecha("ICMSSN202", substituicao(abre("ICMSSN202") + literal));
      case 500: return retido("ICMSSN500", abre("ICMSSN500") + literal);
      case 900: {
        std::vector<std::string> linhas = proprio_reducao_opcional(abre("ICMSSN900") + literal);
        if (tem_st()) acrescenta(linhas, substituicao({}));
        return fecha("ICMSSN900", std::move(linhas));
      }
      default: return {};
    }
  }

  std::vector<std::string> normal() {
    const int cst = i_.I_TI_CST;
    const std::string literal = xml::tag("CST", c_.zero(cst, 2));
    switch (cst) {
      case 0: return fecha("ICMS00", {abre("ICMS00") + literal + mod_bc() + base_aliquota_valor() + fcp(false)});
      case 10: {
        std::vector<std::string> linhas{abre("ICMS10") + literal + mod_bc() + base_aliquota_valor() + fcp(true)};
        acrescenta(linhas, substituicao({}));
        return fecha("ICMS10", std::move(linhas));
      }
      case 20:
        return fecha("ICMS20", {abre("ICMS20") + literal + mod_bc() + reducao() + base_aliquota_valor() + fcp(true)});
      case 30: return fecha("ICMS30", substituicao(abre("ICMS30") + literal));
      case 40:
      case 41:
      case 50: return {abre("ICMS40") + literal + "</ICMS40></ICMS>"};
      case 51: return fecha("ICMS51", {abre("ICMS51") + literal + mod_bc() + reducao() + diferimento() + fcp(true)});
      case 60: return retido("ICMS60", abre("ICMS60") + literal);
      case 70: {
        std::vector<std::string> linhas{abre("ICMS70") + literal + mod_bc() + reducao() + base_aliquota_valor() +
                                        fcp(true)};
        acrescenta(linhas, substituicao({}));
        return fecha("ICMS70", std::move(linhas));
      }
      case 90: {
        std::vector<std::string> linhas = proprio_reducao_opcional(abre("ICMS90") + literal);
        linhas.back() += fcp(true);
        if (tem_st()) acrescenta(linhas, substituicao({}));
        return fecha("ICMS90", std::move(linhas));
      }
      default: return {};
    }
  }

 private:
  static void acrescenta(std::vector<std::string>& linhas, std::vector<std::string> mais) {
    for (std::string& l : mais) linhas.push_back(std::move(l));
  }
  static std::vector<std::string> fecha(std::string_view grupo, std::vector<std::string> linhas,
                                        const std::string& fim = {}) {
    linhas.push_back(fim + "</" + std::string{grupo} + "></ICMS>");
    return linhas;
  }
  std::string abre(std::string_view grupo) {
    return "<" + std::string{grupo} + ">" + xml::tag("orig", c_.zero(i_.I_TI_INDICE, 1));
  }
  std::string mod_bc() { return xml::tag("modBC", c_.zero(i_.I_TI_MODBC, 1)); }
  std::string reducao() { return xml::tag("pRedBC", c_.dec(i_.N_TI_RED_ICMS, 5, 2)); }
  std::string base() {
    s_.base += i_.N_TI_BASE_ICMS.value();
    return xml::tag("vBC", c_.money(i_.N_TI_BASE_ICMS));
  }
  std::string aliquota_valor() {
    s_.icms += i_.N_TI_VLR_ICMS.value();
    return xml::tag("pICMS", c_.dec(i_.N_TI_PERC_ICMS, 5, 2)) + xml::tag("vICMS", c_.money(i_.N_TI_VLR_ICMS));
  }
  std::string base_aliquota_valor() { return base() + aliquota_valor(); }
  // modBC, vBC, the reduction only when there is one, rate and value (90, 900).
  std::vector<std::string> proprio_reducao_opcional(std::string inicio) {
    std::vector<std::string> linhas{std::move(inicio) + mod_bc() + base()};
    if (i_.N_TI_RED_ICMS.value() != 0) linhas.push_back(reducao());
    linhas.push_back(aliquota_valor());
    return linhas;
  }
  // CST 51: the operation's ICMS, the deferred part and what remains due.
  std::string diferimento() {
    const double devido = i_.N_TI_VLR_ICMS.value();
    const double diferido = i_.N_TI_VALOR_ICMS_DIFERIDO.value();
    s_.base += i_.N_TI_BASE_ICMS.value();
    s_.icms += devido;
    return xml::tag("vBC", c_.money(i_.N_TI_BASE_ICMS)) + xml::tag("pICMS", c_.dec(i_.N_TI_PERC_ICMS, 5, 2)) +
           xml::tag("vICMSOp", c_.money(devido + diferido)) + xml::tag("pDif", c_.dec(i_.N_TI_PERC_DIFERIMENTO, 7, 2)) +
           xml::tag("vICMSDif", c_.money(diferido)) + xml::tag("vICMS", c_.money(devido));
  }
  std::string credito() {
    return xml::tag("pCredSN", c_.money(i_.N_TI_BASE_ALI_SIMPLES)) +
           xml::tag("vCredICMSSN", c_.money(i_.N_TI_BASE_ICMS_SIMPLES));
  }
  [[nodiscard]] bool tem_st() const { return i_.N_TI_BASE_ST.value() != 0 || i_.N_TI_VLR_ST.value() != 0; }
  // The item's own poverty fund, when its tax class has a rate.
  std::string fcp(bool com_base) {
    if (!(i_.N_TI_PERC_FUNDO_POBREZA.value() > 0)) return {};
    s_.fcp += i_.N_TI_VALOR_FUNDO_POBREZA.value();
    return (com_base ? xml::tag("vBCFCP", c_.money(i_.N_TI_BASE_FUNDO_POBREZA)) : std::string{}) +
           xml::tag("pFCP", c_.dec(i_.N_TI_PERC_FUNDO_POBREZA, 15, 4)) +
           xml::tag("vFCP", c_.money(i_.N_TI_VALOR_FUNDO_POBREZA));
  }
  // The ST part: modBCST, the optional MVA and reduction, base, rate and
  // value, then the poverty fund on substitution when the item has its rate.
  std::vector<std::string> substituicao(std::string inicio) {
    std::vector<std::string> linhas{std::move(inicio) + xml::tag("modBCST", c_.zero(i_.I_TI_MODBC, 1))};
    if (i_.N_TI_VLR_MVA.value() != 0) linhas.push_back(xml::tag("pMVAST", c_.dec(i_.N_TI_VLR_MVA, 7, 2)));
    if (i_.N_TI_RED_ST.value() != 0) linhas.push_back(xml::tag("pRedBCST", c_.dec(i_.N_TI_RED_ST, 5, 2)));
    s_.base_st += i_.N_TI_BASE_ST.value();
    s_.st += i_.N_TI_VLR_ST.value();
    std::string st = xml::tag("vBCST", c_.money(i_.N_TI_BASE_ST)) + xml::tag("pICMSST", c_.dec(i_.N_TI_PERC_ST, 5, 2)) +
                     xml::tag("vICMSST", c_.money(i_.N_TI_VLR_ST));
    if (i_.N_TI_PERC_ST_FUNDO_POBREZA.value() > 0) {
      s_.fcp_st += i_.N_TI_VALOR_ST_FUNDO_POBREZA.value();
      st += xml::tag("vBCFCPST", c_.money(i_.N_TI_BASE_ST_FUNDO_POBREZA)) +
            xml::tag("pFCPST", c_.dec(i_.N_TI_PERC_ST_FUNDO_POBREZA, 15, 4)) +
            xml::tag("vFCPST", c_.money(i_.N_TI_VALOR_ST_FUNDO_POBREZA));
    }
    linhas.push_back(std::move(st));
    return linhas;
  }
  // ST withheld earlier (CST 60, CSOSN 500).
  std::vector<std::string> retido(std::string_view grupo, std::string inicio) {
    std::vector<std::string> linhas{std::move(inicio) + xml::tag("vBCSTRet", c_.money(i_.N_TI_BASE_ST)) +
                                    xml::tag("pST", c_.dec(i_.N_TI_ALIQ_CONSUMIDOR_FINAL, 15, 4)) +
                                    xml::tag("vICMSSTRet", c_.money(i_.N_TI_VLR_ST))};
    if (i_.N_TI_PERC_FUNDO_POBREZA.value() > 0) {
      s_.fcp_st_retido += i_.N_TI_VALOR_ST_RETIDO_FUNDO_POBREZA.value();
      linhas.push_back(xml::tag("vBCFCPSTRet", c_.money(i_.N_TI_BASE_ST_RETIDO_FUNDO_POBREZA)) +
                       xml::tag("pFCPSTRet", c_.dec(i_.N_TI_PERC_ST_RETIDO_FUNDO_POBREZA, 15, 4)) +
                       xml::tag("vFCPSTRet", c_.money(i_.N_TI_VALOR_ST_RETIDO_FUNDO_POBREZA)));
    }
    return fecha(grupo, std::move(linhas));
  }

  xml::Campos& c_;
  const TABELA_ITENS& i_;
  NFCE_DOCUMENTO::SomasIcms& s_;
};

// The PIS or COFINS group of a situation code; empty for a code with none.
std::string grupo_contribuicao(xml::Campos& c, std::string_view tributo, std::int32_t cst, const Dec4& base,
                               const Dec4& aliquota, const Dec4& valor, const TABELA_ITENS& i) {
  const std::string t{tributo};
  const std::string codigo = xml::tag("CST", c.zero(cst, 2));
  const std::string valores =
      xml::tag("vBC", c.money(base)) + xml::tag("p" + t, c.dec(aliquota, 5, 2)) + xml::tag("v" + t, c.money(valor));
  switch (xml::grupo_contribuicao(cst)) {
    case xml::GrupoContribuicao::Aliq: return "<" + t + "Aliq>" + codigo + valores + "</" + t + "Aliq>";
    case xml::GrupoContribuicao::Qtde: {
      const double aliquota_produto = i.N_TI_VLR_LIQUIDO.value() * i.N_TI_QUANTIDADE.value() * aliquota.value() / 100.0;
      return "<" + t + "Qtde>" + codigo + xml::tag("qBCProd", c.dec(i.N_TI_QUANTIDADE, 16, 4)) +
             xml::tag("vAliqProd", c.dec(aliquota_produto, 15, 4)) + xml::tag("v" + t, c.money(valor)) + "</" + t +
             "Qtde>";
    }
    case xml::GrupoContribuicao::NT: return "<" + t + "NT>" + codigo + "</" + t + "NT>";
    case xml::GrupoContribuicao::Outr: return "<" + t + "Outr>" + codigo + valores + "</" + t + "Outr>";
    case xml::GrupoContribuicao::Nenhum: break;
  }
  return {};
}

// The service-list code: "14.01" -> 1401 -> "14.01"; blank when 0.
std::string lista_servico(FORMATADOR_FISCAL& f, std::string_view lei) {
  const std::string digitos = f.Substitui(lei, ".", "");
  long long numero = 0;
  for (const char ch : text::trim(digitos)) {
    if (ch < '0' || ch > '9') break;
    numero = numero * 10 + (ch - '0');
    if (numero > 9999) break;
  }
  if (numero == 0) return {};
  const auto dois = [](long long n) { return (n < 10 ? "0" : "") + std::to_string(n); };
  return dois(numero / 100) + "." + dois(numero % 100);
}

}  // namespace

int NFCE_DOCUMENTO::Gera_XML_Itens(std::string& mensagem_fiscal) {
  mensagem_fiscal.clear();
  TABELA_ITENS item;
  PassthroughTable tabela("Tabela_Itens", connection_);
  bind_record(tabela, item);
  if (tabela.open() != 1) return set_error(tabela.error_text("Erro ao abrir tabela itens|"), 0, kFuncao);

  int resultado = 0;
  bool falha = false;
  if (tabela.execute(itens_statement(ID)) != 1) {
    set_error(tabela.error_text("Erro ao selecionar itens|"), 0, kFuncao);
  } else if (TEXT.open() != 1) {
    set_error(TEXT.error_text(), 0, kFuncao);
  } else {
    IniFile nfe_ini(working_file("nfe_ini.ini"));
    const bool usa_cest = nfe_ini.load() && nfe_ini.get("nfce", "cest") == "1";
    const bool falha_antes = falha_escrita_;
    falha_escrita_ = false;
    int numero = 0;
    std::int32_t ultimo_codigo = 0;
    while (tabela.next() == 1) {
      ++numero;
      const int escrito = escreve_item(item, numero, usa_cest, mensagem_fiscal, ultimo_codigo);
      if (escrito < 0) {  // refused: the document cannot be completed
        falha = true;
        break;
      }
      if (escrito == 1) resultado = 1;
    }
    if (!tabela.at_end() && !falha) {
      set_error(tabela.error_text("Erro ao ler itens|"), 0, kFuncao);
      falha = true;
    }
    // Every item must be whole: a line lost anywhere fails the writer.
    falha = falha || falha_escrita_;
    falha_escrita_ = falha_antes || falha_escrita_;
    if (TEXT.close() != 1) {
      set_error(TEXT.error_text(), 0, kFuncao);
      falha = true;
    }
  }
  if (tabela.close() != 1) {
    set_error(tabela.error_text("Erro ao fechar Tabela_Itens|"), 0, kFuncao);
    falha = true;
  }
  return falha ? 0 : resultado;
}

// Writes one item: 1 when its closing line was written, 0 when a line was
// lost (the item may be incomplete), -1 when the item was refused.
int NFCE_DOCUMENTO::escreve_item(TABELA_ITENS i, int numero, bool usa_cest, std::string& mensagem_fiscal,
                                 std::int32_t& ultimo_codigo) {
  xml::Campos c(FORMATA);
  const auto linha = [this](std::string_view texto) { return escreve(texto, kFuncao); };

  // A PIS or COFINS code without a group refuses the item before anything of
  // it is written (an empty group would leave the document invalid).
  for (const auto& [tributo, cst] : {std::pair{"PIS", i.S_TI_CST_PIS}, std::pair{"COFINS", i.S_TI_CST_COFINS}}) {
    if (xml::grupo_contribuicao(cst) == xml::GrupoContribuicao::Nenhum) {
      set_error("Item " + std::to_string(numero) + ": situação tributária de " + tributo + " sem grupo na NFC-e = \"" +
                    std::to_string(cst) + "\"",
                0, kFuncao);
      return -1;
    }
  }

  linha("<det nItem=\"" + c.inteiro(numero, 3) + "\"><prod>" +
        xml::tag("cProd", c.plano(std::to_string(i.I_TI_CODIGO), 60)) +
        xml::tag("cEAN", c.seguro(FORMATA.EAN(i.S_TI_COD_BARRAS))) + xml::tag("xProd", c.texto(i.S_TI_DESCRICAO, 120)) +
        xml::tag("NCM", c.seguro(FORMATA.Numero_Digitos(i.S_TI_NCM))));
  const bool cest_da_situacao = i.I_TI_CST == 60 || i.I_TI_CST == 90 || i.I_TI_CSOSN == 900 || i.I_TI_CSOSN == 500;
  const bool com_cest = usa_cest && !text::clip(i.S_TI_CEST).empty() && cest_da_situacao;
  if (com_cest) linha(xml::tag("CEST", c.seguro(i.S_TI_CEST)));
  // The schema allows the scale indicator and the maker only after a CEST.
  if (com_cest && !text::clip(i.S_TI_IND_ESCALA_RELEVANTE).empty()) {
    linha(xml::tag("indEscala", c.plano(i.S_TI_IND_ESCALA_RELEVANTE, 1)));
    if (text::clip(i.S_TI_IND_ESCALA_RELEVANTE) == "N") {
      linha(xml::tag("CNPJFab", c.seguro(FORMATA.CNPJ(i.S_TI_CNPJ_FABRICANTE))));
    }
  }
  if (!text::clip(i.S_TI_COD_BENEFICIO_FISCAL).empty()) {
    linha(xml::tag("cBenef", c.plano(i.S_TI_COD_BENEFICIO_FISCAL, 10)));
  }
  const std::string ean = c.seguro(FORMATA.EAN(i.S_TI_COD_BARRAS));
  const std::string unidade = c.plano(i.S_TI_UNIDADE, 6);
  const std::string quantidade = c.dec(i.N_TI_QUANTIDADE, 12, 4);
  const std::string unitario = c.dec(i.N_TI_VLR_LIQUIDO, 16, 4);
  if (!linha(xml::tag("CFOP", c.seguro(FORMATA.CFOP(i.S_TI_CFOP))) + xml::tag("uCom", unidade) +
             xml::tag("qCom", quantidade) + xml::tag("vUnCom", unitario) +
             xml::tag("vProd", c.money(i.N_TI_VLR_TOTAL)) + xml::tag("cEANTrib", ean) + xml::tag("uTrib", unidade) +
             xml::tag("qTrib", quantidade) + xml::tag("vUnTrib", unitario))) {
    return 0;
  }
  if (i.I_TI_TIPO_PRODUTO == kFrete) {
    linha(xml::tag("vFrete", c.money(i.N_TI_VLR_TOTAL)));
  } else if (i.N_TI_VALOR_FRETE.value() != 0) {
    linha(xml::tag("vFrete", c.money(i.N_TI_VALOR_FRETE)));
  }
  if (i.N_TI_VALOR_SEGURO.value() != 0) linha(xml::tag("vSeg", c.dec(i.N_TI_VALOR_SEGURO, 12, 2)));
  if (i.N_TI_VLR_DESC.value() != 0) linha(xml::tag("vDesc", c.money(i.N_TI_VLR_DESC)));
  if (i.N_TI_VALOR_DESP_ACESSORIAS.value() != 0 || i.N_TI_ACRESCIMO.value() != 0) {
    linha(xml::tag("vOutro", c.money(i.N_TI_VALOR_DESP_ACESSORIAS.value() + i.N_TI_ACRESCIMO.value())));
  }
  if (!linha(xml::tag("indTot", c.zero(i.I_TI_IND_TOTALIZADOR, 1)))) return 0;

  if (i.N_TI_COD_ANP != 0) {
    linha("<comb>");
    linha(xml::tag("cProdANP", c.zero(i.N_TI_COD_ANP, 9)));
    linha(xml::tag("descANP", c.seguro(i.S_TI_DESC_ANP)));
    if (i.N_TI_COD_ANP == kAnpGlp) {
      linha(xml::tag("pGLP", c.dec(i.N_TI_PERC_PGLP, 13, 4)));
      linha(xml::tag("pGNn", c.dec(i.N_TI_PERC_GAS_NATURAL, 13, 4)));
      linha(xml::tag("pGNi", c.dec(i.N_TI_GAS_IMPORTADO, 13, 4)));
      linha(xml::tag("vPart", c.dec(i.N_TI_VALOR_PARTIDA, 13, 2)));
    }
    if (i.N_TI_CODIF > 0) linha(xml::tag("CODIF", c.zero(i.N_TI_CODIF, 21)));
    if (i.N_TI_QTEMP_COMB.value() > 0) linha(xml::tag("qTemp", c.dec(i.N_TI_QTEMP_COMB, 12, 4)));
    linha(xml::tag("UFCons", c.plano(NOTA.S_TN_UF_EMITENTE, 2)) + "</comb>");
  }

  linha("</prod>");
  linha("<imposto>");
  if (i.N_TI_VLR_IMPOSTO.value() > 0) linha(xml::tag("vTotTrib", c.money(i.N_TI_VLR_IMPOSTO)));

  if (i.I_TI_TIPO_PRODUTO == kServico) {
    linha("<ISSQN>" + xml::tag("vBC", c.money(i.N_TI_BASE_ISS)) + xml::tag("vAliq", c.money(i.N_TI_ALIQ_ISS)) +
          xml::tag("vISSQN", c.money(i.N_TI_VALOR_ISS)) + xml::tag("cMunFG", c.plano(i.S_TI_COD_MUNICIPIO, 30)) +
          xml::tag("cListServ", c.plano(lista_servico(FORMATA, i.S_TI_LEI_116), 10)) +
          xml::tag("indISS", c.zero(i.I_TI_INDICADOR_EXIGIBILIDADE, 1)) +
          xml::tag("indIncentivo", c.zero(i.I_TI_INDICADOR_INCENTIVO, 1)) + "</ISSQN>");
    NOTA.N_TN_VLR_PIS_SERV = NOTA.N_TN_VLR_PIS_SERV.value() + i.N_TI_VLR_PIS.value();
    NOTA.N_TN_VLR_COFINS_SERV = NOTA.N_TN_VLR_COFINS_SERV.value() + i.N_TI_VLR_COFINS.value();
  } else {
    NOTA.N_TN_VLR_PIS_PROD = NOTA.N_TN_VLR_PIS_PROD.value() + i.N_TI_VLR_PIS.value();
    NOTA.N_TN_VLR_COFINS_PROD = NOTA.N_TN_VLR_COFINS_PROD.value() + i.N_TI_VLR_COFINS.value();
    const bool simples = i.I_TI_CRT_EMITENTE == 1;
    if (!simples &&
        ((i.N_TI_CNOTSAIDAS.value() != 0 && i.N_TI_C2NOTSAIDAS.value() != 0) || i.I_TI_STATUS_NOTA_CUPOM == 1)) {
      // Tax-zeroing rule of a sale that is also a coupon (the rates of PIS and COFINS stay).
      i.N_TI_BASE_ICMS = 0.0;
      i.N_TI_PERC_ICMS = 0.0;
      i.N_TI_VLR_ICMS = 0.0;
      i.N_TI_BASE_ST = 0.0;
      i.N_TI_PERC_ST = 0.0;
      i.N_TI_VLR_ST = 0.0;
      i.N_TI_BASE_PIS = 0.0;
      i.N_TI_VLR_PIS = 0.0;
      i.N_TI_BASE_COFINS = 0.0;
      i.N_TI_VLR_COFINS = 0.0;
    }
    SomasIcms somas;
    GrupoIcms grupo(c, i, somas);
    const std::vector<std::string> linhas = simples ? grupo.simples() : grupo.normal();
    if (linhas.empty()) {
      // An ICMS element without its group would leave the document ill-formed.
      set_error("Item " + std::to_string(numero) + ": situação tributária do ICMS sem grupo na NFC-e = \"" +
                    (simples ? std::to_string(i.I_TI_CSOSN) : std::to_string(i.I_TI_CST)) + "\"",
                0, kFuncao);
      return -1;
    }
    if (linha("<ICMS>")) {
      for (const std::string& l : linhas) linha(l);
      SOMAS_ICMS.soma(somas);
    }
  }

  linha("<PIS>");
  linha(grupo_contribuicao(c, "PIS", i.S_TI_CST_PIS, i.N_TI_BASE_PIS, i.N_TI_PERC_PIS, i.N_TI_VLR_PIS, i));
  linha("</PIS>");
  linha("<COFINS>");
  linha(
      grupo_contribuicao(c, "COFINS", i.S_TI_CST_COFINS, i.N_TI_BASE_COFINS, i.N_TI_PERC_COFINS, i.N_TI_VLR_COFINS, i));
  linha("</COFINS>");
  linha("</imposto>");
  if (!text::clip(i.S_TI_COMPLEMENTO).empty()) linha(xml::tag("infAdProd", c.texto(i.S_TI_COMPLEMENTO, 500)));

  if (i.I_TI_INDICE == 1 && i.I_TI_COD_TRIBUTACAO != ultimo_codigo) {
    ultimo_codigo = i.I_TI_COD_TRIBUTACAO;
    const std::string mensagem = text::clip(i.S_TI_MSG_TRIBUTACAO);
    if (!mensagem.empty()) {
      if (!mensagem_fiscal.empty()) mensagem_fiscal += " - ";
      mensagem_fiscal += mensagem;
    }
  }
  return linha("</det>") ? 1 : 0;
}

}  // namespace fvn
