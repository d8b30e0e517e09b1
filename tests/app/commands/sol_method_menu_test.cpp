#include "app/commands/sol_method_menu.h"

#include <gtest/gtest.h>

#include "support/scripted_prompter.h"

namespace yl {
namespace {

using testing::ScriptedPrompter;

const char kStar[] =
    "\r\n[There is * at the end of the years for which the alternative solution method is to be "
    "used.]";

class SolMethodMenu : public ::testing::Test {
 protected:
  SolMethodMenu() {
    rec.NumYears = 4;
    state.Alternative.Method = GraggDefaultSolMethod();
  }
  TSimRecord rec;
  SolMethodState state;
  ScriptedPrompter p;
};

TEST_F(SolMethodMenu, WhichMethodApplies) {
  ShowWhichMethodApplies(rec, state, 2, p);
  rec.AltMethodInUse = true;
  ShowWhichMethodApplies(rec, state, 2, p);
  rec.AltMethodYears[2] = true;
  ShowWhichMethodApplies(rec, state, 2, p);
  EXPECT_EQ(p.Texts(),
            (std::vector<std::string>{
                std::string("You are currently using the normal solution method (as shown on "
                            "the Sim Overview page) for ALL years.") +
                    kStar,
                std::string("You are currently using the normal solution method (as shown on "
                            "the Sim Overview page) for this year.") +
                    kStar,
                std::string("You are currently using the alternative solution method for this "
                            "year. That is:\r\n   Gragg: 2-4-6 steps extrapolation") +
                    kStar}));
}

TEST_F(SolMethodMenu, ClearingTheOnlyFlaggedPeriodSwitchesTheAlternativeOff) {
  UseAlternativeMethodForPeriod(rec, state, 3, p);
  EXPECT_TRUE(rec.AltMethodInUse);
  EXPECT_TRUE(rec.AltMethodYears[3]);
  EXPECT_STREQ(AltMethodMark(rec, 3), "*");
  EXPECT_EQ(p.Last().text,
            "Will use the alternative solution method for this year.\r\n  This is: Gragg: 2-4-6 "
            "steps extrapolation");
  UseAlternativeMethodForPeriod(rec, state, 1, p);
  UseNormalMethodForPeriod(rec, 3, p);
  EXPECT_TRUE(rec.AltMethodInUse);  // period 1 is still flagged
  UseNormalMethodForPeriod(rec, 1, p);
  EXPECT_FALSE(rec.AltMethodInUse);
  EXPECT_STREQ(AltMethodMark(rec, 1), "");
  EXPECT_EQ(p.Last().text,
            "Will use the normal solution method (as shown on the Sim Overview page) for this "
            "year.");
}

TEST_F(SolMethodMenu, FlagsBeyondTheLastPeriodDoNotKeepTheSwitchOn) {
  rec.AltMethodYears[10] = true;  // left over from a longer setup
  UseAlternativeMethodForPeriod(rec, state, 2, p);
  UseNormalMethodForPeriod(rec, 2, p);
  EXPECT_FALSE(rec.AltMethodInUse);
}

TEST_F(SolMethodMenu, NormalForAllPeriods) {
  UseAlternativeMethodForPeriod(rec, state, 2, p);
  UseNormalMethodForAllPeriods(rec, p);
  EXPECT_FALSE(rec.AltMethodInUse);
  EXPECT_FALSE(rec.AltMethodYears[2]);
  EXPECT_EQ(p.Last().text,
            "Will use the normal solution method (as shown on the Sim Overview page) for all "
            "years.");
}

TEST_F(SolMethodMenu, ShowAndSpecifyTheAlternative) {
  ShowAlternativeMethod(state, p);
  EXPECT_EQ(p.Last().text,
            "Ths alternative solution method is:\r\n  Gragg: 2-4-6 steps extrapolation");
  // A dialog that reports no change leaves everything as it was and says nothing.
  std::size_t before = p.messages.size();
  EXPECT_FALSE(SpecifyAlternativeMethod(
      state, [](const SolMethodSetting&, bool) { return std::nullopt; }, p));
  EXPECT_EQ(p.messages.size(), before);
  bool asked_alternative = false;
  EXPECT_TRUE(SpecifyAlternativeMethod(
      state,
      [&](const SolMethodSetting& cur, bool alternative) -> std::optional<SolMethodSetting> {
        asked_alternative = alternative;
        SolMethodSetting s = cur;
        s.Method.Method = kMidpoint;
        return s;
      },
      p));
  EXPECT_TRUE(asked_alternative);
  EXPECT_EQ(state.Alternative.Method.Method, kMidpoint);
  EXPECT_EQ(p.Last().text,
            "Alternative solution method changed to:\r\n   Midpoint: 2-4-6 steps extrapolation");
}

}  // namespace
}  // namespace yl
