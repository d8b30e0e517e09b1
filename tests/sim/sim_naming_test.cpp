#include "sim/sim_naming.h"

#include <gtest/gtest.h>

#include "core/internal_error.h"
#include "core/text_util.h"
#include "sim/sim_test_fixture.h"
#include "support/scratch_dir.h"

namespace yl {
namespace {

using testing::MakeSim;
using testing::ScratchDir;

class NamingTest : public ::testing::Test {
 protected:
  NamingTest() : sim(MakeSim(dir.path(), 2001, 10)) {}
  void ShortStyle() { sim->FileNames.LongNames = false; }
  ScratchDir dir;
  std::unique_ptr<TSimRecord> sim;
};

TEST_F(NamingTest, RunSetNames) {
  EXPECT_EQ(JoinSelectedBaseNames(*sim, kBase, false), "BS1B");
  EXPECT_EQ(JoinSelectedBaseNames(*sim, kRerun, false), "BS1B-BR1R");
  EXPECT_EQ(JoinSelectedBaseNames(*sim, kPolicy, false), "BS1B-BR1R-PL1P");
  EXPECT_EQ(JoinSelectedBaseNames(*sim, kPolicy, true), "BS1B-PL1P");
  sim->FileNames.AddRunLetter = false;
  sim->FileNames.Separator = "_";
  EXPECT_EQ(JoinSelectedBaseNames(*sim, kPolicy, false), "BS1_BR1_PL1");
}

TEST_F(NamingTest, RunSetNameInTheShortStyleIsAnInternalError) {
  ShortStyle();
  try {
    JoinSelectedBaseNames(*sim, kPolicy, false);
    FAIL() << "no internal error";
  } catch (const InternalError& e) {
    EXPECT_EQ(e.UserText(),
              "An internal programming error has occured.\r\nPlease tell the code "
              "developers.\r\nThe error message is:\r\n[JoinSelectedBaseNames] Expect long file "
              "names here");
  }
  // The short-style names never need the run-set name.
  EXPECT_EQ(OutputOnlyFileName(*sim, 11, kBase, 1, false), "wribs100.txt");
  EXPECT_EQ(SimBaseName(*sim, kPolicy, 1, false), "PL1P2001");
}

struct SimFileCase {
  bool long_names;
  bool no_rerun;
  int run;
  int period;
  const char* base;
  const char* sl4;
  const char* top;
  const char* sti;
  const char* rpt;
};

TEST_F(NamingTest, PerSimulationFilesInBothStyles) {
  const SimFileCase cases[] = {
      {true, false, kPolicy, 3, "BS1B-BR1R-PL1P-2003", "bs1b-br1r-pl1p-2003.sl4",
       "bs1b-br1r-pl1p-2003.top", "bs1b-br1r-pl1p-2003sim.sti", "bs1b-br1r-pl1p-2003sim.rpt"},
      {true, true, kPolicy, 3, "BS1B-PL1P-2003", "bs1b-pl1p-2003.sl4", "bs1b-pl1p-2003.top",
       "bs1b-pl1p-2003sim.sti", "bs1b-pl1p-2003sim.rpt"},
      {true, false, kBase, 1, "BS1B-2001", "bs1b-2001.sl4", "bs1b-2001.top", "bs1b-2001sim.sti",
       "bs1b-2001sim.rpt"},
      {false, false, kRerun, 3, "BR1R2003", "br1r2003.sl4", "br1r2003.top", "br103sim.sti",
       "br103sim.rpt"},
      {false, true, kPolicy, 10, "PL1P2010", "pl1p2010.sl4", "pl1p2010.top", "pl110sim.sti",
       "pl110sim.rpt"},
  };
  for (const SimFileCase& c : cases) {
    SCOPED_TRACE(c.base);
    sim->FileNames.LongNames = c.long_names;
    EXPECT_EQ(SimBaseName(*sim, c.run, c.period, c.no_rerun), c.base);
    EXPECT_EQ(SolutionFileName(*sim, c.run, c.period, c.no_rerun), c.sl4);
    EXPECT_EQ(TopFileName(*sim, c.run, c.period, c.no_rerun), c.top);
    EXPECT_EQ(StoredInputFileName(*sim, c.run, c.period, c.no_rerun), c.sti);
    EXPECT_EQ(ReportFileName(*sim, c.run, c.period, c.no_rerun), c.rpt);
    const std::string stem = LowerCase(c.base);
    EXPECT_EQ(SimLogFileName(*sim, c.run, c.period, c.no_rerun), stem + ".log");
    EXPECT_EQ(CommandFileName(*sim, c.run, c.period, c.no_rerun), stem + ".cmf");
    EXPECT_EQ(UdcFileName(*sim, c.run, c.period, c.no_rerun), stem + ".udc");
  }
}

TEST_F(NamingTest, ShortFormsTagAndPattern) {
  EXPECT_EQ(ShortSimBaseName(*sim, kRerun, 3), "BR1R2003");  // in either style
  EXPECT_EQ(ShortSimTag(*sim, kRerun, 3), "BR103");
  EXPECT_EQ(PatternName(*sim, kBase), "BS1BYYYY");
  EXPECT_EQ(TwoDigitYear(2003), "03");
  EXPECT_EQ(TwoDigitYear(1999), "99");
  EXPECT_EQ(Year4(998), "0998");
}

TEST_F(NamingTest, BotFiles) {
  struct Case {
    bool long_names;
    bool no_rerun;
    const char* bot;
    const char* log;
    const char* rsl;
  } cases[] = {
      {true, false, "bs1b-br1r-2003.bot", "bs1b-br1r-2003-bot.log", "bs1b-br1r-2003.rsl"},
      {true, true, "bs1b-pl1p-2003.bot", "bs1b-pl1p-2003-bot.log", "bs1b-pl1p-2003.rsl"},
      {false, false, "br1r2003.bot", "br1r2003-bot.log", "bs1br103.rsl"},
      {false, true, "pl1p2003.bot", "pl1p2003-bot.log", "bs1pl103.rsl"},
  };
  for (const auto& c : cases) {
    sim->FileNames.LongNames = c.long_names;
    EXPECT_EQ(BotFileName(*sim, 3, c.no_rerun), c.bot);
    EXPECT_EQ(BotLogFileName(*sim, 3, c.no_rerun), c.log);
    EXPECT_EQ(BotResultsFileName(*sim, 3, c.no_rerun), c.rsl);
  }
}

TEST_F(NamingTest, UpdatedAndOutputOnlyDataFiles) {
  // 5 ROREXT (updated input, key REX), 2 PARAMS (constant), 11 WRITFILE (output only, TXT)
  EXPECT_EQ(UpdatedFileName(*sim, 5, kBase, 3, false), "rex-bs1b-2003.har");
  EXPECT_EQ(UpdatedFileName(*sim, 5, kPolicy, 3, false), "rex-bs1b-br1r-pl1p-2003.har");
  EXPECT_EQ(UpdatedFileName(*sim, 5, kPolicy, 3, true), "rex-bs1b-pl1p-2003.har");
  EXPECT_EQ(UpdatedFileName(*sim, 2, kBase, 3, false), "?notupd?");
  EXPECT_EQ(OutputOnlyFileName(*sim, 11, kBase, 3, false), "wri-bs1b-2002-2003.txt");
  EXPECT_EQ(OutputOnlyFileName(*sim, 11, kBase, 1, false), "wri-bs1b-2000-2001.txt");
  EXPECT_EQ(OutputOnlyFileName(*sim, 11, kRerun, 3, false), "wri-bs1b-br1r-2002-2003.txt");
  sim->FileNames.AddNextYear = false;
  EXPECT_EQ(OutputOnlyFileName(*sim, 11, kBase, 3, false), "wri-bs1b-2002.txt");
  ShortStyle();
  EXPECT_EQ(UpdatedFileName(*sim, 5, kBase, 3, false), "rexbs103.har");
  EXPECT_EQ(UpdatedFileName(*sim, 5, kPolicy, 3, false), "rexpl103.har");
  EXPECT_EQ(OutputOnlyFileName(*sim, 11, kBase, 3, false), "wribs102.txt");
  EXPECT_THROW(UpdatedFileName(*sim, 12, kBase, 3, false), InternalError);  // 11 files
  EXPECT_THROW(UpdatedFileName(*sim, 0, kBase, 3, false), InternalError);
}

struct SheetCase {
  bool long_names;
  bool no_rerun;
  int run;
  JobKind kind;
  PartKind variant;
  PeriodRange range;
  int policy_start;
  const char* csv;
};

TEST_F(NamingTest, SpreadsheetNamesWithWholeAndPartialRanges) {
  const SheetCase cases[] = {
      {true, false, kBase, JobKind::kTallyr, PartKind::kYonY, {3, 20}, 1, "bs1b-ssy-2003-2010.csv"},
      {true, false, kBase, JobKind::kTallyr, PartKind::kYonY, {1, 10}, 1, "bs1b-ssy.csv"},
      {true, false, kBase, JobKind::kCumSol, PartKind::kCum, {0, 99}, 1, "bs1b-ssc.csv"},
      {true, false, kBase, JobKind::kTallyr, PartKind::kYonY, {1, 9}, 1, "bs1b-ssy-2001-2009.csv"},
      {true,
       false,
       kPolicy,
       JobKind::kVarix,
       PartKind::kCum,
       {5, 10},
       1,
       "bs1b-br1r-pl1p-devc-2005-2010.csv"},
      {true,
       true,
       kPolicy,
       JobKind::kDevSol,
       PartKind::kYonY,
       {5, 10},
       1,
       "bs1b-pl1p-devy-2005-2010.csv"},
      {true,
       false,
       kPolicy,
       JobKind::kTallyr,
       PartKind::kYonY,
       {2, 10},
       4,
       "bs1b-br1r-pl1p-ssy.csv"},
      {true,
       false,
       kRerun,
       JobKind::kTallyr,
       PartKind::kYonY,
       {2, 8},
       4,
       "bs1b-br1r-ssy-2004-2008.csv"},
      {false, false, kBase, JobKind::kTallyr, PartKind::kYonY, {1, 10}, 1, "bs1bssy.csv"},
      {false,
       false,
       kPolicy,
       JobKind::kVarix,
       PartKind::kCum,
       {5, 10},
       1,
       "pl1pdevc-2005-2010.csv"},
  };
  for (const SheetCase& c : cases) {
    SCOPED_TRACE(c.csv);
    sim->FileNames.LongNames = c.long_names;
    EXPECT_EQ(
        SpreadsheetFileName(*sim, c.run, c.kind, c.variant, c.range, c.policy_start, c.no_rerun),
        c.csv);
  }
}

TEST_F(NamingTest, CumulativeSequenceAndLogNames) {
  EXPECT_EQ(CumulativeSolutionFileName(*sim, kBase, JobKind::kTallyr, {1, 10}, 1, false),
            "bs1b-ssc.rsl");
  EXPECT_EQ(CumulativeSolutionFileName(*sim, kPolicy, JobKind::kDevSol, {3, 10}, 1, false),
            "bs1b-br1r-pl1p-devc-2003-2010.rsl");
  EXPECT_EQ(SequenceFileName(*sim, kBase, false, {1, 10}, 1, false), "bs1b.seq");
  EXPECT_EQ(SequenceFileName(*sim, kPolicy, true, {5, 10}, 1, false),
            "bs1b-br1r-pl1p-dev-2005-2010.seq");
  EXPECT_EQ(AssemblyLogFileName(*sim, kBase, {1, 10}, 1, false), "bs1b-ss.log");
  EXPECT_EQ(AssemblyLogFileName(*sim, kBase, {3, 10}, 1, false), "bs1b-ss-2003-2010.log");
  ShortStyle();
  EXPECT_EQ(SequenceFileName(*sim, kPolicy, true, {1, 10}, 1, false), "pl1pdev.seq");
  EXPECT_EQ(SequenceFileName(*sim, kBase, false, {1, 10}, 1, false), "bs1b.seq");
  EXPECT_EQ(AssemblyLogFileName(*sim, kRerun, {1, 10}, 1, false), "br1rss.log");
}

TEST_F(NamingTest, BadAssemblyArgumentsAreInternalErrors) {
  EXPECT_THROW(
      SpreadsheetFileName(*sim, kBase, JobKind::kSsSol, PartKind::kYonY, {1, 10}, 1, false),
      InternalError);
  EXPECT_THROW(
      SpreadsheetFileName(*sim, kBase, JobKind::kTallyr, PartKind::kYonY, {1, 0}, 1, false),
      InternalError);  // the range would end in period 0
  EXPECT_THROW(SpreadsheetFileName(*sim, 4, JobKind::kTallyr, PartKind::kYonY, {1, 10}, 1, false),
               InternalError);
}

TEST_F(NamingTest, RationalExpectationsNames) {
  const IterationCounts counts{3, 4};
  struct Case {
    int run;
    int iteration;
    bool no_rerun;
    int number;
    const char* file;
  } cases[] = {
      {kBase, 2, false, 2, "BS1B_iter2.har"},
      {kRerun, 1, false, 4, "BS1B-BR1R_iter4.har"},
      {kPolicy, 2, false, 9, "BS1B-BR1R-PL1P_iter9.har"},
      {kPolicy, 2, true, 5, "BS1B-PL1P_iter5.har"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IterationFileNumber(c.run, c.iteration, counts, c.no_rerun), c.number);
    EXPECT_EQ(IterationFileName(*sim, c.run, c.iteration, counts, c.no_rerun), c.file);
  }
  EXPECT_EQ(IterationBaseName(*sim, kBase, false), "BS1B_iter");
  EXPECT_EQ(KeptUpdatedFileName(*sim, 5, kBase, false), "rex-bs1b-2010_BIter");
  EXPECT_EQ(KeptSpreadsheetName(*sim, kBase, PartKind::kYonY, 1, false), "bs1b-ssy_BIter");
  EXPECT_EQ(KeptSpreadsheetName(*sim, kPolicy, PartKind::kCum, 4, false),
            "bs1b-br1r-pl1p-ssc_PIter");
  EXPECT_EQ(IterationWorkName(kRerun), "iterR");
  EXPECT_EQ(kIterationVariableMap, "itervar.map");
}

TEST_F(NamingTest, SimDetailsBookkeepingAndSlotDirectories) {
  const std::string ds1 = DefaultSimDetailsFile(*sim, "mymod", false);
  EXPECT_EQ(ds1, dir / "mymod-BS1B-BR1R-PL1P.ds1");
  EXPECT_EQ(DefaultSimDetailsFile(*sim, "mymod", true), dir / "mymod-BS1B-PL1P.ds1");
  EXPECT_EQ(DefaultSimDetailsFile(*sim, "", false), "");
  EXPECT_EQ(SimStoreFile(ds1), dir / "mymod-BS1B-BR1R-PL1P.ds2");
  EXPECT_EQ(SimDescriptionFile(ds1), dir / "mymod-BS1B-BR1R-PL1P.ds0");
  EXPECT_EQ(RunBookkeepingCopyFile(*sim, "mymod", kBase, false), dir / "mymod-BS1B.ds3");
  EXPECT_EQ(RunBookkeepingCopyFile(*sim, "mymod", kRerun, false), dir / "mymod-BS1B-BR1R.ds4");
  EXPECT_EQ(RunBookkeepingCopyFile(*sim, "mymod", kPolicy, true), dir / "mymod-BS1B-PL1P.ds5");
  EXPECT_EQ(RunBookkeepingFileName(kBase), "base.ini");
  EXPECT_EQ(RunBookkeepingFileName(kRerun), "rbase.ini");
  EXPECT_EQ(RunBookkeepingFileName(kPolicy), "pol.ini");
  ShortStyle();  // Sim Details are named in the short style too, without an internal error
  EXPECT_EQ(DefaultSimDetailsFile(*sim, "mymod", false), ds1);

  EXPECT_EQ(SlotDirectory(*sim, "/tmp/yl", 1), dir.path());
  EXPECT_EQ(SlotDirectory(*sim, "/tmp/yl", 2), "/tmp/yl/simdir2");
  EXPECT_EQ(SlotDirectory(*sim, "/tmp/yl/", 3), "/tmp/yl/simdir3");
  EXPECT_THROW(SlotDirectory(*sim, "/tmp/yl", 0), InternalError);
  EXPECT_THROW(SlotDirectory(*sim, "/tmp/yl", 4), InternalError);
  EXPECT_EQ(InSimDir(*sim, "a.sl4"), dir / "a.sl4");
}

TEST_F(NamingTest, OutOfRangePeriodsAndRunsAreInternalErrors) {
  EXPECT_THROW(SolutionFileName(*sim, kBase, 0, false), InternalError);
  EXPECT_THROW(SolutionFileName(*sim, kBase, 1000, false), InternalError);
  EXPECT_THROW(SolutionFileName(*sim, 0, 1, false), InternalError);
  EXPECT_THROW(BotFileName(*sim, -1, false), InternalError);
  EXPECT_THROW(OutputOnlyFileName(*sim, 11, kBase, 0, false), InternalError);
  EXPECT_THROW(IterationWorkName(4), InternalError);
  EXPECT_NO_THROW(SolutionFileName(*sim, kPolicy, 999, false));
}

}  // namespace
}  // namespace yl
