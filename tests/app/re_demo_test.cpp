// The forward-looking demo run whole in batch mode: every run iterates, each iteration
// leaves its copies, and the expectations settle because the model's own outcomes feed
// back, which the convergence report and the kept ROREXT files both show.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "demo_support.h"
#include "platform/files.h"
#include "support/program_run.h"

namespace yl::testing {
namespace {

using ::testing::HasSubstr;

class ReDemoTest : public DemoWorkTest {
 protected:
  void SetUp() override {
    work_name = "re demo";
    ds1 = "demoremodel-BS1B-BR1R-PL1P.ds1";
    setup_options = {"--rational-expectations"};
    DemoWorkTest::SetUp();
  }
  std::vector<double> Rorg(const std::string& kept) {
    return HeaderValues(ReadHarOrFail(WorkFile(kept)), "RORG");
  }
};

double LargestChange(const std::vector<double>& a, const std::vector<double>& b) {
  double d = 0;
  for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i)
    d = std::max(d, std::abs(a[i] - b[i]));
  return d;
}

TEST_F(ReDemoTest, AllRunsIterateAndTheBaseExpectationsSettle) {
  YearloomRun run = Yearloom({"all", "all", ds1});
  ASSERT_TRUE(run.Succeeded()) << run.output;
  EXPECT_THAT(run.output, HasSubstr("Convergence Overview for Base\nConvergence report after 4 "
                                    "iterations of the Base."));
  EXPECT_THAT(run.output, HasSubstr("Convergence report after 3 iterations of the Policy."));
  EXPECT_THAT(run.output, HasSubstr("Number apparently not converging is 0."));
  EXPECT_THAT(run.output, HasSubstr("[Iter 4]"));
  EXPECT_THAT(ReadFileBytes(KeepFile("BatchJobs.log")),
              HasSubstr("Convergence report after 4 iterations of the Base."));
  // Iterations are numbered across the runs: Base 1..4, Rerun 5, Policy 6..8.
  for (const char* f : {"BS1B_iter4.har", "BS1B-BR1R_iter5.har", "BS1B-BR1R-PL1P_iter8.har"}) {
    EXPECT_TRUE(FileExists(WorkFile(f))) << f;
  }
  // Each Base iteration's expectations move less than the one before.
  std::vector<std::vector<double>> rorg;
  for (int n = 1; n <= 4; ++n)
    rorg.push_back(Rorg("ror-bs1b-2030_BIter" + std::to_string(n) + ".har"));
  ASSERT_FALSE(rorg[0].empty());
  std::vector<double> change;
  for (int n = 1; n < 4; ++n) change.push_back(LargestChange(rorg[n], rorg[n - 1]));
  EXPECT_GT(change[0], 0);
  EXPECT_LT(change[1], change[0]);
  EXPECT_LT(change[2], change[1]);
  EXPECT_LT(change[2], 1e-4);
}

}  // namespace
}  // namespace yl::testing
