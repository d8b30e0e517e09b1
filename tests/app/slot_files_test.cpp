// What the engine prepares on disk for the demo: the slot directories of concurrent
// solves, and the outputs moved or deleted before a run.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "app/outputs_before_run.h"
#include "app/slot_copies.h"
#include "app/task_run.h"
#include "demo_support.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "sim/sim_inputs.h"
#include "sim/sim_naming.h"
#include "support/program_run.h"
#include "support/scripted_prompter.h"

namespace yl::testing {
namespace {

using ::testing::Contains;
using ::testing::Not;

class SlotFilesTest : public DemoWorkTest {
 protected:
  JobContext Context() {
    session = LoadSession(prompter);
    JobContext c = MakeJobContext(session, 4);
    return c;
  }
  ScriptedPrompter prompter;
  Session session;
};

TEST_F(SlotFilesTest, SlotDirectoriesGetWhatTheirSolvesRead) {
  JobContext c = Context();
  const std::string slot2 = SlotDirectory(session.sim, c.temp_dir, 2);
  ASSERT_TRUE(ForceDirectories(slot2));
  WriteFileBytes(JoinPath(slot2, "left-over.har"), "old");
  SlotPlan plan;
  plan.first_slot = 1;
  plan.last_slot = 3;
  plan.sim_first = {0, 1, 4, 4};
  plan.sim_last = {0, 10, 10, 10};
  ASSERT_TRUE(PrepareSlotDirectories(c, plan));
  for (int slot : {2, 3}) {
    const std::string dir = SlotDirectory(session.sim, c.temp_dir, slot);
    for (const char* f :
         {"demomodel.axs", "demomodel.axt", "basedata.har", "params.har", "lagdata.har", "base.cls",
          "policy.cls", "base.bsh", "baseshk.har", "pol2024.psh", "pol2027.psh", "demo.map"}) {
      EXPECT_TRUE(FileExists(JoinPath(dir, f))) << dir << " " << f;
    }
  }
  EXPECT_FALSE(FileExists(JoinPath(slot2, "left-over.har")));

  // The data a later year reads come from the year before, once it is solved.
  const std::string updated = WorkFile(UpdatedFileName(session.sim, 1, kBase, 1, false));
  auto missing = CopySimFilesToDir(c, SlotCopy::kUpdatedInputs, kBase, 1, true, slot2);
  ASSERT_FALSE(missing);
  EXPECT_EQ(missing.error(), "[CopySimFilesToDir]: File " + updated + " does not exist. [k=1]");
  WriteFileBytes(updated, "solved");
  ASSERT_TRUE(CopySimFilesToDir(c, SlotCopy::kUpdatedInputs, kBase, 1, true, slot2));
  EXPECT_EQ(ReadFileBytes(JoinPath(slot2, FileNameOf(updated))), "solved");
}

TEST_F(SlotFilesTest, OutputsOfTheBigJobAreItsYearsAndItsAssembledResults) {
  JobContext c = Context();
  jobs::PlanSettings ps;
  ps.NumYears = session.sim.NumYears;
  ps.PolicyStart = 4;
  ps.DoDeviations = true;
  jobs::PlanRequest r = jobs::PlanRequest::Nothing(ps.NumYears);
  r.first_sim_year[kBase] = 2;
  r.last_sim_year[kBase] = 3;
  r.first_ss_year[kPolicy] = 4;
  r.last_ss_year[kPolicy] = 10;
  jobs::JobPlan plan(ps, r);
  jobs::SsContext ss;
  ss.sim = &session.sim;
  ss.policy_start = 4;
  ss.temp_dir = c.temp_dir;
  std::vector<std::string> outputs = BigJobOutputs(c, plan, ss, true);
  const std::string sol2 = WorkFile(SolutionFileName(session.sim, kBase, 2, false));
  EXPECT_THAT(outputs, Contains(sol2));
  EXPECT_THAT(outputs, Contains(ChangeFileExt(sol2, ".sli")));
  EXPECT_THAT(outputs, Contains(WorkFile(UpdatedFileName(session.sim, 1, kBase, 3, false))));
  EXPECT_THAT(outputs, Not(Contains(WorkFile(SolutionFileName(session.sim, kBase, 1, false)))));
  EXPECT_THAT(outputs, Contains(WorkFile(SpreadsheetFileName(session.sim, kPolicy, JobKind::kVarix,
                                                             PartKind::kCum, {4, 10}, 4, false))));
  EXPECT_THAT(outputs,
              Not(Contains(WorkFile(SpreadsheetFileName(session.sim, kBase, JobKind::kTallyr,
                                                        PartKind::kCum, {1, 10}, 4, false)))));
}

struct ClearCase {
  OutputsBeforeRun choice;
  bool kept_in_work_dir;
  bool copy_aside;
};

TEST_F(SlotFilesTest, OutputsAreMovedDeletedOrOnlyTestedAndOthersLeftAlone) {
  for (const ClearCase& c : {ClearCase{OutputsBeforeRun::kMove, false, true},
                             ClearCase{OutputsBeforeRun::kDelete, false, false},
                             ClearCase{OutputsBeforeRun::kNeither, true, false}}) {
    const std::string out = WorkFile("old result.sl4");
    const std::string aside = JoinPath(JoinPath(work, kMovedOutputsDir), "old result.sl4");
    DeleteFileIfExists(aside);
    WriteFileBytes(out, "new");
    const std::string elsewhere = scratch.Write("elsewhere/x.sl4", "mine");
    auto locked =
        ClearOutputsBeforeRun({out, WorkFile("never made.sl4"), elsewhere}, c.choice, work + "/");
    EXPECT_TRUE(locked.empty());
    EXPECT_EQ(FileExists(out), c.kept_in_work_dir);
    if (c.kept_in_work_dir) {
      EXPECT_EQ(ReadFileBytes(out), "new");
    }
    EXPECT_EQ(FileExists(aside), c.copy_aside);
    EXPECT_EQ(ReadFileBytes(elsewhere), "mine");
  }
}

TEST_F(SlotFilesTest, AFileThatCannotBeRemovedIsReportedLocked) {
  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";
  const std::string out = WorkFile("held.sl4");
  WriteFileBytes(out, "new");
  ASSERT_EQ(::chmod(work.c_str(), 0555), 0);
  auto locked = ClearOutputsBeforeRun({out}, OutputsBeforeRun::kDelete, work);
  ::chmod(work.c_str(), 0755);
  EXPECT_EQ(locked, std::vector<std::string>{out});
}

TEST(OutputsChoice, MessagesOfTheRunPreferencesMenu) {
  EXPECT_EQ(OutputsChoiceMessage(OutputsBeforeRun::kDelete, OutputsBeforeRun::kMove),
            "Will now copy output files to subdirectory YRLMRes\r\n and delete the existing "
            "versions in the Working Directory before any runs.");
  EXPECT_EQ(OutputsChoiceMessage(OutputsBeforeRun::kMove, OutputsBeforeRun::kMove),
            "This option is already checked. If you wish to change this option,\r\n please "
            "select one of the other two options [Delete or Do Neither].");
  EXPECT_EQ(OutputsChoiceMark(OutputsBeforeRun::kNeither), "[Neither]");
}

}  // namespace
}  // namespace yl::testing
