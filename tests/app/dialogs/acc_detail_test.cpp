// The accuracy detail of one solve: which slot and kind it opens on, its titles, the
// fallback to the worst data subinterval, its bars; and the grid cells' labels.

#include "app/dialogs/acc_detail.h"

#include <gtest/gtest.h>

#include "app/commands/accuracy_command.h"
#include "support/scripted_prompter.h"

namespace yl {
namespace {

using Counts = std::array<int, kMaxAccFigures + 1>;

AccSlot Slot(const Counts& v, std::optional<Counts> d) {
  AccSlot s;
  s.present[kAccVariables] = true;
  s.of[kAccVariables] = SummariseCounts(v);
  if (d) {
    s.present[kAccData] = true;
    s.of[kAccData] = SummariseCounts(*d);
  }
  return s;
}

// Three subintervals (the second worst for variables, the third for data) and an overall
// summary without data.
AccSummary ThreeAndOverall() {
  AccSummary s;
  s.Slot(1) = Slot({0, 0, 0, 0, 0, 10, 90}, Counts{0, 0, 0, 0, 0, 0, 50});
  s.Slot(2) = Slot({0, 0, 0, 40, 30, 20, 10}, Counts{0, 0, 0, 0, 0, 5, 45});
  s.Slot(3) = Slot({0, 0, 0, 0, 10, 30, 60}, Counts{0, 0, 10, 10, 10, 10, 10});
  s.Slot(4) = Slot({0, 0, 0, 0, 0, 50, 50}, std::nullopt);
  s.used = 4;
  s.overall_found = true;
  s.overall_slot = 4;
  FindWorstSlots(s);
  return s;
}

TEST(AccDetail, OneSolveOpensOnItsOnlySlotWithAndWithoutAPrefix) {
  AccSummary s;
  s.Slot(1) = Slot({0, 0, 0, 0, 10, 30, 60}, Counts{0, 0, 0, 0, 0, 0, 5});
  s.used = 1;
  FindWorstSlots(s);
  AccDetail plain(s, "");
  EXPECT_EQ(plain.slot(), 1);
  EXPECT_EQ(plain.Title(), "Accuracy Summary for whole simulation: variables");
  ASSERT_EQ(plain.SlotLines().size(), 1u);
  EXPECT_EQ(AccSlotLineText(plain.SlotLines()[0]), "8   10");

  AccDetail cell(s, "Base: Year 2022");
  testing::ScriptedPrompter prompter;
  cell.ShowKind(kAccData, prompter);
  EXPECT_TRUE(prompter.messages.empty());
  EXPECT_EQ(cell.Title(), "Base: Year 2022: whole simulation: data");
  EXPECT_EQ(cell.Shown().rating, 10);
}

TEST(AccDetail, DataOfAnOverallWithoutDataComeFromTheWorstSubinterval) {
  AccDetail d(ThreeAndOverall(), "");
  EXPECT_EQ(d.slot(), 4);
  EXPECT_EQ(d.Title(), "Overall Accuracy Summary (no corresponding summary for data)");
  const auto lines = d.SlotLines();
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(AccSlotLineText(lines[1]), "Subinterval 2   5 worst   9");
  EXPECT_EQ(AccSlotLineText(lines[2]), "Subinterval 3   8   5 worst");
  EXPECT_EQ(AccSlotLineText(lines[3]), "Overall   8   -");

  testing::ScriptedPrompter prompter;
  d.ShowKind(kAccData, prompter);
  EXPECT_EQ(prompter.Texts(),
            std::vector<std::string>{
                "The Overall Accuracy Summary does not contain a summary for the data.\r\nWill "
                "show the worst subinterval for data accuracy\r\n which is subinterval number 3."});
  EXPECT_EQ(d.slot(), 3);
  EXPECT_EQ(d.kind(), kAccData);
  EXPECT_EQ(d.Title(), "Accuracy Summary for Subinterval Number 3: data");
  // Back to the overall line while on data: its variables.
  d.ChooseSlot(4);
  EXPECT_EQ(d.kind(), kAccVariables);
  EXPECT_EQ(AccDetail(ThreeAndOverall(), "Policy: Year 2025").Title(),
            "Policy: Year 2025: Overall Accuracy Summary");
}

TEST(AccDetail, WithoutAnyDataSummaryTheDataTabSaysSoAndStaysOnVariables) {
  AccSummary s = ThreeAndOverall();
  for (int i = 1; i <= 4; ++i) s.Slot(i).present[kAccData] = false;
  FindWorstSlots(s);
  AccDetail d(s, "");
  testing::ScriptedPrompter prompter;
  d.ShowKind(kAccData, prompter);
  EXPECT_EQ(prompter.Texts(), std::vector<std::string>{"Is no data summary in this case."});
  EXPECT_EQ(d.kind(), kAccVariables);
  EXPECT_EQ(d.slot(), 4);
}

TEST(AccBars, TheLongestIs370PixelsAndTheOthersInProportion) {
  struct Case {
    Counts counts;
    std::array<int, kMaxAccFigures + 1> lengths;
  };
  const Case cases[] = {
      {{0, 0, 0, 0, 10, 30, 60}, {0, 0, 0, 0, 62, 185, 370}},
      {{0, 0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 0}},
      {{1, 2, 0, 0, 0, 0, 0}, {185, 370, 0, 0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    const auto bars = AccBars(SummariseCounts(c.counts));
    for (int f = 0; f <= kMaxAccFigures; ++f) {
      EXPECT_EQ(bars[f].length, c.lengths[f]) << f;
      EXPECT_EQ(bars[f].count, c.counts[f]);
    }
  }
}

TEST(AccCellLabel, EmptyBeforeTheRunNotAvailableWithoutASummaryElseTheRatingAndItsMark) {
  AccGridCell before;
  EXPECT_EQ(AccCellLabel(before, kAccVariables), "");
  AccGridCell cell;
  cell.in_run = true;
  EXPECT_EQ(AccCellLabel(cell, kAccData), "N/A");
  cell.present = {true, true};
  cell.of[kAccVariables].rating = 0;
  cell.of[kAccData].rating = 7;
  cell.worst = {true, true};
  EXPECT_EQ(AccCellLabel(cell, kAccVariables), "0 V");
  EXPECT_EQ(AccCellLabel(cell, kAccData), "7 D");
  cell.worst = {false, false};
  EXPECT_EQ(AccCellLabel(cell, kAccData), "7");
}

}  // namespace
}  // namespace yl
