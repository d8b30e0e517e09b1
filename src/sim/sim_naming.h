#pragma once
// Every generated file name of a set of runs, recomputed on demand from the record so that
// each name has exactly one rule. Names are bare file names (no directory) unless a
// function says otherwise; per-simulation and data-file names are lower case.
//
// Two styles: the long style (FileNames.LongNames, the default) joins the simulation
// names of the runs involved ("BS1B-BR1R-2003"); the short style keeps to 8.3-like names
// ("BR1R2003"). no_rerun is the "do not rerun the Base" setting, which lives outside the
// record.
//
// The first part of a Rerun or Policy command file is always spelt ".top" (lower case):
// the command-file writer and the engine must both use TopFileName(), since on Linux
// ".TOP" would be another file.
//
// Every run (1..3), period (1..999) and logical file index is checked; an index out of
// range throws yl::InternalError.

#include <string>
#include <string_view>

#include "sim/job_kinds.h"
#include "sim/sim_record.h"
#include "sim/sim_runs.h"

namespace yl {

// ---- Simulation names ------------------------------------------------------------------

// The run-set name of run r (long style only): the names of runs 1..r, each followed by its
// run letter when AddRunLetter, joined with Separator; the Rerun left out when no_rerun.
// With LongNames off this throws InternalError "[JoinSelectedBaseNames] Expect long file
// names here" (its UserText() is the message to show).
std::string JoinSelectedBaseNames(const TSimRecord& sim, int run, bool no_rerun);
// The same join in either style, for names that exist in both styles (Sim Details,
// bookkeeping copies, rational-expectations files).
std::string RunSetName(const TSimRecord& sim, int run, bool no_rerun);

// Sim base name of run r, period k, in the style in force; keeps the case of the names.
std::string SimBaseName(const TSimRecord& sim, int run, int period, bool no_rerun);
// Short form in either style: name + run letter + 4-digit year, cut to 9 ("BR1R2003").
std::string ShortSimBaseName(const TSimRecord& sim, int run, int period);
// Characters 1-3 and 7-8 of the short sim base name ("BR103").
std::string ShortSimTag(const TSimRecord& sim, int run, int period);
// The short sim base name with "YYYY" for the year ("BS1BYYYY").
std::string PatternName(const TSimRecord& sim, int run);

// ---- Per-simulation files (in SimDir unless stated) ------------------------------------

std::string SolutionFileName(const TSimRecord& sim, int run, int period, bool no_rerun);
std::string SimLogFileName(const TSimRecord& sim, int run, int period, bool no_rerun);
// The complete command file of any run ("{base}.cmf").
std::string CommandFileName(const TSimRecord& sim, int run, int period, bool no_rerun);
// The first part of a Rerun or Policy command file ("{base}.top").
std::string TopFileName(const TSimRecord& sim, int run, int period, bool no_rerun);
std::string UdcFileName(const TSimRecord& sim, int run, int period, bool no_rerun);
// The model program's stored-input file, in the temporary directory.
std::string StoredInputFileName(const TSimRecord& sim, int run, int period, bool no_rerun);
// Its report file (same name, ".rpt"), in the temporary directory.
std::string ReportFileName(const TSimRecord& sim, int run, int period, bool no_rerun);
// The BOT file of a period, shared by the Rerun and the Policy.
std::string BotFileName(const TSimRecord& sim, int period, bool no_rerun);
std::string BotLogFileName(const TSimRecord& sim, int period, bool no_rerun);
// The results file of a period read by the BOT job.
std::string BotResultsFileName(const TSimRecord& sim, int period, bool no_rerun);

// ---- Data files of logical files -------------------------------------------------------

// The updated file that period k of run r writes for logical file f ("?notupd?" unless f
// is both input and updated).
std::string UpdatedFileName(const TSimRecord& sim, int f, int run, int period, bool no_rerun);
// The same name without the role check: key + the run's and period's name part + type.
// Input resolution uses it for the data a period finds from the period before.
std::string DataFileNameFor(const TSimRecord& sim, int f, int run, int period, bool no_rerun);
// The output-only file that period k of run r writes for logical file f.
std::string OutputOnlyFileName(const TSimRecord& sim, int f, int run, int period, bool no_rerun);

// ---- Results assembly ------------------------------------------------------------------

// Requested periods of an assembly job.
struct PeriodRange {
  int First = 1;
  int Last = 1;
};

// 1 for the Base, policy_start for the Rerun and the Policy.
int RunFirstPeriod(int run, int policy_start);
// Whole when it starts at or before the run's first period and ends at or after NumYears.
bool IsWholeRange(const TSimRecord& sim, int run, PeriodRange range, int policy_start);
// The stem of a run's assembly files: the run-set name + Separator (long style), or the
// simulation name + run letter (short style); not lower-cased.
std::string AssemblyStem(const TSimRecord& sim, int run, bool no_rerun);
// "" for a whole range, else "-{first year}-{last year}" of the range limited to the run.
std::string RangeSuffix(const TSimRecord& sim, int run, PeriodRange range, int policy_start);

// kind: "tallyr" or "cumsol" (cumulative, "ss") or "varix" or "devsol" (differences,
// "dev"); variant: "yony", "cum", ... (its first letter is used). Any other kind or no
// variant is an internal error.
std::string SpreadsheetFileName(const TSimRecord& sim, int run, JobKind kind, PartKind variant,
                                PeriodRange range, int policy_start, bool no_rerun);
// The "cum" spreadsheet name with ".rsl".
std::string CumulativeSolutionFileName(const TSimRecord& sim, int run, JobKind kind,
                                       PeriodRange range, int policy_start, bool no_rerun);
std::string SequenceFileName(const TSimRecord& sim, int run, bool differences, PeriodRange range,
                             int policy_start, bool no_rerun);
std::string AssemblyLogFileName(const TSimRecord& sim, int run, PeriodRange range, int policy_start,
                                bool no_rerun);

// ---- Rational expectations -------------------------------------------------------------

// Iteration counts of the Sim Overview page.
struct IterationCounts {
  int Base = 1;
  int Rerun = 1;
};

// Run-set name + "_iter"; keeps the case of the simulation names.
std::string IterationBaseName(const TSimRecord& sim, int run, bool no_rerun);
// offset(r) + n - 1, numbering iterations across the runs.
int IterationFileNumber(int run, int iteration, IterationCounts counts, bool no_rerun);
// Iteration base + number + ".har".
std::string IterationFileName(const TSimRecord& sim, int run, int iteration, IterationCounts counts,
                              bool no_rerun);
// The updated file of the run's last period, without extension, + "_" + letter + "Iter".
std::string KeptUpdatedFileName(const TSimRecord& sim, int f, int run, bool no_rerun);
// The whole-run "tallyr" spreadsheet of the variant, without extension, + "_{letter}Iter".
std::string KeptSpreadsheetName(const TSimRecord& sim, int run, PartKind variant, int policy_start,
                                bool no_rerun);
// "iter" + run letter.
std::string IterationWorkName(int run);
inline constexpr std::string_view kIterationVariableMap = "itervar.map";

// ---- Sim Details, bookkeeping, slot directories ----------------------------------------

// model name + Separator + run-set name of the Policy + ".ds1", resolved against SimDir;
// "" when there is no model name (no default applies).
std::string DefaultSimDetailsFile(const TSimRecord& sim, const std::string& model_name,
                                  bool no_rerun);
// The sim store (".ds2") and the simulation description (".ds0") beside a ".ds1".
std::string SimStoreFile(const std::string& ds1_path);
std::string SimDescriptionFile(const std::string& ds1_path);
// model name + Separator + run-set name(r) + ".ds3"/".ds4"/".ds5", resolved against SimDir.
std::string RunBookkeepingCopyFile(const TSimRecord& sim, const std::string& model_name, int run,
                                   bool no_rerun);
// "base.ini", "rbase.ini", "pol.ini" (in the keep directory).
std::string RunBookkeepingFileName(int run);
// Slot 1 works in SimDir; slots 2 and 3 in "simdir2" and "simdir3" of the temporary dir.
std::string SlotDirectory(const TSimRecord& sim, const std::string& temp_dir, int slot);

// A name in the working directory.
std::string InSimDir(const TSimRecord& sim, std::string_view name);

}  // namespace yl
