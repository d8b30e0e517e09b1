#include "app/commands/closure_check_commands.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/internal_error.h"
#include "sim/sim_table.h"
#include "support/scratch_dir.h"
#include "support/scripted_prompter.h"

namespace yl {
namespace {

using testing::ScratchDir;
using testing::ScriptedPrompter;

Status FakeClosureSections(const TSimRecord&, int, int, TextWriter& cmf, bool, bool) {
  cmf.WriteLine("! closure sections");
  return Ok();
}

// The job engine and the table as the commands see them. The table check passes for a
// range when every cell of the columns in it names an existing file (or none).
class FakeHost : public ClosureCheckHost {
 public:
  explicit FakeHost(TSimRecord& sim) : sim_(sim) {}
  bool DeveloperMode() const override { return developer; }
  bool BackgroundJobGuard(Prompter&) override {
    ++guard_calls;
    return guard;
  }
  bool StartCheckJob(jobs::BackgroundKind kind, const ClosureCheckJob& job) override {
    started.push_back({kind, job.files.stem});
    return start;
  }
  bool TableCheck(int first_column, int last_column, int first_period, int last_period) override {
    RecomputeCMFNames(sim_);
    for (int p = first_period; p <= last_period; ++p) {
      for (int c = first_column; c <= last_column; ++c) {
        if (!sim_.CMFExists(p, c)) return false;
      }
    }
    return true;
  }
  void OfferErrorLog(const std::string& log, Prompter&) override { offered_logs.push_back(log); }

  struct Started {
    jobs::BackgroundKind kind;
    std::string stem;
    bool operator==(const Started&) const = default;
  };
  bool developer = false;
  bool guard = true;
  bool start = true;
  int guard_calls = 0;
  std::vector<Started> started;
  std::vector<std::string> offered_logs;

 private:
  TSimRecord& sim_;
};

class ClosureCommands : public ::testing::Test {
 protected:
  ClosureCommands() : host(sim), ctx{sim, setup, host, prompter, state} {
    temp = dir.MakeDir("tmp");
    sim.NumYears = 4;
    sim.FirstYear = 2001;
    sim.SimDir = dir.path();
    for (int k = 1; k <= kMaxPeriods; ++k) sim.LengthPeriods[k] = 1;
    RecomputeYears(sim);
    ResetRowsAboveNumYears(sim);
    for (int row = -1; row <= 4; ++row) {
      for (int col = 1; col <= 4; ++col) sim.CMFCells(row, col) = "";
    }
    sim.CMFCells(-1, 2) = "N/A";
    for (int k = 1; k <= 4; ++k) {
      sim.CMFCells(k, 1) = "BASE";
      sim.CMFCells(k, 2) = "?";
      sim.CMFCells(k, 3) = "POL";
    }
    dir.Write("BASE.CLS", "exogenous x ;\n");
    dir.Write("POL.CLS", "exogenous y ;\n");
    RecomputeCMFNames(sim);
    setup.model_file = dir / "model.exe";
    setup.program = dir / "model.exe";
    setup.temp_dir = temp;
    setup.add_closure_shocks = FakeClosureSections;
  }
  void Set(int row, int col, const std::string& cell) {
    sim.CMFCells(row, col) = cell;
    RecomputeCMFNames(sim);
  }
  // The model program ended and left a report.
  void Report(const std::string& status) {
    testing::WriteFileBytes(state.files.report, "[Result]\nStatus=" + status + "\n");
  }

  ScratchDir dir;
  std::string temp;
  TSimRecord sim;
  ClosureCheckSetup setup;
  ScriptedPrompter prompter;
  ClosureCheckState state;
  FakeHost host;
  ClosureCheckContext ctx;
};

using Started = FakeHost::Started;

TEST_F(ClosureCommands, CheckClosureStartsOneJob) {
  ASSERT_TRUE(CheckClosureCommand(ctx, 1, 2));
  EXPECT_TRUE(prompter.messages.empty());
  EXPECT_EQ(host.started,
            (std::vector<Started>{{jobs::BackgroundKind::kClosureCheck, "oneb2002"}}));
  EXPECT_EQ(state.column, 1);
  EXPECT_EQ(state.period, 2);
  EXPECT_EQ(state.kind, jobs::BackgroundKind::kClosureCheck);
  EXPECT_FALSE(testing::ReadFileBytes(temp + "/oneb2002.cmf").empty());

  Report("ok");
  EXPECT_FALSE(CompleteClosureCheckJob(ctx));
  EXPECT_EQ(prompter.Texts(), std::vector<std::string>{"Closure is ok."});
  EXPECT_EQ(prompter.Last().buttons, kOk | kHelp);
  EXPECT_EQ(state.kind, jobs::BackgroundKind::kNone);
}

TEST_F(ClosureCommands, GuardAndDeveloperMode) {
  host.guard = false;
  EXPECT_FALSE(CheckClosureCommand(ctx, 1, 1));
  EXPECT_EQ(prompter.Texts(), std::vector<std::string>{"Cannot start Closure check job"});
  EXPECT_EQ(prompter.Last().kind, MessageKind::kError);
  EXPECT_TRUE(host.started.empty());

  host.developer = true;  // the guard is not asked
  EXPECT_TRUE(CheckClosureCommand(ctx, 3, 1));
  EXPECT_EQ(host.guard_calls, 1);
  EXPECT_EQ(host.started,
            (std::vector<Started>{{jobs::BackgroundKind::kClosureCheck, "onep2001"}}));
}

TEST_F(ClosureCommands, FailedLaunchIsReported) {
  host.start = false;
  EXPECT_FALSE(CheckClosureCommand(ctx, 1, 1));
  EXPECT_EQ(prompter.Texts(), std::vector<std::string>{"Could not launch solution process !"});
  EXPECT_EQ(prompter.Last().buttons, kOk | kHelp);
  EXPECT_EQ(state.kind, jobs::BackgroundKind::kNone);
}

TEST_F(ClosureCommands, CellRuleStopsTheCheck) {
  dir.Write("BAD.CLS", "exogenous x ;\nshock x = 1 ;\n");
  Set(3, 1, "BAD");
  EXPECT_FALSE(CheckClosureCommand(ctx, 1, 3));
  EXPECT_EQ(prompter.Texts(),
            std::vector<std::string>{"Key word \"shock\" must not be in closure file\r\n" +
                                     dir / "BAD.CLS" + "\r\nPlease change this file."});
  EXPECT_EQ(prompter.Last().help_topic, 7017);
  EXPECT_TRUE(host.started.empty());
}

TEST_F(ClosureCommands, MissingCMFStartConstituentShowsItsFile) {
  dir.Write("SB.CMF", "shock q = file missing.har ;\n");
  Set(-1, 1, "SB");
  sim.CMFStartExt[1] = ".CMF";
  RecomputeCMFNames(sim);
  EXPECT_FALSE(CheckClosureCommand(ctx, 1, 1));
  EXPECT_EQ(prompter.Texts(),
            std::vector<std::string>{"At least one constituent of the CMFStart file\r\n" +
                                     dir / "SB.CMF" + "\r\n does not exist."});
  EXPECT_EQ(host.guard_calls, 0);
  EXPECT_TRUE(host.started.empty());
}

TEST_F(ClosureCommands, SaveEnvironmentNeedsAShortName) {
  for (const char* bad : {"sub/env", "c:env", "a\\b"}) {
    ScriptedPrompter p;
    ClosureCheckContext c{sim, setup, host, p, state};
    EXPECT_FALSE(CheckClosureSaveEnvironmentCommand(c, 1, 1, bad));
    EXPECT_EQ(p.Texts(), std::vector<std::string>{"You must specify a short file name since "
                                                  "Environment file will go in Working Directory"});
    EXPECT_EQ(p.Last().help_topic, 7038);
  }
  EXPECT_TRUE(host.started.empty());
  ASSERT_TRUE(CheckClosureSaveEnvironmentCommand(ctx, 1, 1, "env $1"));
  std::string cmf = testing::ReadFileBytes(state.files.cmf);
  EXPECT_NE(cmf.find("save Environment file \"env $1\" ;\n"), std::string::npos);
}

TEST_F(ClosureCommands, ClosureAndShocksChecksBothCells) {
  dir.Write("ASH.BSH", "ashock x = 1 ;\n");
  Set(2, 2, "ASH");
  EXPECT_FALSE(CheckClosureAndShocksCommand(ctx, 2, 2));  // ashock not in base shocks
  EXPECT_EQ(prompter.messages.size(), 1u);
  EXPECT_EQ(prompter.Last().help_topic, 7018);

  dir.Write("ASH.PSH", "ashock x = 1 ;\n");
  Set(2, 4, "ASH");
  ASSERT_TRUE(CheckClosureAndShocksCommand(ctx, 4, 2));
  EXPECT_EQ(host.started,
            (std::vector<Started>{{jobs::BackgroundKind::kClosureShockCheck, "onep2002"}}));

  testing::WriteFileBytes(state.files.log, "it failed");
  Report("error");
  CompleteClosureCheckJob(ctx);
  EXPECT_EQ(prompter.Last().text, "Closure and shocks are NOT ok.");
  EXPECT_EQ(host.offered_logs, std::vector<std::string>{state.files.log});

  EXPECT_THROW(CheckClosureAndShocksCommand(ctx, 3, 2), InternalError);
  host.guard = false;
  EXPECT_FALSE(CheckClosureAndShocksCommand(ctx, 4, 2));
  EXPECT_EQ(prompter.Last().text, "Cannot start Closure&Shock check job");
}

TEST_F(ClosureCommands, FailedClosureWithoutLog) {
  ASSERT_TRUE(CheckClosureCommand(ctx, 1, 1));
  EXPECT_FALSE(CompleteClosureCheckJob(ctx));  // no report at all
  EXPECT_EQ(prompter.Texts(), std::vector<std::string>{"Closure is NOT ok."});
  EXPECT_EQ(host.offered_logs, std::vector<std::string>{""});
  EXPECT_THROW(CompleteClosureCheckJob(ctx), InternalError);  // nothing is running now
}

TEST_F(ClosureCommands, CheckAllPolicyClosuresSkipsRedPeriods) {
  Set(2, 3, "GONE");
  Set(3, 3, "GONE");
  ASSERT_TRUE(RunCheckAllCommand(ctx, CheckAllCommand::kPolicyClosures));
  const std::string warning =
      "Some items in the relevant columns are not ok (coloured red or green).\r\nWill only "
      "check the other ones.";
  EXPECT_EQ(prompter.Texts(), std::vector<std::string>{warning});
  EXPECT_EQ(prompter.Last().help_topic, 7017);
  EXPECT_EQ(host.started,
            (std::vector<Started>{{jobs::BackgroundKind::kAllClosuresCheck, "onep2001"}}));

  Report("ok");
  ASSERT_TRUE(CompleteClosureCheckJob(ctx));  // on to period 4, skipping 2 and 3
  EXPECT_EQ(host.started.back(), (Started{jobs::BackgroundKind::kAllClosuresCheck, "onep2004"}));
  EXPECT_EQ(state.period, 4);

  Report("ok");
  EXPECT_FALSE(CompleteClosureCheckJob(ctx));
  EXPECT_EQ(prompter.Texts(),
            (std::vector<std::string>{warning, "Check of all policy closures completed."}));
  EXPECT_EQ(prompter.Last().help_topic, 7038);
}

TEST_F(ClosureCommands, RedLastPeriodsEndWithTheWarningText) {
  Set(3, 1, "GONE");
  Set(4, 1, "GONE");
  ASSERT_TRUE(RunCheckAllCommand(ctx, CheckAllCommand::kBaseClosures));
  Report("ok");
  ASSERT_TRUE(CompleteClosureCheckJob(ctx));
  EXPECT_EQ(state.period, 2);
  Report("ok");
  EXPECT_FALSE(CompleteClosureCheckJob(ctx));
  EXPECT_EQ(prompter.Last().text,
            "Check of all base case closures completed.\r\nBut is at least one file showing red "
            "or green on the Closures/Shocks page.");
  EXPECT_EQ(host.started.size(), 2u);
}

TEST_F(ClosureCommands, FailedJobEndsTheSequence) {
  ASSERT_TRUE(RunCheckAllCommand(ctx, CheckAllCommand::kBaseClosures));
  Report("error");
  EXPECT_FALSE(CompleteClosureCheckJob(ctx));
  EXPECT_EQ(prompter.Texts(), std::vector<std::string>{"Closure is NOT ok."});
  EXPECT_EQ(host.started.size(), 1u);
}

TEST_F(ClosureCommands, BaseShocksWithAshockPassTheRangeRule) {
  dir.Write("ASH.BSH", "ashock x = 1 ;\n");
  Set(1, 2, "ASH");
  ASSERT_TRUE(RunCheckAllCommand(ctx, CheckAllCommand::kBaseClosuresAndShocks));
  EXPECT_TRUE(prompter.messages.empty());
  EXPECT_EQ(host.started,
            (std::vector<Started>{{jobs::BackgroundKind::kAllClosuresShocksCheck, "oneb2001"}}));
  Report("ok");
  ASSERT_TRUE(CompleteClosureCheckJob(ctx));
  EXPECT_EQ(state.period, 2);
  EXPECT_EQ(state.column, 2);
}

TEST_F(ClosureCommands, RangeRuleFailureStartsNothing) {
  dir.Write("BAD.CLS", "shock x = 1 ;\n");
  Set(4, 3, "BAD");
  EXPECT_FALSE(RunCheckAllCommand(ctx, CheckAllCommand::kPolicyClosuresAndShocks));
  EXPECT_EQ(prompter.Last().help_topic, 7039);
  EXPECT_TRUE(host.started.empty());
}

TEST_F(ClosureCommands, PolicyChecksStartAtTheFirstPolicyShock) {
  dir.Write("PS.PSH", "shock x = 1 ;\n");
  for (int k = 1; k <= 4; ++k) Set(k, 4, "");
  Set(3, 4, "PS");
  ASSERT_TRUE(RunCheckAllCommand(ctx, CheckAllCommand::kPolicyClosuresAndShocks));
  EXPECT_EQ(host.started,
            (std::vector<Started>{{jobs::BackgroundKind::kAllClosuresShocksCheck, "onep2003"}}));
  EXPECT_TRUE(prompter.messages.empty());  // not from period 1: no table warning
}

TEST_F(ClosureCommands, SequenceGuardRefusal) {
  host.guard = false;
  EXPECT_FALSE(CheckSomeClosuresShocks(ctx, 1, 1, 4));
  EXPECT_EQ(prompter.Texts(), std::vector<std::string>{"Cannot start Closure/Shocks check job"});
}

TEST_F(ClosureCommands, SequenceWarnsAboutCMFStartAndGoesOn) {
  dir.Write("SR.CMF", "use environment file nothere ;\n");
  Set(-1, 3, "SR");
  sim.CMFStartExt[3] = ".CMF";
  RecomputeCMFNames(sim);
  EXPECT_FALSE(CheckSomeClosuresShocks(ctx, 3, 5, 4));  // nothing left to check
  EXPECT_EQ(prompter.Texts(),
            (std::vector<std::string>{"However at least one constituent of the CMFStart file\r\n" +
                                          dir / "SR.CMF" + "\r\n does not exist.",
                                      "Check of all policy closures completed."}));
  EXPECT_EQ(prompter.messages[0].help_topic, 7080);

  ScriptedPrompter p;
  setup.no_rerun = true;  // the Rerun's CMFStart file is not looked at
  ClosureCheckContext c{sim, setup, host, p, state};
  EXPECT_FALSE(CheckSomeClosuresShocks(c, 3, 5, 4));
  EXPECT_EQ(p.Texts(), std::vector<std::string>{"Check of all policy closures completed."});
}

}  // namespace
}  // namespace yl
