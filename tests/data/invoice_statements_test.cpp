// The statements that read a recorded sale back to write its invoice: the
// access key, the header (125 columns), the items (106 columns) and the
// payments, run on every demo sale. An inner join that silently dropped the
// sale, an item or a payment would make an invoice without them.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "data/passthrough_table.h"
#include "statement_test_base.h"

namespace fvn {
namespace {

// The access key statement, with the sale id and one blank after it.
std::string key_statement(int sale) {
  return "select  tcep_emp.i_tce_codigo_uf,  to_char(CEmiSaidas,'YYMM'),  CCnpjEmpresa , '65',case when coalesce( "
         "i_tse_serie_por_modelo , 0 ) <> 0 then i_tse_serie_por_modelo else CSriSaidas end as i_tn_serie , CNotSaidas "
         ", "
         "'1' , cidesaidas  from asaidas inner join tempresa on cempresasaidas = ccodempresa inner join tcep as "
         "tcep_emp on "
         "ccodcep = ccepempresa  inner join tseriesnf on csrisaidas = cserserie where cidesaidas = " +
         id(sale) + " ";
}

// The invoice header: 125 columns, then the from-clause.
std::string header_statement(int sale) {
  const std::string walk_in_id =
      "case when s_asa_tipo_venda = 'E' or s_asa_tipo_venda = 'I' then case when coalesce( cnpj_saidas , '' ) <> '' "
      "then '' else 'null' end else case when coalesce( cnpj_saidas , '' ) <> '' then cnpj_saidas else cpf_saidas end "
      "end";
  const std::string messages =
      "trim( coalesce(ctx1mensagem,'') || ' ' || coalesce(ctx2mensagem,'') || ' ' || coalesce(ctx3mensagem,'') || ' ' "
      "|| coalesce(ctx4mensagem,'') )";
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
      "case when coalesce( i_tse_serie_por_modelo , 0 ) <> 0 then i_tse_serie_por_modelo else 1 end",
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
      walk_in_id,
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
      // NOLINTNEXTLINE(bugprone-suspicious-missing-comma): one expression written over three lines
      "case when coalesce( fone_saidas , '' ) <> '' then fone_saidas else case when coalesce( CFoneResidencial , '' ) "
      "<> '' then CFoneResidencial else case when coalesce( CFoneComercial , '' ) <> '' then CFoneComercial else "
      "CFoneCelular end end end",
      "case when s_asa_tipo_venda = 'E' or s_asa_tipo_venda = 'I' then case when coalesce( cnpj_saidas , '' ) <> '' "
      "then '' else 'ISENTO' end else case when coalesce( cnpj_saidas , '' ) <> '' then case when coalesce( "
      "inscricao_saidas , '' ) <> '' then inscricao_saidas else 'ISENTO' end else case when coalesce (cpf_saidas , '') "
      "<> '' then case when coalesce( inscricao_saidas , '' ) <> '' then inscricao_saidas else case when coalesce( "
      "s_acl_inscricao_rural , '' ) <> '' then s_acl_inscricao_rural else 'ISENTO' end end end end end",
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
      "case when " + messages + " = '' then CObsSaidas else " + messages + " || ' ' || CObsSaidas end",
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
      walk_in_id,
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
          id(sale) + " and coalesce(i_tem_email_emitente_nfe,0) = 1) as s_tn_email_emitente",
      "(select trim( s_tcon_email ) from tcontador inner join asaidas on ccodempresa = cempresasaidas where cidesaidas "
      "= " +
          id(sale) + " and coalesce(i_tem_email_contador_nfe,0) = 1 limit 1) as s_tn_email_contador",
      "0",
      "0",
      "0",
      "0",
      "cpf_saidas",
      "cnpj_saidas",
      "nome_saidas",
      "cnomecliente",
  };
  EXPECT_EQ(columns.size(), 125U);
  return "select " + join(columns, " , ") +
         " from asaidas inner join tempresa on ccodempresa = cempresasaidas inner join tcep tcep_emp on "
         "tcep_emp.ccodcep = ccepempresa inner join tnaturezaoperacao on i_tna_codigo_operacao = i_asa_codigo_tna "
         "inner join aclientes on ccodigo = cclisaidas inner join tcep tcep_cli on tcep_cli.ccodcep = cep_saidas left "
         "join atransportadora on ccodtransportadora = ctrasaidas inner join tseriesnf on cserserie = CSriSaidas left  "
         "join tmensagens on ccodmensagem = CMsgSaidas left  join registror01 on i_r01_codigo_tse = c2srisaidas where "
         "cidesaidas = " +
         id(sale);
}

// The items: 106 columns, each with its alias, then the from-clause and order.
std::string items_statement(int sale) {
  const std::vector<std::pair<std::string, std::string>> columns = {
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
      {"n_tem_aliquota_simples", "n_ti_base_ali_simples"},
      {"( ( CVTOTHistorico * n_tem_aliquota_simples ) / 100 )", "n_ti_base_icms_simples"},
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
      {"n_ahi_base_substituicao", "n_ti_base_st_fundo_pobreza"},
      {"n_atr_fundo_pobreza", "n_ti_perc_st_fundo_pobreza"},
      {"case when n_atr_fundo_pobreza > 0 then ((n_ahi_base_substituicao * n_atr_fundo_pobreza ) / 100 ) else 0 end",
       "n_ti_valor_st_fundo_pobreza"},
      {"0", "n_ti_base_st_retido_fundo_pobreza"},
      {"0", "n_ti_perc_st_retido_fundo_pobreza"},
      {"0", "n_ti_valor_st_retido_fundo_pobreza"},
      {"0", "n_ti_aliq_consumidor_final"},
      {"s_apr_escala_relevante", "s_ti_ind_escala_relevante"},
      {"s_apr_cnpj_relevante", "s_ti_cnpj_fabricante"},
      {"s_apr_cod_benef_fiscal", "s_ti_cod_beneficio_fiscal"},
  };
  EXPECT_EQ(columns.size(), 106U);
  std::vector<std::string> list;
  list.reserve(columns.size());
  for (const auto& [expression, alias] : columns) list.push_back(expression + " as " + alias);
  return "select " + join(list, " , ") +
         " from ahistorico inner join aprodutos on ccodproduto = cprohistorico inner join ttributacao on "
         "ccodtributacao = ctriproduto inner join tempresa on ccodempresa = cemphistorico left join parametros on "
         "copcadhistorico = cusuariocod inner join asaidas on cidesaidas = cisahistorico inner join tcep on ccodcep = "
         "ccepempresa where cisahistorico = " +
         id(sale) + " " + "order by s_ahi_sit_tributaria , cidehistorico;";
}

std::string payments_statement(int sale) {
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
         "left "
         "join aclientes on ccodigo = i_afa_cod_cli inner join tnaturezaoperacao on i_asa_codigo_tna = "
         "i_tna_codigo_operacao where cidesaidas = " +
         id(sale) +
         " and cvalordebitohistorico <=0 and ctranatureza = 'SIM' union all select '05' as s_tp_cod_pagamento, "
         "/*tPag_YA02*/sum(cvprdupli) as n_tp_valor_pagamento, /*vPag_YA03*/ " +
         nulls +
         "from asaidas inner join asduplicatas on cisadupli = cidesaidas inner join tnaturezaoperacao on "
         "i_asa_codigo_tna = i_tna_codigo_operacao where cidesaidas = " +
         id(sale) +
         " and ctranatureza = 'SIM' group by s_tp_cod_pagamento, s_tnp_CNPJ_credenciadora, s_tp_bandeira, "
         "s_tp_num_autorizacao union all select '90' as s_tp_cod_pagamento, /*tPag_YA02*/0.00 as n_tp_valor_pagamento, "
         "/*vPag_YA03*/ " +
         nulls +
         "from asaidas inner join tnaturezaoperacao on i_asa_codigo_tna = i_tna_codigo_operacao where cidesaidas = " +
         id(sale) +
         " and ctranatureza = 'NAO' union all select 'TR' as s_tp_cod_pagamento, "
         "cvalordebitohistorico::numeric(15,2) as n_tp_valor_pagamento, /*vTroco_YA09*/ " +
         nulls + "from ahcontas where cidesaivenhist = " + id(sale) +
         " and cvalordebitohistorico > 0 and upper(cdescricaohistorico) like '%TROCO%' order by 1 ";
}

TEST_F(ModuleStatementsTest, InvoiceDocumentStatementsFindEverySaleWhole) {
  for (const int sale : {1, 2, 3, 4, 5}) {
    EXPECT_EQ(run(key_statement(sale)), 1) << "sale " << sale;
    EXPECT_EQ(run(header_statement(sale)), 1) << "sale " << sale;
  }
  EXPECT_EQ(table_->column_count(), 125);
  EXPECT_EQ(first("Select s_tcon_cpf as i_cont_CPF from tcontador order by i_tcon_codigo limit 1;"), "52998224725");
  EXPECT_EQ(run(items_statement(1)), 3);
  EXPECT_EQ(table_->column_count(), 106);
  EXPECT_EQ(run(items_statement(2)), 2);
  EXPECT_EQ(run(items_statement(5)), 2);

  struct Payment {
    int sale;
    std::vector<std::string> rows;  // code:amount
  };
  const std::vector<Payment> payments = {
      {1, {"01:100.0000", "TR:45.61"}}, {2, {"05:169.7000"}}, {4, {"03:9.4900"}}, {5, {"03:194.0100"}}};
  for (const Payment& payment : payments) {
    ASSERT_GE(run(payments_statement(payment.sale)), 0);
    std::vector<std::string> rows;
    while (table_->next() == 1) rows.push_back(table_->value(0) + ":" + table_->value(1));
    EXPECT_EQ(rows, payment.rows) << "sale " << payment.sale;
  }
  run("update asaidas set i_asa_codigo_tna = 6 where cidesaidas = 3");
  EXPECT_EQ(first(payments_statement(3)), "90");
}

}  // namespace
}  // namespace fvn
