#include "nfce/invoice_records.h"

#include "data/record_columns.h"

namespace fvn {

namespace {

std::string id_text(std::int32_t id) { return std::to_string(id); }

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

// Where the sale's id goes in the header's columns (the e-mail subqueries).
constexpr std::string_view kVendaMarca = "{venda}";

using Nota = RecordColumn<TABELA_NOTA>;
using Item = RecordColumn<TABELA_ITENS>;

// The key's columns keep the blanks around them that the statement always had.
const RecordColumns<TABELA_CHAVE>& chave_columns() {
  static const RecordColumns<TABELA_CHAVE> columns = {
      {" tcep_emp.i_tce_codigo_uf", &TABELA_CHAVE::I_TH_UF},
      {"  to_char(CEmiSaidas,'YYMM')", &TABELA_CHAVE::S_TH_EMISSAO, 6},
      {"  CCnpjEmpresa ", &TABELA_CHAVE::S_TH_CNPJ, 19},
      {" '65'", &TABELA_CHAVE::S_TH_MODELO, kText3},
      {std::string{kSerieExpression} + " as i_tn_serie ", &TABELA_CHAVE::S_TH_SERIE, kText3},
      {" CNotSaidas ", &TABELA_CHAVE::I_TH_NUMERO},
      {" '1' ", &TABELA_CHAVE::I_TH_FORMA_EMISSAO},
      {" cidesaidas ", &TABELA_CHAVE::I_TH_CODIGO_NOTA},
  };
  return columns;
}

const RecordColumns<TABELA_NOTA>& nota_columns() {
  static const RecordColumns<TABELA_NOTA> columns = {
      {"( select inclui_sequencia_lote_nfe() as i_tn_lote_nfe )", &TABELA_NOTA::I_TN_LOTE_NFE},
      {"i_tem_tipo_ambiente", &TABELA_NOTA::I_TN_TIPO_AMBIENTE},
      {"4", &TABELA_NOTA::I_TN_TIPO_IMPRESSAO_DANFE},
      {"cidesaidas", &TABELA_NOTA::S_TN_ID, 51},
      {"tcep_emp.i_tce_codigo_uf", &TABELA_NOTA::I_TN_CODIGO_UF},
      {"cidesaidas", &TABELA_NOTA::I_TN_CODIGO_NF},
      {"cdesnatureza", &TABELA_NOTA::S_TN_NATUREZA, kText201},
      {"i_asa_tipo_pagto", &TABELA_NOTA::I_TN_INDICE_PAG},
      {"65", &TABELA_NOTA::I_TN_MODELO},
      {std::string{kSerieExpression}, &TABELA_NOTA::I_TN_SERIE},
      {"CNotSaidas", &TABELA_NOTA::I_TN_NUMERO_NF},
      {"i_r01_numero_seq_ecf", &TABELA_NOTA::I_TN_SEQ_CF},
      {"c2notsaidas", &TABELA_NOTA::I_TN_NUMERO_CF},
      Nota::day("CEmiSaidas", &TABELA_NOTA::D_TN_DATA_EMISSAO),
      Nota::day("CDtSaiSaidas", &TABELA_NOTA::D_TN_DATA_SAIDA),
      Nota::time("chocsaidas", &TABELA_NOTA::T_TN_HORA_SAIDA),
      {"case when Ctessaidas = 'S' or Ctessaidas = 'P' then 1 else 0 end", &TABELA_NOTA::I_TN_TIPO_NF},
      {"tcep_emp.i_tce_codigo_cidade", &TABELA_NOTA::I_TN_CODIGO_MUNICIPIO},
      {"1", &TABELA_NOTA::I_TN_MODO_ENVIO},
      {"1", &TABELA_NOTA::I_TN_FINNFE},
      {"s_asa_chave_nfe_refer", &TABELA_NOTA::S_TN_CHAVE_REF, 49},
      {"0", &TABELA_NOTA::I_TN_PROCEEMI},
      {"( select i_ver_versao_paf from versao_bd )", &TABELA_NOTA::I_TN_VERSAO},
      {"CCnpjEmpresa", &TABELA_NOTA::S_TN_CNPJ_EMITENTE, kText15},
      {"CRazEmpresa", &TABELA_NOTA::S_TN_NOME_EMITENTE, kText201},
      {"CFanEmpresa", &TABELA_NOTA::S_TN_FANTASIA_EMITENTE, kText201},
      {"CEndEmpresa", &TABELA_NOTA::S_TN_ENDERECO_EMITENTE, kText201},
      {"s_tem_numero_Endereco", &TABELA_NOTA::I_TN_NUMERO_EMITENTE},
      {"CBaiEmpresa", &TABELA_NOTA::S_TN_BAIRRO_EMITENTE, kText201},
      {"tcep_emp.i_tce_codigo_cidade", &TABELA_NOTA::I_TN_COD_MUN_EMITENTE},
      {"CCidEmpresa", &TABELA_NOTA::S_TN_CIDADE_EMITENTE, kText201},
      {"s_tem_uf", &TABELA_NOTA::S_TN_UF_EMITENTE, kText3},
      {"CCepEmpresa", &TABELA_NOTA::I_TN_CEP_EMITENTE},
      {"tcep_emp.i_tce_codigo_pais", &TABELA_NOTA::I_TN_COD_PAIS_EMITENTE},
      {"tcep_emp.s_tce_nome_pais", &TABELA_NOTA::S_TN_PAIS_EMITENTE, 101},
      {"case when coalesce( CFonEmpresa , '' ) <> '' then CFonEmpresa else CFaxEmpresa end",
       &TABELA_NOTA::S_TN_TELEFONE_EMITENTE, 101},
      {"CInsEmpresa", &TABELA_NOTA::S_TN_IE_EMITENTE, 21},
      {"i_tem_crt", &TABELA_NOTA::I_TN_CRT_EMITENTE, kText15},
      {std::string{kDestinatarioId}, &TABELA_NOTA::S_TN_CNPJ_CPF_DESTINATARIO, kText15},
      {"case when coalesce( cnpj_saidas , '' ) <> '' then s_acl_denominacao_social else nome_saidas end",
       &TABELA_NOTA::S_TN_NOME_DESTINATARIO, kText201},
      {"Endereco_saidas", &TABELA_NOTA::S_TN_ENDERECO_DESTINATARIO, kText201},
      {"i_acl_endereco_numero", &TABELA_NOTA::I_TN_NUMERO_DESTINATARIO, 60},
      {"bairro_saidas", &TABELA_NOTA::S_TN_BAIRRO_DESTINATARIO, kText201},
      {"tcep_cli.i_tce_codigo_cidade", &TABELA_NOTA::I_TN_COD_MUN_DESTINATARIO},
      {"cidade_saidas", &TABELA_NOTA::S_TN_CIDADE_DESTINATARIO, kText201},
      {"uf_saidas", &TABELA_NOTA::S_TN_UF_DESTINATARIO, kText3},
      {"cep_saidas", &TABELA_NOTA::I_TN_CEP_DESTINATARIO},
      {"tcep_cli.i_tce_codigo_pais", &TABELA_NOTA::I_TN_COD_PAIS_DESTINATARIO},
      {"tcep_cli.s_tce_nome_pais", &TABELA_NOTA::S_TN_PAIS_DESTINATARIO, 101},
      {std::string{kFoneDestinatario}, &TABELA_NOTA::S_TN_TELEFONE_DESTINATARIO, 101},
      {std::string{kInscricaoDestinatario}, &TABELA_NOTA::S_TN_IE_IR_DESTINATARIO, 21},
      {"case when coalesce( cnpj_saidas , '' ) <> '' then True else False end", &TABELA_NOTA::I_TN_JURIDICO},
      {"cemail", &TABELA_NOTA::S_TN_EMAIL_DESTINATARIO, 513},
      {"CBtrSaidas", &TABELA_NOTA::N_TN_BASE_ICMS_GERAL},
      {"CIcmSaidas", &TABELA_NOTA::N_TN_VLR_ICMS_GERAL},
      {"CBstSaidas", &TABELA_NOTA::N_TN_BASE_ST_GERAL},
      {"CVstSaidas", &TABELA_NOTA::N_TN_VLR_ST_GERAL},
      {"( CMerSaidas  )", &TABELA_NOTA::N_TN_VLR_PRODUTOS},
      {"CValorFrete", &TABELA_NOTA::N_TN_VLR_FRETE},
      {"n_asa_valor_seguro", &TABELA_NOTA::N_TN_VLR_SEGURO},
      {"CDesSaidas", &TABELA_NOTA::N_TN_VLR_DESCONTO},
      {"n_asa_valor_ii", &TABELA_NOTA::N_TN_VLR_VII},
      {"CIpiSaidas", &TABELA_NOTA::N_TN_VLR_IPI},
      {"n_asa_valor_pis", &TABELA_NOTA::N_TN_VLR_PIS},
      {"n_asa_valor_cofins", &TABELA_NOTA::N_TN_VLR_COFINS},
      {"( CAcesoSaidas + CAcrSaidas )", &TABELA_NOTA::N_TN_VLR_OUTROS},
      {"CTotSaidas", &TABELA_NOTA::N_TN_VLR_TOTAL_NOTA},
      {"CtfreSaidas", &TABELA_NOTA::I_TN_MODO_FRETE},
      {"CCnpjTransportadora", &TABELA_NOTA::S_TN_CNPJ_TRANSP, kText15},
      {"ccpftransportadora", &TABELA_NOTA::S_TN_CPF_TRANSP, kText15},
      {"CNomTransportadora", &TABELA_NOTA::S_TN_NOME_TRANSP, kText201},
      {"CInsTransportadora", &TABELA_NOTA::S_TN_IE_TRANSP, 21},
      {"CEndTransportadora", &TABELA_NOTA::S_TN_ENDERECO_TRANSP, kText201},
      {"CCidTransportadora", &TABELA_NOTA::S_TN_CIDADE_TRANSP, kText201},
      {"CUfTransportadora", &TABELA_NOTA::S_TN_UF_TRANSP, kText3},
      {"CPlaTransportadora", &TABELA_NOTA::S_TN_PLACA_TRANSP, 21},
      {"s_atr1_codigo_antt", &TABELA_NOTA::S_TN_RTNC_TRANSP, 11},
      {"case when coalesce( CvqtdSaidas , '' ) <> '' then CvqtdSaidas else '0' end", &TABELA_NOTA::I_TN_QTD_SAIDAS},
      {"case when coalesce( CvespSaidas , '' ) <> '' then CvespSaidas else '0' end", &TABELA_NOTA::S_TN_ESPECIE_SAIDAS,
       51},
      {"case when coalesce( CvmarSaidas , '' ) <> '' then CvmarSaidas else '0' end", &TABELA_NOTA::S_TN_MARCA_SAIDAS,
       51},
      {"case when coalesce( CvnumSaidas , '' ) <> '' then CvnumSaidas else '0' end", &TABELA_NOTA::I_TN_NUMERO_SAIDAS},
      {"coalesce( CpliqvolSaidas , 0 )", &TABELA_NOTA::N_TN_PESO_LIQ_SAIDAS},
      {"coalesce( CpbruSaidas , 0 )", &TABELA_NOTA::N_TN_PESO_BRU_SAIDAS},
      {"case when " + std::string{kMensagens} + " = '' then CObsSaidas else " + std::string{kMensagens} +
           " || ' ' || CObsSaidas end",
       &TABELA_NOTA::S_TN_OBS_NOTA, kObservacao},
      {"i_asa_status_nota_cupom", &TABELA_NOTA::I_TN_STATUS_NOTA_CUPOM},
      {"i_tem_insc_municipal", &TABELA_NOTA::S_TN_IM_EMITENTE, 16},
      {"i_tem_cnae", &TABELA_NOTA::S_TN_CNAE, 8},
      {"case when CSerSaidas <> 0 then 1 else 0 end", &TABELA_NOTA::I_TN_NOTA_CONJUGADA},
      {"CSerSaidas", &TABELA_NOTA::N_TN_VLR_SERVICO},
      {"CSerSaidas", &TABELA_NOTA::N_TN_BASE_ISS},
      {"cimpsaidas", &TABELA_NOTA::N_TN_VLR_ISS},
      {"n_asa_tot_impostos", &TABELA_NOTA::N_TN_VLR_IMPOSTO},
      Nota::time("chocsaidas", &TABELA_NOTA::T_TN_HORA_EMISSAO),
      {"case when s_tem_uf = uf_saidas then 1 when s_tem_uf <> uf_saidas and uf_saidas <> 'EX' then 1 else 3 end",
       &TABELA_NOTA::I_TN_ID_DESTINO},
      {"1", &TABELA_NOTA::I_TN_ID_CONSUMIDOR_FINAL},
      {"case when ctfresaidas <> '9' then 4 else 1 end", &TABELA_NOTA::I_TN_INDICADOR_PRESENCIAL},
      {"9", &TABELA_NOTA::I_TN_INDICADOR_IE_DEST},
      {"'0.00'", &TABELA_NOTA::N_TN_VALOR_DEDUCAO_ISS},
      {"'0.00'", &TABELA_NOTA::N_TN_VALOR_OUTRAS_RETENCOES},
      {"'0.00'", &TABELA_NOTA::N_TN_VALOR_DESCONTO_INCONDICIONADO},
      {"'0.00'", &TABELA_NOTA::N_TN_VALOR_DESCONTO_CONDICIONADO},
      {"n_asa_valor_calc_ret_issqn", &TABELA_NOTA::N_TN_VALOR_RETENCAO_ISS},
      {"'6'", &TABELA_NOTA::I_TN_CODIGO_REGIME_ESPECIAL_TRIB},
      {"to_char(d_asa_digitada,'YYMM')as s_tn_ano_mes_emissao_nota_ref", &TABELA_NOTA::S_TN_ANO_MES_EMISSAO_NOTA_REF,
       5},
      {std::string{kDestinatarioId}, &TABELA_NOTA::S_TN_CNPJ_NOTA_REF, 16},
      {"'01'", &TABELA_NOTA::I_TN_MOD_NOTA_REF, kText3},
      {"i_asa_serie_devolucao", &TABELA_NOTA::I_TN_SERIE_NOTA_REF},
      {"i_asa_num_nota_digitada", &TABELA_NOTA::I_TN_NUMERO_NOTA_REF},
      {"tcep_emp.i_tce_codigo_uf", &TABELA_NOTA::I_TN_COD_UF_NOTA_REF},
      {"s_tem_fuso_horario", &TABELA_NOTA::S_TN_FUSO_HORARIO, 7},
      {"s_asa_chave_devolucao", &TABELA_NOTA::S_TN_CHAVE_DEVOLUCAO, 49},
      {"s_asa_uf_desembaraco_adu", &TABELA_NOTA::S_TN_UF_DESEMBARACO, kText3},
      {"s_asa_local_desembaraco", &TABELA_NOTA::S_TN_LOCAL_DESEMBARACO, 61},
      {"s_asa_tipo_venda", &TABELA_NOTA::S_TN_TIPO_SAIDA, 2},
      {"trim( cematransportador )", &TABELA_NOTA::S_TN_EMAIL_TRANSPORTADORA, kText201},
      {"(select trim( cemaempresa ) from tempresa inner join asaidas on ccodempresa = cempresasaidas where cidesaidas "
       "= {venda} and coalesce(i_tem_email_emitente_nfe,0) = 1) as s_tn_email_emitente",
       &TABELA_NOTA::S_TN_EMAIL_EMITENTE, kText201},
      {"(select trim( s_tcon_email ) from tcontador inner join asaidas on ccodempresa = cempresasaidas where "
       "cidesaidas = {venda} and coalesce(i_tem_email_contador_nfe,0) = 1 limit 1) as s_tn_email_contador",
       &TABELA_NOTA::S_TN_EMAIL_CONTADOR, kText201},
      {"0", &TABELA_NOTA::N_TN_VLR_PIS_SERV},
      {"0", &TABELA_NOTA::N_TN_VLR_COFINS_SERV},
      {"0", &TABELA_NOTA::N_TN_VLR_PIS_PROD},
      {"0", &TABELA_NOTA::N_TN_VLR_COFINS_PROD},
      {"cpf_saidas", &TABELA_NOTA::S_TN_CPF_DESTINATARIO, kText15},
      {"cnpj_saidas", &TABELA_NOTA::S_TN_CNPJ_DESTINATARIO, kText15},
      {"nome_saidas", &TABELA_NOTA::S_TN_NOME_DIGITADO_EMITENTE, kText201},
      {"cnomecliente", &TABELA_NOTA::S_TN_NOME_ACLIENTES_EMITENTE, kText201},
  };
  return columns;
}

const RecordColumns<TABELA_ITENS>& itens_columns() {
  static const RecordColumns<TABELA_ITENS> columns = {
      {"cprohistorico as i_ti_codigo", &TABELA_ITENS::I_TI_CODIGO},
      {"ctipproduto as i_ti_tipo_produto", &TABELA_ITENS::I_TI_TIPO_PRODUTO},
      {"case when coalesce( cbarproduto , '' ) <> '' then cbarproduto else 'SEM GTIN' end as s_ti_cod_barras",
       &TABELA_ITENS::S_TI_COD_BARRAS, 51},
      {"cdeshistorico as s_ti_descricao", &TABELA_ITENS::S_TI_DESCRICAO, kText201},
      {"case when ctipproduto = 0 then i_apr_codigo_cnm else '00' end as s_ti_ncm", &TABELA_ITENS::S_TI_NCM, 51},
      {"ccfohistorico as s_ti_cfop", &TABELA_ITENS::S_TI_CFOP, 51},
      {"cuniproduto as s_ti_unidade", &TABELA_ITENS::S_TI_UNIDADE, 11},
      {"case when ctiphistorico = 'S' or ctiphistorico = 'D' or ctiphistorico = 'P' then csaihisotorico else "
       "centhistorico end as n_ti_quantidade",
       &TABELA_ITENS::N_TI_QUANTIDADE},
      {"case when ctiphistorico = 'S' then cvbrhistorico else cvbrhistorico end as n_ti_vlr_liquido",
       &TABELA_ITENS::N_TI_VLR_LIQUIDO},
      {"cvdeshistorico as n_ti_vlr_desc", &TABELA_ITENS::N_TI_VLR_DESC},
      {"CVTOTHistorico as n_ti_vlr_total", &TABELA_ITENS::N_TI_VLR_TOTAL},
      {"1 as i_ti_ind_totalizador", &TABELA_ITENS::I_TI_IND_TOTALIZADOR},
      {"substr( s_ahi_sit_tributaria , 1 , 1 ) as i_ti_indice", &TABELA_ITENS::I_TI_INDICE},
      {"substr( s_ahi_sit_tributaria , 3 , 2 ) as i_ti_cst", &TABELA_ITENS::I_TI_CST},
      {"0 as i_ti_modbc", &TABELA_ITENS::I_TI_MODBC},
      {"n_ahi_perc_reducao as n_ti_red_icms", &TABELA_ITENS::N_TI_RED_ICMS},
      {"n_ahi_base_icms as n_ti_base_icms", &TABELA_ITENS::N_TI_BASE_ICMS},
      {"cicmhistorico as n_ti_perc_icms", &TABELA_ITENS::N_TI_PERC_ICMS},
      {"CVicHistorico as n_ti_vlr_icms", &TABELA_ITENS::N_TI_VLR_ICMS},
      {"n_ahi_per_conv_subst as n_ti_vlr_mva", &TABELA_ITENS::N_TI_VLR_MVA},
      {"n_atr_red_base_icms_fora as n_ti_red_st", &TABELA_ITENS::N_TI_RED_ST},
      {"n_ahi_base_substituicao as n_ti_base_st", &TABELA_ITENS::N_TI_BASE_ST},
      {"n_ahi_per_icms_subs as n_ti_perc_st", &TABELA_ITENS::N_TI_PERC_ST},
      {"n_ahi_icms_substituicao as n_ti_vlr_st", &TABELA_ITENS::N_TI_VLR_ST},
      {"i_tem_crt as i_ti_crt_emitente", &TABELA_ITENS::I_TI_CRT_EMITENTE},
      {"i_ahi_csosn as i_ti_csosn", &TABELA_ITENS::I_TI_CSOSN},
      {"n_ahi_perc_cred_simples as n_ti_base_ali_simples", &TABELA_ITENS::N_TI_BASE_ALI_SIMPLES},
      {"n_ahi_valor_cred_simples as n_ti_base_icms_simples", &TABELA_ITENS::N_TI_BASE_ICMS_SIMPLES},
      {"0 as i_ti_clenq", &TABELA_ITENS::I_TI_CLENQ},
      {"1 as i_ti_qselo", &TABELA_ITENS::I_TI_QSELO},
      {"999 as i_ti_cenq", &TABELA_ITENS::I_TI_CENQ},
      {"s_ahi_cst_ipi as s_ti_cst_ipi", &TABELA_ITENS::S_TI_CST_IPI, kText3},
      {"n_ahi_base_ipi as n_ti_base_ipi", &TABELA_ITENS::N_TI_BASE_IPI},
      {"cipihistorico as n_ti_perc_ipi", &TABELA_ITENS::N_TI_PERC_IPI},
      {"cviphistorico as n_ti_vlr_ipi", &TABELA_ITENS::N_TI_VLR_IPI},
      {"s_ahi_cst_pis as s_ti_cst_pis", &TABELA_ITENS::S_TI_CST_PIS},
      {"n_ahi_base_pis as n_ti_base_pis", &TABELA_ITENS::N_TI_BASE_PIS},
      {"n_ahi_aliquota_pis as n_ti_perc_pis", &TABELA_ITENS::N_TI_PERC_PIS},
      {"n_ahi_valor_pis as n_ti_vlr_pis", &TABELA_ITENS::N_TI_VLR_PIS},
      {"s_ahi_cst_cofins as s_ti_cst_cofins", &TABELA_ITENS::S_TI_CST_COFINS},
      {"n_ahi_base_cofins as n_ti_base_cofins", &TABELA_ITENS::N_TI_BASE_COFINS},
      {"n_ahi_aliquota_cofins as n_ti_perc_cofins", &TABELA_ITENS::N_TI_PERC_COFINS},
      {"n_ahi_valor_cofins as n_ti_vlr_cofins", &TABELA_ITENS::N_TI_VLR_COFINS},
      {"case when i_par_dest_compl_prod = 1 then ccplproduto else '' end as s_ti_complemento",
       &TABELA_ITENS::S_TI_COMPLEMENTO, 2048},
      {"ccodtributacao as i_ti_cod_tributacao", &TABELA_ITENS::I_TI_COD_TRIBUTACAO},
      {"s_atr_msg_tributacao as s_ti_msg_tributacao", &TABELA_ITENS::S_TI_MSG_TRIBUTACAO, 1024},
      {"cvfihistorico as n_ti_acrescimo", &TABELA_ITENS::N_TI_ACRESCIMO},
      {"s_asa_numero_di as s_ti_numero_importacao", &TABELA_ITENS::S_TI_NUMERO_IMPORTACAO, 21},
      Item::day("d_asa_data_di as d_ti_data_importacao", &TABELA_ITENS::D_TI_DATA_IMPORTACAO),
      {"s_asa_local_desembaraco as s_ti_local_desembaraco", &TABELA_ITENS::S_TI_LOCAL_DESEMBARACO, 61},
      {"s_asa_uf_desembaraco_adu as s_ti_uf_desembaraco", &TABELA_ITENS::S_TI_UF_DESEMBARACO, kText3},
      Item::day("d_asa_data_desembaraco as d_ti_data_desembaraco", &TABELA_ITENS::D_TI_DATA_DESEMBARACO),
      {"s_asa_codigo_exportador as s_ti_codigo_exportador", &TABELA_ITENS::S_TI_CODIGO_EXPORTADOR, 61},
      {"i_ahi_numero_adicao as i_ti_numero_adicao", &TABELA_ITENS::I_TI_NUMERO_ADICAO},
      {"i_ahi_num_seq_item_adicao as i_ti_seq_adicao", &TABELA_ITENS::I_TI_SEQ_ADICAO},
      {"s_ahi_cod_fabri_estrangeiro as s_ti_fabricante_estrangeiro", &TABELA_ITENS::S_TI_FABRICANTE_ESTRANGEIRO, 61},
      {"n_ahi_valor_desc_item_di as n_ti_desconto_di", &TABELA_ITENS::N_TI_DESCONTO_DI},
      {"s_asa_tipo_venda as s_ti_tipo_saida", &TABELA_ITENS::S_TI_TIPO_SAIDA, 2},
      {"n_ahi_seguro_item as n_ti_valor_seguro", &TABELA_ITENS::N_TI_VALOR_SEGURO},
      {"cvachistorico as n_ti_valor_desp_acessorias", &TABELA_ITENS::N_TI_VALOR_DESP_ACESSORIAS},
      {"cvfrehistorico as n_ti_valor_frete", &TABELA_ITENS::N_TI_VALOR_FRETE},
      {"n_ahi_base_ii as n_ti_base_ii", &TABELA_ITENS::N_TI_BASE_II},
      {"n_ahi_desp_aduaneiras as n_ti_valor_desp_adu", &TABELA_ITENS::N_TI_VALOR_DESP_ADU},
      {"n_ahi_valor_ii as n_ti_valor_ii", &TABELA_ITENS::N_TI_VALOR_II},
      {"'0.00' as n_ti_valor_iof", &TABELA_ITENS::N_TI_VALOR_IOF},
      {"CNotSaidas as n_ti_cnotsaidas", &TABELA_ITENS::N_TI_CNOTSAIDAS},
      {"C2NOTSAIDAS as n_ti_c2notsaidas", &TABELA_ITENS::N_TI_C2NOTSAIDAS},
      {"i_asa_status_nota_cupom as i_ti_status_nota_cupom", &TABELA_ITENS::I_TI_STATUS_NOTA_CUPOM},
      {"CVTOTHistorico as n_ti_base_iss", &TABELA_ITENS::N_TI_BASE_ISS},
      {"cisshistorico as n_ti_aliq_iss", &TABELA_ITENS::N_TI_ALIQ_ISS},
      {"cvishistorico as n_ti_valor_iss", &TABELA_ITENS::N_TI_VALOR_ISS},
      {"i_tce_codigo_cidade as s_ti_cod_municipio", &TABELA_ITENS::S_TI_COD_MUNICIPIO, 11},
      {"s_apr_codigo_lei116 as s_ti_lei_116", &TABELA_ITENS::S_TI_LEI_116, 10},
      {"'N' as s_ti_sit_trib_iss", &TABELA_ITENS::S_TI_SIT_TRIB_ISS, kText3},
      {"n_ahi_tot_impostos as n_ti_vlr_imposto", &TABELA_ITENS::N_TI_VLR_IMPOSTO},
      {"s_ahi_chave_fci as s_ti_chave_fci", &TABELA_ITENS::S_TI_CHAVE_FCI, 37},
      {"'0.00' as n_ti_valor_deducao_iss", &TABELA_ITENS::N_TI_VALOR_DEDUCAO_ISS},
      {"'0.00' as n_ti_valor_retencao_iss", &TABELA_ITENS::N_TI_VALOR_RETENCAO_ISS},
      {"'0.00' as n_ti_valor_outras_retencoes", &TABELA_ITENS::N_TI_VALOR_OUTRAS_RETENCOES},
      {"'0.00' as n_ti_desconto_incondicionado", &TABELA_ITENS::N_TI_DESCONTO_INCONDICIONADO},
      {"'0.00' as n_ti_desconto_condicionado", &TABELA_ITENS::N_TI_DESCONTO_CONDICIONADO},
      {"'3' as i_ti_indicador_exigibilidade", &TABELA_ITENS::I_TI_INDICADOR_EXIGIBILIDADE},
      {"'' as s_ti_numero_processo", &TABELA_ITENS::S_TI_NUMERO_PROCESSO, 31},
      {"'2' as i_ti_indicador_incentivo", &TABELA_ITENS::I_TI_INDICADOR_INCENTIVO},
      {"s_apr_cest as s_ti_cest", &TABELA_ITENS::S_TI_CEST, 51},
      {"i_apr_cod_anp as n_ti_cod_anp", &TABELA_ITENS::N_TI_COD_ANP},
      {"i_apr_codif as n_ti_codif", &TABELA_ITENS::N_TI_CODIF},
      {"n_apr_qtemp_comb as n_ti_qtemp_comb", &TABELA_ITENS::N_TI_QTEMP_COMB},
      {"s_apr_desc_anp as s_ti_desc_anp", &TABELA_ITENS::S_TI_DESC_ANP, 96},
      {"n_apr_perc_pglp as n_ti_perc_pglp", &TABELA_ITENS::N_TI_PERC_PGLP},
      {"n_apr_perc_gas_natural as n_ti_perc_gas_natural", &TABELA_ITENS::N_TI_PERC_GAS_NATURAL},
      {"n_apr_gas_importado as n_ti_gas_importado", &TABELA_ITENS::N_TI_GAS_IMPORTADO},
      {"n_apr_valor_partida as n_ti_valor_partida", &TABELA_ITENS::N_TI_VALOR_PARTIDA},
      {"n_ahi_base_icms as n_ti_base_fundo_pobreza", &TABELA_ITENS::N_TI_BASE_FUNDO_POBREZA},
      {"n_atr_fundo_pobreza as n_ti_perc_fundo_pobreza", &TABELA_ITENS::N_TI_PERC_FUNDO_POBREZA},
      {"case when n_atr_fundo_pobreza > 0 then ((n_ahi_base_icms * n_atr_fundo_pobreza ) / 100) else 0 end as "
       "n_ti_valor_fundo_pobreza",
       &TABELA_ITENS::N_TI_VALOR_FUNDO_POBREZA},
      {"n_ahi_base_fcp_st as n_ti_base_st_fundo_pobreza", &TABELA_ITENS::N_TI_BASE_ST_FUNDO_POBREZA},
      {"n_ahi_perc_fcp_st as n_ti_perc_st_fundo_pobreza", &TABELA_ITENS::N_TI_PERC_ST_FUNDO_POBREZA},
      {"n_ahi_valor_fcp_st as n_ti_valor_st_fundo_pobreza", &TABELA_ITENS::N_TI_VALOR_ST_FUNDO_POBREZA},
      {"0 as n_ti_base_st_retido_fundo_pobreza", &TABELA_ITENS::N_TI_BASE_ST_RETIDO_FUNDO_POBREZA},
      {"0 as n_ti_perc_st_retido_fundo_pobreza", &TABELA_ITENS::N_TI_PERC_ST_RETIDO_FUNDO_POBREZA},
      {"0 as n_ti_valor_st_retido_fundo_pobreza", &TABELA_ITENS::N_TI_VALOR_ST_RETIDO_FUNDO_POBREZA},
      {"0 as n_ti_aliq_consumidor_final", &TABELA_ITENS::N_TI_ALIQ_CONSUMIDOR_FINAL},
      {"s_apr_escala_relevante as s_ti_ind_escala_relevante", &TABELA_ITENS::S_TI_IND_ESCALA_RELEVANTE, 2},
      {"s_apr_cnpj_relevante as s_ti_cnpj_fabricante", &TABELA_ITENS::S_TI_CNPJ_FABRICANTE, kText15},
      {"s_apr_cod_benef_fiscal as s_ti_cod_beneficio_fiscal", &TABELA_ITENS::S_TI_COD_BENEFICIO_FISCAL, 11},
      {"n_ahi_perc_diferimento as n_ti_perc_diferimento", &TABELA_ITENS::N_TI_PERC_DIFERIMENTO},
      {"n_ahi_valor_icms_diferido as n_ti_valor_icms_diferido", &TABELA_ITENS::N_TI_VALOR_ICMS_DIFERIDO},
  };
  return columns;
}

// The columns of the card and cash postings, the first branch of the
// payments' union; the other branches follow its order.
const RecordColumns<TABELA_PAGAMENTOS>& pagamentos_columns() {
  static const RecordColumns<TABELA_PAGAMENTOS> columns = {
      {"case when coalesce(ctef_cheque,0) = 0 or ctef_cheque = 1 or ctef_cheque = 2 then '01'      when "
       "ctef_cheque = 3 then '02'      when ctef_cheque = 4 and i_afa_modalidade_cartao in (1,2) then '03'      when "
       "ctef_cheque = 4 and coalesce(i_afa_modalidade_cartao) = 0 then '04' end as s_tp_cod_pagamento",
       &TABELA_PAGAMENTOS::S_TP_COD_PAGAMENTO, kText3},
      {"/*tPag_YA02*/cvalorcreditohistorico as n_tp_valor_pagamento", &TABELA_PAGAMENTOS::N_TP_VALOR_PAGAMENTO},
      {"/*tPag_YA02*/ccnpj as s_tnp_CNPJ_credenciadora", &TABELA_PAGAMENTOS::S_TNP_CNPJ_CREDENCIADORA, kText15},
      {"/*CNPJ_YA05*/'' as s_tp_bandeira", &TABELA_PAGAMENTOS::S_TP_BANDEIRA, kText3},
      {" /*tBand_YA06*/'' as s_tp_num_autorizacao", &TABELA_PAGAMENTOS::S_TP_NUM_AUTORIZACAO, 21},
      {"/*cAut_YA07*/case when ctef_cheque = 4 then 2 else null end as i_tp_integracao /*tpIntegra_YA04A*/",
       &TABELA_PAGAMENTOS::I_TP_INTEGRACAO},
  };
  return columns;
}

}  // namespace

std::string chave_statement(std::int32_t id) {
  return "select " + select_list(chave_columns(), ",") +
         " from asaidas inner join tempresa on cempresasaidas = "
         "ccodempresa inner join tcep as tcep_emp on ccodcep = ccepempresa  inner join tseriesnf on csrisaidas = "
         "cserserie where cidesaidas = " +
         id_text(id) + " ";
}

std::string nota_statement(std::int32_t id) {
  const std::string ids = id_text(id);
  std::string list = select_list(nota_columns(), " , ");
  for (std::size_t at = list.find(kVendaMarca); at != std::string::npos; at = list.find(kVendaMarca, at)) {
    list.replace(at, kVendaMarca.size(), ids);
  }
  return "select " + list +
         " from asaidas inner join tempresa on ccodempresa = cempresasaidas inner join tcep tcep_emp on "
         "tcep_emp.ccodcep = ccepempresa inner join tnaturezaoperacao on i_tna_codigo_operacao = i_asa_codigo_tna "
         "inner join aclientes on ccodigo = cclisaidas inner join tcep tcep_cli on tcep_cli.ccodcep = cep_saidas left "
         "join atransportadora on ccodtransportadora = ctrasaidas inner join tseriesnf on cserserie = CSriSaidas left  "
         "join tmensagens on ccodmensagem = CMsgSaidas left  join registror01 on i_r01_codigo_tse = c2srisaidas where "
         "cidesaidas = " +
         ids;
}

std::string itens_statement(std::int32_t id) {
  return "select " + select_list(itens_columns(), " , ") +
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
  return "select " + select_list(pagamentos_columns(), ", ") +
         "from asaidas inner join ahcontas "
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

void bind_record(PassthroughTable& t, TABELA_CHAVE& r) { bind_columns(t, chave_columns(), r); }
void bind_record(PassthroughTable& t, TABELA_NOTA& r) { bind_columns(t, nota_columns(), r); }
void bind_record(PassthroughTable& t, TABELA_ITENS& r) { bind_columns(t, itens_columns(), r); }
void bind_record(PassthroughTable& t, TABELA_PAGAMENTOS& r) { bind_columns(t, pagamentos_columns(), r); }

}  // namespace fvn
