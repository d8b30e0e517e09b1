#include "app/outputs_before_run.h"

#include <cstdio>
#include <set>

#include "platform/files.h"
#include "platform/paths.h"
#include "sim/sim_naming.h"

namespace yl {

namespace {

void AddYearOutputs(const JobContext& c, int run, int year, std::vector<std::string>& out) {
  const TSimRecord& sim = *c.sim;
  const std::string solution = InSimDir(sim, SolutionFileName(sim, run, year, c.no_rerun));
  out.push_back(solution);
  for (const char* ext : {".slc", ".udc", ".sol", ".sli"}) {
    out.push_back(ChangeFileExt(solution, ext));
  }
  for (int f = 1; f <= sim.NumDinFiles; ++f) {
    const TDinFileEntry& e = sim.DinFiles[f];
    if (e.IsInput && e.IsUpdated) {
      out.push_back(InSimDir(sim, UpdatedFileName(sim, f, run, year, c.no_rerun)));
    } else if (!e.IsInput) {
      out.push_back(InSimDir(sim, OutputOnlyFileName(sim, f, run, year, c.no_rerun)));
    }
  }
}

void AddAssemblyOutputs(const jobs::SsContext& ss, JobKind job, const std::vector<PartKind>& parts,
                        int run, PeriodRange range, std::vector<std::string>& out) {
  for (const PartKind part : parts) {
    out.push_back(jobs::AssemblyPartFiles(ss, job, part, run, range).check);
  }
}

}  // namespace

std::vector<std::string> BigJobOutputs(const JobContext& c, const jobs::JobPlan& plan,
                                       const jobs::SsContext& ss, bool do_deviations) {
  std::vector<std::string> out;
  for (int run = kBase; run <= kPolicy; ++run) {
    const jobs::RunPlan& r = plan.plan(run);
    if (r.has_sims) {
      for (int year = r.first_sim_year; year <= r.last_sim_year; ++year)
        AddYearOutputs(c, run, year, out);
    }
    if (r.wants_ss) {
      const PeriodRange ss_range{r.first_ss_year, r.last_ss_year};
      const std::vector<PartKind> both{PartKind::kYonY, PartKind::kCum};
      AddAssemblyOutputs(ss, JobKind::kTallyr, both, run, ss_range, out);
      AddAssemblyOutputs(ss, JobKind::kCumSol, {PartKind::kCum}, run, ss_range, out);
      if (run == kPolicy && do_deviations) {
        AddAssemblyOutputs(ss, JobKind::kVarix, both, run, ss_range, out);
        AddAssemblyOutputs(ss, JobKind::kDevSol, {PartKind::kCum}, run, ss_range, out);
      }
    }
    if (r.wants_policy_years_ss) {
      const PeriodRange py{r.first_policy_years_ss, r.last_policy_years_ss};
      AddAssemblyOutputs(ss, JobKind::kTallyr, {PartKind::kPy}, run, py, out);
      AddAssemblyOutputs(ss, JobKind::kCumSol, {PartKind::kPy}, run, py, out);
    }
  }
  // One entry per file, in the order found.
  std::set<std::string> seen;
  std::erase_if(out, [&](const std::string& f) { return !seen.insert(f).second; });
  return out;
}

std::vector<std::string> ClearOutputsBeforeRun(const std::vector<std::string>& files,
                                               OutputsBeforeRun choice,
                                               const std::string& work_dir) {
  const std::string dir = RemoveTrailingSep(work_dir);
  const std::string aside = JoinPath(dir, kMovedOutputsDir);
  bool aside_ready = false;
  if (choice != OutputsBeforeRun::kDelete) {
    aside_ready = DirectoryExists(aside) || ForceDirectories(aside);
  }
  std::vector<std::string> locked;
  for (const std::string& file : files) {
    if (DirOfFile(file) != dir || !FileExists(file)) continue;
    const std::string moved = JoinPath(aside, FileNameOf(file));
    switch (choice) {
      case OutputsBeforeRun::kMove:
        if (aside_ready) {
          DeleteFileIfExists(moved);
          if (std::rename(file.c_str(), moved.c_str()) == 0) break;
        }
        (void)DeleteFileWithRetries(file);
        break;
      case OutputsBeforeRun::kDelete:
        (void)DeleteFileWithRetries(file);
        break;
      case OutputsBeforeRun::kNeither:
        // A rename there and back proves that no other program holds the file. Without
        // the subdirectory, or with an older copy in it that the rename would replace,
        // nothing is tried.
        if (!aside_ready || FileExists(moved)) continue;
        if (std::rename(file.c_str(), moved.c_str()) == 0) {
          if (std::rename(moved.c_str(), file.c_str()) != 0) {
            locked.push_back(file);  // it is safe in the subdirectory, but not where it was
          }
          continue;
        }
        break;
    }
    if (FileExists(file)) locked.push_back(file);
  }
  return locked;
}

std::string OutputsChoiceMark(OutputsBeforeRun choice) {
  switch (choice) {
    case OutputsBeforeRun::kMove:
      return "[Move]";
    case OutputsBeforeRun::kDelete:
      return "[Delete]";
    case OutputsBeforeRun::kNeither:
      return "[Neither]";
  }
  return "";
}

std::string OutputsChoiceMessage(OutputsBeforeRun current, OutputsBeforeRun chosen) {
  if (current == chosen) {
    const char* others = chosen == OutputsBeforeRun::kMove     ? "[Delete or Do Neither]"
                         : chosen == OutputsBeforeRun::kDelete ? "[Move or Do Neither]"
                                                               : "[Move or Delete]";
    return std::string(
               "This option is already checked. If you wish to change this option,\r\n"
               " please select one of the other two options ") +
           others + ".";
  }
  switch (chosen) {
    case OutputsBeforeRun::kMove:
      return std::string("Will now copy output files to subdirectory ") + kMovedOutputsDir +
             "\r\n and delete the existing versions in the Working Directory before any runs.";
    case OutputsBeforeRun::kDelete:
      return "Will now delete the existing versions of output files from the Working "
             "Directory before any run.";
    case OutputsBeforeRun::kNeither:
      break;
  }
  return "Will now neither move nor delete the existing versions of output files from the "
         "Working Directory before any run.";
}

}  // namespace yl
