#include "app/re_driver.h"

#include <gtest/gtest.h>

#include "platform/files.h"
#include "platform/paths.h"
#include "ratex/re_test_support.h"
#include "support/scripted_prompter.h"

namespace yl {
namespace {

using jobs::JobChoice;
using testing::MakeReal;
using testing::WriteHar;

std::string SliWith(const std::vector<std::pair<std::string, char>>& vars) {
  std::string text = "#VARIABLES\n" + std::to_string(vars.size()) + "\n";
  for (const auto& [name, status] : vars) {
    std::string padded = name;
    padded.resize(15, ' ');
    text += "      " + padded + "1 0 " + status + " label\n";
  }
  return text;
}

const std::vector<std::pair<std::string, char>> kBaseClosure{
    {"d_f", 'X'}, {"d_ff", 'N'}, {"d_f_diseq", 'N'}, {"d_f_diseqre", 'X'}};

class ReDriverTest : public testing::ReTest {
 protected:
  void SetUp() override {
    ReTest::SetUp();
    session.sim = *sim;
    SessionSettings& s = session.settings;
    s.first_year_files = {"File ROREXT = rorext.har ;", "File ITER = iter.har ;",
                          "File EXTRA = extra.har ;"};
    s.paths.temp_dir = context.temp_dir;
    s.options.Re.DoRe = true;
    s.options.Re.BaseIterations = 3;
    s.options.Re.PrepareCsv = false;
    WriteFirstYearFiles();
    scratch.Write("itervar.map", "y\n");
  }
  // What a solve of the Base leaves for year y of iteration n.
  void Solve(int y, float n, const std::vector<std::pair<std::string, char>>& closure) {
    const std::string sol = InDir(SolutionFileName(*sim, kBase, y, false));
    WriteHar(sol, {MakeReal({"C001", {2}, {n, n}, "y Output"})});
    scratch.Write(ChangeFileExt(FileNameOf(sol), ".sli"), SliWith(closure));
    if (y == testing::kYears) {
      WriteRorext(UpdatedFileName(*sim, 1, kBase, y, false), n);
      WriteIter(UpdatedFileName(*sim, 2, kBase, y, false), n + 1);
    }
  }
  ReDriver Driver() {
    return ReDriver(session, 1, FreshIterations(session.settings, BaseOnly()), prompter, false);
  }
  static jobs::PlanRequest BaseOnly() {
    jobs::PlanRequest r = jobs::PlanRequest::Nothing(testing::kYears);
    r.first_sim_year[kBase] = r.first_ss_year[kBase] = 1;
    r.last_sim_year[kBase] = r.last_ss_year[kBase] = testing::kYears;
    return r;
  }

  Session session;
  testing::ScriptedPrompter prompter;
};

TEST_F(ReDriverTest, ABaseTaskIteratesKeepsItsFilesAndReports) {
  ReDriver re = Driver();
  ASSERT_TRUE(re.Start());
  EXPECT_EQ(prompter.Texts(), std::vector<std::string>{"Doing Rational Expectations a la CORVAN."});
  jobs::IterationCounters counters = re.Counters();
  for (int n = 1; n <= 3; ++n) {
    if (n > 1) {
      ASSERT_TRUE(counters.MoreIterations(kBase));
      counters.BeginIteration(kBase);
    }
    EXPECT_EQ(counters.Current(kBase), n);
    for (int y = 1; y <= testing::kYears; ++y) {
      ASSERT_TRUE(re.BeforePart({kBase, y, JobKind::kSim, PartKind::kSim}));
      Solve(y, static_cast<float>(n), kBaseClosure);
      auto after = re.AfterPart({kBase, y, JobKind::kSim, PartKind::kSol});
      ASSERT_TRUE(after) << after.error();
    }
    // The first iteration reads the prepared files, later ones what the last year wrote.
    EXPECT_EQ(re.CmfInputs(kBase).Rorext.empty(), n > 1);
    EXPECT_FALSE(re.CmfInputs(kBase).Extra.empty());
    auto ended = re.IterationCompleted(kBase);
    ASSERT_TRUE(ended) << ended.error();
  }
  EXPECT_FALSE(counters.MoreIterations(kBase));
  EXPECT_TRUE(FileExists(InDir("rex-bs1b-2005_BIter3.har")));
  const auto y = testing::ValuesOf(InDir("BS1B_iter3.har"), "0001");
  ASSERT_EQ(y.size(), 3u * testing::kYears * 2u);
  EXPECT_EQ(y[2], 3.0f);  // iteration 3, first year, first element
  re.Finished();
  ASSERT_EQ(re.reports().size(), 1u);
  ASSERT_EQ(prompter.text_windows.size(), 1u);
  EXPECT_EQ(prompter.text_windows[0].caption, "Convergence Overview for Base");
  EXPECT_NE(prompter.text_windows[0].text.find("There are 15 IND*YEAR pairs."), std::string::npos);
}

TEST_F(ReDriverTest, TheFilesArePreparedOnceBeforeTheRunsFirstYear) {
  ReDriver re = Driver();
  ASSERT_TRUE(re.Start());
  const std::string working = scratch / "tmp/CvnRE/ITER.HAR";
  ASSERT_TRUE(re.BeforePart({kBase, 2, JobKind::kSim, PartKind::kSim}));
  EXPECT_FALSE(FileExists(working));
  ASSERT_TRUE(re.BeforePart({kBase, 1, JobKind::kSim, PartKind::kSim}));
  EXPECT_EQ(testing::SingleValue(working, "ITNO"), 1.0f);
  EXPECT_EQ(re.CmfInputs(kBase).Iter, working);

  DeleteFileIfExists(InDir("iter.har"));
  ReDriver again = Driver();
  ASSERT_TRUE(again.Start());
  auto s = again.BeforePart({kBase, 1, JobKind::kSim, PartKind::kSim});
  ASSERT_FALSE(s);
  EXPECT_EQ(s.error(), "Could not set up ROREXT, ITER and EXTRA files to start Base");
  EXPECT_EQ(prompter.Last().text, "Original file \r\n" + InDir("iter.har") + "\r\ndoes not exist");
}

TEST_F(ReDriverTest, StartRefusesATaskWithoutItsVariableMap) {
  DeleteFileIfExists(InDir("itervar.map"));
  ReDriver re = Driver();
  EXPECT_FALSE(re.Start());
  EXPECT_EQ(prompter.Last().text,
            "Since you are creating Convergence HAR files,\r\n you must specify the names of the "
            "variables to include\r\n on the Interation Variables Mapping file\r\n" +
                InDir("itervar.map") + "\r\nThis file does not exist. Please create such a file.");
}

TEST_F(ReDriverTest, ASolveWithABadClosureOrAnUnknownMapVariableStopsTheTask) {
  ReDriver re = Driver();
  ASSERT_TRUE(re.Start());
  ASSERT_TRUE(re.BeforePart({kBase, 1, JobKind::kSim, PartKind::kSim}));
  Solve(1, 1, {{"d_f", 'N'}, {"d_ff", 'N'}, {"d_f_diseq", 'N'}, {"d_f_diseqre", 'X'}});
  auto closure = re.AfterPart({kBase, 1, JobKind::kSim, PartKind::kSol});
  ASSERT_FALSE(closure);
  EXPECT_NE(closure.error().find("Not all components of variable d_f are exogenous."),
            std::string::npos);

  scratch.Write("itervar.map", "y\nqq\n");
  Solve(1, 1, kBaseClosure);
  auto map = re.AfterPart({kBase, 1, JobKind::kSim, PartKind::kSol});
  ASSERT_FALSE(map);
  const auto texts = prompter.Texts();
  ASSERT_GE(texts.size(), 2u);
  EXPECT_EQ(texts[texts.size() - 2],
            "Rational Expectations: Results are not available for variable qq\r\nPlease modify "
            "file " +
                InDir("itervar.map"));
  EXPECT_EQ(texts.back(), "Cannot continue with Rational Expectations because of earlier error.");
}

}  // namespace
}  // namespace yl
