#include "support/demo_sale.h"

#include <utility>

#include "data/passthrough_table.h"
#include "runtime/clock.h"

namespace fvn::testing {

::testing::AssertionResult carrega_valores_demo(const std::string& db, ModuleValues& valores) {
  PassthroughTable t("VALORES", db);
  std::string erro;
  if (load_module_values(t, 1, 1, valores, erro) != 1) return ::testing::AssertionFailure() << erro;
  return ::testing::AssertionSuccess();
}

VendaDemo::VendaDemo(HostUi& ui, const std::string& db, const ModuleValues& valores_demo)
    : valores(valores_demo),
      desconto(ui, janelas, valores, venda),
      partes(ui, janelas, db, valores, venda, desconto),
      entrada(ui, janelas, db, valores, venda) {}

::testing::AssertionResult VendaDemo::padroes() {
  // A braced list runs its calls in order.
  const std::pair<const char*, int> passos[] = {
      {"data de emissão", venda.Set_Data_Emissao(today())},
      {"finalidade", venda.Set_Finalidade_Operacao(1)},
      {"empresa", partes.empresa()},
      {"bancos", partes.bancos()},
      {"emissor", partes.emissor(valores.I_PAR_EMISSOR_PADRAO_NFCE)},
      {"condições", partes.condicoes_pagamento()},
      {"operação", partes.operacao(valores.NAT_PADRAO)},
      {"favorecidos", partes.favorecidos()},
      {"cliente", partes.cliente(valores.CLI_PADRA)},
      {"itens", (entrada.nova_venda(), 1)},
      {"vendedor", partes.vendedor(valores.VEN_PADRA)},
  };
  for (const auto& [passo, resultado] : passos) {
    if (resultado != 1) return ::testing::AssertionFailure() << "padrão da venda recusado: " << passo;
  }
  return ::testing::AssertionSuccess();
}

std::unique_ptr<NotaPadraoNfcePresenter> abre_tela_demo(HostUi& ui, JanelasVenda& janelas, const ModuleValues& valores,
                                                        sale::CLASSE_VENDA& venda, NFCE_PROCESSO& processo,
                                                        const std::string& url, std::vector<std::int32_t>* impressos) {
  EstacaoVenda estacao{contexto_estacao(valores, url), 1};
  if (impressos != nullptr) {
    estacao.contexto.imprime_danfe = [impressos](std::int32_t sale, std::int32_t) {
      impressos->push_back(sale);
      return 1;
    };
  }
  auto tela = std::make_unique<NotaPadraoNfcePresenter>(ui, janelas, valores, venda, processo, estacao);
  tela->abre();
  return tela;
}

}  // namespace fvn::testing
