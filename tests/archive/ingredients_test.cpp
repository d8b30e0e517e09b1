// What goes into the inner archives, the history, the rules for a restorable archive and
// the Sim Details rewritten for the place they are restored to.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "archive/ingredients.h"
#include "archive/results_archive.h"
#include "core/text_util.h"
#include "env/ini_file.h"
#include "platform/paths.h"
#include "sim/sim_defaults.h"
#include "sim/sim_table.h"
#include "support/scratch_dir.h"

namespace yl::archive {
namespace {

using ::testing::ElementsAre;
using ::testing::UnorderedElementsAre;
using yl::testing::ScratchDir;

std::vector<std::string> Names(const std::vector<std::string>& paths) {
  std::vector<std::string> out;
  for (const std::string& p : paths) out.push_back(FileNameOf(p));
  return out;
}

// Three years: the Base closure in the Common row, Base shocks that reuse one file in two
// years, a Policy closure and one Policy shock file.
class ClosureFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    work = scratch.MakeDir("work");
    std::unique_ptr<TSimRecord> made = CreateSimRecord();
    sim = *made;
    SetDefaultSimulation(sim, work);
    sim.NumYears = 3;
    sim.FirstYear = 2021;
    sim.LengthPeriods.Fill(1);
    sim.CMFCells.Fill("");
    sim.CMFCells(kCommonRow, kBaseClosure) = "base";
    sim.CMFCells(kCommonRow, kPolicyClosure) = "policy";
    for (int k = 1; k <= 3; ++k) {
      sim.CMFCells(k, kBaseClosure) = "?";
      sim.CMFCells(k, kPolicyClosure) = "?";
      sim.CMFCells(k, kBaseShocks) = k == 2 ? "shk2" : "shk";
    }
    sim.CMFCells(3, kPolicyShocks) = "pol";
    ResetRowsAboveNumYears(sim);
    RecomputeYears(sim);
    scratch.Write("work/base.cls", "exogenous a ;\n");
    scratch.Write("work/policy.cls", "exogenous b ;\n");
    scratch.Write("work/shk.bsh", "shock a = file vals.har header \"AAAA\" ;\n");
    scratch.Write("work/shk2.bsh", "shock a = file vals.har header \"BBBB\" ;\n");
    scratch.Write("work/vals.har", "values");
    scratch.Write("work/pol.psh", "shock b = 1 ;\n");
    scratch.Write("work/demo.map", "map");
    NormaliseCells(sim);
    s.options.ResultsMapFile = JoinPath(work, "demo.map");
  }
  ScratchDir scratch;
  std::string work;
  TSimRecord sim;
  SessionSettings s;
};

TEST_F(ClosureFilesTest, EachFileIsStoredOnceWithWhatItNamesAndTheMappingFile) {
  FileSet all = ClosureShockFiles(sim, s, ArchiveRuns::kAll, ArchiveKinds::kBoth);
  EXPECT_THAT(Names(all.files),
              UnorderedElementsAre("base.cls", "policy.cls", "shk.bsh", "vals.har", "shk2.bsh",
                                   "pol.psh", "demo.map"));
  EXPECT_TRUE(all.missing.empty());
}

TEST_F(ClosureFilesTest, RunsAndKindsChooseTheColumns) {
  struct Case {
    ArchiveRuns runs;
    ArchiveKinds kinds;
    std::vector<std::string> expected;
  };
  for (const Case& c : std::vector<Case>{
           {ArchiveRuns::kBase, ArchiveKinds::kClosures, {"base.cls", "demo.map"}},
           {ArchiveRuns::kPolicy, ArchiveKinds::kShocks, {"pol.psh", "demo.map"}},
           {ArchiveRuns::kPolicy, ArchiveKinds::kBoth, {"policy.cls", "pol.psh", "demo.map"}}}) {
    EXPECT_THAT(Names(ClosureShockFiles(sim, s, c.runs, c.kinds).files),
                ::testing::UnorderedElementsAreArray(c.expected));
  }
}

TEST_F(ClosureFilesTest, AMissingFileIsNamedNotStored) {
  std::remove((work + "/shk2.bsh").c_str());
  FileSet all = ClosureShockFiles(sim, s, ArchiveRuns::kBase, ArchiveKinds::kShocks);
  EXPECT_THAT(Names(all.missing), ElementsAre("SHK2.BSH"));
  EXPECT_THAT(Names(all.files), UnorderedElementsAre("shk.bsh", "vals.har", "demo.map"));
}

TEST_F(ClosureFilesTest, DefaultNamesFollowTheSimulationNames) {
  sim.SimNames[kBase] = "BS1";
  sim.SimNames[kRerun] = "BR1";
  sim.SimNames[kPolicy] = "PL1";
  EXPECT_EQ(DefaultIngredientsName(sim, "demo", false), "demo-BS1B-BR1R-PL1P.zip");
  EXPECT_EQ(
      DefaultClosureShocksName(sim, "demo", true, ArchiveRuns::kPolicy, ArchiveKinds::kClosures),
      "demo-BS1B-PL1P-pol-cl.zip");
  EXPECT_EQ(DefaultResultsName(sim, "demo", false, false), "demo-BS1B-BR1R-PL1P-someres1.zip");
}

TEST(ZipHistoryTest, ANewArchiveAddsItsLinesBelowAnEarlierHistory) {
  std::unique_ptr<TSimRecord> sim = CreateSimRecord();
  SetDefaultSimulation(*sim, "/home/u/work");
  sim->SimNames[kBase] = "BS1";
  sim->SimNames[kRerun] = "BR1";
  sim->SimNames[kPolicy] = "PL1";
  const std::uint64_t t = 133000000000000000ULL;
  const std::vector<std::string> first = ZipHistoryLines("", t, *sim, true);
  ASSERT_EQ(first.size(), 6u);
  EXPECT_EQ(first[0], "History of this ZIP Archive:");
  EXPECT_THAT(first[1], ::testing::MatchesRegex("This ZIP Archive was created on "
                                                "[0-9]{2}-[A-Z][a-z]{2}-2022 at "
                                                "[0-9]{2}:[0-9]{2}:[0-9]{2} when the Working "
                                                "Directory was:"));
  EXPECT_THAT(
      std::vector<std::string>(first.begin() + 2, first.end()),
      ElementsAre("   /home/u/work", "The Sim Names were:", "   Base: BS1", "   Policy: PL1"));
  std::string earlier;
  for (const std::string& l : first) earlier += l + "\r\n";
  const std::vector<std::string> second = ZipHistoryLines(earlier, t, *sim, false);
  ASSERT_EQ(second.size(), 6u + 6u);
  EXPECT_EQ(std::vector<std::string>(second.begin(), second.begin() + 6), first);
  EXPECT_EQ(second.back(), "   Policy: PL1");
  EXPECT_EQ(second[second.size() - 2], "   Rerun: BR1");
}

ZipEntry Entry(const std::string& name) {
  ZipEntry e;
  e.name = name;
  return e;
}

TEST(MissingIngredientTest, TheFirstAbsentRequiredEntryIsNamed) {
  const std::vector<ZipEntry> full = {Entry("APP.DS1"), Entry("app.ds2"), Entry("model.zip"),
                                      Entry("data.zip"), Entry("cmfbits.zip")};
  EXPECT_EQ(MissingIngredient(full, false), "");
  std::vector<ZipEntry> no_data = full;
  no_data.erase(no_data.begin() + 3);
  EXPECT_EQ(MissingIngredient(no_data, false), "File DATA.ZIP is not present in this zip file");
  EXPECT_EQ(MissingIngredient(no_data, true), "");
  EXPECT_EQ(MissingIngredient({Entry("readme.txt")}, true),
            "File APP.DS1 is not present in this zip file");
}

TEST(RelocatedSimDetailsTest, EveryFileNameMovesToItsFolderOfTheRestore) {
  const std::string ds1 =
      "[Environment]\n"
      "Model=/old/bin/demomodel\n"
      "Model Name=demomodel\n"
      "Quillo File=/old/bin/demomodel.tab\n"
      "Model Info File=/old/bin/demomodel.min\n"
      "Dynamic Info File=/old/bin/demomodel.din\n"
      "Sim Directory=/old/work\n"
      "Results Map File=/old/work/demo.map\n"
      "Editor=\n"
      "[Input Files]\n"
      "0=File BASEDATA = /old/work/basedata.har ; ! Base data\n"
      "1=File PARAMS = \"/old/my data/params.har\" ;\n"
      "2=File LATER = ?? ;\n";
  IniFile got = IniFile::Parse(RelocatedSimDetails(ds1, "/new place"));
  const char* env = "Environment";
  EXPECT_EQ(got.ReadString(env, "Model", ""), "/new place/model/demomodel");
  EXPECT_EQ(got.ReadString(env, "Quillo File", ""), "/new place/tabetc/demomodel.tab");
  EXPECT_EQ(got.ReadString(env, "Model Info File", ""), "/new place/model/demomodel.min");
  EXPECT_EQ(got.ReadString(env, "Dynamic Info File", ""), "/new place/model/demomodel.din");
  EXPECT_EQ(got.ReadString(env, "Sim Directory", ""), "/new place");
  EXPECT_EQ(got.ReadString(env, "Results Map File", ""), "/new place/demo.map");
  EXPECT_EQ(got.ReadString(env, "Editor", "x"), "");
  EXPECT_EQ(got.ReadString("Input Files", "0", ""),
            "File BASEDATA = \"/new place/data/basedata.har\" ; ! Base data");
  EXPECT_EQ(got.ReadString("Input Files", "1", ""),
            "File PARAMS = \"/new place/data/params.har\" ;");
  EXPECT_EQ(got.ReadString("Input Files", "2", ""), "File LATER = ?? ;");
}

TEST(RelocatedRunRecordTest, TheWorkingDirectoryAndFilesInItMove) {
  const std::string record =
      "[Run]\nSim Name=BS1\nSim Directory=/old/work\n"
      "[2021]\nSolution file=1 2 3 0 /old/work/bs1b-2021.sl4\n"
      "Exe=1 2 3 0 /bin/demomodel\nOther=/old/workshop/x\n";
  IniFile got = IniFile::Parse(RelocatedRunRecord(record, "/new"));
  EXPECT_EQ(got.ReadString("Run", "Sim Directory", ""), "/new");
  EXPECT_EQ(got.ReadString("2021", "Solution file", ""), "1 2 3 0 /new/bs1b-2021.sl4");
  EXPECT_EQ(got.ReadString("2021", "Exe", ""), "1 2 3 0 /bin/demomodel");
  EXPECT_EQ(got.ReadString("2021", "Other", ""), "/old/workshop/x");
}

}  // namespace
}  // namespace yl::archive
