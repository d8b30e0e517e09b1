#include "app/tasks.h"

#include "app/task_run.h"

#include <map>
#include <set>

#include "app/pages/closure_table_check.h"
#include "app/pages/sim_overview.h"
#include "cmf/cmf_util_cells.h"
#include "cmf/readcmf.h"
#include "core/text_util.h"
#include "model/model_state.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "sim/sim_editing.h"
#include "sim/sim_inputs.h"

namespace yl {

namespace {

void Simulate(jobs::PlanRequest& r, int run, int first, int last, bool spreadsheets) {
  r.first_sim_year[run] = first;
  r.last_sim_year[run] = last;
  if (spreadsheets) {
    r.first_ss_year[run] = first;
    r.last_ss_year[run] = last;
  }
}

bool Simulates(const jobs::PlanRequest& r, int run) {
  return r.first_sim_year[run] <= r.last_sim_year[run];
}

}  // namespace

TaskPlan PlanForTask(TaskKind task, int n, int policy_start, const TaskChoices& c) {
  TaskPlan p;
  p.request = jobs::PlanRequest::Nothing(n);
  jobs::PlanRequest& r = p.request;
  switch (task) {
    case TaskKind::kRunBase:
      Simulate(r, kBase, 1, n, true);
      break;
    case TaskKind::kRerunBase:
      Simulate(r, kRerun, policy_start, n, true);
      break;
    case TaskKind::kRunPolicy:
      Simulate(r, kPolicy, policy_start, n, true);
      break;
    case TaskKind::kRunAll:
    case TaskKind::kRunSingleThenConcurrent:
      for (int run = kBase; run <= kPolicy; ++run) Simulate(r, run, 1, n, true);
      break;
    case TaskKind::kBaseAndRerun:
      Simulate(r, kBase, 1, n, true);
      Simulate(r, kRerun, 1, n, true);
      break;
    case TaskKind::kRerunAndPolicy:
      Simulate(r, kRerun, 1, n, true);
      Simulate(r, kPolicy, 1, n, true);
      break;
    case TaskKind::kPartBaseSamePartsOthers:
      for (int run = kBase; run <= kPolicy; ++run) {
        Simulate(r, run, c.first, c.last, c.spreadsheets);
      }
      break;
    case TaskKind::kPartBaseSamePartsRerun:
      Simulate(r, kBase, c.first, c.last, c.spreadsheets);
      Simulate(r, kRerun, c.first, c.last, c.spreadsheets);
      break;
    case TaskKind::kPartRerunSamePartsPolicy:
      Simulate(r, kRerun, c.first, c.last, c.spreadsheets);
      Simulate(r, kPolicy, c.first, c.last, c.spreadsheets);
      break;
    // "Will do Base from year ... to Spreadsheet job": each run of these tasks ends with
    // its results assembled over all its years.
    case TaskKind::kCompleteBaseAllOthers:
    case TaskKind::kCompleteBaseAllRerun:
    case TaskKind::kCompleteRerunAllPolicy: {
      const int completed = task == TaskKind::kCompleteRerunAllPolicy ? kRerun : kBase;
      const int last_run = task == TaskKind::kCompleteBaseAllRerun ? kRerun : kPolicy;
      for (int run = completed; run <= last_run; ++run) {
        Simulate(r, run, run == completed ? c.first : 1, n, false);
        r.first_ss_year[run] = 1;
        r.last_ss_year[run] = n;
      }
      break;
    }
    case TaskKind::kSelectedYears:
      for (int run = kBase; run <= kPolicy; ++run) {
        if (c.per_run[run]) {
          Simulate(r, run, c.per_run[run]->First, c.per_run[run]->Last, c.spreadsheets);
        }
      }
      p.do_deviations = c.spreadsheets;
      break;
    case TaskKind::kSsForSelectedYears:
    case TaskKind::kSelectedSsJobs:
      for (int run = kBase; run <= kPolicy; ++run) {
        if (!c.ss_runs[run]) continue;
        const bool all = task == TaskKind::kSelectedSsJobs;
        r.first_ss_year[run] = all ? 1 : c.first;
        r.last_ss_year[run] = all ? n : c.last;
      }
      p.do_deviations = c.do_deviations;
      break;
  }
  return p;
}

std::string TaskCaption(TaskKind task, bool two_run) {
  switch (task) {
    case TaskKind::kRunBase:
      return "Run &Base";
    case TaskKind::kRerunBase:
      return "&Rerun Base";
    case TaskKind::kRunPolicy:
      return "Run &Policy";
    case TaskKind::kRunAll:
      return two_run ? "Run Base and Policy" : "Run Base, Base Rerun and Policy";
    case TaskKind::kBaseAndRerun:
      return "Do Base and Base Rerun";
    case TaskKind::kRerunAndPolicy:
      return "Rerun Base and Run Policy";
    case TaskKind::kPartBaseSamePartsOthers:
      return two_run ? "Run Part Base, Same Part Policy"
                     : "Run Part Base, Same Part BaseRerun and Policy";
    case TaskKind::kPartBaseSamePartsRerun:
      return "Run Part Base, Same Part BaseRerun";
    case TaskKind::kPartRerunSamePartsPolicy:
      return "Run Part BaseRerun, Same Part Policy";
    case TaskKind::kCompleteBaseAllOthers:
      return two_run ? "Complete Base, Do All Parts Policy"
                     : "Complete Base, Do All Parts BaseRerun and Policy";
    case TaskKind::kCompleteBaseAllRerun:
      return "Complete Base, Do All Parts BaseRerun";
    case TaskKind::kCompleteRerunAllPolicy:
      return "Complete BaseRerun, Do All Parts Policy";
    case TaskKind::kSelectedYears:
      return "Run Simulations for Selected Years";
    case TaskKind::kSsForSelectedYears:
      return "Run SS Jobs for Selected Years";
    case TaskKind::kSelectedSsJobs:
      return "Run Selected SS Jobs";
    case TaskKind::kRunSingleThenConcurrent:
      return "Run Single Job, then Concurrent";
  }
  return "";
}

std::string CompleteTaskMessage(TaskKind task, int year, bool two_run) {
  const std::string y = std::to_string(year);
  switch (task) {
    case TaskKind::kCompleteBaseAllRerun:
      return "Will do Base from year " + y +
             " to Spreadsheet job\r\nand will do all parts of Base Rerun.";
    case TaskKind::kCompleteRerunAllPolicy:
      return "Will do Base Rerun from year " + y +
             " to Spreadsheet job\r\nand will do all parts of Policy.";
    default:
      return "Will do Base from year " + y + " to Spreadsheet job\r\nand will do all parts of " +
             (two_run ? "Policy." : "Base Rerun and Policy.");
  }
}

std::string SelectedYearsIntro(bool two_run) {
  return std::string("You will be asked separately about which years (if any) of the Base") +
         (two_run ? " " : ", Base Rerun ") + "and Policy you wish to carry out.";
}

bool RunButtonChecks(Session& session, const jobs::PlanRequest& request, Prompter& prompter) {
  if (!ModelProgramChosen(session.settings.model)) {
    prompter.Error(kSelectModelFirst);
    return false;
  }
  TSimRecord& sim = session.sim;
  TableCheckRequest table;
  table.NoRerun = session.settings.options.NoRerun;
  table.PolicyStart.ModelSelected = true;
  table.PolicyStart.YearsBeforeFirstShock = session.settings.options.Re.PolicyStartYears;
  for (int run = kBase; run <= kPolicy; ++run) {
    if (!Simulates(request, run)) continue;
    table.Runs[run].Check = true;
    table.Runs[run].FirstPeriod = std::max(1, request.first_sim_year[run]);
    table.Runs[run].LastPeriod = std::min(sim.NumYears, request.last_sim_year[run]);
    table.Runs[run].LastColumn = LastTableColumnOfRun(run);
  }
  if (!CheckTableBeforeRuns(sim, table, prompter)) return false;
  if (!AllPeriodsOneYear(sim) && !EndYearCheck(sim, prompter).Accepted) return false;
  for (int run : {kRerun, kPolicy}) {
    const bool wanted =
        Simulates(request, run) || request.first_ss_year[run] <= request.last_ss_year[run];
    if (!wanted) continue;
    PolicyStartSettings p = table.PolicyStart;
    PolicyStart start = PolicyStartSim(sim, run, p);
    if (start.Notice) prompter.Show(*start.Notice);
    if (start.Refused) return false;
  }
  return true;
}

Status CheckShortNamesDataCMFBits(const TSimRecord& sim,
                                  const std::vector<std::string>& first_year_files) {
  std::map<std::string, std::string> data;  // upper-case short name -> as written
  const FirstYearFiles parsed = ParseFirstYearList(first_year_files);
  for (const auto& [logical, file] : parsed.Entries) {
    data.emplace(UpperCase(FileNameOf(file)), FileNameOf(file));
  }
  if (data.empty()) return Ok();
  std::set<std::string> pieces;
  for (int row = kCmfStartRow; row <= sim.NumYears; ++row) {
    for (int column = kBaseClosure; column <= kPolicyShocks; ++column) {
      const std::string path = CellFilePath(sim, row, column);
      if (!path.empty()) pieces.insert(path);
    }
  }
  for (const std::string& piece : pieces) {
    std::vector<std::string> named;
    if (!AddCmfConstituents(DirOfFile(piece), FileNameOf(piece), named)) continue;
    for (std::size_t k = 1; k < named.size(); ++k) {
      auto hit = data.find(UpperCase(FileNameOf(named[k])));
      if (hit == data.end()) continue;
      return Fail("File with short name \"" + hit->second +
                  "\" is used\r\n as a data file (Model/Data page)\r\nand in file " + piece +
                  " on the Closure/Shocks page.\r\nSorry, but this is not allowed.\r\nPlease "
                  "change this.");
    }
  }
  return Ok();
}

}  // namespace yl
