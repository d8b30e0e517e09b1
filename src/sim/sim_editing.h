#pragma once
// The Sim Overview page's edits of the record that need no answer from the user: the
// simulation name's spelling, year of the starting data, number and lengths of periods.
// The edits that tell the user something are the page model's (app/pages/sim_overview.h).

#include <string>
#include <string_view>
#include <vector>

#include "core/status.h"
#include "sim/sim_record.h"

namespace yl {

// Help topic of the Sim Overview page.
inline constexpr int kHelpSimOverview = 7009;

// Upper case, every character that is not a letter or digit (blanks included) becomes "Z",
// padded with "Z" and cut to 3 characters: "ab" gives "ABZ", " 7 " gives "Z7Z".
std::string NormaliseSimName(std::string_view text);

// The message telling that Sim Details for the current names were saved before.
std::string SavedDetailsMessage(const TSimRecord& sim, bool no_rerun);

// What the "year of the starting data" field shows: FirstYear - 1, four digits.
std::string StartingDataYearText(const TSimRecord& sim);
// Blanks become "0" and the text is padded with "0" on the right to 4 digits; FirstYear
// becomes the value + 1 and the years are recomputed. Returns the text to show. Anything
// but digits and blanks fails and leaves the record unchanged.
Result<std::string> EditStartingDataYear(TSimRecord& sim, std::string_view text);
// The window's "First Year of Base Sims (4 digits)" field: FirstYear itself, typed and
// normalised the same way, with the year of the starting data in the note beside it.
std::string FirstSimYearText(const TSimRecord& sim);
Result<std::string> EditFirstSimYear(TSimRecord& sim, std::string_view text);

// True when every period is one year long (the lengths then need no checking).
bool AllPeriodsOneYear(const TSimRecord& sim);

// Blanks removed; empty gives 10; at most 3 digits. Returns the new NumYears.
Result<int> EditNumberOfPeriods(TSimRecord& sim, std::string_view text);

// "Period {k} is {n} year" / "... years".
std::string PeriodLengthText(int period, int length);
std::vector<std::string> PeriodLengthTexts(const TSimRecord& sim);
// Stores the length of a period of 1..NumYears and recomputes the years. A length below
// 1 would give two periods the same year (and the same file names), so it is refused.
bool SetPeriodLength(TSimRecord& sim, int period, int length);

}  // namespace yl
