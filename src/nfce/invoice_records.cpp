#include "nfce/invoice_records.h"

#include <utility>
#include <vector>

namespace fvn {

namespace {

std::string id_text(std::int32_t id) { return std::to_string(id); }

std::string joined(const std::vector<std::string>& parts, std::string_view separator) {
  std::string out;
  for (const std::string& part : parts) {
    if (!out.empty()) out += separator;
    out += part;
  }
  return out;
}

// The recipient's CNPJ or CPF (column 39, repeated as column 105).
constexpr std::string_view kDestinatarioId =
    "case when s_asa_tipo_venda = 'E' or s_asa_tipo_venda = 'I' then case when coalesce( cnpj_saidas , '' ) <> '' "
    "then '' else 'null' end else case when coalesce( cnpj_saidas , '' ) <> '' then cnpj_saidas else cpf_saidas end "
    "end";

// The four lines of the sale's message, each '' when null, joined by blanks.
constexpr std::string_view kMensagens =
    "trim( coalesce(ctx1mensagem,'') || ' ' || coalesce(ctx2mensagem,'') || ' ' || coalesce(ctx3mensagem,'') || ' ' "
    "|| coalesce(ctx4mensagem,'') )";

// The recipient's telephone (column 50) and registration (column 51).
constexpr std::string_view kFoneDestinatario =
    "case when coalesce( fone_saidas , '' ) <> '' then fone_saidas else case when coalesce( CFoneResidencial , '' ) "
    "<> '' then CFoneResidencial else case when coalesce( CFoneComercial , '' ) <> '' then CFoneComercial else "
    "CFoneCelular end end end";
constexpr std::string_view kInscricaoDestinatario =
    "case when s_asa_tipo_venda = 'E' or s_asa_tipo_venda = 'I' then case when coalesce( cnpj_saidas , '' ) <> '' "
    "then '' else 'ISENTO' end else case when coalesce( cnpj_saidas , '' ) <> '' then case when coalesce( "
    "inscricao_saidas , '' ) <> '' then inscricao_saidas else 'ISENTO' end else case when coalesce (cpf_saidas , '') "
    "<> '' then case when coalesce( inscricao_saidas , '' ) <> '' then inscricao_saidas else case when coalesce( "
    "s_acl_inscricao_rural , '' ) <> '' then s_acl_inscricao_rural else 'ISENTO' end end end end end";

// Capacities (terminator included) of the text fields.
constexpr std::size_t kText3 = 3;
constexpr std::size_t kText15 = 15;
constexpr std::size_t kText201 = 201;
// The observation is read whole: the writer cuts it at its maximum with a
// diagnostic (4 message lines of 255, the typed 5,000 and their blanks fit).
constexpr std::size_t kObservacao = 8192;

}  // namespace

std::string chave_statement(std::int32_t id) {
  return "select  tcep_emp.i_tce_codigo_uf,  to_char(CEmiSaidas,'YYMM'),  CCnpjEmpresa , '65'," +
         std::string{kSerieExpression} +
         " as i_tn_serie , CNotSaidas , '1' , cidesaidas  from asaidas inner join tempresa on cempresasaidas = "
         "ccodempresa inner join tcep as tcep_emp on ccodcep = ccepempresa  inner join tseriesnf on csrisaidas = "
         "cserserie where cidesaidas = " +
         id_text(id) + " ";
}

std::string nota_statement(std::int32_t id) {
  const std::string ids = id_text(id);
  const std::string mensagens{kMensagens};
  const std::vector<std::string> columns = {
      "( select inclui_sequencia_lote_nfe() as i_tn_lote_nfe )",
      "i_tem_tipo_ambiente",
      "4",
      "cidesaidas",
      "tcep_emp.i_tce_codigo_uf",
      "cidesaidas",
      "cdesnatureza",
      "i_asa_tipo_pagto",
      "65",
      std::string{kSerieExpression},
      "CNotSaidas",
      "i_r01_numero_seq_ecf",
      "c2notsaidas",
      "CEmiSaidas",
      "CDtSaiSaidas",
      "chocsaidas",
      "case when Ctessaidas = 'S' or Ctessaidas = 'P' then 1 else 0 end",
      "tcep_emp.i_tce_codigo_cidade",
      "1",
      "1",
      "s_asa_chave_nfe_refer",
      "0",
      "( select i_ver_versao_paf from versao_bd )",
      "CCnpjEmpresa",
      "CRazEmpresa",
      "CFanEmpresa",
      "CEndEmpresa",
      "s_tem_numero_Endereco",
      "CBaiEmpresa",
      "tcep_emp.i_tce_codigo_cidade",
      "CCidEmpresa",
      "s_tem_uf",
      "CCepEmpresa",
      "tcep_emp.i_tce_codigo_pais",
      "tcep_emp.s_tce_nome_pais",
      "case when coalesce( CFonEmpresa , '' ) <> '' then CFonEmpresa else CFaxEmpresa end",
      "CInsEmpresa",
      "i_tem_crt",
      std::string{kDestinatarioId},
      "case when coalesce( cnpj_saidas , '' ) <> '' then s_acl_denominacao_social else nome_saidas end",
      "Endereco_saidas",
      "i_acl_endereco_numero",
      "bairro_saidas",
      "tcep_cli.i_tce_codigo_cidade",
      "cidade_saidas",
      "uf_saidas",
      "cep_saidas",
      "tcep_cli.i_tce_codigo_pais",
      "tcep_cli.s_tce_nome_pais",
      std::string{kFoneDestinatario},
      std::string{kInscricaoDestinatario},
      "case when coalesce( cnpj_saidas , '' ) <> '' then True else False end",
      "cemail",
      "CBtrSaidas",
      "CIcmSaidas",
      "CBstSaidas",
      "CVstSaidas",
      "( CMerSaidas  )",
      "CValorFrete",
      "n_asa_valor_seguro",
      "CDesSaidas",
      "n_asa_valor_ii",
      "CIpiSaidas",
      "n_asa_valor_pis",
      "n_asa_valor_cofins",
      "( CAcesoSaidas + CAcrSaidas )",
      "CTotSaidas",
      "CtfreSaidas",
      "CCnpjTransportadora",
      "ccpftransportadora",
      "CNomTransportadora",
      "CInsTransportadora",
      "CEndTransportadora",
      "CCidTransportadora",
      "CUfTransportadora",
      "CPlaTransportadora",
      "s_atr1_codigo_antt",
      "case when coalesce( CvqtdSaidas , '' ) <> '' then CvqtdSaidas else '0' end",
      "case when coalesce( CvespSaidas , '' ) <> '' then CvespSaidas else '0' end",
      "case when coalesce( CvmarSaidas , '' ) <> '' then CvmarSaidas else '0' end",
      "case when coalesce( CvnumSaidas , '' ) <> '' then CvnumSaidas else '0' end",
      "coalesce( CpliqvolSaidas , 0 )",
      "coalesce( CpbruSaidas , 0 )",
      "case when " + mensagens + " = '' then CObsSaidas else " + mensagens + " || ' ' || CObsSaidas end",
      "i_asa_status_nota_cupom",
      "i_tem_insc_municipal",
      "i_tem_cnae",
      "case when CSerSaidas <> 0 then 1 else 0 end",
      "CSerSaidas",
      "CSerSaidas",
      "cimpsaidas",
      "n_asa_tot_impostos",
      "chocsaidas",
      "case when s_tem_uf = uf_saidas then 1 when s_tem_uf <> uf_saidas and uf_saidas <> 'EX' then 1 else 3 end",
      "1",
      "case when ctfresaidas <> '9' then 4 else 1 end",
      "9",
      "'0.00'",
      "'0.00'",
      "'0.00'",
      "'0.00'",
      "n_asa_valor_calc_ret_issqn",
      "'6'",
      "to_char(d_asa_digitada,'YYMM')as s_tn_ano_mes_emissao_nota_ref",
      std::string{kDestinatarioId},
      "'01'",
      "i_asa_serie_devolucao",
      "i_asa_num_nota_digitada",
      "tcep_emp.i_tce_codigo_uf",
      "s_tem_fuso_horario",
      "s_asa_chave_devolucao",
      "s_asa_uf_desembaraco_adu",
      "s_asa_local_desembaraco",
      "s_asa_tipo_venda",
      "trim( cematransportador )",
      "(select trim( cemaempresa ) from tempresa inner join asaidas on ccodempresa = cempresasaidas where cidesaidas "
      "= " +
          ids + " and coalesce(i_tem_email_emitente_nfe,0) = 1) as s_tn_email_emitente",
      "(select trim( s_tcon_email ) from tcontador inner join asaidas on ccodempresa = cempresasaidas where cidesaidas "
      "= " +
          ids + " and coalesce(i_tem_email_contador_nfe,0) = 1 limit 1) as s_tn_email_contador",
      "0",
      "0",
      "0",
      "0",
      "cpf_saidas",
      "cnpj_saidas",
      "nome_saidas",
      "cnomecliente",
  };
  return "select " + joined(columns, " , ") +
         " from asaidas inner join tempresa on ccodempresa = cempresasaidas inner join tcep tcep_emp on "
         "tcep_emp.ccodcep = ccepempresa inner join tnaturezaoperacao on i_tna_codigo_operacao = i_asa_codigo_tna "
         "inner join aclientes on ccodigo = cclisaidas inner join tcep tcep_cli on tcep_cli.ccodcep = cep_saidas left "
         "join atransportadora on ccodtransportadora = ctrasaidas inner join tseriesnf on cserserie = CSriSaidas left  "
         "join tmensagens on ccodmensagem = CMsgSaidas left  join registror01 on i_r01_codigo_tse = c2srisaidas where "
         "cidesaidas = " +
         ids;
}

std::string itens_statement(std::int32_t id) {
  static const std::vector<std::pair<std::string_view, std::string_view>> columns = {
      {"cprohistorico", "i_ti_codigo"},
      {"ctipproduto", "i_ti_tipo_produto"},
      {"case when coalesce( cbarproduto , '' ) <> '' then cbarproduto else 'SEM GTIN' end", "s_ti_cod_barras"},
      {"cdeshistorico", "s_ti_descricao"},
      {"case when ctipproduto = 0 then i_apr_codigo_cnm else '00' end", "s_ti_ncm"},
      {"ccfohistorico", "s_ti_cfop"},
      {"cuniproduto", "s_ti_unidade"},
      {"case when ctiphistorico = 'S' or ctiphistorico = 'D' or ctiphistorico = 'P' then csaihisotorico else "
       "centhistorico end",
       "n_ti_quantidade"},
      {"case when ctiphistorico = 'S' then cvbrhistorico else cvbrhistorico end", "n_ti_vlr_liquido"},
      {"cvdeshistorico", "n_ti_vlr_desc"},
      {"CVTOTHistorico", "n_ti_vlr_total"},
      {"1", "i_ti_ind_totalizador"},
      {"substr( s_ahi_sit_tributaria , 1 , 1 )", "i_ti_indice"},
      {"substr( s_ahi_sit_tributaria , 3 , 2 )", "i_ti_cst"},
      {"0", "i_ti_modbc"},
      {"n_ahi_perc_reducao", "n_ti_red_icms"},
      {"n_ahi_base_icms", "n_ti_base_icms"},
      {"cicmhistorico", "n_ti_perc_icms"},
      {"CVicHistorico", "n_ti_vlr_icms"},
      {"n_ahi_per_conv_subst", "n_ti_vlr_mva"},
      {"n_atr_red_base_icms_fora", "n_ti_red_st"},
      {"n_ahi_base_substituicao", "n_ti_base_st"},
      {"n_ahi_per_icms_subs", "n_ti_perc_st"},
      {"n_ahi_icms_substituicao", "n_ti_vlr_st"},
      {"i_tem_crt", "i_ti_crt_emitente"},
      {"i_ahi_csosn", "i_ti_csosn"},
      {"n_ahi_perc_cred_simples", "n_ti_base_ali_simples"},
      {"n_ahi_valor_cred_simples", "n_ti_base_icms_simples"},
      {"0", "i_ti_clenq"},
      {"1", "i_ti_qselo"},
      {"999", "i_ti_cenq"},
      {"s_ahi_cst_ipi", "s_ti_cst_ipi"},
      {"n_ahi_base_ipi", "n_ti_base_ipi"},
      {"cipihistorico", "n_ti_perc_ipi"},
      {"cviphistorico", "n_ti_vlr_ipi"},
      {"s_ahi_cst_pis", "s_ti_cst_pis"},
      {"n_ahi_base_pis", "n_ti_base_pis"},
      {"n_ahi_aliquota_pis", "n_ti_perc_pis"},
      {"n_ahi_valor_pis", "n_ti_vlr_pis"},
      {"s_ahi_cst_cofins", "s_ti_cst_cofins"},
      {"n_ahi_base_cofins", "n_ti_base_cofins"},
      {"n_ahi_aliquota_cofins", "n_ti_perc_cofins"},
      {"n_ahi_valor_cofins", "n_ti_vlr_cofins"},
      {"case when i_par_dest_compl_prod = 1 then ccplproduto else '' end", "s_ti_complemento"},
      {"ccodtributacao", "i_ti_cod_tributacao"},
      {"s_atr_msg_tributacao", "s_ti_msg_tributacao"},
      {"cvfihistorico", "n_ti_acrescimo"},
      {"s_asa_numero_di", "s_ti_numero_importacao"},
      {"d_asa_data_di", "d_ti_data_importacao"},
      {"s_asa_local_desembaraco", "s_ti_local_desembaraco"},
      {"s_asa_uf_desembaraco_adu", "s_ti_uf_desembaraco"},
      {"d_asa_data_desembaraco", "d_ti_data_desembaraco"},
      {"s_asa_codigo_exportador", "s_ti_codigo_exportador"},
      {"i_ahi_numero_adicao", "i_ti_numero_adicao"},
      {"i_ahi_num_seq_item_adicao", "i_ti_seq_adicao"},
      {"s_ahi_cod_fabri_estrangeiro", "s_ti_fabricante_estrangeiro"},
      {"n_ahi_valor_desc_item_di", "n_ti_desconto_di"},
      {"s_asa_tipo_venda", "s_ti_tipo_saida"},
      {"n_ahi_seguro_item", "n_ti_valor_seguro"},
      {"cvachistorico", "n_ti_valor_desp_acessorias"},
      {"cvfrehistorico", "n_ti_valor_frete"},
      {"n_ahi_base_ii", "n_ti_base_ii"},
      {"n_ahi_desp_aduaneiras", "n_ti_valor_desp_adu"},
      {"n_ahi_valor_ii", "n_ti_valor_ii"},
      {"'0.00'", "n_ti_valor_iof"},
      {"CNotSaidas", "n_ti_cnotsaidas"},
      {"C2NOTSAIDAS", "n_ti_c2notsaidas"},
      {"i_asa_status_nota_cupom", "i_ti_status_nota_cupom"},
      {"CVTOTHistorico", "n_ti_base_iss"},
      {"cisshistorico", "n_ti_aliq_iss"},
      {"cvishistorico", "n_ti_valor_iss"},
      {"i_tce_codigo_cidade", "s_ti_cod_municipio"},
      {"s_apr_codigo_lei116", "s_ti_lei_116"},
      {"'N'", "s_ti_sit_trib_iss"},
      {"n_ahi_tot_impostos", "n_ti_vlr_imposto"},
      {"s_ahi_chave_fci", "s_ti_chave_fci"},
      {"'0.00'", "n_ti_valor_deducao_iss"},
      {"'0.00'", "n_ti_valor_retencao_iss"},
      {"'0.00'", "n_ti_valor_outras_retencoes"},
      {"'0.00'", "n_ti_desconto_incondicionado"},
      {"'0.00'", "n_ti_desconto_condicionado"},
      {"'3'", "i_ti_indicador_exigibilidade"},
      {"''", "s_ti_numero_processo"},
      {"'2'", "i_ti_indicador_incentivo"},
      {"s_apr_cest", "s_ti_cest"},
      {"i_apr_cod_anp", "n_ti_cod_anp"},
      {"i_apr_codif", "n_ti_codif"},
      {"n_apr_qtemp_comb", "n_ti_qtemp_comb"},
      {"s_apr_desc_anp", "s_ti_desc_anp"},
      {"n_apr_perc_pglp", "n_ti_perc_pglp"},
      {"n_apr_perc_gas_natural", "n_ti_perc_gas_natural"},
      {"n_apr_gas_importado", "n_ti_gas_importado"},
      {"n_apr_valor_partida", "n_ti_valor_partida"},
      {"n_ahi_base_icms", "n_ti_base_fundo_pobreza"},
      {"n_atr_fundo_pobreza", "n_ti_perc_fundo_pobreza"},
      {"case when n_atr_fundo_pobreza > 0 then ((n_ahi_base_icms * n_atr_fundo_pobreza ) / 100) else 0 end",
       "n_ti_valor_fundo_pobreza"},
      {"n_ahi_base_fcp_st", "n_ti_base_st_fundo_pobreza"},
      {"n_ahi_perc_fcp_st", "n_ti_perc_st_fundo_pobreza"},
      {"n_ahi_valor_fcp_st", "n_ti_valor_st_fundo_pobreza"},
      {"0", "n_ti_base_st_retido_fundo_pobreza"},
      {"0", "n_ti_perc_st_retido_fundo_pobreza"},
      {"0", "n_ti_valor_st_retido_fundo_pobreza"},
      {"0", "n_ti_aliq_consumidor_final"},
      {"s_apr_escala_relevante", "s_ti_ind_escala_relevante"},
      {"s_apr_cnpj_relevante", "s_ti_cnpj_fabricante"},
      {"s_apr_cod_benef_fiscal", "s_ti_cod_beneficio_fiscal"},
      {"n_ahi_perc_diferimento", "n_ti_perc_diferimento"},
      {"n_ahi_valor_icms_diferido", "n_ti_valor_icms_diferido"},
  };
  std::string list;
  for (const auto& [expression, alias] : columns) {
    if (!list.empty()) list += " , ";
    list += expression;
    list += " as ";
    list += alias;
  }
  return "select " + list +
         " from ahistorico inner join aprodutos on ccodproduto = cprohistorico inner join ttributacao on "
         "ccodtributacao = ctriproduto inner join tempresa on ccodempresa = cemphistorico left join parametros on "
         "copcadhistorico = cusuariocod inner join asaidas on cidesaidas = cisahistorico inner join tcep on ccodcep = "
         "ccepempresa where cisahistorico = " +
         id_text(id) + " " + "order by s_ahi_sit_tributaria , cidehistorico;";
}

std::string pagamentos_statement(std::int32_t id) {
  const std::string ids = id_text(id);
  const std::string nulls =
      "null as s_tnp_CNPJ_credenciadora, /*CNPJ_YA05*/null as s_tp_bandeira,  /*tBand_YA06*/null as "
      "s_tp_num_autorizacao, /*cAut_YA07*/null as i_tp_integracao  /*tpIntegra_YA04A*/";
  return "select case when coalesce(ctef_cheque,0) = 0 or ctef_cheque = 1 or ctef_cheque = 2 then '01'      when "
         "ctef_cheque = 3 then '02'      when ctef_cheque = 4 and i_afa_modalidade_cartao in (1,2) then '03'      when "
         "ctef_cheque = 4 and coalesce(i_afa_modalidade_cartao) = 0 then '04' end as s_tp_cod_pagamento, "
         "/*tPag_YA02*/cvalorcreditohistorico as n_tp_valor_pagamento, /*tPag_YA02*/ccnpj as s_tnp_CNPJ_credenciadora, "
         "/*CNPJ_YA05*/'' as s_tp_bandeira,  /*tBand_YA06*/'' as s_tp_num_autorizacao, /*cAut_YA07*/case when "
         "ctef_cheque = 4 then 2 else null end as i_tp_integracao /*tpIntegra_YA04A*/from asaidas inner join ahcontas "
         "on cidesaivenhist = cidesaidas inner join afavorecidos on ccodigofavorecido = ccodigofavorecidohistorico "
         "left join aclientes on ccodigo = i_afa_cod_cli inner join tnaturezaoperacao on i_asa_codigo_tna = "
         "i_tna_codigo_operacao where cidesaidas = " +
         ids +
         " and cvalordebitohistorico <=0 and ctranatureza = 'SIM' union all select '05' as s_tp_cod_pagamento, "
         "/*tPag_YA02*/sum(cvprdupli) as n_tp_valor_pagamento, /*vPag_YA03*/ " +
         nulls +
         "from asaidas inner join asduplicatas on cisadupli = cidesaidas inner join tnaturezaoperacao on "
         "i_asa_codigo_tna = i_tna_codigo_operacao where cidesaidas = " +
         ids +
         " and ctranatureza = 'SIM' group by s_tp_cod_pagamento, s_tnp_CNPJ_credenciadora, s_tp_bandeira, "
         "s_tp_num_autorizacao union all select '90' as s_tp_cod_pagamento, /*tPag_YA02*/0.00 as n_tp_valor_pagamento, "
         "/*vPag_YA03*/ " +
         nulls +
         "from asaidas inner join tnaturezaoperacao on i_asa_codigo_tna = i_tna_codigo_operacao where cidesaidas = " +
         ids +
         " and ctranatureza = 'NAO' union all select 'TR' as s_tp_cod_pagamento, "
         "cvalordebitohistorico::numeric(15,2) as n_tp_valor_pagamento, /*vTroco_YA09*/ " +
         nulls + "from ahcontas where cidesaivenhist = " + ids +
         " and cvalordebitohistorico > 0 and upper(cdescricaohistorico) like '%TROCO%' order by 1 ";
}

void bind_record(PassthroughTable& t, TABELA_CHAVE& r) {
  t.clear_fields();
  t.bind_long(r.I_TH_UF)
      .bind_text(r.S_TH_EMISSAO, 6)
      .bind_text(r.S_TH_CNPJ, 19)
      .bind_text(r.S_TH_MODELO, kText3)
      .bind_text(r.S_TH_SERIE, kText3)
      .bind_long(r.I_TH_NUMERO)
      .bind_long(r.I_TH_FORMA_EMISSAO)
      .bind_long(r.I_TH_CODIGO_NOTA);
}

void bind_record(PassthroughTable& t, TABELA_NOTA& r) {
  t.clear_fields();
  t.bind_long(r.I_TN_LOTE_NFE)
      .bind_long(r.I_TN_TIPO_AMBIENTE)
      .bind_long(r.I_TN_TIPO_IMPRESSAO_DANFE)
      .bind_text(r.S_TN_ID, 51)
      .bind_long(r.I_TN_CODIGO_UF)
      .bind_long(r.I_TN_CODIGO_NF)
      .bind_text(r.S_TN_NATUREZA, kText201)
      .bind_long(r.I_TN_INDICE_PAG)
      .bind_long(r.I_TN_MODELO)
      .bind_long(r.I_TN_SERIE)
      .bind_long(r.I_TN_NUMERO_NF)
      .bind_long(r.I_TN_SEQ_CF)
      .bind_long(r.I_TN_NUMERO_CF)
      .bind_date(r.D_TN_DATA_EMISSAO)
      .bind_date(r.D_TN_DATA_SAIDA)
      .bind_time(r.T_TN_HORA_SAIDA)
      .bind_long(r.I_TN_TIPO_NF)
      .bind_long(r.I_TN_CODIGO_MUNICIPIO)
      .bind_long(r.I_TN_MODO_ENVIO)
      .bind_long(r.I_TN_FINNFE)
      .bind_text(r.S_TN_CHAVE_REF, 49)
      .bind_long(r.I_TN_PROCEEMI)
      .bind_long(r.I_TN_VERSAO)
      .bind_text(r.S_TN_CNPJ_EMITENTE, kText15)
      .bind_text(r.S_TN_NOME_EMITENTE, kText201)
      .bind_text(r.S_TN_FANTASIA_EMITENTE, kText201)
      .bind_text(r.S_TN_ENDERECO_EMITENTE, kText201)
      .bind_long(r.I_TN_NUMERO_EMITENTE)
      .bind_text(r.S_TN_BAIRRO_EMITENTE, kText201)
      .bind_long(r.I_TN_COD_MUN_EMITENTE)
      .bind_text(r.S_TN_CIDADE_EMITENTE, kText201)
      .bind_text(r.S_TN_UF_EMITENTE, kText3)
      .bind_long(r.I_TN_CEP_EMITENTE)
      .bind_long(r.I_TN_COD_PAIS_EMITENTE)
      .bind_text(r.S_TN_PAIS_EMITENTE, 101)
      .bind_text(r.S_TN_TELEFONE_EMITENTE, 101)
      .bind_text(r.S_TN_IE_EMITENTE, 21)
      .bind_text(r.I_TN_CRT_EMITENTE, kText15)
      .bind_text(r.S_TN_CNPJ_CPF_DESTINATARIO, kText15)
      .bind_text(r.S_TN_NOME_DESTINATARIO, kText201)
      .bind_text(r.S_TN_ENDERECO_DESTINATARIO, kText201)
      .bind_text(r.I_TN_NUMERO_DESTINATARIO, 60)
      .bind_text(r.S_TN_BAIRRO_DESTINATARIO, kText201)
      .bind_long(r.I_TN_COD_MUN_DESTINATARIO)
      .bind_text(r.S_TN_CIDADE_DESTINATARIO, kText201)
      .bind_text(r.S_TN_UF_DESTINATARIO, kText3)
      .bind_long(r.I_TN_CEP_DESTINATARIO)
      .bind_long(r.I_TN_COD_PAIS_DESTINATARIO)
      .bind_text(r.S_TN_PAIS_DESTINATARIO, 101)
      .bind_text(r.S_TN_TELEFONE_DESTINATARIO, 101)
      .bind_text(r.S_TN_IE_IR_DESTINATARIO, 21)
      .bind_long(r.I_TN_JURIDICO)
      .bind_text(r.S_TN_EMAIL_DESTINATARIO, 513)
      .bind_decimal(r.N_TN_BASE_ICMS_GERAL)
      .bind_decimal(r.N_TN_VLR_ICMS_GERAL)
      .bind_decimal(r.N_TN_BASE_ST_GERAL)
      .bind_decimal(r.N_TN_VLR_ST_GERAL)
      .bind_decimal(r.N_TN_VLR_PRODUTOS)
      .bind_decimal(r.N_TN_VLR_FRETE)
      .bind_decimal(r.N_TN_VLR_SEGURO)
      .bind_decimal(r.N_TN_VLR_DESCONTO)
      .bind_decimal(r.N_TN_VLR_VII)
      .bind_decimal(r.N_TN_VLR_IPI)
      .bind_decimal(r.N_TN_VLR_PIS)
      .bind_decimal(r.N_TN_VLR_COFINS)
      .bind_decimal(r.N_TN_VLR_OUTROS)
      .bind_decimal(r.N_TN_VLR_TOTAL_NOTA)
      .bind_decimal(r.I_TN_MODO_FRETE)
      .bind_text(r.S_TN_CNPJ_TRANSP, kText15)
      .bind_text(r.S_TN_CPF_TRANSP, kText15)
      .bind_text(r.S_TN_NOME_TRANSP, kText201)
      .bind_text(r.S_TN_IE_TRANSP, 21)
      .bind_text(r.S_TN_ENDERECO_TRANSP, kText201)
      .bind_text(r.S_TN_CIDADE_TRANSP, kText201)
      .bind_text(r.S_TN_UF_TRANSP, kText3)
      .bind_text(r.S_TN_PLACA_TRANSP, 21)
      .bind_text(r.S_TN_RTNC_TRANSP, 11)
      .bind_long(r.I_TN_QTD_SAIDAS)
      .bind_text(r.S_TN_ESPECIE_SAIDAS, 51)
      .bind_text(r.S_TN_MARCA_SAIDAS, 51)
      .bind_long(r.I_TN_NUMERO_SAIDAS)
      .bind_decimal(r.N_TN_PESO_LIQ_SAIDAS)
      .bind_decimal(r.N_TN_PESO_BRU_SAIDAS)
      .bind_text(r.S_TN_OBS_NOTA, kObservacao)
      .bind_long(r.I_TN_STATUS_NOTA_CUPOM)
      .bind_text(r.S_TN_IM_EMITENTE, 16)
      .bind_text(r.S_TN_CNAE, 8)
      .bind_long(r.I_TN_NOTA_CONJUGADA)
      .bind_decimal(r.N_TN_VLR_SERVICO)
      .bind_decimal(r.N_TN_BASE_ISS)
      .bind_decimal(r.N_TN_VLR_ISS)
      .bind_decimal(r.N_TN_VLR_IMPOSTO)
      .bind_time(r.T_TN_HORA_EMISSAO)
      .bind_long(r.I_TN_ID_DESTINO)
      .bind_long(r.I_TN_ID_CONSUMIDOR_FINAL)
      .bind_long(r.I_TN_INDICADOR_PRESENCIAL)
      .bind_long(r.I_TN_INDICADOR_IE_DEST)
      .bind_decimal(r.N_TN_VALOR_DEDUCAO_ISS)
      .bind_decimal(r.N_TN_VALOR_OUTRAS_RETENCOES)
      .bind_decimal(r.N_TN_VALOR_DESCONTO_INCONDICIONADO)
      .bind_decimal(r.N_TN_VALOR_DESCONTO_CONDICIONADO)
      .bind_decimal(r.N_TN_VALOR_RETENCAO_ISS)
      .bind_long(r.I_TN_CODIGO_REGIME_ESPECIAL_TRIB)
      .bind_text(r.S_TN_ANO_MES_EMISSAO_NOTA_REF, 5)
      .bind_text(r.S_TN_CNPJ_NOTA_REF, 16)
      .bind_text(r.I_TN_MOD_NOTA_REF, kText3)
      .bind_long(r.I_TN_SERIE_NOTA_REF)
      .bind_long(r.I_TN_NUMERO_NOTA_REF)
      .bind_long(r.I_TN_COD_UF_NOTA_REF)
      .bind_text(r.S_TN_FUSO_HORARIO, 7)
      .bind_text(r.S_TN_CHAVE_DEVOLUCAO, 49)
      .bind_text(r.S_TN_UF_DESEMBARACO, kText3)
      .bind_text(r.S_TN_LOCAL_DESEMBARACO, 61)
      .bind_text(r.S_TN_TIPO_SAIDA, 2)
      .bind_text(r.S_TN_EMAIL_TRANSPORTADORA, kText201)
      .bind_text(r.S_TN_EMAIL_EMITENTE, kText201)
      .bind_text(r.S_TN_EMAIL_CONTADOR, kText201)
      .bind_decimal(r.N_TN_VLR_PIS_SERV)
      .bind_decimal(r.N_TN_VLR_COFINS_SERV)
      .bind_decimal(r.N_TN_VLR_PIS_PROD)
      .bind_decimal(r.N_TN_VLR_COFINS_PROD)
      .bind_text(r.S_TN_CPF_DESTINATARIO, kText15)
      .bind_text(r.S_TN_CNPJ_DESTINATARIO, kText15)
      .bind_text(r.S_TN_NOME_DIGITADO_EMITENTE, kText201)
      .bind_text(r.S_TN_NOME_ACLIENTES_EMITENTE, kText201);
}

void bind_record(PassthroughTable& t, TABELA_ITENS& r) {
  t.clear_fields();
  t.bind_long(r.I_TI_CODIGO)
      .bind_long(r.I_TI_TIPO_PRODUTO)
      .bind_text(r.S_TI_COD_BARRAS, 51)
      .bind_text(r.S_TI_DESCRICAO, kText201)
      .bind_text(r.S_TI_NCM, 51)
      .bind_text(r.S_TI_CFOP, 51)
      .bind_text(r.S_TI_UNIDADE, 11)
      .bind_decimal(r.N_TI_QUANTIDADE)
      .bind_decimal(r.N_TI_VLR_LIQUIDO)
      .bind_decimal(r.N_TI_VLR_DESC)
      .bind_decimal(r.N_TI_VLR_TOTAL)
      .bind_long(r.I_TI_IND_TOTALIZADOR)
      .bind_long(r.I_TI_INDICE)
      .bind_long(r.I_TI_CST)
      .bind_long(r.I_TI_MODBC)
      .bind_decimal(r.N_TI_RED_ICMS)
      .bind_decimal(r.N_TI_BASE_ICMS)
      .bind_decimal(r.N_TI_PERC_ICMS)
      .bind_decimal(r.N_TI_VLR_ICMS)
      .bind_decimal(r.N_TI_VLR_MVA)
      .bind_decimal(r.N_TI_RED_ST)
      .bind_decimal(r.N_TI_BASE_ST)
      .bind_decimal(r.N_TI_PERC_ST)
      .bind_decimal(r.N_TI_VLR_ST)
      .bind_long(r.I_TI_CRT_EMITENTE)
      .bind_long(r.I_TI_CSOSN)
      .bind_decimal(r.N_TI_BASE_ALI_SIMPLES)
      .bind_decimal(r.N_TI_BASE_ICMS_SIMPLES)
      .bind_long(r.I_TI_CLENQ)
      .bind_long(r.I_TI_QSELO)
      .bind_long(r.I_TI_CENQ)
      .bind_text(r.S_TI_CST_IPI, kText3)
      .bind_decimal(r.N_TI_BASE_IPI)
      .bind_decimal(r.N_TI_PERC_IPI)
      .bind_decimal(r.N_TI_VLR_IPI)
      .bind_long(r.S_TI_CST_PIS)
      .bind_decimal(r.N_TI_BASE_PIS)
      .bind_decimal(r.N_TI_PERC_PIS)
      .bind_decimal(r.N_TI_VLR_PIS)
      .bind_long(r.S_TI_CST_COFINS)
      .bind_decimal(r.N_TI_BASE_COFINS)
      .bind_decimal(r.N_TI_PERC_COFINS)
      .bind_decimal(r.N_TI_VLR_COFINS)
      .bind_text(r.S_TI_COMPLEMENTO, 2048)
      .bind_long(r.I_TI_COD_TRIBUTACAO)
      .bind_text(r.S_TI_MSG_TRIBUTACAO, 1024)
      .bind_decimal(r.N_TI_ACRESCIMO)
      .bind_text(r.S_TI_NUMERO_IMPORTACAO, 21)
      .bind_date(r.D_TI_DATA_IMPORTACAO)
      .bind_text(r.S_TI_LOCAL_DESEMBARACO, 61)
      .bind_text(r.S_TI_UF_DESEMBARACO, kText3)
      .bind_date(r.D_TI_DATA_DESEMBARACO)
      .bind_text(r.S_TI_CODIGO_EXPORTADOR, 61)
      .bind_long(r.I_TI_NUMERO_ADICAO)
      .bind_long(r.I_TI_SEQ_ADICAO)
      .bind_text(r.S_TI_FABRICANTE_ESTRANGEIRO, 61)
      .bind_decimal(r.N_TI_DESCONTO_DI)
      .bind_text(r.S_TI_TIPO_SAIDA, 2)
      .bind_decimal(r.N_TI_VALOR_SEGURO)
      .bind_decimal(r.N_TI_VALOR_DESP_ACESSORIAS)
      .bind_decimal(r.N_TI_VALOR_FRETE)
      .bind_decimal(r.N_TI_BASE_II)
      .bind_decimal(r.N_TI_VALOR_DESP_ADU)
      .bind_decimal(r.N_TI_VALOR_II)
      .bind_decimal(r.N_TI_VALOR_IOF)
      .bind_decimal(r.N_TI_CNOTSAIDAS)
      .bind_decimal(r.N_TI_C2NOTSAIDAS)
      .bind_long(r.I_TI_STATUS_NOTA_CUPOM)
      .bind_decimal(r.N_TI_BASE_ISS)
      .bind_decimal(r.N_TI_ALIQ_ISS)
      .bind_decimal(r.N_TI_VALOR_ISS)
      .bind_text(r.S_TI_COD_MUNICIPIO, 11)
      .bind_text(r.S_TI_LEI_116, 10)
      .bind_text(r.S_TI_SIT_TRIB_ISS, kText3)
      .bind_decimal(r.N_TI_VLR_IMPOSTO)
      .bind_text(r.S_TI_CHAVE_FCI, 37)
      .bind_decimal(r.N_TI_VALOR_DEDUCAO_ISS)
      .bind_decimal(r.N_TI_VALOR_RETENCAO_ISS)
      .bind_decimal(r.N_TI_VALOR_OUTRAS_RETENCOES)
      .bind_decimal(r.N_TI_DESCONTO_INCONDICIONADO)
      .bind_decimal(r.N_TI_DESCONTO_CONDICIONADO)
      .bind_long(r.I_TI_INDICADOR_EXIGIBILIDADE)
      .bind_text(r.S_TI_NUMERO_PROCESSO, 31)
      .bind_long(r.I_TI_INDICADOR_INCENTIVO)
      .bind_text(r.S_TI_CEST, 51)
      .bind_long(r.N_TI_COD_ANP)
      .bind_long(r.N_TI_CODIF)
      .bind_decimal(r.N_TI_QTEMP_COMB)
      .bind_text(r.S_TI_DESC_ANP, 96)
      .bind_decimal(r.N_TI_PERC_PGLP)
      .bind_decimal(r.N_TI_PERC_GAS_NATURAL)
      .bind_decimal(r.N_TI_GAS_IMPORTADO)
      .bind_decimal(r.N_TI_VALOR_PARTIDA)
      .bind_decimal(r.N_TI_BASE_FUNDO_POBREZA)
      .bind_decimal(r.N_TI_PERC_FUNDO_POBREZA)
      .bind_decimal(r.N_TI_VALOR_FUNDO_POBREZA)
      .bind_decimal(r.N_TI_BASE_ST_FUNDO_POBREZA)
      .bind_decimal(r.N_TI_PERC_ST_FUNDO_POBREZA)
      .bind_decimal(r.N_TI_VALOR_ST_FUNDO_POBREZA)
      .bind_decimal(r.N_TI_BASE_ST_RETIDO_FUNDO_POBREZA)
      .bind_decimal(r.N_TI_PERC_ST_RETIDO_FUNDO_POBREZA)
      .bind_decimal(r.N_TI_VALOR_ST_RETIDO_FUNDO_POBREZA)
      .bind_decimal(r.N_TI_ALIQ_CONSUMIDOR_FINAL)
      .bind_text(r.S_TI_IND_ESCALA_RELEVANTE, 2)
      .bind_text(r.S_TI_CNPJ_FABRICANTE, kText15)
      .bind_text(r.S_TI_COD_BENEFICIO_FISCAL, 11)
      .bind_decimal(r.N_TI_PERC_DIFERIMENTO)
      .bind_decimal(r.N_TI_VALOR_ICMS_DIFERIDO);
}

void bind_record(PassthroughTable& t, TABELA_PAGAMENTOS& r) {
  t.clear_fields();
  t.bind_text(r.S_TP_COD_PAGAMENTO, kText3)
      .bind_decimal(r.N_TP_VALOR_PAGAMENTO)
      .bind_text(r.S_TNP_CNPJ_CREDENCIADORA, kText15)
      .bind_text(r.S_TP_BANDEIRA, kText3)
      .bind_text(r.S_TP_NUM_AUTORIZACAO, 21)
      .bind_long(r.I_TP_INTEGRACAO);
}

}  // namespace fvn
