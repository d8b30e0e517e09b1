#include "ui/viewer_slice_bar.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSpinBox>

namespace yl {

namespace {

// Longer sets are chosen by number: a combo box of that many names is slow to open.
constexpr std::int32_t kMaxComboElements = 5000;

QString Qs(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

ViewerSliceBar::ViewerSliceBar(QWidget* parent) : QWidget(parent) {
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  rows_label_ = new QLabel("Rows:", this);
  rows_ = new QComboBox(this);
  columns_label_ = new QLabel("Columns:", this);
  columns_ = new QComboBox(this);
  rows_label_->setBuddy(rows_);
  columns_label_->setBuddy(columns_);
  fixed_area_ = new QWidget(this);
  auto* fixed_layout = new QHBoxLayout(fixed_area_);
  fixed_layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(rows_label_);
  layout->addWidget(rows_);
  layout->addSpacing(12);
  layout->addWidget(columns_label_);
  layout->addWidget(columns_);
  layout->addSpacing(12);
  layout->addWidget(fixed_area_);
  layout->addStretch(1);
  connect(rows_, &QComboBox::activated, this, &ViewerSliceBar::RowsChosen);
  connect(columns_, &QComboBox::activated, this, &ViewerSliceBar::ColumnsChosen);
}

void ViewerSliceBar::SetEntry(const ViewerEntry& entry, const ViewerSlice& slice) {
  entry_ = entry;
  slice_ = slice;
  for (QWidget* w : fixed_groups_) delete w;
  fixed_groups_.clear();
  choosers_.clear();
  const QSignalBlocker block_rows(rows_), block_columns(columns_);
  rows_->clear();
  columns_->clear();
  for (std::size_t d = 0; d < entry.dims.size(); ++d) {
    const ViewerDim& dim = entry.dims[d];
    const QString title = Qs(dim.Title());
    rows_->addItem(title);
    columns_->addItem(title);

    auto* group = new QWidget(fixed_area_);
    auto* g = new QHBoxLayout(group);
    g->setContentsMargins(0, 0, 8, 0);
    auto* label = new QLabel(title + ":", group);
    g->addWidget(label);
    const int dim_no = static_cast<int>(d);
    if (dim.size <= kMaxComboElements) {
      auto* box = new QComboBox(group);
      for (std::int32_t i = 0; i < dim.size; ++i) box->addItem(Qs(dim.Label(i)));
      connect(box, &QComboBox::activated, this,
              [this, dim_no](int index) { ElementChosen(dim_no, index); });
      choosers_.push_back(box);
    } else {
      auto* spin = new QSpinBox(group);
      spin->setRange(1, dim.size);
      connect(spin, &QSpinBox::valueChanged, this, [this, dim_no](int value) {
        if (!updating_) ElementChosen(dim_no, value - 1);
      });
      choosers_.push_back(spin);
    }
    label->setBuddy(choosers_.back());
    g->addWidget(choosers_.back());
    fixed_area_->layout()->addWidget(group);
    fixed_groups_.push_back(group);
  }
  ShowSlice();
}

QWidget* ViewerSliceBar::element_chooser(int dim) const {
  if (dim < 0 || dim >= static_cast<int>(choosers_.size())) return nullptr;
  if (dim == slice_.row_dim || dim == slice_.col_dim) return nullptr;
  return choosers_[dim];
}

void ViewerSliceBar::ShowSlice() {
  updating_ = true;
  // With one dimension there is nothing to choose; with two only which way round.
  const bool two = entry_.dims.size() >= 2;
  rows_label_->setVisible(two);
  rows_->setVisible(two);
  columns_label_->setVisible(two);
  columns_->setVisible(two);
  rows_->setCurrentIndex(slice_.row_dim);
  columns_->setCurrentIndex(slice_.col_dim);
  for (std::size_t d = 0; d < choosers_.size(); ++d) {
    const int dim = static_cast<int>(d);
    fixed_groups_[d]->setVisible(dim != slice_.row_dim && dim != slice_.col_dim);
    const int index = d < slice_.fixed.size() ? slice_.fixed[d] : 0;
    if (auto* box = qobject_cast<QComboBox*>(choosers_[d])) box->setCurrentIndex(index);
    if (auto* spin = qobject_cast<QSpinBox*>(choosers_[d])) spin->setValue(index + 1);
  }
  updating_ = false;
}

void ViewerSliceBar::RowsChosen(int dim) {
  slice_ = SliceWithRows(slice_, dim);
  ShowSlice();
  Q_EMIT SliceChanged();
}

void ViewerSliceBar::ColumnsChosen(int dim) {
  slice_ = SliceWithColumns(slice_, dim);
  ShowSlice();
  Q_EMIT SliceChanged();
}

void ViewerSliceBar::ElementChosen(int dim, int index) {
  if (dim >= static_cast<int>(slice_.fixed.size())) return;
  slice_.fixed[dim] = index;
  Q_EMIT SliceChanged();
}

}  // namespace yl
