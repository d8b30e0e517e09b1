// The real dialogs of the Qt prompter, answered by a "user" who acts once the dialog is up.

#include "ui/qt_prompter.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <functional>

#include "widget_driving_support.h"

namespace yl {
namespace {

using testing::Accept;
using testing::WhenModal;

TEST(QtNameFilters, ConvertsThePipeListToQtFilters) {
  EXPECT_EQ(QtNameFilters("Model data files|*.MDF").toStdString(), "Model data files (*.MDF)");
  EXPECT_EQ(QtNameFilters("Sim Details (*.ds1)|*.ds1|All files|*.*").toStdString(),
            "Sim Details (*.ds1);;All files (*.*)");
  EXPECT_EQ(QtNameFilters("Closure files|*.cls;*.bsh").toStdString(),
            "Closure files (*.cls *.bsh)");
  EXPECT_EQ(QtNameFilters("").toStdString(), "All files (*)");
}

TEST(QtPrompter, HelpOpensItsTopicAndLeavesTheQuestionUp) {
  std::vector<int> topics;
  QtPrompter prompter(nullptr, [&](int t) { topics.push_back(t); });
  std::string shown;
  WhenModal([&](QWidget* w) {
    auto* box = qobject_cast<QMessageBox*>(w);
    ASSERT_NE(box, nullptr);
    shown = box->text().toStdString();
    box->button(QMessageBox::Help)->click();
    EXPECT_TRUE(box->isVisible());
    box->button(QMessageBox::No)->click();
  });
  const Button b = prompter.Confirm("First line\r\nsecond line", kYes | kNo, 7085);
  EXPECT_EQ(b, kNo);
  EXPECT_EQ(topics, std::vector<int>{7085});
  EXPECT_EQ(shown, "First line\nsecond line");
}

TEST(QtPrompter, WorkThatAsksGetsACancelButtonUntilTheWaitWindowIsHidden) {
  QtPrompter prompter(nullptr, {});
  prompter.ShowProgress("Please Wait - Yearloom at work\r\nAdding files to Zip file");
  QProgressDialog* shown = nullptr;
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (auto* d = qobject_cast<QProgressDialog*>(w); d && d->isVisible()) shown = d;
  }
  ASSERT_NE(shown, nullptr);
  // A check that never asks keeps the window as it was: no button, not modal.
  EXPECT_EQ(shown->findChild<QPushButton*>(), nullptr);
  EXPECT_EQ(shown->windowModality(), Qt::NonModal);

  EXPECT_FALSE(prompter.ProgressCancelled());
  EXPECT_EQ(shown->windowModality(), Qt::ApplicationModal);
  QPushButton* cancel = shown->findChild<QPushButton*>();
  ASSERT_NE(cancel, nullptr);
  cancel->click();
  EXPECT_TRUE(prompter.ProgressCancelled());
  prompter.ShowProgress("Please Wait - Yearloom at work\r\n50% done");
  EXPECT_TRUE(prompter.ProgressCancelled());  // until the work has ended
  prompter.HideProgress();

  prompter.ShowProgress("Checking closures");
  EXPECT_EQ(shown->findChild<QPushButton*>(), nullptr);
  EXPECT_FALSE(shown->wasCanceled());
  prompter.HideProgress();
}

TEST(QtPrompter, TheSmallDialogsGiveWhatTheUserChose) {
  QtPrompter prompter(nullptr, {});
  WhenModal([](QWidget* w) {
    w->findChild<QLineEdit*>()->setText("PXQ");
    Accept(w);
  });
  EXPECT_EQ(prompter.AskText({"Name", "New name", "ABC", 0}), "PXQ");

  ChoiceRequest choice;
  choice.caption = "Which parts to load?";
  choice.options = {"Load all", "Model/Data", "Sim Details"};
  choice.initial = {0};
  WhenModal([](QWidget* w) {
    w->findChildren<QRadioButton*>()[2]->setChecked(true);
    Accept(w);
  });
  EXPECT_EQ(prompter.Choose(choice), std::vector<int>{2});

  CheckListRequest checks;
  checks.items = {"Base", "Rerun", "Policy"};
  checks.checked = {true, false, false};
  WhenModal([](QWidget* w) {
    w->findChildren<QCheckBox*>()[1]->setChecked(true);
    Accept(w);
  });
  EXPECT_EQ(prompter.CheckItems(checks), (std::vector<bool>{true, true, false}));

  WhenModal([](QWidget* w) { qobject_cast<QDialog*>(w)->reject(); });
  EXPECT_EQ(prompter.AskInteger({"Omit", "How many?", 1, 1, 5, 0}), std::nullopt);
}

}  // namespace
}  // namespace yl
