-- A small but real shop to run the module on: two companies (a Simples
-- Nacional grocery in Minas Gerais and a regular-regime hardware store in
-- São Paulo), their customers, sellers, products, tax tables, payment
-- conditions and forms, one NFC-e series each, and a few sales already
-- recorded so that the XML and the issuing work before the sale screen.
--
-- Codes the station configuration points at (var/fvn.ini): company 1,
-- operator and user 1, emitter (series) 1, customer 1 "CONSUMIDOR",
-- seller 1, operation 5, price table 0 ("Normal"), payment condition 1.
-- CNPJ, CPF and EAN-13 values carry valid check digits.
-- scripts/db sets the companies' NFC-e folder after loading this file.

set client_min_messages = warning;

insert into versao_bd (i_ver_versao_paf) values (101);

insert into tcep (ccodcep, s_tce_logradouro, s_tce_bairro, s_tce_cidade, s_tce_uf, i_tce_codigo_uf, i_tce_codigo_cidade) values
  (30130000, 'AVENIDA AFONSO PENA', 'CENTRO', 'BELO HORIZONTE', 'MG', 31, 3106200),
  (30140071, 'RUA DOS GUAJAJARAS', 'LOURDES', 'BELO HORIZONTE', 'MG', 31, 3106200),
  (36010000, 'RUA HALFELD', 'CENTRO', 'JUIZ DE FORA', 'MG', 31, 3136702),
  (1310100, 'AVENIDA PAULISTA', 'BELA VISTA', 'SAO PAULO', 'SP', 35, 3550308),
  (13010000, 'RUA BARAO DE JAGUARA', 'CENTRO', 'CAMPINAS', 'SP', 35, 3509502),
  (20040002, 'AVENIDA RIO BRANCO', 'CENTRO', 'RIO DE JANEIRO', 'RJ', 33, 3304557);

insert into tempresa (ccodempresa, crazempresa, cfanempresa, ccnpjempresa, cinsempresa, cendempresa, s_tem_numero_endereco,
                      cbaiempresa, ccidempresa, ccepempresa, s_tem_uf, cfonempresa, cemaempresa, i_tem_email_emitente_nfe,
                      i_tem_email_contador_nfe, i_tem_crt, i_tem_tipo_ambiente, i_tem_insc_municipal, i_tem_cnae,
                      n_tem_aliquota_simples, s_tem_tipo_empresa, i_tem_tipo_empresa, n_tem_perc_aprox_impos,
                      s_tem_mensagem_emp_spn, s_tem_sequencia_busca_produto, s_tem_descricao_tabela1, i_tem_etiqueta_balanca,
                      s_tem_url_edoc, s_tem_login_edoc, s_tem_grupo_edoc, s_tem_senha_edoc, i_tem_ramo) values
  (1, 'MERCEARIA BOA VISTA LTDA', 'MERCEARIA BOA VISTA', '11222333000181', '0623079040081', 'AVENIDA AFONSO PENA', '1500',
   'CENTRO', 'BELO HORIZONTE', 30130000, 'MG', '3132224455', 'contato@boavista.example', 1,
   1, 1, 2, '12345670019', '4712100',
   2.56, 'SIMPLES', 1, 13.45,
   'Obrigado pela preferencia!', 'CBR', 'ATACADO', 1,
   'http://127.0.0.1:8765', 'caixa01', 'boavista', 'demo-senha', 2),
  (2, 'CASA DAS FERRAMENTAS COMERCIO S.A.', 'CASA DAS FERRAMENTAS', '44555666000181', '110042490114', 'AVENIDA PAULISTA', '900',
   'BELA VISTA', 'SAO PAULO', 1310100, 'SP', '1130304050', 'vendas@casaferramentas.example', 0,
   1, 3, 2, '45678901', '4744001',
   0, 'NORMAL', 2, 31.20,
   '', 'CB', '', 0,
   'http://127.0.0.1:8765', 'caixa01', 'ferramentas', 'demo-senha', 2);

insert into tcontador (i_tcon_codigo, s_tcon_nome, s_tcon_cpf, s_tcon_email) values
  (1, 'ANA PAULA CONTABILIDADE', '52998224725', 'fiscal@anapaula-contab.example');

insert into tseriesnf (cserserie, cdesserie, cempserie, cforserie, s_tse_descricao_usuario, i_tse_serie_por_modelo) values
  (1, 'NFC-E MERCEARIA', 1, 2, 'NFC-e caixa 1', 1),
  (2, 'NFC-E FERRAMENTAS', 2, 2, 'NFC-e loja', 1),
  (3, 'TALAO MODELO 2', 1, 1, 'formulario impresso', null);
update tseriesnf set i_tse_nf_eletronica = 0 where cserserie = 3;

insert into tserieusuarios (cod_ser_usu, cod_usu_usu) values (1, 1), (2, 1), (3, 1), (1, 2), (2, 2);

insert into tnaturezaoperacao (i_tna_codigo_operacao, cdesnatureza, ctranatureza, i_tna_adiciona_ipi_icms,
                               s_tna_codigo_dento_estado_cfop, s_tna_codigo_fora_estado_cfop,
                               s_tna_codigo_ter_dento_estado_cfop, s_tna_codigo_ter_fora_estado_cfop,
                               s_tna_codigo_st_dento_estado_cfop, s_tna_codigo_st_fora_estado_cfop,
                               s_tna_codigo_st_ter_dentro_estado_cfop, s_tna_codigo_st_ter_fora_estado_cfop,
                               s_tna_codigo_servico_dentro_estado_cfop, s_tna_codigo_servico_fora_estado_cfop,
                               i_tna_imposto_aprox, s_tna_mesagem_nf, i_tna_venda_futura, i_tna_atualiza_custo) values
  (5, 'VENDA DE MERCADORIA', 'SIM', 0, '5.102', '6.102', '5.102', '6.102', '5.405', '6.404', '5.405', '6.404', '5.933', '6.933',
   1, 'Documento emitido por ME ou EPP optante pelo Simples Nacional.', 0, 0),
  (6, 'REMESSA EM BONIFICACAO', 'NAO', 0, '5.910', '6.910', '5.910', '6.910', '5.910', '6.910', '5.910', '6.910', '5.949', '6.949',
   0, '', 0, 0),
  (7, 'VENDA ENTREGA FUTURA', 'SIM', 0, '5.117', '6.117', '5.117', '6.117', '5.117', '6.117', '5.117', '6.117', '5.933', '6.933',
   1, '', 1, 0);

insert into toperacaousuario (i_top_codigo_operacao_tna, i_top_codigo_par) values (5, 1), (6, 1), (7, 1), (5, 2);

insert into parametros (cusuariocod, s_par_nome_usuario, i_par_dest_compl_prod, i_par_emissor_padrao_nfce) values
  (1, 'CAIXA 01', 1, 1),
  (2, 'CAIXA 02', 0, 2);

insert into tmensagens (ccodmensagem, ctx1mensagem, ctx2mensagem, ctx3mensagem, ctx4mensagem) values
  (1, 'Troca somente com nota fiscal', 'em ate 7 dias.', null, ''),
  (2, 'Volte sempre!', null, null, null);

insert into registror01 (i_r01_codigo_tse, i_r01_numero_seq_ecf) values (3, 1);

insert into aclientes (ccodigo, cnomecliente, s_acl_denominacao_social, i_acl_tipo_pessoa, s_acl_cpf, s_acl_cnpj,
                       s_acl_inscricao_estadual, s_acl_endereco, i_acl_endereco_numero, s_acl_bairro, s_acl_cidade, s_acl_uf,
                       i_acl_cep, cfoneresidencial, cfonecelular, cemail, s_acl_mensagem_nfe, n_acl_perc_desconto, i_acl_compra_prazo) values
  (1, 'CONSUMIDOR', '', 1, '', '', '', '', '', '', 'BELO HORIZONTE', 'MG', 30130000, null, null, null, '', 0, 0),
  (2, 'JOSE DA SILVA SAURO', '', 1, '12345678909', '', '', 'RUA DOS GUAJAJARAS', '410', 'LOURDES', 'BELO HORIZONTE', 'MG',
   30140071, '3133345566', '31988776655', 'jose.sauro@example.com', '', 5, 1),
  (3, 'PADARIA PAO DOURADO', 'PADARIA PAO DOURADO LTDA', 2, '', '12345678000195', '0623079040162', 'RUA HALFELD', 'S/N',
   'CENTRO', 'JUIZ DE FORA', 'MG', 36010000, null, null, 'compras@paodourado.example', 'Pedido interno 4471', 0, 1),
  (4, 'MARIA D''AVILA', '', 1, '98765432100', '', '', 'RUA BARAO DE JAGUARA', '77', 'CENTRO', 'CAMPINAS', 'SP',
   13010000, null, '19999887766', null, '', 0, 1),
  (6, 'CLIENTE INATIVO', '', 1, '11144477735', '', '', 'AVENIDA AFONSO PENA', '10', 'CENTRO', 'BELO HORIZONTE', 'MG',
   30130000, null, null, null, '', 0, 0),
  (5, 'CONSTRUTORA HORIZONTE LTDA', 'CONSTRUTORA HORIZONTE LTDA', 2, '', '98765432000198', '110042490203', 'AVENIDA PAULISTA', '2000',
   'BELA VISTA', 'SAO PAULO', 'SP', 1310100, null, null, 'obras@horizonte.example', '', 0, 1);
update aclientes set i_acl_ativo = 0 where ccodigo = 6;

insert into tvendedores (i_tve_codigo, s_tve_nome, i_tve_ativo, i_tve_codigo_tem, n_tve_perc_comissao) values
  (1, 'JOANA', 1, 1, 1.5), (2, 'PEDRO', 1, 1, 1.0), (3, 'CARLOS', 1, 2, 2.0), (4, 'LUIZA', 0, 1, 0);

insert into atransportadora (ccodtransportadora, cnomtransportadora, ccnpjtransportadora, cinstransportadora, cendtransportadora,
                             ccidtransportadora, cuftransportadora, cplatransportadora, s_atr1_codigo_antt, cematransportador) values
  (1, 'TRANSPORTES RAPIDO MINEIRO LTDA', '33444555000181', '0623079040243', 'RUA DOS TROPEIROS 10', 'BELO HORIZONTE', 'MG',
   'HMG1A23', '012345678', ' logistica@rapidomineiro.example ');

insert into afavorecidos (ccodigofavorecido, cnomefavorecido, ccnpj, i_afa_modalidade_cartao, i_afa_cod_cli, i_afa_tipo) values
  (1, 'CAIXA LOJA', '', null, null, 1),
  (2, 'TROCO', '', null, null, 2),
  (3, 'REDE CARTOES CREDITO', '55666777000181', 1, null, 3),
  (4, 'REDE CARTOES DEBITO', '55666777000181', 2, null, 3),
  (5, 'VALE ALIMENTACAO', '77888999000181', 0, null, 3),
  (6, 'BANCO DO POVO', '22111333000120', null, null, 4),
  (7, 'CREDITO DE CLIENTE', '', null, 2, 1);

insert into parcerias (i_prc_codigo, s_pcr_descricao_parceria, n_prc_perc_desconto_venda, i_prc_codigo_cliente_cred_acl,
                       n_prc_perc_credito_gera_venda) values
  (1, 'Clube do Padeiro', 3, 3, 1);
update aclientes set i_acl_codigo_prc = 1 where ccodigo = 3;

insert into acategoria (i_aca_codigo, s_aca_descricao) values (1, 'MERCEARIA'), (2, 'FERRAMENTAS');

insert into tbanco (ccodbanco, cnombanco, i_tba_tipo) values
  (1, 'CAIXA LOJA', 1), (2, 'BANCO DO POVO', 2), (3, 'REDE CARTOES', 3), (4, 'VALE ALIMENTACAO', 4);

insert into tformapagto (ccodformapgto, cdesformapgto, ctipformapagto, i_tfor_dias_entre_prestacoes, i_tfor_num_prestacoes,
                         i_tfor_ndias_primeiro_vencto, i_com_entrada, n_perc_juros_mes, n_perc_descto_forma_pagto,
                         s_obs_forma_pagto, i_tfo_perm_alt_cond_pgto, i_tfo_imprime_relatorio, i_paf_ide) values
  (1, 'A VISTA', 1, 0, 0, 0, 0, 0, 0, '', 0, 0, 1),
  (2, '30/60 DIAS', 2, 30, 2, 30, 0, 0, 0, 'sem juros', 1, 1, 2),
  (3, 'ENTRADA + 3X', 2, 30, 3, 30, 1, 1.99, 0, 'juros ao mes', 1, 1, 3);

insert into preco_forma_pagto (i_pfp_codigo_tfo, i_pfp_codigo_tab_apr, i_paf_ide) values
  (1, 0, 1), (2, 0, 2), (3, 0, 3), (1, 1, 1), (2, 1, 2);

insert into usuario_forma_pagto (i_ufp_codigo_par, i_ufp_codigo_tab_apr) values (1, 0), (1, 1), (2, 0);

insert into tabempfavorecido (i_tef_codigo, i_tef_codigo_tem, i_tef_codigo_tse, i_tef_codigo_afa, s_tef_descricao, i_tef_tipo,
                              i_tef_tef_cheque, i_tef_codigo_tba, i_tef_vezes, i_tef_dias, n_tef_taxa) values
  (1, 1, 1, 1, 'DINHEIRO', 1, 0, 1, 1, 0, 0),
  (2, 1, 1, 3, 'CARTAO CREDITO', 3, 4, 3, 1, 30, 3.5),
  (3, 1, 1, 4, 'CARTAO DEBITO', 4, 4, 3, 1, 1, 1.5),
  (4, 1, 1, 5, 'VALE ALIMENTACAO', 5, 4, 4, 1, 30, 4),
  (5, 2, 2, 1, 'DINHEIRO', 1, 0, 1, 1, 0, 0),
  (6, 2, 2, 6, 'CHEQUE', 2, 3, 2, 1, 0, 0);

insert into ncm (i_ncm_codigo, s_ncm_descricao, n_ncm_mva, n_ncm_reducao_mva) values
  ('00', 'SERVICOS', 0, 0),
  ('09012100', 'CAFE TORRADO', 0, 0),
  ('10063021', 'ARROZ', 0, 0),
  ('07133319', 'FEIJAO', 0, 0),
  ('22021000', 'REFRIGERANTE', 40.0, 0),
  ('04069010', 'QUEIJO', 0, 0),
  ('08039000', 'BANANA', 0, 0),
  ('82052000', 'MARTELO', 39.0, 10),
  ('82041100', 'CHAVE DE BOCA', 39.0, 0);

insert into mvaestado (s_mva_ncm, s_mva_uf_destino, n_mva_valor, n_mva_reducao_mva) values
  ('22021000', 'MG', 40.0, 0), ('22021000', 'SP', 45.0, 0), ('82052000', 'SP', 39.0, 10);

insert into ttributacao (ccodtributacao, s_atr_descricao, csittributacao, cicmtributacao, crictributacao, cipitributacao,
                         n_atr_red_base_icms_fora, n_atr_fundo_pobreza, n_atr_aliq_subs_venda, s_atr_cst_consumo, i_atr_csosn,
                         i_atr_csosn_consumo, i_atr_cst_pis, i_atr_cst_cofins, i_atr_cst_ipi, n_atr_perc_pis,
                         n_atr_perc_cofins, s_atr_msg_tributacao) values
  (1, 'SIMPLES SEM CREDITO', '00', 0, 0, 0, 0, 0, 0, '00', 102, 102, 49, 49, 53, 0, 0, ''),
  (2, 'SIMPLES ST', '60', 0, 0, 0, 0, 0, 18, '60', 500, 500, 49, 49, 53, 0, 0,
   'ICMS recolhido anteriormente por substituicao tributaria.'),
  (3, 'TRIBUTADA 18%', '00', 18, 0, 0, 0, 2, 0, '00', 102, 102, 1, 1, 53, 1.65, 7.6, ''),
  (4, 'ST REGIME NORMAL', '60', 18, 0, 0, 10, 2, 18, '60', 500, 500, 1, 1, 53, 1.65, 7.6,
   'Mercadoria sujeita a substituicao tributaria - RICMS/SP art. 313.'),
  (5, 'SERVICO ISS', '41', 0, 0, 0, 0, 0, 0, '41', 400, 400, 1, 1, 53, 0.65, 3, ''),
  (6, 'ISENTA', '40', 0, 0, 0, 0, 0, 0, '40', 400, 400, 7, 7, 53, 0, 0, 'Isento de ICMS conforme RICMS/MG.');

insert into aliquotasestado (s_ale_uf, n_ale_percentual_icms, n_ale_percentual_st, i_ale_calculo_st) values
  ('MG', 18, 18, 1), ('SP', 18, 18, 1), ('RJ', 20, 20, 1);

insert into aprodutos (ccodproduto, cdesproduto, cbarproduto, cuniproduto, ctipproduto, ctriproduto, ccplproduto, cpcuproduto,
                       i_apr_codigo_cnm, s_apr_cest, s_apr_codigo_lei116, i_apr_kit, s_apr_controle_estoque, i_apr_fraciona,
                       i_apr_pesavel, s_apr_referencia, n_apr_preco_normal, n_apr_preco_tabela1, n_apr_preco_compra,
                       n_apr_preco_minimo, n_apr_preco_padrao, n_apr_estoque_empresa1, n_apr_estoque_empresa2, i_apr_ativo) values
  (42, 'CAFE TORRADO MOIDO 500G', '7891000000014', 'UN', 0, 1, 'Torra media', 9.80, '09012100', '', '', 0, 'E', 0, 0, 'CAF500',
   17.90, 16.90, 10.50, 15.00, 17.90, 120, 0, 1),
  (43, 'ARROZ TIPO 1 5KG', '7891000000021', 'UN', 0, 6, '', 18.00, '10063021', '', '', 0, 'E', 0, 0, 'ARZ5',
   27.50, 25.90, 19.00, 24.00, 27.50, 80, 0, 1),
  (44, 'FEIJAO CARIOCA 1KG', '7891000000038', 'UN', 0, 6, '', 5.20, '07133319', '', '', 0, 'E', 0, 0, 'FJC1',
   8.99, 8.49, 5.80, 7.50, 8.99, 2, 0, 1),
  (45, 'REFRIGERANTE COLA 2L', '7891000000045', 'UN', 0, 2, '', 5.00, '22021000', '0300700', '', 0, 'E', 0, 0, 'REF2L',
   9.49, 8.99, 5.50, 8.00, 9.49, 48, 0, 1),
  (46, 'QUEIJO MINAS FRESCAL KG', '', 'KG', 0, 6, '', 24.00, '04069010', '', '', 0, 'E', 1, 1, 'QMF',
   42.90, 39.90, 25.00, 38.00, 42.90, 15.5, 0, 1),
  (47, 'BANANA PRATA KG', '', 'KG', 0, 6, '', 3.10, '08039000', '', '', 0, 'E', 1, 1, 'BNP',
   6.49, 5.99, 3.30, 5.00, 6.49, 40, 0, 1),
  (48, 'CESTA BASICA MINI', '7891000000052', 'UN', 0, 1, '', 0, '10063021', '', '', 1, 'N', 0, 0, 'CESTA',
   0, 0, 0, 0, 0, 0, 0, 1),
  (49, 'INSTALACAO DE PRATELEIRA', '', 'UN', 1, 5, '', 0, '00', '', '14.01', 0, 'N', 0, 0, 'SRV-INST',
   80.00, 80.00, 0, 80.00, 80.00, 0, 0, 1),
  (50, 'MARTELO UNHA 27MM', '7891000000069', 'UN', 0, 4, '', 21.00, '82052000', '0601400', '', 0, 'E', 0, 0, 'MRT27',
   39.90, 37.90, 22.00, 35.00, 39.90, 0, 25, 1),
  (51, 'JOGO CHAVE DE BOCA 8 PECAS', '7891000000076', 'JG', 0, 3, 'Aco cromo vanadio', 48.00, '82041100', '', '', 0, 'E', 0, 0, 'CHB8',
   89.90, 84.90, 50.00, 80.00, 89.90, 0, 10, 1),
  (52, 'BISCOITO DESCONTINUADO', '7891000000083', 'UN', 0, 1, '', 2.00, '10063021', '', '', 0, 'E', 0, 0, 'BSC',
   3.50, 3.50, 2.10, 3.00, 3.50, 0, 0, 0);

-- ST withheld by the suppliers of the substitution products, per unit.
update aprodutos set n_apr_base_st_retido = 8.20, n_apr_valor_st_retido = 1.48 where ccodproduto = 45;
update aprodutos set n_apr_base_st_retido = 46.20, n_apr_valor_st_retido = 8.32 where ccodproduto = 50;

insert into produtos_kit (i_prk_codigo, i_prk_codigo_apr, i_prk_codigo_componente, n_prk_quantidade, n_prk_desconto) values
  (1, 48, 43, 1, 0), (2, 48, 44, 2, 0.50), (3, 48, 42, 1, 0);

insert into cstestado (i_cst_codigo_apr, s_cst_uf, s_cst_cst, s_cst_cst_consumo, i_cst_csosn_revenda, i_cst_csosn_consumo) values
  (45, 'SP', '60', '60', 500, 500),
  (50, 'MG', '10', '10', 201, 202);

insert into iss (i_iss_codigo_atr, i_iss_codigo_tem, n_iss_aliquota, s_iss_codigo_servico, i_iss_codigo_municipio,
                 i_iss_exigibilidade, i_iss_incentivo) values
  (5, 1, 2.5, '14.01', 3106200, 1, 2),
  (5, 2, 5.0, '14.01', 3550308, 1, 2);

insert into nfe_exportacao (i_nfs_codigo, s_nfs_local_embarque, s_nfs_uf_embarque) values (1, 'PORTO DE SANTOS', 'SP');

-- One open order and one service order.
insert into pedidos (i_pdi_codigo, i_pdi_codigo_cli, i_pdi_codigo_tfo, i_pdi_codigo_tve, i_pdi_codigo_tra, i_pdi_codigo_tem,
                     d_pdi_data_emissao, i_pdi_modalidade_frete, n_pdi_valor_subtotal, n_pdi_valor_desconto, n_pdi_valor_frete,
                     i_pdi_dias_prestacao, d_pdi_data_primeira_prest, s_pdi_observacao) values
  (1001, 3, 2, 1, 1, 1, date '2026-05-02', 0, 275.00, 5.00, 10.00, 30, date '2026-06-01', 'Entregar pela manha');
insert into itens_pedidos (i_ipe_codigo, i_ipe_codigo_pdi, i_ipe_codigo_apr, i_ipe_codigo_tve, n_ipe_quantidade,
                           n_ipe_valor_unitario, n_ipe_valor_desconto, s_ipe_desc_produto, n_ipe_qtd_afaturar, n_ipe_qtd_pendente) values
  (1, 1001, 43, 1, 10, 25.90, 0, 'ARROZ TIPO 1 5KG', 10, 10),
  (2, 1001, 44, 1, 2, 8.49, 0, 'FEIJAO CARIOCA 1KG', 0, 0),
  (3, 1001, 42, 1, 1, 16.90, 0, 'CAFE TORRADO MOIDO 500G', 1, 1);
insert into duplicata_pedido (i_dpe_codigo_pdi, i_dpe_numero_duplicata, d_dpe_data_vencimento, n_dpe_valor) values
  (1001, 1, date '2026-06-01', 140.00), (1001, 2, date '2026-07-01', 140.00);

insert into aordens (cideord, i_aor_codigo_cli, i_aor_codigo_tem, d_aor_data_abertura, s_aor_descricao, ven_ordem) values
  (501, 2, 1, date '2026-05-01', 'Instalar duas prateleiras no deposito', 2);
insert into ahisordem (ide_aordem, cod_pro_histordem, qtd_pro_hisordem, val_uni_hisordem, val_tot_hisordem) values
  (501, 49, 2, 80.00, 160.00);

-- ---------------------------------------------------------------------------
-- Sales already recorded (series counters and the number register follow).

insert into atransacao_fin (i_atf_codigo, i_atf_codigo_tem, i_atf_operador, s_atf_descricao) values
  (1, 1, 1, 'Venda 1'), (2, 2, 1, 'Venda 2'), (3, 1, 1, 'Venda 3'), (4, 1, 1, 'Venda 4'), (5, 1, 1, 'Venda 5'), (6, 1, 2, 'Sinal OS 501');

-- Sale 1: walk-in consumer, cash 100.00 for 54.39, change 45.61; authorised.
-- Sale 2: São Paulo company, company customer, credit in two installments; authorised.
-- Sale 3: issued in contingency, never confirmed (pending; reloadable).
-- Sale 4: authorised, cancellation still owed.
-- Sale 5: named customer with typed CPF, paid by credit card; authorised; with service item.
insert into asaidas (cidesaidas, cempresasaidas, cemisaidas, cdtsaisaidas, chocsaidas, csrisaidas, cnotsaidas, caviaprsaidas,
                     cnatsaidas, cclisaidas, cvensaidas, ctrasaidas, cmsgsaidas, cfpgsaidas, i_asa_codigo_tna, i_asa_tipo_pagto,
                     i_asa_codigo_transacao_fin, i_asa_operador, i_asa_usuario, nome_saidas, cpf_saidas, cnpj_saidas,
                     endereco_saidas, bairro_saidas, cidade_saidas, uf_saidas, cep_saidas, fone_saidas, inscricao_saidas,
                     cbtrsaidas, cicmsaidas, cmersaidas, cdessaidas, ctotsaidas, cvbrsaidas, csersaidas, cimpsaidas,
                     n_asa_tot_impostos, ctfresaidas, cvqtdsaidas, cvespsaidas, cvmarsaidas, cvnumsaidas, cpliqvolsaidas, cpbrusaidas,
                     cobssaidas, i_asa_contigencia, i_asa_oid_quorvex, i_asa_url_code_nfce, d_asa_data_autorizacao_nfce,
                     h_asa_hora_autorizacao_nfce, s_asa_chave_nfe, s_asa_protocolo_nfe, i_asa_nsu, i_asa_quorvex_canc) values
  (1, 1, date '2026-05-04', date '2026-05-04', time '09:15:02', 1, 1, 'V', '5.102', 1, 1, null, 2, 1, 5, 0,
   1, 1, 1, '', '', '', '', '', 'BELO HORIZONTE', 'MG', 30130000, null, null,
   0, 0, 54.39, 0, 54.39, 54.39, 0, 0,
   7.32, 9, null, null, null, null, null, null,
   '', 0, 70001, 'https://nfce.example/qrcode?p=31260511222333000181650010000000011000000010|2|2|1|ABC', date '2026-05-04',
   time '09:15:40', '31260511222333000181650010000000011000000010', '131260000000001', 1, 0),
  (2, 2, date '2026-05-04', date '2026-05-04', time '10:02:11', 2, 1, 'P', '5.102', 5, 3, null, null, 2, 5, 1,
   2, 1, 1, 'CONSTRUTORA HORIZONTE LTDA', '', '98765432000198', 'AVENIDA PAULISTA, 2000', 'BELA VISTA', 'SAO PAULO', 'SP', 1310100,
   null, '110042490203',
   169.70, 30.55, 169.70, 0, 169.70, 169.70, 0, 0,
   52.95, 9, '1', 'CAIXA', 'HORIZONTE', '1', 3.2, 3.5,
   'Entrega no canteiro de obras', 0, 70002, 'https://nfce.example/qrcode?p=35260544555666000181650010000000011000000027|2|2|1|DEF',
   date '2026-05-04', time '10:02:50', '35260544555666000181650010000000011000000027', '135260000000002', 1, 0),
  (3, 1, date '2026-05-04', date '2026-05-04', time '11:30:00', 1, 2, 'V', '5.102', 1, 1, null, null, 1, 5, 0,
   3, 1, 1, '', '', '', '', '', 'BELO HORIZONTE', 'MG', 30130000, null, null,
   0, 0, 27.50, 0, 27.50, 27.50, 0, 0,
   3.70, 9, null, null, null, null, null, null,
   '', 1, 0, 'https://nfce.example/qrcode?p=31260511222333000181650010000000021000000033|2|2|1|GHI', null,
   null, '31260511222333000181650010000000021000000033', '', 0, 0),
  (4, 1, date '2026-05-04', date '2026-05-04', time '14:45:10', 1, 3, 'V', '5.102', 1, 2, null, null, 1, 5, 0,
   4, 1, 1, '', '', '', '', '', 'BELO HORIZONTE', 'MG', 30130000, null, null,
   0, 0, 9.49, 0, 9.49, 9.49, 0, 0,
   1.28, 9, null, null, null, null, null, null,
   '', 0, 70004, 'https://nfce.example/qrcode?p=31260511222333000181650010000000031000000049|2|2|1|JKL', date '2026-05-04',
   time '14:45:30', '31260511222333000181650010000000031000000049', '131260000000004', 2, 1),
  (5, 1, date '2026-05-04', date '2026-05-04', time '16:20:00', 1, 4, 'V', '5.102', 2, 2, null, 1, 1, 5, 0,
   5, 1, 1, 'JOSE DA SILVA SAURO', '12345678909', '', 'RUA DOS GUAJAJARAS', 'LOURDES', 'BELO HORIZONTE', 'MG', 30140071,
   '3133345566', null,
   0, 0, 35.80, 1.79, 194.01, 195.80, 160.00, 4.00,
   30.10, 9, null, null, null, null, null, null,
   'Cliente retira no balcao', 0, 70005, 'https://nfce.example/qrcode?p=31260511222333000181650010000000041000000054|2|2|1|MNO',
   date '2026-05-04', time '16:20:45', '31260511222333000181650010000000041000000054', '131260000000005', 3, 0);

insert into ahistorico (cidehistorico, cisahistorico, cemphistorico, copcadhistorico, cprohistorico, cdeshistorico, ctiphistorico,
                        ctipphistorico, ccfohistorico, csaihisotorico, cvbrhistorico, cvdeshistorico, cvtothistorico, cicmhistorico,
                        cvichistorico, s_ahi_sit_tributaria, i_ahi_csosn, n_ahi_base_icms, s_ahi_cst_ipi, s_ahi_cst_pis,
                        s_ahi_cst_cofins, n_ahi_base_pis, n_ahi_aliquota_pis, n_ahi_valor_pis, n_ahi_base_cofins,
                        n_ahi_aliquota_cofins, n_ahi_valor_cofins, n_ahi_tot_impostos, n_ahi_valor_tot_item, i_ahi_codigo_tve,
                        cisshistorico, cvishistorico, s_ahi_ncm, s_ahi_cest) values
  (1, 1, 1, 1, 42, 'CAFE TORRADO MOIDO 500G', 'S', 0, '5.102', 2, 17.90, 0, 35.80, 0, 0, '0102', 102, 0, '53', '49', '49',
   0, 0, 0, 0, 0, 0, 4.82, 17.90, 1, 0, 0, '09012100', ''),
  (2, 1, 1, 1, 45, 'REFRIGERANTE COLA 2L', 'S', 0, '5.405', 1, 9.49, 0, 9.49, 0, 0, '0500', 500, 0, '53', '49', '49',
   0, 0, 0, 0, 0, 0, 1.28, 9.49, 1, 0, 0, '22021000', '0300700'),
  (3, 1, 1, 1, 46, 'QUEIJO MINAS FRESCAL KG', 'S', 0, '5.102', 0.212, 42.90, 0, 9.10, 0, 0, '0102', 102, 0, '53', '49', '49',
   0, 0, 0, 0, 0, 0, 1.22, 42.90, 1, 0, 0, '04069010', ''),
  (4, 2, 2, 1, 50, 'MARTELO UNHA 27MM', 'S', 0, '5.405', 2, 39.90, 0, 79.80, 18, 0, '0060', 0, 0, '53', '01', '01',
   79.80, 1.65, 1.32, 79.80, 7.6, 6.06, 24.90, 39.90, 3, 0, 0, '82052000', '0601400'),
  (5, 2, 2, 1, 51, 'JOGO CHAVE DE BOCA 8 PECAS', 'S', 0, '5.102', 1, 89.90, 0, 89.90, 18, 16.18, '0000', 0, 89.90, '53', '01', '01',
   89.90, 1.65, 1.48, 89.90, 7.6, 6.83, 28.05, 89.90, 3, 0, 0, '82041100', ''),
  (6, 3, 1, 1, 43, 'ARROZ TIPO 1 5KG', 'S', 0, '5.102', 1, 27.50, 0, 27.50, 0, 0, '0400', 400, 0, '53', '07', '07',
   0, 0, 0, 0, 0, 0, 3.70, 27.50, 1, 0, 0, '10063021', ''),
  (7, 4, 1, 1, 45, 'REFRIGERANTE COLA 2L', 'S', 0, '5.405', 1, 9.49, 0, 9.49, 0, 0, '0500', 500, 0, '53', '49', '49',
   0, 0, 0, 0, 0, 0, 1.28, 9.49, 2, 0, 0, '22021000', '0300700'),
  (8, 5, 1, 1, 42, 'CAFE TORRADO MOIDO 500G', 'S', 0, '5.102', 2, 17.90, 1.79, 35.80, 0, 0, '0102', 102, 0, '53', '49', '49',
   0, 0, 0, 0, 0, 0, 4.82, 17.90, 2, 0, 0, '09012100', ''),
  (9, 5, 1, 1, 49, 'INSTALACAO DE PRATELEIRA', 'S', 1, '5.933', 2, 80.00, 0, 160.00, 0, 0, '0041', 400, 0, '53', '01', '01',
   160.00, 0.65, 1.04, 160.00, 3, 4.80, 25.28, 80.00, 2, 2.5, 4.00, '00', '');

insert into ahcontas (idhistorico, cidesaivenhist, ccodigofavorecidohistorico, ctef_cheque, cvalorcreditohistorico,
                      cvalordebitohistorico, cdescricaohistorico, i_ahc_tip_lancto, i_ahc_ide_transacao_fin, i_ahc_codigo_tem,
                      i_ahc_operador, i_ahc_usuario, d_ahc_data, i_ahc_codigo_forma, i_ahc_codigo_cli, i_ahc_ide_oservico) values
  (1, 1, 1, 0, 100.00, 0, 'Venda NF: 1 - Emissor: 1', 1, 1, 1, 1, 1, date '2026-05-04', 1, 1, null),
  (2, 1, 2, 0, 0, 45.61, 'Troco NF: 1', 1, 1, 1, 1, 1, date '2026-05-04', 1, 1, null),
  (3, 3, 1, 0, 27.50, 0, 'Venda NF: 2 - Emissor: 1', 1, 3, 1, 1, 1, date '2026-05-04', 1, 1, null),
  (4, 4, 4, 4, 9.49, 0, 'Venda NF: 3 - Emissor: 1', 1, 4, 1, 1, 1, date '2026-05-04', 3, 1, null),
  (5, 5, 3, 4, 194.01, 0, 'Venda NF: 4 - Emissor: 1', 1, 5, 1, 1, 1, date '2026-05-04', 2, 2, null),
  -- A deposit paid in advance on service order 501, not yet used by a sale.
  (6, null, 1, 0, 50.00, 0, 'Sinal OS 501', 2, 6, 1, 2, 2, date '2026-05-01', 1, 2, 501),
  -- A customer credit of JOSE DA SILVA SAURO, open.
  (7, null, 7, 0, 20.00, 0, 'Credito de devolucao', 3, null, 1, 1, 1, date '2026-04-20', null, 2, null);

insert into asduplicatas (cidedupli, cisadupli, cnotdupli, cnprdupli, cemidupli, cvendupli, cvprdupli) values
  (1, 2, 1, 1, date '2026-05-04', date '2026-06-03', 84.85),
  (2, 2, 1, 2, date '2026-05-04', date '2026-07-03', 84.85);

insert into xmlnfe (i_nfe_codigo, s_nfe_chave, s_nfe_protocolo_autorizacao, b_nfe_xml, d_nfe_data_emissao, i_nfe_numero, i_nfe_serie,
                    i_nfe_codigo_cli, s_nfe_nome_cliente, n_nfe_valor_bruto, n_nfe_valor_acrescimo, n_nfe_valor_desconto,
                    n_nfe_valor_total, i_nfe_codigo_asa) values
  (1, '31260511222333000181650010000000011000000010', '131260000000001',
   convert_to('<nfeProc versao="4.00"><NFe><infNFe Id="NFe31260511222333000181650010000000011000000010"/></NFe></nfeProc>', 'UTF8'),
   date '2026-05-04', 1, 1, 1, 'CONSUMIDOR', 54.39, 0, 0, 54.39, 1),
  (2, '35260544555666000181650010000000011000000027', '135260000000002',
   convert_to('<nfeProc versao="4.00"><NFe><infNFe Id="NFe35260544555666000181650010000000011000000027"/></NFe></nfeProc>', 'UTF8'),
   date '2026-05-04', 1, 2, 5, 'CONSTRUTORA HORIZONTE LTDA', 169.70, 0, 0, 169.70, 2),
  (3, '31260511222333000181650010000000031000000049', '131260000000004',
   convert_to('<nfeProc versao="4.00"><NFe><infNFe Id="NFe31260511222333000181650010000000031000000049"/></NFe></nfeProc>', 'UTF8'),
   date '2026-05-04', 3, 1, 1, 'CONSUMIDOR', 9.49, 0, 0, 9.49, 4),
  (4, '31260511222333000181650010000000041000000054', '131260000000005',
   convert_to('<nfeProc versao="4.00"><NFe><infNFe Id="NFe31260511222333000181650010000000041000000054"/></NFe></nfeProc>', 'UTF8'),
   date '2026-05-04', 4, 1, 2, 'JOSE DA SILVA SAURO', 195.80, 0, 1.79, 194.01, 5);

insert into anosequencia (i_ano_serie, i_ano_numero, s_ano_origem) values (1, 1, '0'), (1, 2, '0'), (1, 3, '0'), (1, 4, '0'), (2, 1, '0');
update tseriesnf set i_tse_ultimo_numero = 4 where cserserie = 1;
update tseriesnf set i_tse_ultimo_numero = 1 where cserserie = 2;
update tempresa set i_tem_nsu = 3 where ccodempresa = 1;
update tempresa set i_tem_nsu = 1 where ccodempresa = 2;

select setval('seque_asaidas', 5);
select setval('seque_ahistorico', 9);
select setval('seque_ahcontas', 7);
select setval('seque_asduplicatas', 2);
select setval('seque_xmlnfe', 4);
select setval('seque_transacao_fin', 6);

-- Users of the point of sale. Passwords (documented in the README):
--   caixa / caixa123       the cashier (operator 1)
--   supervisor / super123  the supervisor: releases discounts and cancellations
insert into parametros (cusuariocod, s_par_nome_usuario, i_par_emissor_padrao_nfce) values (3, 'SUPERVISOR', 1);
insert into tserieusuarios (cod_ser_usu, cod_usu_usu) values (1, 3);
insert into toperacaousuario (i_top_codigo_operacao_tna, i_top_codigo_par) values (5, 3);
insert into tusuarios (i_tus_codigo, s_tus_login, s_tus_nome, s_tus_sal, s_tus_hash, i_tus_iteracoes,
                       i_tus_libera_desconto, i_tus_cancela_item, n_tus_desconto_maximo) values
  (1, 'caixa', 'CAIXA 01', '6a1f0c2e9b7d4a5583c1e0f27d9b6a14',
   '8f70e1bfc6456d486e2140bd5ac3f1e69ae765ab208f784450fbc632d6f37352', 100000, 0, 0, 5),
  (3, 'supervisor', 'SUPERVISOR', 'c3d94e1b7a2f06d8e5b4a3c2917f0e6d',
   '61ec83999b147205f7943ee962a1f5ffbc300e94206678d534fc399c650b5bb9', 100000, 1, 1, 100);
update tempresa set i_tem_natureza_padrao = 5, i_tem_cliente_padrao = 1, i_tem_vendedor_padrao = 1;

-- Supervisor rights and credit rules (docs/rights.md).
--   supervisor: every right, and may authorise operations of their own session
--   gerente / gerente123 (operator 4): discounts up to 20 %, credit sales and
--     blocked customers; no cancellation, no negative stock, no registration
update tusuarios set i_tus_venda_prazo = 1, i_tus_cliente_bloqueado = 1, i_tus_estoque_negativo = 1,
                     i_tus_cadastra_cliente = 1, i_tus_autoriza_propria = 1 where i_tus_codigo = 3;
insert into tusuarios (i_tus_codigo, s_tus_login, s_tus_nome, s_tus_sal, s_tus_hash, i_tus_iteracoes,
                       i_tus_libera_desconto, n_tus_desconto_maximo, i_tus_venda_prazo, i_tus_cliente_bloqueado) values
  (4, 'gerente', 'GERENTE', '0f1e2d3c4b5a69788796a5b4c3d2e1f0',
   '1e8d18e619171d6731c451d24b09a9c9d91cbef48e968d75c10ca1fddbf99004', 100000, 1, 20, 1, 1);
-- JOSE: limit 1000.00, 300.00 a month; PADARIA: Juiz de Fora is closed to
-- credit sales; MARIA: reported to the credit bureau. CONSTRUTORA owes two
-- installments past due (the credit sale of note 1, series 2).
update aclientes set n_acl_limite_credito = 1000, n_acl_limite_mensal = 300, d_acl_nascimento = date '1980-03-15'
  where ccodigo = 2;
update aclientes set d_acl_spc = date '2026-02-10', d_acl_nascimento = date '1992-07-01' where ccodigo = 4;
update aclientes set n_acl_limite_credito = 500 where ccodigo = 5;
insert into tcidade_bloqueada (i_tcb_codigo_tem, i_tcb_codigo_cidade, s_tcb_motivo) values
  (1, 3136702, 'Cobrança fora da região');
select setval('seque_aclientes', 6);

-- Browses: events and boleto messages.
insert into teventos (i_eve_codigo, s_eve_descricao, d_eve_data) values
  (1, 'FEIRA DO PRODUTOR', '2026-03-14'),
  (2, 'ANIVERSARIO DA LOJA', '2026-09-01');
insert into teventos (i_eve_codigo, s_eve_descricao, d_eve_data, i_eve_ativo) values
  (3, 'LIQUIDACAO DE INVERNO', '2025-07-01', 0);
insert into tmensagens_boleto (i_mbo_codigo, s_mbo_texto) values
  (1, 'Nao receber apos o vencimento.'),
  (2, 'Apos o vencimento cobrar multa de 2%.');

-- ---------------------------------------------------------------------------
-- Sale screen parties: the events' customers (JOSE's fair, the shop's
-- birthday for the generic consumer), sold by JOANA at the grocery.
update teventos set i_eve_codigo_acl = 2, i_eve_codigo_tve = 1, i_eve_codigo_tem = 1 where i_eve_codigo = 1;
update teventos set i_eve_codigo_acl = 1, i_eve_codigo_tve = 1, i_eve_codigo_tem = 1 where i_eve_codigo in (2, 3);

-- Payment dialogs: a card taken by hand in 3 installments 30 days apart
-- (more than one time: the form is paid in installments and its details
-- are asked for).
insert into tabempfavorecido (i_tef_codigo, i_tef_codigo_tem, i_tef_codigo_tse, i_tef_codigo_afa, s_tef_descricao, i_tef_tipo,
                              i_tef_tef_cheque, i_tef_codigo_tba, i_tef_vezes, i_tef_dias, n_tef_taxa) values
  (7, 1, 1, 3, 'CARTAO PARCELADO', 5, 4, 3, 3, 30, 3.5);
