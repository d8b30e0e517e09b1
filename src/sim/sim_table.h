#pragma once
// Years of the periods and the closure/shock table kept consistent with them: completed
// names, existence in the working directory, the rows beyond the last period, and the
// texts the Closure/Shock page shows (headers, top line, pattern row, row labels).

#include <array>
#include <string>
#include <vector>

#include "sim/sim_record.h"

namespace yl {

// Years(-1) = FirstYear - 2, Years(0) = FirstYear - 1, Years(k) = FirstYear + sum of the
// lengths of periods 1..k - 1.
void RecomputeYears(TSimRecord& sim);

// CMFFullNames and CMFExists of rows -1..NumYears. Cells are upper case while files on disk
// may not be, so existence is looked up without regard to case.
void RecomputeCMFNames(TSimRecord& sim);

// Upper-cases rows -1..NumYears and the CMFStart extensions, then rebuilds the names.
void NormaliseCells(TSimRecord& sim);

// Rows above NumYears back to "?" in columns 1 to 3 and empty in column 4.
void ResetRowsAboveNumYears(TSimRecord& sim);

// "As previous": row k (> 1) of the column takes row k-1's value; nothing for k <= 1.
void CopyPreviousCell(TSimRecord& sim, int row, int column);

// The pattern name of a cell: the column's pattern run's simulation name + run letter +
// the row's year, cut to 9 characters (rows -1 and 0 use Years(-1) and Years(0)).
std::string CellPatternName(const TSimRecord& sim, int row, int column, bool no_rerun);
// "Follow pattern": the cell takes its pattern name.
void SetCellToPattern(TSimRecord& sim, int row, int column, bool no_rerun);

// The first policy period: the first period whose column-4 cell is not empty ("?" counts
// as not empty), or NumYears + 1 when there is none.
int FirstPolicyShockPeriod(const TSimRecord& sim);

// What a cell shows: "N/A", "common" for "?", "none" for empty, else its completed name.
std::string CellDisplayText(const TSimRecord& sim, int row, int column);

// The page's texts after a table set-up. Grid rows: 0 header, 1 pattern, 2 CMFStart,
// 3 Common, 3 + k period k.
struct TableView {
  std::array<std::string, 5> Headers;     // [0] "Part", [1..4] the column headers
  std::array<std::string, 5> PatternRow;  // [0] "Pattern", [1..4] e.g. "BS1BYYYY.CLS"
  std::string TopLine;                    // "All files here must be in directory: ..."
  std::vector<std::string> RowLabels;     // column 0 of every grid row (NumYears + 4)
};
TableView BuildTableView(const TSimRecord& sim, bool no_rerun);

}  // namespace yl
