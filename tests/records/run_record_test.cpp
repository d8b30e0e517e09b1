#include "records/run_record.h"

#include <gtest/gtest.h>

#include "records/file_stamp.h"
#include "support/scratch_dir.h"

namespace yl::records {
namespace {

using yl::testing::ScratchDir;

class RecordJobTest : public ::testing::Test {
 protected:
  void SetUp() override {
    context.keep_dir = dir.MakeDir("keep");
    context.sim_names = {"", "BS1", "BR1", "PL1"};
    context.user_ds_name = "/w/demo.ds1";
  }
  UnitDescription Unit(yl::Run run, int year) {
    UnitDescription d;
    d.unit = {run, year, UnitKind::kSim};
    d.completion_section = std::to_string(2000 + year);
    d.completion_key = "Year finished ok";
    d.settings.push_back({std::to_string(year) + "er", "Sim Directory", "/w", "", true, ""});
    RecordedFile f;
    f.section = d.completion_section;
    f.key = "Solution file";
    f.path = dir.Write("sol" + std::to_string(year), "abc");
    d.files.push_back(f);
    return d;
  }
  IniFile Read(int run) { return *IniFile::Load(RecordFile(context.keep_dir, run)); }
  ScratchDir dir;
  RecordContext context;
};

TEST_F(RecordJobTest, ARecordHoldsWhatEachUnitBookedAndWhen) {
  ASSERT_TRUE(RecordJob(Unit(kPolicy, 1), context, 111));
  ASSERT_TRUE(RecordJob(Unit(kPolicy, 2), context, 222));
  const IniFile ini = Read(kPolicy);
  EXPECT_EQ(ini.ReadInt("Options", "YearloomVersion", 0), 318);
  EXPECT_EQ(ini.ReadString("LastRan", "Base Sim name", ""), "BS1");
  EXPECT_EQ(ini.ReadString("LastRan", "Rerun Sim name", ""), "BR1");
  EXPECT_EQ(ini.ReadString("Run", "Sim Name", ""), "PL1");
  EXPECT_EQ(ini.ReadString("Run", "User DS name", ""), "/w/demo.ds1");
  EXPECT_EQ(ini.ReadString("2001", "Year finished ok", ""), "111 0");
  EXPECT_EQ(ini.ReadString("2002", "Year finished ok", ""), "222 0");
  EXPECT_EQ(ini.ReadString("2er", "Sim Directory", ""), "/w");
  EXPECT_EQ(ParseFileStamp(ini.ReadString("2002", "Solution file", "")), StampOf(dir / "sol2"));
}

TEST_F(RecordJobTest, TwoRunModeRecordsNoRerunName) {
  context.two_run_mode = true;
  ASSERT_TRUE(RecordJob(Unit(kPolicy, 1), context, 1));
  EXPECT_FALSE(Read(kPolicy).HasKey("LastRan", "Rerun Sim name"));
}

TEST_F(RecordJobTest, LaterRecordsOfAnotherSimulationNameGo) {
  struct Case {
    std::string rerun_name, policy_name;
    bool developer;
    bool rerun_kept, policy_kept;
  };
  const Case cases[] = {
      {"BR1", "PL1", false, true, true},
      {"br1", "OLD", false, true, false},
      {"OLD", "OLD", true, true, true},
  };
  for (const Case& c : cases) {
    for (auto [run, name] : {std::pair{kRerun, c.rerun_name}, std::pair{kPolicy, c.policy_name}}) {
      IniFile ini;
      ini.Set("Run", "Sim Name", name);
      ASSERT_TRUE(ini.Save(RecordFile(context.keep_dir, run)));
    }
    context.developer_mode = c.developer;
    ASSERT_TRUE(RecordJob(Unit(kBase, 1), context, 1));
    EXPECT_EQ(Read(kRerun).HasSection("Run"), c.rerun_kept) << c.rerun_name;
    EXPECT_EQ(Read(kPolicy).HasSection("Run"), c.policy_kept) << c.policy_name;
  }
}

TEST_F(RecordJobTest, AFailureNamesTheFileAndTheLastStageAndLeavesTheOldRecord) {
  ASSERT_TRUE(RecordJob(Unit(kBase, 1), context, 1));
  const std::string before = dir.Read("keep/base.ini");
  // A keep directory that refuses the new file: the record was built but not saved.
  context.keep_dir = dir.Write("not-a-dir", "x");
  auto unsaved = RecordJob(Unit(kBase, 2), context, 3);
  ASSERT_FALSE(unsaved);
  EXPECT_EQ(unsaved.error(), "Problem updating Record of Runs file \r\n  " +
                                 RecordFile(context.keep_dir, kBase) +
                                 "\r\nLast part done is: File list freed\r\nBut will attempt to "
                                 "continue.");
  EXPECT_EQ(dir.Read("keep/base.ini"), before);
}

}  // namespace
}  // namespace yl::records
