#include "demo_window_support.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <cstdlib>

#include "support/program_run.h"

namespace yl::testing {

bool WaitUntil(const std::function<bool()>& done, int ms) {
  QElapsedTimer timer;
  timer.start();
  while (!done()) {
    if (timer.elapsed() > ms) return false;
    QTest::qWait(20);
  }
  return true;
}

void DemoWindowTest::SetUp() {
  DemoWorkTest::SetUp();
  WriteOptions(2, {"[Options]", "Warn about Temp Dir name=0"});
  DesktopSetup setup;
  setup.program_dir = BinDir();
  setup.processors = 2;
  setup.prompter = &prompter;
  desktop = std::make_unique<Desktop>(setup);
  ASSERT_EQ(desktop->Open(), Desktop::Start::kWindow);
  ASSERT_TRUE(WaitUntil([&] { return window().started(); }, 10000));
  ASSERT_TRUE(window().commands().LoadSimDetailsFile(WorkFile(ds1)));
  window().resize(1280, 800);
  window().show();
}

void DemoWindowTest::Shoot(const char* name) {
  if (const char* dir = std::getenv("YL_SCREENSHOT_DIR")) {
    // Let the layouts catch up with what the last action changed.
    QApplication::processEvents();
    window().grab().save(QString("%1/%2").arg(dir, name));
  }
}

}  // namespace yl::testing
