// What the preparation of single parts writes and starts, on the demo's files.

#include "app/part_preparer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/task_run.h"
#include "demo_support.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "sim/sim_naming.h"
#include "support/program_run.h"
#include "support/scripted_prompter.h"

namespace yl::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

class PartPreparerTest : public DemoWorkTest {
 protected:
  void SetUp() override {
    DemoWorkTest::SetUp();
    session = LoadSession(prompter);
    jobs::PlanSettings ps;
    ps.NumYears = sim.NumYears;
    ps.PolicyStart = 4;
    jobs::PlanRequest all = jobs::PlanRequest::Nothing(sim.NumYears);
    for (int run = kBase; run <= kPolicy; ++run) {
      all.first_sim_year[run] = all.first_ss_year[run] = 1;
      all.last_sim_year[run] = all.last_ss_year[run] = sim.NumYears;
    }
    plan.emplace(ps, all);
    preparer.emplace(MakeJobContext(session, 4), session.settings, true, prompter);
    preparer->PlanMade(*plan);
  }
  ScriptedPrompter prompter;
  Session session;
  std::optional<jobs::JobPlan> plan;
  std::optional<SimPartPreparer> preparer;
};

TEST_F(PartPreparerTest, ASolveWritesItsCommandFileAndStartsTheModelInItsSlot) {
  auto p = preparer->Prepare({kBase, 2, JobKind::kSim, PartKind::kSim}, 1);
  ASSERT_TRUE(p) << p.error();
  const std::string cmf = WorkFile(CommandFileName(sim, kBase, 2, false));
  EXPECT_THAT(ReadFileBytes(cmf), HasSubstr("File BASEDATA = bas-bs1b-2021.har"));
  const std::string sti = p->process.args.at(1);
  EXPECT_THAT(ReadFileBytes(sti), HasSubstr("cmf\n" + cmf + "\n"));
  EXPECT_EQ(p->process.program, session.settings.model.ProgramToRun);
  EXPECT_THAT(p->process.args, ElementsAre("-sti", sti, "-lon", "%sti"));  // release 110000
  EXPECT_EQ(p->process.working_dir, work);
  EXPECT_EQ(p->check_file, WorkFile(SolutionFileName(sim, kBase, 2, false)));
  EXPECT_EQ(p->log_file, ChangeFileExt(sti, ".log"));
  EXPECT_EQ(p->year_log, WorkFile(SimLogFileName(sim, kBase, 2, false)));
  EXPECT_EQ(p->year_log_header, "** Starting sim for year 2022 of Base **");

  // An older solver gets its log named; the second slot reads the data from its copies.
  session.settings.model.Release.SvRelease = 70000;
  session.settings.options.VisibleLogFiles = true;
  p = preparer->Prepare({kBase, 2, JobKind::kSim, PartKind::kSim}, 2);
  ASSERT_TRUE(p) << p.error();
  EXPECT_THAT(p->process.args, ElementsAre("-sti", sti, "-log", ChangeFileExt(sti, ".log")));
  const std::string slot2 = SlotDirectory(sim, session.settings.paths.temp_dir, 2);
  EXPECT_EQ(p->process.working_dir, slot2);
  EXPECT_THAT(ReadFileBytes(cmf), HasSubstr("File BASEDATA = " + slot2 + "/bas-bs1b-2021.har"));
}

TEST_F(PartPreparerTest, ARerunYearNeedsItsBotFile) {
  auto p = preparer->Prepare({kRerun, 4, JobKind::kSim, PartKind::kSim}, 1);
  ASSERT_FALSE(p);
  EXPECT_EQ(p.error(),
            "An internal programming error has occured.\r\nPlease tell the code developers.\r\n"
            "The error message is:\r\nThe BOT file: " +
                WorkFile(BotFileName(sim, 4, false)) +
                " does not exist.\r\nSorry, are stopping all jobs because of this.");
  WriteFileBytes(WorkFile(BotFileName(sim, 4, false)), "shock a = 1 ;\n");
  p = preparer->Prepare({kRerun, 4, JobKind::kSim, PartKind::kSim}, 1);
  ASSERT_TRUE(p) << p.error();
  const std::string cmf = ReadFileBytes(WorkFile(CommandFileName(sim, kRerun, 4, false)));
  EXPECT_EQ(cmf.substr(cmf.size() - 14), "shock a = 1 ;\n");  // the top part, then the BOT file
  EXPECT_EQ(cmf.substr(0, cmf.size() - 14),
            ReadFileBytes(WorkFile(TopFileName(sim, kRerun, 4, false))));
}

TEST_F(PartPreparerTest, ToolPartsRunFromTheProgramDirectoryWithTheirStoredInput) {
  auto sol = preparer->Prepare({kPolicy, 5, JobKind::kSim, PartKind::kSol}, 3);
  ASSERT_TRUE(sol) << sol.error();
  EXPECT_EQ(sol->process.program, JoinPath(BinDir(), "solexa"));
  EXPECT_EQ(sol->process.working_dir, session.settings.paths.temp_dir);
  EXPECT_THAT(sol->process.args,
              ElementsAre("-sti", ::testing::EndsWith("st7.st7"), "-lon", "%sti"));
  auto tallyr = preparer->Prepare({kBase, sim.NumYears + 1, JobKind::kTallyr, PartKind::kYonY}, 1);
  ASSERT_TRUE(tallyr) << tallyr.error();
  EXPECT_EQ(tallyr->process.program, JoinPath(BinDir(), "tallyra"));
  EXPECT_TRUE(FileExists(tallyr->process.args.at(1)));
  // The run's sequence file comes with its first assembly part.
  EXPECT_TRUE(
      FileExists(WorkFile(SequenceFileName(sim, kBase, false, {1, sim.NumYears}, 4, false))));
  auto devsol = preparer->Prepare({kPolicy, sim.NumYears + 1, JobKind::kDevSol, PartKind::kCum}, 1);
  ASSERT_TRUE(devsol) << devsol.error();
  EXPECT_EQ(devsol->process.program, JoinPath(BinDir(), "mergixa"));
}

}  // namespace
}  // namespace yl::testing
