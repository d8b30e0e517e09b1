#include "app/run_preferences.h"

#include <gtest/gtest.h>

#include "support/scripted_prompter.h"

namespace yl::testing {
namespace {

TEST(RunPreferences, ConcurrencyItemsSetTheSlotRangeAndAllowItemsToggle) {
  struct Step {
    SlotChoice choice;
    int solves;
    bool slot_two;
    std::string said;
  };
  Options o;
  ScriptedPrompter prompter;
  for (const Step& s :
       {Step{SlotChoice::kAllow3ConcurrentSolves, 3, false, "Allowing three concurrent solves."},
        Step{SlotChoice::kAllow3ConcurrentSolves, 1, false, "Will not run two concurrent solves."},
        Step{SlotChoice::kAllow2ConcurrentSolves, 2, false, "Allowing two concurrent solves."},
        Step{SlotChoice::kJustOneSolveNo2, 1, true,
             "Will not run two concurrent solves, and will always run as job number 2."},
        Step{SlotChoice::kAllow2ConcurrentSolves, 2, false, "Allowing two concurrent solves."},
        Step{SlotChoice::kJustOneSolveNo1, 1, false, "Will not run two concurrent solves."}}) {
    ChooseSlots(o, s.choice, prompter);
    EXPECT_EQ(o.ConcurrentSolves, s.solves) << s.said;
    EXPECT_EQ(o.JustOneSolveNo2, s.slot_two) << s.said;
    EXPECT_EQ(prompter.Last().text, s.said);
    EXPECT_TRUE(prompter.Last().buttons & kHelp);
  }
}

TEST(RunPreferences, SpreadsheetOptionsSayWhatTheyDo) {
  Options o;
  o.YonYDifferencesSs = true;
  ScriptedPrompter prompter;
  ToggleAbbreviatedSsJobs(o, prompter);
  EXPECT_TRUE(o.AbbreviatedSsJobs);
  EXPECT_FALSE(o.YonYDifferencesSs);  // switched off with it
  EXPECT_EQ(prompter.Last().text.substr(0, 40), "Will just create year-on-year (not cumlu");
  ToggleYonYDifferencesSs(o, prompter);
  EXPECT_EQ(prompter.Last().text, "Will create year-on-year differences SS.");
  ToggleAccumulateSubtotals(o, prompter);
  ToggleAccumulateSubtotals(o, prompter);
  EXPECT_EQ(prompter.Last().text,
            "Will NOT accumulate subtotals results when preparing spreadsheets.");
  ToggleArithmeticNotFatal(o, prompter);
  EXPECT_TRUE(o.ArithProbNotFatalRsl);
  EXPECT_NE(prompter.Last().text.find("will not be fatal.\r\nInstead somewhat arbitrary"),
            std::string::npos);
  ChooseOutputsBeforeRun(o, OutputsBeforeRun::kNeither, prompter);
  EXPECT_EQ(o.Outputs, OutputsBeforeRun::kNeither);
  EXPECT_EQ(prompter.Last().text,
            "Will now neither move nor delete the existing versions of output files from the "
            "Working Directory before any run.");
}

}  // namespace
}  // namespace yl::testing
