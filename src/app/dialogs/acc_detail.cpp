#include "app/dialogs/acc_detail.h"

#include <algorithm>
#include <cmath>

namespace yl {

std::string AccSlotLineText(const AccSlotLine& line) {
  std::string text = line.label;
  for (int k = 0; k < kNumAccKinds; ++k) {
    text += text.empty() ? "" : "   ";
    text += line.present[k] ? std::to_string(line.rating[k]) : "-";
    if (line.worst[k]) text += " worst";
  }
  return text;
}

std::array<AccBar, kMaxAccFigures + 1> AccBars(const PlacesSummary& s) {
  const int longest = std::max(1, *std::max_element(s.counts.begin(), s.counts.end()));
  std::array<AccBar, kMaxAccFigures + 1> bars{};
  for (int f = 0; f <= kMaxAccFigures; ++f) {
    bars[f].figures = f;
    bars[f].count = s.counts[f];
    bars[f].length =
        static_cast<int>(std::lround(static_cast<double>(s.counts[f]) * kAccLongestBar / longest));
  }
  return bars;
}

AccDetail::AccDetail(const AccSummary& summary, std::string prefix)
    : summary_(summary), prefix_(std::move(prefix)) {
  slot_ = summary_.overall_found && summary_.overall_slot > 0 ? summary_.overall_slot
                                                              : summary_.worst[kAccVariables];
  slot_ = std::clamp(slot_, 1, std::max(1, summary_.used));
}

bool AccDetail::IsOverall(int slot) const {
  return summary_.overall_found && slot == summary_.overall_slot;
}

std::string AccDetail::Title() const {
  if (IsOverall(slot_)) {
    if (!prefix_.empty()) return prefix_ + ": Overall Accuracy Summary";
    return summary_.overall_has_data
               ? "Overall Accuracy Summary"
               : "Overall Accuracy Summary (no corresponding summary for data)";
  }
  const bool one = summary_.used <= 1;
  const std::string which =
      one ? "whole simulation" : "Subinterval Number " + std::to_string(slot_);
  std::string title = prefix_.empty() ? "Accuracy Summary for " + which : prefix_ + ": " + which;
  return title + (kind_ == kAccData ? ": data" : ": variables");
}

std::vector<AccSlotLine> AccDetail::SlotLines() const {
  std::vector<AccSlotLine> lines;
  const bool several = summary_.used > 1;
  for (int i = 1; i <= std::max(1, summary_.used); ++i) {
    AccSlotLine line;
    line.slot = i;
    line.label = IsOverall(i) ? "Overall" : several ? "Subinterval " + std::to_string(i) : "";
    const AccSlot& s = summary_.Slot(i);
    for (int k = 0; k < kNumAccKinds; ++k) {
      line.present[k] = s.present[k];
      line.rating[k] = s.of[k].rating;
      line.worst[k] = several && !IsOverall(i) && summary_.worst[k] == i && s.present[k];
    }
    lines.push_back(line);
  }
  return lines;
}

void AccDetail::ShowKind(AccKind kind, Prompter& prompter) {
  if (kind == kAccVariables || summary_.Slot(slot_).present[kAccData]) {
    kind_ = kind;
    return;
  }
  const int worst = summary_.worst[kAccData];
  if (IsOverall(slot_) && summary_.Slot(worst).present[kAccData] && !IsOverall(worst)) {
    prompter.Information(
        "The Overall Accuracy Summary does not contain a summary for the data.\r\nWill show "
        "the worst subinterval for data accuracy\r\n which is subinterval number " +
        std::to_string(worst) + ".");
    slot_ = worst;
    kind_ = kAccData;
    return;
  }
  prompter.Information("Is no data summary in this case.");
  kind_ = kAccVariables;
}

void AccDetail::ChooseSlot(int slot) {
  slot_ = std::clamp(slot, 1, std::max(1, summary_.used));
  if (kind_ == kAccData && !summary_.Slot(slot_).present[kAccData]) kind_ = kAccVariables;
}

}  // namespace yl
