// Every small dialog opened with the demo loaded, as a user meets it: its caption, its
// texts and what its buttons give back.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>

#include "app/dialogs/file_list.h"
#include "app/dialogs/results_to_save.h"
#include "demo_window_support.h"
#include "platform/paths.h"
#include "ui/about_dialog.h"
#include "ui/qt_prompter.h"
#include "ui/results_to_save_dialog.h"
#include "ui/tasks_dialog_widget.h"
#include "ui/wait_window.h"
#include "widget_driving_support.h"

namespace yl::testing {
namespace {

// Runs `act` once a modal widget of type T is showing (a dialog may already be up).
template <typename T>
void WhenModalOf(std::function<void(T*)> act) {
  auto* timer = new QTimer;
  timer->setInterval(5);
  QObject::connect(timer, &QTimer::timeout, [timer, act] {
    auto* w = qobject_cast<T*>(QApplication::activeModalWidget());
    if (!w) return;
    timer->stop();
    timer->deleteLater();
    act(w);
  });
  timer->start();
}

void SaveShot(QWidget* w, const char* name) {
  if (const char* dir = std::getenv("YL_SCREENSHOT_DIR")) {
    w->grab().save(QString("%1/%2").arg(dir, name));
  }
}

QPushButton* ButtonCaptioned(QWidget* w, const QString& text) {
  for (QPushButton* b : w->findChildren<QPushButton*>()) {
    if (b->text() == text) return b;
  }
  return nullptr;
}

QStringList LabelTexts(QWidget* w) {
  QStringList out;
  for (QLabel* l : w->findChildren<QLabel*>()) out << l->text();
  return out;
}

class SmallDialogsTest : public DemoWindowTest {};

TEST_F(SmallDialogsTest, TheAboutBoxSaysWhatRunsAndItsIconSwitchesDeveloperModeOn) {
  session().settings.options.DeveloperMode = false;
  QStringList labels;
  QString title;
  WhenModal([&](QWidget* w) {
    title = w->windowTitle();
    labels = LabelTexts(w);
    SaveShot(w, "about-box.png");
    w->findChild<QToolButton*>("aboutIcon")->click();
    Accept(w);
  });
  ASSERT_TRUE(window().commands().Run("Help > About Yearloom"));
  EXPECT_EQ(title, "About Yearloom");
  EXPECT_TRUE(labels.contains("For Linux."));
  EXPECT_TRUE(labels.filter(QRegularExpression(R"(^Version \d+\.\d+\.\d+ .*   \(built )")).size() ==
              1)
      << labels.join('|').toStdString();
  EXPECT_EQ(labels.filter(QRegularExpression(R"(^\[Detected \d+ CPUs?\.\]$)")).size(), 1);
  EXPECT_TRUE(session().settings.options.DeveloperMode);
  EXPECT_EQ(prompter.Texts().back(), "Going into Developer mode (be careful).");

  // Closed without a click: off again, and said so.
  WhenModal([](QWidget* w) { Accept(w); });
  ASSERT_TRUE(window().commands().Run("Help > About Yearloom"));
  EXPECT_FALSE(session().settings.options.DeveloperMode);
  EXPECT_EQ(prompter.Texts().back(), "[No longer in Developer mode.]");
}

TEST_F(SmallDialogsTest, TheTasksAndOmitDialogsOpenFromTheirMenus) {
  QString tasks_title;
  QStringList groups;
  WhenModal([&](QWidget* w) {
    tasks_title = w->windowTitle();
    for (QGroupBox* g : w->findChildren<QGroupBox*>()) groups << g->title();
    ButtonCaptioned(w, "&Cancel")->click();
  });
  ASSERT_TRUE(window().commands().Run("Tasks > Run part of Base Case"));
  EXPECT_EQ(tasks_title, "Which of the Base to do ?");  // "Which Tasks to Do", for one run
  EXPECT_TRUE(groups.contains(" Which Years to Do ")) << groups.join('|').toStdString();

  // The whole dialog, as the tasks over all three runs show it.
  TasksDialogSetup all;
  for (int y = 2021; y <= 2030; ++y) all.years.push_back(std::to_string(y));
  all.end = 9;
  all.none_shown = all.runs_shown = true;
  all.runs = all.runs_enabled = {false, true, true, true};
  groups.clear();
  WhenModal([&](QWidget* w) {
    tasks_title = w->windowTitle();
    for (QGroupBox* g : w->findChildren<QGroupBox*>()) groups << g->title();
    SaveShot(w, "tasks-dialog.png");
    ButtonCaptioned(w, "&Cancel")->click();
  });
  EXPECT_FALSE(QtAskTasks(&window(), {})(all));
  EXPECT_EQ(tasks_title, "Which Tasks to Do");
  EXPECT_EQ(groups, (QStringList{" Which Years to Do ", "Base, Rerun, Policy ? "}));

  QString omit_title;
  WhenModal([&](QWidget* w) {
    omit_title = w->windowTitle();
    w->close();
  });
  ASSERT_TRUE(window().commands().Run("File > Omit Some Periods at the Start"));
  EXPECT_EQ(omit_title, "Which Periods to Omit at the Start");
}

TEST_F(SmallDialogsTest, WhichResultsToSaveShowsItsGroupsWithTheirDefaults) {
  AskResultsToSave ask = QtAskResultsToSave(&window(), {});
  QStringList groups;
  WhenModal([&](QWidget* w) {
    EXPECT_EQ(w->windowTitle(), "Which Results to Save");
    for (QGroupBox* g : w->findChildren<QGroupBox*>()) groups << g->title();
    auto* d = static_cast<ResultsToSaveDialog*>(w);
    EXPECT_TRUE(d->box(kSaveSolutionFiles)->isChecked());
    EXPECT_FALSE(d->box(kSaveSeqFiles)->isChecked());
    d->box(kSaveSeqFiles)->setChecked(true);
    d->box(kSaveSlcFiles)->setChecked(false);
    ButtonCaptioned(w, "&OK")->click();
  });
  const auto answer = ask(DefaultResultsToSave(), 0);
  ASSERT_TRUE(answer);
  ResultsToSave expected = DefaultResultsToSave();
  expected[kSaveSeqFiles] = true;
  expected[kSaveSlcFiles] = false;
  EXPECT_EQ(*answer, expected);
  EXPECT_EQ(groups, (QStringList{" Results for Individual Years ",
                                 " Spreadsheets and Results RSL files Covering All Years ",
                                 " Other Outputs  "}));
}

TEST_F(SmallDialogsTest, TheJobStatusOverviewRefreshesUntilOk) {
  QtPrompter qt(&window(), {});
  TextWindowRequest r{"Job Status Overview", "[Nothing is running.]", 7085, true};
  QString text;
  WhenModal([&](QWidget* w) {
    EXPECT_EQ(w->windowTitle(), "Job Status Overview");
    text = w->findChild<QPlainTextEdit*>("windowText")->toPlainText();
    ButtonCaptioned(w, "&Refresh")->click();
  });
  EXPECT_EQ(qt.ShowTextWindow(r), kRetry);
  EXPECT_EQ(text, "[Nothing is running.]");
  WhenModal([](QWidget* w) { Accept(w); });
  EXPECT_EQ(qt.ShowTextWindow(r), kOk);
}

TEST_F(SmallDialogsTest, TheFileListAddsFromTheChooserAndRefusesADeleteWithoutASelection) {
  QtPrompter qt(&window(), {});
  FileListRequest r;
  r.caption = "Extra files for the archive";
  r.files = {WorkFile("a.cmf")};
  QStringList buttons;
  std::string refusal;
  WhenModal([&](QWidget* w) {
    EXPECT_EQ(w->windowTitle(), "Extra files for the archive");
    for (QPushButton* b : w->findChildren<QPushButton*>()) buttons << b->text();
    WhenModalOf<QMessageBox>([&](QMessageBox* box) {
      refusal = box->text().toStdString();
      box->button(QMessageBox::Ok)->click();
    });
    ButtonCaptioned(w, "&Delete")->click();
    EXPECT_EQ(w->findChild<QListWidget*>("fileList")->count(), 1);
    auto* list = w->findChild<QListWidget*>("fileList");
    list->setCurrentRow(0);
    ButtonCaptioned(w, "&Delete")->click();
    EXPECT_EQ(list->count(), 0);
    ButtonCaptioned(w, "&Finished")->click();
  });
  const auto files = qt.EditFileList(r);
  ASSERT_TRUE(files);
  EXPECT_TRUE(files->empty());
  EXPECT_EQ(buttons, (QStringList{"&Add", "&Delete", "&Finished", "&Cancel"}));
  EXPECT_EQ(refusal, kDeleteWhichItem);
}

TEST_F(SmallDialogsTest, ChangeDirectorySelectsTheDirectoryAskedForInATreeFromTheRoot) {
  QtPrompter qt(&window(), {});
  DirectoryRequest r;
  r.start_dir = DirOfFile(WorkFile(ds1));
  QString title;
  QStringList labels;
  WhenModal([&](QWidget* w) {
    title = w->windowTitle();
    labels = LabelTexts(w);
    ButtonCaptioned(w, "&Ok")->click();
  });
  const auto chosen = qt.ChooseDirectory(r);
  EXPECT_EQ(title, "Change working directory");
  EXPECT_TRUE(labels.contains("Double click desired directory on"));
  EXPECT_TRUE(labels.contains("If you click Ok, this directory will be set to:"));
  ASSERT_TRUE(chosen);
  EXPECT_EQ(*chosen, r.start_dir);
}

TEST_F(SmallDialogsTest, TheGenericChoicesHaveTheirCaptions) {
  QtPrompter qt(&window(), {});
  struct Case {
    std::function<void()> ask;
    QString caption;
  };
  const std::vector<Case> cases = {
      {[&] {
         qt.Choose({"", "Which one?", {"a", "b"}, {0}, true, 0});
       },
       "Please select ..."},
      {[&] {
         qt.Choose({"", "Which one?", {"a", "b"}, {0}, false, 0});
       },
       "Choose one ..."},
      {[&] {
         qt.AskInteger({"", "How many?", 3, 1, 9, 0});
       },
       "Input integer"},
  };
  for (const Case& c : cases) {
    QString title;
    WhenModal([&](QWidget* w) {
      title = w->windowTitle();
      Accept(w);
    });
    c.ask();
    EXPECT_EQ(title, c.caption);
  }
}

TEST(WaitWindow, StepsThroughItsEightPicturesInACycle) {
  QWidget owner;
  WaitWindow wait(&owner);
  EXPECT_EQ(wait.windowTitle(), "Please Wait - Yearloom at work");
  EXPECT_TRUE(wait.hide_button()->isHidden());
  std::vector<int> seen;
  for (int i = 0; i < kWaitFrames + 1; ++i) {
    seen.push_back(wait.frame());
    wait.Step();
  }
  EXPECT_EQ(seen, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 0}));
  // The pictures differ: the weft grows across the warp.
  EXPECT_NE(WaitFrame(0, 100, 40).toImage(), WaitFrame(5, 100, 40).toImage());
}

}  // namespace
}  // namespace yl::testing
