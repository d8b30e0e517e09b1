#include "cmf/cmf_assembly.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "cmf_assembly_support.h"
#include "core/text_util.h"
#include "platform/files.h"
#include "sim/sim_table.h"

namespace yl {
namespace {

using testing::AssemblyTest;

std::vector<std::string> Tag(const std::string& year, const std::vector<std::string>& lines) {
  ShockYearTagger tagger(year);
  std::vector<std::string> out;
  for (const auto& l : lines) out.push_back(tagger.Process(CleanCmfLine(l)));
  return out;
}

TEST(ShockYearTaggerTest, TagsBecomeSlicesBeforeTheSemicolon) {
  struct Case {
    const char* line;
    const char* expected;
  };
  const Case cases[] = {
      {"shock x <year> = 1 ;", "shock x <year> = 1 ;"},  // not right after the first word
      {"shock <year> x = 1 ;", "shock  x = 1  slice \"Y2010\" ;"},
      {"shock <YEAR=P> x = 1;", "shock  x = 1 slice \"P2010\" ;"},
      {"shock <Year=ab> x=1;", "shock  x=1 slice \"ab2010\" ;"},
      {"shock <year=> x = 1 ;", "shock <year=> x = 1 ;"},
      {"shock <year=P x = 1 ;", "shock <year=P x = 1 ;"},
      {"! <year> comment", "! <year> comment"},
      {"!", "!"},
      {"", ""},
      {"   ", "   "},
      {"!!shock <year> x = 1;", "!!shock  x = 1 slice \"Y2010\" ;"},
      {"shock <year> \"a;b\" = 1 ;", "shock  \"a;b\" = 1  slice \"Y2010\" ;"},
      {"shock <year> x = 1 ; ! keep ; here", "shock  x = 1  slice \"Y2010\" ; ! keep ; here"},
      {"shock\t<year>\tx = 1 ;", "shock  x = 1  slice \"Y2010\" ;"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Tag("2010", {c.line}).front(), c.expected) << c.line;
  }
}

TEST(ShockYearTaggerTest, StatementsOverSeveralLines) {
  EXPECT_EQ(Tag("2010", {"shock <year> x", "! between ;", "  = 1 ;", "shock y", "<year> = 2;"}),
            (std::vector<std::string>{"shock  x", "! between ;", "  = 1  slice \"Y2010\" ;",
                                      "shock y", "<year> = 2;"}));
  // A ";" in a comment does not end the statement, so the slice lands at the real end.
  EXPECT_EQ(Tag("2010", {"shock <year> w = 5 ! not ;", " ;"}),
            (std::vector<std::string>{"shock  w = 5 ! not ;", "  slice \"Y2010\" ;"}));
  // A stray "#" line is not a statement and does not swallow the next one's tag.
  EXPECT_EQ(Tag("2010", {"# note", "shock <year> v = 6 ;"}),
            (std::vector<std::string>{"# note", "shock  v = 6  slice \"Y2010\" ;"}));
}

TEST(ShockYearTaggerTest, ControlCharactersAreBlankedAndUnterminatedQuotesSurvive) {
  EXPECT_EQ(CleanCmfLine(std::string("a\tb\x1a") + "\xe9"), "a b  ");
  EXPECT_EQ(Tag("2010", {"shock <year> \"unterminated = 1 ;"}).front(),
            "shock  \"unterminated = 1 ;");
}

class ClosureShocksTest : public AssemblyTest {
 protected:
  std::string Write(int period, int run, bool policy, bool shocks, Status* status = nullptr) {
    const std::string out = temp + "/out.cmf";
    TextWriter w;
    EXPECT_TRUE(w.Create(out));
    Status s = AddClosureShocksToCMF(sim, period, run, w, policy, shocks);
    (void)w.Close();
    if (status)
      *status = s;
    else
      EXPECT_TRUE(s) << s.error();
    return ReadOut(out);
  }
};

TEST_F(ClosureShocksTest, CommonCellWithMissingFileLeavesNoClosureStatements) {
  sim.CMFCells(kCommonRow, 1) = "NOFILE";
  RecomputeCMFNames(sim);
  EXPECT_EQ(Write(1, kBase, true, true), "!\n! The Base Case Shocks\n! --------------------\n!\n");
}

TEST_F(ClosureShocksTest, RerunGetsClosuresAndOnlyTheBaseShockHeader) {
  EXPECT_EQ(Write(2, kRerun, true, true),
            " \n! Begin Common Closure file \"PCOM.CLS\"\nexogenous tax ;\n"
            "! End Common Closure file \"PCOM.CLS\"\n \n"
            " \n! Begin Period-specific Closure file \"POLCL.CLS\"\nswap tax = rev ;\n"
            "! End Period-specific Closure file \"POLCL.CLS\"\n \n"
            "!\n! The Base Case Shocks\n! --------------------\n!\n");
}

TEST_F(ClosureShocksTest, PolicyWithoutPolicyShocksFlagWritesNoShockHeaders) {
  std::string text = Write(2, kPolicy, false, true);
  EXPECT_EQ(text.find("Shocks"), std::string::npos);
  EXPECT_NE(text.find("POLCL.CLS"), std::string::npos);
  EXPECT_EQ(Write(2, kBase, true, false).find("Shocks"), std::string::npos);
}

TEST_F(ClosureShocksTest, CommonRowAloneWritesNoPeriodSection) {
  EXPECT_EQ(Write(0, kBase, true, false),
            " \n! Begin Common Closure file \"COMCLS.CLS\"\nexogenous pop ;\nrest endogenous ;\n"
            "! End Common Closure file \"COMCLS.CLS\"\n \n");
}

TEST_F(ClosureShocksTest, BadPeriodCellsFailWithoutReadingOutsideTheWorkingDirectory) {
  scratch.Write("OUTSIDE.CLS", "exogenous secret ;\n");
  scratch.MakeDir("work/DIRCLS.CLS");
  struct Case {
    const char* cell;
    std::string error;
  };
  const Case cases[] = {
      {"../OUTSIDE",
       "Cannot open file " + work + "/../OUTSIDE.CLS[TxtOpen][AddClosureShocksToCMF]"},
      {"DIRCLS", "Cannot open file " + work + "/DIRCLS.CLS[TxtOpen][AddClosureShocksToCMF]"},
      {"", "Cannot open file " + work + "/.CLS[TxtOpen][AddClosureShocksToCMF]"},
  };
  for (const auto& c : cases) {
    sim.CMFCells(2, 1) = c.cell;
    Status s;
    std::string text = Write(2, kBase, true, true, &s);
    ASSERT_FALSE(s) << c.cell;
    EXPECT_EQ(s.error(), c.error);
    EXPECT_EQ(text.find("secret"), std::string::npos);
  }
}

TEST_F(ClosureShocksTest, HostileClosureAndShockContentIsCopiedSafely) {
  std::string big(120000, 'x');
  std::string shocks;
  for (int i = 0; i < 10000; ++i) shocks += "shock <year> v" + std::to_string(i) + " = 1 ;\n";
  shocks += "shock <year> \"name with $HOME and 'q'\" = 2 ;\n\x1a\n";
  scratch.Write("work/BS1B2002.CLS", "exogenous \"unterminated\n#stray\n" + big + "\n\x1a\x1a\n");
  sim.CMFCells(2, 1) = "BS1B2002";
  scratch.Write("work/BSHK2.BSH", shocks);
  std::filesystem::remove(work + "/bs1b2002.cls");
  std::string text = Write(2, kBase, true, true);
  auto lines = SplitLines(text);
  EXPECT_NE(std::find(lines.begin(), lines.end(), big), lines.end());
  EXPECT_NE(std::find(lines.begin(), lines.end(), "  "), lines.end());  // the Ctrl-Z line
  EXPECT_NE(text.find("shock  v9999 = 1  slice \"Y2002\" ;\n"), std::string::npos);
  EXPECT_NE(text.find("shock  \"name with $HOME and 'q'\" = 2  slice \"Y2002\" ;\n"),
            std::string::npos);
  EXPECT_NE(text.find("exogenous \"unterminated\n#stray\n"), std::string::npos);
}

TEST_F(ClosureShocksTest, AppendShocksErrorsCarryItsTag) {
  TextWriter w;
  ASSERT_TRUE(w.Create(temp + "/x.cmf"));
  Status s = AppendShocks(w, work + "/none.bsh", "2002");
  ASSERT_FALSE(s);
  EXPECT_EQ(s.error(), "Cannot open file " + work + "/none.bsh[TxtOpen] [AppendShocks]");
  scratch.MakeDir("work/dir.bsh");
  s = AppendShocks(w, work + "/dir.bsh", "2002");
  ASSERT_FALSE(s);
  EXPECT_EQ(s.error(), "read error from file " + work + "/dir.bsh [AppendShocks]");
}

TEST_F(ClosureShocksTest, WithoutSanitisingControlCharactersStay) {
  scratch.Write("work/tab.bsh", "shock\t<year>\tx = 1 ;\n");
  TextWriter w;
  ASSERT_TRUE(w.Create(temp + "/x.cmf"));
  ASSERT_TRUE(AppendShocks(w, work + "/tab.bsh", "2002", false));
  ASSERT_TRUE(w.Close());
  EXPECT_EQ(ReadOut(temp + "/x.cmf"), "shock \tx = 1  slice \"Y2002\" ;\n");
}

}  // namespace
}  // namespace yl
