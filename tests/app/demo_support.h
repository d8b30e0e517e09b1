#pragma once
// A laid-out demo working directory and the real yearloom run on it as a user runs it.

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "app/controller.h"
#include "app/session.h"
#include "app/task_driver.h"
#include "app/task_run.h"
#include "core/prompter.h"
#include "platform/process.h"
#include "sim/sim_record.h"
#include "support/scratch_dir.h"

namespace yl::testing {

struct YearloomRun {
  bool ran = false;  // started and ended within the time allowed
  ProcessExit exit;
  std::string output;
  bool Succeeded() const { return ran && exit.exited_normally && exit.code == 0; }
};

// The window's controller with real processes and the real clock; a null host: nobody
// listens to the task's events.
struct DemoController {
  DemoController(Prompter& prompter, jobs::EngineHost* host);
  PosixProcessRunner runner;
  SystemClock clock;
  AppController app;
};

// Runs a program to its end (or stops it after `limit`), with its output.
YearloomRun RunAndWait(const ProcessSpec& spec, std::chrono::seconds limit);

class DemoWorkTest : public IsolatedEnvTest {
 protected:
  void SetUp() override;
  // The options file of the keep directory, for the slots and the jobs log.
  void WriteOptions(int concurrent_solves, const std::vector<std::string>& more = {});
  YearloomRun Yearloom(const std::vector<std::string>& args,
                       const std::vector<std::string>& env = {});
  std::string KeepFile(const std::string& name) const;
  std::string WorkFile(const std::string& name) const;
  // The demo's Sim Details loaded as batch mode loads them, with this session's
  // directories and the built programs.
  Session LoadSession(Prompter& prompter);
  // The ".sl4" solution of (run, period) in the working directory.
  std::string Solution(int run, int period) const;
  // A controller started up as the window starts it, holding the session LoadSession gives.
  std::unique_ptr<DemoController> StartController(Prompter& prompter,
                                                  jobs::EngineHost* host = nullptr);

  std::string work_name = "demo work";  // set before SetUp for another name
  std::string work;                     // with a blank in its name, as users' directories have
  std::string keep;
  std::string ds1 = "demomodel-BS1B-BR1R-PL1P.ds1";
  std::vector<std::string> setup_options;  // for yearloom-demo-setup, before SetUp
  TSimRecord sim;
};

// A host that listens to nothing, for tasks whose events no test looks at.
class NullHost : public jobs::EngineHost {
 public:
  void BigJobEnded(bool, bool) override {}
  void JobLinesChanged(const std::vector<jobs::JobLine>&) override {}
};

// Polls the controller as the window's timer would until its task ends or `limit` passes.
void PollUntilTaskEnds(AppController& app, ProcessRunner& runner,
                       std::chrono::steady_clock::duration limit);

// Polls as the window's timer would until the background activity (a check, an
// extraction) has ended or `limit` passes.
void PollUntilBackgroundEnds(AppController& app, ProcessRunner& runner,
                             std::chrono::steady_clock::duration limit);
// The services of a task run outside batch mode.
TaskServices Services(ProcessRunner& runner, Clock& clock, Prompter& prompter,
                      jobs::EngineHost& host);

// The real results of two solutions: the largest difference over their "C" headers,
// relative to 1 + |value|.
double LargestResultDifference(const std::string& a, const std::string& b);

}  // namespace yl::testing
