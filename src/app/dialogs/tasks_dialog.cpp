#include "app/dialogs/tasks_dialog.h"

#include <algorithm>

namespace yl {

TasksDialog::TasksDialog(TasksDialogSetup setup) : setup_(std::move(setup)) {
  v_.start = setup_.start;
  v_.end = setup_.end;
  v_.ss = setup_.ss;
  v_.runs = setup_.runs;
  v_.deviations = setup_.deviations;
  Normalise();
}

void TasksDialog::Normalise() {
  const int last = std::max(0, static_cast<int>(setup_.years.size()) - 1);
  v_.start = std::clamp(v_.start, 0, last);
  v_.end = std::clamp(v_.end, 0, last);
  // One year is one simulation: there is nothing to assemble over it.
  if (v_.start == v_.end) v_.ss = false;
  v_.years_enabled = !v_.none;
  v_.ss_enabled = !v_.none && v_.start != v_.end;
  for (int r = 1; r <= 3; ++r) v_.runs[r] = v_.runs[r] && setup_.runs_enabled[r];
}

TasksDialogView TasksDialog::View() const { return v_; }

void TasksDialog::SetStart(int index) {
  v_.start = index;
  if (v_.start > v_.end) v_.end = v_.start;
  Normalise();
}

void TasksDialog::SetEnd(int index) {
  v_.end = index;
  if (v_.end < v_.start) v_.start = v_.end;
  Normalise();
}

void TasksDialog::SetSs(bool on) {
  if (!v_.ss_enabled) return;
  v_.ss = on;
}

void TasksDialog::SetNone(bool on) {
  v_.none = on;
  Normalise();
}

void TasksDialog::SetRun(int run, bool on) {
  if (run < 1 || run > 3) return;
  v_.runs[run] = on;
  Normalise();
}

void TasksDialog::SetDeviations(bool on) { v_.deviations = on; }

TasksDialogAnswer TasksDialog::Answer() const {
  TasksDialogAnswer a;
  a.first_period = setup_.first_period + v_.start;
  a.last_period = setup_.first_period + v_.end;
  a.ss = v_.ss && !v_.none;
  a.none = v_.none;
  a.runs = v_.runs;
  a.deviations = v_.deviations;
  return a;
}

}  // namespace yl
