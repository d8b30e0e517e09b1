// The report items of the File and Tasks menus: each writes its report and, when the user
// wants to see it, opens it in the editor.

#include <gtest/gtest.h>

#include "app/fake_controller.h"

#include "app/controller.h"
#include "app/window/window_commands.h"
#include "platform/files.h"
#include "sim/sim_defaults.h"
#include "support/fake_clock.h"
#include "support/fake_process_runner.h"
#include "support/scratch_dir.h"
#include "support/scripted_prompter.h"

namespace yl::testing {
namespace {

class ReportMenuTest : public IsolatedEnvTest, protected FakeControllerParts {
 protected:
  ReportMenuTest() : app(FakeControllerEnvironment()) {
    work = scratch.MakeDir("work");
    SetDefaultSimulation(app.session().sim, work);
    app.session().settings.options.Editor = "/usr/bin/my-editor";
    hooks.start_detached = [this](const std::vector<std::string>& argv, const std::string&) {
      started.push_back(argv);
      return Ok();
    };
  }
  AppController app;
  WindowHooks hooks;
  std::vector<std::vector<std::string>> started;
  std::string work;
};

TEST_F(ReportMenuTest, EachItemWritesItsReportAndOpensItOnYes) {
  struct Case {
    const char* key;
    const char* title;
  };
  const Case cases[] = {
      {"File > Write Report of Closure/Shocks page", "Report Closure/Shocks files in Simulation"},
      {"File > Write Report of all Ingredients", "Report Ingredients of Simulations"},
      {"File > Write Report Showing When Sims Were Last Run",
       "Report When Simulations Were Last Run"},
      {"Tasks > When Were Sims Last Run ?", "Report When Simulations Were Last Run"},
  };
  WindowCommands commands(app, prompter, hooks);
  for (const Case& c : cases) {
    const std::string report = work + "/report.txt";
    DeleteFileIfExists(report);
    started.clear();
    prompter.file_answers.push_back({report});
    prompter.Answer(kYes);
    ASSERT_TRUE(commands.Run(c.key)) << c.key;
    EXPECT_EQ(prompter.file_requests.back().title, c.title);
    EXPECT_TRUE(FileExists(report)) << c.key;
    EXPECT_EQ(started, (std::vector<std::vector<std::string>>{{"/usr/bin/my-editor", report}}))
        << c.key;
  }
  // No: written, not opened.
  started.clear();
  prompter.file_answers.push_back({work + "/kept.dr0"});
  prompter.Answer(kNo);
  ASSERT_TRUE(commands.Run("File > Write Report of Closure/Shocks page"));
  EXPECT_TRUE(FileExists(work + "/kept.dr0"));
  EXPECT_TRUE(started.empty());
  EXPECT_TRUE(commands.Available("File > Compare Two Lots of Closure/Shocks files"));
}

}  // namespace
}  // namespace yl::testing
