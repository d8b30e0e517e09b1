#include "reports/ingredients_report.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "cmf/sol_method.h"
#include "sim/sim_defaults.h"
#include "sim/sim_table.h"
#include "support/scratch_dir.h"

namespace yl::reports {
namespace {

// Three one-year periods from 2011; the Rerun and the Policy simulate from period 2.
class IngredientsTest : public testing::IsolatedEnvTest {
 protected:
  IngredientsTest() : sim(CreateSimRecord()) {
    work = scratch.MakeDir("work");
    SetDefaultSimulation(*sim, work);
    sim->NumYears = 3;
    sim->FirstYear = 2011;
    sim->LengthPeriods.Fill(1);
    ResetRowsAboveNumYears(*sim);
    RecomputeYears(*sim);
    // Base: a Common closure and a shock file per period; both shock files name the same
    // data (in two spellings) and one names a file that is not there.
    scratch.Write("work/common.cls", "exogenous x ;\nrest endogenous ;\n");
    scratch.Write("work/y1.bsh", "shock x = file shk.har header \"A\" ;\n");
    scratch.Write("work/shk.har", "data");
    scratch.Write(
        "work/y2.bsh",
        "shock x = file SHK.HAR header \"A\" ;\nshock y = file gone.har header \"B\" ;\n");
    scratch.Write("work/start.cmf", "file extra = abc.har ;\nxfile (old) extra ;\n");
    scratch.Write("work/abc.har", "data");
    // Policy: its closure, and a cell before the policy start that is never simulated.
    scratch.Write("work/pol.cls", "exogenous x ;\nswap x = z ;\n");
    scratch.Write("work/early.cls", "exogenous x ;\n");
    scratch.Write("work/p2.psh", "shock z = 1 ;\n");
    scratch.Write("work/pstart.cmf", "! nothing named\n");
    sim->CMFCells.Fill("");
    sim->CMFCells(kCmfStartRow, kBaseClosure) = "start";
    sim->CMFStartExt[kBaseClosure] = ".cmf";
    sim->CMFCells(kCmfStartRow, kPolicyShocks) = "pstart";
    sim->CMFStartExt[kPolicyShocks] = ".cmf";
    sim->CMFCells(kCommonRow, kBaseClosure) = "common";
    sim->CMFCells(1, kBaseShocks) = "y1";
    sim->CMFCells(2, kBaseShocks) = "y2";
    sim->CMFCells(3, kBaseShocks) = "y2";
    for (int k = 1; k <= 3; ++k) sim->CMFCells(k, kBaseClosure) = "?";
    sim->CMFCells(1, kPolicyClosure) = "early";
    sim->CMFCells(2, kPolicyClosure) = "pol";
    sim->CMFCells(3, kPolicyClosure) = "?";
    sim->CMFCells(2, kPolicyShocks) = "p2";
    NormaliseCells(*sim);
  }
  std::unique_ptr<TSimRecord> sim;
  std::string work;
};

TEST_F(IngredientsTest, ClosureShockFilesAndWhatTheyNameSortedOnce) {
  const ClosureShockFiles files = CollectClosureShockFiles(*sim, false, 2);
  EXPECT_EQ(files.base, (std::vector<std::string>{"abc.har", "common.cls", "gone.har", "shk.har",
                                                  "start.cmf", "y1.bsh", "y2.bsh"}));
  EXPECT_EQ(files.policy, (std::vector<std::string>{"p2.psh", "pol.cls", "pstart.cmf"}));
  std::vector<std::string> all = files.base;
  all.insert(all.end(), files.policy.begin(), files.policy.end());
  std::sort(all.begin(), all.end());
  EXPECT_EQ(files.all, all);
  // From period 1 the Policy's own closure of that period is an ingredient too.
  const ClosureShockFiles from_one = CollectClosureShockFiles(*sim, false, 1);
  EXPECT_EQ(from_one.policy,
            (std::vector<std::string>{"early.cls", "p2.psh", "pol.cls", "pstart.cmf"}));
}

TEST_F(IngredientsTest, TheRerunsCMFStartFileOnlyWhenTheRerunIsInUse) {
  scratch.Write("work/rstart.cmf", "! the Rerun's\n");
  sim->CMFCells(kCmfStartRow, kPolicyClosure) = "rstart";
  sim->CMFStartExt[kPolicyClosure] = ".cmf";
  NormaliseCells(*sim);
  auto has_rstart = [](const ClosureShockFiles& f) {
    return std::count(f.policy.begin(), f.policy.end(), "rstart.cmf") == 1;
  };
  EXPECT_TRUE(has_rstart(CollectClosureShockFiles(*sim, false, 2)));
  EXPECT_FALSE(has_rstart(CollectClosureShockFiles(*sim, true, 2)));
}

TEST_F(IngredientsTest, SectionsInOrderAndAMissingFileMarked) {
  SessionSettings s;
  s.options.ResultsMapFile = work + "/demo.map";
  s.methods.Normal.Method = GraggDefaultSolMethod();
  s.first_year_files = {"File FID = fid.har ; ! the data"};
  s.options.NoRerun = true;
  const std::vector<std::string> lines = IngredientsReportLines(*sim, s, 2);
  auto after = [&](const std::string& heading) {
    auto at = std::find(lines.begin(), lines.end(), heading);
    EXPECT_NE(at, lines.end()) << heading;
    return at == lines.end() ? at : at + 1;
  };
  auto model = after("Model Files");
  EXPECT_EQ(*model, "(None selected)");
  auto data = after("Data Files Input to First Year of Base Case");
  EXPECT_EQ(std::vector<std::string>(data, data + 2),
            (std::vector<std::string>{"(These are data for the year 2010)",
                                      "   File FID = fid.har ; ! the data"}));
  auto overview = after("As set on Sim Overview Page");
  EXPECT_EQ(
      std::vector<std::string>(overview, overview + 9),
      (std::vector<std::string>{
          "First sim of Base Case produces data for year 2011",
          "Last sim of Base Case produces data for year 2013",
          "3-character key for Base Case file names is : \"BS1\"",
          "3-character key for Policy Sims file names is : \"PL1\"", "Mapping file for results",
          "   " + work + "/demo.map", "Working Directory", "   " + work,
          "Solution method is : " + SolMethodDescription(GraggDefaultSolMethod())}));
  auto base = after("An alphabetical list of all files for the Base Case");
  EXPECT_EQ(std::vector<std::string>(base, base + 3),
            (std::vector<std::string>{"   abc.har", "   common.cls",
                                      std::string("   gone.har") + kMissingMark}));
  EXPECT_LT(after("Closures, Shocks files and their Constituents (see Closures/Shocks Page)"),
            after("An alphabetical list of all files"));
}

}  // namespace
}  // namespace yl::reports
