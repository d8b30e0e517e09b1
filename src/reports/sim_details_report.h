#pragma once
// The closure/shock layout of a simulation (the Sim Details report, ".dr0") and the
// differences between two simulations' closure/shock files (".DRC"). Lines come without
// line ends; an empty string is an empty line.

#include <string>
#include <vector>

#include "sim/sim_record.h"

namespace yl::reports {

// The Sim Details section: the simulation names (the Rerun's only when the Base Rerun is
// in use), the first and last years and one row per period with the four cells.
std::vector<std::string> SimDetailsSectionLines(const TSimRecord& sim, bool no_rerun);

// A simulation as the comparison sees it.
struct ComparedSim {
  const TSimRecord& sim;
  bool no_rerun = false;
};

// Both sections, then the differences: the cells of the first common periods compared
// column by column without regard to case, an empty cell written "none" in quotes.
std::vector<std::string> SimComparisonLines(const ComparedSim& first, const ComparedSim& second);

}  // namespace yl::reports
