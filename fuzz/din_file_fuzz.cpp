// Feeds a Model Information file and a Dynamic Information file ("@@@" line between) to
// their readers, as loading a model does, then the consistency rules. A DIN that reads
// leaves a record that passes them.

#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "min_record.h"
#include "model/din_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto parts = yl::fuzz::Parts(yl::fuzz::Text(data, size), 2);
  yl::TSimRecord* rec = yl::fuzz::RecordFromMin(parts[0]);
  if (!rec) return 0;
  const auto din = yl::SplitLines(parts[1]);
  for (const auto& line : din) {
    for (const auto& word : yl::DinWords(line)) (void)yl::FindDinFile(*rec, word);
  }
  yl::Notices notices;
  if (yl::ReadDinLines(din, "fuzz.din", *rec, notices)) {
    if (!yl::CheckDinConsistency(*rec)) __builtin_trap();
  }
  return 0;
}
