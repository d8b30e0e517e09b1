#pragma once
// The two judgements built on the run records: whether a unit was completed in sequence
// with the units it depends on, and whether it is still as it was when it ran (its
// recorded files and settings against those of now). Checks only read.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "records/run_record.h"

namespace yl::records {

// The shape of the set of runs the records are read against.
struct Timeline {
  int num_years = 0;  // N
  int policy_start = 1;
  bool two_run_mode = false;
  std::function<int(int)> calendar_year = [](int k) { return k; };

  int FirstSimulable(int run) const { return run == kBase ? 1 : policy_start; }
  Run BotRun() const { return two_run_mode ? kPolicy : kRerun; }
  bool RunUsed(int run) const { return !(run == kRerun && two_run_mode); }
  // The run whose spreadsheets the Policy's differences are taken against.
  Run PrerequisiteRun() const { return two_run_mode ? kBase : kRerun; }
};

// "simulation for year 2027 (period number 3) of the Base".
std::string SimulationText(const Timeline& t, int run, int year);
// "BOT job for year 2027".
std::string BotJobText(const Timeline& t, int year);

struct Completion {
  std::optional<std::uint64_t> stamp;
  std::string reason;  // why it counts as not completed; "" when it is completed
};

// When the unit was booked, if it was.
Completion CompletedAt(const RunRecords& records, const Timeline& t, const UnitRef& unit);

// The units of a year a unit depends on must have been booked before it; one reason per
// violation, in rule order. `first_ss_year` is the first year a spreadsheet chain covers.
std::vector<std::string> InSequence(const RunRecords& records, const Timeline& t,
                                    const UnitRef& unit);

// Differences between what the unit recorded and the files and settings of now; only the
// outputs of the ticked result boxes are compared; with outputs_only, nothing else is. One
// reason per difference.
std::vector<std::string> StillOk(const RunRecords& records, const UnitDescription& unit,
                                 unsigned boxes, bool outputs_only = false);

// Where each run must start again to be complete and in sequence.
struct RunStart {
  int year = 0;  // year index; N + 1: the spreadsheet job; N + 2: nothing left to do
  std::string reason;
};
struct Starts {
  std::array<RunStart, 4> run;  // [1..3]
  RunStart bot;                 // the first closure preparation to run again
  std::vector<std::string> reasons;
};
Starts FirstNotInSequence(const RunRecords& records, const Timeline& t);

// Moves each start back to the first unit that is no longer as it was: a Base start also
// moves the Rerun and Policy starts back to it, a closure preparation's the runs that use
// it. `describe` gives the unit as it would be recorded now.
void StartsStillOk(Starts& starts, const RunRecords& records, const Timeline& t, unsigned boxes,
                   const std::function<UnitDescription(const UnitRef&)>& describe);

}  // namespace yl::records
