// The payment dialogs of the sale: each binds widgets to its presenter
// (src/screens) and holds no rules. Every dialog is driven by the keyboard:
// Enter accepts a field and moves on, the F-keys of the captions act, Esc
// does what F12 does. Lists are table models over the presenter's rows:
// Enter (or a double click) acts on the current row, Delete reverses a
// payment. Each `*_dialog` function opens its dialog modally over its
// presenter (already opened by the caller) and returns the presenter's
// result.
#pragma once

#include <QDialog>
#include <functional>
#include <string>

#include "desktop/linhas_model.h"
#include "screens/condicao_pagto.h"
#include "screens/cpf_cnpj_opcional.h"
#include "screens/detalhe_produto.h"
#include "screens/forma_pagto_venda.h"
#include "screens/pagto_cheque_cartao.h"
#include "screens/prestacao_venda.h"
#include "screens/tela_troco.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableView;

namespace fvn::desktop {

// "Meios de Pagamento": "F6-Valor:", "F7-Meio Pagamento", "F8-Pagamentos
// Efetuados", the totals "A Pagar:", "Troco:", "Pago:", and "F12-Voltar",
// "F5-Continuar", "F9-Créditos".
class FormaPagtoVendaView final : public QDialog {
 public:
  FormaPagtoVendaView(FormaPagtoVendaPresenter& presenter, QWidget* parent = nullptr);

 protected:
  void reject() override;

 private:
  void refresh();
  FormaPagtoVendaPresenter& presenter_;
  QLineEdit* valor_;
  QTableView* formas_;
  QTableView* pagamentos_;
  LinhasModel* formas_model_;
  LinhasModel* pagamentos_model_;
  QLineEdit* total_pagar_;
  QLineEdit* troco_;
  QLineEdit* pago_;
  QPushButton* continuar_;
  QPushButton* creditos_;
};

// "Pagamento em Cheque / Cartão": "Parcelas:", "Dias:", the installments,
// the changes of the current one ("Vencimento:", "Valor:", "Documento:",
// "Conta:") with "F8-Alterar", "F5-Confirmar" and "F12-Voltar".
class PagtoChequeCartaoView final : public QDialog {
 public:
  PagtoChequeCartaoView(PagtoChequeCartaoPresenter& presenter, QWidget* parent = nullptr);

 protected:
  void reject() override;

 private:
  void refresh();
  PagtoChequeCartaoPresenter& presenter_;
  QLineEdit* parcelas_;
  QLineEdit* dias_;
  QTableView* lista_;
  LinhasModel* modelo_;
  QLineEdit* vencimento_;
  QLineEdit* valor_;
  QLineEdit* documento_;
  QLineEdit* conta_;
};

// "Condições de Pagamento": "Total:", "F11-Condição de Pagamento:" (the
// condition and its simulated line), "F12-Voltar" and "F5-Continuar".
class CondicaoPagtoView final : public QDialog {
 public:
  CondicaoPagtoView(CondicaoPagtoPresenter& presenter, QWidget* parent = nullptr);

 protected:
  void reject() override;

 private:
  void choose();
  CondicaoPagtoPresenter& presenter_;
  QTableView* lista_;
};

// "Parcelamento": the plan's parameters, totals and installments, the group
// "Alteração de Parcelas:" and "F8-Alterar", "F5-Continuar", "F12-Voltar".
class PrestacaoVendaView final : public QDialog {
 public:
  PrestacaoVendaView(PrestacaoVendaPresenter& presenter, QWidget* parent = nullptr);

 protected:
  void reject() override;

 private:
  void refresh();
  // Binds Enter on `field` to `accept` with its text; the focus moves on
  // when the presenter took it.
  void on_enter(QLineEdit* field, std::function<int(const std::string&)> accept);
  PrestacaoVendaPresenter& presenter_;
  QLineEdit* parcelar_;
  QLineEdit* entrada_;
  QLineEdit* parcelas_;
  QLineEdit* dias_;
  QCheckBox* mesmo_dia_;
  QLineEdit* primeira_;
  QLineEdit* data_primeira_;
  QLineEdit* juros_;
  QComboBox* tipo_juro_;
  QComboBox* quebra_;
  QLineEdit* acrescimo_;
  QLineEdit* total_parcelado_;
  QLineEdit* total_;
  QTableView* lista_;
  LinhasModel* modelo_;
  QLineEdit* alt_vencimento_;
  QLineEdit* alt_valor_;
};

// "Troco": "Valor a pagar:", "Valor Pago:", "Troco:", "F5 Confirma" and
// "F12 Voltar".
class TelaTrocoView final : public QDialog {
 public:
  TelaTrocoView(TelaTrocoPresenter& presenter, QWidget* parent = nullptr);

 protected:
  void reject() override;

 private:
  TelaTrocoPresenter& presenter_;
  QLineEdit* pago_;
  QLineEdit* troco_;
};

// "CPF/CNPJ do Consumidor": "Tipo Pessoa" ("Física" / "Jurídica"), "CPF:" or
// "CNPJ:" with their masks, "Nome Cliente:", "F5 - &Confirmar" and
// "F12 - C&ancelar".
class CpfCnpjOpcionalView final : public QDialog {
 public:
  CpfCnpjOpcionalView(CpfCnpjOpcionalPresenter& presenter, QWidget* parent = nullptr);

 protected:
  void reject() override;

 private:
  void show_type();
  void focus();
  CpfCnpjOpcionalPresenter& presenter_;
  QRadioButton* fisica_;
  QRadioButton* juridica_;
  QLabel* cpf_label_;
  QLabel* cnpj_label_;
  QLineEdit* cpf_;
  QLineEdit* cnpj_;
  QLineEdit* nome_;
};

// "Detalhe do Produto": "Desconto:" and "Acréscimo:", each with "%" (a
// percentage of the gross value); Enter or F5 confirms, Esc or F12 cancels.
class DetalheProdutoView final : public QDialog {
 public:
  DetalheProdutoView(DetalheProdutoPresenter& presenter, QWidget* parent = nullptr);

 protected:
  void reject() override;

 private:
  void confirm();
  DetalheProdutoPresenter& presenter_;
  QLineEdit* desconto_;
  QCheckBox* desconto_percentual_;
  QLineEdit* acrescimo_;
  QCheckBox* acrescimo_percentual_;
};

int forma_pagto_venda_dialog(FormaPagtoVendaPresenter& presenter, QWidget* parent = nullptr);
int pagto_cheque_cartao_dialog(PagtoChequeCartaoPresenter& presenter, QWidget* parent = nullptr);
int condicao_pagto_dialog(CondicaoPagtoPresenter& presenter, QWidget* parent = nullptr);
int prestacao_venda_dialog(PrestacaoVendaPresenter& presenter, QWidget* parent = nullptr);
int tela_troco_dialog(TelaTrocoPresenter& presenter, QWidget* parent = nullptr);
int cpf_cnpj_opcional_dialog(CpfCnpjOpcionalPresenter& presenter, QWidget* parent = nullptr);
int detalhe_produto_dialog(DetalheProdutoPresenter& presenter, QWidget* parent = nullptr);

}  // namespace fvn::desktop
