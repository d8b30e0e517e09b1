#include "archive/results_archive.h"

#include <algorithm>
#include <set>
#include <utility>

#include "core/text_util.h"
#include "env/ini_file.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "records/file_stamp.h"
#include "sim/sim_naming.h"
#include "sim/sim_runs.h"

namespace yl::archive {

const std::array<std::string, kResultKinds>& ResultKindCaptions() {
  static const std::array<std::string, kResultKinds> captions = {
      "Solution Files ?",
      "SLC Files (needed by Deepro) ?",
      "Updated Data Files ?",
      "Other Output Data Files (produced via WRITE statements) ?",
      "Year-on-Year and Cumulative Speadsheets and Cumulative Results RSL files ?",
      "Policy Deviation Spreadsheets and Cumulative Differences RSL file?",
      "Command Files for Simulations ?",
      "SOL and SLI files (speed up Tabulon) ?",
      "SEQ files (used by Tabulon for graphs) ?"};
  return captions;
}

std::array<bool, kResultKinds> DefaultResultKinds() {
  return {true, true, true, true, true, true, false, false, false};
}

ResultsChoice AllResults() {
  ResultsChoice c;
  c.kinds.fill(true);
  return c;
}

namespace {

std::vector<int> ChosenRuns(const ResultsChoice& choice, bool no_rerun) {
  std::vector<int> runs;
  for (int r = kBase; r <= kPolicy; ++r) {
    if (r == kRerun && no_rerun) continue;
    if (choice.runs[static_cast<std::size_t>(r)]) runs.push_back(r);
  }
  return runs;
}

}  // namespace

std::vector<std::string> RunRecordCopies(const TSimRecord& sim, const SessionSettings& s) {
  std::vector<std::string> out;
  for (int r = kBase; r <= kPolicy; ++r) {
    const std::string copy = RunBookkeepingCopyFile(sim, s.model.ModelName, r, s.options.NoRerun);
    if (!copy.empty() && FileExists(copy)) out.push_back(copy);
  }
  return out;
}

namespace {

// The run's periods within the chosen ones; empty (first > last) when none.
std::pair<int, int> ChosenPeriods(const ResultsChoice& choice, int run_first, int num_years) {
  const int last = choice.last_period > 0 ? std::min(choice.last_period, num_years) : num_years;
  return {std::max(run_first, choice.first_period), last};
}

}  // namespace

FileSet ResultsFiles(const TSimRecord& sim, const SessionSettings& s, int policy_start,
                     const ResultsChoice& choice) {
  const bool no_rerun = s.options.NoRerun;
  FileSet set;
  std::set<std::string> seen;
  auto add = [&](const std::string& name) {
    if (name.empty() || name == "?notupd?") return;
    const std::string path = InSimDir(sim, name);
    if (!seen.insert(LowerCase(FileNameOf(path))).second) return;
    (FileExists(path) ? set.files : set.missing).push_back(path);
  };
  auto on = [&](ResultKind k) { return choice.kinds[static_cast<std::size_t>(k)]; };
  for (int r : ChosenRuns(choice, no_rerun)) {
    const int first = RunFirstPeriod(r, policy_start);
    const auto [from, to] = ChosenPeriods(choice, first, sim.NumYears);
    for (int k = from; k <= to; ++k) {
      const std::string sol = SolutionFileName(sim, r, k, no_rerun);
      if (on(kSolutionFiles)) add(sol);
      if (on(kSlcFiles)) add(ChangeFileExt(sol, ".slc"));
      if (on(kSolSliFiles)) {
        add(ChangeFileExt(sol, ".sol"));
        add(ChangeFileExt(sol, ".sli"));
      }
      if (on(kCommandFiles)) add(CommandFileName(sim, r, k, no_rerun));
      for (int f = 1; f <= sim.NumDinFiles; ++f) {
        const TDinFileEntry& d = sim.DinFiles[f];
        if (on(kUpdatedDataFiles) && d.Role == kUpdatedInput) {
          add(UpdatedFileName(sim, f, r, k, no_rerun));
        }
        if (on(kOtherOutputFiles) && d.Role == kOutputOnly) {
          add(OutputOnlyFileName(sim, f, r, k, no_rerun));
        }
      }
    }
    const PeriodRange whole{first, sim.NumYears};
    if (first > sim.NumYears) continue;
    // Abbreviated spreadsheet jobs make only the year-on-year spreadsheets of a run and
    // only the cumulative differences; the year-on-year differences are made on request.
    const bool abbreviated = s.options.AbbreviatedSsJobs;
    if (on(kSpreadsheetFiles)) {
      add(SpreadsheetFileName(sim, r, JobKind::kTallyr, PartKind::kYonY, whole, policy_start,
                              no_rerun));
      if (!abbreviated) {
        add(SpreadsheetFileName(sim, r, JobKind::kTallyr, PartKind::kCum, whole, policy_start,
                                no_rerun));
      }
      add(CumulativeSolutionFileName(sim, r, JobKind::kCumSol, whole, policy_start, no_rerun));
    }
    if (on(kSeqFiles)) add(SequenceFileName(sim, r, false, whole, policy_start, no_rerun));
    if (r != kPolicy) continue;
    if (on(kDeviationFiles)) {
      if (s.options.YonYDifferencesSs && !abbreviated) {
        add(SpreadsheetFileName(sim, r, JobKind::kVarix, PartKind::kYonY, whole, policy_start,
                                no_rerun));
      }
      add(SpreadsheetFileName(sim, r, JobKind::kVarix, PartKind::kCum, whole, policy_start,
                              no_rerun));
      add(CumulativeSolutionFileName(sim, r, JobKind::kDevSol, whole, policy_start, no_rerun));
    }
    if (on(kSeqFiles)) add(SequenceFileName(sim, r, true, whole, policy_start, no_rerun));
  }
  return set;
}

std::vector<std::string> ResultsHistoryLines(std::uint64_t now100ns, const TSimRecord& sim,
                                             bool no_rerun, int policy_start,
                                             const ResultsChoice& choice, std::size_t missing) {
  std::vector<std::string> lines = {
      "This Results Zip File was created on " + records::StampDateText(now100ns),
      "The Working Directory was:", "   " + sim.SimDir, "The Sim Names were:"};
  for (std::string& l : SimNameLines(sim, no_rerun)) lines.push_back(std::move(l));
  lines.push_back("Results files included here are indicated below.");
  for (int r : ChosenRuns(choice, no_rerun)) {
    const auto [from, to] = ChosenPeriods(choice, RunFirstPeriod(r, policy_start), sim.NumYears);
    if (from > to) continue;
    lines.push_back(RunWord(r) + ": Results for years " + std::to_string(sim.Years[from]) + " to " +
                    std::to_string(sim.Years[to]));
  }
  lines.push_back("The following sorts of results files are included:");
  for (int k = 0; k < kResultKinds; ++k) {
    if (choice.kinds[static_cast<std::size_t>(k)]) {
      lines.push_back("   " + ResultKindCaptions()[static_cast<std::size_t>(k)]);
    }
  }
  if (missing > 0) {
    lines.push_back(std::to_string(missing) +
                    " of the files above were missing when this Results Zip File was made.");
  }
  return lines;
}

std::string ResultsHistoryPath(const std::string& dir) {
  std::string path = JoinPath(dir, kResultsHistory);
  for (int n = 2; FileExists(path); ++n) {
    path = JoinPath(dir, std::string(kResultsHistory) + std::to_string(n));
  }
  return path;
}

bool IsRunRecordCopy(const std::string& name) {
  const std::string ext = LowerCase(FileExtOf(name));
  return ext == ".ds3" || ext == ".ds4" || ext == ".ds5";
}

std::string RelocatedRunRecord(const std::string& text, const std::string& new_dir) {
  IniFile ini = IniFile::Parse(text);
  const std::string old_dir = RemoveTrailingSep(Trim(ini.ReadString("Run", "Sim Directory", "")));
  if (old_dir.empty()) return text;
  const std::string dir = RemoveTrailingSep(new_dir);
  // Every value that names the old working directory or a file in it.
  std::string out;
  for (const std::string& line : SplitLines(ini.Text())) {
    std::string l = line;
    const std::size_t eq = l.find('=');
    if (eq != std::string::npos) {
      std::string value = l.substr(eq + 1);
      if (value == old_dir) {
        value = dir;
      } else {
        for (std::size_t at = value.find(old_dir + "/"); at != std::string::npos;
             at = value.find(old_dir + "/", at + dir.size() + 1)) {
          value.replace(at, old_dir.size(), dir);
        }
      }
      l = l.substr(0, eq + 1) + value;
    }
    out += l + "\n";
  }
  return out;
}

}  // namespace yl::archive
