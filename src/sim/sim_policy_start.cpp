#include "sim/sim_policy_start.h"

#include <algorithm>
#include <string>

#include "sim/sim_runs.h"
#include "sim/sim_table.h"

namespace yl {

PolicyStart PolicyStartSim(const TSimRecord& sim, int run, const PolicyStartSettings& settings) {
  CheckRun(run);
  PolicyStart out;
  if (run == kBase || !settings.ModelSelected) return out;
  const int first = FirstPolicyShockPeriod(sim);
  if (first > sim.NumYears) {
    out.Refused = true;
    out.Notice = InformationMessage("Are no policy shocks, so nothing to do.");
    return out;
  }
  out.Period = first;
  if (settings.DoRationalExpectations) {
    out.Period = first - std::max(0, settings.YearsBeforeFirstShock);
    if (out.Period <= 0) {
      out.Period = 1;
      out.NewYearsBeforeFirstShock = first - 1;
      out.Notice = InformationMessage(
          "First Policy shock is in sim for year " + Year4(sim.Years[first]) +
          ".\r\nHence Policy run can start at most " + std::to_string(first - 1) + " " +
          std::string(kPeriodWord) +
          "s before this.\r\nResetting value there so Policy run will start with first "
          "year.\r\nPlease check the Sim Overview page to see that this is what you want.");
    }
  }
  return out;
}

}  // namespace yl
