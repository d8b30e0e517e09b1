#include "app/viewer/series_sources.h"

#include <vector>

#include "core/text_util.h"
#include "platform/dir_list.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "settings/sim_store.h"
#include "sim/job_kinds.h"
#include "sim/sim_naming.h"

namespace yl {

namespace {

std::string Existing(const std::string& path) { return FileExists(path) ? path : ""; }

// Every results table a run of the simulation writes, by name.
std::vector<std::string> ResultsTableNames(const TSimRecord& sim, bool no_rerun) {
  std::vector<std::string> names;
  // A whole range carries no year suffix, whatever the Policy's first period.
  const PeriodRange whole{1, sim.NumYears};
  for (int run : {kBase, kRerun, kPolicy}) {
    if (run == kRerun && no_rerun) continue;
    for (JobKind job : {JobKind::kTallyr, JobKind::kVarix}) {
      if (job == JobKind::kVarix && run != kPolicy) continue;
      for (PartKind part : {PartKind::kYonY, PartKind::kCum}) {
        names.push_back(SpreadsheetFileName(sim, run, job, part, whole, 1, no_rerun));
      }
    }
  }
  return names;
}

}  // namespace

SeriesSources RunResultsFiles(const TSimRecord& sim, bool no_rerun) {
  const PeriodRange whole{1, sim.NumYears};
  auto table = [&](int run) {
    return Existing(InSimDir(
        sim, SpreadsheetFileName(sim, run, JobKind::kTallyr, PartKind::kCum, whole, 1, no_rerun)));
  };
  SeriesSources s;
  s.base = table(kBase);
  if (!no_rerun) s.rerun = table(kRerun);
  s.policy = table(kPolicy);
  return s;
}

SeriesSources FindSeriesSources(const std::string& results_file) {
  const std::string dir = DirOfFile(results_file).empty() ? "." : DirOfFile(results_file);
  const std::string name = FileNameOf(results_file);
  const auto entries = ListDirectory(dir);
  if (!entries) return {};
  for (const DirEntry& e : *entries) {
    if (e.is_directory || !EndsWithNoCase(e.name, ".ds2")) continue;
    auto sim = ReadSimStore(JoinPath(dir, e.name), dir);
    if (!sim || (*sim)->NumYears < 1) continue;
    for (bool no_rerun : {false, true}) {
      for (const std::string& candidate : ResultsTableNames(**sim, no_rerun)) {
        if (SameText(candidate, name)) return RunResultsFiles(**sim, no_rerun);
      }
    }
  }
  return {};
}

}  // namespace yl
