// How long the window's event loop stalls while the demo's Run All runs from the button:
// a 10 ms timer records how late it fires. Lays the demo out in a fresh directory with its
// own home, keep and temporary directories, on the offscreen platform unless a display is
// chosen.
//   yl_window_stall [RUNS]

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/controller.h"
#include "env/environment.h"
#include "platform/process.h"
#include "settings/options_file.h"
#include "ui/desktop.h"
#include "ui/main_window.h"

namespace {

// Answers every question with its first "go on" button, as a user in a hurry would.
class GoOnPrompter : public yl::Prompter {
 public:
  yl::Button Show(const yl::Message& m) override {
    for (yl::Button b : {yl::kOk, yl::kYes}) {
      if (m.buttons & b) return b;
    }
    return yl::kOk;
  }
  std::vector<std::string> ChooseFiles(const yl::FileRequest&) override { return {}; }
  std::optional<std::string> ChooseDirectory(const yl::DirectoryRequest&) override {
    return std::nullopt;
  }
};

bool RunQuiet(const std::string& program, const std::vector<std::string>& args) {
  yl::PosixProcessRunner runner;
  yl::ProcessSpec spec{program, args, "", yl::WindowState::kNormal, "/dev/null"};
  auto h = runner.Start(spec);
  if (!h) return false;
  for (;;) {
    if (auto e = runner.Poll(*h)) return e->exited_normally && e->code == 0;
    runner.WaitForAnyEnd({*h}, std::chrono::milliseconds(100));
  }
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
  namespace fs = std::filesystem;
  const fs::path root =
      fs::temp_directory_path() /
      ("yl-stall-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
  fs::create_directories(root / "home");
  setenv("HOME", (root / "home").c_str(), 1);
  for (const char* v : {"XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME", "SVKEEP", "SVTEMP"}) {
    unsetenv(v);
  }
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  const std::string bin = yl::ProgramDirectory();
  const std::string work = (root / "demo work").string();
  if (!RunQuiet(bin + "/yearloom-demo-setup", {work})) {
    std::fprintf(stderr, "cannot lay out the demo in %s\n", work.c_str());
    return 1;
  }
  std::string ds1;
  for (const auto& e : fs::directory_iterator(work)) {
    if (e.path().extension() == ".ds1") ds1 = e.path().string();
  }

  QApplication qapp(argc, argv);
  GoOnPrompter prompter;
  yl::DesktopSetup setup;
  setup.program_dir = bin;
  setup.processors = 3;
  setup.prompter = &prompter;
  yl::Desktop desktop(setup);
  if (desktop.Open() != yl::Desktop::Start::kWindow) {
    std::fprintf(stderr, "the window did not open: %s\n", desktop.refusal().c_str());
    return 1;
  }
  yl::MainWindow& window = desktop.window();
  window.show();
  while (!window.started()) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  if (!window.commands().LoadSimDetailsFile(ds1)) {
    std::fprintf(stderr, "cannot load %s\n", ds1.c_str());
    return 1;
  }
  yl::Options& o = desktop.app().session().settings.options;
  o.FewerMessages = true;
  o.ConcurrentSolves = 3;

  std::printf("run  seconds  ticks  worst stall (ms)  median lateness (ms)\n");
  double worst_of_all = 0;
  for (int run = 1; run <= runs; ++run) {
    std::vector<double> lateness;
    QElapsedTimer since;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    probe.setInterval(10);
    QObject::connect(&probe, &QTimer::timeout, [&] {
      lateness.push_back(std::max(0.0, static_cast<double>(since.nsecsElapsed()) / 1e6 - 10.0));
      since.restart();
    });
    bool ended = false;
    bool success = false;
    auto c = QObject::connect(&window, &yl::MainWindow::TaskEnded, [&](bool ok) {
      ended = true;
      success = ok;
    });
    QElapsedTimer wall;
    wall.start();
    since.start();
    probe.start();
    window.RunButton(yl::TaskKind::kRunAll)->click();
    while (!ended) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
    probe.stop();
    QObject::disconnect(c);
    if (!success) {
      std::fprintf(stderr, "run %d failed\n", run);
      return 1;
    }
    std::vector<double> sorted = lateness;
    std::sort(sorted.begin(), sorted.end());
    const double worst = sorted.empty() ? 0 : sorted.back();
    const double median = sorted.empty() ? 0 : sorted[sorted.size() / 2];
    worst_of_all = std::max(worst_of_all, worst);
    std::printf("%3d  %7.2f  %5zu  %16.1f  %20.2f\n", run, wall.elapsed() / 1000.0, lateness.size(),
                worst, median);
  }
  std::printf("worst event-loop stall over %d runs: %.1f ms (goal: under 100 ms)\n", runs,
              worst_of_all);
  window.close();
  std::error_code ec;
  fs::remove_all(root, ec);
  return 0;
}
