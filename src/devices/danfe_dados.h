// What the consumer receipt (DANFE NFC-e) shows, read from the shop
// database by sale id: the emitter (tempresa), the note and its
// authorisation (asaidas, tseriesnf), the consumer typed on the sale, the
// items (ahistorico with the product's unit), the payments and the change
// (ahcontas credit rows; the "Troco NF: ..." debit row; installments of a
// credit sale as one "Crédito Loja" line) and the consultation address of
// the UF.
//
// The consultation address (urlChave) comes from the authorised XML stored
// in xmlnfe (infNFeSupl/urlChave); a note without it (contingency, an XML
// stored before the supplement existed) takes the address of the emitter's
// UF for the company's environment from the table in danfe_dados.cpp.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/clock.h"

namespace fvn {

struct DanfeItem {
  std::string codigo;
  std::string descricao;
  std::string unidade;
  double quantidade = 0;
  double valor_unitario = 0;
  double valor_total = 0;
};

struct DanfePagamento {
  std::string forma;  // "Dinheiro", "Cartão de Crédito", ...
  double valor = 0;
};

struct DanfeNfce {
  std::int32_t ide = 0;

  // Emitter.
  std::string razao_social;
  std::string cnpj;  // digits
  std::string inscricao_estadual;
  std::string endereco;  // street and number
  std::string bairro;
  std::string cidade;
  std::string uf;
  std::int32_t cep = 0;
  std::int32_t ambiente = 2;  // 1 production, 2 homologation
  std::string pasta_nfce;     // the company's NFC-e folder, ending in "/" (or empty)

  // Note.
  std::int32_t numero = 0;
  std::int32_t serie = 0;
  Date data_emissao = 0;
  Time hora_emissao = 0;
  std::string chave;
  std::string protocolo;
  Date data_autorizacao = 0;
  Time hora_autorizacao = 0;
  bool contingencia = false;  // issued in contingency, or no protocol yet
  std::string url_qrcode;
  std::string url_consulta;

  // Consumer as typed on the sale.
  std::string consumidor_nome;
  std::string consumidor_cpf;   // digits
  std::string consumidor_cnpj;  // digits
  std::string consumidor_endereco;

  // Totals.
  double valor_produtos = 0;
  double desconto = 0;
  double acrescimo = 0;
  double frete = 0;
  double seguro = 0;
  double outras_despesas = 0;
  double valor_pagar = 0;
  double tributos = 0;
  double troco = 0;

  std::vector<DanfeItem> itens;
  std::vector<DanfePagamento> pagamentos;

  [[nodiscard]] bool homologacao() const { return ambiente != 1; }
  [[nodiscard]] bool consumidor_identificado() const { return !consumidor_cpf.empty() || !consumidor_cnpj.empty(); }
  // Where the NFC-e processor draws the sale's QR-code image.
  [[nodiscard]] std::string arquivo_qrcode() const;
};

// Reads sale `ide` through passthrough tables owned by `connection`.
// 1 on success; 0 with `erro` set ("Venda 12 não encontrada." or the
// database's message).
int le_danfe(const std::string& connection, std::int32_t ide, DanfeNfce& danfe, std::string& erro);

// The consultation address of a UF ("MG") for an environment (1
// production, 2 homologation), with its scheme; empty for an unknown UF.
std::string endereco_consulta_uf(std::string_view uf, std::int32_t ambiente);

// urlChave of an NFC-e XML (any element of that name, with or without a
// namespace prefix); empty when the text is no XML or has none.
std::string url_chave_do_xml(std::string_view xml);

}  // namespace fvn
