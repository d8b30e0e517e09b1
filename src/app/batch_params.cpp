#include "app/batch_params.h"

#include "core/text_util.h"
#include "jobs/job_logs.h"
#include "platform/files.h"
#include "platform/paths.h"

namespace yl {

namespace {

int PeriodOfYear(const TSimRecord& sim, int year) {
  for (int k = 1; k <= sim.NumYears; ++k) {
    if (sim.Years[k] == year) return k;
  }
  return 0;
}

std::string Param(const std::vector<std::string>& params, std::size_t i) {
  return i < params.size() ? params[i] : "";
}

}  // namespace

Result<BatchRequest> ParseBatchParams(const std::vector<std::string>& params, bool two_run_mode) {
  BatchRequest r;
  r.params = params;
  const std::string task = params.empty() ? "" : LowerCase(params[0]);
  const bool three = !two_run_mode;
  if (task == "base") {
    r.runs[1] = true;
  } else if (task == "rerun") {
    if (!three) return Fail("Nothing to do");
    r.runs[2] = true;
  } else if (task == "policy") {
    r.runs[3] = true;
  } else if (task == "base+rerun") {
    r.runs[1] = true;
    r.runs[2] = three;
  } else if (task == "rerun+policy") {
    r.runs[2] = three;
    r.runs[3] = true;
  } else if (task == "all") {
    r.runs[1] = r.runs[3] = true;
    r.runs[2] = three;
  } else {
    return Fail("Unexpected Param1 - expected base, rerun, policy or all");
  }
  if (params.size() >= 2) {
    const std::string years = LowerCase(params[1]);
    std::size_t dash = years.find('-');
    if (years == "all") {
      r.years = BatchRequest::Years::kAll;
    } else if (years == "ss") {
      r.years = BatchRequest::Years::kSpreadsheetsOnly;
    } else if (dash != std::string::npos && ParseInt(years.substr(0, dash)) &&
               ParseInt(years.substr(dash + 1))) {
      r.years = BatchRequest::Years::kRange;
      r.year1 = *ParseInt(years.substr(0, dash));
      r.year2 = *ParseInt(years.substr(dash + 1));
    } else {
      return Fail("Unexpected Param2");
    }
  }
  if (params.size() >= 3) r.sim_details = params[2];
  if (params.size() > 3) return Fail("Unexpected Param4");
  return r;
}

Result<std::string> BatchSimDetailsFile(const BatchRequest& request, const std::string& work_dir) {
  if (request.sim_details.empty()) return std::string();
  std::string file = ChangeFileExt(ResolveAgainst(work_dir, request.sim_details), ".ds1");
  if (!FileExists(file)) return Fail("DS1 file: " + file + " does not exist");
  return file;
}

Status CheckBatchYears(const BatchRequest& request, const TSimRecord& sim) {
  if (request.years != BatchRequest::Years::kRange) return Ok();
  for (int year : {request.year1, request.year2}) {
    if (PeriodOfYear(sim, year) == 0) {
      return Fail(std::to_string(year) + " is not one of the years on Closure/Shocks page");
    }
  }
  return Ok();
}

jobs::PlanRequest BatchPlan(const BatchRequest& request, const TSimRecord& sim) {
  const int n = sim.NumYears;
  jobs::PlanRequest plan = jobs::PlanRequest::Nothing(n);
  int first = 1, last = n;
  if (request.years == BatchRequest::Years::kRange) {
    first = PeriodOfYear(sim, request.year1);
    last = PeriodOfYear(sim, request.year2);
  }
  const bool sims = request.years != BatchRequest::Years::kSpreadsheetsOnly;
  const bool spreadsheets = !sims || last >= n;
  for (int run = 1; run <= 3; ++run) {
    if (!request.runs[run]) continue;
    if (sims) {
      plan.first_sim_year[run] = first;
      plan.last_sim_year[run] = last;
    }
    if (spreadsheets) {
      plan.first_ss_year[run] = 1;
      plan.last_ss_year[run] = n;
    }
  }
  return plan;
}

std::vector<std::string> BatchBeginLines(const std::vector<std::string>& params,
                                         const std::string& work_dir,
                                         const std::string& sim_details_file, TimePoint now) {
  return {std::string(48, '+'),
          jobs::FormatDateTime(now),
          "Begin batch job. Param1 is " + Param(params, 0) + "  Param2 is " + Param(params, 1),
          "  Param3 is " + Param(params, 2),
          "Working directory is: " + work_dir,
          "Sim Details File Name is: " + sim_details_file};
}

std::vector<std::string> BatchEndLines(bool failed, const std::string& message, TimePoint now) {
  std::vector<std::string> lines;
  if (failed) {
    lines.push_back(message.empty() ? "Job finished with error."
                                    : "Job finished with error: " + message);
    lines.push_back(jobs::FormatDateTime(now));
  } else {
    lines.push_back("Job ended successfully " + jobs::FormatDateTime(now));
  }
  lines.push_back(std::string(37, '+'));
  return lines;
}

std::vector<std::string> BatchCancelLines(const std::string& message, TimePoint now) {
  return {message, jobs::FormatDateTime(now), std::string(37, '+')};
}

}  // namespace yl
