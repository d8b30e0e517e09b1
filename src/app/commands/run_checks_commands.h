#pragma once
// "Where to Start?" and "Are Results Ok?": reports over the run records that say where
// each run must start again and whether results are still what they were. They only read;
// the window's commands may then start a big job for what is left.

#include <functional>
#include <string>
#include <vector>

#include "app/session.h"
#include "core/prompter.h"
#include "core/status.h"
#include "jobs/job_plan.h"
#include "records/run_checks.h"

namespace yl {

enum class WhereToStartMode { kSameIfRunAgain, kJustSequence };
enum class ResultsOkMode { kSameIfRunAgain, kAsCreated };

struct RunChecksReport {
  std::string text;  // "\r\n" line ends
  bool left_to_do = false;
  records::Starts starts;           // what the report says
  records::Starts sequence_starts;  // from completion and sequence alone
};

inline constexpr char kNotCheckingWhereToStart[] =
    "Sorry, not checking Where to Start until this problem is fixed.";
inline constexpr char kNotCheckingResultsOk[] =
    "Sorry, not checking Results Ok until this problem is fixed.";

// The records as a restore would leave them, read from the copies beside the Sim Details
// without writing anything.
records::RunRecords KeptRunRecords(const TSimRecord& sim, const SessionSettings& s);

// The policy start as a task would find it, without messages.
int QuietPolicyStart(const TSimRecord& sim, const SessionSettings& s);
// The same, but NumYears + 1 when no period has a policy shock: the Rerun and the Policy
// then have no year of their own (the pages that show their years want that).
int FirstPolicyPeriod(const TSimRecord& sim, const SessionSettings& s);

// A failed initial check gives its refusal as the error (both texts: the problem, then
// the "Sorry, not checking ..." line).
Result<RunChecksReport> WhereToStartReport(const TSimRecord& sim, const SessionSettings& s,
                                           WhereToStartMode mode);
Result<RunChecksReport> ResultsOkReport(const TSimRecord& sim, const SessionSettings& s,
                                        ResultsOkMode mode, unsigned boxes);

// A big job that does what the starts leave: each run from its start to the end, then its
// spreadsheet jobs.
jobs::PlanRequest PlanFromStarts(const records::Starts& starts, const records::Timeline& t);

// The "Which Results to Check" boxes; the SOL box only when SOL files for shocks are used.
CheckListRequest WhichResultsToCheck(bool sol_files_in_use);
unsigned BoxesFromChecks(const std::vector<bool>& checked, bool sol_files_in_use);
// Names for the command line's --include: solution, slc, updated, other, ss, dev, log, bot,
// sol. Unknown names give an error naming them.
Result<unsigned> BoxesFromNames(const std::string& comma_list);

// What "Omit Some Periods at the Start" asks of the records: "" when the Base completed
// its first n periods in sequence, else the first simulation that it did not.
std::string BaseNotCompleted(const TSimRecord& sim, const SessionSettings& s, int n);

// The menu commands. `start_big_job` starts a task (difference jobs on); unset, none is
// offered.
void WhereToStartCommand(const Session& session, Prompter& prompter, WhereToStartMode mode,
                         bool big_job_running,
                         const std::function<void(const jobs::PlanRequest&)>& start_big_job);
void AreResultsOkCommand(const Session& session, Prompter& prompter, ResultsOkMode mode);

}  // namespace yl
