#pragma once
// The logs a big job keeps and the judgement of an ended part: the jobs log and batch
// jobs log in the keep directory, the per-job year logs, and the part's report file.

#include <string>
#include <vector>

#include <functional>

#include "core/clock.h"
#include "core/prompter.h"
#include "core/status.h"
#include "jobs/job_plan.h"

namespace yl::jobs {

inline constexpr const char* kJobsLogName = "bigjobs.log";
inline constexpr const char* kBatchJobsLogName = "BatchJobs.log";
inline constexpr const char* kLastErrorLogName = "lasterr.log";

// "{run short name}: {what}", e.g. "Base: sim for year 2003 (period number 3)".
std::string JobDescription(int run, const std::string& what);
// The ERROR line's description: with " [{part} part of job {job}]" unless the job is "sim".
std::string ErrorDescription(int run, const std::string& what, JobKind job, PartKind part);

std::string FormatDateTime(TimePoint t);  // "2026-12-09 23:41:07"
std::string FormatTime(TimePoint t);      // "23:41:07"
// "Total elapsed time is: {H} hours, {M} minutes, {S} seconds", the hours piece only from
// one hour on, the minutes piece only with hours or at least one minute; truncated.
std::string ElapsedText(std::chrono::seconds elapsed);

// Appends the lines to a log that already exists; a missing log is left missing (the
// user turned it off by deleting it) and that is not an error. The lines go on in one
// write, so a concurrent reader never sees half a line.
bool AppendToLog(const std::string& log_path, const std::vector<std::string>& lines);
// Appends the whole of another file (a part's log to its job's year log).
bool AppendFileToLog(const std::string& log_path, const std::string& part_log);

enum class PartOutcome { kSuccess, kFailure, kSuccessWithoutOutput };

// A part succeeded when its report's [Result] "Status" is "ok" (any case); then its
// check file decides whether it did its work. A missing report is always a failure.
PartOutcome JudgePart(const std::string& report_file, const std::string& check_file);

// The text of the "Job Status Overview" window; calendar_year(k) gives a period's year.
std::string JobStatusOverview(const JobPlan* plan, const std::function<int(int)>& calendar_year);

// After a failed job: "Look at LOG file ..." (Yes shows it), or the note that there is
// none ("" for log).
void OfferErrorLog(const std::string& log, Prompter& prompter,
                   const std::function<void(const std::string& log)>& show);

}  // namespace yl::jobs
