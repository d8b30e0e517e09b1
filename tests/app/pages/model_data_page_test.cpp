#include "app/pages/model_data_page.h"

#include <gtest/gtest.h>

#include "model/first_year_list.h"
#include "support/scratch_dir.h"
#include "support/scripted_prompter.h"

namespace yl {
namespace {

using testing::ScratchDir;
using testing::ScriptedPrompter;

class ModelDataPageTest : public ::testing::Test {
 protected:
  ScratchDir d;
  ScriptedPrompter p;
};

TEST(ModelDataPage, SelectModelRequest) {
  ModelState model;
  FileRequest r = SelectModelRequest(model, "/prog", true);
  EXPECT_EQ(r.title, "Select Model");
  EXPECT_EQ(r.start_dir, "/prog");
  EXPECT_EQ(r.filter, "Model Files (*.EXE,*.KVS)|*.exe;*.kvs|All Files (*)|*");
  SetModelFile(model, "/models/demo.exe", std::nullopt);
  r = SelectModelRequest(model, "/prog", false);
  EXPECT_EQ(r.start_dir, "/models");
  EXPECT_EQ(r.filter, "Model EXE Files (*.EXE)|*.exe|All Files (*)|*");
}

TEST_F(ModelDataPageTest, CheckMarksGoneFilesAndAsks) {
  d.Write("base.har", "b");
  std::vector<std::string> lines = {"File BASEDATA = base.har ; ! About BASEDATA",
                                    "File PARAMS   = " + (d / "gone.har") + " ; ! About PARAMS"};
  // Answering No fails the check.
  std::vector<std::string> no = lines;
  p.Answer(kNo);
  EXPECT_FALSE(CheckFirstYearFiles(no, d.path(), p, nullptr));
  ASSERT_EQ(p.messages.size(), 1u);
  EXPECT_EQ(p.Last().text,
            "Message about the Data part of Model/Data page.\r\nThe file " + (d / "gone.har") +
                "\r\n (associated with logical file PARAMS) no longer exists.\r\nDo you wish to "
                "specify this file again?");
  EXPECT_EQ(p.Last().buttons, kYes | kNo);
  // Yes lets the user choose again.
  std::vector<std::string> yes = lines;
  p.Answer(kYes);
  EXPECT_TRUE(CheckFirstYearFiles(yes, d.path(), p, [&](std::string& line) {
    line = "File PARAMS = base.har ;";
    return true;
  }));
  EXPECT_EQ(yes[1], "File PARAMS = base.har ;");
  // "??" fails without a question.
  std::vector<std::string> unknown = {"File PARAMS = ?? ;"};
  std::size_t before = p.messages.size();
  EXPECT_FALSE(CheckFirstYearFiles(unknown, d.path(), p, nullptr));
  EXPECT_EQ(p.messages.size(), before);
}

TEST_F(ModelDataPageTest, SaveAndLoadMdf) {
  ModelState model;
  model.ModelName = "demo";
  model.ModelDir = d.path();
  EXPECT_EQ(ProposedMdfName(model), "demo.MDF");
  d.Write("DEMO.mdf", "x");
  EXPECT_EQ(ProposedMdfName(model), "*.MDF");
  EXPECT_EQ(SaveMdfRequest(model).filter, "Model data files|*.MDF");
  EXPECT_EQ(SaveMdfRequest(model).title, "Save Data File Names");
  EXPECT_EQ(LoadMdfRequest(model).filter, "Model Data files|*.mdf");

  std::vector<std::string> incomplete = {"File PARAMS = ?? ;"};
  EXPECT_FALSE(SaveFirstYearListAs(incomplete, model, d.path(), p));
  EXPECT_EQ(p.Last().text, "Please specify names for all files first.");
  EXPECT_TRUE(p.file_requests.empty());

  d.Write("base.har", "b");
  std::vector<std::string> lines = {"File BASEDATA = base.har ; ! About BASEDATA"};
  p.file_answers.push_back({d / "saved list.mdf"});
  EXPECT_TRUE(SaveFirstYearListAs(lines, model, d.path(), p));
  auto back = ReadMdfFile(d / "saved list.mdf");
  ASSERT_TRUE(back);
  EXPECT_EQ(*back, lines);
  EXPECT_FALSE(ReadMdfFile(d / "none.mdf"));
}

}  // namespace
}  // namespace yl
