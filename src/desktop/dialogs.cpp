#include "desktop/dialogs.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScrollArea>
#include <QShortcut>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <vector>

#include "desktop/qt_host_ui.h"
#include "runtime/expression.h"

namespace fvn::desktop {

PickListDialog::PickListDialog(const PickListRequest& request, QWidget* parent)
    : QDialog(parent),
      search_(new QLineEdit(this)),
      table_(new QTableView(this)),
      model_(new QStandardItemModel(this)),
      filter_(new QSortFilterProxyModel(this)) {
  setWindowTitle(to_qstring(request.title));
  QStringList headings;
  for (const auto& column : request.columns) headings << to_qstring(column);
  model_->setHorizontalHeaderLabels(headings);
  fill(request.rows);
  filter_->setSourceModel(model_);
  filter_->setFilterKeyColumn(-1);
  filter_->setFilterCaseSensitivity(Qt::CaseInsensitive);
  table_->setModel(filter_);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->verticalHeader()->hide();
  table_->horizontalHeader()->setStretchLastSection(true);
  if (request.default_row >= 1 && request.default_row <= model_->rowCount()) {
    table_->setCurrentIndex(filter_->index(request.default_row - 1, 0));
  } else if (filter_->rowCount() > 0) {
    table_->setCurrentIndex(filter_->index(0, 0));
  }

  auto* label = new QLabel(tr("&Localizar:"), this);
  label->setBuddy(search_);
  auto* select = new QPushButton(tr("&Selecionar (F2)"), this);
  auto* leave = new QPushButton(tr("Sai&r (F12)"), this);
  select->setAutoDefault(false);
  leave->setAutoDefault(false);
  connect(select, &QPushButton::clicked, this, [this] { pick(); });
  connect(leave, &QPushButton::clicked, this, &QDialog::reject);
  connect(new QShortcut(QKeySequence(Qt::Key_F2), this), &QShortcut::activated, this, [this] { pick(); });
  connect(new QShortcut(QKeySequence(Qt::Key_F12), this), &QShortcut::activated, this, &QDialog::reject);
  connect(search_, &QLineEdit::textChanged, this, [this, search = request.search](const QString& text) {
    if (search) {
      fill(search(text.toStdString()));
    } else {
      filter_->setFilterFixedString(text);
    }
    if (filter_->rowCount() > 0) table_->setCurrentIndex(filter_->index(0, 0));
  });
  connect(table_, &QTableView::activated, this, [this] { pick(); });
  search_->installEventFilter(this);
  table_->installEventFilter(this);

  auto* top = new QHBoxLayout;
  top->addWidget(label);
  top->addWidget(search_);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(select);
  buttons->addWidget(leave);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(table_);
  layout->addLayout(buttons);
  resize(560, 360);
  search_->setFocus();
}

void PickListDialog::fill(const std::vector<std::vector<std::string>>& rows) {
  model_->removeRows(0, model_->rowCount());
  for (std::size_t r = 0; r < rows.size(); ++r) {
    QList<QStandardItem*> cells;
    for (const auto& cell : rows[r]) {
      auto* item = new QStandardItem(to_qstring(cell));
      item->setEditable(false);
      item->setData(static_cast<int>(r) + 1, Qt::UserRole);
      cells << item;
    }
    model_->appendRow(cells);
  }
}

bool PickListDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    switch (key->key()) {
      case Qt::Key_Return:
      case Qt::Key_Enter: pick(); return true;
      case Qt::Key_Up:
      case Qt::Key_Down:
      case Qt::Key_PageUp:
      case Qt::Key_PageDown:
        if (watched == search_) {
          QKeyEvent copy(key->type(), key->key(), key->modifiers());
          QCoreApplication::sendEvent(table_, &copy);
          return true;
        }
        break;
      default: break;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void PickListDialog::pick() {
  const QModelIndex current = table_->currentIndex();
  if (!current.isValid()) return;
  chosen_ = filter_->data(filter_->index(current.row(), 0), Qt::UserRole).toInt();
  accept();
}

OperationDialog::OperationDialog(const QString& title, OperationSteps& steps, QWidget* parent)
    : QDialog(parent),
      steps_(steps),
      lines_(new QListWidget(this)),
      progress_(new QProgressBar(this)),
      timer_(new QTimer(this)) {
  setWindowTitle(title);
  progress_->setRange(0, 100);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lines_);
  layout->addWidget(progress_);
  resize(520, 240);
  timer_->setInterval(10);
  connect(timer_, &QTimer::timeout, this, [this] { tick(); });
  timer_->start();
}

void OperationDialog::add_status(const QString& line) {
  lines_->addItem(line);
  lines_->setCurrentRow(lines_->count() - 1);
}

void OperationDialog::tick() {
  if (ended_) return;
  // A step that lets events run must not be entered again by the next tick.
  timer_->stop();
  const bool more = steps_.tick();
  progress_->setValue(steps_.progress());
  if (more) {
    timer_->start();
    return;
  }
  ended_ = true;
  QDialog::accept();
}

void OperationDialog::reject() {
  if (steps_.close_requested()) QDialog::reject();
}

void OperationDialog::closeEvent(QCloseEvent* event) {
  if (ended_ || steps_.close_requested()) {
    event->accept();
  } else {
    event->ignore();
  }
}

NumberDialog::NumberDialog(const NumberRequest& request, QWidget* parent)
    : QDialog(parent), entry_(new QLineEdit(this)) {
  setWindowTitle(to_qstring(request.title));
  const int decimals = std::max(request.decimals, 0);
  const QString fraction = decimals > 0 ? QStringLiteral("([.,]\\d{0,%1})?").arg(decimals) : QString();
  entry_->setValidator(new QRegularExpressionValidator(QRegularExpression("\\d{0,12}" + fraction), entry_));
  entry_->setText(QString::number(request.initial, 'f', decimals).replace('.', ','));
  entry_->selectAll();
  auto* group = new QGroupBox(to_qstring(request.group), this);
  auto* form = new QFormLayout(group);
  auto* prompt = new QLabel(to_qstring(request.prompt), group);
  prompt->setBuddy(entry_);
  form->addRow(prompt, entry_);

  std::vector<std::string> captions = button_captions(request.buttons);
  while (captions.size() < 2) captions.emplace_back(captions.empty() ? "&Ok" : "&Cancelar");
  auto* accept_button = new QPushButton(to_qstring(captions[0]), this);
  auto* cancel_button = new QPushButton(to_qstring(captions[1]), this);
  accept_button->setDefault(true);
  connect(accept_button, &QPushButton::clicked, this, &NumberDialog::take);
  connect(cancel_button, &QPushButton::clicked, this, &QDialog::reject);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(accept_button);
  buttons->addWidget(cancel_button);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(group);
  layout->addLayout(buttons);
  entry_->setFocus();
}

void NumberDialog::take() {
  QString typed = entry_->text().replace(',', '.');
  if (typed.startsWith('.')) typed.prepend('0');
  if (typed.endsWith('.')) typed.chop(1);
  const auto number = read_number(typed.toStdString());
  if (!number) {
    entry_->setFocus();
    entry_->selectAll();
    return;
  }
  value_ = *number;
  accept();
}

PreviewDialog::PreviewDialog(const QString& title, const QString& image, std::function<void()> print, QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(title);
  auto* picture = new QLabel(this);
  QPixmap pixmap(image);
  if (pixmap.isNull()) {
    picture->setText(tr("Não foi possível abrir a imagem %1.").arg(image));
  } else {
    picture->setPixmap(pixmap);
  }
  auto* area = new QScrollArea(this);
  area->setWidget(picture);
  area->setAlignment(Qt::AlignHCenter);
  auto* print_button = new QPushButton(tr("&Imprimir"), this);
  auto* close_button = new QPushButton(tr("&Fechar"), this);
  print_button->setEnabled(static_cast<bool>(print));
  connect(print_button, &QPushButton::clicked, this, [print = std::move(print)] {
    if (print) print();
  });
  connect(close_button, &QPushButton::clicked, this, &QDialog::reject);
  close_button->setDefault(true);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(print_button);
  buttons->addWidget(close_button);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(area);
  layout->addLayout(buttons);
  resize(pixmap.isNull() ? 400 : pixmap.width() + 60, 640);
}

QFormLayout* user_password_form(QWidget* parent, QLineEdit* user, QLineEdit* password) {
  user->setObjectName("usuario");
  password->setObjectName("senha");
  user->setMaxLength(40);
  password->setEchoMode(QLineEdit::Password);
  auto* form = new QFormLayout;
  auto* user_label = new QLabel(QObject::tr("&Usuário:"), parent);
  auto* password_label = new QLabel(QObject::tr("&Senha:"), parent);
  user_label->setBuddy(user);
  password_label->setBuddy(password);
  form->addRow(user_label, user);
  form->addRow(password_label, password);
  return form;
}

}  // namespace fvn::desktop
