#include <gtest/gtest.h>

#include "platform/files.h"
#include "support/scratch_dir.h"
#include "toolkit/sti_reader.h"
#include "toolkit/tool_args.h"
#include "toolkit/tool_run.h"

namespace yl::tool {
namespace {

Result<ToolArgs> Parse(std::vector<const char*> argv) {
  argv.insert(argv.begin(), "solexa");
  return ParseToolArgs(static_cast<int>(argv.size()), argv.data());
}

TEST(ToolArgs, LogOptionsAndTheStiNamedLog) {
  auto a = Parse({"-sti", "/t/br103st3.st3", "-lon", "%sti"});
  ASSERT_TRUE(a);
  EXPECT_EQ(a->log, "/t/br103st3.log");
  a = Parse({"-STI", "\"/t/my dir/x.sti\"", "-log", "/t/x.log"});
  ASSERT_TRUE(a);
  EXPECT_EQ(a->sti, "/t/my dir/x.sti");
  EXPECT_EQ(a->log_option, "-log");
  EXPECT_EQ(a->log, "/t/x.log");
  EXPECT_EQ(Parse({"-lon", "x.log"}).error(), "No stored-input file given (-sti FILE)");
  EXPECT_EQ(Parse({"-sti"}).error(), "Option -sti needs a file name");
  EXPECT_EQ(Parse({"-sti", "a", "-zz"}).error(), "Unknown option -zz");
}

TEST(StiReader, CommentsBlanksAndThePreamble) {
  auto sti = StiReader::FromText(
      "bat\r\nanf  ! Arithmetic problems not fatal\nrpt\n/t/x.rpt\n \nc  ! the cum column\n");
  auto p = ReadPreamble(sti);
  ASSERT_TRUE(p) << p.error();
  EXPECT_TRUE(p->batch);
  EXPECT_TRUE(p->arithmetic_not_fatal);
  EXPECT_FALSE(p->subtotals);
  EXPECT_EQ(p->report, "/t/x.rpt");
  EXPECT_EQ(*sti.Next("default"), "");  // a blank accepts the default
  EXPECT_EQ(*sti.Next("column"), "c");
  EXPECT_TRUE(sti.ExpectEnd());
  EXPECT_EQ(sti.Next("the map file").error(),
            "Stored-input file ends too early: expected the map file");
}

TEST(StiReader, WrongOrExtraAnswersAreReported) {
  auto sti = StiReader::FromText("bat\ncmf\n");
  EXPECT_EQ(ReadPreamble(sti).error(), "Stored-input line 2: expected \"rpt\" but found \"cmf\"");
  auto extra = StiReader::FromText("x\n\ny\n");
  ASSERT_TRUE(extra.Next("x"));
  EXPECT_EQ(extra.ExpectEnd().error(), "Stored-input line 3: unexpected extra answer \"y\"");
}

TEST(Faults, EntriesSelectProgramModeAndStiFile) {
  struct Case {
    const char* entry;
    bool applies;
    FaultMode mode;
    int seconds;
  };
  for (const Case& c : {Case{"solexa no-report", true, FaultMode::kNoReport, 0},
                        Case{"* slow 3", true, FaultMode::kSlow, 3},
                        Case{"tallyra crash", false, FaultMode::kCrash, 0},
                        Case{"SOLEXA status-error st3", true, FaultMode::kStatusError, 0},
                        Case{"solexa hang st4", false, FaultMode::kHang, 0}}) {
    bool applies = false;
    auto f = ParseFaultEntry(c.entry, "solexa", "/t/br103st3.st3", &applies);
    ASSERT_TRUE(f) << c.entry;
    EXPECT_EQ(applies, c.applies) << c.entry;
    EXPECT_EQ(f->mode, c.mode) << c.entry;
    EXPECT_EQ(f->seconds, c.seconds) << c.entry;
  }
  bool applies = true;
  EXPECT_FALSE(ParseFaultEntry("solexa explode", "solexa", "x", &applies));
  EXPECT_FALSE(applies);
}

class ToolRunTest : public testing::IsolatedEnvTest {
 protected:
  // Runs a body that writes one output and marks it as the check file.
  int Run(const Status& outcome) {
    std::string sti = scratch.Write("job.sti", "bat\nrpt\n" + (scratch / "job.rpt") + "\n");
    std::string log = scratch / "job.log";
    const char* argv[] = {"solexa", "-sti", sti.c_str(), "-lon", log.c_str()};
    return RunTool(5, argv, "solexa", [&](ToolRun& run) -> Status {
      auto s = StiReader::Load(run.args().sti);
      if (!s) return std::unexpected(s.error());
      auto p = ReadPreamble(*s);
      if (!p) return std::unexpected(p.error());
      run.SetReportPath(p->report);
      run.AddReportKey("Release", "1");
      if (auto w = run.WriteOutput(scratch / "out.csv", "a,b\n"); !w) return w;
      run.SetCheckFile(scratch / "out.csv");
      return outcome;
    });
  }
};

TEST_F(ToolRunTest, SuccessWritesReportAndKeepsOutputs) {
  EXPECT_EQ(Run(Ok()), 0);
  EXPECT_EQ(scratch.Read("job.rpt"),
            "[Result]\nStatus=ok\nLog file=" + (scratch / "job.log") + "\nRelease=1\n");
  EXPECT_TRUE(FileExists(scratch / "out.csv"));
}

TEST_F(ToolRunTest, FailureRemovesOutputsAndSaysWhy) {
  EXPECT_EQ(Run(Fail("Cannot read solution file x.sl4")), 1);
  EXPECT_NE(scratch.Read("job.rpt").find("Status=error\nError=Cannot read solution file x.sl4\n"),
            std::string::npos);
  EXPECT_FALSE(FileExists(scratch / "out.csv"));
  EXPECT_NE(scratch.Read("job.log").find("Error: Cannot read solution file x.sl4"),
            std::string::npos);
}

TEST_F(ToolRunTest, FaultKnobsFromEnvironmentAndWorkingDirectoryFile) {
  env.Set("YL_FAULT", "tallyra crash;solexa no-check-file");
  EXPECT_EQ(Run(Ok()), 0);
  EXPECT_NE(scratch.Read("job.rpt").find("Status=ok"), std::string::npos);
  EXPECT_FALSE(FileExists(scratch / "out.csv"));

  env.Set("YL_FAULT", "solexa status-error");
  EXPECT_EQ(Run(Ok()), 1);
  EXPECT_NE(scratch.Read("job.rpt").find("Error=Fault knob: status-error"), std::string::npos);
  EXPECT_FALSE(FileExists(scratch / "out.csv"));

  env.Set("YL_FAULT", "solexa no-report");
  DeleteFileIfExists(scratch / "job.rpt");
  EXPECT_EQ(Run(Ok()), 0);
  EXPECT_FALSE(FileExists(scratch / "job.rpt"));
}

}  // namespace
}  // namespace yl::tool
