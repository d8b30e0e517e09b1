#include "app/dialogs/sol_method_dialog.h"

#include <gtest/gtest.h>

#include "support/scripted_prompter.h"

namespace yl {
namespace {

using testing::ScriptedPrompter;

SolMethodSetting Setting(int kind, int n, std::array<int, 3> steps) {
  SolMethodSetting s;
  s.Method.Method = kind;
  s.Method.NumSolutions = n;
  s.Method.Steps = steps;
  return s;
}

const char kFirstStep[] = "For Gragg or MidPoint,\r\nFirst solution must have 2 or more steps";
const char kIncreasing[] = "Sequence of steps must be increasing";
const char kParity[] = "For Gragg or MidPoint,\r\nSteps must be ALL odd or ALL even";
const char kAtLeastOne[] = "Number of steps must be at least 1";

TEST(SolMethodDialog, StepChecks) {
  struct Case {
    int kind;
    int n;
    std::array<const char*, 3> steps;
    const char* message;  // nullptr: accepted
    SolStepField focus;
  };
  const Case cases[] = {
      {kGragg, 3, {"2", "4", "6"}, nullptr, SolStepField::kNone},
      {kMidpoint, 1, {"1", "", ""}, kFirstStep, SolStepField::kStep1},
      {kGragg, 3, {"1", "3", "5"}, kFirstStep, SolStepField::kStep1},
      {kGragg, 3, {"4", "4", "6"}, kIncreasing, SolStepField::kStep2},
      {kEuler, 3, {"3", "5", "5"}, kIncreasing, SolStepField::kStep3},
      {kGragg, 3, {"2", "3", "6"}, kParity, SolStepField::kStep2},
      {kMidpoint, 3, {"3", "5", "8"}, kParity, SolStepField::kStep3},
      {kEuler, 2, {"3", "5", "9"}, nullptr, SolStepField::kNone},  // no parity rule
      {kEuler, 3, {"2", "3", "8"}, nullptr, SolStepField::kNone},
      {kMidpoint, 2, {"3", "7", "1"}, nullptr, SolStepField::kNone},  // third unused
      {kEuler, 1, {"", "4", "5"}, kAtLeastOne, SolStepField::kStep1},
      {kEuler, 2, {"0", "4", "5"}, kAtLeastOne, SolStepField::kStep1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.steps[0]) + " " + c.steps[1] + " " + c.steps[2]);
    SolMethodDialog d(Setting(c.kind, c.n, {5, 7, 9}), false);
    for (int i = 0; i < 3; ++i) d.SetStepText(i + 1, c.steps[i]);
    ScriptedPrompter p;
    SolMethodOkResult r = d.Ok(p);
    EXPECT_EQ(r.accepted, c.message == nullptr);
    EXPECT_EQ(r.focus, c.focus);
    if (c.message) {
      ASSERT_EQ(p.messages.size(), 1u);
      EXPECT_EQ(p.Last().text, c.message);
      EXPECT_EQ(p.Last().kind, MessageKind::kError);
    } else {
      EXPECT_TRUE(p.messages.empty());
    }
  }
}

TEST(SolMethodDialog, AcceptedStepsAreStoredAndChangeReported) {
  SolMethodDialog d(Setting(kGragg, 3, {2, 4, 6}), false);
  ScriptedPrompter p;
  EXPECT_FALSE(d.Ok(p).changed);
  d.SetStepText(3, "8");
  SolMethodOkResult r = d.Ok(p);
  EXPECT_TRUE(r.accepted);
  EXPECT_TRUE(r.changed);
  EXPECT_EQ(d.Setting().Method.Steps, (std::array<int, 3>{2, 4, 8}));
}

TEST(SolMethodDialog, StepFieldsHoldUpToThreeDigits) {
  SolMethodDialog d(Setting(kEuler, 3, {3, 4, 5}), false);
  d.SetStepText(2, "1a2b34");
  EXPECT_EQ(d.View().step_text[1], "123");
}

TEST(SolMethodDialog, SwitchingKindsRemembersSteps) {
  SolMethodDialog d(Setting(kGragg, 3, {2, 4, 6}), false);
  d.ChooseKind(kEuler);
  EXPECT_EQ(d.View().step_text, (std::array<std::string, 3>{"3", "4", "5"}));
  d.SetStepText(1, "5");
  d.SetStepText(2, "7");
  d.SetStepText(3, "9");
  d.ChooseKind(kGragg);
  EXPECT_EQ(d.View().step_text, (std::array<std::string, 3>{"2", "4", "6"}));
  d.ChooseKind(kEuler);
  EXPECT_EQ(d.View().step_text, (std::array<std::string, 3>{"5", "7", "9"}));
  d.ChooseKind(kMidpoint);
  EXPECT_EQ(d.View().step_text, (std::array<std::string, 3>{"2", "4", "6"}));
  EXPECT_EQ(d.Remembered(kEuler).Steps, (std::array<int, 3>{5, 7, 9}));
}

TEST(SolMethodDialog, JohansenFixesCountAndFirstStep) {
  SolMethodDialog d(Setting(kEuler, 3, {3, 4, 5}), false);
  d.SetAutoAccuracy(true);
  d.ChooseKind(kJohansen);
  SolMethodDialogView v = d.View();
  EXPECT_EQ(v.solutions, 1);
  EXPECT_EQ(v.step_text[0], "1");
  EXPECT_FALSE(v.solutions_enabled);
  EXPECT_FALSE(v.step1_enabled);
  EXPECT_EQ(v.step_visible, (std::array<bool, 3>{true, false, false}));
  EXPECT_FALSE(v.auto_accuracy_enabled);
  EXPECT_FALSE(v.subintervals_visible);
  ScriptedPrompter p;
  SolMethodOkResult r = d.Ok(p);
  EXPECT_TRUE(r.accepted);
  EXPECT_TRUE(r.changed);
  EXPECT_EQ(d.Setting().Method.Method, kJohansen);
  EXPECT_EQ(d.Setting().Method.NumSolutions, 1);
}

TEST(SolMethodDialog, CountControlsVisibilityAndAutomaticAccuracy) {
  SolMethodDialog d(Setting(kGragg, 3, {2, 4, 6}), true);
  EXPECT_EQ(d.View().title, "Specify Alternative Solution Method");
  d.SetAutoAccuracy(true);
  d.SetSubintervals(7);  // goes to the automatic-accuracy record while it is on
  SolMethodDialogView v = d.View();
  EXPECT_TRUE(v.accuracy_group_visible);
  EXPECT_EQ(v.subintervals, 7);
  EXPECT_EQ(d.Setting().Accuracy.Subintervals, 7);
  EXPECT_EQ(d.Setting().Method.Subintervals, 1);
  d.ChooseSolutions(2);
  v = d.View();
  EXPECT_FALSE(v.auto_accuracy_checked);
  EXPECT_FALSE(v.auto_accuracy_enabled);
  EXPECT_FALSE(v.accuracy_group_visible);
  EXPECT_EQ(v.step_visible, (std::array<bool, 3>{true, true, false}));
  EXPECT_FALSE(v.subintervals_visible);
  d.ChooseSolutions(3);
  d.SetSubintervals(250);
  EXPECT_EQ(d.View().subintervals, 100);
  EXPECT_EQ(SolMethodDialog(Setting(kGragg, 3, {2, 4, 6}), false).View().title,
            "Choose Solution Method");
}

TEST(SolMethodDialog, AccuracyFields) {
  SolMethodDialog d(Setting(kGragg, 3, {2, 4, 6}), false);
  d.SetAutoAccuracy(true);
  d.SetPercent(45);
  d.SetFigures(9);
  d.SetMinLengthExponent(-6);
  d.SetStopOnFailure(false);
  d.SetCriterion(kCriterionSolution);
  SolMethodDialogView v = d.View();
  EXPECT_EQ(v.percent, 60);
  EXPECT_EQ(v.figures, 6);
  EXPECT_EQ(v.min_length_exponent, -6);
  EXPECT_FLOAT_EQ(d.Setting().Accuracy.MinSubintervalLength, 1e-6f);
  ScriptedPrompter p;
  EXPECT_TRUE(d.Ok(p).changed);
}

TEST(SolMethodDialog, CancelRestoresAndReportsNoChange) {
  SolMethodSetting start = Setting(kGragg, 3, {2, 4, 6});
  SolMethodDialog d(start, false);
  d.ChooseKind(kEuler);
  d.SetAutoAccuracy(true);
  d.SetPercent(95);
  SolMethodOkResult r = d.Cancel();
  EXPECT_FALSE(r.changed);
  EXPECT_EQ(d.Setting(), start);
  EXPECT_EQ(d.View().step_text, (std::array<std::string, 3>{"2", "4", "6"}));
}

}  // namespace
}  // namespace yl
