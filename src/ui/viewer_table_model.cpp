#include "ui/viewer_table_model.h"

namespace yl {

ViewerTableModel::ViewerTableModel(QObject* parent) : QAbstractTableModel(parent) {}

void ViewerTableModel::SetTable(std::optional<ViewerTable> table) {
  beginResetModel();
  table_ = std::move(table);
  endResetModel();
}

int ViewerTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() || !table_ ? 0 : table_->rows();
}

int ViewerTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() || !table_ ? 0 : table_->columns();
}

QVariant ViewerTableModel::data(const QModelIndex& index, int role) const {
  if (!table_ || !index.isValid()) return {};
  if (role == Qt::DisplayRole) {
    return QString::fromStdString(table_->Text(index.row(), index.column()));
  }
  if (role == Qt::TextAlignmentRole) {
    // Numbers line up on their last digit; strings read from the left.
    const Qt::Alignment side = table_->kind() == CellKind::kText ? Qt::AlignLeft : Qt::AlignRight;
    return QVariant::fromValue(side | Qt::AlignVCenter);
  }
  return {};
}

QVariant ViewerTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (!table_ || role != Qt::DisplayRole)
    return QAbstractTableModel::headerData(section, orientation, role);
  return QString::fromStdString(orientation == Qt::Horizontal ? table_->ColumnLabel(section)
                                                              : table_->RowLabel(section));
}

}  // namespace yl
