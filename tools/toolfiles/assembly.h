#pragma once
// Joining per-year results: the year-on-year and cumulative tables of a run, the
// differences between two runs' tables, and the same for results files.

#include <string>
#include <vector>

#include "core/status.h"
#include "toolfiles/csv_table.h"
#include "toolfiles/results_math.h"
#include "toolfiles/solution_data.h"

namespace yl::toolfiles {

// Per-year tables (one column each, the same rows in the same order) side by side;
// cumulative when asked.
Result<ResultsTable> JoinYears(const std::vector<ResultsTable>& years,
                               const std::vector<std::string>& sources, bool cumulative,
                               ArithmeticGuard& guard);

// Two year-on-year tables; the result has the Policy's columns and rows, each found in
// the other table by heading and component. Cumulative differences compound both runs
// from the Policy's first column on.
Result<ResultsTable> DifferenceTable(const ResultsTable& other, const ResultsTable& policy,
                                     bool cumulative, ArithmeticGuard& guard);

// Per-year results files compounded over the years, in order.
Result<ResultsData> CumulateResults(const std::vector<ResultsData>& years,
                                    const std::vector<std::string>& paths, ArithmeticGuard& guard);
// Cumulative results of two runs: the Policy's deviation from the other run.
Result<ResultsData> DifferenceResults(const ResultsData& other, const ResultsData& policy,
                                      ArithmeticGuard& guard);

}  // namespace yl::toolfiles
