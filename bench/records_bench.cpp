// Where to Start over a long setup: the demo stretched to 999 periods, every unit of the
// three runs booked with its files on disk, so the report reads three full records and
// compares every stamp of every unit with the file of now.
//
//   BM_WhereToStart999: "Results Be the Same if Run Again" (sequence and still-ok).
//   BM_WhereToStartSequence999: "Just Check Run in Sequence".

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

#include "app/commands/run_checks_commands.h"
#include "app/run_units.h"
#include "app/session.h"
#include "env/dir_search.h"
#include "env/environment.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/text_file.h"
#include "records/run_record.h"
#include "settings/sim_details.h"
#include "sim/sim_naming.h"
#include "sim/sim_table.h"

namespace yl {
namespace {

constexpr int kPeriods = 999;

struct LongSetup {
  Session session;
  std::string root;
  // Twenty thousand files are not left behind in the temporary folder.
  ~LongSetup() {
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
  }
};

void Touch(const std::string& path) {
  if (!FileExists(path)) (void)WriteTextLines(path, {"x"});
}

LongSetup& Setup() {
  static std::unique_ptr<LongSetup> setup = [] {
    auto s = std::make_unique<LongSetup>();
    std::string root = (std::filesystem::temp_directory_path() / "ylrecbench-XXXXXX").string();
    if (!mkdtemp(root.data())) std::abort();
    s->root = root;
    setenv("SVKEEP", (root + "/keep").c_str(), 1);
    setenv("SVTEMP", (root + "/temp").c_str(), 1);
    ForceDirectories(root + "/keep");
    ForceDirectories(root + "/temp");
    const std::string work = root + "/work";
    const std::string cmd = ShellQuote(JoinPath(ProgramDirectory(), "yearloom-demo-setup")) + " " +
                            ShellQuote(work) + " >/dev/null";
    if (std::system(cmd.c_str()) != 0) std::abort();
    const std::string keep = DirectorySearch(KeepDirSearchParams()).dir;
    LoadChoice all;
    all.part = LoadPart::kAll;
    Notices notices;
    if (!LoadSimDetails(work + "/demomodel-BS1B-BR1R-PL1P.ds1", all, s->session.settings,
                        s->session.sim, {keep, true}, notices)) {
      std::abort();
    }
    TSimRecord& sim = s->session.sim;
    for (int k = sim.NumYears + 1; k <= kPeriods; ++k) {
      sim.LengthPeriods[k] = 1;
      for (int c = kBaseClosure; c <= kPolicyShocks; ++c) sim.CMFCells(k, c) = "?";
    }
    sim.NumYears = kPeriods;
    RecomputeYears(sim);
    NormaliseCells(sim);
    SessionSettings& st = s->session.settings;
    st.paths.keep_dir = keep;
    const int policy_start = QuietPolicyStart(sim, st);
    const records::RecordContext context = RecordContextOf(sim, st);
    // Every unit in an order a big job allows, its outputs made before it is booked.
    std::array<IniFile, 4> books;
    std::uint64_t now = 1;
    UnitLookups lookups;
    auto book = [&](const records::UnitRef& u) {
      const records::UnitDescription d = DescribeUnit(sim, st, policy_start, u, &lookups);
      for (const records::RecordedFile& f : d.files) {
        if (f.created && !f.optional) Touch(f.path);
      }
      records::BookUnit(books[u.run], d, context, ++now);
    };
    for (int y = 1; y <= kPeriods; ++y) {
      book({kBase, y, records::UnitKind::kSim});
      if (y < policy_start) continue;
      book({kRerun, y, records::UnitKind::kBot});
      book({kRerun, y, records::UnitKind::kSim});
      book({kPolicy, y, records::UnitKind::kSim});
    }
    for (Run r : {kBase, kRerun, kPolicy}) {
      book({r, kPeriods + 1, records::UnitKind::kSpreadsheet});
      const std::string copy = RunBookkeepingCopyFile(sim, st.model.ModelName, r, false);
      if (!books[r].Save(copy)) std::abort();
    }
    auto report = WhereToStartReport(sim, st, WhereToStartMode::kSameIfRunAgain);
    if (!report || report->left_to_do) {
      fprintf(stderr, "setup is not complete:\n%s\n", report ? report->text.c_str() : "");
      std::abort();
    }
    return s;
  }();
  return *setup;
}

void BM_WhereToStart999(benchmark::State& state) {
  LongSetup& s = Setup();
  for (auto _ : state) {
    auto report =
        WhereToStartReport(s.session.sim, s.session.settings, WhereToStartMode::kSameIfRunAgain);
    benchmark::DoNotOptimize(report);
  }
}
BENCHMARK(BM_WhereToStart999)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_WhereToStartSequence999(benchmark::State& state) {
  LongSetup& s = Setup();
  for (auto _ : state) {
    auto report =
        WhereToStartReport(s.session.sim, s.session.settings, WhereToStartMode::kJustSequence);
    benchmark::DoNotOptimize(report);
  }
}
BENCHMARK(BM_WhereToStartSequence999)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace yl
