#pragma once
// The Sim Overview page's edits of the record (simulation names, year of the starting
// data, number and lengths of periods), the end-year check and the table set-up that
// follows every change of years or cells. No widgets here: the page passes the texts in
// and shows what comes back; every message goes through the Prompter.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/prompter.h"
#include "core/status.h"
#include "sim/sim_record.h"
#include "sim/sim_table.h"

namespace yl {

// Help topic of the Sim Overview page.
inline constexpr int kHelpSimOverview = 7009;

// Upper case, every character that is not a letter or digit (blanks included) becomes "Z",
// padded with "Z" and cut to 3 characters: "ab" gives "ABZ", " 7 " gives "Z7Z".
std::string NormaliseSimName(std::string_view text);

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

// The message telling that Sim Details for the current names were saved before.
std::string SavedDetailsMessage(const TSimRecord& sim, bool no_rerun);
// Shows it (information, Help) when the default Sim Details file of the current names
// exists. Returns whether it was shown.
bool CheckSavedDetails(const TSimRecord& sim, const std::string& model_name, bool no_rerun,
                       Prompter& prompter);

// What the "year of the starting data" field shows: FirstYear - 1, four digits.
std::string StartingDataYearText(const TSimRecord& sim);
// Blanks become "0" and the text is padded with "0" on the right to 4 digits; FirstYear
// becomes the value + 1 and the years are recomputed. Returns the text to show. Anything
// but digits and blanks fails and leaves the record unchanged.
Result<std::string> EditStartingDataYear(TSimRecord& sim, std::string_view text);

// Blanks removed; empty gives 10; at most 3 digits. Returns the new NumYears.
Result<int> EditNumberOfPeriods(TSimRecord& sim, std::string_view text);

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

// "Period {k} is {n} year" / "... years".
std::string PeriodLengthText(int period, int length);
std::vector<std::string> PeriodLengthTexts(const TSimRecord& sim);
// Stores the length of a period of 1..NumYears and recomputes the years. A length below
// 1 would give two periods the same year (and the same file names), so it is refused.
bool SetPeriodLength(TSimRecord& sim, int period, int length);

}  // namespace yl
