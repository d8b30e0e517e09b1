#include "sim/sim_editing.h"

#include <gtest/gtest.h>

#include "core/internal_error.h"
#include "sim/sim_test_fixture.h"
#include "support/scratch_dir.h"

namespace yl {
namespace {

using testing::MakeSim;
using testing::ScratchDir;

TEST(SimNames, NormalisedToThreeUpperCaseCharacters) {
  struct Case {
    const char* in;
    const char* out;
  } cases[] = {{"ab", "ABZ"},   {" 7 ", "Z7Z"}, {"A", "AZZ"}, {"", "ZZZ"},
               {"pl12", "PL1"}, {"a/b", "AZB"}, {"x$", "XZZ"}};
  for (const Case& c : cases) EXPECT_EQ(NormaliseSimName(c.in), c.out) << c.in;
}

TEST(StartingDataYear, PaddedWithZerosOnTheRight) {
  ScratchDir d;
  auto sim = MakeSim(d.path(), 1998, 4);
  EXPECT_EQ(StartingDataYearText(*sim), "1997");
  struct Case {
    const char* in;
    const char* shown;
    int first_year;
  } cases[] = {
      {"98", "9800", 9801}, {"2000", "2000", 2001}, {"20 1", "2001", 2002}, {"1997", "1997", 1998}};
  for (const Case& c : cases) {
    auto r = EditStartingDataYear(*sim, c.in);
    ASSERT_TRUE(r) << c.in;
    EXPECT_EQ(*r, c.shown);
    EXPECT_EQ(sim->FirstYear, c.first_year);
    EXPECT_EQ(sim->Years[1], c.first_year);
    sim->FirstYear = 1998;
    RecomputeYears(*sim);
  }
  EXPECT_FALSE(EditStartingDataYear(*sim, "19x7"));
  EXPECT_FALSE(EditStartingDataYear(*sim, "19971"));
  EXPECT_EQ(sim->FirstYear, 1998);
}

TEST(FirstSimYear, PaddedLikeTheStartingDataYearButStoredAsItIs) {
  ScratchDir d;
  auto sim = MakeSim(d.path(), 1998, 4);
  EXPECT_EQ(FirstSimYearText(*sim), "1998");
  struct Case {
    const char* in;
    const char* shown;
    int first_year;
  } cases[] = {{"2021", "2021", 2021}, {"98", "9800", 9800}, {"2 1", "2010", 2010}};
  for (const Case& c : cases) {
    auto r = EditFirstSimYear(*sim, c.in);
    ASSERT_TRUE(r) << c.in;
    EXPECT_EQ(*r, c.shown);
    EXPECT_EQ(sim->FirstYear, c.first_year);
    EXPECT_EQ(sim->Years[0], c.first_year - 1) << "the starting data's year";
  }
  sim->FirstYear = 2021;
  EXPECT_FALSE(EditFirstSimYear(*sim, "20a1"));
  EXPECT_FALSE(EditFirstSimYear(*sim, "20211"));
  EXPECT_EQ(sim->FirstYear, 2021);
}

TEST(PeriodLengths, AllOneYearUntilOneIsLonger) {
  ScratchDir d;
  auto sim = MakeSim(d.path(), 2021, 3);
  EXPECT_TRUE(AllPeriodsOneYear(*sim));
  sim->LengthPeriods[3] = 5;
  EXPECT_FALSE(AllPeriodsOneYear(*sim));
  sim->NumYears = 2;  // a longer period past the last counts for nothing
  EXPECT_TRUE(AllPeriodsOneYear(*sim));
}

TEST(NumberOfPeriods, BlanksRemovedAndEmptyGivesTen) {
  ScratchDir d;
  auto sim = MakeSim(d.path());
  struct Case {
    const char* in;
    int n;
  } cases[] = {{"", 10}, {"   ", 10}, {" 2 5", 25}, {"999", 999}, {"0", 0}};
  for (const Case& c : cases) {
    auto r = EditNumberOfPeriods(*sim, c.in);
    ASSERT_TRUE(r) << c.in;
    EXPECT_EQ(*r, c.n);
    EXPECT_EQ(sim->NumYears, c.n);
  }
  EXPECT_FALSE(EditNumberOfPeriods(*sim, "1000"));
  EXPECT_FALSE(EditNumberOfPeriods(*sim, "-3"));
}

TEST(PeriodLengths, ListTextsAndStoring) {
  ScratchDir d;
  auto sim = MakeSim(d.path(), 2001, 3);
  EXPECT_TRUE(SetPeriodLength(*sim, 2, 2));
  EXPECT_TRUE(SetPeriodLength(*sim, 3, 3));
  EXPECT_EQ(PeriodLengthTexts(*sim),
            (std::vector<std::string>{"Period 1 is 1 year", "Period 2 is 2 years",
                                      "Period 3 is 3 years"}));
  EXPECT_EQ(sim->Years[3], 2006);
  EXPECT_FALSE(SetPeriodLength(*sim, 4, 2));  // beyond NumYears
  EXPECT_FALSE(SetPeriodLength(*sim, 0, 2));
  EXPECT_FALSE(SetPeriodLength(*sim, 1, 0));
  EXPECT_EQ(sim->LengthPeriods[4], 1);
  EXPECT_EQ(sim->LengthPeriods[1], 1);
}

}  // namespace
}  // namespace yl
