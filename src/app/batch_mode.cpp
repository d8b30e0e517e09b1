#include "app/batch_mode.h"

#include <algorithm>

#include "app/batch_params.h"
#include "app/batch_prompter.h"
#include "app/part_preparer.h"
#include "app/session.h"
#include "app/task_run.h"
#include "env/dir_search.h"
#include "jobs/job_engine.h"
#include "jobs/job_logs.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/text_file.h"
#include "settings/options_file.h"
#include "settings/sim_details.h"
#include "sim/sim_policy_start.h"

namespace yl {

namespace {

// Reports each part as it starts, with the time: one line a part, however long the task.
class BatchHost : public jobs::EngineHost {
 public:
  BatchHost(std::ostream& out, Clock& clock) : out_(out), clock_(clock) {}
  void BigJobEnded(bool, bool) override {}
  void ShowLogReadOnly(const std::string&) override {}
  void JobLinesChanged(const std::vector<std::string>& lines) override {
    for (const auto& l : lines) {
      if (l.rfind("  ", 0) != 0) continue;  // "[None running.]" and the like
      if (std::find(last_.begin(), last_.end(), l) == last_.end()) {
        out_ << jobs::FormatTime(clock_.Now()) << l << "\n";
      }
    }
    out_.flush();
    last_ = lines;
  }

 private:
  std::ostream& out_;
  Clock& clock_;
  std::vector<std::string> last_;
};

void EnsureFile(const std::string& path) {
  if (!FileExists(path)) (void)WriteTextLines(path, {});
}

}  // namespace

int RunBatchMode(const std::vector<std::string>& params, const BatchEnvironment& env) {
  std::ostream& out = *env.out;
  BatchPrompter prompter(out);
  Clock& clock = *env.clock;

  Session session;
  const DirSearchResult keep = DirectorySearch(KeepDirSearchParams());
  if (!keep.found) {
    ReportNoKeepDir(prompter, "Yearloom");
    out << PlainText(keep.Messages()) << "\n";
    return 1;
  }
  const DirSearchResult temp = DirectorySearch(TempDirSearchParams());
  session.settings.paths.keep_dir = keep.dir;
  session.settings.paths.temp_dir = temp.found ? temp.dir : "";
  session.settings.paths.default_temp_dir = session.settings.paths.temp_dir;
  session.settings.paths.program_dir = env.program_dir;

  const std::string batch_log = JoinPath(keep.dir, jobs::kBatchJobsLogName);
  auto close = [&](bool failed, const std::string& message) {
    jobs::AppendToLog(batch_log, BatchEndLines(failed, message, clock.Now()));
    out << (failed ? "Job finished with error" + (message.empty() ? "." : ": " + PlainText(message))
                   : std::string("Job finished successfully"))
        << "\n";
    return failed ? 1 : 0;
  };

  // As at every start, the jobs log exists; the options decide whether it is written.
  EnsureFile(JoinPath(keep.dir, jobs::kJobsLogName));
  // The setup of the last session, or of the Sim Details file named.
  const std::string options_file = JoinPath(keep.dir, kOptionsFileName);
  if (FileExists(options_file)) {
    ReadOptionsFile(options_file, kAllGroups, session.settings, session.sim, prompter);
  } else {
    ApplyFirstRunDefaults(session.settings, env.processors);
  }
  LoadLastSession(keep.dir, session.sim);

  EnsureFile(batch_log);
  auto request = ParseBatchParams(params, session.settings.options.NoRerun);
  const Result<std::string> ds1_file =
      request ? BatchSimDetailsFile(*request, env.current_dir) : std::string();
  const std::string ds1 = ds1_file.value_or("");
  jobs::AppendToLog(batch_log, BatchBeginLines(params, env.current_dir, ds1, clock.Now()));
  if (!request) return close(true, request.error());
  if (!ds1_file) return close(true, ds1_file.error());
  if (!temp.found) return close(true, "No temporary directory: " + PlainText(temp.Messages()));

  if (!ds1.empty()) {
    SimDetailsContext ctx{keep.dir, true};
    LoadChoice all;
    all.part = LoadPart::kAll;
    if (auto s = LoadSimDetails(ds1, all, session.settings, session.sim, ctx, prompter); !s) {
      return close(true, s.error());
    }
    // The two-run setting may have come with the file.
    request = ParseBatchParams(params, session.settings.options.NoRerun);
    if (!request) return close(true, request.error());
  }
  if (auto s = CheckBatchYears(*request, session.sim); !s) return close(true, s.error());
  // Nobody is there to answer questions, whatever the loaded options say.
  session.settings.fewer_messages_effective = true;
  if (session.settings.paths.temp_dir.empty()) session.settings.paths.temp_dir = temp.dir;

  BatchHost host(out, clock);
  TaskServices services;
  services.runner = env.runner;
  services.clock = env.clock;
  services.prompter = &prompter;
  services.host = &host;
  services.batch_mode = true;
  services.background = &session.background;
  const TaskOutcome outcome =
      RunTaskToEnd(session, BatchPlan(*request, session.sim), true, services);
  if (outcome.success) {
    out << "Results are in " << session.sim.SimDir << "\n";
    return close(false, "");
  }
  // A part that failed has put its log's name in the batch jobs log already.
  return close(true, outcome.part_failed ? "" : outcome.message);
}

}  // namespace yl
