#pragma once
// The results viewer's slicing controls: which dimension runs down the rows and which
// across the columns, and the element shown of each other dimension.

#include <QWidget>
#include <vector>

#include "app/viewer/viewer_table.h"

class QComboBox;
class QLabel;
class QSpinBox;

namespace yl {

class ViewerSliceBar : public QWidget {
  Q_OBJECT
 public:
  explicit ViewerSliceBar(QWidget* parent = nullptr);
  // Makes the controls for the entry's dimensions, set to the slice.
  void SetEntry(const ViewerEntry& entry, const ViewerSlice& slice);
  const ViewerSlice& slice() const { return slice_; }

  QComboBox* rows_box() const { return rows_; }
  QComboBox* columns_box() const { return columns_; }
  // The element chooser of a dimension: a combo box, or a spin box for a very long set;
  // nullptr when the dimension is the rows or the columns.
  QWidget* element_chooser(int dim) const;

 Q_SIGNALS:
  void SliceChanged();

 private:
  void ShowSlice();
  void RowsChosen(int dim);
  void ColumnsChosen(int dim);
  void ElementChosen(int dim, int index);

  ViewerEntry entry_;
  ViewerSlice slice_;
  QLabel* rows_label_;
  QComboBox* rows_;
  QLabel* columns_label_;
  QComboBox* columns_;
  QWidget* fixed_area_;
  std::vector<QWidget*> fixed_groups_;  // label and chooser of each dimension
  std::vector<QWidget*> choosers_;
  bool updating_ = false;
};

}  // namespace yl
