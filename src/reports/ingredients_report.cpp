#include "reports/ingredients_report.h"

#include <algorithm>
#include <map>

#include "cmf/cmf_util_cells.h"
#include "cmf/readcmf.h"
#include "cmf/sol_method.h"
#include "core/text_util.h"
#include "platform/file_lookup.h"
#include "platform/paths.h"
#include "sim/sim_runs.h"

namespace yl::reports {

namespace {

constexpr char kIndent[] = "   ";

// Names compared and sorted without regard to case; the first spelling met is kept.
class NameSet {
 public:
  void Add(const std::string& name) {
    if (name.empty()) return;
    names_.try_emplace(UpperCase(name), name);
  }
  std::vector<std::string> Sorted() const {
    std::vector<std::string> v;
    for (const auto& [key, name] : names_) v.push_back(name);
    return v;
  }

 private:
  std::map<std::string, std::string> names_;
};

// The cell's file and everything it names; a file that cannot be read adds its own name.
void AddCell(const std::string& path, NameSet& run, NameSet& all) {
  if (path.empty()) return;
  std::vector<std::string> names;
  (void)AddCmfConstituents(DirOfFile(path), FileNameOf(path), names);
  for (const std::string& n : names) {
    run.Add(n);
    all.Add(n);
  }
}

void AddColumns(const TSimRecord& sim, int first_column, int first_period, NameSet& run,
                NameSet& all) {
  for (int c = first_column; c <= first_column + 1; ++c) {
    AddCell(CellFilePath(sim, kCommonRow, c), run, all);
    for (int k = std::max(first_period, 1); k <= sim.NumYears; ++k) {
      AddCell(CellFilePath(sim, k, c), run, all);
    }
  }
}

// A model file by name when it is in the model directory, else with its path.
std::string ModelFileText(const std::string& path, const std::string& model_dir) {
  if (path.empty()) return "(none)";
  return SameText(DirOfFile(path), model_dir) ? FileNameOf(path) : path;
}

std::string Companion(const std::string& model, const std::string& ext) {
  return FindCompanion(model, ext).value_or(CompanionPath(model, ext));
}

void Item(std::vector<std::string>& l, const std::string& label, const std::string& value) {
  l.push_back(label);
  l.push_back(kIndent + (value.empty() ? std::string("(none)") : value));
}

void FileList(std::vector<std::string>& l, const std::string& heading,
              const std::vector<std::string>& names, const std::string& dir) {
  l.push_back(heading);
  for (const std::string& n : names) {
    l.push_back(kIndent + n + (FileExistsNoCase(dir, n) ? "" : kMissingMark));
  }
}

void ModelFiles(std::vector<std::string>& l, const SessionSettings& s) {
  const ModelState& m = s.model;
  l.push_back("Model Files");
  if (!HasModel(m)) {
    l.push_back(kNoModelLabel);
    return;
  }
  const std::string& dir = m.ModelDir;
  l.push_back("All Model Files are in directory:");
  l.push_back(kIndent + dir);
  if (IsKvsModel(m.ModelFile)) {
    Item(l, "Kalvo Auxiliary Statement (KVS) file", ModelFileText(m.ModelFile, dir));
    Item(l, "Kalvo Auxiliary Table (KVT) file", ModelFileText(Companion(m.ModelFile, ".kvt"), dir));
  } else {
    Item(l, "Quillo-generated program", ModelFileText(m.ModelFile, dir));
    Item(l, "Auxiliary Statement (AXS) file", ModelFileText(Companion(m.ModelFile, ".axs"), dir));
    Item(l, "Auxiliary Table (AXT) file", ModelFileText(Companion(m.ModelFile, ".axt"), dir));
  }
  Item(l, "Model Information File", ModelFileText(s.min_din.MinPath, dir));
  Item(l, "Dynamic Information File",
       s.min_din.DinExists ? ModelFileText(s.min_din.DinPath, dir) : "(none)");
}

}  // namespace

ClosureShockFiles CollectClosureShockFiles(const TSimRecord& sim, bool no_rerun, int policy_start) {
  NameSet all, base, policy;
  AddCell(CMFStartFilePath(sim, kBase), base, all);
  AddColumns(sim, kBaseClosure, 1, base, all);
  for (int run : {kRerun, kPolicy}) {
    if (run == kRerun && no_rerun) continue;
    AddCell(CMFStartFilePath(sim, run), policy, all);
  }
  AddColumns(sim, kPolicyClosure, policy_start, policy, all);
  return {all.Sorted(), base.Sorted(), policy.Sorted()};
}

std::vector<std::string> IngredientsReportLines(const TSimRecord& sim, const SessionSettings& s,
                                                int policy_start) {
  const bool no_rerun = s.options.NoRerun;
  std::vector<std::string> l;
  ModelFiles(l, s);
  l.push_back("");

  l.push_back("Data Files Input to First Year of Base Case");
  l.push_back("(These are data for the year " + std::to_string(sim.FirstYear - 1) + ")");
  for (const std::string& line : s.first_year_files) l.push_back(kIndent + line);
  l.push_back("");

  const int n = std::clamp(sim.NumYears, 1, kMaxPeriods);
  l.push_back("As set on Sim Overview Page");
  l.push_back("First sim of Base Case produces data for year " + std::to_string(sim.Years[1]));
  l.push_back("Last sim of Base Case produces data for year " + std::to_string(sim.Years[n]));
  static constexpr const char* kRunTexts[] = {"", "Base Case", "Base Case Rerun", "Policy Sims"};
  for (int run = kBase; run <= kPolicy; ++run) {
    if (run == kRerun && no_rerun) continue;
    l.push_back(std::string("3-character key for ") + kRunTexts[run] + " file names is : \"" +
                sim.SimNames[run] + "\"");
  }
  Item(l, "Mapping file for results", s.options.ResultsMapFile);
  Item(l, "Working Directory", sim.SimDir);
  l.push_back("Solution method is : " + SolMethodDescription(s.methods.Normal.Method));
  l.push_back("");

  const ClosureShockFiles files = CollectClosureShockFiles(sim, no_rerun, policy_start);
  l.push_back("Closures, Shocks files and their Constituents (see Closures/Shocks Page)");
  l.push_back("All files listed here are in the Working Directory");
  FileList(l, "An alphabetical list of all files", files.all, sim.SimDir);
  FileList(l, "An alphabetical list of all files for the Base Case", files.base, sim.SimDir);
  FileList(l, "An alphabetical list of all files for the Policy Sims", files.policy, sim.SimDir);
  return l;
}

}  // namespace yl::reports
