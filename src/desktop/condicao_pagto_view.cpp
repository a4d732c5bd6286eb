#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QVBoxLayout>
#include <string>
#include <utility>
#include <vector>

#include "desktop/payment_views.h"
#include "desktop/qt_host_ui.h"
#include "payment_views_common.h"

namespace fvn::desktop {

using namespace payment_ui;

CondicaoPagtoView::CondicaoPagtoView(CondicaoPagtoPresenter& presenter, QWidget* parent)
    : QDialog(parent), presenter_(presenter) {
  setWindowTitle(to_qstring(CondicaoPagtoPresenter::kTitle));
  setObjectName("condicao_pagto");
  auto* modelo = new LinhasModel({tr("Condição"), tr("Simulação")}, this);
  std::vector<std::vector<std::string>> rows;
  for (const auto& l : presenter_.linhas()) rows.push_back({l.condicao, l.simulacao});
  modelo->set_rows(std::move(rows));
  lista_ = tabela(this, "condicoes", modelo);
  new TeclasLista(lista_, [this](int) { choose(); }, {});
  auto* total = campo(this, "total", true);
  total->setText(valor_texto(presenter_.total()));
  auto* topo = new QFormLayout;
  topo->addRow(tr("Total:"), total);
  auto* botoes = new QHBoxLayout;
  botoes->addStretch();
  botao(this, botoes, tr("F12-Voltar"), Qt::Key_F12, [this] { reject(); });
  botao(this, botoes, tr("F5-Continuar"), Qt::Key_F5, [this] { choose(); });
  atalho(this, QKeySequence(Qt::Key_F11), [this] { lista_->setFocus(); });
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(topo);
  layout->addWidget(rotulo(this, tr("F11-Condição de Pagamento:"), lista_));
  layout->addWidget(lista_);
  layout->addLayout(botoes);
  resize(460, 320);
  mantem_linha(lista_, 0);
  lista_->setFocus();
}

void CondicaoPagtoView::choose() {
  if (presenter_.escolhe(linha_atual(lista_)) == 1) accept();
}

void CondicaoPagtoView::reject() {
  if (!presenter_.fechada()) presenter_.voltar();
  QDialog::reject();
}

int condicao_pagto_dialog(CondicaoPagtoPresenter& presenter, QWidget* parent) {
  return abre<CondicaoPagtoView>(presenter, parent);
}

}  // namespace fvn::desktop
