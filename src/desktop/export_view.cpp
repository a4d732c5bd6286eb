#include "desktop/export_view.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTableWidget>
#include <QVBoxLayout>

#include "desktop/qt_host_ui.h"

namespace fvn::desktop {

namespace {

// "MM/AAAA" as the first day of that month; 0 when incomplete or invalid.
Date period_of(const QString& text) {
  const QStringList parts = text.split('/');
  if (parts.size() != 2) return 0;
  bool month_ok = false;
  bool year_ok = false;
  const int month = parts[0].toInt(&month_ok);
  const int year = parts[1].toInt(&year_ok);
  return month_ok && year_ok && parts[1].size() == 4 ? date_from_civil(year, month, 1) : 0;
}

QString period_text(Date period) {
  if (period == 0) return {};
  return QStringLiteral("%1/%2").arg(month_of(period), 2, 10, QChar('0')).arg(year_of(period), 4, 10, QChar('0'));
}

}  // namespace

ExportView::ExportView(SOLICITA_EXPORTACAO_XML& presenter, QWidget* parent)
    : QDialog(parent), presenter_(presenter), period_(new QLineEdit(this)), list_(new QTableWidget(0, 2, this)) {
  setWindowTitle(to_qstring(SOLICITA_EXPORTACAO_XML::kTitle));
  period_->setObjectName("periodo");
  period_->setInputMask("99/9999");
  auto* label = new QLabel(tr("&Período:"), this);
  label->setBuddy(period_);
  list_->setHorizontalHeaderLabels({tr("Período"), tr("Arquivo")});
  list_->setSelectionBehavior(QAbstractItemView::SelectRows);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list_->verticalHeader()->hide();
  list_->horizontalHeader()->setStretchLastSection(true);
  connect(list_, &QTableWidget::currentCellChanged, this,
          [this](int row) { presenter_.select(row < 0 ? 0 : static_cast<std::size_t>(row) + 1); });

  struct Button {
    const char* caption;
    Qt::Key key;
    int (SOLICITA_EXPORTACAO_XML::*action)();
  };
  const Button buttons[] = {{"F3 - &Exportar", Qt::Key_F3, &SOLICITA_EXPORTACAO_XML::Exportar},
                            {"F5 - &Atualizar", Qt::Key_F5, &SOLICITA_EXPORTACAO_XML::Atualizar},
                            {"F2 - &Download", Qt::Key_F2, &SOLICITA_EXPORTACAO_XML::Download}};
  auto* row = new QHBoxLayout;
  for (const Button& b : buttons) {
    auto* button = new QPushButton(QString::fromUtf8(b.caption), this);
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, [this, action = b.action] { run(action); });
    connect(new QShortcut(QKeySequence(b.key), this), &QShortcut::activated, button, &QPushButton::click);
    row->addWidget(button);
  }
  auto* leave = new QPushButton(tr("F12 - Sai&r"), this);
  leave->setAutoDefault(false);
  connect(leave, &QPushButton::clicked, this, &QDialog::reject);
  connect(new QShortcut(QKeySequence(Qt::Key_F12), this), &QShortcut::activated, this, &QDialog::reject);
  row->addWidget(leave);

  auto* top = new QHBoxLayout;
  top->addWidget(label);
  top->addWidget(period_);
  top->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(list_);
  layout->addLayout(row);
  resize(640, 360);
}

int ExportView::open_window() {
  presenter_.Abrir();
  show_list();
  return exec();
}

void ExportView::run(int (SOLICITA_EXPORTACAO_XML::*action)()) {
  presenter_.set_period(period_of(period_->text()));
  (presenter_.*action)();
  show_list();
}

void ExportView::show_list() {
  const auto& entries = presenter_.entries();
  list_->blockSignals(true);
  list_->setRowCount(static_cast<int>(entries.records()));
  ExportEntry entry;
  for (std::size_t position = 1; position <= entries.records(); ++position) {
    if (!entries.get(position, entry)) continue;
    const int r = static_cast<int>(position) - 1;
    list_->setItem(r, 0, new QTableWidgetItem(to_qstring(entry.period)));
    list_->setItem(r, 1, new QTableWidgetItem(to_qstring(entry.link)));
  }
  if (presenter_.selected() > 0) list_->selectRow(static_cast<int>(presenter_.selected()) - 1);
  list_->blockSignals(false);
  period_->setText(period_text(presenter_.period()));
  if (presenter_.take_period_focus()) {
    period_->setFocus();
    period_->setCursorPosition(0);
  } else {
    list_->setFocus();
  }
}

}  // namespace fvn::desktop
