// The small dialogs' rules without their windows: the About box and developer mode, the
// file list, the directory the tree opens on, and the results-to-save defaults.

#include <gtest/gtest.h>

#include <set>

#include "app/dialogs/about_box.h"
#include "app/dialogs/change_directory.h"
#include "app/dialogs/file_list.h"
#include "app/dialogs/results_to_save.h"
#include "platform/paths.h"
#include "support/scratch_dir.h"

namespace yl {
namespace {

TEST(AboutBox, DeveloperModeFollowsTheIconClickWhileTheBoxWasOpen) {
  struct Case {
    bool was_on;
    bool clicked;
    bool on_after;
    const char* notice;
  };
  const Case cases[] = {
      {false, false, false, ""},
      {true, false, false, "[No longer in Developer mode.]"},
      {false, true, true, "Going into Developer mode (be careful)."},
      {true, true, true, "Going into Developer mode (be careful)."},
  };
  for (const Case& c : cases) {
    AboutBox box(c.was_on);
    if (c.clicked) box.IconClicked();
    const AboutBox::Closing closing = box.Close();
    EXPECT_EQ(closing.developer_mode, c.on_after) << c.was_on << c.clicked;
    EXPECT_EQ(closing.notice, c.notice) << c.was_on << c.clicked;
  }
}

TEST(AboutBox, LinesNameThePlatformTheVersionAndTheProcessors) {
  AboutFacts f{"0.1.0", "December 2026", "11-Dec-2026", "/usr/lib/yearloom/yearloom", 4};
  EXPECT_EQ(AboutLines(f), (std::vector<std::string>{
                               "For Linux.", "Version 0.1.0 December 2026   (built 11-Dec-2026)",
                               "/usr/lib/yearloom/yearloom", "[Detected 4 CPUs.]"}));
  EXPECT_EQ(DetectedCpusLine(1), "[Detected 1 CPU.]");
  const AboutFacts mine = ThisProgramFacts();
  EXPECT_GE(mine.cpus, 1u);
  EXPECT_FALSE(mine.version.empty());
  EXPECT_FALSE(mine.build_date.empty());
}

TEST(FileListEditor, DeleteNeedsASelectionAndAddStartsWhereTheLastFileCameFrom) {
  FileListRequest r;
  r.files = {"/a/one.cmf", "/a/two.cmf"};
  r.add.start_dir = "/start";
  FileListEditor e(r);
  EXPECT_EQ(e.AddRequest().title, kChooseSeveralFilesTitle);
  EXPECT_EQ(e.AddRequest().filter, kCmfOrAnyFilter);
  EXPECT_TRUE(e.AddRequest().multiple);
  EXPECT_EQ(e.AddRequest().start_dir, "/start");

  EXPECT_EQ(e.Delete(-1), kDeleteWhichItem);
  EXPECT_EQ(e.Delete(2), kDeleteWhichItem);
  EXPECT_EQ(e.files().size(), 2u);
  EXPECT_EQ(e.Delete(0), std::nullopt);
  EXPECT_EQ(e.files(), std::vector<std::string>{"/a/two.cmf"});

  e.Add({"/b/x.cmf", "/c/y.txt"});
  EXPECT_EQ(e.files().size(), 3u);
  EXPECT_EQ(e.AddRequest().start_dir, "/c");
  e.Add({});  // a cancelled chooser changes nothing
  EXPECT_EQ(e.AddRequest().start_dir, "/c");
}

TEST(ChangeDirectory, OpensOnTheDirectoryAskedForOrElseHome) {
  testing::ScratchDir dir;
  EXPECT_EQ(DirectoryToSelect(dir.path() + "/", "/home/u"), dir.path());
  EXPECT_EQ(DirectoryToSelect(JoinPath(dir.path(), "gone"), "/home/u"), "/home/u");
  EXPECT_EQ(DirectoryToSelect("", "/home/u"), "/home/u");
}

TEST(ResultsToSave, EachBoxIsInOneGroupAndOnlyTheOtherOutputsStartOff) {
  const ResultsToSave d = DefaultResultsToSave();
  std::set<int> seen;
  for (const ResultsToSaveGroup& g : ResultsToSaveGroups()) {
    for (ResultsToSaveItem item : g.items) {
      EXPECT_TRUE(seen.insert(item).second);
      EXPECT_NE(std::string(ResultsToSaveText(item)), "");
      EXPECT_EQ(d[item], g.caption != " Other Outputs  ") << ResultsToSaveText(item);
    }
  }
  EXPECT_EQ(seen.size(), static_cast<std::size_t>(kNumResultsToSave));
}

}  // namespace
}  // namespace yl
