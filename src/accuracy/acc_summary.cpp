#include "accuracy/acc_summary.h"

#include <string_view>

#include "core/internal_error.h"
#include "platform/files.h"

namespace yl {

namespace {

constexpr std::string_view kRedoStart = "Accuracy for subinterval ";
constexpr std::string_view kRedoEnd = "not sufficient - accuracy was ";
constexpr std::string_view kOverallMark = "ACCURACY SUMMARY FOR OVERALL RESULTS";
constexpr std::string_view kBlockStart = "Below are for levels values";
constexpr std::string_view kOverallBlockStart = "Below are for overall levels values";
constexpr std::string_view kAllDataMark = "NEXT SUMMARY IS FOR ALL UPDATED DATA";
constexpr std::string_view kFileDataMark = "NEXT SUMMARY IS FOR UPDATED DATA FROM LOGICAL FILE ";

bool Has(const std::string& line, std::string_view part) {
  return line.find(part) != std::string::npos;
}

std::unexpected<std::string> Failure(const std::string& text) {
  return Fail(text + "[GetAccSummary2]");
}

}  // namespace

AccSlot& AccSummary::Slot(int i) {
  CheckIndex(i, 1, kMaxAccSlots, "AccSummary slots");
  return slots[static_cast<std::size_t>(i)];
}

const AccSlot& AccSummary::Slot(int i) const {
  CheckIndex(i, 1, kMaxAccSlots, "AccSummary slots");
  return slots[static_cast<std::size_t>(i)];
}

void FindWorstSlots(AccSummary& summary) {
  for (int k = 0; k < kNumAccKinds; ++k) {
    const auto kind = static_cast<std::size_t>(k);
    int worst = 0;
    for (int i = 1; i <= summary.used; ++i) {
      if (summary.overall_found && i == summary.overall_slot) continue;
      const AccSlot& s = summary.Slot(i);
      if (!s.present[kind]) continue;
      if (worst == 0 || s.of[kind].ten_a < summary.Slot(worst).of[kind].ten_a) worst = i;
    }
    summary.worst[kind] = worst == 0 ? 1 : worst;
  }
}

Status ReadAccSummary(LogLines& log, const std::string& path, const AccReadOptions& options,
                      AccSummary& summary) {
  const int first = options.first_slot;
  CheckIndex(first, 1, kMaxAccSlots, "first accuracy summary slot");
  // An end that came from a failed read says so, whatever was being looked for.
  auto failure = [&](const std::string& text) {
    return Failure(log.Failed() ? "Premature end of file: " + path : text);
  };
  const std::string_view data_mark = options.updated_files > 1 ? kAllDataMark : kFileDataMark;
  int n = first - 1;
  bool overall_mark = false;
  int overall_here = 0;         // the slot of the last overall block of this log
  bool overall_intact = false;  // no later block has replaced it
  std::string line;
  bool reading = true;
  while (reading && log.Next(line)) {
    // The block just read was not good enough and is done again: the redo takes its slot.
    // Before any block there is nothing to replace.
    if (Has(line, kRedoStart) && Has(line, kRedoEnd) && n >= first) --n;
    if (Has(line, kOverallMark)) overall_mark = true;
    if (!Has(line, kBlockStart) && !Has(line, kOverallBlockStart)) continue;
    const bool overall = overall_mark;
    overall_mark = false;
    if (options.overall_only && !overall) continue;
    if (++n > kMaxAccSlots) return Failure("Too many subintervals for accuracy summary");
    AccSlot& slot = summary.Slot(n);
    auto variables = GetPlacesSumry(log);
    if (!variables) return failure(variables.error());
    slot = {};
    slot.present[kAccVariables] = true;
    slot.of[kAccVariables] = *variables;
    if (overall) {
      summary.overall_found = true;
      summary.overall_slot = n;
      summary.overall_has_data = false;
      overall_here = n;
      overall_intact = true;
    } else if (n == overall_here) {
      overall_intact = false;
    }
    if (options.updated_files <= 0) continue;
    bool marked = false;
    while (!marked && log.Next(line)) marked = Has(line, data_mark);
    if (!marked) {
      // An overall block at the very end may come without its data part.
      if (overall && !log.Failed()) {
        reading = false;
        continue;
      }
      return failure("Cannot find data accuracy summary");
    }
    auto data = GetPlacesSumry(log);
    if (!data) return failure(data.error());
    slot.present[kAccData] = true;
    slot.of[kAccData] = *data;
    if (overall) summary.overall_has_data = true;
  }
  if (log.Failed()) return failure("");
  if (overall_here != 0) {
    if (overall_here != n) return Failure("prog error A");
    if (!overall_intact) return Failure("prog error B");
  }
  if (options.expect_one && n != first) {
    return Failure("Expected just one subinterval, but found more");
  }
  summary.used = n;
  FindWorstSlots(summary);
  return Ok();
}

Status GetAccSummary2(const std::string& path, int updated_files, AccSummary& summary,
                      int first_slot, bool overall_only, bool expect_one) {
  if (!FileExists(path)) return Failure("File \"" + path + "\" not found");
  FileLogLines lines;
  if (auto opened = lines.Open(path); !opened) return Failure(opened.error());
  return ReadAccSummary(lines, path, {updated_files, first_slot, overall_only, expect_one},
                        summary);
}

Status GetAccSummary(const std::string& path, int updated_files, AccSummary& summary) {
  summary = {};
  return GetAccSummary2(path, updated_files, summary, 1, false, false);
}

}  // namespace yl
