#pragma once
// Dropping the first periods of a simulation, as "Omit Some Periods at the Start" does
// once the user has agreed (app/dialogs/omit_periods.h).

#include "sim/sim_record.h"

namespace yl {

// Drops periods 1..n (1 <= n < NumYears): the later periods move up with their lengths,
// cells and solution-method marks, and the rows left over are reset.
void DropFirstPeriods(TSimRecord& sim, int n);

}  // namespace yl
