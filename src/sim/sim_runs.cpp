#include "sim/sim_runs.h"

#include <cstdio>

#include "core/internal_error.h"

namespace yl {

void CheckRun(int run) { CheckIndex(run, 1, kNumRuns, "run"); }
void CheckPeriod(int period) { CheckIndex(period, 1, kMaxPeriods, "period"); }
void CheckColumn(int column) { CheckIndex(column, 1, 4, "table column"); }

void CheckLogicalFile(const TSimRecord& sim, int f) {
  CheckIndex(sim.NumDinFiles, 0, kMaxLogicalFiles, "NumDinFiles");
  CheckIndex(f, 1, sim.NumDinFiles, "logical file");
}

char RunLetter(int run) {
  CheckRun(run);
  return "BRP"[run - 1];
}

std::string RunWord(int run) {
  CheckRun(run);
  static constexpr const char* kWords[] = {"Base", "Rerun", "Policy"};
  return kWords[run - 1];
}

std::string RunLabel(int run) {
  CheckRun(run);
  static constexpr const char* kLabels[] = {"A: Base Case", "B: Base Rerun", "C: Policy Sims"};
  return kLabels[run - 1];
}

std::string RoleName(int role) {
  CheckIndex(role, kOutputOnly, kConstantInput, "file role");
  static constexpr const char* kNames[] = {"Output only", "Updated input", "Lagged input",
                                           "Constant input"};
  return kNames[role];
}

std::string RoleWord(int role) {
  CheckIndex(role, kOutputOnly, kConstantInput, "file role");
  static constexpr const char* kWords[] = {"output", "updated input", "lagged input",
                                           "constant input"};
  return kWords[role];
}

std::string Year4(int year) {
  if (year >= 0 && year <= 9999) {
    return {static_cast<char>('0' + year / 1000), static_cast<char>('0' + year / 100 % 10),
            static_cast<char>('0' + year / 10 % 10), static_cast<char>('0' + year % 10)};
  }
  char buf[16];
  std::snprintf(buf, sizeof buf, "%04d", year);
  return buf;
}

std::string TwoDigitYear(int year) {
  std::string y = Year4(year);
  return y.substr(2, 2);
}

int ClosureColumn(int run) {
  CheckRun(run);
  return run == kBase ? kBaseClosure : kPolicyClosure;
}

int CMFStartColumn(int run) {
  CheckRun(run);
  static constexpr int kColumns[] = {kBaseClosure, kPolicyClosure, kPolicyShocks};
  return kColumns[run - 1];
}

int PatternRun(int column, bool no_rerun) {
  CheckColumn(column);
  switch (column) {
    case kBaseClosure:
    case kBaseShocks:
      return kBase;
    case kPolicyClosure:
      return RerunOrPolicy(no_rerun);
    default:
      return kPolicy;
  }
}

std::string ColumnDefaultExt(int column) {
  CheckColumn(column);
  static constexpr const char* kExts[] = {".CLS", ".BSH", ".CLS", ".PSH"};
  return kExts[column - 1];
}

std::string SimNamesLine(const TSimRecord& sim, bool no_rerun) {
  std::string line;
  for (int r = kBase; r <= kPolicy; ++r) {
    if (r == kRerun && no_rerun) continue;
    line += "   " + RunWord(r) + ": " + sim.SimNames[r];
  }
  return line;
}

}  // namespace yl
