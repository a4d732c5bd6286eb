// The module-wide values every window reads: the logged-in user and company,
// the operator's sale parameters (GLO:I_PAR_*), the company's parameters
// (GLO:I_TEM_*, GLO:S_TEM_*, GLO:N_TEM_*) and the station's defaults (GLO_*).
// The start-up loads them from tempresa, parametros and tusuarios into one
// ModuleValues; the member names are the parameters' own names without the
// "GLO:" / "GLO_" prefix. Each member's initial value is its default: the
// value a column's default gives and what a window assumes when the shop
// never set it.
#pragma once

#include <cstdint>
#include <string>

namespace fvn {

class PassthroughTable;

struct ModuleValues {
  // Logged-in user and company.
  std::int32_t USUARIO = 0;          // GLO_USUARIO: tusuarios.i_tus_codigo
  std::int32_t OPERADOR = 0;         // GLO_OPERADOR: the same code, as operator of parametros
  std::string NOME_USUARIO;          // the user's name, for the windows' status lines
  std::int32_t LIBERA_DESCONTO = 0;  // the user may release discounts
  std::int32_t CANCELA_ITEM = 0;     // the user may cancel items and sales
  double MAX_DESC = 0;               // GLO_MAX_DESC: largest discount, percent
  std::string EMPRESA;               // GLO_EMPRESA: company name (crazempresa)
  std::string NOME_FANTASIA;         // cfanempresa
  std::int32_t COD_EMPR = 0;         // GLO_COD_EMPR
  std::string CNPJ;                  // GLO_CNPJ: 14 digits
  std::string UF;                    // s_tem_uf
  std::string CNXSTR;                // GLO:CNXSTR: the connection text
  std::int32_t ONLINE = 1;           // GLO:ONLINE: 1 while the service is used

  // GF_AVI_DIN: the payment form of the fast cash key (Alt+F5), the
  // company's first cash form of tabempfavorecido; 0 when it has none.
  std::int32_t GF_AVI_DIN = 0;

  // 1 when the user may register consumers (tusuarios.i_tus_cadastra_cliente).
  std::int32_t CADASTRA_CLIENTE = 0;

  // Company defaults of a new sale (tempresa.i_tem_*_padrao).
  std::int32_t SERIE = 1;           // GLO_SERIE
  std::int32_t NAT_PADRAO = 0;      // GLO_NAT_PADRAO: default operation, 0 = none
  std::int32_t CLI_PADRA = 0;       // GLO_CLI_PADRA: default customer, 0 = none
  std::int32_t VEN_PADRA = 0;       // GLO_VEN_PADRA: default seller, 0 = none
  std::int32_t TAB_PRE_PADRAO = 1;  // GLO_TAB_PRE_PADRAO: price table 1..10
  std::int32_t TRANSP = 0;          // GLO_TRANSP: default carrier, 0 = none
  std::int32_t BLQ_ESTNEG = 0;      // GLO_BLQ_ESTNEG: negative stock 0 allowed, 1 warned, 2 blocked
  std::int32_t RES_BLO = 1;         // GLO_RES_BLO: the customers' credit limits are checked

  // Sale parameters of the operator (parametros).
  std::int32_t I_PAR_CASAS_DECI_VENDA = 2;     // decimal places of prices
  std::int32_t I_PAR_QTD_CASAS_QTD_VENDA = 3;  // decimal places of quantities
  std::int32_t I_PAR_NUMERO_MAX_PARCELAS = 12;
  std::int32_t I_PAR_DIAS_MAX_PRIMEIRA_PARCELA = 30;
  std::int32_t I_PAR_DIAS_MAX_ENTRE_PARCELAS = 30;
  std::int32_t I_PAR_LIB_VDA_EST_NEGATIVO = 0;  // 1 sells below zero stock
  std::int32_t I_PAR_SELECIONA_CLIENTE_INICIO_VENDA = 0;
  std::int32_t I_PAR_SELECIONA_VENDEDOR_INICIO_VENDA = 0;
  std::int32_t I_PAR_SELECIONA_TELA_PADORES_INICIO_VENDA = 0;
  std::int32_t I_PAR_EMISSOR_PADRAO_NFCE = 0;  // default emitter, 0 = none
  std::int32_t I_PAR_TIPO_LISTA_PRECO = 0;
  std::int32_t I_PAR_UTILIZA_DESC_ITEM = 1;  // item discounts allowed
  std::int32_t I_PAR_APLICA_DESCONTO_CLIENTE = 0;
  std::int32_t I_PAR_BLOQUEIA_CLIENTE_ATRASADO_VISTA = 0;
  std::int32_t I_PAR_DESCRICAO_IMP_CUPOM = 0;
  std::int32_t I_PAR_PERMITE_CANC_CF = 0;
  std::int32_t I_PAR_PERMITE_VER_RENTABILIDADE = 0;
  std::int32_t I_PAR_TROCA_CLIENTE_CARGA_PED = 0;
  std::int32_t I_PAR_USA_DIGITO_VERIFICADOR_VENDA = 0;
  std::int32_t I_PAR_QTD_VAL_COD_BARRA = 0;
  std::int32_t I_PAR_TIPO_FRETE_PADRAO = 9;  // 9 = no freight

  // Company parameters (tempresa).
  std::int32_t I_TEM_TIPO_QUEBRA = 0;
  std::int32_t I_TEM_TIPO_JUROS = 0;
  // A company that never chose its break mode or interest kind (0) takes the first one.
  [[nodiscard]] std::int32_t tipo_quebra() const { return I_TEM_TIPO_QUEBRA > 0 ? I_TEM_TIPO_QUEBRA : 1; }
  [[nodiscard]] std::int32_t tipo_juros() const { return I_TEM_TIPO_JUROS > 0 ? I_TEM_TIPO_JUROS : 1; }
  std::int32_t I_TEM_ETIQUETA_BALANCA = 0;
  std::int32_t I_TEM_UTILIZA_PARCERIA = 0;
  std::int32_t I_TEM_UTILIZA_EVENTO = 0;
  std::int32_t I_TEM_USA_HTTP = 1;
  std::int32_t I_TEM_PORTA_EDOC = 0;
  double N_TEM_ALIQUOTA_SIMPLES = 0;
  std::string S_TEM_URL_EDOC;    // the web service's address
  std::string S_TEM_LOGIN_EDOC;  // and credentials
  std::string S_TEM_GRUPO_EDOC;
  std::string S_TEM_SENHA_EDOC;
  std::string S_TEM_SEQUENCIA_BUSCA_PRODUTO = "CB";
  std::string S_TEM_DESCRICAO_TABELA[10];  // S_TEM_DESCRICAO_TABELA1 .. 10
};

// Loads the values of `company` and the user `user` through `table` (whose
// owner is the connection text). 1 on success; 0 with `error` (the user's
// message, "|" as line break) when the database refuses, or the company,
// the user or the user's parameter row is missing. `values` is written only
// on success.
int load_module_values(PassthroughTable& table, std::int32_t company, std::int32_t user, ModuleValues& values,
                       std::string& error);

}  // namespace fvn
