#pragma once
// "&Accuracy Summaries" and the Results page's "Accurac&y": the accuracy rating of every
// solve of the runs shown, one row per run and one cell per year. The grid window draws
// the result and "yearloom accuracy" prints it; a cell opens the detail of its solve.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "accuracy/acc_summary.h"
#include "core/prompter.h"
#include "settings/options.h"
#include "sim/sim_record.h"

namespace yl {

inline constexpr int kHelpAccuracySummaries = 7138;

struct AccGridCell {
  int period = 0;        // 1..NumYears
  int year = 0;          // calendar year
  bool in_run = false;   // from the run's first year on; earlier cells stay empty
  std::string log_path;  // the solve's log, read again for the detail
  std::array<bool, kNumAccKinds> present{};  // by AccKind; "N/A" when in the run but absent
  std::array<PlacesSummary, kNumAccKinds> of{};
  std::array<bool, kNumAccKinds> worst{};  // "V" (variables) and "D" (data) of the row
};

struct AccGridRow {
  int run = kBase;
  std::string name;                // "Base", "Rerun" or "Policy"
  int first_period = 1;            // NumYears + 1 when the run has no years
  std::vector<AccGridCell> cells;  // one per period 1..NumYears
};

struct AccGrid {
  bool overall = true;  // overall summaries; otherwise each solve's worst subinterval
  int updated_files = 0;
  std::vector<AccGridRow> rows;  // Base, Rerun, Policy; no Rerun in two-run mode
};

// U: the updated inputs and the lagged inputs that are updated.
int UpdatedDataFileCount(const TSimRecord& sim);

// Window titles: while the grid is made, and then per tab.
std::string AccGridBuildingTitle(bool overall);
std::string AccGridTitle(bool overall, AccKind kind);
// The detail window's title prefix of a cell: "{run name}: Year {calendar year}".
std::string AccCellTitlePrefix(const AccGridRow& row, const AccGridCell& cell);

// What a grid cell shows beside its face: "" before the run's first year, "N/A" without
// a summary of this kind, else the rating, with "V" or "D" on the worst year of the row.
std::string AccCellLabel(const AccGridCell& cell, AccKind kind);

// The rows, years and logs of the grid, before any log is read.
AccGrid EmptyAccGrid(const TSimRecord& sim, const SessionSettings& s);

// Runs the command; nullopt when it stopped (every message went through the prompter).
std::optional<AccGrid> AccuracySummariesCommand(const TSimRecord& sim, const SessionSettings& s,
                                                Prompter& prompter);

// One solve's summary for the detail window; nullopt after telling why it cannot be read.
std::optional<AccSummary> SolveAccuracySummary(const std::string& log_path, int updated_files,
                                               Prompter& prompter);

}  // namespace yl
