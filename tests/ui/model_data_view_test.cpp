// The Model/Data page with the demo loaded: the model and its data list, a line's
// right-click menu, and choosing the model again (with its release check).

#include "ui/model_data_view.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include "app/controller.h"
#include "demo_window_support.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "widget_driving_support.h"

namespace yl::testing {
namespace {

using ::testing::HasSubstr;

class ModelDataViewTest : public DemoWindowTest {
 protected:
  void SetUp() override {
    DemoWindowTest::SetUp();
    ASSERT_TRUE(window().ShowPage(Page::kModelData));
    list = window().model_view().data_list();
  }
  void RightClick(int row) {
    const QRect r = list->visualItemRect(list->item(row));
    Q_EMIT list->customContextMenuRequested(r.center());
  }
  int RowOf(const std::string& logical) const {
    for (int i = 0; i < list->count(); ++i) {
      if (list->item(i)->text().startsWith(QString::fromStdString("file " + logical + " ="))) {
        return i;
      }
    }
    return -1;
  }

  QListWidget* list = nullptr;
};

TEST_F(ModelDataViewTest, ShowsTheDemoModelAndItsData) {
  Shoot("model-data.png");
  const SessionSettings& s = session().settings;
  EXPECT_EQ(window().model_view().model_label()->text().toStdString(),
            "Model: " + s.model.ModelFile);
  ASSERT_EQ(list->count(), static_cast<int>(s.first_year_files.size()));
  ASSERT_GT(list->count(), 0);
  for (int i = 0; i < list->count(); ++i) {
    const std::string shown = list->item(i)->text().toStdString();
    EXPECT_THAT(shown, ::testing::StartsWith("file "));
    EXPECT_THAT(shown, ::testing::EndsWith(" ;"));
    EXPECT_THAT(shown, ::testing::Not(HasSubstr("??")));
  }
  EXPECT_TRUE(window().model_view().save_button()->isEnabled());
}

TEST_F(ModelDataViewTest, RightClickTellsMoreAndClears) {
  const int row = RowOf("BASEDATA");
  ASSERT_GE(row, 0);
  PickFromMenu("&Tell me more about this file");
  RightClick(row);
  EXPECT_THAT(prompter.Last().text, HasSubstr("Logical file BASEDATA"));
  EXPECT_THAT(prompter.Last().text, HasSubstr("Role: Updated input"));

  PickFromMenu("&Clear this file name");
  RightClick(row);
  EXPECT_EQ(list->item(row)->text().toStdString(), "file BASEDATA = ?? ;");
  EXPECT_FALSE(window().model_view().save_button()->isEnabled());
}

TEST_F(ModelDataViewTest, ChoosingTheModelAgainChecksItsRelease) {
  const std::string model = session().settings.model.ModelFile;
  session().settings.model.Release = {};
  prompter.file_answers.push_back({model});
  window().model_view().findChild<QPushButton*>("changeModel")->click();
  EXPECT_EQ(prompter.file_requests.back().title, "Select Model");
  ASSERT_TRUE(WaitUntil([&] { return !desktop->app().background().Busy(); }, 20000));
  EXPECT_GT(session().settings.model.Release.SvRelease, 0)
      << ::testing::PrintToString(prompter.Texts());
  EXPECT_EQ(list->count(), static_cast<int>(session().settings.first_year_files.size()));
  EXPECT_THAT(list->item(0)->text().toStdString(), ::testing::Not(HasSubstr("??")));
}

}  // namespace
}  // namespace yl::testing
