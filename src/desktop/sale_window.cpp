#include "desktop/sale_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include "desktop/qt_host_ui.h"
#include "desktop/sale_item_model.h"
#include "runtime/picture.h"

namespace fvn::desktop {

namespace {

constexpr const char* kMoney = "@n14`2";
constexpr const char* kPercent = "@n10`2";
constexpr const char* kDate = "@d06";

QLabel* big_label(QWidget* parent, const QString& name, double scale) {
  auto* label = new QLabel(parent);
  label->setObjectName(name);
  QFont font = label->font();
  font.setBold(true);
  font.setPointSizeF(font.pointSizeF() * scale);
  label->setFont(font);
  return label;
}

QString shown(double value, const std::string& picture) { return to_qstring(format_picture(value, picture)).trimmed(); }

}  // namespace

SaleWindow::SaleWindow(NotaPadraoNfcePresenter& presenter, QWidget* parent)
    : QDialog(parent),
      presenter_(presenter),
      model_(nullptr),
      product_(new QLineEdit(this)),
      quantity_(new QLineEdit(this)),
      list_(new QTableView(this)),
      status_(big_label(this, "status_caixa", 1.6)),
      items_(big_label(this, "itens", 1.6)),
      total_quantity_(big_label(this, "total_quantidades", 1.6)),
      total_(big_label(this, "total_nota", 2.4)),
      tabs_(new QTabWidget(this)),
      clock_(new QTimer(this)) {
  setWindowTitle(tr("NFC-e - Venda ao Consumidor"));
  model_ = new SaleItemModel(presenter_, this);

  product_->setObjectName("produto");
  product_->setMaxLength(20);
  quantity_->setObjectName("quantidade");
  for (QWidget* w : {static_cast<QWidget*>(product_), static_cast<QWidget*>(quantity_)}) w->installEventFilter(this);
  connect(product_, &QLineEdit::returnPressed, this, [this] {
    const QString code = product_->text().trimmed();
    if (code.isEmpty()) return;
    presenter_.codigo_produto(code.toStdString());
    product_->clear();
    refresh();
    product_->setFocus();
  });
  connect(quantity_, &QLineEdit::returnPressed, this, [this] {
    const auto value = presenter_.numero(quantity_->text().trimmed().toStdString(), presenter_.picture_quantidade());
    if (value) presenter_.quantidade(*value);
    refresh();
    product_->setFocus();
  });

  auto* entry = new QHBoxLayout;
  auto* product_label = new QLabel(tr("F2-Produto:"), this);
  product_label->setBuddy(product_);
  auto* quantity_label = new QLabel(tr("F3-Quantidade:"), this);
  quantity_label->setBuddy(quantity_);
  entry->addWidget(product_label);
  entry->addWidget(product_, 3);
  entry->addWidget(quantity_label);
  entry->addWidget(quantity_, 1);
  entry->addWidget(status_, 2);

  list_->setObjectName("itens_venda");
  list_->setModel(model_);
  list_->setSelectionBehavior(QAbstractItemView::SelectRows);
  list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list_->verticalHeader()->hide();
  list_->verticalHeader()->setDefaultSectionSize(22);
  list_->horizontalHeader()->setDefaultSectionSize(90);
  list_->setColumnWidth(2, 260);
  list_->installEventFilter(this);

  auto* totals = new QHBoxLayout;
  const auto add_total = [&](const QString& caption, QLabel* value) {
    auto* label = big_label(this, {}, 1.3);
    label->setText(caption);
    totals->addWidget(label);
    totals->addWidget(value);
    totals->addSpacing(24);
  };
  add_total(tr("Itens:"), items_);
  add_total(tr("Total Quantidades:"), total_quantity_);
  add_total(tr("Total Nota:"), total_);
  totals->addStretch();

  // Tab "Padrões": operation, emitter and the price table.
  auto* defaults = new QWidget(tabs_);
  auto* defaults_form = new QFormLayout(defaults);
  const auto code_row = [&](QFormLayout* form, const QString& caption, const std::string& name,
                            NotaPadraoNfcePresenter::Busca busca,
                            int (NotaPadraoNfcePresenter::*action)(std::int32_t)) {
    QLineEdit* field = code_field(QString::fromStdString(name));
    on_code(field, action);
    auto* lookup = new QPushButton(QStringLiteral("..."), form->parentWidget());
    lookup->setObjectName(QString::fromStdString("busca_" + name));
    lookup->setAutoDefault(false);
    lookup->setFocusPolicy(Qt::NoFocus);
    lookup->setMaximumWidth(32);
    connect(lookup, &QPushButton::clicked, this, [this, busca] {
      presenter_.busca(busca);
      refresh();
    });
    auto* description = new QLabel(form->parentWidget());
    description->setObjectName(QString::fromStdString("descricao_" + name));
    labels_[name] = description;
    auto* row = new QHBoxLayout;
    row->addWidget(field);
    row->addWidget(lookup);
    row->addWidget(description, 1);
    form->addRow(caption, row);
  };
  using P = NotaPadraoNfcePresenter;
  code_row(defaults_form, tr("Operação:"), "operacao", P::Busca::Operacao, &P::operacao);
  code_row(defaults_form, tr("Emissor:"), "emissor", P::Busca::Emissor, &P::emissor);
  auto* table_button = new QPushButton(tr("Tabela Preço"), defaults);
  table_button->setAutoDefault(false);
  connect(table_button, &QPushButton::clicked, this, [this] { key(TeclaVenda::F6); });
  labels_["tabela"] = new QLabel(defaults);
  labels_["tabela"]->setObjectName("tabela_preco");
  auto* table_row = new QHBoxLayout;
  table_row->addWidget(table_button);
  table_row->addWidget(labels_["tabela"], 1);
  defaults_form->addRow(table_row);
  tabs_->addTab(defaults, tr("Padrões"));

  // Tabs "Nota" and "Boleto": the message codes.
  for (const auto& [caption, tab, name] :
       {std::tuple{tr("Mensagem Nota:"), tr("Nota"), std::string{"mensagem_nota"}},
        std::tuple{tr("Mensagem Boleto:"), tr("Boleto"), std::string{"mensagem_boleto"}}}) {
    auto* page = new QWidget(tabs_);
    auto* form = new QFormLayout(page);
    QLineEdit* field = code_field(QString::fromStdString(name));
    const bool note = name == "mensagem_nota";
    connect(field, &QLineEdit::editingFinished, this, [this, field, note] {
      const std::int32_t code = field->text().toInt();
      if (note) {
        presenter_.mensagem_nota(code);
      } else {
        presenter_.mensagem_boleto(code);
      }
    });
    form->addRow(caption, field);
    tabs_->addTab(page, tab);
  }
  tabs_->addTab(build_values_tab(), tr("Cálculo de Impostos"));
  tabs_->addTab(build_taxes_tab(), tr("Impostos"));
  tabs_->addTab(build_transport_tab(), tr("Transporte"));

  auto* extra = new QWidget(tabs_);
  auto* extra_form = new QFormLayout(extra);
  note_remarks_ = new QPlainTextEdit(extra);
  note_remarks_->setObjectName("observacoes_nota");
  order_remarks_ = new QPlainTextEdit(extra);
  order_remarks_->setObjectName("observacoes_pedido");
  for (QPlainTextEdit* remarks : {note_remarks_, order_remarks_}) {
    remarks->setTabChangesFocus(true);
    connect(remarks, &QPlainTextEdit::textChanged, this, [this] {
      presenter_.observacoes(note_remarks_->toPlainText().toStdString(), order_remarks_->toPlainText().toStdString());
    });
  }
  extra_form->addRow(tr("Observações da Nota Fiscal:"), note_remarks_);
  extra_form->addRow(tr("Observações do Pedido:"), order_remarks_);
  tabs_->addTab(extra, tr("Adicionais"));

  if (presenter_.mostra_parceria() || presenter_.mostra_evento()) {
    auto* partner = new QWidget(tabs_);
    auto* partner_form = new QFormLayout(partner);
    if (presenter_.mostra_parceria()) {
      code_row(partner_form, tr("Parceria:"), "parceria", P::Busca::Parceria, &P::parceria);
    }
    if (presenter_.mostra_evento()) code_row(partner_form, tr("Evento:"), "evento", P::Busca::Evento, &P::evento);
    tabs_->addTab(partner, tr("Evento/Parceria"));
  }
  auto* export_page = new QWidget(tabs_);
  auto* export_form = new QFormLayout(export_page);
  QLineEdit* export_field = code_field("exportacao");
  connect(export_field, &QLineEdit::editingFinished, this,
          [this, export_field] { presenter_.exportacao(export_field->text().toInt()); });
  export_form->addRow(tr("Exportação:"), export_field);
  tabs_->addTab(export_page, tr("Exportação"));

  // The F-key buttons, with the seller and customer beside theirs.
  auto* buttons = new QHBoxLayout;
  const auto add_button = [&](const QString& caption, TeclaVenda tecla, const std::string& name) {
    auto* button = new QPushButton(caption, this);
    button->setObjectName(QString::fromStdString(name));
    button->setAutoDefault(false);
    button->setFocusPolicy(Qt::NoFocus);
    button->setMinimumHeight(34);
    connect(button, &QPushButton::clicked, this, [this, tecla] { key(tecla); });
    buttons->addWidget(button);
  };
  add_button(tr("F4-Opções"), TeclaVenda::F4, "opcoes");
  add_button(tr("F5-Pagto."), TeclaVenda::F5, "pagamento");
  add_button(tr("F6-Tabela"), TeclaVenda::F6, "tabela");
  add_button(tr("F7-Vendedor"), TeclaVenda::F7, "vendedor");
  labels_["vendedor"] = new QLabel(this);
  labels_["vendedor"]->setObjectName("nome_vendedor");
  buttons->addWidget(labels_["vendedor"], 1);
  add_button(tr("F8-Cliente"), TeclaVenda::F8, "cliente");
  labels_["cliente"] = new QLabel(this);
  labels_["cliente"]->setObjectName("nome_cliente");
  buttons->addWidget(labels_["cliente"], 1);

  const std::pair<QKeySequence, TeclaVenda> shortcuts[] = {
      {QKeySequence(Qt::Key_F4), TeclaVenda::F4},
      {QKeySequence(Qt::Key_F5), TeclaVenda::F5},
      {QKeySequence(Qt::ALT | Qt::Key_F5), TeclaVenda::AltF5},
      {QKeySequence(Qt::Key_F6), TeclaVenda::F6},
      {QKeySequence(Qt::Key_F7), TeclaVenda::F7},
      {QKeySequence(Qt::Key_F8), TeclaVenda::F8},
      {QKeySequence(Qt::CTRL | Qt::Key_F2), TeclaVenda::CtrlF2},
      {QKeySequence(Qt::ALT | Qt::Key_O), TeclaVenda::AltO},
      {QKeySequence(Qt::Key_F12), TeclaVenda::Sair},
      {QKeySequence(Qt::ALT | Qt::Key_F4), TeclaVenda::Sair},
  };
  for (const auto& [sequence, tecla] : shortcuts) {
    shortcut(sequence, [this, tecla = tecla] { key(tecla); });
  }
  shortcut(QKeySequence(Qt::Key_F2), [this] {
    product_->setFocus();
    key(TeclaVenda::F2);
  });
  // Alt+D: the sale's discount percentage, on its tab.
  shortcut(QKeySequence(Qt::ALT | Qt::Key_D), [this] {
    QLineEdit* field = fields_.at("perc_desconto");
    tabs_->setCurrentWidget(field->parentWidget());
    field->setFocus();
    field->selectAll();
  });
  shortcut(QKeySequence(Qt::Key_F3), [this] {
    quantity_->setFocus();
    quantity_->selectAll();
  });

  auto* bar = new QStatusBar(this);
  bar->setObjectName("barra_status");
  for (std::size_t i = 0; i < status_bar_.size(); ++i) {
    status_bar_[i] = new QLabel(bar);
    bar->addWidget(status_bar_[i], i == 3 ? 1 : 0);
  }
  connect(clock_, &QTimer::timeout, this, [this] { show_status_bar(); });

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(entry);
  layout->addWidget(list_, 1);
  layout->addLayout(totals);
  tabs_->setMaximumHeight(200);
  layout->addWidget(tabs_);
  layout->addLayout(buttons);
  layout->addWidget(bar);
  resize(1180, 760);
}

// The window's keys work whenever it is the modal window on top, even when
// the platform left another window active after a dialog closed; never
// while a dialog it opened is up.
void SaleWindow::shortcut(const QKeySequence& sequence, std::function<void()> action) {
  auto* s = new QShortcut(sequence, this);
  s->setContext(Qt::ApplicationShortcut);
  connect(s, &QShortcut::activated, this, [this, action = std::move(action)] {
    if (QApplication::activeModalWidget() == this) action();
  });
}

QLineEdit* SaleWindow::code_field(const QString& name) {
  auto* field = new QLineEdit(this);
  field->setObjectName(name);
  field->setMaxLength(9);
  field->setMaximumWidth(90);
  fields_[name.toStdString()] = field;
  return field;
}

QLineEdit* SaleWindow::amount_field(const QString& name, const std::string& /*picture*/) {
  auto* field = new QLineEdit(this);
  field->setObjectName(name);
  field->setMaxLength(18);
  field->setAlignment(Qt::AlignRight);
  fields_[name.toStdString()] = field;
  return field;
}

// An amount field: Enter (or leaving it changed) hands the number to the
// presenter; what does not read as a number is refused with its message.
void SaleWindow::on_amount(QLineEdit* field, const std::string& picture,
                           int (NotaPadraoNfcePresenter::*action)(double)) {
  // The slot keeps a bound call, not the member pointer itself: a lambda
  // holding a member-function pointer read its captures wrongly inside Qt's
  // slot call under the sanitizers (g++ 12).
  const std::function<int(double)> apply = std::bind_front(action, &presenter_);
  connect(field, &QLineEdit::editingFinished, this, [this, field, picture, apply] {
    if (!field->isModified()) return;
    field->setModified(false);
    const auto value = presenter_.numero(field->text().trimmed().toStdString(), picture);
    if (value) apply(*value);
    refresh();
  });
}

void SaleWindow::on_code(QLineEdit* field, int (NotaPadraoNfcePresenter::*action)(std::int32_t)) {
  const std::function<int(std::int32_t)> apply = std::bind_front(action, &presenter_);
  connect(field, &QLineEdit::editingFinished, this, [this, field, apply] {
    if (!field->isModified()) return;
    field->setModified(false);
    bool ok = false;
    const int code = field->text().trimmed().toInt(&ok);
    if (ok) apply(code);
    refresh();
  });
}

QWidget* SaleWindow::build_values_tab() {
  auto* page = new QWidget(tabs_);
  auto* grid = new QGridLayout(page);
  using P = NotaPadraoNfcePresenter;
  const std::tuple<const char*, const char*, const char*, int (P::*)(double)> amounts[] = {
      {"Desconto %:", "perc_desconto", kPercent, &P::perc_desconto},
      {"Valor Desconto:", "desconto", kMoney, &P::desconto},
      {"Desp. Acessórias %:", "perc_despesas", kPercent, &P::perc_despesas},
      {"Desp. Acessórias:", "despesas", kMoney, &P::despesas},
      {"Valor Seguro:", "seguro", kMoney, &P::seguro},
      {"Valor Frete:", "frete", kMoney, &P::frete},
  };
  int row = 0;
  for (const auto& [caption, name, picture, action] : amounts) {
    QLineEdit* field = amount_field(name, picture);
    on_amount(field, picture, action);
    auto* label = new QLabel(QString::fromUtf8(caption), page);
    label->setBuddy(field);
    grid->addWidget(label, row / 2, (row % 2) * 2);
    grid->addWidget(field, row / 2, (row % 2) * 2 + 1);
    ++row;
  }
  print_kind_ = new QComboBox(page);
  print_kind_->setObjectName("tipo_impressao");
  print_kind_->addItems({tr("Detalhado"), tr("Resumido")});
  connect(print_kind_, &QComboBox::activated, this, [this](int index) { presenter_.resumido(index); });
  purpose_ = new QComboBox(page);
  purpose_->setObjectName("finalidade");
  purpose_->addItems({tr("CONSUMO"), tr("REVENDA")});
  connect(purpose_, &QComboBox::activated, this, [this](int index) {
    presenter_.finalidade(index + 1);
    refresh();
  });
  grid->addWidget(new QLabel(tr("Tipo de Impressão:"), page), 3, 0);
  grid->addWidget(print_kind_, 3, 1);
  grid->addWidget(new QLabel(tr("Finalidade Operação:"), page), 3, 2);
  grid->addWidget(purpose_, 3, 3);
  for (const auto& [caption, name, column] : {std::tuple{tr("Valor Produtos:"), std::string{"produtos"}, 0},
                                              std::tuple{tr("Subtotal:"), std::string{"subtotal"}, 2}}) {
    labels_[name] = new QLabel(page);
    labels_[name]->setObjectName(QString::fromStdString(name));
    grid->addWidget(new QLabel(caption, page), 4, column);
    grid->addWidget(labels_[name], 4, column + 1);
  }
  return page;
}

QWidget* SaleWindow::build_taxes_tab() {
  auto* page = new QWidget(tabs_);
  auto* grid = new QGridLayout(page);
  const std::pair<const char*, const char*> taxes[] = {
      {"Base ICMS:", "base_icms"},   {"Valor ICMS:", "icms"}, {"Base ICMS ST:", "base_icms_st"},
      {"Valor ICMS ST:", "icms_st"}, {"Valor IPI:", "ipi"},   {"Valor PIS:", "pis"},
      {"Valor COFINS:", "cofins"}};
  int row = 0;
  for (const auto& [caption, name] : taxes) {
    labels_[name] = new QLabel(page);
    labels_[name]->setObjectName(name);
    grid->addWidget(new QLabel(QString::fromUtf8(caption), page), row / 4, (row % 4) * 2);
    grid->addWidget(labels_[name], row / 4, (row % 4) * 2 + 1);
    ++row;
  }
  for (const auto& [caption, name, column] : {std::tuple{tr("Data Saída:"), QStringLiteral("data_saida"), 0},
                                              std::tuple{tr("Data Emissão:"), QStringLiteral("data_emissao"), 2}}) {
    QLineEdit* field = amount_field(name, kDate);
    field->setAlignment(Qt::AlignLeft);
    const bool exit_date = name == QLatin1String("data_saida");
    connect(field, &QLineEdit::editingFinished, this, [this, field, exit_date] {
      if (!field->isModified()) return;
      field->setModified(false);
      const auto date = presenter_.numero(field->text().trimmed().toStdString(), kDate);
      if (!date) {
        refresh();
        return;
      }
      const auto day = static_cast<Date>(*date);
      if (exit_date) {
        presenter_.data_saida(day);
      } else {
        presenter_.data_emissao(day);
      }
      refresh();
    });
    grid->addWidget(new QLabel(caption, page), 2, column);
    grid->addWidget(field, 2, column + 1);
  }
  return page;
}

QWidget* SaleWindow::build_transport_tab() {
  auto* page = new QWidget(tabs_);
  auto* form = new QGridLayout(page);
  QLineEdit* carrier = code_field("transportadora");
  on_code(carrier, &NotaPadraoNfcePresenter::transportadora);
  auto* lookup = new QPushButton(QStringLiteral("..."), page);
  lookup->setObjectName("busca_transportadora");
  lookup->setAutoDefault(false);
  lookup->setFocusPolicy(Qt::NoFocus);
  connect(lookup, &QPushButton::clicked, this, [this] {
    presenter_.busca(NotaPadraoNfcePresenter::Busca::Transportadora);
    refresh();
  });
  form->addWidget(new QLabel(tr("Transportadora:"), page), 0, 0);
  form->addWidget(carrier, 0, 1);
  form->addWidget(lookup, 0, 2);
  freight_kind_ = new QComboBox(page);
  freight_kind_->setObjectName("tipo_frete");
  const std::pair<const char*, int> kinds[] = {{"Remetente", 0},         {"Destinatário", 1},         {"Terceiros", 2},
                                               {"Próprio Remetente", 3}, {"Próprio Destinatário", 4}, {"Sem Frete", 9}};
  for (const auto& [caption, code] : kinds) freight_kind_->addItem(QString::fromUtf8(caption), code);
  connect(freight_kind_, &QComboBox::activated, this, [this](int index) {
    presenter_.tipo_frete(freight_kind_->itemData(index).toInt());
    refresh();
  });
  form->addWidget(new QLabel(tr("Frete Por Conta:"), page), 0, 3);
  form->addWidget(freight_kind_, 0, 4);
  const std::pair<const char*, const char*> volume[] = {
      {"Quantidade:", "vol_quantidade"}, {"Espécie:", "especie"},       {"Marca:", "marca"},
      {"Numeração:", "numeracao"},       {"Peso Bruto:", "peso_bruto"}, {"Peso Líquido:", "peso_liquido"}};
  int row = 0;
  for (const auto& [caption, name] : volume) {
    QLineEdit* field = amount_field(name, kMoney);
    connect(field, &QLineEdit::editingFinished, this, [this] {
      sale::GRUPO_VOLUME v;
      v.QTDE_VOLUME = fields_["vol_quantidade"]->text().toInt();
      v.ESPECIE_VOLUME = fields_["especie"]->text().toStdString();
      v.MARCA_VOLUME = fields_["marca"]->text().toStdString();
      v.NUMERO_VOLUME = fields_["numeracao"]->text().toStdString();
      for (const auto& [weight_field, weight] :
           {std::pair{"peso_bruto", &v.PESO_BRUTO_VOLUME}, std::pair{"peso_liquido", &v.PESO_LIQUIDO_VOLUME}}) {
        const QString text = fields_[weight_field]->text().trimmed();
        if (text.isEmpty()) continue;
        const auto value = presenter_.numero(text.toStdString(), "@n14`3");
        if (!value) return;
        *weight = *value;
      }
      presenter_.volumes(v);
    });
    form->addWidget(new QLabel(QString::fromUtf8(caption), page), 1 + row / 3, (row % 3) * 2);
    form->addWidget(field, 1 + row / 3, (row % 3) * 2 + 1);
    ++row;
  }
  return page;
}

int SaleWindow::open_window() {
  // exec() shows the window modal (a window shown before exec() would not be).
  // The reset may open dialogs (the start-of-sale prompts, the CPF
  // question): it runs once the window is up.
  QTimer::singleShot(0, this, [this] {
    presenter_.abre();
    refresh();
    product_->setFocus();
  });
  show_status_bar();
  clock_->start(1000);
  return exec();
}

void SaleWindow::key(TeclaVenda tecla) {
  const int result = presenter_.tecla(tecla);
  if (tecla == TeclaVenda::Sair && result == 1) {
    closing_ = true;
    accept();
    return;
  }
  refresh();
  if (!product_->hasFocus() && isActiveWindow()) product_->setFocus();
}

void SaleWindow::refresh() {
  // A dialog the action opened has closed: the keys come back here.
  if (isVisible() && !isActiveWindow() && QApplication::activeModalWidget() == this) activateWindow();
  const CamposVenda& c = presenter_.campos();
  const TotaisTela t = presenter_.totais();
  model_->refresh();
  if (model_->rowCount() > 0) list_->scrollToBottom();
  status_->setText(to_qstring(presenter_.status()));
  items_->setText(QString::number(t.itens));
  total_quantity_->setText(shown(t.quantidade, "@n-16`4"));
  total_->setText(shown(t.total, "@n10`2"));
  if (!quantity_->hasFocus()) quantity_->setText(shown(c.quantidade, presenter_.picture_quantidade()));
  const auto set = [this](const std::string& name, const QString& text) {
    QLineEdit* field = fields_.at(name);
    if (!field->hasFocus() || !field->isModified()) field->setText(text);
  };
  const auto code = [](std::int32_t value) { return value != 0 ? QString::number(value) : QString(); };
  set("operacao", code(c.operacao));
  set("emissor", code(c.emissor));
  set("transportadora", code(c.transportadora));
  if (fields_.count("parceria") != 0) set("parceria", code(c.parceria));
  if (fields_.count("evento") != 0) set("evento", code(c.evento));
  set("perc_desconto", shown(c.perc_desconto, kPercent));
  set("desconto", shown(c.desconto, kMoney));
  set("perc_despesas", shown(c.perc_despesas, kPercent));
  set("despesas", shown(c.despesas, kMoney));
  set("seguro", shown(c.seguro, kMoney));
  set("frete", shown(c.frete, kMoney));
  set("data_saida", to_qstring(format_picture(c.data_saida, kDate)));
  set("data_emissao", to_qstring(format_picture(c.data_emissao, kDate)));
  labels_["operacao"]->setText(to_qstring(presenter_.descricao_operacao()));
  labels_["emissor"]->setText(to_qstring(presenter_.descricao_emissor()));
  labels_["tabela"]->setText(to_qstring(presenter_.nome_tabela()));
  labels_["vendedor"]->setText(
      c.vendedor != 0 ? QStringLiteral("%1 - %2").arg(c.vendedor).arg(to_qstring(presenter_.nome_vendedor()))
                      : QString());
  labels_["cliente"]->setText(
      c.cliente != 0 ? QStringLiteral("%1 - %2").arg(c.cliente).arg(to_qstring(presenter_.nome_cliente())) : QString());
  const std::pair<const char*, double> values[] = {{"produtos", t.produtos},
                                                   {"subtotal", t.subtotal},
                                                   {"base_icms", t.base_icms},
                                                   {"icms", t.icms},
                                                   {"base_icms_st", t.base_icms_st},
                                                   {"icms_st", t.icms_st},
                                                   {"ipi", t.ipi},
                                                   {"pis", t.pis},
                                                   {"cofins", t.cofins}};
  for (const auto& [name, value] : values) labels_[name]->setText(shown(value, kMoney));
  print_kind_->setCurrentIndex(c.resumido);
  purpose_->setCurrentIndex(c.finalidade == 2 ? 1 : 0);
  const int freight = freight_kind_->findData(c.tipo_frete);
  if (freight >= 0) freight_kind_->setCurrentIndex(freight);
}

void SaleWindow::show_status_bar() {
  const std::vector<std::string> panels = presenter_.barra_status(today(), clock_now());
  for (std::size_t i = 0; i < status_bar_.size() && i < panels.size(); ++i)
    status_bar_[i]->setText(to_qstring(panels[i]));
}

// Esc and the window's close button ask the presenter first.
void SaleWindow::reject() {
  if (closing_) {
    QDialog::reject();
    return;
  }
  key(TeclaVenda::Sair);
}

void SaleWindow::closeEvent(QCloseEvent* event) {
  if (closing_) {
    QDialog::closeEvent(event);
    return;
  }
  event->ignore();
  key(TeclaVenda::Sair);
}

// Enter accepts the field it is typed in, never the window.
void SaleWindow::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

// Shift+C, Shift+N and Shift+P in the product and quantity fields and on the
// list are the window's keys, not letters.
bool SaleWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const auto* press = static_cast<QKeyEvent*>(event);
    if (press->modifiers() == Qt::ShiftModifier) {
      const std::pair<int, TeclaVenda> keys[] = {
          {Qt::Key_C, TeclaVenda::ShiftC}, {Qt::Key_N, TeclaVenda::ShiftN}, {Qt::Key_P, TeclaVenda::ShiftP}};
      for (const auto& [k, tecla] : keys) {
        if (press->key() == k) {
          key(tecla);
          return true;
        }
      }
    }
  }
  return QDialog::eventFilter(watched, event);
}

void NOTA_PADRAO_NFCE(NotaPadraoNfcePresenter& presenter, QWidget* parent) {
  SaleWindow window(presenter, parent);
  window.open_window();
}

}  // namespace fvn::desktop
