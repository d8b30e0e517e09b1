// The application controller headless: both stages of start-up, the close path, and a
// task driven by nothing but Poll() on its handles.

#include "app/controller.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "demo_support.h"
#include "jobs/job_logs.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "settings/options_file.h"
#include "settings/sim_details.h"
#include "sim/sim_defaults.h"
#include "support/fake_process_runner.h"
#include "support/scratch_dir.h"
#include "support/scripted_prompter.h"

namespace yl::testing {
namespace {

using ::testing::HasSubstr;

class RecordingHost : public jobs::EngineHost {
 public:
  void BigJobEnded(bool success, bool) override { ended.push_back(success); }
  void PartStarted(const jobs::PartEvent& part, const jobs::JobLine&) override {
    started.push_back(part);
  }
  std::vector<bool> ended;
  std::vector<jobs::PartEvent> started;
};

class ControllerTest : public IsolatedEnvTest {
 protected:
  ControllerEnvironment Env(bool batch = false) {
    ControllerEnvironment e;
    e.program_dir = BinDir();
    e.runner = &runner;
    e.clock = &clock;
    e.prompter = &prompter;
    e.host = &host;
    e.processors = 4;
    e.batch_mode = batch;
    e.restore_from_archive = [this] { ++restores; };
    return e;
  }
  static std::string BinDir() { return YL_BIN_DIR; }

  FakeProcessRunner runner;
  SystemClock clock;
  ScriptedPrompter prompter;
  RecordingHost host;
  int restores = 0;
};

TEST_F(ControllerTest, AFirstStartFindsItsDirectoriesTakesTheLockAndAsksOnce) {
  AppController app(Env());
  const StartUpReport& r = app.StartUp();
  ASSERT_TRUE(r.keep.found) << r.keep.Messages();
  ASSERT_TRUE(r.temp.found) << r.temp.Messages();
  EXPECT_TRUE(r.lock_taken);
  EXPECT_FALSE(r.fatal());
  EXPECT_FALSE(r.options_file_found);
  EXPECT_TRUE(FileExists(JoinPath(r.keep.dir, jobs::kJobsLogName)));
  EXPECT_EQ(app.session().settings.paths.keep_dir, r.keep.dir);
  EXPECT_EQ(app.session().settings.paths.temp_dir, r.temp.dir);
  // Stage one asks nothing; stage two offers the archive on a first run.
  EXPECT_TRUE(prompter.messages.empty());
  prompter.Answer(kYes);
  EXPECT_TRUE(app.FinishStartUp());
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_THAT(prompter.Last().text, HasSubstr("running this program for the first time"));
  EXPECT_EQ(restores, 1);

  // A second program on the same keep directory is refused before it writes anything.
  AppController second(Env());
  const StartUpReport& s = second.StartUp();
  EXPECT_TRUE(s.fatal());
  EXPECT_TRUE(s.lock_held_elsewhere);
  second.CloseDown();
  EXPECT_FALSE(FileExists(JoinPath(r.keep.dir, kOptionsFileName)));
  EXPECT_FALSE(FileExists(LastSessionFile(r.keep.dir)));
}

TEST_F(ControllerTest, BatchModeAsksNothingAtStartUp) {
  AppController app(Env(true));
  ASSERT_FALSE(app.StartUp().fatal());
  EXPECT_TRUE(app.FinishStartUp());
  EXPECT_TRUE(prompter.messages.empty());
  EXPECT_EQ(restores, 0);
  EXPECT_TRUE(app.session().settings.fewer_messages_effective);
}

TEST_F(ControllerTest, AnUnreadableLastSessionIsReportedAndTheDefaultsKept) {
  std::string keep;
  {
    AppController first(Env());
    keep = first.StartUp().keep.dir;
  }
  WriteFileBytes(LastSessionFile(keep), "[Not a store\n\x01\x02");
  WriteFileBytes(JoinPath(keep, kOptionsFileName), "[Options]\n");
  AppController app(Env());
  ASSERT_TRUE(app.StartUp().last_session_failed);
  EXPECT_TRUE(app.FinishStartUp());
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_EQ(prompter.Last().kind, MessageKind::kWarning);
  EXPECT_THAT(prompter.Last().text,
              HasSubstr("There was an error reading the status of Yearloom as stored"));
  TSimRecord defaults;
  SetDefaultSimulation(defaults, app.session().sim.SimDir);
  EXPECT_EQ(app.session().sim.SimNames[kBase], defaults.SimNames[kBase]);
}

TEST_F(ControllerTest, TheSoundOptionStaysOffWithoutAPlaybackDevice) {
  std::string keep;
  {
    AppController first(Env());
    keep = first.StartUp().keep.dir;
  }
  WriteFileBytes(JoinPath(keep, kOptionsFileName), "[Options]\nPlayMusic=1\n");
  const std::string devices = scratch.MakeDir("snd");
  ControllerEnvironment e = Env();
  e.sound_device_dir = devices;
  {
    AppController silent(e);
    silent.StartUp();
    EXPECT_FALSE(silent.session().settings.options.PlayMusic);
  }
  WriteFileBytes(JoinPath(devices, "pcmC0D0p"), "");
  AppController loud(e);
  loud.StartUp();
  EXPECT_TRUE(loud.session().settings.options.PlayMusic);
}

TEST_F(ControllerTest, CloseDownKeepsTheSetupForTheNextStartAndClearsTheTemporaryFiles) {
  std::string temp_file;
  {
    AppController app(Env());
    ASSERT_FALSE(app.StartUp().fatal());
    app.session().sim.SimNames[kPolicy] = "PXQ";
    app.session().settings.options.FewerMessages = true;
    temp_file = JoinPath(app.session().settings.paths.temp_dir, "left-over.tmp");
    WriteFileBytes(temp_file, "scratch");
    app.CloseDown();
    EXPECT_TRUE(prompter.messages.empty()) << prompter.Last().text;
  }
  EXPECT_FALSE(FileExists(temp_file));
  AppController next(Env());
  const StartUpReport& r = next.StartUp();
  EXPECT_TRUE(r.options_file_found);
  EXPECT_FALSE(r.last_session_failed);
  EXPECT_EQ(next.session().sim.SimNames[kPolicy], "PXQ");
  EXPECT_TRUE(next.session().settings.options.FewerMessages);

  // A developer keeps the temporary files.
  next.session().settings.options.DeveloperMode = true;
  WriteFileBytes(temp_file, "scratch");
  next.CloseDown();
  EXPECT_TRUE(FileExists(temp_file));
}

class ControllerTaskTest : public DemoWorkTest {};

TEST_F(ControllerTaskTest, ATaskGoesFromStartToEndOnPollsAlone) {
  ScriptedPrompter prompter;
  RecordingHost host;
  auto c = StartController(prompter, &host);
  AppController& app = c->app;
  jobs::PlanRequest r = jobs::PlanRequest::Nothing(sim.NumYears);
  r.first_sim_year[kBase] = 1;
  r.last_sim_year[kBase] = 2;
  ASSERT_TRUE(app.StartTask(r, true)) << ::testing::PrintToString(prompter.Texts());
  EXPECT_FALSE(app.StartTask(r, true)) << "a second task while one runs";
  EXPECT_EQ(prompter.Last().text, "Is already a big job running. Cannot start another.");
  PollUntilTaskEnds(app, c->runner, std::chrono::minutes(3));
  ASSERT_TRUE(app.task_outcome());
  EXPECT_TRUE(app.task_outcome()->success) << app.task_outcome()->message;
  EXPECT_EQ(host.ended, std::vector<bool>{true});
  ASSERT_EQ(host.started.size(), 4u);
  EXPECT_EQ(host.started[1].part, PartKind::kSol);
  EXPECT_EQ(host.started[3].year, 2);
  EXPECT_TRUE(app.WaitHandles().empty());
}

TEST_F(ControllerTaskTest, ATaskRunsWhenNobodyListensToItsEvents) {
  ScriptedPrompter prompter;
  auto c = StartController(prompter, nullptr);
  AppController& app = c->app;
  jobs::PlanRequest r = jobs::PlanRequest::Nothing(sim.NumYears);
  r.first_sim_year[kBase] = 1;
  r.last_sim_year[kBase] = 1;
  ASSERT_TRUE(app.StartTask(r, true)) << ::testing::PrintToString(prompter.Texts());
  PollUntilTaskEnds(app, c->runner, std::chrono::minutes(3));
  ASSERT_TRUE(app.task_outcome());
  EXPECT_TRUE(app.task_outcome()->success) << app.task_outcome()->message;
}

}  // namespace
}  // namespace yl::testing
