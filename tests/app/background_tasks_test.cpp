// The job timer's single-program activities with the real programs: the model program's
// release check, the temporary-directory check, and closure checks of the demo's table.

#include "app/background_tasks.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/task_run.h"
#include "platform/files.h"
#include "platform/paths.h"

#include "demo_support.h"
#include "support/scripted_prompter.h"

namespace yl::testing {
namespace {

class BackgroundTasksTest : public DemoWorkTest {
 protected:
  void SetUp() override {
    DemoWorkTest::SetUp();
    session = LoadSession(prompter);
    prompter.messages.clear();
    tasks.emplace(session, runner, clock, prompter,
                  [this](const std::string& log) { shown.push_back(log); });
  }
  // Ticks until the activity has ended (or a minute has passed).
  void RunToEnd() {
    const auto until = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    while (tasks->Busy() && std::chrono::steady_clock::now() < until) {
      if (auto h = tasks->handle()) runner.WaitForAnyEnd({*h}, std::chrono::milliseconds(200));
      tasks->Tick();
    }
    EXPECT_FALSE(tasks->Busy());
  }

  ScriptedPrompter prompter;
  Session session;
  PosixProcessRunner runner;
  SystemClock clock;
  std::optional<BackgroundTasks> tasks;
  std::vector<std::string> shown;
};

TEST_F(BackgroundTasksTest, TheReleaseCheckReadsWhatTheModelReports) {
  session.settings.model.Release = {};
  ASSERT_TRUE(tasks->StartModelCheck()) << ::testing::PrintToString(prompter.Texts());
  EXPECT_EQ(session.background.kind, jobs::BackgroundKind::kModelCheck);
  EXPECT_FALSE(tasks->StartTempDirCheck());  // one activity at a time
  EXPECT_EQ(prompter.Last().text,
            "Internal Program Error.\r\nCannot start job since Job number 51 is already "
            "running.");
  RunToEnd();
  EXPECT_GT(session.settings.model.Release.SvRelease, 69999);
  EXPECT_EQ(session.settings.model.Release.Compiler, "lf95");
  EXPECT_EQ(session.background.kind, jobs::BackgroundKind::kNone);
}

TEST_F(BackgroundTasksTest, FlatixTakesTheTabFileOutOfTheModel) {
  std::vector<std::string> shown_files;
  auto show = [&](const std::string& f) { shown_files.push_back(f); };
  // A TAB file named by the MIN and lying beside the model needs no job.
  ModelState& model = session.settings.model;
  model.TabFileName = "demomodel.tab";
  const QuilloFileLookup beside =
      LocateQuilloFile(model, QuilloFile::kTab, session.settings.paths.temp_dir);
  EXPECT_EQ(beside.state, QuilloFileLookup::State::kFound);
  EXPECT_EQ(beside.path, JoinPath(model.ModelDir, "demomodel.tab"));
  // Not known: taken out of the auxiliary table file under a name of its own.
  model.TabFileName = "";
  ASSERT_TRUE(tasks->StartQuilloExtraction(QuilloFile::kTab, model, show))
      << ::testing::PrintToString(prompter.Texts());
  EXPECT_EQ(tasks->WaitText(), "Extracting TAB file");
  RunToEnd();
  const std::string target = JoinPath(session.settings.paths.temp_dir, "tab1.tab");
  EXPECT_EQ(shown_files, std::vector<std::string>{target});
  EXPECT_EQ(prompter.Last().text, "Quillo file seems to be\r\n" + target + "\r\nWill show this.");
  EXPECT_EQ(ReadFileBytes(target), ReadFileBytes(JoinPath(model.ModelDir, "demomodel.tab")));
  // The demo's compiler ran without an STI file, so there is none to take out.
  ASSERT_TRUE(tasks->StartQuilloExtraction(QuilloFile::kSti, model, show));
  RunToEnd();
  EXPECT_EQ(prompter.Last().text, "Sorry. Unable to extract or find Quillo STI file.");
  EXPECT_EQ(shown_files.size(), 1u);
  // A cancelled extraction leaves no record that it was tried.
  const std::string record = JoinPath(session.settings.paths.temp_dir, "extsti.sti");
  EXPECT_TRUE(FileExists(record));
  ASSERT_TRUE(tasks->StartQuilloExtraction(QuilloFile::kSti, model, show));
  tasks->Tick(true);
  EXPECT_FALSE(tasks->Busy());
  EXPECT_FALSE(FileExists(record));
}

TEST_F(BackgroundTasksTest, TheTemporaryDirectorySeemsOk) {
  ASSERT_TRUE(tasks->StartTempDirCheck()) << ::testing::PrintToString(prompter.Texts());
  RunToEnd();
  EXPECT_EQ(prompter.Last().text,
            "Temporary Directory\r\n  " + session.settings.paths.temp_dir + "\r\nseems ok.");
}

TEST_F(BackgroundTasksTest, ClosureChecksRunTheModelAndSayWhatTheyFound) {
  ASSERT_TRUE(CheckClosureCommand(tasks->ClosureContext(), kBaseClosure, 1))
      << ::testing::PrintToString(prompter.Texts());
  EXPECT_EQ(session.background.kind, jobs::BackgroundKind::kClosureCheck);
  RunToEnd();
  EXPECT_EQ(prompter.Last().text, "Closure is ok.");

  // A closure that leaves the model short of exogenous variables.
  WriteFileBytes(WorkFile("policy.cls"), "exogenous a ;\n");
  prompter.Answer(kOk);
  prompter.Answer(kYes);
  ASSERT_TRUE(CheckClosureCommand(tasks->ClosureContext(), kPolicyClosure, 0))
      << ::testing::PrintToString(prompter.Texts());
  RunToEnd();
  const auto texts = prompter.Texts();
  EXPECT_NE(std::find(texts.begin(), texts.end(), "Closure is NOT ok."), texts.end())
      << ::testing::PrintToString(texts);
  EXPECT_EQ(shown.size(), 1u);
}

TEST_F(BackgroundTasksTest, ClosureChecksRefuseNamesTheirFilesCannotHold) {
  auto entries = [&] {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(session.settings.paths.temp_dir))
      names.push_back(e.path().filename().string());
    return names;
  };
  const auto before = entries();
  session.sim.SimDir = work + "/a#b";
  EXPECT_FALSE(CheckClosureCommand(tasks->ClosureContext(), kBaseClosure, 1));
  EXPECT_EQ(prompter.Last().text, NameProblem("working directory", session.sim.SimDir));
  EXPECT_EQ(session.background.kind, jobs::BackgroundKind::kNone);
  EXPECT_EQ(entries(), before);
  // The release and temporary-directory checks write files there too.
  session.settings.paths.temp_dir += "/a!b";
  EXPECT_FALSE(tasks->StartTempDirCheck());
  EXPECT_EQ(prompter.Last().text,
            NameProblem("temporary directory", session.settings.paths.temp_dir));
  EXPECT_FALSE(tasks->StartModelCheck());
  EXPECT_EQ(session.background.kind, jobs::BackgroundKind::kNone);
}

}  // namespace
}  // namespace yl::testing
