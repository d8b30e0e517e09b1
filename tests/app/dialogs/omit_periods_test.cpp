#include "app/dialogs/omit_periods.h"

#include <gtest/gtest.h>

#include "core/internal_error.h"
#include "sim/sim_test_fixture.h"
#include "support/scratch_dir.h"
#include "support/scripted_prompter.h"

namespace yl {
namespace {

using testing::MakeSim;
using testing::ScratchDir;
using testing::ScriptedPrompter;

const char* kNoChange =
    "Omitting some years at the start.\r\nNo change has been made because of the earlier "
    "message.";

class OmitTest : public ::testing::Test {
 protected:
  OmitTest() : sim(MakeSim(dir.path(), 2001, 5)) {
    testing::UseRoleModel(*sim);
    for (int k = 1; k <= 5; ++k) {
      sim->CMFCells(k, 1) = "CL" + std::to_string(k);
      sim->CMFCells(k, 4) = k == 4 ? "PS4" : "";
    }
    first_year = {"File DAT = dat0.har ; ! the DAT", "File LAG = lag0.har ; ! the LAG",
                  "File CON = con0.har ; ! the CON", "File POL = pol0.har ; ! the POL"};
  }
  // Every file the Base's period 3 reads exists.
  void WriteBaseFiles() {
    dir.Write("dat-bs1b-2002.har", "");
    dir.Write("dat-bs1b-2001.har", "");
    dir.Write("con0.har", "");
    dir.Write("pol-bs1b-2002.har", "");
  }
  ScratchDir dir;
  std::unique_ptr<TSimRecord> sim;
  std::vector<std::string> first_year;
};

TEST_F(OmitTest, MovesRowsAndYearsWithoutTouchingTheData) {
  sim->AltMethodYears[4] = true;
  ScriptedPrompter p;
  const auto before = first_year;
  ASSERT_TRUE(OmitPeriodsAtStart(*sim, {2, false}, first_year, nullptr, p));
  EXPECT_EQ(sim->NumYears, 3);
  EXPECT_EQ(sim->FirstYear, 2003);
  EXPECT_EQ(sim->Years[1], 2003);
  EXPECT_EQ(sim->CMFCells(1, 1), "CL3");
  EXPECT_EQ(sim->CMFCells(3, 1), "CL5");
  EXPECT_EQ(sim->CMFCells(2, 4), "PS4");
  EXPECT_EQ(sim->CMFCells(4, 1), "?");
  EXPECT_EQ(sim->CMFCells(4, 4), "");
  EXPECT_TRUE(sim->AltMethodYears[2]);  // the flag stays with its year
  EXPECT_EQ(first_year, before);
  EXPECT_TRUE(p.messages.empty());
}

TEST_F(OmitTest, LongPeriodsKeepTheirYears) {
  sim->LengthPeriods[1] = 2;
  sim->LengthPeriods[2] = 3;
  sim->LengthPeriods[3] = 2;
  RecomputeYears(*sim);
  const int year3 = sim->Years[3];
  ScriptedPrompter p;
  ASSERT_TRUE(OmitPeriodsAtStart(*sim, {2, false}, first_year, nullptr, p));
  EXPECT_EQ(sim->Years[1], year3);
  EXPECT_EQ(sim->LengthPeriods[1], 2);
}

TEST_F(OmitTest, OnePeriodCannotBeOmitted) {
  sim->NumYears = 1;
  ScriptedPrompter p;
  EXPECT_FALSE(OmitPeriodsAtStart(*sim, {1, false}, first_year, nullptr, p));
  EXPECT_EQ(p.Texts(),
            std::vector<std::string>{
                "There is only one year on the Closure/Shocks page so you cannot omit it."});
  EXPECT_EQ(sim->FirstYear, 2001);
}

TEST_F(OmitTest, CountOutsideTheDialogRangeIsAnInternalError) {
  ScriptedPrompter p;
  EXPECT_THROW(OmitPeriodsAtStart(*sim, {5, false}, first_year, nullptr, p), InternalError);
  EXPECT_THROW(OmitPeriodsAtStart(*sim, {0, false}, first_year, nullptr, p), InternalError);
  EXPECT_EQ(sim->NumYears, 5);
}

TEST_F(OmitTest, ReplacingTheFirstYearData) {
  WriteBaseFiles();
  ScriptedPrompter p;
  int asked = 0;
  auto complete = [&](int n) {
    asked = n;
    return std::string();
  };
  ASSERT_TRUE(OmitPeriodsAtStart(*sim, {2, true}, first_year, complete, p));
  EXPECT_EQ(asked, 2);
  EXPECT_TRUE(p.messages.empty());
  EXPECT_EQ(first_year, (std::vector<std::string>{
                            "File DAT = " + (dir / "dat-bs1b-2002.har") + " ; ! the DAT",
                            "File LAG = " + (dir / "dat-bs1b-2001.har") + " ; ! the LAG",
                            "File CON = " + (dir / "con0.har") + " ; ! the CON",
                            "File POL = " + (dir / "pol-bs1b-2002.har") + " ; ! the POL",
                        }));
}

TEST_F(OmitTest, IncompleteBaseAsksAndCancelChangesNothing) {
  WriteBaseFiles();
  const auto before = first_year;
  for (Button answer : {kCancel, kYes}) {
    auto sim_copy = std::make_unique<TSimRecord>(*sim);
    ScriptedPrompter p;
    p.Answer(answer);
    bool done = OmitPeriodsAtStart(
        *sim_copy, {2, true}, first_year, [](int) { return std::string("Base for year 2002"); }, p);
    EXPECT_EQ(done, answer == kYes);
    ASSERT_FALSE(p.messages.empty());
    EXPECT_EQ(p.messages[0].text,
              "It seems that you have not completed the Base for year 2002\r\nDo you wish to "
              "continue? [Click on \"Yes\" to continue or \"Cancel\" to stop.]");
    EXPECT_EQ(p.messages[0].kind, MessageKind::kConfirmation);
    EXPECT_EQ(p.messages[0].buttons, static_cast<ButtonSet>(kYes | kCancel));
    if (answer == kCancel) {
      EXPECT_EQ(p.Texts().back(), kNoChange);
      EXPECT_EQ(*sim_copy, *sim);
      EXPECT_EQ(first_year, before);
    } else {
      EXPECT_EQ(sim_copy->NumYears, 3);
    }
  }
}

TEST_F(OmitTest, MissingDataFilesAreAskedAboutOneByOne) {
  dir.Write("dat-bs1b-2002.har", "");
  dir.Write("con0.har", "");
  ScriptedPrompter p;
  p.Answer(kYes);  // LAG's file is missing: continue
  p.Answer(kYes);  // POL's file is missing: continue
  ASSERT_TRUE(OmitPeriodsAtStart(*sim, {2, true}, first_year, nullptr, p));
  ASSERT_EQ(p.messages.size(), 2u);
  EXPECT_EQ(p.messages[0].text,
            "Data file \r\n   " + (dir / "dat-bs1b-2001.har") +
                "\r\ndoes not exist.\r\nThis is one of the data files you have asked to be put "
                "in the\r\n First Year Data on the Model/Data page.\r\nDo you wish to continue? "
                "[Click on \"Yes\" to continue or \"Cancel\" to stop.]");
  EXPECT_EQ(first_year[1], "File LAG = ?? ; ! the LAG");
  EXPECT_EQ(first_year[3], "File POL = ?? ; ! the POL");

  auto fresh = MakeSim(dir.path(), 2001, 5);
  testing::UseRoleModel(*fresh);
  ScriptedPrompter q;
  q.Answer(kCancel);
  std::vector<std::string> list = {"File DAT = dat0.har ;"};
  EXPECT_FALSE(OmitPeriodsAtStart(*fresh, {2, true}, list, nullptr, q));
  EXPECT_EQ(q.Texts().back(), kNoChange);
  EXPECT_EQ(fresh->NumYears, 5);
  EXPECT_EQ(list, std::vector<std::string>{"File DAT = dat0.har ;"});
}

TEST_F(OmitTest, DialogTexts) {
  OmitDialogTexts t = OmitPeriodsDialogTexts(*sim, 2);
  EXPECT_EQ(t.Title, "Which Periods to Omit at the Start");
  EXPECT_EQ(t.ReplaceLabel,
            "Will change First Year Data files (Model/Data page) to the files\r\n produced by the "
            "simulation for year 2002 of the Base.");
  EXPECT_EQ(t.CountCaption, "Number of periods (simulations) to omit at the start :");
  EXPECT_EQ(t.Explanation,
            (std::vector<std::string>{
                "Please specify the number of periods (simulations) to omit at the start.",
                "This will remove that number of rows from the top of the Closure/Shocks page.",
                "It will also decrease the Number of periods shown on the Sim Overview page",
                " and will increase the Year of the Starting Data shown there accordingly.",
                "Please also indicate whether or not you want the First Year Data ",
                " files (Model/Data) page changed."}));
  EXPECT_EQ(t.PeriodYears, (std::vector<std::string>{"2001", "2002", "2003", "2004", "2005"}));
  EXPECT_EQ(t.Initial, 1);
  EXPECT_EQ(t.Max, 4);
}

// The command as the menu and the Sim Overview button run it: the dialog's answer, the
// label it shows, and the Base's completion read from the run records.
TEST_F(OmitTest, CommandAsksThenOmits) {
  Session session;
  session.sim = *sim;
  session.settings.paths.keep_dir = dir.MakeDir("keep");
  session.settings.first_year_files = first_year;
  ScriptedPrompter p;
  std::vector<OmitDialogTexts> asked;
  auto answer = [&](std::optional<OmitRequest> r) {
    return [&asked, r](const OmitDialogTexts& t, const TSimRecord&) {
      asked.push_back(t);
      return r;
    };
  };
  EXPECT_FALSE(OmitSomePeriodsAtStart(session, answer(std::nullopt), p));
  EXPECT_EQ(session.sim, *sim);
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0].Title, "Which Periods to Omit at the Start");
  EXPECT_EQ(asked[0].Max, 4);
  EXPECT_EQ(OmitReplaceLabel(*sim, 2, false),
            "Will not change the First Year Data files on the Model/Data page.");
  EXPECT_EQ(OmitReplaceLabel(*sim, 2, true),
            "Will change First Year Data files (Model/Data page) to the files\r\n produced by "
            "the simulation for year 2002 of the Base.");

  // Nothing of the Base has run, so the records say what is missing first.
  EXPECT_EQ(BaseCompletionFromRecords(session)(2),
            "simulation for year 2001 (period number 1) of the Base");
  p.Answer(kCancel);
  EXPECT_FALSE(OmitSomePeriodsAtStart(session, answer(OmitRequest{2, true}), p));
  EXPECT_EQ(p.messages.front().text,
            "It seems that you have not completed the simulation for year 2001 (period number 1) "
            "of the Base\r\nDo you wish to continue? [Click on \"Yes\" to continue or "
            "\"Cancel\" to stop.]");
  EXPECT_EQ(p.Last().text, kNoChange);
  EXPECT_EQ(session.sim.NumYears, 5);

  ASSERT_TRUE(OmitSomePeriodsAtStart(session, answer(OmitRequest{2, false}), p));
  EXPECT_EQ(session.sim.NumYears, 3);
  EXPECT_EQ(session.sim.FirstYear, sim->FirstYear + 2);
  EXPECT_EQ(session.sim.CMFCells(1, 1), "CL3");
  EXPECT_EQ(session.settings.first_year_files, first_year);

  // One period left: nothing to omit, and the dialog is not shown.
  session.sim.NumYears = 1;
  asked.clear();
  EXPECT_FALSE(OmitSomePeriodsAtStart(session, answer(OmitRequest{1, false}), p));
  EXPECT_TRUE(asked.empty());
  EXPECT_EQ(p.Last().text,
            "There is only one year on the Closure/Shocks page so you cannot omit it.");
}

}  // namespace
}  // namespace yl
