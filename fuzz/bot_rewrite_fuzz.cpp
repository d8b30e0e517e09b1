// Feeds a BOT file and the two results-file names (first two lines, then the file) to
// the rewriting that points a later slot's BOT file at its copy of the results.

#include <cstdint>
#include <string>

#include "app/part_preparer.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto lines = yl::SplitLines(yl::fuzz::Text(data, size));
  if (lines.size() < 2) return 0;
  const std::string from = lines[0], to = lines[1];
  lines.erase(lines.begin(), lines.begin() + 2);
  const auto before = lines;
  yl::ReplaceQuotedName(lines, from, to);
  if (lines.size() != before.size()) __builtin_trap();
  if (from == to && lines != before) __builtin_trap();
  return 0;
}
