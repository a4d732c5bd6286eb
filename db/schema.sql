-- The shop database the point-of-sale module works on: every table, column
-- and sequence its statements read or write.
--
-- Rules that the statements impose on this schema:
--  * Names are lower case and never quoted; the module's statements spell
--    them in any case (CNotSaidas, TFormaPagto) and PostgreSQL folds them.
--    Legacy spellings are kept as they are: csaihisotorico, cematransportador,
--    s_tna_mesagem_nf, s_tna_codigo_dento_estado_cfop, i_asa_contigencia,
--    s_pcr_descricao_parceria, cod_pro_histordem, i_tna_imposto_tranferencia.
--  * Almost no column is qualified in the statements, so a column name that
--    a statement uses unqualified exists in exactly one of the tables it
--    joins (ccodigo only in aclientes, ccnpj only in afavorecidos, ccodcep
--    only in tcep, ccodempresa only in tempresa, ctipformapagto only in
--    tformapagto). Columns added here for the module's own needs carry the
--    tag of their table (i_apr_..., i_acl_...) so that they never collide.
--  * Where a statement joins with an inner join, a missing row on the other
--    side would silently drop the sale, item or payment from the invoice;
--    those links are NOT NULL foreign keys.
--  * Tables read with "select *" are bound by position, so their column
--    order is part of the contract: aprodutos (followed by the busca_produto
--    column), produtos_kit, cstestado, iss, tformapagto, tbanco, pedidos and
--    aordens. Add new columns to those tables only at the end.
--  * CNPJ and CPF are stored as digits only (the records hold 14 and 11
--    characters); CEP is an integer; NCM is text (leading zeros).
--  * Numbers drawn by stations at the same time come from the stored
--    functions of functions.sql, never from a max()+1.
--
-- Load order: schema.sql, functions.sql, then demo.sql (or the shop's data).

set client_min_messages = warning;

-- Version of this schema; `fvn db check` and the module refuse a database
-- whose version differs from the one they were built for.
create table tversao_esquema (
  i_tve_versao integer primary key,
  d_tve_aplicada date not null default current_date,
  s_tve_descricao varchar(200) not null default ''
);

-- The six sequences of the sale and its rows, always read with nextval.
-- Sale ids stay below 10^8: they are the 8-digit numeric code of the key.
create sequence seque_asaidas as integer minvalue 1 maxvalue 99999999;
create sequence seque_asaidas_canc as integer minvalue 1;
create sequence seque_ahistorico as integer minvalue 1;
create sequence seque_ahcontas as integer minvalue 1;
create sequence seque_asduplicatas as integer minvalue 1;
create sequence seque_xmlnfe as integer minvalue 1;
-- Batch numbers of the invoice XML (inclui_sequencia_lote_nfe) and the
-- financial transactions of recorded sales.
create sequence seque_lote_nfe as integer minvalue 1 maxvalue 999999999 cycle;
create sequence seque_transacao_fin as integer minvalue 1;

-- ---------------------------------------------------------------------------
-- Places and companies

-- Postcodes. Joined twice by the invoice header (tcep_emp, tcep_cli).
create table tcep (
  ccodcep integer primary key,                 -- the CEP as a number (30130000)
  s_tce_logradouro varchar(200) not null default '',
  s_tce_bairro varchar(200) not null default '',
  s_tce_cidade varchar(200) not null default '',
  s_tce_uf varchar(2) not null default '',
  i_tce_codigo_uf integer not null,            -- IBGE state code, 2 digits
  i_tce_codigo_cidade integer not null,        -- IBGE municipality, 7 digits
  i_tce_codigo_pais integer not null default 1058,
  s_tce_nome_pais varchar(100) not null default 'BRASIL'
);

create table tempresa (
  ccodempresa integer primary key,
  crazempresa varchar(200) not null,
  cfanempresa varchar(200) not null default '',
  ccnpjempresa varchar(14) not null check (ccnpjempresa ~ '^[0-9]{14}$'),
  cinsempresa varchar(20) not null default '',
  cendempresa varchar(200) not null default '',
  s_tem_numero_endereco varchar(20) not null default '',
  cbaiempresa varchar(200) not null default '',
  ccidempresa varchar(200) not null default '',
  ccepempresa integer not null references tcep,
  s_tem_uf varchar(2) not null,
  cfonempresa varchar(100),
  cfaxempresa varchar(100),
  cemaempresa varchar(200),
  i_tem_email_emitente_nfe integer not null default 0,
  i_tem_email_contador_nfe integer not null default 0,
  i_tem_crt integer not null default 3,         -- 1 Simples Nacional, 3 regular
  i_tem_tipo_ambiente integer not null default 2,  -- 1 production, 2 homologation
  i_tem_insc_municipal varchar(15) not null default '',
  i_tem_cnae varchar(7) not null default '',
  s_tem_fuso_horario varchar(6) not null default '-03:00',
  n_tem_aliquota_simples numeric(15,4) not null default 0,
  s_tem_tipo_empresa varchar(20) not null default '',
  i_tem_tipo_empresa integer not null default 2,   -- 1 Simples, 2 regular
  i_tem_tipo_quebra integer not null default 0,
  i_tem_utiliza_ipi integer not null default 0,
  i_tem_imposto_emp_pro integer not null default 0,
  n_tem_perc_aprox_impos numeric(15,4) not null default 0,
  s_tem_mensagem_emp_spn varchar(255) not null default '',
  i_tem_configura1 integer not null default 0,
  s_tem_caminho_pasta_nfce varchar(4094) not null default '',
  s_tem_pasta_padrao_danfe varchar(4094) not null default '',
  i_tem_abre_tela_email_nfe integer not null default 0,
  i_tem_abrir_tela_salvar_danfe integer not null default 0,
  i_tem_nome_danfe integer not null default 0,
  i_tem_nsu integer not null default 0,            -- last NSU (inclui_sequencia_nsu)
  i_tem_tipo_juros integer not null default 0,
  i_tem_etiqueta_balanca integer not null default 0,
  i_tem_utiliza_parceria integer not null default 0,
  i_tem_utiliza_evento integer not null default 0,
  i_tem_usa_http integer not null default 1,
  i_tem_porta_edoc integer not null default 0,
  s_tem_url_edoc varchar(255) not null default '',
  s_tem_login_edoc varchar(100) not null default '',
  s_tem_grupo_edoc varchar(100) not null default '',
  s_tem_senha_edoc varchar(100) not null default '',
  s_tem_sequencia_busca_produto varchar(20) not null default 'CB',
  s_tem_descricao_tabela1 varchar(40) not null default '',
  s_tem_descricao_tabela2 varchar(40) not null default '',
  s_tem_descricao_tabela3 varchar(40) not null default '',
  s_tem_descricao_tabela4 varchar(40) not null default '',
  s_tem_descricao_tabela5 varchar(40) not null default '',
  s_tem_descricao_tabela6 varchar(40) not null default '',
  s_tem_descricao_tabela7 varchar(40) not null default '',
  s_tem_descricao_tabela8 varchar(40) not null default '',
  s_tem_descricao_tabela9 varchar(40) not null default '',
  s_tem_descricao_tabela10 varchar(40) not null default '',
  i_tem_ramo integer not null default 2,
  i_tem_arredonda_base_calculo integer not null default 0,
  i_tem_valida_nt_2015 integer not null default 1
);

-- The shop's accountant. No ccodempresa column: the invoice header's
-- sub-select refers to the outer company through it.
create table tcontador (
  i_tcon_codigo integer primary key,
  s_tcon_nome varchar(200) not null default '',
  s_tcon_cpf varchar(14) not null default '',
  s_tcon_email varchar(200) not null default ''
);

-- ---------------------------------------------------------------------------
-- Series, operations, users

create table tseriesnf (
  cserserie integer primary key check (cserserie between 1 and 999),
  cdesserie varchar(100) not null default '',
  cempserie integer not null default 0,          -- company, 0 = any
  ctiposerie integer not null default 0,
  cimpserie integer not null default 0,
  cforserie integer not null default 2,          -- form kind: 2 = NFC-e
  s_tse_1report_manager varchar(20) not null default '1',
  s_tse_descricao_usuario varchar(100) not null default '',
  i_tse_nf_eletronica integer not null default 1,
  i_tse_valida_dados integer not null default 1,
  i_tse_nota_servico integer not null default 0,
  i_tse_serie_por_modelo integer,                -- series number in the key and <serie>
  i_tse_ultimo_numero integer not null default 0 check (i_tse_ultimo_numero between 0 and 999999999),
  s_tse_marca_ecf varchar(20) not null default ''
);

create table tserieusuarios (
  cod_ser_usu integer not null references tseriesnf,
  cod_usu_usu integer not null,
  primary key (cod_ser_usu, cod_usu_usu)
);

create table tnaturezaoperacao (
  i_tna_codigo_operacao integer primary key,
  cdesnatureza varchar(200) not null,
  ctranatureza varchar(3) not null check (ctranatureza in ('SIM', 'NAO')),
  i_tna_adiciona_ipi_icms integer,
  ctpvnatureza varchar(40) not null default 'VENDA',
  cexsnatureza varchar(10) not null default 'SAIDA',
  cprenatureza varchar(10) not null default '',
  s_tna_codigo_dento_estado_cfop varchar(5) not null default '',
  s_tna_codigo_fora_estado_cfop varchar(5) not null default '',
  s_tna_codigo_ter_dento_estado_cfop varchar(5) not null default '',
  s_tna_codigo_ter_fora_estado_cfop varchar(5) not null default '',
  s_tna_codigo_st_dento_estado_cfop varchar(5) not null default '',
  s_tna_codigo_st_fora_estado_cfop varchar(5) not null default '',
  s_tna_codigo_st_ter_dentro_estado_cfop varchar(5) not null default '',
  s_tna_codigo_st_ter_fora_estado_cfop varchar(5) not null default '',
  s_tna_codigo_servico_dentro_estado_cfop varchar(5) not null default '',
  s_tna_codigo_servico_fora_estado_cfop varchar(5) not null default '',
  i_tna_contra_nota integer not null default 0,
  i_tna_imposto_aprox integer,
  i_tna_imposto_tranferencia integer not null default 0,
  i_tna_ope_exportacao integer not null default 0,
  i_tna_troca_cst_icms_transferencia integer not null default 0,
  s_tna_mesagem_nf text not null default '',
  i_tna_venda_futura integer not null default 0,
  i_tna_atualiza_custo integer not null default 0,
  i_tna_transferencia integer not null default 0,
  i_tna_adiciona_desp_devolucao_base_icms integer not null default 0,
  i_tna_condicional_defeito integer not null default 0
);

create table toperacaousuario (
  i_top_codigo_operacao_tna integer not null references tnaturezaoperacao,
  i_top_codigo_par integer not null,             -- operator
  primary key (i_top_codigo_operacao_tna, i_top_codigo_par)
);

-- Per-user parameters (left-joined by the item XML through the operator).
create table parametros (
  cusuariocod integer primary key,
  s_par_nome_usuario varchar(100) not null default '',
  i_par_dest_compl_prod integer not null default 0,
  i_par_emissor_padrao_nfce integer not null default 0,
  i_par_usa_digito_verificador_venda integer not null default 0,
  i_par_qtd_val_cod_barra integer not null default 0,
  i_par_utiliza_desc_item integer not null default 1,
  i_par_tipo_frete_padrao integer not null default 9
);

create table tmensagens (
  ccodmensagem integer primary key,
  ctx1mensagem varchar(255),
  ctx2mensagem varchar(255),
  ctx3mensagem varchar(255),
  ctx4mensagem varchar(255)
);

create table registror01 (
  i_r01_codigo_tse integer primary key,
  i_r01_numero_seq_ecf integer not null default 0
);

-- Version of the issuing program written as <verProc>; at most one row.
create table versao_bd (
  i_ver_versao_paf integer not null,
  i_ver_unica integer not null default 1 unique check (i_ver_unica = 1)
);

-- ---------------------------------------------------------------------------
-- Parties

create table aclientes (
  ccodigo integer primary key,
  cnomecliente varchar(200) not null,
  s_acl_denominacao_social varchar(200) not null default '',
  i_acl_tipo_pessoa integer not null default 1,    -- 1 person (CPF), 2 company (CNPJ)
  s_acl_cpf varchar(11) not null default '' check (s_acl_cpf ~ '^[0-9]*$'),
  s_acl_cnpj varchar(14) not null default '' check (s_acl_cnpj ~ '^[0-9]*$'),
  s_acl_inscricao_estadual varchar(20) not null default '',
  s_acl_inscricao_rural varchar(20) not null default '',
  s_acl_inscricao_municipal varchar(20) not null default '',
  s_acl_endereco varchar(200) not null default '',
  i_acl_endereco_numero varchar(60) not null default '',
  s_acl_bairro varchar(200) not null default '',
  s_acl_cidade varchar(200) not null default '',
  s_acl_uf varchar(2) not null default '',
  i_acl_cep integer not null references tcep,
  cfoneresidencial varchar(100),
  cfonecomercial varchar(100),
  cfonecelular varchar(100),
  cemail varchar(512),
  s_acl_mensagem_nfe text not null default '',
  i_acl_ativo integer not null default 1,
  i_acl_bloqueado_venda integer not null default 0,
  n_acl_perc_desconto numeric(15,4) not null default 0,
  i_acl_compra_prazo integer not null default 1,
  i_acl_codigo_prc integer,                        -- partner
  i_acl_suspensao_retencao integer not null default 0,
  i_acl_concessao_icms_st integer not null default 0,
  s_acl_uf_entrega varchar(2) not null default ''
);

create table tvendedores (
  i_tve_codigo integer primary key,
  s_tve_nome varchar(100) not null,
  i_tve_ativo integer not null default 1,
  i_tve_codigo_tem integer not null references tempresa,
  n_tve_perc_comissao numeric(15,4) not null default 0
);

create table atransportadora (
  ccodtransportadora integer primary key,
  cnomtransportadora varchar(200) not null,
  ccnpjtransportadora varchar(14) not null default '',
  ccpftransportadora varchar(14) not null default '',
  cinstransportadora varchar(20) not null default '',
  cendtransportadora varchar(200) not null default '',
  ccidtransportadora varchar(200) not null default '',
  cuftransportadora varchar(2) not null default '',
  cplatransportadora varchar(20) not null default '',
  s_atr1_codigo_antt varchar(10) not null default '',
  cematransportador varchar(200) not null default '',
  i_atr1_tipo_pessoa integer not null default 2,
  s_atr1_uf_veiculo varchar(2) not null default ''
);

-- Payees of financial postings: cash, change, card acquirers, banks.
-- ccnpj is the acquirer's CNPJ (only this table has the name).
create table afavorecidos (
  ccodigofavorecido integer primary key,
  cnomefavorecido varchar(200) not null,
  ccnpj varchar(14) not null default '',
  i_afa_modalidade_cartao integer,               -- 1 credit, 2 debit, 0 other card
  i_afa_cod_cli integer references aclientes,
  i_afa_tipo integer not null default 1          -- 1 cash, 2 change, 3 card, 4 bank
);

create table parcerias (
  i_prc_codigo integer primary key,
  s_pcr_descricao_parceria varchar(200) not null,
  n_prc_perc_desconto_venda numeric(15,4) not null default 0,
  i_prc_codigo_cliente_cred_acl integer references aclientes,
  n_prc_perc_credito_gera_venda numeric(15,4) not null default 0
);

create table acategoria (
  i_aca_codigo integer primary key,
  s_aca_descricao varchar(100) not null
);

-- Banks and card operators of the payment ledger, read with "select *":
-- CODIGO, NOME, TIPO (1..4) in this order.
create table tbanco (
  ccodbanco integer primary key check (ccodbanco > 0),
  cnombanco varchar(100) not null check (cnombanco <> ''),
  i_tba_tipo integer not null check (i_tba_tipo between 1 and 4)
);

-- ---------------------------------------------------------------------------
-- Payment conditions and price tables

-- Read with "select *" into the condition record and with an explicit list
-- of the same columns in the same order.
create table tformapagto (
  ccodformapgto integer primary key,
  cdesformapgto varchar(255) not null,
  ctipformapagto integer not null check (ctipformapagto in (1, 2)),  -- 1 cash, 2 credit
  i_tfor_dias_entre_prestacoes integer not null default 0,
  i_tfor_num_prestacoes integer not null default 0,
  i_tfor_ndias_primeiro_vencto integer not null default 0,
  i_com_entrada integer not null default 0,
  n_perc_juros_mes numeric(15,4) not null default 0,
  n_perc_descto_forma_pagto numeric(15,4) not null default 0,
  s_obs_forma_pagto varchar(255) not null default '',
  i_tfo_perm_alt_cond_pgto integer not null default 0,
  i_tfo_imprime_relatorio integer not null default 0,
  i_paf_ide integer not null default 0
);

-- Conditions offered for each price table.
create table preco_forma_pagto (
  i_pfp_codigo_tfo integer not null references tformapagto,
  i_pfp_codigo_tab_apr integer not null,
  i_paf_ide integer not null default 0,
  primary key (i_pfp_codigo_tfo, i_pfp_codigo_tab_apr)
);

-- Price tables the operator may use (0 = Normal, 1..10 = Tabela1..10).
create table usuario_forma_pagto (
  i_ufp_codigo_par integer not null,
  i_ufp_codigo_tab_apr integer not null check (i_ufp_codigo_tab_apr between 0 and 14),
  primary key (i_ufp_codigo_par, i_ufp_codigo_tab_apr)
);

-- Payment forms offered per company and series, with their payee.
create table tabempfavorecido (
  i_tef_codigo integer primary key,
  i_tef_codigo_tem integer not null references tempresa,
  i_tef_codigo_tse integer references tseriesnf,
  i_tef_codigo_afa integer not null references afavorecidos,
  s_tef_descricao varchar(100) not null,
  i_tef_tipo integer not null check (i_tef_tipo between 1 and 5),
  i_tef_tef_cheque integer not null default 0,   -- copied to ahcontas.ctef_cheque
  i_tef_codigo_tba integer references tbanco,
  i_tef_vezes integer not null default 1,
  i_tef_dias integer not null default 0,
  n_tef_taxa numeric(15,4) not null default 0
);

-- ---------------------------------------------------------------------------
-- Products and tax tables

create table ncm (
  i_ncm_codigo varchar(10) primary key,          -- text despite the prefix: leading zeros
  s_ncm_descricao varchar(200) not null default '',
  n_ncm_mva numeric(15,4) not null default 0,
  n_ncm_reducao_mva numeric(15,4) not null default 0
);

create table mvaestado (
  s_mva_ncm varchar(10) not null references ncm,
  s_mva_uf_destino varchar(2) not null,
  n_mva_valor numeric(15,4) not null default 0,
  n_mva_reducao_mva numeric(15,4) not null default 0,
  primary key (s_mva_ncm, s_mva_uf_destino)
);

create table ttributacao (
  ccodtributacao integer primary key,
  s_atr_descricao varchar(100) not null default '',
  csittributacao varchar(3) not null default '00',
  cicmtributacao numeric(15,4) not null default 0,
  crictributacao numeric(15,4) not null default 0,   -- base reduction %
  cipitributacao numeric(15,4) not null default 0,
  n_atr_red_base_icms_fora numeric(15,4) not null default 0,
  n_atr_fundo_pobreza numeric(15,4) not null default 0,
  n_atr_aliq_subs_venda numeric(15,4) not null default 0,
  s_atr_cst_consumo varchar(3) not null default '00',
  i_atr_csosn integer not null default 102,
  i_atr_csosn_consumo integer not null default 102,
  i_atr_cst_pis integer not null default 1,
  i_atr_cst_cofins integer not null default 1,
  i_atr_cst_ipi integer not null default 53,
  n_atr_perc_pis numeric(15,4) not null default 0,
  n_atr_perc_cofins numeric(15,4) not null default 0,
  n_atr_perc_diferimento numeric(15,4) not null default 0,
  s_atr_msg_tributacao varchar(1023) not null default ''
);

-- ICMS rates by destination state (order import).
create table aliquotasestado (
  s_ale_uf varchar(2) primary key,
  n_ale_percentual_icms numeric(15,4) not null default 0,
  n_ale_percentual_st numeric(15,4) not null default 0,
  i_ale_calculo_st integer not null default 0
);

-- Products, read with "select * from aprodutos inner join busca_produto(...)":
-- the record of the item entry binds these columns by position, followed
-- by the busca_produto column. New columns go at the end only.
create table aprodutos (
  ccodproduto integer primary key,                 -- 1
  cdesproduto varchar(300) not null,               -- 2
  cbarproduto varchar(50) not null default '',     -- 3 EAN-13 or empty
  cuniproduto varchar(10) not null default 'UN',   -- 4
  ctipproduto integer not null default 0,          -- 5 0 goods, 1 service, 2 freight
  ctriproduto integer not null references ttributacao,  -- 6
  ccplproduto varchar(2047) not null default '',   -- 7
  cfotproduto integer not null default 0,          -- 8
  cpcuproduto numeric(15,4) not null default 0,    -- 9 cost
  i_apr_codigo_cnm varchar(10) not null references ncm,  -- 10 NCM
  i_apr_flag_trib_estados integer not null default 0,    -- 11
  s_apr_iat varchar(1) not null default 'A',       -- 12
  s_apr_ippt varchar(1) not null default 'T',      -- 13
  s_apr_codigo_lei116 varchar(9) not null default '',    -- 14
  s_apr_cest varchar(10) not null default '',      -- 15
  i_apr_cod_anp integer not null default 0,        -- 16
  i_apr_codif integer not null default 0,          -- 17
  n_apr_qtemp_comb numeric(15,4) not null default 0,     -- 18
  n_apr_perc_pglp numeric(15,4) not null default 0,      -- 19
  n_apr_perc_gas_natural numeric(15,4) not null default 0,  -- 20
  n_apr_gas_importado numeric(15,4) not null default 0,  -- 21
  n_apr_valor_partida numeric(15,4) not null default 0,  -- 22
  s_apr_desc_anp varchar(95) not null default '',  -- 23
  s_apr_escala_relevante varchar(1) not null default '',  -- 24
  s_apr_cnpj_relevante varchar(14) not null default '',   -- 25
  s_apr_cod_benef_fiscal varchar(10) not null default '', -- 26
  i_apr_ativo integer not null default 1,          -- 27 0 inactive
  i_apr_kit integer not null default 0,            -- 28 1 sold as its components
  s_apr_controle_estoque varchar(1) not null default 'E',  -- 29 'E' stocked
  i_apr_fraciona integer not null default 0,       -- 30 1 fractions allowed
  i_apr_pesavel integer not null default 0,        -- 31 1 weighed (scale labels)
  s_apr_referencia varchar(30) not null default '',  -- 32 supplier reference
  n_apr_preco_normal numeric(15,4) not null default 0,  -- 33 "Normal"
  n_apr_preco_tabela1 numeric(15,4) not null default 0, -- 34..43 "Tabela1".."Tabela10"
  n_apr_preco_tabela2 numeric(15,4) not null default 0,
  n_apr_preco_tabela3 numeric(15,4) not null default 0,
  n_apr_preco_tabela4 numeric(15,4) not null default 0,
  n_apr_preco_tabela5 numeric(15,4) not null default 0,
  n_apr_preco_tabela6 numeric(15,4) not null default 0,
  n_apr_preco_tabela7 numeric(15,4) not null default 0,
  n_apr_preco_tabela8 numeric(15,4) not null default 0,
  n_apr_preco_tabela9 numeric(15,4) not null default 0,
  n_apr_preco_tabela10 numeric(15,4) not null default 0,
  n_apr_preco_compra numeric(15,4) not null default 0,  -- 44 "Compra" ("Custo" is cpcuproduto)
  n_apr_preco_minimo numeric(15,4) not null default 0,  -- 45 "Mínimo"
  n_apr_preco_padrao numeric(15,4) not null default 0,  -- 46 "Padrão"
  n_apr_estoque_empresa1 numeric(15,4) not null default 0,  -- 47 stock of company 1
  n_apr_estoque_empresa2 numeric(15,4) not null default 0,  -- 48 stock of company 2
  s_apr_chave_fci varchar(36) not null default '',  -- 49 import-content record
  -- ST withheld earlier in the supply chain, per unit sold, as the purchase
  -- invoice states it (CST 60, CSOSN 500): base and value.
  n_apr_base_st_retido numeric(15,4) not null default 0,   -- 50
  n_apr_valor_st_retido numeric(15,4) not null default 0   -- 51
);

-- Components of a kit product, "select *" by position:
-- order, kit product, component product, quantity, item discount.
create table produtos_kit (
  i_prk_codigo integer primary key,
  i_prk_codigo_apr integer not null references aprodutos,
  i_prk_codigo_componente integer not null references aprodutos,
  n_prk_quantidade numeric(15,4) not null check (n_prk_quantidade > 0),
  n_prk_desconto numeric(15,4) not null default 0
);

-- State-specific CSTs of a product, "select *" by position.
create table cstestado (
  i_cst_codigo_apr integer not null references aprodutos,
  s_cst_uf varchar(2) not null,
  s_cst_cst varchar(3) not null default '',
  s_cst_cst_consumo varchar(3) not null default '',
  i_cst_csosn_revenda integer not null default 0,
  i_cst_csosn_consumo integer not null default 0,
  primary key (i_cst_codigo_apr, s_cst_uf)
);

-- ISSQN data of a service classification for a company, "select *" by
-- position: classification, company, rate, service-list code, municipality,
-- ISS due indicator, incentive indicator.
create table iss (
  i_iss_codigo_atr integer not null references ttributacao,
  i_iss_codigo_tem integer not null references tempresa,
  n_iss_aliquota numeric(15,4) not null default 0,
  s_iss_codigo_servico varchar(9) not null default '',
  i_iss_codigo_municipio integer not null default 0,
  i_iss_exigibilidade integer not null default 1,
  i_iss_incentivo integer not null default 2,
  primary key (i_iss_codigo_atr, i_iss_codigo_tem)
);

-- ---------------------------------------------------------------------------
-- Orders and service orders

create table pedidos (
  i_pdi_codigo integer primary key,
  i_pdi_codigo_cli integer not null references aclientes,
  i_pdi_codigo_tfo integer references tformapagto,
  i_pdi_codigo_tve integer references tvendedores,
  i_pdi_codigo_tra integer references atransportadora,
  i_pdi_codigo_prc integer references parcerias,
  i_pdi_codigo_eve integer,
  i_pdi_codigo_tem integer not null references tempresa,
  d_pdi_data_emissao date not null default current_date,
  i_pdi_finalidade integer not null default 1,
  i_pdi_modalidade_frete integer not null default 9,
  n_pdi_valor_subtotal numeric(15,4) not null default 0,
  n_pdi_valor_desconto numeric(15,4) not null default 0,
  n_pdi_valor_acrescimo numeric(15,4) not null default 0,
  n_pdi_valor_despesas numeric(15,4) not null default 0,
  n_pdi_valor_frete numeric(15,4) not null default 0,
  n_pdi_valor_entrada numeric(15,4) not null default 0,
  n_pdi_juros numeric(15,4) not null default 0,
  n_pdi_perc_juro numeric(15,4) not null default 0,
  i_pdi_tipo_juro integer not null default 0,
  i_pdi_tipo_quebra integer not null default 0,
  i_pdi_dias_prestacao integer not null default 30,
  i_pdi_venc_mesmo_dia integer not null default 0,
  d_pdi_data_primeira_prest date,
  s_pdi_observacao text not null default '',
  i_pdi_ide_asaidas integer                       -- sale that invoiced the order
);

create table itens_pedidos (
  i_ipe_codigo integer primary key,
  i_ipe_codigo_pdi integer not null references pedidos,
  i_ipe_codigo_apr integer not null references aprodutos,
  i_ipe_codigo_tve integer,
  n_ipe_quantidade numeric(15,4) not null default 0,
  n_ipe_valor_unitario numeric(15,4) not null default 0,
  n_ipe_valor_desconto numeric(15,4) not null default 0,
  n_ipe_valor_acrescimo numeric(15,4) not null default 0,
  s_ipe_desc_produto varchar(300) not null default '',
  n_ipe_qtd_afaturar numeric(15,4) not null default 0,
  n_ipe_qtd_pendente numeric(15,4) not null default 0,
  n_ipe_qtd_entregue numeric(15,4) not null default 0
);

create table duplicata_pedido (
  i_dpe_codigo_pdi integer not null references pedidos,
  i_dpe_numero_duplicata integer not null,
  d_dpe_data_vencimento date not null,
  n_dpe_valor numeric(15,4) not null,
  primary key (i_dpe_codigo_pdi, i_dpe_numero_duplicata)
);

-- Service orders, "select *" by position.
create table aordens (
  cideord integer primary key,
  i_aor_codigo_cli integer not null references aclientes,
  i_aor_codigo_tem integer not null references tempresa,
  d_aor_data_abertura date not null default current_date,
  s_aor_descricao text not null default '',
  ven_ordem integer,
  ide_asaidas integer,
  data_fat date,
  hora_fat time(0),
  ope_fat integer,
  cdbaiord date,
  hora_exe time(0),
  ope_exe integer
);

create table ahisordem (
  i_aho_codigo serial primary key,
  ide_aordem integer not null references aordens,
  cod_pro_histordem integer references aprodutos,
  qtd_pro_hisordem numeric(15,4) not null default 0,
  val_uni_hisordem numeric(15,4) not null default 0,
  val_tot_hisordem numeric(15,4) not null default 0
);

-- Export shipping data chosen on the sale screen.
create table nfe_exportacao (
  i_nfs_codigo integer primary key,
  s_nfs_local_embarque varchar(60) not null default '',
  s_nfs_uf_embarque varchar(2) not null default ''
);

-- ---------------------------------------------------------------------------
-- The sale

-- Sale / invoice header, one row per sale.
create table asaidas (
  cidesaidas integer primary key default nextval('seque_asaidas') check (cidesaidas between 1 and 99999999),
  cempresasaidas integer not null references tempresa,
  cemisaidas date not null default current_date,
  cdtsaisaidas date,
  chocsaidas time(0) not null default localtime(0),
  csrisaidas integer not null references tseriesnf,
  cnotsaidas integer not null default 0 check (cnotsaidas between 0 and 999999999),
  c2notsaidas integer not null default 0,
  c2srisaidas integer,
  ctessaidas varchar(1) not null default 'S',
  caviaprsaidas varchar(1) not null default 'V' check (caviaprsaidas in ('V', 'P')),
  cnatsaidas varchar(10) not null default '',
  cclisaidas integer not null references aclientes,
  cvensaidas integer references tvendedores,
  ctrasaidas integer references atransportadora,
  cmsgsaidas integer references tmensagens,
  cfpgsaidas integer not null references tformapagto,
  i_asa_codigo_tna integer not null references tnaturezaoperacao,
  i_asa_tipo_pagto integer not null default 0,
  i_asa_codigo_tab_preco integer not null default 0,
  i_asa_finalidade_venda integer not null default 1,
  i_asa_codigo_eve integer,
  i_asa_cod_parceria integer references parcerias,
  i_asa_codigo_transacao_fin integer,
  i_asa_operador integer not null default 0,
  i_asa_usuario integer not null default 0,
  nome_saidas varchar(200) not null default '',
  cpf_saidas varchar(14) not null default '' check (cpf_saidas ~ '^[0-9]*$'),
  cnpj_saidas varchar(14) not null default '' check (cnpj_saidas ~ '^[0-9]*$'),
  endereco_saidas varchar(200) not null default '',
  bairro_saidas varchar(200) not null default '',
  cidade_saidas varchar(200) not null default '',
  uf_saidas varchar(2) not null default '',
  cep_saidas integer not null references tcep,
  fone_saidas varchar(100),
  inscricao_saidas varchar(20),
  s_asa_tipo_venda varchar(1) not null default '',
  cbtrsaidas numeric(15,4) not null default 0,
  cicmsaidas numeric(15,4) not null default 0,
  cbstsaidas numeric(15,4) not null default 0,
  cvstsaidas numeric(15,4) not null default 0,
  cmersaidas numeric(15,4) not null default 0,
  cvalorfrete numeric(15,4) not null default 0,
  n_asa_valor_seguro numeric(15,4) not null default 0,
  cdessaidas numeric(15,4) not null default 0,
  n_asa_valor_ii numeric(15,4) not null default 0,
  cipisaidas numeric(15,4) not null default 0,
  n_asa_valor_pis numeric(15,4) not null default 0,
  n_asa_valor_cofins numeric(15,4) not null default 0,
  cacesosaidas numeric(15,4) not null default 0,
  cacrsaidas numeric(15,4) not null default 0,
  ctotsaidas numeric(15,4) not null default 0,
  cvbrsaidas numeric(15,4) not null default 0,
  centsaidas numeric(15,4) not null default 0,
  csersaidas numeric(15,4) not null default 0,
  cimpsaidas numeric(15,4) not null default 0,
  n_asa_valor_isento numeric(15,4) not null default 0,
  n_asa_tot_impostos numeric(15,4) not null default 0,
  n_asa_valor_calc_ret_issqn numeric(15,4) not null default 0,
  ctfresaidas integer not null default 9,
  cvqtdsaidas varchar(15),
  cvespsaidas varchar(50),
  cvmarsaidas varchar(50),
  cvnumsaidas varchar(15),
  cpliqvolsaidas numeric(15,4),
  cpbrusaidas numeric(15,4),
  cobssaidas varchar(5000) not null default '',
  s_asa_obs_digitadas text not null default '',
  i_asa_status_nota_cupom integer not null default 0,
  s_asa_chave_nfe_refer varchar(48) not null default '',
  d_asa_digitada date,
  i_asa_serie_devolucao integer,
  i_asa_num_nota_digitada integer,
  s_asa_chave_devolucao varchar(48) not null default '',
  s_asa_uf_desembaraco_adu varchar(2) not null default '',
  s_asa_local_desembaraco varchar(60) not null default '',
  s_asa_numero_di varchar(20) not null default '',
  s_asa_codigo_exportador varchar(60) not null default '',
  d_asa_data_di date,
  d_asa_data_desembaraco date,
  s_asa_local_embarque varchar(60) not null default '',
  s_asa_uf_embarque varchar(2) not null default '',
  i_asa_contigencia integer not null default 0,
  i_asa_oid_quorvex integer not null default 0,
  i_asa_url_code_nfce varchar(1000) not null default '',
  d_asa_data_autorizacao_nfce date,
  h_asa_hora_autorizacao_nfce time(0),
  s_asa_chave_nfe varchar(60) not null default '',
  s_asa_protocolo_nfe varchar(100) not null default '',
  i_asa_nsu integer not null default 0,
  i_asa_quorvex_canc integer not null default 0,
  ide_futura integer,                  -- earlier (rejected or future-delivery) sale this one delivers
  situ_futura integer not null default 0,
  -- Reversal by estorna_transacao: 'C' cancelled, 'R' rejected; null while the sale stands.
  s_asa_estorno varchar(1) check (s_asa_estorno in ('C', 'R')),
  d_asa_data_estorno timestamp(0),
  s_asa_motivo_estorno varchar(1000) not null default '',
  -- The sale's number was handed to the reload that replaced it (estorna_transacao kind 'R').
  i_asa_numero_reutilizado integer not null default 0,
  -- The note's issue state, so that no note the service may hold is lost:
  --   0  nothing outstanding (never sent, authorised and stored, or reversed);
  --   1  in doubt: marked, in a committed step of its own, before the note is
  --      sent; stays 1 until the authorisation (key, protocol, XML) is stored
  --      or the service's answer says the note was refused or never received;
  --   2  original of a note the service renumbered: its postings, items and
  --      installments moved to the sale that carries the service's number; it
  --      has no financial effect and is tracked until the service reports its
  --      number voided.
  i_asa_situacao_nfce integer not null default 0 check (i_asa_situacao_nfce in (0, 1, 2)),
  -- When the sale was marked in doubt (state 1).
  t_asa_envio_nfce timestamp(3)
);

-- No two standing sales carry the same number of a series. A reversed sale
-- keeps its number: the reload that replaces it takes the number again.
create unique index asaidas_serie_numero on asaidas (csrisaidas, cnotsaidas)
  where s_asa_estorno is null and cnotsaidas > 0;
create index asaidas_pendentes on asaidas (cidesaidas)
  where i_asa_contigencia = 1 or i_asa_quorvex_canc = 1 or i_asa_situacao_nfce <> 0;
create index asaidas_emissao on asaidas (cemisaidas, cempresasaidas);

-- Cancelled and voided invoice numbers (written by the pending-note resolution).
create table asaidas_canc (
  cidesaidas integer primary key default nextval('seque_asaidas_canc'),
  caviaprsaidas varchar(1) not null default 'V',
  ctessaidas varchar(1) not null default 'S',
  cemisaidas date not null default current_date,
  cdtsaisaidas date,
  cnatsaidas varchar(10) not null default '',
  cnotsaidas integer not null,
  csrisaidas integer not null,
  s_asa_status_nf varchar(1) not null default 'I'
);

-- Register of the invoice numbers used per series. The first three columns
-- are written by position: series, number, origin ('0' drawn by
-- inclui_sequencia, '1' assigned by the service to a duplicated note).
create table anosequencia (
  i_ano_serie integer not null,
  i_ano_numero integer not null,
  s_ano_origem varchar(1) not null default '0',
  d_ano_data timestamp(0) not null default localtimestamp(0),
  primary key (i_ano_serie, i_ano_numero)
);

-- Sale items.
create table ahistorico (
  cidehistorico integer primary key default nextval('seque_ahistorico'),
  cisahistorico integer not null references asaidas,
  cemphistorico integer not null references tempresa,
  copcadhistorico integer not null default 0,
  cprohistorico integer not null references aprodutos,
  cdeshistorico varchar(200) not null default '',
  ctiphistorico varchar(1) not null default 'S',
  ctipphistorico integer not null default 0,      -- 0 goods, 1 service
  ccfohistorico varchar(5) not null default '',
  csaihisotorico numeric(15,4) not null default 0,
  centhistorico numeric(15,4) not null default 0,
  cvbrhistorico numeric(15,4) not null default 0,
  cvdeshistorico numeric(15,4) not null default 0,
  cvtothistorico numeric(15,4) not null default 0,
  cvfihistorico numeric(15,4) not null default 0,
  cvachistorico numeric(15,4) not null default 0,
  cvfrehistorico numeric(15,4) not null default 0,
  cvcuhistorico numeric(15,4) not null default 0,
  cicmhistorico numeric(15,4) not null default 0,
  cvichistorico numeric(15,4) not null default 0,
  cipihistorico numeric(15,4) not null default 0,
  cviphistorico numeric(15,4) not null default 0,
  cisshistorico numeric(15,4) not null default 0,
  cvishistorico numeric(15,4) not null default 0,
  s_ahi_sit_tributaria varchar(4) not null default '0000',
  i_ahi_csosn integer not null default 0,
  n_ahi_perc_reducao numeric(15,4) not null default 0,
  n_ahi_base_icms numeric(15,4) not null default 0,
  n_ahi_per_conv_subst numeric(15,4) not null default 0,
  n_ahi_base_substituicao numeric(15,4) not null default 0,
  n_ahi_per_icms_subs numeric(15,4) not null default 0,
  n_ahi_icms_substituicao numeric(15,4) not null default 0,
  n_ahi_aliquota_st numeric(15,4) not null default 0,
  s_ahi_cst_ipi varchar(2) not null default '',
  n_ahi_base_ipi numeric(15,4) not null default 0,
  s_ahi_cst_pis varchar(2) not null default '',
  s_ahi_cst_cofins varchar(2) not null default '',
  n_ahi_base_pis numeric(15,4) not null default 0,
  n_ahi_aliquota_pis numeric(15,4) not null default 0,
  n_ahi_valor_pis numeric(15,4) not null default 0,
  n_ahi_base_cofins numeric(15,4) not null default 0,
  n_ahi_aliquota_cofins numeric(15,4) not null default 0,
  n_ahi_valor_cofins numeric(15,4) not null default 0,
  i_ahi_numero_adicao integer,
  i_ahi_num_seq_item_adicao integer,
  s_ahi_cod_fabri_estrangeiro varchar(60) not null default '',
  n_ahi_valor_desc_item_di numeric(15,4) not null default 0,
  n_ahi_seguro_item numeric(15,4) not null default 0,
  n_ahi_base_ii numeric(15,4) not null default 0,
  n_ahi_desp_aduaneiras numeric(15,4) not null default 0,
  n_ahi_valor_ii numeric(15,4) not null default 0,
  n_ahi_tot_impostos numeric(15,4) not null default 0,
  s_ahi_chave_fci varchar(36) not null default '',
  n_ahi_valor_tot_item numeric(15,4) not null default 0,   -- unit value before discounts
  n_ahi_valor_desc_item numeric(15,4) not null default 0,
  i_ahi_ide_entregue integer,                    -- item line of the earlier sale this row delivers
  i_ahi_codigo_tve integer,
  s_ahi_numero_pedido varchar(15) not null default '',
  i_ahi_item_pedido integer not null default 0,
  s_ahi_cest varchar(10) not null default '',
  s_ahi_ncm varchar(10) not null default '',
  n_ahi_base_fcp_st numeric(15,4) not null default 0,
  n_ahi_valor_fcp_st numeric(15,4) not null default 0,
  -- The item's figures as the tax engine computed them, read by the invoice:
  -- FCP-ST rate, CST 51 deferral (rate and deferred value; cvichistorico
  -- holds the ICMS still due) and the Simples credit (rate in percent, value).
  n_ahi_perc_fcp_st numeric(15,4) not null default 0,
  n_ahi_perc_diferimento numeric(15,4) not null default 0,
  n_ahi_valor_icms_diferido numeric(15,4) not null default 0,
  n_ahi_perc_cred_simples numeric(15,4) not null default 0,
  n_ahi_valor_cred_simples numeric(15,4) not null default 0
);
create index ahistorico_venda on ahistorico (cisahistorico);
create index ahistorico_entregue on ahistorico (i_ahi_ide_entregue) where i_ahi_ide_entregue is not null;

-- Financial postings of a sale: payments (credit), change given back
-- (debit, described "Troco NF: ..."), service-order deposits, customer
-- credits and the counter-postings of a reversal.
create table ahcontas (
  idhistorico integer primary key default nextval('seque_ahcontas'),
  cidesaivenhist integer references asaidas,
  ccodigofavorecidohistorico integer not null references afavorecidos,
  ctef_cheque integer,                         -- 0..2 cash, 3 cheque, 4 card
  cvalorcreditohistorico numeric(15,4) not null default 0,
  cvalordebitohistorico numeric(15,4) not null default 0,
  cdescricaohistorico varchar(255) not null default '',
  i_ahc_tip_lancto integer not null default 1,  -- 1 sale, 2 service-order deposit, 3 customer credit, 9 reversal
  i_ahc_ide_oservico integer,
  i_ahc_ide_transacao_fin integer,
  i_ahc_codigo_tem integer references tempresa,
  i_ahc_operador integer not null default 0,
  i_ahc_usuario integer not null default 0,
  d_ahc_data date not null default current_date,
  i_ahc_conta integer not null default 0,
  i_ahc_codigo_forma integer,
  i_ahc_codigo_cli integer references aclientes,
  i_ahc_credito_utilizado integer not null default 0,
  i_ahc_ide_credito_origem integer,
  -- Reversal: the posting that undoes this one, and the posting undone.
  i_ahc_estornado_por integer,
  i_ahc_estorno_de integer
);
create index ahcontas_venda on ahcontas (cidesaivenhist);
create index ahcontas_ordem on ahcontas (i_ahc_ide_oservico) where i_ahc_ide_oservico is not null;

-- Installments of a credit sale.
create table asduplicatas (
  cidedupli integer primary key default nextval('seque_asduplicatas'),
  cisadupli integer not null references asaidas,
  cnotdupli integer not null default 0,
  cnprdupli integer not null check (cnprdupli > 0),
  cemidupli date not null default current_date,
  cvendupli date not null,
  cvprdupli numeric(15,4) not null,
  cvpgdupli numeric(15,4) not null default 0,    -- amount received
  s_adu_situacao varchar(1) not null default 'A' check (s_adu_situacao in ('A', 'Q', 'E'))  -- open, paid, reversed
);
create index asduplicatas_venda on asduplicatas (cisadupli);

-- Invoice XML storage. The columns follow the record filled by the
-- authorisation workflow: id, key, protocol, XML, emission date, number,
-- series, customer, customer name, gross, surcharge, discount, total, sale,
-- then the cancellation protocol and XML.
create table xmlnfe (
  i_nfe_codigo integer primary key default nextval('seque_xmlnfe'),
  s_nfe_chave varchar(100),
  s_nfe_protocolo_autorizacao varchar(100),
  b_nfe_xml bytea,
  d_nfe_data_emissao date,
  i_nfe_numero integer,
  i_nfe_serie integer,
  i_nfe_codigo_cli integer,
  s_nfe_nome_cliente varchar(200),
  n_nfe_valor_bruto numeric(15,4),
  n_nfe_valor_acrescimo numeric(15,4),
  n_nfe_valor_desconto numeric(15,4),
  n_nfe_valor_total numeric(15,4),
  i_nfe_codigo_asa integer not null references asaidas,
  s_nfe_protocolo_cancelamento varchar(255),
  b_nfe_xml_cancelamento bytea
);
create index xmlnfe_venda on xmlnfe (i_nfe_codigo_asa);
create index xmlnfe_chave on xmlnfe (s_nfe_chave);

-- Orders invoiced by a sale.
create table tnota_pedido (
  i_tnp_asaidas integer not null references asaidas,
  i_tnp_pedido integer not null references pedidos,
  primary key (i_tnp_asaidas, i_tnp_pedido)
);

-- Financial transactions: one per recorded sale, linking its postings.
create table atransacao_fin (
  i_atf_codigo integer primary key default nextval('seque_transacao_fin'),
  d_atf_data timestamp(0) not null default localtimestamp(0),
  i_atf_codigo_tem integer not null references tempresa,
  i_atf_operador integer not null default 0,
  s_atf_descricao varchar(255) not null default ''
);

-- Release records of a sale (discount, item cancellation, credit sale):
-- who authorised what, written inside the recording transaction.
create table aliberacao (
  i_ali_codigo serial primary key,
  i_ali_ide_asaidas integer references asaidas,
  i_ali_tipo integer not null,                  -- 1 discount, 2 cancellation, 3 credit sale
  i_ali_usuario integer not null default 0,
  n_ali_valor numeric(15,4) not null default 0,
  n_ali_percentual numeric(15,4) not null default 0,
  s_ali_motivo varchar(255) not null default '',
  d_ali_data timestamp(0) not null default localtimestamp(0)
);

-- Correction letters and incoming documents: kept for the host application.
create table carta_correcao (
  i_cce_codigo serial primary key,
  i_cce_ide_asaidas integer not null references asaidas,
  i_cce_sequencia integer not null default 1,
  s_cce_texto varchar(1000) not null,
  s_cce_protocolo varchar(100) not null default ''
);

create table aentradas (
  i_aen_codigo serial primary key,
  i_aen_codigo_tem integer not null references tempresa,
  i_aen_fornecedor integer not null,
  i_aen_numero integer not null,
  i_aen_serie integer not null default 1,
  d_aen_data date not null default current_date,
  n_aen_total numeric(15,4) not null default 0,
  i_aen_ide_asaidas_origem integer
);

insert into tversao_esquema (i_tve_versao, s_tve_descricao) values (1, 'base da frente de caixa NFC-e');
insert into tversao_esquema (i_tve_versao, s_tve_descricao) values (2, 'estado de emissão da NFC-e em asaidas');

-- ---------------------------------------------------------------------------
-- Users, log-in and the module's start-up values (version 3)

-- The people who log in to the point of sale. The code is the operator code
-- of parametros (cusuariocod), tserieusuarios and toperacaousuario.
-- Passwords are never stored: s_tus_hash is PBKDF2-HMAC-SHA256 of the
-- password with s_tus_sal over i_tus_iteracoes rounds (both hex).
create table tusuarios (
  i_tus_codigo integer primary key,
  s_tus_login varchar(40) not null unique,
  s_tus_nome varchar(100) not null default '',
  s_tus_sal varchar(64) not null check (s_tus_sal ~ '^[0-9a-f]{32,64}$'),
  s_tus_hash varchar(64) not null check (s_tus_hash ~ '^[0-9a-f]{64}$'),
  i_tus_iteracoes integer not null check (i_tus_iteracoes >= 10000),
  i_tus_ativo integer not null default 1,
  i_tus_libera_desconto integer not null default 0,  -- may release discounts
  i_tus_cancela_item integer not null default 0,     -- may cancel items and sales
  n_tus_desconto_maximo numeric(15,4) not null default 0  -- GLO_MAX_DESC, percent
);

-- Failed log-ins, one row per attempt (the password typed is never kept).
create table tusuario_tentativas (
  i_tut_codigo serial primary key,
  s_tut_login varchar(40) not null,
  i_tut_tentativa integer not null,               -- 1, 2, 3 within one log-in window
  t_tut_momento timestamp not null default localtimestamp
);

-- Sale parameters of each operator (GLO:I_PAR_*) that the windows read.
alter table parametros
  add column i_par_casas_deci_venda integer not null default 2,
  add column i_par_qtd_casas_qtd_venda integer not null default 3,
  add column i_par_numero_max_parcelas integer not null default 12,
  add column i_par_dias_max_primeira_parcela integer not null default 30,
  add column i_par_dias_max_entre_parcelas integer not null default 30,
  add column i_par_lib_vda_est_negativo integer not null default 0,
  add column i_par_seleciona_cliente_inicio_venda integer not null default 0,
  add column i_par_seleciona_vendedor_inicio_venda integer not null default 0,
  add column i_par_seleciona_tela_padores_inicio_venda integer not null default 0,
  add column i_par_tipo_lista_preco integer not null default 0,
  add column i_par_aplica_desconto_cliente integer not null default 0,
  add column i_par_bloqueia_cliente_atrasado_vista integer not null default 0,
  add column i_par_descricao_imp_cupom integer not null default 0,
  add column i_par_permite_canc_cf integer not null default 0,
  add column i_par_permite_ver_rentabilidade integer not null default 0,
  add column i_par_troca_cliente_carga_ped integer not null default 0;

-- The company's defaults for a new sale (GLO_SERIE, GLO_NAT_PADRAO, ...).
alter table tempresa
  add column i_tem_serie_padrao integer not null default 1,
  add column i_tem_natureza_padrao integer not null default 0,
  add column i_tem_cliente_padrao integer not null default 0,
  add column i_tem_vendedor_padrao integer not null default 0,
  add column i_tem_tabela_preco_padrao integer not null default 1,
  add column i_tem_transportadora_padrao integer not null default 0;

insert into tversao_esquema (i_tve_versao, s_tve_descricao) values (3, 'usuarios e valores de partida do modulo');

-- Version 4: the product's retained ST; the item's FCP-ST rate, deferral and Simples credit.
insert into tversao_esquema (i_tve_versao, s_tve_descricao) values (4, 'ST retido do produto; FCP-ST, diferimento e credito do Simples no item');
-- ---------------------------------------------------------------------------
-- Supervisor rights, credit checks and consumer registration

-- Rights a user may grant when authorising at another user's station, on
-- top of i_tus_libera_desconto and i_tus_cancela_item. A user authorises an
-- operation of their own session only with i_tus_autoriza_propria = 1.
alter table tusuarios
  add column i_tus_venda_prazo integer not null default 0,        -- credit sale, sale above the credit limit
  add column i_tus_cliente_bloqueado integer not null default 0,  -- sale to a blocked customer
  add column i_tus_estoque_negativo integer not null default 0,   -- stock going below zero
  add column i_tus_cadastra_cliente integer not null default 0,   -- simplified consumer registration
  add column i_tus_autoriza_propria integer not null default 0;

-- The customer's credit: limit over the open installments (0 = no limit
-- control), monthly limit of installments due in one month (0 = none),
-- birth date (age check of credit sales) and the credit bureau record.
alter table aclientes
  add column n_acl_limite_credito numeric(15,4) not null default 0 check (n_acl_limite_credito >= 0),
  add column n_acl_limite_mensal numeric(15,4) not null default 0 check (n_acl_limite_mensal >= 0),
  add column d_acl_nascimento date,
  add column d_acl_spc date;                                      -- reported to the bureau on, null = not reported

-- The company's credit rules (documented in docs/rights.md).
alter table tempresa
  add column i_tem_dias_tolerancia_atraso integer not null default 0 check (i_tem_dias_tolerancia_atraso >= 0),
  add column i_tem_dias_negativacao integer not null default 60 check (i_tem_dias_negativacao >= 1),
  add column i_tem_idade_minima_prazo integer not null default 18 check (i_tem_idade_minima_prazo >= 0),
  add column n_tem_perc_aviso_limite numeric(7,4) not null default 90 check (n_tem_perc_aviso_limite between 0 and 100);

-- Municipalities (IBGE code) to which the company does not sell on credit.
create table tcidade_bloqueada (
  i_tcb_codigo_tem integer not null references tempresa,
  i_tcb_codigo_cidade integer not null,
  s_tcb_motivo varchar(200) not null default '',
  primary key (i_tcb_codigo_tem, i_tcb_codigo_cidade)
);

-- The checks read one customer's open installments and unused credits.
create index asaidas_cliente on asaidas (cclisaidas);
create index asduplicatas_abertas on asduplicatas (cisadupli, cvendupli) where s_adu_situacao = 'A';
create index ahcontas_credito_cliente on ahcontas (i_ahc_codigo_cli)
  where i_ahc_tip_lancto = 3 and i_ahc_credito_utilizado = 0;

-- New customers of the simplified registration take the next code.
create sequence seque_aclientes as integer minvalue 1;
-- A release record keeps whom the release was for (the operator logged in
-- at the station) and the company, beside who authorised it (i_ali_usuario).
alter table aliberacao
  add column i_ali_operador integer not null default 0,
  add column i_ali_codigo_tem integer;

-- The registration looks a document up before adding a customer through
-- the documents' indexes of the browses (below), which serve equality too.

insert into tversao_esquema (i_tve_versao, s_tve_descricao) values (5, 'direitos de supervisor, verificacoes de credito e cadastro de consumidor');

-- Browses
-- The pick lists search names by prefix (one or two characters) or anywhere
-- (three or more, through trigrams) and list them ordered by lower(name) in
-- byte order, so each keystroke is one index scan even on large tables.
-- The trigram indexes take new names at once (fastupdate off): a pending
-- list left by a bulk import would be read whole by every search until
-- vacuum flushed it.
create extension if not exists pg_trgm;

create table teventos (
  i_eve_codigo integer primary key,
  s_eve_descricao varchar(200) not null,
  d_eve_data date,
  i_eve_ativo integer not null default 1
);

create table tmensagens_boleto (
  i_mbo_codigo integer primary key,
  s_mbo_texto varchar(255) not null
);

create index aclientes_nome on aclientes ((lower(cnomecliente) collate "C"));
create index aclientes_nome_trgm on aclientes using gin (cnomecliente gin_trgm_ops) with (fastupdate = off);
create index aclientes_cpf on aclientes (s_acl_cpf text_pattern_ops);
create index aclientes_cnpj on aclientes (s_acl_cnpj text_pattern_ops);
create index aprodutos_descricao on aprodutos ((lower(cdesproduto) collate "C"));
create index aprodutos_descricao_trgm on aprodutos using gin (cdesproduto gin_trgm_ops) with (fastupdate = off);
create index aprodutos_barras on aprodutos (cbarproduto text_pattern_ops);
create index atransportadora_nome on atransportadora ((lower(cnomtransportadora) collate "C"));
create index atransportadora_nome_trgm on atransportadora using gin (cnomtransportadora gin_trgm_ops) with (fastupdate = off);
create index pedidos_abertos on pedidos (i_pdi_codigo_cli) where i_pdi_ide_asaidas is null;
create index aordens_abertas on aordens (i_aor_codigo_cli) where ide_asaidas is null;

insert into tversao_esquema (i_tve_versao, s_tve_descricao) values (6, 'buscas: indices de nome, documento e codigo de barras; eventos e mensagens de boleto');

-- >>> Negative-stock control of the item entry (GLO_BLQ_ESTNEG)
-- 0 off, 1 warn when an item takes the stock below zero, 2 block it (unless
-- the operator's parameters release it or a supervisor authorises it).
alter table tempresa add column i_tem_blq_estneg integer not null default 0;

insert into tversao_esquema (i_tve_versao, s_tve_descricao) values (7, 'controle de estoque negativo na venda');
-- <<< Negative-stock control of the item entry

-- >>> Sale screen parties (credit-limit control, events of a customer)
-- ---------------------------------------------------------------------------
-- Sale screen parties: credit-limit control and events of a customer

-- GLO_RES_BLO: the customers' credit limits are checked before payment.
alter table tempresa add column i_tem_res_blo integer not null default 1;

-- An event is held for one customer, by one seller of one company.
alter table teventos
  add column i_eve_codigo_acl integer references aclientes,
  add column i_eve_codigo_tve integer references tvendedores,
  add column i_eve_codigo_tem integer references tempresa;

insert into tversao_esquema (i_tve_versao, s_tve_descricao) values (8, 'partes da venda: controle de limite e cliente do evento');
-- <<< Sale screen parties

-- >>> Commissions of the sale (GLO_COMISSAO_1 to _10)
-- ---------------------------------------------------------------------------
-- The options menu's "Comissões" form sets up to ten commission percentages
-- for the sale; the recording keeps the ones that are not zero, numbered as
-- the form shows them. They go with their sale when a duplicated note is
-- deleted.
create table asaidas_comissao (
  i_asc_ide_asaidas integer not null references asaidas on delete cascade,
  i_asc_ordem integer not null check (i_asc_ordem between 1 and 10),
  n_asc_percentual numeric(5,2) not null check (n_asc_percentual > 0 and n_asc_percentual <= 100),
  primary key (i_asc_ide_asaidas, i_asc_ordem)
);

insert into tversao_esquema (i_tve_versao, s_tve_descricao) values (9, 'comissoes da venda');
-- <<< Commissions of the sale
