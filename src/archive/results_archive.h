#pragma once
// Results archives: the results files of the working directory chosen by run and kind,
// with the history file "aahist" that says what is in them, and the run records that let
// a restored set of results be checked again.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "archive/ingredients.h"
#include "settings/options.h"
#include "sim/sim_record.h"

namespace yl::archive {

inline constexpr char kResultsHistory[] = "aahist";
inline constexpr int kResultKinds = 9;

// The kinds in the order of the "Which Results to Save" dialog.
enum ResultKind : int {
  kSolutionFiles,
  kSlcFiles,
  kUpdatedDataFiles,
  kOtherOutputFiles,
  kSpreadsheetFiles,
  kDeviationFiles,
  kCommandFiles,
  kSolSliFiles,
  kSeqFiles,
};
// The dialog's check-box captions, and its defaults.
const std::array<std::string, kResultKinds>& ResultKindCaptions();
std::array<bool, kResultKinds> DefaultResultKinds();

struct ResultsChoice {
  std::array<bool, kResultKinds> kinds{};
  std::array<bool, 4> runs{false, true, true, true};  // [1..3]
  // The periods whose individual results are taken; 0 for the last: every period. A run
  // takes those from its own first period on.
  int first_period = 1;
  int last_period = 0;
};
// Every run in use and every kind.
ResultsChoice AllResults();

// The chosen results files in the working directory; the run records saved beside the
// Sim Details (".ds3" to ".ds5") go with them when they exist.
FileSet ResultsFiles(const TSimRecord& sim, const SessionSettings& s, int policy_start,
                     const ResultsChoice& choice);
std::vector<std::string> RunRecordCopies(const TSimRecord& sim, const SessionSettings& s);

std::vector<std::string> ResultsHistoryLines(std::uint64_t now100ns, const TSimRecord& sim,
                                             bool no_rerun, int policy_start,
                                             const ResultsChoice& choice, std::size_t missing);
// "aahist" in dir, or "aahist{n}" with the first n not taken.
std::string ResultsHistoryPath(const std::string& dir);

// What to do with the run records a results archive holds.
enum class RecordTreatment { kIgnore, kUnchanged, kRewrite };
// Whether a stored name is one of the run record copies.
bool IsRunRecordCopy(const std::string& name);
// The record's text with the working directory it names replaced by new_dir.
std::string RelocatedRunRecord(const std::string& text, const std::string& new_dir);

}  // namespace yl::archive
