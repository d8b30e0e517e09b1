#pragma once
// Rational expectations in a running task: the iteration counters the engine restarts runs
// by, the iteration files prepared before a run's first year, the checks after each solve,
// what is kept at the end of each iteration and the convergence report at the end.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "app/session.h"
#include "cmf/make_cmf.h"
#include "core/prompter.h"
#include "core/status.h"
#include "jobs/job_plan.h"
#include "ratex/re_closure.h"
#include "ratex/re_convergence.h"
#include "ratex/re_files.h"

namespace yl {

// The iteration counts of the Sim Overview page (the Rerun's only without two-run mode).
ratex::ReCounts ReCountsOf(const SessionSettings& s);
// A task that runs the runs the request simulates from their first iteration.
ratex::IterationStates FreshIterations(const SessionSettings& s, const jobs::PlanRequest& request);
// The rational-expectations context of a task.
ratex::ReContext ReContextOf(const Session& session, int policy_start);

class ReDriver {
 public:
  ReDriver(const Session& session, int policy_start, const ratex::IterationStates& states,
           Prompter& prompter, bool batch_mode);

  // Before any job: the working set, the iteration check of a task that begins at the
  // Rerun or the Policy, the variable map. A failure (already shown) abandons the task.
  Status Start();
  jobs::IterationCounters Counters();
  // Before a part is prepared: the first year of a run's first iteration in the task gets
  // its iteration files. The failure is the message the engine shows.
  Status BeforePart(const jobs::JobChoice& part);
  // What the command file of the run's first year reads for ROREXT, ITER and EXTRA.
  ReFileInputs CmfInputs(int run) const;
  // After a part was judged successful: the closure checks of a solve and the start of
  // the convergence file. A failure was shown.
  Status AfterPart(const jobs::JobChoice& part);
  // The run's "cumsol" completed. A failure was shown.
  Status IterationCompleted(Run run);
  // The task ended well: the convergence overviews (shown unless in batch mode).
  void Finished();

  const ratex::IterationStates& states() const { return states_; }
  // The overviews of the finished task, as plain text.
  const std::vector<std::string>& reports() const { return reports_; }

 private:
  int FirstPeriod(int run) const;
  void ShowError(const std::string& text);

  const Session& session_;
  ratex::ReContext context_;
  ratex::IterationStates states_;
  Prompter& prompter_;
  bool batch_mode_;
  ratex::ReFileSets sets_;
  std::array<bool, 4> prepared_{};
  std::array<std::optional<ratex::ConvergenceFile>, 4> convergence_;
  std::array<std::optional<ratex::RorgHistory>, 4> histories_;
  std::vector<std::string> reports_;
};

}  // namespace yl
