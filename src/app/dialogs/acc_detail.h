#pragma once
// The accuracy detail of one solve without its window: which subinterval and kind are
// shown, the window's title, the list of slots and the seven bars.

#include <array>
#include <string>
#include <vector>

#include "accuracy/acc_summary.h"
#include "core/prompter.h"

namespace yl {

inline constexpr int kAccLongestBar = 370;  // pixels

struct AccBar {
  int figures = 0;
  int count = 0;
  int length = 0;  // the longest bar is kAccLongestBar; the others in proportion
};

// One line of the slot list: its label, then each kind's rating ("-" without a summary).
struct AccSlotLine {
  int slot = 0;
  std::string label;  // "Overall", "Subinterval {i}", or "" for a single-slot summary
  std::array<bool, kNumAccKinds> present{};
  std::array<int, kNumAccKinds> rating{};
  std::array<bool, kNumAccKinds> worst{};  // " worst", when there is more than one slot
};

std::string AccSlotLineText(const AccSlotLine& line);
std::array<AccBar, kMaxAccFigures + 1> AccBars(const PlacesSummary& s);

class AccDetail {
 public:
  // prefix: "{run name}: Year {calendar year}", or "" when opened on its own.
  AccDetail(const AccSummary& summary, std::string prefix);

  int slot() const { return slot_; }
  AccKind kind() const { return kind_; }
  const AccSummary& summary() const { return summary_; }
  const PlacesSummary& Shown() const { return summary_.Slot(slot_).of[kind_]; }
  std::string Title() const;
  std::vector<AccSlotLine> SlotLines() const;
  int SlotLineIndex() const { return slot_ - 1; }

  // The "Variables" or "Data" tab; the data of an overall summary that has none are
  // offered from the worst subinterval, after saying so.
  void ShowKind(AccKind kind, Prompter& prompter);
  // A line of the slot list (1-based slot).
  void ChooseSlot(int slot);

 private:
  bool IsOverall(int slot) const;

  AccSummary summary_;
  std::string prefix_;
  int slot_ = 1;
  AccKind kind_ = kAccVariables;
};

}  // namespace yl
