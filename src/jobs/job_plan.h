#pragma once
// The run plan of a big job and the scheduling rules: which job a free slot takes next,
// which part follows a finished one, and how a finished part is booked. Pure logic over
// plain records, so it is tested without processes or files.

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/range_array.h"
#include "core/status.h"
#include "sim/job_kinds.h"
#include "sim/sim_record.h"

namespace yl::jobs {

enum class OrderPreference { kBaseAsap, kPolAsap };

// One run's share of a big job. Year indices; a range is empty when its last is below
// its first.
struct RunPlan {
  int first_sim_year = 0;  // the years to simulate
  int last_sim_year = 0;
  bool has_sims = false;
  int last_sim_done = 0;  // the last year whose simulation completed in this big job
  int first_ss_year = 0;  // the years the run's spreadsheet jobs cover
  int last_ss_year = 0;
  bool wants_ss = false;
  // The Policy's years, assembled for a prerequisite run so the deviations can be taken
  // over the same years ("py" parts).
  int first_policy_years_ss = 0;
  int last_policy_years_ss = 0;
  bool wants_policy_years_ss = false;
  // The spreadsheet chain's progress: the last job completed and its last part.
  JobKind last_ss_job = JobKind::kNone;
  PartKind last_ss_part = PartKind::kNone;
  bool operator==(const RunPlan&) const = default;
};

// The choices a task and the Run Preferences make, fixed for the whole big job.
struct PlanSettings {
  int NumYears = 0;     // N
  int PolicyStart = 1;  // first simulable year index of Rerun and Policy
  bool TwoRunMode = false;
  bool AbbreviatedSSJobs = false;
  bool MakeYonYDiffSS = false;
  bool UseSolFilesForShocks = false;
  bool RationalExpectations = false;
  OrderPreference Order = OrderPreference::kPolAsap;
  bool DoDeviations = false;
  // Calendar year of a period index, for messages.
  std::function<int(int)> CalendarYear = [](int k) { return k; };
};

// What a task asks for, indexed by run 1..3 ("nothing" is first N + 2, last 0).
struct PlanRequest {
  std::array<int, 4> first_sim_year{};
  std::array<int, 4> last_sim_year{};
  std::array<int, 4> first_ss_year{};
  std::array<int, 4> last_ss_year{};
  static PlanRequest Nothing(int num_years);
};

// What the scheduler needs to know of a slot.
struct SlotState {
  bool active = false;
  Run run = kBase;
  int year = 0;
  JobKind job = JobKind::kNone;
  PartKind part = PartKind::kNone;
};

struct JobChoice {
  Run run = kBase;
  int year = 0;
  JobKind job = JobKind::kNone;
  PartKind part = PartKind::kNone;
  bool operator==(const JobChoice&) const = default;
};

// The closure-preparation records kept between big jobs; supplied by the bookkeeping.
struct BotRecords {
  // A "bot" job for that year index finished in this big job.
  std::function<bool(int year)> DoneThisJob = [](int) { return false; };
  // An existing closure-preparation result for that year is no longer valid (the run
  // records decide; with none, every result not made in this big job is).
  std::function<bool(int year)> StillNeeded = [](int) { return true; };
};

// Iteration counters of rational expectations; supplied by that driver when it runs.
struct IterationCounters {
  std::function<bool(int run)> MoreIterations = [](int) { return false; };
  std::function<void(int run)> BeginIteration = [](int) {};
  // The iteration a run is in, for the parts it starts; 0 without rational expectations.
  std::function<int(int run)> Current = [](int) { return 0; };
};

// A unit of work the run records keep: a year's simulation, a year's closure preparation,
// or a run's whole spreadsheet chain (year N + 1).
enum class UnitOfWork { kSim, kBot, kSpreadsheetChain };
struct CompletedUnit {
  Run run = kBase;
  int year = 0;
  UnitOfWork kind = UnitOfWork::kSim;
  bool operator==(const CompletedUnit&) const = default;
};

// What booking a finished part asks of the caller.
struct Booking {
  bool end_line = false;            // write "END {job description} {time}" to the jobs log
  bool iteration_complete = false;  // a run's "cumsol" completed under rational expectations
  bool operator==(const Booking&) const = default;
};

const char* RunShortName(int run);  // "Base", "Rerun", "Policy"
int PrerequisiteRun(int run, bool two_run_mode);
bool SameFamily(JobKind a, JobKind b);

class JobPlan {
 public:
  JobPlan(const PlanSettings& settings, const PlanRequest& request);

  const PlanSettings& settings() const { return settings_; }
  // The user took the recommendation at the start of the big job.
  void UseSolFilesForShocks() { settings_.UseSolFilesForShocks = true; }
  RunPlan& plan(int run) { return plans_[run]; }
  const RunPlan& plan(int run) const { return plans_[run]; }
  int FirstSimulable(int run) const { return run == 1 ? 1 : settings_.PolicyStart; }
  bool InRange(int year, int run) const;
  // True when no run has simulations or spreadsheet jobs to do.
  bool Empty() const;
  // The closure-preparation run: the Policy in two-run mode, else the Rerun.
  Run BotRun() const { return settings_.TwoRunMode ? kPolicy : kRerun; }

  // The next job for a free slot, nullopt when none is ready, or an internal-error text.
  Result<std::optional<JobChoice>> ChooseNextJob(const std::array<SlotState, 4>& slots,
                                                 bool first_call, const BotRecords& bots,
                                                 const IterationCounters& iterations);
  // The part that follows `slot`'s part in the same slot, or nullopt when its job is done.
  std::optional<JobChoice> NextPart(const SlotState& slot) const;
  // Books a part judged successful.
  Booking FinishJobPart(const SlotState& slot);
  // The run's spreadsheet chain has run to its end over the run's whole range.
  bool WholeSpreadsheetChainDone(Run run) const;
  // The unit that booking `slot`'s part completes, if any; `chain_done_before` is
  // WholeSpreadsheetChainDone of its run before the part was booked.
  std::optional<CompletedUnit> UnitCompletedBy(const SlotState& slot, const Booking& booking,
                                               bool chain_done_before) const;

 private:
  std::optional<JobChoice> SpreadsheetCandidate(Run run,
                                                const std::array<SlotState, 4>& slots) const;
  PlanSettings settings_;
  RangeArray<RunPlan, 1, 3> plans_;
};

}  // namespace yl::jobs
