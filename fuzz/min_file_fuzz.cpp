// Feeds a Model Information file to its reader and does with it what loading a model
// does: the refusal rules, the entries stored in the record (more than the record holds
// is an internal error that the load reports) and the stamp.

#include <cstdint>
#include <string>

#include "core/internal_error.h"
#include "fuzz_record.h"
#include "fuzz_support.h"
#include "model/min_file.h"
#include "model/time_stamp.h"
#include "sim/sim_defaults.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto lines = yl::SplitLines(yl::fuzz::Text(data, size));
  auto min = yl::ParseMinContents(lines, "fuzz.min", yl::fuzz::kNoDir);
  if (!min) return 0;
  (void)yl::MinEntriesRefusal(*min);
  if (min->stamp != yl::CleanStamp(min->stamp)) __builtin_trap();
  (void)yl::TextStamp(lines, "#TMDATE");
  yl::TSimRecord* rec = &yl::fuzz::FreshRecord();
  std::vector<std::string> entry_lines;
  try {
    yl::StoreMinEntries(*min, *rec, entry_lines);
  } catch (const yl::InternalError&) {
    if (min->entries.size() <= static_cast<std::size_t>(yl::kMaxLogicalFiles)) __builtin_trap();
  }
  return 0;
}
