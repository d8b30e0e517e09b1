#pragma once
// The results viewer's table: a Qt model over the core's ViewerTable, which reads the
// header's values in place, so even a large header shows without copying it into items.

#include <QAbstractTableModel>
#include <optional>

#include "app/viewer/viewer_table.h"

namespace yl {

class ViewerTableModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  explicit ViewerTableModel(QObject* parent = nullptr);
  void SetTable(std::optional<ViewerTable> table);
  const std::optional<ViewerTable>& table() const { return table_; }

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;

 private:
  std::optional<ViewerTable> table_;
};

}  // namespace yl
