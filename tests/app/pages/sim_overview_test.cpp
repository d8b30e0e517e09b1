#include "app/pages/sim_overview.h"

#include <gtest/gtest.h>

#include "sim/sim_test_fixture.h"
#include "support/scratch_dir.h"
#include "support/scripted_prompter.h"

namespace yl {
namespace {

using testing::MakeSim;
using testing::ScratchDir;
using testing::ScriptedPrompter;

TEST(SimNames, EditingFollowsThePatternOfTheOldName) {
  ScratchDir d;
  auto sim = MakeSim(d.path(), 2001, 4);
  sim->CMFCells(3, 1) = "BS1B2003";
  sim->CMFCells(4, 2) = "BS1B2004";
  sim->CMFCells(2, 2) = "BS1B2003";  // a pattern name of another year is not the pattern
  sim->CMFCells(3, 3) = "PL1P2003";
  sim->CMFCells(4, 4) = "PL1P2004";
  sim->CMFCells(2, 3) = "BR1R2002";
  ScriptedPrompter p;

  EXPECT_EQ(EditSimName(*sim, kBase, "ab", {}, p), "ABZ");
  EXPECT_EQ(sim->SimNames[kBase], "ABZ");
  EXPECT_EQ(sim->CMFCells(3, 1), "ABZB2003");
  EXPECT_EQ(sim->CMFCells(4, 2), "ABZB2004");
  EXPECT_EQ(sim->CMFCells(2, 2), "BS1B2003");
  EXPECT_EQ(sim->CMFFullNames(3, 1), "ABZB2003.CLS");

  EditSimName(*sim, kRerun, "XY1", {}, p);  // the Rerun's name changes no cell
  EXPECT_EQ(sim->CMFCells(2, 3), "BR1R2002");

  EditSimName(*sim, kPolicy, "pq2", {}, p);
  EXPECT_EQ(sim->CMFCells(3, 3), "PQ2P2003");
  EXPECT_EQ(sim->CMFCells(4, 4), "PQ2P2004");

  SimNameEditSettings ignore;
  ignore.UsePatterns = false;
  EditSimName(*sim, kPolicy, "ZZ9", ignore, p);
  EXPECT_EQ(sim->CMFCells(3, 3), "PQ2P2003");
  EXPECT_TRUE(p.messages.empty());  // no model: no saved-details check
}

TEST(SimNames, UnchangedTextStoresNothing) {
  ScratchDir d;
  auto sim = MakeSim(d.path());
  sim->CMFCells(1, 1) = "BS1B2001";
  ScriptedPrompter p;
  EXPECT_EQ(EditSimName(*sim, kBase, "bs1", {}, p), "BS1");
  EXPECT_EQ(sim->CMFCells(1, 1), "BS1B2001");
}

TEST(SimNames, SavedDetailsForTheNewNamesAreMentioned) {
  ScratchDir d;
  auto sim = MakeSim(d.path());
  d.Write("mymod-NEWB-BR1R-PL1P.ds1", "");
  d.Write("mymod-NEWB-PL1P.ds1", "");
  const std::string tail =
      "You have previously saved Simulation Details relating to these names.\r\n"
      "Maybe you really intended to load these Simulation Details.\r\n"
      "[Loading these Simulation Details will load the information you saved earlier\r\n"
      "  to the Model/Data, Sim Overview and Closure/Shock pages.\r\n"
      " It will also load information about when you have run parts of the Base etc.]\r\n"
      "You can load these Simulation Details via the menu item\r\n"
      " \"Load Simulation Details...\" under the File menu.";
  struct Case {
    bool no_rerun;
    const char* line;
  };
  for (const Case& c : {Case{false, "   Base: NEW   Rerun: BR1   Policy: PL1"},
                        Case{true, "   Base: NEW   Policy: PL1"}}) {
    sim->SimNames[kBase] = "BS1";
    ScriptedPrompter p;
    SimNameEditSettings s;
    s.ModelName = "mymod";
    s.NoRerun = c.no_rerun;
    EditSimName(*sim, kBase, "new", s, p);
    ASSERT_EQ(p.messages.size(), 1u);
    EXPECT_EQ(p.Last().text,
              std::string("You have changed the Sim Names to:\r\n") + c.line + "\r\n" + tail);
    EXPECT_EQ(p.Last().kind, MessageKind::kInformation);
    EXPECT_TRUE(p.Last().buttons & kHelp);
    EXPECT_EQ(p.Last().help_topic, kHelpSimOverview);
  }
  ScriptedPrompter quiet;
  SimNameEditSettings s;
  s.ModelName = "mymod";
  EditSimName(*sim, kBase, "OTH", s, quiet);  // no saved details for OTH
  EXPECT_TRUE(quiet.messages.empty());
}

TEST(EndYearCheck, LastYearAtMost9999) {
  ScratchDir d;
  const std::string msg =
      "Please adjust Starting Year and/or Number of Years on Sim Overview page so that ending "
      "year is at most 9999.";
  struct Case {
    int first_year;
    int num_years;
    bool accepted;
  } cases[] = {{9990, 11, false}, {9990, 10, true}, {2001, 999, true}};
  for (const Case& c : cases) {
    auto sim = MakeSim(d.path(), c.first_year, c.num_years);
    ScriptedPrompter p;
    EXPECT_EQ(EndYearCheck(*sim, p).Accepted, c.accepted);
    EXPECT_EQ(TableSetup(*sim, false, p).has_value(), c.accepted);
    if (c.accepted) {
      EXPECT_TRUE(p.messages.empty());
    } else {
      ASSERT_EQ(p.messages.size(), 2u);
      EXPECT_EQ(p.Last().text, msg);
    }
  }
  auto sim = MakeSim(d.path());
  sim->NumYears = 0;
  ScriptedPrompter p;
  EndYearOutcome out = EndYearCheck(*sim, p);
  EXPECT_TRUE(out.Accepted);
  EXPECT_TRUE(out.OverviewChanged);
  EXPECT_EQ(sim->NumYears, 1);
}

TEST(TableSetup, LengtheningShowsResetRowsNotOldCells) {
  ScratchDir d;
  auto sim = MakeSim(d.path(), 2001, 8);
  for (int k = 6; k <= 8; ++k) {
    sim->CMFCells(k, 1) = "old";
    sim->CMFCells(k, 4) = "oldpsh";
  }
  ScriptedPrompter p;
  sim->NumYears = 5;
  ASSERT_TRUE(TableSetup(*sim, false, p));
  sim->NumYears = 8;
  auto view = TableSetup(*sim, false, p);
  ASSERT_TRUE(view);
  for (int k = 6; k <= 8; ++k) {
    EXPECT_EQ(sim->CMFCells(k, 1), "?");
    EXPECT_EQ(sim->CMFCells(k, 2), "?");
    EXPECT_EQ(sim->CMFCells(k, 3), "?");
    EXPECT_EQ(sim->CMFCells(k, 4), "");
  }
  EXPECT_EQ(view->RowLabels.size(), 12u);
  sim->CMFCells(1, 1) = "lower";
  TableSetup(*sim, false, p);
  EXPECT_EQ(sim->CMFCells(1, 1), "LOWER");
  EXPECT_EQ(sim->CMFFullNames(1, 1), "LOWER.CLS");
}

}  // namespace
}  // namespace yl
