// The parties of the sale on the sale screen: company, emitter (series),
// operation nature, customer, seller, carrier with the freight modality and
// volumes, partner and event, and the payment conditions, banks and payees a
// new sale loads. Each is read from the shop database by its code, checked,
// audited where the note needs it (AUDITOR_FISCAL) and handed to the sale
// facade; and the customer's credit and block checks the payment runs
// before its dialogs (ServicosCliente), with the supervisor's release.
//
// Each int operation returns 1 when the party was applied and 0 when it was
// refused after its message (through HostUi): a refusal leaves the party the
// sale had. The customer, the operation and the emitter cannot change once
// the sale holds items (their taxes were computed with them); the seller,
// the carrier and the rest can. A credit check the database cannot answer
// is a block like any other: it must be released, never skipped.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "data/module_values.h"
#include "data/passthrough_table.h"
#include "nfce/auditor_fiscal.h"
#include "runtime/host_ui.h"
#include "sale/classe_venda.h"
#include "screens/desconto_venda.h"
#include "screens/janelas_venda.h"
#include "screens/servicos_cliente.h"

namespace fvn {

class PartesVenda {
 public:
  // The name of the generic customer, whose sale needs no audit, no freight
  // and may take the consumer's CPF or CNPJ.
  static constexpr std::string_view kConsumidor = "CONSUMIDOR";

  PartesVenda(HostUi& ui, JanelasVenda& janelas, std::string connection, const ModuleValues& valores,
              sale::CLASSE_VENDA& venda, DescontoVenda& desconto);
  ~PartesVenda();
  PartesVenda(const PartesVenda&) = delete;
  PartesVenda& operator=(const PartesVenda&) = delete;

  // The module's auditor, which item entry shares (it remembers the
  // company and customer the items are audited against). Without one the
  // parties are audited by an auditor of their own.
  void set_auditor(AUDITOR_FISCAL& auditor) { auditor_ = &auditor; }
  // An order or a reloaded note is loading: no discount is offered.
  void set_carregando(bool carregando) { carregando_ = carregando; }

  // New-sale reset: GLO_COD_EMPR's company from TEmpresa, audited, into the facade.
  int empresa();
  // The series `serie` allowed to the operator; refused when the sale has
  // items. Reloads the payment conditions, and the series' payees once the
  // banks they name are loaded.
  int emissor(std::int32_t serie);
  // The operation nature allowed to the operator; refused when the sale has items.
  int operacao(std::int32_t operacao);
  // Refused when the sale has items. Audited (but the generic consumer, who
  // takes freight modality 9), then the customer's discount offer and
  // partner; a discount the customer before brought goes back to 0.
  int cliente(std::int32_t cliente);
  // The consumer-invoice limit: a sale of the generic consumer above
  // 10,000.00 must name its customer, items or not (Set_Dados_Cliente
  // recomputes every item's taxes). Refused when the sale's customer is not
  // the generic one, or the one chosen is generic too.
  int cliente_acima_limite(std::int32_t cliente);
  int vendedor(std::int32_t vendedor);
  // 0 clears the carrier.
  int transportadora(std::int32_t codigo);
  // The freight modality; the generic consumer's is always 9 ("Sem Frete")
  // with freight 0.
  int tipo_frete(std::int32_t modalidade);
  int volumes(const sale::GRUPO_VOLUME& volume);
  int parceiro(std::int32_t codigo);
  int evento(std::int32_t codigo);
  // Every TFormaPagto row into the facade's conditions (replacing them).
  int condicoes_pagamento();
  // Every TBanco row into the payment ledger's entities.
  int bancos();
  // The payees of the payment forms for the company and the sale's series,
  // into the payment ledger's forms.
  int favorecidos();

  // Before the payment dialogs: the cash-sale (`a_prazo` false) or
  // credit-sale block checks of the customer. Warnings are shown and the
  // sale goes on; blocks need a user who authenticates and holds the right
  // of every block. 0 stops the payment.
  int verifica_credito(bool a_prazo);
  // The customer's credit limit against `total` (GLO_RES_BLO on and a
  // customer set), released the same way.
  int verifica_limite_credito(double total);

  // The customer is the generic "CONSUMIDOR".
  [[nodiscard]] bool consumidor() const;
  [[nodiscard]] std::int32_t codigo_cliente() const { return venda_.CLIENTE.CODIGO; }
  // What the screen shows beside the code fields.
  [[nodiscard]] const std::string& descricao_operacao() const { return descricao_operacao_; }
  [[nodiscard]] const std::string& descricao_emissor() const { return descricao_emissor_; }
  [[nodiscard]] const std::string& nome_cliente() const { return nome_cliente_; }
  [[nodiscard]] const std::string& nome_vendedor() const { return nome_vendedor_; }
  [[nodiscard]] const std::string& nome_transportadora() const { return nome_transportadora_; }
  // The customer may buy on credit (aclientes.i_acl_compra_prazo).
  [[nodiscard]] bool compra_prazo() const { return compra_prazo_; }

 private:
  AUDITOR_FISCAL& auditor();
  // A refusal with its message; always 0.
  int aviso(std::string_view texto, std::string_view titulo = "Aviso do Sistema");
  // A statement's failure: `contexto` + the runtime's and driver's texts.
  int falha_sql(std::string_view contexto);
  // A facade or audit refusal: `contexto` + "Retorno: …|Erro: …|Função: …".
  int falha_triplo(std::string_view contexto, const ErrorTriple& origem, std::string_view titulo = "Erro!");
  // Runs `sql` and reads its first row into the bound fields: 1 read, 0 no
  // row, -1 the statement failed (shown with `contexto`).
  int le(const std::string& sql, std::string_view contexto);
  // Runs `sql` and calls `adiciona` with each row in the bound fields; a
  // row it refuses (after its message) makes the result 0, the other rows
  // are loaded all the same.
  int carrega(const std::string& sql, std::string_view falha, const std::function<int()>& adiciona);
  // Reads partner `codigo` and hands it to the facade.
  int aplica_parceiro(std::int32_t codigo, std::string_view falha, std::string_view vazio);
  [[nodiscard]] bool tem_itens() const;
  // Reads, checks, audits and applies customer `cliente`, then offers its
  // discount and partner.
  int aplica_cliente(std::int32_t cliente);
  int oferece_desconto(double percentual);
  int parceiro_do_cliente(std::int32_t codigo);
  // Shows the kind-1 blocks and asks AUTENTICACAO; 1 when a user with every
  // block's right authenticated, the release recorded with the sale.
  int libera(const std::vector<Bloqueio>& bloqueios, std::string_view tipo);

  HostUi& ui_;
  JanelasVenda& janelas_;
  PassthroughTable table_;
  const ModuleValues& valores_;
  sale::CLASSE_VENDA& venda_;
  DescontoVenda& desconto_;
  ServicosCliente servicos_;
  std::unique_ptr<AUDITOR_FISCAL> auditor_proprio_;
  AUDITOR_FISCAL* auditor_ = nullptr;
  bool carregando_ = false;
  bool compra_prazo_ = false;
  std::string descricao_operacao_;
  std::string descricao_emissor_;
  std::string nome_cliente_;
  std::string nome_vendedor_;
  std::string nome_transportadora_;
};

}  // namespace fvn
