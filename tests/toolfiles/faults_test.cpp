// Every tool can be told to fail in each way the engine must handle.

#include <gtest/gtest.h>

#include <chrono>

#include "harfile/har_text.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "support/scratch_dir.h"
#include "toolfiles_support.h"

namespace yl::testing {
namespace {

struct ToolCase {
  std::string program;
  std::string sti;
  std::string answers;  // after the preamble
  std::string check;    // the file the part must create
};

class FaultsTest : public IsolatedEnvTest {
 protected:
  void SetUp() override {
    WriteFixtureHar(scratch / "s-2021.sl4", {Var("y", "Output", "", {}, {2.5}, {1})}, 2021);
    WriteFixtureHar(scratch / "e.en4", {Var("y", "Output", "", {}, {}, {1})}, 2021, true);
    const std::string year = "Results,year\nVariable,Element,Type,Label,2021\ny,,p,Output,2.5\n";
    const std::string yony = "Results,year-on-year\nVariable,Element,Type,Label,2021\ny,,p,O,1\n";
    scratch.Write("s-2021.csv", year);
    scratch.Write("pre.csv", yony);
    scratch.Write("pol.csv", yony);
    auto rsl = RunTool("solexa", scratch.path(), scratch / "mk.st4",
                       "bat\nrpt\n" + scratch / "mk.rpt\n \n" + scratch / "s-2021\nc\nn\nxx\n" +
                           scratch / "s-2021.rsl\n");
    ASSERT_TRUE(rsl.Ok()) << rsl.Key("Error");
    auto aux = ParseHarText("header TABF\ntype 1C\nstrings\nVariable y ;\nend\n");
    ASSERT_TRUE(aux.has_value());
    ASSERT_TRUE(WriteHarFile(scratch / "m.axt", "fixture", "now", *aux).has_value());
  }

  std::vector<ToolCase> Cases() const {
    const std::string s = scratch.path() + "/";
    return {
        {"solexa", "a.st4", " \n" + s + "s-2021\nc\nn\nxx\n" + s + "a.rsl\n", s + "a.rsl"},
        {"ambixa", "b.st2", " \ne\n" + s + "e\ns\n" + s + "b.map\nx\n", s + "b.map"},
        {"tallyra", "c.st5", " \n1\n" + s + "s-2021\n" + s + "s-2021.csv\n" + s + "c.csv\n",
         s + "c.csv"},
        {"varixa", "d.st6",
         "sol\n" + s + "s-2021\n \n" + s + "pre.csv\n" + s + "pol.csv\n" + s + "d.csv\n",
         s + "d.csv"},
        {"mergixa", "e.st5", "cml\n \n" + s + "s-2021\n1\n" + s + "s-2021.rsl\n" + s + "e.rsl\n",
         s + "e.rsl"},
        {"flatixa", "f.sti", "", s + "f.tab"},
    };
  }

  std::string StiText(const ToolCase& c) const {
    if (c.program == "flatixa") return "bat\n \nt\n" + scratch / "m.axt\n" + c.check + "\n";
    return "bat\nrpt\n" + ChangeFileExt(scratch / c.sti, ".rpt") + "\n" + c.answers;
  }
};

TEST_F(FaultsTest, EveryToolSucceedsWithoutAKnob) {
  for (const ToolCase& c : Cases()) {
    auto r = RunTool(c.program, scratch.path(), scratch / c.sti, StiText(c));
    EXPECT_TRUE(r.Ok()) << c.program << ": " << r.Key("Error") << r.log;
    EXPECT_TRUE(FileExists(c.check)) << c.program;
    EXPECT_EQ(r.Key("Log file"), ChangeFileExt(scratch / c.sti, ".log")) << c.program;
  }
}

TEST_F(FaultsTest, EveryToolObeysEveryEndingKnob) {
  for (const ToolCase& c : Cases()) {
    for (const std::string mode : {"no-report", "status-error", "no-check-file", "crash"}) {
      DeleteFileIfExists(c.check);
      DeleteFileIfExists(ChangeFileExt(scratch / c.sti, ".rpt"));
      auto r = RunTool(c.program, scratch.path(), scratch / c.sti, StiText(c),
                       {"YL_FAULT=other hang;" + c.program + " " + mode});
      const std::string what = c.program + " " + mode;
      ASSERT_TRUE(r.ran) << what;
      if (mode == "no-report" || mode == "crash") {
        EXPECT_FALSE(r.has_report) << what;
      } else {
        EXPECT_TRUE(r.has_report) << what;
      }
      if (mode == "crash") {
        EXPECT_FALSE(r.exit.exited_normally) << what;
      }
      if (mode == "status-error") {
        EXPECT_EQ(r.Key("Status"), "error") << what;
        EXPECT_FALSE(FileExists(c.check)) << what;  // nothing left looking complete
      }
      if (mode == "no-check-file") {
        EXPECT_EQ(r.Key("Status"), "ok") << what;
        EXPECT_FALSE(FileExists(c.check)) << what;
      }
    }
  }
}

TEST_F(FaultsTest, EveryToolCanHangAndAKnobFileWorksToo) {
  PosixProcessRunner runner;
  for (const ToolCase& c : Cases()) {
    WriteFileBytes(scratch / c.sti, StiText(c));
    // The knob file in the working directory, limited to this stored-input file.
    scratch.Write("yl-fault.txt", "# test\n" + c.program + " hang " + c.sti + "\n");
    ProcessSpec spec;
    spec.program = BinPath(c.program);
    spec.args = {"-sti", scratch / c.sti, "-lon", "%sti"};
    spec.working_dir = scratch.path();
    auto h = runner.Start(spec);
    ASSERT_TRUE(h.has_value()) << c.program;
    runner.WaitForAnyEnd({*h}, std::chrono::milliseconds(300));
    EXPECT_FALSE(runner.Poll(*h).has_value()) << c.program << " ended instead of hanging";
    runner.Terminate(*h, std::chrono::milliseconds(100));
    EXPECT_FALSE(FileExists(ChangeFileExt(scratch / c.sti, ".rpt"))) << c.program;
  }
  DeleteFileIfExists(scratch / "yl-fault.txt");
}

TEST_F(FaultsTest, SlowStillSucceeds) {
  for (const ToolCase& c : Cases()) {
    auto r = RunTool(c.program, scratch.path(), scratch / c.sti, StiText(c), {"YL_FAULT=* slow 1"});
    EXPECT_TRUE(r.Ok()) << c.program;
    EXPECT_NE(r.log.find("slowing down by 1 s"), std::string::npos) << c.program;
    EXPECT_TRUE(FileExists(c.check)) << c.program;
  }
}

}  // namespace
}  // namespace yl::testing
