// Feeds the command line of batch mode to its reader: the parameters one a line, then a
// "@@@" line and a sim store whose years the range must match. A request that passes
// the checks plans periods inside the simulation for the runs it names.

#include <cstdint>
#include <string>

#include "app/batch_params.h"
#include "fuzz_record.h"
#include "fuzz_support.h"
#include "settings/sim_store.h"
#include "sim/sim_defaults.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto parts = yl::fuzz::Parts(yl::fuzz::Text(data, size), 2);
  auto params = yl::SplitLines(parts[0]);
  if (params.size() > 6) params.resize(6);
  yl::TSimRecord* sim = &yl::fuzz::FreshRecord();
  yl::SetDefaultSimulation(*sim, yl::fuzz::kNoDir);
  if (auto stored = yl::ParseSimStore(yl::SplitLines(parts[1]), yl::fuzz::kNoDir)) {
    yl::ApplySimStore(*sim, **stored);
  }
  (void)yl::BatchBeginLines(params, yl::fuzz::kNoDir, "", yl::TimePoint{});
  for (bool two_runs : {false, true}) {
    auto request = yl::ParseBatchParams(params, two_runs);
    if (!request) {
      (void)yl::BatchEndLines(true, request.error(), yl::TimePoint{});
      continue;
    }
    (void)yl::BatchSimDetailsFile(*request, yl::fuzz::kNoDir);
    if (!yl::CheckBatchYears(*request, *sim)) continue;
    auto plan = yl::BatchPlan(*request, *sim);
    // A requested run simulates periods of the simulation; the others are left out.
    const int n = sim->NumYears;
    for (std::size_t run = 1; run <= 3; ++run) {
      if (!request->runs[run]) continue;
      if (request->years != yl::BatchRequest::Years::kSpreadsheetsOnly) {
        for (int p : {plan.first_sim_year[run], plan.last_sim_year[run]}) {
          if (p < 1 || p > n) __builtin_trap();
        }
      }
      if (plan.last_ss_year[run] != 0 &&
          (plan.first_ss_year[run] != 1 || plan.last_ss_year[run] != n)) {
        __builtin_trap();
      }
    }
  }
  return 0;
}
