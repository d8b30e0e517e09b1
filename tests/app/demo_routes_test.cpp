// The other routes through a whole task with the real programs: SOL files for shocks with
// the edited BOT file of the second and third slots, two-run mode, and model parts run
// through a script.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/task_driver.h"
#include "app/task_run.h"
#include "demo_support.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "sim/sim_naming.h"
#include "support/scripted_prompter.h"

namespace yl::testing {
namespace {

class CountingHost : public jobs::EngineHost {
 public:
  void BigJobEnded(bool, bool) override { ++ended; }
  void JobLinesChanged(const std::vector<jobs::JobLine>& lines) override {
    most_at_once = std::max(most_at_once, lines.size());
  }
  std::size_t most_at_once = 0;
  int ended = 0;
};

class DemoRoutesTest : public DemoWorkTest {
 protected:
  jobs::PlanRequest All(bool with_rerun = true) const {
    jobs::PlanRequest r = jobs::PlanRequest::Nothing(sim.NumYears);
    for (int run = kBase; run <= kPolicy; ++run) {
      if (run == kRerun && !with_rerun) continue;
      r.first_sim_year[run] = r.first_ss_year[run] = 1;
      r.last_sim_year[run] = r.last_ss_year[run] = sim.NumYears;
    }
    return r;
  }
  TaskOutcome Run(Session& session, const jobs::PlanRequest& request) {
    TaskOutcome o = RunTaskToEnd(session, request, true, Services(runner, clock, prompter, host));
    EXPECT_TRUE(o.success) << o.message << "\n" << ::testing::PrintToString(prompter.Texts());
    return o;
  }

  PosixProcessRunner runner;
  SystemClock clock;
  ScriptedPrompter prompter;
  CountingHost host;
};

TEST_F(DemoRoutesTest, BotFilesFromSolexInThreeSlotsStillReproduceTheBase) {
  Session session = LoadSession(prompter);
  ASSERT_TRUE(session.settings.options.SolFileShocks);  // what the demo is set up with
  session.settings.options.SolFileShocks = false;
  session.settings.model.Release.SvRelease = 60000;  // too old to be recommended them
  session.settings.options.ConcurrentSolves = 3;
  Run(session, All());
  EXPECT_EQ(host.most_at_once, 3u);
  // The solves' reports told the release again.
  EXPECT_GT(session.settings.model.Release.SvRelease, 69999);
  for (int k = 4; k <= sim.NumYears; ++k) {
    EXPECT_LT(LargestResultDifference(Solution(kBase, k), Solution(kRerun, k)), 1e-4) << k;
    EXPECT_FALSE(FileExists(WorkFile(BotResultsFileName(sim, k, false)))) << k;
  }
}

TEST_F(DemoRoutesTest, RunSingleJobThenConcurrentRunsSixPasses) {
  Session session = LoadSession(prompter);
  jobs::PlanRequest r = jobs::PlanRequest::Nothing(sim.NumYears);
  for (int run = kBase; run <= kPolicy; ++run) {
    r.first_sim_year[run] = 1;
    r.last_sim_year[run] = 5;
  }
  TaskOutcome o = RunSeriesToEnd(session, r, Services(runner, clock, prompter, host));
  EXPECT_TRUE(o.success) << o.message;
  // Each pass: Base 5 years x 2 parts, Rerun and Policy 2 years x 2, 2 closure
  // preparations x 3 parts.
  EXPECT_EQ(o.counters.parts_finished, 6 * (10 + 4 + 4 + 6));
  EXPECT_EQ(host.most_at_once, 2u);
  // The passes follow each other by themselves; the host hears the end of the series.
  EXPECT_EQ(host.ended, 1);
  // Only the last pass says that the whole job is finished.
  int finished = 0;
  for (const auto& t : prompter.Texts())
    finished += t.find("Whole job is finished") != std::string::npos;
  EXPECT_EQ(finished, 1);
}

TEST_F(DemoRoutesTest, TwoRunModePreparesThePolicyClosureItself) {
  Session session = LoadSession(prompter);
  session.settings.options.NoRerun = true;
  session.settings.options.ConcurrentSolves = 2;
  Run(session, All(false));
  EXPECT_FALSE(FileExists(Solution(kRerun, 4)));
  const std::string policy = WorkFile(SolutionFileName(sim, kPolicy, 4, true));
  ASSERT_TRUE(FileExists(policy));
  EXPECT_GT(LargestResultDifference(Solution(kBase, 4), policy), 1e-3);
  EXPECT_TRUE(FileExists(WorkFile(BotFileName(sim, 4, true))));
}

TEST_F(DemoRoutesTest, AModelThatIsNoConsoleProgramRunsThroughAScript) {
  Session session = LoadSession(prompter);
  session.settings.model.Release.Compiler = "gfortran";
  session.settings.options.ConcurrentSolves = 1;
  jobs::PlanRequest r = jobs::PlanRequest::Nothing(sim.NumYears);
  r.first_sim_year[kBase] = 1;
  r.last_sim_year[kBase] = 2;
  Run(session, r);
  EXPECT_TRUE(FileExists(Solution(kBase, 2)));
  // The first solve went through the script; its report then told the real compiler.
  const std::string script = ChangeFileExt(
      JoinPath(session.settings.paths.temp_dir, StoredInputFileName(sim, kBase, 1, false)), ".sh");
  ASSERT_TRUE(FileExists(script));
  EXPECT_THAT(ReadFileBytes(script), ::testing::HasSubstr("cd '" + work + "' || exit 1\n"));
}

}  // namespace
}  // namespace yl::testing
