// Every item of the Zip menu is carried by its command.

#include <gtest/gtest.h>

#include "app/window/menu_model.h"
#include "app/window/window_commands.h"
#include "support/fake_clock.h"
#include "support/fake_process_runner.h"
#include "support/scripted_prompter.h"

namespace yl {
namespace {

using testing::FakeProcessRunner;
using testing::ScriptedPrompter;

TEST(ZipMenuTest, EveryZipItemRunsACommand) {
  FakeProcessRunner runner;
  FakeClock clock;
  ScriptedPrompter prompter;
  ControllerEnvironment env;
  env.runner = &runner;
  env.clock = &clock;
  env.prompter = &prompter;
  AppController app(env);
  WindowCommands commands(app, prompter, {});
  int zip_items = 0;
  for (const std::string& key : AllCommandKeys()) {
    if (key.rfind("Zip > ", 0) != 0) continue;
    ++zip_items;
    EXPECT_TRUE(commands.Available(key)) << key;
  }
  EXPECT_EQ(zip_items, 31);  // 22 items and the nine of the three closure/shock submenus
  // A command whose dialog is cancelled does nothing and says nothing.
  ASSERT_TRUE(commands.Run("Zip > List files in ZIP file"));
  EXPECT_EQ(prompter.file_requests.size(), 1u);
  EXPECT_TRUE(prompter.messages.empty());
}

}  // namespace
}  // namespace yl
