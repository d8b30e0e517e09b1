#include "settings/sim_details.h"

#include <gtest/gtest.h>

#include "model/din_file.h"
#include "platform/files.h"
#include "platform/text_file.h"
#include "settings/sim_store.h"
#include "sim/sim_defaults.h"
#include "sim/sim_naming.h"
#include "sim/sim_table.h"
#include "support/scratch_dir.h"

namespace yl {
namespace {

const std::string kData = std::string(YL_TEST_DATA_DIR) + "/settings";

class SimDetailsTest : public testing::IsolatedEnvTest {
 protected:
  SimDetailsTest() : sim(CreateSimRecord()) {
    work = scratch.MakeDir("work");
    ctx.keep_dir = scratch.MakeDir("keep");
    SetDefaultSimulation(*sim, work);
    for (int k = 1; k <= kMaxPeriods; ++k) sim->LengthPeriods[k] = 1;
    RecomputeYears(*sim);
    s.paths.program_dir = work;
    s.paths.default_temp_dir = scratch.MakeDir("tmp/SVTEMP/YRLMtemp");
    s.paths.temp_dir = s.paths.default_temp_dir;
    SetModelFile(s.model, scratch.Write("model/orani.exe", ""), std::nullopt);
  }
  std::string RunRecord(int run, const std::string& name, const std::string& dir,
                        int version = 318) {
    return scratch.Write("keep/" + RunBookkeepingFileName(run),
                         "[Options]\nYearloomVersion=" + std::to_string(version) +
                             "\n[Run]\nSim Name=" + name + "\nSim Directory=" + dir + "\n");
  }
  std::unique_ptr<TSimRecord> sim;
  SessionSettings s;
  SimDetailsContext ctx;
  Notices notices;
  std::string work;
};

TEST_F(SimDetailsTest, HandWrittenPairLoadsWhole) {
  std::string ds1 = work + "/hand.ds1";
  ASSERT_TRUE(CopyKeepingStamp(kData + "/handmade.ds1", ds1, false));
  ASSERT_TRUE(CopyKeepingStamp(kData + "/handmade.ds2", work + "/hand.ds2", false));
  ASSERT_TRUE(LoadSimDetails(ds1, LoadChoice{LoadPart::kAll, {}}, s, *sim, ctx, notices));
  EXPECT_TRUE(notices.empty()) << notices.back().text;
  EXPECT_EQ(sim->NumYears, 3);
  EXPECT_EQ(sim->SimDir, work);  // no "Sim Directory": the program directory
  EXPECT_EQ(sim->Years[1], 2001);
  EXPECT_EQ(sim->Years[2], 2003);
  EXPECT_EQ(sim->Years[3], 2004);
  EXPECT_EQ(sim->CMFCells(kCommonRow, 1), "COMMON1");
  EXPECT_EQ(sim->CMFFullNames(kCmfStartRow, 1), "CMFSTART.CMF");
  EXPECT_TRUE(sim->AltMethodInUse);
  EXPECT_TRUE(sim->AltMethodYears[2]);
  EXPECT_FALSE(sim->AltMethodYears[3]);
  EXPECT_EQ(s.methods.Normal.Method.Method, kGragg);
  EXPECT_EQ(s.methods.Alternative.Method.Method, kEuler);
  EXPECT_EQ(s.methods.Alternative.Method.Steps[0], 8);
  EXPECT_TRUE(s.options.Re.DoRe);
  EXPECT_EQ(s.options.Re.BaseIterations, 12);
  EXPECT_EQ(s.options.Re.PolicyIterations, 8);
  EXPECT_EQ(s.options.Re.PolicyStartYears, 2);
  EXPECT_FALSE(s.options.Re.PrepareRorext);
  EXPECT_FALSE(s.options.Re.SeveralIterationsOnRerun);
  EXPECT_TRUE(s.options.SolFileShocks);
  // The options group is never taken from Sim Details.
  EXPECT_EQ(s.options.Outputs, OutputsBeforeRun::kDelete);
  EXPECT_FALSE(s.options.VisibleLogFiles);
  EXPECT_EQ(s.paths.temp_dir, s.paths.default_temp_dir);
}

TEST_F(SimDetailsTest, WriteThenLoadRestoresTheSetup) {
  std::string ds1 = work + "/orani-BS1B-BR1R-PL1P.ds1";
  sim->CMFCells(3, 1) = "SPECIAL";
  s.options.Re.PolicyStartYears = 3;
  s.options.Re.DoRe = true;
  ASSERT_TRUE(WriteDynamicSimInfo(ds1, false, 0, s, *sim, ctx, notices));
  auto fresh = CreateSimRecord();
  SetDefaultSimulation(*fresh, work);
  SessionSettings r = s;
  r.options = Options{};
  ASSERT_TRUE(LoadSimDetails(ds1, LoadChoice{LoadPart::kSimDetails, {}}, r, *fresh, ctx, notices));
  EXPECT_EQ(fresh->CMFCells(3, 1), "SPECIAL");
  EXPECT_EQ(r.options.Re.PolicyStartYears, 3);
}

TEST_F(SimDetailsTest, CopiesOnlyMatchingRunRecords) {
  std::string ds1 = work + "/x.ds1";
  RunRecord(1, "bs1", work);
  RunRecord(3, "PL1", "/elsewhere");
  ASSERT_TRUE(WriteDynamicSimInfo(ds1, true, 0, s, *sim, ctx, notices));
  EXPECT_TRUE(FileExists(work + "/x.ds2"));
  EXPECT_TRUE(FileExists(work + "/orani-BS1B.ds3"));
  EXPECT_FALSE(FileExists(work + "/orani-BS1B-BR1R-PL1P.ds5"));
  ASSERT_TRUE(WriteDynamicSimInfo(ds1, false, 0, s, *sim, ctx, notices));
  EXPECT_FALSE(FileExists(work + "/orani-BS1B.ds3"));
}

TEST_F(SimDetailsTest, WriteFailuresAreReported) {
  auto r = WriteDynamicSimInfo(scratch / "no/such/dir/x.ds1", false, 0, s, *sim, ctx, notices);
  ASSERT_FALSE(r);
  EXPECT_NE(r.error().find("[TxtCreate][WriteIniOptions][WriteDynamicSimInfo]"), std::string::npos);
  EXPECT_EQ(notices.size(), 1u);
  sim->NumMinFiles = 51;
  r = WriteDynamicSimInfo(work + "/y.ds1", false, 0, s, *sim, ctx, notices);
  ASSERT_FALSE(r);
  EXPECT_NE(notices.back().text.find("too many files"), std::string::npos);
}

TEST_F(SimDetailsTest, NamesWithLineBreaksAreNotSaved) {
  const std::string dir = scratch.MakeDir("two\nlines");
  sim->SimDir = dir;
  auto r = WriteDynamicSimInfo(work + "/x.ds1", false, 0, s, *sim, ctx, notices);
  ASSERT_FALSE(r);
  EXPECT_EQ(notices.back().text, "The name of the working directory\r\n  " + scratch.path() +
                                     "/two\\nlines\r\nholds a line break, which Sim Details "
                                     "files cannot hold.");
  EXPECT_FALSE(FileExists(work + "/x.ds1"));
  EXPECT_FALSE(FileExists(work + "/x.ds2"));
}

TEST_F(SimDetailsTest, BadStoreLeavesTheCurrentSimulationAlone) {
  std::string ds1 = work + "/bad.ds1";
  ASSERT_TRUE(WriteDynamicSimInfo(ds1, false, 0, s, *sim, ctx, notices));
  auto lines = *ReadTextLines(work + "/bad.ds2");
  lines.resize(lines.size() - 20);  // cut inside the #FILES section
  ASSERT_TRUE(WriteTextLines(work + "/bad.ds2", lines));
  RunRecord(1, "BS1", work);
  auto before = CreateSimRecord();
  *before = *sim;
  sim->SimNames[1] = "OLD";
  before->SimNames[1] = "OLD";
  auto r = LoadSimDetails(ds1, LoadChoice{LoadPart::kAll, {}}, s, *sim, ctx, notices);
  ASSERT_FALSE(r);
  EXPECT_EQ(notices.back().text, r.error());
  EXPECT_EQ(sim->SimNames, before->SimNames);
  EXPECT_EQ(sim->CMFCells, before->CMFCells);
  EXPECT_TRUE(FileExists(ctx.keep_dir + "/base.ini"));
}

// Roles a DIN could never give are refused at load with the DIN's problem text, before
// anything changes; a task would otherwise stop half-way on them.
TEST_F(SimDetailsTest, StoredRolesAreCheckedAsADinIs) {
  const std::string ds1 = work + "/hand.ds1", ds2 = work + "/hand.ds2";
  ASSERT_TRUE(CopyKeepingStamp(kData + "/handmade.ds1", ds1, false));
  const std::string good = testing::ReadFileBytes(kData + "/handmade.ds2");
  const std::string din_entry = "FID\nHAR\nFID\nTT\nBasic data\n1\n0\n";
  ASSERT_NE(good.find(din_entry), std::string::npos);
  const struct {
    const char* entry;
    const char* problem;
  } cases[] = {
      // The updated input made a lag of nothing.
      {"FID\nHAR\nFID\nTT\nBasic data\n2\n0\n", "File FID: role must be updated input"},
      // An input made output-only in its flags and role.
      {"FID\nHAR\nFID\nFF\nBasic data\n0\n0\n",
       "File FID: input and update flags differ from the MIN entry"},
  };
  for (const auto& c : cases) {
    std::string edited = good;
    edited.replace(edited.find(din_entry), din_entry.size(), c.entry);
    testing::WriteFileBytes(ds2, edited);
    const auto before = sim->SimNames;
    auto r = LoadSimDetails(ds1, LoadChoice{LoadPart::kAll, {}}, s, *sim, ctx, notices);
    ASSERT_FALSE(r) << c.problem;
    EXPECT_EQ(r.error(), DinProblemMessage(ds2, c.problem));
    EXPECT_EQ(notices.back().text, r.error());
    EXPECT_EQ(sim->SimNames, before);
    // The same store as the last session's is no store at all.
    testing::WriteFileBytes(LastSessionFile(ctx.keep_dir), edited);
    EXPECT_FALSE(LoadLastSession(ctx.keep_dir, *sim));
  }
}

TEST_F(SimDetailsTest, LoadingReplacesRunRecordsWithRecentCopies) {
  std::string ds1 = work + "/orani-BS1B-BR1R-PL1P.ds1";
  RunRecord(1, "BS1", work);
  RunRecord(3, "PL1", work, 299);
  ASSERT_TRUE(WriteDynamicSimInfo(ds1, true, 0, s, *sim, ctx, notices));
  RunRecord(2, "XXX", work);
  ASSERT_TRUE(DeleteFileWithRetries(ctx.keep_dir + "/base.ini"));
  ASSERT_TRUE(LoadSimDetails(ds1, LoadChoice{LoadPart::kAll, {}}, s, *sim, ctx, notices));
  EXPECT_TRUE(FileExists(ctx.keep_dir + "/base.ini"));
  EXPECT_FALSE(FileExists(ctx.keep_dir + "/rbase.ini"));
  EXPECT_FALSE(FileExists(ctx.keep_dir + "/pol.ini"));  // its copy is too old
}

TEST_F(SimDetailsTest, ColumnsNeedTheSameStartingYear) {
  auto other = CreateSimRecord();
  *other = *sim;
  other->FirstYear = 2005;
  other->CMFCells(1, 1) = "CHANGED";
  std::array<bool, 5> cols{false, true, false, false, false};
  EXPECT_FALSE(LoadColumns(*sim, *other, cols, false, notices));
  EXPECT_EQ(sim->CMFCells(1, 1), "RUN98");
  EXPECT_EQ(notices.back().kind, MessageKind::kError);
  EXPECT_EQ(notices.back().text,
            "When you load just come columns into the Closure/Shocks page, the\r\n Starting year "
            "from the loaded file must be the same as is currently shown\r\n on the Sim "
            "Overview page. But on the Sim Overview page the Starting year is 1998\r\n whereas "
            "on the Sim Details you are loading from, the Starting year was 2005.\r\nLoading of "
            "the specified parts of the Closure/Shocks page will not be done.");
}

TEST_F(SimDetailsTest, ShorterLoadedColumnsAreFilledWithPatternNames) {
  auto other = CreateSimRecord();
  *other = *sim;
  other->NumYears = 3;
  other->SimNames[3] = "PX9";
  for (int k = 1; k <= 3; ++k) other->CMFCells(k, 4) = "SHOCK" + std::to_string(k);
  other->CMFCells(kCommonRow, 4) = "COMMONPSH";
  sim->NumYears = 5;
  ResetRowsAboveNumYears(*sim);
  RecomputeYears(*sim);
  std::array<bool, 5> cols{false, false, false, false, true};
  ASSERT_TRUE(LoadColumns(*sim, *other, cols, false, notices));
  EXPECT_EQ(sim->SimNames[3], "PX9");
  EXPECT_EQ(sim->CMFCells(kCommonRow, 4), "COMMONPSH");
  EXPECT_EQ(sim->CMFCells(3, 4), "SHOCK3");
  EXPECT_EQ(sim->CMFCells(4, 4), "PX9P2001");
  EXPECT_EQ(sim->CMFCells(5, 4), "PX9P2002");
  EXPECT_EQ(sim->CMFCells(4, 1), "RUN01");  // other columns untouched
  EXPECT_EQ(notices.back().text,
            "Currently there are simulations for 5 years\r\nHowever the Simulation Details you "
            "are loading from has sims for 3 years.\r\nThere will still be simulations for 5 "
            "years after you load these Simulation Details.\r\nThe extra years of the relevant "
            "columns on the Closure/Shocks page will be filled with default names.");
}

TEST_F(SimDetailsTest, SimulationDescription) {
  auto now = std::chrono::system_clock::now();
  auto lines = SimDescriptionLines(*sim, true, now);
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[0], "Simulation Description for Sim Names:");
  EXPECT_EQ(lines[1], "   Base: BS1   Policy: PL1");
  EXPECT_EQ(lines[2].rfind("This Simulation Description file was begun on ", 0), 0u);
  EXPECT_EQ(lines[4], "   " + work);
}

TEST_F(SimDetailsTest, LastSessionStore) {
  EXPECT_FALSE(LoadLastSession(ctx.keep_dir, *sim));
  sim->SimNames[2] = "RR7";
  ASSERT_TRUE(SaveLastSession(ctx.keep_dir, *sim));
  EXPECT_TRUE(FileExists(ctx.keep_dir + "/YrlmSim.txt"));
  auto fresh = CreateSimRecord();
  SetDefaultSimulation(*fresh, work);
  EXPECT_TRUE(LoadLastSession(ctx.keep_dir, *fresh));
  EXPECT_EQ(fresh->SimNames[2], "RR7");
  scratch.Write("keep/YrlmSim.txt", "garbage\n");
  fresh->SimNames[2] = "XXX";
  EXPECT_FALSE(LoadLastSession(ctx.keep_dir, *fresh));
  EXPECT_EQ(fresh->SimNames[2], "BR1");  // the default simulation again
}

}  // namespace
}  // namespace yl
