// The engine's own cost per job part on a 100-period task of all three runs: the demo's
// setup stretched to 100 periods, every tool replaced by an instant stand-in, so what is
// measured is preparing files, launching, noticing the end, judging and booking.
//
//   BM_EngineInstantTools: stand-ins that finish inside the runner (no process at all).
//   BM_EngineShellTools:   each part a real process (/bin/sh writing the report and check
//                          files); the tools' own time is measured apart and subtracted.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>

#include "app/part_preparer.h"
#include "app/session.h"
#include "app/task_driver.h"
#include "env/dir_search.h"
#include "env/environment.h"
#include "jobs/job_engine.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/text_file.h"
#include "settings/sim_details.h"
#include "sim/sim_naming.h"
#include "sim/sim_policy_start.h"
#include "sim/sim_table.h"

namespace yl {
namespace {

constexpr int kPeriods = 100;

class SilentPrompter : public Prompter {
 public:
  Button Show(const Message& m) override {
    for (Button b : {kOk, kNo, kYes}) {
      if (m.buttons & b) return b;
    }
    return kOk;
  }
  std::vector<std::string> ChooseFiles(const FileRequest&) override { return {}; }
  std::optional<std::string> ChooseDirectory(const DirectoryRequest&) override {
    return std::nullopt;
  }
};

using QuietHost = jobs::EngineHost;

// The demo laid out once per program run, in a private scratch directory.
struct DemoSetup {
  std::string root;
  Session session;
  int policy_start = 1;
};

DemoSetup& Demo() {
  static DemoSetup* demo = [] {
    auto* d = new DemoSetup;
    std::string templ = (std::filesystem::temp_directory_path() / "ylbench-XXXXXX").string();
    if (!mkdtemp(templ.data())) std::abort();
    d->root = templ;
    setenv("SVKEEP", (d->root + "/keep").c_str(), 1);
    setenv("SVTEMP", (d->root + "/temp").c_str(), 1);
    ForceDirectories(d->root + "/keep");
    ForceDirectories(d->root + "/temp");
    const std::string bin = ProgramDirectory();
    const std::string work = d->root + "/work";
    const std::string cmd =
        ShellQuote(JoinPath(bin, "yearloom-demo-setup")) + " " + ShellQuote(work) + " >/dev/null";
    if (std::system(cmd.c_str()) != 0) std::abort();
    const std::string keep = DirectorySearch(KeepDirSearchParams()).dir;
    LoadChoice all;
    all.part = LoadPart::kAll;
    Notices notices;
    if (!LoadSimDetails(work + "/demomodel-BS1B-BR1R-PL1P.ds1", all, d->session.settings,
                        d->session.sim, {keep, true}, notices)) {
      std::abort();
    }
    TSimRecord& sim = d->session.sim;
    // Every added period as the one before ("?"), as the demo's own later periods are.
    const std::string as_previous(1, '?');
    for (int k = sim.NumYears + 1; k <= kPeriods; ++k) {
      sim.LengthPeriods[k] = 1;
      for (int c = kBaseClosure; c <= kPolicyShocks; ++c) sim.CMFCells(k, c) = as_previous;
    }
    sim.NumYears = kPeriods;
    RecomputeYears(sim);
    NormaliseCells(sim);
    SessionPaths& p = d->session.settings.paths;
    p.keep_dir = keep;
    p.temp_dir = DirectorySearch(TempDirSearchParams()).dir;
    p.program_dir = bin;
    d->policy_start = PolicyStartSim(sim, kPolicy, {}).Period;
    return d;
  }();
  return *demo;
}

// Remembers what was prepared, so that a stand-in knows which files to leave behind.
class RecordingPreparer : public jobs::PartPreparer {
 public:
  explicit RecordingPreparer(SimPartPreparer& inner) : inner_(inner) {}
  void PlanMade(const jobs::JobPlan& plan) override { inner_.PlanMade(plan); }
  Status PrepareSlotDirectories(int f, int l) override {
    return inner_.PrepareSlotDirectories(f, l);
  }
  std::vector<std::string> ClearOutputs() override { return inner_.ClearOutputs(); }
  Result<jobs::PreparedPart> Prepare(const jobs::JobChoice& c, int slot) override {
    auto p = inner_.Prepare(c, slot);
    if (p) {
      last_choice = c;
      last = *p;
    }
    return p;
  }
  Status AfterSimPart(int run, int year, int f, int l) override {
    return inner_.AfterSimPart(run, year, f, l);
  }
  std::string ProgramName(const jobs::JobChoice& c) const override { return inner_.ProgramName(c); }
  std::string ModelPath() const override { return inner_.ModelPath(); }

  jobs::JobChoice last_choice;
  jobs::PreparedPart last;

 private:
  SimPartPreparer& inner_;
};

// What the part must leave: its report, its check file, and for a solve the updated data.
std::vector<std::string> Outputs(const Session& s, const RecordingPreparer& r) {
  std::vector<std::string> out{r.last.check_file};
  const jobs::JobChoice& c = r.last_choice;
  if (c.job == JobKind::kSim && c.part == PartKind::kSim) {
    for (int f = 1; f <= s.sim.NumDinFiles; ++f) {
      const TDinFileEntry& e = s.sim.DinFiles[f];
      if (e.IsInput && e.IsUpdated) {
        out.push_back(InSimDir(s.sim, UpdatedFileName(s.sim, f, c.run, c.year, false)));
      }
    }
  }
  return out;
}

// Every part ends the moment it starts, inside the runner.
class InstantRunner : public ProcessRunner {
 public:
  InstantRunner(const Session& s, const RecordingPreparer& r) : session_(s), recorder_(r) {}
  Result<ProcessHandle> Start(const ProcessSpec&) override {
    (void)WriteTextLines(recorder_.last.report_file, {"[Result]", "Status=ok"});
    for (const auto& f : Outputs(session_, recorder_)) (void)WriteTextLines(f, {});
    return ProcessHandle{++next_, -1};
  }
  std::optional<ProcessExit> Poll(ProcessHandle&) override { return ProcessExit{true, 0}; }
  using ProcessRunner::WaitForAnyEnd;
  void WaitForAnyEnd(const std::vector<ProcessHandle>&, std::chrono::milliseconds, int) override {}
  void Terminate(ProcessHandle&, std::chrono::milliseconds) override {}
  void SendStop(const ProcessHandle&, bool) override {}

 private:
  const Session& session_;
  const RecordingPreparer& recorder_;
  int next_ = 0;
};

// Every part a real process: a shell that leaves the same files behind.
class ShellRunner : public PosixProcessRunner {
 public:
  ShellRunner(const Session& s, const RecordingPreparer& r) : session_(s), recorder_(r) {}
  static ProcessSpec Shell(const std::string& report, const std::vector<std::string>& files) {
    std::string script = "printf '[Result]\\nStatus=ok\\n' > " + ShellQuote(report);
    for (const auto& f : files) script += "; : > " + ShellQuote(f);
    return ProcessSpec{"/bin/sh", {"-c", script}, "/", WindowState::kNormal, ""};
  }
  Result<ProcessHandle> Start(const ProcessSpec&) override {
    return PosixProcessRunner::Start(
        Shell(recorder_.last.report_file, Outputs(session_, recorder_)));
  }

 private:
  const Session& session_;
  const RecordingPreparer& recorder_;
};

jobs::PlanRequest AllRuns() {
  jobs::PlanRequest r = jobs::PlanRequest::Nothing(kPeriods);
  for (int run = kBase; run <= kPolicy; ++run) {
    r.first_sim_year[run] = r.first_ss_year[run] = 1;
    r.last_sim_year[run] = r.last_ss_year[run] = kPeriods;
  }
  return r;
}

template <class Runner>
void RunEngine(benchmark::State& state, double tool_seconds_per_part) {
  DemoSetup& d = Demo();
  Session& s = d.session;
  s.settings.options.ConcurrentSolves = 3;
  const JobContext c = MakeJobContext(s, d.policy_start);
  SilentPrompter prompter;
  QuietHost host;
  SystemClock clock;
  double parts = 0;
  double seconds = 0;
  for (auto _ : state) {
    SimPartPreparer inner(c, s.settings, true, prompter);
    RecordingPreparer preparer(inner);
    Runner runner(s, preparer);
    jobs::JobEngine engine(runner, clock, prompter, preparer, host);
    jobs::EngineSettings e = EngineSettingsFor(s, d.policy_start, true, false);
    e.last_slot = 3;
    e.fewer_messages = true;
    const auto t0 = std::chrono::steady_clock::now();
    if (!engine.Start(e, AllRuns())) state.SkipWithError(engine.outcome_message().c_str());
    while (engine.Running()) {
      runner.WaitForAnyEnd(engine.ActiveHandles(), std::chrono::seconds(1));
      while (engine.Tick()) {
      }
    }
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    if (engine.state() != jobs::EngineState::kFinished) {
      state.SkipWithError(engine.outcome_message().c_str());
      break;
    }
    parts += engine.counters().parts_finished;
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["parts"] = parts / n;
  state.counters["wall_s"] = seconds / n;
  // Three slots overlap the tools; their time per part is divided by the slots in use.
  state.counters["overhead_ms_per_part"] =
      1000.0 * (seconds / n - tool_seconds_per_part * parts / n / 3) / (parts / n);
}

void BM_EngineInstantTools(benchmark::State& state) { RunEngine<InstantRunner>(state, 0); }

// One shell stand-in run alone, start to reaped: the tools' own time of the shell variant.
double ShellToolSeconds() {
  const std::string dir = Demo().root + "/toolcost";
  ForceDirectories(dir);
  PosixProcessRunner runner;
  constexpr int kRuns = 50;
  const auto t0 = std::chrono::steady_clock::now();
  for (int i = 0; i < kRuns; ++i) {
    auto h = runner.Start(ShellRunner::Shell(dir + "/r.rpt", {dir + "/c.chk"}));
    if (!h) return 0;
    while (!runner.Poll(*h)) runner.WaitForAnyEnd({*h}, std::chrono::seconds(1));
  }
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count() / kRuns;
}

void BM_EngineShellTools(benchmark::State& state) {
  static const double tool = ShellToolSeconds();
  state.counters["tool_ms_per_part"] = tool * 1000;
  RunEngine<ShellRunner>(state, tool);
}

BENCHMARK(BM_EngineInstantTools)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_EngineShellTools)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace
}  // namespace yl
