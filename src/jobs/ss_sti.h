#pragma once
// The stored-input files that drive the tools of the solution-conversion, closure
// preparation ("solpol") and results-assembly parts, and the sequence files of a run.
// All of them live in the temporary directory; the assembled results in SimDir.

#include <string>
#include <vector>

#include "core/status.h"
#include "sim/sim_naming.h"
#include "sim/sim_record.h"

namespace yl::jobs {

struct SpreadsheetOptions {
  bool AccumulateSubtotals = false;
  bool ArithmeticNotFatal = false;
  bool AbbreviatedSSJobs = false;
  bool MakeYonYDiffSS = false;
};

struct SsContext {
  const TSimRecord* sim = nullptr;
  bool no_rerun = false;
  int policy_start = 1;
  std::string temp_dir;
  std::string mapping_file;  // the results mapping file
  SpreadsheetOptions options;
};

// The files of one tool part: where its answers are, what it logs and reports, and the
// file whose existence shows it did its work.
struct PartFiles {
  std::string sti;
  std::string log;
  std::string report;
  std::string check;
};

// Per-year names: the year stem (stored-input files) and the year file (per-year
// results), both lower case, and the solution file without its extension.
std::string YearStem(const SsContext& c, int year, int run);
std::string YearFile(const SsContext& c, int year, int run);
std::string SolutionStem(const SsContext& c, int year, int run);

PartFiles SolPartFiles(const SsContext& c, int year, int run);
PartFiles SolPolPartFiles(const SsContext& c, int year);
PartFiles YearFilesPartFiles(const SsContext& c, JobKind job, int run,
                             const std::vector<int>& years);
// "tallyr", "cumsol", "varix" or "devsol" with its part and year range.
PartFiles AssemblyPartFiles(const SsContext& c, JobKind job, PartKind part, int run,
                            PeriodRange range);

// The years a "csv" or "sssol" part processes: both ranges, each year once, in order.
std::vector<int> YearFilesYears(int ss_first, int ss_last, int py_first, int py_last);

Status WriteSolSTI(const SsContext& c, int year, int run);
Status WriteSolPolSTI(const SsContext& c, int year);
Status WriteYearFilesSTI(const SsContext& c, JobKind job, int run, int ss_first, int ss_last,
                         int py_first, int py_last);
struct AssemblyRanges {
  bool ss_wanted = false;
  PeriodRange ss;
  bool py_wanted = false;
  PeriodRange py;
};
// Writes the STI of every part of a "tallyr" or "cumsol" job of the run, and for the
// Policy with deviations also those of the "varix" or "devsol" job that follows it.
// prereq: the ranges of the Policy's prerequisite run (its "py" files are read when it
// has policy years).
Status WriteAssemblySTIs(const SsContext& c, JobKind job, int run, const AssemblyRanges& ranges,
                         bool do_deviations, const AssemblyRanges& prereq);
Status WriteSequenceFiles(const SsContext& c, int run, int first, int last);

}  // namespace yl::jobs
