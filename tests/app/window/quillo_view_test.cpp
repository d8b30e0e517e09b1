// View > Main Quillo file on a session that loaded only the Sim Details: the TAB file is
// found through the MIN, beside the model, and opens at once without an extraction.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/controller.h"
#include "app/demo_support.h"
#include "app/window/window_commands.h"
#include "platform/paths.h"
#include "support/program_run.h"
#include "support/scripted_prompter.h"

namespace yl::testing {
namespace {

class QuilloViewTest : public DemoWorkTest {};

TEST_F(QuilloViewTest, TheTabFileBesideTheModelOpensWithoutAJob) {
  ScriptedPrompter prompter;
  auto c = StartController(prompter);
  AppController& app = c->app;
  ASSERT_TRUE(app.session().settings.model.TabFileName.empty());  // not kept in Sim Details
  std::vector<std::vector<std::string>> opened;
  WindowHooks hooks;
  hooks.start_detached = [&](const std::vector<std::string>& argv, const std::string&) {
    opened.push_back(argv);
    return Status{};
  };
  WindowCommands commands(app, prompter, hooks);
  ASSERT_TRUE(commands.Run("View > Main Quillo file"));
  EXPECT_FALSE(app.background().Busy());
  ASSERT_EQ(opened.size(), 1u) << ::testing::PrintToString(prompter.Texts());
  EXPECT_THAT(opened.front(), ::testing::Contains(JoinPath(BinDir(), "demomodel.tab")));
  // The demo's compiler ran without an STI file, and the MIN says so.
  ASSERT_TRUE(commands.Run("View > Quillo STI (Condensation) file"));
  EXPECT_EQ(prompter.Last().text, "No STI file was used to run Quillo.");
  EXPECT_FALSE(app.background().Busy());
}

}  // namespace
}  // namespace yl::testing
