#include "screens/browses.h"

#include <algorithm>

#include "data/sql_values.h"
#include "runtime/text.h"

namespace fvn {

namespace {

// The search text as a LIKE operand: its own %, _ and \ match themselves.
std::string like_escaped(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    if (c == '%' || c == '_' || c == '\\') out += '\\';
    out += c;
  }
  return out;
}

bool all_digits(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string and_filter(const std::string& filter) { return filter.empty() ? std::string{} : " and " + filter; }

}  // namespace

int browse_rows(PassthroughTable& table, const Browse& browse, const std::string& search, BrowseRows& rows) {
  rows.clear();
  const std::string text = text::trim(search);
  std::string where = "true";
  std::string scan_limit;
  std::vector<SqlParam> params;
  if (all_digits(text)) {
    // A code fits an integer column; longer digit strings are documents or bar codes.
    where = "(false";
    if (text.size() <= 9) {
      params.push_back(SqlParam::text(text));
      where += " or " + browse.code + " = $1::integer";
    }
    if (!browse.numbers.empty()) params.push_back(SqlParam::text(text + "%"));
    const std::string prefix = "$" + std::to_string(params.size());
    for (const auto& column : browse.numbers) where += " or " + column + " like " + prefix;
    where += ")";
  } else if (text::length(text) > 0 && text::length(text) < 3) {
    where = "lower(" + browse.name + ") collate \"C\" like lower($1)";
    params.push_back(SqlParam::text(like_escaped(text) + "%"));
  } else if (!text.empty()) {
    // A fragment common to many names would otherwise walk the name order
    // through every row before it: the trigram index finds at most
    // kBrowseScan matches, which are then put in order.
    where = browse.name + " ilike $1";
    params.push_back(SqlParam::text("%" + like_escaped(text) + "%"));
    scan_limit = " limit " + sql_integer(kBrowseScan);
  }
  // The sort keys ride along as two extra columns (dropped below), so the
  // bounded scan can be ordered outside it; without a limit the subquery is
  // flattened and the name index still gives the order.
  const std::size_t from = browse.select.find(" from ");
  const std::string sql = "select * from (" + browse.select.substr(0, from) + ", lower(" + browse.name +
                          ") collate \"C\" as browse_order, " + browse.code + " as browse_code" +
                          browse.select.substr(from) + " where " + where + and_filter(browse.filter) + scan_limit +
                          ") b order by browse_order, browse_code limit " + sql_integer(kBrowseRows);
  table.clear_fields();
  if (table.open() != 1 || table.execute(sql, params) != 1) return 0;
  while (table.next() == 1) {
    std::vector<std::string> row;
    const int shown = table.column_count() - 2;
    row.reserve(static_cast<std::size_t>(shown));
    for (int column = 0; column < shown; ++column) row.push_back(text::clip(table.value(column)));
    rows.push_back(std::move(row));
  }
  table.close();
  return 1;
}

std::optional<std::string> pick_browse(HostUi& ui, PassthroughTable& table, const Browse& browse) {
  BrowseRows shown;
  if (browse_rows(table, browse, "", shown) != 1) {
    ui.message(table.error_text("Erro ao consultar a lista.|"), "Erro", MessageIcon::Error);
    return std::nullopt;
  }
  std::string failure;
  PickListRequest request{browse.title, browse.columns, shown, shown.empty() ? 0 : 1, {}};
  request.search = [&](const std::string& text) {
    if (browse_rows(table, browse, text, shown) != 1 && failure.empty()) {
      failure = table.error_text("Erro ao consultar a lista.|");
    }
    return shown;
  };
  const int chosen = ui.pick_list(request);
  if (!failure.empty()) {
    // One message after the list closes, not one per keystroke.
    ui.message(failure, "Erro", MessageIcon::Error);
    return std::nullopt;
  }
  if (chosen < 1 || static_cast<std::size_t>(chosen) > shown.size()) return std::nullopt;
  return shown[static_cast<std::size_t>(chosen) - 1].front();
}

Browse browse_clientes() {
  return {"Consulta Clientes",
          {"Código", "Nome", "CPF/CNPJ", "Cidade", "UF"},
          "select ccodigo, cnomecliente, case when i_acl_tipo_pessoa = 2 then s_acl_cnpj else s_acl_cpf end, "
          "s_acl_cidade, s_acl_uf from aclientes",
          "i_acl_ativo = 1",
          "ccodigo",
          "cnomecliente",
          {"s_acl_cpf", "s_acl_cnpj"}};
}

Browse browse_vendedores(std::int32_t company) {
  return {"Consulta Vendedores",
          {"Código", "Nome"},
          "select i_tve_codigo, s_tve_nome from tvendedores",
          "i_tve_ativo = 1" + (company != 0 ? " and i_tve_codigo_tem = " + sql_integer(company) : std::string{}),
          "i_tve_codigo",
          "s_tve_nome",
          {}};
}

Browse browse_transportadoras() {
  return {"Consulta Transportadoras",
          {"Código", "Nome", "CNPJ/CPF", "Cidade", "UF"},
          "select ccodtransportadora, cnomtransportadora, case when ccnpjtransportadora <> '' then "
          "ccnpjtransportadora else ccpftransportadora end, ccidtransportadora, cuftransportadora from "
          "atransportadora",
          "",
          "ccodtransportadora",
          "cnomtransportadora",
          {"ccnpjtransportadora", "ccpftransportadora"}};
}

Browse browse_parceiros() {
  return {"Consulta Parcerias",
          {"Código", "Descrição", "% Desconto"},
          "select i_prc_codigo, s_pcr_descricao_parceria, round(n_prc_perc_desconto_venda, 2) from parcerias",
          "",
          "i_prc_codigo",
          "s_pcr_descricao_parceria",
          {}};
}

Browse browse_eventos() {
  return {"Consulta Eventos",
          {"Código", "Descrição", "Data"},
          "select i_eve_codigo, s_eve_descricao, to_char(d_eve_data, 'DD/MM/YYYY') from teventos",
          "i_eve_ativo = 1",
          "i_eve_codigo",
          "s_eve_descricao",
          {}};
}

Browse browse_mensagens_nota() {
  return {"Consulta Mensagens da Nota",
          {"Código", "Mensagem"},
          "select ccodmensagem, concat_ws(' ', ctx1mensagem, ctx2mensagem, ctx3mensagem, ctx4mensagem) from "
          "tmensagens",
          "",
          "ccodmensagem",
          "coalesce(ctx1mensagem, '')",
          {}};
}

Browse browse_mensagens_boleto() {
  return {"Consulta Mensagens do Boleto",
          {"Código", "Mensagem"},
          "select i_mbo_codigo, s_mbo_texto from tmensagens_boleto",
          "",
          "i_mbo_codigo",
          "s_mbo_texto",
          {}};
}

Browse browse_exportacao() {
  return {"Consulta Dados de Exportação",
          {"Código", "Local de Embarque", "UF"},
          "select i_nfs_codigo, s_nfs_local_embarque, s_nfs_uf_embarque from nfe_exportacao",
          "",
          "i_nfs_codigo",
          "s_nfs_local_embarque",
          {}};
}

Browse BROWSE_OPERACAO_VENDA(std::int32_t user) {
  return {"Browse de Operações de Venda",
          {"Código", "Descrição", "Transacao Valida P/ o Sistema"},
          "select i_tna_codigo_operacao, cdesnatureza, ctranatureza from tnaturezaoperacao",
          "exists (select 1 from toperacaousuario where i_top_codigo_operacao_tna = i_tna_codigo_operacao" +
              (user != 0 ? " and i_top_codigo_par = " + sql_integer(user) : std::string{}) + ")",
          "i_tna_codigo_operacao",
          "cdesnatureza",
          {}};
}

Browse BROWSE_SERIE_PERMITIDAS(std::int32_t company, std::int32_t user, std::int32_t electronic) {
  std::string filter = "ctiposerie = 0 and cimpserie = 0 and i_tse_nota_servico = 0";
  if (electronic != 1) filter += " and i_tse_nf_eletronica <> 1";
  if (company != 0) filter += " and cempserie = " + sql_integer(company);
  filter += " and exists (select 1 from tserieusuarios where cod_ser_usu = cserserie" +
            (user != 0 ? " and cod_usu_usu = " + sql_integer(user) : std::string{}) + ")";
  return {"Consulta Emissor",
          {"Emissor", "Descrição", "Empresa", "Impressão"},
          "select cserserie, cdesserie, cempserie, s_tse_descricao_usuario from tseriesnf",
          filter,
          "cserserie",
          "cdesserie",
          {}};
}

Browse browse_pedidos(std::int32_t company, std::int32_t customer) {
  std::string filter = "i_pdi_ide_asaidas is null";
  if (company != 0) filter += " and i_pdi_codigo_tem = " + sql_integer(company);
  if (customer != 0) filter += " and i_pdi_codigo_cli = " + sql_integer(customer);
  return {"Consulta Pedidos",
          {"Pedido", "Cliente", "Emissão", "Subtotal"},
          "select i_pdi_codigo, cnomecliente, to_char(d_pdi_data_emissao, 'DD/MM/YYYY'), "
          "round(n_pdi_valor_subtotal, 2) from pedidos join aclientes on ccodigo = i_pdi_codigo_cli",
          filter,
          "i_pdi_codigo",
          "cnomecliente",
          {}};
}

Browse browse_ordens_servico(std::int32_t company, std::int32_t customer) {
  std::string filter = "ide_asaidas is null";
  if (company != 0) filter += " and i_aor_codigo_tem = " + sql_integer(company);
  if (customer != 0) filter += " and i_aor_codigo_cli = " + sql_integer(customer);
  return {"Consulta Ordens de Serviço",
          {"Ordem", "Cliente", "Abertura", "Descrição"},
          "select cideord, cnomecliente, to_char(d_aor_data_abertura, 'DD/MM/YYYY'), s_aor_descricao from aordens "
          "join aclientes on ccodigo = i_aor_codigo_cli",
          filter,
          "cideord",
          "cnomecliente",
          {}};
}

std::string price_column(int price_table) {
  if (price_table == 0) return "n_apr_preco_normal";
  if (price_table >= 1 && price_table <= 10) return "n_apr_preco_tabela" + std::to_string(price_table);
  switch (price_table) {
    case 11: return "cpcuproduto";  // "Custo": the product's cost
    case 12: return "n_apr_preco_compra";
    case 13: return "n_apr_preco_minimo";
    case 14: return "n_apr_preco_padrao";
    default: return {};
  }
}

std::string stock_column(std::int32_t company) {
  return company == 1 || company == 2 ? "n_apr_estoque_empresa" + std::to_string(company) : "0";
}

namespace {

Browse product_browse(std::string title, std::vector<std::string> columns, const std::string& values,
                      std::string filter) {
  return {std::move(title),  std::move(columns), "select ccodproduto, cdesproduto, " + values + " from aprodutos",
          std::move(filter), "ccodproduto",      "cdesproduto",
          {"cbarproduto"}};
}

std::string money(const std::string& column) { return "round(" + column + ", 2)"; }

}  // namespace

Browse LISTA_DE_PRECOS(int price_table, std::int32_t company) {
  const std::string price = price_column(price_table).empty() ? "0" : price_column(price_table);
  return product_browse("Lista de Preços", {"Código", "Descrição", "Cód. Barras", "Un.", "Preço", "Estoque"},
                        "cbarproduto, cuniproduto, " + money(price) + ", round(" + stock_column(company) + ", 3)",
                        "i_apr_ativo = 1");
}

Browse LISTA_DE_PRECOS_2() {
  std::vector<std::string> columns{"Código", "Descrição", "Referência", "Normal"};
  std::string values = "s_apr_referencia, " + money("n_apr_preco_normal");
  for (int table = 1; table <= 10; ++table) {
    columns.push_back("Tabela" + std::to_string(table));
    values += ", " + money(price_column(table));
  }
  return product_browse("Lista de Preços", std::move(columns), values, "i_apr_ativo = 1");
}

Browse TELA_CONSULTA_PRECO(int price_table, std::int32_t company) {
  const std::string price = price_column(price_table).empty() ? "0" : price_column(price_table);
  return product_browse("Consulta Preço", {"Código", "Descrição", "Cód. Barras", "Un.", "Preço", "Estoque", "Situação"},
                        "cbarproduto, cuniproduto, " + money(price) + ", round(" + stock_column(company) +
                            ", 3), case when i_apr_ativo = 1 then 'ATIVO' else 'INATIVO' end",
                        "");
}

std::vector<NamedBrowse> browse_catalog(std::int32_t company, std::int32_t user, int price_table) {
  return {{"Clientes", browse_clientes()},
          {"Vendedores", browse_vendedores(company)},
          {"Transportadoras", browse_transportadoras()},
          {"Parcerias", browse_parceiros()},
          {"Eventos", browse_eventos()},
          {"Mensagens da nota", browse_mensagens_nota()},
          {"Mensagens do boleto", browse_mensagens_boleto()},
          {"Dados de exportação", browse_exportacao()},
          {"Operações de venda", BROWSE_OPERACAO_VENDA(user)},
          {"Emissores", BROWSE_SERIE_PERMITIDAS(company, user, 1)},
          {"Pedidos", browse_pedidos(company, 0)},
          {"Ordens de serviço", browse_ordens_servico(company, 0)},
          {"Lista de preços", LISTA_DE_PRECOS(price_table, company)},
          {"Lista de preços (todas as tabelas)", LISTA_DE_PRECOS_2()},
          {"Consulta preço", TELA_CONSULTA_PRECO(price_table, company)}};
}

std::optional<std::pair<std::string, std::string>> CONSULTAS(HostUi& ui, PassthroughTable& table,
                                                             const std::vector<NamedBrowse>& catalog) {
  PickListRequest menu{"Consultas", {"Consulta"}, {}, 1, {}};
  for (const auto& entry : catalog) menu.rows.push_back({entry.name});
  const int chosen = ui.pick_list(menu);
  if (chosen < 1 || static_cast<std::size_t>(chosen) > catalog.size()) return std::nullopt;
  const NamedBrowse& entry = catalog[static_cast<std::size_t>(chosen) - 1];
  auto code = pick_browse(ui, table, entry.browse);
  if (!code) return std::nullopt;
  return std::make_pair(entry.name, *code);
}

}  // namespace fvn
