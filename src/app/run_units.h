#pragma once
// The session as the run records see it: the units of work of the current simulation, each
// described with the files and settings it uses and produces, so that one description
// serves both the booking of a unit and the later check that it is still as it was.

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "records/run_checks.h"
#include "records/run_record.h"
#include "settings/options.h"
#include "sim/sim_inputs.h"
#include "sim/sim_record.h"

namespace yl {

// What describing every unit of a long run would otherwise look up again and again: names
// found without regard to case (a scan of a working directory of thousands of files), the
// files a closure or shock file names, the first-year list. One lives for one check.
class UnitLookups {
 public:
  // A name relative to the working directory, in its on-disk spelling.
  std::string InWork(const TSimRecord& sim, const std::string& name);
  // The file of a table cell ("" when the cell names none).
  std::string Cell(const TSimRecord& sim, int row, int column);
  // The file followed by the files it names; nullopt when it cannot be read.
  const std::optional<std::vector<std::string>>& Constituents(const std::string& path);
  const FirstYearFiles& FirstYear(const SessionSettings& s);

 private:
  std::map<std::string, std::string> names_;
  std::optional<std::map<std::string, std::string>> listing_;  // lower-case name -> on disk
  std::map<std::string, std::optional<std::vector<std::string>>> constituents_;
  std::optional<FirstYearFiles> first_year_;
};

records::Timeline RecordTimeline(const TSimRecord& sim, const SessionSettings& s, int policy_start);
records::RecordContext RecordContextOf(const TSimRecord& sim, const SessionSettings& s);
// The unit as it would be recorded now.
records::UnitDescription DescribeUnit(const TSimRecord& sim, const SessionSettings& s,
                                      int policy_start, const records::UnitRef& unit,
                                      UnitLookups* lookups = nullptr);

// Whether the closure preparation of the year must run again: it must unless its record
// shows a completion not earlier than the Base's of that year, with the inputs it used
// unchanged. Reads the records in the keep directory afresh.
bool BotStillNeeded(const TSimRecord& sim, const SessionSettings& s, int policy_start, int year);
// The same over records already read, for a check that asks about many years.
bool BotStillNeeded(const TSimRecord& sim, const SessionSettings& s, int policy_start, int year,
                    const records::RunRecords& kept, UnitLookups* lookups);

}  // namespace yl
