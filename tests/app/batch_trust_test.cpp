// Batch mode with the real programs, as a user runs it: every task plans the parts it
// should, a failing part says why, one run at a time, and a clean stop on a signal.

#include <errno.h>
#include <signal.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <sstream>
#include <thread>

#include "app/batch_mode.h"
#include "core/internal_error.h"
#include "core/text_util.h"
#include "demo_support.h"
#include "jobs/job_plan.h"
#include "platform/files.h"
#include "platform/instance_lock.h"
#include "platform/paths.h"
#include "platform/text_file.h"
#include "sim/sim_naming.h"
#include "support/fake_process_runner.h"
#include "support/program_run.h"

namespace yl::testing {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;
using namespace std::chrono_literals;

constexpr int kFirstPolicyYear = 2024;
constexpr int kLastYear = 2030;

class BatchTrustTest : public DemoWorkTest {
 protected:
  std::string LockFile() const { return KeepFile(kInstanceLockName); }

  // yearloom started in the background, for the tests that act while it runs.
  struct Background {
    PosixProcessRunner runner;
    ProcessHandle handle;
    std::string output_file;
  };
  void StartInBackground(Background& b, const std::vector<std::string>& args,
                         const std::vector<std::string>& env) {
    ScopedEnv extra;
    for (const std::string& e : env) {
      const auto eq = e.find('=');
      extra.Set(e.substr(0, eq), e.substr(eq + 1));
    }
    b.output_file = scratch / "background-output.txt";
    auto h = b.runner.Start(
        ProcessSpec{BinPath("yearloom"), args, work, WindowState::kNormal, b.output_file});
    ASSERT_TRUE(h.has_value()) << h.error();
    b.handle = *h;
  }
  // Waits for the background run to end; nullopt when it did not within the limit.
  std::optional<ProcessExit> WaitFor(Background& b, std::chrono::seconds limit) {
    const auto until = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < until) {
      if (auto e = b.runner.Poll(b.handle)) return e;
      b.runner.WaitForAnyEnd({b.handle}, 100ms);
    }
    return std::nullopt;
  }
  // True once `pred` holds, polling for up to the limit.
  static bool Eventually(const std::function<bool()>& pred, std::chrono::seconds limit) {
    const auto until = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < until) {
      if (pred()) return true;
      std::this_thread::sleep_for(50ms);
    }
    return pred();
  }
  // The programs yearloom started that still hold the lock (itself excluded once ended).
  std::vector<LockHolder> Holders() const { return LockHolders(LockFile()); }
};

// The START lines of the jobs log's last big job.
std::vector<std::string> StartsOfLastJob(const std::string& jobs_log) {
  std::vector<std::string> lines = SplitLines(jobs_log);
  std::vector<std::string> starts;
  for (const std::string& l : lines) {
    if (l.rfind("BEGINNING A JOB", 0) == 0) starts.clear();
    if (l.rfind("START ", 0) == 0) starts.push_back(l.substr(0, l.rfind(' ')));
  }
  return starts;
}

struct TaskCase {
  std::string task;
  std::vector<int> runs;  // the runs the task asks for, two-run mode already applied
};

// What the task should start: every simulated year of each run (its sim and sol parts,
// with the closure preparation for the Rerun, or the Policy in two-run mode), and the
// spreadsheet jobs when the simulations reach the last year or only they are asked for.
std::set<std::string> PlannedStarts(const std::vector<int>& runs, const std::string& years,
                                    bool two_run) {
  int first = 2021, last = kLastYear;
  bool simulate = true;
  if (years == "ss") {
    simulate = false;
  } else if (years != "all") {
    first = std::stoi(years.substr(0, 4));
    last = std::stoi(years.substr(5));
  }
  const int bot_run = two_run ? kPolicy : kRerun;
  std::set<std::string> planned;
  for (int run : runs) {
    const std::string name = jobs::RunShortName(run);
    if (simulate) {
      const int from = run == kBase ? first : std::max(first, kFirstPolicyYear);
      for (int y = from; y <= last; ++y) {
        const std::string period = std::to_string(y - 2020);
        planned.insert("START " + name + ": sim for year " + std::to_string(y) +
                       " (period number " + period + ")");
        planned.insert("START " + name + ": Sol job for year " + std::to_string(y) +
                       " (period number " + period + ")");
        if (run != kBase) {
          planned.insert("START " + std::string(jobs::RunShortName(bot_run)) +
                         ": Preparing closure for year " + std::to_string(y) + " (period number " +
                         period + ")");
        }
      }
    }
    if (!simulate || last == kLastYear) {
      planned.insert("START " + name + ": Assembling the spreadsheets");
      // Without a Rerun the deviations are taken from the Base, which must then assemble
      // its results over the policy years too.
      if (two_run && run == kPolicy) planned.insert("START Base: Assembling the spreadsheets");
    }
  }
  return planned;
}

// A copy of the demo's Sim Details in two-run mode.
std::string TwoRunSimDetails(const std::string& work, const std::string& ds1) {
  const std::string two_run = "demomodel-two-run.ds1";
  std::string text = ReadFileBytes(JoinPath(work, ds1));
  const std::string key = "Rerun FC with Dev=yes";
  text.replace(text.find(key), key.size(), "Rerun FC with Dev=no");
  WriteFileBytes(JoinPath(work, two_run), text);
  WriteFileBytes(JoinPath(work, ChangeFileExt(two_run, ".ds2")),
                 ReadFileBytes(JoinPath(work, ChangeFileExt(ds1, ".ds2"))));
  return two_run;
}

TEST_F(BatchTrustTest, EveryTaskRunsThePartsItPlansInThreeAndTwoRunMode) {
  for (bool two_run : {false, true}) {
    SCOPED_TRACE(two_run ? "two-run mode" : "three-run mode");
    const std::string details = two_run ? TwoRunSimDetails(work, ds1) : ds1;
    WriteOptions(3, {"Add to Jobs Log File=1"});
    ASSERT_TRUE(WriteTextLines(KeepFile("bigjobs.log"), {}));
    YearloomRun base = Yearloom({"base", "all", details});
    ASSERT_TRUE(base.Succeeded()) << base.output;

    const std::vector<int> rerun = two_run ? std::vector<int>{} : std::vector<int>{kRerun};
    auto with_rerun = [&](std::vector<int> runs) {
      if (!two_run) runs.insert(runs.begin() + (runs[0] == kBase ? 1 : 0), kRerun);
      return runs;
    };
    for (const TaskCase& c :
         {TaskCase{"base", {kBase}}, TaskCase{"rerun", rerun}, TaskCase{"policy", {kPolicy}},
          TaskCase{"base+rerun", with_rerun({kBase})},
          TaskCase{"rerun+policy", with_rerun({kPolicy})},
          TaskCase{"all", with_rerun({kBase, kPolicy})}}) {
      // A range that does not reach the last year runs no spreadsheet jobs; "ss" after the
      // simulations have been made assembles them again.
      for (const std::string years : {"all", "2022-2025", "ss"}) {
        SCOPED_TRACE(c.task + " " + years);
        YearloomRun run = Yearloom({c.task, years, details});
        if (c.runs.empty()) {
          // No Rerun in two-run mode: the task has nothing to do.
          EXPECT_EQ(run.exit.code, 1);
          EXPECT_THAT(ReadFileBytes(KeepFile("BatchJobs.log")),
                      HasSubstr("Job finished with error: Nothing to do\n"));
          continue;
        }
        ASSERT_TRUE(run.Succeeded()) << run.output;
        const std::vector<std::string> starts =
            StartsOfLastJob(ReadFileBytes(KeepFile("bigjobs.log")));
        std::set<std::string> started(starts.begin(), starts.end());
        std::set<std::string> planned = PlannedStarts(c.runs, years, two_run);
        // With only one of the Rerun and the Policy in three-run mode, a closure
        // preparation runs only when the run records find the last one out of date.
        const bool both = two_run || (std::count(c.runs.begin(), c.runs.end(), kRerun) > 0 &&
                                      std::count(c.runs.begin(), c.runs.end(), kPolicy) > 0);
        if (!both) {
          for (auto* set : {&started, &planned}) {
            std::erase_if(*set, [](const std::string& s) {
              return s.find("Preparing closure") != std::string::npos;
            });
          }
          for (const std::string& s : starts) {
            if (s.find("Preparing closure") == std::string::npos) continue;
            EXPECT_TRUE(PlannedStarts(c.runs, years, two_run).count(s)) << s;
          }
        }
        EXPECT_EQ(started, planned);
      }
    }
  }
}

TEST_F(BatchTrustTest, TheTaskIsJudgedAfterTheSimDetailsAreLoaded) {
  // The options say two-run mode; the Sim Details file of the demo says three runs.
  WriteOptions(3, {"Rerun FC with Dev=no"});
  ASSERT_TRUE(Yearloom({"base", "all", ds1}).Succeeded());
  YearloomRun run = Yearloom({"rerun", "all", ds1});
  EXPECT_TRUE(run.Succeeded()) << run.output;
}

TEST_F(BatchTrustTest, WithRationalExpectationsOnTheTaskIteratesOrSaysWhyNot) {
  // The ordinary demo has no iteration files: batch mode takes the rational-expectations
  // road and refuses the task before any solve, saying why where the caller sees it.
  const std::string re = "demomodel-re.ds1";
  std::string text = ReadFileBytes(JoinPath(work, ds1));
  const std::string key = "Do Corvan RE=0";
  ASSERT_NE(text.find(key), std::string::npos);
  text.replace(text.find(key), key.size(), "Do Corvan RE=1");
  WriteFileBytes(JoinPath(work, re), text);
  WriteFileBytes(JoinPath(work, ChangeFileExt(re, ".ds2")),
                 ReadFileBytes(JoinPath(work, ChangeFileExt(ds1, ".ds2"))));
  YearloomRun run = Yearloom({"base", "all", re});
  EXPECT_FALSE(run.Succeeded());
  EXPECT_THAT(run.output, HasSubstr("ITER is not one of the logical file names."));
  EXPECT_THAT(ReadFileBytes(KeepFile("BatchJobs.log")),
              HasSubstr("ITER is not one of the logical file names."));
  EXPECT_FALSE(FileExists(Solution(kBase, 1)));
  // Spreadsheets alone iterate nothing, and nobody is there to be asked about it.
  YearloomRun ss = Yearloom({"base", "ss", re});
  EXPECT_THAT(ss.output, Not(HasSubstr("will NOT do Rational Expectations")));
  EXPECT_THAT(ss.output, Not(HasSubstr("ITER is not one of the logical file names.")));
}

struct PartFailureCase {
  std::string fault;
  std::vector<std::string> batch_log;  // what BatchJobs.log must say
  bool part_log_in_year_log;
};

TEST_F(BatchTrustTest, AFailedSolveLeavesItsYearLogAndTheBatchLogSaysWhy) {
  const std::string part = "Base: sim for year 2023 (period number 3)";
  for (const PartFailureCase& c : std::vector<PartFailureCase>{
           {"demomodel crash bs1b-2023",
            {"Error running job - see log file", "ERROR " + part,
             "The program demomodel was killed by signal 6 (SIGABRT).",
             "[Failed part: " + part + "]"},
            true},
           {"demomodel silent bs1b-2023",
            {"Error running job - no log file", "ERROR " + part, "has not been created.",
             "[Failed part: " + part + "]"},
            false},
           {"demomodel crash-after-report bs1b-2023",
            {"ERROR " + part, "The program demomodel was killed by signal 11 (SIGSEGV)."},
            true},
           {"demomodel exit-after-report bs1b-2023",
            {"ERROR " + part, "The program demomodel ended with exit status 3."},
            true},
           {"demomodel truncate-outputs bs1b-2023",
            {"ERROR " + part,
             "The solve reported success but left an incomplete file:", WorkFile("bs1b-2023.sl4")},
            true}}) {
    SCOPED_TRACE(c.fault);
    WriteOptions(1);
    DeleteFileIfExists(KeepFile("BatchJobs.log"));
    YearloomRun run = Yearloom({"base", "all", ds1}, {"YL_FAULT=" + c.fault});
    ASSERT_TRUE(run.ran);
    EXPECT_EQ(run.exit.code, 1);
    const std::string batch = ReadFileBytes(KeepFile("BatchJobs.log"));
    for (const std::string& said : c.batch_log) EXPECT_THAT(batch, HasSubstr(said));
    EXPECT_THAT(batch, Not(HasSubstr("\r")));
    // The failure reaches the terminal too, not only the log.
    EXPECT_THAT(run.output, HasSubstr("[Failed part: " + part + "]"));

    const std::string year_log = ReadFileBytes(WorkFile("bs1b-2023.log"));
    EXPECT_EQ(year_log.rfind("** Starting sim for year 2023 of Base **\n", 0), 0u) << year_log;
    if (c.part_log_in_year_log) {
      EXPECT_THAT(year_log, HasSubstr("demomodel started with stored-input file"));
    }
    // Nothing after the failed year was booked or started.
    EXPECT_FALSE(FileExists(Solution(kBase, 4)));
  }
}

TEST_F(BatchTrustTest, ASecondRunOnTheSameKeepDirectoryEndsAtOnce) {
  WriteOptions(1);
  Background first;
  StartInBackground(first, {"base", "2021-2022", ds1}, {"YL_FAULT=demomodel slow 20 bs1b-2021"});
  ASSERT_TRUE(Eventually([&] { return FileExists(WorkFile("bs1b-2021.log")); }, 30s));

  const auto started = std::chrono::steady_clock::now();
  YearloomRun second = Yearloom({"base", "all", ds1});
  ASSERT_TRUE(second.ran);
  EXPECT_EQ(second.exit.code, 1);
  // Far sooner than the first run's slow solve could end.
  EXPECT_LT(std::chrono::steady_clock::now() - started, 10s);
  EXPECT_THAT(second.output, HasSubstr("Another Yearloom run is using the keep directory"));
  EXPECT_THAT(second.output, HasSubstr("(demomodel)"));

  auto exit = WaitFor(first, 60s);
  ASSERT_TRUE(exit.has_value());
  EXPECT_TRUE(exit->exited_normally && exit->code == 0) << ReadFileBytes(first.output_file);
  // Only the first run wrote its records, one begin and one end.
  const std::string batch = ReadFileBytes(KeepFile("BatchJobs.log"));
  const std::vector<std::string> lines = SplitLines(batch);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), std::string(48, '+')), 1);
  EXPECT_THAT(batch, HasSubstr("Job ended successfully"));
}

TEST_F(BatchTrustTest, ASolveOfAKilledRunKeepsTheNextRunFromStarting) {
  WriteOptions(1);
  Background first;
  StartInBackground(first, {"base", "2021-2021", ds1}, {"YL_FAULT=demomodel slow 4 bs1b-2021"});
  ASSERT_TRUE(Eventually([&] { return FileExists(WorkFile("bs1b-2021.log")); }, 30s));
  ASSERT_TRUE(Eventually([&] { return Holders().size() >= 2; }, 10s));
  ::kill(first.handle.pid, SIGKILL);
  ASSERT_TRUE(WaitFor(first, 10s).has_value());

  YearloomRun second = Yearloom({"base", "all", ds1});
  EXPECT_EQ(second.exit.code, 1);
  EXPECT_THAT(second.output, HasSubstr("Processes still holding"));
  EXPECT_THAT(second.output, HasSubstr("(demomodel)"));
  // Once the orphaned solve has ended, the keep directory is free again.
  EXPECT_TRUE(Eventually([&] { return Holders().empty(); }, 30s));
  auto lock = InstanceLock::Acquire(LockFile());
  EXPECT_TRUE(lock.has_value());
}

TEST_F(BatchTrustTest, SigtermStopsTheRunAndEndsItsParts) {
  for (int sig : {SIGTERM, SIGINT}) {
    SCOPED_TRACE(sig);
    WriteOptions(1);
    Background run;
    StartInBackground(run, {"base", "all", ds1}, {"YL_FAULT=demomodel slow 60 bs1b-2022"});
    ASSERT_TRUE(Eventually([&] { return FileExists(WorkFile("bs1b-2022.log")); }, 60s));
    ASSERT_TRUE(Eventually([&] { return Holders().size() >= 2; }, 10s));
    std::vector<int> children;
    for (const LockHolder& h : Holders()) {
      if (h.pid != run.handle.pid) children.push_back(h.pid);
    }
    ASSERT_FALSE(children.empty());
    ::kill(run.handle.pid, sig);
    auto exit = WaitFor(run, 20s);
    ASSERT_TRUE(exit.has_value());
    EXPECT_TRUE(exit->exited_normally);
    EXPECT_EQ(exit->code, 128 + sig);
    EXPECT_THAT(ReadFileBytes(KeepFile("BatchJobs.log")),
                HasSubstr(std::string("Job cancelled: received ") +
                          (sig == SIGTERM ? "SIGTERM" : "SIGINT")));
    for (int pid : children) {
      EXPECT_EQ(::kill(-pid, 0), -1) << "process group " << pid << " outlived yearloom";
    }
    EXPECT_TRUE(Holders().empty());
  }
}

TEST_F(BatchTrustTest, AFailureInOneSlotEndsThePartsOfTheOthers) {
  // The Rerun's first year fails while a slow Base solve runs in another slot.
  WriteOptions(3);
  const auto started = std::chrono::steady_clock::now();
  YearloomRun run = Yearloom({"all", "all", ds1}, {"YL_FAULT=demomodel status-error br1r-2024;"
                                                   "demomodel slow 60 bs1b-2025"});
  ASSERT_TRUE(run.ran);
  EXPECT_EQ(run.exit.code, 1);
  EXPECT_LT(std::chrono::steady_clock::now() - started, 45s);
  EXPECT_THAT(ReadFileBytes(KeepFile("BatchJobs.log")),
              HasSubstr("[Failed part: Rerun: sim for year 2024 (period number 4)]"));
  // The slow solve was ended with the run, not left writing.
  EXPECT_TRUE(Holders().empty());
}

TEST_F(BatchTrustTest, AnInternalErrorEndsTheRunWithAMessageNotAnAbort) {
  WriteOptions(1);
  FakeProcessRunner runner;
  runner.on_start = [](FakeProcessRunner::Started&) -> Status {
    throw InternalError("logical file index 0 outside 1..4");
  };
  SystemClock clock;
  std::ostringstream out;
  BatchEnvironment env;
  env.program_dir = BinDir();
  env.current_dir = work;
  env.runner = &runner;
  env.clock = &clock;
  env.out = &out;
  EXPECT_EQ(RunBatchMode({"base", "all", ds1}, env), 1);
  EXPECT_THAT(ReadFileBytes(KeepFile("BatchJobs.log")),
              HasSubstr("Job finished with error: An internal programming error has occured.\n"
                        "Please tell the code developers.\nThe error message is:\nlogical file "
                        "index 0 outside 1..4\n"));
  EXPECT_THAT(out.str(), HasSubstr("logical file index 0 outside 1..4"));
  // The lock went with the run.
  EXPECT_TRUE(InstanceLock::Acquire(LockFile()).has_value());
}

TEST_F(BatchTrustTest, AnUnusableKeepDirectoryIsAnnouncedNotSilentlyReplaced) {
  // SVKEEP names a file, not a directory: the search falls back, and says so.
  const std::string not_a_dir = scratch.Write("svkeep-file", "");
  ScopedEnv env;
  env.Set("SVKEEP", not_a_dir);
  ProcessSpec spec{BinPath("yearloom"),
                   {"base", "bogus-years"},
                   work,
                   WindowState::kNormal,
                   scratch / "fallback-output.txt"};
  PosixProcessRunner runner;
  auto h = runner.Start(spec);
  ASSERT_TRUE(h.has_value());
  while (!runner.Poll(*h)) runner.WaitForAnyEnd({*h}, 100ms);
  const std::string output = ReadFileBytes(scratch / "fallback-output.txt");
  EXPECT_THAT(output, HasSubstr("SVKEEP Folder (" + not_a_dir + ")"));
  EXPECT_THAT(output, HasSubstr("as the keep directory instead"));
}

}  // namespace
}  // namespace yl::testing
