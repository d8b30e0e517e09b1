#include "app/batch_mode.h"

#include <algorithm>
#include <iostream>

#include "app/batch_params.h"
#include "app/batch_prompter.h"
#include "app/part_preparer.h"
#include "app/re_driver.h"
#include "app/session.h"
#include "app/task_driver.h"
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
  void PartStarted(const jobs::PartEvent&, const jobs::JobLine& line) override {
    out_ << jobs::FormatTime(clock_.Now()) << line.text << "\n";
    out_.flush();
  }

 private:
  std::ostream& out_;
  Clock& clock_;
};

void EnsureFile(const std::string& path) {
  if (!FileExists(path)) (void)WriteTextLines(path, {});
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
  // Blocked from here on, so a stop asked for during start-up is not lost.
  StopSignals signals;

  BatchHost host(out, clock);
  ControllerEnvironment app_env;
  app_env.program_dir = env.program_dir;
  app_env.runner = env.runner;
  app_env.clock = env.clock;
  app_env.prompter = &prompter;
  app_env.host = &host;
  app_env.processors = env.processors;
  app_env.batch_mode = true;
  if (env.terminate_grace) app_env.terminate_grace = *env.terminate_grace;
  AppController app(app_env);

  const StartUpReport& start = app.StartUp();
  AnnouncePassedOver(start.keep, "keep");
  if (!start.keep.found) {
    ShowAll(prompter, NoKeepDirMessages(kDisplayName));
    out << PlainText(start.keep.Messages()) << "\n";
    return 1;
  }
  if (!start.lock_taken) {
    const std::string text = start.lock_held_elsewhere
                                 ? LockRefusal(start.keep.dir, start.lock_file)
                                 : start.lock_problem;
    out << text << "\n";
    std::cerr << "yearloom: " << text << "\n";
    return 1;
  }
  AnnouncePassedOver(start.temp, "temporary");
  Session& session = app.session();
  const std::string keep_dir = start.keep.dir;

  const std::string batch_log = JoinPath(keep_dir, jobs::kBatchJobsLogName);
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
    if (!app.FinishStartUp()) {
      return fail("No temporary directory: " + PlainText(start.temp.Messages()));
    }

    if (!ds1.empty()) {
      SimDetailsContext ctx{keep_dir, true};
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
    if (session.settings.paths.temp_dir.empty()) session.settings.paths.temp_dir = start.temp.dir;

    auto stop_text = [&]() -> std::string {
      const int sig = signals.Received();
      return sig == 0 ? "" : "Job cancelled: received " + SignalName(sig);
    };
    const jobs::PlanRequest plan = BatchPlan(*request, session.sim);
    // With "Do Corvan RE" on, the task iterates as the Rational Expectations menu's do.
    const ratex::IterationStates iterations = FreshIterations(session.settings, plan);
    const bool re = session.settings.re_available && session.settings.options.Re.DoRe &&
                    std::any_of(iterations.begin(), iterations.end(),
                                [](const ratex::IterationState& s) { return s.target > 0; });
    const bool started = re ? app.StartReTask(plan, iterations) : app.StartTask(plan, true);
    if (started) PollUntilDone(app, *env.runner, signals.fd(), stop_text, true);
    const TaskOutcome outcome = app.task_outcome().value_or(TaskOutcome{});
    for (const std::string& report : outcome.convergence_reports) {
      out << report << "\n";
      if (!jobs::AppendToLog(batch_log, {report})) {
        std::cerr << "yearloom: cannot write to " << batch_log << "\n";
      }
    }
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
