#include "app/controller.h"

#include "app/commands/temp_dir_commands.h"
#include "core/reentry_guard.h"
#include "core/text_util.h"
#include "env/temp_dir.h"
#include "jobs/job_logs.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/sound_output.h"
#include "platform/text_file.h"
#include "settings/options_file.h"
#include "settings/recent_files.h"
#include "settings/sim_details.h"
#include "sim/sim_defaults.h"

namespace yl {

namespace {

constexpr int kHelpLastSessionFailed = 7073;
constexpr int kHelpFirstRun = 7087;

void EnsureFile(const std::string& path) {
  if (!FileExists(path)) (void)WriteTextLines(path, {});
}

}  // namespace

AppController::AppController(const ControllerEnvironment& env) : env_(env) {
  background_ = std::make_unique<BackgroundTasks>(session_, *env_.runner, *env_.clock,
                                                  *env_.prompter, env_.show_log);
}

AppController::~AppController() = default;

const StartUpReport& AppController::StartUp() {
  report_ = {};
  SetDefaultSimulation(session_.sim, session_.sim.SimDir);
  report_.keep = DirectorySearch(KeepDirSearchParams());
  if (!report_.keep.found) return report_;
  // Before anything is written in the keep directory: one run at a time.
  report_.lock_file = JoinPath(report_.keep.dir, kInstanceLockName);
  auto lock = InstanceLock::Acquire(report_.lock_file, &report_.lock_held_elsewhere);
  if (!lock) {
    report_.lock_problem = lock.error();
    return report_;
  }
  lock_ = std::move(*lock);
  report_.lock_taken = true;

  report_.temp = DirectorySearch(TempDirSearchParams());
  SessionPaths& paths = session_.settings.paths;
  paths.keep_dir = report_.keep.dir;
  paths.temp_dir = report_.temp.found ? report_.temp.dir : "";
  paths.default_temp_dir = paths.temp_dir;
  paths.program_dir = env_.program_dir;

  // The jobs log exists from the start; the options decide whether it is written.
  EnsureFile(JoinPath(report_.keep.dir, jobs::kJobsLogName));
  const std::string options_file = JoinPath(report_.keep.dir, kOptionsFileName);
  report_.options_file_found = FileExists(options_file);
  if (report_.options_file_found) {
    // Said at once in the window; batch mode prints it.
    Notices notices;
    ReadOptionsFile(options_file, kAllGroups, session_.settings, session_.sim, notices);
    ShowAll(*env_.prompter, notices);
    if (auto ini = IniFile::Load(options_file); ini && !env_.batch_mode) {
      session_.settings.recent_files = ReadRecentFiles(*ini, FileExists);
      session_.settings.recent_files_read = true;
    }
  } else {
    ApplyFirstRunDefaults(session_.settings, env_.processors);
    session_.settings.recent_files_read = !env_.batch_mode;
  }
  // A store that cannot be read leaves the default simulation.
  const bool stored = FileExists(LastSessionFile(report_.keep.dir));
  report_.last_session_failed = stored && !LoadLastSession(report_.keep.dir, session_.sim);
  if (env_.batch_mode) session_.settings.fewer_messages_effective = true;
  // No sound for this session on a machine that cannot play one.
  if (!HasSoundOutput(env_.sound_device_dir)) session_.settings.options.PlayMusic = false;
  return report_;
}

bool AppController::FinishStartUp() {
  Prompter& prompter = *env_.prompter;
  const bool shown = !env_.batch_mode;
  if (!report_.temp.found) {
    if (shown) ShowAll(prompter, NoTempDirMessages(kDisplayName));
    session_.settings.paths.temp_dir = "??";
    return false;
  }
  if (!report_.keep.found) {
    if (shown) ShowAll(prompter, NoKeepDirMessages(kDisplayName));
    session_.settings.paths.keep_dir = "??";
    return false;
  }
  if (!shown) return true;
  Options& o = session_.settings.options;
  if (o.WarnTempDirName && IsSuspiciousTempDirName(session_.settings.paths.temp_dir) &&
      WarnAboutTempDirName(prompter, kDisplayName, session_.settings.paths.temp_dir)) {
    o.WarnTempDirName = false;
  }
  if (report_.last_session_failed) {
    prompter.Warning(std::string("There was an error reading the status of ") + kDisplayName +
                         " as stored\r\n from the last time you ran it.\r\nDefault values have "
                         "been set, as you can see (for example) from the Closure/Shocks "
                         "page.\r\nYou can continue to run " +
                         kDisplayName +
                         ".\r\nHowever, it this problem persists, please tell the developers of " +
                         kDisplayName + ".",
                     kHelpLastSessionFailed, kOk | kHelp);
  }
  if (!report_.options_file_found &&
      prompter.Confirm(
          "If you are running this program for the first time, the best way\r\n to start is to "
          "load a model and simulation from a Zip Archive.\r\nDo you wish to do this now?\r\n"
          "[Click on Help if you want more information.]",
          kYes | kNo | kHelp, kHelpFirstRun) == kYes &&
      env_.restore_from_archive) {
    env_.restore_from_archive();
  }
  return true;
}

void AppController::CloseDown(bool update_options_file) {
  Prompter& prompter = *env_.prompter;
  const SessionPaths& paths = session_.settings.paths;
  const Options& o = session_.settings.options;
  // Never the program's own directory, never a drive root.
  if (o.ClearTempDirAtExit && !o.DeveloperMode && paths.temp_dir.size() >= 4 &&
      LowerCase(RemoveTrailingSep(paths.temp_dir)) !=
          LowerCase(RemoveTrailingSep(env_.program_dir))) {
    (void)DeleteAllFilesInDir(paths.temp_dir);
  }
  // A program refused the keep directory must not overwrite what the one holding it keeps.
  if (!report_.lock_taken || !update_options_file) return;
  const std::string options_file = JoinPath(paths.keep_dir, kOptionsFileName);
  Notices notices;
  auto written =
      WriteIniOptions(options_file, OptionsForm::kUpdate, session_.settings, session_.sim, notices);
  ShowAll(prompter, notices);
  if (!written) prompter.Error(written.error() + "[CloseDown]");
  if (auto s = SaveLastSession(paths.keep_dir, session_.sim); !s) {
    prompter.Error(s.error() + "[CloseDown]");
  }
}

// The refusal of a second run on the same keep directory, naming who holds it.
std::string LockRefusal(const std::string& keep_dir, const std::string& lock_file) {
  std::string text = "Another Yearloom run is using the keep directory " + keep_dir +
                     ".\nOnly one run at a time may use it; this one has not started.";
  const std::vector<LockHolder> holders = LockHolders(lock_file);
  if (!holders.empty()) {
    text += "\nProcesses still holding " + lock_file + ":";
    for (const LockHolder& h : holders) {
      text += "\n  " + std::to_string(h.pid) + (h.command.empty() ? "" : " (" + h.command + ")");
    }
  }
  return text;
}

bool AppController::RefuseSecondTask() {
  env_.prompter->Information("Is already a big job running. Cannot start another.");
  return false;
}

void AppController::NewTask() {
  TaskServices services;
  services.runner = env_.runner;
  services.clock = env_.clock;
  services.prompter = env_.prompter;
  services.host = env_.host ? env_.host : &quiet_host_;
  services.batch_mode = env_.batch_mode;
  services.background = &session_.background;
  services.terminate_grace = env_.terminate_grace;
  task_ = std::make_unique<TaskDriver>(session_, services);
}

bool AppController::StartTask(const jobs::PlanRequest& request, bool do_deviations) {
  if (TaskRunning()) return RefuseSecondTask();
  NewTask();
  return task_->StartTask(request, do_deviations);
}

bool AppController::StartReTask(const jobs::PlanRequest& request,
                                const ratex::IterationStates& states) {
  if (TaskRunning()) return RefuseSecondTask();
  NewTask();
  return task_->StartReTask(request, states);
}

bool AppController::StartSeries(const jobs::PlanRequest& request) {
  if (TaskRunning()) return RefuseSecondTask();
  NewTask();
  return task_->StartSeries(request);
}

std::optional<TaskOutcome> AppController::task_outcome() const {
  if (!task_) return std::nullopt;
  return task_->Outcome();
}

std::optional<std::pair<jobs::PlanRequest, bool>> AppController::last_task() const {
  if (!task_) return std::nullopt;
  return std::make_pair(task_->request(), task_->do_deviations());
}

std::string AppController::JobStatusText() const {
  const jobs::JobEngine* engine = TaskRunning() ? task_->engine() : nullptr;
  const TSimRecord& sim = session_.sim;
  return jobs::JobStatusOverview(engine ? engine->plan() : nullptr, [&sim](int period) {
    return period >= 0 && period <= sim.NumYears ? sim.Years[period] : period;
  });
}

void AppController::Poll() {
  const ReentryGuard guard(polling_);
  if (!guard.entered()) return;
  if (task_) task_->Poll();
  background_->Tick();
}

std::vector<ProcessHandle> AppController::WaitHandles() const {
  std::vector<ProcessHandle> handles;
  if (task_) handles = task_->WaitHandles();
  if (auto h = background_->handle()) handles.push_back(*h);
  return handles;
}

void AppController::CancelButton() {
  if (task_) task_->CancelButton();
}

bool AppController::CancelBackground() {
  if (!background_->Busy() || polling_) return false;
  if (env_.prompter->Confirm("Do you really want to kill this job?", kYes | kNo) != kYes) {
    return false;
  }
  const ReentryGuard guard(polling_);
  return guard.entered() && background_->Tick(true);
}

void AppController::Abort(const std::string& message) {
  if (task_) task_->Abort(message);
}

void AppController::TerminateLeftovers() {
  if (task_) task_->TerminateLeftovers();
}

}  // namespace yl
