#pragma once
// One task (a big job) from the session: the checks every Run button makes, the engine's
// settings, and the wait that judges each part the moment its process ends.

#include <chrono>
#include <memory>
#include <string>

#include "app/session.h"
#include "core/clock.h"
#include "core/prompter.h"
#include "core/status.h"
#include "jobs/job_engine.h"
#include "platform/process.h"

namespace yl {

class SimPartPreparer;

struct TaskOutcome {
  bool success = false;
  bool part_failed = false;  // a part ended badly; the logs say which
  std::string message;       // what a failure showed
  jobs::EngineCounters counters;
};

struct TaskServices {
  ProcessRunner* runner = nullptr;
  Clock* clock = nullptr;
  Prompter* prompter = nullptr;
  jobs::EngineHost* host = nullptr;
  bool batch_mode = false;
};

// The checks before a task: a model, the policy start for the Rerun and the Policy.
// Refusals are failures whose text was not shown.
Status CheckTask(const Session& session, const jobs::PlanRequest& request);

// The engine settings a session gives (slots, options, names and years).
jobs::EngineSettings EngineSettingsFor(const Session& session, int policy_start, bool do_deviations,
                                       bool batch_mode);

// A running task. The session must stay unchanged until it has ended.
class TaskRun {
 public:
  TaskRun(const Session& session, bool do_deviations, const TaskServices& services);
  ~TaskRun();
  // False when the task was refused or abandoned; the outcome says why.
  bool Start(const jobs::PlanRequest& request);
  // Waits until a part ends (or the timeout passes) and handles every part that ended.
  void WaitAndTick(std::chrono::milliseconds timeout);
  bool Running() const { return engine_->Running(); }
  jobs::JobEngine& engine() { return *engine_; }
  TaskOutcome Outcome() const;

 private:
  const Session& session_;
  bool do_deviations_;
  TaskServices services_;
  std::unique_ptr<SimPartPreparer> preparer_;
  std::unique_ptr<jobs::JobEngine> engine_;
  std::string refusal_;
};

// Runs the task and waits for its end.
TaskOutcome RunTaskToEnd(const Session& session, const jobs::PlanRequest& request,
                         bool do_deviations, const TaskServices& services);

}  // namespace yl
