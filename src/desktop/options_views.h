// The sale screen's options menu and the commissions form over their
// presenters (screens/opcoes_nota.h), and the rejected-invoice reload's
// windows (screens/consulta_vendas_futuras.h). Keyboard only: each button
// answers its function key, Esc is the window's F12.
#pragma once

#include <QDialog>
#include <array>
#include <functional>

#include "screens/consulta_vendas_futuras.h"
#include "screens/opcoes_nota.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace fvn::desktop {

// OPCOES_NOTA: the eight buttons, enabled as the presenter says; a button
// the presenter closes on closes the window, any other leaves the focus
// where the presenter asks.
class OpcoesNotaView final : public QDialog {
 public:
  explicit OpcoesNotaView(OPCOES_NOTA& presenter, QWidget* parent = nullptr);
  void reject() override;

 private:
  void pressiona(OPCOES_NOTA::Botao botao);
  OPCOES_NOTA& presenter_;
  std::array<QPushButton*, std::size(OPCOES_NOTA::kBotoes)> botoes_{};
};

// COMISSOES: ten fields "comissao_1" to "comissao_10"; a field takes its
// value when it loses the focus or on Enter (which moves to the next);
// a refused value shows the one the sale keeps.
class ComissoesView final : public QDialog {
 public:
  explicit ComissoesView(COMISSOES& presenter, QWidget* parent = nullptr);
  void reject() override;

 private:
  void aplica(int n);
  void aplica_todos();
  COMISSOES& presenter_;
  std::array<QLineEdit*, COMISSOES::kCampos> campos_{};
};

class LinhasModel;

// CONSULTA_VENDAS_FUTURAS: the filters "Emissão de:", "até:", "Cliente:",
// "Emissor:" (Enter applies them and moves on; a refused filter keeps the
// list), the list, "F2-Selecionar" (also Enter on the list), "F12-Cancelar".
class ConsultaVendasFuturasView final : public QDialog {
 public:
  explicit ConsultaVendasFuturasView(CONSULTA_VENDAS_FUTURAS& presenter, QWidget* parent = nullptr);

 private:
  void filtra();
  void seleciona();
  void recarrega();
  CONSULTA_VENDAS_FUTURAS& presenter_;
  QLineEdit* de_;
  QLineEdit* ate_;
  QLineEdit* cliente_;
  QLineEdit* emissor_;
  LinhasModel* modelo_;
  QTableView* lista_;
};

// SELECIONA_ITENS_VENDA_FUTURA: the lines with their marks, the totals,
// F3/F4 (current line), F7/F8 (every line), F9 the quantity of the current
// marked line through `altera` (its item line id), F2-Confirmar, F12-Cancelar.
class SelecionaItensVendaFuturaView final : public QDialog {
 public:
  using AlteraQtde = std::function<int(std::int32_t linha)>;
  SelecionaItensVendaFuturaView(SELECIONA_ITENS_VENDA_FUTURA& presenter, AlteraQtde altera, QWidget* parent = nullptr);

 private:
  void recarrega();
  SELECIONA_ITENS_VENDA_FUTURA& presenter_;
  AlteraQtde altera_;
  LinhasModel* modelo_;
  QTableView* lista_;
  QLabel* total_itens_;
  QLabel* valor_total_;
};

// ALTERA_QTDE_ITEM: "Código:", "Descrição:", "Qtde. Nota:" read-only,
// "Qtde. Entrega:", "F5-Salvar" and "F12-Cancelar".
class AlteraQtdeItemView final : public QDialog {
 public:
  explicit AlteraQtdeItemView(ALTERA_QTDE_ITEM& presenter, QWidget* parent = nullptr);

 private:
  // The typed quantity through the presenter; false when refused.
  bool aceita();
  ALTERA_QTDE_ITEM& presenter_;
  QLineEdit* entrega_;
};

// Shows the menu; 1 once it closed (the presenter holds the option code).
int opcoes_nota_dialog(OPCOES_NOTA& presenter, QWidget* parent = nullptr);
// Shows the form; 1 once it closed (the values stay as edited).
int comissoes_dialog(COMISSOES& presenter, QWidget* parent = nullptr);
// Shows the list (the presenter opened); 1 when a sale was chosen.
int consulta_vendas_futuras_dialog(CONSULTA_VENDAS_FUTURAS& presenter, QWidget* parent = nullptr);
// Opens the presenter and shows the lines; non-zero when lines were confirmed.
int seleciona_itens_venda_futura_dialog(SELECIONA_ITENS_VENDA_FUTURA& presenter,
                                        SelecionaItensVendaFuturaView::AlteraQtde altera, QWidget* parent = nullptr);
// Opens the presenter and shows the quantity; 1 when saved.
int altera_qtde_item_dialog(ALTERA_QTDE_ITEM& presenter, QWidget* parent = nullptr);

}  // namespace fvn::desktop
