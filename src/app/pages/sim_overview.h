#pragma once
// The Sim Overview page's edits that tell the user something: a new simulation name
// (with the saved-details hint), the end-year check, and the table set-up that follows
// every change of years or cells.

#include <optional>
#include <string>
#include <string_view>

#include "core/prompter.h"
#include "sim/sim_editing.h"
#include "sim/sim_record.h"
#include "sim/sim_table.h"

namespace yl {

struct SimNameEditSettings {
  bool UsePatterns = true;  // "Use Patterns when Change Sim Names"
  bool NoRerun = false;
  std::string ModelName;  // for the saved-details check; empty: no model, no check
};

// Stores a new simulation name for the run when the text differs from the stored one,
// follows the name's pattern in the table, recomputes the table's names and runs the
// saved-details check. Returns the text the field shows afterwards.
std::string EditSimName(TSimRecord& sim, int run, std::string_view text,
                        const SimNameEditSettings& settings, Prompter& prompter);

// Shows SavedDetailsMessage (information, Help) when the default Sim Details file of the current
// names exists. Returns whether it was shown.
bool CheckSavedDetails(const TSimRecord& sim, const std::string& model_name, bool no_rerun,
                       Prompter& prompter);

struct EndYearOutcome {
  bool Accepted = true;
  bool OverviewChanged = false;  // NumYears was 0 and became 1: refresh the fields
};
// NumYears 0 becomes 1; a last year above 9999 is refused with a message (the caller
// brings the Sim Overview page to the front).
EndYearOutcome EndYearCheck(TSimRecord& sim, Prompter& prompter);

// After any change of years or of a cell: end-year check, rows above NumYears reset, cells
// upper-cased, names and existence recomputed. nullopt when the end-year check refused.
std::optional<TableView> TableSetup(TSimRecord& sim, bool no_rerun, Prompter& prompter);

}  // namespace yl
