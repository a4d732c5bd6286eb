// Rows of texts under headings in a read-only list: the model and the view
// helpers of the lists of the sale's dialogs (payment and options).
#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <string>
#include <vector>

class QTableView;
class QWidget;

namespace fvn::desktop {

// Rows of texts under headings: the model of every list of these dialogs.
class LinhasModel final : public QAbstractTableModel {
 public:
  LinhasModel(QStringList headings, QObject* parent);
  void set_rows(std::vector<std::vector<std::string>> rows);

  [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
  [[nodiscard]] int columnCount(const QModelIndex& parent = {}) const override;
  [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
  [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  QStringList headings_;
  std::vector<std::vector<std::string>> rows_;
};

// A read-only list over `modelo`, one whole row selected at a time.
QTableView* tabela(QWidget* parent, const char* name, LinhasModel* modelo);
// Keeps a current row in range after the rows changed (`linha` 0-based).
void mantem_linha(QTableView* lista, int linha);
// The current row, 1-based; 0 for none.
int linha_atual(QTableView* lista);

}  // namespace fvn::desktop
