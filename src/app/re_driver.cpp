#include "app/re_driver.h"

#include "app/batch_prompter.h"
#include "app/controller.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "sim/sim_inputs.h"
#include "sim/sim_naming.h"
#include "sim/sim_runs.h"

namespace yl {

namespace {

using ratex::kHelpRationalExpectations;

bool RequestSimulates(const jobs::PlanRequest& r, int run) {
  return r.first_sim_year[run] <= r.last_sim_year[run];
}

}  // namespace

ratex::ReCounts ReCountsOf(const SessionSettings& s) {
  const ReSettings& re = s.options.Re;
  return {re.BaseIterations, re.RerunIterations, re.PolicyIterations};
}

ratex::IterationStates FreshIterations(const SessionSettings& s, const jobs::PlanRequest& request) {
  const ratex::ReCounts counts = ReCountsOf(s);
  ratex::IterationStates states{};
  for (int r = kBase; r <= kPolicy; ++r) {
    if (r == kRerun && s.options.NoRerun) continue;
    if (!RequestSimulates(request, r)) continue;
    states[r] = {counts.Of(r), 0, 1, 1};
  }
  return states;
}

ratex::ReContext ReContextOf(const Session& session, int policy_start) {
  const SessionSettings& s = session.settings;
  ratex::ReContext c;
  c.sim = &session.sim;
  c.no_rerun = s.options.NoRerun;
  c.policy_start = policy_start;
  c.first_year = ParseFirstYearList(s.first_year_files);
  c.temp_dir = s.paths.temp_dir;
  c.counts = ReCountsOf(s);
  c.several_rerun_iterations = s.options.Re.SeveralIterationsOnRerun;
  c.program_name = kDisplayName;
  return c;
}

ReDriver::ReDriver(const Session& session, int policy_start, const ratex::IterationStates& states,
                   Prompter& prompter, bool batch_mode)
    : session_(session),
      context_(ReContextOf(session, policy_start)),
      states_(states),
      prompter_(prompter),
      batch_mode_(batch_mode) {}

int ReDriver::FirstPeriod(int run) const { return RunFirstPeriod(run, context_.policy_start); }

void ReDriver::ShowError(const std::string& text) {
  prompter_.Error(text, kHelpRationalExpectations, kOk);
}

Status ReDriver::Start() {
  convergence_ = {};
  histories_ = {};
  prepared_ = {};
  reports_.clear();
  auto sets = ratex::SetUpREFiles(context_);
  if (!sets) {
    ShowError(sets.error());
    return Fail(sets.error());
  }
  sets_ = std::move(*sets);
  int first_run = 0;
  for (int r = kBase; r <= kPolicy && first_run == 0; ++r) {
    if (states_[r].target > 0) first_run = r;
  }
  if (first_run > kBase) {
    if (auto s = ratex::IterationCheck(context_, first_run); !s) {
      ShowError(s.error());
      return s;
    }
  }
  if (session_.settings.options.Re.PrepareHar) {
    const std::string map = ratex::InWorkingDir(context_, std::string(kIterationVariableMap));
    if (!FileExists(map)) {
      const std::string text =
          "Since you are creating Convergence HAR files,\r\n you must specify the names of the "
          "variables to include\r\n on the Interation Variables Mapping file\r\n" +
          map + "\r\nThis file does not exist. Please create such a file.";
      ShowError(text);
      return Fail(text);
    }
  }
  prompter_.Information("Doing Rational Expectations a la CORVAN.", kHelpRationalExpectations);
  return Ok();
}

jobs::IterationCounters ReDriver::Counters() {
  jobs::IterationCounters c;
  c.MoreIterations = [this](int run) {
    const ratex::IterationState& s = states_[run];
    return s.target > 0 && s.done < s.target;
  };
  c.BeginIteration = [this](int run) { states_[run].current = states_[run].done + 1; };
  c.Current = [this](int run) { return states_[run].target > 0 ? states_[run].current : 0; };
  return c;
}

Status ReDriver::BeforePart(const jobs::JobChoice& part) {
  const bool first_part = (part.job == JobKind::kSim && part.part == PartKind::kSim) ||
                          (part.job == JobKind::kBot && part.part == PartKind::kEnv);
  const int run = part.run;
  if (!first_part || part.year != FirstPeriod(run) || states_[run].target == 0) return Ok();
  const ratex::IterationState& st = states_[run];
  if (st.current == st.start) {
    if (prepared_[run]) return Ok();
    if (auto s = ratex::PrepareREFiles(context_, sets_, states_, run, histories_[run]); !s) {
      ShowError(s.error());
      return Fail("Could not set up ROREXT, ITER and EXTRA files to start " + RunWord(run));
    }
    prepared_[run] = true;
    return Ok();
  }
  if (run == kRerun && st.current > 1 && context_.several_rerun_iterations &&
      part.job == JobKind::kSim) {
    const int rorext = ratex::FindLogicalFile(session_.sim, "ROREXT");
    const std::string last = ratex::LastYearUpdatedFile(context_, rorext, kRerun);
    if (FileExists(last)) {
      if (auto s = CopyKeepingStamp(last, ratex::RerunIterationCopy(context_, st.current), false);
          !s) {
        return s;
      }
    }
  }
  return Ok();
}

ReFileInputs ReDriver::CmfInputs(int run) const {
  ReFileInputs in;
  in.InUse = states_[run].target > 0;
  if (!in.InUse) return in;
  if (states_[run].current == states_[run].start) {
    in.Rorext = sets_.working.Rorext;
    in.Iter = sets_.working.Iter;
  }
  in.Extra = sets_.working.Extra;
  return in;
}

Status ReDriver::AfterPart(const jobs::JobChoice& part) {
  if (part.job != JobKind::kSim || part.part != PartKind::kSol) return Ok();
  const int run = part.run;
  if (states_[run].target == 0) return Ok();
  const TSimRecord& sim = session_.sim;
  const std::string sol =
      ratex::InWorkingDir(context_, SolutionFileName(sim, run, part.year, context_.no_rerun));
  if (session_.settings.options.Re.StandardChecks) {
    if (auto s =
            ratex::CheckREClosure(ChangeFileExt(sol, ".sli"), run, part.year, sim.Years[part.year]);
        !s) {
      ShowError(s.error());
      return s;
    }
  }
  const ratex::IterationState& st = states_[run];
  if (part.year != FirstPeriod(run) || st.current != st.start ||
      !session_.settings.options.Re.PrepareHar) {
    return Ok();
  }
  auto fail = [&](const std::string& text) -> Status {
    ShowError(text);
    const std::string stop = "Cannot continue with Rational Expectations because of earlier error.";
    prompter_.Information(stop, kHelpRationalExpectations);
    return Fail(text + "\r\n" + stop);
  };
  auto variables = ratex::BuildVariableList(
      sol, ratex::InWorkingDir(context_, std::string(kIterationVariableMap)));
  if (!variables) return fail(variables.error());
  std::vector<std::string> list =
      ratex::BuildReportList(ratex::InWorkingDir(context_, IterationWorkName(run)), st.target);
  // With nothing to report there is no file to keep.
  if (list.empty()) return Ok();
  Notices notices;
  auto conv = ratex::StartConvergenceFile(context_, states_, run, std::move(*variables),
                                          std::move(list), notices);
  ShowAll(prompter_, notices);
  if (!conv) return fail(conv.error());
  convergence_[run] = std::move(*conv);
  return Ok();
}

Status ReDriver::IterationCompleted(Run run) {
  ratex::IterationState& st = states_[run];
  if (st.target == 0) return Ok();
  ++st.done;
  const ReSettings& re = session_.settings.options.Re;
  const ratex::KeepSettings keep{re.PrepareRorext, re.PrepareCsv, re.PrepareHar};
  auto conv = convergence_[run] ? &*convergence_[run] : nullptr;
  auto history = histories_[run] ? &*histories_[run] : nullptr;
  if (auto s = ratex::EndOfIteration(context_, states_, run, keep, conv, history); !s) {
    prompter_.Error(s.error());
    return s;
  }
  return Ok();
}

void ReDriver::Finished() {
  reports_.clear();
  for (const ratex::ConvergenceOverview& o :
       ratex::ConvergenceReport(context_, states_, histories_)) {
    const Message& m = o.message;
    reports_.push_back(o.title.empty() ? PlainText(m.text) : o.title + "\n" + PlainText(m.text));
    // A window of its own: the report is long, and its figures line up in a fixed font.
    if (!batch_mode_) prompter_.ShowTextWindow({o.title, m.text, m.help_topic, false});
  }
  convergence_ = {};
}

}  // namespace yl
