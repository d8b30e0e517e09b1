#include "demo_support.h"

#include <cmath>

#include "core/text_util.h"
#include "env/dir_search.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/text_file.h"
#include "settings/sim_details.h"
#include "settings/sim_store.h"
#include "sim/sim_naming.h"
#include "support/program_run.h"

namespace yl::testing {

YearloomRun RunAndWait(const ProcessSpec& spec, std::chrono::seconds limit) {
  PosixProcessRunner runner;
  YearloomRun run;
  auto h = runner.Start(spec);
  if (!h) return run;
  const auto until = std::chrono::steady_clock::now() + limit;
  for (;;) {
    if (auto e = runner.Poll(*h)) {
      run.ran = true;
      run.exit = *e;
      break;
    }
    if (std::chrono::steady_clock::now() > until) {
      runner.Terminate(*h, std::chrono::seconds(2));
      break;
    }
    runner.WaitForAnyEnd({*h}, std::chrono::milliseconds(200));
  }
  if (!spec.output_file.empty()) run.output = ReadFileBytes(spec.output_file);
  return run;
}

void PollUntilTaskEnds(AppController& app, ProcessRunner& runner,
                       std::chrono::steady_clock::duration limit) {
  const auto until = std::chrono::steady_clock::now() + limit;
  while (app.TaskRunning() && std::chrono::steady_clock::now() < until) {
    runner.WaitForAnyEnd(app.WaitHandles(), std::chrono::seconds(1));
    app.Poll();
  }
}

void DemoWorkTest::SetUp() {
  work = scratch / work_name;
  std::vector<std::string> args{work};
  args.insert(args.end(), setup_options.begin(), setup_options.end());
  ProcessSpec setup{BinPath("yearloom-demo-setup"), args, scratch.path(), WindowState::kNormal,
                    scratch / "setup.txt"};
  YearloomRun r = RunAndWait(setup, std::chrono::seconds(60));
  ASSERT_TRUE(r.Succeeded()) << r.output;
  DirSearchResult k = DirectorySearch(KeepDirSearchParams());
  ASSERT_TRUE(k.found) << k.Messages();
  keep = k.dir;
  auto stored = ReadSimStore(ChangeFileExt(JoinPath(work, ds1), ".ds2"), work);
  ASSERT_TRUE(stored.has_value()) << stored.error();
  sim = **stored;
}

void DemoWorkTest::WriteOptions(int concurrent_solves, const std::vector<std::string>& more) {
  std::vector<std::string> lines{
      "[Environment]",
      std::string("Allow 2 Concurrent Solves=") + (concurrent_solves >= 2 ? "1" : "0"),
      std::string("Allow 3 Concurrent Solves=") + (concurrent_solves >= 3 ? "1" : "0")};
  lines.insert(lines.end(), more.begin(), more.end());
  ASSERT_TRUE(WriteTextLines(KeepFile("yearloom.ini"), lines));
}

YearloomRun DemoWorkTest::Yearloom(const std::vector<std::string>& args,
                                   const std::vector<std::string>& env) {
  ScopedEnv extra;
  for (const std::string& e : env) {
    const auto eq = e.find('=');
    extra.Set(e.substr(0, eq), e.substr(eq + 1));
  }
  // Each run's own output, not that of the runs before it.
  DeleteFileIfExists(scratch / "yearloom-output.txt");
  ProcessSpec spec{BinPath("yearloom"), args, work, WindowState::kNormal,
                   scratch / "yearloom-output.txt"};
  return RunAndWait(spec, std::chrono::minutes(10));
}

Session DemoWorkTest::LoadSession(Prompter& prompter) {
  Session session;
  LoadChoice all;
  all.part = LoadPart::kAll;
  Notices notices;
  auto loaded = LoadSimDetails(JoinPath(work, ds1), all, session.settings, session.sim,
                               {keep, true}, notices);
  ShowAll(prompter, notices);
  EXPECT_TRUE(loaded.has_value()) << loaded.error();
  DirSearchResult temp = DirectorySearch(TempDirSearchParams());
  EXPECT_TRUE(temp.found) << temp.Messages();
  session.settings.paths.temp_dir = temp.dir;
  session.settings.paths.keep_dir = keep;
  session.settings.paths.program_dir = BinDir();
  session.settings.options.FewerMessages = true;
  return session;
}

std::string DemoWorkTest::KeepFile(const std::string& name) const { return JoinPath(keep, name); }
std::string DemoWorkTest::WorkFile(const std::string& name) const { return JoinPath(work, name); }

std::string DemoWorkTest::Solution(int run, int period) const {
  return WorkFile(SolutionFileName(sim, run, period, false));
}

void PollUntilBackgroundEnds(AppController& app, ProcessRunner& runner,
                             std::chrono::steady_clock::duration limit) {
  const auto until = std::chrono::steady_clock::now() + limit;
  while (app.background().Busy() && std::chrono::steady_clock::now() < until) {
    runner.WaitForAnyEnd(app.WaitHandles(), std::chrono::milliseconds(200));
    app.Poll();
  }
}

DemoController::DemoController(Prompter& prompter, jobs::EngineHost* host)
    : app([&] {
        ControllerEnvironment e;
        e.program_dir = BinDir();
        e.runner = &runner;
        e.clock = &clock;
        e.prompter = &prompter;
        e.host = host;
        return e;
      }()) {}

std::unique_ptr<DemoController> DemoWorkTest::StartController(Prompter& prompter,
                                                              jobs::EngineHost* host) {
  auto c = std::make_unique<DemoController>(prompter, host);
  EXPECT_FALSE(c->app.StartUp().fatal());
  c->app.session() = LoadSession(prompter);
  return c;
}

TaskServices Services(ProcessRunner& runner, Clock& clock, Prompter& prompter,
                      jobs::EngineHost& host) {
  TaskServices s;
  s.runner = &runner;
  s.clock = &clock;
  s.prompter = &prompter;
  s.host = &host;
  return s;
}

double LargestResultDifference(const std::string& a, const std::string& b) {
  HarFile fa = ReadHarOrFail(a);
  HarFile fb = ReadHarOrFail(b);
  double largest = 0;
  for (const HarHeader& h : fa.headers) {
    if (Trim(h.name)[0] != 'C' || !h.IsReal()) continue;
    std::vector<double> va = HeaderValues(fa, h.name), vb = HeaderValues(fb, h.name);
    if (va.size() != vb.size()) return INFINITY;
    for (std::size_t i = 0; i < va.size(); ++i) {
      largest = std::max(largest, std::fabs(va[i] - vb[i]) / (1 + std::fabs(va[i])));
    }
  }
  return largest;
}

}  // namespace yl::testing
