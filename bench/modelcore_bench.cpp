// Per-period solve time of the demo model with the default extrapolated Gragg method.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "modelcore/demo_model.h"
#include "modelcore/solver.h"

namespace {

using namespace yl::model;

// The demo data widened to `sectors` sectors (a multiple of 3, to stay balanced) by
// repeating its three sectors.
DemoInputs Widened(int sectors) {
  DemoInputs in = DemoStartData();
  if (sectors == 3) return in;
  DemoInputs out = in;
  out.sectors.elements.clear();
  for (int i = 0; i < sectors; ++i) {
    std::string name = std::to_string(i + 1);
    name.insert(name.begin(), 'S');
    out.sectors.elements.push_back(name);
  }
  auto widen = [&](DataFile& f) {
    for (DataArray& a : f.arrays) {
      if (a.sets.empty()) continue;
      std::vector<double> v;
      for (int i = 0; i < sectors; ++i) v.push_back(a.values[static_cast<std::size_t>(i % 3)]);
      a.values = v;
    }
  };
  widen(out.base);
  widen(out.params);
  widen(out.lag);
  return out;
}

void BM_GraggPeriod(benchmark::State& state) {
  auto model = MakeDemoModel(Widened(static_cast<int>(state.range(0))));
  if (!model) {
    state.SkipWithError(model.error().c_str());
    return;
  }
  Closure closure = DemoBaseClosure(**model);
  std::vector<Shock> shocks;
  const std::vector<std::string> all;
  (void)AddShock(shocks, (*model)->Variables(), "y", all, ShockKind::kShock,
                 std::vector<double>{3.0});
  (void)AddShock(shocks, (*model)->Variables(), "ltot", all, ShockKind::kShock,
                 std::vector<double>{1.0});
  SolveSettings settings;  // Gragg 2-4-6, one subinterval
  for (auto _ : state) {
    std::vector<std::string> log;
    auto out = Solve(**model, closure, shocks, settings, log);
    if (!out) {
      state.SkipWithError(out.error().c_str());
      return;
    }
    benchmark::DoNotOptimize(out->end_data.data());
  }
}
BENCHMARK(BM_GraggPeriod)->Arg(3)->Arg(9)->Arg(30)->Unit(benchmark::kMicrosecond);

}  // namespace
