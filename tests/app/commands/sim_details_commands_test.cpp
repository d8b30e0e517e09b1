#include "app/commands/sim_details_commands.h"

#include <gtest/gtest.h>

#include "platform/files.h"
#include "sim/sim_defaults.h"
#include "sim/sim_naming.h"
#include "sim/sim_table.h"
#include "support/scratch_dir.h"
#include "support/scripted_prompter.h"

namespace yl {
namespace {

using testing::ScriptedPrompter;

class SimDetailsCommandsTest : public testing::IsolatedEnvTest {
 protected:
  SimDetailsCommandsTest() : sim(CreateSimRecord()) {
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
  ScriptedPrompter prompter;
  Notices notices;
  std::string work;
};

TEST_F(SimDetailsCommandsTest, ChoosingAFileEnforcesTheExtensionAndTheStore) {
  prompter.file_answers.push_back({work + "/a.txt"});
  prompter.file_answers.push_back({work + "/a.ds1"});
  EXPECT_EQ(ChooseSimDetailsToLoad(work, prompter), std::nullopt);
  ASSERT_EQ(prompter.messages.size(), 2u);
  EXPECT_EQ(prompter.messages[0].text,
            "Sim Details file name must end with \".ds1\".\r\nPlease choose it again.");
  EXPECT_EQ(prompter.messages[1].text,
            "Associated file " + work + "/a.ds2 does not exist.\r\nNo action taken.");
  EXPECT_EQ(prompter.file_requests[0].filter, "Sim Details files (*.DS1)|*.ds1");
}

TEST_F(SimDetailsCommandsTest, SaveDialogAsksBeforeOverwriting) {
  std::string existing = scratch.Write("work/old.ds1", "keep me");
  prompter.file_answers.push_back({"name.txt"});
  prompter.file_answers.push_back({existing});
  prompter.Answer(kOk);  // extension message
  prompter.Answer(kNo);  // do not overwrite
  EXPECT_EQ(SaveSimDetails(s, *sim, ctx, prompter), std::nullopt);
  EXPECT_EQ(testing::ReadFileBytes(existing), "keep me");
  EXPECT_EQ(prompter.file_requests.size(), 3u);
  EXPECT_EQ(prompter.file_requests[0].default_name, "orani-BS1B-BR1R-PL1P.ds1");
  EXPECT_EQ(prompter.messages[1].text, "Overwrite existing Sim Details in file\r\n" + existing);

  ctx.unattended = true;
  auto saved = SaveSimDetails(s, *sim, ctx, prompter);
  ASSERT_TRUE(saved);
  EXPECT_EQ(*saved, work + "/orani-BS1B-BR1R-PL1P.ds1");
  EXPECT_TRUE(FileExists(work + "/orani-BS1B-BR1R-PL1P.ds2"));
}

TEST_F(SimDetailsCommandsTest, SimulationDescriptionIsCreatedOnce) {
  std::string ds1 = work + "/d.ds1";
  auto now = std::chrono::system_clock::now();
  auto p = PrepareSimDescription(ds1, *sim, false, now, prompter);
  ASSERT_TRUE(p);
  EXPECT_EQ(*p, work + "/d.ds0");
  EXPECT_EQ(prompter.Last().text,
            "At present there is no Simulation Description for these Simulation Details.\r\n"
            "Please edit the file\r\n   " +
                *p + "\r\n and then save the changes.");
  ASSERT_TRUE(PrepareSimDescription(ds1, *sim, false, now, prompter));
  EXPECT_EQ(prompter.Last().text.rfind("The current Simulation Description", 0), 0u);
}

}  // namespace
}  // namespace yl
