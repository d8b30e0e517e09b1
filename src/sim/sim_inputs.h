#pragma once
// Which file a logical file reads in a period of a run: the year-to-year chaining of the
// data, from the first-year data list (the Model/Data page's lines
// "File {logical name} = {file name} ; ! {description}") and the updated files that
// earlier periods wrote.

#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "sim/sim_record.h"

namespace yl {

// The file name of the first-year line for a logical file: the line whose part before
// the "=" is "file {name}" (case and surrounding blanks ignored), with its file name
// unquoted. nullopt when no line names it.
std::optional<std::string> FirstYearFileFor(const std::vector<std::string>& first_year,
                                            const std::string& logical_name);

// The first-year list parsed once, for callers that resolve many files and periods.
struct FirstYearFiles {
  bool ListEmpty = true;
  std::vector<std::pair<std::string, std::string>> Entries;  // logical name, file name
  std::unordered_map<std::string, std::size_t> ByName;       // upper-case name -> first entry
};
FirstYearFiles ParseFirstYearList(const std::vector<std::string>& first_year);
// The first entry for the logical name (case and surrounding blanks ignored).
std::optional<std::string> FindFirstYearFile(const FirstYearFiles& files,
                                             const std::string& logical_name);

struct InputFile {
  std::string FileName;  // "" when the first-year list has no entry for it
  int Period = 0;        // the period whose data it is (0: the starting data)
  int Year = 0;          // that period's end year
  int Run = kBase;       // the run whose file it is
  int LogicalFile = 0;   // the logical file (DinFiles index) whose file it is
  std::string Note;      // "j zero" when the first-year list was empty (an information note)
};

// The file logical file f reads in period k of run r. Generated names are lower case;
// a first-year file is returned as the list names it, since it is the user's own file and
// its directories may be in any case.
InputFile ResolveInputFile(const TSimRecord& sim, int f, int period, int run, int policy_start,
                           const std::vector<std::string>& first_year, bool no_rerun);
// The same with a parsed first-year list.
InputFile ResolveParsedInputFile(const TSimRecord& sim, int f, int period, int run,
                                 int policy_start, const FirstYearFiles& first_year, bool no_rerun);

// The first-year list rewritten to the files that period `period` of the Base reads: one
// line "File {name} = {path} ; ! {description}" per input logical file, the path in the
// working directory (quoted when it holds a blank) or "??" when that file does not exist.
std::vector<std::string> FirstYearLinesForPeriod(const TSimRecord& sim, int period,
                                                 const std::vector<std::string>& first_year);

// One first-year line.
std::string FormatFirstYearLine(const std::string& logical_name, const std::string& file,
                                const std::string& description);

}  // namespace yl
