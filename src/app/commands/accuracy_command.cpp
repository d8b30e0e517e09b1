#include "app/commands/accuracy_command.h"

#include "app/commands/run_checks_commands.h"
#include "core/internal_error.h"
#include "model/model_state.h"
#include "platform/files.h"
#include "sim/sim_naming.h"
#include "sim/sim_runs.h"

namespace yl {

namespace {

constexpr char kNotExtrapolating[] =
    "No accuracy summaries are available since you are not extrapolating from 3 separate "
    "solutions.";
constexpr char kNoOverall[] =
    "Overall Accuracy information is not available here.\r\nWill show Accuracy Summaries for "
    "the WORST subinterval for each year of each run.";

// The solves that a summary can come from: the cells of the runs' own years with a log.
template <class F>
void ForEachSolve(AccGrid& grid, F&& f) {
  for (AccGridRow& row : grid.rows) {
    for (AccGridCell& cell : row.cells) {
      if (cell.in_run && FileExists(cell.log_path) && !f(cell)) return;
    }
  }
}

// Whether the solves carry overall summaries: the first log that reads tells.
bool OverallSummariesExist(AccGrid& grid) {
  bool found = false;
  ForEachSolve(grid, [&](AccGridCell& cell) {
    AccSummary s;
    if (!GetAccSummary(cell.log_path, grid.updated_files, s)) return true;
    found = s.overall_found;
    return false;
  });
  return found;
}

void Copy(const AccSlot& slot, int kind, AccGridCell& cell) {
  const auto k = static_cast<std::size_t>(kind);
  cell.present[k] = slot.present[k];
  cell.of[k] = slot.of[k];
}

void MarkWorst(AccGridRow& row) {
  for (std::size_t k = 0; k < kNumAccKinds; ++k) {
    AccGridCell* worst = nullptr;
    for (AccGridCell& cell : row.cells) {
      if (cell.in_run && cell.present[k] && (!worst || cell.of[k].ten_a < worst->of[k].ten_a)) {
        worst = &cell;
      }
    }
    if (worst) worst->worst[k] = true;
  }
}

void ReadSummaries(AccGrid& grid, const TSolMethod& method, Prompter& prompter) {
  const bool several = method.AutoAccuracy || method.Subintervals > 1;
  grid.overall = !several || OverallSummariesExist(grid);
  if (grid.overall) {
    ForEachSolve(grid, [&](AccGridCell& cell) {
      AccSummary s;
      // A log that does not read leaves its cell without a summary.
      if (GetAccSummary2(cell.log_path, grid.updated_files, s, 1, several, !several)) {
        for (int k = 0; k < kNumAccKinds; ++k) Copy(s.Slot(1), k, cell);
      }
      return true;
    });
  } else {
    prompter.Information(kNoOverall, kHelpAccuracySummaries, kOk | kHelp);
    ForEachSolve(grid, [&](AccGridCell& cell) {
      AccSummary s;
      if (GetAccSummary(cell.log_path, grid.updated_files, s)) {
        for (int k = 0; k < kNumAccKinds; ++k) {
          Copy(s.Slot(s.worst[static_cast<std::size_t>(k)]), k, cell);
        }
      }
      return true;
    });
  }
  for (AccGridRow& row : grid.rows) MarkWorst(row);
}

}  // namespace

int UpdatedDataFileCount(const TSimRecord& sim) {
  int n = 0;
  for (int f = 1; f <= sim.NumDinFiles; ++f) {
    const TDinFileEntry& d = sim.DinFiles[f];
    if (d.Role == kUpdatedInput || (d.Role == kLaggedInput && d.IsUpdated)) ++n;
  }
  return n;
}

std::string AccGridBuildingTitle(bool overall) {
  return overall ? "Overall Accuracy Summaries (each year of each run)"
                 : "Accuracy Summaries of WORST Subinterval (each year of each run)";
}

std::string AccGridTitle(bool overall, AccKind kind) {
  return std::string(overall ? "Overall Accuracy Summaries for "
                             : "Accuracy Summaries of WORST Subinterval for ") +
         (kind == kAccData ? "data" : "variables");
}

std::string AccCellTitlePrefix(const AccGridRow& row, const AccGridCell& cell) {
  return row.name + ": Year " + std::to_string(cell.year);
}

std::string AccCellLabel(const AccGridCell& cell, AccKind kind) {
  if (!cell.in_run) return "";
  if (!cell.present[kind]) return "N/A";
  std::string label = std::to_string(cell.of[kind].rating);
  if (cell.worst[kind]) label += kind == kAccVariables ? " V" : " D";
  return label;
}

AccGrid EmptyAccGrid(const TSimRecord& sim, const SessionSettings& s) {
  AccGrid grid;
  grid.updated_files = UpdatedDataFileCount(sim);
  const bool no_rerun = s.options.NoRerun;
  const int policy_start = FirstPolicyPeriod(sim, s);
  for (int run = kBase; run <= kPolicy; ++run) {
    if (run == kRerun && no_rerun) continue;
    AccGridRow row;
    row.run = run;
    row.name = RunWord(run);
    row.first_period = run == kBase ? 1 : policy_start;
    for (int k = 1; k <= sim.NumYears; ++k) {
      AccGridCell cell;
      cell.period = k;
      cell.year = sim.Years[k];
      cell.in_run = k >= row.first_period;
      if (cell.in_run) cell.log_path = InSimDir(sim, SimLogFileName(sim, run, k, no_rerun));
      row.cells.push_back(std::move(cell));
    }
    grid.rows.push_back(std::move(row));
  }
  return grid;
}

std::optional<AccGrid> AccuracySummariesCommand(const TSimRecord& sim, const SessionSettings& s,
                                                Prompter& prompter) {
  const TSolMethod& method = s.methods.Normal.Method;
  if (method.NumSolutions < 3) {
    prompter.Information(kNotExtrapolating, kHelpAccuracySummaries, kOk | kHelp);
    return std::nullopt;
  }
  try {
    AccGrid grid = EmptyAccGrid(sim, s);
    ReadSummaries(grid, method, prompter);
    return grid;
  } catch (const InternalError& e) {
    prompter.Error(std::string("Could not make accuracy summaries:\r\n") + e.what(),
                   kHelpAccuracySummaries, kOk | kHelp);
    return std::nullopt;
  }
}

std::optional<AccSummary> SolveAccuracySummary(const std::string& log_path, int updated_files,
                                               Prompter& prompter) {
  AccSummary s;
  if (auto read = GetAccSummary(log_path, updated_files, s); !read) {
    prompter.Error("Could not make accuracy summary:\r\n" + read.error(), kHelpAccuracySummaries,
                   kOk | kHelp);
    return std::nullopt;
  }
  return s;
}

}  // namespace yl
