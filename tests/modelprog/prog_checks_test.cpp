// The runs that solve nothing: the closure-preparation "env" part, the closure checks,
// the release check and the temporary-directory check; and the failures every run must
// report cleanly.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "core/text_util.h"
#include "model/model_check.h"
#include "modelprog/prog_har.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "prog_support.h"
#include "support/scratch_dir.h"

namespace yl::testing {
namespace {

using ::testing::HasSubstr;

const char kPolicyClosure[] =
    "\n! Begin Period-specific Closure file \"POLICY.CLS\"\n"
    "exogenous y k tpow ltot savr pcpi ;\nswap y = a ;\nrest endogenous ;\n"
    "! End Period-specific Closure file \"POLICY.CLS\"\n \n";

class ChecksTest : public IsolatedEnvTest {
 protected:
  void SetUp() override {
    CopyDemoFiles(scratch.path());
    dir = scratch.path();
  }
  std::string FirstYearFiles() const {
    return "File BASEDATA = basedata.har ; ! Base data\n"
           "File PARAMS = params.har ; ! Parameters\n"
           "File LAGDATA = lagdata.har ; ! Lagged data\n";
  }
  // Writes STI lines and the command file, runs the program.
  ProgramRun Run(const std::string& stem, const std::string& sti_lines, const std::string& cmf_text,
                 const std::string& program = "demomodel") {
    if (!cmf_text.empty()) scratch.Write(stem + ".cmf", cmf_text);
    scratch.Write(stem + ".sti", sti_lines);
    return RunProgram(program, dir, stem + ".sti", stem + ".log", stem + ".rpt", stem + ".log");
  }
  std::string CheckSti(const std::string& stem) const {
    return "rpt\n" + JoinPath(dir, stem + ".rpt") + "\ncmf\n" + JoinPath(dir, stem + ".cmf") + "\n";
  }
  std::string dir;
};

TEST_F(ChecksTest, EnvPartSavesTheEnvironmentWithoutSolving) {
  const std::string env = JoinPath(dir, "BR1R2021");
  std::string cmf = "auxiliary files = " + BinPath("demomodel") + ";\nsave environment file " +
                    env + " ;\nnds = yes ;\nnwr = yes ;\nneq = yes ;\n" + FirstYearFiles() +
                    "File SUMMARY = sum-x.har ; ! output\n" + kPolicyClosure;
  ProgramRun r = Run("br121env",
                     "bat\nrpt\n" + JoinPath(dir, "br121env.rpt") + "\ncmf\n" +
                         JoinPath(dir, "br121env.cmf") + "\n",
                     cmf);
  ASSERT_EQ(r.Key("Status"), "ok") << r.Key("Error") << r.log;
  ASSERT_TRUE(FileExists(env + ".en4"));
  EXPECT_FALSE(FileExists(JoinPath(dir, "sum-x.har")));
  HarFile en4 = ReadHarOrFail(env + ".en4");
  std::vector<std::string> vars = Strings(en4, "EXVR");
  EXPECT_THAT(vars, ::testing::ElementsAre("a", "k", "tpow", "ltot", "savr", "pcpi"));
  EXPECT_EQ(Strings(en4, "EXCM").size(), 12u);

  // A solve that uses the saved environment gets the policy closure.
  PeriodFiles p;
  p.dir = dir;
  p.closure = "use environment file BR1R2021 ;\n";
  p.shocks = "shock a = 1 ;\n";
  ProgramRun solve = RunPeriod(p, BaseCommandFile(p));
  ASSERT_EQ(solve.Key("Status"), "ok") << solve.Key("Error");
  EXPECT_EQ(Strings(ReadHarOrFail(p.Stem() + ".sl4"), "EXCM"), Strings(en4, "EXCM"));
}

TEST_F(ChecksTest, ClosureChecksValidateWithoutWritingAnything) {
  std::string cmf = "auxiliary files = " + BinPath("demomodel") + " ;\n" + FirstYearFiles() +
                    kPolicyClosure +
                    "!\n! The Base Case Shocks\n!\nshock a(AGR) = 1.5 ;\n"
                    "nds = yes ;\nnwr = yes ;\nneq = yes ;\nnas = yes ;\n"
                    "range test initial values = no ;\n";
  ProgramRun r = Run("onep2021", CheckSti("onep2021"), cmf);
  ASSERT_EQ(r.Key("Status"), "ok") << r.Key("Error") << r.log;
  EXPECT_THAT(r.log, HasSubstr("Closure and shocks are valid"));
  EXPECT_FALSE(AnyFileMatching(dir, "*.sl4"));
  EXPECT_FALSE(AnyFileMatching(dir, "*.en4"));

  // The save variant of the single-cell check.
  ProgramRun saved = Run("onep2021", CheckSti("onep2021"), cmf + "save Environment file mine ;\n");
  ASSERT_EQ(saved.Key("Status"), "ok") << saved.Key("Error");
  EXPECT_TRUE(FileExists(JoinPath(dir, "mine.en4")));
}

struct BadCase {
  const char* name;
  std::string closure;  // replaces the closure section
  std::string shocks;
  const char* error;
};

class BadClosureTest : public ChecksTest, public ::testing::WithParamInterface<BadCase> {};

TEST_P(BadClosureTest, ReportsTheReasonAndStatusError) {
  const BadCase& c = GetParam();
  std::string cmf = "auxiliary files = " + BinPath("demomodel") + " ;\n" + FirstYearFiles() +
                    c.closure + c.shocks + "nds = yes ;\nnwr = yes ;\nneq = yes ;\nnas = yes ;\n";
  ProgramRun r = Run("oneb2021", CheckSti("oneb2021"), cmf);
  EXPECT_TRUE(r.exit.exited_normally);
  EXPECT_EQ(r.exit.code, 1);
  EXPECT_EQ(r.Key("Status"), "error");
  EXPECT_THAT(r.Key("Error"), HasSubstr(c.error));
  EXPECT_THAT(r.log, HasSubstr(c.error));
}

INSTANTIATE_TEST_SUITE_P(
    Closures, BadClosureTest,
    ::testing::Values(
        BadCase{"TooFewExogenous", "exogenous y k tpow savr pcpi ;\nrest endogenous ;\n", "",
                "Wrong number of exogenous variables"},
        BadCase{"UnknownVariable", "exogenous y k tpow ltot savr pcpi zzz ;\n", "",
                "Unknown variable \"zzz\""},
        BadCase{"UnknownElement", "exogenous y(XYZ) ;\n", "", "Unknown element \"XYZ\""},
        BadCase{"SwapOfEndogenous", "exogenous y k tpow ltot savr pcpi ;\nswap a = y ;\n", "",
                "it is not exogenous"},
        BadCase{"ShockToEndogenous", "exogenous y k tpow ltot savr pcpi ;\n", "shock a = 1 ;\n",
                "is shocked but is not exogenous"},
        BadCase{"MissingSlice", "exogenous y k tpow ltot savr pcpi ;\n",
                "shock y = file baseshk.har header \"YGRO\" slice \"Y1999\" ;\n",
                "has no slice \"Y1999\""},
        BadCase{"LevelBelowZero", "exogenous y k tpow ltot savr pcpi ;\n", "shock y = -100 ;\n",
                "zero or negative"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ChecksTest, ReleaseCheckReportsANewConsoleRelease) {
  ProgramRun r = Run("chkmodel", "rpt\n" + JoinPath(dir, "chkmodel.rpt") + "\n \nxxxxxx\n", "");
  ASSERT_TRUE(r.has_report);
  EXPECT_EQ(r.Key("Status"), "ok") << r.Key("Error");
  ModelCheckReport report =
      ModelCheckReportFrom([&](const std::string& key) -> std::optional<std::string> {
        auto it = r.report.find(key);
        if (it == r.report.end()) return std::nullopt;
        return it->second;
      });
  ModelReleaseInfo release = ReleaseFromReport(report);
  EXPECT_GE(release.SvRelease, 80000);
  ModelLaunchDecision d = DecideModelLaunch(release, true, false);
  EXPECT_FALSE(d.use_script);

  ProgramRun kv =
      Run("chkkalvo", "rpt\n" + JoinPath(dir, "chkkalvo.rpt") + "\n \nxxxxxx\n", "", "kalvo");
  EXPECT_EQ(kv.Key("Status"), "ok");
  EXPECT_EQ(kv.Key("Fortran Compiler"), "lf95");
}

TEST_F(ChecksTest, TemporaryDirectoryCheckLeavesAReport) {
  ProgramRun r = Run("tdcheck", "rpt\n" + JoinPath(dir, "tdcheck.rpt") + "\n \n", "");
  ASSERT_TRUE(r.has_report);
  EXPECT_EQ(r.Key("Status"), "ok");
}

// A copy of the program beside auxiliary files with the given stamps.
void PlaceProgram(const std::string& dir, const std::string& axs_stamp,
                  const std::string& axt_stamp) {
  CopyKeepingStamp(BinPath("demomodel"), JoinPath(dir, "demomodel"), false, nullptr);
  std::filesystem::permissions(JoinPath(dir, "demomodel"), std::filesystem::perms::owner_all);
  for (auto [ext, stamp] : {std::pair{".axs", axs_stamp}, std::pair{".axt", axt_stamp}}) {
    HarFile f;
    auto h = Create1C("DTXT", "Creation stamp", {stamp}, 40);
    ASSERT_TRUE(h.has_value());
    ASSERT_TRUE(AddHeaderNil(f, std::move(*h)).has_value());
    ASSERT_TRUE(modelprog::WriteHar(JoinPath(dir, std::string("demomodel") + ext), "test", f));
  }
}

TEST_F(ChecksTest, ReleaseCheckFindsAuxiliaryFilesOfAnotherTime) {
  struct Case {
    std::string axs, axt, error;
  };
  auto own = ReadHarOrFail(BinPath("demomodel.axt"));
  const std::string stamp = Trim(own.Find("DTXT")->strings.front());
  for (const Case& c : {Case{"A 2020", "B 2020", "E-AX date problem"},
                        Case{"C 2020", "C 2020", "E-PG date problem"}, Case{stamp, stamp, ""}}) {
    const std::string sub = scratch.MakeDir("p" + c.axs.substr(0, 1));
    PlaceProgram(sub, c.axs, c.axt);
    PosixProcessRunner runner;
    WriteFileBytes(JoinPath(sub, "chk.sti"), "rpt\n" + JoinPath(sub, "chk.rpt") + "\n \nxxxxxx\n");
    ProcessSpec spec{JoinPath(sub, "demomodel"),
                     {"-sti", "chk.sti", "-log", "chk.log"},
                     sub,
                     WindowState::kNormal,
                     ""};
    auto h = runner.Start(spec);
    ASSERT_TRUE(h.has_value());
    while (!runner.Poll(*h)) runner.WaitForAnyEnd({*h}, std::chrono::milliseconds(100));
    std::string rpt = ReadFileBytes(JoinPath(sub, "chk.rpt"));
    if (c.error.empty()) {
      EXPECT_THAT(rpt, HasSubstr("Status=ok"));
    } else {
      EXPECT_THAT(rpt, HasSubstr("Status=error"));
      EXPECT_THAT(rpt, HasSubstr("Error=" + c.error + "\n"));
    }
  }
}

}  // namespace
}  // namespace yl::testing
