#include "jobs/ss_sti.h"

#include <set>

#include "core/text_util.h"
#include "jobs/job_plan.h"
#include "platform/paths.h"
#include "platform/text_file.h"

namespace yl::jobs {

namespace {

std::string InTemp(const SsContext& c, const std::string& name) {
  return JoinPath(c.temp_dir, name);
}

Status WriteLines(const std::string& path, const std::vector<std::string>& lines) {
  return WriteTextLines(path, lines);
}

std::string ReportOf(const std::string& log) { return ChangeFileExt(log, ".rpt"); }

}  // namespace

std::string YearStem(const SsContext& c, int year, int run) {
  if (c.sim->FileNames.LongNames) return LowerCase(SimBaseName(*c.sim, run, year, c.no_rerun));
  return LowerCase(ShortSimTag(*c.sim, run, year));
}

std::string YearFile(const SsContext& c, int year, int run) {
  return LowerCase(SimBaseName(*c.sim, run, year, c.no_rerun));
}

std::string SolutionStem(const SsContext& c, int year, int run) {
  return ChangeFileExt(InSimDir(*c.sim, SolutionFileName(*c.sim, run, year, c.no_rerun)), "");
}

PartFiles SolPartFiles(const SsContext& c, int year, int run) {
  PartFiles f;
  f.sti = InTemp(c, YearStem(c, year, run) + "st7.st7");
  f.log = ChangeFileExt(f.sti, ".log");
  f.report = ReportOf(f.sti);
  f.check = SolutionStem(c, year, run) + ".sol";
  return f;
}

PartFiles SolPolPartFiles(const SsContext& c, int year) {
  const int bot_run = c.no_rerun ? 3 : 2;
  PartFiles f;
  f.sti = InTemp(c, YearStem(c, year, bot_run) + "st8.st8");
  f.log = ChangeFileExt(f.sti, ".log");
  f.report = ReportOf(f.sti);
  f.check = InSimDir(*c.sim, BotResultsFileName(*c.sim, year, c.no_rerun));
  return f;
}

std::vector<int> YearFilesYears(int ss_first, int ss_last, int py_first, int py_last) {
  std::set<int> years;
  for (int y = ss_first; y <= ss_last; ++y) years.insert(y);
  for (int y = py_first; y <= py_last; ++y) years.insert(y);
  return {years.begin(), years.end()};
}

PartFiles YearFilesPartFiles(const SsContext& c, JobKind job, int run,
                             const std::vector<int>& years) {
  PartFiles f;
  f.log = InTemp(
      c, LowerCase(AssemblyStem(*c.sim, run, c.no_rerun)) + std::string(JobName(job)) + ".log");
  f.sti = ChangeFileExt(f.log, ".st4");
  f.report = ReportOf(f.log);
  if (!years.empty()) {
    f.check = InTemp(c, YearFile(c, years.back(), run) + (job == JobKind::kCsv ? ".csv" : ".rsl"));
  }
  return f;
}

PartFiles AssemblyPartFiles(const SsContext& c, JobKind job, PartKind part, int run,
                            PeriodRange range) {
  const TSimRecord& sim = *c.sim;
  PartFiles f;
  const bool differences = IsDifferenceJob(job);
  const JobKind kind = differences ? JobKind::kVarix : JobKind::kTallyr;
  const std::string results =
      SpreadsheetFileName(sim, run, kind, part, range, c.policy_start, c.no_rerun);
  const std::string ext = differences ? ".st6" : ".st5";
  if (job == JobKind::kTallyr || job == JobKind::kVarix) {
    f.check = InSimDir(sim, results);
    f.sti = InTemp(c, ChangeFileExt(results, ext));
    f.log = InTemp(c, ChangeFileExt(results, ".log"));
  } else {
    const std::string cumulative =
        CumulativeSolutionFileName(sim, run, differences ? JobKind::kDevSol : JobKind::kCumSol,
                                   range, c.policy_start, c.no_rerun);
    f.check = InSimDir(sim, cumulative);
    f.sti = InTemp(c, ChangeFileExt(results, "") + "sol" + ext);
    f.log = InTemp(c, ChangeFileExt(cumulative, "") + "sol.log");
  }
  // The stored-input file names its own report, whatever its log is called.
  f.report = ReportOf(f.sti);
  return f;
}

Status WriteSolSTI(const SsContext& c, int year, int run) {
  PartFiles f = SolPartFiles(c, year, run);
  const std::string sol = SolutionStem(c, year, run);
  return Tag(
      WriteLines(f.sti,
                 {"bat", "rpt", f.report, "wsi", "nlv  ! No levels results", " ",
                  sol + "    ! Sl4 file", "c  ! the cum column", "n  ! do not use HA mapping file",
                  InTemp(c, YearFile(c, year, run) + ".mpx") + "    ! HA Map file",
                  sol + ".sli    ! Output SLI file", sol + ".sol    ! Output SOL file"}),
      "WriteSolSTI");
}

Status WriteSolPolSTI(const SsContext& c, int year) {
  PartFiles f = SolPolPartFiles(c, year);
  return Tag(
      WriteLines(f.sti, {"bat", "rpt", f.report, "nlv  ! No levels results", " ",
                         SolutionStem(c, year, kBase) + "    ! Sl4 file", "c  ! the cum column",
                         "n  ! do not use HA mapping file",
                         InTemp(c, YearFile(c, year, kPolicy) + ".mpz") + "    ! HA Map file",
                         f.check + "    ! Output .RSL (SOL) file"}),
      "WriteSolPolSTI");
}

Status WriteYearFilesSTI(const SsContext& c, JobKind job, int run, int ss_first, int ss_last,
                         int py_first, int py_last) {
  std::vector<int> years = YearFilesYears(ss_first, ss_last, py_first, py_last);
  PartFiles f = YearFilesPartFiles(c, job, run, years);
  std::vector<std::string> lines{"bat", "rpt", f.report};
  const bool csv = job == JobKind::kCsv;
  for (std::size_t k = 0; k < years.size(); ++k) {
    const int year = years[k];
    if (k + 1 < years.size()) lines.push_back("mor");
    if (csv) {
      lines.push_back("nlv  ! No levels results");
      lines.push_back("sss  ! Write Short SS file");
      lines.push_back(" ");
    }
    lines.push_back(" ");
    lines.push_back(SolutionStem(c, year, run) + "    ! Sl4 file");
    if (csv) {
      lines.push_back(c.options.AccumulateSubtotals
                          ? "   ! subtotals if available, otherwise cum col"
                          : "c  ! just the cum column");
      lines.push_back("y  ! use SS mapping file");
      lines.push_back(c.mapping_file + "    ! SS Map file");
      lines.push_back(InTemp(c, YearFile(c, year, run) + ".csv") + "    ! Output CSV file");
    } else {
      lines.push_back("c  ! just the cum column");
      lines.push_back("n  ! do not use HAR mapping file");
      lines.push_back("xx.xx  ! HAR mapping file created");
      lines.push_back(InTemp(c, YearFile(c, year, run) + ".rsl") + "    ! Output SOL file");
    }
  }
  return Tag(WriteLines(f.sti, lines), "WriteYearFilesSTI");
}

namespace {

Status WriteAssemblyPart(const SsContext& c, JobKind job, PartKind part, int run,
                         PeriodRange range) {
  PartFiles f = AssemblyPartFiles(c, job, part, run, range);
  const bool tallyr = job == JobKind::kTallyr;
  std::vector<std::string> lines{"bat"};
  if (tallyr && c.options.AccumulateSubtotals) lines.push_back("sub  ! accumulate subtotals");
  if (c.options.ArithmeticNotFatal) lines.push_back("anf  ! Arithmetic problems not fatal");
  lines.push_back("rpt");
  lines.push_back(f.report);
  if (tallyr && part == PartKind::kCum) lines.push_back("acc");
  if (!tallyr) lines.push_back("cml");
  lines.push_back(" ");
  const std::string count = std::to_string(range.Last - range.First + 1) + "   ! no files";
  if (tallyr) lines.push_back(count);
  lines.push_back(SolutionStem(c, range.First, run) + "    ! relevant SL4 file");
  if (!tallyr) lines.push_back(count);
  for (int y = range.First; y <= range.Last; ++y) {
    lines.push_back(InTemp(c, YearFile(c, y, run) + (tallyr ? ".csv" : ".rsl")) +
                    "    ! Input CSV file");
  }
  lines.push_back(f.check + "   ! Output file");
  return WriteLines(f.sti, lines);
}

Status WriteDifferencePart(const SsContext& c, JobKind job, PartKind part, PeriodRange range,
                           const AssemblyRanges& prereq) {
  const TSimRecord& sim = *c.sim;
  const int pre = PrerequisiteRun(kPolicy, c.no_rerun);
  PartFiles f = AssemblyPartFiles(c, job, part, kPolicy, range);
  const bool varix = job == JobKind::kVarix;
  std::vector<std::string> lines{"bat", "rpt", f.report};
  if (c.options.ArithmeticNotFatal) lines.push_back("anf  ! Arithmetic problems not fatal");
  if (varix) {
    if (part == PartKind::kYonY) lines.push_back("nac");
    lines.push_back("sol");
  } else {
    lines.push_back("dif");
    lines.push_back(" ");
  }
  lines.push_back(SolutionStem(c, c.policy_start, kPolicy));
  if (varix) lines.push_back(" ");
  // The prerequisite assembled these years either as its own range or as policy years.
  const PartKind pre_variant =
      prereq.py_wanted ? PartKind::kPy : (varix ? PartKind::kYonY : PartKind::kCum);
  if (varix) {
    lines.push_back(InSimDir(sim, SpreadsheetFileName(sim, pre, JobKind::kTallyr, pre_variant,
                                                      range, c.policy_start, c.no_rerun)));
    lines.push_back(
        InSimDir(sim, SpreadsheetFileName(sim, kPolicy, JobKind::kTallyr, PartKind::kYonY, range,
                                          c.policy_start, c.no_rerun)));
  } else {
    PeriodRange pre_range = prereq.py_wanted ? prereq.py : range;
    lines.push_back(InSimDir(sim, CumulativeSolutionFileName(sim, pre, JobKind::kCumSol, pre_range,
                                                             c.policy_start, c.no_rerun)));
    lines.push_back(InSimDir(sim, CumulativeSolutionFileName(sim, kPolicy, JobKind::kCumSol, range,
                                                             c.policy_start, c.no_rerun)));
  }
  lines.push_back(f.check + "   ! Output file");
  return WriteLines(f.sti, lines);
}

}  // namespace

Status WriteAssemblySTIs(const SsContext& c, JobKind job, int run, const AssemblyRanges& ranges,
                         bool do_deviations, const AssemblyRanges& prereq) {
  std::vector<std::pair<PartKind, PeriodRange>> parts;
  if (ranges.ss_wanted) {
    if (job == JobKind::kTallyr) parts.emplace_back(PartKind::kYonY, ranges.ss);
    if (job == JobKind::kCumSol || !c.options.AbbreviatedSSJobs) {
      parts.emplace_back(PartKind::kCum, ranges.ss);
    }
  }
  if (ranges.py_wanted) parts.emplace_back(PartKind::kPy, ranges.py);
  for (const auto& [part, range] : parts) {
    if (auto s = WriteAssemblyPart(c, job, part, run, range); !s) {
      return Tag(s, "WriteAssemblySTIs");
    }
  }
  if (run == kPolicy && do_deviations && ranges.ss_wanted) {
    std::vector<PartKind> diff_parts;
    const JobKind diff_job = job == JobKind::kTallyr ? JobKind::kVarix : JobKind::kDevSol;
    if (diff_job == JobKind::kVarix && c.options.MakeYonYDiffSS) {
      diff_parts.push_back(PartKind::kYonY);
    }
    diff_parts.push_back(PartKind::kCum);
    for (const PartKind part : diff_parts) {
      if (auto s = WriteDifferencePart(c, diff_job, part, ranges.ss, prereq); !s) {
        return Tag(s, "WriteAssemblySTIs");
      }
    }
  }
  return Ok();
}

Status WriteSequenceFiles(const SsContext& c, int run, int first, int last) {
  const TSimRecord& sim = *c.sim;
  PeriodRange range{first, last};
  const std::string count = std::to_string(last - first + 1);
  std::vector<std::string> lines{count + " 1"};
  for (int y = first; y <= last; ++y) lines.push_back(SolutionFileName(sim, run, y, c.no_rerun));
  auto s = WriteLines(
      InSimDir(sim, SequenceFileName(sim, run, false, range, c.policy_start, c.no_rerun)), lines);
  if (!s || run != kPolicy) return Tag(s, "WriteSequenceFiles");
  const int pre = PrerequisiteRun(kPolicy, c.no_rerun);
  std::vector<std::string> diff{count + " 2"};
  for (int y = first; y <= last; ++y) diff.push_back(SolutionFileName(sim, pre, y, c.no_rerun));
  for (int y = first; y <= last; ++y) diff.push_back(SolutionFileName(sim, kPolicy, y, c.no_rerun));
  return Tag(WriteLines(InSimDir(sim, SequenceFileName(sim, kPolicy, true, range, c.policy_start,
                                                       c.no_rerun)),
                        diff),
             "WriteSequenceFiles");
}

}  // namespace yl::jobs
