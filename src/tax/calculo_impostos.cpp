#include "tax/calculo_impostos.h"

namespace fvn::tax {

int CALCULO_IMPOSTOS::Set_Dados_Emissor(const sale::GRUPO_EMISSOR& emissor) {
  EMISSOR = emissor;
  return 1;
}

int CALCULO_IMPOSTOS::Set_Dados_Operacao(const sale::GRUPO_OPERACAO& operacao) {
  OPERACAO = operacao;
  return 1;
}

int CALCULO_IMPOSTOS::Set_Dados_Empresa(const sale::GRUPO_EMPRESA& empresa) {
  EMPRESA = empresa;
  return 1;
}

int CALCULO_IMPOSTOS::Set_Dados_Cliente(const sale::GRUPO_CLIENTE& cliente) {
  CLIENTE = cliente;
  return 1;
}

int CALCULO_IMPOSTOS::Set_Finalidade_Operacao(std::int32_t finalidade) {
  FINALIDADE_OPERACAO = finalidade;
  return 1;
}

int CALCULO_IMPOSTOS::Valida_Dados_Geral() { return 1; }

int CALCULO_IMPOSTOS::Calcula_Item(sale::QUEUE_ITEM& /*item*/) { return 1; }

int CALCULO_IMPOSTOS::II(sale::QUEUE_ITEM& /*item*/) { return 1; }

int CALCULO_IMPOSTOS::INSS(sale::GRUPO_INSS& /*inss*/, double /*valor*/) { return 1; }

int CALCULO_IMPOSTOS::IR(sale::GRUPO_IR& /*ir*/, double /*valor*/) { return 1; }

int CALCULO_IMPOSTOS::CSLL(sale::GRUPO_CSLL& /*csll*/, double /*valor*/) { return 1; }

}  // namespace fvn::tax
