// Support command that creates orders and service orders in the shop
// database, for support staff and tests to have something to import:
//   fvn order add FILE
//       a customer order from a JSON file ("-": standard input):
//       {"codigo": 1010 (optional: the next free code), "cliente": 2,
//        "condicao": 3, "vendedor": 1, "transportadora": 1,
//        "modalidade_frete": 9, "frete": 0, "desconto": 0, "acrescimo": 0,
//        "despesas": 0, "entrada": 0, "juro": 0, "observacao": "",
//        "itens": [{"produto": 45, "quantidade": 4, "unitario": 9.49,
//                   "desconto": 1.00, "acrescimo": 0, "a_faturar": 4}],
//        "parcelas": [{"vencimento": "2027-01-05", "valor": 10.00}]}
//       an item's "a_faturar" defaults to its quantity; the subtotal is the
//       items' quantity x price.
//   fvn order service FILE
//       a service order, with its deposits paid in advance:
//       {"codigo": 601 (optional), "cliente": 2, "descricao": "...",
//        "vendedor": 2, "itens": [{"produto": 49, "quantidade": 2,
//        "unitario": 80.00}], "sinais": [{"valor": 50.00, "forma": 1}]}
//       a deposit's "forma" is a payment form of the station's company
//       (tabempfavorecido), whose payee receives it.
// Prints "pedido: CODE" or "ordem: CODE". Everything is written in one
// transaction: a refused row leaves nothing behind. Company: [station]
// company.
#pragma once

#include "app/fvn_cli.h"

namespace fvn::app {

Command order_command();

}  // namespace fvn::app
