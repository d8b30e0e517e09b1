#include "app/batch_mode.h"

#include <algorithm>
#include <iostream>

#include "app/batch_params.h"
#include "app/batch_prompter.h"
#include "app/part_preparer.h"
#include "app/session.h"
#include "app/task_run.h"
#include "core/internal_error.h"
#include "env/dir_search.h"
#include "jobs/job_engine.h"
#include "jobs/job_logs.h"
#include "platform/files.h"
#include "platform/instance_lock.h"
#include "platform/paths.h"
#include "platform/stop_signals.h"
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

// The refusal of a second run on the same keep directory, naming who holds it.
std::string LockRefusal(const std::string& keep_dir, const std::string& lock_file) {
  std::string text = "Another Yearloom run is using the keep directory " + keep_dir +
                     ".\nOnly one run at a time may use it; this one has not started.";
  const std::vector<LockHolder> holders = LockHolders(lock_file);
  if (!holders.empty()) {
    text += "\nProcesses still holding " + lock_file + ":";
    for (const LockHolder& h : holders) {
      text += "\n  " + std::to_string(h.pid) + (h.command.empty() ? "" : " (" + h.command + ")");
    }
  }
  return text;
}

void AnnouncePassedOver(const DirSearchResult& r, const char* what) {
  for (const std::string& p : r.passed_over) {
    std::cerr << "yearloom: " << p << "\n";
  }
  if (r.found && !r.passed_over.empty()) {
    std::cerr << "yearloom: using " << r.dir << " as the " << what << " directory instead\n";
  }
}

}  // namespace

int RunBatchMode(const std::vector<std::string>& params, const BatchEnvironment& env) {
  std::ostream& out = *env.out;
  BatchPrompter prompter(out);
  Clock& clock = *env.clock;

  Session session;
  const DirSearchResult keep = DirectorySearch(KeepDirSearchParams());
  AnnouncePassedOver(keep, "keep");
  if (!keep.found) {
    ShowAll(prompter, NoKeepDirMessages("Yearloom"));
    out << PlainText(keep.Messages()) << "\n";
    return 1;
  }
  // Before anything is written in the keep directory: one run at a time.
  const std::string lock_file = JoinPath(keep.dir, kInstanceLockName);
  bool held = false;
  auto lock = InstanceLock::Acquire(lock_file, &held);
  if (!lock) {
    const std::string text = held ? LockRefusal(keep.dir, lock_file) : lock.error();
    out << text << "\n";
    std::cerr << "yearloom: " << text << "\n";
    return 1;
  }
  StopSignals signals;

  const DirSearchResult temp = DirectorySearch(TempDirSearchParams());
  AnnouncePassedOver(temp, "temporary");
  session.settings.paths.keep_dir = keep.dir;
  session.settings.paths.temp_dir = temp.found ? temp.dir : "";
  session.settings.paths.default_temp_dir = session.settings.paths.temp_dir;
  session.settings.paths.program_dir = env.program_dir;

  const std::string batch_log = JoinPath(keep.dir, jobs::kBatchJobsLogName);
  // An outcome nobody can read later is no success: a run whose record cannot be
  // written fails, and says so where the caller sees it.
  auto close = [&](int status, const std::vector<std::string>& lines, const std::string& shown) {
    out << shown << "\n";
    out.flush();
    if (!jobs::AppendToLog(batch_log, lines)) {
      std::cerr << "yearloom: cannot write to " << batch_log << "\n";
      return status == 0 ? 1 : status;
    }
    return status;
  };
  auto fail = [&](const std::string& message, const std::string& part = "") {
    std::string text = message;
    if (!part.empty()) text += "\r\n[Failed part: " + part + "]";
    return close(1, BatchEndLines(true, text, clock.Now()),
                 "Job finished with error" + (text.empty() ? "." : ": " + PlainText(text)));
  };

  try {
    // As at every start, the jobs log exists; the options decide whether it is written.
    EnsureFile(JoinPath(keep.dir, jobs::kJobsLogName));
    // The setup of the last session, or of the Sim Details file named.
    const std::string options_file = JoinPath(keep.dir, kOptionsFileName);
    if (FileExists(options_file)) {
      Notices notices;
      ReadOptionsFile(options_file, kAllGroups, session.settings, session.sim, notices);
      ShowAll(prompter, notices);
    } else {
      ApplyFirstRunDefaults(session.settings, env.processors);
    }
    LoadLastSession(keep.dir, session.sim);

    EnsureFile(batch_log);
    // Whether the task has anything to do depends on the two-run setting, which may come
    // with the Sim Details file: here only the words are checked.
    auto request = ParseBatchParams(params, false);
    const Result<std::string> ds1_file =
        request ? BatchSimDetailsFile(*request, env.current_dir) : std::string();
    const std::string ds1 = ds1_file.value_or("");
    if (!jobs::AppendToLog(batch_log, BatchBeginLines(params, env.current_dir, ds1, clock.Now()))) {
      std::cerr << "yearloom: cannot write to " << batch_log << "\n";
      out << "Cannot write to " << batch_log << "\n";
      return 1;
    }
    if (!request) return fail(request.error());
    if (!ds1_file) return fail(ds1_file.error());
    if (!temp.found) return fail("No temporary directory: " + PlainText(temp.Messages()));

    if (!ds1.empty()) {
      SimDetailsContext ctx{keep.dir, true};
      LoadChoice all;
      all.part = LoadPart::kAll;
      Notices notices;
      auto s = LoadSimDetails(ds1, all, session.settings, session.sim, ctx, notices);
      ShowAll(prompter, notices);
      if (!s) return fail(s.error());
    }
    request = ParseBatchParams(params, session.settings.options.NoRerun);
    if (!request) return fail(request.error());
    if (auto s = CheckBatchYears(*request, session.sim); !s) return fail(s.error());
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
    services.wake_fd = signals.fd();
    services.stop_requested = [&]() -> std::string {
      const int sig = signals.Received();
      return sig == 0 ? "" : "Job cancelled: received " + SignalName(sig);
    };
    if (env.terminate_grace) services.terminate_grace = *env.terminate_grace;
    const TaskOutcome outcome =
        RunTaskToEnd(session, BatchPlan(*request, session.sim), true, services);
    if (outcome.success) {
      out << "Results are in " << session.sim.SimDir << "\n";
      return close(0, BatchEndLines(false, "", clock.Now()), "Job finished successfully");
    }
    if (outcome.cancelled && signals.Received() != 0) {
      return close(128 + signals.Received(), BatchCancelLines(outcome.message, clock.Now()),
                   outcome.message);
    }
    return fail(outcome.message, outcome.failed_part);
  } catch (const InternalError& e) {
    return fail(e.UserText());
  } catch (const std::exception& e) {
    return fail(InternalErrorText(e.what()));
  }
}

}  // namespace yl
