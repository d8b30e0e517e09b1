#include <gtest/gtest.h>

#include "core/internal_error.h"
#include "sim/sim_defaults.h"
#include "sim/sim_runs.h"
#include "sim/sim_table.h"
#include "sim/sim_test_fixture.h"
#include "support/scratch_dir.h"

namespace yl {
namespace {

using testing::MakeSim;
using testing::ScratchDir;

TEST(SimRecord, CreatedRecordIsZeroedWithDefaultNamingOptions) {
  auto sim = CreateSimRecord();
  EXPECT_EQ(sim->NumYears, 0);
  EXPECT_EQ(sim->NumMinFiles, 0);
  EXPECT_EQ(sim->MinFiles[50], TMinFileEntry{});
  EXPECT_FALSE(sim->RunFlags[3]);
  EXPECT_FALSE(sim->AltMethodYears[999]);
  EXPECT_EQ(sim->FileNames, (TYearloomFileNames{true, "-", true, true}));
}

TEST(SimRecord, DefaultSimulationHoldsTheBuiltInModelAndTable) {
  ScratchDir d;
  auto sim = CreateSimRecord();
  SetDefaultSimulation(*sim, d.path());
  EXPECT_EQ(sim->NumYears, 4);
  EXPECT_EQ(sim->FirstYear, 1998);
  EXPECT_EQ(sim->SimNames[1] + sim->SimNames[2] + sim->SimNames[3], "BS1BR1PL1");
  EXPECT_EQ(sim->SimDir, d.path());
  ASSERT_EQ(sim->NumMinFiles, 14);
  EXPECT_EQ(sim->MinFiles[12].Name, "(Display)");
  EXPECT_TRUE(sim->MinFiles[13].Special);
  EXPECT_FALSE(sim->MinFiles[11].IsInput);
  ASSERT_EQ(sim->NumDinFiles, 11);

  struct Expect {
    int i;
    const char* name;
    const char* key;
    int role;
    int lag_of;
    std::array<int, 4> usage;
  };
  const Expect expected[] = {
      {1, "FID", "FID", kUpdatedInput, 0, {1, 1, 2, 3}},
      {2, "PARAMS", "PAR", kConstantInput, 0, {2, 1, 2, 3}},
      {4, "EXTRA", "EXT", kUpdatedInput, 0, {4, 1, 2, 3}},
      {5, "ROREXT", "REX", kUpdatedInput, 0, {5, 1, 2, 3}},
      {6, "EXTRA3", "EX3", kUpdatedInput, 0, {4, 1, 2, 2}},
      {7, "EXTRA4", "EX4", kLaggedInput, 4, {4, 1, 2, 3}},
      {8, "EXTRA5", "EX5", kLaggedInput, 4, {4, 1, 2, 2}},
      {9, "REGSET", "RGS", kConstantInput, 0, {9, 1, 2, 3}},
      {10, "REGDATA", "RGD", kUpdatedInput, 0, {10, 1, 2, 3}},
      {11, "WRITFILE", "WRI", kOutputOnly, 0, {11, 1, 2, 3}},
  };
  for (const Expect& e : expected) {
    const TDinFileEntry& din = sim->DinFiles[e.i];
    SCOPED_TRACE(e.name);
    EXPECT_EQ(din.Name, e.name);
    EXPECT_EQ(din.Key, e.key);
    EXPECT_EQ(din.Role, e.role);
    EXPECT_EQ(din.LagOf, e.lag_of);
    EXPECT_EQ(din.Usage, e.usage);
  }
  EXPECT_EQ(sim->DinFiles[11].Type, "TXT");

  EXPECT_EQ(sim->CMFCells(-1, 1), "");
  EXPECT_EQ(sim->CMFCells(-1, 2), "N/A");
  EXPECT_EQ(sim->CMFCells(0, 3), "");
  EXPECT_EQ(sim->CMFCells(1, 1), "RUN98");
  EXPECT_EQ(sim->CMFCells(4, 2), "RUN01");
  EXPECT_EQ(sim->CMFCells(4, 3), "DEVMCA");
  EXPECT_EQ(sim->CMFCells(2, 4), "MVEHTAR");
  EXPECT_EQ(sim->CMFCells(3, 4), "");
  EXPECT_EQ(sim->CMFCells(5, 1), "?");
  EXPECT_EQ(sim->CMFCells(999, 3), "?");
  EXPECT_EQ(sim->CMFCells(5, 4), "");
  EXPECT_EQ(sim->Years[4], 2001);
  EXPECT_EQ(sim->LengthPeriods[999], 1);
}

TEST(SimRecord, YearsFollowThePeriodLengths) {
  ScratchDir d;
  auto sim = MakeSim(d.path(), 2001, 3);
  sim->LengthPeriods[2] = 2;
  sim->LengthPeriods[3] = 3;
  RecomputeYears(*sim);
  EXPECT_EQ(sim->Years[-1], 1999);
  EXPECT_EQ(sim->Years[0], 2000);
  EXPECT_EQ(sim->Years[1], 2001);
  EXPECT_EQ(sim->Years[2], 2003);
  EXPECT_EQ(sim->Years[3], 2006);
}

TEST(SimRecord, CompletedNamesAndExistenceIgnoreTheCaseOfFilesOnDisk) {
  ScratchDir d;
  d.Write("run98.cls", "");  // lower case on disk, upper case in the cell
  d.Write("START.cmf", "");
  auto sim = MakeSim(d.path(), 1998, 4);
  sim->CMFCells(-1, 1) = "start";
  sim->CMFStartExt[1] = ".cmf";
  sim->CMFCells(0, 1) = "?";
  NormaliseCells(*sim);
  EXPECT_EQ(sim->CMFCells(-1, 1), "START");
  EXPECT_EQ(sim->CMFStartExt[1], ".CMF");
  EXPECT_EQ(sim->CMFFullNames(-1, 1), "START.CMF");
  EXPECT_TRUE(sim->CMFExists(-1, 1));
  EXPECT_EQ(sim->CMFFullNames(1, 1), "RUN98.CLS");
  EXPECT_TRUE(sim->CMFExists(1, 1));
  EXPECT_FALSE(sim->CMFExists(2, 1));  // RUN99.CLS is missing
  EXPECT_TRUE(sim->CMFExists(0, 1));   // "?" names no file
  EXPECT_TRUE(sim->CMFExists(3, 4));   // empty names no file
  EXPECT_TRUE(sim->CMFExists(-1, 2));  // "N/A" column is always marked existing
  EXPECT_EQ(sim->CMFFullNames(1, 4), "MVEHTAR.PSH");
}

TEST(SimRecord, ColumnHelpers) {
  EXPECT_EQ(ClosureColumn(kBase), 1);
  EXPECT_EQ(ClosureColumn(kRerun), 3);
  EXPECT_EQ(ClosureColumn(kPolicy), 3);
  EXPECT_EQ(CMFStartColumn(kBase), 1);
  EXPECT_EQ(CMFStartColumn(kRerun), 3);
  EXPECT_EQ(CMFStartColumn(kPolicy), 4);
  EXPECT_EQ(PatternRun(1, false), kBase);
  EXPECT_EQ(PatternRun(2, true), kBase);
  EXPECT_EQ(PatternRun(3, false), kRerun);
  EXPECT_EQ(PatternRun(3, true), kPolicy);
  EXPECT_EQ(PatternRun(4, false), kPolicy);
  EXPECT_EQ(RunLetter(2), 'R');
  EXPECT_EQ(RunLabel(3), "C: Policy Sims");
  EXPECT_EQ(RoleName(kLaggedInput), "Lagged input");
  EXPECT_EQ(RoleWord(kConstantInput), "constant input");
  EXPECT_THROW(ClosureColumn(0), InternalError);
  EXPECT_THROW(PatternRun(5, false), InternalError);
}

TEST(SimRecord, AsPreviousAndFollowPattern) {
  ScratchDir d;
  auto sim = MakeSim(d.path(), 2001, 5);
  CopyPreviousCell(*sim, 1, 1);  // period 1 has no previous period
  EXPECT_EQ(sim->CMFCells(1, 1), "RUN98");
  CopyPreviousCell(*sim, 3, 1);
  EXPECT_EQ(sim->CMFCells(3, 1), "RUN99");

  SetCellToPattern(*sim, 3, 2, false);
  EXPECT_EQ(sim->CMFCells(3, 2), "BS1B2003");
  SetCellToPattern(*sim, 3, 3, false);
  EXPECT_EQ(sim->CMFCells(3, 3), "BR1R2003");
  SetCellToPattern(*sim, 3, 3, true);
  EXPECT_EQ(sim->CMFCells(3, 3), "PL1P2003");
  SetCellToPattern(*sim, -1, 4, false);  // the CMFStart row uses Years(-1)
  EXPECT_EQ(sim->CMFCells(-1, 4), "PL1P1999");
  EXPECT_THROW(SetCellToPattern(*sim, 1000, 1, false), InternalError);
}

TEST(SimRecord, TableViewHeadersPatternRowAndLabels) {
  ScratchDir d;
  auto sim = MakeSim(d.path(), 2001, 3);
  sim->AltMethodInUse = true;
  sim->AltMethodYears[2] = true;
  struct Case {
    bool no_rerun;
    const char* header3;
    const char* pattern3;
  };
  for (const Case& c : {Case{false, "Policy Closure [BR1]", "BR1RYYYY.CLS"},
                        Case{true, "Policy Closure [PL1]", "PL1PYYYY.CLS"}}) {
    TableView v = BuildTableView(*sim, c.no_rerun);
    EXPECT_EQ(v.Headers[1], "Base Closure [BS1]");
    EXPECT_EQ(v.Headers[2], "Base Shocks [BS1]");
    EXPECT_EQ(v.Headers[3], c.header3);
    EXPECT_EQ(v.Headers[4], "Policy Shocks [PL1]");
    EXPECT_EQ(v.PatternRow[1], "BS1BYYYY.CLS");
    EXPECT_EQ(v.PatternRow[2], "BS1BYYYY.BSH");
    EXPECT_EQ(v.PatternRow[3], c.pattern3);
    EXPECT_EQ(v.PatternRow[4], "PL1PYYYY.PSH");
    EXPECT_EQ(v.TopLine, "All files here must be in directory: " + d.path());
    EXPECT_EQ(v.RowLabels, (std::vector<std::string>{"Part", "Pattern", "CMFStart", "Common",
                                                     "2001", "2002*", "2003"}));
  }
  EXPECT_EQ(CellDisplayText(*sim, -1, 2), "N/A");
  EXPECT_EQ(CellDisplayText(*sim, 0, 1), "none");
  EXPECT_EQ(CellDisplayText(*sim, 1, 1), "RUN98.CLS");
  sim->CMFCells(2, 1) = "?";
  EXPECT_EQ(CellDisplayText(*sim, 2, 1), "common");
}

TEST(SimRecord, TableIndexesOutsideTheirRangesAreInternalErrors) {
  auto sim = CreateSimRecord();
  EXPECT_THROW(sim->CMFCells(-2, 1), InternalError);
  EXPECT_THROW(sim->CMFCells(0, 5), InternalError);
  EXPECT_THROW(sim->LengthPeriods[0], InternalError);
  EXPECT_THROW(sim->DinFiles[51], InternalError);
  sim->NumYears = 1000;  // corrupt count: no row beyond 999 is ever touched
  EXPECT_THROW(RecomputeCMFNames(*sim), InternalError);
  try {
    RunWord(0);
    FAIL();
  } catch (const InternalError& e) {
    EXPECT_TRUE(e.UserText().starts_with(
        "An internal programming error has occured.\r\nPlease tell the code developers.\r\n"
        "The error message is:\r\n"));
  }
}

}  // namespace
}  // namespace yl
