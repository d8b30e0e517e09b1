#pragma once
// The tasks a user starts (the Run buttons and the Tasks menu) turned into the plan of a
// big job, with the checks the Run buttons make first.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "app/session.h"
#include "core/prompter.h"
#include "core/status.h"
#include "jobs/job_plan.h"
#include "sim/sim_naming.h"

namespace yl {

enum class TaskKind {
  kRunBase,                   // "Run &Base"
  kRerunBase,                 // "&Rerun Base"
  kRunPolicy,                 // "Run &Policy"
  kRunAll,                    // "Run &All": Base, Base Rerun and Policy
  kBaseAndRerun,              // "Do Base and Base Rerun"
  kRerunAndPolicy,            // "Rerun Base and Run Policy"
  kPartBaseSamePartsOthers,   // "Run Part Base, Same Part BaseRerun and Policy"
  kPartBaseSamePartsRerun,    // "Run Part Base, Same Part BaseRerun"
  kPartRerunSamePartsPolicy,  // "Run Part BaseRerun, Same Part Policy"
  kCompleteBaseAllOthers,     // "Complete Base, Do All Parts BaseRerun and Policy"
  kCompleteBaseAllRerun,      // "Complete Base, Do All Parts BaseRerun"
  kCompleteRerunAllPolicy,    // "Complete BaseRerun, Do All Parts Policy"
  kSelectedYears,             // the part-run items and "Run Simulations for Selected Years"
  kSsForSelectedYears,        // "Run SS Jobs for Selected Years"
  kSelectedSsJobs,            // "Run Selected SS Jobs" (all years)
  kRunSingleThenConcurrent,   // "Run Single Job, then Concurrent"
};

// What the task's dialogs answered; period indices.
struct TaskChoices {
  int first = 1;  // the chosen range of the part and Complete tasks
  int last = 0;
  bool spreadsheets = false;  // the spreadsheet box of the (last) dialog
  // The selected-years tasks: each run's range, none when "Do none of the {run}".
  std::array<std::optional<PeriodRange>, 4> per_run{};
  std::array<bool, 4> ss_runs{};  // the spreadsheet-only tasks' ticked runs
  bool do_deviations = true;      // the spreadsheet-only tasks' "Do deviation jobs ?"
};

struct TaskPlan {
  jobs::PlanRequest request;
  bool do_deviations = true;
};

// The plan of a task; the engine then keeps each run within its simulable years.
TaskPlan PlanForTask(TaskKind task, int num_years, int policy_start, const TaskChoices& choices);

// The menu caption, with the two-run wording where it differs.
std::string TaskCaption(TaskKind task, bool two_run_mode);
// The question of the three Complete tasks (OK/Cancel), for the chosen first year.
std::string CompleteTaskMessage(TaskKind task, int calendar_year, bool two_run_mode);
// Said before the selected-years dialogs when they ask about all three runs.
std::string SelectedYearsIntro(bool two_run_mode);

// The checks of the Run buttons, in order: a model, the closure/shock table of the
// periods to simulate, the last year when periods are longer than one, the policy start.
// Each refusal has been shown; false abandons the task.
bool RunButtonChecks(Session& session, const jobs::PlanRequest& request, Prompter& prompter);

// No data file of the Model/Data page may share its name (without directory, any case)
// with a file that a closure, shock or CMFSTART file of the Closure/Shocks page names.
Status CheckShortNamesDataCMFBits(const TSimRecord& sim,
                                  const std::vector<std::string>& first_year_files);

}  // namespace yl
