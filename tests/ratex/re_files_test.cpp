#include "ratex/re_files.h"

#include <gtest/gtest.h>

#include "platform/files.h"
#include "platform/paths.h"
#include "ratex/re_test_support.h"

namespace yl::ratex {
namespace {

using testing::kInd;
using testing::kYears;
using testing::MakeReal;
using testing::ReTest;
using testing::SingleValue;
using testing::WriteHar;

TEST(GlobalIteration, NumbersIterationsAcrossTheRuns) {
  const ReCounts counts{30, 1, 20};
  struct Case {
    int run;
    int n;
    bool two_run;
    int global;
  };
  for (const Case& c : std::vector<Case>{{kBase, 1, false, 1},
                                         {kBase, 30, false, 30},
                                         {kRerun, 1, false, 31},
                                         {kPolicy, 1, false, 32},
                                         {kPolicy, 20, false, 51},
                                         {kPolicy, 1, true, 31},
                                         {kPolicy, 20, true, 50}}) {
    EXPECT_EQ(GlobalIteration(c.run, c.n, counts, c.two_run), c.global)
        << c.run << " " << c.n << " " << c.two_run;
  }
}

TEST_F(ReTest, SetUpNamesTheWorkingSetAndTheFirstIterationCopies) {
  context.policy_start = 3;
  auto sets = SetUpREFiles(context);
  ASSERT_TRUE(sets) << sets.error();
  EXPECT_TRUE(DirectoryExists(scratch / "tmp/CvnRE"));
  EXPECT_EQ(sets->working.Rorext, scratch / "tmp/CvnRE/ROREXT.HAR");
  EXPECT_EQ(sets->working.Extra, scratch / "tmp/CvnRE/EXTRA.HAR");
  // Key and name cut to 6, the year before the run's first period, the run letter.
  EXPECT_EQ(sets->first_iteration[kBase].Rorext, InDir("rexBS100_BIter1.har"));
  EXPECT_EQ(sets->first_iteration[kBase].Iter, InDir("itrBS100_BIter1.har"));
  EXPECT_EQ(sets->first_iteration[kPolicy].Extra, InDir("extPL102_PIter1.har"));
  EXPECT_EQ(RerunIterationCopy(context, 4), InDir("rexBR102_RIter4.har"));
}

TEST_F(ReTest, SetUpRefusesAModelWithoutTheSpecialFiles) {
  sim->DinFiles[2].Name = "ITERS";
  auto sets = SetUpREFiles(context);
  ASSERT_FALSE(sets);
  EXPECT_EQ(sets.error(),
            "ITER is not one of the logical file names.\r\nCannot do rational expectations.");
}

TEST_F(ReTest, ReadIterationsDoneReadsTheCounterTheLastYearWrote) {
  WriteIter(UpdatedFileName(*sim, 2, kBase, kYears, false), 31);
  auto done = ReadIterationsDone(context, kBase);
  ASSERT_TRUE(done) << done.error();
  EXPECT_EQ(*done, 30);

  auto missing = ReadIterationsDone(context, kPolicy);
  ASSERT_FALSE(missing);
  EXPECT_EQ(missing.error(),
            "Original file\r\n" + LastYearFile(2, kPolicy) + "\r\ndoes not exist.");

  WriteHar(LastYearFile(2, kRerun), {MakeReal({"ITNX", {1}, {3}})});
  EXPECT_EQ(ReadIterationsDone(context, kRerun).error(), "Header ITNO not found on ITER file");
  WriteHar(LastYearFile(2, kRerun), {MakeReal({"ITNO", {2}, {3, 3}})});
  EXPECT_EQ(ReadIterationsDone(context, kRerun).error(), "Header ITNO not as expected");
}

TEST_F(ReTest, IterationCheckComparesWithTheSimOverviewCounts) {
  context.counts = {30, 1, 20};
  WriteIter(UpdatedFileName(*sim, 2, kBase, kYears, false), 31);
  WriteIter(UpdatedFileName(*sim, 2, kRerun, kYears, false), 32);
  EXPECT_TRUE(IterationCheck(context, kPolicy));

  WriteIter(UpdatedFileName(*sim, 2, kBase, kYears, false), 30);
  auto base = IterationCheck(context, kRerun);
  ASSERT_FALSE(base);
  EXPECT_EQ(base.error(),
            "Serious problem. When you completed the Base,\r\n you had done a total of 29 "
            "iterations.\r\nHowever the Sim Overview page says 30 iterations for the Base.\r\n"
            "Please check. Either adjust the number on the Sim Overview page\r\n or else you may "
            "need to run the Base again.");

  WriteIter(UpdatedFileName(*sim, 2, kBase, kYears, false), 31);
  WriteIter(UpdatedFileName(*sim, 2, kRerun, kYears, false), 31);
  auto rerun = IterationCheck(context, kPolicy);
  ASSERT_FALSE(rerun);
  EXPECT_EQ(rerun.error(),
            "Serious problem. When you completed the Rerun,\r\n you had done a total of 30 "
            "iterations (Base and Rerun).\r\nHowever the numbers on the Sim Overview page imply a "
            "total of 31.\r\nPlease check. Either adjust the numbers on the Sim Overview page\r\n "
            "or else you may need to start this run earlier (at the Base or the Rerun).");

  // Without a Rerun only the Base is asked.
  context.no_rerun = true;
  EXPECT_TRUE(IterationCheck(context, kPolicy));
}

TEST_F(ReTest, PrepareAFreshBaseResetsTheExpectationsAndKeepsFirstIterationCopies) {
  WriteFirstYearFiles();
  auto sets = SetUpREFiles(context);
  ASSERT_TRUE(sets);
  IterationStates states{};
  states[kBase] = {3, 0, 1, 1};
  std::optional<RorgHistory> history;
  auto s = PrepareREFiles(context, *sets, states, kBase, history);
  ASSERT_TRUE(s) << s.error();
  const std::string& w = sets->working.Rorext;
  EXPECT_EQ(testing::ValuesOf(w, "RORG"), std::vector<float>(kInd * kYears, 0.0f));
  EXPECT_EQ(SingleValue(w, "NFIT"), 3.0f);
  EXPECT_EQ(SingleValue(w, "HORZ"), 5.0f);
  EXPECT_EQ(SingleValue(w, "YRPL"), 1.0f);
  EXPECT_EQ(SingleValue(w, "NRIT"), 7.0f);  // only a Rerun or Policy sets it
  EXPECT_EQ(SingleValue(sets->working.Iter, "ITNO"), 1.0f);
  EXPECT_EQ(SingleValue(sets->working.Extra, "YEAR"), 1.0f);
  EXPECT_TRUE(FilesEqual(w, sets->first_iteration[kBase].Rorext));
  EXPECT_TRUE(FilesEqual(sets->working.Iter, sets->first_iteration[kBase].Iter));
  ASSERT_TRUE(history);
  EXPECT_EQ(history->years, kYears);
  EXPECT_EQ(history->ind, kInd);
}

TEST_F(ReTest, PrepareExtraBaseIterationsStartsFromTheLastYearAndLeavesRorgAndHorzAlone) {
  WriteFirstYearFiles();
  WriteRorext(UpdatedFileName(*sim, 1, kBase, kYears, false), 100.0f);
  const auto rorg_before = testing::ValuesOf(LastYearFile(1, kBase), "RORG");
  context.counts = {35, 1, 20};
  auto sets = SetUpREFiles(context);
  ASSERT_TRUE(sets);
  IterationStates states{};
  states[kBase] = {35, 30, 31, 31};
  std::optional<RorgHistory> history;
  auto s = PrepareREFiles(context, *sets, states, kBase, history);
  ASSERT_TRUE(s) << s.error();
  const std::string& w = sets->working.Rorext;
  EXPECT_EQ(testing::ValuesOf(w, "RORG"), rorg_before);
  EXPECT_EQ(SingleValue(w, "HORZ"), 7.0f);
  EXPECT_EQ(SingleValue(w, "NFIT"), 35.0f);
  EXPECT_EQ(SingleValue(w, "YRPL"), 1.0f);
  EXPECT_EQ(SingleValue(sets->working.Iter, "ITNO"), 31.0f);
  EXPECT_FALSE(FileExists(sets->first_iteration[kBase].Rorext));
}

TEST_F(ReTest, PreparePolicyTakesTheRerunsLastIterationCopyAndItsStartYear) {
  WriteFirstYearFiles();
  context.counts = {3, 2, 3};
  context.several_rerun_iterations = true;
  context.policy_start = 3;
  WriteRorext(FileNameOf(RerunIterationCopy(context, 2)), 50.0f);
  auto sets = SetUpREFiles(context);
  ASSERT_TRUE(sets);
  IterationStates states{};
  states[kPolicy] = {3, 0, 1, 1};
  std::optional<RorgHistory> history;
  auto s = PrepareREFiles(context, *sets, states, kPolicy, history);
  ASSERT_TRUE(s) << s.error();
  const std::string& w = sets->working.Rorext;
  EXPECT_EQ(testing::ValuesOf(w, "RORG")[0], 51.25f);
  EXPECT_EQ(SingleValue(w, "NRIT"), 2.0f);
  EXPECT_EQ(SingleValue(w, "YRPL"), 3.0f);
  EXPECT_EQ(SingleValue(w, "NFIT"), 7.0f);
  EXPECT_EQ(SingleValue(sets->working.Iter, "ITNO"), 6.0f);  // 3 + 2 + 1
  ASSERT_TRUE(history);
  EXPECT_EQ(history->years, 3);
}

TEST_F(ReTest, PrepareRefusesMissingOrMisshapenHeaders) {
  struct Case {
    std::vector<HarHeader> rorext;
    int run;
    std::string message;
  };
  const auto adre = MakeReal({"ADRE", {kInd}, {}});
  const auto rorg = MakeReal({"RORG", {kInd, kYears}, {}});
  const auto one = [](const char* name) { return MakeReal({name, {1}, {1}}); };
  auto strings = Create1C("ADRE", "text", {"a"}, 1);
  ASSERT_TRUE(strings);
  const std::vector<Case> cases{
      {{rorg, one("NFIT"), one("HORZ"), one("YRPL")},
       kBase,
       "Header ADRE not found on ROREXT file"},
      {{*strings, rorg, one("NFIT")}, kBase, "Header ADRE not as expected"},
      {{adre, one("NFIT"), one("HORZ"), one("YRPL")},
       kBase,
       "Header RORG not found on ROREXT file"},
      {{adre, MakeReal({"RORG", {kInd + 1, kYears}, {}}), one("NFIT")},
       kBase,
       "Header RORG not as expected"},
      {{adre, rorg, one("HORZ"), one("YRPL")}, kBase, "Header NFIT not found on ROREXT file"},
      {{adre, rorg, one("NFIT"), MakeReal({"HORZ", {2}, {}}), one("YRPL")},
       kBase,
       "Header HORZ not as expected"},
      {{adre, rorg, one("NFIT"), one("HORZ")}, kBase, "Header YRPL not found on ROREXT file"},
      {{adre, rorg, one("YRPL")},
       kRerun,
       "Header NRIT not found on ROREXT file.\r\nDoes your TAB file  really allow more than one "
       "iteration on the Rerun?"},
  };
  WriteFirstYearFiles();
  context.several_rerun_iterations = true;
  auto sets = SetUpREFiles(context);
  ASSERT_TRUE(sets);
  for (const Case& c : cases) {
    WriteHar(InDir("rorext.har"), c.rorext);
    IterationStates states{};
    states[c.run] = {3, 0, 1, 1};
    std::optional<RorgHistory> history;
    auto s = PrepareREFiles(context, *sets, states, c.run, history);
    ASSERT_FALSE(s) << c.message;
    EXPECT_EQ(s.error(), c.message);
  }
}

TEST_F(ReTest, PrepareNamesAMissingSource) {
  WriteFirstYearFiles();
  auto sets = SetUpREFiles(context);
  ASSERT_TRUE(sets);
  IterationStates states{};
  states[kBase] = {5, 2, 3, 3};
  std::optional<RorgHistory> history;
  auto s = PrepareREFiles(context, *sets, states, kBase, history);
  ASSERT_FALSE(s);
  EXPECT_EQ(s.error(), "Original file \r\n" + LastYearFile(1, kBase) + "\r\ndoes not exist");

  testing::WriteFileBytes(InDir("extra.har"), "");
  DeleteFileIfExists(InDir("extra.har"));
  states[kBase] = {5, 0, 1, 1};
  s = PrepareREFiles(context, *sets, states, kBase, history);
  ASSERT_FALSE(s);
  EXPECT_EQ(s.error(), "Original file \r\n" + InDir("extra.har") + "\r\ndoes not exist");
}

TEST_F(ReTest, FileToShowFollowsTheChoice) {
  context.policy_start = 3;
  auto sets = SetUpREFiles(context);
  ASSERT_TRUE(sets);
  EXPECT_EQ(REFileToShow(context, *sets, kBase, "rorext", false, false), LastYearFile(1, kBase));
  EXPECT_EQ(REFileToShow(context, *sets, kBase, "ITER", true, false),
            sets->first_iteration[kBase].Iter);
  EXPECT_EQ(REFileToShow(context, *sets, kBase, "EXTRA", true, true), sets->working.Extra);
  // A Policy that starts later reads the Base's EXTRA of the year before.
  EXPECT_EQ(REFileToShow(context, *sets, kPolicy, "EXTRA", true, false),
            InDir(UpdatedFileName(*sim, 3, kBase, 2, false)));
}

}  // namespace
}  // namespace yl::ratex
