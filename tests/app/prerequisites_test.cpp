// The checks before a big job on the demo: what they refuse, what they let through, and
// how batch mode treats each kind of problem.

#include "app/prerequisites.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "app/task_run.h"
#include "demo_support.h"
#include "platform/file_time.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "sim/sim_naming.h"
#include "support/scripted_prompter.h"

namespace yl::testing {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

class PrerequisitesTest : public DemoWorkTest {
 protected:
  void SetUp() override {
    DemoWorkTest::SetUp();
    WriteOptions(3);
  }
  // The plan of a request on the loaded demo, checked with the given policy start.
  std::string Check(Session& session, const jobs::PlanRequest& request, int policy_start,
                    ScriptedPrompter& prompter, bool batch = false) {
    jobs::EngineSettings e = EngineSettingsFor(session, policy_start, true, batch);
    jobs::JobPlan plan(e.plan, request);
    PrerequisiteContext c;
    c.sim = &session.sim;
    c.settings = &session.settings;
    c.policy_start = policy_start;
    c.prompter = &prompter;
    c.batch_mode = batch;
    c.fewer_messages = true;
    return CheckPlan(plan, c);
  }
  static jobs::PlanRequest Sims(std::vector<std::tuple<int, int, int>> runs) {
    jobs::PlanRequest r = jobs::PlanRequest::Nothing(10);
    for (auto [run, first, last] : runs) {
      r.first_sim_year[run] = first;
      r.last_sim_year[run] = last;
    }
    return r;
  }
};

TEST_F(PrerequisitesTest, ARequestThatLeavesALaterRunOutOfSequenceIsRefused) {
  ASSERT_TRUE(Yearloom({"all", "all", ds1}).Succeeded());
  ScriptedPrompter prompter;
  Session session = LoadSession(prompter);
  const jobs::PlanRequest request = Sims({{kBase, 2, 10}, {kPolicy, 6, 10}});
  const std::string refusal = Check(session, request, 3, prompter);
  EXPECT_EQ(refusal,
            "If you run these jobs, you will end up with run jobs not run in sequence.\r\nFor "
            "example, you have asked to run the simulation for year 2023 (period number 3) of "
            "the Base\r\n to be follwed later on by the simulation for year 2026 (period number "
            "6) of the Policy.\r\nHowever you have not asked to run the simulation for year 2023 "
            "(period number 3) of the Policy.\r\nThis means that this latter simulation for year "
            "2023 (period number 3) of the Policy\r\n will not have been run after the simulation "
            "for the\r\n same year of the Base which is a prerequisite for it.");
  ScriptedPrompter again;
  EXPECT_EQ(Check(session, request, 6, again), "") << again.Texts().back();
}

TEST_F(PrerequisitesTest, AMissingBotFileIsNotRefusedWhenThisBigJobPreparesItsClosure) {
  ASSERT_TRUE(Yearloom({"all", "all", ds1}).Succeeded());
  ScriptedPrompter prompter;
  Session session = LoadSession(prompter);
  std::filesystem::remove(WorkFile(BotFileName(session.sim, 5, false)));
  // With the Rerun and the Policy both asked for, every year's closure is prepared again;
  // with the Policy alone, the record of year 5's preparation no longer matches its file,
  // so that preparation runs again too.
  for (const jobs::PlanRequest& request :
       {Sims({{kRerun, 4, 10}, {kPolicy, 4, 10}}), Sims({{kPolicy, 4, 10}})}) {
    ScriptedPrompter p;
    EXPECT_EQ(Check(session, request, 4, p, true), "");
  }
  YearloomRun policy = Yearloom({"policy", "2025-2030", ds1});
  ASSERT_TRUE(policy.Succeeded()) << policy.output;
  EXPECT_THAT(policy.output, HasSubstr("Preparing closure for year 2025"));
  EXPECT_THAT(policy.output, Not(HasSubstr("Preparing closure for year 2026")));
}

TEST_F(PrerequisitesTest, AMissingOriginalDataFileIsNamed) {
  ScriptedPrompter prompter;
  Session session = LoadSession(prompter);
  const InputFile in =
      ResolveInputFile(session.sim, 1, 1, kBase, 4, session.settings.first_year_files, false);
  const std::string path = ResolveAgainst(work, in.FileName);
  std::filesystem::remove(path);
  prompter.Answer(kOk);
  prompter.Answer(kNo);  // stop checking
  prompter.Answer(kNo);  // do not ignore
  const std::string refusal = Check(session, Sims({{kBase, 1, 10}}), 4, prompter);
  EXPECT_THAT(refusal, HasSubstr("    The original data file with logical name " +
                                 session.sim.DinFiles[1].Name + "\r\n       " + path));
  EXPECT_TRUE(prompter.answers.empty());
}

TEST_F(PrerequisitesTest, BatchModeRefusesMissingFilesAndRecordsStaleOnes) {
  ASSERT_TRUE(Yearloom({"all", "all", ds1}).Succeeded());
  // The Base's own years after 2026 now read a changed closure: stale, not missing.
  ASSERT_TRUE(
      SetFileTime100ns(WorkFile("base.cls"), *FileTime100ns(WorkFile("base.cls")) + 100'000'000));
  YearloomRun policy = Yearloom({"policy", "2027-2030", ds1});
  EXPECT_TRUE(policy.Succeeded()) << policy.output;
  const std::string log = ReadFileBytes(KeepFile("BatchJobs.log"));
  EXPECT_THAT(log, HasSubstr("Prerequisite problem passed over:"));
  EXPECT_THAT(log, HasSubstr("base.cls is different since"));

  std::filesystem::remove(WorkFile("demo.map"));
  YearloomRun base = Yearloom({"base", "all", ds1});
  EXPECT_EQ(base.exit.code, 1);
  EXPECT_THAT(ReadFileBytes(KeepFile("BatchJobs.log")),
              HasSubstr("This means that it is IMPOSSIBLE to run any spreadsheet jobs."));
}

TEST_F(PrerequisitesTest, TheToggleSaysWhatItDid) {
  Options o;
  ScriptedPrompter p;
  ToggleCheckJobPrerequisites(o, p);
  ToggleCheckJobPrerequisites(o, p);
  EXPECT_TRUE(o.CheckPrerequisites);
  EXPECT_EQ(p.Texts(),
            (std::vector<std::string>{"Yearloom will not check prerequisites before running a job.",
                                      "Yearloom will check prerequisites before running a job."}));
}

}  // namespace
}  // namespace yl::testing
