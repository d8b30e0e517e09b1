// The Sim Overview page with the demo loaded: its fields, the table following a new first
// year, leaving the page, and Sim Details saved and loaded back.

#include "ui/sim_overview_view.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>

#include "app/pages/closure_table.h"
#include "demo_window_support.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "settings/sim_details.h"
#include "ui/closure_shock_view.h"
#include "ui/omit_periods_dialog.h"
#include "ui/sol_method_dialog_widget.h"
#include "widget_driving_support.h"

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

TEST_F(SimOverviewViewTest, ChangeOpensTheSolutionMethodDialog) {
  WhenModal([](QWidget* w) {
    ASSERT_NE(qobject_cast<SolMethodDialogWidget*>(w), nullptr);
    EXPECT_EQ(w->windowTitle().toStdString(), "Choose Solution Method");
    w->findChild<QRadioButton*>("methodEuler")->click();
    w->findChild<QRadioButton*>("solutions2")->click();
    Accept(w);
  });
  view().findChild<QPushButton*>("changeMethod")->click();
  EXPECT_EQ(session().settings.methods.Normal.Method.Method, kEuler);
  EXPECT_EQ(view().solution_method()->text().toStdString(), "Euler: 3-4 steps extrapolation");
}

TEST_F(SimOverviewViewTest, RationalExpectationsGroup) {
  auto* do_re = view().findChild<QCheckBox*>();
  ASSERT_NE(do_re, nullptr);
  auto* base = view().findChild<QSpinBox*>("reIterationsBase");
  auto* rerun = view().findChild<QSpinBox*>("reIterationsRerun");
  auto* start = view().findChild<QSpinBox*>("rePolicyStart");
  EXPECT_FALSE(do_re->isChecked());
  EXPECT_FALSE(base->isVisible());
  do_re->click();
  Shoot("sim-overview-re.png");
  EXPECT_TRUE(session().settings.options.Re.DoRe);
  ASSERT_TRUE(base->isVisible());
  EXPECT_EQ(base->value(), 30);
  EXPECT_FALSE(rerun->isEnabled());  // one Rerun iteration unless the TAB file allows more
  base->setValue(12);
  start->setValue(1);
  EXPECT_EQ(session().settings.options.Re.BaseIterations, 12);
  EXPECT_EQ(session().settings.options.Re.PolicyStartYears, 1);
  // The note says where the Policy now starts.
  auto* label = view().findChild<QLabel*>("rePolicyStartLabel");
  ASSERT_NE(label, nullptr);
  EXPECT_TRUE(label->text().startsWith("years before first Policy shock (ie, with sim for "))
      << label->text().toStdString();
  // Hidden as the Options menu asks.
  session().settings.options.HideRe = true;
  view().Refresh();
  EXPECT_FALSE(do_re->isVisible());
}

TEST_F(SimOverviewViewTest, OmitSomePeriodsAtStart) {
  const int first = session().sim.FirstYear;
  const int years = session().sim.NumYears;
  WhenModal([](QWidget* w) {
    auto* d = qobject_cast<OmitPeriodsDialog*>(w);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->windowTitle().toStdString(), "Which Periods to Omit at the Start");
    EXPECT_EQ(d->label()->text().toStdString(),
              "Will not change the First Year Data files on the Model/Data page.");
    d->count()->setValue(2);
    d->replace()->setChecked(true);
    EXPECT_THAT(d->label()->text().toStdString(),
                ::testing::HasSubstr("produced by the simulation for year "));
    if (const char* dir = std::getenv("YL_SCREENSHOT_DIR")) {
      QApplication::processEvents();
      d->grab().save(QString("%1/omit-periods.png").arg(dir));
    }
    d->replace()->setChecked(false);
    Accept(d);
  });
  view().findChild<QPushButton*>("omitPeriods")->click();
  EXPECT_EQ(session().sim.FirstYear, first + 2);
  EXPECT_EQ(session().sim.NumYears, years - 2);
  EXPECT_EQ(view().first_year()->text().toStdString(), std::to_string(first + 2));
}

}  // namespace
}  // namespace yl::testing
