// Every statement the module sends, with the text it is written with and
// sample values pasted the way the callers paste them (values from outside
// through the quoting helpers), run against the shop schema and its demo
// data. A statement that fails, or an inner join that silently drops the
// sale, its items or its payments, fails here before it fails at a till.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "data/passthrough_table.h"
#include "data/sql_values.h"
#include "statement_test_base.h"

namespace fvn {
namespace {

TEST_F(ModuleStatementsTest, AuthorisationWorkflowStatements) {
  EXPECT_EQ(run(" select trim( s_tem_caminho_pasta_nfce ) , trim( s_tem_pasta_padrao_danfe ) , trim( "
                "s_tem_caminho_pasta_nfce ) , i_tem_abre_tela_email_nfe , i_tem_abrir_tela_salvar_danfe , "
                "i_tem_nome_danfe, i_tem_configura1  from tempresa where ccodempresa = 1"),
            1);
  // Values of the service's answer, checked and quoted.
  const std::string url = "https://nfce.fazenda.mg.gov.br/portalnfce/sistema/qrcode.xhtml?p=3126|2|2|1|A'B";
  const std::string oid = *sql_service_integer("70003");
  const std::string date = *sql_service_date("2026-05-04");
  const std::string time = *sql_service_time("11:31:02");
  EXPECT_EQ(run("update asaidas set i_asa_contigencia = " + sql_integer(1) +
                ", i_asa_oid_quorvex = " + *sql_service_integer("0") + ", i_asa_url_code_nfce = '" + escaped(url) +
                "' where cidesaidas = " + id(3) + ";"),
            1);
  EXPECT_EQ(
      run("update asaidas set s_asa_chave_nfe = " + *sql_service_key("31260511222333000181650010000000021000000033") +
          " where cidesaidas = " + id(3) + ";"),
      1);
  EXPECT_EQ(run("update asaidas set i_asa_contigencia = " + sql_integer(0) + ", i_asa_oid_quorvex = " + oid +
                ", i_asa_url_code_nfce = '" + escaped(url) + "', d_asa_data_autorizacao_nfce = " + date +
                " , h_asa_hora_autorizacao_nfce = " + time + " where cidesaidas = " + id(3) + ";"),
            1);
  // A pending answer leaves oid, date and time empty: NULL, not a broken statement.
  EXPECT_EQ(run("update asaidas set i_asa_contigencia = 0, i_asa_oid_quorvex = coalesce(" + *sql_service_integer("") +
                ", 0), i_asa_url_code_nfce = '', d_asa_data_autorizacao_nfce = " + *sql_service_date("") +
                " , h_asa_hora_autorizacao_nfce = " + *sql_service_time("") + " where cidesaidas = " + id(3) + ";"),
            1);
  EXPECT_EQ(
      run("select csrisaidas, cnotsaidas, ctessaidas, i_asa_oid_quorvex from asaidas where cidesaidas = " + id(3)), 1);
  EXPECT_EQ(
      run(" select nextval('seque_xmlnfe') , null , null , null , cemisaidas , cnotsaidas , csrisaidas ,  "
          "cclisaidas , cnomecliente , cvbrsaidas , cacrsaidas , cdessaidas , ctotsaidas , cidesaidas  from asaidas "
          "inner join aclientes on ccodigo = cclisaidas where cidesaidas = " +
          id(3)),
      1);
  ASSERT_EQ(table_->next(), 1);
  const std::vector<SqlParam> record = {
      SqlParam::text(table_->value(0)),  SqlParam::text("31260511222333000181650010000000021000000033"),
      SqlParam::text("131260000000009"), SqlParam::bytes("<nfeProc/>"),
      SqlParam::text(table_->value(4)),  SqlParam::text(table_->value(5)),
      SqlParam::text(table_->value(6)),  SqlParam::text(table_->value(7)),
      SqlParam::text(table_->value(8)),  SqlParam::text(table_->value(9)),
      SqlParam::text(table_->value(10)), SqlParam::text(table_->value(11)),
      SqlParam::text(table_->value(12)), SqlParam::text(table_->value(13))};
  ASSERT_EQ(table_->execute("insert into xmlnfe (i_nfe_codigo, s_nfe_chave, s_nfe_protocolo_autorizacao, b_nfe_xml, "
                            "d_nfe_data_emissao, i_nfe_numero, i_nfe_serie, i_nfe_codigo_cli, s_nfe_nome_cliente, "
                            "n_nfe_valor_bruto, n_nfe_valor_acrescimo, n_nfe_valor_desconto, n_nfe_valor_total, "
                            "i_nfe_codigo_asa) values ($1, $2, $3, $4, $5, $6, $7, $8, $9, $10, $11, $12, $13, $14)",
                            record),
            1)
      << table_->driver_message();
  EXPECT_EQ(run("update asaidas set s_asa_chave_nfe = '" + escaped("31260511222333000181650010000000021000000033") +
                "' , s_asa_protocolo_nfe = '" + escaped("131260000000009") + "' where cidesaidas = " + id(3)),
            1);
  EXPECT_EQ(first("select i_asa_url_code_nfce from asaidas where cidesaidas = 3"), "");
  EXPECT_EQ(first("select count(*) from asaidas where i_asa_url_code_nfce like '%A''B'"), "0");
}

TEST_F(ModuleStatementsTest, DuplicateNoteStatementsCopyTheWholeSale) {
  const int old_sale = 1;
  ASSERT_EQ(run("select nextval('seque_asaidas'), csrisaidas, inclui_sequencia_nsu(cempresasaidas) from asaidas where "
                "cidesaidas = " +
                id(old_sale) + ";"),
            1);
  ASSERT_EQ(table_->next(), 1);
  const std::string new_id = table_->value(0);
  const std::string series = table_->value(1);
  const std::string nsu = table_->value(2);
  const std::string key = *sql_service_key("31260511222333000181650010000000091000000064");
  const std::string number = *sql_service_integer("9");
  const std::vector<std::string> statements = {
      "select * into temp table asaidas_nfce from asaidas where cidesaidas = " + id(old_sale) + " ;",
      "update asaidas_nfce set cidesaidas = " + new_id + ", s_asa_chave_nfe = " + key + ", cnotsaidas = " + number +
          ", i_asa_nsu  = " + nsu + " ;",
      "insert into asaidas select * from asaidas_nfce;",
      "drop table asaidas_nfce;",
      "insert into anosequencia values (" + series + ", " + number + ", '1'  );",
      "select * into temp table xmlnfe_nfce from xmlnfe where i_nfe_codigo_asa =" + id(old_sale) + " ;",
      "update xmlnfe_nfce set i_nfe_codigo = nextval('seque_xmlnfe'), s_nfe_chave = " + key +
          ", i_nfe_codigo_asa = " + new_id + ";",
      "insert into xmlnfe select * from xmlnfe_nfce;",
      "drop table xmlnfe_nfce;",
      "select * into temp table ahistorico_nfce from ahistorico where cisahistorico =" + id(old_sale) + " ;",
      "update ahistorico_nfce set cidehistorico = nextval('seque_ahistorico'), cisahistorico = " + new_id + ";",
      "insert into ahistorico select * from ahistorico_nfce;",
      "drop table ahistorico_nfce;",
      "select * into temp table ahcontas_nfce from ahcontas where cidesaivenhist =" + id(old_sale) + " ;",
      "update ahcontas_nfce set idhistorico = nextval('seque_ahcontas'), cidesaivenhist = " + new_id +
          ", cdescricaohistorico = replace(cdescricaohistorico, '" + escaped("1") + "' , '" + escaped("9") + "');",
      "insert into ahcontas select * from ahcontas_nfce;",
      "drop table ahcontas_nfce;",
      "select * into temp table asduplicatas_nfce from asduplicatas where cisadupli = " + id(old_sale) + " ;",
      "update asduplicatas_nfce set cidedupli = nextval('seque_asduplicatas'), cnotdupli = " + number +
          ", cisadupli = " + new_id + ";",
      "insert into asduplicatas select * from asduplicatas_nfce;",
      "drop table asduplicatas_nfce;",
  };
  for (const std::string& sql : statements) run(sql);
  EXPECT_EQ(first("select count(*) from ahistorico where cisahistorico = " + new_id), "3");
  EXPECT_EQ(first("select string_agg(cdescricaohistorico, ',' order by idhistorico) from ahcontas where "
                  "cidesaivenhist = " +
                  new_id),
            "Venda NF: 9 - Emissor: 9,Troco NF: 9");
  EXPECT_EQ(first("select count(*) from xmlnfe where i_nfe_codigo_asa = " + new_id), "1");
  EXPECT_EQ(first("select count(*) from asaidas where cidesaidas in (1, " + new_id + ")"), "2");
}

TEST_F(ModuleStatementsTest, PendingNoteResolutionStatements) {
  const std::string unresolved =
      "(coalesce(s_asa_protocolo_nfe,'') = '' and i_asa_contigencia = 1 and i_asa_oid_quorvex = 0) or "
      "i_asa_quorvex_canc = 1";
  EXPECT_EQ(run("select cidesaidas, s_asa_chave_nfe, cnotsaidas, csrisaidas, i_asa_quorvex_canc from asaidas where " +
                unresolved + " order by cidesaidas "),
            2);
  EXPECT_EQ(run("select cidesaidas from asaidas where " + unresolved + " "), 2);
  EXPECT_EQ(run("select cidesaidas, cnotsaidas, cclisaidas, ctotsaidas, nome_saidas, s_asa_chave_nfe, "
                "i_asa_quorvex_canc from asaidas where " +
                unresolved + " order by cidesaidas"),
            2);
  // Authorised after all.
  const std::string protocol = "131260000000003";
  EXPECT_EQ(run("update asaidas set i_asa_oid_quorvex = " + *sql_service_integer("70003") +
                ", s_asa_protocolo_nfe = '" + escaped(protocol) + "', i_asa_url_code_nfce = '" +
                escaped("https://x/qr?p=1|2") + "', d_asa_data_autorizacao_nfce = " + *sql_service_date("2026-05-04") +
                " , h_asa_hora_autorizacao_nfce = " + *sql_service_time("12:00:00") + "  where cidesaidas = " + id(3)),
            1);
  EXPECT_EQ(run("update xmlnfe set s_nfe_protocolo_autorizacao = '" + escaped(protocol) +
                "' where i_nfe_codigo_asa = " + id(1)),
            1);
  // Cancelled, twice over.
  const std::string justification =
      "NFCe cancelada apos realizar tentativa de cancelamento quando o sefaz estava offline para o PDV.";
  EXPECT_EQ(run("select estorna_transacao(" + id(4) +
                ",'Nota fiscal cancelada devido a instabilidade no servidor quorvex, nota foi duplicada.','C');"),
            1);
  EXPECT_EQ(run("select estorna_transacao(" + id(4) + ", '" + escaped(justification) + "','C');"), 1);
  EXPECT_EQ(first("select s_nfe_chave from xmlnfe where i_nfe_codigo_asa = " + id(4)),
            "31260511222333000181650010000000031000000049");
  ASSERT_EQ(table_->execute("update xmlnfe set s_nfe_protocolo_cancelamento = $1, b_nfe_xml_cancelamento = $2 "
                            "where s_nfe_chave = $3",
                            {SqlParam::text("135260000000777"), SqlParam::bytes("<procEventoNFe/>"),
                             SqlParam::text("31260511222333000181650010000000031000000049")}),
            1)
      << table_->driver_message();
  EXPECT_EQ(table_->row_count(), 1);
  EXPECT_EQ(run("select cidesaidas from asaidas where " + unresolved + " "), 0);
  // A voided number.
  const std::vector<std::string> voided = {
      "insert into asaidas_canc (cidesaidas,caviaprsaidas,ctessaidas,cemisaidas,cdtsaisaidas,cnatsaidas,cnotsaidas,"
      "csrisaidas,s_asa_status_nf) values (nextval('seque_asaidas_canc'),'V','S', CURRENT_DATE , "
      "CURRENT_DATE,'5.102'," +
          id(2) + "," + id(1) + ",'I') ; ",
      "delete from asduplicatas where cisadupli = " + id(2) + ";",
      "delete from ahcontas where cidesaivenhist = " + id(2) + ";",
      "delete from ahistorico where cisahistorico = " + id(2) + ";",
      "delete from xmlnfe where i_nfe_codigo_asa = " + id(2) + ";",
      "delete from tnota_pedido where i_tnp_asaidas = " + id(2) + ";",
      "delete from asaidas where cidesaidas = " + id(2) + ";",
  };
  for (const std::string& sql : voided) run(sql);
  EXPECT_EQ(first("select count(*) from asaidas where cidesaidas = 2"), "0");
}

TEST_F(ModuleStatementsTest, SaleScreenStatements) {
  EXPECT_EQ(run("Select * From TFormaPagto order by CCodFormaPgto"), 3);
  EXPECT_EQ(table_->column_count(), 13);
  EXPECT_EQ(run("Select * From TBanco;"), 4);
  EXPECT_EQ(table_->column_count(), 3);
  const std::string sequence = "CBR";
  for (const std::string code : {"7891000000014", "000042", "CAF500"}) {
    EXPECT_EQ(run("select * from aprodutos inner join busca_produto ( '" + escaped(code.substr(0, 6)) + "' , '" +
                  escaped(sequence) + "' ) on busca_produto = ccodproduto;"),
              code == "7891000000014" ? 0 : 1)
        << "first six characters of " << code;
    EXPECT_EQ(run("select * from aprodutos inner join busca_produto ( '" + escaped(code) + "' , '" + escaped(sequence) +
                  "' ) on busca_produto = ccodproduto;"),
              1)
        << code;
  }
  EXPECT_EQ(run("select * from produtos_kit where i_prk_codigo_apr = " + id(48) + " order by i_prk_codigo"), 3);
  EXPECT_EQ(
      run("Select * from cstestado where i_cst_codigo_apr = " + id(45) + " and s_cst_uf = '" + escaped("SP") + "';"),
      1);
  EXPECT_EQ(run(" select coalesce(n_ncm_mva,0) , coalesce(n_mva_valor,0) ,  case when coalesce(n_ncm_reducao_mva,0) <> "
                "0 then 100 - coalesce(n_ncm_reducao_mva,0) else 0 end ,  case when coalesce(n_mva_reducao_mva,0) <> 0 "
                "then 100 - coalesce(n_mva_reducao_mva,0) else 0 end  from ncm left join MvaEstado on s_mva_ncm = "
                "i_ncm_codigo and s_mva_uf_destino = '" +
                escaped("SP") + "' " + " where i_ncm_codigo = '" + escaped("82052000") + "';"),
            1);
  EXPECT_EQ(table_->next(), 1);
  EXPECT_EQ(table_->value(3), "90.0000");
  EXPECT_EQ(run("Select * from ISS where i_iss_codigo_atr = " + id(5) + " and i_iss_codigo_tem = " + id(1) + ";"), 1);
  EXPECT_EQ(run("Select i_ufp_codigo_tab_apr from usuario_forma_pagto where i_ufp_codigo_par = " + id(1) +
                " order by i_ufp_codigo_tab_apr;"),
            2);
  EXPECT_EQ(run("select * from ttributacao where ccodtributacao = " + id(4)), 1);
  EXPECT_EQ(run("Select n_prc_perc_desconto_venda, i_prc_codigo_cliente_cred_acl, n_prc_perc_credito_gera_vEnda, "
                "upper(s_pcr_descricao_parceria), cnomecliente from parcerias left outer join aclientes on "
                "i_prc_codigo_cliente_cred_acl = ccodigo where i_prc_codigo = " +
                id(1)),
            1);
  const int company = 1;
  EXPECT_EQ(
      run("Select cserserie, ctiposerie , cimpserie , cdesserie , CForSerie , s_tse_1report_manager , "
          "s_tse_descricao_usuario,i_tse_nf_eletronica, ctiposerie, i_tse_valida_dados from TSeriesNF left join "
          "TSerieUsuarios on cod_ser_usu = cserserie where (" +
          id(company) + " = 0 or " + id(company) + " = CEmpSerie) and cod_usu_usu = " + id(1) +
          " and ctiposerie = 0 and cimpserie = 0 and i_tse_nota_servico = 0 and cserserie = " + id(1) + " order by 1;"),
      1);
  EXPECT_EQ(
      run("Select coalesce(i_tna_adiciona_ipi_icms,0), cdesnatureza, ctpvnatureza, cexsnatureza, "
          "s_tna_codigo_dento_estado_cfop, s_tna_codigo_fora_estado_cfop, s_tna_codigo_ter_dento_estado_cfop, "
          "s_tna_codigo_ter_fora_estado_cfop, s_tna_codigo_st_dento_estado_cfop, s_tna_codigo_st_fora_estado_cfop, "
          "s_tna_codigo_st_ter_dentro_estado_cfop, s_tna_codigo_st_ter_fora_estado_cfop, "
          "s_tna_codigo_servico_dentro_estado_cfop, s_tna_codigo_servico_fora_estado_cfop, i_tna_contra_nota, "
          "cprenatureza, coalesce(i_tna_imposto_aprox,0), ctranatureza, i_tna_imposto_tranferencia, "
          "i_tna_ope_exportacao,  i_tna_troca_cst_icms_transferencia  from TOperacaoUsuario Inner join "
          "tnaturezaoperacao on i_tna_codigo_operacao = i_top_codigo_operacao_tna and i_tna_codigo_operacao = " +
          id(5) + " where i_top_codigo_par = " + id(1) + ";"),
      1);
  EXPECT_EQ(run("Select ccidempresa, s_tem_tipo_empresa , n_tem_aliquota_simples , i_tem_tipo_empresa , s_tem_uf , "
                "CCepEmpresa , i_tce_codigo_cidade , i_tem_insc_municipal , ccnpjempresa , crazempresa , cinsempresa , "
                "i_tem_tipo_quebra, i_tem_utiliza_ipi, i_tem_imposto_emp_pro, n_tem_perc_aprox_impos, cbaiempresa, "
                "cendempresa, s_tem_numero_endereco, s_tem_mensagem_emp_spn, i_tem_configura1 from TEmpresa inner join "
                "TCEP on CCepEmpresa = ccodcep where ccodempresa = " +
                id(company)),
            1);
  EXPECT_EQ(run("Select  ccodformapgto ,  cdesformapgto ,  ctipformapagto ,  i_tfor_dias_entre_prestacoes ,  "
                "i_tfor_num_prestacoes ,  i_tfor_ndias_primeiro_vencto ,  i_com_entrada ,  n_perc_juros_mes ,  "
                "n_perc_descto_forma_pagto ,  s_obs_forma_pagto ,  i_tfo_perm_alt_cond_pgto ,  i_tfo_imprime_relatorio "
                ",  TFormaPagto.i_paf_ide  from TFormaPagto  inner join PRECO_FORMA_PAGTO on ccodformapgto = "
                "i_pfp_codigo_tfo  where i_pfp_codigo_tab_apr = " +
                id(0) + " order by CCodFormaPgto;"),
            3);
}

TEST_F(ModuleStatementsTest, OrderAndServiceOrderStatements) {
  const std::string order = id(1001);
  const std::string orders = sql_integer_list({1001});
  const std::string service_orders = sql_integer_list({501});
  EXPECT_EQ(run("Select i_pdi_codigo_tfo, ctipformapagto, n_pdi_valor_desconto, n_pdi_valor_acrescimo from pedidos "
                "left join tformapagto on i_pdi_codigo_tfo = ccodformapgto where i_pdi_codigo = " +
                order + " order by i_pdi_codigo;"),
            1);
  EXPECT_EQ(run("Select * from pedidos where i_pdi_codigo in (" + orders + ");"), 1);
  EXPECT_EQ(
      run("Select i_ipe_codigo_pdi , i_ipe_codigo_apr , i_ipe_codigo_tve , n_ipe_quantidade , CUniProduto , "
          "n_ipe_valor_unitario , n_ipe_valor_desconto , n_ipe_valor_acrescimo , CTipProduto , s_apr_iat , "
          "s_apr_ippt , n_pdi_valor_subtotal , CBarProduto , s_ipe_desc_produto, cfotproduto , ctriproduto, "
          "CSitTributacao, CIcmTributacao, crictributacao, n_atr_red_base_icms_fora, n_atr_aliq_subs_venda, "
          "s_atr_cst_consumo, s_cst_cst_consumo, s_cst_cst, i_atr_CSOSN, i_atr_csosn_consumo, i_cst_csosn_revenda, "
          "i_cst_csosn_consumo, i_atr_cst_pis, n_atr_perc_pis, i_atr_cst_cofins, n_atr_perc_cofins, i_atr_cst_ipi, "
          "CIpiTributacao, n_ale_percentual_icms, n_ale_percentual_st, i_ale_calculo_st, i_apr_codigo_cnm, "
          "n_ipe_qtd_afaturar, n_ipe_qtd_pendente, count (i_ipe_codigo_pdi), i_ipe_codigo, n_ipe_qtd_entregue, "
          "n_atr_perc_diferimento from itens_pedidos inner join aprodutos on ccodproduto = i_ipe_codigo_apr inner "
          "join pedidos on i_pdi_codigo = i_ipe_codigo_pdi inner join ttributacao on ccodtributacao = ctriproduto "
          "left join cstestado on i_cst_codigo_apr = ccodproduto and s_cst_uf = '" +
          escaped("MG") + "' left join AliquotasEstado on s_ale_uf = '" + escaped("MG") +
          "' where i_ipe_codigo_pdi = " + order +
          " and ( Coalesce ( n_ipe_qtd_pendente , 0 ) > 0 or  Coalesce ( n_ipe_qtd_afaturar , 0 ) > 0 ) "
          "group by i_ipe_codigo_pdi , i_ipe_codigo_apr , i_ipe_codigo_tve , n_ipe_quantidade , CUniProduto , "
          "n_ipe_valor_unitario , n_ipe_valor_desconto , n_ipe_valor_acrescimo , CTipProduto , s_apr_iat , "
          "s_apr_ippt , n_pdi_valor_subtotal , CBarProduto , s_ipe_desc_produto, cfotproduto , ctriproduto, "
          "CSitTributacao, CIcmTributacao, crictributacao, n_atr_red_base_icms_fora, n_atr_aliq_subs_venda, "
          "s_atr_cst_consumo, s_cst_cst_consumo, s_cst_cst, i_atr_CSOSN, i_atr_csosn_consumo, i_cst_csosn_revenda, "
          "i_cst_csosn_consumo, i_atr_cst_pis, n_atr_perc_pis, i_atr_cst_cofins, n_atr_perc_cofins, i_atr_cst_ipi, "
          "CIpiTributacao, n_ale_percentual_icms, n_ale_percentual_st, i_ale_calculo_st, i_apr_codigo_cnm, "
          "n_ipe_qtd_afaturar, n_ipe_qtd_pendente, i_ipe_codigo, n_ipe_qtd_entregue, n_atr_perc_diferimento "
          " order by i_ipe_codigo;"),
      2)
      << "the line with nothing pending and nothing to invoice is not loaded";
  EXPECT_EQ(run("Select i_dpe_numero_duplicata, d_dpe_data_vencimento,n_dpe_valor,n_pdi_valor_entrada,"
                "i_pdi_dias_prestacao, i_pdi_venc_mesmo_dia, (select d_dpe_data_vencimento from duplicata_pedido where "
                "i_dpe_codigo_pdi = " +
                order + " and i_dpe_numero_duplicata = 1 ) - current_date," + "d_pdi_data_primeira_prest, " +
                "n_pdi_perc_juro, " + "i_pdi_tipo_juro," + "i_pdi_tipo_quebra," +
                "(Select count(*) from duplicata_pedido where i_dpe_codigo_pdi = " + order + ") as x, " +
                "(n_pdi_valor_subtotal + n_pdi_valor_acrescimo - n_pdi_valor_desconto + n_pdi_valor_despesas + "
                "n_pdi_valor_frete), " +
                "n_pdi_juros, " + "n_pdi_valor_acrescimo, " +
                "(Select sum ( n_dpe_valor ) from duplicata_pedido where i_dpe_codigo_pdi = " + order + ") as y " +
                "from duplicata_pedido inner join pedidos on i_pdi_codigo = i_dpe_codigo_pdi " +
                "left join tformapagto on ccodformapgto = i_pdi_codigo_tfo " + "where i_dpe_codigo_pdi = " + order +
                " " + "order by i_dpe_numero_duplicata "),
            2);
  EXPECT_EQ(run("Select * from aordens where CideOrd in ( " + service_orders + " ) order by CideOrd;"), 1);
  EXPECT_EQ(
      run("Select ide_aordem , cod_pro_histordem , ven_ordem , qtd_pro_hisordem , CUniProduto , val_uni_hisordem , "
          "0, 0, CTipProduto , s_apr_iat , s_apr_ippt , val_tot_hisordem , CBarProduto , CDesProduto , cfotproduto "
          ", ctriproduto, i_apr_flag_trib_estados, s_apr_codigo_lei116 from ahisordem left join aprodutos on "
          "cod_pro_histordem = CCodProduto left join aordens on ide_aordem = CideOrd where ide_aordem in ( " +
          service_orders + " ) and coalesce ( cod_pro_histordem, 0 ) <> 0 order by ide_aordem"),
      1);
  EXPECT_EQ(first("select count(*), sum(cvalorcreditohistorico) from ahcontas where i_ahc_tip_lancto = 2 and "
                  "i_ahc_ide_oservico in ( " +
                  service_orders + " ) "),
            "1");
  EXPECT_EQ(run("select ccodigofavorecidohistorico, cvalorcreditohistorico from ahcontas where i_ahc_tip_lancto = 2 "
                "and i_ahc_ide_oservico in ( " +
                service_orders + " ) order by idhistorico "),
            1);
  const std::string today = sql_date(date_from_civil(2026, 5, 4));
  const std::string now = sql_time(time_from_civil(17, 30, 0));
  EXPECT_EQ(run("update aordens set  ide_asaidas = " + id(5) + "," + " data_fat = " + today + "," + " hora_fat = " +
                now + "," + " ope_fat = " + id(1) + "," + " cdbaiord  = " + today + "," + " hora_exe = " + now + "," +
                " ope_exe = " + id(1) + " " + " where cideord in ( " + service_orders + " );"),
            1);
  EXPECT_EQ(run("update ahcontas set cidesaivenhist = " + id(5) + " , i_ahc_ide_transacao_fin  = " + id(5) +
                " where i_ahc_ide_oservico in ( " + service_orders + " );"),
            1);
  EXPECT_EQ(run("Select * from aordens where CideOrd in ( " + sql_integer_list({}) + " ) order by CideOrd;"), 0)
      << "an empty list selects nothing";
}

TEST_F(ModuleStatementsTest, RecordingAndReloadStatements) {
  const int old_sale = 3;
  const int new_sale = 6;
  const std::string day = "04/05/2026";
  EXPECT_EQ(run("Begin"), 0);
  EXPECT_EQ(run("select estorna_transacao( " + id(old_sale) + " , 'Cancelamento de Nfe Rejeitada - Emitida nota ID " +
                id(new_sale) + " no dia " + escaped(day) +
                " para substituir. OBS - Nota estornada foi sobreescrita no servidor Quorvex.', 'R' );"),
            1);
  EXPECT_EQ(run("select s_nfs_local_embarque,s_nfs_uf_embarque from nfe_exportacao where i_nfs_codigo = " + id(1)), 1);
  EXPECT_EQ(first("select inclui_sequencia ( " + id(1) + " );"), "2") << "the reload keeps the rejected number";
  EXPECT_EQ(run("update pedidos set i_pdi_codigo_cli = " + id(2) + " where i_pdi_codigo = " + id(1001) + " ;"), 1);
  EXPECT_EQ(run("update pedidos set i_pdi_codigo_cli = " + id(3) + " where i_pdi_codigo in (" +
                sql_integer_list({1001}) + ") ;"),
            1);
  EXPECT_EQ(run("select s_tna_mesagem_nf from tnaturezaoperacao where i_tna_codigo_operacao = " + id(5)), 1);
  EXPECT_EQ(run("select s_acl_mensagem_nfe from aclientes where ccodigo = " + id(3)), 1);
  EXPECT_EQ(run("select s_atr_msg_tributacao from ttributacao inner join aprodutos on ccodproduto = " + id(45) +
                " and ctriproduto = ccodtributacao"),
            1);
  EXPECT_EQ(run("Commit"), 0);
  EXPECT_EQ(run("Select (Select sum(csaihisotorico) from ahistorico where CISAHistorico = " + id(old_sale) +
                ") - (Select sum(csaihisotorico) from ahistorico,asaidas where CISAHistorico = cidesaidas and "
                "ide_futura = " +
                id(old_sale) + ")"),
            1);
  EXPECT_EQ(run("update asaidas set situ_futura = 1 where cidesaidas = " + id(old_sale)), 1);
  EXPECT_EQ(run("update ahistorico set CVcuHistorico = " + sql_number(9.8765, 4) + " where cisahistorico = " + id(1) +
                " and cprohistorico = " + id(42) + ";"),
            1);
  EXPECT_EQ(run("update aprodutos set cpcuproduto = " + sql_number(9.8765, 4) + " where CCodProduto = " + id(42) + ";"),
            1);
  EXPECT_EQ(run("select estorna_transacao( " + id(1) + " , 'Estorno de Nfe Rejeitada' , 'R' );"), 1);
  EXPECT_EQ(run("select estorna_transacao( " + id(4) + " , 'Estorno de Nfe Rejeitada' , '" + "R" + "' );"), 1);
  EXPECT_EQ(run("Select inclui_sequencia_nsu ( " + id(1) + " );"), 1);
  EXPECT_EQ(first("Select (Select count(*) from ahistorico where CISAHistorico = " + id(5) +
                  " and CTipPHistorico = 0),(Select count(*) from ahistorico where CISAHistorico = " + id(5) +
                  " and CTipPHistorico = 1)"),
            "1");
  // Reading a rejected sale back.
  EXPECT_EQ(first("select sum(tot_itens) from ( select sum(n_ahi_valor_tot_item * csaihisotorico) as tot_itens from "
                  "ahistorico where cisahistorico = " +
                  id(5) + " " + "group by n_ahi_valor_tot_item, csaihisotorico) as x"),
            "195.80000000");
  EXPECT_EQ(
      run("Select cclisaidas, cvensaidas, ctrasaidas, cempresasaidas, i_asa_codigo_tna, cvalorfrete, "
          "n_asa_valor_seguro, cacesosaidas, cdessaidas, i_asa_codigo_tab_preco, s_asa_chave_nfe, cnotsaidas, "
          "cacrsaidas, cpliqvolsaidas, cpbrusaidas, cvqtdsaidas, cvespsaidas, cvmarsaidas, cvnumsaidas, "
          "ctfresaidas, i_asa_finalidade_venda, s_asa_obs_digitadas, ctotsaidas, cfpgsaidas, ctipformapagto, "
          "i_asa_codigo_eve, i_asa_cod_parceria from asaidas inner join tformapagto on ccodformapgto = cfpgsaidas "
          "where cidesaidas = " +
          id(old_sale)),
      1);
  const std::string credit_sale = id(2);
  EXPECT_EQ(
      run("Select to_char(cvendupli,'DD') from asduplicatas where cisadupli = " + credit_sale + " order by cnprdupli"),
      2);
  EXPECT_EQ(run("Select cnprdupli , cvendupli, cvprdupli, centsaidas, i_tfor_dias_entre_prestacoes, "
                "to_char(cvendupli,'DD'),i_tfor_ndias_primeiro_vencto, (select cvendupli from asduplicatas where "
                "cisadupli = " +
                credit_sale + " and cnprdupli = 1 ), " + "0, " + "0," +
                "(Select count(*) from asduplicatas where cisadupli = " + credit_sale + ") as x, " + "ctotsaidas " +
                "from asduplicatas " + "inner join asaidas on cidesaidas = cisadupli " +
                "inner join tformapagto on ccodformapgto = cfpgsaidas " + "where cisadupli = " + credit_sale +
                " order by cnprdupli"),
            2);
}

TEST_F(ModuleStatementsTest, RejectedInvoiceWindowStatements) {
  const std::string sale = id(3);
  const Date from = date_from_civil(2026, 5, 1);
  const Date to = date_from_civil(2026, 5, 31);
  EXPECT_EQ(run("select cidesaidas, cclisaidas, cnomecliente, cemisaidas, cnotsaidas, caviaprsaidas, ctotsaidas, "
                "cdessaidas, cacrsaidas, centsaidas, cfpgsaidas, cicmsaidas, n_asa_valor_isento, cimpsaidas, "
                "cvstsaidas, cipisaidas, s_asa_chave_nfe from asaidas inner join tnaturezaoperacao on "
                "i_tna_codigo_operacao = i_asa_codigo_tna inner join aclientes on ccodigo = cclisaidas where "
                "(coalesce(s_asa_protocolo_nfe,'') = '' and i_asa_contigencia = 1 and i_asa_oid_quorvex = 0) and "
                "ccodigo = " +
                id(1) + " and csrisaidas = " + id(1) + " and CEmisaidas >= " + sql_date(from) +
                " and CEmisaidas <= " + sql_date(to) + " and CEmpresaSaidas = " + id(1) + " order by cidesaidas"),
            1);
  EXPECT_EQ(run("select cidehistorico, cprohistorico, cvtothistorico, csaihisotorico, s_ahi_cst_ipi, s_ahi_cst_pis, "
                "s_ahi_cst_cofins, s_ahi_sit_tributaria, i_ahi_csosn, CIcmHistorico, n_ahi_icms_substituicao, "
                "n_ahi_per_icms_subs, CCfoHistorico, n_ahi_aliquota_st, CDesHistorico from ahistorico a where "
                "cisahistorico in (" +
                sale + ") " + "order by cidehistorico; "),
            1);
  EXPECT_EQ(first("select sum(csaihisotorico) from ahistorico a inner join asaidas b on CISAHistorico = cidesaidas "
                  "where cprohistorico = " +
                  id(43) + " and " + "i_ahi_ide_entregue = " + id(6) + " and " + "ide_futura = " + sale + ";"),
            "")
      << "nothing delivered yet: one NULL row";
}

}  // namespace
}  // namespace fvn
