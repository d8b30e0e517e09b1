#include "cmf/run_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "cmf_assembly_support.h"
#include "platform/files.h"
#include "sim/sim_table.h"

namespace yl {
namespace {

using testing::AssemblyTest;

class RunFilesTest : public AssemblyTest {
 public:
  RunFilesTest() {
    rf.ModelPath = model;
    rf.TempDir = temp;
    rf.SlotDir = work;
    rf.Files = settings.Files;
    rf.ProgramAvailable = [this](const std::string& name) {
      asked.insert(name);
      return !missing.count(name);
    };
  }
  std::set<std::string> TempFiles() const {
    std::set<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(temp))
      names.insert(e.path().filename().string());
    return names;
  }

  RunFilesSettings rf;
  std::set<std::string> asked, missing;
};

TEST_F(RunFilesTest, RerunPeriodWritesTheClosurePreparationFiles) {
  RunBatOutcome out = WriteRunBat(sim, kRerun, 3, rf);
  ASSERT_TRUE(out);
  EXPECT_EQ(TempFiles(), (std::set<std::string>{"bs1b-br1r-2003sim.sti", "br103env.sti",
                                                "br103env.cmf", "br103st2.st2", "br103st3.st3"}));
  for (const char* name :
       {"bs1b-br1r-2003sim.sti", "br103env.sti", "br103env.cmf", "br103st2.st2", "br103st3.st3"}) {
    EXPECT_EQ(ReadOut(temp + "/" + name), Golden(name)) << name;
  }
  EXPECT_EQ(asked, (std::set<std::string>{"ambix", "solex"}));
  EXPECT_FALSE(out.notice);
}

TEST_F(RunFilesTest, SolFilesForShocksUseAmbixInsteadOfSolex) {
  rf.SolFileShocks = true;
  ASSERT_TRUE(WriteRunBat(sim, kRerun, 3, rf));
  EXPECT_EQ(ReadOut(temp + "/br103st9.st9"), Golden("br103st9.st9"));
  EXPECT_FALSE(FileExists(temp + "/br103st3.st3"));
  EXPECT_EQ(asked, (std::set<std::string>{"ambix"}));
}

TEST_F(RunFilesTest, BaseGetsOnlyTheModelsStoredInput) {
  ASSERT_TRUE(WriteRunBat(sim, kBase, 2, rf));
  EXPECT_EQ(TempFiles(), (std::set<std::string>{"bs1b-2002sim.sti"}));
  EXPECT_EQ(ReadOut(temp + "/bs1b-2002sim.sti"),
            "bat\nrpt\n" + temp + "/bs1b-2002sim.rpt\ncmf\n" + work + "/bs1b-2002.cmf\n");
}

TEST_F(RunFilesTest, WithoutRerunThePolicyIsPrepared) {
  rf.Files.NoRerun = true;
  ASSERT_TRUE(WriteRunBat(sim, kPolicy, 3, rf));
  EXPECT_EQ(TempFiles(), (std::set<std::string>{"bs1b-pl1p-2003sim.sti", "pl103env.sti",
                                                "pl103env.cmf", "pl103st2.st2", "pl103st3.st3"}));
  EXPECT_NE(ReadOut(temp + "/pl103st3.st3").find(work + "/bs1b-pl1p-2003.bot    ! Output BOT file"),
            std::string::npos);
  std::filesystem::remove_all(temp);
  std::filesystem::create_directory(temp);
  ASSERT_TRUE(WriteRunBat(sim, kRerun, 3, rf));
  EXPECT_EQ(TempFiles().size(), 1u);
}

TEST_F(RunFilesTest, ShortNamesUseTheShortTagForTheModelsStoredInput) {
  sim.FileNames.LongNames = false;
  ASSERT_TRUE(WriteRunBat(sim, kRerun, 3, rf));
  EXPECT_TRUE(FileExists(temp + "/br103sim.sti"));
  EXPECT_EQ(ReadOut(temp + "/br103sim.sti"),
            "bat\nrpt\n" + temp + "/br103sim.rpt\ncmf\n" + work + "/br1r2003.cmf\n");
}

TEST_F(RunFilesTest, EnvironmentFileWithoutCMFStartBeginsWithTheAuxiliaryLine) {
  sim.CMFCells(kCmfStartRow, 3) = "";
  RecomputeCMFNames(sim);
  ASSERT_TRUE(WriteRunBat(sim, kRerun, 2, rf));
  std::string text = ReadOut(temp + "/br102env.cmf");
  EXPECT_TRUE(text.starts_with("auxiliary files = \"" + models +
                               "/my model\";\nsave environment "
                               "file " +
                               temp + "/BR1R2002 ;\n"))
      << text;
  EXPECT_NE(text.find("! Begin Period-specific Closure file \"POLCL.CLS\""), std::string::npos);
  EXPECT_EQ(text.find("Shocks"), std::string::npos);
}

TEST_F(RunFilesTest, MissingProgramsAreShownAndStopThePreparation) {
  struct Case {
    const char* program;
    bool sol_shocks;
    const char* message;
    const char* written_last;
  };
  for (const auto& c :
       {Case{"ambix", false, "The program AMBIX is not available.", "br103env.cmf"},
        Case{"solex", false, "The program SOLEX is not available.", "br103st2.st2"},
        Case{"ambix", true, "The program AMBIX is not available.", "br103env.cmf"}}) {
    SCOPED_TRACE(c.program);
    std::filesystem::remove_all(temp);
    std::filesystem::create_directory(temp);
    missing = {c.program};
    rf.SolFileShocks = c.sol_shocks;
    RunBatOutcome s = WriteRunBat(sim, kRerun, 3, rf);
    ASSERT_FALSE(s);
    EXPECT_EQ(s.error(), std::string(c.message) + "[WriteRunBat]");
    ASSERT_TRUE(s.notice);
    EXPECT_EQ(s.notice->text, c.message);
    EXPECT_EQ(s.notice->kind, MessageKind::kError);
    EXPECT_EQ(s.notice->help_topic, 7067);
    EXPECT_EQ(s.notice->buttons, kOk | kHelp);
    EXPECT_TRUE(FileExists(temp + "/" + c.written_last));
    EXPECT_FALSE(FileExists(temp + "/br103st3.st3"));
  }
}

TEST_F(RunFilesTest, FailuresNameTheRoutine) {
  rf.ModelPath = " ";
  RunBatOutcome s = WriteRunBat(sim, kRerun, 3, rf);
  ASSERT_FALSE(s);
  EXPECT_EQ(s.error(), "Model or program name blank in writing Bat file.[WriteRunBat]");
  ASSERT_TRUE(s.notice);
  EXPECT_EQ(s.notice->text, "Model or program name blank in writing Bat file.");
  EXPECT_EQ(s.notice->kind, MessageKind::kError);
  EXPECT_EQ(s.notice->buttons, kOk);
  EXPECT_TRUE(TempFiles().empty());

  rf.ModelPath = model;
  rf.TempDir = temp + "/gone";
  s = WriteRunBat(sim, kRerun, 3, rf);
  ASSERT_FALSE(s);
  EXPECT_EQ(s.error(),
            "Cannot create file " + temp + "/gone/bs1b-br1r-2003sim.sti[TxtCreate][WriteRunBat]");
  EXPECT_FALSE(s.notice);  // the engine reports write failures

  rf.TempDir = temp;
  sim.CMFCells(3, 3) = "NOCLS";
  s = WriteRunBat(sim, kRerun, 3, rf);
  ASSERT_FALSE(s);
  EXPECT_EQ(s.error(),
            "Cannot open file " + work + "/NOCLS.CLS[TxtOpen][AddClosureShocksToCMF][WriteRunBat]");
}

TEST_F(RunFilesTest, HostileNamesNeverWriteOutsideTheTemporaryDirectory) {
  sim.SimNames[2] = "../";
  RunBatOutcome s = WriteRunBat(sim, kRerun, 3, rf);
  ASSERT_FALSE(s);
  EXPECT_TRUE(s.error().ends_with("[TxtCreate][WriteRunBat]"));
  for (const auto& e : std::filesystem::directory_iterator(scratch.path())) {
    EXPECT_NE(e.path().extension(), ".sti") << e.path();
  }
}

}  // namespace
}  // namespace yl
