#include "sim/sim_omit.h"

#include "core/internal_error.h"
#include "sim/sim_table.h"

namespace yl {

void DropFirstPeriods(TSimRecord& sim, int n) {
  CheckIndex(n, 1, sim.NumYears - 1, "periods to omit");
  // The first year moves by the omitted periods' total length, so every remaining period
  // keeps its year (and the cells and files named after it); with one-year periods this is
  // n.
  long long omitted_years = 0;
  for (int k = 1; k <= n; ++k) omitted_years += sim.LengthPeriods[k];
  sim.FirstYear = static_cast<int>(sim.FirstYear + omitted_years);
  for (int k = 1; k <= sim.NumYears - n; ++k) {
    sim.LengthPeriods[k] = sim.LengthPeriods[k + n];
    sim.AltMethodYears[k] = sim.AltMethodYears[k + n];
    for (int col = 1; col <= 4; ++col) sim.CMFCells(k, col) = sim.CMFCells(k + n, col);
  }
  sim.NumYears -= n;
  RecomputeYears(sim);
  ResetRowsAboveNumYears(sim);
  NormaliseCells(sim);
}

}  // namespace yl
