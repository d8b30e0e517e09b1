// Feeds a Model Information file and a Dynamic Information file ("@@@" line between) to
// their readers, as loading a model does, then the consistency rules. A DIN that reads
// leaves a record that passes them.

#include <cstdint>
#include <string>

#include "core/internal_error.h"
#include "fuzz_record.h"
#include "fuzz_support.h"
#include "model/din_file.h"
#include "model/min_file.h"
#include "sim/sim_defaults.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto parts = yl::fuzz::Parts(yl::fuzz::Text(data, size), 2);
  auto min = yl::ParseMinContents(yl::SplitLines(parts[0]), "fuzz.min", yl::fuzz::kNoDir);
  if (!min) return 0;
  yl::TSimRecord* rec = &yl::fuzz::FreshRecord();
  std::vector<std::string> entry_lines;
  try {
    yl::StoreMinEntries(*min, *rec, entry_lines);
  } catch (const yl::InternalError&) {
    return 0;
  }
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
