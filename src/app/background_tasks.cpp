#include "app/background_tasks.h"

#include "app/commands/program_commands.h"
#include "app/task_run.h"

#include "app/pages/closure_table_check.h"
#include "cmf/cmf_assembly.h"
#include "env/ini_file.h"
#include "jobs/job_logs.h"
#include "model/model_files.h"
#include "platform/files.h"

namespace yl {

BackgroundTasks::BackgroundTasks(Session& session, ProcessRunner& runner, Clock& clock,
                                 Prompter& prompter, ShowLog show_log)
    : session_(session),
      runner_(runner),
      prompter_(prompter),
      show_log_(std::move(show_log)),
      job_(runner, clock, session.background) {}

ClosureCheckContext& BackgroundTasks::ClosureContext() {
  const SessionSettings& s = session_.settings;
  setup_.model_file = s.model.ModelFile;
  setup_.program = s.model.ProgramToRun;
  setup_.first_year_data = s.first_year_files;
  setup_.temp_dir = s.paths.temp_dir;
  setup_.solvara_dir = s.paths.solvara_dir;
  setup_.no_rerun = s.options.NoRerun;
  setup_.policy_start.ModelSelected = !s.model.ModelFile.empty();
  setup_.policy_start.YearsBeforeFirstShock = s.options.Re.PolicyStartYears;
  setup_.add_closure_shocks = AddClosureShocksToCMF;
  if (!closure_context_) {
    closure_context_.emplace(
        ClosureCheckContext{session_.sim, setup_, *this, prompter_, closure_state_});
  }
  return *closure_context_;
}

bool BackgroundTasks::DeveloperMode() const { return session_.settings.options.DeveloperMode; }

bool BackgroundTasks::BackgroundJobGuard(Prompter& prompter) {
  if (auto g = jobs::BackgroundJobGuard(session_.background); !g) {
    prompter.Error(g.error());
    return false;
  }
  return true;
}

// The checks write command and stored-input files with the same names as a task.
std::string BackgroundTasks::UnwritableName() const { return SessionNameProblem(session_); }

bool BackgroundTasks::StartCheckJob(jobs::BackgroundKind kind, const ClosureCheckJob& job) {
  ProcessSpec spec{job.program, job.args, job.directory, WindowState::kMinimised, ""};
  auto started = job_.Start(kind, spec, [this](const jobs::BackgroundEnd& end) {
    if (end.cancelled) {
      closure_state_.kind = jobs::BackgroundKind::kNone;
      return;
    }
    CompleteClosureCheckJob(ClosureContext());
  });
  return started.has_value();
}

bool BackgroundTasks::TableCheck(int first_column, int last_column, int first_period,
                                 int last_period) {
  TableCheckRequest request;
  request.Quiet = true;
  request.NoRerun = session_.settings.options.NoRerun;
  request.PolicyStart = setup_.policy_start;
  const int run = last_column <= kBaseShocks ? kBase : kPolicy;
  RunTableCheck& r = request.Runs[run];
  r.Check = true;
  r.FirstPeriod = first_period;
  r.LastPeriod = last_period;
  r.FirstColumn = first_column;
  r.LastColumn = last_column;
  return CheckTableBeforeRuns(session_.sim, request, prompter_);
}

void BackgroundTasks::OfferErrorLog(const std::string& log, Prompter& prompter) {
  jobs::OfferErrorLog(log, prompter, show_log_);
}

bool BackgroundTasks::StartModelCheck() {
  SessionSettings& s = session_.settings;
  if (!DeveloperMode() && !BackgroundJobGuard(prompter_)) {
    prompter_.Error(kModelCheckGuardRefused);
    return false;
  }
  // Its stored-input file names files in the temporary directory.
  if (auto problem = NameProblem("temporary directory", s.paths.temp_dir); !problem.empty()) {
    prompter_.Error(problem);
    return false;
  }
  auto job = PrepareModelCheck(s.paths.temp_dir, s.model.ProgramToRun);
  if (!job) {
    prompter_.Error(job.error());
    return false;
  }
  model_check_ = *job;
  ProcessSpec spec{"", ModelCheckArgv(*job, s.options.NeverBatJob), job->directory,
                   WindowState::kMinimised, ""};
  spec.program = spec.args.front();
  spec.args.erase(spec.args.begin());
  auto started =
      job_.Start(jobs::BackgroundKind::kModelCheck, spec, [this](const jobs::BackgroundEnd& end) {
        if (end.cancelled || !model_check_) return;
        std::optional<ModelCheckReport> report;
        if (auto ini = IniFile::Load(model_check_->report_path)) {
          report =
              ModelCheckReportFrom([&](const std::string& key) { return ini->Get("Result", key); });
        }
        Notices notices;
        JudgeModelCheck(report, session_.settings.model.Release, notices, kHelpModelMissing);
        ShowAll(prompter_, notices);
      });
  if (!started) {
    prompter_.Error("Could not launch solution process !", 0, kOk | kHelp);
    return false;
  }
  return true;
}

bool BackgroundTasks::StartQuilloExtraction(QuilloFile what, const ModelState& model,
                                            std::function<void(const std::string&)> show,
                                            const std::string& then) {
  SessionSettings& s = session_.settings;
  ProgramSearchContext search;
  search.program_dir = s.paths.program_dir;
  search.solvara_dir = s.paths.solvara_dir;
  const std::string flatix = FindSolvaraProgramOrSay(prompter_, "flatix", search);
  if (flatix.empty()) {
    prompter_.Error(kFlatixStartError, 0, kOk | kHelp);
    return false;
  }
  auto job = PrepareQuilloExtraction(what, model, s.paths.temp_dir, flatix);
  if (!job) {
    prompter_.Error(job.error() + "\r\n" + kFlatixStartError, 0, kOk | kHelp);
    return false;
  }
  if (!DeveloperMode() && !BackgroundJobGuard(prompter_)) {
    prompter_.Error(kFlatixGuardRefused);
    return false;
  }
  extraction_ = *job;
  ProcessSpec spec{job->argv.front(),
                   {job->argv.begin() + 1, job->argv.end()},
                   job->directory,
                   WindowState::kMinimised,
                   ""};
  const auto kind = what == QuilloFile::kTab ? jobs::BackgroundKind::kExtractTabFile
                                             : jobs::BackgroundKind::kExtractStiFile;
  auto started = job_.Start(kind, spec, [this, show, then](const jobs::BackgroundEnd& end) {
    if (!extraction_) return;
    // A cancelled extraction was not tried: its stored-input file would say it was.
    if (end.cancelled) {
      DeleteFileIfExists(extraction_->sti);
      return;
    }
    if (auto file = JudgeQuilloExtraction(*extraction_, prompter_, then); file && show) {
      show(*file);
    }
  });
  if (!started) {
    prompter_.Error(kFlatixLaunchError, 0, kOk | kHelp);
    return false;
  }
  return true;
}

bool BackgroundTasks::StartTempDirCheck() {
  SessionSettings& s = session_.settings;
  if (!DeveloperMode() && !BackgroundJobGuard(prompter_)) return false;
  if (auto problem = NameProblem("temporary directory", s.paths.temp_dir); !problem.empty()) {
    prompter_.Error(problem);
    return false;
  }
  temp_check_ = PrepareTempDirCheck(prompter_, s.paths, s.model.ProgramToRun);
  if (!temp_check_) return false;
  ProcessSpec spec{temp_check_->argv.front(),
                   {temp_check_->argv.begin() + 1, temp_check_->argv.end()},
                   temp_check_->temp_dir,
                   WindowState::kMinimised,
                   ""};
  auto started = job_.Start(
      jobs::BackgroundKind::kTempDirCheck, spec,
      [this](const jobs::BackgroundEnd& end) {
        if (!end.cancelled && temp_check_) JudgeTempDirCheck(prompter_, *temp_check_);
      },
      std::chrono::seconds(kTempDirCheckTimeoutSeconds));
  if (!started) {
    prompter_.Error("Could not launch solution process !", 0, kOk | kHelp);
    return false;
  }
  return true;
}

bool BackgroundTasks::Tick(bool cancel_pressed) { return job_.Tick(cancel_pressed); }

std::string BackgroundTasks::WaitText() const {
  if (!job_.Busy()) return "";
  switch (session_.background.kind) {
    case jobs::BackgroundKind::kModelCheck:
      return "Checking Release of model program";
    case jobs::BackgroundKind::kExtractTabFile:
      return QuilloExtractionWaitText(QuilloFile::kTab);
    case jobs::BackgroundKind::kExtractStiFile:
      return QuilloExtractionWaitText(QuilloFile::kSti);
    case jobs::BackgroundKind::kTempDirCheck:
      return temp_check_ ? temp_check_->wait_text : "Checking Temporary Directory";
    case jobs::BackgroundKind::kClosureCheck:
    case jobs::BackgroundKind::kAllClosuresCheck:
      return "Checking closure";
    case jobs::BackgroundKind::kClosureShockCheck:
    case jobs::BackgroundKind::kAllClosuresShocksCheck:
      return "Checking closure and shocks";
    default:
      return "Calculating solution";
  }
}

}  // namespace yl
