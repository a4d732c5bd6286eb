#include "devices/danfe_dados.h"

#include <array>

#include <pugixml.hpp>

#include "data/passthrough_table.h"
#include "data/sql_values.h"
#include "runtime/text.h"

namespace fvn {

namespace {

struct ConsultaUf {
  std::string_view uf;
  std::string_view producao;
  std::string_view homologacao;
};

// The address where a consumer looks an NFC-e up by its key, per UF.
constexpr std::array<ConsultaUf, 27> kConsultas = {{
    {"RO", "www.sefin.ro.gov.br/nfce/consulta", "www.sefin.ro.gov.br/nfce/consulta"},
    {"AC", "www.sefaznet.ac.gov.br/nfce/consulta", "www.sefaznet.ac.gov.br/nfce/consulta"},
    {"AM", "www.sefaz.am.gov.br/nfce/consulta", "www.sefaz.am.gov.br/nfce/consulta"},
    {"RR", "www.sefaz.rr.gov.br/nfce/consulta", "www.sefaz.rr.gov.br/nfce/consulta"},
    {"PA", "www.sefa.pa.gov.br/nfce/consulta", "www.sefa.pa.gov.br/nfce/consulta"},
    {"AP", "www.sefaz.ap.gov.br/nfce/consulta", "www.sefaz.ap.gov.br/nfce/consulta"},
    {"TO", "www.sefaz.to.gov.br/nfce/consulta", "http://homologacao.sefaz.to.gov.br/nfce/consulta.jsf"},
    {"MA", "www.sefaz.ma.gov.br/nfce/consulta", "www.sefaz.ma.gov.br/nfce/consulta"},
    {"PI", "www.sefaz.pi.gov.br/nfce/consulta", "www.sefaz.pi.gov.br/nfce/consulta"},
    {"CE", "www.sefaz.ce.gov.br/nfce/consulta", "www.sefaz.ce.gov.br/nfce/consulta"},
    {"RN", "www.set.rn.gov.br/nfce/consulta", "www.set.rn.gov.br/nfce/consulta"},
    {"PB", "www.sefaz.pb.gov.br/nfce/consulta", "www.sefaz.pb.gov.br/nfcehom"},
    {"PE", "nfce.sefaz.pe.gov.br/nfce/consulta", "nfce.sefaz.pe.gov.br/nfce/consulta"},
    {"AL", "www.sefaz.al.gov.br/nfce/consulta", "www.sefaz.al.gov.br/nfce/consulta"},
    {"SE", "http://www.nfce.se.gov.br/nfce/consulta", "http://www.hom.nfe.se.gov.br/nfce/consulta"},
    {"BA", "http://www.sefaz.ba.gov.br/nfce/consulta", "http://hinternet.sefaz.ba.gov.br/nfce/consulta"},
    {"MG", "https://portalsped.fazenda.mg.gov.br/portalnfce", "https://hportalsped.fazenda.mg.gov.br/portalnfce"},
    {"ES", "www.sefaz.es.gov.br/nfce/consulta", "www.sefaz.es.gov.br/nfce/consulta"},
    {"RJ", "www.fazenda.rj.gov.br/nfce/consulta", "www.fazenda.rj.gov.br/nfce/consulta"},
    {"SP", "https://www.nfce.fazenda.sp.gov.br/NFCeConsultaPublica",
     "https://www.homologacao.nfce.fazenda.sp.gov.br/NFCeConsultaPublica"},
    {"PR", "http://www.fazenda.pr.gov.br/nfce/consulta", "http://www.fazenda.pr.gov.br/nfce/consulta"},
    {"SC", "https://sat.sef.sc.gov.br/nfce/consulta", "https://hom.sat.sef.sc.gov.br/nfce/consulta"},
    {"RS", "www.sefaz.rs.gov.br/nfce/consulta", "www.sefaz.rs.gov.br/nfce/consulta"},
    {"MS", "http://www.dfe.ms.gov.br/nfce/consulta", "http://www.dfe.ms.gov.br/nfce/consulta"},
    {"MT", "http://www.sefaz.mt.gov.br/nfce/consultanfce", "http://homologacao.sefaz.mt.gov.br/nfce/consultanfce"},
    {"GO", "www.sefaz.go.gov.br/nfce/consulta", "www.nfce.go.gov.br/post/ver/214413/consulta-nfc-e-homologacao"},
    {"DF", "www.fazenda.df.gov.br/nfce/consulta", "www.fazenda.df.gov.br/nfce/consulta"},
}};

// The name of a payment form as the receipt shows it. `tef` is the posting's
// kind (0 to 2 cash, 3 cheque, 4 card) and `modalidade` the card network's
// modality (1 credit, 2 debit).
std::string forma_pagamento(std::int32_t tef, std::int32_t modalidade, std::string_view favorecido) {
  if (tef == 3) return "Cheque";
  if (tef == 4) {
    if (modalidade == 1) return "Cartão de Crédito";
    if (modalidade == 2) return "Cartão de Débito";
    const std::string nome = text::trim(favorecido);
    return nome.empty() ? "Outros" : nome;
  }
  return "Dinheiro";
}

std::string join_address(std::initializer_list<std::string> parts, std::string_view separator) {
  std::string out;
  for (const std::string& part : parts) {
    const std::string piece = text::trim(part);
    if (piece.empty()) continue;
    if (!out.empty()) out += separator;
    out += piece;
  }
  return out;
}

int le_cabecalho(PassthroughTable& t, std::int32_t ide, DanfeNfce& d, std::string& erro) {
  std::int32_t contingencia = 0;
  std::string rua, numero, pasta, cliente_rua, cliente_bairro, cliente_cidade, cliente_uf;
  t.clear_fields();
  t.bind_long(d.numero)
      .bind_long(d.serie)
      .bind_date(d.data_emissao)
      .bind_time(d.hora_emissao)
      .bind_text(d.chave, 61)
      .bind_text(d.protocolo, 101)
      .bind_date(d.data_autorizacao)
      .bind_time(d.hora_autorizacao)
      .bind_long(contingencia)
      .bind_text(d.url_qrcode, 1001)
      .bind_text(d.consumidor_nome, 201)
      .bind_text(d.consumidor_cpf, 15)
      .bind_text(d.consumidor_cnpj, 15)
      .bind_text(cliente_rua, 201)
      .bind_text(cliente_bairro, 201)
      .bind_text(cliente_cidade, 201)
      .bind_text(cliente_uf, 3)
      .bind_real(d.valor_produtos)
      .bind_real(d.desconto)
      .bind_real(d.acrescimo)
      .bind_real(d.frete)
      .bind_real(d.seguro)
      .bind_real(d.outras_despesas)
      .bind_real(d.valor_pagar)
      .bind_real(d.tributos)
      .bind_text(d.razao_social, 201)
      .bind_text(d.cnpj, 15)
      .bind_text(d.inscricao_estadual, 21)
      .bind_text(rua, 201)
      .bind_text(numero, 21)
      .bind_text(d.bairro, 201)
      .bind_text(d.cidade, 201)
      .bind_long(d.cep)
      .bind_text(d.uf, 3)
      .bind_long(d.ambiente)
      .bind_text(pasta, 4095);
  const std::string sql =
      "select cnotsaidas, coalesce(i_tse_serie_por_modelo, cserserie), cemisaidas, chocsaidas, s_asa_chave_nfe, "
      "s_asa_protocolo_nfe, d_asa_data_autorizacao_nfce, h_asa_hora_autorizacao_nfce, i_asa_contigencia, "
      "i_asa_url_code_nfce, nome_saidas, cpf_saidas, cnpj_saidas, endereco_saidas, bairro_saidas, cidade_saidas, "
      "uf_saidas, cvbrsaidas, cdessaidas, cacrsaidas, cvalorfrete, n_asa_valor_seguro, cacesosaidas, ctotsaidas, "
      "n_asa_tot_impostos, crazempresa, ccnpjempresa, cinsempresa, cendempresa, s_tem_numero_endereco, cbaiempresa, "
      "ccidempresa, ccepempresa, s_tem_uf, i_tem_tipo_ambiente, trim(s_tem_caminho_pasta_nfce) from asaidas inner "
      "join tempresa on ccodempresa = cempresasaidas inner join tseriesnf on cserserie = csrisaidas where cidesaidas "
      "= " +
      sql_integer(ide);
  if (t.open() != 1 || t.execute(sql) != 1) {
    erro = t.error_text("Erro ao consultar a venda na tabela asaidas.|");
    return 0;
  }
  if (t.next() != 1) {
    erro = t.at_end() ? "Venda " + std::to_string(ide) + " não encontrada."
                      : t.error_text("Erro ao ler a venda na tabela asaidas.|");
    return 0;
  }
  d.ide = ide;
  d.chave = text::trim(d.chave);
  d.protocolo = text::trim(d.protocolo);
  d.url_qrcode = text::trim(d.url_qrcode);
  d.contingencia = contingencia == 1 || d.protocolo.empty();
  d.consumidor_nome = text::trim(d.consumidor_nome);
  d.endereco = join_address({rua, numero}, ", ");
  d.consumidor_endereco =
      join_address({cliente_rua, cliente_bairro, join_address({cliente_cidade, cliente_uf}, "/")}, " - ");
  d.pasta_nfce = pasta;
  if (!d.pasta_nfce.empty() && d.pasta_nfce.back() != '/') d.pasta_nfce += '/';
  t.close();
  return 1;
}

int le_itens(PassthroughTable& t, std::int32_t ide, DanfeNfce& d, std::string& erro) {
  std::int32_t produto = 0;
  DanfeItem item;
  t.clear_fields();
  t.bind_long(produto)
      .bind_text(item.descricao, 301)
      .bind_text(item.unidade, 11)
      .bind_real(item.quantidade)
      .bind_real(item.valor_unitario)
      .bind_real(item.valor_total);
  const std::string sql =
      "select cprohistorico, cdeshistorico, coalesce(cuniproduto, ''), case when ctiphistorico in ('S', 'D', 'P') "
      "then csaihisotorico else centhistorico end, cvbrhistorico, cvtothistorico from ahistorico left join aprodutos "
      "on ccodproduto = cprohistorico where cisahistorico = " +
      sql_integer(ide) + " order by cidehistorico";
  if (t.open() != 1 || t.execute(sql) != 1) {
    erro = t.error_text("Erro ao consultar os itens da venda na tabela ahistorico.|");
    return 0;
  }
  while (t.next() == 1) {
    item.codigo = std::to_string(produto);
    item.descricao = text::trim(item.descricao);
    item.unidade = text::trim(item.unidade);
    d.itens.push_back(item);
  }
  if (!t.at_end()) {
    erro = t.error_text("Erro ao ler os itens da venda.|");
    return 0;
  }
  t.close();
  return 1;
}

int le_pagamentos(PassthroughTable& t, std::int32_t ide, DanfeNfce& d, std::string& erro) {
  std::int32_t tef = 0;
  std::int32_t modalidade = 0;
  std::string favorecido;
  double valor = 0;
  t.clear_fields();
  t.bind_long(tef).bind_long(modalidade).bind_text(favorecido, 201).bind_real(valor);
  const std::string id = sql_integer(ide);
  // Payments: the sale's credit postings (reversals left out); then the
  // installments of a credit sale as one line.
  const std::string sql =
      "select coalesce(ctef_cheque, 0), coalesce(i_afa_modalidade_cartao, 0), coalesce(cnomefavorecido, ''), "
      "cvalorcreditohistorico from ahcontas left join afavorecidos on ccodigofavorecido = "
      "ccodigofavorecidohistorico where cidesaivenhist = " +
      id +
      " and cvalorcreditohistorico > 0 and cvalordebitohistorico <= 0 and i_ahc_tip_lancto <> 9 order by "
      "idhistorico";
  if (t.open() != 1 || t.execute(sql) != 1) {
    erro = t.error_text("Erro ao consultar os pagamentos da venda na tabela ahcontas.|");
    return 0;
  }
  while (t.next() == 1) d.pagamentos.push_back({forma_pagamento(tef, modalidade, favorecido), valor});
  if (!t.at_end()) {
    erro = t.error_text("Erro ao ler os pagamentos da venda.|");
    return 0;
  }
  t.clear_fields();
  double parcelas = 0;
  t.bind_real(parcelas).bind_real(d.troco);
  const std::string totais =
      "select (select coalesce(sum(cvprdupli), 0) from asduplicatas where cisadupli = " + id +
      "), (select coalesce(sum(cvalordebitohistorico), 0) from ahcontas where cidesaivenhist = " + id +
      " and cvalordebitohistorico > 0 and i_ahc_tip_lancto <> 9 and upper(cdescricaohistorico) like '%TROCO%')";
  if (t.execute(totais) != 1 || t.next() != 1) {
    erro = t.error_text("Erro ao consultar as parcelas e o troco da venda.|");
    return 0;
  }
  if (parcelas > 0) d.pagamentos.push_back({"Crédito Loja", parcelas});
  t.close();
  return 1;
}

int le_url_consulta(PassthroughTable& t, std::int32_t ide, DanfeNfce& d, std::string& erro) {
  std::string xml;
  t.clear_fields();
  t.bind_blob(xml);
  const std::string sql = "select b_nfe_xml from xmlnfe where i_nfe_codigo_asa = " + sql_integer(ide) +
                          " and b_nfe_xml is not null order by i_nfe_codigo desc limit 1";
  if (t.open() != 1 || t.execute(sql) != 1) {
    erro = t.error_text("Erro ao consultar o XML da venda na tabela xmlnfe.|");
    return 0;
  }
  if (t.next() == 1) d.url_consulta = url_chave_do_xml(xml);
  if (d.url_consulta.empty()) d.url_consulta = endereco_consulta_uf(d.uf, d.ambiente);
  t.close();
  return 1;
}

}  // namespace

std::string DanfeNfce::arquivo_qrcode() const { return pasta_nfce + "Qrcode_Gerados/" + std::to_string(ide) + ".bmp"; }

std::string endereco_consulta_uf(std::string_view uf, std::int32_t ambiente) {
  const std::string wanted = text::upper(text::trim(uf));
  for (const ConsultaUf& entry : kConsultas) {
    if (entry.uf != wanted) continue;
    const std::string_view address = ambiente == 1 ? entry.producao : entry.homologacao;
    if (address.find("://") != std::string_view::npos) return std::string{address};
    return "https://" + std::string{address};
  }
  return {};
}

std::string url_chave_do_xml(std::string_view xml) {
  pugi::xml_document doc;
  if (!doc.load_buffer(xml.data(), xml.size())) return {};
  const pugi::xml_node found = doc.find_node([](const pugi::xml_node& node) {
    const std::string_view name = node.name();
    const std::size_t colon = name.rfind(':');
    return (colon == std::string_view::npos ? name : name.substr(colon + 1)) == "urlChave";
  });
  return found ? text::trim(found.child_value()) : std::string{};
}

int le_danfe(const std::string& connection, std::int32_t ide, DanfeNfce& danfe, std::string& erro) {
  danfe = DanfeNfce{};
  erro.clear();
  PassthroughTable table("DANFE_NFCE", connection);
  if (le_cabecalho(table, ide, danfe, erro) != 1) return 0;
  if (le_itens(table, ide, danfe, erro) != 1) return 0;
  if (le_pagamentos(table, ide, danfe, erro) != 1) return 0;
  return le_url_consulta(table, ide, danfe, erro);
}

}  // namespace fvn
