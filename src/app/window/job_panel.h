#pragma once
// The strip at the foot of the window: the four Run buttons, Help and Cancel, and the
// three job lines. It hears the running task's events and says what to show; the Qt
// panel redraws when told that something changed.

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "jobs/job_engine.h"

namespace yl {

struct JobPanelLine {
  std::string text;
  int run = 0;  // colours the line; 0 for a note
};

struct JobPanelView {
  bool running = false;  // job lines and Cancel shown, Run buttons disabled
  std::string header;    // the pass of a series, or ""
  std::array<JobPanelLine, 3> lines{
      {{"[None running.]", 0}, {"[Second job]", 0}, {"[Third job]", 0}}};
};

class JobPanel : public jobs::EngineHost {
 public:
  // changed: redraw; finished: the window comes to the front and beeps; show_log: a log
  // shown read-only.
  struct Hooks {
    std::function<void()> changed;
    std::function<void(bool success)> finished;
    std::function<void(const std::string& path)> show_log;
    std::function<void(bool running)> running_changed;
  };
  JobPanel() = default;
  explicit JobPanel(Hooks hooks) : hooks_(std::move(hooks)) {}
  // The window exists after the controller that reports to this panel.
  void set_hooks(Hooks hooks) { hooks_ = std::move(hooks); }

  const JobPanelView& view() const { return view_; }

  void BigJobStarted() override;
  void BigJobEnded(bool success, bool refresh_results) override;
  void PartStarted(const jobs::PartEvent& part, const jobs::JobLine& line) override;
  void JobLinesChanged(const std::vector<jobs::JobLine>& lines) override;
  void ShowLogReadOnly(const std::string& path) override;

 private:
  void Changed();

  Hooks hooks_;
  JobPanelView view_;
};

}  // namespace yl
