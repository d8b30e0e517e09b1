#pragma once
// Fixed tables indexed from an arbitrary lower bound (rows -1..999, runs 1..3, ...), with
// every index checked: an index out of range is an internal error, never a stray write.

#include <array>
#include <cstddef>

#include "core/internal_error.h"

namespace yl {

template <class T, long Lo, long Hi>
class RangeArray {
 public:
  static constexpr long kLo = Lo;
  static constexpr long kHi = Hi;

  T& operator[](long i) {
    CheckIndex(i, Lo, Hi, "table");
    return items_[static_cast<std::size_t>(i - Lo)];
  }
  const T& operator[](long i) const {
    CheckIndex(i, Lo, Hi, "table");
    return items_[static_cast<std::size_t>(i - Lo)];
  }
  void Fill(const T& value) { items_.fill(value); }
  bool operator==(const RangeArray&) const = default;

 private:
  std::array<T, static_cast<std::size_t>(Hi - Lo + 1)> items_{};
};

template <class T, long RowLo, long RowHi, long ColLo, long ColHi>
class RangeTable {
 public:
  T& operator()(long row, long col) {
    CheckIndex(row, RowLo, RowHi, "table row");
    CheckIndex(col, ColLo, ColHi, "table column");
    return items_[Offset(row, col)];
  }
  const T& operator()(long row, long col) const {
    CheckIndex(row, RowLo, RowHi, "table row");
    CheckIndex(col, ColLo, ColHi, "table column");
    return items_[Offset(row, col)];
  }
  void Fill(const T& value) { items_.fill(value); }
  bool operator==(const RangeTable&) const = default;

 private:
  static constexpr std::size_t kCols = static_cast<std::size_t>(ColHi - ColLo + 1);
  static std::size_t Offset(long row, long col) {
    return static_cast<std::size_t>(row - RowLo) * kCols + static_cast<std::size_t>(col - ColLo);
  }
  std::array<T, static_cast<std::size_t>(RowHi - RowLo + 1) * kCols> items_{};
};

}  // namespace yl
