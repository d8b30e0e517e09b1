// A period's solve through the real program: the files it leaves, what they hold, and
// the updated data carried into the next period.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>

#include "harfile/har_build.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "prog_support.h"
#include "support/scratch_dir.h"

namespace yl::testing {
namespace {

using ::testing::HasSubstr;

class PeriodSolveTest : public DemoPeriodTest {};

TEST_F(PeriodSolveTest, SolveWritesSolutionUpdatedAndStartingFiles) {
  ProgramRun r = RunPeriod(p, BaseCommandFile(p));
  ASSERT_EQ(r.Key("Status"), "ok") << r.Key("Error") << r.log;
  EXPECT_TRUE(r.exit.exited_normally);
  EXPECT_EQ(r.exit.code, 0);
  EXPECT_EQ(r.Key("SVVer Large"), "110000");
  for (const std::string& f : {p.Stem() + ".sl4", p.Stem() + ".slc", p.Updated(), p.Summary()})
    EXPECT_TRUE(FileExists(f)) << f;
  EXPECT_FALSE(FileExists(p.Stem() + ".udc"));  // only when asked for

  HarFile sol = ReadHarOrFail(p.Stem() + ".sl4");
  // One header per variable whose description begins with the name and a blank.
  std::vector<std::string> names = Strings(sol, "VCNM");
  ASSERT_EQ(names.size(), 23u);
  for (std::size_t i = 0; i < names.size(); ++i) {
    const std::string h = NumberedName('C', static_cast<int>(i) + 1);
    const HarHeader* c = sol.Find(h);
    ASSERT_NE(c, nullptr) << h;
    EXPECT_EQ(c->description.rfind(names[i] + " ", 0), 0u) << c->description;
  }
  // The closure: 12 exogenous components, listed and flagged.
  std::vector<std::string> exo = Strings(sol, "EXCM");
  EXPECT_EQ(exo.size(), 12u);
  EXPECT_THAT(exo, ::testing::Contains("y(MAN)"));
  EXPECT_THAT(exo, ::testing::Contains("pcpi"));
  const HarHeader* flags = sol.Find("EXOG");
  ASSERT_NE(flags, nullptr);
  int count = 0;
  for (int x : flags->ints) count += x;
  EXPECT_EQ(count, 12);
  // The exogenous y takes the 2021 slice of the forecast exactly.
  std::vector<double> y = HeaderValues(sol, "C001");
  ASSERT_EQ(y.size(), 3u);
  EXPECT_NEAR(y[0], 1.0, 1e-6);
  EXPECT_NEAR(y[1], 2.5, 1e-6);
  EXPECT_NEAR(y[2], 3.0, 1e-6);
  // Levels agree with the changes.
  std::vector<double> pre = HeaderValues(sol, "L002"), post = HeaderValues(sol, "P002"),
                      a = HeaderValues(sol, "C002");
  for (std::size_t i = 0; i < 3; ++i) EXPECT_NEAR(post[i], pre[i] * (1 + a[i] / 100), 1e-5);
  EXPECT_EQ(sol.Find("YEAR")->ints.front(), 2021);
  EXPECT_EQ(Strings(sol, "VDSC").front(), "autosim BS1B2021");
  EXPECT_EQ(Strings(sol, "S001"), (std::vector<std::string>{"AGR", "MAN", "SER"}));
  // The set labels travel with the variable headers.
  EXPECT_EQ(sol.Find("C001")->sets.StName[0].substr(0, 4), "SECT");

  // Starting data: every input header; repeated names renamed.
  HarFile slc = ReadHarOrFail(p.Stem() + ".slc");
  EXPECT_NE(slc.Find("CAPR"), nullptr);
  EXPECT_NE(slc.Find("OMEG"), nullptr);
  ASSERT_NE(slc.Find("X001"), nullptr);
  EXPECT_EQ(slc.Find("X001")->description.rfind("CAPRENT LAGDATA/CAPR", 0), 0u);
}

TEST_F(PeriodSolveTest, UpdatedDataChainIntoTheNextPeriod) {
  ASSERT_EQ(RunPeriod(p, BaseCommandFile(p)).Key("Status"), "ok");
  const HarFile first_start = ReadHarOrFail(JoinPath(p.dir, "basedata.har"));
  const HarFile updated = ReadHarOrFail(p.Updated());
  // Same headers in the same order as the input, new values.
  ASSERT_EQ(updated.headers.size(), first_start.headers.size());
  for (std::size_t i = 0; i < updated.headers.size(); ++i)
    EXPECT_EQ(updated.headers[i].name, first_start.headers[i].name);
  EXPECT_NE(HeaderValues(updated, "KVAL"), HeaderValues(first_start, "KVAL"));

  PeriodFiles next = p;
  next.year = 2022;
  next.basedata = p.Updated();
  next.lagdata = "basedata.har";
  next.method += "UDC file = yes ;\n";
  ProgramRun r = RunPeriod(next, BaseCommandFile(next));
  ASSERT_EQ(r.Key("Status"), "ok") << r.Key("Error");
  // The second period started from the first period's updated data...
  HarFile slc = ReadHarOrFail(next.Stem() + ".slc");
  EXPECT_EQ(HeaderValues(slc, "KVAL"), HeaderValues(updated, "KVAL"));
  // ... and its lag is the first year's starting data.
  EXPECT_EQ(HeaderValues(slc, "X007"), HeaderValues(first_start, "KVAL"));
  // The UDC file holds the end-of-period data.
  HarFile udc = ReadHarOrFail(next.Stem() + ".udc");
  EXPECT_EQ(HeaderValues(udc, "KVAL"), HeaderValues(ReadHarOrFail(next.Updated()), "KVAL"));
  EXPECT_EQ(ReadHarOrFail(next.Stem() + ".sl4").Find("YEAR")->ints.front(), 2022);
}

TEST_F(PeriodSolveTest, TenPeriodsChainFromTheFirstYearData) {
  std::string start = "basedata.har", lag = "lagdata.har";
  std::vector<double> capital;
  for (int year = 2021; year <= 2030; ++year) {
    PeriodFiles q = p;
    q.year = year;
    q.basedata = start;
    q.lagdata = lag;
    ProgramRun r = RunPeriod(q, BaseCommandFile(q));
    ASSERT_EQ(r.Key("Status"), "ok") << year << ": " << r.Key("Error");
    double total = 0;
    for (double k : HeaderValues(ReadHarOrFail(q.Updated()), "KVAL")) total += k;
    capital.push_back(total);
    lag = start;
    start = q.Updated();
  }
  // The capital stock carried from period to period keeps growing with the forecast.
  for (std::size_t i = 1; i < capital.size(); ++i) EXPECT_GT(capital[i], capital[i - 1]);
}

TEST_F(PeriodSolveTest, LogFromStoredInputNameNeverTouchesTheYearLog) {
  // As the main program starts a period: the stored input in the temporary directory and
  // "-lon %sti". The log beside the command file is the year's log, which the main program
  // has begun with its header; the solve must leave it alone.
  const std::string temp = scratch.MakeDir("temp");
  WriteFileBytes(p.Stem() + ".cmf", BaseCommandFile(p));
  WriteFileBytes(p.Stem() + ".log", "** Starting sim for year 2021 of Base **\n");
  const std::string sti = JoinPath(temp, "bs1b-2021sim.sti");
  WriteFileBytes(
      sti, "bat\nrpt\n" + JoinPath(temp, "bs1b-2021sim.rpt") + "\ncmf\n" + p.Stem() + ".cmf\n");
  PosixProcessRunner runner;
  ProcessSpec spec{
      BinPath("demomodel"), {"-sti", sti, "-lon", "%sti"}, p.dir, WindowState::kNormal, ""};
  auto h = runner.Start(spec);
  ASSERT_TRUE(h.has_value());
  while (!runner.Poll(*h)) runner.WaitForAnyEnd({*h}, std::chrono::milliseconds(100));
  EXPECT_THAT(ReadFileBytes(JoinPath(temp, "bs1b-2021sim.rpt")), HasSubstr("Status=ok"));
  EXPECT_THAT(ReadFileBytes(JoinPath(temp, "bs1b-2021sim.rpt")),
              HasSubstr("Log file=" + JoinPath(temp, "bs1b-2021sim.log")));
  EXPECT_THAT(ReadFileBytes(JoinPath(temp, "bs1b-2021sim.log")),
              HasSubstr("Below are for levels values"));
  EXPECT_EQ(ReadFileBytes(p.Stem() + ".log"), "** Starting sim for year 2021 of Base **\n");
}

TEST_F(PeriodSolveTest, LogCarriesTheAccuracySummaries) {
  p.method = "Method = Gragg;\nSteps = 2 4 6;\nsubintervals = 2;\nautomatic accuracy = no;\n";
  ProgramRun r = RunPeriod(p, BaseCommandFile(p));
  ASSERT_EQ(r.Key("Status"), "ok") << r.Key("Error");
  EXPECT_THAT(r.log, HasSubstr("Below are for levels values"));
  EXPECT_THAT(r.log, HasSubstr("results are judged accurate to 6 figures"));
  EXPECT_THAT(r.log, HasSubstr("NEXT SUMMARY IS FOR UPDATED DATA FROM LOGICAL FILE BASEDATA"));
  EXPECT_THAT(r.log, HasSubstr("ACCURACY SUMMARY FOR OVERALL RESULTS"));
  EXPECT_THAT(r.log, HasSubstr("Below are for overall levels values"));
}

TEST_F(PeriodSolveTest, AutomaticAccuracyLinesAreUnderstood) {
  p.method =
      "Method = Gragg;\nSteps = 2 4 6;\nsubintervals = 2;\nautomatic accuracy = yes;\n"
      "accuracy figures = 4;\naccuracy percent = 80;\nminimum subinterval length =  1.0E-0003;\n"
      "minimum subinterval fails = stop;\naccuracy criterion = Data;\n";
  ProgramRun r = RunPeriod(p, BaseCommandFile(p));
  ASSERT_EQ(r.Key("Status"), "ok") << r.Key("Error");
  EXPECT_THAT(r.log, HasSubstr("automatic accuracy = yes"));
  EXPECT_THAT(r.log, HasSubstr("ACCURACY SUMMARY FOR OVERALL RESULTS"));
}

TEST_F(PeriodSolveTest, InterpreterSolvesTheSameModel) {
  ProgramRun exe = RunPeriod(p, BaseCommandFile(p));
  ASSERT_EQ(exe.Key("Status"), "ok");
  std::vector<double> a_exe = HeaderValues(ReadHarOrFail(p.Stem() + ".sl4"), "C002");
  PeriodFiles kv = p;
  kv.model = "demokv";
  kv.year = 2021;
  ProgramRun r = RunPeriod(kv, BaseCommandFile(kv), "kalvo");
  ASSERT_EQ(r.Key("Status"), "ok") << r.Key("Error") << r.log;
  EXPECT_EQ(HeaderValues(ReadHarOrFail(kv.Stem() + ".sl4"), "C002"), a_exe);
}

TEST_F(PeriodSolveTest, PolicyShocksCompoundOnBaseShocks) {
  // A Policy-style command file: the policy closure, base values for the exogenous
  // variables as a value list, then an additional policy shock.
  p.closure = "exogenous y k tpow ltot savr pcpi ;\nswap y = a ;\nrest endogenous ;\n";
  p.shocks =
      "auto_shocks = no ;\nshock a = 1 1 1 ;\nshock tpow(\"MAN\") = 2 ;\n"
      "ashock tpow(\"MAN\") = -5 ;\n";
  ProgramRun r = RunPeriod(p, BaseCommandFile(p));
  ASSERT_EQ(r.Key("Status"), "ok") << r.Key("Error");
  HarFile sol = ReadHarOrFail(p.Stem() + ".sl4");
  std::vector<double> tpow = HeaderValues(sol, "C008");
  EXPECT_NEAR(tpow[1], 100 * (1.02 * 0.95 - 1), 1e-4);
  EXPECT_NEAR(tpow[0], 0, 1e-9);
  EXPECT_THAT(Strings(sol, "EXCM"), ::testing::Contains("a(AGR)"));
}

}  // namespace
}  // namespace yl::testing
