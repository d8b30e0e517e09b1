#pragma once
// What the results viewer shows of one header (or one variable of a results table): its
// dimensions, and any two of them as a table of rows and columns with every other
// dimension fixed at one element. The table reads the header's values in place, so a
// slice of a large array costs no copy.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/status.h"
#include "harfile/har_file.h"

namespace yl {

// One dimension: a set's name and elements, or just a size (elements numbered from 1).
struct ViewerDim {
  std::string name;  // the set's name; "" when the file names none
  std::int32_t size = 1;
  std::vector<std::string> elements;  // one per index, or empty: labelled "1".."size"
  std::string Label(std::int32_t index) const;
  std::string Title() const;  // the name, or the size when there is no name
};

enum class CellKind { kReal, kInteger, kText };

// The values of one header (or results variable), first index fastest. One container
// is used: the header's own array is kept as read rather than widened to doubles.
struct ViewerCells {
  CellKind kind = CellKind::kReal;
  RealArray reals;                 // "RE" headers
  std::vector<double> numbers;     // results variables (kReal, reals not allocated)
  std::vector<std::int32_t> ints;  // "2I" headers
  std::vector<std::string> texts;  // "1C" headers
  std::int64_t Count() const;
  double Number(std::int64_t i) const;  // texts are 0
};

// A header as listed: enough to choose it and to set up the slicing controls.
struct ViewerEntry {
  std::string name;
  std::string description;
  std::string type;  // "RE", "1C", "2I", or "p"/"c" for a results variable
  std::vector<ViewerDim> dims;
  std::int64_t Count() const;     // number of cells
  std::string DimsText() const;   // "SECT*YEAR"; "" for a single value
  std::string SizesText() const;  // "3*10"
};

// Which dimensions are rows and columns; fixed[d] is the index shown of every other
// dimension d. col_dim -1: one column (an entry with a single dimension).
struct ViewerSlice {
  int row_dim = 0;
  int col_dim = -1;
  std::vector<std::int32_t> fixed;
  bool operator==(const ViewerSlice&) const = default;
};

// Rows over the first dimension, columns over the second, the others at their first element.
ViewerSlice DefaultSlice(const ViewerEntry& entry);
// Rows (or columns) over dimension dim; when the other axis was on dim, the two swap.
ViewerSlice SliceWithRows(const ViewerSlice& slice, int dim);
ViewerSlice SliceWithColumns(const ViewerSlice& slice, int dim);
// "" when the slice fits the entry, else why not.
std::string CheckSlice(const ViewerEntry& entry, const ViewerSlice& slice);

// A two-dimensional view of an entry's cells.
class ViewerTable {
 public:
  // Fails with the reason when the slice does not fit (see CheckSlice) or the cells are
  // not as many as the dimensions say.
  static Result<ViewerTable> Make(const ViewerEntry& entry,
                                  std::shared_ptr<const ViewerCells> cells,
                                  const ViewerSlice& slice);

  CellKind kind() const { return cells_->kind; }
  std::int32_t rows() const { return rows_.size; }
  std::int32_t columns() const { return cols_.size; }
  std::string RowLabel(std::int32_t r) const { return rows_.Label(r); }
  std::string ColumnLabel(std::int32_t c) const { return cols_.Label(c); }
  const std::string& row_title() const { return row_title_; }
  const std::string& column_title() const { return column_title_; }
  // The cell as a number (texts are 0).
  double Number(std::int32_t r, std::int32_t c) const;
  // The cell as shown: reals with seven significant digits as a single-precision value
  // holds them, locale-free.
  std::string Text(std::int32_t r, std::int32_t c) const;

 private:
  std::int64_t Offset(std::int32_t r, std::int32_t c) const {
    return base_ + r * row_stride_ + c * col_stride_;
  }
  std::shared_ptr<const ViewerCells> cells_;
  ViewerDim rows_;
  ViewerDim cols_;
  std::string row_title_;
  std::string column_title_;
  std::int64_t base_ = 0;
  std::int64_t row_stride_ = 0;
  std::int64_t col_stride_ = 0;
};

// Formats a value the way the table shows it.
std::string ViewerNumberText(double value);

}  // namespace yl
