// Nobody answers batch mode's dialogs: each message goes to the output, questions get the
// answer that changes nothing, and every dialog keeps what it opened with.

#include "app/batch_prompter.h"

#include <gtest/gtest.h>

#include <sstream>

namespace yl {
namespace {

TEST(BatchPrompter, MessagesArePrintedAndQuestionsChangeNothing) {
  std::ostringstream out;
  BatchPrompter p(out);
  EXPECT_EQ(p.Confirm("Delete them?\r\nAll of them?", kYes | kNo), kNo);
  EXPECT_EQ(p.Error("No such file", 0, kOk | kHelp), kOk);
  EXPECT_EQ(p.Warning("Stop warning?", 0, kOk | kIgnore), kOk);
  EXPECT_EQ(out.str(),
            "yearloom: note: Delete them?\nAll of them?\nyearloom: error: No such file\n"
            "yearloom: warning: Stop warning?\n");
  EXPECT_EQ(p.last_error(), "No such file");
}

TEST(BatchPrompter, EveryDialogKeepsWhatItOpenedWith) {
  std::ostringstream out;
  BatchPrompter p(out);
  EXPECT_EQ(p.AskText({"Sim Desc", "Description", "old text", 0}), "old text");
  EXPECT_EQ(p.AskInteger({"Years", "Number", 7, 1, 99, 0}), 7);
  EXPECT_EQ(p.Choose({"Method", "", {"Johansen", "Euler", "Gragg"}, {2}, false, 0}),
            std::vector<int>{2});
  EXPECT_EQ(p.CheckItems({"Runs", "", {"Base", "Rerun"}, {true, false}, 0}),
            (std::vector<bool>{true, false}));
  FileListRequest files;
  files.files = {"a.har", "b.har"};
  EXPECT_EQ(p.EditFileList(files), files.files);
  EXPECT_TRUE(p.ChooseFiles({}).empty());
  EXPECT_FALSE(p.ChooseDirectory({}).has_value());
  EXPECT_EQ(out.str(), "");
}

}  // namespace
}  // namespace yl
