// The browses the sale screen and the support windows open to choose a code:
// customers, sellers, carriers, partners, events, note and boleto messages,
// export data, operations, emitters, orders, service orders and products.
// Each is a definition (title, headings, query, search columns) and one
// picker, pick_browse, that returns the chosen code or none.
//
// Search rule, the same for every browse (the text is trimmed; no text
// lists the first rows):
//   - only digits: the row with that code, and the rows whose document or
//     bar-code columns begin with those digits;
//   - one or two characters: names beginning with them;
//   - three or more: names containing them anywhere.
// Case is ignored. Rows come ordered by name, at most kBrowseRows of them,
// so every keystroke runs one indexed query (a prefix index on lower(name)
// and a trigram index on the name; see "-- Browses" in db/schema.sql).
// A fragment found in more than kBrowseScan names lists kBrowseRows of the
// first kBrowseScan the index gives, in name order: typing more narrows it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "data/passthrough_table.h"
#include "runtime/host_ui.h"

namespace fvn {

inline constexpr int kBrowseRows = 200;
inline constexpr int kBrowseScan = 1000;

struct Browse {
  std::string title;
  std::vector<std::string> columns;  // headings, one per selected column
  std::string select;                // "select <code>, ... from ...": one " from ", no where clause
  std::string filter;                // fixed condition, or empty
  std::string code;                  // integer code expression
  std::string name;                  // searched name expression (indexed)
  std::vector<std::string> numbers;  // text columns searched by a digits prefix
};

using BrowseRows = std::vector<std::vector<std::string>>;

// The rows of `browse` for the search text; 0 with the table's error on a
// failed query.
int browse_rows(PassthroughTable& table, const Browse& browse, const std::string& search, BrowseRows& rows);

// Opens the pick list of `browse` (searching as the user types) and returns
// the chosen row's code; none when the user leaves or a query fails (shown
// titled "Erro").
std::optional<std::string> pick_browse(HostUi& ui, PassthroughTable& table, const Browse& browse);

// Parties and texts of the sale. A company or user of 0 means every one.
Browse browse_clientes();
Browse browse_vendedores(std::int32_t company);
Browse browse_transportadoras();
Browse browse_parceiros();
Browse browse_eventos();
Browse browse_mensagens_nota();
Browse browse_mensagens_boleto();
Browse browse_exportacao();

// The sale operations linked to the user (every user when 0).
Browse BROWSE_OPERACAO_VENDA(std::int32_t user);
// The series the user may issue on for the company; electronic series only
// when `electronic` is 1.
Browse BROWSE_SERIE_PERMITIDAS(std::int32_t company, std::int32_t user, std::int32_t electronic);

// Orders and service orders not yet invoiced, of one customer (every
// customer when 0).
Browse browse_pedidos(std::int32_t company, std::int32_t customer);
Browse browse_ordens_servico(std::int32_t company, std::int32_t customer);

// The price column of a price table: 0 "Normal", 1..10 "Tabela1".."Tabela10",
// 11 "Custo", 12 "Compra", 13 "Mínimo", 14 "Padrão"; empty for any other
// number.
std::string price_column(int price_table);
// The stock column of a company (1 or 2); "0" for a company without one.
std::string stock_column(std::int32_t company);

// Active products with the price of one table and the company's stock.
Browse LISTA_DE_PRECOS(int price_table, std::int32_t company);
// Active products with every price table.
Browse LISTA_DE_PRECOS_2();
// Price check at the counter: bar code, description, unit, price and stock
// (inactive products too, marked, so the cashier learns why one won't sell).
Browse TELA_CONSULTA_PRECO(int price_table, std::int32_t company);

// The support menu "Consultas": every browse above by name, for the user's
// company, user and price table (the orders of every customer).
struct NamedBrowse {
  std::string name;
  Browse browse;
};
std::vector<NamedBrowse> browse_catalog(std::int32_t company, std::int32_t user, int price_table);

// Lets the user pick a browse of the catalog, then a row of it; the browse's
// name and the chosen code, or none when the user leaves either list.
std::optional<std::pair<std::string, std::string>> CONSULTAS(HostUi& ui, PassthroughTable& table,
                                                             const std::vector<NamedBrowse>& catalog);

}  // namespace fvn
