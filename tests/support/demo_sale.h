// The demo shop's sale as the screen tests set it up: the module values of
// company 1 at station 1, dialogs that open nothing, the screen's parts over
// one facade with the new-sale reset's defaults, and the sale screen opened
// for a service address. Used by the screens' and the desktop's tests.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "data/module_values.h"
#include "runtime/host_ui.h"
#include "sale/classe_venda.h"
#include "screens/desconto_venda.h"
#include "screens/entrada_item.h"
#include "screens/janelas_venda.h"
#include "screens/nota_padrao_nfce.h"
#include "screens/partes_venda.h"

namespace fvn::testing {

// The GLO values of the demo shop's company 1, station 1, read from `db`.
::testing::AssertionResult carrega_valores_demo(const std::string& db, ModuleValues& valores);

// Dialogs answered without a cashier: every one gives its fixed answer.
class JanelasFixas final : public JanelasVenda {
 public:
  int prestacao = 0;  // PRESTACAO_VENDA
  int detalhe = 1;    // DETALHE_PRODUTO

  int CONDICAO_PAGTO(sale::VENDA_INTERFACE&, std::int32_t) override { return 0; }
  int PRESTACAO_VENDA(sale::VENDA_INTERFACE&) override { return prestacao; }
  int FORMA_PAGTO_VENDA(sale::VENDA_INTERFACE&) override { return 0; }
  int TELA_TROCO(double, double&) override { return 0; }
  int CPF_CNPJ_OPCIONAL(IdentificacaoConsumidor&) override { return 0; }
  int DETALHE_PRODUTO(sale::QUEUE_ITEM&) override { return detalhe; }
  int AUTENTICACAO(Direito, std::string_view, std::string_view, UserAccount&, sale::GRUPO_DADOS_LIBERACAO&) override {
    return 0;
  }
  std::int32_t CADASTRO_CONSUMIDOR_SIMPLIFICADO() override { return 0; }
};

// One cashier's sale without the screen: the facade, the discount, the
// parties and the item entry over it.
struct VendaDemo {
  VendaDemo(HostUi& ui, const std::string& db, const ModuleValues& valores);
  // The new-sale reset's defaults, in the screen's order: issue date,
  // purpose, company, banks, emitter, conditions, operation, payees,
  // customer, the item entry's reset and the seller.
  ::testing::AssertionResult padroes();

  const ModuleValues& valores;
  JanelasFixas janelas;
  sale::CLASSE_VENDA venda;
  DescontoVenda desconto;
  PartesVenda partes;
  EntradaItem entrada;
};

// The sale screen of station 1 opened (its new-sale reset) on `venda`, the
// service at `url`. With `impressos`, a receipt is not drawn: its sale is
// added there.
std::unique_ptr<NotaPadraoNfcePresenter> abre_tela_demo(HostUi& ui, JanelasVenda& janelas, const ModuleValues& valores,
                                                        sale::CLASSE_VENDA& venda, NFCE_PROCESSO& processo,
                                                        const std::string& url,
                                                        std::vector<std::int32_t>* impressos = nullptr);

}  // namespace fvn::testing
