#include "app/window/job_panel.h"

namespace yl {

void JobPanel::Changed() {
  if (hooks_.changed) hooks_.changed();
}

void JobPanel::BigJobStarted() {
  const bool was_running = view_.running;
  view_ = JobPanelView{};
  view_.running = true;
  if (!was_running && hooks_.running_changed) hooks_.running_changed(true);
  Changed();
}

void JobPanel::BigJobEnded(bool success, bool /*refresh_results*/) {
  view_ = JobPanelView{};
  Changed();
  if (hooks_.running_changed) hooks_.running_changed(false);
  if (hooks_.finished) hooks_.finished(success);
}

void JobPanel::PartStarted(const jobs::PartEvent& /*part*/, const jobs::JobLine& line) {
  if (line.slot < 1 || line.slot > 3) return;
  view_.lines[line.slot - 1] = {line.text, line.run};
  Changed();
}

void JobPanel::JobLinesChanged(const std::vector<jobs::JobLine>& lines) {
  std::array<JobPanelLine, 3> shown{};
  std::size_t next = 0;
  for (const jobs::JobLine& l : lines) {
    if (next == shown.size()) break;
    shown[next++] = {l.text, l.run};
  }
  view_.lines = shown;
  Changed();
}

void JobPanel::ShowLogReadOnly(const std::string& path) {
  if (hooks_.show_log) hooks_.show_log(path);
}

}  // namespace yl
