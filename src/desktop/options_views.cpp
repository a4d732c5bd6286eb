#include "desktop/options_views.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTableView>
#include <QVBoxLayout>

#include "desktop/payment_views.h"
#include "desktop/qt_host_ui.h"
#include "runtime/picture.h"
#include "runtime/text.h"
#include "screens/pagamento_comum.h"

namespace fvn::desktop {

namespace {

// The function key a caption starts with: "F10-Carrega Pedido" -> F10.
QKeySequence tecla_da_legenda(std::string_view legenda) {
  const auto traco = legenda.find('-');
  return QKeySequence::fromString(to_qstring(legenda.substr(0, traco)), QKeySequence::PortableText);
}

// A button answering the function key its caption starts with.
QPushButton* botao_com_tecla(QWidget* janela, std::string_view legenda) {
  auto* b = new QPushButton(to_qstring(legenda), janela);
  b->setAutoDefault(false);
  QObject::connect(new QShortcut(tecla_da_legenda(legenda), janela), &QShortcut::activated, b, [b] {
    if (b->isEnabled()) b->click();
  });
  return b;
}

// A row of buttons answering their function keys, right-aligned.
QHBoxLayout* linha_de_botoes(QWidget* janela,
                             std::initializer_list<std::pair<std::string_view, std::function<void()>>> botoes) {
  auto* linha = new QHBoxLayout;
  linha->addStretch();
  for (const auto& [legenda, acao] : botoes) {
    QPushButton* b = botao_com_tecla(janela, legenda);
    QObject::connect(b, &QPushButton::clicked, janela, acao);
    linha->addWidget(b);
  }
  return linha;
}

QLineEdit* campo_filtro(QWidget* parent, const char* name, const QString& texto) {
  auto* edit = new QLineEdit(texto, parent);
  edit->setObjectName(name);
  return edit;
}

QString data_texto(Date data) { return data == 0 ? QString() : to_qstring(format_picture(data, "@d06")); }
QString codigo_texto(std::int32_t codigo) { return codigo == 0 ? QString() : QString::number(codigo); }
QString quantidade_texto(double q) { return to_qstring(text::trim(format_picture(q, "@n14`4"))); }

}  // namespace

// ---- OPCOES_NOTA ----

OpcoesNotaView::OpcoesNotaView(OPCOES_NOTA& presenter, QWidget* parent) : QDialog(parent), presenter_(presenter) {
  setWindowTitle(to_qstring(OPCOES_NOTA::kTitulo));
  setObjectName("opcoes_nota");
  auto* layout = new QVBoxLayout(this);
  for (std::size_t i = 0; i < botoes_.size(); ++i) {
    const OPCOES_NOTA::Botao botao = OPCOES_NOTA::kBotoes[i];
    QPushButton* b = botao_com_tecla(this, OPCOES_NOTA::legenda(botao));
    b->setObjectName(QStringLiteral("opcao_%1").arg(i + 1));
    b->setEnabled(presenter_.habilitado(botao));
    connect(b, &QPushButton::clicked, this, [this, botao] { pressiona(botao); });
    layout->addWidget(b);
    botoes_[i] = b;
  }
  setMinimumWidth(320);
  botoes_.back()->setFocus();
}

void OpcoesNotaView::pressiona(OPCOES_NOTA::Botao botao) {
  if (presenter_.pressiona(botao)) {
    QDialog::accept();
    return;
  }
  for (std::size_t i = 0; i < botoes_.size(); ++i) {
    if (OPCOES_NOTA::kBotoes[i] == presenter_.foco()) botoes_[i]->setFocus();
  }
}

void OpcoesNotaView::reject() {
  presenter_.pressiona(OPCOES_NOTA::Botao::Fechar);
  QDialog::reject();
}

int opcoes_nota_dialog(OPCOES_NOTA& presenter, QWidget* parent) {
  OpcoesNotaView view(presenter, parent);
  view.exec();
  return 1;
}

// ---- COMISSOES ----

ComissoesView::ComissoesView(COMISSOES& presenter, QWidget* parent) : QDialog(parent), presenter_(presenter) {
  setWindowTitle(to_qstring(COMISSOES::kTitulo));
  setObjectName("comissoes");
  auto* form = new QFormLayout;
  for (int n = 1; n <= COMISSOES::kCampos; ++n) {
    auto* campo = new QLineEdit(this);
    campo->setObjectName(QStringLiteral("comissao_%1").arg(n));
    campo->setAlignment(Qt::AlignRight);
    campo->setText(to_qstring(mostra_valor(presenter_.valor(n))));
    connect(campo, &QLineEdit::editingFinished, this, [this, n] { aplica(n); });
    connect(campo, &QLineEdit::returnPressed, this, [this] { focusNextChild(); });
    form->addRow(to_qstring(COMISSOES::rotulo(n)), campo);
    campos_[static_cast<std::size_t>(n - 1)] = campo;
  }
  auto* botoes = new QHBoxLayout;
  botoes->addStretch();
  QPushButton* continuar = botao_com_tecla(this, "F5-Continuar");
  QPushButton* voltar = botao_com_tecla(this, "F12-Voltar");
  connect(continuar, &QPushButton::clicked, this, [this] {
    aplica_todos();
    QDialog::accept();
  });
  connect(voltar, &QPushButton::clicked, this, [this] { reject(); });
  botoes->addWidget(continuar);
  botoes->addWidget(voltar);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addLayout(botoes);
  campos_.front()->setFocus();
  campos_.front()->selectAll();
}

void ComissoesView::aplica(int n) {
  QLineEdit* campo = campos_[static_cast<std::size_t>(n - 1)];
  const std::optional<double> valor = le_valor(campo->text().toStdString());
  if (valor) presenter_.set_valor(n, *valor);
  campo->setText(to_qstring(mostra_valor(presenter_.valor(n))));
}

void ComissoesView::aplica_todos() {
  for (int n = 1; n <= COMISSOES::kCampos; ++n) aplica(n);
}

// F12-Voltar keeps what was typed, as F5 does.
void ComissoesView::reject() {
  aplica_todos();
  QDialog::reject();
}

int comissoes_dialog(COMISSOES& presenter, QWidget* parent) {
  ComissoesView view(presenter, parent);
  view.exec();
  return 1;
}

// ---- CONSULTA_VENDAS_FUTURAS ----

ConsultaVendasFuturasView::ConsultaVendasFuturasView(CONSULTA_VENDAS_FUTURAS& presenter, QWidget* parent)
    : QDialog(parent),
      presenter_(presenter),
      de_(campo_filtro(this, "emissao_de", data_texto(presenter.filtros().de))),
      ate_(campo_filtro(this, "emissao_ate", data_texto(presenter.filtros().ate))),
      cliente_(campo_filtro(this, "cliente", codigo_texto(presenter.filtros().cliente))),
      emissor_(campo_filtro(this, "emissor", codigo_texto(presenter.filtros().emissor))),
      modelo_(nullptr),
      lista_(nullptr) {
  setWindowTitle(to_qstring(CONSULTA_VENDAS_FUTURAS::kTitulo));
  setObjectName("consulta_vendas_futuras");
  QStringList colunas;
  for (const std::string& c : CONSULTA_VENDAS_FUTURAS::colunas()) colunas << to_qstring(c);
  modelo_ = new LinhasModel(colunas, this);
  lista_ = tabela(this, "vendas", modelo_);
  cliente_->setPlaceholderText(tr("Todos"));
  emissor_->setPlaceholderText(tr("Todos"));
  auto* filtros = new QFormLayout;
  filtros->addRow(tr("Emissão de:"), de_);
  filtros->addRow(tr("até:"), ate_);
  filtros->addRow(tr("Cliente:"), cliente_);
  filtros->addRow(tr("Emissor:"), emissor_);
  for (QLineEdit* campo : {de_, ate_, cliente_, emissor_}) {
    connect(campo, &QLineEdit::returnPressed, this, [this] {
      filtra();
      focusNextChild();
    });
  }
  connect(lista_, &QTableView::activated, this, [this] { seleciona(); });
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(filtros);
  layout->addWidget(lista_);
  layout->addLayout(
      linha_de_botoes(this, {{"F2-Selecionar", [this] { seleciona(); }}, {"F12-Cancelar", [this] { reject(); }}}));
  resize(900, 480);
  recarrega();
  lista_->setFocus();
}

void ConsultaVendasFuturasView::recarrega() {
  modelo_->set_rows(presenter_.linhas());
  mantem_linha(lista_, 0);
}

void ConsultaVendasFuturasView::filtra() {
  FiltroVendasFuturas f;
  const auto de = le_data(de_->text().toStdString());
  const auto ate = le_data(ate_->text().toStdString());
  const auto cliente = le_inteiro(cliente_->text().toStdString());
  const auto emissor = le_inteiro(emissor_->text().toStdString());
  if (de && ate && cliente && emissor) {
    f = {*de, *ate, *cliente, *emissor};
    if (presenter_.filtro(f) == 1) recarrega();
  }
  // What the list holds is what the fields show.
  de_->setText(data_texto(presenter_.filtros().de));
  ate_->setText(data_texto(presenter_.filtros().ate));
  cliente_->setText(codigo_texto(presenter_.filtros().cliente));
  emissor_->setText(codigo_texto(presenter_.filtros().emissor));
}

void ConsultaVendasFuturasView::seleciona() {
  if (presenter_.seleciona(linha_atual(lista_)) == 1) accept();
}

// ---- SELECIONA_ITENS_VENDA_FUTURA ----

SelecionaItensVendaFuturaView::SelecionaItensVendaFuturaView(SELECIONA_ITENS_VENDA_FUTURA& presenter, AlteraQtde altera,
                                                             QWidget* parent)
    : QDialog(parent),
      presenter_(presenter),
      altera_(std::move(altera)),
      modelo_(nullptr),
      lista_(nullptr),
      total_itens_(new QLabel(this)),
      valor_total_(new QLabel(this)) {
  setWindowTitle(to_qstring(SELECIONA_ITENS_VENDA_FUTURA::kTitulo));
  setObjectName("seleciona_itens_venda_futura");
  QStringList colunas;
  for (const std::string& c : SELECIONA_ITENS_VENDA_FUTURA::colunas()) colunas << to_qstring(c);
  modelo_ = new LinhasModel(colunas, this);
  lista_ = tabela(this, "itens", modelo_);
  total_itens_->setObjectName("total_itens");
  valor_total_->setObjectName("valor_total_itens");
  const auto na_linha = [this](auto acao) {
    return [this, acao] {
      const int linha = linha_atual(lista_);
      if (linha > 0) acao(linha);
      recarrega();
      mantem_linha(lista_, linha - 1);
    };
  };
  auto* totais = new QFormLayout;
  totais->addRow(tr("Total de itens:"), total_itens_);
  totais->addRow(tr("Valor total dos itens:"), valor_total_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lista_);
  layout->addLayout(totais);
  layout->addLayout(
      linha_de_botoes(this, {{"F9 - Alterar Qtde.", na_linha([this](int linha) {
                                const ItemEntrega& item = presenter_.itens().itens[static_cast<std::size_t>(linha - 1)];
                                if (item.marcado && altera_) altera_(item.linha);
                              })},
                             {"F3 - &Marcar", na_linha([this](int linha) { presenter_.marca(linha); })},
                             {"F4 - &Desmarcar", na_linha([this](int linha) { presenter_.desmarca(linha); })},
                             {"F7 - Marcar &Todos", na_linha([this](int) { presenter_.marca_todos(); })},
                             {"F8 - De&smarcar Todos", na_linha([this](int) { presenter_.desmarca_todos(); })},
                             {"F2-Confirmar",
                              [this] {
                                if (presenter_.confirma() != 0) accept();
                              }},
                             {"F12-Cancelar", [this] { reject(); }}}));
  resize(900, 420);
  recarrega();
  mantem_linha(lista_, 0);
  lista_->setFocus();
}

void SelecionaItensVendaFuturaView::recarrega() {
  modelo_->set_rows(presenter_.linhas());
  total_itens_->setText(QString::number(presenter_.total_itens()));
  valor_total_->setText(to_qstring(mostra_valor(presenter_.valor_total_itens())));
}

// ---- ALTERA_QTDE_ITEM ----

AlteraQtdeItemView::AlteraQtdeItemView(ALTERA_QTDE_ITEM& presenter, QWidget* parent)
    : QDialog(parent), presenter_(presenter), entrega_(new QLineEdit(this)) {
  setWindowTitle(tr("Alterar Quantidade"));
  setObjectName("altera_qtde_item");
  entrega_->setObjectName("qtde_entrega");
  entrega_->setAlignment(Qt::AlignRight);
  entrega_->setText(quantidade_texto(presenter_.qtde_entrega()));
  const auto somente_leitura = [this](const QString& texto) {
    auto* edit = new QLineEdit(texto, this);
    edit->setReadOnly(true);
    edit->setFocusPolicy(Qt::NoFocus);
    return edit;
  };
  auto* form = new QFormLayout;
  form->addRow(tr("Código:"), somente_leitura(QString::number(presenter_.codigo())));
  form->addRow(tr("Descrição:"), somente_leitura(to_qstring(presenter_.descricao())));
  form->addRow(tr("Qtde. Nota:"), somente_leitura(quantidade_texto(presenter_.qtde_nota())));
  form->addRow(tr("Qtde. Entrega:"), entrega_);
  connect(entrega_, &QLineEdit::returnPressed, this, [this] { aceita(); });
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addLayout(linha_de_botoes(this, {{"F5-Salvar",
                                            [this] {
                                              if (aceita() && presenter_.salva() == 1) {
                                                accept();
                                              } else {
                                                entrega_->setFocus();
                                                entrega_->selectAll();
                                              }
                                            }},
                                           {"F12-Cancelar", [this] { reject(); }}}));
  entrega_->setFocus();
  entrega_->selectAll();
}

bool AlteraQtdeItemView::aceita() {
  const std::optional<double> q = le_valor(entrega_->text().toStdString());
  const bool aceito = q && presenter_.qtde_entrega(*q) == 1;
  entrega_->setText(quantidade_texto(presenter_.qtde_entrega()));
  return aceito;
}

int consulta_vendas_futuras_dialog(CONSULTA_VENDAS_FUTURAS& presenter, QWidget* parent) {
  ConsultaVendasFuturasView view(presenter, parent);
  return view.exec() == QDialog::Accepted ? 1 : 0;
}

int seleciona_itens_venda_futura_dialog(SELECIONA_ITENS_VENDA_FUTURA& presenter,
                                        SelecionaItensVendaFuturaView::AlteraQtde altera, QWidget* parent) {
  if (presenter.abre() != 1) return 0;
  SelecionaItensVendaFuturaView view(presenter, std::move(altera), parent);
  return view.exec() == QDialog::Accepted ? 1 : 0;
}

int altera_qtde_item_dialog(ALTERA_QTDE_ITEM& presenter, QWidget* parent) {
  if (presenter.abre() != 1) return 0;
  AlteraQtdeItemView view(presenter, parent);
  return view.exec() == QDialog::Accepted ? 1 : 0;
}

}  // namespace fvn::desktop
