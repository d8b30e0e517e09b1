// The menus' enabling rules, their check marks and dynamic captions, and the promise that
// no item does nothing silently.

#include "app/window/menu_model.h"

#include <gtest/gtest.h>

#include "app/fake_controller.h"

#include <set>

#include "app/commands/re_commands.h"
#include "app/controller.h"
#include "app/window/window_commands.h"
#include "support/fake_clock.h"
#include "support/fake_process_runner.h"
#include "support/scripted_prompter.h"

namespace yl::testing {
namespace {

MenuEntryState StateOf(const std::string& key, const MenuContext& w, const Options& o) {
  const MenuItemSpec* item = FindMenuItem(key);
  EXPECT_NE(item, nullptr) << key;
  if (!item) return {};
  return StateOfItem(*item, w, o, true);
}

struct EnablingCase {
  const char* what;
  std::function<void(MenuContext&, Options&)> set;
  const char* key;
  bool visible;
  bool enabled;
};

TEST(MenuModel, EnablingRules) {
  auto running = [](MenuContext& w, Options&) { w.job_running = true; };
  auto idle = [](MenuContext&, Options&) {};
  auto developer = [](MenuContext& w, Options& o) {
    o.DeveloperMode = true;
    w.job_running = false;
  };
  auto model = [](MenuContext& w, Options&) { w.model_chosen = w.model_file_exists = true; };
  auto model_running_no_tab = [](MenuContext& w, Options&) {
    w.model_chosen = w.model_file_exists = w.job_running = true;
  };
  auto two_run = [](MenuContext&, Options& o) { o.NoRerun = true; };
  auto jobs_log = [](MenuContext&, Options& o) { o.AddToJobsLog = true; };
  auto re_hidden = [](MenuContext&, Options& o) { o.HideRe = true; };
  auto no_har = [](MenuContext&, Options& o) { o.Re.PrepareHar = false; };
  auto several_rerun = [](MenuContext&, Options& o) {
    o.DeveloperMode = true;
    o.Re.SeveralIterationsOnRerun = true;
  };
  const std::vector<EnablingCase> cases = {
      {"idle", idle, "File > Load Simulation Details...", true, true},
      {"running", running, "File > Load Simulation Details...", true, false},
      {"running", running, "File > Save Simulation Details As...", true, false},
      {"running", running, "File > Shell to Dos in Temp Dir", true, true},
      {"running", running, "Options > Specify Temporary Directory", true, false},
      {"running", running, "Options > Check Temporary Directory", true, true},
      {"running", running, "Run Preferences > Allow 2 Concurrent Solves", true, false},
      {"running", running, "Run Preferences > Check Job Prerequisites", true, true},
      {"running", running, "Tasks > Run Base to Policy", true, false},
      {"running", running, "Tasks > Check all policy closures", true, false},
      {"running", running, "Tasks > Where to Start?  Results Be the Same if Run Again", true, true},
      {"running", running, "Zip > Zip up All Results", true, false},
      {"idle", idle, "Tasks > Summary of Current Job", true, false},
      {"running", running, "Tasks > Summary of Current Job", true, true},
      {"no model", idle, "File > Edit Dynamic Info File", true, false},
      {"model", model, "File > Edit Dynamic Info File", true, true},
      {"model, running", model_running_no_tab, "File > Edit Dynamic Info File", true, false},
      {"model", model, "View > Main Quillo file", true, true},
      {"model, running, TAB unknown", model_running_no_tab, "View > Main Quillo file", true, false},
      {"no error log", idle, "View > Last Error Log", true, false},
      {"jobs log off", idle, "View > Jobs Log File", true, false},
      {"jobs log on", jobs_log, "View > Jobs Log File", true, true},
      {"jobs log on", jobs_log, "Run Preferences > View Jobs Log File", true, true},
      {"not developer", idle, "File > Shell to Dos in KeepDir", false, true},
      {"developer", developer, "File > Shell to Dos in KeepDir", true, true},
      {"not developer", idle, "Options > Don't update INI file when exit", false, true},
      {"two runs", two_run, "Tasks > Do Base and Base Rerun", false, true},
      {"two runs", two_run, "Tasks > Run Base to Policy", true, true},
      {"three runs", idle, "Tasks > Do Base and Base Rerun", true, true},
      {"RE hidden", re_hidden, "Rational Expectations > Do Base and Base Rerun", false, true},
      {"two runs", two_run, "Rational Expectations > Rerun Base and Run Policy", false, true},
      {"two runs", two_run, "Rational Expectations > View Convergence HAR File > Base Rerun", false,
       true},
      {"two runs", two_run, "Rational Expectations > Run Base, BaseRerun and Policy", true, true},
      {"running", running, "Rational Expectations > Preserve Convergence CSV Files", true, false},
      {"HAR files off", no_har, "Rational Expectations > View Convergence HAR File", true, false},
      {"HAR files on", idle, "Rational Expectations > View Convergence HAR File", true, true},
      {"not developer", idle, "Rational Expectations > Base Rerun: Do Extra Iterations", false,
       false},
      {"developer", developer, "Rational Expectations > Base Rerun: Do Extra Iterations", true,
       false},
      {"several Rerun iterations", several_rerun,
       "Rational Expectations > Base Rerun: Do Extra Iterations", true, true},
  };
  for (const EnablingCase& c : cases) {
    MenuContext w;
    Options o;
    c.set(w, o);
    const MenuEntryState s = StateOf(c.key, w, o);
    EXPECT_EQ(s.visible, c.visible) << c.what << ": " << c.key;
    EXPECT_EQ(s.enabled, c.enabled) << c.what << ": " << c.key;
  }
}

TEST(MenuModel, CaptionsAndCheckMarksFollowTheOptions) {
  MenuContext w;
  Options o;
  o.ClearTempDirAtExit = false;
  o.Outputs = OutputsBeforeRun::kMove;
  o.ConcurrentSolves = 3;
  EXPECT_EQ(StateOf("Options > Delete Temp Dir Files when Exit ?", w, o).caption,
            "Delete Temp Dir Files when Exit ?      [No]");
  EXPECT_EQ(StateOf("Run Preferences > Move/Delete Outputs Before Run ?", w, o).caption,
            "Move/Delete Outputs Before Run ?      [Move]");
  const std::string rp = "Run Preferences > ";
  EXPECT_TRUE(StateOf(rp + "Allow 3 Concurrent Solves", w, o).checked);
  EXPECT_FALSE(StateOf(rp + "Allow 2 Concurrent Solves", w, o).checked);
  EXPECT_FALSE(StateOf(rp + "Just One Solve (no. 1)", w, o).checked);
  EXPECT_TRUE(
      StateOf(rp + "Move/Delete Outputs Before Run ? > Move to Subdirectory", w, o).checked);
  o.JustOneSolveNo2 = true;
  EXPECT_TRUE(StateOf(rp + "Just One Solve (no. 2)", w, o).checked);
  const std::string re = "Rational Expectations > ";
  o.Re.StandardChecks = false;
  EXPECT_FALSE(StateOf(re + "Carry out Standard CORVAN Checks", w, o).checked);
  EXPECT_TRUE(StateOf(re + "Create Convergence HAR Files", w, o).checked);
  EXPECT_EQ(StateOf(re + "Run Base, BaseRerun and Policy", w, o).caption,
            "Run Base, BaseRerun and Policy");
  o.NoRerun = true;
  EXPECT_EQ(StateOf(re + "Run Base, BaseRerun and Policy", w, o).caption, "Run Base and Policy");
  EXPECT_FALSE(StateOf(rp + "Allow 3 Concurrent Solves", w, o).checked);
}

TEST(MenuModel, KeysAreUniqueAndPlainCaptionsDropAccelerators) {
  const std::vector<std::string> keys = AllCommandKeys();
  const std::set<std::string> unique(keys.begin(), keys.end());
  EXPECT_EQ(unique.size(), keys.size());
  EXPECT_GT(keys.size(), 120u);
  EXPECT_EQ(PlainCaption("Save Simulation Details &As..."), "Save Simulation Details As...");
  EXPECT_EQ(PlainCaption("Fish && &Chips  "), "Fish & Chips");
}

// A controller that starts nothing real, for the window's commands.
class WindowCommandsTest : public ::testing::Test, protected FakeControllerParts {
 protected:
  WindowCommandsTest() : app(FakeControllerEnvironment()) {}
  AppController app;
};

TEST_F(WindowCommandsTest, EveryItemIsCarriedByACommandOrSaysItIsNotAvailableYet) {
  WindowCommands commands(app, prompter, {});
  int carried = 0;
  for (const std::string& key : AllCommandKeys()) {
    const MenuEntryState s = commands.ItemState(*FindMenuItem(key));
    if (commands.Available(key)) {
      ++carried;
      EXPECT_TRUE(s.tooltip.empty()) << key;
    } else {
      EXPECT_FALSE(s.enabled) << key;
      EXPECT_EQ(s.tooltip, kNotAvailableYet) << key;
      EXPECT_FALSE(commands.Run(key)) << key;
    }
  }
  // The window's own commands, the run checks and the preferences are all carried.
  EXPECT_GT(carried, 60);
  for (const char* key : {"File > Exit", "Options > Fewer Messages and Questions",
                          "Tasks > Run Base to Policy", "Help > Contents"}) {
    EXPECT_TRUE(commands.Available(key)) << key;
  }
}

TEST_F(WindowCommandsTest, TheRationalExpectationsSettingsToggleAndSaySo) {
  WindowCommands commands(app, prompter, {});
  ReSettings& re = app.session().settings.options.Re;
  re = ReSettings{};
  const std::string m = "Rational Expectations > ";
  struct Case {
    std::string key;
    bool* flag;
    std::string off_text;
  };
  const std::vector<Case> cases{
      {m + "Create Convergence HAR Files", &re.PrepareHar,
       "Will not preserve Convergence HAR Files"},
      {m + "Preserve Convergence ROREXT Files", &re.PrepareRorext,
       "Will not preserve Convergence ROREXT Files"},
      {m + "Preserve Convergence CSV Files", &re.PrepareCsv,
       "Will not preserve Convergence CSV Files"},
      {m + "Carry out Standard CORVAN Checks", &re.StandardChecks,
       "Will not carry out standard CORVAN checks when doing rational expectations."},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(commands.Run(c.key)) << c.key;
    EXPECT_FALSE(*c.flag) << c.key;
    EXPECT_EQ(prompter.Last().text, c.off_text);
    ASSERT_TRUE(commands.Run(c.key));
    EXPECT_TRUE(*c.flag) << c.key;
    EXPECT_EQ(prompter.Last().text, "Will" + c.off_text.substr(8));
  }
  ASSERT_TRUE(commands.Run(m + "TAB File Allows Several Iterations on Rerun"));
  EXPECT_TRUE(re.SeveralIterationsOnRerun);
  EXPECT_EQ(prompter.Last().text,
            "Will allow more than one iteration when doing the Rerun under rational "
            "expectations.\r\nNote that the TAB file for your model must also allow this.");
}

TEST_F(WindowCommandsTest, TheRationalExpectationsRulesRefuseWhatTheSettingsForbid) {
  WindowCommands commands(app, prompter, {});
  Options& o = app.session().settings.options;
  o.Re.DoRe = false;
  ASSERT_TRUE(commands.Run("Rational Expectations > Run Base, BaseRerun and Policy"));
  EXPECT_EQ(prompter.Last().text,
            "If you want to do Rational Expectations, you need to\r\ncheck the \"Do Rational "
            "Expectations ?\" box on the Sim Overview page.");
  EXPECT_FALSE(app.TaskRunning());

  o.Re.SeveralIterationsOnRerun = false;
  ASSERT_TRUE(commands.Run("Rational Expectations > Base Rerun: Do Extra Iterations"));
  EXPECT_EQ(prompter.Last().text,
            "This is only possible if your TAB file allows more than one iteration of Rerun.\r\n"
            "If so, please check the relevant menu item under the Rational Expectations menu.");

  o.Re.DoRe = true;
  o.HideRe = false;
  ASSERT_TRUE(commands.Run("Options > Hide Rational Expectations"));
  EXPECT_FALSE(o.HideRe);
  EXPECT_EQ(prompter.Last().text,
            "Sorry. You cannot hide the Rational Expectations part of the\r\n Sim Overview page "
            "since the \"Do Rational Expectations?\" box is checked.");
  o.Re.DoRe = false;
  ASSERT_TRUE(commands.Run("Options > Hide Rational Expectations"));
  EXPECT_TRUE(o.HideRe);

  SetRerunIterations(app.session(), prompter, 3);
  EXPECT_EQ(o.Re.RerunIterations, 1);
  EXPECT_EQ(prompter.Last().text, "Only one iteration is allowed for the Base Rerun.");
  o.Re.SeveralIterationsOnRerun = true;
  SetRerunIterations(app.session(), prompter, 3);
  EXPECT_EQ(o.Re.RerunIterations, 3);
}

TEST_F(WindowCommandsTest, EachToggleSaysWhatItChanged) {
  std::vector<int> help;
  WindowHooks hooks;
  hooks.show_help = [&](int topic) { help.push_back(topic); };
  WindowCommands commands(app, prompter, hooks);
  Options& o = app.session().settings.options;
  o.FewerMessages = false;
  o.VisibleLogFiles = false;
  o.SuppressScreenSaver = true;

  ASSERT_TRUE(commands.Run("Options > Fewer Messages and Questions"));
  EXPECT_TRUE(o.FewerMessages);
  EXPECT_EQ(prompter.Last().text, "Yearloom will give fewer messages and questions.");
  EXPECT_EQ(prompter.Last().help_topic, kHelpFewerMessages);
  ASSERT_TRUE(
      commands.Run("Options > Delete Temp Dir Files when Exit ? > "
                   "Do Not Delete Temp Dir Files when Exit"));
  EXPECT_FALSE(o.ClearTempDirAtExit);
  EXPECT_EQ(prompter.Last().text,
            "Will not delete all files in Temporary Directory when you exit from Yearloom.");
  ASSERT_TRUE(commands.Run("Run Preferences > Log Files Visible During Run"));
  EXPECT_TRUE(o.VisibleLogFiles);
  EXPECT_EQ(prompter.Last().text, VisibleLogFilesMessage());
  ASSERT_TRUE(commands.Run("Run Preferences > Suppress Screen Saver While Job Running"));
  EXPECT_FALSE(o.SuppressScreenSaver);
  EXPECT_EQ(prompter.Last().text,
            "Will not suppress the screen saver while this program is running.");
  const std::size_t shown = prompter.messages.size();
  ASSERT_TRUE(commands.Run("Options > Don't update INI file when exit"));
  EXPECT_FALSE(commands.update_options_at_exit());
  EXPECT_EQ(prompter.messages.size(), shown);
  ASSERT_TRUE(commands.Run("Help > What's New"));
  EXPECT_EQ(help, std::vector<int>{kHelpWhatsNew});
}

TEST_F(WindowCommandsTest, TheJobStatusOverviewIsBuiltAgainOnEachRefresh) {
  WindowCommands commands(app, prompter, {});
  prompter.Answer(kRetry);
  prompter.Answer(kOk);
  ASSERT_TRUE(commands.Run("Tasks > Summary of Current Job"));
  ASSERT_EQ(prompter.text_windows.size(), 2u);
  for (const TextWindowRequest& r : prompter.text_windows) {
    EXPECT_EQ(r.caption, "Job Status Overview");
    EXPECT_EQ(r.text, "[Nothing is running.]");
    EXPECT_TRUE(r.refresh);
  }
}

TEST_F(WindowCommandsTest, WithoutAWindowTheAboutTextIsShownAndDeveloperModeEnds) {
  WindowCommands commands(app, prompter, {});
  app.session().settings.options.DeveloperMode = true;
  ASSERT_TRUE(commands.Run("Help > About Yearloom"));
  ASSERT_EQ(prompter.messages.size(), 2u);
  EXPECT_NE(prompter.messages[0].text.find("\r\nFor Linux.\r\nVersion "), std::string::npos);
  EXPECT_EQ(prompter.messages[1].text, "[No longer in Developer mode.]");
  EXPECT_FALSE(app.session().settings.options.DeveloperMode);
}

}  // namespace
}  // namespace yl::testing
