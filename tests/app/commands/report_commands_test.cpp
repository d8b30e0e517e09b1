#include "app/commands/report_commands.h"

#include <gtest/gtest.h>

#include "app/dialogs/report_file_dialog.h"
#include "platform/files.h"
#include "settings/sim_details.h"
#include "sim/sim_defaults.h"
#include "sim/sim_table.h"
#include "support/scratch_dir.h"
#include "support/scripted_prompter.h"

namespace yl {
namespace {

using reports::ReportKind;
using testing::ScriptedPrompter;

class ReportCommandsTest : public testing::IsolatedEnvTest {
 protected:
  ReportCommandsTest() {
    work = scratch.MakeDir("work");
    keep = scratch.MakeDir("keep");
    SetDefaultSimulation(session.sim, work);
    session.sim.LengthPeriods.Fill(1);
    RecomputeYears(session.sim);
    session.settings.paths.keep_dir = keep;
    SetModelFile(session.settings.model, scratch.Write("model/orani.exe", ""), std::nullopt);
  }
  // Sim Details of the session, saved under another name.
  std::string Save(const std::string& name) {
    Notices notices;
    const std::string ds1 = work + "/" + name;
    EXPECT_TRUE(WriteDynamicSimInfo(ds1, false, 0, session.settings, session.sim,
                                    {keep, true, false}, notices));
    return ds1;
  }
  Session session;
  ScriptedPrompter prompter;
  std::string work;
  std::string keep;
};

TEST_F(ReportCommandsTest, EachReportAsksForItsFileWritesItAndOffersToShowIt) {
  struct Case {
    ReportKind kind;
    const char* title;
    const char* filter;
    const char* default_name;
    int help;
    const char* written;
    const char* first_line;
  };
  const Case cases[] = {
      {ReportKind::kSimDetails, "Report Closure/Shocks files in Simulation",
       "Sim Report files (*.DR0)|*.DR0", "orani-BS1B-BR1R-PL1P.dr0", 7031,
       "Report of Closure/Shocks page has been written.\r\nDo you want to view the report now?",
       "Report of Sim Details"},
      {ReportKind::kIngredients, "Report Ingredients of Simulations",
       "Sim Report files (*.DR1)|*.DR1", "orani-BS1B-BR1R-PL1P.dr1", 7031,
       "Report of ingredients has been written.\r\nDo you want to view the report now?",
       "Model Files"},
      {ReportKind::kWhenRun, "Report When Simulations Were Last Run",
       "\"When Run\" Report files (*.DR2)|*.DR2", "orani-BS1B-BR1R-PL1P.dr2", 7120,
       "Report of When Simulations Were Last Run has been written.\r\nDo you want to view the "
       "report now?",
       "A: Base Case"},
  };
  for (const Case& c : cases) {
    ScriptedPrompter p;
    // A relative name is taken from the working directory.
    p.file_answers.push_back({"mine.txt"});
    p.Answer(kNo);
    EXPECT_EQ(ReportCommand(c.kind, session, p), std::nullopt) << c.title;
    ASSERT_EQ(p.file_requests.size(), 1u);
    const FileRequest& r = p.file_requests[0];
    EXPECT_EQ(r.title, c.title);
    EXPECT_EQ(r.filter, c.filter);
    EXPECT_EQ(r.default_name, c.default_name);
    EXPECT_EQ(r.start_dir, work);
    EXPECT_EQ(r.help_topic, c.help);
    EXPECT_TRUE(r.save);
    ASSERT_EQ(p.messages.size(), 1u) << c.title;
    EXPECT_EQ(p.messages[0].text, c.written);
    EXPECT_EQ(p.messages[0].buttons, kYes | kNo | kHelp);
    EXPECT_EQ(p.messages[0].help_topic, c.help);
    const std::string text = testing::ReadFileBytes(work + "/mine.txt");
    EXPECT_EQ(text.substr(0, text.find('\n')), c.first_line) << c.title;

    // Yes: the window opens what was written.
    p.file_answers.push_back({work + "/again.txt"});
    p.Answer(kYes);
    EXPECT_EQ(ReportCommand(c.kind, session, p), work + "/again.txt");
    EXPECT_EQ(testing::ReadFileBytes(work + "/again.txt"), text);
  }
}

TEST_F(ReportCommandsTest, CancellingWritesNothingAndAFailedWriteIsSaid) {
  EXPECT_EQ(ReportCommand(ReportKind::kSimDetails, session, prompter), std::nullopt);
  EXPECT_TRUE(prompter.messages.empty());
  EXPECT_EQ(prompter.file_requests.size(), 1u);

  const std::string bad = work + "/no such dir/r.dr0";
  prompter.file_answers.push_back({bad});
  EXPECT_EQ(ReportCommand(ReportKind::kSimDetails, session, prompter), std::nullopt);
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_EQ(prompter.messages[0].kind, MessageKind::kError);
  EXPECT_EQ(prompter.messages[0].text,
            "Cannot create file " + bad + "[TxtCreate][WriteReportSimDetails]");
}

TEST_F(ReportCommandsTest, WithoutAModelTheDialogProposesOnlyTheExtension) {
  session.settings.model = ModelState{};
  EXPECT_EQ(DefaultReportFile(ReportKind::kIngredients, session.sim, session.settings), "");
  EXPECT_EQ(ReportFileRequest(ReportKind::kIngredients, session.sim, session.settings).default_name,
            "*.dr1");
}

TEST_F(ReportCommandsTest, CompareReadsBothSavedSimulationsWithoutTouchingTheCurrentOne) {
  const std::string a = Save("a.ds1");
  // The second: other period lengths, another Base closure and no Base Rerun.
  session.sim.CMFCells(2, kBaseClosure) = "NEWCLS";
  session.sim.LengthPeriods.Fill(2);
  session.settings.options.NoRerun = true;
  const std::string b = Save("b.ds1");
  session.sim.CMFCells(2, kBaseClosure) = "CURRENT";
  const TSimRecord before = session.sim;

  prompter.file_answers = {{a}, {b}, {work + "/cmp.DRC"}};
  prompter.Answer(kYes);
  EXPECT_EQ(CompareTwoSimDetailsCommand(session, prompter), work + "/cmp.DRC");
  EXPECT_EQ(session.sim, before);
  ASSERT_EQ(prompter.file_requests.size(), 3u);
  EXPECT_EQ(prompter.file_requests[0].title, "First Sim Details File");
  EXPECT_EQ(prompter.file_requests[1].title, "Second Sim Details File");
  EXPECT_EQ(prompter.file_requests[2].title,
            "Report Differences in Closure/Shocks files between Two Simulations");
  EXPECT_EQ(prompter.Last().text,
            "Report of Closure/Shocks page has been written.\r\nDo you want to view the report "
            "now?");
  const std::string text = testing::ReadFileBytes(work + "/cmp.DRC");
  // Each summary as its own Sim Details say: the second has no Rerun and two-year periods.
  EXPECT_NE(text.find("Sim Name for Rerun is : BR1\n"), std::string::npos);
  EXPECT_EQ(text.find("Sim Name for Rerun is : BR1\n"),
            text.rfind("Sim Name for Rerun is : BR1\n"));
  EXPECT_NE(text.find("Last sim of Base produces data for year 2005\n"), std::string::npos);
  const std::string differences = text.substr(text.find("Summary of Differences"));
  EXPECT_EQ(differences,
            "Summary of Differences\n----------------------\n \n"
            "Year 1999 Base Closures. First is RUN99, second is NEWCLS\n");
}

TEST_F(ReportCommandsTest, CompareStopsAtAMissingStoreAndAtAStoreThatDoesNotRead) {
  const std::string a = Save("a.ds1");
  const std::string lone = scratch.Write("work/lone.ds1", "[Environment]\n");
  prompter.file_answers = {{a}, {lone}};
  EXPECT_EQ(CompareTwoSimDetailsCommand(session, prompter), std::nullopt);
  EXPECT_EQ(prompter.Last().text,
            "Associated file " + work + "/lone.ds2 does not exist.\r\nPlease try again.");

  scratch.Write("work/lone.ds2", "not a sim store\n");
  prompter.file_answers = {{a}, {lone}};
  EXPECT_EQ(CompareTwoSimDetailsCommand(session, prompter), std::nullopt);
  EXPECT_EQ(prompter.Last().kind, MessageKind::kError);
  EXPECT_TRUE(prompter.Last().text.ends_with("[CompareTwoSimDetails]")) << prompter.Last().text;
  EXPECT_FALSE(FileExists(work + "/orani-BS1B-BR1R-PL1P.DRC"));
}

}  // namespace
}  // namespace yl
