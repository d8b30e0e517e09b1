// Where to Start and Are Results Ok on the demo, after real runs: the command-line checks
// as a script uses them, and the menu commands through the prompter.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "app/commands/run_checks_commands.h"
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

// Every file under the directories, by name, with its bytes.
std::map<std::string, std::string> Contents(const std::vector<std::string>& dirs) {
  std::map<std::string, std::string> all;
  for (const std::string& dir : dirs) {
    for (const auto& e : std::filesystem::recursive_directory_iterator(dir)) {
      if (e.is_regular_file()) all[e.path().string()] = ReadFileBytes(e.path().string());
    }
  }
  return all;
}

void Later(const std::string& path, int seconds) {
  ASSERT_TRUE(SetFileTime100ns(path, *FileTime100ns(path) + seconds * 10'000'000ULL));
}

class RunRecordChecksTest : public DemoWorkTest {
 protected:
  void SetUp() override {
    DemoWorkTest::SetUp();
    WriteOptions(3);
  }
  // Runs a check and makes sure it changed no file.
  YearloomRun Check(const std::vector<std::string>& args) {
    const auto before = Contents({work, keep});
    YearloomRun run = Yearloom(args);
    EXPECT_TRUE(run.ran) << run.output;
    EXPECT_EQ(Contents({work, keep}), before) << "a check changed a file";
    return run;
  }
};

TEST_F(RunRecordChecksTest, TheChecksFollowChangesAndTheRunsThatMendThem) {
  ASSERT_TRUE(Yearloom({"all", "all", ds1}).Succeeded());
  YearloomRun where = Check({"where-to-start", ds1});
  EXPECT_EQ(where.exit.code, 0) << where.output;
  EXPECT_THAT(where.output, HasSubstr("Policy: Completed in sequence. Results would be the same "
                                      "if you were to run the jobs again.\n"));

  // A changed shock file of 2027 puts the Policy's 2027 out of date, not out of sequence.
  Later(WorkFile("pol2027.psh"), 10);
  where = Check({"where-to-start", ds1});
  EXPECT_EQ(where.exit.code, 1);
  EXPECT_THAT(
      where.output,
      HasSubstr("Policy: Start at simulation for year 2027 (period number 7) of the Policy\n"));
  EXPECT_THAT(where.output, HasSubstr("Base: Completed in sequence."));
  EXPECT_THAT(where.output, HasSubstr("pol2027.psh is different since"));
  YearloomRun sequence = Check({"where-to-start", "--sequence-only", ds1});
  EXPECT_EQ(sequence.exit.code, 0) << sequence.output;
  EXPECT_THAT(sequence.output, HasSubstr("Policy: All completed in sequence.\n"));

  // A Base updated-data file gone: results-ok names it.
  const std::string updated = WorkFile(UpdatedFileName(sim, 1, kBase, 5, false));
  const std::string aside = scratch / "aside.har";
  std::filesystem::rename(updated, aside);
  YearloomRun ok = Check({"results-ok", ds1});
  EXPECT_EQ(ok.exit.code, 1);
  EXPECT_THAT(ok.output, HasSubstr("updated file: " + updated + " no longer exists"));
  EXPECT_THAT(ok.output, HasSubstr("Base: Results you asked to be checked are ok up to the "
                                   "simulation for year 2025 (period number 5) of the Base"));
  // The solutions themselves are as they were made.
  YearloomRun solutions = Check({"results-ok", "--as-created", "--include=solution", ds1});
  EXPECT_EQ(solutions.exit.code, 0) << solutions.output;
  EXPECT_THAT(solutions.output, HasSubstr("Base: All results you asked to be checked are ok\n"));
  std::filesystem::rename(aside, updated);

  // Running the Policy from 2027 again mends it, and uses the closure preparations that
  // are still current.
  YearloomRun policy = Yearloom({"policy", "2027-2030", ds1});
  ASSERT_TRUE(policy.Succeeded()) << policy.output;
  EXPECT_THAT(policy.output, Not(HasSubstr("Preparing closure")));
  where = Check({"where-to-start", ds1});
  EXPECT_EQ(where.exit.code, 0) << where.output;
}

TEST_F(RunRecordChecksTest, RerunningABaseYearAloneLeavesTheYearsAfterItOutOfSequence) {
  ASSERT_TRUE(Yearloom({"base", "all", ds1}).Succeeded());
  ASSERT_TRUE(Yearloom({"base", "2023-2023", ds1}).Succeeded());
  YearloomRun where = Check({"where-to-start", "--sequence-only", ds1});
  EXPECT_EQ(where.exit.code, 1);
  EXPECT_THAT(where.output,
              HasSubstr("Base: Start at simulation for year 2024 (period number 4) of the Base\n"));
  EXPECT_THAT(
      where.output,
      HasSubstr("Sim for year 2024 of Base was completed before sim for year 2023 of Base."));
}

TEST_F(RunRecordChecksTest, BadRequestsAreErrors) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"where-to-start", "nowhere.ds1"},
        std::vector<std::string>{"results-ok", "--include=solution,wrong", ds1},
        std::vector<std::string>{"where-to-start", "--bogus"}}) {
    YearloomRun run = Check(args);
    EXPECT_EQ(run.exit.code, 2) << args.back() << run.output;
  }
  YearloomRun help = Check({"results-ok", "--help"});
  EXPECT_EQ(help.exit.code, 0);
  EXPECT_THAT(help.output, HasSubstr("--as-created"));
}

TEST_F(RunRecordChecksTest, ANewWorkingDirectoryInvalidatesEveryUnit) {
  ASSERT_TRUE(Yearloom({"all", "all", ds1}).Succeeded());
  ScriptedPrompter prompter;
  Session session = LoadSession(prompter);
  auto report =
      WhereToStartReport(session.sim, session.settings, WhereToStartMode::kSameIfRunAgain);
  ASSERT_TRUE(report);
  EXPECT_FALSE(report->left_to_do) << report->text;

  // The records travel with the Sim Details copies, but they name the old directory.
  const std::string moved = scratch.MakeDir("moved");
  for (int r = kBase; r <= kPolicy; ++r) {
    const std::string copy = RunBookkeepingCopyFile(session.sim, "demomodel", r, false);
    ASSERT_TRUE(CopyKeepingStamp(copy, JoinPath(moved, FileNameOf(copy)), true));
  }
  session.sim.SimDir = moved;
  report = WhereToStartReport(session.sim, session.settings, WhereToStartMode::kSameIfRunAgain);
  ASSERT_TRUE(report);
  EXPECT_THAT(report->text,
              HasSubstr("Base: Start at simulation for year 2021 (period number 1) of the Base"));
  EXPECT_THAT(report->text, HasSubstr("The working directory has changed since you last ran"));
  EXPECT_EQ(report->starts.run[kPolicy].year, 4);
}

TEST_F(RunRecordChecksTest, WhereToStartOffersAJobForWhatIsLeft) {
  ASSERT_TRUE(Yearloom({"all", "all", ds1}).Succeeded());
  Later(WorkFile("pol2027.psh"), 10);
  // The sequence says all is done; the prerequisites say the Policy from 2027.
  ASSERT_TRUE(Yearloom({"policy", "ss", ds1}).Succeeded());
  ScriptedPrompter prompter;
  Session session = LoadSession(prompter);
  struct Case {
    std::vector<Button> answers;
    int policy_first;  // 7: the prerequisite-aware start; 0: none
  };
  for (const Case& c : {Case{{kOk, kYes, kYes}, 7}, Case{{kOk, kYes, kNo}, 0}, Case{{kOk, kNo}, 0},
                        Case{{kOk, kYes, kCancel}, 0}}) {
    ScriptedPrompter p;
    for (Button b : c.answers) p.Answer(b);
    std::optional<jobs::PlanRequest> started;
    WhereToStartCommand(session, p, WhereToStartMode::kSameIfRunAgain, false,
                        [&](const jobs::PlanRequest& r) { started = r; });
    if (c.policy_first == 7) {
      ASSERT_TRUE(started);
      EXPECT_EQ(started->first_sim_year[kPolicy], 7);
      EXPECT_EQ(started->last_sim_year[kPolicy], 10);
      EXPECT_GT(started->first_sim_year[kBase], started->last_sim_year[kBase]);
    } else if (c.answers.size() == 3 && c.answers[2] == kNo) {
      // The sequence alone leaves nothing to simulate.
      ASSERT_TRUE(started);
      EXPECT_GT(started->first_sim_year[kPolicy], started->last_sim_year[kPolicy]);
    } else {
      EXPECT_FALSE(started);
    }
    EXPECT_TRUE(p.answers.empty());
  }
}

TEST_F(RunRecordChecksTest, OmittingPeriodsAsksAboutBaseYearsNotCompleted) {
  ScriptedPrompter prompter;
  Session session = LoadSession(prompter);
  EXPECT_EQ(BaseNotCompleted(session.sim, session.settings, 2),
            "simulation for year 2021 (period number 1) of the Base");
  ASSERT_TRUE(Yearloom({"base", "2021-2022", ds1}).Succeeded());
  EXPECT_EQ(BaseNotCompleted(session.sim, session.settings, 2), "");
  EXPECT_EQ(BaseNotCompleted(session.sim, session.settings, 3),
            "simulation for year 2023 (period number 3) of the Base");
}

}  // namespace
}  // namespace yl::testing
