// The records the invoice writers read a recorded sale into, and the
// statements that fill them: the access key ("Tabela_Chave"), the header
// ("Tabela_Nota", 125 columns), the items ("Tabela_Itens", 106 columns and two of deferral), the
// payments ("Tabela_Pagamentos") and the accountant ("tabela contador").
// Each record's columns are described once (data/record_columns.h): the
// statement's select list and the fields bound to the table both come from
// that description, in one order. Text capacities include the terminator, as
// the passthrough tables count them.
//
// The item statement reads the engine's own figures where the legacy text
// recomputed them: the FCP-ST base, rate and value and the Simples credit
// (rate and value) come from the recorded item, and two columns follow the
// 106 legacy ones for the CST 51 deferral (rate, deferred value).
//
// Two statements differ from the legacy text, each for a fault:
//  - the series of the key is the expression the header's `serie` uses
//    (the per-model number, else 1), so the key and the tag always agree;
//    the legacy key fell back to the sale's series code instead;
//  - the header's observation column is read whole (message lines and the
//    typed observation may exceed 5,000 characters together); the writer
//    cuts it to the field's maximum and registers the cut.
#pragma once

#include <cstdint>
#include <string>

#include "data/passthrough_table.h"
#include "runtime/clock.h"
#include "runtime/decimal.h"

namespace fvn {

// The series written in the key and in `serie`: the series' number per model
// when set and not 0, else 1.
inline constexpr std::string_view kSerieExpression =
    "case when coalesce( i_tse_serie_por_modelo , 0 ) <> 0 then i_tse_serie_por_modelo else 1 end";

struct TABELA_CHAVE {
  std::int32_t I_TH_UF = 0;
  std::string S_TH_EMISSAO;  // text of 6
  std::string S_TH_CNPJ;     // text of 16; read with room for a punctuated CNPJ
  std::string S_TH_MODELO;   // text of 3
  std::string S_TH_SERIE;    // text of 3
  std::int32_t I_TH_NUMERO = 0;
  std::int32_t I_TH_FORMA_EMISSAO = 0;
  std::int32_t I_TH_CODIGO_NOTA = 0;
};

struct TABELA_NOTA {
  std::int32_t I_TN_LOTE_NFE = 0;
  std::int32_t I_TN_TIPO_AMBIENTE = 0;
  std::int32_t I_TN_TIPO_IMPRESSAO_DANFE = 0;
  std::string S_TN_ID;
  std::int32_t I_TN_CODIGO_UF = 0;
  std::int32_t I_TN_CODIGO_NF = 0;
  std::string S_TN_NATUREZA;
  std::int32_t I_TN_INDICE_PAG = 0;
  std::int32_t I_TN_MODELO = 0;
  std::int32_t I_TN_SERIE = 0;
  std::int32_t I_TN_NUMERO_NF = 0;
  std::int32_t I_TN_SEQ_CF = 0;
  std::int32_t I_TN_NUMERO_CF = 0;
  Date D_TN_DATA_EMISSAO = 0;
  Date D_TN_DATA_SAIDA = 0;
  Time T_TN_HORA_SAIDA = 0;
  std::int32_t I_TN_TIPO_NF = 0;
  std::int32_t I_TN_CODIGO_MUNICIPIO = 0;
  std::int32_t I_TN_MODO_ENVIO = 0;
  std::int32_t I_TN_FINNFE = 0;
  std::string S_TN_CHAVE_REF;
  std::int32_t I_TN_PROCEEMI = 0;
  std::int32_t I_TN_VERSAO = 0;
  std::string S_TN_CNPJ_EMITENTE;
  std::string S_TN_NOME_EMITENTE;
  std::string S_TN_FANTASIA_EMITENTE;
  std::string S_TN_ENDERECO_EMITENTE;
  std::int32_t I_TN_NUMERO_EMITENTE = 0;
  std::string S_TN_BAIRRO_EMITENTE;
  std::int32_t I_TN_COD_MUN_EMITENTE = 0;
  std::string S_TN_CIDADE_EMITENTE;
  std::string S_TN_UF_EMITENTE;
  std::int32_t I_TN_CEP_EMITENTE = 0;
  std::int32_t I_TN_COD_PAIS_EMITENTE = 0;
  std::string S_TN_PAIS_EMITENTE;
  std::string S_TN_TELEFONE_EMITENTE;
  std::string S_TN_IE_EMITENTE;
  std::string I_TN_CRT_EMITENTE;  // text of 15, as declared
  std::string S_TN_CNPJ_CPF_DESTINATARIO;
  std::string S_TN_NOME_DESTINATARIO;
  std::string S_TN_ENDERECO_DESTINATARIO;
  std::string I_TN_NUMERO_DESTINATARIO;  // text of 60, as declared ("S/N")
  std::string S_TN_BAIRRO_DESTINATARIO;
  std::int32_t I_TN_COD_MUN_DESTINATARIO = 0;
  std::string S_TN_CIDADE_DESTINATARIO;
  std::string S_TN_UF_DESTINATARIO;
  std::int32_t I_TN_CEP_DESTINATARIO = 0;
  std::int32_t I_TN_COD_PAIS_DESTINATARIO = 0;
  std::string S_TN_PAIS_DESTINATARIO;
  std::string S_TN_TELEFONE_DESTINATARIO;
  std::string S_TN_IE_IR_DESTINATARIO;
  std::int32_t I_TN_JURIDICO = 0;
  std::string S_TN_EMAIL_DESTINATARIO;
  Dec4 N_TN_BASE_ICMS_GERAL;
  Dec4 N_TN_VLR_ICMS_GERAL;
  Dec4 N_TN_BASE_ST_GERAL;
  Dec4 N_TN_VLR_ST_GERAL;
  Dec4 N_TN_VLR_PRODUTOS;
  Dec4 N_TN_VLR_FRETE;
  Dec4 N_TN_VLR_SEGURO;
  Dec4 N_TN_VLR_DESCONTO;
  Dec4 N_TN_VLR_VII;
  Dec4 N_TN_VLR_IPI;
  Dec4 N_TN_VLR_PIS;
  Dec4 N_TN_VLR_COFINS;
  Dec4 N_TN_VLR_OUTROS;
  Dec4 N_TN_VLR_TOTAL_NOTA;
  Dec4 I_TN_MODO_FRETE;  // a decimal, as declared
  std::string S_TN_CNPJ_TRANSP;
  std::string S_TN_CPF_TRANSP;
  std::string S_TN_NOME_TRANSP;
  std::string S_TN_IE_TRANSP;
  std::string S_TN_ENDERECO_TRANSP;
  std::string S_TN_CIDADE_TRANSP;
  std::string S_TN_UF_TRANSP;
  std::string S_TN_PLACA_TRANSP;
  std::string S_TN_RTNC_TRANSP;
  std::int32_t I_TN_QTD_SAIDAS = 0;
  std::string S_TN_ESPECIE_SAIDAS;
  std::string S_TN_MARCA_SAIDAS;
  std::int32_t I_TN_NUMERO_SAIDAS = 0;
  Dec4 N_TN_PESO_LIQ_SAIDAS;
  Dec4 N_TN_PESO_BRU_SAIDAS;
  std::string S_TN_OBS_NOTA;
  std::int32_t I_TN_STATUS_NOTA_CUPOM = 0;
  std::string S_TN_IM_EMITENTE;
  std::string S_TN_CNAE;
  std::int32_t I_TN_NOTA_CONJUGADA = 0;
  Dec4 N_TN_VLR_SERVICO;
  Dec4 N_TN_BASE_ISS;
  Dec4 N_TN_VLR_ISS;
  Dec4 N_TN_VLR_IMPOSTO;
  Time T_TN_HORA_EMISSAO = 0;
  std::int32_t I_TN_ID_DESTINO = 0;
  std::int32_t I_TN_ID_CONSUMIDOR_FINAL = 0;
  std::int32_t I_TN_INDICADOR_PRESENCIAL = 0;
  std::int32_t I_TN_INDICADOR_IE_DEST = 0;
  Dec2 N_TN_VALOR_DEDUCAO_ISS;
  Dec2 N_TN_VALOR_OUTRAS_RETENCOES;
  Dec2 N_TN_VALOR_DESCONTO_INCONDICIONADO;
  Dec2 N_TN_VALOR_DESCONTO_CONDICIONADO;
  Dec2 N_TN_VALOR_RETENCAO_ISS;
  std::int32_t I_TN_CODIGO_REGIME_ESPECIAL_TRIB = 0;
  std::string S_TN_ANO_MES_EMISSAO_NOTA_REF;
  std::string S_TN_CNPJ_NOTA_REF;
  std::string I_TN_MOD_NOTA_REF;
  std::int32_t I_TN_SERIE_NOTA_REF = 0;
  std::int32_t I_TN_NUMERO_NOTA_REF = 0;
  std::int32_t I_TN_COD_UF_NOTA_REF = 0;
  std::string S_TN_FUSO_HORARIO;
  std::string S_TN_CHAVE_DEVOLUCAO;
  std::string S_TN_UF_DESEMBARACO;
  std::string S_TN_LOCAL_DESEMBARACO;
  std::string S_TN_TIPO_SAIDA;
  std::string S_TN_EMAIL_TRANSPORTADORA;
  std::string S_TN_EMAIL_EMITENTE;
  std::string S_TN_EMAIL_CONTADOR;
  Dec4 N_TN_VLR_PIS_SERV;
  Dec4 N_TN_VLR_COFINS_SERV;
  Dec4 N_TN_VLR_PIS_PROD;
  Dec4 N_TN_VLR_COFINS_PROD;
  std::string S_TN_CPF_DESTINATARIO;
  std::string S_TN_CNPJ_DESTINATARIO;
  std::string S_TN_NOME_DIGITADO_EMITENTE;
  std::string S_TN_NOME_ACLIENTES_EMITENTE;
};

struct TABELA_ITENS {
  std::int32_t I_TI_CODIGO = 0;
  std::int32_t I_TI_TIPO_PRODUTO = 0;
  std::string S_TI_COD_BARRAS;
  std::string S_TI_DESCRICAO;
  std::string S_TI_NCM;
  std::string S_TI_CFOP;
  std::string S_TI_UNIDADE;
  Dec4 N_TI_QUANTIDADE;
  Dec4 N_TI_VLR_LIQUIDO;
  Dec2 N_TI_VLR_DESC;
  Dec4 N_TI_VLR_TOTAL;
  std::int32_t I_TI_IND_TOTALIZADOR = 0;
  std::int32_t I_TI_INDICE = 0;
  std::int32_t I_TI_CST = 0;
  std::int32_t I_TI_MODBC = 0;
  Dec4 N_TI_RED_ICMS;
  Dec4 N_TI_BASE_ICMS;
  Dec4 N_TI_PERC_ICMS;
  Dec4 N_TI_VLR_ICMS;
  Dec4 N_TI_VLR_MVA;
  Dec4 N_TI_RED_ST;
  Dec4 N_TI_BASE_ST;
  Dec4 N_TI_PERC_ST;
  Dec4 N_TI_VLR_ST;
  std::int32_t I_TI_CRT_EMITENTE = 0;
  std::int32_t I_TI_CSOSN = 0;
  Dec2 N_TI_BASE_ALI_SIMPLES;
  Dec2 N_TI_BASE_ICMS_SIMPLES;
  std::int32_t I_TI_CLENQ = 0;
  std::int32_t I_TI_QSELO = 0;
  std::int32_t I_TI_CENQ = 0;
  std::string S_TI_CST_IPI;
  Dec4 N_TI_BASE_IPI;
  Dec4 N_TI_PERC_IPI;
  Dec4 N_TI_VLR_IPI;
  std::int32_t S_TI_CST_PIS = 0;  // an integer, as declared
  Dec4 N_TI_BASE_PIS;
  Dec4 N_TI_PERC_PIS;
  Dec4 N_TI_VLR_PIS;
  std::int32_t S_TI_CST_COFINS = 0;  // an integer, as declared
  Dec4 N_TI_BASE_COFINS;
  Dec4 N_TI_PERC_COFINS;
  Dec4 N_TI_VLR_COFINS;
  std::string S_TI_COMPLEMENTO;
  std::int32_t I_TI_COD_TRIBUTACAO = 0;
  std::string S_TI_MSG_TRIBUTACAO;
  Dec4 N_TI_ACRESCIMO;
  std::string S_TI_NUMERO_IMPORTACAO;
  Date D_TI_DATA_IMPORTACAO = 0;
  std::string S_TI_LOCAL_DESEMBARACO;
  std::string S_TI_UF_DESEMBARACO;
  Date D_TI_DATA_DESEMBARACO = 0;
  std::string S_TI_CODIGO_EXPORTADOR;
  std::int32_t I_TI_NUMERO_ADICAO = 0;
  std::int32_t I_TI_SEQ_ADICAO = 0;
  std::string S_TI_FABRICANTE_ESTRANGEIRO;
  Dec4 N_TI_DESCONTO_DI;
  std::string S_TI_TIPO_SAIDA;
  Dec2 N_TI_VALOR_SEGURO;
  Dec2 N_TI_VALOR_DESP_ACESSORIAS;
  Dec2 N_TI_VALOR_FRETE;
  Dec4 N_TI_BASE_II;
  Dec4 N_TI_VALOR_DESP_ADU;
  Dec4 N_TI_VALOR_II;
  Dec4 N_TI_VALOR_IOF;
  Dec4 N_TI_CNOTSAIDAS;
  Dec4 N_TI_C2NOTSAIDAS;
  std::int32_t I_TI_STATUS_NOTA_CUPOM = 0;
  Dec2 N_TI_BASE_ISS;
  Dec2 N_TI_ALIQ_ISS;
  Dec2 N_TI_VALOR_ISS;
  std::string S_TI_COD_MUNICIPIO;
  std::string S_TI_LEI_116;
  std::string S_TI_SIT_TRIB_ISS;
  Dec4 N_TI_VLR_IMPOSTO;
  std::string S_TI_CHAVE_FCI;
  Dec2 N_TI_VALOR_DEDUCAO_ISS;
  Dec2 N_TI_VALOR_RETENCAO_ISS;
  Dec2 N_TI_VALOR_OUTRAS_RETENCOES;
  Dec2 N_TI_DESCONTO_INCONDICIONADO;
  Dec2 N_TI_DESCONTO_CONDICIONADO;
  std::int32_t I_TI_INDICADOR_EXIGIBILIDADE = 0;
  std::string S_TI_NUMERO_PROCESSO;
  std::int32_t I_TI_INDICADOR_INCENTIVO = 0;
  std::string S_TI_CEST;
  std::int32_t N_TI_COD_ANP = 0;  // an integer, as declared
  std::int32_t N_TI_CODIF = 0;    // an integer, as declared
  Dec4 N_TI_QTEMP_COMB;
  std::string S_TI_DESC_ANP;
  Dec4 N_TI_PERC_PGLP;
  Dec4 N_TI_PERC_GAS_NATURAL;
  Dec4 N_TI_GAS_IMPORTADO;
  Dec2 N_TI_VALOR_PARTIDA;
  Dec2 N_TI_BASE_FUNDO_POBREZA;
  Dec4 N_TI_PERC_FUNDO_POBREZA;
  Dec2 N_TI_VALOR_FUNDO_POBREZA;
  Dec2 N_TI_BASE_ST_FUNDO_POBREZA;
  Dec4 N_TI_PERC_ST_FUNDO_POBREZA;
  Dec2 N_TI_VALOR_ST_FUNDO_POBREZA;
  Dec2 N_TI_BASE_ST_RETIDO_FUNDO_POBREZA;
  Dec4 N_TI_PERC_ST_RETIDO_FUNDO_POBREZA;
  Dec2 N_TI_VALOR_ST_RETIDO_FUNDO_POBREZA;
  Dec4 N_TI_ALIQ_CONSUMIDOR_FINAL;
  std::string S_TI_IND_ESCALA_RELEVANTE;
  std::string S_TI_CNPJ_FABRICANTE;
  std::string S_TI_COD_BENEFICIO_FISCAL;
  Dec4 N_TI_PERC_DIFERIMENTO;     // CST 51: deferral rate
  Dec4 N_TI_VALOR_ICMS_DIFERIDO;  // CST 51: deferred ICMS (N_TI_VLR_ICMS is what remains due)
};

struct TABELA_PAGAMENTOS {
  std::string S_TP_COD_PAGAMENTO;  // text of 3
  Dec4 N_TP_VALOR_PAGAMENTO;
  std::string S_TNP_CNPJ_CREDENCIADORA;  // text of 15
  std::string S_TP_BANDEIRA;             // text of 3
  std::string S_TP_NUM_AUTORIZACAO;      // text of 21
  std::int32_t I_TP_INTEGRACAO = 0;
};

// Statements, each for the sale `id`.
std::string chave_statement(std::int32_t id);
std::string nota_statement(std::int32_t id);
std::string itens_statement(std::int32_t id);
std::string pagamentos_statement(std::int32_t id);
inline constexpr std::string_view kContadorStatement =
    "Select s_tcon_cpf as i_cont_CPF from tcontador order by i_tcon_codigo limit 1;";

// Binds each field of the record to `table`, in its statement's select-list
// order (after clearing the table's fields).
void bind_record(PassthroughTable& table, TABELA_CHAVE& record);
void bind_record(PassthroughTable& table, TABELA_NOTA& record);
void bind_record(PassthroughTable& table, TABELA_ITENS& record);
void bind_record(PassthroughTable& table, TABELA_PAGAMENTOS& record);

}  // namespace fvn
