// Tallyr, Varix and Mergix as processes: year-on-year to cumulative, differences, and
// the results files, checked against values worked out by hand.

#include <gtest/gtest.h>

#include <cmath>

#include "platform/files.h"
#include "support/scratch_dir.h"
#include "toolfiles/csv_table.h"
#include "toolfiles_support.h"

namespace yl::testing {
namespace {

using toolfiles::ReadTableFile;

// A per-year table as Solex writes it: y(AGR) (type p) and w (type c).
std::string YearCsv(int year, double y, double w) {
  return "Results,year\nSource,/s/bs1b-" + std::to_string(year) +
         ".sl4\nVariable,Element,Type,Label,Year " + std::to_string(year) + "\ny,AGR,p,Output," +
         std::to_string(y) + "\nw,,c,\"Wage, nominal\"," + std::to_string(w) + "\n";
}

// A year-on-year spreadsheet as Tallyr writes it.
std::string YonyCsv(const std::vector<int>& years, const std::vector<double>& y,
                    const std::vector<double>& w) {
  std::string t = "Results,year-on-year\nVariable,Element,Type,Label";
  for (int yr : years) t += ",Year " + std::to_string(yr);
  t += "\ny,AGR,p,Output";
  for (double v : y) t += "," + std::to_string(v);
  t += "\nw,,c,Wage";
  for (double v : w) t += "," + std::to_string(v);
  return t + "\n";
}

class AssemblyTest : public IsolatedEnvTest {
 protected:
  ProgramRun Run(const std::string& program, const std::string& sti_name, const std::string& flags,
                 const std::string& answers) {
    const std::string sti = scratch / sti_name;
    const std::string rpt = sti.substr(0, sti.rfind('.')) + ".rpt";
    return RunTool(program, scratch.path(), sti, "bat\n" + flags + "rpt\n" + rpt + "\n" + answers);
  }
  std::string TallyrAnswers(bool cumulative, const std::vector<int>& years,
                            const std::string& out) const {
    std::string a = std::string(cumulative ? "acc\n" : "") + " \n" + std::to_string(years.size()) +
                    "   ! no files\n" + scratch / "bs1b-2021" + "    ! relevant SL4 file\n";
    for (int y : years) {
      a += scratch / ("bs1b-" + std::to_string(y) + ".CSV") + "    ! Input CSV file\n";
    }
    return a + scratch / out + "   ! Output file\n";
  }
  void WriteYears() {
    // y: 10%, 10%, -50%; w: changes 1, 2, -4.
    scratch.Write("bs1b-2021.csv", YearCsv(2021, 10, 1));
    scratch.Write("bs1b-2022.csv", YearCsv(2022, 10, 2));
    scratch.Write("bs1b-2023.csv", YearCsv(2023, -50, -4));
  }
};

TEST_F(AssemblyTest, TallyrYearOnYearAndCumulativeByHand) {
  WriteYears();
  auto r = Run("tallyra", "bs1b-ssy.st5", "", TallyrAnswers(false, {2021, 2022, 2023}, "ssy.csv"));
  ASSERT_TRUE(r.Ok()) << r.Key("Error") << r.log;
  auto yony = ReadTableFile(scratch / "ssy.csv");
  ASSERT_TRUE(yony) << yony.error();
  EXPECT_EQ(yony->kind, "year-on-year");
  EXPECT_EQ(yony->columns, (std::vector<std::string>{"Year 2021", "Year 2022", "Year 2023"}));
  EXPECT_EQ(yony->rows[0].values, (std::vector<double>{10, 10, -50}));

  r = Run("tallyra", "bs1b-ssc.st5", "", TallyrAnswers(true, {2021, 2022, 2023}, "ssc.csv"));
  ASSERT_TRUE(r.Ok()) << r.Key("Error") << r.log;
  auto cum = ReadTableFile(scratch / "ssc.csv");
  ASSERT_TRUE(cum) << cum.error();
  EXPECT_EQ(cum->kind, "cumulative");
  ASSERT_EQ(cum->rows.size(), 2u);
  // 1.10 * 1.10 = 1.21; 1.21 * 0.5 = 0.605.
  EXPECT_EQ(cum->rows[0].values, (std::vector<double>{10, 21, -39.5}));
  EXPECT_EQ(cum->rows[1].values, (std::vector<double>{1, 3, -1}));
  EXPECT_EQ(cum->rows[1].label, "Wage, nominal");
}

TEST_F(AssemblyTest, TallyrArithmeticProblemsFailUnlessNotFatal) {
  scratch.Write("bs1b-2021.csv", YearCsv(2021, 1e30, 1));
  scratch.Write("bs1b-2022.csv", YearCsv(2022, 1e30, 1));
  auto r = Run("tallyra", "c.st5", "", TallyrAnswers(true, {2021, 2022}, "c.csv"));
  EXPECT_EQ(r.Key("Status"), "error");
  EXPECT_NE(r.Key("Error").find("Arithmetic problem for y(AGR), Year 2022"), std::string::npos)
      << r.Key("Error");
  EXPECT_FALSE(FileExists(scratch / "c.csv"));

  r = Run("tallyra", "c.st5", "sub  ! accumulate subtotals\nanf  ! Arithmetic problems not fatal\n",
          TallyrAnswers(true, {2021, 2022}, "c.csv"));
  ASSERT_TRUE(r.Ok()) << r.Key("Error");
  auto cum = ReadTableFile(scratch / "c.csv");
  ASSERT_TRUE(cum);
  EXPECT_EQ(cum->rows[0].values[1], 0);
  EXPECT_EQ(cum->rows[1].values, (std::vector<double>{1, 2}));
  EXPECT_NE(r.log.find("Arithmetic problem for y(AGR), Year 2022"), std::string::npos);
}

TEST_F(AssemblyTest, TallyrRefusesMismatchedOrMissingInputs) {
  WriteYears();
  scratch.Write("bs1b-2024.csv", "Results,year\nVariable,Element,Type,Label,2024\nk,,p,K,1\n");
  struct Case {
    std::string name;
    std::string answers;
    std::string error;
  };
  std::string wrong_count = TallyrAnswers(false, {2021, 2022}, "o.csv");
  wrong_count.replace(wrong_count.find("2   ! no"), 1, "3");
  for (const Case& c : {
           Case{"rows differ", TallyrAnswers(false, {2021, 2024}, "o.csv"), "has 1 rows but"},
           Case{"missing file", TallyrAnswers(false, {2021, 2025}, "o.csv"), "does not exist"},
           Case{"count too high", wrong_count, "ends too early: expected the output file"},
           Case{"count not a number", " \nmany\n", "should be a whole number"},
           Case{"year twice", TallyrAnswers(false, {2021, 2021}, "o.csv"), "given twice"},
       }) {
    auto r = Run("tallyra", "o.st5", "", c.answers);
    EXPECT_EQ(r.Key("Status"), "error") << c.name;
    EXPECT_NE(r.Key("Error").find(c.error), std::string::npos) << c.name << ": " << r.Key("Error");
    EXPECT_FALSE(FileExists(scratch / "o.csv")) << c.name;
  }
}

TEST_F(AssemblyTest, VarixDifferencesByHand) {
  // The other run covers 2022-2024, the Policy 2023-2024.
  scratch.Write("pre-ssy.csv", YonyCsv({2022, 2023, 2024}, {5, 10, 10}, {9, 1, 2}));
  scratch.Write("pol-ssy.csv", YonyCsv({2023, 2024}, {21, 0}, {3, 2}));
  auto answers = [&](bool yony, const std::string& out) {
    return std::string(yony ? "nac\n" : "") + "sol\n" + scratch / "pl1p-2023" + "\n \n" +
           scratch / "pre-ssy.csv" + "\n" + scratch / "pol-ssy.csv" + "\n" + scratch / out +
           "   ! Output file\n";
  };
  auto r = Run("varixa", "devy.st6", "", answers(true, "devy.csv"));
  ASSERT_TRUE(r.Ok()) << r.Key("Error") << r.log;
  auto yony = ReadTableFile(scratch / "devy.csv");
  ASSERT_TRUE(yony) << yony.error();
  EXPECT_EQ(yony->kind, "year-on-year differences");
  EXPECT_EQ(yony->columns, (std::vector<std::string>{"Year 2023", "Year 2024"}));
  // 1.21 / 1.10 = 1.10; 1.00 / 1.10 = 0.909090...
  EXPECT_NEAR(yony->rows[0].values[0], 10, 1e-5);
  EXPECT_NEAR(yony->rows[0].values[1], -9.090909, 1e-5);
  EXPECT_EQ(yony->rows[1].values, (std::vector<double>{2, 0}));

  r = Run("varixa", "devc.st6", "anf  ! Arithmetic problems not fatal\n",
          answers(false, "devc.csv"));
  ASSERT_TRUE(r.Ok()) << r.Key("Error") << r.log;
  auto cum = ReadTableFile(scratch / "devc.csv");
  ASSERT_TRUE(cum) << cum.error();
  EXPECT_EQ(cum->kind, "cumulative differences");
  // Policy level 1.21 then 1.21; other 1.10 then 1.21 (from 2023 on).
  EXPECT_NEAR(cum->rows[0].values[0], 10, 1e-5);
  EXPECT_NEAR(cum->rows[0].values[1], 0, 1e-5);
  // Changes: Policy 3 then 5; other 1 then 3.
  EXPECT_EQ(cum->rows[1].values, (std::vector<double>{2, 2}));
}

TEST_F(AssemblyTest, VarixNeedsEveryPolicyYearAndComponentInTheOtherRun) {
  scratch.Write("pre.csv", YonyCsv({2023}, {1}, {1}));
  scratch.Write("pol.csv", YonyCsv({2023, 2024}, {1, 2}, {1, 2}));
  auto r = Run("varixa", "d.st6", "",
               "sol\n" + scratch / "p" + "\n \n" + scratch / "pre.csv\n" + scratch / "pol.csv\n" +
                   scratch / "d.csv\n");
  EXPECT_EQ(r.Key("Status"), "error");
  EXPECT_NE(r.Key("Error").find("The year Year 2024 is missing from the other run"),
            std::string::npos)
      << r.Key("Error");
  r = Run("varixa", "d.st6", "",
          "sol\n" + scratch / "p" + "\n \n" + scratch / "pre.csv\n" + scratch / "pol.csv\n");
  EXPECT_NE(r.Key("Error").find("ends too early: expected the output file"), std::string::npos);
}

// Solution files -> per-year results files (Solex) -> cumulative results files and their
// differences (Mergix).
TEST_F(AssemblyTest, MergixCumulatesAndDiffersResultsFiles) {
  const std::vector<std::string> sect{"AGR", "MAN"};
  auto make = [&](const std::string& run, int year, double y_agr, double w) {
    const std::string stem = scratch / (run + "-" + std::to_string(year));
    WriteFixtureHar(
        stem + ".sl4",
        {Var("y", "Output", "SECT", sect, {y_agr, 0}), Var("w", "Wage", "", {}, {w}, {}, 'c')},
        year);
    auto r =
        RunTool("solexa", scratch.path(), stem + ".st4",
                "bat\nrpt\n" + stem + ".rpt\n \n" + stem + "\nc\nn\nxx.xx\n" + stem + ".rsl\n");
    ASSERT_TRUE(r.Ok()) << r.Key("Error");
  };
  make("base", 2023, 10, 1);
  make("base", 2024, 10, 2);
  make("pol", 2023, 21, 3);
  make("pol", 2024, 0, 2);
  auto cml = [&](const std::string& run) {
    return Run("mergixa", run + "sol.st5", "",
               "cml\n \n" + scratch / (run + "-2023") +
                   "    ! relevant SL4 file\n2   ! no files\n" + scratch / (run + "-2023.rsl") +
                   "\n" + scratch / (run + "-2024.rsl") + "\n" + scratch / (run + "-cum.rsl") +
                   "   ! Output file\n");
  };
  for (const std::string run : {"base", "pol"}) {
    auto r = cml(run);
    ASSERT_TRUE(r.Ok()) << r.Key("Error") << r.log;
  }
  HarFile base = ReadHarOrFail(scratch / "base-cum.rsl");
  EXPECT_NEAR(HeaderValues(base, "C001")[0], 21, 1e-5);
  EXPECT_EQ(HeaderValues(base, "C002"), (std::vector<double>{3}));
  ASSERT_NE(base.Find("YRNG"), nullptr);
  EXPECT_EQ(base.Find("YRNG")->ints, (std::vector<std::int32_t>{2023, 2024}));

  auto r = Run("mergixa", "devsol.st6", "anf  ! Arithmetic problems not fatal\n",
               "dif\n \n" + scratch / "pol-2023" + "\n" + scratch / "base-cum.rsl\n" +
                   scratch / "pol-cum.rsl\n" + scratch / "dev.rsl   ! Output file\n");
  ASSERT_TRUE(r.Ok()) << r.Key("Error") << r.log;
  HarFile dev = ReadHarOrFail(scratch / "dev.rsl");
  // Policy 1.21 * 1.00 against the Base's 1.10 * 1.10: no deviation left in 2024.
  EXPECT_NEAR(HeaderValues(dev, "C001")[0], 0, 1e-5);
  EXPECT_EQ(HeaderValues(dev, "C002"), (std::vector<double>{2}));  // 5 - 3

  // Cumulating cumulative results is refused: they are not a year's results.
  r = Run("mergixa", "again.st5", "",
          "cml\n \n" + scratch / "base-2023" + "\n1\n" + scratch / "base-cum.rsl\n" +
              scratch / "again.rsl\n");
  EXPECT_EQ(r.Key("Status"), "error");
  EXPECT_NE(r.Key("Error").find("not a year's"), std::string::npos) << r.Key("Error");
  EXPECT_FALSE(FileExists(scratch / "again.rsl"));
}

}  // namespace
}  // namespace yl::testing
