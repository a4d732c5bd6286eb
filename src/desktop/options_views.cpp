#include "desktop/options_views.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

#include "desktop/qt_host_ui.h"
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

}  // namespace fvn::desktop
