#include "nfce/audit_rows.h"

#include "data/sql_values.h"
#include "runtime/text.h"

namespace fvn {

namespace {

// Runs `sql` and reads its first row into the fields bound to `tabela`.
int le_linha(PassthroughTable& tabela, const std::string& sql, std::string_view contexto,
             const std::string& nao_encontrado, std::string& erro) {
  if (tabela.open() != 1 || tabela.execute(sql) != 1) {
    erro = tabela.error_text(contexto);
    return 0;
  }
  const int lido = tabela.next();
  const bool fim = lido != 1 && tabela.at_end();
  if (lido != 1 && !fim) erro = tabela.error_text(contexto);
  tabela.close();
  if (fim) erro = nao_encontrado;
  return lido == 1 ? 1 : 0;
}

std::string codigo_texto(std::int32_t codigo) { return sql_integer(codigo); }

}  // namespace

int le_empresa_auditoria(PassthroughTable& tabela, std::int32_t codigo, AUDITOR_FISCAL::DADOS_EMPRESA& empresa,
                         std::string& erro) {
  AUDITOR_FISCAL::DADOS_EMPRESA e;
  e.CODIGO = codigo;
  std::string tipo_empresa;
  std::string insc_municipal;
  double aliquota_simples = 0;
  double perc_aprox = 0;
  std::int32_t quebra = 0;
  std::int32_t ipi = 0;
  std::int32_t imposto_produto = 0;
  std::int32_t configura = 0;
  std::int32_t cep = 0;
  tabela.clear_fields();
  tabela.bind_text(e.NOME_MUNICIPIO, 256)
      .bind_text(tipo_empresa, 21)
      .bind_real(aliquota_simples)
      .bind_long(e.TIPO)
      .bind_text(e.UF, 3)
      .bind_long(cep)
      .bind_long(e.MUNICIPIO)
      .bind_text(insc_municipal, 21)
      .bind_text(e.CNPJ, 15)
      .bind_text(e.RAZAO_SOCIAL, 256)
      .bind_text(e.IE, 25)
      .bind_long(quebra)
      .bind_long(ipi)
      .bind_long(imposto_produto)
      .bind_real(perc_aprox)
      .bind_text(e.BAIRRO, 256)
      .bind_text(e.ENDERECO, 256)
      .bind_text(e.NUMERO, 20)
      .bind_text(e.MENSAGEM_IMPRESSAO_VENDA, 256)
      .bind_long(configura);
  const std::string sql =
      "Select ccidempresa, s_tem_tipo_empresa , n_tem_aliquota_simples , i_tem_tipo_empresa , s_tem_uf , "
      "CCepEmpresa , i_tce_codigo_cidade , i_tem_insc_municipal , ccnpjempresa , crazempresa , cinsempresa , "
      "i_tem_tipo_quebra, i_tem_utiliza_ipi, i_tem_imposto_emp_pro, n_tem_perc_aprox_impos, cbaiempresa, "
      "cendempresa, s_tem_numero_endereco, s_tem_mensagem_emp_spn, i_tem_configura1 from TEmpresa inner join TCEP "
      "on CCepEmpresa = ccodcep where ccodempresa = " +
      codigo_texto(codigo);
  if (le_linha(tabela, sql, "Erro ao buscar dados na tabela TEmpresa.|Erro: ",
               "Empresa " + std::to_string(codigo) + " não encontrada.", erro) != 1) {
    return 0;
  }
  // A postal code of 8 digits; the table keeps it as a number.
  if (cep > 0) {
    e.CEP = std::to_string(cep);
    e.CEP.insert(0, e.CEP.size() < 8 ? 8 - e.CEP.size() : 0, '0');
  }
  empresa = std::move(e);
  return 1;
}

int le_emissor_auditoria(PassthroughTable& tabela, std::int32_t codigo, AUDITOR_FISCAL::DADOS_EMISSOR& emissor,
                         std::string& erro) {
  AUDITOR_FISCAL::DADOS_EMISSOR e;
  tabela.clear_fields();
  tabela.bind_long(e.CODIGO).bind_long(e.TIPO);
  const std::string sql =
      "Select cserserie, case when cforserie = 2 then 11 else cforserie end from TSeriesNF "
      "where cserserie = " +
      codigo_texto(codigo);
  if (le_linha(tabela, sql, "Erro ao buscar dados na tabela TSeriesNF.|Erro: ",
               "Emissor " + std::to_string(codigo) + " não encontrado.", erro) != 1) {
    return 0;
  }
  emissor = e;
  return 1;
}

int le_cliente_auditoria(PassthroughTable& tabela, std::int32_t codigo, AUDITOR_FISCAL::DADOS_CLIENTE& cliente,
                         std::string& erro) {
  AUDITOR_FISCAL::DADOS_CLIENTE c;
  tabela.clear_fields();
  tabela.bind_long(c.CODIGO)
      .bind_text(c.NOME, 256)
      .bind_text(c.ENDERECO, 256)
      .bind_text(c.CIDADE, 31)
      .bind_text(c.UF, 3)
      .bind_text(c.FONE, 12)
      .bind_text(c.CPF, 12)
      .bind_text(c.CNPJ, 15)
      .bind_text(c.IE, 20)
      .bind_text(c.BAIRRO, 256)
      .bind_long(c.MUNICIPIO);
  const std::string sql =
      "select ccodigo, cnomecliente, s_acl_endereco, s_acl_cidade, s_acl_uf, "
      "coalesce(nullif(trim(cfoneresidencial), ''), nullif(trim(cfonecomercial), ''), trim(cfonecelular), ''), "
      "s_acl_cpf, s_acl_cnpj, s_acl_inscricao_estadual, s_acl_bairro, i_tce_codigo_cidade "
      "from aclientes inner join tcep on i_acl_cep = ccodcep where ccodigo = " +
      codigo_texto(codigo);
  if (le_linha(tabela, sql, "Erro ao buscar dados do cliente na tabela aclientes.|Erro: ",
               "Cliente " + std::to_string(codigo) + " não encontrado.", erro) != 1) {
    return 0;
  }
  cliente = std::move(c);
  return 1;
}

int le_operacao_auditoria(PassthroughTable& tabela, std::int32_t codigo, AUDITOR_FISCAL::DADOS_OPERACAO& operacao,
                          std::string& erro) {
  AUDITOR_FISCAL::DADOS_OPERACAO o;
  tabela.clear_fields();
  tabela.bind_text(o.CFOP_IND_DENTRO, 6)
      .bind_text(o.CFOP_ADQUIRIDO_DENTRO, 6)
      .bind_text(o.CFOP_IND_ST_DENTRO, 6)
      .bind_text(o.CFOP_ADQUIRIDO_ST_DENTRO, 6)
      .bind_text(o.CFOP_SERVICO_DENTRO, 6);
  const std::string sql =
      "select s_tna_codigo_dento_estado_cfop, s_tna_codigo_ter_dento_estado_cfop, s_tna_codigo_st_dento_estado_cfop, "
      "s_tna_codigo_st_ter_dentro_estado_cfop, s_tna_codigo_servico_dentro_estado_cfop from tnaturezaoperacao "
      "where i_tna_codigo_operacao = " +
      codigo_texto(codigo);
  if (le_linha(tabela, sql, "Erro ao buscar dados na tabela tnaturezaoperacao.|Erro: ",
               "Operação " + std::to_string(codigo) + " não encontrada.", erro) != 1) {
    return 0;
  }
  operacao = std::move(o);
  return 1;
}

int le_transportadora_auditoria(PassthroughTable& tabela, std::int32_t codigo,
                                AUDITOR_FISCAL::DADOS_TRANSPORTADORA& transportadora, std::string& erro) {
  AUDITOR_FISCAL::DADOS_TRANSPORTADORA t;
  tabela.clear_fields();
  tabela.bind_long(t.CODIGO_TRANSPORTADORA)
      .bind_text(t.RAZAO_SOCIAL, 51)
      .bind_text(t.CNPJ, 15)
      .bind_text(t.TIPO_PESSOA, 2)
      .bind_text(t.CPF, 12)
      .bind_text(t.ENDERECO, 51)
      .bind_text(t.MUNICIPIO, 36)
      .bind_text(t.UF, 3)
      .bind_text(t.IE, 21)
      .bind_text(t.ANTT, 21)
      .bind_text(t.PLACA, 21)
      .bind_text(t.UF_VEICULO, 3);
  const std::string sql =
      "select ccodtransportadora, cnomtransportadora, ccnpjtransportadora, "
      "case when i_atr1_tipo_pessoa = 1 then '1' else '0' end, ccpftransportadora, cendtransportadora, "
      "ccidtransportadora, cuftransportadora, cinstransportadora, s_atr1_codigo_antt, cplatransportadora, "
      "s_atr1_uf_veiculo from atransportadora where ccodtransportadora = " +
      codigo_texto(codigo);
  if (le_linha(tabela, sql, "Erro ao buscar dados na tabela atransportadora.|Erro: ",
               "Transportadora " + std::to_string(codigo) + " não encontrada.", erro) != 1) {
    return 0;
  }
  transportadora = std::move(t);
  return 1;
}

int le_produto_auditoria(PassthroughTable& tabela, std::int32_t codigo, std::string_view uf_cliente,
                         AUDITOR_FISCAL::DADOS_ITEM& item, std::string& erro) {
  AUDITOR_FISCAL::DADOS_ITEM i;
  i.QUANTIDADE = 1;
  if (tabela.open() != 1) {
    erro = tabela.error_text("Erro ao buscar dados do produto.|Erro: ");
    return 0;
  }
  tabela.clear_fields();
  tabela.bind_text(i.DESCRICAO, 301)
      .bind_real(i.UNITARIO)
      .bind_text(i.UNIDADE, 4)
      .bind_long(i.TIPO_PRODUTO)
      .bind_text(i.NCM, 35)
      .bind_real(i.ALIQUOTA_IPI)
      .bind_text(i.CST_ICMS_CONSUMO, 3)
      .bind_text(i.CST_FORA_UF_CONSUMO, 3)
      .bind_text(i.CSOSN_CONSUMO, 4)
      .bind_text(i.CSOSN_FORA_UF_CONSUMO, 4);
  const std::string sql =
      "select cdesproduto, n_apr_preco_normal, cuniproduto, ctipproduto + 1, i_apr_codigo_cnm, cipitributacao, "
      "s_atr_cst_consumo, coalesce(nullif(trim(s_cst_cst_consumo), ''), s_atr_cst_consumo), "
      "i_atr_csosn_consumo::text, coalesce(nullif(i_cst_csosn_consumo, 0), i_atr_csosn_consumo)::text "
      "from aprodutos inner join ttributacao on ctriproduto = ccodtributacao "
      "left join cstestado on i_cst_codigo_apr = ccodproduto and s_cst_uf = " +
      tabela.literal(text::clip(uf_cliente)) + " where ccodproduto = " + codigo_texto(codigo);
  if (le_linha(tabela, sql, "Erro ao buscar dados do produto.|Erro: ",
               "Produto " + std::to_string(codigo) + " não encontrado.", erro) != 1) {
    return 0;
  }
  item = std::move(i);
  return 1;
}

}  // namespace fvn
