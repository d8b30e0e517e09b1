#include "app/dialogs/sol_method_dialog.h"

#include <algorithm>
#include <cmath>

#include "core/internal_error.h"
#include "core/text_util.h"

namespace yl {
namespace {

TSolMethod Preset(int kind, int solutions, std::array<int, 3> steps, bool auto_accuracy) {
  TSolMethod m;
  m.Method = kind;
  m.NumSolutions = solutions;
  m.Steps = steps;
  m.Subintervals = 1;
  m.AutoAccuracy = auto_accuracy;
  return m;
}

bool GraggOrMidpoint(int kind) { return kind == kGragg || kind == kMidpoint; }

}  // namespace

SolMethodDialog::SolMethodDialog(const SolMethodSetting& editing, bool alternative)
    : original_(editing), work_(editing), alternative_(alternative) {
  CheckIndex(editing.Method.Method, kJohansen, kMidpoint, "solution method");
  bool aa = editing.Method.AutoAccuracy;
  remembered_ = {Preset(kJohansen, 1, {1, 1, 1}, aa), Preset(kEuler, 3, {3, 4, 5}, aa),
                 Preset(kGragg, 3, {2, 4, 6}, aa), Preset(kMidpoint, 3, {2, 4, 6}, aa)};
  remembered_[static_cast<std::size_t>(editing.Method.Method - 1)] = editing.Method;
  for (int i = 0; i < 3; ++i) step_text_[i] = std::to_string(work_.Method.Steps[i]);
  Normalise();
}

const TSolMethod& SolMethodDialog::Remembered(int kind) const {
  CheckIndex(kind, kJohansen, kMidpoint, "solution method");
  return remembered_[static_cast<std::size_t>(kind - 1)];
}

int SolMethodDialog::ReadStep(int index, int fallback) const {
  auto v = ParseInt(step_text_[static_cast<std::size_t>(index)]);
  return v ? *v : fallback;
}

void SolMethodDialog::Normalise() {
  TSolMethod& m = work_.Method;
  m.NumSolutions = std::clamp(m.NumSolutions, 1, 3);
  if (m.Method == kJohansen) {
    m.NumSolutions = 1;
    step_text_[0] = "1";
  }
  if (m.NumSolutions < 3) m.AutoAccuracy = false;
}

SolMethodDialogView SolMethodDialog::View() const {
  const TSolMethod& m = work_.Method;
  const TAutoAccuracy& aa = work_.Accuracy;
  SolMethodDialogView v;
  v.title = alternative_ ? "Specify Alternative Solution Method" : "Choose Solution Method";
  v.kind = m.Method;
  v.solutions = m.NumSolutions;
  v.step_text = step_text_;
  v.step_visible = {true, m.NumSolutions >= 2, m.NumSolutions == 3};
  v.solutions_enabled = m.Method != kJohansen;
  v.step1_enabled = m.Method != kJohansen;
  v.auto_accuracy_enabled = m.NumSolutions == 3;
  v.auto_accuracy_checked = m.AutoAccuracy;
  v.subintervals_visible = m.NumSolutions == 3;
  v.subintervals = m.AutoAccuracy ? aa.Subintervals : m.Subintervals;
  v.subintervals_max = std::max(100, v.subintervals);
  v.accuracy_group_visible = m.AutoAccuracy;
  v.percent = aa.Percent;
  v.figures = aa.Figures;
  v.min_length_exponent =
      aa.MinSubintervalLength > 0
          ? std::clamp(static_cast<int>(std::lround(std::log10(aa.MinSubintervalLength))), -9, -1)
          : -3;
  v.stop_on_failure = aa.StopOnFailure;
  v.criterion = aa.Criterion;
  return v;
}

void SolMethodDialog::ChooseKind(int kind) {
  CheckIndex(kind, kJohansen, kMidpoint, "solution method");
  TSolMethod& m = work_.Method;
  if (kind == m.Method) return;
  TSolMethod& old_slot = remembered_[static_cast<std::size_t>(m.Method - 1)];
  // A field left empty keeps what the kind remembered rather than becoming 0.
  for (int i = 0; i < 3; ++i) old_slot.Steps[i] = ReadStep(i, old_slot.Steps[i]);
  m = remembered_[static_cast<std::size_t>(kind - 1)];
  for (int i = 0; i < 3; ++i) step_text_[i] = std::to_string(m.Steps[i]);
  Normalise();
}

void SolMethodDialog::ChooseSolutions(int count) {
  work_.Method.NumSolutions = std::clamp(count, 1, 3);
  Normalise();
}

void SolMethodDialog::SetStepText(int field, const std::string& text) {
  CheckIndex(field, 1, 3, "step field");
  std::string digits;
  for (char c : text) {
    if (c >= '0' && c <= '9' && digits.size() < 3) digits += c;
  }
  step_text_[static_cast<std::size_t>(field - 1)] = digits;
  Normalise();
}

void SolMethodDialog::SetAutoAccuracy(bool on) {
  work_.Method.AutoAccuracy = on;
  Normalise();
}

void SolMethodDialog::SetSubintervals(int n) {
  int& target = work_.Method.AutoAccuracy ? work_.Accuracy.Subintervals : work_.Method.Subintervals;
  target = std::clamp(n, 1, std::max(100, target));
  Normalise();
}

void SolMethodDialog::SetPercent(int percent) {
  work_.Accuracy.Percent = std::clamp(percent, 60, 99);
}

void SolMethodDialog::SetFigures(int figures) {
  work_.Accuracy.Figures = std::clamp(figures, 1, 6);
}

void SolMethodDialog::SetMinLengthExponent(int exponent) {
  work_.Accuracy.MinSubintervalLength =
      static_cast<float>(std::pow(10.0, std::clamp(exponent, -9, -1)));
}

void SolMethodDialog::SetStopOnFailure(bool stop) { work_.Accuracy.StopOnFailure = stop; }

void SolMethodDialog::SetCriterion(int criterion) {
  work_.Accuracy.Criterion = static_cast<std::uint8_t>(std::clamp(criterion, 0, 2));
}

SolMethodOkResult SolMethodDialog::Ok(Prompter& prompter) {
  Normalise();
  TSolMethod& m = work_.Method;
  const int n = m.NumSolutions;
  const int s1 = ReadStep(0, 0), s2 = ReadStep(1, 0), s3 = ReadStep(2, 0);
  auto refuse = [&](const char* text, SolStepField focus) {
    prompter.Error(text);
    return SolMethodOkResult{false, false, focus};
  };
  const bool gm = GraggOrMidpoint(m.Method);
  if (gm && s1 < 2) {
    return refuse("For Gragg or MidPoint,\r\nFirst solution must have 2 or more steps",
                  SolStepField::kStep1);
  }
  if (n >= 2 && s1 >= s2) {
    return refuse("Sequence of steps must be increasing", SolStepField::kStep2);
  }
  if (n == 3 && s2 >= s3) {
    return refuse("Sequence of steps must be increasing", SolStepField::kStep3);
  }
  if (gm && n >= 2 && (s1 % 2 != s2 % 2 || (n == 3 && s2 % 2 != s3 % 2))) {
    return refuse("For Gragg or MidPoint,\r\nSteps must be ALL odd or ALL even",
                  s1 % 2 != s2 % 2 ? SolStepField::kStep2 : SolStepField::kStep3);
  }
  // An empty or zero field would reach the model program as "0 steps".
  const std::array<int, 3> s{s1, s2, s3};
  for (int i = 0; i < n; ++i) {
    if (s[static_cast<std::size_t>(i)] < 1) {
      return refuse("Number of steps must be at least 1", static_cast<SolStepField>(i + 1));
    }
  }
  for (int i = 0; i < 3; ++i) {
    if (s[static_cast<std::size_t>(i)] >= 1) m.Steps[static_cast<std::size_t>(i)] = s[i];
  }
  return SolMethodOkResult{true, SolMethodChanged(original_, work_), SolStepField::kNone};
}

SolMethodOkResult SolMethodDialog::Cancel() {
  work_ = original_;
  for (int i = 0; i < 3; ++i) step_text_[i] = std::to_string(work_.Method.Steps[i]);
  return SolMethodOkResult{};
}

}  // namespace yl
