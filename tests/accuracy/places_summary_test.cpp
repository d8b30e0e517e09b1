#include "accuracy/places_summary.h"

#include <gtest/gtest.h>

#include <string>

namespace yl {
namespace {

TEST(AccuracyRating, TenTimesTheAverageRoundsHalvesToEvenBeforeTheTable) {
  struct Case {
    float ten_a;
    int rating;
  };
  const Case cases[] = {
      {0.0f, 0},  {8.4f, 0},  {8.5f, 0},  {8.6f, 1},  {9.0f, 1},  {16.0f, 1},  {16.5f, 1},
      {17.0f, 2}, {24.5f, 2}, {25.0f, 3}, {32.5f, 3}, {33.0f, 4}, {39.0f, 4},  {39.5f, 5},
      {40.0f, 5}, {45.0f, 5}, {45.5f, 6}, {46.0f, 6}, {50.5f, 6}, {51.0f, 7},  {54.5f, 7},
      {55.0f, 8}, {57.0f, 8}, {57.5f, 9}, {58.5f, 9}, {59.0f, 9}, {59.5f, 10}, {60.0f, 10},
  };
  for (const Case& c : cases) EXPECT_EQ(AccuracyRating(c.ten_a), c.rating) << c.ten_a;
}

TEST(AccuracyRating, RoundingIgnoresTheSignOfTheHalf) {
  EXPECT_EQ(RoundHalfEven(-0.5), 0);
  EXPECT_EQ(RoundHalfEven(-1.5), -2);
  EXPECT_EQ(RoundHalfEven(2.5), 2);
  EXPECT_EQ(RoundHalfEven(3.5), 4);
  EXPECT_EQ(RoundHalfEven(3.4999), 3);
}

TEST(SummariseCounts, AverageFiguresAndRatingFromTheCounts) {
  struct Case {
    std::array<int, 7> counts;  // figures 0..6
    float ten_a;
    int rating;
  };
  const Case cases[] = {
      {{0, 0, 0, 0, 10, 30, 60}, 55.0f, 8},
      {{0, 0, 0, 0, 0, 0, 7}, 60.0f, 10},
      {{0, 0, 0, 0, 3, 0, 0}, 40.0f, 5},
      {{0, 0, 0, 0, 0, 0, 0}, 0.0f, 0},
      {{5, 0, 0, 0, 0, 0, 0}, 0.0f, 0},
      // 89 and 91 figures over 20 results: 44.5 rounds down to 44, 45.5 up to 46.
      {{0, 0, 0, 0, 11, 9, 0}, 44.5f, 5},
      {{0, 0, 0, 0, 9, 11, 0}, 45.5f, 6},
  };
  for (const Case& c : cases) {
    const PlacesSummary s = SummariseCounts(c.counts);
    EXPECT_EQ(s.counts, c.counts);
    EXPECT_EQ(s.ten_a, c.ten_a) << c.counts[4];
    EXPECT_EQ(s.rating, c.rating) << c.counts[4];
  }
}

TEST(GetPlacesSumry, SkipsToTheCountLinesAndStopsAtTheFirstOtherLine) {
  TextLogLines log(
      " Below are for levels values of the endogenous variables.\r\n"
      "   35 results are judged accurate to 6 figures.\r\n"
      "  1 2 results are judged accurate to  4 figures.\n"
      "    0 results are judged accurate to 0 figures\n"
      "   (47 endogenous variable components)\n"
      "after\n");
  auto s = GetPlacesSumry(log);
  ASSERT_TRUE(s) << s.error();
  EXPECT_EQ(s->counts, (std::array<int, 7>{0, 0, 0, 0, 12, 0, 35}));
  EXPECT_EQ(s->rating, SummariseCounts(s->counts).rating);
  std::string next;
  ASSERT_TRUE(log.Next(next));
  EXPECT_EQ(next, "after");
}

TEST(GetPlacesSumry, ABrokenBlockFailsWithItsReason) {
  struct Case {
    std::string text;
    std::string error;
  };
  const std::string ok = " 3 results are judged accurate to 5 figures.\n";
  const Case cases[] = {
      {"", "Unexpected end-of-file[GetPlacesSumry]"},
      {"no block here\n\n", "Unexpected end-of-file[GetPlacesSumry]"},
      {ok, "Unexpected end-of-file[GetPlacesSumry]"},  // cut off inside the block
      {ok + " 1 results are judged accurate to 7 figures.\n",
       "Number of figures is not 0 to 6 in line \"1 results are judged accurate to 7 "
       "figures.\"[GetPlacesSumry]"},
      {" -1 results are judged accurate to 5 figures.\n",
       "Negative count in line \"-1 results are judged accurate to 5 figures.\"[GetPlacesSumry]"},
      {" 99999999999 results are judged accurate to 5 figures.\n",
       "Count is not an integer in line \"99999999999 results are judged accurate to 5 "
       "figures.\"[GetPlacesSumry]"},
      {" .5 results are judged accurate to 5 figures.\n",
       "Count is not an integer in line \".5 results are judged accurate to 5 "
       "figures.\"[GetPlacesSumry]"},
      {"results are judged accurate to 5 figures.\n",
       "Count is not an integer in line \"results are judged accurate to 5 "
       "figures.\"[GetPlacesSumry]"},
      {" 4 results are judged accurate to five figures.\n",
       "Number of figures is not an integer in line \"4 results are judged accurate to five "
       "figures.\"[GetPlacesSumry]"},
      {" 4 results are judged accurate to 5 places.\n",
       "No number of figures in line \"4 results are judged accurate to 5 "
       "places.\"[GetPlacesSumry]"},
      {" 4 results are judged accurate to6figures.\n",
       "No number of figures in line \"4 results are judged accurate "
       "to6figures.\"[GetPlacesSumry]"},
  };
  for (const Case& c : cases) {
    TextLogLines log(c.text);
    auto s = GetPlacesSumry(log);
    ASSERT_FALSE(s) << c.text;
    EXPECT_EQ(s.error(), c.error);
  }
}

TEST(GetPlacesSumry, AHugeLineIsShownCutShort) {
  const std::string line = " 1 results are judged accurate to 9 figures." + std::string(5000, 'x');
  TextLogLines log(line + "\n");
  auto s = GetPlacesSumry(log);
  ASSERT_FALSE(s);
  EXPECT_LT(s.error().size(), 200u);
  EXPECT_TRUE(s.error().ends_with("...\"[GetPlacesSumry]")) << s.error();
}

}  // namespace
}  // namespace yl
