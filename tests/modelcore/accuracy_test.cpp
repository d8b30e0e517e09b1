#include "modelcore/accuracy.h"

#include <gtest/gtest.h>

#include "exact_support.h"

namespace yl::model {
namespace {

TEST(FiguresAgreeing, CountsSignificantFigures) {
  struct Case {
    double a, b;
    int figures;
  };
  const Case cases[] = {
      {1.234567, 1.234567, 6}, {1.234567, 1.234561, 5}, {1.2345, 1.2349, 4},
      {123.45, 123.0, 3},      {123.45, 122.0, 2},      {1.0, 2.0, 0},
      {-0.0312, -0.0313, 2},   {0.0, 1e-14, 6},         {100.0, 100.0 + 1e-11, 6},
      {5.0, -5.0, 0},          {1.0, std::nan(""), 0},
  };
  for (const Case& k : cases)
    EXPECT_EQ(FiguresAgreeing(k.a, k.b), k.figures) << k.a << " vs " << k.b;
}

TEST(PlacesCounts, PercentAccurate) {
  PlacesCounts c;
  EXPECT_EQ(PercentAccurate(c, 4), 100.0);  // nothing to judge
  for (int f : {6, 6, 5, 4, 3}) c.Add(f);
  EXPECT_EQ(c.Total(), 5);
  EXPECT_EQ(c.AtLeast(4), 4);
  EXPECT_DOUBLE_EQ(PercentAccurate(c, 4), 80.0);
  EXPECT_DOUBLE_EQ(PercentAccurate(c, 6), 40.0);
}

AccuracyBlock Block(std::initializer_list<int> vars, std::initializer_list<int> file1,
                    std::initializer_list<int> file2) {
  AccuracyBlock b;
  for (int f : vars) b.variables.Add(f);
  b.data_files.resize(2);
  for (int f : file1) {
    b.data_files[0].Add(f);
    b.data_all.Add(f);
  }
  for (int f : file2) {
    b.data_files[1].Add(f);
    b.data_all.Add(f);
  }
  return b;
}

std::vector<long> Counts(const PlacesCounts& c) { return {c.counts.begin(), c.counts.end()}; }

TEST(AccuracyLog, OneUpdatedFileReadsBackAsWritten) {
  std::vector<std::string> log = {" Method = Gragg; Steps = 2 4 6; automatic accuracy = no."};
  AccuracyBlock b = Block({6, 6, 5, 2, 0}, {6, 4, 4}, {});
  b.data_files.resize(1);
  WriteAccuracyBlock(log, b, {"BASEDATA"}, "Accuracy summary for the whole solve", false);
  auto r = testing::ReadAccuracyLog(log, 1);
  ASSERT_EQ(r.error, "");
  ASSERT_EQ(r.slots.size(), 1u);
  EXPECT_EQ(r.overall_slot, 0);
  EXPECT_EQ(r.slots[0].variables, Counts(b.variables));
  EXPECT_EQ(r.slots[0].data, Counts(b.data_files[0]));
}

TEST(AccuracyLog, RedoneSubintervalReplacesItsSlotAndOverallComesLast) {
  const std::vector<std::string> files = {"BASEDATA", "OTHER"};
  std::vector<std::string> log;
  AccuracyBlock first = Block({1, 1}, {1}, {1});
  AccuracyBlock redone = Block({5, 6}, {6}, {5});
  AccuracyBlock second = Block({6, 6}, {6}, {6});
  AccuracyBlock overall = Block({5, 5}, {5}, {4});
  WriteAccuracyBlock(log, first, files, "Accuracy summary for subinterval 1", false);
  log.push_back(NotSufficientLine(1, 12.5, 80, 4));
  WriteAccuracyBlock(log, redone, files, "Accuracy summary for subinterval 1", false);
  WriteAccuracyBlock(log, second, files, "Accuracy summary for subinterval 2", false);
  WriteAccuracyBlock(log, overall, files, "Accuracy summary for the whole solve", true);

  // Two updated files: the reader looks for the summary of all updated data.
  auto r = testing::ReadAccuracyLog(log, 2);
  ASSERT_EQ(r.error, "");
  ASSERT_EQ(r.slots.size(), 3u);
  EXPECT_EQ(r.overall_slot, 3);
  EXPECT_EQ(r.slots[0].variables, Counts(redone.variables));
  EXPECT_EQ(r.slots[0].data, Counts(redone.data_all));
  EXPECT_EQ(r.slots[1].data, Counts(second.data_all));
  EXPECT_EQ(r.slots[2].data, Counts(overall.data_all));
  // With one updated file the per-file summary is the one read.
  r = testing::ReadAccuracyLog(log, 1);
  ASSERT_EQ(r.error, "");
  EXPECT_EQ(r.slots[2].data, Counts(overall.data_files[0]));
}

TEST(AccuracyLog, NotSufficientLineCarriesTheReadersPhrases) {
  const std::string line = NotSufficientLine(3, 72.26, 80, 4);
  EXPECT_EQ(line,
            " Accuracy for subinterval 3 not sufficient - accuracy was 72.3 percent of results "
            "accurate to 4 figures, 80 percent required.");
}

}  // namespace
}  // namespace yl::model
