#pragma once
// The window opened on the demo's Sim Details, for the pages' widget tests.

#include <QWidget>
#include <functional>
#include <memory>
#include <string>

#include "app/demo_support.h"
#include "support/scripted_prompter.h"
#include "ui/desktop.h"
#include "ui/main_window.h"

namespace yl::testing {

// Runs the event loop until `done` holds or `ms` milliseconds have passed.
bool WaitUntil(const std::function<bool()>& done, int ms);

class DemoWindowTest : public DemoWorkTest {
 protected:
  void SetUp() override;
  void TearDown() override { desktop.reset(); }
  MainWindow& window() { return desktop->window(); }
  Session& session() { return desktop->app().session(); }
  // With YL_SCREENSHOT_DIR set, the window is saved there under `name`.
  void Shoot(const char* name);

  ScriptedPrompter prompter;
  std::unique_ptr<Desktop> desktop;
};

}  // namespace yl::testing
