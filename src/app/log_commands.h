#pragma once
// The Jobs Log commands of the Run Preferences menu and the View menu's last error log.

#include <functional>
#include <string>

#include "core/prompter.h"

namespace yl {

inline constexpr int kHelpJobsLog = 7040;

using ShowReadOnly = std::function<void(const std::string& path)>;

// "Add to Jobs Log File": the new state of the option (off when the log cannot be made).
bool ToggleAddToJobsLog(bool currently_on, const std::string& keep_dir, Prompter& prompter);
// "Restart Jobs Log File": an empty log, logging on. Returns the new state of the option.
bool RestartJobsLog(const std::string& keep_dir, Prompter& prompter);
void RestartBatchJobsLog(const std::string& keep_dir, Prompter& prompter);
// "View Jobs Log File", "View Batch Jobs Log File", "Last Error Log": shown read-only.
void ViewJobsLog(const std::string& keep_dir, Prompter& prompter, const ShowReadOnly& show);
void ViewBatchJobsLog(const std::string& keep_dir, Prompter& prompter, const ShowReadOnly& show);
void ViewLastErrorLog(const std::string& keep_dir, const ShowReadOnly& show);

}  // namespace yl
