#pragma once
// Checks of the closure/shock table as a whole: "Check &Files Named Here" on one cell,
// and the check that runs before any run (every file of the periods to simulate exists,
// names only files that exist, and holds only the statements its column allows).

#include <array>

#include "app/pages/closure_table.h"
#include "core/prompter.h"
#include "sim/sim_policy_start.h"
#include "sim/sim_record.h"

namespace yl {

// "Check &Files Named Here": the cell's own references ("All files named here exist."
// when they do, then the CMFStart files of the runs that use the column), then, outside
// the CMFStart row, the statement rules of the column. True when everything passed.
bool CheckFilesNamedHere(const TSimRecord& sim, CellRef cell, bool no_rerun, Prompter& prompter);

// One run's part of the table check: its periods and the columns checked (the Base
// columns 1 and 2, the Rerun 1 to 3, the Policy 1 to 4 at most).
struct RunTableCheck {
  bool Check = false;
  int FirstPeriod = 1;
  int LastPeriod = 0;  // limited to NumYears
  int FirstColumn = 1;
  int LastColumn = 4;  // limited to the run's own last column
};

struct TableCheckRequest {
  std::array<RunTableCheck, 4> Runs;  // [1] Base, [2] Rerun, [3] Policy; [0] unused
  bool Quiet = false;
  bool NoRerun = false;
  PolicyStartSettings PolicyStart;
};

// The last table column a run uses: 2, 3, 4.
int LastTableColumnOfRun(int run);

// Names and existence are recomputed first. Every run asked for is checked even after
// another failed; a run with nothing to do (no policy shocks) fails the check at once.
bool CheckTableBeforeRuns(TSimRecord& sim, const TableCheckRequest& request, Prompter& prompter);

}  // namespace yl
