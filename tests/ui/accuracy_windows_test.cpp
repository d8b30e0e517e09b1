// The accuracy windows: the grid of faces over runs and years, and the detail of a solve
// that a face opens, on logs laid out as the model program writes them.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QToolButton>

#include "cmf/sol_method.h"
#include "demo_window_support.h"
#include "platform/files.h"
#include "support/acc_log_text.h"
#include "support/scratch_dir.h"
#include "ui/acc_detail_window.h"
#include "ui/acc_grid_window.h"
#include "ui/accuracy_faces.h"

namespace yl::testing {
namespace {

void SaveShot(QWidget* w, const char* name) {
  if (const char* dir = std::getenv("YL_SCREENSHOT_DIR")) {
    w->grab().save(QString("%1/%2").arg(dir, name));
  }
}

// Two runs of four years: the Base from 2021, the Policy from 2023; 2022 of the Base has
// no summary.
AccGrid SmallGrid(const ScratchDir& dir) {
  AccGrid g;
  g.updated_files = 1;
  const AccCounts good{0, 0, 0, 0, 0, 10, 90}, poor{0, 0, 0, 40, 30, 20, 10};
  for (int run : {kBase, kPolicy}) {
    AccGridRow row;
    row.run = run;
    row.name = run == kBase ? "Base" : "Policy";
    row.first_period = run == kBase ? 1 : 3;
    for (int p = 1; p <= 4; ++p) {
      AccGridCell c;
      c.period = p;
      c.year = 2020 + p;
      c.in_run = p >= row.first_period;
      c.log_path = dir / (row.name + std::to_string(p) + ".log");
      const bool summarised = c.in_run && !(run == kBase && p == 2);
      if (summarised) {
        const AccCounts& v = p == 3 ? poor : good;
        WriteFileAtomically(c.log_path, AccSubBlock(v, good));
        c.present = {true, true};
        c.of = {SummariseCounts(v), SummariseCounts(good)};
      }
      row.cells.push_back(c);
    }
    g.rows.push_back(row);
  }
  g.rows[0].cells[2].worst[kAccVariables] = true;  // 2023: the poorest of the Base
  return g;
}

TEST(AccuracyWindows, TheGridShowsFacesAndNotAvailableAndAFaceOpensItsSolve) {
  ScratchDir dir;
  ScriptedPrompter prompter;
  AccGridWindow grid(SmallGrid(dir), prompter, {});
  grid.resize(520, 360);
  grid.show();
  EXPECT_EQ(grid.windowTitle(), "Overall Accuracy Summaries for variables");
  EXPECT_EQ(grid.Cell(kBase, 2), nullptr);    // "N/A"
  EXPECT_EQ(grid.Cell(kPolicy, 1), nullptr);  // before the Policy's first year
  ASSERT_NE(grid.Cell(kBase, 3), nullptr);
  EXPECT_EQ(grid.Cell(kBase, 3)->text(), "5 V");
  EXPECT_EQ(grid.Cell(kBase, 1)->text(), "9");
  QStringList labels;
  for (QLabel* l : grid.findChildren<QLabel*>()) labels << l->text();
  EXPECT_TRUE(labels.contains("N/A"));
  EXPECT_TRUE(labels.contains("V: Worst Variables accuracy for run"));
  SaveShot(&grid, "accuracy-grid.png");

  grid.Cell(kBase, 3)->click();
  ASSERT_NE(grid.last_detail(), nullptr);
  EXPECT_EQ(grid.last_detail()->windowTitle(), "Base: Year 2023: whole simulation: variables");
  SaveShot(grid.last_detail(), "accuracy-detail.png");

  grid.tabs()->setCurrentIndex(1);
  EXPECT_EQ(grid.windowTitle(), "Overall Accuracy Summaries for data");
  ASSERT_NE(grid.Cell(kBase, 3), nullptr);
  EXPECT_EQ(grid.Cell(kBase, 3)->text(), "9");
}

TEST(AccuracyWindows, TheDetailFollowsItsListAndTabsAndShowsTheFacesWhileHeld) {
  AccSummary s;
  const AccCounts a{0, 0, 0, 0, 0, 10, 90}, b{0, 0, 0, 40, 30, 20, 10};
  for (int i = 1; i <= 2; ++i) {
    s.Slot(i).present = {true, true};
    s.Slot(i).of = {SummariseCounts(i == 1 ? a : b), SummariseCounts(a)};
  }
  s.used = 2;
  FindWorstSlots(s);
  ScriptedPrompter prompter;
  AccDetailWindow w(s, "", 7138, prompter, {});
  w.show();
  EXPECT_EQ(w.windowTitle(), "Accuracy Summary for Subinterval Number 2: variables");
  ASSERT_EQ(w.slots_list()->count(), 2);
  EXPECT_EQ(w.slots_list()->itemText(1), "Subinterval 2   5 worst   9");
  w.slots_list()->setCurrentIndex(0);
  EXPECT_EQ(w.windowTitle(), "Accuracy Summary for Subinterval Number 1: variables");
  w.tabs()->setCurrentIndex(1);
  EXPECT_EQ(w.windowTitle(), "Accuracy Summary for Subinterval Number 1: data");

  const int height = w.height();
  QTest::mousePress(w.face_hint(), Qt::LeftButton);
  EXPECT_TRUE(w.face_strip()->isVisible());
  QTest::qWait(50);
  EXPECT_GT(w.height(), height);
  QTest::mouseRelease(w.face_hint(), Qt::LeftButton);
  EXPECT_FALSE(w.face_strip()->isVisible());
}

TEST(AccuracyFaces, EachRatingHasItsOwnFace) {
  for (int r = 0; r < 10; ++r) {
    EXPECT_NE(FacePixmap(r, 32).toImage(), FacePixmap(r + 1, 32).toImage()) << r;
  }
}

class AccuracyButtonTest : public DemoWindowTest {};

TEST_F(AccuracyButtonTest, TheResultsPageButtonRunsTheCommandWhichRefusesWithoutThreeSolutions) {
  window().ShowPage(Page::kResults);
  auto* button = window().findChild<QPushButton*>("accuracy");
  ASSERT_NE(button, nullptr);
  EXPECT_TRUE(button->isEnabled());
  session().settings.methods.Normal.Method.NumSolutions = 1;
  button->click();
  EXPECT_EQ(prompter.Texts().back(),
            "No accuracy summaries are available since you are not extrapolating from 3 "
            "separate solutions.");
}

TEST_F(AccuracyButtonTest, AfterRunAllEveryYearOfEveryRunHasItsFace) {
  // A large shock and the crudest extrapolation spread the results over the figures.
  WriteFileBytes(WorkFile("base.bsh"), "shock y = uniform 1000 ;\n");
  TSolMethod& m = session().settings.methods.Normal.Method;
  m.Method = kEuler;
  m.NumSolutions = 3;
  m.Steps = {1, 2, 3};
  session().settings.options.FewerMessages = true;
  window().commands().RunButton(TaskKind::kRunAll);
  ASSERT_TRUE(WaitUntil([&] { return !desktop->app().TaskRunning(); }, 300000))
      << ::testing::PrintToString(prompter.Texts());
  ASSERT_TRUE(desktop->app().task_outcome()->success) << ::testing::PrintToString(prompter.Texts());

  window().ShowPage(Page::kResults);
  window().findChild<QPushButton*>("accuracy")->click();
  AccGridWindow* grid = window().findChild<AccGridWindow*>();
  ASSERT_NE(grid, nullptr) << ::testing::PrintToString(prompter.Texts());
  const AccGrid& g = grid->grid();
  ASSERT_EQ(g.rows.size(), 3u);
  int faces = 0;
  for (const AccGridRow& row : g.rows) {
    for (int p = row.first_period; p <= static_cast<int>(row.cells.size()); ++p) {
      EXPECT_NE(grid->Cell(row.run, p), nullptr) << row.name << " " << p;
      ++faces;
    }
  }
  EXPECT_EQ(faces, 10 + 7 + 7);
  QApplication::processEvents();
  SaveShot(grid, "accuracy-grid.png");
}

}  // namespace
}  // namespace yl::testing
