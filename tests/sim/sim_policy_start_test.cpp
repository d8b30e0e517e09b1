#include "sim/sim_policy_start.h"

#include <gtest/gtest.h>

#include "sim/sim_test_fixture.h"
#include "support/scratch_dir.h"

namespace yl {
namespace {

using testing::MakeSim;
using testing::ScratchDir;

class PolicyStartTest : public ::testing::Test {
 protected:
  PolicyStartTest() : sim(MakeSim(dir.path(), 2001, 6)) {
    for (int k = 1; k <= 6; ++k) sim->CMFCells(k, kPolicyShocks) = "";
  }
  ScratchDir dir;
  std::unique_ptr<TSimRecord> sim;
};

TEST_F(PolicyStartTest, FirstPeriodWithAPolicyShock) {
  sim->CMFCells(4, kPolicyShocks) = "?";  // "?" counts as a shock cell
  sim->CMFCells(5, kPolicyShocks) = "SHK";
  struct Case {
    int run;
    bool model;
    int period;
  } cases[] = {{kBase, true, 1}, {kRerun, true, 4}, {kPolicy, true, 4}, {kPolicy, false, 1}};
  for (const auto& c : cases) {
    PolicyStartSettings s;
    s.ModelSelected = c.model;
    PolicyStart out = PolicyStartSim(*sim, c.run, s);
    EXPECT_EQ(out.Period, c.period);
    EXPECT_FALSE(out.Refused);
    EXPECT_FALSE(out.Notice);
  }
}

TEST_F(PolicyStartTest, NoPolicyShocksRefusesRerunAndPolicy) {
  PolicyStart base = PolicyStartSim(*sim, kBase, {});
  EXPECT_FALSE(base.Refused);
  EXPECT_FALSE(base.Notice);
  PolicyStart out = PolicyStartSim(*sim, kPolicy, {});
  EXPECT_TRUE(out.Refused);
  EXPECT_EQ(out.Period, 1);
  ASSERT_TRUE(out.Notice);
  EXPECT_EQ(out.Notice->text, "Are no policy shocks, so nothing to do.");
  EXPECT_EQ(out.Notice->kind, MessageKind::kInformation);
  EXPECT_EQ(out.Notice->buttons, kOk);
  EXPECT_TRUE(PolicyStartSim(*sim, kRerun, {}).Refused);
}

TEST_F(PolicyStartTest, RationalExpectationsStartEarlier) {
  sim->CMFCells(3, kPolicyShocks) = "SHK";
  struct Case {
    int before;
    int period;
    std::optional<int> reset;
    bool message;
  } cases[] = {{0, 3, std::nullopt, false},
               {2, 1, std::nullopt, false},
               {3, 1, 2, true},
               {7, 1, 2, true},
               {-4, 3, std::nullopt, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.before);
    PolicyStartSettings s;
    s.DoRationalExpectations = true;
    s.YearsBeforeFirstShock = c.before;
    PolicyStart out = PolicyStartSim(*sim, kRerun, s);
    EXPECT_EQ(out.Period, c.period);
    EXPECT_EQ(out.NewYearsBeforeFirstShock, c.reset);
    if (c.message) {
      ASSERT_TRUE(out.Notice);
      EXPECT_EQ(out.Notice->kind, MessageKind::kInformation);
      EXPECT_EQ(out.Notice->text,
                "First Policy shock is in sim for year 2003.\r\nHence Policy run can start at "
                "most 2 periods before this.\r\nResetting value there so Policy run will start "
                "with first year.\r\nPlease check the Sim Overview page to see that this is what "
                "you want.");
    } else {
      EXPECT_FALSE(out.Notice);
    }
  }
}

}  // namespace
}  // namespace yl
