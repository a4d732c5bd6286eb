// CALCULO_IMPOSTOS: the tax calculator the sale object owns. It holds the
// tax-relevant parties of the sale and computes each item's taxes into the
// item record.
//
// This is the calculator's interface as the sale object uses it. The tax
// rules themselves (ICMS by CST and CSOSN, ST, FCP-ST, IPI, PIS, COFINS,
// ISSQN, import tax, withholdings, the party checks) are not built yet:
// until they are, every party is accepted as given and every computation
// leaves the records as they are and succeeds.
#pragma once

#include <cstdint>

#include "runtime/error_triple.h"
#include "sale/item_tax_groups.h"
#include "sale/party_groups.h"
#include "sale/queue_item.h"

namespace fvn::tax {

class CALCULO_IMPOSTOS : public ErrorTriple {
 public:
  sale::GRUPO_EMISSOR EMISSOR;
  sale::GRUPO_OPERACAO OPERACAO;
  sale::GRUPO_EMPRESA EMPRESA;
  sale::GRUPO_CLIENTE CLIENTE;
  std::int32_t FINALIDADE_OPERACAO = 0;  // 1 consumption, 2 resale, 3 other

  // Parties: validate and copy the whole group; 1/0.
  int Set_Dados_Emissor(const sale::GRUPO_EMISSOR& emissor);
  int Set_Dados_Operacao(const sale::GRUPO_OPERACAO& operacao);
  int Set_Dados_Empresa(const sale::GRUPO_EMPRESA& empresa);
  int Set_Dados_Cliente(const sale::GRUPO_CLIENTE& cliente);
  int Set_Finalidade_Operacao(std::int32_t finalidade);

  // Checks that the parties held are complete enough to tax an item; 1/0.
  int Valida_Dados_Geral();

  // Computes every tax of one item in place; 1/0.
  int Calcula_Item(sale::QUEUE_ITEM& item);

  // Import tax of one item (import operations); 1/0.
  int II(sale::QUEUE_ITEM& item);

  // Withholdings on `valor` (the sale's net total) into the totals' groups; 1/0.
  int INSS(sale::GRUPO_INSS& inss, double valor);
  int IR(sale::GRUPO_IR& ir, double valor);
  int CSLL(sale::GRUPO_CSLL& csll, double valor);
};

}  // namespace fvn::tax
