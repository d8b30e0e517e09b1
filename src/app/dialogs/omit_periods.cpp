#include "app/dialogs/omit_periods.h"

#include "app/pages/sim_overview.h"
#include "app/run_units.h"
#include "core/internal_error.h"
#include "platform/file_lookup.h"
#include "platform/paths.h"
#include "records/run_checks.h"
#include "sim/sim_inputs.h"
#include "sim/sim_omit.h"
#include "sim/sim_runs.h"

namespace yl {

namespace {

constexpr const char* kContinueQuestion =
    "Do you wish to continue? [Click on \"Yes\" to continue or \"Cancel\" to stop.]";

bool AskToContinue(Prompter& prompter, const std::string& text) {
  return prompter.Confirm(text, kYes | kCancel) == kYes;
}

void ShowNoChange(Prompter& prompter) {
  prompter.Information(
      "Omitting some years at the start.\r\nNo change has been made because of the earlier "
      "message.");
}

}  // namespace

OmitDialogTexts OmitPeriodsDialogTexts(const TSimRecord& sim, int n) {
  CheckIndex(sim.NumYears, 0, kMaxPeriods, "NumYears");
  const std::string word(kPeriodWord);
  OmitDialogTexts t;
  t.Title = "Which Periods to Omit at the Start";
  t.ReplaceLabel =
      "Will change First Year Data files (Model/Data page) to the files\r\n produced by the "
      "simulation for year " +
      Year4(sim.Years[n]) + " of the Base.";
  t.CountCaption = "Number of " + word + "s (simulations) to omit at the start :";
  t.Explanation = {
      "Please specify the number of " + word + "s (simulations) to omit at the start.",
      "This will remove that number of rows from the top of the Closure/Shocks page.",
      "It will also decrease the Number of " + word + "s shown on the Sim Overview page",
      " and will increase the Year of the Starting Data shown there accordingly.",
      "Please also indicate whether or not you want the First Year Data ",
      " files (Model/Data) page changed.",
  };
  for (int k = 1; k <= sim.NumYears; ++k) t.PeriodYears.push_back(Year4(sim.Years[k]));
  t.Initial = 1;
  t.Max = sim.NumYears - 1;
  return t;
}

bool CanOmitPeriods(const TSimRecord& sim, Prompter& prompter) {
  if (sim.NumYears > 1) return true;
  prompter.Information("There is only one year on the Closure/Shocks page so you cannot omit it.");
  return false;
}

bool OmitPeriodsAtStart(TSimRecord& sim, const OmitRequest& request,
                        std::vector<std::string>& first_year,
                        const BaseCompletionCheck& base_missing, Prompter& prompter) {
  if (!CanOmitPeriods(sim, prompter)) return false;
  CheckIndex(sim.NumYears, 2, kMaxPeriods, "NumYears");
  const int n = request.Count;
  CheckIndex(n, 1, sim.NumYears - 1, "periods to omit");

  std::vector<std::string> new_first_year;
  if (request.ReplaceFirstYearData) {
    const std::string missing = base_missing ? base_missing(n) : std::string();
    if (!missing.empty() && !AskToContinue(prompter, "It seems that you have not completed the " +
                                                         missing + "\r\n" + kContinueQuestion)) {
      ShowNoChange(prompter);
      return false;
    }
    for (int f = 1; f <= sim.NumDinFiles; ++f) {
      if (!sim.DinFiles[f].IsInput) continue;
      const InputFile in = ResolveInputFile(sim, f, n + 1, kBase, 1, first_year, false);
      const std::string path =
          in.FileName.empty() ? std::string("??") : ResolveAgainst(sim.SimDir, in.FileName);
      if (!in.FileName.empty() && ResolvePathNoCase(path)) continue;
      if (!AskToContinue(prompter, "Data file \r\n   " + path +
                                       "\r\ndoes not exist.\r\nThis is one of the data files you "
                                       "have asked to be put in the\r\n First Year Data on the "
                                       "Model/Data page.\r\n" +
                                       kContinueQuestion)) {
        ShowNoChange(prompter);
        return false;
      }
    }
    new_first_year = FirstYearLinesForPeriod(sim, n + 1, first_year);
  }

  DropFirstPeriods(sim, n);
  if (request.ReplaceFirstYearData) first_year = std::move(new_first_year);
  return true;
}

BaseCompletionCheck BaseCompletionFromRecords(const Session& session) {
  return [&session](int n) -> std::string {
    const TSimRecord& sim = session.sim;
    const records::Timeline t = RecordTimeline(sim, session.settings, 1);
    const records::RunRecords kept = records::RunRecords::Load(session.settings.paths.keep_dir);
    for (int k = 1; k <= n && k <= sim.NumYears; ++k) {
      const records::Completion c =
          records::CompletedAt(kept, t, {kBase, k, records::UnitKind::kSim});
      if (!c.reason.empty()) return records::SimulationText(t, kBase, k);
    }
    return "";
  };
}

std::string OmitReplaceLabel(const TSimRecord& sim, int n, bool replace) {
  if (!replace) return "Will not change the First Year Data files on the Model/Data page.";
  return OmitPeriodsDialogTexts(sim, n).ReplaceLabel;
}

bool OmitSomePeriodsAtStart(Session& session, const AskOmitPeriods& ask, Prompter& prompter) {
  TSimRecord& sim = session.sim;
  if (!CanOmitPeriods(sim, prompter) || !ask) return false;
  const std::optional<OmitRequest> request = ask(OmitPeriodsDialogTexts(sim, 1), sim);
  if (!request) return false;
  if (!OmitPeriodsAtStart(sim, *request, session.settings.first_year_files,
                          BaseCompletionFromRecords(session), prompter)) {
    return false;
  }
  (void)TableSetup(sim, session.settings.options.NoRerun, prompter);
  return true;
}

}  // namespace yl
