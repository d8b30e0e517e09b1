// The Other files page lists the demo model's logical files as its DIN file describes them.

#include "ui/other_files_view.h"

#include <gtest/gtest.h>

#include <QHeaderView>
#include <QTableWidget>

#include "demo_window_support.h"
#include "model/file_roles.h"

namespace yl::testing {
namespace {

class OtherFilesViewTest : public DemoWindowTest {};

TEST_F(OtherFilesViewTest, ListsEveryLogicalFileWithItsRole) {
  ASSERT_TRUE(window().ShowPage(Page::kOtherFiles));
  Shoot("other-files.png");
  QTableWidget* table = window().other_files_view().table();
  const std::vector<FileRolesRow> rows = FileRolesRows(session().sim);
  ASSERT_GT(session().sim.NumDinFiles, 0);
  ASSERT_EQ(table->rowCount(), session().sim.NumDinFiles);
  ASSERT_EQ(table->columnCount(), 7);
  EXPECT_EQ(table->horizontalHeaderItem(0)->text().toStdString(), "Logical Name");
  EXPECT_EQ(table->horizontalHeaderItem(6)->text().toStdString(), "Lag of");
  for (int r = 0; r < table->rowCount(); ++r) {
    for (int c = 0; c < 7; ++c) {
      EXPECT_EQ(table->item(r, c)->text().toStdString(), rows[r][c]) << r << "," << c;
    }
  }
  EXPECT_EQ(table->item(0, 0)->text().toStdString(), session().sim.DinFiles[1].Name);
}

}  // namespace
}  // namespace yl::testing
