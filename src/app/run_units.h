#pragma once
// The session as the run records see it: the units of work of the current simulation, each
// described with the files and settings it uses and produces, so that one description
// serves both the booking of a unit and the later check that it is still as it was.

#include "records/run_checks.h"
#include "records/run_record.h"
#include "settings/options.h"
#include "sim/sim_record.h"

namespace yl {

records::Timeline RecordTimeline(const TSimRecord& sim, const SessionSettings& s, int policy_start);
records::RecordContext RecordContextOf(const TSimRecord& sim, const SessionSettings& s);
// The unit as it would be recorded now.
records::UnitDescription DescribeUnit(const TSimRecord& sim, const SessionSettings& s,
                                      int policy_start, const records::UnitRef& unit);

// Whether the closure preparation of the year must run again: it must unless its record
// shows a completion not earlier than the Base's of that year, with the inputs it used
// unchanged. Reads the records in the keep directory afresh.
bool BotStillNeeded(const TSimRecord& sim, const SessionSettings& s, int policy_start, int year);

}  // namespace yl
