// Names that would change a command or stored-input file's meaning, with the real
// programs: quoted names run a whole task, straight and through the model's script, and
// keep every file in its place; the others are refused before anything starts.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "app/task_driver.h"
#include "app/task_run.h"
#include "demo_support.h"
#include "model/model_state.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/text_file.h"
#include "sim/sim_naming.h"
#include "support/hostile_names.h"
#include "support/program_run.h"
#include "support/scripted_prompter.h"

namespace yl::testing {
namespace {

using ::testing::HasSubstr;

using NullHost = jobs::EngineHost;

std::set<std::string> Entries(const std::string& dir) {
  std::set<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(dir)) {
    names.insert(e.path().filename().string());
  }
  return names;
}

class QuotedNamesTest : public DemoWorkTest {
 protected:
  QuotedNamesTest() { work_name = "work" + EveryQuotableCharacter(); }

  // The temporary directory and a copy of the demo model in directories named alike.
  Session OddSession() {
    Session session = LoadSession(prompter);
    const std::string odd = EveryQuotableCharacter();
    const std::string temp = scratch.MakeDir("temp" + odd);
    std::filesystem::permissions(temp, std::filesystem::perms::owner_all);
    session.settings.paths.temp_dir = temp;
    const std::string models = scratch.MakeDir("model" + odd);
    for (const char* f : {"demomodel", "demomodel.min", "demomodel.din", "demomodel.tab",
                          "demomodel.axs", "demomodel.axt"}) {
      std::filesystem::copy_file(BinPath(f), JoinPath(models, f));
    }
    SetModelFile(session.settings.model, JoinPath(models, "demomodel"), std::nullopt);
    session.settings.options.ConcurrentSolves = 2;
    return session;
  }
  TaskOutcome Run(Session& session, const jobs::PlanRequest& request) {
    return RunTaskToEnd(session, request, true, Services(runner, clock, prompter, host));
  }

  PosixProcessRunner runner;
  SystemClock clock;
  ScriptedPrompter prompter;
  NullHost host;
};

TEST_F(QuotedNamesTest, AWholeTaskRunsAndWritesOnlyWhereItShould) {
  Session session = OddSession();
  const std::set<std::string> around = Entries(scratch.path());
  jobs::PlanRequest all = jobs::PlanRequest::Nothing(sim.NumYears);
  for (int run = kBase; run <= kPolicy; ++run) {
    all.first_sim_year[run] = all.first_ss_year[run] = 1;
    all.last_sim_year[run] = all.last_ss_year[run] = sim.NumYears;
  }
  TaskOutcome o = Run(session, all);
  ASSERT_TRUE(o.success) << o.message << "\n" << ::testing::PrintToString(prompter.Texts());
  for (int k = 1; k <= sim.NumYears; ++k) {
    EXPECT_TRUE(FileExists(Solution(kBase, k))) << k;
    EXPECT_TRUE(FileExists(Solution(kPolicy, k)) || k < 4) << k;
  }
  EXPECT_THAT(ReadFileBytes(WorkFile(CommandFileName(sim, kBase, 1, false))),
              HasSubstr("Solution file = \"" + ChangeFileExt(Solution(kBase, 1), "") + "\" ;"));
  // The Rerun read the Base's data and closure through every quoted name.
  EXPECT_LT(LargestResultDifference(Solution(kBase, 6), Solution(kRerun, 6)), 1e-4);
  EXPECT_EQ(Entries(scratch.path()), around);
}

TEST_F(QuotedNamesTest, TheModelsScriptKeepsTheNamesToo) {
  Session session = OddSession();
  session.settings.model.Release.Compiler = "gfortran";
  const std::set<std::string> around = Entries(scratch.path());
  jobs::PlanRequest r = jobs::PlanRequest::Nothing(sim.NumYears);
  r.first_sim_year[kBase] = 1;
  r.last_sim_year[kBase] = 2;
  TaskOutcome o = Run(session, r);
  ASSERT_TRUE(o.success) << o.message << "\n" << ::testing::PrintToString(prompter.Texts());
  EXPECT_TRUE(FileExists(Solution(kBase, 2)));
  const std::string script = ChangeFileExt(
      JoinPath(session.settings.paths.temp_dir, StoredInputFileName(sim, kBase, 1, false)), ".sh");
  ASSERT_TRUE(FileExists(script));
  EXPECT_THAT(ReadFileBytes(script), HasSubstr("cd " + ShellQuote(work) + " || exit 1\n"));
  EXPECT_EQ(Entries(scratch.path()), around);
}

// A working directory renamed to one with "!" after it was laid out: batch mode refuses it
// by name before a single file is written.
TEST_F(DemoWorkTest, BatchModeRefusesAWorkingDirectoryCommandFilesCannotName) {
  const std::string bang = scratch / "demo!work";
  std::filesystem::rename(work, bang);
  auto ds1_lines = ReadTextLines(JoinPath(bang, ds1));
  ASSERT_TRUE(ds1_lines);
  for (std::string& l : *ds1_lines) {
    for (auto at = l.find(work); at != std::string::npos; at = l.find(work, at + bang.size())) {
      l.replace(at, work.size(), bang);
    }
  }
  ASSERT_TRUE(WriteTextLines(JoinPath(bang, ds1), *ds1_lines));
  work = bang;
  const std::set<std::string> before = Entries(bang);
  std::set<std::string> around = Entries(scratch.path());
  around.insert("yearloom-output.txt");  // where this test keeps the run's output
  YearloomRun run = Yearloom({"base", "2021-2022", ds1});
  ASSERT_TRUE(run.ran);
  EXPECT_TRUE(run.exit.exited_normally);
  EXPECT_EQ(run.exit.code, 1) << run.output;
  EXPECT_THAT(run.output, HasSubstr(bang));
  EXPECT_THAT(run.output, HasSubstr("holds an exclamation mark (!)"));
  EXPECT_THAT(ReadFileBytes(KeepFile("BatchJobs.log")), HasSubstr("exclamation mark"));
  EXPECT_EQ(Entries(bang), before);
  EXPECT_EQ(Entries(scratch.path()), around);
}

// A sim store whose roles a DIN could never give ends the batch run with the DIN's problem
// text, instead of a part stopping on it half-way through the task.
TEST_F(DemoWorkTest, BatchModeRefusesAStoreWithImpossibleRoles) {
  const std::string ds2 = WorkFile(ChangeFileExt(ds1, ".ds2"));
  auto good = ReadTextLines(ds2);
  ASSERT_TRUE(good);
  // A DIN entry: name, type, key, two flags, description, role, lag-of, four usages.
  auto din_entry = [&](const std::string& name) {
    for (std::size_t i = 0; i + 6 < good->size(); ++i) {
      if ((*good)[i] == name && (*good)[i + 1] == "HAR" && (*good)[i + 3].size() == 2) return i;
    }
    ADD_FAILURE() << name;
    return std::size_t{0};
  };
  const struct {
    std::string file, flags, role, lag, problem;
  } cases[] = {
      // The updated input given the role "lagged" with lag 0.
      {"BASEDATA", "TT", "2", "0", "File BASEDATA: role must be updated input"},
      // The output-only file made an updated input.
      {"SUMMARY", "FF", "1", "0", "File SUMMARY: role cannot be updated input"},
      {"SUMMARY", "TT", "1", "0", "File SUMMARY: input and update flags differ from the MIN entry"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.problem);
    std::vector<std::string> edited = *good;
    const std::size_t at = din_entry(c.file);
    edited[at + 3] = c.flags;
    edited[at + 5] = c.role;
    edited[at + 6] = c.lag;
    ASSERT_TRUE(WriteTextLines(ds2, edited));
    YearloomRun run = Yearloom({"base", "2021-2022", ds1});
    ASSERT_TRUE(run.ran);
    EXPECT_TRUE(run.exit.exited_normally) << run.output;
    EXPECT_EQ(run.exit.code, 1) << run.output;
    EXPECT_THAT(run.output, HasSubstr("Problem with Model Information on DIN file"));
    EXPECT_THAT(run.output, HasSubstr(c.problem));
    EXPECT_FALSE(FileExists(Solution(kBase, 1)));
  }
}

}  // namespace
}  // namespace yl::testing
