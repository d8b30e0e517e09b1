#pragma once
// The solution-information (".sli") text of a solution: identification, sets,
// variables with their closure status, and the per-variable status and type letters,
// laid out in the fixed columns that harfile/sol_info.h reads.

#include <string>

#include "core/status.h"
#include "toolfiles/solution_data.h"

namespace yl::toolfiles {

// The release numbers the file reports (our model program's).
inline constexpr int kSliSvVer = 110000;
inline constexpr int kSliPrVer = 1;

Result<std::string> FormatSolutionInfo(const ResultsData& solution);

}  // namespace yl::toolfiles
