#include "jobs/job_plan.h"

#include <algorithm>

#include "core/internal_error.h"

namespace yl::jobs {

namespace {

bool Is(const std::string& a, const char* b) { return a == b; }

std::string FamilyOf(const std::string& job) {
  if (job == "varix") return "tallyr";
  if (job == "devsol") return "cumsol";
  return job;
}

}  // namespace

PlanRequest PlanRequest::Nothing(int num_years) {
  PlanRequest r;
  r.SimFirst.fill(num_years + 2);
  r.SSFirst.fill(num_years + 2);
  r.SimLast.fill(0);
  r.SSLast.fill(0);
  return r;
}

const char* RunShortName(int run) {
  CheckIndex(run, 1, 3, "run");
  static const char* const kNames[] = {"", "Base", "Rerun", "Policy"};
  return kNames[run];
}

int PrerequisiteRun(int run, bool two_run_mode) {
  CheckIndex(run, 1, 3, "run");
  if (run == 1) return 0;
  if (run == 2) return 1;
  return two_run_mode ? 1 : 2;
}

bool SameFamily(const std::string& a, const std::string& b) { return FamilyOf(a) == FamilyOf(b); }

JobPlan::JobPlan(const PlanSettings& settings, const PlanRequest& request) : settings_(settings) {
  const int n = settings_.NumYears;
  for (int r = 1; r <= 3; ++r) {
    RunPlan& p = plans_[r];
    bool emptied = settings_.TwoRunMode && r == 2;
    p.SimFirst = emptied ? n + 2 : std::max(FirstSimulable(r), request.SimFirst[r]);
    p.SimLast = emptied ? 0 : std::min(n, request.SimLast[r]);
    p.SSFirst = emptied ? n + 2 : std::max(FirstSimulable(r), request.SSFirst[r]);
    p.SSLast = emptied ? 0 : std::min(n, request.SSLast[r]);
    p.RunSims = p.SimLast >= p.SimFirst;
    p.SSWanted = p.SSLast >= p.SSFirst;
    p.PYFirst = n + 1;
    p.PYLast = 0;
  }

  RunPlan& policy = plans_[3];
  if (settings_.DoDeviations && policy.SSWanted) {
    const int start = settings_.PolicyStart;
    bool policy_whole = policy.SSFirst == start && policy.SSLast == n;
    if (settings_.TwoRunMode && start > 1 && policy_whole) {
      plans_[1].PYFirst = start;
      plans_[1].PYLast = n;
    }
    if (!policy_whole) {
      RunPlan& prereq = plans_[PrerequisiteRun(3, settings_.TwoRunMode)];
      if (prereq.SSFirst != policy.SSFirst || prereq.SSLast != policy.SSLast) {
        prereq.PYFirst = policy.SSFirst;
        prereq.PYLast = policy.SSLast;
      }
    }
  }
  if (!policy.SSWanted) settings_.DoDeviations = false;

  for (int r = 1; r <= 3; ++r) {
    RunPlan& p = plans_[r];
    p.PYWanted = p.PYLast >= p.PYFirst;
    p.LastDone = p.RunSims ? p.SimFirst - 1 : n;
    if (p.SSWanted || p.PYWanted) {
      p.LastSSJob = "";
      p.LastSSPart = "csv";
    } else {
      p.LastSSJob = "cumsol";
      p.LastSSPart = "cum";
    }
  }
}

bool JobPlan::InRange(int year, int run) const {
  if (run < 1 || run > 3 || year < 1 || year > settings_.NumYears) return false;
  return plans_[run].SimFirst <= year && year <= plans_[run].SimLast;
}

bool JobPlan::Empty() const {
  for (int r = 1; r <= 3; ++r) {
    if (plans_[r].RunSims || plans_[r].SSWanted) return false;
  }
  return true;
}

std::optional<JobChoice> JobPlan::SpreadsheetCandidate(
    int run, const std::array<SlotState, 4>& slots) const {
  const RunPlan& p = plans_[run];
  const int year = settings_.NumYears + 1;
  JobChoice c{run, year, "", ""};
  if (p.LastSSJob.empty()) {
    c.job = "csv";
    c.part = "csv";
  } else if (Is(p.LastSSJob, "csv")) {
    c.job = "sssol";
    c.part = "sssol";
  } else if (Is(p.LastSSJob, "sssol")) {
    c.job = "tallyr";
    c.part = (run == 3 || p.SSWanted) ? "yony" : "py";
  } else if (Is(p.LastSSJob, "tallyr")) {
    c.job = "cumsol";
    c.part = (run != 1 || p.SSWanted) ? "cum" : "py";
  } else {
    return std::nullopt;
  }
  for (int s = 1; s <= 3; ++s) {
    if (slots[s].active && slots[s].run == run && SameFamily(slots[s].job, c.job)) {
      return std::nullopt;
    }
  }
  if (run == 3 && (c.job == "tallyr" || c.job == "cumsol")) {
    if (plans_[PrerequisiteRun(3, settings_.TwoRunMode)].LastSSJob != "cumsol") {
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
        [&](const SlotState& s) { return s.job == "sim" && s.run == run && s.year == year; });
  };
  auto bot_running = [&](int year) {
    return running([&](const SlotState& s) { return s.job == "bot" && s.year == year; });
  };

  std::vector<int> order = settings_.Order == OrderPreference::kPolAsap ? std::vector<int>{3, 2, 1}
                                                                        : std::vector<int>{1, 2, 3};
  for (int r : order) {
    if (r == 2 && settings_.TwoRunMode) continue;
    RunPlan& p = plans_[r];
    const int next = p.LastDone + 1;

    const bool spreadsheet_stage = (p.SSWanted || p.PYWanted) && next > p.SimLast;
    if (spreadsheet_stage) {
      if (auto c = SpreadsheetCandidate(r, slots)) return c;
    }

    if (!spreadsheet_stage && p.RunSims && next >= FirstSimulable(r) && p.SimFirst <= next &&
        next <= p.SimLast) {
      if (r == 2 && !InRange(next, 2)) {
        return Fail("Expect to be doing TryYearNo of the Rerun here");
      }
      const bool base_done = plans_[1].LastDone >= next;
      const bool rerun_ready = r != 3 || settings_.TwoRunMode || plans_[2].LastDone >= next - 1;
      if (r == 1) {
        if (!sim_running(1, next)) return JobChoice{1, next, "sim", "sim"};
      } else {
        if (!bot_running(next) && base_done && rerun_ready) {
          bool needed;
          if ((InRange(next, 2) && InRange(next, 3)) || settings_.TwoRunMode) {
            needed = first_call || !bots.DoneThisJob(next);
          } else {
            needed = bots.StillNeeded ? bots.StillNeeded(next) : !bots.DoneThisJob(next);
          }
          if (needed) {
            if (!first_call && bots.DoneThisJob(next)) {
              return Fail("Have got into infinite loop running BOT job for year " +
                          std::to_string(settings_.CalendarYear(next)));
            }
            return JobChoice{BotRun(), next, "bot", "env"};
          }
        }
        if (!sim_running(r, next) && !bot_running(next) && base_done && rerun_ready) {
          return JobChoice{r, next, "sim", "sim"};
        }
      }
    }

    // A run the task does not simulate has nothing to iterate.
    if (settings_.RationalExpectations && p.RunSims && iterations.MoreIterations(r) &&
        !sim_running(r, next)) {
      iterations.BeginIteration(r);
      p.LastDone = p.SimFirst - 1;
      p.LastSSJob = "";
      return JobChoice{r, p.SimFirst, "sim", "sim"};
    }
  }
  return std::optional<JobChoice>{};
}

std::optional<JobChoice> JobPlan::NextPart(const SlotState& slot) const {
  JobChoice c{slot.run, slot.year, slot.job, ""};
  const std::string& job = slot.job;
  const std::string& part = slot.part;
  if (job == "bot") {
    if (part == "env") {
      c.part = settings_.UseSolFilesForShocks ? "solpol" : "ambix1";
      return c;
    }
    if (part == "ambix1") {
      c.part = "solex1";
      return c;
    }
    if (part == "solpol") {
      c.part = "ambix2";
      return c;
    }
  }
  if (job == "sim" && part == "sim") {
    c.part = "sol";
    return c;
  }
  if (job == "tallyr" && part == "yony" && !settings_.AbbreviatedSSJobs) {
    c.part = "cum";
    return c;
  }
  const bool assembly_part = part == "cum" || part == "yony" || part == "py";
  if ((job == "tallyr" || job == "cumsol") && assembly_part) {
    const RunPlan& p = plans_[slot.run];
    if (p.PYWanted && p.LastSSPart != "py") {
      c.part = "py";
      return c;
    }
  }
  if (job == "cumsol" && slot.run == 3 && assembly_part && settings_.DoDeviations) {
    c.job = "varix";
    c.part = settings_.MakeYonYDiffSS ? "yony" : "cum";
    return c;
  }
  if (job == "varix" && part == "yony") {
    c.part = "cum";
    return c;
  }
  if (job == "varix" && part == "cum") {
    c.job = "devsol";
    c.part = "cum";
    return c;
  }
  return std::nullopt;
}

Booking JobPlan::FinishJobPart(const SlotState& slot) {
  RunPlan& p = plans_[slot.run];
  const std::string& job = slot.job;
  const std::string& part = slot.part;
  if (job == "sim") {
    if (part == "sol") p.LastDone = slot.year;
    return {true, false};
  }
  if (job == "bot") return {part == "solex1" || part == "ambix2", false};
  p.LastSSPart = part;
  if (job == "csv" || job == "sssol") {
    p.LastSSJob = job;
    return {true, false};
  }
  if (job == "tallyr" || job == "cumsol") {
    bool last_main_part =
        part == "cum" || (job == "tallyr" && part == "yony" && settings_.AbbreviatedSSJobs);
    bool complete = part == "py" || (last_main_part && !p.PYWanted);
    if (!complete) return {};
    p.LastSSJob = job;
    return {slot.run != 3, job == "cumsol" && settings_.RationalExpectations};
  }
  if ((job == "varix" || job == "devsol") && part == "cum") {
    p.LastSSJob = job;
    return {true, false};
  }
  return {};
}

}  // namespace yl::jobs
