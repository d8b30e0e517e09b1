#include "reports/sim_details_report.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "sim/sim_defaults.h"
#include "sim/sim_table.h"

namespace yl::reports {
namespace {

// The default simulation: four one-year periods from 1998, names BS1, BR1, PL1.
std::unique_ptr<TSimRecord> DefaultSim() {
  auto sim = CreateSimRecord();
  SetDefaultSimulation(*sim, "/work");
  sim->LengthPeriods.Fill(1);
  RecomputeYears(*sim);
  return sim;
}

std::vector<std::string> Differences(const std::vector<std::string>& lines) {
  auto at = std::find(lines.begin(), lines.end(), "Summary of Differences");
  EXPECT_NE(at, lines.end());
  return {at + std::min<std::ptrdiff_t>(3, lines.end() - at), lines.end()};
}

TEST(SimDetailsSection, NamesYearsAndOneRowPerPeriod) {
  auto sim = DefaultSim();
  sim->CMFCells(2, kPolicyShocks) = "";
  sim->CMFCells(3, kBaseShocks) = "LONGERTHAN8";
  const std::vector<std::string> with_rerun = SimDetailsSectionLines(*sim, false);
  EXPECT_EQ(with_rerun, (std::vector<std::string>{
                            "Report of Sim Details",
                            "",
                            "Sim Name for Base is : BS1",
                            "Sim Name for Rerun is : BR1",
                            "Sim Name for Policy is : PL1",
                            "First sim of Base produces data for year 1998",
                            "Last sim of Base produces data for year 2001",
                            "",
                            "Year    Base CLS  Base Shock Policy CLS Policy Shock",
                            "1998       RUN98 |    RUN98 |   DEVMCA |  MVEHTAR | ",
                            "1999       RUN99 |    RUN99 |   DEVMCA |          | ",
                            "2000       RUN00 | LONGERTHAN8 |   DEVMCA |          | ",
                            "2001       RUN01 |    RUN01 |   DEVMCA |          | ",
                        }));
  // Without the Base Rerun its name is not given.
  std::vector<std::string> expected = with_rerun;
  expected.erase(expected.begin() + 3);
  EXPECT_EQ(SimDetailsSectionLines(*sim, true), expected);
}

TEST(SimComparison, BothSummariesThenTheCellsThatDiffer) {
  auto a = DefaultSim();
  auto b = DefaultSim();
  b->SimNames[kBase] = "BX9";
  const std::vector<std::string> lines = SimComparisonLines({*a, false}, {*b, true});
  const std::vector<std::string> first = SimDetailsSectionLines(*a, false);
  const std::vector<std::string> second = SimDetailsSectionLines(*b, true);
  std::vector<std::string> expected{"Summary of First Simulation", "---------------------------",
                                    ""};
  expected.insert(expected.end(), first.begin(), first.end());
  expected.insert(expected.end(),
                  {"", "Summary of Second Simulation", "----------------------------", ""});
  expected.insert(expected.end(), second.begin(), second.end());
  expected.insert(expected.end(), {"", "Summary of Differences", "----------------------", ""});
  EXPECT_EQ(lines, expected);
}

TEST(SimComparison, DifferenceLines) {
  struct Case {
    const char* what;
    std::function<void(TSimRecord& first, TSimRecord& second)> change;
    std::vector<std::string> differences;
  };
  auto periods = [](TSimRecord& sim, int n) {
    sim.NumYears = n;
    ResetRowsAboveNumYears(sim);
    RecomputeYears(sim);
  };
  const std::vector<Case> cases = {
      {"the same", [](TSimRecord&, TSimRecord&) {}, {}},
      {"letter case only",
       [](TSimRecord&, TSimRecord& b) {
         b.CMFCells(2, kBaseClosure) = "run99";
         b.CMFCells(1, kPolicyShocks) = "MvehTar";
       },
       {}},
      {"a column without a file",
       [](TSimRecord&, TSimRecord& b) { b.CMFCells(1, kPolicyShocks) = ""; },
       {"Year 1998 Policy Shocks. First is MVEHTAR, second is \"none\""}},
      {"columns in order, then periods",
       [](TSimRecord& a, TSimRecord& b) {
         b.CMFCells(3, kPolicyClosure) = "NEWPOL";
         a.CMFCells(2, kBaseShocks) = "";
         b.CMFCells(1, kBaseShocks) = "OTHER";
         b.CMFCells(4, kBaseClosure) = "LAST";
       },
       {"Year 2001 Base Closures. First is RUN01, second is LAST",
        "Year 1998 Base Shocks. First is RUN98, second is OTHER",
        "Year 1999 Base Shocks. First is \"none\", second is RUN99",
        "Year 2000 Policy Closures. First is DEVMCA, second is NEWPOL"}},
      {"10 periods against 12",
       [&](TSimRecord& a, TSimRecord& b) {
         periods(a, 10);
         periods(b, 12);
         b.CMFCells(10, kBaseClosure) = "TENTH";
         b.CMFCells(11, kBaseClosure) = "NOTSEEN";
       },
       {"Only comparing the first 10 rows",
        "Year 2007 Base Closures. First is ?, second is TENTH"}},
      {"other starting years",
       [](TSimRecord&, TSimRecord& b) {
         b.FirstYear = 2000;
         b.CMFCells(1, kBaseClosure) = "OTHER";
         RecomputeYears(b);
       },
       {"They start at different years. Sorry, nothing more to report."}},
  };
  for (const Case& c : cases) {
    auto a = DefaultSim();
    auto b = DefaultSim();
    c.change(*a, *b);
    EXPECT_EQ(Differences(SimComparisonLines({*a, false}, {*b, false})), c.differences) << c.what;
  }
}

}  // namespace
}  // namespace yl::reports
