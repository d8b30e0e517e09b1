// Reading big settings files: a Sim Details file (".ds1" and its ".ds2") whose first-year
// list holds 100,000 files, and an INI file of 100,000 keys with every key looked up.
// Both must stay linear in the number of keys (well under half a second in Release).
//
//   yl_bench_settings --benchmark_filter=.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "env/ini_file.h"
#include "platform/files.h"
#include "settings/sim_details.h"
#include "settings/sim_store.h"
#include "sim/sim_defaults.h"

namespace yl {
namespace {

constexpr int kKeys = 100000;

struct ScratchDir {
  std::filesystem::path path;
  ScratchDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "yl_bench_XXXXXX").string();
    if (!mkdtemp(pattern.data())) std::abort();
    path = pattern;
  }
  ~ScratchDir() {
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
  }
  std::string operator/(const std::string& name) const { return (path / name).string(); }
};

void BM_LoadSimDetailsManyInputFiles(benchmark::State& state) {
  ScratchDir dir;
  const std::string ds1 = dir / "big.ds1";
  // The model named must exist; the .ds1 itself will do, as nothing is started.
  std::string text = "[Environment]\nModel=" + ds1 +
                     "\nModel Name=big\nSim Directory=" + dir.path.string() + "\n\n[Input Files]\n";
  for (int i = 0; i < kKeys; ++i)
    text += std::to_string(i) + "=file" + std::to_string(i) + ".har\n";
  if (!WriteFileAtomically(ds1, text)) std::abort();
  auto sim = CreateSimRecord();
  SetDefaultSimulation(*sim, dir.path.string());
  if (!WriteSimStore(dir / "big.ds2", *sim)) std::abort();

  OptionsReadContext read;
  read.locate_model = [](ModelState& m, const std::string& path) {
    m.ModelFile = path;
    return true;
  };
  LoadChoice all;
  all.part = LoadPart::kAll;
  for (auto _ : state) {
    SessionSettings s;
    auto current = CreateSimRecord();
    SetDefaultSimulation(*current, dir.path.string());
    SimDetailsContext ctx{dir.path.string(), true};
    Notices notices;
    if (!LoadSimDetails(ds1, all, s, *current, ctx, notices, read)) std::abort();
    if (s.first_year_files.size() != static_cast<std::size_t>(kKeys)) std::abort();
    benchmark::DoNotOptimize(s);
  }
  state.SetItemsProcessed(state.iterations() * kKeys);
}
BENCHMARK(BM_LoadSimDetailsManyInputFiles)->Unit(benchmark::kMillisecond);

void BM_IniManyKeys(benchmark::State& state) {
  ScratchDir dir;
  const std::string path = dir / "big.ini";
  std::string text = "[Options]\nPlayMusic=0\n\n[Recent]\n";
  for (int i = 0; i < kKeys; ++i)
    text += "Key" + std::to_string(i) + "=value " + std::to_string(i) + "\n";
  if (!WriteFileAtomically(path, text)) std::abort();
  for (auto _ : state) {
    auto ini = IniFile::Load(path);
    if (!ini) std::abort();
    std::size_t found = 0;
    for (int i = 0; i < kKeys; ++i) found += ini->HasKey("recent", "KEY" + std::to_string(i));
    if (found != static_cast<std::size_t>(kKeys)) std::abort();
    // Updating keeps every line and adds the new key once.
    ini->Set("Recent", "Key0", "changed");
    ini->Set("Recent", "Fresh", "1");
    benchmark::DoNotOptimize(ini->Text());
  }
  state.SetItemsProcessed(state.iterations() * kKeys);
}
BENCHMARK(BM_IniManyKeys)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace yl
