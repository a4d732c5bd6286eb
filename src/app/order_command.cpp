#include "app/order_command.h"

#include <fstream>
#include <functional>
#include <iostream>
#include <iterator>
#include <optional>
#include <ostream>
#include <sstream>
#include <string>

#include <nlohmann/json.hpp>

#include "app/command_line_ui.h"
#include "app/startup_command.h"
#include "data/passthrough_table.h"
#include "data/sql_values.h"
#include "data/transaction.h"
#include "runtime/rounding.h"

namespace fvn::app {

namespace {

using nlohmann::json;

// The JSON of FILE, or of standard input for "-"; none (after a message)
// when it cannot be read or parsed.
std::optional<json> read_json(Context& ctx, const std::string& path) {
  // Read through the stream buffer (an istreambuf_iterator range stops g++
  // 12's release build with a false null-dereference warning).
  std::ostringstream content;
  if (path == "-") {
    content << std::cin.rdbuf();
  } else {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
      ctx.out << "Não foi possível ler " << path << ".\n";
      return std::nullopt;
    }
    content << in.rdbuf();
  }
  const std::string text = content.str();
  json value = json::parse(text, nullptr, false);
  if (value.is_discarded() || !value.is_object()) {
    ctx.out << "Arquivo JSON inválido: " << path << ".\n";
    return std::nullopt;
  }
  return value;
}

// Numbers and codes of the JSON: a missing or ill-typed member takes the
// fallback, so a wrong type never reaches a statement as text.
std::string integer(const json& o, const char* key, std::int64_t fallback = 0) {
  const auto it = o.find(key);
  return sql_integer(it != o.end() && it->is_number_integer() ? it->get<std::int64_t>() : fallback);
}
double real(const json& o, const char* key, double fallback = 0) {
  const auto it = o.find(key);
  return it != o.end() && it->is_number() ? it->get<double>() : fallback;
}
std::string number(const json& o, const char* key, double fallback = 0) {
  return sql_number(real(o, key, fallback), 4);
}
// An optional foreign key: NULL when absent or 0.
std::string key_or_null(const json& o, const char* key) {
  const auto it = o.find(key);
  return it != o.end() && it->is_number_integer() && it->get<std::int64_t>() != 0 ? sql_integer(it->get<std::int64_t>())
                                                                                  : std::string{"NULL"};
}
std::string text_of(PassthroughTable& t, const json& o, const char* key) {
  const auto it = o.find(key);
  return t.literal(it != o.end() && it->is_string() ? it->get<std::string>() : std::string{});
}
const json& list(const json& o, const char* key) {
  static const json empty = json::array();
  const auto it = o.find(key);
  return it != o.end() && it->is_array() ? *it : empty;
}

// Runs `write` in a transaction; a refusal prints the driver's message and
// rolls back. `write` answers the new code, 0 when refused.
int in_transaction(Context& ctx, PassthroughTable& t, const std::function<std::int64_t()>& write,
                   std::string_view label) {
  CommandLineUi ui(ctx.out, ctx.out);
  Transaction transaction(t, ui);
  if (!transaction.begun()) {
    ctx.out << message_lines(t.error_text("Erro ao abrir transação.|")) << "\n";
    return kExitFailure;
  }
  const std::int64_t code = write();
  if (code == 0 || transaction.commit() != 1) {
    ctx.out << message_lines(t.error_text("Erro ao gravar.|")) << "\n";
    return kExitFailure;
  }
  ctx.out << label << ": " << code << "\n";
  return kExitOk;
}

// The code given, or the next free one of `table`.`column` (the table locked
// against another station drawing the same).
std::int64_t new_code(PassthroughTable& t, const json& o, const std::string& table, const std::string& column) {
  const auto it = o.find("codigo");
  if (it != o.end() && it->is_number_integer()) return it->get<std::int64_t>();
  if (t.execute("lock table " + table + " in share row exclusive mode") != 1 ||
      t.execute("select coalesce(max(" + column + "), 0) + 1 from " + table) != 1 || t.next() != 1) {
    return 0;
  }
  return std::stoll(t.value(0));
}

int order_add(Context& ctx, const json& o, const std::string& connection) {
  PassthroughTable t("PEDIDO", connection);
  const std::string empresa = sql_integer(station_number(ctx.config, "company", 1));
  return in_transaction(
      ctx, t,
      [&]() -> std::int64_t {
        const std::int64_t codigo = new_code(t, o, "pedidos", "i_pdi_codigo");
        if (codigo == 0) return 0;
        double subtotal = 0;
        for (const json& i : list(o, "itens")) subtotal += round_to(real(i, "quantidade") * real(i, "unitario"), 2);
        const std::string pedido = sql_integer(codigo);
        if (t.execute("insert into pedidos (i_pdi_codigo, i_pdi_codigo_cli, i_pdi_codigo_tfo, i_pdi_codigo_tve, "
                      "i_pdi_codigo_tra, i_pdi_codigo_tem, i_pdi_modalidade_frete, n_pdi_valor_subtotal, "
                      "n_pdi_valor_desconto, n_pdi_valor_acrescimo, n_pdi_valor_despesas, n_pdi_valor_frete, "
                      "n_pdi_valor_entrada, n_pdi_perc_juro, s_pdi_observacao) values (" +
                      pedido + ", " + integer(o, "cliente") + ", " + key_or_null(o, "condicao") + ", " +
                      key_or_null(o, "vendedor") + ", " + key_or_null(o, "transportadora") + ", " + empresa + ", " +
                      integer(o, "modalidade_frete", 9) + ", " + sql_number(subtotal, 2) + ", " +
                      number(o, "desconto") + ", " + number(o, "acrescimo") + ", " + number(o, "despesas") + ", " +
                      number(o, "frete") + ", " + number(o, "entrada") + ", " + number(o, "juro") + ", " +
                      text_of(t, o, "observacao") + ")") != 1) {
          return 0;
        }
        for (const json& i : list(o, "itens")) {
          if (t.execute(
                  "insert into itens_pedidos (i_ipe_codigo, i_ipe_codigo_pdi, i_ipe_codigo_apr, "
                  "n_ipe_quantidade, n_ipe_valor_unitario, n_ipe_valor_desconto, n_ipe_valor_acrescimo, "
                  "s_ipe_desc_produto, n_ipe_qtd_afaturar, n_ipe_qtd_pendente) select coalesce(max(i_ipe_codigo), "
                  "0) + 1, " +
                  pedido + ", " + integer(i, "produto") + ", " + number(i, "quantidade") + ", " +
                  number(i, "unitario") + ", " + number(i, "desconto") + ", " + number(i, "acrescimo") +
                  ", (select cdesproduto from aprodutos where ccodproduto = " + integer(i, "produto") + "), " +
                  number(i, "a_faturar", real(i, "quantidade")) + ", " + number(i, "quantidade") +
                  " from itens_pedidos") != 1) {
            return 0;
          }
        }
        std::int64_t numero = 0;
        for (const json& p : list(o, "parcelas")) {
          if (t.execute("insert into duplicata_pedido (i_dpe_codigo_pdi, i_dpe_numero_duplicata, "
                        "d_dpe_data_vencimento, n_dpe_valor) values (" +
                        pedido + ", " + sql_integer(++numero) + ", " + text_of(t, p, "vencimento") + "::date, " +
                        number(p, "valor") + ")") != 1) {
            return 0;
          }
        }
        if (numero > 0 && t.execute("update pedidos set d_pdi_data_primeira_prest = (select d_dpe_data_vencimento "
                                    "from duplicata_pedido where i_dpe_codigo_pdi = " +
                                    pedido + " and i_dpe_numero_duplicata = 1) where i_pdi_codigo = " + pedido) != 1) {
          return 0;
        }
        return codigo;
      },
      "pedido");
}

int service_add(Context& ctx, const json& o, const std::string& connection) {
  PassthroughTable t("ORDEM", connection);
  const std::string empresa = sql_integer(station_number(ctx.config, "company", 1));
  return in_transaction(
      ctx, t,
      [&]() -> std::int64_t {
        const std::int64_t codigo = new_code(t, o, "aordens", "cideord");
        if (codigo == 0) return 0;
        const std::string ordem = sql_integer(codigo);
        if (t.execute("insert into aordens (cideord, i_aor_codigo_cli, i_aor_codigo_tem, s_aor_descricao, ven_ordem) "
                      "values (" +
                      ordem + ", " + integer(o, "cliente") + ", " + empresa + ", " + text_of(t, o, "descricao") + ", " +
                      key_or_null(o, "vendedor") + ")") != 1) {
          return 0;
        }
        for (const json& i : list(o, "itens")) {
          const double total = round_to(real(i, "quantidade") * real(i, "unitario"), 2);
          if (t.execute("insert into ahisordem (ide_aordem, cod_pro_histordem, qtd_pro_hisordem, val_uni_hisordem, "
                        "val_tot_hisordem) values (" +
                        ordem + ", " + integer(i, "produto") + ", " + number(i, "quantidade") + ", " +
                        number(i, "unitario") + ", " + sql_number(total, 2) + ")") != 1) {
            return 0;
          }
        }
        for (const json& s : list(o, "sinais")) {
          // The payee of the payment form; a form of another company gives
          // no row and the not-null payee refuses the deposit.
          if (t.execute("insert into ahcontas (ccodigofavorecidohistorico, cvalorcreditohistorico, "
                        "cvalordebitohistorico, cdescricaohistorico, i_ahc_tip_lancto, i_ahc_codigo_tem, d_ahc_data, "
                        "i_ahc_codigo_forma, i_ahc_codigo_cli, i_ahc_ide_oservico) values ((select i_tef_codigo_afa "
                        "from tabempfavorecido where i_tef_codigo = " +
                        integer(s, "forma") + " and i_tef_codigo_tem = " + empresa + "), " + number(s, "valor") +
                        ", 0, " + t.literal("Sinal OS " + std::to_string(codigo)) + ", 2, " + empresa +
                        ", current_date, " + integer(s, "forma") + ", " + integer(o, "cliente") + ", " + ordem + ")") !=
              1) {
            return 0;
          }
        }
        return codigo;
      },
      "ordem");
}

int order_run(Context& ctx, const std::vector<std::string>& args) {
  if (args.size() != 2 || (args[0] != "add" && args[0] != "service")) {
    ctx.err << "fvn: usage: fvn order add FILE | fvn order service FILE\n";
    return kExitUsage;
  }
  const auto o = read_json(ctx, args[1]);
  if (!o) return kExitFailure;
  const std::string connection = ctx.database_connection();
  if (connection.empty()) return kExitFailure;
  return args[0] == "add" ? order_add(ctx, *o, connection) : service_add(ctx, *o, connection);
}

}  // namespace

Command order_command() {
  return {"order", "add FILE | service FILE",
          "creates an order, or a service order with its deposits, from a JSON file (\"-\": standard input)",
          order_run};
}

}  // namespace fvn::app
