// Bad input and the fault knobs: every failure ends with the reason in the log and
// "Status=error" in the report, never with a crash or with the user's files gone.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "core/text_util.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "prog_support.h"
#include "support/scratch_dir.h"

namespace yl::testing {
namespace {

using ::testing::HasSubstr;

struct MalformedCase {
  const char* name;
  std::string from;  // text of the standard command file to replace
  std::string to;
  const char* error;
};

class MalformedTest : public DemoPeriodTest, public ::testing::WithParamInterface<MalformedCase> {};

TEST_P(MalformedTest, FailsWithAClearMessage) {
  const MalformedCase& c = GetParam();
  std::string cmf = BaseCommandFile(p);
  std::size_t at = cmf.find(c.from);
  ASSERT_NE(at, std::string::npos) << c.from;
  cmf.replace(at, c.from.size(), c.to);
  const std::string before = ReadFileBytes(JoinPath(p.dir, "basedata.har"));
  ProgramRun r = RunPeriod(p, cmf);
  EXPECT_TRUE(r.exit.exited_normally);
  EXPECT_EQ(r.exit.code, 1);
  EXPECT_EQ(r.Key("Status"), "error");
  EXPECT_THAT(r.Key("Error"), HasSubstr(c.error));
  EXPECT_THAT(r.log, HasSubstr("Error: "));
  EXPECT_THAT(r.log, HasSubstr(c.error));
  EXPECT_FALSE(FileExists(p.Stem() + ".sl4"));
  EXPECT_FALSE(FileExists(p.Updated()));
  EXPECT_EQ(ReadFileBytes(JoinPath(p.dir, "basedata.har")), before);
}

INSTANTIATE_TEST_SUITE_P(
    CommandFiles, MalformedTest,
    ::testing::Values(
        MalformedCase{"UnknownStatement", "intermediate extra",
                      "frobnicate = 3 ;\nintermediate extra", "unknown statement \"frobnicate\""},
        MalformedCase{"UnsupportedStatement", "intermediate extra",
                      "xset S (a,b) ;\nintermediate extra",
                      "is not supported by this model program"},
        MalformedCase{"NoSemicolonAtEnd", "header \"LGRO\"  slice \"Y2021\" ;", "header \"LGRO\"",
                      "does not end with \";\""},
        MalformedCase{"BadNumber", "Steps = 2 4 6;", "Steps = 2 four 6;",
                      "\"four\" is not a step count"},
        MalformedCase{"BadMethod", "Method = Gragg;", "Method = Newton;",
                      "unknown method \"Newton\""},
        MalformedCase{"ParityOfSteps", "Steps = 2 4 6;", "Steps = 2 3 6;",
                      "Steps must be ALL odd or ALL even"},
        MalformedCase{"BadShockValue",
                      "shock ltot = file baseshk.har header \"LGRO\"  slice \"Y2021\" ;",
                      "shock ltot = 1,5 ;", "\"1,5\" is not a number"},
        MalformedCase{"MissingDataFile", "File PARAMS = params.har", "File PARAMS = nowhere.har",
                      "Data file nowhere.har (logical file PARAMS) does not exist"},
        MalformedCase{"NotADataFile", "File PARAMS = params.har", "File PARAMS = base.cls",
                      "Cannot read data file base.cls"},
        MalformedCase{"UnknownLogicalFile", "File PARAMS = params.har ; ! constant input",
                      "File PARAMS = params.har ;\nFile EXTRA = params.har ;",
                      "logical file \"EXTRA\" is not a file of this model"},
        MalformedCase{"NoUpdatedFileStatement", "updated file BASEDATA", "! updated file BASEDATA",
                      "No \"updated file\" statement"},
        MalformedCase{"OutputOverwritesInput",
                      "File SUMMARY = ", "File SUMMARY = basedata.har ;\n! ",
                      "would overwrite the input file of logical file BASEDATA"},
        MalformedCase{"MissingShockFile", "file baseshk.har header \"LGRO\"",
                      "file none.har header \"LGRO\"", "Shock file none.har does not exist"},
        MalformedCase{"NoAuxiliaryFiles", "auxiliary files = ", "! auxiliary files = ",
                      "no \"auxiliary files\" statement"}),
    [](const auto& info) { return std::string(info.param.name); });

class ProgramFailureTest : public DemoPeriodTest {};

TEST_F(ProgramFailureTest, MissingCommandFileAndBadStoredInput) {
  scratch.Write("a.sti", "bat\nrpt\n" + scratch / "a.rpt" + "\ncmf\n" + scratch / "none.cmf\n");
  ProgramRun r = RunProgram("demomodel", p.dir, "a.sti", "a.log", "a.rpt", "a.log");
  EXPECT_EQ(r.Key("Status"), "error");
  EXPECT_THAT(r.Key("Error"), HasSubstr("does not exist"));

  scratch.Write("b.sti", "bat\nrpt\n" + scratch / "b.rpt" + "\nsomething\n");
  r = RunProgram("demomodel", p.dir, "b.sti", "b.log", "b.rpt", "b.log");
  EXPECT_EQ(r.Key("Status"), "error");
  EXPECT_THAT(r.Key("Error"), HasSubstr("expected \"cmf\" or a blank line"));
}

TEST_F(ProgramFailureTest, FaultKnobs) {
  const std::string cmf = BaseCommandFile(p);
  struct Case {
    std::string knob;
    bool report, status_ok, solution, normal_exit;
  };
  for (const Case& c : {Case{"demomodel status-error", true, false, false, true},
                        Case{"demomodel no-report", false, false, true, true},
                        Case{"demomodel no-check-file", true, true, false, true},
                        Case{"* crash", false, false, true, false},
                        Case{"demomodel slow 1", true, true, true, true},
                        Case{"solexa crash", true, true, true, true}}) {
    SCOPED_TRACE(c.knob);
    scratch.Write("yl-fault.txt", c.knob + "\n");
    DeleteFileIfExists(p.Stem() + ".sl4");
    DeleteFileIfExists(p.Stem() + "sim.rpt");
    ProgramRun r = RunPeriod(p, cmf);
    EXPECT_EQ(r.has_report, c.report);
    EXPECT_EQ(r.Key("Status") == "ok", c.status_ok);
    EXPECT_EQ(FileExists(p.Stem() + ".sl4"), c.solution);
    EXPECT_EQ(r.exit.exited_normally, c.normal_exit);
  }
}

TEST_F(ProgramFailureTest, HangKnobKeepsRunning) {
  scratch.Write("yl-fault.txt", "demomodel hang\n");
  const std::string sti = scratch.Write("h.sti", "rpt\n" + scratch / "h.rpt" + "\n \n");
  PosixProcessRunner runner;
  ProcessSpec spec{
      BinPath("demomodel"), {"-sti", sti, "-lon", "%sti"}, p.dir, WindowState::kNormal, ""};
  auto h = runner.Start(spec);
  ASSERT_TRUE(h.has_value());
  // Wait for it to say it hangs (a loaded machine may take a while to get there).
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (ReadFileBytes(scratch / "h.log").find("hanging on purpose") == std::string::npos &&
         std::chrono::steady_clock::now() < until) {
    runner.WaitForAnyEnd({*h}, std::chrono::milliseconds(50));
  }
  EXPECT_THAT(ReadFileBytes(scratch / "h.log"), HasSubstr("hanging on purpose"));
  runner.WaitForAnyEnd({*h}, std::chrono::milliseconds(300));
  EXPECT_FALSE(runner.Poll(*h).has_value());
  runner.Terminate(*h, std::chrono::milliseconds(200));
  EXPECT_FALSE(FileExists(scratch / "h.rpt"));
}

}  // namespace
}  // namespace yl::testing
