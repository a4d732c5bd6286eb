// The desktop's sale dialogs: each JanelasVenda dialog opened modally over
// its presenter (the payment dialogs of payment_views.h, the supervisor's
// authorisation, the consumer registration, the options menu, the
// commissions and the rejected-invoice reload), every message through the
// Qt HostUi.
#pragma once

#include <string>

#include "data/module_values.h"
#include "nfce/validador_fiscal.h"
#include "screens/autorizacao.h"
#include "screens/janelas_venda.h"

class QWidget;

namespace fvn::desktop {

class QtHostUi;

class QtJanelasVenda final : public JanelasVenda {
 public:
  // `parent` is the sale window; `valores` and `validador` outlive this.
  QtJanelasVenda(QWidget* parent, QtHostUi& ui, std::string connection, const ModuleValues& valores, SessaoAtual sessao,
                 VALIDADOR_FISCAL& validador);

  int CONDICAO_PAGTO(sale::VENDA_INTERFACE& venda, std::int32_t tabela_preco) override;
  int PRESTACAO_VENDA(sale::VENDA_INTERFACE& venda) override;
  int FORMA_PAGTO_VENDA(sale::VENDA_INTERFACE& venda) override;
  int TELA_TROCO(double a_pagar, double& pago) override;
  int CPF_CNPJ_OPCIONAL(IdentificacaoConsumidor& consumidor) override;
  int DETALHE_PRODUTO(sale::QUEUE_ITEM& item) override;
  int AUTENTICACAO(Direito direito, std::string_view texto, std::string_view motivo, UserAccount& supervisor,
                   sale::GRUPO_DADOS_LIBERACAO& liberacao) override;
  std::int32_t CADASTRO_CONSUMIDOR_SIMPLIFICADO() override;
  int OPCOES_NOTA(sale::CLASSE_VENDA& venda, ComissoesVenda& comissoes, std::int32_t& opcao) override;
  int COMISSOES(ComissoesVenda& comissoes) override;
  int CONSULTA_VENDAS_FUTURAS(fvn::CONSULTA_VENDAS_FUTURAS& consulta, ItensEntrega& itens) override;

 private:
  // The window a dialog opens over: the active modal dialog (a dialog
  // opened from another), else the sale window.
  [[nodiscard]] QWidget* sobre() const;
  QWidget* parent_;
  QtHostUi& ui_;
  std::string connection_;
  const ModuleValues& valores_;
  SessaoAtual sessao_;
  VALIDADOR_FISCAL& validador_;
};

}  // namespace fvn::desktop
