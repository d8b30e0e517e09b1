#include "app/pages/sim_overview.h"

#include "core/internal_error.h"
#include "core/text_util.h"
#include "platform/file_lookup.h"
#include "sim/sim_naming.h"
#include "sim/sim_runs.h"

namespace yl {

namespace {

void FollowNamePattern(TSimRecord& sim, int run, const std::string& old_name,
                       const std::string& new_name) {
  int first_col;
  if (run == kBase) {
    first_col = kBaseClosure;
  } else if (run == kPolicy) {
    first_col = kPolicyClosure;
  } else {
    return;  // the Rerun's name changes no cell
  }
  const char letter = RunLetter(run);
  for (int k = 1; k <= sim.NumYears; ++k) {
    const std::string year = Year4(sim.Years[k]);
    for (int col = first_col; col <= first_col + 1; ++col) {
      std::string& cell = sim.CMFCells(k, col);
      if (SameText(cell, old_name + letter + year)) cell = new_name + letter + year;
    }
  }
}

}  // namespace

std::string EditSimName(TSimRecord& sim, int run, std::string_view text,
                        const SimNameEditSettings& settings, Prompter& prompter) {
  CheckRun(run);
  CheckIndex(sim.NumYears, 0, kMaxPeriods, "NumYears");
  if (UpperCase(text) == sim.SimNames[run]) return sim.SimNames[run];
  const std::string old_name = sim.SimNames[run];
  const std::string new_name = NormaliseSimName(text);
  sim.SimNames[run] = new_name;
  if (settings.UsePatterns) FollowNamePattern(sim, run, old_name, new_name);
  RecomputeCMFNames(sim);
  CheckSavedDetails(sim, settings.ModelName, settings.NoRerun, prompter);
  return new_name;
}

bool CheckSavedDetails(const TSimRecord& sim, const std::string& model_name, bool no_rerun,
                       Prompter& prompter) {
  const std::string ds1 = DefaultSimDetailsFile(sim, model_name, no_rerun);
  if (ds1.empty() || !ResolvePathNoCase(ds1)) return false;
  prompter.Information(SavedDetailsMessage(sim, no_rerun), kHelpSimOverview);
  return true;
}

EndYearOutcome EndYearCheck(TSimRecord& sim, Prompter& prompter) {
  EndYearOutcome out;
  if (sim.NumYears <= 0) {
    sim.NumYears = 1;
    out.OverviewChanged = true;
  }
  CheckIndex(sim.NumYears, 1, kMaxPeriods, "NumYears");
  if (static_cast<long long>(sim.FirstYear) + sim.NumYears - 1 > 9999) {
    prompter.Error(
        "Please adjust Starting Year and/or Number of Years on Sim Overview page so that ending "
        "year is at most 9999.");
    out.Accepted = false;
  }
  return out;
}

std::optional<TableView> TableSetup(TSimRecord& sim, bool no_rerun, Prompter& prompter) {
  if (!EndYearCheck(sim, prompter).Accepted) return std::nullopt;
  ResetRowsAboveNumYears(sim);
  NormaliseCells(sim);
  return BuildTableView(sim, no_rerun);
}

}  // namespace yl
