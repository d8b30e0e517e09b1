#pragma once
// The command line of batch mode: "yearloom TASK [YEARS] [SIMDETAILS]" with TASK one of
// base, rerun, policy, base+rerun, rerun+policy, all and YEARS all, ss or YEAR1-YEAR2.

#include <array>
#include <string>
#include <vector>

#include "core/clock.h"
#include "core/status.h"
#include "jobs/job_plan.h"
#include "sim/sim_record.h"

namespace yl {

struct BatchRequest {
  std::array<bool, 4> runs{};  // by run number 1..3
  enum class Years { kAll, kSpreadsheetsOnly, kRange } years = Years::kAll;
  int year1 = 0;  // calendar years of a range
  int year2 = 0;
  std::string sim_details;  // parameter 3 as given ("" when absent)
  std::vector<std::string> params;
};

// Parameters 1 and 2; the years of a range are checked later against the loaded setup.
Result<BatchRequest> ParseBatchParams(const std::vector<std::string>& params, bool two_run_mode);
// Parameter 3: a Sim Details file in the working directory, extension replaced by ".ds1";
// "DS1 file: {file} does not exist" when missing.
Result<std::string> BatchSimDetailsFile(const BatchRequest& request, const std::string& work_dir);
// Both years of a range must be years of the Closure/Shocks page.
Status CheckBatchYears(const BatchRequest& request, const TSimRecord& sim);
// Each selected run simulates the chosen years; results are assembled over all years when
// the simulations reach the last year, or with "ss".
jobs::PlanRequest BatchPlan(const BatchRequest& request, const TSimRecord& sim);

// The parameters as given, also when they could not be understood.
std::vector<std::string> BatchBeginLines(const std::vector<std::string>& params,
                                         const std::string& work_dir,
                                         const std::string& sim_details_file, TimePoint now);
std::vector<std::string> BatchEndLines(bool failed, const std::string& message, TimePoint now);
// The end record of a run stopped by a signal.
std::vector<std::string> BatchCancelLines(const std::string& message, TimePoint now);

}  // namespace yl
