#pragma once
// One task (a big job) from the session: the checks every Run button makes, the engine's
// settings, and one pass of the engine. Nothing here waits: the owner ticks a pass when a
// part's process ends (task_driver.h).

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/job_context.h"
#include "app/session.h"
#include "core/clock.h"
#include "core/prompter.h"
#include "core/status.h"
#include "jobs/job_engine.h"
#include "platform/process.h"
#include "ratex/re_files.h"

namespace yl {

class ReDriver;
class SimPartPreparer;

struct TaskOutcome {
  bool success = false;
  bool cancelled = false;
  bool part_failed = false;  // a part ended badly; the logs say which
  std::string message;       // what a failure showed
  std::string failed_part;   // the part it happened in, "" when none
  jobs::EngineCounters counters;
  // The convergence overviews of a rational-expectations task that ended well.
  std::vector<std::string> convergence_reports;
};

struct TaskServices {
  ProcessRunner* runner = nullptr;
  Clock* clock = nullptr;
  Prompter* prompter = nullptr;
  jobs::EngineHost* host = nullptr;
  bool batch_mode = false;
  jobs::BackgroundState* background = nullptr;  // the session's; none in tests
  // Replaces the prerequisite checks of the plan (scheduling tests): "" passes.
  std::function<std::string(const jobs::JobPlan&)> check_plan;
  // How long a part ended by batch mode gets between SIGTERM and SIGKILL.
  std::chrono::milliseconds terminate_grace{3000};
};

// The refusal of a name that command and stored-input files cannot hold (naming the name,
// what it names and the character), or "" when the name is fine. A bare name is one
// written without quotes.
std::string NameProblem(const std::string& what, const std::string& name, bool bare = false);
// The first such refusal among the names a task writes into those files.
std::string SessionNameProblem(const Session& session);

inline constexpr char kSelectModelFirst[] = "Please select a model first.";
// The model program is named and exists.
bool ModelProgramChosen(const ModelState& model);

// The checks before a task: a model, names command files can hold, the policy start for
// the Rerun and the Policy. Refusals are failures whose text was not shown; otherwise the
// policy start period.
Result<int> CheckTask(const Session& session, const jobs::PlanRequest& request);

// What preparing the parts needs of the session.
JobContext MakeJobContext(const Session& session, int policy_start);

// The engine settings a session gives (slots, options, names and years).
jobs::EngineSettings EngineSettingsFor(const Session& session, int policy_start, bool do_deviations,
                                       bool batch_mode);

// One pass of "Run Single Job, then Concurrent".
struct SeriesPass {
  int slots = 1;
  std::string pass_info;  // "[pass number 1, Single job]"
  bool more_follow = true;
};

// Three rounds of a one-slot pass and a two-slot pass of the Run All task.
class SingleThenConcurrent {
 public:
  SeriesPass Current() const;
  // After a pass ended well: moves to the next one; false when the series is over.
  bool Advance();

 private:
  int counter_ = 0;
  int limit_ = 3;
  int slots_ = 1;
};

// A running task. The session must stay unchanged until it has ended.
class TaskRun {
 public:
  TaskRun(Session& session, bool do_deviations, const TaskServices& services);
  ~TaskRun();
  // False when the task was refused or abandoned; the outcome says why.
  bool Start(const jobs::PlanRequest& request);
  // Before Start: the task is a pass of a series.
  void SetPass(const SeriesPass& pass) { pass_ = pass; }
  // Before Start: the task does rational expectations, from these iteration states.
  void SetRationalExpectations(const ratex::IterationStates& states) { re_states_ = states; }
  // Handles every part that has ended; never waits.
  void Tick();
  bool Running() const { return engine_ && engine_->Running(); }
  jobs::JobEngine& engine() { return *engine_; }
  bool HasEngine() const { return engine_ != nullptr; }
  TaskOutcome Outcome() const;

 private:
  Session& session_;
  bool do_deviations_;
  TaskServices services_;
  std::unique_ptr<SimPartPreparer> preparer_;
  std::optional<ratex::IterationStates> re_states_;
  std::unique_ptr<ReDriver> re_;
  std::unique_ptr<jobs::JobEngine> engine_;
  std::string refusal_;
  std::optional<SeriesPass> pass_;
};

}  // namespace yl
