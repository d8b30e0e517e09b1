#pragma once
// "Which Tasks to Do": a range of years, whether to assemble their spreadsheets, and for
// some tasks which runs. The rules that tie the controls together live here; the Qt dialog
// only draws View() and forwards each change.

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace yl {

inline constexpr int kHelpTasksMenu = 7401;

struct TasksDialogSetup {
  std::string title = "Which Tasks to Do";
  std::vector<std::string> years;  // the calendar years offered, in period order
  int first_period = 1;            // the period of years[0]
  int start = 0;                   // indices into years
  int end = 0;
  bool ss_shown = true;
  bool ss = true;
  bool none_shown = false;
  std::string none_caption = "Do none";
  bool runs_shown = false;
  std::array<bool, 4> runs{};          // [1..3] "Do Base ?", "Rerun Base ?", "Do Policy ?"
  std::array<bool, 4> runs_enabled{};  // the Rerun's is off in two-run mode
  bool deviations_shown = false;
  bool deviations = true;  // "Do deviation jobs ?"
  int help_topic = kHelpTasksMenu;
};

struct TasksDialogView {
  int start = 0;
  int end = 0;
  bool years_enabled = true;
  bool ss = true;
  bool ss_enabled = true;
  bool none = false;
  std::array<bool, 4> runs{};
  bool deviations = true;
};

struct TasksDialogAnswer {
  int first_period = 1;
  int last_period = 1;
  bool ss = false;
  bool none = false;
  std::array<bool, 4> runs{};
  bool deviations = true;
};

class TasksDialog {
 public:
  explicit TasksDialog(TasksDialogSetup setup);

  const TasksDialogSetup& setup() const { return setup_; }
  TasksDialogView View() const;
  // A start after the end moves the end to it; an end before the start moves the start.
  void SetStart(int index);
  void SetEnd(int index);
  void SetSs(bool on);
  void SetNone(bool on);
  void SetRun(int run, bool on);
  void SetDeviations(bool on);
  TasksDialogAnswer Answer() const;

 private:
  void Normalise();

  TasksDialogSetup setup_;
  TasksDialogView v_;
};

// The dialog shown to the user; nullopt when cancelled.
using AskTasks = std::function<std::optional<TasksDialogAnswer>(const TasksDialogSetup&)>;

}  // namespace yl
