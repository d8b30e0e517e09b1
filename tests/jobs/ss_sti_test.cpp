#include "jobs/ss_sti.h"

#include <gtest/gtest.h>

#include "platform/paths.h"
#include "sim/sim_defaults.h"
#include "sim/sim_table.h"
#include "support/scratch_dir.h"

namespace yl::jobs {
namespace {

class SsStiTest : public ::testing::Test {
 protected:
  SsStiTest() {
    sim = CreateSimRecord();
    SetDefaultSimulation(*sim, work.path());
    sim->FirstYear = 2001;
    sim->NumYears = 3;
    RecomputeYears(*sim);
    c.sim = sim.get();
    c.policy_start = 2;
    c.temp_dir = temp.path();
    c.mapping_file = work / "results.map";
  }
  std::string T(const std::string& name) const { return temp / name; }
  std::string W(const std::string& name) const { return work / name; }
  std::vector<std::string> Lines(const std::string& path) const {
    auto text = testing::ReadFileBytes(path);
    std::vector<std::string> lines;
    std::size_t start = 0, nl;
    while ((nl = text.find('\n', start)) != std::string::npos) {
      lines.push_back(text.substr(start, nl - start));
      start = nl + 1;
    }
    EXPECT_EQ(start, text.size()) << "last line not ended";
    return lines;
  }

  testing::ScratchDir work, temp;
  std::unique_ptr<TSimRecord> sim;
  SsContext c;
};

TEST_F(SsStiTest, SolPartOfARerunYear) {
  ASSERT_TRUE(WriteSolSTI(c, 2, 2));
  const std::string sol = W("bs1b-br1r-2002");
  EXPECT_EQ(Lines(T("bs1b-br1r-2002st7.st7")),
            (std::vector<std::string>{
                "bat", "rpt", T("bs1b-br1r-2002st7.rpt"), "wsi", "nlv  ! No levels results", " ",
                sol + "    ! Sl4 file", "c  ! the cum column", "n  ! do not use HA mapping file",
                T("bs1b-br1r-2002.mpx") + "    ! HA Map file", sol + ".sli    ! Output SLI file",
                sol + ".sol    ! Output SOL file"}));
  EXPECT_EQ(SolPartFiles(c, 2, 2).check, sol + ".sol");
}

TEST_F(SsStiTest, SolPolMakesTheBaseSolutionTheShockSource) {
  ASSERT_TRUE(WriteSolPolSTI(c, 3));
  PartFiles f = SolPolPartFiles(c, 3);
  EXPECT_EQ(f.sti, T("bs1b-br1r-2003st8.st8"));
  EXPECT_EQ(f.check, W("bs1b-br1r-2003.rsl"));
  EXPECT_EQ(Lines(f.sti), (std::vector<std::string>{
                              "bat", "rpt", T("bs1b-br1r-2003st8.rpt"), "nlv  ! No levels results",
                              " ", W("bs1b-2003") + "    ! Sl4 file", "c  ! the cum column",
                              "n  ! do not use HA mapping file",
                              T("bs1b-br1r-pl1p-2003.mpz") + "    ! HA Map file",
                              W("bs1b-br1r-2003.rsl") + "    ! Output .RSL (SOL) file"}));
}

TEST_F(SsStiTest, CsvPartCoversBothRangesWithMorBetweenYears) {
  ASSERT_TRUE(WriteYearFilesSTI(c, JobKind::kCsv, 1, 3, 3, 2, 3));
  PartFiles f = YearFilesPartFiles(c, JobKind::kCsv, 1, {2, 3});
  EXPECT_EQ(f.sti, T("bs1b-csv.st4"));
  EXPECT_EQ(f.check, T("bs1b-2003.csv"));
  std::vector<std::string> expected{"bat", "rpt", T("bs1b-csv.rpt")};
  for (int year : {2002, 2003}) {
    std::string y = std::to_string(year);
    if (year == 2002) expected.push_back("mor");
    for (const char* l : {"nlv  ! No levels results", "sss  ! Write Short SS file", " ", " "}) {
      expected.push_back(l);
    }
    expected.push_back(W("bs1b-" + y) + "    ! Sl4 file");
    expected.push_back("c  ! just the cum column");
    expected.push_back("y  ! use SS mapping file");
    expected.push_back(W("results.map") + "    ! SS Map file");
    expected.push_back(T("bs1b-" + y + ".csv") + "    ! Output CSV file");
  }
  EXPECT_EQ(Lines(f.sti), expected);
}

TEST_F(SsStiTest, SingleYearSssolHasNoMorLine) {
  c.options.AccumulateSubtotals = true;  // only "csv" asks for subtotals
  ASSERT_TRUE(WriteYearFilesSTI(c, JobKind::kSsSol, 1, 1, 1, 5, 0));
  EXPECT_EQ(
      Lines(T("bs1b-sssol.st4")),
      (std::vector<std::string>{
          "bat", "rpt", T("bs1b-sssol.rpt"), " ", W("bs1b-2001") + "    ! Sl4 file",
          "c  ! just the cum column", "n  ! do not use HAR mapping file",
          "xx.xx  ! HAR mapping file created", T("bs1b-2001.rsl") + "    ! Output SOL file"}));
}

TEST_F(SsStiTest, TallyrPartsAndPolicyDifferences) {
  c.options.ArithmeticNotFatal = true;
  c.options.AccumulateSubtotals = true;
  c.options.MakeYonYDiffSS = true;
  AssemblyRanges policy{true, {2, 3}, false, {}};
  AssemblyRanges rerun{true, {2, 3}, false, {}};
  auto written = WriteAssemblySTIs(c, JobKind::kTallyr, 3, policy, true, rerun);
  ASSERT_TRUE(written) << written.error();
  const std::string stem = "bs1b-br1r-pl1p-";
  EXPECT_EQ(Lines(T(stem + "ssc.st5")),
            (std::vector<std::string>{"bat", "sub  ! accumulate subtotals",
                                      "anf  ! Arithmetic problems not fatal", "rpt",
                                      T(stem + "ssc.rpt"), "acc", " ", "2   ! no files",
                                      W("bs1b-br1r-pl1p-2002") + "    ! relevant SL4 file",
                                      T("bs1b-br1r-pl1p-2002.csv") + "    ! Input CSV file",
                                      T("bs1b-br1r-pl1p-2003.csv") + "    ! Input CSV file",
                                      W(stem + "ssc.csv") + "   ! Output file"}));
  auto yony = Lines(T(stem + "ssy.st5"));
  EXPECT_EQ(std::count(yony.begin(), yony.end(), "acc"), 0);
  EXPECT_EQ(Lines(T(stem + "devy.st6")),
            (std::vector<std::string>{
                "bat", "rpt", T(stem + "devy.rpt"), "anf  ! Arithmetic problems not fatal", "nac",
                "sol", W("bs1b-br1r-pl1p-2002"), " ", W("bs1b-br1r-ssy.csv"), W(stem + "ssy.csv"),
                W(stem + "devy.csv") + "   ! Output file"}));
  EXPECT_FALSE(testing::ReadFileBytes(T(stem + "devc.st6")).empty());
}

TEST_F(SsStiTest, AbbreviatedJobsWriteNoCumulativeTallyrPart) {
  c.options.AbbreviatedSSJobs = true;
  AssemblyRanges base{true, {1, 3}, false, {}};
  ASSERT_TRUE(WriteAssemblySTIs(c, JobKind::kTallyr, 1, base, false, {}));
  EXPECT_FALSE(testing::ReadFileBytes(T("bs1b-ssy.st5")).empty());
  EXPECT_TRUE(testing::ReadFileBytes(T("bs1b-ssc.st5")).empty());
  ASSERT_TRUE(WriteAssemblySTIs(c, JobKind::kCumSol, 1, base, false, {}));
  EXPECT_EQ(
      Lines(T("bs1b-sscsol.st5")),
      (std::vector<std::string>{
          "bat", "rpt", T("bs1b-sscsol.rpt"), "cml", " ",
          W("bs1b-2001") + "    ! relevant SL4 file", "3   ! no files",
          T("bs1b-2001.rsl") + "    ! Input CSV file", T("bs1b-2002.rsl") + "    ! Input CSV file",
          T("bs1b-2003.rsl") + "    ! Input CSV file", W("bs1b-ssc.rsl") + "   ! Output file"}));
  EXPECT_EQ(AssemblyPartFiles(c, JobKind::kCumSol, PartKind::kCum, 1, {1, 3}).log,
            T("bs1b-sscsol.log"));
}

TEST_F(SsStiTest, EveryStoredInputFileNamesItsOwnReport) {
  // The policy-years part of the cumulative solution job is the one whose log is named
  // after the cumulative file rather than the stored-input file.
  AssemblyRanges rerun{true, {1, 3}, true, {2, 3}};
  ASSERT_TRUE(WriteAssemblySTIs(c, JobKind::kCumSol, 2, rerun, false, {}));
  for (const JobKind job :
       {JobKind::kTallyr, JobKind::kCumSol, JobKind::kVarix, JobKind::kDevSol}) {
    for (const PartKind part : {PartKind::kYonY, PartKind::kCum, PartKind::kPy}) {
      SCOPED_TRACE(std::string(JobName(job)) + "/" + std::string(PartName(part)));
      const PartFiles f = AssemblyPartFiles(c, job, part, 2, {2, 3});
      EXPECT_EQ(f.report, ChangeFileExt(f.sti, ".rpt"));
    }
  }
  const PartFiles py = AssemblyPartFiles(c, JobKind::kCumSol, PartKind::kPy, 2, {2, 3});
  ASSERT_GE(Lines(py.sti).size(), 3u);
  EXPECT_EQ(Lines(py.sti)[2], py.report);
}

TEST_F(SsStiTest, PolicyYearsOnlyWritesThePyPart) {
  AssemblyRanges rerun{false, {}, true, {2, 3}};
  ASSERT_TRUE(WriteAssemblySTIs(c, JobKind::kTallyr, 2, rerun, false, {}));
  EXPECT_FALSE(testing::ReadFileBytes(T("bs1b-br1r-ssp.st5")).empty());
  EXPECT_TRUE(testing::ReadFileBytes(T("bs1b-br1r-ssy.st5")).empty());
}

TEST_F(SsStiTest, SequenceFilesListTheSolutions) {
  ASSERT_TRUE(WriteSequenceFiles(c, 3, 2, 3));
  EXPECT_EQ(
      Lines(W("bs1b-br1r-pl1p.seq")),
      (std::vector<std::string>{"2 1", "bs1b-br1r-pl1p-2002.sl4", "bs1b-br1r-pl1p-2003.sl4"}));
  EXPECT_EQ(Lines(W("bs1b-br1r-pl1p-dev.seq")),
            (std::vector<std::string>{"2 2", "bs1b-br1r-2002.sl4", "bs1b-br1r-2003.sl4",
                                      "bs1b-br1r-pl1p-2002.sl4", "bs1b-br1r-pl1p-2003.sl4"}));
}

TEST_F(SsStiTest, UnwritableTemporaryDirectoryFailsWithTheRoutineName) {
  c.temp_dir = temp / "missing";
  auto s = WriteSolSTI(c, 1, 1);
  ASSERT_FALSE(s);
  EXPECT_EQ(s.error(),
            "Cannot create file " + T("missing/bs1b-2001st7.st7") + "[TxtCreate][WriteSolSTI]");
}

}  // namespace
}  // namespace yl::jobs
