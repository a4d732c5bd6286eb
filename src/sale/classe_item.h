// CLASSE_ITEM: the sale object. It keeps the list of sold items, the
// sale-level discount, surcharge, interest, freight, insurance and accessory
// expenses and the party groups the tax calculator needs; it validates and
// adds items, cancels them, spreads the sale-level values over the live
// items, asks the calculator for each item's taxes and adds everything up.
// Windows never call it directly; they go through the facade (CLASSE_VENDA).
//
// Every operation returns 1, or 0 with the error triple set (ERROR_CODE 0).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "records/party_groups.h"
#include "records/queue_item.h"
#include "records/totais_venda.h"
#include "runtime/error_triple.h"
#include "runtime/ordered_list.h"
#include "sale/sale_formatter.h"
#include "tax/calculo_impostos.h"

namespace fvn::sale {

class CLASSE_ITEM : public ErrorTriple {
 public:
  // Creates the formatter, the tax calculator and the empty item list, and
  // prepares the private IBPT copy (a failure is left in the error triple).
  CLASSE_ITEM();
  // Removes the private IBPT copy.
  ~CLASSE_ITEM();
  CLASSE_ITEM(const CLASSE_ITEM&) = delete;
  CLASSE_ITEM& operator=(const CLASSE_ITEM&) = delete;

  std::unique_ptr<SaleFormatter> CLASSE_FORMATA;
  std::unique_ptr<tax::CALCULO_IMPOSTOS> IMPOSTO;
  OrderedList<QUEUE_ITEM> ITENS;
  GRUPO_VENDEDOR VENDEDOR;
  GRUPO_EMISSOR EMISSOR;
  GRUPO_OPERACAO OPERACAO;
  GRUPO_EMPRESA EMPRESA;
  GRUPO_CLIENTE CLIENTE;
  double DESCONTO_VENDA = 0;
  double ACRESCIMO_VENDA = 0;
  double JUROS_VENDA = 0;
  double FRETE_VENDA = 0;
  double SEGURO_VENDA = 0;
  double DESP_ACESSORIAS = 0;
  std::int32_t FINALIDADE_OPERACAO = 0;
  std::int32_t COR_1 = 0;          // background of odd item rows
  std::int32_t COR_2 = 0;          // background of even item rows
  std::int32_t COR_CANCELADO = 0;  // colour of a cancelled row
  double VALOR_IMPOSTOS = 0;       // set by Calcula_Total_Venda
  double PERCENTUAL_IMPOSTOS = 0;  // VALOR_IMPOSTOS as a percentage of the net total

  // Items.
  int Vende_Item(QUEUE_ITEM& item);
  int Cancela_Item(std::int32_t numero);
  // Number of live items; 0 with the error set on a read failure.
  std::int32_t Calcula_Qtde_Itens_Vendidos();
  int Get_Item_Venda(std::int32_t numero, QUEUE_ITEM& item);
  // Number of records, live and cancelled.
  [[nodiscard]] std::int32_t Get_Quantidade_Itens() const;
  // Sum of QUANTIDADE of the live items of one product.
  [[nodiscard]] double Get_Quantidade_Produto(std::int32_t id_produto) const;
  int Limpa_Itens();
  void Set_Cores(std::int32_t cor_1, std::int32_t cor_2, std::int32_t cor_cancelado);

  // Totals, apportioning and taxes.
  int Calcula_Total_Venda(TOTAIS_VENDA& totais);
  int Rateia_Valores_Venda();
  int Calcula_Imposto_Item();
  int Valida_Total_Item();
  int Valida_Dados_Geral();

  // Sale-level values: negative (or not a number) values are refused;
  // otherwise stored and re-apportioned.
  int Set_Desconto_Venda(double valor);
  int Set_Acrescimo_Venda(double valor);
  int Set_Juros_Venda(double valor);
  int Set_Frete_Venda(double valor);
  int Set_Seguro_Venda(double valor);
  int Set_Desp_Acessorias_Venda(double valor);
  [[nodiscard]] double Get_Desconto_Venda() const { return DESCONTO_VENDA; }
  [[nodiscard]] double Get_Acrescimo_Venda() const { return ACRESCIMO_VENDA; }
  [[nodiscard]] double Get_Juros_Venda() const { return JUROS_VENDA; }
  [[nodiscard]] double Get_Frete_Venda() const { return FRETE_VENDA; }
  [[nodiscard]] double Get_Seguro_Venda() const { return SEGURO_VENDA; }
  [[nodiscard]] double Get_Desp_Acessorias_Venda() const { return DESP_ACESSORIAS; }

  // Parties: the tax-relevant ones pass through the calculator and (except
  // the emitter) recompute every item's taxes.
  int Set_Dados_Cliente(const GRUPO_CLIENTE& cliente);
  int Set_Dados_Empresa(const GRUPO_EMPRESA& empresa);
  int Set_Dados_Operacao(const GRUPO_OPERACAO& operacao);
  int Set_Dados_Emissor(const GRUPO_EMISSOR& emissor);
  int Set_Finalidade_Operacao(std::int32_t finalidade);
  int Set_Dados_Vendedor(const GRUPO_VENDEDOR& vendedor);

  // Release records of one item (who authorised its discount or its
  // cancellation), stored in the item record with the item's context
  // appended to OUTROS_DADOS.
  int Seta_Dados_Liberacao_Desconto(const GRUPO_DADOS_LIBERACAO& liberacao, std::int32_t item);
  int Seta_Dados_Liberacao_Cancelamento(const GRUPO_DADOS_LIBERACAO& liberacao, std::int32_t item);

  // The emitter prints on a fiscal printer (emitter type 1).
  [[nodiscard]] bool emissor_ecf() const { return EMISSOR.TIPO == 1; }

 private:
  int set_valor_venda(double& campo, double valor, std::string_view mensagem, std::string_view funcao);
  int calcula_bruto(QUEUE_ITEM& item);
  int impostos_aproximados(QUEUE_ITEM& item);
  int abre_tabela_ibpt();

  QUEUE_ITEM buffer_;           // the list buffer Vende_Item fills
  TOTAIS_VENDA totais_rateio_;  // private totals of the apportioning
};

}  // namespace fvn::sale
