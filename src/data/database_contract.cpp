#include "data/database_contract.h"

#include <cstdint>

#include "data/passthrough_table.h"

namespace fvn {

namespace {

int read_schema_version(PassthroughTable& table, std::int32_t& version) {
  version = 0;
  std::int32_t present = 0;
  table.clear_fields();
  table.bind_long(present);
  if (!table.execute("select count(*) from pg_class where relname = 'tversao_esquema' and relkind = 'r' "
                     "and pg_table_is_visible(oid);") ||
      !table.next()) {
    return 0;
  }
  if (present == 0) return 1;
  table.clear_fields();
  table.bind_long(version);
  if (!table.execute("select coalesce(max(i_tve_versao), 0) from tversao_esquema;") || !table.next()) return 0;
  return 1;
}

}  // namespace

const std::vector<std::string_view>& contract_tables() {
  static const std::vector<std::string_view> tables = {
      "asaidas",
      "asaidas_canc",
      "ahistorico",
      "ahcontas",
      "asduplicatas",
      "xmlnfe",
      "anosequencia",
      "tnota_pedido",
      "carta_correcao",
      "nfe_exportacao",
      "aclientes",
      "atransportadora",
      "afavorecidos",
      "tvendedores",
      "tempresa",
      "tcep",
      "tcontador",
      "tmensagens",
      "tseriesnf",
      "tserieusuarios",
      "tnaturezaoperacao",
      "toperacaousuario",
      "tformapagto",
      "usuario_forma_pagto",
      "preco_forma_pagto",
      "tbanco",
      "parcerias",
      "tabempfavorecido",
      "acategoria",
      "aprodutos",
      "produtos_kit",
      "ncm",
      "cstestado",
      "mvaestado",
      "iss",
      "ttributacao",
      "pedidos",
      "itens_pedidos",
      "duplicata_pedido",
      "aordens",
      "ahisordem",
      "aentradas",
      "parametros",
      "registror01",
      "versao_bd",
      "aliquotasestado",
      "tversao_esquema",
  };
  return tables;
}

const std::vector<std::string_view>& contract_sequences() {
  static const std::vector<std::string_view> sequences = {
      "seque_asaidas", "seque_asaidas_canc", "seque_ahistorico", "seque_ahcontas", "seque_asduplicatas", "seque_xmlnfe",
  };
  return sequences;
}

const std::vector<std::string_view>& contract_functions() {
  static const std::vector<std::string_view> functions = {
      "inclui_sequencia(integer)",   "inclui_sequencia_nsu(integer)",
      "inclui_sequencia_lote_nfe()", "estorna_transacao(integer,text,text)",
      "busca_produto(text,text)",
  };
  return functions;
}

const std::vector<std::string_view>& contract_columns() {
  static const std::vector<std::string_view> columns = {"asaidas.i_asa_situacao_nfce", "asaidas.t_asa_envio_nfce"};
  return columns;
}

int check_database_contract(PassthroughTable& table, ContractReport& report) {
  report = {};
  std::int32_t version = 0;
  if (!read_schema_version(table, version)) return 0;
  report.schema_version = version;

  std::int32_t found = 0;
  table.clear_fields();
  table.bind_long(found);
  auto probe = [&](std::string_view kind, std::string_view name, std::string_view sql) {
    if (!table.execute(sql) || !table.next()) return false;
    if (found == 0) report.missing.push_back(std::string(kind) + " " + std::string(name));
    return true;
  };
  // The names are the module's own constants: quoting them through the
  // table keeps the rule that nothing is pasted raw.
  for (const std::string_view name : contract_tables()) {
    if (!probe("tabela", name,
               "select count(*) from pg_class where relname = " + table.literal(name) +
                   " and relkind in ('r', 'p', 'v') and pg_table_is_visible(oid);")) {
      return 0;
    }
  }
  for (const std::string_view name : contract_sequences()) {
    if (!probe("sequência", name,
               "select count(*) from pg_class where relname = " + table.literal(name) +
                   " and relkind = 'S' and pg_table_is_visible(oid);")) {
      return 0;
    }
  }
  for (const std::string_view name : contract_functions()) {
    if (!probe("função", name,
               "select case when to_regprocedure(" + table.literal(name) + ") is null then 0 else 1 end;")) {
      return 0;
    }
  }
  for (const std::string_view name : contract_columns()) {
    const auto dot = name.find('.');
    if (!probe("coluna", name,
               "select count(*) from information_schema.columns where table_schema = current_schema() and "
               "table_name = " +
                   table.literal(name.substr(0, dot)) + " and column_name = " + table.literal(name.substr(dot + 1)) +
                   ";")) {
      return 0;
    }
  }
  return 1;
}

int verify_schema_version(PassthroughTable& table, std::string& error) {
  std::int32_t version = 0;
  if (table.open() != 1 || !read_schema_version(table, version)) {
    error = table.error_text("Erro ao verificar a versão do banco de dados.|");
    return 0;
  }
  if (version != kSchemaVersion) {
    error = "Versão do banco de dados incompatível.|Esperada: " + std::to_string(kSchemaVersion) +
            "|Encontrada: " + (version == 0 ? std::string("nenhuma") : std::to_string(version));
    return 0;
  }
  return 1;
}

}  // namespace fvn
