#include "data/module_values.h"

#include "data/passthrough_table.h"
#include "data/sql_values.h"

namespace fvn {

namespace {

int load_company(PassthroughTable& table, std::int32_t company, ModuleValues& v, std::string& error) {
  table.clear_fields();
  table.bind_long(v.COD_EMPR)
      .bind_text(v.EMPRESA, 201)
      .bind_text(v.NOME_FANTASIA, 201)
      .bind_text(v.CNPJ, 15)
      .bind_text(v.UF, 3)
      .bind_long(v.SERIE)
      .bind_long(v.NAT_PADRAO)
      .bind_long(v.CLI_PADRA)
      .bind_long(v.VEN_PADRA)
      .bind_long(v.TAB_PRE_PADRAO)
      .bind_long(v.TRANSP)
      .bind_long(v.RES_BLO)
      .bind_long(v.I_TEM_TIPO_QUEBRA)
      .bind_long(v.I_TEM_TIPO_JUROS)
      .bind_long(v.I_TEM_ETIQUETA_BALANCA)
      .bind_long(v.I_TEM_UTILIZA_PARCERIA)
      .bind_long(v.I_TEM_UTILIZA_EVENTO)
      .bind_long(v.I_TEM_USA_HTTP)
      .bind_long(v.I_TEM_PORTA_EDOC)
      .bind_real(v.N_TEM_ALIQUOTA_SIMPLES)
      .bind_text(v.S_TEM_URL_EDOC, 256)
      .bind_text(v.S_TEM_LOGIN_EDOC, 101)
      .bind_text(v.S_TEM_GRUPO_EDOC, 101)
      .bind_text(v.S_TEM_SENHA_EDOC, 101)
      .bind_text(v.S_TEM_SEQUENCIA_BUSCA_PRODUTO, 21);
  for (auto& description : v.S_TEM_DESCRICAO_TABELA) table.bind_text(description, 41);
  table.bind_long(v.BLQ_ESTNEG);
  if (table.execute(
          "select ccodempresa, crazempresa, cfanempresa, ccnpjempresa, s_tem_uf, i_tem_serie_padrao, "
          "i_tem_natureza_padrao, i_tem_cliente_padrao, i_tem_vendedor_padrao, i_tem_tabela_preco_padrao, "
          "i_tem_transportadora_padrao, i_tem_res_blo, i_tem_tipo_quebra, i_tem_tipo_juros, i_tem_etiqueta_balanca, "
          "i_tem_utiliza_parceria, i_tem_utiliza_evento, i_tem_usa_http, i_tem_porta_edoc, "
          "n_tem_aliquota_simples, s_tem_url_edoc, s_tem_login_edoc, s_tem_grupo_edoc, s_tem_senha_edoc, "
          "s_tem_sequencia_busca_produto, s_tem_descricao_tabela1, s_tem_descricao_tabela2, "
          "s_tem_descricao_tabela3, s_tem_descricao_tabela4, s_tem_descricao_tabela5, "
          "s_tem_descricao_tabela6, s_tem_descricao_tabela7, s_tem_descricao_tabela8, "
          "s_tem_descricao_tabela9, s_tem_descricao_tabela10, i_tem_blq_estneg from tempresa where ccodempresa = " +
          sql_integer(company)) != 1) {
    error = table.error_text("Erro ao carregar os dados da empresa.|");
    return 0;
  }
  if (table.next() != 1) {
    error = "Empresa " + std::to_string(company) + " não cadastrada.|Verifique a empresa configurada na estação.";
    return 0;
  }
  return 1;
}

int load_parameters(PassthroughTable& table, std::int32_t user, ModuleValues& v, std::string& error) {
  table.clear_fields();
  table.bind_long(v.I_PAR_CASAS_DECI_VENDA)
      .bind_long(v.I_PAR_QTD_CASAS_QTD_VENDA)
      .bind_long(v.I_PAR_NUMERO_MAX_PARCELAS)
      .bind_long(v.I_PAR_DIAS_MAX_PRIMEIRA_PARCELA)
      .bind_long(v.I_PAR_DIAS_MAX_ENTRE_PARCELAS)
      .bind_long(v.I_PAR_LIB_VDA_EST_NEGATIVO)
      .bind_long(v.I_PAR_SELECIONA_CLIENTE_INICIO_VENDA)
      .bind_long(v.I_PAR_SELECIONA_VENDEDOR_INICIO_VENDA)
      .bind_long(v.I_PAR_SELECIONA_TELA_PADORES_INICIO_VENDA)
      .bind_long(v.I_PAR_EMISSOR_PADRAO_NFCE)
      .bind_long(v.I_PAR_TIPO_LISTA_PRECO)
      .bind_long(v.I_PAR_UTILIZA_DESC_ITEM)
      .bind_long(v.I_PAR_APLICA_DESCONTO_CLIENTE)
      .bind_long(v.I_PAR_BLOQUEIA_CLIENTE_ATRASADO_VISTA)
      .bind_long(v.I_PAR_DESCRICAO_IMP_CUPOM)
      .bind_long(v.I_PAR_PERMITE_CANC_CF)
      .bind_long(v.I_PAR_PERMITE_VER_RENTABILIDADE)
      .bind_long(v.I_PAR_TROCA_CLIENTE_CARGA_PED)
      .bind_long(v.I_PAR_USA_DIGITO_VERIFICADOR_VENDA)
      .bind_long(v.I_PAR_QTD_VAL_COD_BARRA)
      .bind_long(v.I_PAR_TIPO_FRETE_PADRAO);
  if (table.execute("select i_par_casas_deci_venda, i_par_qtd_casas_qtd_venda, i_par_numero_max_parcelas, "
                    "i_par_dias_max_primeira_parcela, i_par_dias_max_entre_parcelas, i_par_lib_vda_est_negativo, "
                    "i_par_seleciona_cliente_inicio_venda, i_par_seleciona_vendedor_inicio_venda, "
                    "i_par_seleciona_tela_padores_inicio_venda, i_par_emissor_padrao_nfce, i_par_tipo_lista_preco, "
                    "i_par_utiliza_desc_item, i_par_aplica_desconto_cliente, i_par_bloqueia_cliente_atrasado_vista, "
                    "i_par_descricao_imp_cupom, i_par_permite_canc_cf, i_par_permite_ver_rentabilidade, "
                    "i_par_troca_cliente_carga_ped, i_par_usa_digito_verificador_venda, i_par_qtd_val_cod_barra, "
                    "i_par_tipo_frete_padrao from parametros where cusuariocod = " +
                    sql_integer(user)) != 1) {
    error = table.error_text("Erro ao carregar os parâmetros do usuário.|");
    return 0;
  }
  if (table.next() != 1) {
    error = "Parâmetros do usuário " + std::to_string(user) +
            " não cadastrados.|Cadastre os parâmetros do usuário antes de abrir a frente de caixa.";
    return 0;
  }
  return 1;
}

int load_user(PassthroughTable& table, std::int32_t user, ModuleValues& v, std::string& error) {
  table.clear_fields();
  table.bind_text(v.NOME_USUARIO, 101).bind_long(v.LIBERA_DESCONTO).bind_long(v.CANCELA_ITEM).bind_real(v.MAX_DESC);
  table.bind_long(v.CADASTRA_CLIENTE);
  if (table.execute("select s_tus_nome, i_tus_libera_desconto, i_tus_cancela_item, n_tus_desconto_maximo, "
                    "i_tus_cadastra_cliente "
                    "from tusuarios where i_tus_ativo = 1 and i_tus_codigo = " +
                    sql_integer(user)) != 1) {
    error = table.error_text("Erro ao carregar os dados do usuário.|");
    return 0;
  }
  if (table.next() != 1) {
    error = "Usuário " + std::to_string(user) + " não cadastrado ou inativo.";
    return 0;
  }
  v.USUARIO = user;
  v.OPERADOR = user;
  return 1;
}

// GF_AVI_DIN: the payment form of the fast cash key, the company's first
// cash form (tabempfavorecido of type 1); 0 when it has none.
int load_cash_form(PassthroughTable& table, std::int32_t company, ModuleValues& v, std::string& error) {
  table.clear_fields();
  table.bind_long(v.GF_AVI_DIN);
  if (table.execute("select coalesce(min(i_tef_codigo), 0) from tabempfavorecido where i_tef_tipo = 1 and "
                    "i_tef_codigo_tem = " +
                    sql_integer(company)) != 1 ||
      table.next() != 1) {
    error = table.error_text("Erro ao carregar a forma de pagamento em dinheiro da empresa.|");
    return 0;
  }
  return 1;
}

}  // namespace

int load_module_values(PassthroughTable& table, std::int32_t company, std::int32_t user, ModuleValues& values,
                       std::string& error) {
  ModuleValues loaded;
  loaded.CNXSTR = table.owner();
  if (table.open() != 1) {
    error = table.error_text("Erro ao conectar ao banco de dados.|");
    return 0;
  }
  const int ok = load_company(table, company, loaded, error) && load_parameters(table, user, loaded, error) &&
                 load_user(table, user, loaded, error) && load_cash_form(table, company, loaded, error);
  table.close();
  if (!ok) return 0;
  values = std::move(loaded);
  return 1;
}

}  // namespace fvn
