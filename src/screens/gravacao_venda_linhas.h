// The rows GRAVACAO_VENDA writes, built from the sale copied out of the
// facade: one ahistorico line per live item (money rounded to the cent, as
// the invoice shows it), the header totals summed from those same lines, the
// recipient columns and the release records.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "sale/classe_venda.h"

namespace fvn {

class PassthroughTable;
struct CONTEXTO_VENDA;

// Column name and its SQL text, ready to paste (quoted, NULL, a number).
using Colunas = std::vector<std::pair<std::string, std::string>>;

// A whole number read back from the database; none for NULL or other text.
std::optional<std::int32_t> como_inteiro(std::string_view texto);

// Codes as the messages and the note's text list them: "1, 2" with ", ".
std::string lista(const std::vector<std::int32_t>& valores, std::string_view separador);

// "insert into TABLE (columns) values (values)".
std::string insercao(std::string_view tabela, const Colunas& colunas);

// One live item as it is recorded.
struct LinhaItem {
  std::int32_t produto = 0;
  std::string descricao;
  std::string cfop;
  bool servico = false;
  double quantidade = 0;
  double unitario = 0;
  double bruto = 0;      // quantity x unit price (vProd)
  double desconto = 0;   // item discount + share of the sale's (vDesc)
  double acrescimo = 0;  // item surcharge + shares of the sale's surcharge and interest
  double despesas = 0;   // share of the accessory expenses
  double frete = 0;
  double seguro = 0;
  double desconto_item = 0;
  std::string sit_tributaria;  // origin + CSOSN, or origin + "0" + CST
  std::int32_t csosn = 0;
  bool icms_proprio = false;  // the ICMS group carries vBC and vICMS
  bool icms_st = false;       // the ICMS group carries vBCST and vICMSST
  bool st_retido = false;     // CST 60 / CSOSN 500: base and value are the product's retained ST
  double reducao = 0;
  double base_icms = 0;
  double aliquota_icms = 0;
  double icms = 0;
  double mva = 0;
  double base_st = 0;
  double aliquota_st = 0;
  double st = 0;
  std::string cst_ipi;
  double base_ipi = 0;
  double aliquota_ipi = 0;
  double ipi = 0;
  std::string cst_pis;
  double base_pis = 0;
  double aliquota_pis = 0;
  double pis = 0;
  std::string cst_cofins;
  double base_cofins = 0;
  double aliquota_cofins = 0;
  double cofins = 0;
  double aliquota_iss = 0;
  double iss = 0;
  double base_ii = 0;
  double despesas_aduaneiras = 0;
  double ii = 0;
  double aproximados = 0;
  std::string chave_fci;
  std::int32_t vendedor = 0;
  std::string pedido;
  std::int32_t item_pedido = 0;
  std::string cest;
  std::string ncm;
  double base_fcp_st = 0;
  double perc_fcp_st = 0;
  double fcp_st = 0;
  double perc_diferimento = 0;  // CST 51: icms is what remains due, diferido what was deferred
  double icms_diferido = 0;
  double perc_credito_simples = 0;  // CSOSN 101 and 201, in percent
  double credito_simples = 0;
  double custo = 0;  // the product's cost, read while recording
};

// The live items of the sale, in item order. Rates are those of the block
// the tax engine used: the interstate pair when the customer (or its delivery
// address) is in another state than the company.
std::vector<LinhaItem> linhas_itens(const sale::DADOS_NF& dados);

// The note's total computed from the lines as the authority computes it
// (goods and services, less discounts, plus ST, FCP-ST, freight, insurance,
// other charges, IPI and import tax).
double total_das_linhas(const std::vector<LinhaItem>& itens);

// The sale's total (what the customer pays) is summed by the facade from
// unrounded parts; the lines carry each part rounded to the cent, so their
// total may differ from it by a few cents. That difference goes to one line
// (a charge, or a discount when negative), so that the note's total is both
// what was paid and the sum of its items. A difference larger than the
// rounding of the lines' parts is left alone: it is no rounding.
void ajusta_arredondamento(std::vector<LinhaItem>& itens, double total_venda);

// Fills a CST 60 / CSOSN 500 line's retained ST from its product's per-unit
// base and value (both 0 when the product carries none).
void aplica_st_retido(LinhaItem& item, double base_unitaria, double valor_unitario);

// The first line whose PIS or COFINS situation code has no group in the
// invoice, as a message for the cashier; empty when every code has one.
std::string situacao_contribuicao_invalida(const std::vector<LinhaItem>& itens);

// The header totals, summed from the lines.
struct Totais {
  double mercadorias = 0;
  double servicos = 0;
  double desconto = 0;
  double acrescimo = 0;
  double despesas = 0;
  double frete = 0;
  double seguro = 0;
  double base_icms = 0;
  double icms = 0;
  double base_st = 0;
  double st = 0;
  double ipi = 0;
  double pis = 0;
  double cofins = 0;
  double iss = 0;
  double ii = 0;
  double aproximados = 0;
};
Totais soma_itens(const std::vector<LinhaItem>& itens);

// The ahistorico columns of one line of sale `venda`.
Colunas colunas_item(const LinhaItem& item, std::int32_t venda, const CONTEXTO_VENDA& contexto,
                     PassthroughTable& tabela);

// The recipient written into the header. The walk-in consumer is
// identified only by what was typed for it; any other customer by its
// registration (the facade's copy, completed by the aclientes row that
// `tabela` has just read: CEP, number, neighbourhood, address, city, UF,
// telephone, registration, CPF, CNPJ, name).
struct Destinatario {
  std::string nome;
  std::string cpf;
  std::string cnpj;
  std::string endereco;
  std::string bairro;
  std::string cidade;
  std::string uf;
  std::int32_t cep = 0;
  std::string fone;
  std::string ie;
};
Destinatario destinatario_da_venda(const sale::GRUPO_CLIENTE& cliente, const CONTEXTO_VENDA& contexto,
                                   const PassthroughTable& tabela);

// The aliberacao rows: the sale's discount, cancellation and credit-sale
// releases and the item-level discount and cancellation releases, each only
// when it was given (its kind is filled).
std::vector<Colunas> colunas_liberacoes(const sale::DADOS_NF& dados, std::int32_t venda, PassthroughTable& tabela);

}  // namespace fvn
