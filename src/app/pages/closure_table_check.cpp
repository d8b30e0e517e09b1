#include "app/pages/closure_table_check.h"

#include <algorithm>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "cmf/cmf_util.h"
#include "cmf/cmf_util_cells.h"
#include "cmf/readcmf.h"
#include "core/internal_error.h"
#include "sim/sim_runs.h"
#include "sim/sim_table.h"

namespace yl {

namespace {

void ShowAll(const std::vector<Message>& messages, Prompter& prompter) {
  for (const auto& m : messages) prompter.Show(m);
}

bool IsClosureColumn(int column) { return column == kBaseClosure || column == kPolicyClosure; }

// Statement rules of one run's files over its periods, each distinct file and rule once.
bool StatementChecks(const TSimRecord& sim, int first, int last, int first_col, int last_col,
                     bool quiet, Prompter& prompter) {
  std::set<std::pair<std::string, int>> done;  // path, rule variant
  bool passed = true;
  auto check = [&](int row, int column) {
    const std::string path = CellFilePath(sim, row, column);
    if (path.empty()) return;
    const bool closure = IsClosureColumn(column);
    // A Common closure applies to every period, so it may not save an environment.
    const int variant = closure ? (row == kCommonRow ? 0 : 1) : 2;
    if (!done.insert({path, variant}).second) return;
    RuleResult r = closure ? ClosureRule(path, kClosureCellHelpTopic, variant == 1)
                           : ShockRule(path, true, kShockCellHelpTopic);
    if (r.passed) return;
    passed = false;
    if (!quiet || r.ctrl_z) prompter.Show(r.problem);  // see RuleResult
  };
  const bool shocks = last_col >= kBaseShocks;
  for (int column = first_col; column <= last_col; ++column) {
    if (!IsClosureColumn(column) && !shocks) continue;
    check(kCommonRow, column);
    for (int k = first; k <= last; ++k) check(k, column);
  }
  return passed;
}

bool CheckRunTable(const TSimRecord& sim, int run, const RunTableCheck& rc,
                   const TableCheckRequest& request, Prompter& prompter) {
  const bool quiet = request.Quiet;
  const int last = std::min(rc.LastPeriod, sim.NumYears);
  const int first_col = std::max(rc.FirstColumn, 1);
  const int last_col = std::min(rc.LastColumn, LastTableColumnOfRun(run));
  bool passed = true;
  for (int k = rc.FirstPeriod; k <= last && passed; ++k) {
    for (int c = first_col; c <= last_col; ++c) {
      if (!sim.CMFExists(k, c)) {
        if (!quiet) {
          prompter.Error("CMF file for year number " + std::to_string(k) + " column " +
                         std::to_string(c) + " does not exist.");
        }
        passed = false;
        break;
      }
      const std::string path = CellFilePath(sim, k, c);
      if (path.empty()) continue;
      if (std::vector<Message> problems = CheckCmfReferences(path); !problems.empty()) {
        if (!quiet) {
          ShowAll(problems, prompter);
          prompter.Information("Above refer to files referred to in file\r\n" + path);
        }
        passed = false;
        break;
      }
    }
  }
  if (passed) {
    passed = StatementChecks(sim, rc.FirstPeriod, last, first_col, last_col, quiet, prompter);
  }
  CMFStartCheck start = CheckCMFStartConstituents(sim, run, run, request.NoRerun);
  if (!start.passed) {
    if (!quiet) ShowAll(start.messages, prompter);
    passed = false;
  }
  return passed;
}

}  // namespace

int LastTableColumnOfRun(int run) {
  CheckRun(run);
  return run + 1;
}

bool CheckFilesNamedHere(const TSimRecord& sim, CellRef cell, bool no_rerun, Prompter& prompter) {
  CheckIndex(cell.row, kCmfStartRow, sim.NumYears, "closure/shock table row");
  CheckColumn(cell.column);
  const std::string path = CellFilePath(sim, cell.row, cell.column);
  if (path.empty()) return true;
  std::vector<Message> problems = CheckCmfReferences(path);
  ShowAll(problems, prompter);
  bool passed = problems.empty();
  if (passed) {
    prompter.Information("All files named here exist.");
    const bool base_column = cell.column <= kBaseShocks;
    const int first_run = base_column ? kBase : kRerun;
    const int last_run = base_column ? kBase : kPolicy;
    for (int run = first_run; run <= last_run; ++run) {
      if (run == kRerun && no_rerun) continue;
      CMFStartCheck start = CheckCMFStartConstituents(sim, run, run, no_rerun);
      if (!start.passed) {
        prompter.Information("However at least one constituent of the CMFStart file\r\n" +
                             start.failed_path + "\r\n does not exist.");
        passed = false;
      }
    }
  }
  if (cell.row != kCmfStartRow) {
    if (RuleResult r = CellRule(path, cell.column); !r.passed) {
      prompter.Show(r.problem);
      passed = false;
    }
  }
  return passed;
}

bool CheckTableBeforeRuns(TSimRecord& sim, const TableCheckRequest& request, Prompter& prompter) {
  RecomputeCMFNames(sim);
  bool passed = true;
  for (int run = kBase; run <= kPolicy; ++run) {
    const RunTableCheck& rc = request.Runs[static_cast<std::size_t>(run)];
    if (!rc.Check || rc.FirstPeriod > sim.NumYears) continue;
    PolicyStart start = PolicyStartSim(sim, run, request.PolicyStart);
    if (start.Notice && !request.Quiet) prompter.Show(*start.Notice);
    if (start.Refused) return false;
    if (!CheckRunTable(sim, run, rc, request, prompter)) passed = false;
  }
  return passed;
}

}  // namespace yl
