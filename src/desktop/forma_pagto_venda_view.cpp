#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "desktop/payment_views.h"
#include "desktop/qt_host_ui.h"
#include "payment_views_common.h"

namespace fvn::desktop {

using namespace payment_ui;

FormaPagtoVendaView::FormaPagtoVendaView(FormaPagtoVendaPresenter& presenter, QWidget* parent)
    : QDialog(parent),
      presenter_(presenter),
      valor_(campo(this, "valor")),
      formas_model_(new LinhasModel({tr("Meio de Pagamento")}, this)),
      pagamentos_model_(new LinhasModel({tr("Forma"), tr("Valor")}, this)),
      total_pagar_(campo(this, "total_pagar", true)),
      troco_(campo(this, "troco", true)),
      pago_(campo(this, "pago", true)) {
  setWindowTitle(to_qstring(FormaPagtoVendaPresenter::kTitle));
  setObjectName("forma_pagto_venda");
  formas_ = tabela(this, "formas", formas_model_);
  pagamentos_ = tabela(this, "pagamentos", pagamentos_model_);
  auto* titulo = new QLabel(to_qstring(FormaPagtoVendaPresenter::kTitle), this);
  titulo->setStyleSheet("font-weight: bold; font-size: 14pt");

  connect(valor_, &QLineEdit::returnPressed, this, [this] {
    if (presenter_.valor(texto(valor_)) == 1) {
      valor_->setText(valor_texto(presenter_.valor_pagar()));
      formas_->setFocus();
    } else {
      valor_->selectAll();
    }
  });
  new TeclasLista(formas_,
                  [this](int linha) {
                    presenter_.paga(linha);
                    refresh();
                  },
                  {});
  const auto estorna = [this](int linha) {
    presenter_.estorna(linha);
    refresh();
  };
  new TeclasLista(pagamentos_, estorna, estorna);

  auto* totais = new QFormLayout;
  totais->addRow(tr("A Pagar:"), total_pagar_);
  totais->addRow(tr("Troco:"), troco_);
  totais->addRow(tr("Pago:"), pago_);
  auto* esquerda = new QVBoxLayout;
  esquerda->addWidget(rotulo(this, tr("F6-Valor:"), valor_));
  esquerda->addWidget(valor_);
  esquerda->addWidget(rotulo(this, tr("F7-Meio Pagamento"), formas_));
  esquerda->addWidget(formas_);
  auto* direita = new QVBoxLayout;
  direita->addWidget(rotulo(this, tr("F8-Pagamentos Efetuados"), pagamentos_));
  direita->addWidget(pagamentos_);
  direita->addLayout(totais);
  auto* corpo = new QHBoxLayout;
  corpo->addLayout(esquerda);
  corpo->addLayout(direita);
  auto* botoes = new QHBoxLayout;
  botoes->addStretch();
  botao(this, botoes, tr("F12-Voltar"), Qt::Key_F12, [this] { reject(); });
  continuar_ = botao(this, botoes, tr("F5-Continuar"), Qt::Key_F5, [this] {
    if (presenter_.continuar() == 1) accept();
  });
  creditos_ = botao(this, botoes, tr("F9-Créditos"), Qt::Key_F9, [this] {
    presenter_.creditos();
    refresh();
  });
  atalho(this, QKeySequence(Qt::Key_F6), [this] { valor_->setFocus(); });
  atalho(this, QKeySequence(Qt::Key_F7), [this] { formas_->setFocus(); });
  atalho(this, QKeySequence(Qt::Key_F8), [this] { pagamentos_->setFocus(); });
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(titulo);
  layout->addLayout(corpo);
  layout->addLayout(botoes);
  setTabOrder(valor_, formas_);
  setTabOrder(formas_, pagamentos_);
  resize(640, 380);
  formas_model_->set_rows([&] {
    std::vector<std::vector<std::string>> rows;
    for (const auto& f : presenter_.formas()) rows.push_back({f});
    return rows;
  }());
  mantem_linha(formas_, 0);
  refresh();
}

void FormaPagtoVendaView::refresh() {
  std::vector<std::vector<std::string>> rows;
  for (const auto& p : presenter_.pagamentos()) rows.push_back({p.forma, p.valor});
  const int linha = std::max(linha_atual(pagamentos_), 1) - 1;
  pagamentos_model_->set_rows(std::move(rows));
  mantem_linha(pagamentos_, linha);
  total_pagar_->setText(valor_texto(presenter_.total_pagar()));
  troco_->setText(valor_texto(presenter_.troco()));
  pago_->setText(valor_texto(presenter_.pago()));
  valor_->setText(valor_texto(presenter_.valor_pagar()));
  const bool encerrado = presenter_.encerrado();
  valor_->setEnabled(!encerrado);
  formas_->setEnabled(!encerrado);
  creditos_->setEnabled(!encerrado);
  continuar_->setEnabled(encerrado);
  switch (presenter_.foco()) {
    case FormaPagtoVendaPresenter::Foco::Valor:
      valor_->setFocus();
      valor_->selectAll();
      break;
    case FormaPagtoVendaPresenter::Foco::Formas: formas_->setFocus(); break;
    case FormaPagtoVendaPresenter::Foco::Pagamentos: pagamentos_->setFocus(); break;
    case FormaPagtoVendaPresenter::Foco::Continuar: continuar_->setFocus(); break;
  }
}

// F12, Esc and the window's close button reverse the payments.
void FormaPagtoVendaView::reject() {
  if (!presenter_.fechada()) presenter_.voltar();
  QDialog::reject();
}

int forma_pagto_venda_dialog(FormaPagtoVendaPresenter& presenter, QWidget* parent) {
  return abre<FormaPagtoVendaView>(presenter, parent);
}

}  // namespace fvn::desktop
