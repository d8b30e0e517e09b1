#include "app/commands/sol_method_menu.h"

#include <string>

#include "core/internal_error.h"

namespace yl {
namespace {

const char kNormalForThisYear[] =
    "You are currently using the normal solution method (as shown on the Sim Overview page) for "
    "this year.";
const char kNormalForAllYears[] =
    "You are currently using the normal solution method (as shown on the Sim Overview page) for "
    "ALL years.";
const char kStarNote[] =
    "[There is * at the end of the years for which the alternative solution method is to be "
    "used.]";

}  // namespace

void ShowWhichMethodApplies(const TSimRecord& rec, const SolMethodState& state, int period,
                            Prompter& prompter) {
  std::string text;
  if (!rec.AltMethodInUse) {
    text = kNormalForAllYears;
  } else if (rec.AltMethodYears[period]) {
    text =
        "You are currently using the alternative solution method for this year. That is:\r\n   " +
        SolMethodDescription(state.Alternative.Method);
  } else {
    text = kNormalForThisYear;
  }
  prompter.Information(text + "\r\n" + kStarNote);
}

void UseNormalMethodForPeriod(TSimRecord& rec, int period, Prompter& prompter) {
  rec.AltMethodYears[period] = false;
  bool any = false;
  for (int k = 1; k <= rec.NumYears && k <= kMaxPeriods; ++k) any = any || rec.AltMethodYears[k];
  rec.AltMethodInUse = any;
  prompter.Information(
      "Will use the normal solution method (as shown on the Sim Overview page) for this year.");
}

void UseAlternativeMethodForPeriod(TSimRecord& rec, const SolMethodState& state, int period,
                                   Prompter& prompter) {
  rec.AltMethodYears[period] = true;
  rec.AltMethodInUse = true;
  prompter.Information("Will use the alternative solution method for this year.\r\n  This is: " +
                       SolMethodDescription(state.Alternative.Method));
}

void ShowAlternativeMethod(const SolMethodState& state, Prompter& prompter) {
  prompter.Information("Ths alternative solution method is:\r\n  " +
                       SolMethodDescription(state.Alternative.Method));
}

bool SpecifyAlternativeMethod(SolMethodState& state, const SolMethodDialogRunner& run_dialog,
                              Prompter& prompter) {
  std::optional<SolMethodSetting> changed = run_dialog(state.Alternative, true);
  if (!changed) return false;
  state.Alternative = *changed;
  prompter.Information("Alternative solution method changed to:\r\n   " +
                       SolMethodDescription(state.Alternative.Method));
  return true;
}

void UseNormalMethodForAllPeriods(TSimRecord& rec, Prompter& prompter) {
  rec.AltMethodInUse = false;
  rec.AltMethodYears.Fill(false);
  prompter.Information(
      "Will use the normal solution method (as shown on the Sim Overview page) for all years.");
}

const char* AltMethodMark(const TSimRecord& rec, int period) {
  return AltMethodApplies(rec, period) ? "*" : "";
}

}  // namespace yl
