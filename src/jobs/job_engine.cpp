#include "jobs/job_engine.h"

#include "core/internal_error.h"
#include "core/reentry_guard.h"
#include "env/ini_file.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/text_file.h"

namespace yl::jobs {

namespace {

// Parts whose start goes into the jobs log.
bool LogsStart(const SlotState& s) {
  return s.job == JobKind::kSim || s.part == PartKind::kEnv || s.part == PartKind::kCsv ||
         (s.job == JobKind::kTallyr && s.part == PartKind::kYonY);
}

}  // namespace

std::string PartWhat(const SlotState& s, const std::function<int(int)>& calendar_year) {
  if (IsSpreadsheetJob(s.job)) return "Assembling the spreadsheets";
  std::string kind = s.job == JobKind::kBot
                         ? "Preparing closure for"
                         : (s.part == PartKind::kSol ? "Sol job for" : "sim for");
  return kind + " year " + std::to_string(calendar_year(s.year)) + " (period number " +
         std::to_string(s.year) + ")";
}

JobEngine::JobEngine(ProcessRunner& runner, Clock& clock, Prompter& prompter,
                     PartPreparer& preparer, EngineHost& host)
    : runner_(runner), clock_(clock), prompter_(prompter), preparer_(preparer), host_(host) {}

JobEngine::~JobEngine() = default;

std::string JobEngine::What(const SlotState& s) const {
  return PartWhat(s, settings_.plan.CalendarYear);
}

std::string JobEngine::Description(const SlotState& s) const {
  return JobDescription(s.run, What(s));
}

void JobEngine::JobsLog(const std::vector<std::string>& lines) {
  if (settings_.jobs_log_on) AppendToLog(JoinPath(settings_.keep_dir, kJobsLogName), lines);
}

bool JobEngine::Start(const EngineSettings& settings, const PlanRequest& request, BotRecords bots,
                      IterationCounters iterations) {
  if (Running()) {
    prompter_.Information("Is already a big job running. Cannot start another.");
    return false;
  }
  outcome_message_.clear();
  part_failed_ = false;
  failed_part_.clear();
  settings_ = settings;
  auto refuse = [this](MessageKind kind, const std::string& text) {
    outcome_message_ = text;
    prompter_.Show({kind, text, kOk | kHelp, 0, ""});
    return false;
  };
  if (settings_.background && !settings_.developer_mode) {
    if (auto g = BackgroundJobGuard(*settings_.background); !g) {
      prompter_.Error(g.error());
      return refuse(MessageKind::kError, "Cannot start Sim job");
    }
  }
  bots_done_.clear();
  // Whether a closure preparation finished in this big job is the engine's own record;
  // whether an older one is still valid comes from the bookkeeping.
  bots_.DoneThisJob = [this](int year) { return bots_done_.count(year) > 0; };
  bots_.StillNeeded = bots.StillNeeded ? bots.StillNeeded : [](int) { return true; };
  iterations_ = std::move(iterations);
  plan_ = std::make_unique<JobPlan>(settings_.plan, request);
  preparer_.PlanMade(*plan_);
  if (settings_.check_plan) {
    if (std::string problem = settings_.check_plan(*plan_); !problem.empty()) {
      refuse(MessageKind::kInformation, "Cannot run this simulation because of problems reported.");
      outcome_message_ = problem + "\r\nCannot run this simulation because of problems reported.";
      return false;
    }
  }
  if (settings_.check_short_names) {
    if (auto s = settings_.check_short_names(); !s) return refuse(MessageKind::kError, s.error());
  }
  if (plan_->Empty()) {
    outcome_message_ = "Are no simulations or spreadsheet jobs to do.";
    prompter_.Information(outcome_message_);
    return false;
  }
  if (settings_.warn_re_not_done &&
      prompter_.Show({MessageKind::kConfirmation,
                      "Although you have checked the \"Do Rational Expectations\" box,\r\n this "
                      "way of running the job will NOT do Rational Expectations.\r\nDo you wish "
                      "to continue?",
                      kYes | kNo | kHelp, 0, ""}) != kYes) {
    outcome_message_ = "Rational Expectations not done; the job was not started.";
    return false;
  }
  if (settings_.start_rational_expectations) {
    if (auto s = settings_.start_rational_expectations(); !s) {
      outcome_message_ = s.error();
      return false;
    }
  }
  CheckIndex(settings_.first_slot, 1, 3, "slot");
  CheckIndex(settings_.last_slot, settings_.first_slot, 3, "slot");
  // Slot 2 alone ("Just One Solve (no. 2)") needs its directory as much as two slots do.
  if (settings_.last_slot >= 2) {
    if (auto s = preparer_.PrepareSlotDirectories(settings_.first_slot, settings_.last_slot); !s) {
      return refuse(MessageKind::kError, s.error());
    }
  }
  slots_ = {};
  stopped_ = false;
  launched_any_ = false;
  cancel_requested_ = false;
  counters_ = {};
  state_ = EngineState::kRunning;
  SetBackground(true);
  const RunPlan& base = plan_->plan(1);
  if (settings_.recommend_sol_files && base.has_sims && base.first_sim_year == 1 &&
      !plan_->settings().UseSolFilesForShocks &&
      prompter_.Show({MessageKind::kConfirmation,
                      "We recommend that you use SOL Files for Shocks.\r\nIf you want to do "
                      "that, please click on the Yes button.\r\n[Click on the Help button for "
                      "information about this.]",
                      kYes | kNo | kHelp, 0, ""}) == kYes) {
    plan_->UseSolFilesForShocks();
    if (settings_.use_sol_files) settings_.use_sol_files();
  }
  Step(0, {});
  return state_ == EngineState::kRunning || state_ == EngineState::kFinished;
}

void JobEngine::SetBackground(bool busy) {
  if (!settings_.background) return;
  settings_.background->kind = busy ? BackgroundKind::kBigJob : BackgroundKind::kNone;
  settings_.background->timer_enabled = busy;
}

bool JobEngine::BeginBigJob() {
  if (!settings_.fewer_messages) {
    Button b = prompter_.Show(
        {MessageKind::kConfirmation,
         "Beginning simulation(s). The Bottom Panel indicates the part(s) currently running.\r\n"
         "[Job can be cancelled using the \"Cancel Job\" button there.]",
         kOk | kCancel | kHelp, 0, ""});
    if (b == kCancel) {
      Stop();
      End(false, false);
      return false;
    }
  }
  start_time_ = clock_.Now();
  host_.BigJobStarted();
  std::vector<std::string> lines{" ", "BEGINNING A JOB at " + FormatDateTime(start_time_)};
  if (settings_.first_slot == 1 && settings_.last_slot == 2) {
    lines.push_back("  [Allowing two concurrent jobs.]");
  } else if (settings_.first_slot == 1 && settings_.last_slot == 1) {
    lines.push_back("  [Allowing just one job (job number 1).]");
  } else if (settings_.first_slot == 2 && settings_.last_slot == 2) {
    lines.push_back("  [Allowing just one job (job number 2).]");
  }
  JobsLog(lines);

  std::vector<std::string> locked = preparer_.ClearOutputs();
  if (!locked.empty()) {
    std::string text = "The following files in the Working Directory: " + settings_.working_dir +
                       "\r\n appear to be locked by another program (eg, Excel or Word).\r\n"
                       "This will probably cause an error running this job since\r\n"
                       " new versions of these files cannot be created.\r\n";
    for (const auto& f : locked) text += "\r\n  " + f;
    text +=
        "\r\n\r\nWe recommend that you cancel the job now in order\r\n to unlock these files.\r\n"
        "Is this what you wish to do?";
    if (prompter_.Show({MessageKind::kError, text, kYes | kNo | kHelp, 0, ""}) != kNo) {
      Stop();
      End(false, false);
      return false;
    }
  }
  return true;
}

void JobEngine::Step(int ended_slot, const SlotState& ended) {
  const int n = settings_.plan.NumYears;
  if (ended_slot >= 1 && ended.job == JobKind::kSim && ended.part == PartKind::kSim &&
      ended.year < n) {
    auto s =
        preparer_.AfterSimPart(ended.run, ended.year, settings_.first_slot, settings_.last_slot);
    if (!s) {
      FailOutsidePart(&ended, s.error());
      return;
    }
  }
  bool launched = false;
  bool continuation_due = ended_slot >= 1;
  for (;;) {
    if (stopped_) break;
    int free = 0;
    for (int s = settings_.first_slot; s <= settings_.last_slot; ++s) {
      if (!slots_[s].state.active) {
        free = s;
        break;
      }
    }
    if (free == 0) break;

    std::optional<JobChoice> choice;
    if (continuation_due && !launched) {
      continuation_due = false;
      choice = plan_->NextPart(ended);
    }
    if (!choice) {
      std::array<SlotState, 4> states{};
      for (int s = 1; s <= 3; ++s) states[s] = slots_[s].state;
      auto r = plan_->ChooseNextJob(states, ended_slot <= 0, bots_, iterations_);
      if (!r) {
        InternalError(r.error());
        return;
      }
      choice = *r;
    }
    if (!choice) break;

    const SlotState chosen{true, choice->run, choice->year, choice->job, choice->part};
    auto prepared = preparer_.Prepare(*choice, free);
    if (!prepared) {
      FailOutsidePart(&chosen, prepared.error());
      return;
    }
    if (!launched_any_ && !BeginBigJob()) return;

    for (const std::string* f :
         {&prepared->log_file, &prepared->report_file, &prepared->check_file}) {
      if (f->empty()) continue;
      if (auto d = DeleteFileWithRetries(*f); !d) {
        FailOutsidePart(&chosen, d.error());
        return;
      }
    }
    if (!prepared->year_log_header.empty()) {
      if (auto w = WriteTextLines(prepared->year_log, {prepared->year_log_header}); !w) {
        FailOutsidePart(&chosen, w.error());
        return;
      }
    }
    auto handle = runner_.Start(prepared->process);
    if (!handle) {
      Stop();
      failed_part_ = ErrorDescription(chosen.run, What(chosen), chosen.job, chosen.part);
      outcome_message_ = "Could not launch solution process !";
      prompter_.Show({MessageKind::kError, outcome_message_, kOk | kHelp, 0, ""});
      outcome_message_ += "\r\n" + handle.error();
      End(false, false);
      return;
    }
    Slot& slot = slots_[free];
    slot.state = chosen;
    slot.process = *handle;
    slot.files = std::move(*prepared);
    if (LogsStart(slot.state)) {
      JobsLog({"START " + Description(slot.state) + " " + FormatTime(clock_.Now())});
    }
    host_.PartStarted(EventOf(free), LineOf(free));
    launched = true;
    launched_any_ = true;
    ++counters_.parts_launched;
  }

  if (launched) {
    host_.JobLinesChanged(JobLines());
    return;
  }
  if (stopped_) return;
  for (int s = 1; s <= 3; ++s) {
    if (slots_[s].state.active) return;
  }
  std::array<SlotState, 4> none{};
  auto r = plan_->ChooseNextJob(none, false, bots_, iterations_);
  if (!r) {
    InternalError(r.error());
  } else if (*r) {
    InternalError("Internal error determining if whole job is finished.");
  } else {
    WholeJobFinished();
  }
}

bool JobEngine::Tick() {
  const ReentryGuard guard(ticking_);
  if (!guard.entered()) return false;
  ReapOrphans();
  if (state_ != EngineState::kRunning) return false;
  int ended = 0;
  ProcessExit exit;
  for (int s = settings_.first_slot; s <= 3 && ended == 0; ++s) {
    if (!slots_[s].state.active) continue;
    if (auto e = runner_.Poll(slots_[s].process)) {
      ended = s;
      exit = *e;
    }
  }
  const bool cancelled = cancel_requested_;
  if (!cancelled && ended == 0) return false;

  if (cancelled) {
    if (ended) {
      host_.PartEnded(EventOf(ended), PartEnd::kStopped);
      slots_[ended].state.active = false;
    }
    Stop();
    state_ = EngineState::kCancelled;
    End(false, false);
    outcome_message_ = "Solve job aborted via Cancel button";
    prompter_.Information(outcome_message_);
    prompter_.Information(
        "However the DOS job may still be running.\r\nYou may be able to kill it by clicking on "
        "this job in the TaskBar and then hitting Control-C.");
    return true;
  }

  Slot& slot = slots_[ended];
  const std::string part_log = PartLog(slot.files);
  if (!part_log.empty() && !slot.files.year_log.empty()) {
    AppendFileToLog(slot.files.year_log, part_log);
  }
  PartOutcome outcome = JudgePart(slot.files.report_file, slot.files.check_file);
  // A good report does not outweigh a crash or a failing exit status: the program may
  // have died while still writing its outputs.
  std::string problem;
  if (const std::string end = ProcessEndProblem(exit); !end.empty()) {
    problem =
        "The program " +
        preparer_.ProgramName({slot.state.run, slot.state.year, slot.state.job, slot.state.part}) +
        " " + end + ".";
  } else if (outcome == PartOutcome::kSuccess) {
    const JobChoice part{slot.state.run, slot.state.year, slot.state.job, slot.state.part};
    if (auto v = preparer_.VerifyOutputs(part, slot.files); !v) problem = v.error();
  }
  if (!problem.empty()) outcome = PartOutcome::kFailure;
  switch (outcome) {
    case PartOutcome::kSuccess: {
      host_.PartEnded(EventOf(ended), PartEnd::kSucceeded);
      SlotState finished = slot.state;
      const JobChoice part{finished.run, finished.year, finished.job, finished.part};
      preparer_.PartSucceeded(part, slot.files);
      slot.state.active = false;
      ++counters_.parts_finished;
      if (auto c = preparer_.CheckSucceededPart(part); !c) {
        StopAfterShown(c.error());
        break;
      }
      const bool chain_done = plan_->WholeSpreadsheetChainDone(finished.run);
      Booking b = plan_->FinishJobPart(finished);
      if (auto unit = plan_->UnitCompletedBy(finished, b, chain_done)) {
        preparer_.UnitCompleted(*unit);
      }
      if (b.iteration_complete) {
        if (auto i = preparer_.IterationCompleted(finished.run); !i) {
          StopAfterShown(i.error());
          break;
        }
      }
      if (b.end_line) JobsLog({"END " + Description(finished) + " " + FormatTime(clock_.Now())});
      if (b.end_line && finished.job == JobKind::kBot) bots_done_.insert(finished.year);
      Step(ended, finished);
      break;
    }
    case PartOutcome::kFailure:
      HandleFailure(ended, problem);
      break;
    case PartOutcome::kSuccessWithoutOutput:
      host_.PartEnded(EventOf(ended), PartEnd::kFailed);
      slot.state.active = false;
      InternalError("Dos Job Number " + std::to_string(ended) + " not spawned another job");
      break;
  }
  if (Running()) host_.JobLinesChanged(JobLines());
  return true;
}

void JobEngine::CancelButton() {
  if (!Running()) return;
  if (prompter_.Confirm("Do you really want to kill this job?", kYes | kNo) == kYes) {
    RequestCancel();
  }
}

void JobEngine::Abort(const std::string& message) {
  if (!Running()) return;
  Stop();
  state_ = EngineState::kCancelled;
  outcome_message_ = message;
  End(false, false);
}

void JobEngine::TerminateLeftovers(std::chrono::milliseconds grace) {
  // Every group gets SIGTERM first, so the grace periods run side by side.
  for (const ProcessHandle& h : orphans_) runner_.SendStop(h, false);
  const auto deadline = std::chrono::steady_clock::now() + grace;
  for (;;) {
    ReapOrphans();
    if (orphans_.empty()) return;
    const auto now = std::chrono::steady_clock::now();
    if (now >= deadline) break;
    runner_.WaitForAnyEnd(
        orphans_, std::min(std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now),
                           std::chrono::milliseconds(50)));
  }
  for (const ProcessHandle& h : orphans_) runner_.SendStop(h, true);
  while (!orphans_.empty()) {
    runner_.WaitForAnyEnd(orphans_, std::chrono::milliseconds(50));
    ReapOrphans();
  }
}

void JobEngine::Stop() {
  stopped_ = true;
  SetBackground(false);
  if (state_ == EngineState::kRunning) state_ = EngineState::kStopped;
  // Stopping never kills a solve that may have run for days; its process is only
  // watched until it ends, so that it is reaped.
  for (int s = 1; s <= 3; ++s) {
    if (!slots_[s].state.active) continue;
    if (slots_[s].process.valid()) orphans_.push_back(slots_[s].process);
    host_.PartEnded(EventOf(s), PartEnd::kStopped);
    slots_[s].state.active = false;
  }
}

void JobEngine::End(bool success, bool refresh) { host_.BigJobEnded(success, refresh); }

void JobEngine::StopAfterShown(const std::string& message) {
  Stop();
  outcome_message_ = message;
  End(false, false);
}

void JobEngine::InternalError(const std::string& message) {
  Stop();
  outcome_message_ = InternalErrorText(message);
  prompter_.Error(outcome_message_);
  End(false, false);
}

void JobEngine::FailOutsidePart(const SlotState* part, const std::string& message) {
  Stop();
  if (part) failed_part_ = ErrorDescription(part->run, What(*part), part->job, part->part);
  outcome_message_ = message;
  prompter_.Error(message);
  End(false, false);
}

std::string JobEngine::PartLog(const PreparedPart& files) const {
  auto usable = [&](const std::string& path) {
    return !path.empty() && FileExists(path) && path != files.year_log;
  };
  if (usable(files.log_file)) return files.log_file;
  // A program may name its log itself; its report says where.
  if (FileExists(files.report_file)) {
    if (auto ini = IniFile::Load(files.report_file)) {
      std::string named = ini->ReadString("Result", "Log file", "");
      if (!named.empty() && !IsAbsolutePath(named)) {
        named = JoinPath(files.process.working_dir, named);
      }
      if (usable(named)) return named;
    }
  }
  return "";
}

void JobEngine::HandleFailure(int slot_number, const std::string& problem) {
  Slot& slot = slots_[slot_number];
  const SlotState failed = slot.state;
  const PreparedPart files = slot.files;
  host_.PartEnded(EventOf(slot_number), PartEnd::kFailed);
  slot.state.active = false;
  part_failed_ = true;
  Stop();
  failed_part_ = ErrorDescription(failed.run, What(failed), failed.job, failed.part);
  outcome_message_ = "An error has occurred doing\r\n" + Description(failed) +
                     (problem.empty() ? "" : "\r\n" + problem);
  if (!settings_.batch_mode) prompter_.Error(outcome_message_);
  End(false, true);
  const std::string error_line = "ERROR " + failed_part_ + " " + FormatTime(clock_.Now());
  JobsLog({error_line});
  const std::string batch_log = JoinPath(settings_.keep_dir, kBatchJobsLogName);

  const JobChoice part{failed.run, failed.year, failed.job, failed.part};
  std::string error_log = PartLog(files);
  if (!FileExists(files.report_file) && error_log.empty()) {
    outcome_message_ =
        "The expected Report File\r\n  " + files.report_file +
        "\r\n has not been created.\r\nThis error is probably because your Temporary Directory "
        "is not set appropriately.\r\nClick on the Help button for more details.\r\n"
        "  [Alternatively, perhaps the program did not run,\r\n    is not a stand-alone EXE, or "
        "is from Release 5.1 or earlier of Solvara.]\r\nThis is a very serious problem.\r\n"
        "You cannot run " +
        preparer_.ProgramName(part) + " successfully until you fix it.";
    // A program that crashed did run: say so first, so the advice is not taken for the
    // whole story.
    if (!problem.empty()) outcome_message_ = problem + "\r\n" + outcome_message_;
    prompter_.Show({MessageKind::kError, outcome_message_, kOk | kHelp, 0, ""});
    if (settings_.batch_mode) {
      AppendToLog(batch_log, {"Error running job - no log file", error_line});
    }
    if (failed.job == JobKind::kSim && failed.part == PartKind::kSim) {
      prompter_.Show(
          {MessageKind::kError,
           "An alternative is that the model \r\n   " + preparer_.ModelPath() +
               "\r\nwas not made with Release 7.0 or later of Solvara.\r\nYou can check that "
               "explicitly if you load this model again,\r\n using the \"Change Model\" button "
               "on the Model/Data page.\r\n That will check which version of Solvara was used to "
               "create this model.\r\n[Click on the \"Help\" button for more information.]",
           kOk | kHelp, 0, ""});
    }
    return;
  }

  if (settings_.batch_mode) {
    if (!error_log.empty() && DirOfFile(error_log) != RemoveTrailingSep(settings_.working_dir)) {
      std::string copy = JoinPath(settings_.working_dir, FileNameOf(error_log));
      if (CopyKeepingStamp(error_log, copy, false)) error_log = copy;
    }
    std::vector<std::string> lines{"Error running job - no log file"};
    if (!error_log.empty()) lines = {"Error running job - see log file", error_log};
    lines.push_back(error_line);
    AppendToLog(batch_log, lines);
    if (!error_log.empty()) outcome_message_ += "\r\nSee log file " + error_log;
    return;
  }
  if (!error_log.empty()) {
    (void)CopyKeepingStamp(error_log, JoinPath(settings_.keep_dir, kLastErrorLogName), false);
  }
  OfferErrorLog(error_log, prompter_,
                [this](const std::string& log) { host_.ShowLogReadOnly(log); });
}

void JobEngine::WholeJobFinished() {
  state_ = EngineState::kFinished;
  SetBackground(false);
  elapsed_ = std::chrono::duration_cast<std::chrono::seconds>(clock_.Now() - start_time_);
  const std::string elapsed = ElapsedText(elapsed_);
  JobsLog({"WHOLE JOB FINISHED OK at " + FormatDateTime(clock_.Now()), " [" + elapsed + "]"});
  outcome_message_ = "Job finished successfully";
  host_.JobLinesChanged({JobLine{0, 0, "[Job finished] "}});
  if (!settings_.batch_mode && !settings_.more_passes_follow) {
    prompter_.Show(
        {MessageKind::kInformation,
         settings_.program_display_name + ":\r\nWhole job is finished\r\n[" + elapsed + ".]",
         kOk | kHelp, 0, ""});
  }
  preparer_.BigJobFinished();
  End(true, true);
}

std::vector<ProcessHandle> JobEngine::ActiveHandles() const {
  std::vector<ProcessHandle> h;
  for (int s = 1; s <= 3; ++s) {
    if (slots_[s].state.active) h.push_back(slots_[s].process);
  }
  return h;
}

std::vector<ProcessHandle> JobEngine::WatchedHandles() const {
  std::vector<ProcessHandle> h = ActiveHandles();
  h.insert(h.end(), orphans_.begin(), orphans_.end());
  return h;
}

std::string JobEngine::JobLinesHeader() const {
  return settings_.pass_info.empty() ? "Running jobs:" : "Running jobs: " + settings_.pass_info;
}

PartEvent JobEngine::EventOf(int slot) const {
  const SlotState& st = slots_[slot].state;
  const int iteration = iterations_.Current ? iterations_.Current(st.run) : 0;
  return {slot, st.run, st.year, st.job, st.part, iteration};
}

JobLine JobEngine::LineOf(int slot) const {
  const SlotState& st = slots_[slot].state;
  const int iteration = iterations_.Current ? iterations_.Current(st.run) : 0;
  return {slot, st.run,
          "  " + std::string(RunShortName(st.run)) + ": " + What(st) + " [" +
              std::string(PartName(st.part)) + " part of job " + std::string(JobName(st.job)) +
              "]" + (iteration > 0 ? " [Iter " + std::to_string(iteration) + "]" : "")};
}

std::vector<JobLine> JobEngine::JobLines() const {
  std::vector<JobLine> lines;
  for (int s = 1; s <= 3; ++s) {
    if (slots_[s].state.active) lines.push_back(LineOf(s));
  }
  if (lines.empty()) {
    lines.push_back({0, 0, launched_any_ ? "[None running.]" : "[None running yet] "});
  }
  return lines;
}

void JobEngine::ReapOrphans() {
  std::erase_if(orphans_, [&](ProcessHandle& h) { return runner_.Poll(h).has_value(); });
}

}  // namespace yl::jobs
