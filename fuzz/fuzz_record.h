#pragma once
// A simulation record for a fuzz target. The record is large, so it is made once and
// reset for each input: fresh pages for every input would cost more than the reading.

#include <memory>

#include "sim/sim_defaults.h"
#include "sim/sim_record.h"

namespace yl::fuzz {

// which: 0 or 1, for a target that needs two records at once.
inline TSimRecord& FreshRecord(int which = 0) {
  static const std::unique_ptr<TSimRecord> pristine = CreateSimRecord();
  static std::unique_ptr<TSimRecord> records[2] = {CreateSimRecord(), CreateSimRecord()};
  *records[which] = *pristine;
  return *records[which];
}

}  // namespace yl::fuzz
