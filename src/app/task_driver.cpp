#include "app/task_driver.h"

#include "core/reentry_guard.h"

namespace yl {

TaskDriver::TaskDriver(Session& session, const TaskServices& services)
    : session_(session), services_(services), outer_(*services.host) {
  services_.host = this;
}

TaskDriver::~TaskDriver() = default;

bool TaskDriver::StartTask(const jobs::PlanRequest& request, bool do_deviations) {
  request_ = request;
  do_deviations_ = do_deviations;
  series_.reset();
  re_states_.reset();
  done_ = {};
  return StartPass();
}

bool TaskDriver::StartReTask(const jobs::PlanRequest& request,
                             const ratex::IterationStates& states) {
  request_ = request;
  do_deviations_ = true;
  series_.reset();
  re_states_ = states;
  done_ = {};
  return StartPass();
}

bool TaskDriver::StartSeries(const jobs::PlanRequest& request) {
  request_ = request;
  do_deviations_ = true;
  re_states_.reset();
  series_.emplace();
  done_ = {};
  return StartPass();
}

bool TaskDriver::StartPass() {
  next_pass_due_ = false;
  pass_ = std::make_unique<TaskRun>(session_, do_deviations_, services_);
  if (series_) pass_->SetPass(series_->Current());
  if (re_states_) pass_->SetRationalExpectations(*re_states_);
  const bool started = pass_->Start(request_);
  if (!started) FoldPass();
  return started;
}

namespace {

// The counts add up over the passes; the rest is the last pass's.
TaskOutcome Folded(TaskOutcome total, const TaskOutcome& pass) {
  total.counters.parts_launched += pass.counters.parts_launched;
  total.counters.parts_finished += pass.counters.parts_finished;
  total.success = pass.success;
  total.cancelled = pass.cancelled;
  total.part_failed = pass.part_failed;
  total.message = pass.message;
  total.failed_part = pass.failed_part;
  total.convergence_reports = pass.convergence_reports;
  return total;
}

}  // namespace

void TaskDriver::FoldPass() {
  if (pass_) done_ = Folded(done_, pass_->Outcome());
}

void TaskDriver::Poll() {
  const ReentryGuard guard(polling_);
  if (!guard.entered()) return;
  if (pass_) pass_->Tick();
  // The pass's engine has returned from the tick that ended it, so it may go now.
  if (next_pass_due_) {
    FoldPass();
    StartPass();
  }
}

bool TaskDriver::Running() const { return next_pass_due_ || (pass_ && pass_->Running()); }

std::vector<ProcessHandle> TaskDriver::WaitHandles() const {
  if (!pass_ || !pass_->HasEngine()) return {};
  return pass_->engine().WatchedHandles();
}

void TaskDriver::Abort(const std::string& message) {
  next_pass_due_ = false;
  if (pass_ && pass_->HasEngine()) pass_->engine().Abort(message);
}

void TaskDriver::CancelButton() {
  if (pass_ && pass_->HasEngine()) pass_->engine().CancelButton();
}

void TaskDriver::TerminateLeftovers() {
  if (pass_ && pass_->HasEngine()) pass_->engine().TerminateLeftovers(services_.terminate_grace);
}

TaskOutcome TaskDriver::Outcome() const {
  if (!pass_ || next_pass_due_) return done_;
  return Folded(done_, pass_->Outcome());
}

const jobs::JobEngine* TaskDriver::engine() const {
  return pass_ && pass_->HasEngine() ? &pass_->engine() : nullptr;
}

void TaskDriver::BigJobStarted() { outer_.BigJobStarted(); }

void TaskDriver::BigJobEnded(bool success, bool refresh_results) {
  // A pass that ended well hands over to the next one; the owner hears of the end of the
  // whole series only.
  if (success && series_ && series_->Advance()) {
    next_pass_due_ = true;
    return;
  }
  outer_.BigJobEnded(success, refresh_results);
}

void TaskDriver::PartStarted(const jobs::PartEvent& part, const jobs::JobLine& line) {
  outer_.PartStarted(part, line);
}

void TaskDriver::PartEnded(const jobs::PartEvent& part, jobs::PartEnd how) {
  outer_.PartEnded(part, how);
}

void TaskDriver::JobLinesChanged(const std::vector<jobs::JobLine>& lines) {
  outer_.JobLinesChanged(lines);
}

void TaskDriver::ShowLogReadOnly(const std::string& path) { outer_.ShowLogReadOnly(path); }

void PollUntilDone(PolledWork& work, ProcessRunner& runner, int wake_fd,
                   const std::function<std::string()>& stop_requested, bool end_leftovers) {
  try {
    while (work.Running()) {
      if (stop_requested) {
        if (std::string stop = stop_requested(); !stop.empty()) {
          work.Abort(stop);
          break;
        }
      }
      const std::vector<ProcessHandle> handles = work.WaitHandles();
      if (!handles.empty()) runner.WaitForAnyEnd(handles, std::chrono::seconds(1), wake_fd);
      // A due pass starts here even with nothing to wait for.
      work.Poll();
      // Work with nothing left to wait for would never end.
      if (handles.empty() && work.Running() && work.WaitHandles().empty()) break;
    }
  } catch (...) {
    work.Abort("");
    if (end_leftovers) work.TerminateLeftovers();
    throw;
  }
  // Once a program without a window has ended, nobody would judge or log what a part
  // still running writes; the window keeps watching such parts instead.
  if (end_leftovers) work.TerminateLeftovers();
}

namespace {

TaskOutcome DriveToEnd(TaskDriver& driver, bool started, const TaskServices& services) {
  if (started) {
    PollUntilDone(driver, *services.runner, -1, {}, services.batch_mode);
  }
  return driver.Outcome();
}

}  // namespace

TaskOutcome RunTaskToEnd(Session& session, const jobs::PlanRequest& request, bool do_deviations,
                         const TaskServices& services) {
  TaskDriver driver(session, services);
  const bool started = driver.StartTask(request, do_deviations);
  return DriveToEnd(driver, started, services);
}

TaskOutcome RunSeriesToEnd(Session& session, const jobs::PlanRequest& request,
                           const TaskServices& services) {
  TaskDriver driver(session, services);
  const bool started = driver.StartSeries(request);
  return DriveToEnd(driver, started, services);
}

}  // namespace yl
