#include "data/module_values.h"

#include <type_traits>

#include "data/passthrough_table.h"
#include "data/record_columns.h"
#include "data/sql_values.h"

namespace fvn {

namespace {

using V = ModuleValues;

const RecordColumns<ModuleValues>& company_columns() {
  static const RecordColumns<ModuleValues> columns = [] {
    RecordColumns<ModuleValues> list = {
        {"ccodempresa", &V::COD_EMPR},
        {"crazempresa", &V::EMPRESA, 201},
        {"cfanempresa", &V::NOME_FANTASIA, 201},
        {"ccnpjempresa", &V::CNPJ, 15},
        {"s_tem_uf", &V::UF, 3},
        {"i_tem_serie_padrao", &V::SERIE},
        {"i_tem_natureza_padrao", &V::NAT_PADRAO},
        {"i_tem_cliente_padrao", &V::CLI_PADRA},
        {"i_tem_vendedor_padrao", &V::VEN_PADRA},
        {"i_tem_tabela_preco_padrao", &V::TAB_PRE_PADRAO},
        {"i_tem_transportadora_padrao", &V::TRANSP},
        {"i_tem_res_blo", &V::RES_BLO},
        {"i_tem_tipo_quebra", &V::I_TEM_TIPO_QUEBRA},
        {"i_tem_tipo_juros", &V::I_TEM_TIPO_JUROS},
        {"i_tem_etiqueta_balanca", &V::I_TEM_ETIQUETA_BALANCA},
        {"i_tem_utiliza_parceria", &V::I_TEM_UTILIZA_PARCERIA},
        {"i_tem_utiliza_evento", &V::I_TEM_UTILIZA_EVENTO},
        {"i_tem_usa_http", &V::I_TEM_USA_HTTP},
        {"i_tem_porta_edoc", &V::I_TEM_PORTA_EDOC},
        {"n_tem_aliquota_simples", &V::N_TEM_ALIQUOTA_SIMPLES},
        {"s_tem_url_edoc", &V::S_TEM_URL_EDOC, 256},
        {"s_tem_login_edoc", &V::S_TEM_LOGIN_EDOC, 101},
        {"s_tem_grupo_edoc", &V::S_TEM_GRUPO_EDOC, 101},
        {"s_tem_senha_edoc", &V::S_TEM_SENHA_EDOC, 101},
        {"s_tem_sequencia_busca_produto", &V::S_TEM_SEQUENCIA_BUSCA_PRODUTO, 21},
    };
    for (std::size_t i = 0; i < std::extent_v<decltype(V::S_TEM_DESCRICAO_TABELA)>; ++i) {
      list.emplace_back("s_tem_descricao_tabela" + std::to_string(i + 1), &V::S_TEM_DESCRICAO_TABELA, i, 41);
    }
    list.emplace_back("i_tem_blq_estneg", &V::BLQ_ESTNEG);
    return list;
  }();
  return columns;
}

const RecordColumns<ModuleValues>& parameter_columns() {
  static const RecordColumns<ModuleValues> columns = {
      {"i_par_casas_deci_venda", &V::I_PAR_CASAS_DECI_VENDA},
      {"i_par_qtd_casas_qtd_venda", &V::I_PAR_QTD_CASAS_QTD_VENDA},
      {"i_par_numero_max_parcelas", &V::I_PAR_NUMERO_MAX_PARCELAS},
      {"i_par_dias_max_primeira_parcela", &V::I_PAR_DIAS_MAX_PRIMEIRA_PARCELA},
      {"i_par_dias_max_entre_parcelas", &V::I_PAR_DIAS_MAX_ENTRE_PARCELAS},
      {"i_par_lib_vda_est_negativo", &V::I_PAR_LIB_VDA_EST_NEGATIVO},
      {"i_par_seleciona_cliente_inicio_venda", &V::I_PAR_SELECIONA_CLIENTE_INICIO_VENDA},
      {"i_par_seleciona_vendedor_inicio_venda", &V::I_PAR_SELECIONA_VENDEDOR_INICIO_VENDA},
      {"i_par_seleciona_tela_padores_inicio_venda", &V::I_PAR_SELECIONA_TELA_PADORES_INICIO_VENDA},
      {"i_par_emissor_padrao_nfce", &V::I_PAR_EMISSOR_PADRAO_NFCE},
      {"i_par_tipo_lista_preco", &V::I_PAR_TIPO_LISTA_PRECO},
      {"i_par_utiliza_desc_item", &V::I_PAR_UTILIZA_DESC_ITEM},
      {"i_par_aplica_desconto_cliente", &V::I_PAR_APLICA_DESCONTO_CLIENTE},
      {"i_par_bloqueia_cliente_atrasado_vista", &V::I_PAR_BLOQUEIA_CLIENTE_ATRASADO_VISTA},
      {"i_par_descricao_imp_cupom", &V::I_PAR_DESCRICAO_IMP_CUPOM},
      {"i_par_permite_canc_cf", &V::I_PAR_PERMITE_CANC_CF},
      {"i_par_permite_ver_rentabilidade", &V::I_PAR_PERMITE_VER_RENTABILIDADE},
      {"i_par_troca_cliente_carga_ped", &V::I_PAR_TROCA_CLIENTE_CARGA_PED},
      {"i_par_usa_digito_verificador_venda", &V::I_PAR_USA_DIGITO_VERIFICADOR_VENDA},
      {"i_par_qtd_val_cod_barra", &V::I_PAR_QTD_VAL_COD_BARRA},
      {"i_par_tipo_frete_padrao", &V::I_PAR_TIPO_FRETE_PADRAO},
  };
  return columns;
}

const RecordColumns<ModuleValues>& user_columns() {
  static const RecordColumns<ModuleValues> columns = {
      {"s_tus_nome", &V::NOME_USUARIO, 101},
      {"i_tus_libera_desconto", &V::LIBERA_DESCONTO},
      {"i_tus_cancela_item", &V::CANCELA_ITEM},
      {"n_tus_desconto_maximo", &V::MAX_DESC},
      {"i_tus_cadastra_cliente", &V::CADASTRA_CLIENTE},
  };
  return columns;
}

// Reads the one row of "select <columns> <rest>" into `v`. 0 with `error`
// when the database refuses (`refused` + its messages) or there is no row
// (`missing`).
int read_row(PassthroughTable& table, const RecordColumns<ModuleValues>& columns, const std::string& rest,
             ModuleValues& v, std::string_view refused, const std::string& missing, std::string& error) {
  if (select_record(table, columns, v, rest) != 1) {
    error = table.error_text(refused);
    return 0;
  }
  if (table.next() != 1) {
    error = missing;
    return 0;
  }
  return 1;
}

int load_company(PassthroughTable& table, std::int32_t company, ModuleValues& v, std::string& error) {
  return read_row(table, company_columns(), " from tempresa where ccodempresa = " + sql_integer(company), v,
                  "Erro ao carregar os dados da empresa.|",
                  "Empresa " + std::to_string(company) + " não cadastrada.|Verifique a empresa configurada na estação.",
                  error);
}

int load_parameters(PassthroughTable& table, std::int32_t user, ModuleValues& v, std::string& error) {
  return read_row(table, parameter_columns(), " from parametros where cusuariocod = " + sql_integer(user), v,
                  "Erro ao carregar os parâmetros do usuário.|",
                  "Parâmetros do usuário " + std::to_string(user) +
                      " não cadastrados.|Cadastre os parâmetros do usuário antes de abrir a frente de caixa.",
                  error);
}

int load_user(PassthroughTable& table, std::int32_t user, ModuleValues& v, std::string& error) {
  if (read_row(table, user_columns(), " from tusuarios where i_tus_ativo = 1 and i_tus_codigo = " + sql_integer(user),
               v, "Erro ao carregar os dados do usuário.|",
               "Usuário " + std::to_string(user) + " não cadastrado ou inativo.", error) != 1) {
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
