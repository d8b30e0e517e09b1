// The Accuracy Summaries command on the demo's setup with logs written as fixtures: which
// solves it reads and how, its messages, the cells of the grid and its text form.

#include "app/commands/accuracy_command.h"

#include <gtest/gtest.h>

#include <sstream>

#include "app/accuracy_mode.h"
#include "app/demo_support.h"
#include "sim/sim_naming.h"
#include "support/acc_log_text.h"
#include "support/scripted_prompter.h"

namespace yl::testing {
namespace {

// Ten results each, with 10 x A of 60, 50, 40 and 20: ratings 10, 6, 5 and 2.
const AccCounts k60{0, 0, 0, 0, 0, 0, 10};
const AccCounts k50{0, 0, 0, 0, 0, 10, 0};
const AccCounts k40{0, 0, 0, 0, 10, 0, 0};
const AccCounts k20{0, 0, 10, 0, 0, 0, 0};

constexpr int kFirstPolicyPeriod = 4;  // the demo's first policy shock is in 2024

class AccuracyCommandTest : public DemoWorkTest {
 protected:
  void SetUp() override {
    DemoWorkTest::SetUp();
    session = LoadSession(p);
    p.messages.clear();
  }
  void WriteLog(int run, int period, const std::string& text) {
    WriteFileBytes(WorkFile(SimLogFileName(sim, run, period, session.settings.options.NoRerun)),
                   text);
  }
  // The logs of one-subinterval solves: ratings, a broken log and logs the grid ignores.
  void WriteOneBlockLogs() {
    WriteLog(kBase, 1, AccSubBlock(k60, k50));
    WriteLog(kBase, 2, AccSubBlock(k40, k60));
    WriteLog(kBase, 3, AccSubBlock(k40, k20));
    WriteLog(kBase, 4, AccSubBlock(k60, k60) + AccSubBlock(k60, k60));  // not one block
    WriteLog(kBase, 5, " Below are for levels values\n 3 results are judged accurate to");
    for (int k = 1; k < kFirstPolicyPeriod; ++k) WriteLog(kRerun, k, AccSubBlock(k20, k20));
    WriteLog(kRerun, 4, AccSubBlock(k60, k60));
    WriteLog(kPolicy, 4, AccSubBlock(k20, k40));
  }
  std::optional<AccGrid> Run() {
    return AccuracySummariesCommand(session.sim, session.settings, p);
  }
  // A cell as the grid shows it: the rating with its mark, "-" or "" before the run.
  static std::string Shown(const AccGridCell& c, AccKind kind) {
    const auto k = static_cast<std::size_t>(kind);
    if (!c.in_run) return "";
    if (!c.present[k]) return "-";
    return std::to_string(c.of[k].rating) + (c.worst[k] ? (kind == kAccData ? "D" : "V") : "");
  }
  static std::vector<std::string> Row(const AccGridRow& row, AccKind kind, int to) {
    std::vector<std::string> out;
    for (int k = 0; k < to; ++k) out.push_back(Shown(row.cells[static_cast<std::size_t>(k)], kind));
    return out;
  }
  using Cells = std::vector<std::string>;

  ScriptedPrompter p;
  Session session;
};

TEST_F(AccuracyCommandTest, MethodsThatDoNotExtrapolateFromThreeSolutionsHaveNone) {
  for (int solutions : {1, 2}) {
    session.settings.methods.Normal.Method.NumSolutions = solutions;
    p.messages.clear();
    EXPECT_FALSE(Run());
    ASSERT_EQ(p.messages.size(), 1u);
    EXPECT_EQ(p.Last().kind, MessageKind::kInformation);
    EXPECT_EQ(p.Last().text,
              "No accuracy summaries are available since you are not extrapolating from 3 "
              "separate solutions.");
    EXPECT_EQ(p.Last().help_topic, kHelpAccuracySummaries);
    EXPECT_EQ(p.Last().buttons, kOk | kHelp);
  }
}

TEST_F(AccuracyCommandTest, OneSubintervalGivesEachSolveItsOnlyBlock) {
  WriteOneBlockLogs();
  std::optional<AccGrid> grid = Run();
  ASSERT_TRUE(grid);
  EXPECT_TRUE(p.messages.empty()) << p.Texts()[0];
  EXPECT_TRUE(grid->overall);
  ASSERT_EQ(grid->rows.size(), 3u);
  const AccGridRow& base = grid->rows[0];
  const AccGridRow& rerun = grid->rows[1];
  const AccGridRow& policy = grid->rows[2];
  EXPECT_EQ(rerun.name, "Rerun");
  EXPECT_EQ(rerun.first_period, kFirstPolicyPeriod);
  // The worst is the first of equals; broken and missing logs have no summary.
  EXPECT_EQ(Row(base, kAccVariables, 7), (Cells{"10", "5V", "5", "-", "-", "-", "-"}));
  EXPECT_EQ(Row(base, kAccData, 7), (Cells{"6", "10", "2D", "-", "-", "-", "-"}));
  EXPECT_EQ(Row(rerun, kAccVariables, 5), (Cells{"", "", "", "10V", "-"}));
  EXPECT_EQ(Row(policy, kAccData, 5), (Cells{"", "", "", "5D", "-"}));
  EXPECT_EQ(base.cells[1].of[kAccVariables].counts, k40);
  EXPECT_EQ(AccCellTitlePrefix(policy, policy.cells[3]), "Policy: Year 2024");
  EXPECT_EQ(rerun.cells[3].log_path, WorkFile(SimLogFileName(sim, kRerun, 4, false)));
}

TEST_F(AccuracyCommandTest, SeveralSubintervalsShowTheOverallSummaries) {
  session.settings.methods.Normal.Method.Subintervals = 3;
  WriteLog(kBase, 1, "cut short\n Below are for levels values\n");  // passed over
  WriteLog(kBase, 2, AccSubBlock(k20, k20) + AccSubBlock(k40, k40) + AccOverallBlock(k60, k50));
  WriteLog(kBase, 3, AccSubBlock(k20, k20) + AccOverallBlock(k40, std::nullopt));
  WriteLog(kBase, 4, AccSubBlock(k20, k20));
  std::optional<AccGrid> grid = Run();
  ASSERT_TRUE(grid);
  EXPECT_TRUE(p.messages.empty());
  EXPECT_TRUE(grid->overall);
  EXPECT_EQ(Row(grid->rows[0], kAccVariables, 5), (Cells{"-", "10", "5V", "-", "-"}));
  EXPECT_EQ(Row(grid->rows[0], kAccData, 5), (Cells{"-", "6D", "-", "-", "-"}));
}

TEST_F(AccuracyCommandTest, WithoutOverallSummariesEachSolveShowsItsWorstSubinterval) {
  session.settings.methods.Normal.Method.AutoAccuracy = true;
  WriteLog(kBase, 1, AccSubBlock(k60, k20) + AccSubBlock(k40, k50) + AccSubBlock(k50, k60));
  WriteLog(kBase, 2, AccSubBlock(k50, k60) + AccOverallBlock(k20, k20));
  std::optional<AccGrid> grid = Run();
  ASSERT_TRUE(grid);
  EXPECT_FALSE(grid->overall);
  ASSERT_EQ(p.messages.size(), 1u);
  EXPECT_EQ(p.Last().text,
            "Overall Accuracy information is not available here.\r\nWill show Accuracy "
            "Summaries for the WORST subinterval for each year of each run.");
  EXPECT_EQ(p.Last().kind, MessageKind::kInformation);
  EXPECT_EQ(p.Last().buttons, kOk | kHelp);
  // Each kind from its own worst slot; an overall block is never the worst.
  EXPECT_EQ(Row(grid->rows[0], kAccVariables, 3), (Cells{"5V", "6", "-"}));
  EXPECT_EQ(Row(grid->rows[0], kAccData, 3), (Cells{"2D", "10", "-"}));
  EXPECT_EQ(AccGridTitle(grid->overall, kAccData),
            "Accuracy Summaries of WORST Subinterval for data");
}

TEST_F(AccuracyCommandTest, TwoRunModeShowsTheBaseAndThePolicyUnderTheirNames) {
  session.settings.options.NoRerun = true;
  WriteLog(kPolicy, 4, AccSubBlock(k20, k40));
  std::optional<AccGrid> grid = Run();
  ASSERT_TRUE(grid);
  ASSERT_EQ(grid->rows.size(), 2u);
  EXPECT_EQ(grid->rows[1].name, "Policy");
  EXPECT_EQ(Row(grid->rows[1], kAccVariables, 5), (Cells{"", "", "", "2V", "-"}));
}

TEST_F(AccuracyCommandTest, ABrokenRecordStopsTheCommandWithItsReason) {
  session.sim.NumYears = kMaxPeriods + 1;
  EXPECT_FALSE(Run());
  ASSERT_EQ(p.messages.size(), 1u);
  EXPECT_EQ(p.Last().kind, MessageKind::kError);
  EXPECT_TRUE(p.Last().text.starts_with("Could not make accuracy summaries:\r\n")) << p.Last().text;
  EXPECT_NE(p.Last().text.find("1000"), std::string::npos) << p.Last().text;
}

TEST_F(AccuracyCommandTest, TheDetailOfASolveThatCannotBeReadSaysWhy) {
  const std::string log = WorkFile(SimLogFileName(sim, kBase, 1, false));
  EXPECT_FALSE(SolveAccuracySummary(log, 1, p));
  EXPECT_EQ(p.Last().text,
            "Could not make accuracy summary:\r\nFile \"" + log + "\" not found[GetAccSummary2]");
  EXPECT_EQ(p.Last().buttons, kOk | kHelp);
  WriteLog(kBase, 1, AccSubBlock(k60, k20) + AccSubBlock(k40, k50));
  std::optional<AccSummary> s = SolveAccuracySummary(log, 1, p);
  ASSERT_TRUE(s);
  EXPECT_EQ(s->used, 2);
}

TEST_F(AccuracyCommandTest, UpdatedDataAreTheUpdatedInputsAndTheUpdatedLaggedOnes) {
  TSimRecord& s = session.sim;
  EXPECT_EQ(UpdatedDataFileCount(s), 1);  // the demo's BASEDATA
  ASSERT_GE(s.NumDinFiles, 3);
  struct Case {
    int role;
    bool updated;
    int count;
  };
  for (const Case& c : {Case{kLaggedInput, true, 2}, Case{kLaggedInput, false, 1},
                        Case{kOutputOnly, true, 1}, Case{kUpdatedInput, false, 2}}) {
    TDinFileEntry& extra = s.DinFiles[s.NumDinFiles];
    extra.Role = c.role;
    extra.IsUpdated = c.updated;
    EXPECT_EQ(UpdatedDataFileCount(s), c.count) << c.role << c.updated;
  }
}

TEST_F(AccuracyCommandTest, TheCommandLineFormPrintsBothTables) {
  WriteOneBlockLogs();
  std::ostringstream out, err;
  CheckEnvironment env{work, &out, &err};
  EXPECT_EQ(RunAccuracyMode({ds1}, env), kAccuracyShown) << err.str();
  EXPECT_EQ(err.str(), "");
  EXPECT_EQ(out.str(),
            "Overall Accuracy Summaries for variables\n"
            "         2021  2022  2023  2024  2025  2026  2027  2028  2029  2030\n"
            "Base       10     5V    5     -     -     -     -     -     -     -\n"
            "Rerun                        10V    -     -     -     -     -     -\n"
            "Policy                        2V    -     -     -     -     -     -\n"
            "\n"
            "Overall Accuracy Summaries for data\n"
            "         2021  2022  2023  2024  2025  2026  2027  2028  2029  2030\n"
            "Base        6    10     2D    -     -     -     -     -     -     -\n"
            "Rerun                        10D    -     -     -     -     -     -\n"
            "Policy                        5D    -     -     -     -     -     -\n"
            "\n"
            "Ratings: 0 = least accurate, 10 = most accurate; -: no summary;\n"
            "V, D: the worst year of the run for variables, data.\n");

  std::ostringstream none;
  CheckEnvironment missing{work, &none, &err};
  EXPECT_EQ(RunAccuracyMode({"nowhere.ds1"}, missing), kAccuracyError);
  EXPECT_EQ(err.str(), "yearloom: DS1 file: " + WorkFile("nowhere.ds1") + " does not exist\n");
  EXPECT_EQ(none.str(), "");
}

}  // namespace
}  // namespace yl::testing
