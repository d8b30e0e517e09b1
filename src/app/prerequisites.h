#pragma once
// The checks before a big job that stop it building on missing or stale inputs: the
// sequence of the request, the essential user inputs, the inputs of the requested jobs,
// and (with "Check Prerequisites" on) whether the earlier jobs they build on are still
// valid by the run records.

#include <functional>
#include <string>

#include "app/session.h"
#include "core/prompter.h"
#include "jobs/job_plan.h"

namespace yl {

struct PrerequisiteContext {
  const TSimRecord* sim = nullptr;
  const SessionSettings* settings = nullptr;
  int policy_start = 1;
  Prompter* prompter = nullptr;
  bool batch_mode = false;      // nothing asked: a missing file refuses, a stale one is told
  bool fewer_messages = false;  // the "check prerequisite files?" question is not asked
};

// "" when the plan may run (or the user chose to ignore the problems); otherwise what
// refused it, already shown.
std::string CheckPlan(const jobs::JobPlan& plan, const PrerequisiteContext& context);

// The Run Preferences toggle of the last step, with its message.
void ToggleCheckJobPrerequisites(Options& o, Prompter& prompter);

}  // namespace yl
