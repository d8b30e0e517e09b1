#pragma once
// The when-run report (".dr2"): when each simulation, spreadsheet chain and closure
// preparation of each run was last completed, from the run records, with a
// "%% Needs to be rerun" line under every completed unit that was completed before a unit
// it depends on, or whose prerequisite was never completed. Lines come without line ends;
// an empty string is an empty line.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "records/file_stamp.h"
#include "records/run_checks.h"
#include "sim/sim_record.h"

namespace yl::reports {

using DateTextOf = std::function<std::string(std::uint64_t time100ns)>;

// `t` gives the runs in use, their first years and the closure-preparation run; the names
// of the simulations are those of `sim`. Dates are written by `date_text`.
std::vector<std::string> WhenRunReportLines(const records::RunRecords& records,
                                            const records::Timeline& t, const TSimRecord& sim,
                                            const DateTextOf& date_text = records::StampDateText);

}  // namespace yl::reports
