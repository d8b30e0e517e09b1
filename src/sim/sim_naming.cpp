#include "sim/sim_naming.h"

#include <algorithm>

#include "core/internal_error.h"
#include "core/text_util.h"
#include "platform/paths.h"
#include "sim/sim_runs.h"

namespace yl {

namespace {

// Names are built in one buffer: they are formed for every period of every run, many
// times over, and short-lived temporaries dominate otherwise.
void AppendYear4(std::string& out, int year) {
  if (year >= 0 && year <= 9999) {
    const char digits[4] = {
        static_cast<char>('0' + year / 1000), static_cast<char>('0' + year / 100 % 10),
        static_cast<char>('0' + year / 10 % 10), static_cast<char>('0' + year % 10)};
    out.append(digits, 4);
  } else {
    out += Year4(year);
  }
}

void LowerInPlace(std::string& s) {
  for (char& c : s) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
}

void AppendRunSet(std::string& out, const TSimRecord& sim, int run, bool no_rerun) {
  CheckRun(run);
  bool first = true;
  for (int r = kBase; r <= run; ++r) {
    if (r == kRerun && no_rerun) continue;
    if (!first) out += sim.FileNames.Separator;
    first = false;
    out += sim.SimNames[r];
    if (sim.FileNames.AddRunLetter) out += RunLetter(r);
  }
}

int YearOf(const TSimRecord& sim, int period) {
  CheckPeriod(period);
  return sim.Years[period];
}

std::string KindSuffix(JobKind kind) {
  if (IsCumulativeJob(kind)) return "ss";
  if (IsDifferenceJob(kind)) return "dev";
  throw InternalError("Unknown spreadsheet kind \"" + std::string(JobName(kind)) + "\"");
}

std::string WithoutExt(const std::string& name) { return ChangeFileExt(name, ""); }

}  // namespace

std::string AssemblyStem(const TSimRecord& sim, int run, bool no_rerun) {
  if (sim.FileNames.LongNames)
    return JoinSelectedBaseNames(sim, run, no_rerun) + sim.FileNames.Separator;
  CheckRun(run);
  return sim.SimNames[run] + RunLetter(run);
}

std::string RunSetName(const TSimRecord& sim, int run, bool no_rerun) {
  std::string joined;
  AppendRunSet(joined, sim, run, no_rerun);
  return joined;
}

namespace {

void AppendSimBaseName(std::string& out, const TSimRecord& sim, int run, int period,
                       bool no_rerun) {
  const int year = YearOf(sim, period);
  if (sim.FileNames.LongNames) {
    AppendRunSet(out, sim, run, no_rerun);
    out += sim.FileNames.Separator;
    AppendYear4(out, year);
    return;
  }
  CheckRun(run);
  const std::size_t start = out.size();
  out += sim.SimNames[run];
  out += RunLetter(run);
  AppendYear4(out, year);
  if (out.size() - start > 9) out.resize(start + 9);
}

std::string SimFileName(const TSimRecord& sim, int run, int period, bool no_rerun,
                        std::string_view ext) {
  std::string name;
  name.reserve(40);
  AppendSimBaseName(name, sim, run, period, no_rerun);
  name += ext;
  LowerInPlace(name);
  return name;
}

}  // namespace

std::string DataFileNameFor(const TSimRecord& sim, int f, int run, int period, bool no_rerun) {
  CheckLogicalFile(sim, f);
  const TDinFileEntry& e = sim.DinFiles[f];
  std::string name;
  name.reserve(48);
  name += e.Key;
  if (sim.FileNames.LongNames) {
    name += sim.FileNames.Separator;
    AppendSimBaseName(name, sim, run, period, no_rerun);
  } else {
    CheckRun(run);
    name += sim.SimNames[run];
    name += TwoDigitYear(YearOf(sim, period));
  }
  name += '.';
  name += e.Type;
  LowerInPlace(name);
  return name;
}

std::string JoinSelectedBaseNames(const TSimRecord& sim, int run, bool no_rerun) {
  if (!sim.FileNames.LongNames) {
    throw InternalError("[JoinSelectedBaseNames] Expect long file names here");
  }
  return RunSetName(sim, run, no_rerun);
}

std::string ShortSimBaseName(const TSimRecord& sim, int run, int period) {
  CheckRun(run);
  std::string name = sim.SimNames[run] + RunLetter(run) + Year4(YearOf(sim, period));
  return name.substr(0, 9);
}

std::string SimBaseName(const TSimRecord& sim, int run, int period, bool no_rerun) {
  std::string name;
  AppendSimBaseName(name, sim, run, period, no_rerun);
  return name;
}

std::string ShortSimTag(const TSimRecord& sim, int run, int period) {
  std::string base = ShortSimBaseName(sim, run, period);
  std::string tag = base.substr(0, 3);
  if (base.size() > 6) tag += base.substr(6, 2);
  return tag;
}

std::string PatternName(const TSimRecord& sim, int run) {
  CheckRun(run);
  return (sim.SimNames[run] + RunLetter(run) + "YYYY").substr(0, 9);
}

std::string SolutionFileName(const TSimRecord& sim, int run, int period, bool no_rerun) {
  return SimFileName(sim, run, period, no_rerun, ".sl4");
}

std::string SimLogFileName(const TSimRecord& sim, int run, int period, bool no_rerun) {
  return SimFileName(sim, run, period, no_rerun, ".log");
}

std::string CommandFileName(const TSimRecord& sim, int run, int period, bool no_rerun) {
  return SimFileName(sim, run, period, no_rerun, ".cmf");
}

std::string TopFileName(const TSimRecord& sim, int run, int period, bool no_rerun) {
  return SimFileName(sim, run, period, no_rerun, ".top");
}

std::string UdcFileName(const TSimRecord& sim, int run, int period, bool no_rerun) {
  return SimFileName(sim, run, period, no_rerun, ".udc");
}

std::string StoredInputFileName(const TSimRecord& sim, int run, int period, bool no_rerun) {
  if (sim.FileNames.LongNames) return SimFileName(sim, run, period, no_rerun, "sim.sti");
  return LowerCase(ShortSimTag(sim, run, period) + "sim.sti");
}

std::string ReportFileName(const TSimRecord& sim, int run, int period, bool no_rerun) {
  return ChangeFileExt(StoredInputFileName(sim, run, period, no_rerun), ".rpt");
}

std::string BotFileName(const TSimRecord& sim, int period, bool no_rerun) {
  return SimFileName(sim, RerunOrPolicy(no_rerun), period, no_rerun, ".bot");
}

std::string BotLogFileName(const TSimRecord& sim, int period, bool no_rerun) {
  return WithoutExt(BotFileName(sim, period, no_rerun)) + "-bot.log";
}

std::string BotResultsFileName(const TSimRecord& sim, int period, bool no_rerun) {
  int run = RerunOrPolicy(no_rerun);
  if (sim.FileNames.LongNames) return SimFileName(sim, run, period, no_rerun, ".rsl");
  return LowerCase(sim.SimNames[kBase] + sim.SimNames[run] + TwoDigitYear(YearOf(sim, period)) +
                   ".rsl");
}

std::string UpdatedFileName(const TSimRecord& sim, int f, int run, int period, bool no_rerun) {
  CheckLogicalFile(sim, f);
  const TDinFileEntry& e = sim.DinFiles[f];
  if (!(e.IsInput && e.IsUpdated)) return "?notupd?";
  return DataFileNameFor(sim, f, run, period, no_rerun);
}

std::string OutputOnlyFileName(const TSimRecord& sim, int f, int run, int period, bool no_rerun) {
  CheckLogicalFile(sim, f);
  CheckPeriod(period);
  const TDinFileEntry& e = sim.DinFiles[f];
  const std::string& sep = sim.FileNames.Separator;
  std::string name;
  name.reserve(48);
  name += e.Key;
  if (sim.FileNames.LongNames) {
    name += sep;
    AppendRunSet(name, sim, run, no_rerun);
    name += sep;
    AppendYear4(name, sim.Years[period - 1]);
    if (sim.FileNames.AddNextYear) {
      name += sep;
      AppendYear4(name, sim.Years[period]);
    }
  } else {
    CheckRun(run);
    name += sim.SimNames[run];
    name += TwoDigitYear(sim.Years[period - 1]);
  }
  name += '.';
  name += e.Type;
  LowerInPlace(name);
  return name;
}

int RunFirstPeriod(int run, int policy_start) {
  CheckRun(run);
  return run == kBase ? 1 : policy_start;
}

bool IsWholeRange(const TSimRecord& sim, int run, PeriodRange range, int policy_start) {
  return range.First <= RunFirstPeriod(run, policy_start) && range.Last >= sim.NumYears;
}

std::string RangeSuffix(const TSimRecord& sim, int run, PeriodRange range, int policy_start) {
  if (IsWholeRange(sim, run, range, policy_start)) return "";
  int first = std::max(range.First, RunFirstPeriod(run, policy_start));
  int last = std::min(range.Last, sim.NumYears);
  std::string suffix(1, '-');
  AppendYear4(suffix, YearOf(sim, first));
  suffix += '-';
  AppendYear4(suffix, YearOf(sim, last));
  return suffix;
}

std::string SpreadsheetFileName(const TSimRecord& sim, int run, JobKind kind, PartKind variant,
                                PeriodRange range, int policy_start, bool no_rerun) {
  std::string suffix = KindSuffix(kind);
  if (variant == PartKind::kNone) throw InternalError("Empty spreadsheet variant");
  return LowerCase(AssemblyStem(sim, run, no_rerun) + suffix + PartName(variant).front() +
                   RangeSuffix(sim, run, range, policy_start) + ".csv");
}

std::string CumulativeSolutionFileName(const TSimRecord& sim, int run, JobKind kind,
                                       PeriodRange range, int policy_start, bool no_rerun) {
  return ChangeFileExt(
      SpreadsheetFileName(sim, run, kind, PartKind::kCum, range, policy_start, no_rerun), ".rsl");
}

std::string SequenceFileName(const TSimRecord& sim, int run, bool differences, PeriodRange range,
                             int policy_start, bool no_rerun) {
  std::string stem;
  if (sim.FileNames.LongNames) {
    stem = JoinSelectedBaseNames(sim, run, no_rerun);
    if (differences) stem += sim.FileNames.Separator + "dev";
  } else {
    stem = AssemblyStem(sim, run, no_rerun);
    if (differences) stem += "dev";
  }
  return LowerCase(stem + RangeSuffix(sim, run, range, policy_start) + ".seq");
}

std::string AssemblyLogFileName(const TSimRecord& sim, int run, PeriodRange range, int policy_start,
                                bool no_rerun) {
  return LowerCase(AssemblyStem(sim, run, no_rerun) + "ss" +
                   RangeSuffix(sim, run, range, policy_start) + ".log");
}

std::string IterationBaseName(const TSimRecord& sim, int run, bool no_rerun) {
  return RunSetName(sim, run, no_rerun) + "_iter";
}

int IterationFileNumber(int run, int iteration, IterationCounts counts, bool no_rerun) {
  CheckRun(run);
  int offset = 1;
  if (run == kRerun) offset = counts.Base + 1;
  if (run == kPolicy) offset = no_rerun ? counts.Base + 1 : counts.Base + counts.Rerun + 1;
  return offset + iteration - 1;
}

std::string IterationFileName(const TSimRecord& sim, int run, int iteration, IterationCounts counts,
                              bool no_rerun) {
  return IterationBaseName(sim, run, no_rerun) +
         std::to_string(IterationFileNumber(run, iteration, counts, no_rerun)) + ".har";
}

std::string KeptUpdatedFileName(const TSimRecord& sim, int f, int run, bool no_rerun) {
  return WithoutExt(UpdatedFileName(sim, f, run, sim.NumYears, no_rerun)) + "_" + RunLetter(run) +
         "Iter";
}

std::string KeptSpreadsheetName(const TSimRecord& sim, int run, PartKind variant, int policy_start,
                                bool no_rerun) {
  PeriodRange whole{RunFirstPeriod(run, policy_start), sim.NumYears};
  return WithoutExt(SpreadsheetFileName(sim, run, JobKind::kTallyr, variant, whole, policy_start,
                                        no_rerun)) +
         "_" + RunLetter(run) + "Iter";
}

std::string IterationWorkName(int run) { return std::string("iter") + RunLetter(run); }

std::string DefaultSimDetailsFile(const TSimRecord& sim, const std::string& model_name,
                                  bool no_rerun) {
  if (model_name.empty()) return "";
  return ResolveAgainst(sim.SimDir, model_name + sim.FileNames.Separator +
                                        RunSetName(sim, kPolicy, no_rerun) + ".ds1");
}

std::string SimStoreFile(const std::string& ds1_path) { return ChangeFileExt(ds1_path, ".ds2"); }

std::string SimDescriptionFile(const std::string& ds1_path) {
  return ChangeFileExt(ds1_path, ".ds0");
}

std::string RunBookkeepingCopyFile(const TSimRecord& sim, const std::string& model_name, int run,
                                   bool no_rerun) {
  CheckRun(run);
  static constexpr const char* kExts[] = {".ds3", ".ds4", ".ds5"};
  return ResolveAgainst(sim.SimDir, model_name + sim.FileNames.Separator +
                                        RunSetName(sim, run, no_rerun) + kExts[run - 1]);
}

std::string RunBookkeepingFileName(int run) {
  CheckRun(run);
  static constexpr const char* kNames[] = {"base.ini", "rbase.ini", "pol.ini"};
  return kNames[run - 1];
}

std::string SlotDirectory(const TSimRecord& sim, const std::string& temp_dir, int slot) {
  CheckIndex(slot, 1, 3, "job slot");
  if (slot == 1) return sim.SimDir;
  return JoinPath(temp_dir, "simdir" + std::to_string(slot));
}

std::string InSimDir(const TSimRecord& sim, std::string_view name) {
  return JoinPath(sim.SimDir, name);
}

}  // namespace yl
