// "Which Tasks to Do": the rules that tie its controls, and what each Tasks-menu item asks
// and plans from the answers.

#include "app/dialogs/tasks_dialog.h"

#include <gtest/gtest.h>

#include "app/commands/task_choices.h"
#include "sim/sim_test_fixture.h"
#include "support/scratch_dir.h"
#include "support/scripted_prompter.h"

namespace yl {
namespace {

TasksDialogSetup FiveYears() {
  TasksDialogSetup s;
  s.years = {"2021", "2022", "2023", "2024", "2025"};
  s.end = 4;
  s.none_shown = true;
  return s;
}

TEST(TasksDialog, ControlsFollowEachOther) {
  struct Step {
    const char* what;
    std::function<void(TasksDialog&)> act;
    int start, end;
    bool ss, ss_enabled, years_enabled;
  };
  const Step steps[] = {
      {"opened", [](TasksDialog&) {}, 0, 4, true, true, true},
      {"start after end moves the end", [](TasksDialog& d) { d.SetEnd(1), d.SetStart(3); }, 3, 3,
       false, false, true},
      {"same year clears the SS box", [](TasksDialog& d) { d.SetStart(2), d.SetEnd(2); }, 2, 2,
       false, false, true},
      {"end before start moves the start", [](TasksDialog& d) { d.SetStart(3), d.SetEnd(1); }, 1, 1,
       false, false, true},
      {"a range again allows SS", [](TasksDialog& d) { d.SetEnd(2), d.SetEnd(4), d.SetSs(true); },
       0, 4, true, true, true},
      {"do none disables years and SS", [](TasksDialog& d) { d.SetNone(true); }, 0, 4, true, false,
       false},
  };
  for (const Step& s : steps) {
    TasksDialog d(FiveYears());
    s.act(d);
    const TasksDialogView v = d.View();
    EXPECT_EQ(v.start, s.start) << s.what;
    EXPECT_EQ(v.end, s.end) << s.what;
    EXPECT_EQ(v.ss, s.ss) << s.what;
    EXPECT_EQ(v.ss_enabled, s.ss_enabled) << s.what;
    EXPECT_EQ(v.years_enabled, s.years_enabled) << s.what;
  }
  TasksDialogSetup later = FiveYears();
  later.first_period = 4;
  TasksDialog d(later);
  d.SetStart(1);
  d.SetNone(true);
  const TasksDialogAnswer a = d.Answer();
  EXPECT_EQ(a.first_period, 5);
  EXPECT_EQ(a.last_period, 8);
  EXPECT_TRUE(a.none);
  EXPECT_FALSE(a.ss);  // nothing to assemble when nothing is done
}

class TaskChoicesTest : public ::testing::Test {
 protected:
  TaskChoicesTest() { session.sim = *testing::MakeSim(dir.path(), 2021, 5); }
  AskTasks Answering(std::vector<std::function<void(TasksDialog&)>> answers) {
    return [this, answers](const TasksDialogSetup& s) -> std::optional<TasksDialogAnswer> {
      asked.push_back(s);
      const std::size_t i = asked.size() - 1;
      if (i >= answers.size() || !answers[i]) return std::nullopt;
      TasksDialog d(s);
      answers[i](d);
      return d.Answer();
    };
  }
  testing::ScratchDir dir;
  Session session;
  testing::ScriptedPrompter p;
  std::vector<TasksDialogSetup> asked;
};

TEST_F(TaskChoicesTest, SelectedYearsAsksEachRunInTurn) {
  auto choices = AskTaskChoices(
      TaskKind::kSelectedYears, session, 0, 3,
      Answering({[](TasksDialog& d) { d.SetStart(1), d.SetEnd(2); },
                 [](TasksDialog& d) { d.SetNone(true); }, [](TasksDialog& d) { d.SetEnd(1); }}),
      p);
  ASSERT_TRUE(choices);
  EXPECT_EQ(p.Last().text,
            "You will be asked separately about which years (if any) of the Base, Base Rerun "
            "and Policy you wish to carry out.");
  ASSERT_EQ(asked.size(), 3u);
  EXPECT_EQ(asked[0].title, "Which of the Base to do ?");
  EXPECT_EQ(asked[1].none_caption, "Do none of the Base Rerun");
  EXPECT_EQ(asked[2].years.front(), "2023");  // the Policy's years start at the policy start
  EXPECT_EQ(choices->per_run[kBase]->First, 2);
  EXPECT_EQ(choices->per_run[kBase]->Last, 3);
  EXPECT_FALSE(choices->per_run[kRerun]);
  EXPECT_EQ(choices->per_run[kPolicy]->First, 3);
  EXPECT_EQ(choices->per_run[kPolicy]->Last, 4);
  const TaskPlan plan = PlanForTask(TaskKind::kSelectedYears, 5, 3, *choices);
  EXPECT_EQ(plan.request.first_sim_year[kBase], 2);
  EXPECT_EQ(plan.request.last_sim_year[kPolicy], 4);

  // A part of one run asks only about it; Cancel stops the task.
  asked.clear();
  EXPECT_FALSE(
      AskTaskChoices(TaskKind::kSelectedYears, session, kRerun, 3, Answering({nullptr}), p));
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_FALSE(asked[0].none_shown);
}

TEST_F(TaskChoicesTest, CompleteTasksConfirmTheirStart) {
  p.Answer(kCancel);
  EXPECT_FALSE(AskTaskChoices(TaskKind::kCompleteBaseAllOthers, session, 0, 3,
                              Answering({[](TasksDialog& d) { d.SetStart(2); }}), p));
  EXPECT_EQ(p.Last().text,
            "Will do Base from year 2023 to Spreadsheet job\r\nand will do all parts of Base "
            "Rerun and Policy.");
  p.Answer(kOk);
  asked.clear();
  auto c = AskTaskChoices(TaskKind::kCompleteBaseAllOthers, session, 0, 3,
                          Answering({[](TasksDialog& d) { d.SetStart(2); }}), p);
  ASSERT_TRUE(c);
  EXPECT_FALSE(asked[0].ss_shown);
  EXPECT_EQ(c->first, 3);
  EXPECT_EQ(c->last, 5);
}

TEST_F(TaskChoicesTest, SpreadsheetJobsForSelectedYears) {
  session.settings.options.NoRerun = true;
  auto c =
      AskTaskChoices(TaskKind::kSsForSelectedYears, session, 0, 3, Answering({[](TasksDialog& d) {
                       d.SetRun(kRerun, true);  // not in two-run mode
                       d.SetDeviations(false);
                       d.SetStart(1);
                     }}),
                     p);
  ASSERT_TRUE(c);
  EXPECT_TRUE(asked[0].runs_shown);
  EXPECT_TRUE(c->ss_runs[kBase]);
  EXPECT_FALSE(c->ss_runs[kRerun]);
  EXPECT_TRUE(c->ss_runs[kPolicy]);
  EXPECT_FALSE(c->do_deviations);
  EXPECT_EQ(c->first, 2);
}

}  // namespace
}  // namespace yl
