#include "desktop/linhas_model.h"

#include <QHeaderView>
#include <QTableView>
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "desktop/qt_host_ui.h"

namespace fvn::desktop {

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

}  // namespace fvn::desktop
