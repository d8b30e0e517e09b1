#include "app/task_run.h"

#include <algorithm>

#include "app/part_preparer.h"
#include "app/prerequisites.h"
#include "app/re_driver.h"
#include "app/run_units.h"
#include "app/tasks.h"
#include "model/model_state.h"
#include "platform/files.h"
#include "platform/name_quoting.h"
#include "settings/sim_details.h"
#include "sim/sim_inputs.h"
#include "sim/sim_policy_start.h"

namespace yl {

namespace {

PolicyStart PolicyStartOf(const Session& session) {
  PolicyStartSettings p;
  p.ModelSelected = HasModel(session.settings.model);
  p.DoRationalExpectations = session.settings.re_available && session.settings.options.Re.DoRe;
  p.YearsBeforeFirstShock = session.settings.options.Re.PolicyStartYears;
  return PolicyStartSim(session.sim, kPolicy, p);
}

bool WantsRun(const jobs::PlanRequest& r, int run) {
  return r.first_sim_year[run] <= r.last_sim_year[run] ||
         r.first_ss_year[run] <= r.last_ss_year[run];
}

}  // namespace

std::string NameProblem(const std::string& what, const std::string& name, bool bare) {
  const std::string part = bare ? UnquotableNamePart(name) : UnwritableNamePart(name);
  if (part.empty()) return "";
  return "The name of the " + what + "\r\n  " + VisibleName(name) + "\r\nholds " + part +
         ", which command and stored-input files cannot hold.\r\nPlease use another " + what + ".";
}

std::string SessionNameProblem(const Session& session) {
  const TSimRecord& sim = session.sim;
  const SessionSettings& s = session.settings;
  std::vector<std::pair<std::string, std::string>> names{
      {"working directory", sim.SimDir},
      {"temporary directory", s.paths.temp_dir},
      {"model", s.model.ModelFile},
      {"results mapping file", s.options.ResultsMapFile}};
  for (const auto& [logical, file] : ParseFirstYearList(s.first_year_files).Entries) {
    names.emplace_back("data file", file);
  }
  for (int r = kBase; r <= kPolicy; ++r) names.emplace_back("simulation", sim.SimNames[r]);
  const int rows = std::clamp(sim.NumYears, 0, kMaxPeriods);
  for (int c = 1; c <= 4; ++c) {
    names.emplace_back("closure/shock file", sim.CMFStartExt[c]);
    for (int row = kCmfStartRow; row <= rows; ++row) {
      names.emplace_back("closure/shock file", sim.CMFCells(row, c));
    }
  }
  for (const auto& [what, name] : names) {
    if (auto problem = NameProblem(what, name); !problem.empty()) return problem;
  }
  // Logical names stand bare in file statements.
  for (int f = 1; f <= sim.NumDinFiles; ++f) {
    if (auto problem = NameProblem("logical file", sim.DinFiles[f].Name, true); !problem.empty()) {
      return problem;
    }
  }
  return "";
}

bool ModelProgramChosen(const ModelState& m) { return HasModel(m) && FileExists(m.ModelFile); }

Result<int> CheckTask(const Session& session, const jobs::PlanRequest& request) {
  const ModelState& m = session.settings.model;
  if (!ModelProgramChosen(m)) return Fail(kSelectModelFirst);
  // A name that would change a command or stored-input file's meaning (end a quoted word,
  // start a comment, split a line) would make the solves read and write other files.
  if (auto problem = SessionNameProblem(session); !problem.empty()) return Fail(problem);
  const PolicyStart start = PolicyStartOf(session);
  if (start.Refused && (WantsRun(request, kRerun) || WantsRun(request, kPolicy))) {
    return Fail("Are no policy shocks, so nothing to do.");
  }
  return start.Period;
}

JobContext MakeJobContext(const Session& session, int policy_start) {
  const SessionSettings& s = session.settings;
  JobContext context;
  context.sim = &session.sim;
  context.model_path = s.model.ModelFile;
  context.program_to_run = s.model.ProgramToRun;
  context.program_dir = s.paths.program_dir;
  context.temp_dir = s.paths.temp_dir;
  context.mapping_file = s.options.ResultsMapFile;
  context.no_rerun = s.options.NoRerun;
  context.policy_start = policy_start;
  context.first_year = ParseFirstYearList(s.first_year_files);
  return context;
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
  e.first_slot = o.JustOneSolveNo2 ? 2 : 1;
  e.last_slot = o.JustOneSolveNo2 ? 2 : std::clamp(o.ConcurrentSolves, 1, 3);
  e.fewer_messages = o.FewerMessages || session.settings.fewer_messages_effective;
  e.batch_mode = batch_mode;
  e.jobs_log_on = o.AddToJobsLog;
  e.keep_dir = session.settings.paths.keep_dir;
  e.working_dir = sim.SimDir;
  e.developer_mode = o.DeveloperMode;
  // Batch mode iterates whenever it simulates, and cannot answer for what is left.
  e.warn_re_not_done = session.settings.re_available && o.Re.DoRe && !batch_mode;
  e.recommend_sol_files = !o.SolFileShocks && session.settings.model.Release.SvRelease > 69999;
  e.plan.CalendarYear = [years = sim.Years, n = sim.NumYears](int k) {
    return k >= 1 && k <= n ? years[k] : 0;
  };
  return e;
}

TaskRun::TaskRun(Session& session, bool do_deviations, const TaskServices& services)
    : session_(session), do_deviations_(do_deviations), services_(services) {}

TaskRun::~TaskRun() = default;

bool TaskRun::Start(const jobs::PlanRequest& request) {
  const Result<int> checked = CheckTask(session_, request);
  if (!checked) {
    refusal_ = checked.error();
    services_.prompter->Information(refusal_);
    return false;
  }
  const int policy_start = *checked;
  // Too many years before the first shock: the field is set back and the user told.
  if (const PolicyStart start = PolicyStartOf(session_); start.NewYearsBeforeFirstShock) {
    session_.settings.options.Re.PolicyStartYears = *start.NewYearsBeforeFirstShock;
    if (start.Notice) services_.prompter->Show(*start.Notice);
  }

  SessionSettings& s = session_.settings;
  const JobContext context = MakeJobContext(session_, policy_start);
  preparer_ = std::make_unique<SimPartPreparer>(context, s, do_deviations_, *services_.prompter);
  engine_ = std::make_unique<jobs::JobEngine>(*services_.runner, *services_.clock,
                                              *services_.prompter, *preparer_, *services_.host);
  jobs::EngineSettings settings =
      EngineSettingsFor(session_, policy_start, do_deviations_, services_.batch_mode);
  settings.background = services_.background;
  settings.check_plan = services_.check_plan;
  if (!settings.check_plan) {
    settings.check_plan = [this, policy_start,
                           fewer = settings.fewer_messages](const jobs::JobPlan& plan) {
      PrerequisiteContext c;
      c.sim = &session_.sim;
      c.settings = &session_.settings;
      c.policy_start = policy_start;
      c.prompter = services_.prompter;
      c.batch_mode = services_.batch_mode;
      c.fewer_messages = fewer;
      return CheckPlan(plan, c);
    };
  }
  settings.check_short_names = [this] {
    return CheckShortNamesDataCMFBits(session_.sim, session_.settings.first_year_files);
  };
  settings.use_sol_files = [this] { session_.settings.options.SolFileShocks = true; };
  if (pass_) {
    settings.first_slot = 1;
    settings.last_slot = pass_->slots;
    settings.pass_info = pass_->pass_info;
    settings.more_passes_follow = pass_->more_follow;
  }
  // The records follow the copies saved with the Sim Details before anything is decided.
  if (!s.paths.keep_dir.empty()) {
    Notices notices;
    RestoreRunRecords(session_.sim, s, s.paths.keep_dir, notices);
    ShowAll(*services_.prompter, notices);
  }
  jobs::BotRecords bots;
  bots.StillNeeded = [this, policy_start](int year) {
    return BotStillNeeded(session_.sim, session_.settings, policy_start, year);
  };
  if (!re_states_) return engine_->Start(settings, request, bots);
  re_ = std::make_unique<ReDriver>(session_, policy_start, *re_states_, *services_.prompter,
                                   services_.batch_mode);
  preparer_->SetReDriver(re_.get());
  // One solve at a time: each iteration reads what the one before wrote.
  settings.plan.RationalExpectations = true;
  settings.plan.Order = jobs::OrderPreference::kBaseAsap;
  settings.last_slot = settings.first_slot;
  settings.warn_re_not_done = false;
  settings.start_rational_expectations = [this] { return re_->Start(); };
  return engine_->Start(settings, request, bots, re_->Counters());
}

void TaskRun::Tick() {
  if (!engine_) return;
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
  o.cancelled = engine_->state() == jobs::EngineState::kCancelled;
  o.part_failed = engine_->part_failed();
  o.failed_part = engine_->failed_part();
  o.message = engine_->outcome_message();
  o.counters = engine_->counters();
  if (re_ && o.success) o.convergence_reports = re_->reports();
  return o;
}

SeriesPass SingleThenConcurrent::Current() const {
  SeriesPass p;
  p.slots = slots_;
  p.pass_info = "[pass number " + std::to_string(counter_ + 1) + ", " +
                (slots_ == 1 ? "Single job]" : "Concurrent jobs]");
  p.more_follow = !(slots_ == 2 && counter_ + 1 >= limit_);
  return p;
}

bool SingleThenConcurrent::Advance() {
  if (slots_ == 1) {
    slots_ = 2;
    return true;
  }
  ++counter_;
  slots_ = 1;
  return counter_ < limit_;
}

}  // namespace yl
