// The demo shop's sale operation (code 5) as the closing tests sell under it.
#pragma once

#include "records/party_groups.h"

namespace fvn::testing_support {

inline sale::GRUPO_OPERACAO operacao_venda_demo() {
  sale::GRUPO_OPERACAO op;
  op.CODIGO = 5;
  op.DESCRICAO = "VENDA DE MERCADORIA";
  op.TIPO = 1;
  op.TIPO_MOVIMENTO = 2;
  // An NFC-e takes its CFOP from the in-state columns whatever the customer's state.
  op.CFOP_IND_DENTRO = op.CFOP_ADQUIRIDO_DENTRO = "5.102";
  op.CFOP_IND_FORA = op.CFOP_ADQUIRIDO_FORA = "6.102";
  op.CFOP_IND_ST_DENTRO = op.CFOP_ADQUIRIDO_ST_DENTRO = "5.405";
  op.CFOP_IND_ST_FORA = op.CFOP_ADQUIRIDO_ST_FORA = "6.404";
  op.CFOP_SERVICO_DENTRO = "5.933";
  op.CFOP_SERVICO_FORA = "6.933";
  return op;
}

}  // namespace fvn::testing_support
