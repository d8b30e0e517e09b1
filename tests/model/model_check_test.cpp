#include "model/model_check.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>
#include <map>

#include "model_fixture.h"
#include "platform/files.h"

namespace yl {
namespace {

using testing::ScratchDir;

TEST(ModelCheck, PreparesFilesAndTheScriptRunsWithHostileNames) {
  ScratchDir d;
  std::string temp = d.MakeDir("tmp dir $HOME 'q'");
  // A stand-in program that records its arguments.
  std::string program = d.Write(
      "bin/model it's $x",
      "#!/bin/sh\nfor a in \"$@\"; do echo \"$a\"; done > \"$(dirname \"$0\")/args.txt\"\n");
  ASSERT_EQ(::chmod(program.c_str(), 0755), 0);
  d.Write("tmp dir $HOME 'q'/chkmodel.rpt", "[Result]\nStatus=ok\n");

  auto job = PrepareModelCheck(temp, program);
  ASSERT_TRUE(job) << job.error();
  EXPECT_FALSE(FileExists(job->report_path));  // an old report is deleted
  EXPECT_EQ(testing::ReadFileBytes(job->sti_path), "rpt\n" + temp + "/chkmodel.rpt\n \nxxxxxx\n");
  EXPECT_EQ(job->directory, temp);
  EXPECT_EQ(ModelCheckArgv(*job, true),
            (std::vector<std::string>{program, "-sti", temp + "/chkmodel.sti", "-log",
                                      temp + "/chkmodel.log"}));
  const auto& argv = ModelCheckArgv(*job, false);
  ASSERT_EQ(argv.size(), 2u);
  EXPECT_EQ(argv[0], "/bin/sh");

  std::string command = "/bin/sh " + ShellQuote(argv[1]);
  int rc = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(rc));
  EXPECT_EQ(WEXITSTATUS(rc), 0);
  EXPECT_EQ(testing::ReadFileBytes(d / "bin/args.txt"),
            "-sti\n" + temp + "/chkmodel.sti\n-log\n" + temp + "/chkmodel.log\n");
}

TEST(ModelCheck, PrepareFailureIsTagged) {
  ScratchDir d;
  auto none = PrepareModelCheck(d.path(), "");
  ASSERT_FALSE(none);
  EXPECT_EQ(none.error(), "No model program to check[WriteReleaseJobBat]");
  EXPECT_FALSE(FileExists(d / "chkmodel.sti"));
  auto job = PrepareModelCheck("/nonexistent/dir", "/bin/true");
  ASSERT_FALSE(job);
  EXPECT_NE(job.error().find("[WriteReleaseJobBat]"), std::string::npos);
}

ModelCheckReport Report(std::map<std::string, std::string> keys) {
  return ModelCheckReportFrom([&](const std::string& key) -> std::optional<std::string> {
    auto it = keys.find(key);
    if (it == keys.end()) return std::nullopt;
    return it->second;
  });
}

TEST(ModelCheck, ReleaseFromReport) {
  struct Case {
    std::map<std::string, std::string> keys;
    ModelReleaseInfo info;
  };
  const Case cases[] = {
      {{{"SVVer Large", "80102"}, {"PRVer Integer", "7"}, {"Fortran Compiler", "gfortran"}},
       {80102, 7, "gfortran"}},
      {{{"SVVer Large", "0"}, {"Release", "6.0-p2"}}, {60000, -1, ""}},
      {{{"Release", "5.1"}}, {50000, -1, ""}},
      {{{"Release", "7.0"}}, {-1, -1, ""}},
      {{{"SVVer Large", "x"}, {"PRVer Integer", "y"}}, {-1, -1, ""}},
      {{}, {-1, -1, ""}},
  };
  for (const Case& c : cases) EXPECT_EQ(ReleaseFromReport(Report(c.keys)), c.info);
}

TEST(ModelCheck, JudgesTheReport) {
  struct Case {
    std::optional<std::map<std::string, std::string>> keys;
    ModelCheckOutcome outcome;
    const char* message;
  };
  const Case cases[] = {
      {std::nullopt, ModelCheckOutcome::kNoReport, nullptr},
      {std::map<std::string, std::string>{{"Status", "ok"}, {"SVVer Large", "80000"}},
       ModelCheckOutcome::kReleaseRead, nullptr},
      {std::map<std::string, std::string>{{"Status", "ERROR"}, {"Error", "E-AX date problem"}},
       ModelCheckOutcome::kStatusError,
       "Sorry. Your Model Auxiliary files were created at different times.\r\nYou should not try "
       "to carry out simulations until you\r\n you recreate these Auxiliary files."},
      {std::map<std::string, std::string>{{"Status", "error"}, {"Error", "E-PG date problem"}},
       ModelCheckOutcome::kStatusError,
       "Sorry. Your Quillo-generated program was created at\r\n a different time from your AXS "
       "and AXT files.\r\nYou should not try to carry out simulations until you\r\n you rebuild "
       "the EXE and AXS,AXT files."},
      {std::map<std::string, std::string>{{"Status", "error"}, {"Error", "something else"}},
       ModelCheckOutcome::kStatusError, nullptr},
  };
  for (const Case& c : cases) {
    Notices p;
    ModelReleaseInfo release{70000, 2, "lf95"};
    std::optional<ModelCheckReport> report;
    if (c.keys) report = Report(*c.keys);
    EXPECT_EQ(JudgeModelCheck(report, release, p, 9), c.outcome);
    if (c.message) {
      ASSERT_EQ(p.size(), 1u);
      EXPECT_EQ(p.back().text, c.message);
      EXPECT_EQ(p.back().buttons, kOk | kHelp);
    } else {
      EXPECT_TRUE(p.empty());
    }
    if (!c.keys) {
      EXPECT_EQ(release, (ModelReleaseInfo{70000, 2, "lf95"}));
    }
  }
}

TEST(ModelCheck, LaunchDecision) {
  struct Case {
    ModelReleaseInfo release;
    bool not_winconsole;
    bool never;
    bool script;
    std::optional<bool> box;
  };
  const Case cases[] = {
      {{80000, 1, "gfortran"}, false, false, true, true},
      {{80000, 1, "LF95"}, true, false, false, false},
      {{70000, 1, "lf90"}, true, false, false, false},
      {{69999, 1, "lf95"}, true, false, true, std::nullopt},
      {{69999, 1, "lf95"}, false, false, false, std::nullopt},
      {{-1, -1, ""}, true, false, true, std::nullopt},
      {{-1, -1, ""}, true, true, false, std::nullopt},
      {{80000, 1, "gfortran"}, false, true, false, true},
  };
  for (const Case& c : cases) {
    ModelLaunchDecision d = DecideModelLaunch(c.release, c.not_winconsole, c.never);
    EXPECT_EQ(d.use_script, c.script) << c.release.Compiler << c.release.SvRelease;
    EXPECT_EQ(d.not_winconsole, c.box) << c.release.Compiler << c.release.SvRelease;
  }
}

}  // namespace
}  // namespace yl
