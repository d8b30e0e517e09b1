#pragma once
// The kinds of jobs a big job runs and of the parts each job is made of. Their short
// names are what logs, job lines and file names show; the code compares the kinds.

#include <optional>
#include <string_view>

namespace yl {

enum class JobKind {
  kNone,
  kSim,     // one period's simulation: parts "sim" then "sol"
  kBot,     // closure preparation of a period for the Rerun or Policy
  kCsv,     // per-year spreadsheets
  kSsSol,   // per-year solution files
  kTallyr,  // cumulative results assembled from the year-on-year ones
  kCumSol,  // cumulative solution assembly
  kVarix,   // Policy minus Base (or Rerun) spreadsheets
  kDevSol,  // Policy minus Base (or Rerun) solutions
};

enum class PartKind {
  kNone,
  kSim,
  kSol,
  kEnv,     // the closure-preparation run of the model program
  kAmbix1,  // closure preparation, without SOL files for shocks
  kSolex1,
  kSolPol,  // closure preparation, with SOL files for shocks
  kAmbix2,
  kCsv,
  kSsSol,
  kYonY,  // year-on-year variant
  kCum,   // cumulative variant
  kPy,    // the policy years of a prerequisite run
};

// "sim", "bot", "tallyr", ...; "" for kNone.
std::string_view JobName(JobKind job);
// "sim", "sol", "env", "yony", ...; "" for kNone.
std::string_view PartName(PartKind part);
std::optional<JobKind> JobKindNamed(std::string_view name);
std::optional<PartKind> PartKindNamed(std::string_view name);

// The results-assembly jobs: every kind but the simulation and closure preparation.
inline bool IsSpreadsheetJob(JobKind job) {
  return job != JobKind::kSim && job != JobKind::kBot && job != JobKind::kNone;
}
// "tallyr" and "cumsol" (cumulative, "ss" files); "varix" and "devsol" (differences).
inline bool IsCumulativeJob(JobKind job) {
  return job == JobKind::kTallyr || job == JobKind::kCumSol;
}
inline bool IsDifferenceJob(JobKind job) {
  return job == JobKind::kVarix || job == JobKind::kDevSol;
}

}  // namespace yl
