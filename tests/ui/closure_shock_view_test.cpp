// The Closure/Shock page with the demo loaded: what it shows, Follow Pattern on a
// selection, the table following the years, and a cell's check run by the model program.

#include "ui/closure_shock_view.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include "demo_window_support.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "sim/sim_table.h"
#include "support/program_run.h"
#include "widget_driving_support.h"

namespace yl::testing {
namespace {

using ::testing::HasSubstr;

class ClosureShockViewTest : public DemoWindowTest {
 protected:
  void SetUp() override {
    DemoWindowTest::SetUp();
    ASSERT_TRUE(window().ShowPage(Page::kClosureShock));
    table = window().closure_view().table();
  }
  std::string Cell(int grid_row, int col) const {
    return table->item(grid_row, col)->text().toStdString();
  }

  QTableWidget* table = nullptr;
};

TEST_F(ClosureShockViewTest, ShowsTheDemoTableWithItsColours) {
  Shoot("closure-shock.png");
  ASSERT_EQ(table->rowCount(), sim.NumYears + 4);
  EXPECT_EQ(Cell(kGridPatternRow, 0), "Pattern");
  EXPECT_EQ(table->currentRow(), GridRowOfTableRow(1));
  // Every cell of the demo names a file that exists: nothing is red or green.
  for (int r = kGridCMFStartRow; r < table->rowCount(); ++r) {
    for (int c = 1; c <= 4; ++c) {
      const QColor colour = table->item(r, c)->foreground().color();
      EXPECT_NE(colour, QColor(255, 0, 0)) << r << "," << c << " " << Cell(r, c);
      EXPECT_NE(colour, QColor(0, 128, 0)) << r << "," << c << " " << Cell(r, c);
    }
  }
  // A cell whose file is gone turns red.
  const int row = GridRowOfTableRow(0);
  const std::string common = Cell(row, 1);
  ASSERT_FALSE(common.empty());
  table->item(row, 1)->setText("NOSUCH");
  EXPECT_EQ(Cell(row, 1), "NOSUCH.CLS");  // a closure cell takes its extension
  EXPECT_EQ(table->item(row, 1)->foreground().color(), QColor(255, 0, 0));
}

TEST_F(ClosureShockViewTest, FollowPatternFillsTheSelectedCells) {
  const int first = GridRowOfTableRow(2);
  table->item(first, 2)->setText("");
  table->item(first + 1, 2)->setText("");
  table->clearSelection();
  table->setCurrentCell(first, 2, QItemSelectionModel::Select);
  table->setCurrentCell(first + 1, 2, QItemSelectionModel::Select);
  auto* follow = desktop->window().closure_view().findChild<QPushButton*>();
  ASSERT_NE(follow, nullptr);
  ASSERT_EQ(follow->text(), "Follow Pattern");
  follow->click();
  const std::string expected = CellPatternName(desktop->app().session().sim, 2, 2, false);
  EXPECT_EQ(desktop->app().session().sim.CMFCells(2, 2), expected);
  EXPECT_EQ(desktop->app().session().sim.CMFCells(3, 2),
            CellPatternName(desktop->app().session().sim, 3, 2, false));
}

TEST_F(ClosureShockViewTest, RightClickChecksAClosureWithTheModelProgram) {
  const int row = GridRowOfTableRow(1);
  table->setCurrentCell(row, 1);
  PickFromMenu("Check &Closure");
  desktop->window().closure_view().ShowMenuAt(row, 1, QPoint(10, 10));
  // The check runs as a background job of the model program; the wait window shows it.
  ASSERT_TRUE(desktop->app().background().Busy()) << ::testing::PrintToString(prompter.Texts());
  ASSERT_TRUE(WaitUntil([&] { return !desktop->app().background().Busy(); }, 60000));
  EXPECT_EQ(prompter.Texts(), std::vector<std::string>{"Closure is ok."});
}

TEST_F(ClosureShockViewTest, APeriodsMenuSpecifiesTheAlternativeMethod) {
  WhenModal([](QWidget* w) {
    EXPECT_EQ(w->windowTitle().toStdString(), "Specify Alternative Solution Method");
    w->findChild<QRadioButton*>("methodMidpoint")->click();
    Accept(w);
  });
  PickFromMenu("Specify the alternative solution method");
  const QRect r = table->visualItemRect(table->item(GridRowOfTableRow(2), 0));
  Q_EMIT table->customContextMenuRequested(r.center());
  EXPECT_EQ(session().settings.methods.Alternative.Method.Method, kMidpoint);
  EXPECT_EQ(prompter.Last().text,
            "Alternative solution method changed to:\r\n   Midpoint: 2-4-6 steps extrapolation");
  // Used for that period, it marks the year.
  PickFromMenu("Use the alternative solution method for THIS year");
  Q_EMIT table->customContextMenuRequested(r.center());
  EXPECT_TRUE(session().sim.AltMethodYears[2]);
  EXPECT_EQ(Cell(GridRowOfTableRow(2), 0), std::to_string(session().sim.Years[2]) + "*");
}

}  // namespace
}  // namespace yl::testing
