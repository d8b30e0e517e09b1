#include "jobs/job_engine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <map>
#include <optional>

#include "platform/files.h"
#include "platform/paths.h"
#include "support/fake_clock.h"
#include "support/fake_process_runner.h"
#include "support/scratch_dir.h"
#include "support/scripted_prompter.h"

namespace yl::jobs {
namespace {

using testing::FakeProcessRunner;

std::string Key(const JobChoice& c) {
  return std::string(RunShortName(c.run)) + "-" + std::string(JobName(c.job)) + "-" +
         std::string(PartName(c.part)) + "-" + std::to_string(c.year);
}

// Prepares parts in a scratch directory; what each fake process leaves behind is decided
// by `outcome` per part key ("ok" by default).
class FakePreparer : public PartPreparer {
 public:
  explicit FakePreparer(const std::string& dir) : dir_(dir) {}
  Status PrepareSlotDirectories(int first, int last) override {
    slot_dirs.emplace_back(first, last);
    return Ok();
  }
  std::vector<std::string> ClearOutputs() override { return locked; }
  Result<PreparedPart> Prepare(const JobChoice& c, int slot) override {
    prepared.push_back(Key(c) + "@" + std::to_string(slot));
    if (fail_prepare == Key(c)) return Fail("BAT file not written so cannot start job");
    PreparedPart p;
    p.process.program = "fake";
    p.process.args = {Key(c)};
    p.log_file = JoinPath(dir_, Key(c) + ".log");
    p.report_file = JoinPath(dir_, Key(c) + ".rpt");
    p.check_file = JoinPath(dir_, Key(c) + ".chk");
    p.year_log = JoinPath(dir_, Key(c) + ".ylog");
    if (c.part == PartKind::kSim) p.year_log_header = "** Starting " + Key(c) + " **";
    return p;
  }
  Status AfterSimPart(int run, int year, int, int) override {
    copies.push_back(std::to_string(run) + "/" + std::to_string(year));
    if (fail_after_sim) return Fail("[CopySimFilesToDir]: File x does not exist. [k=1]");
    return Ok();
  }
  Status VerifyOutputs(const JobChoice& c, const PreparedPart&) override {
    if (fail_verify == Key(c))
      return Fail("The solve reported success but left an incomplete file");
    return Ok();
  }
  std::string ProgramName(const JobChoice&) const override { return "demomodel"; }
  std::string ModelPath() const override { return "/w/demomodel"; }

  std::vector<std::pair<int, int>> slot_dirs;
  std::vector<std::string> prepared;
  std::vector<std::string> copies;
  std::vector<std::string> locked;
  std::string fail_prepare;
  std::string fail_verify;
  bool fail_after_sim = false;
  // Called as each part is judged a success, in the middle of the tick.
  std::function<void()> on_success;
  void PartSucceeded(const JobChoice&, const PreparedPart&) override {
    if (on_success) on_success();
  }
  Status CheckSucceededPart(const JobChoice& c) override {
    if (fail_check == Key(c)) return Fail("closure problem");
    return Ok();
  }
  Status IterationCompleted(Run run) override {
    iterations.push_back(run);
    if (on_iteration) on_iteration();
    return Ok();
  }
  void BigJobFinished() override { ++finished; }
  std::string fail_check;
  std::vector<Run> iterations;
  std::function<void()> on_iteration;
  int finished = 0;

 private:
  std::string dir_;
};

class RecordingHost : public EngineHost {
 public:
  void BigJobStarted() override { ++started; }
  void BigJobEnded(bool success, bool refresh) override { ended.push_back({success, refresh}); }
  void PartStarted(const PartEvent& part, const JobLine& line) override {
    parts.push_back({part, std::nullopt});
    start_lines.push_back(line);
  }
  void PartEnded(const PartEvent& part, PartEnd how) override {
    // Every end names a part that started and has not ended yet.
    auto open = std::find_if(parts.begin(), parts.end(), [&](const auto& p) {
      return p.first == part && !p.second.has_value();
    });
    ASSERT_NE(open, parts.end()) << "end of a part never started, slot " << part.slot;
    open->second = how;
  }
  void ShowLogReadOnly(const std::string& path) override { shown.push_back(path); }
  void JobLinesChanged(const std::vector<JobLine>& lines) override {
    if (lines.size() > max_lines) max_lines = lines.size();
    last_lines.clear();
    for (const JobLine& l : lines) last_lines.push_back(l.text);
  }
  std::size_t Ended(PartEnd how) const {
    return std::count_if(parts.begin(), parts.end(),
                         [&](const auto& p) { return p.second == how; });
  }
  int started = 0;
  std::vector<std::pair<bool, bool>> ended;
  std::vector<std::pair<PartEvent, std::optional<PartEnd>>> parts;
  std::vector<JobLine> start_lines;
  std::vector<std::string> shown;
  std::vector<std::string> last_lines;
  std::size_t max_lines = 0;
};

class JobEngineTest : public testing::IsolatedEnvTest {
 protected:
  JobEngineTest()
      : preparer(scratch.MakeDir("work")), engine(runner, clock, prompter, preparer, host) {
    keep = scratch.MakeDir("keep");
    runner.on_start = [this](FakeProcessRunner::Started& s) -> Status {
      const std::string key = s.spec.args.at(0);
      const std::string base = scratch / ("work/" + key);
      const std::string what = outcome.count(key) ? outcome[key] : "ok";
      if (what == "no-report") return Ok();
      testing::WriteFileBytes(base + ".log", "log of " + key + "\n");
      testing::WriteFileBytes(
          base + ".rpt", what == "error" ? "[Result]\nStatus=error\n" : "[Result]\nStatus=ok\n");
      if (what != "no-check") testing::WriteFileBytes(base + ".chk", "done");
      return Ok();
    };
    settings.plan.NumYears = 3;
    settings.plan.PolicyStart = 1;
    settings.plan.DoDeviations = true;
    settings.keep_dir = keep;
    settings.working_dir = scratch / "work";
    settings.jobs_log_on = true;
    settings.fewer_messages = true;
    settings.plan.CalendarYear = [](int k) { return 2000 + k; };
    testing::WriteFileBytes(keep + "/bigjobs.log", "");
  }

  // The Base's simulations of years 1 to last, and nothing else.
  static PlanRequest BaseYears(int last) {
    PlanRequest r = PlanRequest::Nothing(3);
    r.first_sim_year[kBase] = 1;
    r.last_sim_year[kBase] = last;
    return r;
  }

  PlanRequest All() {
    PlanRequest r = PlanRequest::Nothing(3);
    for (int run = 1; run <= 3; ++run) {
      r.first_sim_year[run] = r.first_ss_year[run] = 1;
      r.last_sim_year[run] = r.last_ss_year[run] = 3;
    }
    return r;
  }

  // Ends processes one at a time, oldest first, ticking after each, as the batch loop does.
  void RunToEnd(int limit = 500) {
    while (engine.Running() && limit-- > 0) {
      auto running = runner.Running();
      if (running.empty()) {
        engine.Tick();
        continue;
      }
      FakeProcessRunner::Started& p = runner.Get(running.front());
      if (auto e = exits.find(p.spec.args.at(0)); e != exits.end()) {
        p.ended = true;
        p.exit = e->second;
      } else {
        runner.Finish(running.front());
      }
      while (engine.Tick()) {
      }
    }
  }

  std::string JobsLog() { return testing::ReadFileBytes(keep + "/bigjobs.log"); }

  FakeProcessRunner runner;
  FakeClock clock{TimePoint{} + std::chrono::hours(24 * 365 * 50)};
  testing::ScriptedPrompter prompter;
  FakePreparer preparer;
  RecordingHost host;
  JobEngine engine;
  EngineSettings settings;
  std::string keep;
  std::map<std::string, std::string> outcome;
  std::map<std::string, ProcessExit> exits;  // how a part's process ends; else status 0
};

TEST_F(JobEngineTest, RunAllFinishesWithEveryPartBookedAndLogged) {
  settings.last_slot = 3;
  ASSERT_TRUE(engine.Start(settings, All()));
  clock.Advance(std::chrono::seconds(95));
  RunToEnd();
  EXPECT_EQ(engine.state(), EngineState::kFinished);
  EXPECT_EQ(engine.counters().parts_launched, engine.counters().parts_finished);
  // 3 runs x 3 years x (sim + sol), 3 bots x 3 parts, 3 x (csv, sssol, tallyr x2, cumsol),
  // and the Policy's varix and devsol.
  EXPECT_EQ(engine.counters().parts_launched, 18 + 9 + 15 + 2);
  EXPECT_EQ(host.max_lines, 3u);
  EXPECT_EQ(host.last_lines, (std::vector<std::string>{"[Job finished] "}));
  ASSERT_EQ(host.ended.size(), 1u);
  EXPECT_EQ(host.ended[0], std::make_pair(true, true));
  EXPECT_EQ(preparer.slot_dirs, (std::vector<std::pair<int, int>>{{1, 3}}));
  // Updated inputs are copied after each sim part but the last year's.
  EXPECT_EQ(preparer.copies.size(), 6u);
  std::string log = JobsLog();
  EXPECT_NE(log.find("BEGINNING A JOB at "), std::string::npos);
  EXPECT_NE(log.find("START Base: sim for year 2001 (period number 1) "), std::string::npos);
  EXPECT_NE(log.find("END Rerun: Sol job for year 2003 (period number 3) "), std::string::npos);
  EXPECT_NE(log.find("START Rerun: Preparing closure for year 2002 (period number 2) "),
            std::string::npos);
  EXPECT_NE(log.find("WHOLE JOB FINISHED OK at "), std::string::npos);
  EXPECT_NE(log.find(" [Total elapsed time is: 1 minutes, 35 seconds]\n"), std::string::npos);
  EXPECT_EQ(log.find("[Allowing"), std::string::npos);  // no line for 1..3
  EXPECT_EQ(prompter.Last().text,
            "Yearloom:\r\nWhole job is finished\r\n[Total elapsed time is: 1 minutes, 35 "
            "seconds.]");
  // The part's log went into the job's year log.
  EXPECT_EQ(scratch.Read("work/Base-sim-sim-1.ylog"),
            "** Starting Base-sim-sim-1 **\nlog of Base-sim-sim-1\n");
}

TEST_F(JobEngineTest, TheHostHearsEveryPartStartAndEnd) {
  settings.last_slot = 3;
  ASSERT_TRUE(engine.Start(settings, All()));
  RunToEnd();
  ASSERT_EQ(engine.state(), EngineState::kFinished);
  EXPECT_EQ(host.started, 1);
  ASSERT_EQ(host.parts.size(), 44u);
  EXPECT_EQ(host.Ended(PartEnd::kSucceeded), 44u);
  for (std::size_t i = 0; i < host.parts.size(); ++i) {
    const PartEvent& p = host.parts[i].first;
    const JobLine& line = host.start_lines[i];
    EXPECT_EQ(line.slot, p.slot);
    EXPECT_EQ(line.run, p.run);
    EXPECT_NE(line.text.find(std::string("[") + std::string(PartName(p.part)) + " part of job " +
                             std::string(JobName(p.job)) + "]"),
              std::string::npos)
        << line.text;
    EXPECT_EQ(p.iteration, 0);
  }
  // The first part is the Base's first sim, and the closure preparations are the Rerun's.
  EXPECT_EQ(host.parts[0].first, (PartEvent{1, kBase, 1, JobKind::kSim, PartKind::kSim, 0}));
  for (const auto& [p, how] : host.parts) {
    if (p.job == JobKind::kBot) {
      EXPECT_EQ(p.run, kRerun);
    }
  }
}

TEST_F(JobEngineTest, RationalExpectationsRunTheIterationsAndNumberTheJobLines) {
  settings.plan.RationalExpectations = true;
  settings.plan.Order = OrderPreference::kBaseAsap;
  PlanRequest request = BaseYears(3);
  request.first_ss_year[kBase] = 1;
  request.last_ss_year[kBase] = 3;
  int done = 0;
  int current = 1;
  IterationCounters counters;
  counters.MoreIterations = [&](int) { return done < 2; };
  counters.BeginIteration = [&](int) { current = done + 1; };
  counters.Current = [&](int) { return current; };
  preparer.on_iteration = [&] { ++done; };
  ASSERT_TRUE(engine.Start(settings, request, {}, counters));
  RunToEnd();
  ASSERT_EQ(engine.state(), EngineState::kFinished);
  EXPECT_EQ(preparer.iterations, (std::vector<yl::Run>{kBase, kBase}));
  EXPECT_EQ(preparer.finished, 1);
  ASSERT_FALSE(host.start_lines.empty());
  EXPECT_EQ(host.start_lines.front().text,
            "  Base: sim for year 2001 (period number 1) [sim part of job sim] [Iter 1]");
  EXPECT_EQ(host.start_lines.back().text,
            "  Base: Assembling the spreadsheets [cum part of job cumsol] [Iter 2]");
  EXPECT_EQ(host.parts.back().first.iteration, 2);
}

TEST_F(JobEngineTest, APartFailingItsChecksStopsTheJobWithoutBookingIt) {
  preparer.fail_check = "Base-sim-sol-2";
  ASSERT_TRUE(engine.Start(settings, BaseYears(3)));
  RunToEnd();
  EXPECT_EQ(engine.state(), EngineState::kStopped);
  EXPECT_EQ(engine.outcome_message(), "closure problem");
  EXPECT_EQ(std::count(preparer.prepared.begin(), preparer.prepared.end(), "Base-sim-sim-3@1"), 0);
  EXPECT_EQ(preparer.finished, 0);
  ASSERT_EQ(host.ended.size(), 1u);
  EXPECT_FALSE(host.ended[0].first);
}

TEST_F(JobEngineTest, AFailedPartEndsFailedAndTheOthersStopped) {
  settings.last_slot = 2;
  outcome["Rerun-bot-env-1"] = "error";
  ASSERT_TRUE(engine.Start(settings, All()));
  RunToEnd();
  ASSERT_EQ(engine.state(), EngineState::kStopped);
  EXPECT_EQ(host.Ended(PartEnd::kFailed), 1u);
  // Each part ended one way; none is left open.
  for (const auto& [p, how] : host.parts) EXPECT_TRUE(how.has_value()) << p.slot;
  const auto failed = std::find_if(host.parts.begin(), host.parts.end(),
                                   [](const auto& p) { return p.second == PartEnd::kFailed; });
  EXPECT_EQ(failed->first.job, JobKind::kBot);
  EXPECT_EQ(failed->first.part, PartKind::kEnv);
  EXPECT_EQ(failed->first.run, kRerun);
}

TEST_F(JobEngineTest, ATickAskedForDuringATickDoesNothing) {
  // Whatever runs inside a tick (a question's nested event loop, say) may fire the timer
  // again while another part has ended too.
  settings.last_slot = 3;
  ASSERT_TRUE(engine.Start(settings, All()));
  int nested = 0;
  preparer.on_success = [&] {
    for (int id : runner.Running()) runner.Finish(id);
    if (engine.Tick()) ++nested;
  };
  RunToEnd();
  EXPECT_EQ(nested, 0);
  EXPECT_EQ(engine.state(), EngineState::kFinished);
  EXPECT_EQ(host.Ended(PartEnd::kSucceeded), 44u);
}

TEST_F(JobEngineTest, SlotTwoOnlyRunsEverythingThere) {
  settings.first_slot = settings.last_slot = 2;
  PlanRequest r = BaseYears(2);
  ASSERT_TRUE(engine.Start(settings, r));
  RunToEnd();
  EXPECT_EQ(engine.state(), EngineState::kFinished);
  EXPECT_EQ(preparer.slot_dirs, (std::vector<std::pair<int, int>>{{2, 2}}));
  for (const auto& p : preparer.prepared) EXPECT_EQ(p.back(), '2') << p;
  EXPECT_NE(JobsLog().find("  [Allowing just one job (job number 2).]"), std::string::npos);
}

TEST_F(JobEngineTest, FailedPartStopsTheJobAndOffersItsLog) {
  outcome["Base-sim-sim-2"] = "error";
  prompter.Answer(kOk);
  prompter.Answer(kYes);
  PlanRequest r = BaseYears(3);
  ASSERT_TRUE(engine.Start(settings, r));
  RunToEnd();
  EXPECT_EQ(engine.state(), EngineState::kStopped);
  EXPECT_EQ(prompter.Texts()[0],
            "An error has occurred doing\r\nBase: sim for year 2002 (period number 2)");
  const std::string log = scratch / "work/Base-sim-sim-2.log";
  EXPECT_EQ(prompter.Texts()[1],
            "Look at LOG file\r\n" + log +
                "\r\nto find details of the error.\r\nDo you want to look at it now?");
  EXPECT_EQ(host.shown, (std::vector<std::string>{log}));
  EXPECT_EQ(testing::ReadFileBytes(keep + "/lasterr.log"), "log of Base-sim-sim-2\n");
  EXPECT_NE(JobsLog().find("ERROR Base: sim for year 2002 (period number 2) "), std::string::npos);
  EXPECT_TRUE(runner.Running().empty());
}

TEST_F(JobEngineTest, AFailureAtAnyPartStopsTheJobThere) {
  struct Case {
    std::string part;
    std::string error_line;
  };
  for (const Case& c :
       {Case{"Rerun-bot-env-2",
             "ERROR Rerun: Preparing closure for year 2002 (period number 2) "
             "[env part of job bot] "},
        Case{"Rerun-bot-ambix1-1", "[ambix1 part of job bot] "},
        Case{"Policy-sim-sol-3", "ERROR Policy: Sol job for year 2003 (period number 3) "},
        Case{"Base-sssol-sssol-4",
             "ERROR Base: Assembling the spreadsheets [sssol part of "
             "job sssol] "},
        Case{"Rerun-tallyr-cum-4", "[cum part of job tallyr] "},
        Case{"Policy-varix-cum-4", "[cum part of job varix] "},
        Case{"Policy-devsol-cum-4", "[cum part of job devsol] "}}) {
    outcome.clear();
    outcome[c.part] = "error";
    testing::WriteFileBytes(keep + "/bigjobs.log", "");
    prompter.messages.clear();
    ASSERT_TRUE(engine.Start(settings, All())) << c.part;
    RunToEnd();
    EXPECT_EQ(engine.state(), EngineState::kStopped) << c.part;
    // One slot: the failed part was the last one launched.
    EXPECT_EQ(engine.counters().parts_launched, engine.counters().parts_finished + 1) << c.part;
    EXPECT_NE(JobsLog().find(c.error_line), std::string::npos) << c.part << "\n" << JobsLog();
    EXPECT_EQ(JobsLog().find("WHOLE JOB FINISHED"), std::string::npos) << c.part;
  }
}

TEST_F(JobEngineTest, BatchModeFailureGoesToTheBatchJobsLog) {
  settings.batch_mode = true;
  testing::WriteFileBytes(keep + "/BatchJobs.log", "");
  outcome["Base-csv-csv-2"] = "error";
  PlanRequest r = PlanRequest::Nothing(1);
  settings.plan.NumYears = 1;
  r.first_sim_year[1] = r.first_ss_year[1] = 1;
  r.last_sim_year[1] = r.last_ss_year[1] = 1;
  ASSERT_TRUE(engine.Start(settings, r));
  RunToEnd();
  EXPECT_EQ(engine.state(), EngineState::kStopped);
  EXPECT_TRUE(prompter.messages.empty());
  std::string batch = testing::ReadFileBytes(keep + "/BatchJobs.log");
  EXPECT_NE(
      batch.find("Error running job - see log file\n" + (scratch / "work/Base-csv-csv-2.log")),
      std::string::npos);
  EXPECT_NE(batch.find("ERROR Base: Assembling the spreadsheets [csv part of job csv] "),
            std::string::npos);
}

TEST_F(JobEngineTest, MissingReportAndLogIsAVerySeriousProblem) {
  outcome["Base-sim-sim-1"] = "no-report";
  PlanRequest r = BaseYears(1);
  ASSERT_TRUE(engine.Start(settings, r));
  RunToEnd();
  ASSERT_EQ(prompter.messages.size(), 3u);
  EXPECT_EQ(prompter.messages[1].text.substr(0, 26), "The expected Report File\r\n");
  EXPECT_NE(
      prompter.messages[1].text.find("You cannot run demomodel successfully until you fix it."),
      std::string::npos);
  EXPECT_NE(prompter.messages[2].text.find("/w/demomodel\r\nwas not made with Release 7.0"),
            std::string::npos);
}

TEST_F(JobEngineTest, ReportOkButNoCheckFileIsAnInternalError) {
  outcome["Base-sim-sol-1"] = "no-check";
  PlanRequest r = BaseYears(1);
  ASSERT_TRUE(engine.Start(settings, r));
  RunToEnd();
  EXPECT_EQ(engine.state(), EngineState::kStopped);
  EXPECT_EQ(prompter.Last().text,
            "An internal programming error has occured.\r\nPlease tell the code developers.\r\n"
            "The error message is:\r\nDos Job Number 1 not spawned another job");
}

TEST_F(JobEngineTest, CancelStopsSchedulingButLeavesProcessesRunning) {
  settings.last_slot = 2;
  ASSERT_TRUE(engine.Start(settings, All()));
  prompter.Answer(kYes);
  engine.CancelButton();
  EXPECT_EQ(prompter.messages[0].text, "Do you really want to kill this job?");
  auto running = runner.Running();
  ASSERT_FALSE(running.empty());
  EXPECT_TRUE(engine.Tick());
  EXPECT_EQ(engine.state(), EngineState::kCancelled);
  EXPECT_EQ(prompter.messages[1].text, "Solve job aborted via Cancel button");
  EXPECT_EQ(runner.Running(), running);  // not killed
  EXPECT_FALSE(engine.Tick());
  runner.FinishAll();
  engine.Tick();  // the left-over processes are reaped
  for (int pid : running) EXPECT_TRUE(runner.Get(pid).reaped);
  EXPECT_EQ(engine.counters().parts_launched, static_cast<int>(running.size()));
}

TEST_F(JobEngineTest, RefusalsBeforeAnythingRuns) {
  EXPECT_FALSE(engine.Start(settings, PlanRequest::Nothing(3)));
  EXPECT_EQ(prompter.Last().text, "Are no simulations or spreadsheet jobs to do.");

  settings.fewer_messages = false;
  prompter.Answer(kCancel);
  EXPECT_FALSE(engine.Start(settings, All()));
  EXPECT_EQ(prompter.Last().text.substr(0, 24), "Beginning simulation(s).");
  EXPECT_TRUE(runner.StartOrder().empty());

  settings.fewer_messages = true;
  preparer.locked = {"bs1b-ssy.csv"};
  prompter.Answer(kYes);
  EXPECT_FALSE(engine.Start(settings, All()));
  EXPECT_NE(prompter.Last().text.find("appear to be locked by another program"), std::string::npos);
  EXPECT_NE(prompter.Last().text.find("\r\n  bs1b-ssy.csv\r\n\r\nWe recommend"), std::string::npos);
  EXPECT_TRUE(runner.StartOrder().empty());
}

TEST_F(JobEngineTest, StartStepsGuardCheckAndAsk) {
  PlanRequest r = BaseYears(1);
  BackgroundState background{BackgroundKind::kModelCheck, true};
  settings.background = &background;
  EXPECT_FALSE(engine.Start(settings, r));
  EXPECT_EQ(prompter.Texts(),
            (std::vector<std::string>{"Internal Program Error.\r\nCannot start job since Job "
                                      "number 51 is already running.",
                                      "Cannot start Sim job"}));

  background = {};
  settings.check_plan = [](const JobPlan& plan) {
    return plan.plan(1).last_sim_year == 3 ? std::string() : std::string("refused");
  };
  EXPECT_FALSE(engine.Start(settings, r));
  EXPECT_EQ(prompter.Last().text, "Cannot run this simulation because of problems reported.");
  settings.check_plan = nullptr;

  settings.check_short_names = [] { return Status(Fail("File with short name \"x\" ...")); };
  EXPECT_FALSE(engine.Start(settings, r));
  EXPECT_EQ(prompter.Last().text, "File with short name \"x\" ...");
  settings.check_short_names = nullptr;

  settings.warn_re_not_done = true;
  prompter.Answer(kNo);
  EXPECT_FALSE(engine.Start(settings, r));
  EXPECT_EQ(
      prompter.Last().text.find("Although you have checked the \"Do Rational Expectations\" box"),
      0u);
  EXPECT_TRUE(runner.StartOrder().empty());

  // Running: the timer serves the big job; afterwards it is free again.
  prompter.Answer(kYes);
  ASSERT_TRUE(engine.Start(settings, r));
  EXPECT_EQ(background.kind, BackgroundKind::kBigJob);
  RunToEnd();
  EXPECT_EQ(engine.state(), EngineState::kFinished);
  EXPECT_EQ(background.kind, BackgroundKind::kNone);
  EXPECT_FALSE(background.timer_enabled);
}

TEST_F(JobEngineTest, TakingTheSolFilesRecommendationChangesTheClosurePreparation) {
  settings.recommend_sol_files = true;
  bool ticked = false;
  settings.use_sol_files = [&] { ticked = true; };
  prompter.Answer(kYes);
  ASSERT_TRUE(engine.Start(settings, All()));
  RunToEnd();
  EXPECT_EQ(engine.state(), EngineState::kFinished);
  EXPECT_TRUE(ticked);
  EXPECT_EQ(prompter.messages[0].text.substr(0, 47),
            "We recommend that you use SOL Files for Shocks.");
  const auto& p = preparer.prepared;
  EXPECT_NE(std::find(p.begin(), p.end(), "Rerun-bot-solpol-1@1"), p.end());
  EXPECT_EQ(std::find(p.begin(), p.end(), "Rerun-bot-ambix1-1@1"), p.end());
}

struct EndCase {
  const char* name;
  ProcessExit exit;
  std::string fail_verify;
  std::string problem;
};

TEST_F(JobEngineTest, AGoodReportDoesNotOutweighABadEndOrATornOutput) {
  for (const EndCase& c :
       {EndCase{
            "signal", {false, 11}, "", "The program demomodel was killed by signal 11 (SIGSEGV)."},
        EndCase{"exit status", {true, 3}, "", "The program demomodel ended with exit status 3."},
        EndCase{"torn output",
                {true, 0},
                "Base-sim-sim-2",
                "The solve reported success but left an incomplete file"}}) {
    SCOPED_TRACE(c.name);
    exits.clear();
    if (c.fail_verify.empty()) exits["Base-sim-sim-2"] = c.exit;
    preparer.fail_verify = c.fail_verify;
    preparer.prepared.clear();
    PlanRequest r = BaseYears(3);
    ASSERT_TRUE(engine.Start(settings, r));
    RunToEnd();
    EXPECT_EQ(engine.state(), EngineState::kStopped);
    EXPECT_TRUE(engine.part_failed());
    EXPECT_EQ(engine.failed_part(), "Base: sim for year 2002 (period number 2)");
    EXPECT_EQ(engine.outcome_message().find("An error has occurred doing\r\nBase: sim for year "
                                            "2002 (period number 2)\r\n" +
                                            c.problem),
              0u)
        << engine.outcome_message();
    // The failed solve is not booked: nothing of it or of later years follows.
    const auto& p = preparer.prepared;
    EXPECT_EQ(std::find(p.begin(), p.end(), "Base-sim-sol-2@1"), p.end());
    EXPECT_EQ(std::find(p.begin(), p.end(), "Base-sim-sim-3@1"), p.end());
  }
}

TEST_F(JobEngineTest, ACrashWithoutReportSaysSoBeforeTheAdvice) {
  outcome["Base-sim-sim-1"] = "no-report";
  exits["Base-sim-sim-1"] = ProcessExit{false, 6};
  PlanRequest r = BaseYears(1);
  ASSERT_TRUE(engine.Start(settings, r));
  RunToEnd();
  ASSERT_GE(prompter.messages.size(), 2u);
  EXPECT_EQ(prompter.messages[1].text.find("The program demomodel was killed by signal 6 "
                                           "(SIGABRT).\r\nThe expected Report File\r\n"),
            0u);
}

TEST_F(JobEngineTest, AFailedCopyAfterASolveNamesThePart) {
  preparer.fail_after_sim = true;
  PlanRequest r = BaseYears(3);
  ASSERT_TRUE(engine.Start(settings, r));
  RunToEnd();
  EXPECT_EQ(engine.state(), EngineState::kStopped);
  EXPECT_EQ(engine.failed_part(), "Base: sim for year 2001 (period number 1)");
  EXPECT_EQ(engine.outcome_message(), "[CopySimFilesToDir]: File x does not exist. [k=1]");
  EXPECT_EQ(prompter.Last().text, engine.outcome_message());
}

TEST_F(JobEngineTest, APartLogNamedOnlyInTheReportStillReachesTheYearLog) {
  // The program chose its own log name; the report says which.
  runner.on_start = [this](FakeProcessRunner::Started& s) -> Status {
    const std::string key = s.spec.args.at(0);
    const std::string base = scratch / ("work/" + key);
    testing::WriteFileBytes(base + ".own-log", "own log of " + key + "\n");
    testing::WriteFileBytes(base + ".rpt", "[Result]\nStatus=ok\nLog file=" + base + ".own-log\n");
    testing::WriteFileBytes(base + ".chk", "done");
    return Ok();
  };
  PlanRequest r = BaseYears(1);
  ASSERT_TRUE(engine.Start(settings, r));
  RunToEnd();
  EXPECT_EQ(testing::ReadFileBytes(scratch / "work/Base-sim-sim-1.ylog"),
            "** Starting Base-sim-sim-1 **\nown log of Base-sim-sim-1\n");
}

TEST_F(JobEngineTest, LeftoversOfAFailedJobAreEndedWhenAsked) {
  // Two slots: the first closure preparation fails while the Base's next year still
  // solves in the other slot.
  settings.last_slot = 2;
  outcome["Rerun-bot-env-1"] = "error";
  ASSERT_TRUE(engine.Start(settings, All()));
  for (int i = 0; i < 10 && runner.Running().size() < 2; ++i) {
    runner.Finish(runner.Running().at(0));
    while (engine.Tick()) {
    }
  }
  std::vector<int> running = runner.Running();
  ASSERT_EQ(running.size(), 2u);
  if (runner.Get(running[1]).spec.args.at(0) == "Rerun-bot-env-1") {
    std::swap(running[0], running[1]);
  }
  ASSERT_EQ(runner.Get(running[0]).spec.args.at(0), "Rerun-bot-env-1");
  runner.ignores_sigterm.insert(running[1]);
  runner.Finish(running[0]);
  while (engine.Tick()) {
  }
  EXPECT_EQ(engine.state(), EngineState::kStopped);
  EXPECT_EQ(engine.leftovers(), 1u);
  EXPECT_EQ(runner.Running(), std::vector<int>{running[1]});
  engine.TerminateLeftovers(std::chrono::milliseconds(20));
  EXPECT_TRUE(runner.Running().empty());
  EXPECT_TRUE(runner.Get(running[1]).reaped);
  EXPECT_EQ(runner.Get(running[1]).exit.code, 9);  // it ignored SIGTERM
  EXPECT_EQ(engine.leftovers(), 0u);
}

TEST_F(JobEngineTest, AbortEndsTheJobAsCancelledWithItsMessage) {
  ASSERT_TRUE(engine.Start(settings, All()));
  ASSERT_EQ(runner.Running().size(), 1u);
  engine.Abort("Job cancelled: received SIGTERM");
  EXPECT_EQ(engine.state(), EngineState::kCancelled);
  EXPECT_EQ(engine.outcome_message(), "Job cancelled: received SIGTERM");
  EXPECT_EQ(engine.leftovers(), 1u);
  engine.TerminateLeftovers(std::chrono::milliseconds(20));
  EXPECT_TRUE(runner.Running().empty());
}

TEST_F(JobEngineTest, PreparationAndLaunchFailuresStopWithTheirMessage) {
  preparer.fail_prepare = "Base-sim-sim-1";
  PlanRequest r = BaseYears(1);
  EXPECT_FALSE(engine.Start(settings, r));
  EXPECT_EQ(prompter.Last().text, "BAT file not written so cannot start job");

  preparer.fail_prepare.clear();
  runner.on_start = [](FakeProcessRunner::Started&) -> Status { return Fail("no such program"); };
  EXPECT_FALSE(engine.Start(settings, r));
  EXPECT_EQ(prompter.Last().text, "Could not launch solution process !");
  EXPECT_TRUE(prompter.Last().buttons & kHelp);
}

}  // namespace
}  // namespace yl::jobs
