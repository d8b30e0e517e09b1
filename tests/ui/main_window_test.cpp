// The real window on Qt's offscreen platform: start-up and shut-down, the menus as the
// user meets them, and tasks run from the job panel with the real programs.

#include "ui/main_window.h"
#include "ui/results_view.h"
#include "ui/wait_window.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "app/demo_support.h"
#include "env/dir_search.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "settings/options_file.h"
#include "settings/sim_details.h"
#include "support/program_run.h"
#include "support/scripted_prompter.h"
#include "ui/closure_shock_view.h"
#include "ui/desktop.h"
#include "ui/engine_pump.h"
#include "ui/help_viewer.h"
#include "ui/single_instance.h"

namespace yl::testing {
namespace {

using ::testing::HasSubstr;

constexpr char kFirstRunQuestion[] =
    "If you are running this program for the first time, the best way\r\n to start is to "
    "load a model and simulation from a Zip Archive.\r\nDo you wish to do this now?\r\n"
    "[Click on Help if you want more information.]";

// Runs the event loop until `done` holds or the time is up.
bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
  QElapsedTimer timer;
  timer.start();
  while (!done()) {
    if (timer.elapsed() > limit.count()) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    QTest::qWait(10);
  }
  return true;
}

std::unique_ptr<Desktop> OpenDesktop(Prompter& prompter) {
  DesktopSetup setup;
  setup.program_dir = BinDir();
  setup.processors = 4;
  setup.prompter = &prompter;
  auto desktop = std::make_unique<Desktop>(setup);
  EXPECT_EQ(desktop->Open(), Desktop::Start::kWindow) << desktop->refusal();
  return desktop;
}

size_t Count(const std::vector<std::string>& texts, const std::string& text) {
  return static_cast<size_t>(std::count(texts.begin(), texts.end(), text));
}

std::string KeepDir() {
  const DirSearchResult keep = DirectorySearch(KeepDirSearchParams());
  EXPECT_TRUE(keep.found) << keep.Messages();
  return keep.dir;
}

class WindowStartTest : public IsolatedEnvTest {
 protected:
  ScriptedPrompter prompter;
};

TEST_F(WindowStartTest, AFirstStartAsksTheFirstRunQuestionOnce) {
  auto desktop = OpenDesktop(prompter);
  ASSERT_TRUE(WaitUntil([&] { return desktop->window().started(); }, std::chrono::seconds(10)));
  EXPECT_EQ(Count(prompter.Texts(), kFirstRunQuestion), 1u);
  EXPECT_EQ(prompter.Last().buttons, kYes | kNo | kHelp);
  EXPECT_EQ(desktop->window().windowTitle(), "Yearloom");
}

TEST_F(WindowStartTest, WithAnOptionsFileNothingIsAskedAndABrokenLastSessionIsReported) {
  const std::string keep = KeepDir();
  WriteFileBytes(JoinPath(keep, kOptionsFileName), "[Options]\nWarn about Temp Dir name=0\n");
  {
    auto desktop = OpenDesktop(prompter);
    ASSERT_TRUE(WaitUntil([&] { return desktop->window().started(); }, std::chrono::seconds(10)));
    EXPECT_TRUE(prompter.messages.empty()) << prompter.Last().text;
  }
  WriteFileBytes(LastSessionFile(keep), "[Not a store\n\x01\x02");
  auto desktop = OpenDesktop(prompter);
  ASSERT_TRUE(WaitUntil([&] { return desktop->window().started(); }, std::chrono::seconds(10)));
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_EQ(prompter.Last().kind, MessageKind::kWarning);
  EXPECT_EQ(prompter.Last().text,
            "There was an error reading the status of Yearloom as stored\r\n from the last time "
            "you ran it.\r\nDefault values have been set, as you can see (for example) from the "
            "Closure/Shocks page.\r\nYou can continue to run Yearloom.\r\nHowever, it this "
            "problem persists, please tell the developers of Yearloom.");
  EXPECT_EQ(prompter.Last().help_topic, 7073);
}

TEST_F(WindowStartTest, ClosingWritesTheOptionsTheRecentFilesAndTheLastSession) {
  const std::string keep = KeepDir();
  const std::string ds1 = scratch / "my sim.ds1";
  WriteFileBytes(ds1, "x");
  {
    auto desktop = OpenDesktop(prompter);
    MainWindow& w = desktop->window();
    ASSERT_TRUE(WaitUntil([&] { return w.started(); }, std::chrono::seconds(10)));
    desktop->app().session().sim.SimNames[kPolicy] = "PXQ";
    w.commands().AddRecentFile(ds1);
    ASSERT_TRUE(w.commands().Run("Options > Fewer Messages and Questions"));
    ASSERT_TRUE(w.close());
  }
  auto ini = IniFile::Load(JoinPath(keep, kOptionsFileName));
  ASSERT_TRUE(ini);
  EXPECT_EQ(ini->ReadString("MRUFiles", "MRU1", ""), ds1);
  EXPECT_TRUE(ini->ReadBool("Environment", "Fewer Messages", false)) << ini->Text();
  ASSERT_TRUE(FileExists(LastSessionFile(keep)));

  // The next start shows what the last one left.
  ScriptedPrompter again;
  auto desktop = OpenDesktop(again);
  ASSERT_TRUE(WaitUntil([&] { return desktop->window().started(); }, std::chrono::seconds(10)));
  EXPECT_EQ(desktop->app().session().sim.SimNames[kPolicy], "PXQ");
  EXPECT_TRUE(desktop->app().session().settings.options.FewerMessages);
  const auto recent = desktop->window().RecentFileActions();
  ASSERT_FALSE(recent.empty());
  desktop->window().RefreshMenus();
  EXPECT_TRUE(recent[0]->isVisible());
  EXPECT_THAT(recent[0]->text().toStdString(), HasSubstr(ds1));
  EXPECT_FALSE(recent[1]->isVisible());
}

TEST_F(WindowStartTest, MenusShowTheRulesAndUnbuiltCommandsSaySo) {
  auto desktop = OpenDesktop(prompter);
  MainWindow& w = desktop->window();
  ASSERT_TRUE(WaitUntil([&] { return w.started(); }, std::chrono::seconds(10)));
  w.RefreshMenus();
  // An item no command carries yet, if any is left, shows so.
  for (const std::string& key : AllCommandKeys()) {
    if (w.commands().Available(key)) continue;
    QAction* unbuilt = w.ActionFor(key);
    ASSERT_NE(unbuilt, nullptr) << key;
    EXPECT_FALSE(unbuilt->isEnabled()) << key;
    EXPECT_EQ(unbuilt->toolTip(), "not available yet") << key;
    break;
  }
  QAction* zip = w.ActionFor("Zip > Save Ingredients as ZIP archive");
  ASSERT_NE(zip, nullptr);
  EXPECT_NE(zip->toolTip(), "not available yet");
  QAction* dev = w.ActionFor("File > Shell to Dos in KeepDir");
  ASSERT_NE(dev, nullptr);
  EXPECT_FALSE(dev->isVisible());
  QAction* fewer = w.ActionFor("Options > Fewer Messages and Questions");
  ASSERT_NE(fewer, nullptr);
  const bool before = fewer->isChecked();
  fewer->trigger();
  EXPECT_EQ(fewer->isChecked(), !before);
  EXPECT_EQ(desktop->app().session().settings.options.FewerMessages, !before);
}

TEST_F(WindowStartTest, F1ShowsTheHelpOfThePageShowing) {
  auto desktop = OpenDesktop(prompter);
  MainWindow& w = desktop->window();
  ASSERT_TRUE(WaitUntil([&] { return w.started(); }, std::chrono::seconds(10)));
  w.show();
  ASSERT_TRUE(w.ShowPage(Page::kSimOverview));
  w.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
  QTest::keyClick(&w, Qt::Key_F1);
  EXPECT_EQ(w.help().shown_topic(), 7009);
  EXPECT_THAT(w.help().shown_text().toStdString(), HasSubstr("Sim Overview"));
}

TEST_F(WindowStartTest, ASecondCopyAsksTheFirstToRaiseItsWindow) {
  auto desktop = OpenDesktop(prompter);
  ASSERT_TRUE(WaitUntil([&] { return desktop->window().started(); }, std::chrono::seconds(10)));
  const QString name = InstanceSocketName(desktop->app().session().settings.paths.keep_dir);
  // The second copy blocks on its question; the first answers from its event loop.
  bool raised = false;
  std::thread second([&] { raised = AskRunningCopyToRaise(name, 5000); });
  WaitUntil([&] { return raised; }, std::chrono::seconds(6));
  second.join();
  EXPECT_TRUE(raised);
}

class WindowTaskTest : public DemoWorkTest {
 protected:
  std::unique_ptr<Desktop> OpenWithDemo() {
    WriteOptions(2, {"[Options]", "Warn about Temp Dir name=0"});
    auto desktop = OpenDesktop(prompter);
    MainWindow& w = desktop->window();
    EXPECT_TRUE(WaitUntil([&] { return w.started(); }, std::chrono::seconds(10)));
    EXPECT_TRUE(w.commands().LoadSimDetailsFile(WorkFile(ds1)))
        << ::testing::PrintToString(prompter.Texts());
    desktop->app().session().settings.options.FewerMessages = true;
    w.show();
    return desktop;
  }
  ScriptedPrompter prompter;
};

TEST_F(WindowTaskTest, RunAllFromTheButtonShowsTheJobLinesThenHidesThemAndLeavesResults) {
  auto desktop = OpenWithDemo();
  MainWindow& w = desktop->window();
  QSignalSpy ended(&w, &MainWindow::TaskEnded);
  EXPECT_TRUE(w.cancel_button()->isHidden());
  QTest::mouseClick(w.RunButton(TaskKind::kRunAll), Qt::LeftButton);
  ASSERT_TRUE(desktop->app().TaskRunning()) << ::testing::PrintToString(prompter.Texts());
  EXPECT_FALSE(w.cancel_button()->isHidden());
  EXPECT_FALSE(w.job_labels()[0]->isHidden());
  EXPECT_FALSE(w.RunButton(TaskKind::kRunBase)->isEnabled());
  EXPECT_FALSE(w.closure_view().isEnabled());
  w.RefreshMenus();
  EXPECT_FALSE(w.ActionFor("File > Load Simulation Details...")->isEnabled());

  bool saw_part = false;
  ASSERT_TRUE(WaitUntil(
      [&] {
        saw_part = saw_part || w.job_labels()[0]->text().contains("part of job");
        return !ended.isEmpty();
      },
      std::chrono::minutes(5)))
      << ::testing::PrintToString(prompter.Texts());
  EXPECT_TRUE(ended.first().at(0).toBool()) << ::testing::PrintToString(prompter.Texts());
  EXPECT_TRUE(saw_part);
  EXPECT_TRUE(w.cancel_button()->isHidden());
  EXPECT_TRUE(w.job_labels()[0]->isHidden());
  EXPECT_TRUE(w.RunButton(TaskKind::kRunBase)->isEnabled());
  EXPECT_TRUE(w.closure_view().isEnabled());
  EXPECT_TRUE(FileExists(Solution(kPolicy, sim.NumYears)));
  EXPECT_TRUE(FileExists(Solution(kBase, sim.NumYears)));

  // The Results page comes up on what was made: the cumulative differences, and the
  // Policy's years, every solution from this run.
  EXPECT_EQ(w.current_page(), Page::kResults);
  ResultsView& results = w.results_view();
  EXPECT_TRUE(results.run_button(kResultsDifferences)->isChecked());
  EXPECT_TRUE(results.note()->isHidden()) << results.note()->text().toStdString();
  EXPECT_EQ(results.years()->currentItem()->text().toStdString(), std::to_string(sim.Years[4]));
  if (const char* dir = std::getenv("YL_SCREENSHOT_DIR")) {
    w.resize(1280, 800);
    QApplication::processEvents();
    w.grab().save(QString("%1/results-page.png").arg(dir));
  }
  // A Policy solution replaced since then is named.
  WriteFileBytes(Solution(kPolicy, 5), "not from the run");
  results.Refresh();
  EXPECT_EQ(results.note()->text().toStdString(),
            "Not from the last successful run of the Policy: the Solution files for " +
                std::to_string(sim.Years[5]) + ".");
}

TEST_F(WindowTaskTest, CancelAsksThenCancels) {
  ScopedEnv fault;
  fault.Set("YL_FAULT", "solexa hang");
  auto desktop = OpenWithDemo();
  MainWindow& w = desktop->window();
  QSignalSpy ended(&w, &MainWindow::TaskEnded);
  QTest::mouseClick(w.RunButton(TaskKind::kRunBase), Qt::LeftButton);
  ASSERT_TRUE(desktop->app().TaskRunning()) << ::testing::PrintToString(prompter.Texts());
  ASSERT_TRUE(WaitUntil([&] { return w.job_labels()[0]->text().contains("[sol part"); },
                        std::chrono::minutes(2)));
  // Closing while it runs asks first; No keeps the window.
  prompter.Answer(kNo);
  EXPECT_FALSE(w.commands().MayClose());
  EXPECT_EQ(prompter.Last().text,
            "A job is still running.\r\nIf you exit now, the parts still running are left to end "
            "on their own.\r\nDo you really want to exit?");

  prompter.Answer(kYes);
  QTest::mouseClick(w.cancel_button(), Qt::LeftButton);
  ASSERT_TRUE(WaitUntil([&] { return !ended.isEmpty(); }, std::chrono::seconds(30)));
  EXPECT_FALSE(ended.first().at(0).toBool());
  const auto texts = prompter.Texts();
  EXPECT_EQ(Count(texts, "Do you really want to kill this job?"), 1u);
  EXPECT_TRUE(w.cancel_button()->isHidden());
  desktop->app().TerminateLeftovers();
}

TEST_F(WindowTaskTest, ACheckShowsTheWaitWindowWhoseCancelAsksThenEndsTheWait) {
  ScopedEnv fault;
  fault.Set("YL_FAULT", "* hang");
  auto desktop = OpenWithDemo();
  MainWindow& w = desktop->window();
  ASSERT_TRUE(w.commands().Run("Options > Check Temporary Directory"));
  ASSERT_TRUE(desktop->app().background().Busy()) << ::testing::PrintToString(prompter.Texts());
  ASSERT_NE(w.wait_window(), nullptr);
  EXPECT_TRUE(w.wait_window()->isVisible());
  EXPECT_EQ(w.wait_window()->windowTitle().toStdString(), "Please Wait - Yearloom at work");
  auto* cancel = w.wait_window()->findChild<QPushButton*>("waitCancel");
  ASSERT_NE(cancel, nullptr);
  // Each tick of the job timer brings the next picture up.
  const int first = w.wait_window()->frame();
  EXPECT_TRUE(
      WaitUntil([&] { return w.wait_window()->frame() != first; }, std::chrono::seconds(5)));
  const std::optional<ProcessHandle> hung = desktop->app().background().handle();
  ASSERT_TRUE(hung);

  prompter.Answer(kNo);  // the check goes on
  QTest::mouseClick(cancel, Qt::LeftButton);
  EXPECT_TRUE(desktop->app().background().Busy());
  EXPECT_TRUE(w.wait_window()->isVisible());
  prompter.Answer(kYes);
  QTest::mouseClick(cancel, Qt::LeftButton);
  EXPECT_FALSE(desktop->app().background().Busy());
  EXPECT_FALSE(w.wait_window()->isVisible());
  EXPECT_EQ(Count(prompter.Texts(), "Do you really want to kill this job?"), 2u);
  // Cancelling leaves the program to end alone; the test ends it.
  PosixProcessRunner().SendStop(*hung, true);
}

}  // namespace
}  // namespace yl::testing
