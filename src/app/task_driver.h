#pragma once
// Drives a task, or the passes of "Run Single Job, then Concurrent", without ever waiting:
// the owner calls Poll() when one of WaitHandles() has ended (the window through a socket
// notifier on each pidfd, batch mode through one poll), and the next pass of a series
// starts once the engine has said that the last one ended well.

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/session.h"
#include "app/task_run.h"
#include "jobs/job_engine.h"
#include "platform/process.h"

namespace yl {

class TaskDriver : private jobs::EngineHost {
 public:
  // services.host hears every event of every pass.
  TaskDriver(Session& session, const TaskServices& services);
  ~TaskDriver() override;

  // False when the task was refused or abandoned at once; Outcome() says why.
  bool StartTask(const jobs::PlanRequest& request, bool do_deviations);
  bool StartSeries(const jobs::PlanRequest& request);

  // Handles every part that has ended and starts a due pass. A call made while one is
  // under way returns at once.
  void Poll();
  // A pass is running or about to start.
  bool Running() const;
  // Running parts and the leftovers still watched; a wait on them wakes Poll().
  std::vector<ProcessHandle> WaitHandles() const;
  // Ends the task at once as cancelled (batch mode on a stop signal).
  void Abort(const std::string& message);
  // The bottom panel's Cancel: asks, and cancels at the next poll on Yes.
  void CancelButton();
  // Ends what a stopped task left running (batch mode, before it exits).
  void TerminateLeftovers();
  // Over all passes so far.
  TaskOutcome Outcome() const;
  // The running pass, for its job lines; null before the first start.
  const jobs::JobEngine* engine() const;

 private:
  bool StartPass();
  void FoldPass();

  // jobs::EngineHost, forwarded to the owner's host.
  void BigJobStarted() override;
  void BigJobEnded(bool success, bool refresh_results) override;
  void PartStarted(const jobs::PartEvent& part, const jobs::JobLine& line) override;
  void PartEnded(const jobs::PartEvent& part, jobs::PartEnd how) override;
  void JobLinesChanged(const std::vector<jobs::JobLine>& lines) override;
  void ShowLogReadOnly(const std::string& path) override;

  Session& session_;
  TaskServices services_;  // with this object as the engine's host
  jobs::EngineHost& outer_;
  jobs::PlanRequest request_;
  bool do_deviations_ = true;
  std::optional<SingleThenConcurrent> series_;
  std::unique_ptr<TaskRun> pass_;
  TaskOutcome done_;  // the passes that ended, folded
  bool next_pass_due_ = false;
  bool polling_ = false;
};

// Runs the task to its end, waiting on its processes (and on services.wake_fd, for
// services.stop_requested). For tests and tools that have no event loop of their own.
TaskOutcome RunTaskToEnd(Session& session, const jobs::PlanRequest& request, bool do_deviations,
                         const TaskServices& services);
// Every pass of "Run Single Job, then Concurrent"; stops at the first that fails.
TaskOutcome RunSeriesToEnd(Session& session, const jobs::PlanRequest& request,
                           const TaskServices& services);

}  // namespace yl
