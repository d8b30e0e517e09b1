#include "app/log_commands.h"

#include "jobs/job_logs.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/text_file.h"

namespace yl {

namespace {

bool CreateEmptyIfMissing(const std::string& path) {
  if (!FileExists(path)) (void)WriteTextLines(path, {});
  return FileExists(path);
}

void ShowOrSay(const std::string& path, const std::string& missing, Prompter& prompter,
               const ShowReadOnly& show) {
  if (!FileExists(path)) {
    prompter.Information(missing);
  } else if (show) {
    show(path);
  }
}

}  // namespace

bool ToggleAddToJobsLog(bool currently_on, const std::string& keep_dir, Prompter& prompter) {
  const std::string log = JoinPath(keep_dir, jobs::kJobsLogName);
  const bool on = !currently_on && CreateEmptyIfMissing(log);
  prompter.Information(on ? "Will add to Jobs Log File:\r\n" + log
                          : std::string("Will not add to the Jobs Log File"),
                       kHelpJobsLog, kOk | kHelp);
  return on;
}

bool RestartJobsLog(const std::string& keep_dir, Prompter& prompter) {
  const std::string log = JoinPath(keep_dir, jobs::kJobsLogName);
  (void)DeleteFileWithRetries(log);
  const bool on = CreateEmptyIfMissing(log);
  prompter.Information("Have restarted Jobs Log File:\r\n" + log);
  return on;
}

void RestartBatchJobsLog(const std::string& keep_dir, Prompter& prompter) {
  const std::string log = JoinPath(keep_dir, jobs::kBatchJobsLogName);
  (void)DeleteFileWithRetries(log);
  CreateEmptyIfMissing(log);
  prompter.Information("Have restarted Batch Jobs Log File:\r\n" + log);
}

void ViewJobsLog(const std::string& keep_dir, Prompter& prompter, const ShowReadOnly& show) {
  ShowOrSay(JoinPath(keep_dir, jobs::kJobsLogName), "There is no Jobs Log File.", prompter, show);
}

void ViewBatchJobsLog(const std::string& keep_dir, Prompter& prompter, const ShowReadOnly& show) {
  ShowOrSay(JoinPath(keep_dir, jobs::kBatchJobsLogName), "There is no Batch Jobs Log File.",
            prompter, show);
}

void ViewLastErrorLog(const std::string& keep_dir, const ShowReadOnly& show) {
  const std::string log = JoinPath(keep_dir, jobs::kLastErrorLogName);
  if (FileExists(log) && show) show(log);
}

}  // namespace yl
