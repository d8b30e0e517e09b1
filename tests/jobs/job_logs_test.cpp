#include "jobs/job_logs.h"

#include <gtest/gtest.h>

#include "platform/files.h"
#include "support/scratch_dir.h"

namespace yl::jobs {
namespace {

using testing::ScratchDir;

TEST(JobLogs, DescriptionsAndErrorSuffix) {
  std::string what = "sim for year 2003 (period number 3)";
  EXPECT_EQ(JobDescription(1, what), "Base: sim for year 2003 (period number 3)");
  EXPECT_EQ(ErrorDescription(2, what, JobKind::kSim, PartKind::kSol), "Rerun: " + what);
  EXPECT_EQ(ErrorDescription(3, "BOT job for year 2003", JobKind::kBot, PartKind::kAmbix1),
            "Policy: BOT job for year 2003 [ambix1 part of job bot]");
}

TEST(JobLogs, ElapsedTimeText) {
  EXPECT_EQ(ElapsedText(std::chrono::seconds(1)), "Total elapsed time is: 1 seconds");
  EXPECT_EQ(ElapsedText(std::chrono::seconds(95)), "Total elapsed time is: 1 minutes, 35 seconds");
  EXPECT_EQ(ElapsedText(std::chrono::seconds(50 * 3600 + 1)),
            "Total elapsed time is: 50 hours, 0 minutes, 1 seconds");
}

TEST(JobLogs, AppendOnlyToALogThatExists) {
  ScratchDir d;
  EXPECT_FALSE(AppendToLog(d / "bigjobs.log", {"START x"}));
  EXPECT_FALSE(FileExists(d / "bigjobs.log"));  // deleted by the user: stays off
  d.Write("bigjobs.log", "old\n");
  d.Write("part.log", "solve details\n");
  EXPECT_TRUE(AppendToLog(d / "bigjobs.log", {" ", "BEGINNING A JOB at now"}));
  EXPECT_TRUE(AppendFileToLog(d / "bigjobs.log", d / "part.log"));
  EXPECT_FALSE(AppendFileToLog(d / "bigjobs.log", d / "missing.log"));
  EXPECT_EQ(d.Read("bigjobs.log"), "old\n \nBEGINNING A JOB at now\nsolve details\n");
}

TEST(JobLogs, JudgingAPartFromItsReportAndCheckFile) {
  struct Case {
    const char* report;  // nullptr: no report file
    bool check_exists;
    PartOutcome expected;
  };
  ScratchDir d;
  for (const Case& c :
       {Case{"[Result]\nStatus=OK\n", true, PartOutcome::kSuccess},
        Case{"[Result]\r\nStatus = ok \r\n", false, PartOutcome::kSuccessWithoutOutput},
        Case{"[Result]\nStatus=error\nError=bad\n", true, PartOutcome::kFailure},
        Case{"[Result]\nError=no status\n", true, PartOutcome::kFailure},
        Case{"\x01\x02garbage", true, PartOutcome::kFailure},
        Case{nullptr, true, PartOutcome::kFailure}}) {
    DeleteFileIfExists(d / "p.rpt");
    DeleteFileIfExists(d / "p.sl4");
    if (c.report) d.Write("p.rpt", c.report);
    if (c.check_exists) d.Write("p.sl4", "x");
    EXPECT_EQ(JudgePart(d / "p.rpt", d / "p.sl4"), c.expected) << (c.report ? c.report : "none");
  }
}

TEST(JobLogs, StatusOverview) {
  EXPECT_EQ(JobStatusOverview(nullptr, {}), "[Nothing is running.]");
  PlanSettings s;
  s.NumYears = 3;
  PlanRequest r = PlanRequest::Nothing(3);
  r.first_sim_year[1] = 1;
  r.last_sim_year[1] = 3;
  r.first_ss_year[1] = 1;
  r.last_ss_year[1] = 3;
  JobPlan plan(s, r);
  auto year = [](int k) { return 2000 + k; };
  EXPECT_EQ(JobStatusOverview(&plan, year),
            "Base:\r\n  Do simulations for years 2001 to 2003\r\n  [No sims completed yet.]\r\n"
            "  Do spreadsheets for years 2001 to 2003\r\n  [Not yet done.]");
  plan.plan(1).last_sim_done = 2;
  plan.plan(1).last_ss_job = JobKind::kCumSol;
  EXPECT_EQ(JobStatusOverview(&plan, year),
            "Base:\r\n  Do simulations for years 2001 to 2003\r\n"
            "  Last simulation done is that for 2002 [period number 2]\r\n"
            "  Do spreadsheets for years 2001 to 2003\r\n  [Done.]");
}

}  // namespace
}  // namespace yl::jobs
