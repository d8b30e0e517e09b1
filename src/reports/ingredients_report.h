#pragma once
// The ingredients report (".dr1"): every file and setting a set of simulations is made
// from: the model's files, the first-year data, the Sim Overview settings, and the
// closure, shock and CMFSTART files with every file they name. Lines come without line
// ends; an empty string is an empty line.

#include <string>
#include <vector>

#include "settings/options.h"
#include "sim/sim_record.h"

namespace yl::reports {

// The closure/shock files of the runs and their constituents, as file names in the
// working directory, sorted without regard to case and without duplicates.
struct ClosureShockFiles {
  std::vector<std::string> all;
  std::vector<std::string> base;
  std::vector<std::string> policy;  // the Rerun's and the Policy's
};

// The files of the cells the runs use (the CMFSTART files, the Common row, and the
// periods each run simulates: the Base from 1, the others from policy_start) and every
// file each of them names.
ClosureShockFiles CollectClosureShockFiles(const TSimRecord& sim, bool no_rerun, int policy_start);

// A constituent that is not in the working directory is marked with this after its name,
// so the report never passes a missing ingredient off as present.
inline constexpr char kMissingMark[] = "   (does not exist)";

std::vector<std::string> IngredientsReportLines(const TSimRecord& sim, const SessionSettings& s,
                                                int policy_start);

}  // namespace yl::reports
