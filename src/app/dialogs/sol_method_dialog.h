#pragma once
// The rules of the "Choose Solution Method" dialog, kept apart from any widget: the Qt
// dialog binds its controls to View() and forwards every change here.

#include <array>
#include <string>

#include "cmf/sol_method.h"
#include "core/prompter.h"

namespace yl {

enum class SolStepField { kNone = 0, kStep1 = 1, kStep2 = 2, kStep3 = 3 };

inline constexpr char kAutoAccuracyWarning[] =
    "WARNING -- Inappropriate options for automatic accuracy may lead to excessive solution "
    "times.";

// What the controls show and allow after the last change.
struct SolMethodDialogView {
  std::string title;
  int kind = kJohansen;
  int solutions = 1;
  std::array<std::string, 3> step_text;
  std::array<bool, 3> step_visible{true, false, false};
  bool solutions_enabled = false;
  bool step1_enabled = false;
  bool auto_accuracy_enabled = false;
  bool auto_accuracy_checked = false;
  bool subintervals_visible = false;  // shown and enabled together
  int subintervals = 1;
  int subintervals_max = 100;
  bool accuracy_group_visible = false;  // with the warning text
  int percent = 80;
  int figures = 4;
  int min_length_exponent = -3;
  bool stop_on_failure = true;
  int criterion = kCriterionData;
};

struct SolMethodOkResult {
  bool accepted = false;
  bool changed = false;
  SolStepField focus = SolStepField::kNone;  // the field to focus after a refusal
};

class SolMethodDialog {
 public:
  SolMethodDialog(const SolMethodSetting& editing, bool alternative);

  SolMethodDialogView View() const;
  void ChooseKind(int kind);
  void ChooseSolutions(int count);
  // Step fields hold one to three digits; anything else typed is dropped.
  void SetStepText(int field, const std::string& text);
  void SetAutoAccuracy(bool on);
  void SetSubintervals(int n);
  void SetPercent(int percent);
  void SetFigures(int figures);
  void SetMinLengthExponent(int exponent);
  void SetStopOnFailure(bool stop);
  void SetCriterion(int criterion);

  // Checks the steps; a refusal shows its error and keeps the dialog open.
  SolMethodOkResult Ok(Prompter& prompter);
  // Restores the values the dialog opened with; reports no change.
  SolMethodOkResult Cancel();

  const SolMethodSetting& Setting() const { return work_; }
  // The remembered record of a kind (1..4), used when the kind is switched.
  const TSolMethod& Remembered(int kind) const;

 private:
  void Normalise();
  int ReadStep(int index, int fallback) const;

  SolMethodSetting original_;
  SolMethodSetting work_;
  bool alternative_;
  std::array<std::string, 3> step_text_;
  std::array<TSolMethod, kNumSolMethodKinds> remembered_;
};

}  // namespace yl
