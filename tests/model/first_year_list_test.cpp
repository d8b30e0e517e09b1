#include "model/first_year_list.h"

#include <gtest/gtest.h>

#include "model_fixture.h"
#include "support/scripted_prompter.h"

namespace yl {
namespace {

using testing::ScratchDir;
using testing::ScriptedPrompter;

TEST(FirstYearList, ParsesLines) {
  auto l = ParseFirstYearLine("  File  basedata =  \"/w/a b.har\" ; ! desc ; more");
  ASSERT_TRUE(l);
  EXPECT_EQ(l->name, "basedata");
  EXPECT_EQ(l->file, "/w/a b.har");
  EXPECT_EQ(l->prefix, "  File  basedata =");
  auto plain = ParseFirstYearLine("file PARAMS = par.har ;");
  ASSERT_TRUE(plain);
  EXPECT_EQ(plain->file, "par.har");
  EXPECT_EQ(ParseFirstYearLine("file PARAMS = ??")->file, "??");
  EXPECT_FALSE(ParseFirstYearLine("garbage"));
  EXPECT_FALSE(ParseFirstYearLine("file = x ;"));
  EXPECT_FALSE(ParseFirstYearLine("data PARAMS = x ;"));
  EXPECT_TRUE(FirstYearLineIsFor("FILE params = x ;", " PARAMS "));
  EXPECT_FALSE(FirstYearLineIsFor("FILE params2 = x ;", "PARAMS"));
}

class FirstYearTest : public ::testing::Test {
 protected:
  FirstYearTest() {
    auto add = [&](const char* name, bool in) {
      TMinFileEntry m;
      m.Name = name;
      m.IsInput = in;
      m.Description = std::string("About ") + name;
      rec.MinFiles[++rec.NumMinFiles] = m;
    };
    add("BASEDATA", true);
    add("PARAMS", true);
    add("SUMMARY", false);
    add("(solution)", false);
  }
  TSimRecord rec;
  ScratchDir d;
  ScriptedPrompter p;
};

TEST_F(FirstYearTest, BuildKeepsExistingFilesOnly) {
  std::string base = d.Write("base.har", "b");
  d.Write("my params.har", "p");
  std::vector<std::string> saved = {"file basedata = gone.har ;", "file BASEDATA = base.har ;",
                                    "File PARAMS = my params.har ; ! old comment",
                                    "file SUMMARY = s.txt ;"};
  EXPECT_EQ(BuildFirstYearList(rec, saved, d.path()),
            (std::vector<std::string>{"File BASEDATA = base.har ; ! About BASEDATA",
                                      "File PARAMS = \"my params.har\" ; ! About PARAMS"}));
  std::remove(base.c_str());
  EXPECT_EQ(BuildFirstYearList(rec, saved, d.path())[0], "File BASEDATA = ?? ; ! About BASEDATA");
}

TEST_F(FirstYearTest, CheckMarksGoneFilesAndAsks) {
  d.Write("base.har", "b");
  std::vector<std::string> lines = {"File BASEDATA = base.har ; ! About BASEDATA",
                                    "File PARAMS   = " + (d / "gone.har") + " ; ! About PARAMS"};
  // Quiet: no question, the line loses its file.
  std::vector<std::string> quiet = lines;
  EXPECT_FALSE(CheckFirstYearFiles(quiet, d.path(), true, p, nullptr));
  EXPECT_TRUE(p.messages.empty());
  EXPECT_EQ(quiet[1], "File PARAMS   = ?? ;");
  // Answering No fails the check.
  std::vector<std::string> no = lines;
  p.Answer(kNo);
  EXPECT_FALSE(CheckFirstYearFiles(no, d.path(), false, p, nullptr));
  ASSERT_EQ(p.messages.size(), 1u);
  EXPECT_EQ(p.Last().text,
            "Message about the Data part of Model/Data page.\r\nThe file " + (d / "gone.har") +
                "\r\n (associated with logical file PARAMS) no longer exists.\r\nDo you wish to "
                "specify this file again?");
  EXPECT_EQ(p.Last().buttons, kYes | kNo);
  // Yes lets the user choose again.
  std::vector<std::string> yes = lines;
  p.Answer(kYes);
  EXPECT_TRUE(CheckFirstYearFiles(yes, d.path(), false, p, [&](std::string& line) {
    line = "File PARAMS = base.har ;";
    return true;
  }));
  EXPECT_EQ(yes[1], "File PARAMS = base.har ;");
  // "??" fails without a question.
  std::vector<std::string> unknown = {"File PARAMS = ?? ;"};
  std::size_t before = p.messages.size();
  EXPECT_FALSE(CheckFirstYearFiles(unknown, d.path(), false, p, nullptr));
  EXPECT_EQ(p.messages.size(), before);
}

TEST_F(FirstYearTest, SaveAndLoadMdf) {
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
