#include "ratex/re_convergence.h"

#include <gtest/gtest.h>

#include "platform/files.h"
#include "ratex/re_closure.h"
#include "ratex/re_test_support.h"

namespace yl::ratex {
namespace {

using testing::kInd;
using testing::kYears;
using testing::MakeReal;
using testing::ReTest;
using testing::WriteHar;

TEST_F(ReTest, ReportListTakesTheWorkFileThenTheIterationsAfterIt) {
  struct Case {
    std::optional<std::string> file;
    int target;
    std::vector<std::string> list;
  };
  const std::vector<Case> cases{
      {std::nullopt, 6, {"1", "2", "3", "4", "5", "6"}},
      {"2\n4\n", 6, {"2", "4", "5", "6"}},
      {"2\r\n9\r\n", 6, {"2"}},  // 9 is past the target, and nothing follows it
      {"x\n-1\n0\n3\n", 4, {"3", "4"}},
      {"7\n8\n", 6, {}},
  };
  for (const Case& c : cases) {
    const std::string work = InDir("iterB");
    DeleteFileIfExists(work);
    if (c.file) scratch.Write("iterB", *c.file);
    EXPECT_EQ(BuildReportList(work, c.target), c.list) << c.file.value_or("(none)");
  }
}

TEST_F(ReTest, VariableListMatchesDescriptionsAndNamesAVariableWithoutAHeader) {
  WriteHar(InDir("s.sl4"), {MakeReal({"C001", {3}, {}, "yy Output of something"}),
                            MakeReal({"C002", {3}, {}, "y Output volume"}),
                            MakeReal({"C003", {1}, {}, "k Capital"})});
  scratch.Write("itervar.map", "Y\n\n  k \n");
  auto list = BuildVariableList(InDir("s.sl4"), InDir("itervar.map"));
  ASSERT_TRUE(list) << list.error();
  EXPECT_EQ(*list, (std::vector<VariableEntry>{{"Y", "C002"}, {"k", "C003"}}));

  scratch.Write("itervar.map", "y\nqq\n");
  auto missing = BuildVariableList(InDir("s.sl4"), InDir("itervar.map"));
  ASSERT_FALSE(missing);
  EXPECT_EQ(missing.error(),
            "Rational Expectations: Results are not available for variable qq\r\n"
            "Please modify file " +
                InDir("itervar.map"));
  EXPECT_EQ(BuildVariableList(InDir("none.sl4"), InDir("itervar.map")).error(),
            "File " + InDir("none.sl4") + " does not exist");
}

RorgHistory OnePair(float x1, float x2, float x3) {
  RorgHistory h(1, 1);
  h.at(1, 1, 1) = x1;
  h.at(2, 1, 1) = x2;
  h.at(3, 1, 1) = x3;
  return h;
}

TEST(ConvergenceStats, JudgesEachPairByItsLastThreeIterations) {
  struct Case {
    float x1, x2, x3;
    bool converging, monotonic;
  };
  const std::vector<Case> cases{
      {1.0f, 1.2f, 1.1f, true, false},          {1.0f, 1.1f, 1.3f, false, true},
      {2.0f, 2.000005f, 2.000001f, true, true},  // all within 0.00001
      {1.0f, 1.0f, 1.0f, true, true},           {3.0f, 2.0f, 1.5f, true, true},
  };
  for (const Case& c : cases) {
    const ConvergenceStats s = ComputeConvergence(OnePair(c.x1, c.x2, c.x3));
    EXPECT_EQ(s.not_converging, c.converging ? 0 : 1) << c.x1 << " " << c.x2 << " " << c.x3;
    EXPECT_EQ(s.not_monotonic, c.monotonic ? 0 : 1) << c.x1 << " " << c.x2 << " " << c.x3;
  }
}

TEST(ConvergenceStats, CountsTheDifferencesAboveEachThreshold) {
  RorgHistory h(2, 2);
  const float last[] = {0.002f, 0.0007f, 0.0002f, 0.00005f};
  for (int y = 1; y <= 2; ++y) {
    for (int j = 1; j <= 2; ++j) h.at(3, y, j) = last[(y - 1) * 2 + (j - 1)];
  }
  const ConvergenceStats s = ComputeConvergence(h);
  EXPECT_EQ(s.pairs, 4);
  EXPECT_EQ(s.above_1e3, 1);
  EXPECT_EQ(s.above_5e4, 2);
  EXPECT_EQ(s.above_1e4, 3);
  EXPECT_NEAR(s.largest, 0.002, 1e-9);
}

TEST(ConvergenceStats, LargestDifferenceIsWrittenIn23Characters) {
  EXPECT_EQ(FormatLargestDifference(0.25), " 2.50000000000000E-0001");
  EXPECT_EQ(FormatLargestDifference(0.0), " 0.00000000000000E+0000");
  EXPECT_EQ(FormatLargestDifference(12345.0), " 1.23450000000000E+0004");
  EXPECT_EQ(FormatLargestDifference(-3e-12).size(), 23u);
}

// The kept ROREXT of the last year holds RORG = n in iteration n.
class IterationTest : public ReTest {
 protected:
  void EndIterations(int target, int from, int to, ConvergenceFile* conv, RorgHistory* history,
                     KeepSettings keep = {false, false, true}) {
    IterationStates states{};
    states[kBase] = {target, 0, from, from};
    for (int n = from; n <= to; ++n) {
      WriteRorext(UpdatedFileName(*sim, 1, kBase, kYears, false), static_cast<float>(100 * n));
      WriteSolutions(static_cast<float>(n));
      states[kBase].current = n;
      states[kBase].done = n;
      auto s = EndOfIteration(context, states, kBase, keep, conv, history);
      ASSERT_TRUE(s) << s.error();
    }
  }
  // Each year's solution: y over 2 sectors = (n, 10 y), w scalar = n + y.
  void WriteSolutions(float n) {
    for (int y = 1; y <= kYears; ++y) {
      WriteHar(InDir(SolutionFileName(*sim, kBase, y, false)),
               {MakeReal({"C001", {2}, {n, 10.0f * y}, "y Output"}),
                MakeReal({"C002", {1}, {n + y}, "w Wage"})});
    }
  }
};

TEST_F(IterationTest, HistoryKeepsTheLastThreeIterations) {
  for (int target : {3, 5}) {
    RorgHistory history(kYears, kInd);
    EndIterations(target, 1, target, nullptr, &history);
    for (int slot = 1; slot <= 3; ++slot) {
      const int n = target - 3 + slot;
      // RORG(j, y) = 100 n + j + y / 4
      EXPECT_FLOAT_EQ(history.at(slot, 2, 3), 100.0f * n + 3 + 0.5f) << target << " " << slot;
    }
  }
}

TEST_F(IterationTest, ConvergenceFileCollectsTheReportedIterationsAndIsExtendedLater) {
  WriteSolutions(0);
  const std::vector<VariableEntry> vars{{"y", "C001"}, {"w", "C002"}};
  IterationStates states{};
  states[kBase] = {3, 0, 1, 1};
  Notices notices;
  auto conv = StartConvergenceFile(context, states, kBase, vars, {"1", "3"}, notices);
  ASSERT_TRUE(conv) << conv.error();
  EXPECT_EQ(conv->path, InDir("BS1B_iter3.har"));
  EndIterations(3, 1, 3, &*conv, nullptr);
  auto file = ReadHarFile(conv->path);
  ASSERT_TRUE(file);
  const HarHeader* y = file->Find("0001");
  ASSERT_NE(y, nullptr);
  EXPECT_EQ(y->sets.coeff_name, "y");
  EXPECT_EQ(y->NDim, 3);
  EXPECT_EQ(y->sets.elements[0], (std::vector<std::string>{"It1", "It3"}));
  EXPECT_EQ(y->sets.elements[1][0], "2001");
  // (iteration position, year, sector): iteration 3, year 2004, sector 2 = 40.
  EXPECT_FLOAT_EQ(y->values[y->Offset({2, 4, 2})], 40.0f);
  EXPECT_FLOAT_EQ(y->values[y->Offset({2, 4, 1})], 3.0f);
  const HarHeader* w = file->Find("0002");
  ASSERT_NE(w, nullptr);
  EXPECT_FLOAT_EQ(w->values[w->Offset({1, 5, 1})], 6.0f);  // 1 + 5

  // Two extra iterations: the file of iteration 3 is carried into the one of iteration 5.
  context.counts.Base = 5;
  states[kBase] = {5, 3, 4, 4};
  auto more = StartConvergenceFile(context, states, kBase, vars, BuildReportList(InDir("iterB"), 5),
                                   notices);
  ASSERT_TRUE(more) << more.error();
  EXPECT_TRUE(notices.empty());
  EndIterations(5, 4, 5, &*more, nullptr);
  auto extended = ReadHarFile(InDir("BS1B_iter5.har"));
  ASSERT_TRUE(extended);
  const HarHeader* y5 = extended->Find("0001");
  ASSERT_NE(y5, nullptr);
  EXPECT_EQ(y5->sets.elements[0], (std::vector<std::string>{"It1", "It2", "It3", "It4", "It5"}));
  EXPECT_FLOAT_EQ(y5->values[y5->Offset({1, 4, 1})], 1.0f);  // kept from iteration 1
  EXPECT_FLOAT_EQ(y5->values[y5->Offset({5, 4, 1})], 5.0f);
}

TEST_F(IterationTest, AMissingEarlierFileStartsANewOneAfterSayingSo) {
  WriteSolutions(0);
  IterationStates states{};
  states[kBase] = {5, 3, 4, 4};
  Notices notices;
  auto conv = StartConvergenceFile(context, states, kBase, {{"w", "C002"}}, {"4", "5"}, notices);
  ASSERT_TRUE(conv) << conv.error();
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_EQ(notices[0].text,
            "Convergence information HAR file from end of iteration number 3 does not exist.\r\n"
            "Can only put information for new iterations on this time.");
  EXPECT_EQ(conv->file.Find("0001")->sets.elements[0], (std::vector<std::string>{"It4", "It5"}));
}

TEST_F(IterationTest, StartRefusesWhatItCannotHold) {
  WriteHar(InDir(SolutionFileName(*sim, kBase, 1, false)),
           {MakeReal({"C001", {2, 1, 1, 1, 1, 2}, {}, "big Six dims"})});
  IterationStates states{};
  states[kBase] = {3, 0, 1, 1};
  Notices notices;
  EXPECT_EQ(StartConvergenceFile(context, states, kBase, {{"big", "C001"}}, {"1"}, notices).error(),
            "Max dimension allowed is 5. Variable big has dimension 6");
  EXPECT_EQ(StartConvergenceFile(context, states, kBase, {{"big", "C009"}}, {"1"}, notices).error(),
            "Could not find header C009 on SOL file");
  EXPECT_EQ(
      StartConvergenceFile(context, states, kBase, {{"big", "C001"}}, {"02x"}, notices).error(),
      "Internal error. Problem converting CorvanREReportIterations to integer");
}

TEST_F(IterationTest, KeptCopiesAreNumberedByIteration) {
  const PeriodRange whole{1, kYears};
  for (PartKind v : {PartKind::kYonY, PartKind::kCum}) {
    scratch.Write(SpreadsheetFileName(*sim, kBase, JobKind::kTallyr, v, whole, 1, false), "csv");
  }
  EndIterations(2, 1, 2, nullptr, nullptr, {true, true, false});
  EXPECT_TRUE(FileExists(InDir("rex-bs1b-2005_BIter2.har")));
  EXPECT_TRUE(FileExists(InDir("bs1b-ssy_BIter1.csv")));
  EXPECT_TRUE(FileExists(InDir("bs1b-ssc_BIter2.csv")));

  DeleteFileIfExists(InDir("bs1b-ssc.csv"));
  IterationStates states{};
  states[kBase] = {3, 3, 3, 1};
  auto s = EndOfIteration(context, states, kBase, {false, true, false}, nullptr, nullptr);
  ASSERT_FALSE(s);
  EXPECT_EQ(s.error(), "Original file \r\n" + InDir("bs1b-ssc.csv") + "\r\ndoes not exist");
}

TEST_F(IterationTest, ReportIsWrittenForRunsWithMoreThanTwoIterations) {
  RorgHistory history(kYears, kInd);
  EndIterations(3, 1, 3, nullptr, &history);
  IterationStates states{};
  states[kBase] = {3, 3, 3, 1};
  std::array<std::optional<RorgHistory>, 4> histories;
  histories[kBase] = history;
  auto report = ConvergenceReport(context, states, histories);
  ASSERT_EQ(report.size(), 1u);
  EXPECT_EQ(report[0].title, "Convergence Overview for Base");
  EXPECT_EQ(report[0].message.text,
            "Convergence report after 3 iterations of the Base.\r\n"
            "This report relates to the IND*YEAR data (this is usually the EROR_G data) at header "
            "\"RORG\" on the ROREXT file.\r\n"
            "There are 15 IND*YEAR pairs.\r\n"
            "Number apparently not converging is 15.\r\n"
            "Number not monotonic over last 3 iterations is 0.\r\n"
            "Largest difference between last two iterations is  1.00000000000000E+0002 .\r\n"
            "Number with difference between last two iterations greater than 0.001 is 15.\r\n"
            "Number with difference between last two iterations greater than 0.0005 is 15.\r\n"
            "Number with difference between last two iterations greater than 0.0001 is 15.\r\n"
            "Check the Convergence HAR file etc to see more detail about convergence.");

  histories[kBase] = RorgHistory(kYears - 1, kInd);
  report = ConvergenceReport(context, states, histories);
  ASSERT_EQ(report.size(), 1u);
  EXPECT_EQ(report[0].message.text,
            "Sorry, an internal error has occurred.\r\nProblem producing convergence report for "
            "Base.\r\n Num year problem");
}

std::string VarLine(const std::string& name, int comps, char status) {
  std::string padded = name;
  padded.resize(15, ' ');
  return "      " + padded + std::to_string(comps) + " 0 " + status + " label\n";
}

TEST_F(ReTest, ClosureCheckNamesEveryVariableOutOfPlace) {
  auto sli = [&](const std::string& file, const std::vector<std::pair<std::string, char>>& vars) {
    std::string text = "#VARIABLES\n" + std::to_string(vars.size()) + "\n";
    for (const auto& [name, status] : vars) text += VarLine(name, 2, status);
    return scratch.Write(file, text);
  };
  const std::string good =
      sli("good.sli", {{"d_f", 'X'}, {"D_FF", 'N'}, {"d_f_diseq", 'N'}, {"d_f_diseqre", 'X'}});
  EXPECT_TRUE(CheckREClosure(good, kBase, 2, 2002));

  const std::string bad = sli("bad.sli", {{"d_f", 'N'}, {"d_ff", 'X'}, {"d_f_diseq", 'N'}});
  auto s = CheckREClosure(bad, kBase, 2, 2002);
  ASSERT_FALSE(s);
  EXPECT_EQ(s.error(),
            "Doing rational expectations (CORVAN style).\r\nThere is a problem the with closure "
            "for simulation for year 2002 (year number 2) of the Base:\r\n"
            " Not all components of variable d_f are exogenous.\r\n"
            " Not all components of variable d_ff are endogenous.\r\n"
            " d_f_diseqre is not a variable in the model\r\n"
            "Please fix these problems and run the application again.");
  // The Rerun needs d_f_diseqre endogenous and its own variables.
  auto rerun = CheckREClosure(good, kRerun, 3, 2003);
  ASSERT_FALSE(rerun);
  EXPECT_NE(rerun.error().find(" Not all components of variable d_f_diseqre are endogenous."),
            std::string::npos);
  EXPECT_NE(rerun.error().find(" del_ror_se_o is not a variable in the model"), std::string::npos);
}

}  // namespace
}  // namespace yl::ratex
