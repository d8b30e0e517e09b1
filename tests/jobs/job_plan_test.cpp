#include "jobs/job_plan.h"

#include <gtest/gtest.h>

#include <deque>
#include <set>

namespace yl::jobs {
namespace {

std::string Describe(const SlotState& s) {
  return std::string(RunShortName(s.run)) + " " + std::string(JobName(s.job)) + "/" +
         std::string(PartName(s.part)) + " " + std::to_string(s.year);
}

// Drives a JobPlan the way the engine does, with parts that end in the order they were
// started, and checks the ordering rules at every launch.
class Scheduler {
 public:
  Scheduler(const PlanSettings& settings, const PlanRequest& request, int first_slot, int last_slot)
      : plan(settings, request), first_(first_slot), last_(last_slot) {
    bots.DoneThisJob = [this](int year) { return bot_done_.count(year) > 0; };
    bots.StillNeeded = [this](int year) { return bot_done_.count(year) == 0; };
  }

  void Run(int max_parts = 10000) {
    Step(0);
    while (!queue_.empty() && error.empty() && max_parts-- > 0) {
      int s = queue_.front();
      queue_.pop_front();
      SlotState finished = slots[s];
      slots[s].active = false;
      Booking b = plan.FinishJobPart(finished);
      if (finished.job == JobKind::kBot && b.end_line) bot_done_.insert(finished.year);
      if (b.end_line) ends.push_back(Describe(finished));
      if (b.iteration_complete) ++iterations_completed;
      Step(s, finished);
    }
  }

  JobPlan plan;
  BotRecords bots;
  IterationCounters iterations;
  std::array<SlotState, 4> slots{};
  std::vector<std::string> launches;
  std::vector<std::string> ends;
  std::string error;
  int max_active = 0;
  int iterations_completed = 0;

 private:
  void Step(int s, const SlotState& finished = {}) {
    std::optional<JobChoice> continuation;
    if (s >= 1) continuation = plan.NextPart(finished);
    for (int slot = first_; slot <= last_; ++slot) {
      if (slots[slot].active) continue;
      std::optional<JobChoice> c;
      if (continuation) {
        c = continuation;
        continuation.reset();
      } else {
        auto r = plan.ChooseNextJob(slots, s <= 0, bots, iterations);
        if (!r) {
          error = r.error();
          return;
        }
        c = *r;
      }
      if (!c) break;
      CheckOrder(*c);
      slots[slot] = SlotState{true, c->run, c->year, c->job, c->part};
      launches.push_back(Describe(slots[slot]));
      queue_.push_back(slot);
      int active = 0;
      for (int i = 1; i <= 3; ++i) active += slots[i].active;
      max_active = std::max(max_active, active);
    }
  }

  void CheckOrder(const JobChoice& c) {
    const int n = plan.settings().NumYears;
    if (c.job == JobKind::kSim && c.part == PartKind::kSim) {
      if (c.run > 1) {
        EXPECT_GE(plan.plan(1).last_sim_done, c.year) << "Base not done before " << c.run;
        // Done in this big job, or one the records still find current.
        const bool kept = bots.StillNeeded && !bots.StillNeeded(c.year);
        EXPECT_TRUE(bot_done_.count(c.year) || kept) << "no closure preparation for " << c.year;
      }
      if (c.run == 3 && !plan.settings().TwoRunMode) {
        EXPECT_GE(plan.plan(2).last_sim_done, c.year - 1);
      }
      EXPECT_EQ(plan.plan(c.run).last_sim_done, c.year - 1) << "years out of sequence";
    }
    if (c.job == JobKind::kBot) {
      EXPECT_GE(plan.plan(1).last_sim_done, c.year);
    }
    if (c.run == 3 && (c.job == JobKind::kTallyr || c.job == JobKind::kCumSol)) {
      EXPECT_EQ(plan.plan(PrerequisiteRun(3, plan.settings().TwoRunMode)).last_ss_job,
                JobKind::kCumSol);
    }
    if (c.job != JobKind::kSim && c.job != JobKind::kBot) {
      EXPECT_EQ(c.year, n + 1);
    }
  }

  int first_, last_;
  std::deque<int> queue_;
  std::set<int> bot_done_;
};

PlanSettings Settings(int n, int policy_start = 1) {
  PlanSettings s;
  s.NumYears = n;
  s.PolicyStart = policy_start;
  s.DoDeviations = true;
  return s;
}

PlanRequest All(int n) {
  PlanRequest r = PlanRequest::Nothing(n);
  for (int run = 1; run <= 3; ++run) {
    r.first_sim_year[run] = r.first_ss_year[run] = 1;
    r.last_sim_year[run] = r.last_ss_year[run] = n;
  }
  return r;
}

PlanRequest Only(int n, int run, bool sims = true) {
  PlanRequest r = PlanRequest::Nothing(n);
  if (sims) {
    r.first_sim_year[run] = 1;
    r.last_sim_year[run] = n;
  }
  r.first_ss_year[run] = 1;
  r.last_ss_year[run] = n;
  return r;
}

TEST(JobPlan, BaseRunsYearByYearThenItsSpreadsheetChain) {
  Scheduler s(Settings(2), Only(2, 1), 1, 1);
  s.Run();
  EXPECT_EQ(s.error, "");
  EXPECT_EQ(s.launches, (std::vector<std::string>{
                            "Base sim/sim 1", "Base sim/sol 1", "Base sim/sim 2", "Base sim/sol 2",
                            "Base csv/csv 3", "Base sssol/sssol 3", "Base tallyr/yony 3",
                            "Base tallyr/cum 3", "Base cumsol/cum 3"}));
  EXPECT_EQ(s.ends.back(), "Base cumsol/cum 3");
  EXPECT_EQ(s.plan.plan(1).last_ss_job, JobKind::kCumSol);
}

TEST(JobPlan, AbbreviatedTallyrEndsAfterYearOnYear) {
  PlanSettings settings = Settings(1);
  settings.AbbreviatedSSJobs = true;
  Scheduler s(settings, Only(1, 1), 1, 1);
  s.Run();
  EXPECT_EQ(s.launches, (std::vector<std::string>{"Base sim/sim 1", "Base sim/sol 1",
                                                  "Base csv/csv 2", "Base sssol/sssol 2",
                                                  "Base tallyr/yony 2", "Base cumsol/cum 2"}));
}

TEST(JobPlan, SpreadsheetsOnlyGoStraightToTheirStage) {
  Scheduler s(Settings(4), Only(4, 1, /*sims=*/false), 1, 3);
  EXPECT_EQ(s.plan.plan(1).last_sim_done, 4);
  s.Run();
  EXPECT_EQ(s.launches.front(), "Base csv/csv 5");
  EXPECT_EQ(s.launches.size(), 5u);
}

TEST(JobPlan, NothingToDoIsEmpty) {
  JobPlan plan(Settings(3), PlanRequest::Nothing(3));
  EXPECT_TRUE(plan.Empty());
  EXPECT_FALSE(JobPlan(Settings(3), Only(3, 2)).Empty());
}

struct ModeCase {
  const char* name;
  bool two_run;
  int first_slot, last_slot;
  OrderPreference order;
  bool yony_diffs;
  int expected_max_active;
};

TEST(JobPlan, WholeTaskCompletesInEveryModeAndSlotRange) {
  for (const ModeCase& m :
       {ModeCase{"three runs, one slot", false, 1, 1, OrderPreference::kPolAsap, false, 1},
        ModeCase{"three runs, two slots", false, 1, 2, OrderPreference::kPolAsap, true, 2},
        ModeCase{"three runs, three slots", false, 1, 3, OrderPreference::kPolAsap, false, 3},
        ModeCase{"three runs, base-ASAP", false, 1, 3, OrderPreference::kBaseAsap, false, 3},
        ModeCase{"slot 2 only", false, 2, 2, OrderPreference::kPolAsap, false, 1},
        ModeCase{"two runs, three slots", true, 1, 3, OrderPreference::kPolAsap, false, 2}}) {
    SCOPED_TRACE(m.name);
    PlanSettings settings = Settings(5);
    settings.TwoRunMode = m.two_run;
    settings.Order = m.order;
    settings.MakeYonYDiffSS = m.yony_diffs;
    Scheduler s(settings, All(5), m.first_slot, m.last_slot);
    s.Run();
    EXPECT_EQ(s.error, "");
    for (int run = 1; run <= 3; ++run) {
      if (run == 2 && m.two_run) {
        EXPECT_FALSE(s.plan.plan(2).has_sims);
        continue;
      }
      EXPECT_EQ(s.plan.plan(run).last_sim_done, 5) << run;
    }
    EXPECT_EQ(s.plan.plan(3).last_ss_job, JobKind::kDevSol);
    EXPECT_EQ(s.plan.plan(1).last_ss_job, JobKind::kCumSol);
    EXPECT_EQ(s.max_active, m.expected_max_active);
    int bots = 0, varix_yony = 0;
    for (const auto& l : s.launches) {
      if (l.find("bot/env") != std::string::npos) {
        ++bots;
        EXPECT_EQ(l.rfind(m.two_run ? "Policy" : "Rerun", 0), 0u) << l;
      }
      if (l.find("varix/yony") != std::string::npos) ++varix_yony;
      EXPECT_TRUE(!m.two_run || l.rfind("Rerun", 0) != 0) << l;
    }
    EXPECT_EQ(bots, 5);
    EXPECT_EQ(varix_yony, m.yony_diffs ? 1 : 0);
  }
}

TEST(JobPlan, OrderPreferenceDecidesWhatFollowsTheFirstBaseYear) {
  for (auto [order, expected] :
       {std::pair{OrderPreference::kPolAsap,
                  std::vector<std::string>{"Rerun bot/env 1", "Base sim/sim 2"}},
        std::pair{OrderPreference::kBaseAsap,
                  std::vector<std::string>{"Base sim/sim 2", "Rerun bot/env 1"}}}) {
    PlanSettings settings = Settings(3);
    settings.Order = order;
    Scheduler s(settings, All(3), 1, 2);
    s.Run();
    ASSERT_GE(s.launches.size(), 4u);
    EXPECT_EQ(std::vector<std::string>(s.launches.begin() + 2, s.launches.begin() + 4), expected);
  }
}

TEST(JobPlan, PolicyMayOverlapTheRerunOfTheSameYear) {
  Scheduler s(Settings(6), All(6), 1, 3);
  s.Run();
  EXPECT_EQ(s.error, "");
  // The ordering checks ran at every launch; the overlap shows in the launch order: a
  // Policy sim of some year was launched before the Rerun's "sol" part of that year.
  bool overlapped = false;
  for (int year = 1; year <= 6 && !overlapped; ++year) {
    auto pos = [&](const std::string& what) {
      return std::find(s.launches.begin(), s.launches.end(), what) - s.launches.begin();
    };
    std::string y = std::to_string(year);
    overlapped = pos("Policy sim/sim " + y) < pos("Rerun sim/sol " + y);
  }
  EXPECT_TRUE(overlapped);
}

TEST(JobPlan, SolFilesForShocksChangeTheBotParts) {
  PlanSettings settings = Settings(1);
  settings.UseSolFilesForShocks = true;
  JobPlan plan(settings, All(1));
  SlotState bot{true, kRerun, 1, JobKind::kBot, PartKind::kEnv};
  EXPECT_EQ(plan.NextPart(bot), (JobChoice{kRerun, 1, JobKind::kBot, PartKind::kSolPol}));
  bot.part = PartKind::kSolPol;
  EXPECT_EQ(plan.NextPart(bot), (JobChoice{kRerun, 1, JobKind::kBot, PartKind::kAmbix2}));
  bot.part = PartKind::kAmbix2;
  EXPECT_FALSE(plan.NextPart(bot));
  EXPECT_TRUE(plan.FinishJobPart(bot).end_line);
}

TEST(JobPlan, PolicyYearsRangeGivesThePrerequisiteAPyPart) {
  // The Policy assembles results over years 2..4 only: the Rerun must assemble the same
  // years too so the differences can be taken.
  PlanSettings settings = Settings(4);
  PlanRequest r = All(4);
  r.first_ss_year[3] = 2;
  Scheduler s(settings, r, 1, 1);
  EXPECT_TRUE(s.plan.plan(2).wants_policy_years_ss);
  EXPECT_EQ(s.plan.plan(2).first_policy_years_ss, 2);
  EXPECT_FALSE(s.plan.plan(1).wants_policy_years_ss);
  s.Run();
  EXPECT_NE(std::find(s.launches.begin(), s.launches.end(), "Rerun tallyr/py 5"), s.launches.end());
  EXPECT_NE(std::find(s.launches.begin(), s.launches.end(), "Rerun cumsol/py 5"), s.launches.end());
}

TEST(JobPlan, AClosurePreparationDoneInThisBigJobIsNotRunAgainWhateverTheRecordsSay) {
  // Policy alone in three-run mode: whether the closure preparation is needed comes from
  // the records. One whose record could not be written still says "needed"; the big job
  // goes on with the preparation it made rather than looping or stopping.
  PlanSettings settings = Settings(2);
  settings.CalendarYear = [](int k) { return 2020 + k; };
  Scheduler s(settings, Only(2, 3), 1, 1);
  s.bots.StillNeeded = [](int) { return true; };
  s.Run();
  EXPECT_EQ(s.error, "");
  EXPECT_EQ(std::count(s.launches.begin(), s.launches.end(), "Rerun bot/env 1"), 1);
  EXPECT_EQ(std::count(s.launches.begin(), s.launches.end(), "Policy sim/sim 2"), 1);
}

TEST(JobPlan, AClosurePreparationTheRecordsFindCurrentIsNotRun) {
  Scheduler s(Settings(2), Only(2, 3), 1, 1);
  s.bots.StillNeeded = [](int) { return false; };
  s.Run();
  EXPECT_EQ(s.error, "");
  EXPECT_EQ(std::count_if(s.launches.begin(), s.launches.end(),
                          [](const std::string& l) { return l.find("bot/") != std::string::npos; }),
            0);
  EXPECT_EQ(std::count(s.launches.begin(), s.launches.end(), "Policy sim/sim 2"), 1);
}

TEST(JobPlan, WithoutRecordsAClosurePreparationIsNeededUntilDoneInThisBigJob) {
  // Policy alone in three-run mode, no bookkeeping: each year's closure preparation runs
  // once, then the Policy's sim follows.
  Scheduler s(Settings(2), Only(2, 3), 1, 1);
  s.bots.StillNeeded = nullptr;
  s.Run();
  EXPECT_EQ(s.error, "");
  EXPECT_EQ(std::count(s.launches.begin(), s.launches.end(), "Rerun bot/env 1"), 1);
  EXPECT_EQ(std::count(s.launches.begin(), s.launches.end(), "Policy sim/sim 2"), 1);
}

TEST(JobPlan, RationalExpectationsRestartTheRunUntilTheIterationsAreDone) {
  PlanSettings settings = Settings(2);
  settings.RationalExpectations = true;
  settings.Order = OrderPreference::kBaseAsap;
  Scheduler s(settings, Only(2, 1), 1, 1);
  int begun = 1;
  s.iterations.MoreIterations = [&](int) { return s.iterations_completed < 3; };
  s.iterations.BeginIteration = [&](int) { ++begun; };
  s.Run();
  EXPECT_EQ(s.error, "");
  EXPECT_EQ(s.iterations_completed, 3);
  EXPECT_EQ(begun, 3);
  EXPECT_EQ(std::count(s.launches.begin(), s.launches.end(), "Base sim/sim 1"), 3);
  EXPECT_EQ(std::count(s.launches.begin(), s.launches.end(), "Base cumsol/cum 3"), 3);
}

TEST(JobPlan, ARunWaitingForAnotherIsNotRestartedMidIteration) {
  for (OrderPreference order : {OrderPreference::kBaseAsap, OrderPreference::kPolAsap}) {
    PlanSettings settings = Settings(3);
    settings.RationalExpectations = true;
    settings.Order = order;
    Scheduler s(settings, All(3), 1, 1);
    auto cumsols = [&](int run) {
      const std::string done = std::string(RunShortName(run)) + " cumsol/cum 4";
      return std::count(s.launches.begin(), s.launches.end(), done);
    };
    s.iterations.MoreIterations = [&](int run) { return cumsols(run) < 2; };
    s.Run();
    EXPECT_EQ(s.error, "");
    for (int run = 1; run <= 3; ++run) {
      const std::string first_year = std::string(RunShortName(run)) + " sim/sim 1";
      EXPECT_EQ(std::count(s.launches.begin(), s.launches.end(), first_year), 2) << run;
      // The second iteration's first year follows the first iteration's last job.
      auto second = std::find(std::find(s.launches.begin(), s.launches.end(), first_year) + 1,
                              s.launches.end(), first_year);
      auto ended = std::find(s.launches.begin(), s.launches.end(),
                             std::string(RunShortName(run)) + " cumsol/cum 4");
      EXPECT_LT(ended - s.launches.begin(), second - s.launches.begin()) << run;
    }
  }
}

}  // namespace
}  // namespace yl::jobs
