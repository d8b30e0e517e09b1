#include "app/task_run.h"

#include "app/part_preparer.h"
#include "model/model_state.h"
#include "platform/files.h"
#include "sim/sim_inputs.h"
#include "sim/sim_policy_start.h"

namespace yl {

namespace {

int PolicyStartOf(const Session& session, bool& refused) {
  PolicyStartSettings p;
  p.ModelSelected = HasModel(session.settings.model);
  p.DoRationalExpectations = false;
  p.YearsBeforeFirstShock = session.settings.options.Re.PolicyStartYears;
  PolicyStart start = PolicyStartSim(session.sim, kPolicy, p, nullptr);
  refused = start.Refused;
  return start.Period;
}

bool WantsRun(const jobs::PlanRequest& r, int run) {
  return r.SimFirst[run] <= r.SimLast[run] || r.SSFirst[run] <= r.SSLast[run];
}

}  // namespace

Status CheckTask(const Session& session, const jobs::PlanRequest& request) {
  const ModelState& m = session.settings.model;
  if (!HasModel(m) || !FileExists(m.ModelFile)) return Fail("Please select a model first.");
  bool refused = false;
  PolicyStartOf(session, refused);
  if (refused && (WantsRun(request, kRerun) || WantsRun(request, kPolicy))) {
    return Fail("Are no policy shocks, so nothing to do.");
  }
  return Ok();
}

jobs::EngineSettings EngineSettingsFor(const Session& session, int policy_start, bool do_deviations,
                                       bool batch_mode) {
  const Options& o = session.settings.options;
  const TSimRecord& sim = session.sim;
  jobs::EngineSettings e;
  e.plan.NumYears = sim.NumYears;
  e.plan.PolicyStart = policy_start;
  e.plan.TwoRunMode = o.NoRerun;
  e.plan.AbbreviatedSSJobs = o.AbbreviatedSsJobs;
  e.plan.MakeYonYDiffSS = o.YonYDifferencesSs;
  e.plan.UseSolFilesForShocks = o.SolFileShocks;
  e.plan.Order =
      o.CompleteBaseFirst ? jobs::OrderPreference::kBaseAsap : jobs::OrderPreference::kPolAsap;
  e.plan.DoDeviations = do_deviations;
  e.first_slot = 1;
  e.last_slot = std::clamp(o.ConcurrentSolves, 1, 3);
  e.fewer_messages = o.FewerMessages || session.settings.fewer_messages_effective;
  e.batch_mode = batch_mode;
  e.jobs_log_on = o.AddToJobsLog;
  e.keep_dir = session.settings.paths.keep_dir;
  e.working_dir = sim.SimDir;
  e.calendar_year = [years = sim.Years, n = sim.NumYears](int k) {
    return k >= 1 && k <= n ? years[k] : 0;
  };
  return e;
}

TaskRun::TaskRun(const Session& session, bool do_deviations, const TaskServices& services)
    : session_(session), do_deviations_(do_deviations), services_(services) {}

TaskRun::~TaskRun() = default;

bool TaskRun::Start(const jobs::PlanRequest& request) {
  if (auto s = CheckTask(session_, request); !s) {
    refusal_ = s.error();
    services_.prompter->Information(refusal_);
    return false;
  }
  bool refused = false;
  const int policy_start = PolicyStartOf(session_, refused);

  const SessionSettings& s = session_.settings;
  JobContext context;
  context.sim = &session_.sim;
  context.model_path = s.model.ModelFile;
  context.program_to_run = s.model.ProgramToRun.empty() ? s.model.ModelFile : s.model.ProgramToRun;
  context.program_dir = s.paths.program_dir;
  context.temp_dir = s.paths.temp_dir;
  context.mapping_file = s.options.ResultsMapFile;
  context.no_rerun = s.options.NoRerun;
  context.policy_start = policy_start;
  context.first_year = ParseFirstYearList(s.first_year_files);

  preparer_ = std::make_unique<SimPartPreparer>(context, s, do_deviations_, *services_.prompter);
  engine_ = std::make_unique<jobs::JobEngine>(*services_.runner, *services_.clock,
                                              *services_.prompter, *preparer_, *services_.host);
  return engine_->Start(
      EngineSettingsFor(session_, policy_start, do_deviations_, services_.batch_mode), request);
}

void TaskRun::WaitAndTick(std::chrono::milliseconds timeout) {
  if (!engine_) return;
  const auto handles = engine_->ActiveHandles();
  if (!handles.empty()) services_.runner->WaitForAnyEnd(handles, timeout);
  while (engine_->Tick()) {
  }
}

TaskOutcome TaskRun::Outcome() const {
  TaskOutcome o;
  if (!engine_) {
    o.message = refusal_;
    return o;
  }
  o.success = engine_->state() == jobs::EngineState::kFinished;
  o.part_failed = engine_->part_failed();
  o.message = engine_->outcome_message();
  o.counters = engine_->counters();
  return o;
}

TaskOutcome RunTaskToEnd(const Session& session, const jobs::PlanRequest& request,
                         bool do_deviations, const TaskServices& services) {
  TaskRun task(session, do_deviations, services);
  if (task.Start(request)) {
    while (task.Running()) {
      if (task.engine().ActiveHandles().empty()) break;  // never wait for nothing
      task.WaitAndTick(std::chrono::seconds(1));
    }
  }
  return task.Outcome();
}

}  // namespace yl
