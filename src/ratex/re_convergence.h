#pragma once
// What rational expectations keep of each iteration: copies of the run's ROREXT and
// results, the chosen variables' results in a convergence HAR file, and RORG of the last
// three iterations, from which the convergence report is made when the task ends.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "core/message.h"
#include "core/status.h"
#include "harfile/har_file.h"
#include "ratex/re_files.h"

namespace yl::ratex {

// One variable of the iteration variable map and its header on the solution file.
struct VariableEntry {
  std::string variable;
  std::string header;
  bool operator==(const VariableEntry&) const = default;
};

// Every non-empty line of the map, matched with the first header of the solution file
// whose description begins with the name and a blank (case ignored).
Result<std::vector<VariableEntry>> BuildVariableList(const std::string& sol_path,
                                                     const std::string& map_path);

// The iterations (within the run) that go into the convergence file, as written: the
// work file's positive integers up to the target in file order, then every number above
// its largest up to the target; 1 .. target without the file.
std::vector<std::string> BuildReportList(const std::string& work_file, int target);

// A run's convergence HAR file, held from its first iteration in the task to the end.
struct ConvergenceFile {
  HarFile file;
  std::vector<VariableEntry> variables;
  std::vector<std::string> report_list;
  std::string path;  // written after every reported iteration
};

// Starts the file, or extends the one an earlier task left (told in `notices` when it
// cannot be found and a new one is started instead).
Result<ConvergenceFile> StartConvergenceFile(const ReContext& c, const IterationStates& states,
                                             int run, std::vector<VariableEntry> variables,
                                             std::vector<std::string> report_list,
                                             Notices& notices);

// What is kept of each iteration.
struct KeepSettings {
  bool rorext = true;
  bool csv = true;
  bool har = true;
};

// After done(run) was raised: the kept copies, the convergence file and the RORG history.
Status EndOfIteration(const ReContext& c, const IterationStates& states, int run,
                      const KeepSettings& keep, ConvergenceFile* convergence, RorgHistory* history);

struct ConvergenceStats {
  int pairs = 0;
  int not_converging = 0;
  int not_monotonic = 0;
  int above_1e3 = 0;  // difference greater than 0.001
  int above_5e4 = 0;
  int above_1e4 = 0;
  double largest = 0;
  bool operator==(const ConvergenceStats&) const = default;
};

ConvergenceStats ComputeConvergence(const RorgHistory& history);
// 23 characters: sign or blank, d.dddddddddddddd, "E", exponent sign, four digits.
std::string FormatLargestDifference(double value);

// One overview per run with more than two iterations and a history, in run order; an
// error message ends the list.
struct ConvergenceOverview {
  std::string title;
  Message message;
};
std::vector<ConvergenceOverview> ConvergenceReport(
    const ReContext& c, const IterationStates& states,
    const std::array<std::optional<RorgHistory>, 4>& histories);

}  // namespace yl::ratex
