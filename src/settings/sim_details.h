#pragma once
// Sim Details: saving a whole setup (".ds1" options text, ".ds2" sim store, ".ds3"-".ds5"
// copies of the run records), loading it wholly or in parts, the simulation description
// (".ds0") and the last-session store.

#include <array>
#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "core/message.h"
#include "core/status.h"
#include "settings/options.h"
#include "settings/options_file.h"
#include "sim/sim_record.h"

namespace yl {

// Where the run records live and whether this is batch work.
struct SimDetailsContext {
  std::string keep_dir;
  bool unattended = false;
  // A load puts the run records of the loaded simulation in place; checks that must not
  // change a file read the copies themselves instead.
  bool restore_records = true;
};

// Writes the ".ds1", the ".ds2" beside it and, when asked, copies of the run records
// (run 1..3, or 0 for all) whose "Sim Name" and "Sim Directory" match the current ones.
// A failure's error is also added to notices.
Status WriteDynamicSimInfo(const std::string& ds1_path, bool copy_run_records, int which_run,
                           const SessionSettings& s, const TSimRecord& sim,
                           const SimDetailsContext& ctx, Notices& notices);

// The run records in the keep directory follow the copies saved beside the Sim Details:
// each is replaced by its copy when that is recent enough, and deleted otherwise.
void RestoreRunRecords(const TSimRecord& sim, const SessionSettings& s, const std::string& keep_dir,
                       Notices& notices);
// After a unit was booked, the run's record is copied beside the Sim Details, so the next
// restore keeps it.
Status SaveRunRecordCopy(int run, const SessionSettings& s, const TSimRecord& sim,
                         const std::string& keep_dir, Notices& notices);

enum class LoadPart { kNothing, kAll, kModelData, kSimDetails, kColumns };
struct LoadChoice {
  LoadPart part = LoadPart::kNothing;
  std::array<bool, 5> columns{};  // [1..4]: the Closure/Shocks columns to load
};
// Loads the chosen parts of the Sim Details in ds1_path. A sim store that cannot be read
// leaves the current simulation as it was. What the user should hear goes to notices, a
// failure's error included.
Status LoadSimDetails(const std::string& ds1_path, const LoadChoice& choice, SessionSettings& s,
                      TSimRecord& sim, const SimDetailsContext& ctx, Notices& notices,
                      const OptionsReadContext& read_context = {});

// Copies columns of a loaded record into the current one (names that go with them too),
// refusing another starting year. Returns false when nothing was loaded.
bool LoadColumns(TSimRecord& sim, const TSimRecord& loaded, const std::array<bool, 5>& columns,
                 bool no_rerun, Notices& notices);

// The simulation description beside a ".ds1".
std::vector<std::string> SimDescriptionLines(const TSimRecord& sim, bool no_rerun,
                                             std::chrono::system_clock::time_point now);
// The last-session store in the keep directory: read at start (the default simulation
// when it is missing or bad), written at exit.
std::string LastSessionFile(const std::string& keep_dir);
// True when the store was read; otherwise the default simulation is set.
bool LoadLastSession(const std::string& keep_dir, TSimRecord& sim);
Status SaveLastSession(const std::string& keep_dir, const TSimRecord& sim);

}  // namespace yl
