#include "jobs/job_plan.h"

#include <algorithm>

#include "core/internal_error.h"

namespace yl::jobs {

namespace {

using J = JobKind;
using P = PartKind;

JobKind FamilyOf(JobKind job) {
  if (job == J::kVarix) return J::kTallyr;
  if (job == J::kDevSol) return J::kCumSol;
  return job;
}

}  // namespace

PlanRequest PlanRequest::Nothing(int num_years) {
  PlanRequest r;
  r.first_sim_year.fill(num_years + 2);
  r.first_ss_year.fill(num_years + 2);
  r.last_sim_year.fill(0);
  r.last_ss_year.fill(0);
  return r;
}

const char* RunShortName(int run) {
  CheckIndex(run, 1, 3, "run");
  static const char* const kNames[] = {"", "Base", "Rerun", "Policy"};
  return kNames[run];
}

int PrerequisiteRun(int run, bool two_run_mode) {
  CheckIndex(run, 1, 3, "run");
  if (run == kBase) return 0;
  if (run == kRerun) return kBase;
  return two_run_mode ? kBase : kRerun;
}

bool SameFamily(JobKind a, JobKind b) { return FamilyOf(a) == FamilyOf(b); }

JobPlan::JobPlan(const PlanSettings& settings, const PlanRequest& request) : settings_(settings) {
  const int n = settings_.NumYears;
  for (int r = 1; r <= 3; ++r) {
    RunPlan& p = plans_[r];
    bool emptied = settings_.TwoRunMode && r == kRerun;
    p.first_sim_year = emptied ? n + 2 : std::max(FirstSimulable(r), request.first_sim_year[r]);
    p.last_sim_year = emptied ? 0 : std::min(n, request.last_sim_year[r]);
    p.first_ss_year = emptied ? n + 2 : std::max(FirstSimulable(r), request.first_ss_year[r]);
    p.last_ss_year = emptied ? 0 : std::min(n, request.last_ss_year[r]);
    p.has_sims = p.last_sim_year >= p.first_sim_year;
    p.wants_ss = p.last_ss_year >= p.first_ss_year;
    p.first_policy_years_ss = n + 1;
    p.last_policy_years_ss = 0;
  }

  RunPlan& policy = plans_[kPolicy];
  if (settings_.DoDeviations && policy.wants_ss) {
    const int start = settings_.PolicyStart;
    bool policy_whole = policy.first_ss_year == start && policy.last_ss_year == n;
    if (settings_.TwoRunMode && start > 1 && policy_whole) {
      plans_[kBase].first_policy_years_ss = start;
      plans_[kBase].last_policy_years_ss = n;
    }
    if (!policy_whole) {
      RunPlan& prereq = plans_[PrerequisiteRun(kPolicy, settings_.TwoRunMode)];
      if (prereq.first_ss_year != policy.first_ss_year ||
          prereq.last_ss_year != policy.last_ss_year) {
        prereq.first_policy_years_ss = policy.first_ss_year;
        prereq.last_policy_years_ss = policy.last_ss_year;
      }
    }
  }
  if (!policy.wants_ss) settings_.DoDeviations = false;

  for (int r = 1; r <= 3; ++r) {
    RunPlan& p = plans_[r];
    p.wants_policy_years_ss = p.last_policy_years_ss >= p.first_policy_years_ss;
    p.last_sim_done = p.has_sims ? p.first_sim_year - 1 : n;
    if (p.wants_ss || p.wants_policy_years_ss) {
      p.last_ss_job = J::kNone;
      p.last_ss_part = P::kCsv;
    } else {
      p.last_ss_job = J::kCumSol;
      p.last_ss_part = P::kCum;
    }
  }
}

bool JobPlan::InRange(int year, int run) const {
  if (run < 1 || run > 3 || year < 1 || year > settings_.NumYears) return false;
  return plans_[run].first_sim_year <= year && year <= plans_[run].last_sim_year;
}

bool JobPlan::Empty() const {
  for (int r = 1; r <= 3; ++r) {
    if (plans_[r].has_sims || plans_[r].wants_ss) return false;
  }
  return true;
}

std::optional<JobChoice> JobPlan::SpreadsheetCandidate(
    Run run, const std::array<SlotState, 4>& slots) const {
  const RunPlan& p = plans_[run];
  const int year = settings_.NumYears + 1;
  JobChoice c{run, year, J::kNone, P::kNone};
  if (p.last_ss_job == J::kNone) {
    c.job = J::kCsv;
    c.part = P::kCsv;
  } else if (p.last_ss_job == J::kCsv) {
    c.job = J::kSsSol;
    c.part = P::kSsSol;
  } else if (p.last_ss_job == J::kSsSol) {
    c.job = J::kTallyr;
    c.part = (run == kPolicy || p.wants_ss) ? P::kYonY : P::kPy;
  } else if (p.last_ss_job == J::kTallyr) {
    c.job = J::kCumSol;
    c.part = (run != kBase || p.wants_ss) ? P::kCum : P::kPy;
  } else {
    return std::nullopt;
  }
  for (int s = 1; s <= 3; ++s) {
    if (slots[s].active && slots[s].run == run && SameFamily(slots[s].job, c.job)) {
      return std::nullopt;
    }
  }
  if (run == kPolicy && IsCumulativeJob(c.job)) {
    if (plans_[PrerequisiteRun(kPolicy, settings_.TwoRunMode)].last_ss_job != J::kCumSol) {
      return std::nullopt;
    }
  }
  return c;
}

Result<std::optional<JobChoice>> JobPlan::ChooseNextJob(const std::array<SlotState, 4>& slots,
                                                        bool first_call, const BotRecords& bots,
                                                        const IterationCounters& iterations) {
  auto running = [&](auto pred) {
    for (int s = 1; s <= 3; ++s) {
      if (slots[s].active && pred(slots[s])) return true;
    }
    return false;
  };
  auto sim_running = [&](int run, int year) {
    return running(
        [&](const SlotState& s) { return s.job == J::kSim && s.run == run && s.year == year; });
  };
  auto bot_running = [&](int year) {
    return running([&](const SlotState& s) { return s.job == J::kBot && s.year == year; });
  };

  const std::array<Run, 3> order = settings_.Order == OrderPreference::kPolAsap
                                       ? std::array<Run, 3>{kPolicy, kRerun, kBase}
                                       : std::array<Run, 3>{kBase, kRerun, kPolicy};
  for (const Run r : order) {
    if (r == kRerun && settings_.TwoRunMode) continue;
    RunPlan& p = plans_[r];
    const int next = p.last_sim_done + 1;

    const bool spreadsheet_stage =
        (p.wants_ss || p.wants_policy_years_ss) && next > p.last_sim_year;
    if (spreadsheet_stage) {
      if (auto c = SpreadsheetCandidate(r, slots)) return c;
    }

    if (!spreadsheet_stage && p.has_sims && next >= FirstSimulable(r) && p.first_sim_year <= next &&
        next <= p.last_sim_year) {
      if (r == kRerun && !InRange(next, kRerun)) {
        return Fail("Expect to be doing TryYearNo of the Rerun here");
      }
      const bool base_done = plans_[kBase].last_sim_done >= next;
      const bool rerun_ready =
          r != kPolicy || settings_.TwoRunMode || plans_[kRerun].last_sim_done >= next - 1;
      if (r == kBase) {
        if (!sim_running(kBase, next)) return JobChoice{kBase, next, J::kSim, P::kSim};
      } else {
        if (!bot_running(next) && base_done && rerun_ready) {
          bool needed;
          if ((InRange(next, kRerun) && InRange(next, kPolicy)) || settings_.TwoRunMode) {
            needed = first_call || !bots.DoneThisJob(next);
          } else {
            // One made in this big job is current whatever the records say (a record
            // that could not be written must not make it run forever).
            needed = !bots.DoneThisJob(next) && (!bots.StillNeeded || bots.StillNeeded(next));
          }
          if (needed) {
            if (!first_call && bots.DoneThisJob(next)) {
              return Fail("Have got into infinite loop running BOT job for year " +
                          std::to_string(settings_.CalendarYear(next)));
            }
            return JobChoice{BotRun(), next, J::kBot, P::kEnv};
          }
        }
        if (!sim_running(r, next) && !bot_running(next) && base_done && rerun_ready) {
          return JobChoice{r, next, J::kSim, P::kSim};
        }
      }
    }

    // A run the task does not simulate has nothing to iterate, and a run waiting for
    // another is not between iterations.
    const bool iteration_ended =
        next > p.last_sim_year && (!(p.wants_ss || p.wants_policy_years_ss) ||
                                   p.last_ss_job == J::kCumSol || IsDifferenceJob(p.last_ss_job));
    if (settings_.RationalExpectations && p.has_sims && iteration_ended &&
        iterations.MoreIterations(r) && !sim_running(r, next)) {
      iterations.BeginIteration(r);
      p.last_sim_done = p.first_sim_year - 1;
      p.last_ss_job = J::kNone;
      p.last_ss_part = P::kCsv;
      return JobChoice{r, p.first_sim_year, J::kSim, P::kSim};
    }
  }
  return std::optional<JobChoice>{};
}

std::optional<JobChoice> JobPlan::NextPart(const SlotState& slot) const {
  JobChoice c{slot.run, slot.year, slot.job, P::kNone};
  const JobKind job = slot.job;
  const PartKind part = slot.part;
  if (job == J::kBot) {
    if (part == P::kEnv) {
      c.part = settings_.UseSolFilesForShocks ? P::kSolPol : P::kAmbix1;
      return c;
    }
    if (part == P::kAmbix1) {
      c.part = P::kSolex1;
      return c;
    }
    if (part == P::kSolPol) {
      c.part = P::kAmbix2;
      return c;
    }
  }
  if (job == J::kSim && part == P::kSim) {
    c.part = P::kSol;
    return c;
  }
  if (job == J::kTallyr && part == P::kYonY && !settings_.AbbreviatedSSJobs) {
    c.part = P::kCum;
    return c;
  }
  const bool assembly_part = part == P::kCum || part == P::kYonY || part == P::kPy;
  if (IsCumulativeJob(job) && assembly_part) {
    const RunPlan& p = plans_[slot.run];
    if (p.wants_policy_years_ss && p.last_ss_part != P::kPy) {
      c.part = P::kPy;
      return c;
    }
  }
  if (job == J::kCumSol && slot.run == kPolicy && assembly_part && settings_.DoDeviations) {
    c.job = J::kVarix;
    c.part = settings_.MakeYonYDiffSS ? P::kYonY : P::kCum;
    return c;
  }
  if (job == J::kVarix && part == P::kYonY) {
    c.part = P::kCum;
    return c;
  }
  if (job == J::kVarix && part == P::kCum) {
    c.job = J::kDevSol;
    c.part = P::kCum;
    return c;
  }
  return std::nullopt;
}

Booking JobPlan::FinishJobPart(const SlotState& slot) {
  RunPlan& p = plans_[slot.run];
  const JobKind job = slot.job;
  const PartKind part = slot.part;
  if (job == J::kSim) {
    if (part == P::kSol) p.last_sim_done = slot.year;
    return {true, false};
  }
  if (job == J::kBot) return {part == P::kSolex1 || part == P::kAmbix2, false};
  p.last_ss_part = part;
  if (job == J::kCsv || job == J::kSsSol) {
    p.last_ss_job = job;
    return {true, false};
  }
  if (IsCumulativeJob(job)) {
    bool last_main_part =
        part == P::kCum || (job == J::kTallyr && part == P::kYonY && settings_.AbbreviatedSSJobs);
    bool complete = part == P::kPy || (last_main_part && !p.wants_policy_years_ss);
    if (!complete) return {};
    p.last_ss_job = job;
    return {slot.run != kPolicy, job == J::kCumSol && settings_.RationalExpectations};
  }
  if (IsDifferenceJob(job) && part == P::kCum) {
    p.last_ss_job = job;
    return {true, false};
  }
  return {};
}

bool JobPlan::WholeSpreadsheetChainDone(Run run) const {
  const RunPlan& p = plans_[run];
  if (!p.wants_ss || p.first_ss_year > FirstSimulable(run) || p.last_ss_year < settings_.NumYears) {
    return false;
  }
  if (run == kPolicy && settings_.DoDeviations) return p.last_ss_job == J::kDevSol;
  return p.last_ss_job == J::kCumSol || p.last_ss_job == J::kDevSol;
}

std::optional<CompletedUnit> JobPlan::UnitCompletedBy(const SlotState& slot, const Booking& booking,
                                                      bool chain_done_before) const {
  if (slot.job == J::kSim) {
    if (slot.part != P::kSol) return std::nullopt;
    return CompletedUnit{slot.run, slot.year, UnitOfWork::kSim};
  }
  if (slot.job == J::kBot) {
    if (!booking.end_line) return std::nullopt;
    return CompletedUnit{BotRun(), slot.year, UnitOfWork::kBot};
  }
  if (!chain_done_before && WholeSpreadsheetChainDone(slot.run)) {
    return CompletedUnit{slot.run, settings_.NumYears + 1, UnitOfWork::kSpreadsheetChain};
  }
  return std::nullopt;
}

}  // namespace yl::jobs
