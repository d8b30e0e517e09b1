#include "model/first_year_list.h"

#include <gtest/gtest.h>

#include "model_fixture.h"

namespace yl {
namespace {

using testing::ScratchDir;

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

TEST_F(FirstYearTest, CheckMarksGoneFiles) {
  d.Write("base.har", "b");
  std::vector<std::string> lines = {"File BASEDATA = base.har ; ! About BASEDATA",
                                    "File PARAMS   = " + (d / "gone.har") + " ; ! About PARAMS"};
  EXPECT_FALSE(FirstYearFilesComplete(lines, d.path()));
  EXPECT_EQ(lines[0], "File BASEDATA = base.har ; ! About BASEDATA");
  EXPECT_EQ(lines[1], "File PARAMS   = ?? ;");
  std::string gone = "File PARAMS   = " + (d / "gone.har") + " ; ! About PARAMS";
  FirstYearFileCheck c = CheckFirstYearLine(gone, d.path());
  EXPECT_EQ(c.state, FirstYearFileState::kGone);
  EXPECT_EQ(c.file, d / "gone.har");
  EXPECT_EQ(c.logical_name, "PARAMS");
  std::string unknown = "File PARAMS = ?? ;";
  EXPECT_EQ(CheckFirstYearLine(unknown, d.path()).state, FirstYearFileState::kUnnamed);
  std::string other = "not a file line";
  EXPECT_EQ(CheckFirstYearLine(other, d.path()).state, FirstYearFileState::kPresent);
  std::vector<std::string> present = {lines[0]};
  EXPECT_TRUE(FirstYearFilesComplete(present, d.path()));
}

TEST_F(FirstYearTest, ProposedNameAndMdfFiles) {
  ModelState model;
  model.ModelName = "demo";
  model.ModelDir = d.path();
  EXPECT_EQ(ProposedMdfName(model), "demo.MDF");
  d.Write("DEMO.mdf", "x");
  EXPECT_EQ(ProposedMdfName(model), "*.MDF");
  d.Write("base.har", "b");
  std::vector<std::string> lines = {"File BASEDATA = base.har ; ! About BASEDATA"};
  ASSERT_TRUE(WriteMdfFile(d / "saved list.mdf", lines));
  auto back = ReadMdfFile(d / "saved list.mdf");
  ASSERT_TRUE(back);
  EXPECT_EQ(*back, lines);
  EXPECT_FALSE(ReadMdfFile(d / "none.mdf"));
}

TEST(FirstYearList, AnotherFileKeepsNameAndDescription) {
  struct Case {
    const char* line;
    const char* file;
    const char* description;
    const char* result;
  };
  for (const Case& c : {
           Case{"File BASEDATA = ?? ; ! Base data", "b.har", "Base data",
                "File BASEDATA = b.har ; ! Base data"},
           Case{"File PARAMS = \"my ! dir/p.har\" ; ! Params", "/d/p 2.har", "Params",
                "File PARAMS = \"/d/p 2.har\" ; ! Params"},
           Case{"file X = x.har ;", "??", "", "file X = ?? ;"},
           Case{"not a line", "y.har", "", "not a line"},
       }) {
    EXPECT_EQ(FirstYearLineDescription(c.line), c.description) << c.line;
    EXPECT_EQ(WithFirstYearFile(c.line, c.file), c.result) << c.line;
  }
}

}  // namespace
}  // namespace yl
