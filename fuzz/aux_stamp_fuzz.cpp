// Feeds the two stamps that tie a model's files together: a Model Information file (its
// "#TMDATE" line), a "@@@" line, then the auxiliary table file (a Header Array file with
// the "DTXT" header), both read from memory, and compares them as a model load does.

#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "model/min_file.h"
#include "model/time_stamp.h"

namespace {

// A stamp as compared is short, printable and clean already.
void CheckClean(const std::string& s) {
  if (s.size() > 40 || yl::CleanStamp(s) != s) __builtin_trap();
  for (char c : s) {
    if (static_cast<unsigned char>(c) < 32) __builtin_trap();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto parts = yl::fuzz::Parts(yl::fuzz::Text(data, size), 2);
  auto lines = yl::SplitLines(parts[0]);
  const std::string min_stamp = yl::TextStamp(lines, "#TMDATE");
  CheckClean(min_stamp);
  if (auto min = yl::ParseMinContents(lines, "fuzz.min", yl::fuzz::kNoDir)) CheckClean(min->stamp);
  auto aux_stamp = yl::AuxTableStamp(parts[1], "fuzz.axt");
  if (!aux_stamp) return 0;
  CheckClean(*aux_stamp);
  bool compatible = !min_stamp.empty() && !aux_stamp->empty() && min_stamp == *aux_stamp;
  (void)compatible;
  return 0;
}
