#pragma once
// The window program put together: the controller with its prompter, clock and process
// runner, the job panel it reports to, the single-instance server and the main window.

#include <QString>
#include <memory>
#include <string>

#include "app/controller.h"
#include "app/window/job_panel.h"
#include "core/clock.h"
#include "platform/process.h"

namespace yl {

class InstanceServer;
class MainWindow;
class QtPrompter;

struct DesktopSetup {
  std::string program_dir;
  int processors = 1;
  // Tests give their own; null: the real ones.
  Prompter* prompter = nullptr;
  ProcessRunner* runner = nullptr;
  Clock* clock = nullptr;
  bool run_start_up_stage_two = true;
};

class Desktop {
 public:
  explicit Desktop(const DesktopSetup& setup);
  ~Desktop();

  enum class Start { kWindow, kOtherCopyRaised, kRefused };
  // Stage one and the single-instance rule; on kWindow the window exists (not yet shown).
  Start Open();
  // Why Open() refused, for the one message shown before exiting.
  const std::string& refusal() const { return refusal_; }

  AppController& app() { return *app_; }
  MainWindow& window() { return *window_; }
  JobPanel& panel() { return panel_; }

 private:
  DesktopSetup setup_;
  std::unique_ptr<QtPrompter> qt_prompter_;
  Prompter* prompter_ = nullptr;
  PosixProcessRunner runner_;
  SystemClock clock_;
  JobPanel panel_;
  std::unique_ptr<AppController> app_;
  std::unique_ptr<InstanceServer> server_;
  std::unique_ptr<MainWindow> window_;
  std::string refusal_;
};

// The window program: returns the exit status.
int RunDesktop(int& argc, char** argv, const std::string& program_dir, int processors);

}  // namespace yl
