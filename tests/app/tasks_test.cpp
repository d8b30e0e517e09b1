#include "app/tasks.h"

#include <gtest/gtest.h>

#include <functional>

#include "app/task_driver.h"
#include "app/task_run.h"
#include "demo_support.h"
#include "platform/name_quoting.h"
#include "platform/paths.h"
#include "support/hostile_names.h"
#include "support/scripted_prompter.h"

namespace yl::testing {
namespace {

constexpr int N = 10;
constexpr int kNothingFirst = N + 2;

// Per run: sims first, last, spreadsheets first, last.
using Ranges = std::array<std::array<int, 4>, 4>;

Ranges R(std::array<int, 4> base, std::array<int, 4> rerun, std::array<int, 4> policy) {
  return Ranges{std::array<int, 4>{}, base, rerun, policy};
}

Ranges Of(const jobs::PlanRequest& r) {
  Ranges out{};
  for (int run = 1; run <= 3; ++run) {
    out[run] = {r.first_sim_year[run], r.last_sim_year[run], r.first_ss_year[run],
                r.last_ss_year[run]};
  }
  return out;
}

TEST(Tasks, EachTaskPlansItsRunsAndRanges) {
  const std::array<int, 4> none{kNothingFirst, 0, kNothingFirst, 0};
  const std::array<int, 4> all{1, N, 1, N};
  TaskChoices part;
  part.first = 3;
  part.last = 5;
  TaskChoices part_ss = part;
  part_ss.spreadsheets = true;
  struct Case {
    TaskKind task;
    TaskChoices choices;
    Ranges expected;
  };
  for (const Case& c : {
           Case{TaskKind::kRunBase, {}, R(all, none, none)},
           Case{TaskKind::kRerunBase, {}, R(none, {4, N, 4, N}, none)},
           Case{TaskKind::kRunAll, {}, R(all, all, all)},
           Case{TaskKind::kRerunAndPolicy, {}, R(none, all, all)},
           Case{TaskKind::kPartBaseSamePartsRerun, part,
                R({3, 5, kNothingFirst, 0}, {3, 5, kNothingFirst, 0}, none)},
           Case{TaskKind::kPartRerunSamePartsPolicy, part_ss, R(none, {3, 5, 3, 5}, {3, 5, 3, 5})},
           Case{TaskKind::kCompleteBaseAllOthers, part, R({3, N, 1, N}, all, all)},
           Case{TaskKind::kCompleteRerunAllPolicy, part, R(none, {3, N, 1, N}, all)},
       }) {
    TaskPlan p = PlanForTask(c.task, N, 4, c.choices);
    EXPECT_EQ(Of(p.request), c.expected) << TaskCaption(c.task, false);
    EXPECT_TRUE(p.do_deviations) << TaskCaption(c.task, false);
  }
}

TEST(Tasks, SelectedYearsAndSpreadsheetOnlyTasksTakeTheirBoxes) {
  TaskChoices c;
  c.per_run[kPolicy] = PeriodRange{6, 8};
  c.spreadsheets = false;
  TaskPlan p = PlanForTask(TaskKind::kSelectedYears, N, 4, c);
  EXPECT_EQ(p.request.first_sim_year[kPolicy], 6);
  EXPECT_EQ(p.request.last_sim_year[kBase], 0);
  EXPECT_FALSE(p.do_deviations);

  TaskChoices ss;
  ss.ss_runs = {false, true, false, true};
  ss.first = 2;
  ss.last = 7;
  ss.do_deviations = false;
  p = PlanForTask(TaskKind::kSsForSelectedYears, N, 4, ss);
  EXPECT_EQ(p.request.first_ss_year[kBase], 2);
  EXPECT_EQ(p.request.last_ss_year[kPolicy], 7);
  EXPECT_EQ(p.request.last_sim_year[kBase], 0);
  EXPECT_FALSE(p.do_deviations);
  p = PlanForTask(TaskKind::kSelectedSsJobs, N, 4, ss);
  EXPECT_EQ(p.request.first_ss_year[kPolicy], 1);
  EXPECT_EQ(p.request.last_ss_year[kPolicy], N);
}

TEST(Tasks, MessagesAndTwoRunWording) {
  EXPECT_EQ(CompleteTaskMessage(TaskKind::kCompleteBaseAllOthers, 2024, true),
            "Will do Base from year 2024 to Spreadsheet job\r\nand will do all parts of Policy.");
  EXPECT_EQ(CompleteTaskMessage(TaskKind::kCompleteRerunAllPolicy, 2025, false),
            "Will do Base Rerun from year 2025 to Spreadsheet job\r\nand will do all parts of "
            "Policy.");
  EXPECT_EQ(SelectedYearsIntro(true),
            "You will be asked separately about which years (if any) of the Base and Policy "
            "you wish to carry out.");
  EXPECT_EQ(SelectedYearsIntro(false),
            "You will be asked separately about which years (if any) of the Base, Base Rerun "
            "and Policy you wish to carry out.");
  EXPECT_EQ(TaskCaption(TaskKind::kRunAll, true), "Run Base and Policy");
}

TEST(Series, ThreeRoundsOfOneSlotThenTwo) {
  SingleThenConcurrent s;
  std::vector<std::string> passes;
  do {
    SeriesPass p = s.Current();
    passes.push_back(std::to_string(p.slots) + " " + p.pass_info + (p.more_follow ? "" : " last"));
  } while (s.Advance());
  EXPECT_EQ(passes,
            (std::vector<std::string>{
                "1 [pass number 1, Single job]", "2 [pass number 1, Concurrent jobs]",
                "1 [pass number 2, Single job]", "2 [pass number 2, Concurrent jobs]",
                "1 [pass number 3, Single job]", "2 [pass number 3, Concurrent jobs] last"}));
}

class RunChecksTest : public DemoWorkTest {};

TEST_F(RunChecksTest, TheRunButtonsRefuseWhatCannotRun) {
  ScriptedPrompter prompter;
  Session session = LoadSession(prompter);
  prompter.messages.clear();
  const jobs::PlanRequest all = PlanForTask(TaskKind::kRunAll, N, 4, {}).request;
  EXPECT_TRUE(RunButtonChecks(session, all, prompter))
      << ::testing::PrintToString(prompter.Texts());

  EXPECT_TRUE(CheckShortNamesDataCMFBits(session.sim, session.settings.first_year_files));
  // A shock file that reads the Model/Data page's parameter file.
  WriteFileBytes(WorkFile("base.bsh"), "shock y = file PARAMS.har header \"DEPR\" ;\n");
  auto clash = CheckShortNamesDataCMFBits(session.sim, session.settings.first_year_files);
  ASSERT_FALSE(clash);
  EXPECT_EQ(clash.error(),
            "File with short name \"params.har\" is used\r\n as a data file (Model/Data "
            "page)\r\nand in file " +
                WorkFile("base.bsh") +
                " on the Closure/Shocks page.\r\nSorry, but this is not allowed.\r\nPlease "
                "change this.");

  // A name with a double quote cannot go into a command file: nothing starts.
  Session quoted = session;
  quoted.sim.SimDir = work + "/say \"hi\"";
  PosixProcessRunner runner;
  SystemClock clock;
  jobs::EngineHost host;
  TaskOutcome o = RunTaskToEnd(quoted, all, true, Services(runner, clock, prompter, host));
  EXPECT_FALSE(o.success);
  EXPECT_EQ(o.counters.parts_launched, 0);
  EXPECT_EQ(o.message, "The name of the working directory\r\n  " + quoted.sim.SimDir +
                           "\r\nholds a double quote (\"), which command and stored-input "
                           "files cannot hold.\r\nPlease use another working directory.");

  session.settings.model.ModelFile = WorkFile("gone.exe");
  EXPECT_FALSE(RunButtonChecks(session, all, prompter));
  EXPECT_EQ(prompter.Last().text, "Please select a model first.");
}

TEST_F(RunChecksTest, UnderRationalExpectationsThePolicyStartsYearsBeforeItsFirstShock) {
  ScriptedPrompter prompter;
  Session session = LoadSession(prompter);
  const jobs::PlanRequest all = PlanForTask(TaskKind::kRunAll, N, 4, {}).request;
  session.sim.CMFCells(3, kPolicyShocks) = "PSHOCK";
  auto plain = CheckTask(session, all);
  ASSERT_TRUE(plain);
  ASSERT_EQ(*plain, 3);
  session.settings.options.Re.PolicyStartYears = 1;
  EXPECT_EQ(*CheckTask(session, all), 3);  // the box is not ticked
  session.settings.options.Re.DoRe = true;
  EXPECT_EQ(*CheckTask(session, all), 2);
  session.settings.options.Re.PolicyStartYears = 5;
  EXPECT_EQ(*CheckTask(session, all), 1);
}

// Every name a task writes into command and stored-input files, with every hostile name:
// refused before anything starts, naming the name and the character, or let through.
TEST_F(RunChecksTest, NamesThatWouldChangeACommandFileAreRefused) {
  ScriptedPrompter prompter;
  const Session session = LoadSession(prompter);
  const jobs::PlanRequest all = PlanForTask(TaskKind::kRunAll, N, 4, {}).request;
  ASSERT_TRUE(CheckTask(session, all));
  struct Place {
    const char* what;
    bool bare;                                                     // written without quotes
    std::function<std::string(Session&, const std::string&)> put;  // returns the full name
  };
  const Place places[] = {
      {"working directory", false,
       [](Session& s, const std::string& n) { return s.sim.SimDir = s.sim.SimDir + "/" + n; }},
      {"temporary directory", false,
       [](Session& s, const std::string& n) {
         return s.settings.paths.temp_dir = s.settings.paths.temp_dir + "/" + n;
       }},
      {"model", false,
       [this](Session& s, const std::string& n) {
         const std::string model = scratch / ("model" + n);
         WriteFileBytes(model, "");
         return s.settings.model.ModelFile = model;
       }},
      {"data file", false,
       [](Session& s, const std::string& n) {
         const std::string file = "/data/" + n;
         s.settings.first_year_files[1] = "File PARAMS = " + QuoteIfNeeded(file) + " ; ! p";
         return file;
       }},
      {"closure/shock file", false,
       [](Session& s, const std::string& n) { return s.sim.CMFCells(3, 2) = n; }},
      {"simulation", false,
       [](Session& s, const std::string& n) { return s.sim.SimNames[kPolicy] = n; }},
      {"results mapping file", false,
       [](Session& s, const std::string& n) {
         return s.settings.options.ResultsMapFile = "/maps/" + n;
       }},
      {"logical file", true,
       [](Session& s, const std::string& n) { return s.sim.DinFiles[2].Name = n; }},
  };
  for (const Place& place : places) {
    for (const auto& h : HostileNames()) {
      SCOPED_TRACE(std::string(place.what) + ", " + h.label);
      Session s = session;
      const std::string name = place.put(s, h.name);
      auto checked = CheckTask(s, all);
      const std::string& part = place.bare ? h.bare_part : h.part;
      if (part.empty()) {
        EXPECT_TRUE(checked) << checked.error();
      } else {
        ASSERT_FALSE(checked);
        EXPECT_EQ(checked.error(), NameProblem(place.what, name, place.bare));
        EXPECT_NE(checked.error().find("holds " + part + ","), std::string::npos);
        EXPECT_NE(checked.error().find(VisibleName(name)), std::string::npos);
      }
    }
  }
}

}  // namespace
}  // namespace yl::testing
