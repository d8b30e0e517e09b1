// Command files of 999 periods for all three runs, as the engine writes them one by one.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "cmf/make_cmf.h"
#include "platform/text_file.h"
#include "sim/sim_defaults.h"
#include "sim/sim_table.h"

namespace {

struct Setup {
  Setup() {
    std::string templ = (std::filesystem::temp_directory_path() / "ylcmfbench-XXXXXX").string();
    dir = mkdtemp(templ.data());
    yl::SetDefaultSimulation(sim, dir);
    sim.NumYears = 999;
    sim.FirstYear = 1001;
    for (int k = 1; k <= yl::kMaxPeriods; ++k) sim.LengthPeriods[k] = 1;
    yl::RecomputeYears(sim);
    (void)yl::WriteTextLines(dir + "/COM.CLS", {"exogenous a b c ;", "rest endogenous ;"});
    (void)yl::WriteTextLines(dir + "/POL.CLS", {"swap a = d ;"});
    (void)yl::WriteTextLines(dir + "/BSH.BSH",
                             {"! shocks", "shock <year> a = 1 ;", "shock <year=T> b", "  = 2 ;"});
    (void)yl::WriteTextLines(dir + "/PSH.PSH", {"shock <year> d = 3 ;"});
    for (int k = 0; k <= 999; ++k) {
      sim.CMFCells(k, 1) = k == 0 ? "COM" : "?";
      sim.CMFCells(k, 2) = k == 0 ? "" : "BSH";
      sim.CMFCells(k, 3) = k == 0 ? "" : "POL";
      sim.CMFCells(k, 4) = k == 0 ? "" : "PSH";
    }
    yl::RecomputeCMFNames(sim);
    settings.Method.Method.Method = 3;
    settings.Method.Method.NumSolutions = 3;
    settings.Method.Method.Steps = {2, 4, 6};
    settings.Files.FirstYear = yl::ParseFirstYearList({"File FID = fid.har ;"});
  }
  ~Setup() { std::filesystem::remove_all(dir); }
  std::string dir;
  yl::TSimRecord sim;
  yl::MakeCmfSettings settings;
};

void BM_CommandFilesOf999PeriodsAllRuns(benchmark::State& state) {
  Setup s;
  for (auto _ : state) {
    for (int run = 1; run <= 3; ++run) {
      for (int k = 1; k <= 999; ++k) {
        auto r = yl::MakeCMF(s.sim, "/models/model.exe", k, run, s.settings);
        if (!r) state.SkipWithError(r.error().c_str());
      }
    }
  }
  state.SetItemsProcessed(state.iterations() * 3 * 999);
}
BENCHMARK(BM_CommandFilesOf999PeriodsAllRuns)->Unit(benchmark::kMillisecond);

}  // namespace
