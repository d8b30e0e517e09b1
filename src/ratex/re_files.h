#pragma once
// Rational expectations: the iterations of a run, numbered across the runs, and the three
// special files (ROREXT, ITER, EXTRA) prepared before a run's first iteration of a task.
// Failures come back as the message to show; nothing here asks the user.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "core/message.h"
#include "core/status.h"
#include "sim/sim_inputs.h"
#include "sim/sim_record.h"

namespace yl::ratex {

// Help topic of the rational-expectations messages.
inline constexpr int kHelpRationalExpectations = 7500;

// The iteration counts of the Sim Overview page.
struct ReCounts {
  int Base = 30;
  int Rerun = 1;
  int Policy = 20;
  int Of(int run) const { return run == kBase ? Base : run == kRerun ? Rerun : Policy; }
};

// One run's iterations in the current task. target 0: the task does not run it.
struct IterationState {
  int target = 0;
  int done = 0;
  int current = 0;
  int start = 0;
  bool operator==(const IterationState&) const = default;
};
using IterationStates = std::array<IterationState, 4>;  // [1..3]

// Global number of the run's first iteration: Base 1, Rerun Base + 1, Policy Base +
// Rerun + 1 (Base + 1 without a Rerun).
int FirstGlobalIteration(int run, const ReCounts& counts, bool two_run_mode);
// Global number of iteration n of the run.
inline int GlobalIteration(int run, int n, const ReCounts& counts, bool two_run_mode) {
  return FirstGlobalIteration(run, counts, two_run_mode) + n - 1;
}

// What the preparation of the iteration files needs, fixed for one task.
struct ReContext {
  const TSimRecord* sim = nullptr;
  bool no_rerun = false;
  int policy_start = 1;
  FirstYearFiles first_year;
  std::string temp_dir;
  ReCounts counts;
  bool several_rerun_iterations = false;
  std::string program_name = "Yearloom";  // creating program of the files written
  std::string creation_time;              // "" for now
};

struct TCorvanREFileNames {
  std::string Rorext;
  std::string Iter;
  std::string Extra;
  bool operator==(const TCorvanREFileNames&) const = default;
};

// The working set (in "CvnRE" under the temporary directory) and each run's
// first-iteration copies (in the working directory).
struct ReFileSets {
  TCorvanREFileNames working;
  std::array<TCorvanREFileNames, 4> first_iteration;  // [1..3]
};

// The DinFiles index of a logical file by name (case ignored); 0 when the model has none.
int FindLogicalFile(const TSimRecord& sim, const std::string& name);

// Checks ITER, ROREXT and EXTRA are logical files, creates "CvnRE" and names the sets.
Result<ReFileSets> SetUpREFiles(const ReContext& c);
// The names alone, for a model that has the three logical files.
ReFileSets REFileSetsOf(const ReContext& c);
// The Rerun's kept ROREXT of iteration n, in the working directory.
std::string RerunIterationCopy(const ReContext& c, int n);

// The global number of iterations completed, from the ITER file the run's last year wrote.
Result<int> ReadIterationsDone(const ReContext& c, int run);
// A task that begins at the Rerun or the Policy: the earlier runs must have done what the
// Sim Overview page says. The failure is the message to show.
Status IterationCheck(const ReContext& c, int first_run);

// "RORG" of the last three iterations: slot 3 the last. Values by (slot, year of the run,
// IND element), all 1-based.
struct RorgHistory {
  int years = 0;
  int ind = 0;
  std::vector<float> values;
  RorgHistory(int num_years, int num_ind)
      : years(num_years), ind(num_ind), values(static_cast<std::size_t>(3 * years * ind), 0.0f) {}
  float& at(int slot, int year, int j) { return values[Index(slot, year, j)]; }
  float at(int slot, int year, int j) const { return values[Index(slot, year, j)]; }

 private:
  std::size_t Index(int slot, int year, int j) const {
    return static_cast<std::size_t>((slot - 1) + 3 * ((year - 1) + years * (j - 1)));
  }
};

// The number of years the run simulates (from its first year to the last).
int RunYears(const ReContext& c, int run);

// Fills the working set before the run's first iteration of the task (and the run's
// first-iteration copies when the task starts it afresh). When the run's target is above
// 2 its RORG history is made. The failure is the message to show.
Status PrepareREFiles(const ReContext& c, const ReFileSets& sets, const IterationStates& states,
                      int run, std::optional<RorgHistory>& history);

// The file the results page shows for ROREXT, ITER or EXTRA of the run.
std::string REFileToShow(const ReContext& c, const ReFileSets& sets, int run,
                         const std::string& logical, bool as_used, bool working);

// A path in the working directory.
std::string InWorkingDir(const ReContext& c, const std::string& name);
// The updated file of a logical file written by the run's last year, in the working dir.
std::string LastYearUpdatedFile(const ReContext& c, int f, int run);

}  // namespace yl::ratex
