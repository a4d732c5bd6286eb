#include "desktop/pending_view.h"

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

PendingNotesView::PendingNotesView(NFCE_EMITIDAS_CONTINGENCIA& presenter, QWidget* parent)
    : QDialog(parent), presenter_(presenter), locator_(new QLineEdit(this)), list_(new QTableWidget(this)) {
  setWindowTitle(to_qstring(NFCE_EMITIDAS_CONTINGENCIA::kTitle));
  locator_->setObjectName("localizar");
  auto* label = new QLabel(tr("&Localizar:"), this);
  label->setBuddy(locator_);
  QStringList headings;
  for (const auto& column : NFCE_EMITIDAS_CONTINGENCIA::columns()) headings << to_qstring(column);
  list_->setObjectName("notas");
  list_->setColumnCount(static_cast<int>(headings.size()));
  list_->setHorizontalHeaderLabels(headings);
  list_->setSelectionBehavior(QAbstractItemView::SelectRows);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list_->verticalHeader()->hide();
  list_->horizontalHeader()->setStretchLastSection(true);
  connect(locator_, &QLineEdit::textChanged, this, [this](const QString& text) { filter(text); });

  auto* row = new QHBoxLayout;
  const auto add_button = [&](const QString& caption, Qt::Key key, auto action) {
    auto* button = new QPushButton(caption, this);
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, action);
    connect(new QShortcut(QKeySequence(key), this), &QShortcut::activated, button, &QPushButton::click);
    row->addWidget(button);
  };
  add_button(tr("F2 - &Resolver Tudo"), Qt::Key_F2, [this] {
    if (presenter_.resolve_all() == 1) show_rows();
  });
  add_button(tr("F5 - &Ping"), Qt::Key_F5, [this] { presenter_.ping(); });
  add_button(tr("F12 - Sai&r"), Qt::Key_F12, [this] { reject(); });

  auto* top = new QHBoxLayout;
  top->addWidget(label);
  top->addWidget(locator_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(list_);
  layout->addLayout(row);
  resize(820, 380);
}

int PendingNotesView::open_window() {
  presenter_.refresh();
  show_rows();
  locator_->setFocus();
  return exec();
}

void PendingNotesView::show_rows() {
  const auto& rows = presenter_.rows();
  list_->setRowCount(static_cast<int>(rows.size()));
  for (std::size_t r = 0; r < rows.size(); ++r) {
    for (std::size_t c = 0; c < rows[r].size(); ++c) {
      list_->setItem(static_cast<int>(r), static_cast<int>(c), new QTableWidgetItem(to_qstring(rows[r][c])));
    }
  }
  list_->resizeColumnsToContents();
  filter(locator_->text());
}

void PendingNotesView::filter(const QString& text) {
  int first = -1;
  for (int r = 0; r < list_->rowCount(); ++r) {
    bool match = text.isEmpty();
    for (int c = 0; !match && c < list_->columnCount(); ++c) {
      const QTableWidgetItem* item = list_->item(r, c);
      match = item != nullptr && item->text().contains(text, Qt::CaseInsensitive);
    }
    list_->setRowHidden(r, !match);
    if (match && first < 0) first = r;
  }
  if (first >= 0) list_->selectRow(first);
}

}  // namespace fvn::desktop
