#pragma once
// The engine of a big job: a state machine advanced by Tick(). It launches job parts as
// processes in up to three slots, judges every part that ends, books it in the job plan
// and launches what can follow. The GUI ticks it from a one-second timer; batch mode
// ticks it whenever the process runner says a child ended, so no part waits for the next
// whole second.

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "core/clock.h"
#include "core/prompter.h"
#include "core/status.h"
#include "jobs/background_job.h"
#include "jobs/job_logs.h"
#include "jobs/job_plan.h"
#include "platform/process.h"

namespace yl::jobs {

// What a prepared part starts and where its outputs go.
struct PreparedPart {
  ProcessSpec process;
  std::string log_file;
  std::string report_file;
  std::string check_file;
  std::string year_log;         // the job's cumulative log
  std::string year_log_header;  // when set, the year log is begun afresh with this line
};

// The part of the engine that knows files: command files, stored-input files, copies.
// Implemented by the application against the simulation; faked in scheduling tests.
class PartPreparer {
 public:
  virtual ~PartPreparer() = default;
  // The plan of the big job being started; it lives until the next one starts.
  virtual void PlanMade(const JobPlan& /*plan*/) {}
  // Before the first launch, when more than one slot is usable: empty and fill the
  // directories of slots 2..last.
  virtual Status PrepareSlotDirectories(int first_slot, int last_slot) = 0;
  // The outputs this big job will make again are moved or deleted; the files that could
  // not be are returned ("locked").
  virtual std::vector<std::string> ClearOutputs() = 0;
  // Writes what the part needs and says what to start. The error text is the message
  // to show; the big job stops.
  virtual Result<PreparedPart> Prepare(const JobChoice& part, int slot) = 0;
  // After the "sim" part of (run, year): the updated data go to the other slots.
  virtual Status AfterSimPart(int run, int year, int first_slot, int last_slot) = 0;
  // Before a part that reported success is booked: its outputs are whole. The error text
  // says which file is not; the part then counts as failed.
  virtual Status VerifyOutputs(const JobChoice& /*part*/, const PreparedPart& /*files*/) {
    return Ok();
  }
  // A part was judged successful (before it is booked).
  virtual void PartSucceeded(const JobChoice& /*part*/, const PreparedPart& /*files*/) {}
  // Booking a part completed a unit the run records keep (after it was booked).
  virtual void UnitCompleted(const CompletedUnit& /*unit*/) {}
  // A part was judged successful: the checks it must still pass before it is booked. A
  // failure, already shown, stops the big job with its text as the outcome.
  virtual Status CheckSucceededPart(const JobChoice& /*part*/) { return Ok(); }
  // Booking completed an iteration of the run (rational expectations); a failure, already
  // shown, stops the big job.
  virtual Status IterationCompleted(Run /*run*/) { return Ok(); }
  // The whole big job finished well, before the window returns to idle.
  virtual void BigJobFinished() {}
  // The model program's name for messages about a missing report.
  virtual std::string ProgramName(const JobChoice& part) const = 0;
  virtual std::string ModelPath() const = 0;
};

// One line of the running-jobs panel: a running part, or a note such as "[None running.]".
struct JobLine {
  int slot = 0;  // 0 for a note
  int run = 0;   // the part's run, which colours the line; 0 for a note
  std::string text;
  bool operator==(const JobLine&) const = default;
};

// A part as the host hears of it.
struct PartEvent {
  int slot = 0;
  Run run = kBase;
  int year = 0;
  JobKind job = JobKind::kNone;
  PartKind part = PartKind::kNone;
  int iteration = 0;  // the run's rational-expectations iteration; 0 without them
  bool operator==(const PartEvent&) const = default;
};

enum class PartEnd {
  kSucceeded,
  kFailed,   // judged failed; the big job stops
  kStopped,  // still running when the big job stopped or was cancelled; left to end alone
};

// What the engine tells the window (or batch mode) as a big job goes on. Every event has
// a default that ignores it.
class EngineHost {
 public:
  virtual ~EngineHost() = default;
  // The user let the job begin and its first part is about to start.
  virtual void BigJobStarted() {}
  // The window returns to idle; `refresh_results` after success.
  virtual void BigJobEnded(bool /*success*/, bool /*refresh_results*/) {}
  virtual void PartStarted(const PartEvent& /*part*/, const JobLine& /*line*/) {}
  virtual void PartEnded(const PartEvent& /*part*/, PartEnd /*how*/) {}
  virtual void JobLinesChanged(const std::vector<JobLine>& /*lines*/) {}
  // Shows a log in the text editor, read-only.
  virtual void ShowLogReadOnly(const std::string& /*path*/) {}
};

struct EngineSettings {
  PlanSettings plan;
  // The session's background activity: guarded at the start, busy while the job runs.
  BackgroundState* background = nullptr;
  bool developer_mode = false;
  // The prerequisite checks of the plan: "" when they pass, else what refused it (shown).
  std::function<std::string(const JobPlan&)> check_plan;
  // "No data file may share its short name with a closure/shock file"; the error text.
  std::function<Status()> check_short_names;
  // Ask "Although you have checked the "Do Rational Expectations" box ..." first.
  bool warn_re_not_done = false;
  // A rational-expectations task prepares its iteration files where the big job starts;
  // a failure, already shown, abandons it with its text as the outcome.
  std::function<Status()> start_rational_expectations;
  // Recommend SOL files for shocks when the Base starts at year 1; Yes calls this.
  bool recommend_sol_files = false;
  std::function<void()> use_sol_files;
  int first_slot = 1;
  int last_slot = 1;
  bool fewer_messages = false;
  bool batch_mode = false;
  bool jobs_log_on = false;
  std::string keep_dir;
  std::string working_dir;
  std::string program_display_name = "Yearloom";
  // A "Run Single Job, then Concurrent" series: the pass shown in the job lines' header,
  // and whether more passes follow this one (its closing messages are not shown then).
  std::string pass_info;
  bool more_passes_follow = false;
};

enum class EngineState { kIdle, kRunning, kFinished, kStopped, kCancelled };

struct EngineCounters {
  int parts_launched = 0;
  int parts_finished = 0;
};

class JobEngine {
 public:
  JobEngine(ProcessRunner& runner, Clock& clock, Prompter& prompter, PartPreparer& preparer,
            EngineHost& host);
  ~JobEngine();

  // StartBigJob: normalises the plan and launches the first parts. False when the big
  // job was refused or abandoned (its message was shown). Of `bots`, StillNeeded is used
  // (by default every result not made in this big job is stale); DoneThisJob is the
  // engine's own record.
  bool Start(const EngineSettings& settings, const PlanRequest& request, BotRecords bots = {},
             IterationCounters iterations = {});
  // Handles at most one ended part; true when it handled one. A tick asked for while one
  // is under way (a question shown during a tick runs a nested event loop) does nothing.
  bool Tick();
  // The user confirmed "Do you really want to kill this job?": acted on at the next tick.
  void RequestCancel() { cancel_requested_ = true; }
  // Asks the question and requests the cancel on Yes.
  void CancelButton();
  // Ends the big job at once, as cancelled, with `message` as its outcome (batch mode on
  // SIGINT or SIGTERM). The running parts are left to TerminateLeftovers.
  void Abort(const std::string& message);
  // Ends every part a stopped or cancelled big job left running: SIGTERM to its process
  // group, SIGKILL after `grace`, and waits for each. Batch mode does this before it
  // exits, so no solve goes on writing after the program has ended; the window never
  // does, as a solve may have run for days.
  void TerminateLeftovers(std::chrono::milliseconds grace);
  // Processes a stopped big job left running, still watched until they end.
  std::size_t leftovers() const { return orphans_.size(); }

  bool Running() const { return state_ == EngineState::kRunning; }
  EngineState state() const { return state_; }
  const JobPlan* plan() const { return plan_.get(); }
  const EngineCounters& counters() const { return counters_; }
  // Running processes, for a wait that wakes when one ends.
  std::vector<ProcessHandle> ActiveHandles() const;
  // Those and the processes a stopped big job left running, which a tick reaps.
  std::vector<ProcessHandle> WatchedHandles() const;
  std::vector<JobLine> JobLines() const;
  // "Running jobs:", with the pass of a series.
  std::string JobLinesHeader() const;
  // The last message a failure or the end showed, for batch mode's log.
  const std::string& outcome_message() const { return outcome_message_; }
  // The big job stopped because a part ended badly (its logs tell the story).
  bool part_failed() const { return part_failed_; }
  // The part a failure happened in, as the jobs log's ERROR line describes it; "" when
  // the failure belonged to no part.
  const std::string& failed_part() const { return failed_part_; }
  std::chrono::seconds elapsed() const { return elapsed_; }

 private:
  struct Slot {
    SlotState state;
    ProcessHandle process;
    PreparedPart files;
  };

  void Step(int ended_slot, const SlotState& ended);
  bool BeginBigJob();
  void Stop();
  void End(bool success, bool refresh);
  void WholeJobFinished();
  void HandleFailure(int slot, const std::string& problem);
  void FailOutsidePart(const SlotState* part, const std::string& message);
  std::string PartLog(const PreparedPart& files) const;
  void InternalError(const std::string& message);
  // Stops and ends the big job after a failure its own code has shown.
  void StopAfterShown(const std::string& message);
  void JobsLog(const std::vector<std::string>& lines);
  std::string What(const SlotState& s) const;
  std::string Description(const SlotState& s) const;
  void ReapOrphans();
  void SetBackground(bool busy);
  PartEvent EventOf(int slot) const;
  JobLine LineOf(int slot) const;

  ProcessRunner& runner_;
  Clock& clock_;
  Prompter& prompter_;
  PartPreparer& preparer_;
  EngineHost& host_;

  EngineSettings settings_;
  std::unique_ptr<JobPlan> plan_;
  BotRecords bots_;
  std::set<int> bots_done_;
  IterationCounters iterations_;
  std::array<Slot, 4> slots_{};
  EngineState state_ = EngineState::kIdle;
  bool stopped_ = false;
  bool launched_any_ = false;
  bool cancel_requested_ = false;
  bool ticking_ = false;
  bool part_failed_ = false;
  std::string failed_part_;
  TimePoint start_time_{};
  std::chrono::seconds elapsed_{0};
  EngineCounters counters_;
  std::string outcome_message_;
  // Processes a cancelled or stopped big job left running; reaped when they end.
  std::vector<ProcessHandle> orphans_;
};

// "sim for year 2003 (period number 3)" and the like: the {what} of job lines and logs.
std::string PartWhat(const SlotState& s, const std::function<int(int)>& calendar_year);

}  // namespace yl::jobs
