// The accuracy summaries of real solves: the demo's model program writes them into the
// logs and the reader, the command and "yearloom accuracy" read them back. The demo's own
// shocks are small enough for every result to be accurate to 6 figures, so these solves
// use a large shock and the crudest extrapolation to spread the results over the figures.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "accuracy/acc_summary.h"
#include "app/commands/accuracy_command.h"
#include "app/task_driver.h"
#include "core/text_util.h"
#include "demo_support.h"
#include "platform/files.h"
#include "sim/sim_naming.h"
#include "support/scripted_prompter.h"

namespace yl::testing {
namespace {

using ::testing::HasSubstr;

class AccuracyDemoTest : public DemoWorkTest {
 protected:
  void SetUp() override {
    DemoWorkTest::SetUp();
    WriteFileBytes(WorkFile("base.bsh"), "shock y = uniform 1000 ;\n");
    session = LoadSession(prompter);
    TSolMethod& m = session.settings.methods.Normal.Method;
    m.Method = kEuler;
    m.NumSolutions = 3;
    m.Steps = {1, 2, 3};
  }
  void RunBase(int last) {
    jobs::PlanRequest r = jobs::PlanRequest::Nothing(sim.NumYears);
    r.first_sim_year[kBase] = 1;
    r.last_sim_year[kBase] = last;
    TaskOutcome o = RunTaskToEnd(session, r, false, Services(runner, clock, prompter, host));
    ASSERT_TRUE(o.success) << o.message;
  }
  std::string Log(int period) const { return WorkFile(SimLogFileName(sim, kBase, period, false)); }

  Session session;
  PosixProcessRunner runner;
  SystemClock clock;
  ScriptedPrompter prompter;
  NullHost host;
};

// The number the model program writes after a block, e.g. "(39 endogenous variable
// components)": how many results the block counts.
std::vector<int> StatedTotals(const std::string& log) {
  std::vector<int> totals;
  for (const std::string& line : SplitLines(log)) {
    const std::string t = Trim(line);
    if (!t.starts_with("(")) continue;
    if (auto n = ParseInt(t.substr(1, t.find(' ') - 1))) totals.push_back(*n);
  }
  return totals;
}

int Total(const PlacesSummary& s) {
  int t = 0;
  for (int c : s.counts) t += c;
  return t;
}

TEST_F(AccuracyDemoTest, OneSubintervalSolvesReadWithEveryCountAndRating) {
  RunBase(2);
  const int updated = UpdatedDataFileCount(session.sim);
  ASSERT_EQ(updated, 1);
  for (int k = 1; k <= 2; ++k) {
    AccSummary s;
    ASSERT_TRUE(GetAccSummary2(Log(k), updated, s, 1, false, true)) << ReadFileBytes(Log(k));
    const AccSlot& slot = s.Slot(1);
    ASSERT_EQ(slot.present, (std::array<bool, 2>{true, true}));
    EXPECT_FALSE(s.overall_found);
    // Every count line was read: the counts add up to what the block says it counts.
    EXPECT_EQ(StatedTotals(ReadFileBytes(Log(k))),
              (std::vector<int>{Total(slot.of[kAccVariables]), Total(slot.of[kAccData])}));
    int levels = 0;
    for (int c : slot.of[kAccVariables].counts) levels += c > 0;
    EXPECT_GE(levels, 3) << "the results should spread over the figures";
    EXPECT_LT(slot.of[kAccVariables].rating, kMaxAccRating);
  }

  // The grid shows those ratings; the years not solved have none.
  std::optional<AccGrid> grid = AccuracySummariesCommand(session.sim, session.settings, prompter);
  ASSERT_TRUE(grid);
  const AccGridRow& base = grid->rows[0];
  for (int k = 1; k <= sim.NumYears; ++k) {
    const AccGridCell& cell = base.cells[static_cast<std::size_t>(k - 1)];
    AccSummary s;
    const bool read = GetAccSummary(Log(k), updated, s).has_value();
    EXPECT_EQ(cell.present[kAccVariables], k <= 2) << k;
    EXPECT_EQ(read, k <= 2) << k;
    if (read) {
      EXPECT_EQ(cell.of, s.Slot(1).of) << k;
    }
  }
  for (std::size_t r = 1; r < grid->rows.size(); ++r) {
    for (const AccGridCell& cell : grid->rows[r].cells) EXPECT_FALSE(cell.present[kAccVariables]);
  }

  // "yearloom accuracy" on the Sim Details, as a script would run it.
  YearloomRun shown = Yearloom({"accuracy", ds1});
  ASSERT_TRUE(shown.Succeeded()) << shown.output;
  const AccGridCell& first = base.cells[0];
  EXPECT_THAT(shown.output, HasSubstr("Overall Accuracy Summaries for variables\n"));
  EXPECT_THAT(shown.output,
              HasSubstr("\nBase    " + PadLeft(std::to_string(first.of[kAccVariables].rating), 5)));
}

TEST_F(AccuracyDemoTest, AutomaticAccuracyKeepsTheRedoneSubintervalsAndTheOverallSummary) {
  session.settings.methods.Normal.Method.AutoAccuracy = true;
  TAutoAccuracy& a = session.settings.methods.Normal.Accuracy;
  a.Subintervals = 2;
  a.Figures = 4;
  a.Percent = 95;
  a.Criterion = kCriterionBoth;
  a.MinSubintervalLength = 0.01f;
  RunBase(1);
  const std::string text = ReadFileBytes(Log(1));
  ASSERT_THAT(text, HasSubstr("not sufficient - accuracy was"));
  // The model program's own count of the subintervals it kept.
  const std::size_t at = text.find("whole solve (");
  ASSERT_NE(at, std::string::npos);
  const auto kept = ParseInt(text.substr(at + 13, text.find(' ', at + 13) - at - 13));
  ASSERT_TRUE(kept);
  ASSERT_GT(*kept, a.Subintervals);

  AccSummary s;
  ASSERT_TRUE(GetAccSummary(Log(1), 1, s));
  EXPECT_EQ(s.used, *kept + 1);
  EXPECT_TRUE(s.overall_found);
  EXPECT_EQ(s.overall_slot, s.used);
  EXPECT_TRUE(s.overall_has_data);
  // Only blocks that met the requirement were kept: the ones redone are gone.
  for (int i = 1; i <= *kept; ++i) {
    for (int k : {kAccVariables, kAccData}) {
      const auto& c = s.Slot(i).of[static_cast<std::size_t>(k)].counts;
      const int total = c[0] + c[1] + c[2] + c[3] + c[4] + c[5] + c[6];
      EXPECT_GE(100 * (c[4] + c[5] + c[6]), a.Percent * total) << "slot " << i << " kind " << k;
    }
  }

  // The grid finds the overall summaries and shows them.
  std::optional<AccGrid> grid = AccuracySummariesCommand(session.sim, session.settings, prompter);
  ASSERT_TRUE(grid);
  EXPECT_TRUE(grid->overall);
  EXPECT_EQ(grid->rows[0].cells[0].of, s.Slot(s.overall_slot).of);
  EXPECT_EQ(grid->rows[0].cells[0].worst, (std::array<bool, 2>{true, true}));
}

TEST_F(AccuracyDemoTest, TheCommandLineExplainsItselfAndFailsOnAMissingSimDetails) {
  YearloomRun help = Yearloom({"accuracy", "--help"});
  ASSERT_TRUE(help.Succeeded()) << help.output;
  EXPECT_THAT(help.output, HasSubstr("SIMDETAILS"));
  YearloomRun missing = Yearloom({"accuracy", "missing.ds1"});
  ASSERT_TRUE(missing.ran);
  EXPECT_EQ(missing.exit.code, 2);
  EXPECT_THAT(missing.output, HasSubstr("DS1 file: " + work + "/missing.ds1 does not exist"));
}

}  // namespace
}  // namespace yl::testing
