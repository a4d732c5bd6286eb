// `fvn audit KIND CODE [--emitter N] [--company N] [--customer N]`: answers
// "why can't I sell this?". Reads the row of KIND (company, customer,
// operation, emitter, carrier, product) from the shop database, runs its
// pre-emission audit and prints "OK" or the refusal as the sale screen shows
// it ("Retorno: code|Erro: text|Função: audit", "|" as line breaks).
//
// The audits of a sale depend on the parties audited before them, so the
// command sets them up as the sale screen does: the emitter (the station's,
// or --emitter) before a customer, operation, carrier or product; for a
// product also the company and the customer (the station's, or --company and
// --customer), the generic consumer "CONSUMIDOR" without an audit. A refused
// party of that set-up is printed instead, since no item can be sold then.
//
// Exit status 0 for OK, 1 for a refusal or a row that cannot be read, 2 for
// a usage error.
#pragma once

#include "app/fvn_cli.h"

namespace fvn::app {

Command audit_command();

}  // namespace fvn::app
