// The browses' queries and search rule against the demo shop, and the pick
// over them headless (ScriptedUi types into the list and answers it).
#include "screens/browses.h"

#include <gtest/gtest.h>

#include "runtime/scripted_ui.h"
#include "support/db_fixture.h"

namespace fvn {
namespace {

class BrowseTest : public testing::DbTest {
 protected:
  // The codes (first column) the browse lists for `search`.
  std::vector<std::string> codes(const Browse& browse, const std::string& search) {
    PassthroughTable table("LISTA", db);
    BrowseRows rows;
    EXPECT_EQ(browse_rows(table, browse, search, rows), 1) << table.error_text("") << " in " << browse.title;
    std::vector<std::string> out;
    for (const auto& row : rows) out.push_back(row.front());
    return out;
  }
  using Codes = std::vector<std::string>;
};

TEST_F(BrowseTest, CustomersBySearchRule) {
  const Browse customers = browse_clientes();
  // No text: every active customer by name; the inactive one (6) is not offered.
  EXPECT_EQ(codes(customers, ""), (Codes{"5", "1", "2", "4", "3"}));
  EXPECT_EQ(codes(customers, " co "), (Codes{"5", "1"}));       // prefix, any case, trimmed
  EXPECT_EQ(codes(customers, "horiz"), (Codes{"5"}));           // anywhere
  EXPECT_EQ(codes(customers, "2"), (Codes{"2"}));               // code
  EXPECT_EQ(codes(customers, "98765"), (Codes{"5", "4"}));      // CNPJ and CPF prefix
  EXPECT_EQ(codes(customers, "12345678000195"), (Codes{"3"}));  // a whole CNPJ
  // LIKE characters match themselves; a quote is data.
  EXPECT_EQ(codes(customers, "d'a"), (Codes{"4"}));
  EXPECT_TRUE(codes(customers, "%").empty());
  EXPECT_TRUE(codes(customers, "_o_").empty());
  EXPECT_TRUE(codes(customers, "99999").empty());
}

TEST_F(BrowseTest, OperationsAndEmittersOfTheUser) {
  EXPECT_EQ(codes(BROWSE_OPERACAO_VENDA(2), ""), (Codes{"5"}));
  EXPECT_EQ(codes(BROWSE_OPERACAO_VENDA(1), ""), (Codes{"6", "5", "7"}));
  EXPECT_EQ(codes(BROWSE_OPERACAO_VENDA(0), "entrega"), (Codes{"7"}));
  // Electronic series are offered only with the flag; series 3 (printed form) always.
  EXPECT_EQ(codes(BROWSE_SERIE_PERMITIDAS(1, 1, 1), ""), (Codes{"1", "3"}));
  EXPECT_EQ(codes(BROWSE_SERIE_PERMITIDAS(1, 1, 0), ""), (Codes{"3"}));
  EXPECT_EQ(codes(BROWSE_SERIE_PERMITIDAS(0, 2, 1), ""), (Codes{"2", "1"}));
  EXPECT_TRUE(codes(BROWSE_SERIE_PERMITIDAS(2, 3, 1), "").empty());
}

TEST_F(BrowseTest, OrdersProductsAndTheSmallerLists) {
  EXPECT_EQ(codes(browse_pedidos(1, 3), ""), (Codes{"1001"}));
  EXPECT_TRUE(codes(browse_pedidos(1, 5), "").empty());
  EXPECT_EQ(codes(browse_ordens_servico(1, 0), "jose"), (Codes{"501"}));
  EXPECT_TRUE(codes(browse_ordens_servico(2, 0), "").empty());
  // The inactive product is listed only by the price check.
  EXPECT_EQ(codes(LISTA_DE_PRECOS(1, 1), "biscoito"), Codes{});
  EXPECT_EQ(codes(TELA_CONSULTA_PRECO(1, 1), "7891000000083"), (Codes{"52"}));
  EXPECT_EQ(codes(LISTA_DE_PRECOS(0, 1), "7891000000014"), (Codes{"42"}));
  EXPECT_EQ(codes(browse_vendedores(1), ""), (Codes{"1", "2"}));
  EXPECT_EQ(codes(browse_eventos(), ""), (Codes{"2", "1"}));
  // Every browse of the support menu runs its query (codes() checks it).
  for (const auto& entry : browse_catalog(1, 1, 1)) codes(entry.browse, "a");

  PassthroughTable table("LISTA", db);
  BrowseRows rows;
  ASSERT_EQ(browse_rows(table, LISTA_DE_PRECOS(1, 2), "martelo", rows), 1);
  ASSERT_EQ(rows.size(), 1U);
  EXPECT_EQ(rows[0], (std::vector<std::string>{"50", "MARTELO UNHA 27MM", "7891000000069", "UN", "37.90", "25.000"}));
  EXPECT_EQ(price_column(14), "n_apr_preco_padrao");
  EXPECT_EQ(price_column(15), "");
}

TEST_F(BrowseTest, PickReturnsTheCodeOfTheRowSearchedOrNone) {
  ScriptedUi ui;
  PassthroughTable table("LISTA", db);
  ui.type_in_pick("dourado");
  ui.answer_pick(1);
  EXPECT_EQ(pick_browse(ui, table, browse_clientes()), "3");
  ASSERT_EQ(ui.searched_rows().size(), 1U);
  EXPECT_EQ(ui.pick_lists().back().title, "Consulta Clientes");
  ui.answer_pick(0);
  EXPECT_FALSE(pick_browse(ui, table, browse_clientes()).has_value());
  // The support menu: the thirteenth browse, then its first row.
  ui.answer_pick(13);
  ui.answer_pick(1);
  const auto chosen = CONSULTAS(ui, table, browse_catalog(1, 1, 1));
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(*chosen, std::make_pair(std::string{"Lista de preços"}, std::string{"43"}));
  // A broken query: shown once, no code.
  Browse broken = browse_clientes();
  broken.filter = "coluna_que_nao_existe = 1";
  EXPECT_FALSE(pick_browse(ui, table, broken).has_value());
  EXPECT_EQ(ui.messages().back().title, "Erro");
}

}  // namespace
}  // namespace fvn
