#pragma once
// The application as plain C++: it owns the session, the directories, the background
// activities and the running task, and runs start-up and shut-down. The window and batch
// mode are its views: they show what it says and call Poll() when one of WaitHandles()
// has ended or a second has passed.

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/background_tasks.h"
#include "app/session.h"
#include "app/task_driver.h"
#include "app/task_run.h"
#include "core/clock.h"
#include "core/prompter.h"
#include "env/dir_search.h"
#include "jobs/job_engine.h"
#include "platform/instance_lock.h"
#include "platform/process.h"

namespace yl {

struct ControllerEnvironment {
  std::string program_dir;  // where the family tools are
  ProcessRunner* runner = nullptr;
  Clock* clock = nullptr;
  Prompter* prompter = nullptr;
  jobs::EngineHost* host = nullptr;  // hears the running task's events
  int processors = 1;
  bool batch_mode = false;
  std::chrono::milliseconds terminate_grace{3000};
  // Shows a log read-only (the window's editor); unset: not shown.
  std::function<void(const std::string& path)> show_log;
  std::string sound_device_dir = "/dev/snd";
  // "Restore Ingredients from ZIP archive", offered on a first run; unset: not offered.
  std::function<void()> restore_from_archive;
};

// What the first stage of start-up found.
struct StartUpReport {
  DirSearchResult keep;
  DirSearchResult temp;
  // The one-run lock of the keep directory could not be taken: held tells whether
  // another run holds it, problem says what went wrong otherwise.
  bool lock_taken = false;
  bool lock_held_elsewhere = false;
  std::string lock_problem;
  std::string lock_file;
  bool options_file_found = false;
  bool last_session_failed = false;
  // The program cannot go on: no keep directory, or another run holds it.
  bool fatal() const { return !keep.found || !lock_taken; }
};

inline constexpr char kInstanceLockName[] = "yearloom.lock";
inline constexpr char kDisplayName[] = "Yearloom";

// The refusal of a second run on the same keep directory, naming who holds it.
std::string LockRefusal(const std::string& keep_dir, const std::string& lock_file);

class AppController : public PolledWork {
 public:
  explicit AppController(const ControllerEnvironment& env);
  ~AppController();

  // Stage one, before anything is shown: the keep directory, its lock, the temporary
  // directory, the jobs log, the options file and the last session. Asks nothing.
  const StartUpReport& StartUp();
  // Stage two: the checks that may end the program, each with its message (batch mode
  // reports them itself). False when the program must exit.
  bool FinishStartUp();
  // The close path: the temporary directory cleared when the options say so, then the
  // options file and the last session written (unless update_options_file is off, a
  // developer's choice); a failure is shown ending "[CloseDown]".
  void CloseDown(bool update_options_file = true);

  Session& session() { return session_; }
  const StartUpReport& start_up() const { return report_; }
  BackgroundTasks& background() { return *background_; }

  // A big job, or the passes of "Run Single Job, then Concurrent". False when refused.
  bool StartTask(const jobs::PlanRequest& request, bool do_deviations);
  bool StartSeries(const jobs::PlanRequest& request);
  // A task of the Rational Expectations menu (or batch mode with "Do Corvan RE" on).
  bool StartReTask(const jobs::PlanRequest& request, const ratex::IterationStates& states);
  bool TaskRunning() const { return task_ && task_->Running(); }
  bool Running() const override { return TaskRunning(); }
  // The last task's outcome; nullopt before the first.
  std::optional<TaskOutcome> task_outcome() const;
  // The last task's request and whether it made the differences; nullopt before any.
  std::optional<std::pair<jobs::PlanRequest, bool>> last_task() const;
  // The "Job Status Overview" text of the big job running now.
  std::string JobStatusText() const;
  // Handles whatever ended: parts of the task and the background activity. A call made
  // while one is under way (a nested event loop) returns at once.
  void Poll() override;
  // What a wait should wake for: running parts, their leftovers and the background
  // activity's program.
  std::vector<ProcessHandle> WaitHandles() const override;
  // The bottom panel's Cancel button.
  void CancelButton();
  // The wait window's Cancel of a background activity: asks, and on Yes ends the wait at
  // once (the program is left to end alone). True when the wait was ended.
  bool CancelBackground();
  // Ends the task at once as cancelled, with the message (batch mode on a stop signal).
  void Abort(const std::string& message) override;
  // Ends what a stopped task left running; batch mode does before it exits.
  void TerminateLeftovers() override;

 private:
  void NewTask();
  bool RefuseSecondTask();

  ControllerEnvironment env_;
  Session session_;
  StartUpReport report_;
  std::optional<InstanceLock> lock_;
  std::unique_ptr<BackgroundTasks> background_;
  std::unique_ptr<TaskDriver> task_;
  jobs::EngineHost quiet_host_;  // when nobody listens to the task's events
  bool polling_ = false;
};

}  // namespace yl
