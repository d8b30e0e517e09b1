// Cancelling a big job whose tool hangs, with the real programs: the job stops at once
// and the hung process is left to the user, as a solve of days must never be killed.

#include <gtest/gtest.h>

#include "app/task_run.h"
#include "demo_support.h"
#include "platform/paths.h"
#include "support/program_run.h"
#include "support/scripted_prompter.h"

namespace yl::testing {
namespace {

class QuietHost : public jobs::EngineHost {
 public:
  void BigJobEnded(bool success, bool) override { ended.push_back(success); }
  std::vector<bool> ended;
};

class CancelTest : public DemoWorkTest {};

TEST_F(CancelTest, AHungToolIsCancelledAndItsProcessLeftRunning) {
  ScopedEnv fault;
  fault.Set("YL_FAULT", "solexa hang");
  ScriptedPrompter prompter;
  Session session = LoadSession(prompter);
  session.settings.options.ConcurrentSolves = 1;

  PosixProcessRunner runner;
  SystemClock clock;
  QuietHost host;
  TaskRun task(session, true, Services(runner, clock, prompter, host));
  jobs::PlanRequest request = jobs::PlanRequest::Nothing(session.sim.NumYears);
  request.first_sim_year[kBase] = request.last_sim_year[kBase] = 1;
  ASSERT_TRUE(task.Start(request)) << ::testing::PrintToString(prompter.Texts());

  const auto until = std::chrono::steady_clock::now() + std::chrono::minutes(2);
  auto sol_running = [&] {
    auto lines = task.engine().JobLines();
    return !lines.empty() && lines[0].text.find("[sol part of job sim]") != std::string::npos;
  };
  while (task.Running() && !sol_running() && std::chrono::steady_clock::now() < until) {
    runner.WaitForAnyEnd(task.engine().ActiveHandles(), std::chrono::milliseconds(200));
    task.Tick();
  }
  ASSERT_TRUE(sol_running()) << ::testing::PrintToString(prompter.Texts());
  std::vector<ProcessHandle> hung = task.engine().ActiveHandles();
  ASSERT_EQ(hung.size(), 1u);

  prompter.Answer(kYes);
  task.engine().CancelButton();
  task.Tick();
  EXPECT_EQ(task.engine().state(), jobs::EngineState::kCancelled);
  EXPECT_EQ(host.ended, std::vector<bool>{false});
  const std::vector<std::string> texts = prompter.Texts();
  EXPECT_NE(std::find(texts.begin(), texts.end(), "Do you really want to kill this job?"),
            texts.end());
  EXPECT_NE(std::find(texts.begin(), texts.end(), "Solve job aborted via Cancel button"),
            texts.end());
  EXPECT_FALSE(runner.Poll(hung[0]).has_value()) << "the hung tool was killed";
  runner.Terminate(hung[0], std::chrono::seconds(1));
}

}  // namespace
}  // namespace yl::testing
