// QUEUE_ITEM: one sold item, as the item list of the sale holds it. Position
// in the list = item number. Cancelled items stay in the list, marked.
//
// Invariant kept by the sale object for every live item:
//   TOTAL_LIQUIDO_VENDA = SUBTOTAL_ITEM - DESCONTO_VENDA + ACRESCIMO_VENDA
//                         + JUROS_VENDA + DESP_ACESSORIAS_VENDA + FRETE_VENDA + SEGURO_VENDA
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "records/item_tax_groups.h"
#include "records/release_record.h"
#include "runtime/decimal.h"

namespace fvn::sale {

// Display colours of one field of the item list: foreground, background,
// selected foreground, selected background; -1 is the default colour.
struct CORES_CAMPO {
  std::int32_t COR_1 = 0;
  std::int32_t COR_2 = 0;
  std::int32_t COR_3 = 0;
  std::int32_t COR_4 = 0;

  friend bool operator==(const CORES_CAMPO&, const CORES_CAMPO&) = default;
};

// The fields of the first block of the record, each shown as a column of the
// item list with its own colours.
inline constexpr std::array<std::string_view, 14> kCamposExibidos = {
    "NUMERO",        "CODIGO",         "DESCRICAO",       "UNITARIO",           "QUANTIDADE",
    "UNIDADE",       "DESCONTO",       "ACRESCIMO",       "CANCELADO",          "TOTAL_BRUTO",
    "SUBTOTAL_ITEM", "DESCONTO_VENDA", "ACRESCIMO_VENDA", "TOTAL_LIQUIDO_VENDA"};

struct QUEUE_ITEM {
  std::int32_t NUMERO = 0;
  std::string CODIGO;  // product code as typed (numeric text)
  std::string DESCRICAO;
  double UNITARIO = 0;
  double QUANTIDADE = 0;
  std::string UNIDADE;
  double DESCONTO = 0;   // item discount (amount)
  double ACRESCIMO = 0;  // item surcharge (amount)
  std::int32_t CANCELADO = 0;
  double TOTAL_BRUTO = 0;
  double SUBTOTAL_ITEM = 0;
  double DESCONTO_VENDA = 0;   // share of the sale-level discount
  double ACRESCIMO_VENDA = 0;  // share of the sale-level surcharge
  double TOTAL_LIQUIDO_VENDA = 0;
  std::string DESCRICAO_TRIBUTACAO;
  double JUROS_VENDA = 0;         // share of the sale-level interest
  std::int32_t TIPO_PRODUTO = 0;  // 1 and 3 goods, 2 service
  std::int32_t ID_PRODUTO = 0;
  std::int32_t BALANCA = 0;
  std::string CFOP1;
  std::string BRANCO;
  std::string IAT;
  std::string IPPT;
  std::int32_t ID_VENDEDOR = 0;
  GRUPO_ICMS ICMS;
  GRUPO_ICMS_SIMPLES ICMS_SIMPLES;
  GRUPO_ISSQN ISSQN;
  GRUPO_PIS PIS;
  GRUPO_COFINS COFINS;
  GRUPO_IPI IPI;
  GRUPO_II II;
  GRUPO_INSS INSS;
  GRUPO_CSLL CSLL;
  GRUPO_IR IR;
  GRUPO_DADOS_LIBERACAO DADOS_LIBERACAO_DESCONTO;
  GRUPO_DADOS_LIBERACAO DADOS_LIBERACAO_CANCELAMENTO;
  double FRETE_VENDA = 0;            // share of the sale-level freight
  double SEGURO_VENDA = 0;           // share of the sale-level insurance
  double DESP_ACESSORIAS_VENDA = 0;  // share of the sale-level expenses
  GRUPO_MVA MVA;
  Dec2 TOTAL_APROX_IMPOSTOS;
  std::string NCM;
  std::string CHAVE_FCI;
  std::int32_t ID_HISTORICO = 0;
  std::string X_PED;
  std::int32_t N_ITEM_PED = 0;
  std::string CEST;
  Dec2 ALIQUOTA_II;
  std::int32_t FOTOGRAFO = 0;
  std::string CFOP;
  std::string ESCALA_RELEVANTE;
  std::string CNPJ_FABRICANTE;
  std::string COD_BENEFICIO_FISCAL;
  std::string DESCRICAO_ANP;
  Dec4 PERC_GLP;
  Dec4 PERC_GAS_NATURAL;
  Dec4 PERC_GAS_IMPORTADO;
  Dec2 VALOR_PARTIDA;
  Dec4 PERC_FUNDO_POBREZA;
  Dec4 PERC_IPI_DEVOLUCAO;
  Dec4 VALOR_IPI_DEVOLUCAO;
  GRUPO_FCP_ST FCP_ST;
  // Colours of the first-block fields, in the order of kCamposExibidos.
  std::array<CORES_CAMPO, kCamposExibidos.size()> CORES{};

  template <typename Self, typename Visit>
  static void fields(Self& s, Visit&& v) {
    v("NUMERO", s.NUMERO);
    v("CODIGO", s.CODIGO, 15);
    v("DESCRICAO", s.DESCRICAO, 301);
    v("UNITARIO", s.UNITARIO);
    v("QUANTIDADE", s.QUANTIDADE);
    v("UNIDADE", s.UNIDADE, 4);
    v("DESCONTO", s.DESCONTO);
    v("ACRESCIMO", s.ACRESCIMO);
    v("CANCELADO", s.CANCELADO);
    v("TOTAL_BRUTO", s.TOTAL_BRUTO);
    v("SUBTOTAL_ITEM", s.SUBTOTAL_ITEM);
    v("DESCONTO_VENDA", s.DESCONTO_VENDA);
    v("ACRESCIMO_VENDA", s.ACRESCIMO_VENDA);
    v("TOTAL_LIQUIDO_VENDA", s.TOTAL_LIQUIDO_VENDA);
    v("DESCRICAO_TRIBUTACAO", s.DESCRICAO_TRIBUTACAO, 10);
    v("JUROS_VENDA", s.JUROS_VENDA);
    v("TIPO_PRODUTO", s.TIPO_PRODUTO);
    v("ID_PRODUTO", s.ID_PRODUTO);
    v("BALANCA", s.BALANCA);
    v("CFOP1", s.CFOP1, 6);
    v("BRANCO", s.BRANCO, 2);
    v("IAT", s.IAT, 2);
    v("IPPT", s.IPPT, 2);
    v("ID_VENDEDOR", s.ID_VENDEDOR);
    v("ICMS", s.ICMS);
    v("ICMS_SIMPLES", s.ICMS_SIMPLES);
    v("ISSQN", s.ISSQN);
    v("PIS", s.PIS);
    v("COFINS", s.COFINS);
    v("IPI", s.IPI);
    v("II", s.II);
    v("INSS", s.INSS);
    v("CSLL", s.CSLL);
    v("IR", s.IR);
    v("DADOS_LIBERACAO_DESCONTO", s.DADOS_LIBERACAO_DESCONTO);
    v("DADOS_LIBERACAO_CANCELAMENTO", s.DADOS_LIBERACAO_CANCELAMENTO);
    v("FRETE_VENDA", s.FRETE_VENDA);
    v("SEGURO_VENDA", s.SEGURO_VENDA);
    v("DESP_ACESSORIAS_VENDA", s.DESP_ACESSORIAS_VENDA);
    v("MVA", s.MVA);
    v("TOTAL_APROX_IMPOSTOS", s.TOTAL_APROX_IMPOSTOS);
    v("NCM", s.NCM, 35);
    v("CHAVE_FCI", s.CHAVE_FCI, 37);
    v("ID_HISTORICO", s.ID_HISTORICO);
    v("X_PED", s.X_PED, 16);
    v("N_ITEM_PED", s.N_ITEM_PED);
    v("CEST", s.CEST, 13);
    v("ALIQUOTA_II", s.ALIQUOTA_II);
    v("FOTOGRAFO", s.FOTOGRAFO);
    v("CFOP", s.CFOP, 6);
    v("ESCALA_RELEVANTE", s.ESCALA_RELEVANTE, 2);
    v("CNPJ_FABRICANTE", s.CNPJ_FABRICANTE, 15);
    v("COD_BENEFICIO_FISCAL", s.COD_BENEFICIO_FISCAL, 11);
    v("DESCRICAO_ANP", s.DESCRICAO_ANP, 96);
    v("PERC_GLP", s.PERC_GLP);
    v("PERC_GAS_NATURAL", s.PERC_GAS_NATURAL);
    v("PERC_GAS_IMPORTADO", s.PERC_GAS_IMPORTADO);
    v("VALOR_PARTIDA", s.VALOR_PARTIDA);
    v("PERC_FUNDO_POBREZA", s.PERC_FUNDO_POBREZA);
    v("PERC_IPI_DEVOLUCAO", s.PERC_IPI_DEVOLUCAO);
    v("VALOR_IPI_DEVOLUCAO", s.VALOR_IPI_DEVOLUCAO);
    v("FCP_ST", s.FCP_ST);
    v("CORES", s.CORES);
  }
};

}  // namespace fvn::sale
