// The forward-looking demo run whole with the real programs: every run iterates, each
// iteration leaves its copies, the expectations settle because the model's own outcomes
// feed back (the convergence report and the kept ROREXT files both show it), and an
// extra-iterations task carries on from where the last one stopped.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iomanip>
#include <iostream>

#include "app/commands/re_commands.h"
#include "app/controller.h"
#include "demo_support.h"
#include "platform/files.h"
#include "platform/process.h"
#include "sim/sim_naming.h"
#include "support/program_run.h"
#include "support/scripted_prompter.h"

namespace yl::testing {
namespace {

using ::testing::HasSubstr;

std::size_t Count(const std::string& text, const std::string& part) {
  std::size_t n = 0;
  for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

double LargestChange(const std::vector<double>& a, const std::vector<double>& b) {
  double d = 0;
  for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i) {
    d = std::max(d, std::abs(a[i] - b[i]));
  }
  return d;
}

class ReDemoTest : public DemoWorkTest {
 protected:
  void SetUp() override {
    work_name = "re demo";
    ds1 = "demoremodel-BS1B-BR1R-PL1P.ds1";
    setup_options = {"--rational-expectations"};
    DemoWorkTest::SetUp();
    // Base 6, Rerun 1, Policy 4 iterations.
    std::string text = ReadFileBytes(WorkFile(ds1));
    for (auto [from, to] :
         {std::pair<std::string, std::string>{"Base Iterations=4", "Base Iterations=6"},
          {"Policy Iterations=3", "Policy Iterations=4"}}) {
      ASSERT_NE(text.find(from), std::string::npos) << from;
      text.replace(text.find(from), from.size(), to);
    }
    WriteFileBytes(WorkFile(ds1), text);
  }
  // RORG of the Base's kept ROREXT of iteration n.
  std::vector<double> KeptRorg(int n) {
    return HeaderValues(ReadHarOrFail(WorkFile("ror-bs1b-2030_BIter" + std::to_string(n) + ".har")),
                        "RORG");
  }
};

TEST_F(ReDemoTest, AllRunsIterateTheExpectationsSettleAndExtraIterationsCarryOn) {
  YearloomRun run = Yearloom({"all", "all", ds1});
  ASSERT_TRUE(run.Succeeded()) << run.output;
  EXPECT_THAT(run.output, HasSubstr("Convergence report after 6 iterations of the Base."));
  EXPECT_THAT(run.output, HasSubstr("Convergence report after 4 iterations of the Policy."));
  // Both reports: every pair converges.
  EXPECT_EQ(Count(run.output, "Number apparently not converging is 0."), 2u) << run.output;
  EXPECT_THAT(run.output, HasSubstr("[Iter 6]"));
  EXPECT_THAT(ReadFileBytes(KeepFile("BatchJobs.log")),
              HasSubstr("Convergence report after 6 iterations of the Base."));

  // Each Base iteration's expectations move less than the one before, and the last move
  // is below 1e-4.
  std::vector<double> change;
  std::vector<double> before = KeptRorg(1);
  ASSERT_FALSE(before.empty());
  for (int n = 2; n <= 6; ++n) {
    const std::vector<double> now = KeptRorg(n);
    change.push_back(LargestChange(now, before));
    before = now;
  }
  for (std::size_t i = 0; i < change.size(); ++i) {
    std::cout << "largest RORG change, Base iteration " << i + 2 << ": " << std::scientific
              << std::setprecision(3) << change[i] << "\n";
    if (i > 0) {
      EXPECT_LT(change[i], change[i - 1]) << i;
    }
  }
  EXPECT_LT(change.back(), 1e-4);

  // Iterations are numbered across the runs: Base 1..6, Rerun 7, Policy 8..11. The Base's
  // convergence file holds ITERATIONS x YEARS x the variable's own sets.
  for (const char* f : {"BS1B_iter6.har", "BS1B-BR1R_iter7.har", "BS1B-BR1R-PL1P_iter11.har"}) {
    EXPECT_TRUE(FileExists(WorkFile(f))) << f;
  }
  YearloomRun listed = RunAndWait(ProcessSpec{BinPath("yearloom-har"),
                                              {"list", WorkFile("BS1B_iter6.har")},
                                              work,
                                              WindowState::kNormal,
                                              scratch / "har-list.txt"},
                                  std::chrono::seconds(30));
  ASSERT_TRUE(listed.Succeeded()) << listed.output;
  EXPECT_THAT(listed.output, HasSubstr("0001  RE  FULL  6*10*3"));
  const HarFile conv = ReadHarOrFail(WorkFile("BS1B_iter6.har"));
  const HarHeader* eror = conv.Find("0001");
  ASSERT_NE(eror, nullptr);
  EXPECT_EQ(eror->sets.StName[0], "ITERATIONS");
  EXPECT_EQ(eror->sets.StName[1], "YEARS");
  EXPECT_EQ(eror->sets.elements[0].front(), "It1");
  EXPECT_EQ(eror->sets.elements[1].front(), "2021");

  // Two more Base iterations: they start from the sixth and extend its convergence file.
  ScriptedPrompter prompter;
  auto c = StartController(prompter);
  AppController& app = c->app;
  app.session().settings.options.Re.BaseIterations = 8;
  prompter.Answer(kOk);
  ASSERT_TRUE(ExtraIterationsCommand(app, prompter, kBase))
      << ::testing::PrintToString(prompter.Texts());
  EXPECT_THAT(prompter.Texts(), ::testing::Contains(HasSubstr("You have done 6 iterations.")));
  PollUntilTaskEnds(app, c->runner, std::chrono::minutes(3));
  ASSERT_TRUE(app.task_outcome());
  ASSERT_TRUE(app.task_outcome()->success) << app.task_outcome()->message;
  EXPECT_TRUE(FileExists(WorkFile("ror-bs1b-2030_BIter8.har")));
  const HarFile extended = ReadHarOrFail(WorkFile("BS1B_iter8.har"));
  ASSERT_NE(extended.Find("0001"), nullptr);
  EXPECT_EQ(extended.Find("0001")->sizes[0], 8);
  // The earlier iterations' values came across unchanged.
  const std::vector<double> old_values = HeaderValues(conv, "0001");
  const std::vector<double> new_values = HeaderValues(extended, "0001");
  ASSERT_EQ(new_values.size(), old_values.size() / 6 * 8);
  EXPECT_EQ(new_values[0], old_values[0]);
  EXPECT_EQ(new_values[5], old_values[5]);
  EXPECT_LT(LargestChange(KeptRorg(8), KeptRorg(7)), change.back());
}

}  // namespace
}  // namespace yl::testing
