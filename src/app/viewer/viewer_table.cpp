#include "app/viewer/viewer_table.h"

#include <utility>

#include "core/number_text.h"

namespace yl {

std::string ViewerDim::Label(std::int32_t index) const {
  if (index >= 0 && static_cast<std::size_t>(index) < elements.size()) return elements[index];
  return std::to_string(index + 1);
}

std::string ViewerDim::Title() const { return name.empty() ? std::to_string(size) : name; }

std::int64_t ViewerCells::Count() const {
  switch (kind) {
    case CellKind::kReal:
      return reals.allocated() ? reals.size() : static_cast<std::int64_t>(numbers.size());
    case CellKind::kInteger:
      return static_cast<std::int64_t>(ints.size());
    case CellKind::kText:
      return static_cast<std::int64_t>(texts.size());
  }
  return 0;
}

double ViewerCells::Number(std::int64_t i) const {
  switch (kind) {
    case CellKind::kReal:
      return reals.allocated() ? static_cast<double>(reals[i])
                               : numbers[static_cast<std::size_t>(i)];
    case CellKind::kInteger:
      return ints[static_cast<std::size_t>(i)];
    case CellKind::kText:
      return 0;
  }
  return 0;
}

std::int64_t ViewerEntry::Count() const {
  std::int64_t n = 1;
  for (const ViewerDim& d : dims) n *= d.size;
  return n;
}

std::string ViewerEntry::DimsText() const {
  std::string t;
  for (const ViewerDim& d : dims) {
    if (!t.empty()) t += '*';
    t += d.Title();
  }
  return t;
}

std::string ViewerEntry::SizesText() const {
  std::string t;
  for (const ViewerDim& d : dims) {
    if (!t.empty()) t += '*';
    t += std::to_string(d.size);
  }
  return t.empty() ? "1" : t;
}

ViewerSlice DefaultSlice(const ViewerEntry& entry) {
  ViewerSlice s;
  s.row_dim = 0;
  s.col_dim = entry.dims.size() >= 2 ? 1 : -1;
  s.fixed.assign(entry.dims.size(), 0);
  return s;
}

ViewerSlice SliceWithRows(const ViewerSlice& slice, int dim) {
  ViewerSlice s = slice;
  if (s.col_dim == dim) s.col_dim = s.row_dim;
  s.row_dim = dim;
  return s;
}

ViewerSlice SliceWithColumns(const ViewerSlice& slice, int dim) {
  ViewerSlice s = slice;
  if (s.row_dim == dim) s.row_dim = s.col_dim;
  s.col_dim = dim;
  return s;
}

std::string CheckSlice(const ViewerEntry& entry, const ViewerSlice& slice) {
  const int n = static_cast<int>(entry.dims.size());
  if (n == 0) return "The header has no dimensions";
  if (slice.row_dim < 0 || slice.row_dim >= n) return "There is no dimension for the rows";
  if (slice.col_dim < -1 || slice.col_dim >= n) return "There is no dimension for the columns";
  if (slice.col_dim == -1 && n > 1) return "Choose a dimension for the columns";
  if (slice.col_dim == slice.row_dim) return "Rows and columns need different dimensions";
  if (slice.fixed.size() != entry.dims.size()) return "Choose an element of every dimension";
  for (int d = 0; d < n; ++d) {
    if (d == slice.row_dim || d == slice.col_dim) continue;
    if (slice.fixed[d] < 0 || slice.fixed[d] >= entry.dims[d].size) {
      return "Element " + std::to_string(slice.fixed[d] + 1) + " is not in dimension " +
             entry.dims[d].Title();
    }
  }
  return "";
}

Result<ViewerTable> ViewerTable::Make(const ViewerEntry& entry,
                                      std::shared_ptr<const ViewerCells> cells,
                                      const ViewerSlice& slice) {
  if (std::string problem = CheckSlice(entry, slice); !problem.empty()) return Fail(problem);
  const std::int64_t held = cells->Count();
  if (held != entry.Count()) {
    return Fail("The header holds " + std::to_string(held) + " values where its dimensions say " +
                std::to_string(entry.Count()));
  }
  ViewerTable t;
  t.cells_ = std::move(cells);
  std::int64_t stride = 1;
  for (int d = 0; d < static_cast<int>(entry.dims.size()); ++d) {
    if (d == slice.row_dim) {
      t.row_stride_ = stride;
    } else if (d == slice.col_dim) {
      t.col_stride_ = stride;
    } else {
      t.base_ += slice.fixed[d] * stride;
    }
    stride *= entry.dims[d].size;
  }
  t.rows_ = entry.dims[slice.row_dim];
  t.row_title_ = t.rows_.Title();
  if (slice.col_dim >= 0) {
    t.cols_ = entry.dims[slice.col_dim];
    t.column_title_ = t.cols_.Title();
  } else {
    t.cols_ = ViewerDim{"", 1, {t.kind() == CellKind::kText ? "Text" : "Value"}};
  }
  return t;
}

double ViewerTable::Number(std::int32_t r, std::int32_t c) const {
  return cells_->Number(Offset(r, c));
}

std::string ViewerTable::Text(std::int32_t r, std::int32_t c) const {
  switch (cells_->kind) {
    case CellKind::kText:
      return cells_->texts[static_cast<std::size_t>(Offset(r, c))];
    case CellKind::kInteger:
      return std::to_string(cells_->ints[static_cast<std::size_t>(Offset(r, c))]);
    case CellKind::kReal:
      break;
  }
  return ViewerNumberText(Number(r, c));
}

std::string ViewerNumberText(double value) {
  if (value == 0) return "0";  // never "-0"
  return FormatReal(value, RealFormat::General(7));
}

}  // namespace yl
