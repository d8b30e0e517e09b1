#pragma once
// An AppController that starts nothing real: a fake process runner, a fake clock and a
// scripted prompter, for the tests of the window's commands.

#include "app/controller.h"
#include "support/fake_clock.h"
#include "support/fake_process_runner.h"
#include "support/scripted_prompter.h"

namespace yl::testing {

// Members of a fixture: construct `app` from FakeControllerEnvironment() after them.
struct FakeControllerParts {
  FakeProcessRunner runner;
  FakeClock clock;
  ScriptedPrompter prompter;

  ControllerEnvironment FakeControllerEnvironment() {
    ControllerEnvironment env;
    env.runner = &runner;
    env.clock = &clock;
    env.prompter = &prompter;
    return env;
  }
};

}  // namespace yl::testing
