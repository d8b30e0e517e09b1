#include "app/batch_params.h"

#include <gtest/gtest.h>

#include "sim/sim_defaults.h"
#include "sim/sim_table.h"
#include "support/scratch_dir.h"

namespace yl {
namespace {

struct TaskCase {
  std::vector<std::string> params;
  bool two_run;
  std::array<bool, 4> runs;
};

TEST(BatchParams, TasksSelectRunsAndTwoRunModeDropsTheRerun) {
  for (const TaskCase& c : {TaskCase{{"base"}, false, {false, true, false, false}},
                            TaskCase{{"RERUN"}, false, {false, false, true, false}},
                            TaskCase{{"policy", "all"}, true, {false, false, false, true}},
                            TaskCase{{"base+rerun"}, true, {false, true, false, false}},
                            TaskCase{{"rerun+policy"}, false, {false, false, true, true}},
                            TaskCase{{"all", "ss"}, true, {false, true, false, true}},
                            TaskCase{{"All"}, false, {false, true, true, true}}}) {
    auto r = ParseBatchParams(c.params, c.two_run);
    ASSERT_TRUE(r) << c.params[0];
    EXPECT_EQ(r->runs, c.runs) << c.params[0];
  }
}

TEST(BatchParams, ParameterErrorsHaveTheirMessages) {
  EXPECT_EQ(ParseBatchParams({"everything"}, false).error(),
            "Unexpected Param1 - expected base, rerun, policy or all");
  EXPECT_EQ(ParseBatchParams({"rerun"}, true).error(), "Nothing to do");
  EXPECT_EQ(ParseBatchParams({"all", "2005"}, false).error(), "Unexpected Param2");
  EXPECT_EQ(ParseBatchParams({"all", "2005-x"}, false).error(), "Unexpected Param2");
  auto r = ParseBatchParams({"base", "2003-2004"}, false);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->year1, 2003);
  EXPECT_EQ(r->year2, 2004);
}

class BatchPlanTest : public ::testing::Test {
 protected:
  BatchPlanTest() {
    sim = CreateSimRecord();
    SetDefaultSimulation(*sim, dir.path());
    sim->FirstYear = 2005;
    sim->NumYears = 6;  // 2005..2010
    RecomputeYears(*sim);
  }
  testing::ScratchDir dir;
  std::unique_ptr<TSimRecord> sim;
};

TEST_F(BatchPlanTest, YearRangesAndSpreadsheets) {
  auto to_last = ParseBatchParams({"base", "2007-2010"}, false);
  ASSERT_TRUE(CheckBatchYears(*to_last, *sim));
  jobs::PlanRequest p = BatchPlan(*to_last, *sim);
  EXPECT_EQ(p.first_sim_year[1], 3);
  EXPECT_EQ(p.last_sim_year[1], 6);
  EXPECT_EQ(p.first_ss_year[1], 1);  // the simulations reach the last year
  EXPECT_EQ(p.last_ss_year[1], 6);

  auto short_of_last = ParseBatchParams({"base", "2005-2009"}, false);
  p = BatchPlan(*short_of_last, *sim);
  EXPECT_EQ(p.last_sim_year[1], 5);
  EXPECT_GT(p.first_ss_year[1], p.last_ss_year[1]);  // no spreadsheets

  auto ss = ParseBatchParams({"all", "ss"}, false);
  p = BatchPlan(*ss, *sim);
  EXPECT_GT(p.first_sim_year[3], p.last_sim_year[3]);
  EXPECT_EQ(p.last_ss_year[3], 6);

  auto outside = ParseBatchParams({"base", "2004-2010"}, false);
  EXPECT_EQ(CheckBatchYears(*outside, *sim).error(),
            "2004 is not one of the years on Closure/Shocks page");
}

TEST_F(BatchPlanTest, SimDetailsFileAndLogLines) {
  auto r = ParseBatchParams({"all", "all", "my sim.txt"}, false);
  ASSERT_TRUE(r);
  EXPECT_EQ(BatchSimDetailsFile(*r, dir.path()).error(),
            "DS1 file: " + (dir / "my sim.ds1") + " does not exist");
  dir.Write("my sim.ds1", "x");
  EXPECT_EQ(*BatchSimDetailsFile(*r, dir.path()), dir / "my sim.ds1");
  auto begin = BatchBeginLines(r->params, "/w", "/w/my sim.ds1", TimePoint{});
  EXPECT_EQ(begin[0], std::string(48, '+'));
  EXPECT_EQ(begin[2], "Begin batch job. Param1 is all  Param2 is all");
  EXPECT_EQ(begin[3], "  Param3 is my sim.txt");
  EXPECT_EQ(begin[5], "Sim Details File Name is: /w/my sim.ds1");
  auto end = BatchEndLines(true, "Unexpected Param2", TimePoint{});
  EXPECT_EQ(end[0], "Job finished with error: Unexpected Param2");
  EXPECT_EQ(end.back(), std::string(37, '+'));
  EXPECT_EQ(BatchEndLines(false, "", TimePoint{})[0].rfind("Job ended successfully ", 0), 0u);
}

}  // namespace
}  // namespace yl
