#include "app/run_preferences.h"

#include "app/outputs_before_run.h"

namespace yl {

namespace {

void Say(Prompter& prompter, const std::string& text) {
  prompter.Information(text, kHelpRunPreferences, kOk | kHelp);
}

}  // namespace

void ChooseSlots(Options& o, SlotChoice choice, Prompter& prompter) {
  int solves = 1;
  bool slot_two = false;
  switch (choice) {
    case SlotChoice::kJustOneSolveNo1:
      break;
    case SlotChoice::kAllow2ConcurrentSolves:
      solves = !o.JustOneSolveNo2 && o.ConcurrentSolves == 2 ? 1 : 2;
      break;
    case SlotChoice::kAllow3ConcurrentSolves:
      solves = !o.JustOneSolveNo2 && o.ConcurrentSolves == 3 ? 1 : 3;
      break;
    case SlotChoice::kJustOneSolveNo2:
      slot_two = true;
      break;
  }
  o.ConcurrentSolves = solves;
  o.JustOneSolveNo2 = slot_two;
  if (slot_two) {
    Say(prompter, "Will not run two concurrent solves, and will always run as job number 2.");
  } else if (solves == 1) {
    Say(prompter, "Will not run two concurrent solves.");
  } else {
    Say(prompter,
        solves == 2 ? "Allowing two concurrent solves." : "Allowing three concurrent solves.");
  }
}

void ToggleAbbreviatedSsJobs(Options& o, Prompter& prompter) {
  o.AbbreviatedSsJobs = !o.AbbreviatedSsJobs;
  if (o.AbbreviatedSsJobs) {
    o.YonYDifferencesSs = false;
    Say(prompter,
        "Will just create year-on-year (not cumluative) SS for Base, Base Rerun and "
        "Policy.\r\nWill just create cumulative (not year-on-year) Differences SS.");
  } else {
    Say(prompter, "Will create both year-on-year and cumulative versions of each spreadsheet.");
  }
}

void ToggleYonYDifferencesSs(Options& o, Prompter& prompter) {
  o.YonYDifferencesSs = !o.YonYDifferencesSs;
  Say(prompter, o.YonYDifferencesSs ? "Will create year-on-year differences SS."
                                    : "Will not create year-on-year differences SS (just "
                                      "cumulative differences SS).");
}

void ToggleAccumulateSubtotals(Options& o, Prompter& prompter) {
  o.AccumulateSubtotals = !o.AccumulateSubtotals;
  Say(prompter, std::string("Will ") + (o.AccumulateSubtotals ? "" : "NOT ") +
                    "accumulate subtotals results when preparing spreadsheets.");
}

void ToggleArithmeticNotFatal(Options& o, Prompter& prompter) {
  o.ArithProbNotFatalRsl = !o.ArithProbNotFatalRsl;
  const std::string head =
      "Arithmetic problems encountered while running the Solvara programs TALLYR, VARIX and "
      "MERGIX to\r\n carry out the spreadsheet jobs will ";
  Say(prompter, o.ArithProbNotFatalRsl
                    ? head +
                          "not be fatal.\r\nInstead somewhat arbitrary values will be produced "
                          "for components where an arithmetic problem occurs."
                    : head + "be fatal.");
}

void ChooseOutputsBeforeRun(Options& o, OutputsBeforeRun choice, Prompter& prompter) {
  Say(prompter, OutputsChoiceMessage(o.Outputs, choice));
  o.Outputs = choice;
}

}  // namespace yl
