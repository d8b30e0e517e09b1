#pragma once
// The Run Preferences items that decide how jobs run: the concurrency items, the
// spreadsheet-job options and the outputs before a run. Each says what it changed.

#include "core/prompter.h"
#include "settings/options.h"

namespace yl {

inline constexpr int kHelpRunPreferences = 7136;  // "Help about Run Preferences menu"

enum class SlotChoice {
  kJustOneSolveNo1,         // "Just One Solve (no. 1)": 1..1
  kAllow2ConcurrentSolves,  // "Allow 2 Concurrent Solves": 1..2 (toggles)
  kAllow3ConcurrentSolves,  // "Allow 3 Concurrent Solves": 1..3 (toggles)
  kJustOneSolveNo2,         // "Just One Solve (no. 2)": 2..2
};

void ChooseSlots(Options& o, SlotChoice choice, Prompter& prompter);
void ToggleAbbreviatedSsJobs(Options& o, Prompter& prompter);
void ToggleYonYDifferencesSs(Options& o, Prompter& prompter);
void ToggleAccumulateSubtotals(Options& o, Prompter& prompter);
void ToggleArithmeticNotFatal(Options& o, Prompter& prompter);
// Choosing the current choice again changes nothing and says so.
void ChooseOutputsBeforeRun(Options& o, OutputsBeforeRun choice, Prompter& prompter);

}  // namespace yl
