// The solution-method dialog as a user drives it: its controls follow the rules of the
// dialog model, a refused OK keeps it open, and only OK with a change reports one.

#include "ui/sol_method_dialog_widget.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>

#include "support/scripted_prompter.h"
#include "widget_driving_support.h"

namespace yl {
namespace {

using testing::ScriptedPrompter;

class SolMethodDialogWidgetTest : public ::testing::Test {
 protected:
  template <typename T>
  T* Find(SolMethodDialogWidget& d, const char* name) {
    T* w = d.findChild<T*>(name);
    EXPECT_NE(w, nullptr) << name;
    return w;
  }
  void Click(SolMethodDialogWidget& d, const char* name) {
    QTest::mouseClick(Find<QRadioButton>(d, name), Qt::LeftButton);
  }
  void Type(SolMethodDialogWidget& d, const char* field, const char* text) {
    QLineEdit* e = Find<QLineEdit>(d, field);
    e->selectAll();
    QTest::keyClicks(e, text);
  }

  ScriptedPrompter prompter;
  std::vector<int> help;
};

TEST_F(SolMethodDialogWidgetTest, ControlsFollowTheMethod) {
  SolMethodSetting johansen;  // the start-up method
  SolMethodDialogWidget d(johansen, false, prompter, nullptr);
  d.show();
  EXPECT_EQ(d.windowTitle().toStdString(), "Choose Solution Method");
  EXPECT_TRUE(Find<QRadioButton>(d, "methodJohansen")->isChecked());
  EXPECT_FALSE(Find<QRadioButton>(d, "solutions3")->isEnabled());
  EXPECT_FALSE(Find<QLineEdit>(d, "steps1")->isEnabled());
  EXPECT_FALSE(Find<QLineEdit>(d, "steps2")->isVisible());

  Click(d, "methodGragg");
  EXPECT_TRUE(Find<QRadioButton>(d, "solutions3")->isChecked());
  EXPECT_EQ(Find<QLineEdit>(d, "steps3")->text().toStdString(), "6");
  EXPECT_TRUE(Find<QSpinBox>(d, "subintervals")->isVisible());
  QCheckBox* aa = Find<QCheckBox>(d, "autoAccuracy");
  EXPECT_TRUE(aa->isEnabled());
  EXPECT_FALSE(Find<QGroupBox>(d, "accuracyGroup")->isVisible());
  aa->click();
  EXPECT_TRUE(Find<QGroupBox>(d, "accuracyGroup")->isVisible());
  EXPECT_EQ(Find<QSpinBox>(d, "subintervals")->value(), 2);  // the automatic-accuracy count
  if (const char* dir = std::getenv("YL_SCREENSHOT_DIR")) {
    QApplication::processEvents();
    d.grab().save(QString("%1/solution-method.png").arg(dir));
  }

  // Two solutions: no third step, no automatic accuracy.
  Click(d, "solutions2");
  EXPECT_FALSE(Find<QLineEdit>(d, "steps3")->isVisible());
  EXPECT_FALSE(aa->isEnabled());
  EXPECT_FALSE(aa->isChecked());
  EXPECT_FALSE(Find<QGroupBox>(d, "accuracyGroup")->isVisible());

  // Steps typed for Gragg come back after a visit to Euler.
  Type(d, "steps2", "8");
  Click(d, "methodEuler");
  EXPECT_EQ(Find<QLineEdit>(d, "steps1")->text().toStdString(), "3");
  Click(d, "methodGragg");
  EXPECT_EQ(Find<QLineEdit>(d, "steps2")->text().toStdString(), "8");
}

TEST_F(SolMethodDialogWidgetTest, RefusedOkKeepsTheDialogOpen) {
  SolMethodSetting johansen;
  SolMethodDialogWidget d(johansen, true, prompter, [this](int t) { help.push_back(t); });
  d.show();
  EXPECT_EQ(d.windowTitle().toStdString(), "Specify Alternative Solution Method");
  Click(d, "methodGragg");
  Type(d, "steps2", "3");
  testing::Accept(&d);
  EXPECT_TRUE(d.isVisible());
  EXPECT_EQ(prompter.Last().text, "For Gragg or MidPoint,\r\nSteps must be ALL odd or ALL even");
  EXPECT_FALSE(d.changed());

  Type(d, "steps2", "4");
  testing::Accept(&d);
  EXPECT_FALSE(d.isVisible());
  EXPECT_EQ(d.result(), QDialog::Accepted);
  ASSERT_TRUE(d.changed());
  EXPECT_EQ(SolMethodDescription(d.changed()->Method), "Gragg: 2-4-6 steps extrapolation");
}

TEST_F(SolMethodDialogWidgetTest, RunnerReportsOnlyAChange) {
  SolMethodSetting gragg;
  gragg.Method = GraggDefaultSolMethod();
  auto run = QtSolMethodDialogRunner(nullptr, prompter, nullptr);
  // OK without a change, Cancel after one, then OK after one.
  testing::WhenModal([](QWidget* w) { testing::Accept(w); });
  EXPECT_FALSE(run(gragg, false));
  testing::WhenModal([this](QWidget* w) {
    auto* d = static_cast<SolMethodDialogWidget*>(w);
    Click(*d, "methodMidpoint");
    d->reject();
  });
  EXPECT_FALSE(run(gragg, false));
  testing::WhenModal([this](QWidget* w) {
    auto* d = static_cast<SolMethodDialogWidget*>(w);
    Click(*d, "methodMidpoint");
    testing::Accept(d);
  });
  auto changed = run(gragg, false);
  ASSERT_TRUE(changed);
  EXPECT_EQ(changed->Method.Method, kMidpoint);
}

}  // namespace
}  // namespace yl
