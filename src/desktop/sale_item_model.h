// The sale screen's item list as a table model over the presenter's items.
// refresh() compares what each row shows with what it showed last and
// signals only the rows that changed (rows added at the end are inserted,
// rows gone are removed), so a key on a list of a thousand items repaints
// only what the key changed. Cells are formatted when the view asks for
// them, with the quantity and price pictures of the module's parameters;
// each row takes the background colour of its item record (cancelled items
// stay on the list in their own colour).
#pragma once

#include <QAbstractTableModel>
#include <array>
#include <string>
#include <vector>

#include "screens/nota_padrao_nfce.h"

namespace fvn::desktop {

class SaleItemModel final : public QAbstractTableModel {
 public:
  SaleItemModel(const NotaPadraoNfcePresenter& presenter, QObject* parent = nullptr);

  [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
  [[nodiscard]] int columnCount(const QModelIndex& parent = {}) const override;
  [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
  [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // Brings the rows in line with the presenter's items; the number of rows
  // whose content changed (inserted and removed rows not counted).
  int refresh();

 private:
  // What one row shows, to tell a changed row from an unchanged one.
  struct Linha {
    std::array<double, 17> valores{};
    std::int32_t cancelado = 0;
    std::int32_t cor = 0;
    std::string codigo;
    std::string descricao;
    std::string cst;
  };
  [[nodiscard]] std::array<double, 17> valores(const sale::QUEUE_ITEM& item) const;
  [[nodiscard]] const std::string& cst(const sale::QUEUE_ITEM& item) const;
  [[nodiscard]] Linha linha(const sale::QUEUE_ITEM& item) const;
  // The row still shows `item` as it is.
  [[nodiscard]] bool mostra(const Linha& linha, const sale::QUEUE_ITEM& item) const;

  const NotaPadraoNfcePresenter& presenter_;
  std::string picture_quantidade_;
  std::string picture_preco_;
  std::vector<Linha> linhas_;
};

}  // namespace fvn::desktop
