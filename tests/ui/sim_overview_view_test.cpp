// The Sim Overview page with the demo loaded: its fields, the table following a new first
// year, leaving the page, and Sim Details saved and loaded back.

#include "ui/sim_overview_view.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QTest>

#include "app/pages/closure_table.h"
#include "demo_window_support.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "settings/sim_details.h"
#include "ui/closure_shock_view.h"

namespace yl::testing {
namespace {

class SimOverviewViewTest : public DemoWindowTest {
 protected:
  void SetUp() override {
    DemoWindowTest::SetUp();
    ASSERT_TRUE(window().ShowPage(Page::kSimOverview));
  }
  SimOverviewView& view() { return window().overview_view(); }
};

TEST_F(SimOverviewViewTest, ShowsTheDemo) {
  Shoot("sim-overview.png");
  EXPECT_EQ(view().first_year()->text().toStdString(), std::to_string(sim.FirstYear));
  EXPECT_EQ(view().num_years()->text().toStdString(), std::to_string(sim.NumYears));
  for (int run = kBase; run <= kPolicy; ++run) {
    EXPECT_EQ(view().name(run)->text().toStdString(), sim.SimNames[run]);
  }
  EXPECT_EQ(view().working_dir()->text().toStdString(), work);
  const auto labels = view().findChildren<QLabel*>();
  auto shown = [&](const std::string& text) {
    for (QLabel* l : labels) {
      if (l->text().toStdString() == text) return true;
    }
    return false;
  };
  EXPECT_TRUE(shown("(i.e., Start from data for year " + std::to_string(sim.FirstYear - 1) + ")"));
  EXPECT_TRUE(shown("Base Case  [B]"));
  EXPECT_TRUE(shown("Policy  [P]"));
}

TEST_F(SimOverviewViewTest, ANewFirstYearMovesTheClosureShockTable) {
  QLineEdit* first = view().first_year();
  first->setFocus();
  first->selectAll();
  QTest::keyClicks(first, "2031");
  QTest::keyClick(first, Qt::Key_Return);
  EXPECT_EQ(session().sim.FirstYear, 2031);
  ASSERT_TRUE(window().ShowPage(Page::kClosureShock));
  QTableWidget* table = window().closure_view().table();
  EXPECT_EQ(table->item(GridRowOfTableRow(1), 0)->text().toStdString(), "2031");
  EXPECT_EQ(table->item(GridRowOfTableRow(sim.NumYears), 0)->text().toStdString(),
            std::to_string(2031 + sim.NumYears - 1));
}

TEST_F(SimOverviewViewTest, LeavingRefusesAnEndingYearPast9999) {
  session().sim.FirstYear = 9995;
  session().sim.LengthPeriods[1] = 2;  // periods no longer all one year
  EXPECT_FALSE(window().ShowPage(Page::kClosureShock));
  EXPECT_EQ(window().current_page(), Page::kSimOverview);
  EXPECT_EQ(prompter.Last().text,
            "Please adjust Starting Year and/or Number of Years on Sim Overview page so that "
            "ending year is at most 9999.");
}

TEST_F(SimOverviewViewTest, SavedDetailsLoadBackIntoTheSameRecord) {
  const TSimRecord before = session().sim;
  const std::string saved = scratch / "again.ds1";
  prompter.file_answers.push_back({saved});
  window().commands().Run("File > Save Simulation Details As...");
  ASSERT_TRUE(FileExists(saved)) << ::testing::PrintToString(prompter.Texts());
  session().sim.SimNames[kPolicy] = "XXX";
  session().sim.FirstYear = 1999;
  ASSERT_TRUE(window().commands().LoadSimDetailsFile(saved));
  EXPECT_EQ(session().sim, before);
  EXPECT_EQ(view().name(kPolicy)->text().toStdString(), before.SimNames[kPolicy]);
  EXPECT_EQ(window().commands().RecentFiles().front(), saved);
}

}  // namespace
}  // namespace yl::testing
