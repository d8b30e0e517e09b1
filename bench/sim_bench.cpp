// Every per-run, per-period name and every input-file resolution of a 999-period, 3-run,
// 50-logical-file simulation, as the job plan and the prerequisite checks need them.

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "sim/sim_defaults.h"
#include "sim/sim_inputs.h"
#include "sim/sim_naming.h"
#include "sim/sim_table.h"

namespace yl {
namespace {

std::unique_ptr<TSimRecord> MakeBigSim(bool long_names) {
  auto sim = CreateSimRecord();
  SetDefaultSimulation(*sim, "/tmp/yearloom-bench-none");
  sim->FirstYear = 2001;
  sim->NumYears = kMaxPeriods;
  sim->FileNames.LongNames = long_names;
  sim->NumDinFiles = kMaxLogicalFiles;
  for (int f = 1; f <= kMaxLogicalFiles; ++f) {
    TDinFileEntry& e = sim->DinFiles[f];
    e.Name = "FILE" + std::to_string(f);
    e.Key = "k" + std::to_string(f + 10);
    e.Type = "HAR";
    // Cycle through the roles: updated, lagged (of the updated file before), constant,
    // output only.
    switch (f % 4) {
      case 1:
        e.IsInput = e.IsUpdated = true;
        e.Role = kUpdatedInput;
        e.Usage = {f, 1, 2, 3};
        break;
      case 2:
        e.IsInput = true;
        e.Role = kLaggedInput;
        e.LagOf = f - 1;
        e.Usage = {f - 1, 1, 2, 2};
        break;
      case 3:
        e.IsInput = true;
        e.Role = kConstantInput;
        e.Usage = {f, 1, 2, 3};
        break;
      default:
        e.Role = kOutputOnly;
        e.Usage = {f, 1, 2, 3};
    }
  }
  RecomputeYears(*sim);
  return sim;
}

std::vector<std::string> FirstYearList(const TSimRecord& sim) {
  std::vector<std::string> list;
  for (int f = 1; f <= sim.NumDinFiles; ++f) {
    if (sim.DinFiles[f].IsInput) {
      list.push_back("File " + sim.DinFiles[f].Name + " = data" + std::to_string(f) +
                     ".har ; ! first year");
    }
  }
  return list;
}

void BM_AllNamesAndInputs(benchmark::State& state) {
  const bool long_names = state.range(0) != 0;
  auto sim = MakeBigSim(long_names);
  const FirstYearFiles first_year = ParseFirstYearList(FirstYearList(*sim));
  const int policy_start = 1;
  for (auto _ : state) {
    std::size_t total = 0;
    for (int r = kBase; r <= kPolicy; ++r) {
      for (int k = 1; k <= sim->NumYears; ++k) {
        total += SolutionFileName(*sim, r, k, false).size();
        total += SimLogFileName(*sim, r, k, false).size();
        total += CommandFileName(*sim, r, k, false).size();
        total += TopFileName(*sim, r, k, false).size();
        total += UdcFileName(*sim, r, k, false).size();
        total += StoredInputFileName(*sim, r, k, false).size();
        total += ReportFileName(*sim, r, k, false).size();
        if (r == kBase) {
          total += BotFileName(*sim, k, false).size();
          total += BotLogFileName(*sim, k, false).size();
          total += BotResultsFileName(*sim, k, false).size();
        }
        for (int f = 1; f <= sim->NumDinFiles; ++f) {
          InputFile in = ResolveParsedInputFile(*sim, f, k, r, policy_start, first_year, false);
          total += in.FileName.size();
          const TDinFileEntry& e = sim->DinFiles[f];
          if (e.Role == kUpdatedInput) total += UpdatedFileName(*sim, f, r, k, false).size();
          if (e.Role == kOutputOnly) total += OutputOnlyFileName(*sim, f, r, k, false).size();
        }
      }
    }
    benchmark::DoNotOptimize(total);
  }
  state.SetLabel(long_names ? "long names" : "short names");
}
BENCHMARK(BM_AllNamesAndInputs)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace yl
