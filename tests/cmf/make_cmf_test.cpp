#include "cmf/make_cmf.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "cmf_assembly_support.h"
#include "platform/files.h"
#include "sim/sim_table.h"

namespace yl {
namespace {

using testing::AssemblyTest;

class MakeCmfTest : public AssemblyTest {};

struct GoldenCase {
  const char* golden;
  int run;
  int period;
  std::function<void(MakeCmfTest&)> adjust;
};

TEST_F(MakeCmfTest, WholeCommandFilesMatchGoldenFiles) {
  const GoldenCase cases[] = {
      {"base_p2.cmf", kBase, 2, [](MakeCmfTest&) {}},
      {"rerun_p3.top", kRerun, 3,
       [](MakeCmfTest& t) {
         t.settings.Udc = true;
         t.settings.Method.Method.AutoAccuracy = true;
       }},
      {"policy_p2.top", kPolicy, 2, [](MakeCmfTest& t) { t.settings.SolverRelease = 80000; }},
      {"policy_norerun_p3.top", kPolicy, 3,
       [](MakeCmfTest& t) {
         t.settings.Files.NoRerun = true;
         t.sim.CMFCells(kCmfStartRow, 3) = "N/A";
         RecomputeCMFNames(t.sim);
       }},
      {"re_base_p1.cmf", kBase, 1,
       [](MakeCmfTest& t) {
         t.settings.Method = SolMethodSetting{};  // Johansen
         t.settings.Files.Re = {true, t.temp + "/CvnRE/ROREXT.HAR", "",
                                t.temp + "/CvnRE/EXTRA.HAR"};
         t.sim.CMFCells(kCmfStartRow, 1) = "";
         RecomputeCMFNames(t.sim);
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.golden);
    MakeCmfTest& t = *this;
    const TSimRecord saved_sim = sim;
    const MakeCmfSettings saved = settings;
    c.adjust(t);
    auto written = MakeCMF(sim, model, c.period, c.run, settings);
    ASSERT_TRUE(written) << written.error();
    EXPECT_EQ(*written, work + "/" + MakeCmfTarget(sim, c.period, c.run, settings.Files.NoRerun));
    EXPECT_EQ(ReadOut(*written), Golden(c.golden));
    sim = saved_sim;
    settings = saved;
  }
}

TEST_F(MakeCmfTest, RerunAndPolicyWriteTheLowerCaseTopPart) {
  EXPECT_EQ(MakeCmfTarget(sim, 3, kBase, false), "bs1b-2003.cmf");
  EXPECT_EQ(MakeCmfTarget(sim, 3, kRerun, false), "bs1b-br1r-2003.top");
  EXPECT_EQ(MakeCmfTarget(sim, 3, kPolicy, true), "bs1b-pl1p-2003.top");
}

TEST_F(MakeCmfTest, FailureDeletesThePartlyWrittenFileAndNamesTheChain) {
  sim.CMFCells(2, 1) = "MISSING";
  RecomputeCMFNames(sim);
  auto r = MakeCMF(sim, model, 2, kBase, settings);
  ASSERT_FALSE(r);
  EXPECT_EQ(r.error(),
            "Cannot open file " + work + "/MISSING.CLS[TxtOpen][AddClosureShocksToCMF][MakeCMF]");
  EXPECT_FALSE(FileExists(work + "/bs1b-2002.cmf"));

  sim.CMFCells(2, 1) = "BS1B2002";
  sim.CMFCells(2, 2) = "NOSHK";
  r = MakeCMF(sim, model, 2, kBase, settings);
  ASSERT_FALSE(r);
  EXPECT_EQ(r.error(), "Cannot open file " + work +
                           "/NOSHK.BSH[TxtOpen] [AppendShocks][AddClosureShocksToCMF][MakeCMF]");
  EXPECT_FALSE(FileExists(work + "/bs1b-2002.cmf"));
}

TEST_F(MakeCmfTest, AnEarlierCommandFileIsReplacedNotAppendedTo) {
  ASSERT_TRUE(MakeCMF(sim, model, 2, kBase, settings));
  ASSERT_TRUE(MakeCMF(sim, model, 2, kBase, settings));
  EXPECT_EQ(ReadOut(work + "/bs1b-2002.cmf"), Golden("base_p2.cmf"));
}

TEST_F(MakeCmfTest, CreationFailureIsReported) {
  sim.SimDir = work + "/gone";
  auto r = MakeCMF(sim, model, 1, kBase, settings);
  ASSERT_FALSE(r);
  EXPECT_EQ(r.error(), "Cannot create file " + work + "/gone/bs1b-2001.cmf[TxtCreate][MakeCMF]");
}

TEST_F(MakeCmfTest, NamesFromAHostileRecordNeverLeaveTheWorkingDirectory) {
  sim.SimNames[1] = "../";
  auto r = MakeCMF(sim, model, 1, kBase, settings);
  ASSERT_FALSE(r);
  EXPECT_TRUE(r.error().ends_with("[TxtCreate][MakeCMF]"));
  sim.SimNames[1] = "BS1";
  sim.FileNames.Separator = "/";
  EXPECT_FALSE(MakeCMF(sim, model, 1, kBase, settings));
  for (const auto& e : std::filesystem::recursive_directory_iterator(scratch.path())) {
    EXPECT_NE(e.path().extension(), ".cmf") << e.path();
  }
}

TEST_F(MakeCmfTest, BlanksInTheWorkingDirectoryAreQuoted) {
  std::string spaced = scratch.MakeDir("my work");
  std::filesystem::copy(work, spaced);
  sim.SimDir = spaced;
  RecomputeCMFNames(sim);
  auto r = MakeCMF(sim, model, 2, kBase, settings);
  ASSERT_TRUE(r) << r.error();
  std::string text = ReadOut(*r);
  EXPECT_NE(text.find("Solution file = \"" + spaced + "/bs1b-2002\" ;\n"), std::string::npos);
  EXPECT_NE(text.find("File SUMMARY = \"" + spaced + "/sum-bs1b-2001-2002.har\" ; ! output\n"),
            std::string::npos);
  EXPECT_NE(text.find("updated file FID = \"" + spaced + "/fid-bs1b-2002.har\";\n"),
            std::string::npos);
}

TEST_F(MakeCmfTest, InputDirectoryReplacesTheDirectoryOfInputsOnly) {
  settings.Files.InputDir = temp + "/simdir2";
  settings.Files.FirstYear = ParseFirstYearList({"File FID = /data/fid2000.har ; ! data",
                                                 "File PARAMS = \"par file.har\" ; ! p",
                                                 "File LAGFID = lag2000.har ; ! lag"});
  auto lines = FileStatements(sim, 1, kBase, settings.Files);
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_EQ(lines[0], "File FID = " + temp + "/simdir2/fid2000.har ; ! updated input");
  EXPECT_EQ(lines[1], "File PARAMS = \"" + temp + "/simdir2/par file.har\" ; ! constant input");
  EXPECT_EQ(lines[2], "File SUMMARY = " + work + "/sum-bs1b-2000-2001.har ; ! output");
  EXPECT_EQ(lines[3], "File LAGFID = " + temp + "/simdir2/lag2000.har ; ! lagged input");
}

TEST_F(MakeCmfTest, RationalExpectationsSubstituteOnlyInTheRunsFirstSimulation) {
  settings.Files.Re = {true, "", "", "/re/EXTRA.HAR"};
  // The Policy starts in period 2: EXTRA keeps its ordinary name, ROREXT and ITER take the
  // run's last updated files.
  auto first = FileStatements(sim, 2, kPolicy, settings.Files);
  EXPECT_EQ(first[4], "File ROREXT = rex-bs1b-br1r-pl1p-2003.har ; ! updated input");
  EXPECT_EQ(first[5], "File ITER = itr-bs1b-br1r-pl1p-2003.har ; ! updated input");
  EXPECT_EQ(first[6], "File EXTRA = ext-bs1b-2001.har ; ! updated input");
  auto later = FileStatements(sim, 3, kPolicy, settings.Files);
  EXPECT_EQ(later[4], "File ROREXT = rex-bs1b-br1r-pl1p-2002.har ; ! updated input");
  // With the policy run starting in period 1, EXTRA is the driver's.
  settings.Files.PolicyStart = 1;
  EXPECT_EQ(FileStatements(sim, 1, kPolicy, settings.Files)[6],
            "File EXTRA = /re/EXTRA.HAR ; ! updated input");
}

TEST_F(MakeCmfTest, AutoShocksLineOnlyForLaterSolversOutsideTheBase) {
  struct Case {
    int run, release;
    bool expected;
  };
  for (const auto& c : {Case{kBase, 90000, false}, Case{kRerun, 78199, false},
                        Case{kRerun, 78200, true}, Case{kPolicy, 80000, true}}) {
    settings.SolverRelease = c.release;
    auto r = MakeCMF(sim, model, 3, c.run, settings);
    ASSERT_TRUE(r) << r.error();
    EXPECT_EQ(ReadOut(*r).find("auto_shocks = no ;\n") != std::string::npos, c.expected)
        << c.run << " " << c.release;
  }
}

}  // namespace
}  // namespace yl
