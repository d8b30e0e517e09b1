#pragma once
// "yearloom accuracy": the grid of the Accuracy Summaries command as text, for people who
// script their runs. It reads the settings, the Sim Details and the solves' logs and
// changes no file.

#include <ostream>
#include <string>

#include "app/check_mode.h"
#include "app/commands/accuracy_command.h"

namespace yl {

struct AccuracyRequest {
  std::string sim_details;  // a ".ds1" (relative to current_dir); "" the last session
};

inline constexpr int kAccuracyShown = 0;
inline constexpr int kAccuracyError = 2;

// The grid as two tables, variables then data: a row per run, a column per year, "-" for
// a solve without a summary, blank before the run's first year, "V"/"D" after the worst.
void PrintAccuracyGrid(std::ostream& out, const AccGrid& grid);

// The command's messages go to env.err; the grid to env.out.
int RunAccuracyMode(const AccuracyRequest& request, const CheckEnvironment& env);

}  // namespace yl
