#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "desktop/payment_views.h"
#include "desktop/qt_host_ui.h"
#include "payment_views_common.h"
#include "screens/pagamento_comum.h"

namespace fvn::desktop {

using namespace payment_ui;

PagtoChequeCartaoView::PagtoChequeCartaoView(PagtoChequeCartaoPresenter& presenter, QWidget* parent)
    : QDialog(parent),
      presenter_(presenter),
      parcelas_(campo(this, "parcelas")),
      dias_(campo(this, "dias")),
      modelo_(new LinhasModel({tr("Nº"), tr("Vencimento"), tr("Valor"), tr("Documento"), tr("Conta")}, this)),
      vencimento_(campo(this, "vencimento")),
      valor_(campo(this, "valor")),
      documento_(campo(this, "documento")),
      conta_(campo(this, "conta")) {
  setWindowTitle(to_qstring(PagtoChequeCartaoPresenter::kTitle));
  setObjectName("pagto_cheque_cartao");
  lista_ = tabela(this, "parcelas_pagamento", modelo_);
  documento_->setMaxLength(30);
  conta_->setMaxLength(30);
  // The slot keeps a bound call, not the member pointer itself (see the sale
  // window: g++ 12 under the sanitizers misread such a lambda's captures).
  const auto aceita = [this](QLineEdit* campo, int (PagtoChequeCartaoPresenter::*metodo)(std::string_view)) {
    const std::function<int(std::string_view)> aplica = std::bind_front(metodo, &presenter_);
    connect(campo, &QLineEdit::returnPressed, this, [this, campo, aplica] {
      if (aplica(texto(campo)) == 1) proximo(campo);
      refresh();
    });
  };
  aceita(parcelas_, &PagtoChequeCartaoPresenter::parcelas);
  aceita(dias_, &PagtoChequeCartaoPresenter::dias);
  const auto altera = [this] {
    const int linha = linha_atual(lista_);
    if (linha == 0) return;
    if (presenter_.altera(linha, texto(vencimento_), texto(valor_), texto(documento_), texto(conta_)) == 1) {
      for (QLineEdit* e : {vencimento_, valor_, documento_, conta_}) e->clear();
      lista_->setFocus();
    }
    refresh();
  };
  for (QLineEdit* e : {vencimento_, valor_, documento_}) {
    connect(e, &QLineEdit::returnPressed, this, [e] { proximo(e); });
  }
  connect(conta_, &QLineEdit::returnPressed, this, altera);
  new TeclasLista(lista_, [this](int) { vencimento_->setFocus(); }, {});

  auto* topo = new QFormLayout;
  topo->addRow(rotulo(this, tr("&Parcelas:"), parcelas_), parcelas_);
  topo->addRow(rotulo(this, tr("&Dias:"), dias_), dias_);
  auto* grupo = new QGroupBox(tr("Alteração:"), this);
  auto* alteracao = new QFormLayout(grupo);
  alteracao->addRow(tr("Vencimento:"), vencimento_);
  alteracao->addRow(tr("Valor:"), valor_);
  alteracao->addRow(tr("Documento:"), documento_);
  alteracao->addRow(tr("Conta:"), conta_);
  auto* botoes = new QHBoxLayout;
  botoes->addStretch();
  botao(this, botoes, tr("F8-Alterar"), Qt::Key_F8, altera);
  botao(this, botoes, tr("F5-Confirmar"), Qt::Key_F5, [this] {
    if (presenter_.confirma() == 1) accept();
  });
  botao(this, botoes, tr("F12-Voltar"), Qt::Key_F12, [this] { reject(); });
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(
      to_qstring(presenter_.forma().DESCRICAO + " - R$ " + mostra_valor(presenter_.valor_pagamento())), this));
  layout->addLayout(topo);
  layout->addWidget(lista_);
  layout->addWidget(grupo);
  layout->addLayout(botoes);
  setTabOrder(dias_, lista_);
  setTabOrder(lista_, vencimento_);
  resize(560, 420);
  refresh();
  mantem_linha(lista_, 0);
  parcelas_->setFocus();
  parcelas_->selectAll();
}

void PagtoChequeCartaoView::refresh() {
  std::vector<std::vector<std::string>> rows;
  for (const auto& l : presenter_.linhas()) {
    rows.push_back({std::to_string(l.numero), l.vencimento, l.valor, l.documento, l.conta});
  }
  const int linha = std::max(linha_atual(lista_), 1) - 1;
  modelo_->set_rows(std::move(rows));
  mantem_linha(lista_, linha);
  parcelas_->setText(QString::number(presenter_.numero_parcelas()));
  dias_->setText(QString::number(presenter_.dias_parcelas()));
}

void PagtoChequeCartaoView::reject() {
  presenter_.voltar();
  QDialog::reject();
}

int pagto_cheque_cartao_dialog(PagtoChequeCartaoPresenter& presenter, QWidget* parent) {
  PagtoChequeCartaoView view(presenter, parent);
  return view.exec() == QDialog::Accepted ? 1 : 0;
}

}  // namespace fvn::desktop
