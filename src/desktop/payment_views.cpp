#include "desktop/payment_views.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

#include "desktop/qt_host_ui.h"
#include "runtime/picture.h"
#include "screens/pagamento_comum.h"

namespace fvn::desktop {

namespace {

QString valor_texto(double valor) { return to_qstring(mostra_valor(valor)); }

QLineEdit* campo(QWidget* parent, const char* name, bool somente_leitura = false) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(name);
  if (somente_leitura) {
    edit->setReadOnly(true);
    edit->setFocusPolicy(Qt::NoFocus);
    edit->setAlignment(Qt::AlignRight);
  }
  return edit;
}

// A caption whose buddy takes the focus with the caption's accelerator.
QLabel* rotulo(QWidget* parent, const QString& texto, QWidget* buddy) {
  auto* label = new QLabel(texto, parent);
  label->setBuddy(buddy);
  return label;
}

void atalho(QWidget* janela, const QKeySequence& tecla, std::function<void()> acao) {
  QObject::connect(new QShortcut(tecla, janela), &QShortcut::activated, janela, std::move(acao));
}

QPushButton* botao(QWidget* janela, QBoxLayout* linha, const QString& caption, Qt::Key tecla,
                   std::function<void()> acao) {
  auto* b = new QPushButton(caption, janela);
  b->setAutoDefault(false);
  QObject::connect(b, &QPushButton::clicked, janela, std::move(acao));
  QObject::connect(new QShortcut(QKeySequence(tecla), janela), &QShortcut::activated, b, &QPushButton::click);
  linha->addWidget(b);
  return b;
}

// Enter (and a double click) and Delete on a list, as actions on its
// current row (1-based).
class TeclasLista final : public QObject {
 public:
  TeclasLista(QTableView* lista, std::function<void(int)> enter, std::function<void(int)> apaga)
      : QObject(lista), lista_(lista), enter_(std::move(enter)), apaga_(std::move(apaga)) {
    lista->installEventFilter(this);
    connect(lista, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
      if (enter_) enter_(index.row() + 1);
    });
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == lista_ && event->type() == QEvent::KeyPress) {
      const int key = static_cast<QKeyEvent*>(event)->key();
      const int linha = lista_->currentIndex().isValid() ? lista_->currentIndex().row() + 1 : 0;
      if ((key == Qt::Key_Return || key == Qt::Key_Enter) && enter_) {
        if (linha > 0) enter_(linha);
        return true;
      }
      if (key == Qt::Key_Delete && apaga_) {
        if (linha > 0) apaga_(linha);
        return true;
      }
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  QTableView* lista_;
  std::function<void(int)> enter_;
  std::function<void(int)> apaga_;
};

std::string texto(const QLineEdit* edit) { return edit->text().toStdString(); }

// Enter moves to the next control, as the dialogs' fields do.
void proximo(QWidget* campo) {
  QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
  QApplication::sendEvent(campo, &tab);
}

}  // namespace

QTableView* tabela(QWidget* parent, const char* name, LinhasModel* modelo) {
  auto* view = new QTableView(parent);
  view->setObjectName(name);
  view->setModel(modelo);
  view->setSelectionBehavior(QAbstractItemView::SelectRows);
  view->setSelectionMode(QAbstractItemView::SingleSelection);
  view->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view->setTabKeyNavigation(false);
  view->verticalHeader()->hide();
  view->horizontalHeader()->setStretchLastSection(true);
  return view;
}

void mantem_linha(QTableView* lista, int linha) {
  const int n = lista->model()->rowCount();
  if (n == 0) return;
  lista->setCurrentIndex(lista->model()->index(std::clamp(linha, 0, n - 1), 0));
}

int linha_atual(QTableView* lista) { return lista->currentIndex().isValid() ? lista->currentIndex().row() + 1 : 0; }

// ---- LinhasModel ----

LinhasModel::LinhasModel(QStringList headings, QObject* parent)
    : QAbstractTableModel(parent), headings_(std::move(headings)) {}

void LinhasModel::set_rows(std::vector<std::vector<std::string>> rows) {
  beginResetModel();
  rows_ = std::move(rows);
  endResetModel();
}

int LinhasModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int LinhasModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(headings_.size());
}

QVariant LinhasModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid()) return {};
  const auto& row = rows_[static_cast<std::size_t>(index.row())];
  const auto column = static_cast<std::size_t>(index.column());
  return column < row.size() ? to_qstring(row[column]) : QString();
}

QVariant LinhasModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 || section >= headings_.size()) {
    return {};
  }
  return headings_[section];
}

// ---- FORMA_PAGTO_VENDA ----

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

// ---- PAGTO_CHEQUE_CARTAO ----

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

// ---- CONDICAO_PAGTO ----

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

// ---- PRESTACAO_VENDA ----

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

// ---- TELA_TROCO ----

TelaTrocoView::TelaTrocoView(TelaTrocoPresenter& presenter, QWidget* parent)
    : QDialog(parent), presenter_(presenter), pago_(campo(this, "valor_pago")), troco_(campo(this, "troco", true)) {
  setWindowTitle(to_qstring(TelaTrocoPresenter::kTitle));
  setObjectName("tela_troco");
  auto* a_pagar = campo(this, "a_pagar", true);
  a_pagar->setText(valor_texto(presenter_.a_pagar()));
  pago_->setText(valor_texto(presenter_.valor_pago()));
  troco_->setText(valor_texto(presenter_.troco()));
  pago_->setAlignment(Qt::AlignRight);
  connect(pago_, &QLineEdit::returnPressed, this, [this] {
    if (presenter_.pago(texto(pago_)) == 1) {
      pago_->setText(valor_texto(presenter_.valor_pago()));
      troco_->setText(valor_texto(presenter_.troco()));
      proximo(pago_);
    } else {
      pago_->selectAll();
    }
  });
  auto* form = new QFormLayout;
  form->addRow(tr("Valor a pagar:"), a_pagar);
  form->addRow(rotulo(this, tr("Valor &Pago:"), pago_), pago_);
  form->addRow(tr("Troco:"), troco_);
  auto* botoes = new QHBoxLayout;
  botoes->addStretch();
  botao(this, botoes, tr("F5 Confirma"), Qt::Key_F5, [this] {
    // The amount typed counts even when Enter was not pressed on it.
    if (presenter_.pago(texto(pago_)) != 1) return;
    troco_->setText(valor_texto(presenter_.troco()));
    if (presenter_.confirma() == 1) {
      accept();
    } else {
      pago_->setFocus();
      pago_->selectAll();
    }
  });
  botao(this, botoes, tr("F12 Voltar"), Qt::Key_F12, [this] { reject(); });
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addLayout(botoes);
  pago_->setFocus();
  pago_->selectAll();
}

void TelaTrocoView::reject() {
  if (!presenter_.fechada()) presenter_.voltar();
  QDialog::reject();
}

// ---- CPF_CNPJ_OPCIONAL ----

CpfCnpjOpcionalView::CpfCnpjOpcionalView(CpfCnpjOpcionalPresenter& presenter, QWidget* parent)
    : QDialog(parent),
      presenter_(presenter),
      fisica_(new QRadioButton(tr("&Física"), this)),
      juridica_(new QRadioButton(tr("&Jurídica"), this)),
      cpf_(campo(this, "cpf")),
      cnpj_(campo(this, "cnpj")),
      nome_(campo(this, "nome")) {
  setWindowTitle(to_qstring(CpfCnpjOpcionalPresenter::kTitle));
  setObjectName("cpf_cnpj_opcional");
  cpf_label_ = rotulo(this, tr("&CPF:"), cpf_);
  cnpj_label_ = rotulo(this, tr("C&NPJ:"), cnpj_);
  cpf_->setInputMask("999.999.999-99");
  cnpj_->setInputMask("99.999.999/9999-99");
  nome_->setMaxLength(99);
  auto* tipo = new QGroupBox(tr("Tipo Pessoa"), this);
  auto* tipos = new QHBoxLayout(tipo);
  tipos->addWidget(fisica_);
  tipos->addWidget(juridica_);
  fisica_->setChecked(presenter_.consumidor().tipo_pessoa == 0);
  juridica_->setChecked(presenter_.consumidor().tipo_pessoa == 1);
  connect(fisica_, &QRadioButton::toggled, this, [this](bool marcado) {
    presenter_.tipo_pessoa(marcado ? 0 : 1);
    show_type();
  });
  connect(cpf_, &QLineEdit::returnPressed, this, [this] {
    if (presenter_.cpf(texto(cpf_)) == 1) nome_->setFocus();
    focus();
  });
  connect(cnpj_, &QLineEdit::returnPressed, this, [this] {
    if (presenter_.cnpj(texto(cnpj_)) == 1) nome_->setFocus();
    focus();
  });
  connect(nome_, &QLineEdit::returnPressed, this, [this] { presenter_.nome(texto(nome_)); });
  auto* form = new QFormLayout;
  form->addRow(cpf_label_, cpf_);
  form->addRow(cnpj_label_, cnpj_);
  form->addRow(rotulo(this, tr("N&ome Cliente:"), nome_), nome_);
  auto* botoes = new QHBoxLayout;
  botoes->addStretch();
  botao(this, botoes, tr("F5 - &Confirmar"), Qt::Key_F5, [this] {
    const bool juridica = presenter_.consumidor().tipo_pessoa == 1;
    QLineEdit* documento = juridica ? cnpj_ : cpf_;
    if ((juridica ? presenter_.cnpj(texto(documento)) : presenter_.cpf(texto(documento))) != 1) {
      focus();
      return;
    }
    presenter_.nome(texto(nome_));
    if (presenter_.confirma() == 1) {
      accept();
    } else {
      focus();
    }
  });
  botao(this, botoes, tr("F12 - C&ancelar"), Qt::Key_F12, [this] { reject(); });
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tipo);
  layout->addLayout(form);
  layout->addLayout(botoes);
  show_type();
}

void CpfCnpjOpcionalView::show_type() {
  const bool juridica = presenter_.consumidor().tipo_pessoa == 1;
  cpf_label_->setVisible(!juridica);
  cpf_->setVisible(!juridica);
  cnpj_label_->setVisible(juridica);
  cnpj_->setVisible(juridica);
  (juridica ? cpf_ : cnpj_)->clear();
  (juridica ? cnpj_ : cpf_)->setFocus();
}

// The field the presenter asks for: a refused document was cleared.
void CpfCnpjOpcionalView::focus() {
  const IdentificacaoConsumidor& d = presenter_.consumidor();
  if (d.cpf.empty()) cpf_->clear();
  if (d.cnpj.empty()) cnpj_->clear();
  switch (presenter_.foco()) {
    case CpfCnpjOpcionalPresenter::Foco::Cpf: cpf_->setFocus(); break;
    case CpfCnpjOpcionalPresenter::Foco::Cnpj: cnpj_->setFocus(); break;
    case CpfCnpjOpcionalPresenter::Foco::Nome: nome_->setFocus(); break;
    case CpfCnpjOpcionalPresenter::Foco::TipoPessoa: fisica_->setFocus(); break;
  }
}

void CpfCnpjOpcionalView::reject() {
  if (!presenter_.fechada()) presenter_.cancela();
  QDialog::reject();
}

// ---- DETALHE_PRODUTO ----

DetalheProdutoView::DetalheProdutoView(DetalheProdutoPresenter& presenter, QWidget* parent)
    : QDialog(parent),
      presenter_(presenter),
      desconto_(campo(this, "desconto")),
      desconto_percentual_(new QCheckBox("%", this)),
      acrescimo_(campo(this, "acrescimo")),
      acrescimo_percentual_(new QCheckBox("%", this)) {
  setWindowTitle(to_qstring(DetalheProdutoPresenter::kTitle));
  setObjectName("detalhe_produto");
  desconto_percentual_->setObjectName("desconto_percentual");
  acrescimo_percentual_->setObjectName("acrescimo_percentual");
  desconto_->setText(valor_texto(presenter_.valor_desconto()));
  acrescimo_->setText(valor_texto(presenter_.valor_acrescimo()));
  connect(desconto_, &QLineEdit::returnPressed, this, [this] { acrescimo_->setFocus(); });
  connect(acrescimo_, &QLineEdit::returnPressed, this, [this] { confirm(); });
  const sale::QUEUE_ITEM& item = presenter_.item();
  auto* descricao = new QLabel(
      to_qstring(item.CODIGO + " - " + item.DESCRICAO + "  (R$ " + mostra_valor(presenter_.bruto()) + ")"), this);
  auto* form = new QGridLayout;
  form->addWidget(rotulo(this, tr("&Desconto:"), desconto_), 0, 0);
  form->addWidget(desconto_, 0, 1);
  form->addWidget(desconto_percentual_, 0, 2);
  form->addWidget(rotulo(this, tr("&Acréscimo:"), acrescimo_), 1, 0);
  form->addWidget(acrescimo_, 1, 1);
  form->addWidget(acrescimo_percentual_, 1, 2);
  auto* botoes = new QHBoxLayout;
  botoes->addStretch();
  botao(this, botoes, tr("F5-Confirmar"), Qt::Key_F5, [this] { confirm(); });
  botao(this, botoes, tr("F12-Cancelar"), Qt::Key_F12, [this] { reject(); });
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(descricao);
  layout->addLayout(form);
  layout->addLayout(botoes);
  desconto_->setFocus();
  desconto_->selectAll();
}

void DetalheProdutoView::confirm() {
  if (presenter_.desconto(texto(desconto_), desconto_percentual_->isChecked()) != 1) {
    desconto_->setFocus();
    desconto_->selectAll();
    return;
  }
  if (presenter_.acrescimo(texto(acrescimo_), acrescimo_percentual_->isChecked()) != 1) {
    acrescimo_->setFocus();
    acrescimo_->selectAll();
    return;
  }
  if (presenter_.confirma() == 1) accept();
}

void DetalheProdutoView::reject() {
  if (!presenter_.fechada()) presenter_.cancela();
  QDialog::reject();
}

// ---- Opening them ----

namespace {

template <typename View, typename Presenter>
int abre(Presenter& presenter, QWidget* parent) {
  View view(presenter, parent);
  view.exec();
  return presenter.resultado();
}

}  // namespace

int forma_pagto_venda_dialog(FormaPagtoVendaPresenter& presenter, QWidget* parent) {
  return abre<FormaPagtoVendaView>(presenter, parent);
}

int pagto_cheque_cartao_dialog(PagtoChequeCartaoPresenter& presenter, QWidget* parent) {
  PagtoChequeCartaoView view(presenter, parent);
  return view.exec() == QDialog::Accepted ? 1 : 0;
}

int condicao_pagto_dialog(CondicaoPagtoPresenter& presenter, QWidget* parent) {
  return abre<CondicaoPagtoView>(presenter, parent);
}

int prestacao_venda_dialog(PrestacaoVendaPresenter& presenter, QWidget* parent) {
  return abre<PrestacaoVendaView>(presenter, parent);
}

int tela_troco_dialog(TelaTrocoPresenter& presenter, QWidget* parent) { return abre<TelaTrocoView>(presenter, parent); }

int cpf_cnpj_opcional_dialog(CpfCnpjOpcionalPresenter& presenter, QWidget* parent) {
  return abre<CpfCnpjOpcionalView>(presenter, parent);
}

int detalhe_produto_dialog(DetalheProdutoPresenter& presenter, QWidget* parent) {
  return abre<DetalheProdutoView>(presenter, parent);
}

}  // namespace fvn::desktop
