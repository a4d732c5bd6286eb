// Gera_XML_NFCe: the invoice file of a recorded sale, group by group.
#include <filesystem>

#include "data/passthrough_table.h"
#include "nfce/line_joining.h"
#include "nfce/nfce_documento.h"
#include "nfce/xml_fields.h"
#include "runtime/text.h"

namespace fvn {

namespace {

constexpr std::string_view kFuncao = "Gera_XML_NFCe";
constexpr std::string_view kRaiz =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?><NFe xmlns=\"http://www.portalfiscal.inf.br/nfe\"><infNFe "
    "versao=\"4.00\" Id=\"NFe";

bool chave_completa(const std::string& chave) {
  return chave.size() == 44 && chave.find_first_not_of("0123456789") == std::string::npos;
}

// The optional telephone: left out when there is none (an empty element is
// refused by the service, so a customer without a telephone could never be
// invoiced).
std::string fone(xml::Campos& c, const std::string& telefone) {
  return telefone.empty() ? std::string{} : xml::tag("fone", c.seguro(telefone));
}

}  // namespace

int NFCE_DOCUMENTO::Gera_XML_NFCe() {
  falha_escrita_ = false;
  XML_NFCE.clear();
  NOTA = TABELA_NOTA{};
  if (TEXT.is_open()) TEXT.close();

  PassthroughTable tabela("Tabela_Nota", connection_);
  bind_record(tabela, NOTA);
  if (tabela.open() != 1) return set_error(tabela.error_text("Erro ao abrir tabela nota.|"), 0, kFuncao);

  int resultado = 0;
  if (tabela.execute(nota_statement(ID)) != 1) {
    set_error(tabela.error_text("Erro ao selecionar dados nota|"), 0, kFuncao);
  } else if (tabela.next() != 1) {
    set_error(tabela.error_text("Erro ao ler tabela nota.|"), 0, kFuncao);
  } else {
    TEXT.set_name(pasta_ + FORMATA.Numerico(NOTA.S_TN_ID, 8, 0, true, true) + ".xml");
    if (TEXT.create() != 1 || TEXT.open() != 1) {
      set_error(TEXT.error_text(), 0, kFuncao);
    } else {
      APRAZO = NOTA.I_TN_INDICE_PAG;
      // Date rule: a sale with a coupon number carries the moment of generation.
      if (NOTA.I_TN_NUMERO_CF != 0) {
        const Momento agora = relogio_();
        NOTA.D_TN_DATA_EMISSAO = agora.data;
        NOTA.T_TN_HORA_EMISSAO = agora.hora;
      }
      std::string chave;
      const bool chave_ok = Monta_Chave_Acesso(ID, chave) == 1 && chave_completa(chave);
      SOMAS_ICMS = {};
      resultado = escreve_nota(chave);
      if (!chave_ok && resultado == 1) {
        // The document is written (with the key it has) but cannot be sent.
        resultado = set_error("Erro ao gerar a chave de acesso da NFC-e. Chave = \"" + chave + "\"", 0, kFuncao);
      }
    }
  }

  // Final steps. After a failure the first cause stays in ERROR and the
  // incomplete file is not joined into a document.
  if (TEXT.is_open() && TEXT.close() != 1 && resultado == 1) resultado = set_error(TEXT.error_text(), 0, kFuncao);
  if (resultado == 1 && falha_escrita_) resultado = 0;
  if (resultado == 1) {
    std::string erro;
    if (join_lines(TEXT.name(), XML_NFCE, erro) != 1) {
      resultado = set_error("Erro ao remover quebras de linha do arquivo.|" + erro, 0, kFuncao);
    }
  }
  if (tabela.close() != 1 && resultado == 1) {
    resultado = set_error(tabela.error_text("Erro ao fechar Tabela_Nota|"), 0, kFuncao);
  }
  return resultado;
}

int NFCE_DOCUMENTO::escreve_nota(const std::string& chave) {
  xml::Campos c(FORMATA);
  TABELA_NOTA& n = NOTA;
  const auto linha = [this](std::string_view texto) { return escreve(texto, kFuncao); };

  if (!linha(std::string{kRaiz} + chave + "\">")) return 0;

  std::string ide = "<ide>";
  ide += xml::tag("cUF", c.zero(n.I_TN_CODIGO_UF, 2));
  ide += xml::tag("cNF", c.zero(n.I_TN_CODIGO_NF, 8));
  ide += xml::tag("natOp", c.texto(n.S_TN_NATUREZA, 60));
  ide += "<mod>65</mod>";
  ide += xml::tag("serie", c.inteiro(n.I_TN_SERIE, 3));
  ide += xml::tag("nNF", c.inteiro(n.I_TN_NUMERO_NF, 9));
  ide += xml::tag(
      "dhEmi", c.seguro(FORMATA.Formata_Data_Hora_UTC(n.D_TN_DATA_EMISSAO, n.T_TN_HORA_EMISSAO, n.S_TN_FUSO_HORARIO)));
  ide += xml::tag("tpNF", c.zero(n.I_TN_TIPO_NF, 1));
  ide += xml::tag("idDest", c.inteiro(n.I_TN_ID_DESTINO, 1));
  ide += xml::tag("cMunFG", c.seguro(FORMATA.Municipio(std::to_string(n.I_TN_CODIGO_MUNICIPIO))));
  ide += xml::tag("tpImp", c.zero(n.I_TN_TIPO_IMPRESSAO_DANFE, 1));
  ide += xml::tag("tpEmis", c.inteiro(n.I_TN_MODO_ENVIO, 1));
  ide += xml::tag("cDV", chave.size() >= 44 ? chave.substr(43, 1) : std::string{});
  ide += xml::tag("tpAmb", c.inteiro(n.I_TN_TIPO_AMBIENTE, 1));
  ide += xml::tag("finNFe", c.inteiro(n.I_TN_FINNFE, 1));
  ide += xml::tag("indFinal", c.inteiro(n.I_TN_ID_CONSUMIDOR_FINAL, 1));
  ide += xml::tag("indPres", c.inteiro(n.I_TN_INDICADOR_PRESENCIAL, 1));
  ide += xml::tag("procEmi", c.inteiro(n.I_TN_PROCEEMI, 1));
  ide += xml::tag("verProc", c.plano(std::to_string(n.I_TN_VERSAO), 20));
  linha(ide);

  std::string emit = "</ide><emit>";
  emit += xml::tag("CNPJ", c.seguro(FORMATA.CNPJ(n.S_TN_CNPJ_EMITENTE)));
  emit += xml::tag("xNome", c.texto(n.S_TN_NOME_EMITENTE, 60));
  emit += xml::tag("xFant", c.texto(n.S_TN_FANTASIA_EMITENTE, 60));
  emit += "<enderEmit>";
  emit += xml::tag("xLgr", c.texto(n.S_TN_ENDERECO_EMITENTE, 60));
  emit += xml::tag("nro", c.inteiro(n.I_TN_NUMERO_EMITENTE, 8));
  emit += xml::tag("xBairro", c.texto(n.S_TN_BAIRRO_EMITENTE, 60));
  emit += xml::tag("cMun", c.seguro(FORMATA.Municipio(std::to_string(n.I_TN_COD_MUN_EMITENTE))));
  emit += xml::tag("xMun", c.texto(n.S_TN_CIDADE_EMITENTE, 60));
  emit += xml::tag("UF", c.texto(n.S_TN_UF_EMITENTE, 2));
  emit += xml::tag("CEP", c.seguro(FORMATA.CEP(std::to_string(n.I_TN_CEP_EMITENTE))));
  emit += xml::tag("cPais", c.seguro(FORMATA.Pais(std::to_string(n.I_TN_COD_PAIS_EMITENTE))));
  emit += xml::tag("xPais", c.texto(n.S_TN_PAIS_EMITENTE, 60));
  emit += fone(c, FORMATA.Telefone(n.S_TN_TELEFONE_EMITENTE));
  emit += "</enderEmit>";
  emit += xml::tag("IE", c.seguro(FORMATA.IE(n.S_TN_IE_EMITENTE, n.S_TN_UF_EMITENTE)));
  if (!linha(emit)) return 0;

  if (n.I_TN_NOTA_CONJUGADA == 1) {
    linha(xml::tag("IM", c.plano(n.S_TN_IM_EMITENTE, 15)) + xml::tag("CNAE", c.inteiro(n.S_TN_CNAE, 7)));
  }
  linha(xml::tag("CRT", c.inteiro(n.I_TN_CRT_EMITENTE, 1)) + "</emit>");

  escreve_destinatario();

  // Tax-total rule: a sale that is also a coupon carries no ICMS, ST, PIS or COFINS totals.
  if ((n.I_TN_NUMERO_NF != 0 && n.I_TN_NUMERO_CF != 0) || n.I_TN_STATUS_NOTA_CUPOM == 1) {
    n.N_TN_BASE_ICMS_GERAL = 0.0;
    n.N_TN_VLR_ICMS_GERAL = 0.0;
    n.N_TN_BASE_ST_GERAL = 0.0;
    n.N_TN_VLR_ST_GERAL = 0.0;
    n.N_TN_VLR_PIS = 0.0;
    n.N_TN_VLR_COFINS = 0.0;
  }

  escreve_aut_xml();

  if (TEXT.close() != 1) {
    set_error(TEXT.error_text(), 0, kFuncao);
    falha_escrita_ = true;
  }
  n.N_TN_VLR_PIS_SERV = 0.0;
  n.N_TN_VLR_COFINS_SERV = 0.0;
  n.N_TN_VLR_PIS_PROD = 0.0;
  n.N_TN_VLR_COFINS_PROD = 0.0;
  std::string mensagem_fiscal;
  if (Gera_XML_Itens(mensagem_fiscal) != 1) return 0;
  if (TEXT.open() != 1) {
    set_error(TEXT.error_text(), 0, kFuncao);
    return 0;
  }

  if (!escreve_totais()) return 0;
  escreve_transporte();
  if (TEXT.close() != 1) {
    set_error(TEXT.error_text(), 0, kFuncao);
    falha_escrita_ = true;
  }

  if (Gera_XML_Pagamentos() != 1) {
    set_error("Erro ao gerar pagamentos.|" + ERROR, 0, kFuncao);
    falha_escrita_ = true;
  }
  if (TEXT.open() != 1) {
    set_error(TEXT.error_text(), 0, kFuncao);
    return 0;
  }

  escreve_informacoes_adicionais(mensagem_fiscal);
  if (!linha("</infNFe>") || !linha("</NFe>")) return 0;
  return 1;
}

bool NFCE_DOCUMENTO::escreve_destinatario() {
  xml::Campos c(FORMATA);
  TABELA_NOTA& n = NOTA;
  const auto linha = [this](std::string_view texto) { return escreve(texto, kFuncao); };
  // The recipient's registration is checked for the diagnostics only; it is never written.
  n.S_TN_IE_IR_DESTINATARIO = FORMATA.IE(n.S_TN_IE_IR_DESTINATARIO, n.S_TN_UF_DESTINATARIO);
  const std::string ind_ie = xml::tag("indIEDest", c.inteiro(n.I_TN_INDICADOR_IE_DEST, 1));

  bool aberto = false;
  if (consumidor(n.S_TN_NOME_ACLIENTES_EMITENTE)) {
    std::string documento;
    if (!text::clip(n.S_TN_CPF_DESTINATARIO).empty()) {
      documento = xml::tag("CPF", c.seguro(FORMATA.CPF(n.S_TN_CPF_DESTINATARIO)));
    } else if (!text::clip(n.S_TN_CNPJ_DESTINATARIO).empty()) {
      documento = xml::tag("CNPJ", c.seguro(FORMATA.CNPJ(n.S_TN_CNPJ_DESTINATARIO)));
    }
    if (!documento.empty()) {
      linha("<dest>");
      linha(documento);
      if (!text::clip(n.S_TN_NOME_DIGITADO_EMITENTE).empty()) {
        linha(xml::tag("xNome", c.texto(n.S_TN_NOME_DIGITADO_EMITENTE, 60)));
      }
      linha(ind_ie + "</dest>");
    }
  } else if (n.I_TN_JURIDICO == 1) {
    linha("<dest>" + xml::tag("CNPJ", c.seguro(FORMATA.CNPJ(n.S_TN_CNPJ_CPF_DESTINATARIO))) +
          xml::tag("xNome", c.texto(n.S_TN_NOME_DESTINATARIO, 60)));
    aberto = true;
  } else if (!consumidor(n.S_TN_NOME_DESTINATARIO)) {
    linha("<dest>" + xml::tag("CPF", c.seguro(FORMATA.CPF(n.S_TN_CNPJ_CPF_DESTINATARIO))) +
          xml::tag("xNome", c.texto(n.S_TN_NOME_DESTINATARIO, 60)));
    aberto = true;
  }

  if (!xml::valor_numerico_nao_zero(n.I_TN_NUMERO_DESTINATARIO)) n.I_TN_NUMERO_DESTINATARIO = "SN";

  if (consumidor(n.S_TN_NOME_DESTINATARIO) || consumidor(n.S_TN_NOME_ACLIENTES_EMITENTE)) {
    // A company whose name reads as the walk-in consumer's: close what was opened.
    if (aberto) linha(ind_ie + "</dest>");
    return true;
  }
  std::string endereco = "<enderDest>";
  endereco += xml::tag("xLgr", c.texto(n.S_TN_ENDERECO_DESTINATARIO, 60));
  endereco += xml::tag("nro", c.plano(n.I_TN_NUMERO_DESTINATARIO, 60));
  endereco += xml::tag("xBairro", c.texto(n.S_TN_BAIRRO_DESTINATARIO, 60));
  endereco += xml::tag("cMun", c.seguro(FORMATA.Municipio(std::to_string(n.I_TN_COD_MUN_DESTINATARIO))));
  endereco += xml::tag("xMun", c.texto(n.S_TN_CIDADE_DESTINATARIO, 60));
  endereco += xml::tag("UF", c.plano(n.S_TN_UF_DESTINATARIO, 2));
  endereco += xml::tag("CEP", c.seguro(FORMATA.CEP(std::to_string(n.I_TN_CEP_DESTINATARIO))));
  endereco += xml::tag("cPais", c.seguro(FORMATA.Pais(std::to_string(n.I_TN_COD_PAIS_DESTINATARIO))));
  endereco += xml::tag("xPais", c.texto(n.S_TN_PAIS_DESTINATARIO, 60));
  endereco += fone(c, FORMATA.Telefone(n.S_TN_TELEFONE_DESTINATARIO));
  endereco += "</enderDest>" + ind_ie;
  if (!linha(endereco)) return false;
  if (!text::clip(n.S_TN_EMAIL_DESTINATARIO).empty()) linha(xml::tag("email", c.seguro(n.S_TN_EMAIL_DESTINATARIO)));
  return linha("</dest>");
}

void NFCE_DOCUMENTO::escreve_aut_xml() {
  xml::Campos c(FORMATA);
  const TABELA_NOTA& n = NOTA;
  const std::string destinatario = text::clip(n.S_TN_CNPJ_CPF_DESTINATARIO);
  const auto autorizado = [&](std::string_view identificacao) {
    escreve("<autXML>", kFuncao);
    escreve(identificacao, kFuncao);
    escreve("</autXML>", kFuncao);
  };
  if (destinatario != text::clip(n.S_TN_CNPJ_EMITENTE)) {
    autorizado(xml::tag("CNPJ", c.seguro(FORMATA.CNPJ(n.S_TN_CNPJ_EMITENTE))));
  }
  if (xml::valor_numerico_nao_zero(n.S_TN_CNPJ_TRANSP) && destinatario != text::clip(n.S_TN_CNPJ_TRANSP)) {
    autorizado(xml::tag("CNPJ", c.seguro(FORMATA.CNPJ(n.S_TN_CNPJ_TRANSP))));
  }
  if (xml::valor_numerico_nao_zero(n.S_TN_CPF_TRANSP) && destinatario != text::clip(n.S_TN_CPF_TRANSP)) {
    autorizado(xml::tag("CPF", c.seguro(FORMATA.CPF(n.S_TN_CPF_TRANSP))));
  }

  // The accountant. A failure here is kept in ERROR and the writing goes on.
  PassthroughTable contador("tabela contador", connection_);
  std::string cpf_contador;
  contador.bind_text(cpf_contador, 15);
  if (contador.open() != 1) {
    set_error(contador.error_text("Erro ao abrir tabela contador.|"), 0, kFuncao);
    return;
  }
  if (contador.execute(kContadorStatement) != 1) {
    set_error(contador.error_text("Erro ao selecionar dados na tabela contador.|"), 0, kFuncao);
    return;
  }
  if (contador.next() != 1) return;
  const std::string cpf = text::clip(cpf_contador);
  if (cpf != destinatario && cpf != text::clip(n.S_TN_CPF_TRANSP)) {
    const std::string formatado = FORMATA.CPF(cpf);
    if (!formatado.empty()) autorizado(xml::tag("CPF", c.seguro(formatado)));
  }
}

bool NFCE_DOCUMENTO::escreve_totais() {
  xml::Campos c(FORMATA);
  const TABELA_NOTA& n = NOTA;
  const auto linha = [this](std::string_view texto) { return escreve(texto, kFuncao); };
  const std::string zero = c.money(0.0);
  std::string totais = "<total><ICMSTot>";
  // The ICMS figures are the sums of what the items carry (the recorded
  // header totals may disagree with them, and the authority refuses a note
  // whose totals and items disagree).
  const SomasIcms& s = SOMAS_ICMS;
  totais += xml::tag("vBC", c.money(s.base));
  totais += xml::tag("vICMS", c.money(s.icms));
  totais += xml::tag("vICMSDeson", zero);
  totais += xml::tag("vFCPUFDest", c.money(TOTAL_FCP_UF_DEST));
  totais += xml::tag("vICMSUFDest", c.money(TOTAL_ICMS_UF_DEST));
  totais += xml::tag("vICMSUFRemet", c.money(TOTAL_ICMS_UF_REMET));
  totais += xml::tag("vFCP", c.money(s.fcp));
  totais += xml::tag("vBCST", c.money(s.base_st));
  totais += xml::tag("vST", c.money(s.st));
  totais += xml::tag("vFCPST", c.money(s.fcp_st));
  totais += xml::tag("vFCPSTRet", c.money(s.fcp_st_retido));
  totais += xml::tag("vProd", c.money(n.N_TN_VLR_PRODUTOS));
  totais += xml::tag("vFrete", c.money(n.N_TN_VLR_FRETE));
  totais += xml::tag("vSeg", c.money(n.N_TN_VLR_SEGURO));
  totais += xml::tag("vDesc", c.money(n.N_TN_VLR_DESCONTO));
  totais += xml::tag("vII", c.money(n.N_TN_VLR_VII));
  totais += xml::tag("vIPI", c.money(n.N_TN_VLR_IPI));
  totais += xml::tag("vIPIDevol", zero);
  totais += xml::tag("vPIS", c.money(n.N_TN_VLR_PIS_PROD));
  totais += xml::tag("vCOFINS", c.money(n.N_TN_VLR_COFINS_PROD));
  totais += xml::tag("vOutro", c.money(n.N_TN_VLR_OUTROS));
  totais += xml::tag("vNF", c.money(n.N_TN_VLR_TOTAL_NOTA));
  if (!linha(totais)) return false;

  if (n.N_TN_VLR_IMPOSTO.value() > 0) linha(xml::tag("vTotTrib", c.money(n.N_TN_VLR_IMPOSTO)));
  linha("</ICMSTot>");

  if (n.I_TN_NOTA_CONJUGADA == 1) {
    // vISS is optional and the schema refuses it at 0.00.
    linha("<ISSQNtot>" + xml::tag("vServ", c.money(n.N_TN_VLR_SERVICO)) + xml::tag("vBC", c.money(n.N_TN_BASE_ISS)) +
          (n.N_TN_VLR_ISS.value() > 0 ? xml::tag("vISS", c.money(n.N_TN_VLR_ISS)) : std::string{}));
    if (n.N_TN_VLR_PIS_SERV.value() > 0) linha(xml::tag("vPIS", c.money(n.N_TN_VLR_PIS_SERV)));
    if (n.N_TN_VLR_COFINS_SERV.value() > 0) linha(xml::tag("vCOFINS", c.money(n.N_TN_VLR_COFINS_SERV)));
    linha(xml::tag("dCompet", c.seguro(FORMATA.Data_Servico(n.D_TN_DATA_EMISSAO))));
    const auto opcional = [&](std::string_view nome, const Dec2& valor) {
      if (valor.value() > 0) linha(xml::tag(nome, c.money(valor)));
    };
    opcional("vDeducao", n.N_TN_VALOR_DEDUCAO_ISS);
    opcional("vOutro", n.N_TN_VALOR_OUTRAS_RETENCOES);
    opcional("vDescIncond", n.N_TN_VALOR_DESCONTO_INCONDICIONADO);
    opcional("vDescCond", n.N_TN_VALOR_DESCONTO_CONDICIONADO);
    opcional("vISSRet", n.N_TN_VALOR_RETENCAO_ISS);
    linha(xml::tag("cRegTrib", c.inteiro(n.I_TN_CODIGO_REGIME_ESPECIAL_TRIB, 1)));
    linha("</ISSQNtot>");
  }
  linha("</total>");
  return true;
}

void NFCE_DOCUMENTO::escreve_transporte() {
  xml::Campos c(FORMATA);
  TABELA_NOTA& n = NOTA;
  const auto linha = [this](std::string_view texto) { return escreve(texto, kFuncao); };
  linha("<transp>" + xml::tag("modFrete", c.inteiro(n.I_TN_MODO_FRETE, 1)));
  const bool tem_cnpj = xml::valor_numerico_nao_zero(n.S_TN_CNPJ_TRANSP);
  if (tem_cnpj || xml::valor_numerico_nao_zero(n.S_TN_CPF_TRANSP)) {
    const std::string documento = tem_cnpj ? xml::tag("CNPJ", c.seguro(FORMATA.CNPJ(n.S_TN_CNPJ_TRANSP)))
                                           : xml::tag("CPF", c.seguro(FORMATA.CPF(n.S_TN_CPF_TRANSP)));
    linha("<transporta>" + documento + xml::tag("xNome", c.texto(n.S_TN_NOME_TRANSP, 60)));
    n.S_TN_IE_TRANSP = FORMATA.IE(n.S_TN_IE_TRANSP, n.S_TN_UF_TRANSP);
    if (!n.S_TN_IE_TRANSP.empty()) linha(xml::tag("IE", c.seguro(n.S_TN_IE_TRANSP)));
    linha(xml::tag("xEnder", c.texto(n.S_TN_ENDERECO_TRANSP, 60)) +
          xml::tag("xMun", c.texto(n.S_TN_CIDADE_TRANSP, 60)) + xml::tag("UF", c.plano(n.S_TN_UF_TRANSP, 2)) +
          "</transporta>");
  }
  if (n.I_TN_QTD_SAIDAS != 0) {
    linha("<vol>" + xml::tag("qVol", c.inteiro(n.I_TN_QTD_SAIDAS, 15)) +
          xml::tag("esp", c.texto(n.S_TN_ESPECIE_SAIDAS, 60)) + xml::tag("marca", c.texto(n.S_TN_MARCA_SAIDAS, 60)) +
          xml::tag("nVol", c.inteiro(n.I_TN_NUMERO_SAIDAS, 60)) +
          xml::tag("pesoL", c.dec(n.N_TN_PESO_LIQ_SAIDAS, 15, 3)) +
          xml::tag("pesoB", c.dec(n.N_TN_PESO_BRU_SAIDAS, 15, 3)) + "</vol>");
  }
  linha("</transp>");
}

void NFCE_DOCUMENTO::escreve_informacoes_adicionais(const std::string& mensagem_fiscal) {
  xml::Campos c(FORMATA);
  const TABELA_NOTA& n = NOTA;
  const auto linha = [this](std::string_view texto) { return escreve(texto, kFuncao); };
  const bool tem_mensagem = !text::clip(mensagem_fiscal).empty();
  const bool tem_observacao = !text::clip(n.S_TN_OBS_NOTA).empty();
  const std::string emails[] = {text::clip(n.S_TN_EMAIL_TRANSPORTADORA), text::clip(n.S_TN_EMAIL_EMITENTE),
                                text::clip(n.S_TN_EMAIL_CONTADOR)};
  bool tem_email = false;
  for (const std::string& email : emails) tem_email = tem_email || !email.empty();
  if (!tem_mensagem && !tem_observacao && !tem_email) return;
  linha("<infAdic>");
  if (tem_mensagem) linha(xml::tag("infAdFisco", c.texto(mensagem_fiscal, 2000)));
  if (tem_observacao) linha(xml::tag("infCpl", c.texto(n.S_TN_OBS_NOTA, 5000)));
  for (const std::string& email : emails) {
    if (!email.empty()) linha("<obsCont xCampo=\"email\">" + xml::tag("xTexto", c.seguro(email)) + "</obsCont>");
  }
  linha("</infAdic>");
}

}  // namespace fvn
