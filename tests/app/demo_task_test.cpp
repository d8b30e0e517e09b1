// The whole chain with the real programs: yearloom in batch mode on the demo working
// directory, as the README runs it.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "demo_support.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/text_file.h"
#include "sim/sim_naming.h"
#include "support/program_run.h"

namespace yl::testing {
namespace {

using ::testing::HasSubstr;

constexpr int kFirstPolicyPeriod = 4;  // the demo's first policy shock is in 2024

class DemoTaskTest : public DemoWorkTest {};

TEST_F(DemoTaskTest, AllRunsCompleteWithThreeSolvesAndTheRerunReproducesTheBase) {
  WriteOptions(3, {"Add to Jobs Log File=1"});
  ASSERT_TRUE(WriteTextLines(KeepFile("bigjobs.log"), {}));
  YearloomRun run = Yearloom({"all", "all", ds1});
  ASSERT_TRUE(run.Succeeded()) << run.output;
  EXPECT_THAT(run.output, HasSubstr("Results are in " + work));
  EXPECT_THAT(ReadFileBytes(KeepFile("BatchJobs.log")), HasSubstr("Job ended successfully"));
  const std::string jobs = ReadFileBytes(KeepFile("bigjobs.log"));
  EXPECT_THAT(jobs, HasSubstr("WHOLE JOB FINISHED OK at"));
  EXPECT_THAT(jobs, HasSubstr("START Policy: sim for year 2030 (period number 10)"));

  for (int k = 1; k <= sim.NumYears; ++k) {
    EXPECT_TRUE(FileExists(Solution(kBase, k))) << k;
    EXPECT_TRUE(FileExists(ChangeFileExt(Solution(kBase, k), ".sol"))) << k;
  }
  for (int k = kFirstPolicyPeriod; k <= sim.NumYears; ++k) {
    EXPECT_LT(LargestResultDifference(Solution(kBase, k), Solution(kRerun, k)), 1e-4) << k;
  }
  // The Policy starts from the Base's data and its shocks move it at once.
  EXPECT_GT(LargestResultDifference(Solution(kBase, kFirstPolicyPeriod),
                                    Solution(kPolicy, kFirstPolicyPeriod)),
            1e-3);
  EXPECT_FALSE(FileExists(Solution(kPolicy, kFirstPolicyPeriod - 1)));
  // The Rerun's last year also leaves its updated coefficients; no other year does.
  EXPECT_TRUE(FileExists(WorkFile(UdcFileName(sim, kRerun, sim.NumYears, false))));
  EXPECT_FALSE(FileExists(WorkFile(UdcFileName(sim, kRerun, sim.NumYears - 1, false))));
  EXPECT_FALSE(FileExists(WorkFile(UdcFileName(sim, kBase, sim.NumYears, false))));
  // The demo uses SOL files for shocks: a solve in another slot reads its own copy.
  int edited = 0;
  for (int k = kFirstPolicyPeriod; k <= sim.NumYears; ++k) {
    for (int r : {kRerun, kPolicy}) {
      const std::string cmf = ReadFileBytes(WorkFile(CommandFileName(sim, r, k, false)));
      if (cmf.find("/simdir") != std::string::npos) ++edited;
    }
  }
  EXPECT_GT(edited, 0);
  // The assembled results, the deviations among them.
  for (const auto& [run_no, kind, variant] : std::vector<std::tuple<int, JobKind, PartKind>>{
           {kBase, JobKind::kTallyr, PartKind::kCum},
           {kRerun, JobKind::kTallyr, PartKind::kYonY},
           {kPolicy, JobKind::kVarix, PartKind::kCum}}) {
    const std::string f = WorkFile(SpreadsheetFileName(
        sim, run_no, kind, variant, {1, sim.NumYears}, kFirstPolicyPeriod, false));
    EXPECT_TRUE(FileExists(f)) << f;
  }

  // The same task again gives the same results.
  const HarFile first = ReadHarOrFail(Solution(kPolicy, sim.NumYears));
  YearloomRun again = Yearloom({"all", "all", ds1});
  ASSERT_TRUE(again.Succeeded()) << again.output;
  const HarFile second = ReadHarOrFail(Solution(kPolicy, sim.NumYears));
  for (const HarHeader& h : first.headers) {
    if (h.IsReal()) {
      EXPECT_EQ(HeaderValues(first, h.name), HeaderValues(second, h.name)) << h.name;
    }
  }
}

TEST_F(DemoTaskTest, OneSlotBaseOnlyWritesTheBaseAndNothingOfTheOthers) {
  WriteOptions(1);
  YearloomRun run = Yearloom({"base", "2021-2023", ds1});
  ASSERT_TRUE(run.Succeeded()) << run.output;
  EXPECT_TRUE(FileExists(Solution(kBase, 3)));
  EXPECT_FALSE(FileExists(Solution(kBase, 4)));
  EXPECT_FALSE(FileExists(Solution(kRerun, kFirstPolicyPeriod)));
}

TEST_F(DemoTaskTest, AFailingToolStopsTheJobAndTheBatchLogNamesItsLog) {
  WriteOptions(2, {"Add to Jobs Log File=1"});
  ASSERT_TRUE(WriteTextLines(KeepFile("bigjobs.log"), {}));
  YearloomRun run = Yearloom({"base", "all", ds1}, {"YL_FAULT=tallyra status-error"});
  ASSERT_TRUE(run.ran);
  EXPECT_NE(run.exit.code, 0);
  const std::string batch = ReadFileBytes(KeepFile("BatchJobs.log"));
  EXPECT_THAT(batch, HasSubstr("Error running job - see log file\n" + work + "/"));
  EXPECT_THAT(batch,
              HasSubstr("ERROR Base: Assembling the spreadsheets [yony part of job tallyr]"));
  EXPECT_THAT(batch, HasSubstr("Job finished with error: An error has occurred doing\n"
                               "Base: Assembling the spreadsheets\n"));
  EXPECT_THAT(batch, HasSubstr("[Failed part: Base: Assembling the spreadsheets [yony part of "
                               "job tallyr]]\n"));
  EXPECT_THAT(ReadFileBytes(KeepFile("bigjobs.log")), HasSubstr("ERROR Base: Assembling"));
  // Every year was solved before the assembly failed; nothing later ran.
  EXPECT_TRUE(FileExists(Solution(kBase, sim.NumYears)));
}

struct ParamCase {
  std::vector<std::string> args;
  std::string logged;
};

TEST_F(DemoTaskTest, ParameterErrorsEndTheRunAndAreLogged) {
  for (const ParamCase& c :
       {ParamCase{{"everything"},
                  "Job finished with error: Unexpected Param1 - expected base, "
                  "rerun, policy or all"},
        ParamCase{{"base", "sometimes"}, "Job finished with error: Unexpected Param2"},
        ParamCase{{"base", "1990-2023", ds1},
                  "Job finished with error: 1990 is not one of the years on Closure/Shocks page"},
        ParamCase{{"all", "all", "missing"},
                  "Job finished with error: DS1 file: " + work + "/missing.ds1 does not exist"}}) {
    DeleteFileIfExists(KeepFile("BatchJobs.log"));
    YearloomRun run = Yearloom(c.args);
    ASSERT_TRUE(run.ran);
    EXPECT_EQ(run.exit.code, 1) << c.args[0];
    const std::string batch = ReadFileBytes(KeepFile("BatchJobs.log"));
    EXPECT_THAT(batch, HasSubstr("Begin batch job. Param1 is " + c.args[0]));
    EXPECT_THAT(batch, HasSubstr(c.logged + "\n"));
  }
}

}  // namespace
}  // namespace yl::testing
