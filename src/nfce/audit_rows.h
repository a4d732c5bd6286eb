// The rows of the shop database that the pre-emission audit examines, read
// by their codes into the auditor's records: company, emitter (series),
// client, operation nature, carrier and product.
//
// Each reader returns 1 with the record filled, or 0 with `erro` set: the
// row does not exist ("... não encontrado."), or the statement failed (the
// context, the runtime message and the driver's message). The table must
// belong to the shop database's connection; it is opened when needed.
//
// How the columns become record fields, where the database and the records
// differ:
//  - company: the statement the sale screen uses at a new sale; CODIGO is
//    the code asked for, TIPO the company type (1 Simples, 2 regular), CEP
//    the 8-digit postal code;
//  - emitter: TIPO 11 (NFC-e emitter) for a series whose form kind is 2
//    (NFC-e), otherwise the series' form kind;
//  - client: the first telephone filled of residential, business and mobile;
//    the municipality code of the client's postal code;
//  - carrier: TIPO_PESSOA "1" for a natural person (type 1 in the table),
//    "0" for a legal person;
//  - product: one unit at the "Normal" price table; TIPO_PRODUTO is the
//    product type of the table plus one (1 goods, 2 service, 3 freight); the
//    consumer CST and CSOSN of its tax class, the out-of-state pair from the
//    product's state row for `uf_cliente` when that row fills them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "data/passthrough_table.h"
#include "nfce/auditor_fiscal.h"

namespace fvn {

int le_empresa_auditoria(PassthroughTable& tabela, std::int32_t codigo, AUDITOR_FISCAL::DADOS_EMPRESA& empresa,
                         std::string& erro);
int le_emissor_auditoria(PassthroughTable& tabela, std::int32_t codigo, AUDITOR_FISCAL::DADOS_EMISSOR& emissor,
                         std::string& erro);
int le_cliente_auditoria(PassthroughTable& tabela, std::int32_t codigo, AUDITOR_FISCAL::DADOS_CLIENTE& cliente,
                         std::string& erro);
int le_operacao_auditoria(PassthroughTable& tabela, std::int32_t codigo, AUDITOR_FISCAL::DADOS_OPERACAO& operacao,
                          std::string& erro);
int le_transportadora_auditoria(PassthroughTable& tabela, std::int32_t codigo,
                                AUDITOR_FISCAL::DADOS_TRANSPORTADORA& transportadora, std::string& erro);
int le_produto_auditoria(PassthroughTable& tabela, std::int32_t codigo, std::string_view uf_cliente,
                         AUDITOR_FISCAL::DADOS_ITEM& item, std::string& erro);

}  // namespace fvn
