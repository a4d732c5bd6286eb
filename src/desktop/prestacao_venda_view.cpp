#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
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
#include "runtime/picture.h"

namespace fvn::desktop {

using namespace payment_ui;

PrestacaoVendaView::PrestacaoVendaView(PrestacaoVendaPresenter& presenter, QWidget* parent)
    : QDialog(parent),
      presenter_(presenter),
      parcelar_(campo(this, "parcelar", true)),
      entrada_(campo(this, "entrada")),
      parcelas_(campo(this, "parcelas")),
      dias_(campo(this, "dias")),
      mesmo_dia_(new QCheckBox(tr("Mesmo Dia"), this)),
      primeira_(campo(this, "primeira")),
      data_primeira_(campo(this, "data_primeira")),
      juros_(campo(this, "juros")),
      tipo_juro_(new QComboBox(this)),
      quebra_(new QComboBox(this)),
      acrescimo_(campo(this, "acrescimo", true)),
      total_parcelado_(campo(this, "total_parcelado", true)),
      total_(campo(this, "total", true)),
      modelo_(new LinhasModel({tr("Número"), tr("Vencimento"), tr("Valor Prestação")}, this)),
      alt_vencimento_(campo(this, "alt_vencimento")),
      alt_valor_(campo(this, "alt_valor")) {
  setWindowTitle(to_qstring(PrestacaoVendaPresenter::kTitle));
  setObjectName("prestacao_venda");
  lista_ = tabela(this, "parcelas_venda", modelo_);
  mesmo_dia_->setObjectName("mesmo_dia");
  tipo_juro_->setObjectName("tipo_juro");
  tipo_juro_->addItems({tr("Simples"), tr("Composto"), tr("Simplificado")});
  quebra_->setObjectName("quebra");
  quebra_->addItems(
      {tr("Un. cent. primeira"), tr("Un. cent. última"), tr("Dez. cent. primeira"), tr("Dez. cent. última")});
  const auto como = [this](int (PrestacaoVendaPresenter::*metodo)(std::string_view)) {
    return [this, metodo](const std::string& t) { return (presenter_.*metodo)(t); };
  };
  on_enter(entrada_, como(&PrestacaoVendaPresenter::entrada));
  on_enter(parcelas_, como(&PrestacaoVendaPresenter::parcelas));
  on_enter(dias_, como(&PrestacaoVendaPresenter::dias));
  on_enter(primeira_, como(&PrestacaoVendaPresenter::primeira));
  on_enter(data_primeira_, como(&PrestacaoVendaPresenter::data_primeira));
  on_enter(juros_, como(&PrestacaoVendaPresenter::juros));
  connect(mesmo_dia_, &QCheckBox::clicked, this, [this](bool marcado) {
    presenter_.mesmo_dia(marcado);
    refresh();
  });
  connect(tipo_juro_, &QComboBox::activated, this, [this](int i) {
    presenter_.tipo_juro(i + 1);
    refresh();
  });
  connect(quebra_, &QComboBox::activated, this, [this](int i) {
    presenter_.quebra(i + 1);
    refresh();
  });
  const auto altera = [this] {
    const int linha = linha_atual(lista_);
    if (linha == 0) return;
    if (presenter_.altera(linha, texto(alt_vencimento_), texto(alt_valor_)) == 1) {
      alt_vencimento_->clear();
      alt_valor_->clear();
      lista_->setFocus();
    }
    refresh();
  };
  connect(alt_vencimento_, &QLineEdit::returnPressed, this, [this] { alt_valor_->setFocus(); });
  connect(alt_valor_, &QLineEdit::returnPressed, this, altera);
  new TeclasLista(lista_, [this](int) { alt_vencimento_->setFocus(); }, {});

  auto* campos = new QGridLayout;
  int r = 0;
  const auto par = [&](const QString& caption, QWidget* a, const QString& caption2, QWidget* b) {
    campos->addWidget(rotulo(this, caption, a), r, 0);
    campos->addWidget(a, r, 1);
    if (b != nullptr) {
      campos->addWidget(rotulo(this, caption2, b), r, 2);
      campos->addWidget(b, r, 3);
    }
    ++r;
  };
  par(tr("Parcelar:"), parcelar_, tr("&Entrada:"), entrada_);
  par(tr("&Parcelas:"), parcelas_, tr("&Dias:"), dias_);
  campos->addWidget(mesmo_dia_, r++, 1);
  par(tr("Primeira e&m:"), primeira_, tr("Data Pri&meira:"), data_primeira_);
  par(tr("&Juros %:"), juros_, tr("&Tipo Juro:"), tipo_juro_);
  par(tr("&Quebra:"), quebra_, QString(), nullptr);
  auto* totais = new QFormLayout;
  totais->addRow(tr("Valor Juros:"), acrescimo_);
  totais->addRow(tr("Parcelas:"), total_parcelado_);
  totais->addRow(tr("Total:"), total_);
  auto* grupo = new QGroupBox(tr("Alteração de Parcelas:"), this);
  auto* alteracao = new QFormLayout(grupo);
  alteracao->addRow(tr("Vencimento:"), alt_vencimento_);
  alteracao->addRow(tr("Valor:"), alt_valor_);
  auto* botoes = new QHBoxLayout;
  botoes->addStretch();
  botao(this, botoes, tr("F8-Alterar"), Qt::Key_F8, altera);
  botao(this, botoes, tr("F5-Continuar"), Qt::Key_F5, [this] {
    if (presenter_.continuar() == 1) accept();
  });
  botao(this, botoes, tr("F12-Voltar"), Qt::Key_F12, [this] { reject(); });
  auto* topo = new QHBoxLayout;
  topo->addLayout(campos);
  topo->addLayout(totais);
  auto* baixo = new QHBoxLayout;
  baixo->addWidget(lista_, 2);
  baixo->addWidget(grupo, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(topo);
  layout->addLayout(baixo);
  layout->addLayout(botoes);
  // The list between the parameters and its changes, as the window reads.
  setTabOrder(quebra_, lista_);
  setTabOrder(lista_, alt_vencimento_);
  setTabOrder(alt_vencimento_, alt_valor_);
  resize(720, 460);
  refresh();
  mantem_linha(lista_, 0);
  (presenter_.campos().entrada > 0 ? entrada_ : parcelas_)->setFocus();
}

void PrestacaoVendaView::on_enter(QLineEdit* field, std::function<int(const std::string&)> accept) {
  connect(field, &QLineEdit::returnPressed, this, [this, field, accept = std::move(accept)] {
    const bool ok = accept(texto(field)) == 1;
    refresh();
    if (ok)
      proximo(field);
    else
      field->selectAll();
  });
}

void PrestacaoVendaView::refresh() {
  const PrestacaoVendaPresenter::Campos& c = presenter_.campos();
  parcelar_->setText(valor_texto(c.parcelar));
  entrada_->setText(valor_texto(c.entrada));
  parcelas_->setText(QString::number(c.parcelas));
  dias_->setText(QString::number(c.dias));
  mesmo_dia_->setChecked(c.mesmo_dia);
  primeira_->setText(QString::number(c.primeira));
  data_primeira_->setText(to_qstring(format_picture(c.data_primeira, "@d06")));
  juros_->setText(valor_texto(c.juros));
  tipo_juro_->setCurrentIndex(std::clamp(c.tipo_juro, 1, 3) - 1);
  quebra_->setCurrentIndex(std::clamp(c.quebra, 1, 4) - 1);
  acrescimo_->setText(valor_texto(c.acrescimo));
  total_parcelado_->setText(valor_texto(c.total_parcelado));
  total_->setText(valor_texto(c.total_com_acrescimo));
  std::vector<std::vector<std::string>> rows;
  for (const auto& l : presenter_.linhas()) rows.push_back({l.numero, l.vencimento, l.valor});
  const int linha = std::max(linha_atual(lista_), 1) - 1;
  modelo_->set_rows(std::move(rows));
  mantem_linha(lista_, linha);
}

void PrestacaoVendaView::reject() {
  if (!presenter_.fechada()) presenter_.voltar();
  QDialog::reject();
}

int prestacao_venda_dialog(PrestacaoVendaPresenter& presenter, QWidget* parent) {
  return abre<PrestacaoVendaView>(presenter, parent);
}

}  // namespace fvn::desktop
