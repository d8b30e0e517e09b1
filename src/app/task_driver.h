#pragma once
// Drives a task, or the passes of "Run Single Job, then Concurrent", without ever waiting:
// the owner calls Poll() when one of WaitHandles() has ended (the window through a socket
// notifier on each pidfd, batch mode through one poll), and the next pass of a series
// starts once the engine has said that the last one ended well.

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/session.h"
#include "app/task_run.h"
#include "jobs/job_engine.h"
#include "platform/process.h"

namespace yl {

// Work that runs processes and moves on when one of them ends: a task, or the whole
// application while a task runs.
class PolledWork {
 public:
  virtual ~PolledWork() = default;
  virtual bool Running() const = 0;
  // What a wait should wake for.
  virtual std::vector<ProcessHandle> WaitHandles() const = 0;
  // Handles whatever has ended; never waits.
  virtual void Poll() = 0;
  // Ends the work at once as cancelled, with the message.
  virtual void Abort(const std::string& message) = 0;
  // Ends the processes a stopped task left running.
  virtual void TerminateLeftovers() = 0;
};

// The one wait of a program without an event loop: waits on the work's processes (and on
// wake_fd), polls, and stops when the work is done or stop_requested gives the text that
// cancels it. With end_leftovers, nothing the work started outlives it, even when a poll
// throws.
void PollUntilDone(PolledWork& work, ProcessRunner& runner, int wake_fd,
                   const std::function<std::string()>& stop_requested, bool end_leftovers);

class TaskDriver : public PolledWork, private jobs::EngineHost {
 public:
  // services.host hears every event of every pass.
  TaskDriver(Session& session, const TaskServices& services);
  ~TaskDriver() override;

  // False when the task was refused or abandoned at once; Outcome() says why.
  bool StartTask(const jobs::PlanRequest& request, bool do_deviations);
  bool StartSeries(const jobs::PlanRequest& request);
  // A task that does rational expectations from these iteration states.
  bool StartReTask(const jobs::PlanRequest& request, const ratex::IterationStates& states);

  // Handles every part that has ended and starts a due pass. A call made while one is
  // under way returns at once.
  void Poll() override;
  // A pass is running or about to start.
  bool Running() const override;
  // Running parts and the leftovers still watched.
  std::vector<ProcessHandle> WaitHandles() const override;
  void Abort(const std::string& message) override;
  // The bottom panel's Cancel: asks, and cancels at the next poll on Yes.
  void CancelButton();
  void TerminateLeftovers() override;
  // Over all passes so far.
  TaskOutcome Outcome() const;
  // The running pass, for its job lines; null before the first start.
  const jobs::JobEngine* engine() const;

  // What the task was asked to do, for presetting the Results page when it ends.
  const jobs::PlanRequest& request() const { return request_; }
  bool do_deviations() const { return do_deviations_; }

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
  std::optional<ratex::IterationStates> re_states_;
  std::unique_ptr<TaskRun> pass_;
  TaskOutcome done_;  // the passes that ended, folded
  bool next_pass_due_ = false;
  bool polling_ = false;
};

// Runs the task to its end, waiting on its processes. For tests and tools that have no
// event loop of their own.
TaskOutcome RunTaskToEnd(Session& session, const jobs::PlanRequest& request, bool do_deviations,
                         const TaskServices& services);
// Every pass of "Run Single Job, then Concurrent"; stops at the first that fails.
TaskOutcome RunSeriesToEnd(Session& session, const jobs::PlanRequest& request,
                           const TaskServices& services);

}  // namespace yl
