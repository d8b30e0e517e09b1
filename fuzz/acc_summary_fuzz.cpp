// Feeds a solve's log to the accuracy-summary reader. The first byte picks the reading
// options (number of updated files, overall only, expect one, first slot); the rest is the
// log. A read either fails with its routine's tag or leaves a summary that holds together.

#include <cstdint>
#include <string>

#include "accuracy/acc_summary.h"
#include "fuzz_support.h"

namespace {

bool SummaryHoldsTogether(const yl::AccSummary& s, int first) {
  if (s.used < first - 1 || s.used > yl::kMaxAccSlots) return false;
  if (s.overall_found && (s.overall_slot < first || s.overall_slot != s.used)) return false;
  for (int w : s.worst) {
    if (w < 1 || w > std::max(1, s.used)) return false;
  }
  for (int i = first; i <= s.used; ++i) {
    for (int k = 0; k < yl::kNumAccKinds; ++k) {
      const yl::PlacesSummary& p = s.Slot(i).of[static_cast<std::size_t>(k)];
      if (p.rating < 0 || p.rating > yl::kMaxAccRating) return false;
      if (!(p.ten_a >= 0 && p.ten_a <= 10 * yl::kMaxAccFigures)) return false;
      for (int c : p.counts) {
        if (c < 0) return false;
      }
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const unsigned choice = data[0];
  const std::string log = yl::fuzz::Text(data + 1, size - 1);
  yl::AccReadOptions options;
  options.updated_files = static_cast<int>(choice % 4);
  options.overall_only = (choice & 4) != 0;
  options.expect_one = (choice & 8) != 0;
  options.first_slot = 1 + static_cast<int>(choice >> 4) * 19;

  yl::TextLogLines lines(log);
  yl::AccSummary summary;
  yl::Status read = yl::ReadAccSummary(lines, "fuzz.log", options, summary);
  if (read ? !SummaryHoldsTogether(summary, options.first_slot)
           : !read.error().ends_with("[GetAccSummary2]")) {
    __builtin_trap();
  }

  yl::TextLogLines block(log);
  auto places = yl::GetPlacesSumry(block);
  if (places ? places->rating < 0 || places->rating > yl::kMaxAccRating
             : !places.error().ends_with("[GetPlacesSumry]")) {
    __builtin_trap();
  }
  return 0;
}
