#include "cmf/closure_check.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "core/text_util.h"
#include "sim/sim_table.h"
#include "support/scratch_dir.h"

namespace yl {
namespace {

using testing::ScratchDir;

// Stands in for the command-file writer's closure sections, recording how it was asked.
Status FakeClosureSections(const TSimRecord&, int period, int run, TextWriter& cmf,
                           bool policy_shocks, bool include_shocks) {
  cmf.WriteLine("! closure run " + std::to_string(run) + " period " + std::to_string(period) +
                " policy " + std::to_string(policy_shocks) + " shocks " +
                std::to_string(include_shocks));
  return Ok();
}

class ClosureCheckFilesTest : public ::testing::Test {
 protected:
  ClosureCheckFilesTest() {
    work = dir.MakeDir("work dir 'q' $HOME");
    temp = dir.MakeDir("tmp $x");
    sim.NumYears = 3;
    sim.FirstYear = 2001;
    sim.SimDir = work;
    for (int k = 1; k <= kMaxPeriods; ++k) sim.LengthPeriods[k] = 1;
    RecomputeYears(sim);
    ResetRowsAboveNumYears(sim);
    for (int row = -1; row <= 3; ++row) {
      for (int col = 1; col <= 4; ++col) sim.CMFCells(row, col) = "";
    }
    sim.CMFCells(-1, 2) = "N/A";
    RecomputeCMFNames(sim);
    setup.model_file = dir / "models/my model.exe";
    setup.program = dir / "models/my model.exe";
    setup.first_year_data = {"File BASEDATA = \"" + work + "/b.har\" ; ! data",
                             "File (terminal) = x ; ! keyboard"};
    setup.temp_dir = temp;
    setup.add_closure_shocks = FakeClosureSections;
  }
  std::string Read(const std::string& path) { return testing::ReadFileBytes(path); }

  ScratchDir dir;
  std::string work, temp;
  TSimRecord sim;
  ClosureCheckSetup setup;
};

TEST_F(ClosureCheckFilesTest, FileNamesFollowRunAndYear) {
  struct Case {
    int column, period;
    const char* stem;
  };
  for (const auto& c : {Case{1, 1, "oneb2001"}, Case{2, 3, "oneb2003"}, Case{3, 2, "onep2002"},
                        Case{4, 0, "onep2000"}}) {
    ClosureCheckFiles f = ClosureCheckFileNames(sim, temp, c.column, c.period);
    EXPECT_EQ(f.stem, c.stem);
    EXPECT_EQ(f.cmf, temp + "/" + c.stem + ".cmf");
    EXPECT_EQ(f.sti, temp + "/" + c.stem + ".sti");
    EXPECT_EQ(f.script, temp + "/" + c.stem + ".sh");
    EXPECT_EQ(f.report, temp + "/" + c.stem + ".rpt");
    EXPECT_EQ(f.log, temp + "/" + c.stem + ".log");
    EXPECT_EQ(f.flag, temp + "/" + c.stem + ".flg");
  }
}

TEST_F(ClosureCheckFilesTest, ClosureCommandFileWithCMFStartAndSaveLine) {
  testing::WriteFileBytes(work + "/start.cmf", "method = euler ;\n");
  sim.CMFCells(-1, 1) = "START";
  sim.CMFStartExt[1] = ".CMF";
  RecomputeCMFNames(sim);
  CheckCmfOutcome out = CheckClosureCMF(sim, setup, kClosureCheckWord, 1, 2, std::string("my env"));
  ASSERT_TRUE(out.written()) << out.problem.text;
  EXPECT_TRUE(out.problem.text.empty());
  EXPECT_EQ(out.files, ClosureCheckFileNames(sim, temp, 1, 2));
  EXPECT_EQ(Read(out.files.cmf),
            " \n"
            "! Begin CMFSTART file \"start.cmf\"\n"
            "method = euler ;\n"
            "! End CMFSTART file \"start.cmf\"\n"
            " \n"
            "auxiliary files = \"" +
                dir / "models/my model" + "\" ;\n" + setup.first_year_data[0] + "\n" +
                "! File (terminal) = x ; ! keyboard\n"
                "! closure run 1 period 2 policy 0 shocks 0\n"
                "save Environment file \"my env\" ;\n"
                "nds = yes ;\nnwr = yes ;\nneq = yes ;\nnas = yes ;\n"
                "range test initial values = no ;\n");
  EXPECT_EQ(Read(out.files.sti), "rpt\n" + out.files.report + "\ncmf\n" + out.files.cmf + "\n");
}

TEST_F(ClosureCheckFilesTest, ShockCheckOfThePolicyAsksForShockSections) {
  CheckCmfOutcome out = CheckClosureCMF(sim, setup, kClosureShockCheckWord, 4, 3, std::nullopt);
  ASSERT_TRUE(out.written()) << out.problem.text;
  std::string text = Read(out.files.cmf);
  EXPECT_NE(text.find("! closure run 3 period 3 policy 1 shocks 1\n"), std::string::npos);
  EXPECT_EQ(text.find("save Environment"), std::string::npos);
  EXPECT_EQ(text.find("CMFSTART"), std::string::npos);
}

TEST_F(ClosureCheckFilesTest, MissingCMFStartConstituentWritesNothing) {
  testing::WriteFileBytes(work + "/sp.cmf", "use environment file gone ;\n");
  sim.CMFCells(-1, 4) = "SP";
  sim.CMFStartExt[4] = ".cmf";
  RecomputeCMFNames(sim);
  CheckCmfOutcome out = CheckClosureCMF(sim, setup, kClosureCheckWord, 3, 1, std::nullopt);
  EXPECT_EQ(out.kind, CheckCmfOutcome::kConstituentMissing);
  EXPECT_EQ(out.problem.text, "At least one constituent of the CMFStart file\r\n" + work +
                                  "/sp.cmf\r\n does not exist.");
  EXPECT_EQ(out.problem.kind, MessageKind::kInformation);
  EXPECT_EQ(out.problem.buttons, kOk);
  EXPECT_FALSE(testing::ReadFileBytes(temp + "/onep2001.cmf").size());
  struct stat st;
  EXPECT_NE(::stat((temp + "/onep2001.cmf").c_str(), &st), 0);
  // The Base's check does not look at the Policy's CMFStart file.
  EXPECT_TRUE(CheckClosureCMF(sim, setup, kClosureCheckWord, 1, 1, std::nullopt).written());
}

TEST_F(ClosureCheckFilesTest, WriteFailuresAreTagged) {
  setup.temp_dir = dir / "no such dir";
  CheckCmfOutcome out = CheckClosureCMF(sim, setup, kClosureCheckWord, 1, 1, std::nullopt);
  EXPECT_EQ(out.kind, CheckCmfOutcome::kWriteFailed);
  EXPECT_EQ(out.problem.text, "Cannot create file " + dir / "no such dir/oneb2001.cmf" +
                                  "[TxtCreate][CheckClosureCMF]");

  setup.temp_dir = temp;
  setup.add_closure_shocks = [](const TSimRecord&, int, int, TextWriter&, bool, bool) -> Status {
    return Fail("Cannot open file X.CLS[TxtOpen][AddClosureShocksToCMF]");
  };
  out = CheckClosureCMF(sim, setup, kClosureCheckWord, 1, 1, std::nullopt);
  EXPECT_EQ(out.problem.text,
            "Cannot open file X.CLS[TxtOpen][AddClosureShocksToCMF][CheckClosureCMF]");
  EXPECT_EQ(out.problem.kind, MessageKind::kError);
}

TEST_F(ClosureCheckFilesTest, JobCommandRunsTheProgramDirectly) {
  ClosureCheckFiles f = ClosureCheckFileNames(sim, temp, 1, 1);
  ClosureCheckJob job = MakeClosureCheckJob(sim, setup, f);
  EXPECT_EQ(job.program, setup.program);
  EXPECT_EQ(job.args, (std::vector<std::string>{"-sti", f.sti, "-los", f.log}));
  EXPECT_EQ(job.directory, work);
}

struct ReportCase {
  const char* report;  // nullptr: no report file
  bool passed;
};

TEST_F(ClosureCheckFilesTest, VerdictFromTheReport) {
  ClosureCheckFiles f = ClosureCheckFileNames(sim, temp, 1, 1);
  for (const auto& c : {ReportCase{nullptr, false}, ReportCase{"[Result]\nStatus=ok\n", true},
                        ReportCase{"[Result]\r\nStatus=OK\r\n", true},
                        ReportCase{"[Result]\nStatus=error\nError=closure\n", false},
                        ReportCase{"[Other]\nStatus=ok\n", false}, ReportCase{"", false},
                        ReportCase{"\x1a\x00garbage", false}}) {
    ::unlink(f.report.c_str());
    if (c.report) testing::WriteFileBytes(f.report, c.report);
    EXPECT_EQ(ClosureCheckPassed(f), c.passed) << (c.report ? c.report : "(none)");
  }
}

// The script runs the program in the working directory with every path quoted, even
// when the paths hold blanks, quotes and "$".
TEST_F(ClosureCheckFilesTest, ScriptRunsUnderShWithHostilePaths) {
  std::string prog = dir.MakeDir("models") + "/my 'model' $1.sh";
  testing::WriteFileBytes(prog,
                          "#!/bin/sh\n"
                          "pwd > \"$4.where\"\n"
                          "echo \"$1 $2 $3\" > \"$4.args\"\n"
                          "echo \"svdir=$svdir\" >> \"$4.args\"\n"
                          "exit \"${FAKE_EXIT:-0}\"\n");
  ::chmod(prog.c_str(), 0755);
  setup.program = prog;
  setup.solvara_dir = "/opt/sv $y";
  CheckCmfOutcome out = CheckClosureCMF(sim, setup, kClosureCheckWord, 1, 1, std::nullopt);
  ASSERT_TRUE(out.written()) << out.problem.text;
  const ClosureCheckFiles& f = out.files;
  testing::WriteFileBytes(f.report, "old report");

  std::string command = "/bin/sh " + std::string("'") + f.script + "'";
  ASSERT_EQ(std::system(command.c_str()), 0);
  EXPECT_EQ(Read(f.log + ".where"), work + "\n");
  EXPECT_EQ(Read(f.log + ".args"), "-sti " + f.sti + " -lon\nsvdir=/opt/sv $y\n");
  EXPECT_EQ(Read(f.log), "** " + prog + " did not produce log file " + f.log + "\n");
  struct stat st;
  EXPECT_NE(::stat(f.report.c_str(), &st), 0);  // the old report went first
  EXPECT_NE(::stat(f.flag.c_str(), &st), 0);

  testing::ScopedEnv env;
  env.Set("FAKE_EXIT", "3");
  ASSERT_EQ(std::system(command.c_str()), 0);
  EXPECT_EQ(Read(f.flag), "error at model solution stage\n");
}

TEST_F(ClosureCheckFilesTest, NoProgramIsAWriteFailure) {
  setup.program.clear();
  CheckCmfOutcome out = CheckClosureCMF(sim, setup, kClosureCheckWord, 1, 1, std::nullopt);
  EXPECT_EQ(out.kind, CheckCmfOutcome::kWriteFailed);
  EXPECT_TRUE(EndsWithNoCase(out.problem.text, "[CheckClosureCMF]"));
}

}  // namespace
}  // namespace yl
