// Feeds a sim store (the ".ds2" of Sim Details, or the last-session "YrlmSim.txt") to
// its reader. A store that reads must write back to a store that reads the same, and
// must apply to a current record as loading it does.

#include <cstdint>
#include <string>

#include "fuzz_record.h"
#include "fuzz_support.h"
#include "settings/sim_store.h"
#include "sim/sim_defaults.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto lines = yl::SplitLines(yl::fuzz::Text(data, size));
  auto sim = yl::ParseSimStore(lines, yl::fuzz::kNoDir);
  if (!sim) return 0;
  auto written = yl::SimStoreLines(**sim);
  if (!written) __builtin_trap();  // a store we read must be one we can write
  auto back = yl::ParseSimStore(*written, yl::fuzz::kNoDir);
  if (!back) __builtin_trap();
  auto again = yl::SimStoreLines(**back);
  if (!again || *again != *written) __builtin_trap();

  yl::TSimRecord* current = &yl::fuzz::FreshRecord();
  yl::SetDefaultSimulation(*current, yl::fuzz::kNoDir);
  yl::ApplySimStore(*current, **sim);
  return 0;
}
