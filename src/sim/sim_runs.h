#pragma once
// Runs, periods and the columns of the closure/shock table: the small vocabulary every
// other sim/ unit and the command-file writer share. All run, period, row and column
// arguments are range-checked (an out-of-range one throws yl::InternalError).

#include <string>
#include <string_view>

#include "sim/sim_record.h"

namespace yl {

// The word for a period in messages, whatever the length of the periods.
inline constexpr std::string_view kPeriodWord = "period";

void CheckRun(int run);                               // 1..3
void CheckPeriod(int period);                         // 1..999
void CheckColumn(int column);                         // 1..4
void CheckLogicalFile(const TSimRecord& sim, int f);  // 1..NumDinFiles (and 1..50)

char RunLetter(int run);         // 'B', 'R', 'P'
std::string RunWord(int run);    // "Base", "Rerun", "Policy"
std::string RunLabel(int run);   // "A: Base Case", "B: Base Rerun", "C: Policy Sims"
std::string RoleName(int role);  // "Output only", "Updated input", ...
std::string RoleWord(int role);  // "output", "updated input", ... (command files)

// A year written with (at least) four digits, zero-padded: 998 gives "0998".
std::string Year4(int year);
// Characters 3 and 4 of the four-digit year: 2003 gives "03".
std::string TwoDigitYear(int year);

// Column of a run's closure: Base 1, Rerun 3, Policy 3.
int ClosureColumn(int run);
// Column of a run's CMFStart cell: Base 1, Rerun 3, Policy 4.
int CMFStartColumn(int run);
// Run whose simulation name a column's pattern uses (column 3: the Policy when no_rerun).
int PatternRun(int column, bool no_rerun);
// ".CLS", ".BSH", ".CLS", ".PSH".
std::string ColumnDefaultExt(int column);
// The run shown in column 3's header and Rerun-related labels: the Policy when no_rerun.
inline int RerunOrPolicy(bool no_rerun) { return no_rerun ? kPolicy : kRerun; }

// "   Base: BS1   Rerun: BR1   Policy: PL1" (the Rerun left out when no_rerun).
std::string SimNamesLine(const TSimRecord& sim, bool no_rerun);

}  // namespace yl
