#include "harfile/sol_info.h"

#include <gtest/gtest.h>

#include "support/scratch_dir.h"

namespace yl {
namespace {

using testing::ScratchDir;

std::string Pad(const std::string& s, std::size_t n) {
  std::string r = s;
  r.resize(std::max(n, s.size()), ' ');
  return r;
}

std::string SetLine(const std::string& name, int size, char status, const std::string& label) {
  return "      " + Pad(name, 12) + std::to_string(size) + "  " + status + " " + label + "\n";
}

std::string VarLine(const std::string& name, int comps, int args, char status,
                    const std::string& label) {
  return "      " + Pad(name, 15) + std::to_string(comps) + " " + std::to_string(args) + " " +
         status + " " + label + "\n";
}

std::string Range(int a, int b) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%10d%10d\n", a, b);
  return buf;
}

const SolInfoOptions kBoth{true, true};

std::string Sample() {
  return "#SVVER\n 12\n#PRVER\n3\n#TMDATE\n10:00 1-Jan-2024\n#STIFILE\nmodel.sti\n"
         "#TABFILE\nmodel.tab\n#VBDSC\n2\nline one\nline two\n"
         "#SUBSETS\nignored text\n"
         "#SETS\n2\n" +
         SetLine("REG", 3, 'k', "Regions") + "nsw\n vic \nqld\n" +
         SetLine("COMMODITIES", 2, 'u', "") + "#VARIABLES\n3\n" +
         VarLine("p1", 6, 2, 'X', "prices") + "1 2 trailing\n" +
         VarLine("x2", 10, 0, 'x', "quantity") + "4\n" + Range(1, 3) + Range(7, 7) + Range(0, 0) +
         VarLine("q", 3, 1, 'N', "") + "1\n" + "#VCSTAT\nbCb\n#VCTP\npnc\n";
}

TEST(RequestSolInfo, ReadsEverySection) {
  ScratchDir dir;
  std::string p = dir.Write("m.sli", Sample());
  SolInfoRec rec;
  ASSERT_TRUE(RequestSolInfo(p, kProgramSolInfoRequest, kBoth, rec));
  EXPECT_EQ(rec.SVVER, 12);
  EXPECT_EQ(rec.PRVER, 3);
  EXPECT_EQ(rec.TMDATE, "10:00 1-Jan-2024");
  EXPECT_EQ(rec.STIFILE, "model.sti");
  EXPECT_EQ(rec.TABFILE, "model.tab");
  EXPECT_EQ(rec.description, (std::vector<std::string>{"line one", "line two"}));
  ASSERT_EQ(rec.sets.size(), 2u);
  EXPECT_EQ(rec.sets[0].name, "REG");
  EXPECT_EQ(rec.sets[0].size, 3);
  EXPECT_EQ(rec.sets[0].description, "Regions");
  EXPECT_TRUE(rec.sets[0].elements_known);
  EXPECT_EQ(rec.sets[0].elements, (std::vector<std::string>{"nsw", "vic", "qld"}));
  EXPECT_EQ(rec.sets[1].name, "COMMODITIES");
  EXPECT_EQ(rec.sets[1].description, "COMMODITIES");
  EXPECT_EQ(rec.sets[1].elements, (std::vector<std::string>{"COMMODITI1", "COMMODITI2"}));

  ASSERT_EQ(rec.variables.size(), 3u);
  const TVarRec& p1 = rec.variables[0];
  EXPECT_EQ(p1.name, "p1");
  EXPECT_EQ(p1.upper_name, "P1");
  EXPECT_EQ(p1.label, "prices");
  EXPECT_EQ(p1.set_text, "REG*COMMODITIES");
  EXPECT_EQ(p1.exogenous, 6);
  EXPECT_TRUE(p1.IsExogenous(6));
  EXPECT_EQ(p1.vcstat, 'b');
  EXPECT_EQ(p1.vctp, 'p');
  const TVarRec& x2 = rec.variables[1];
  EXPECT_EQ(x2.exogenous, 4);
  EXPECT_EQ(x2.exo_flags,
            (std::vector<bool>{true, true, true, false, false, false, true, false, false, false}));
  EXPECT_EQ(x2.vcstat, 'c');
  EXPECT_EQ(x2.vctp, 'c');  // "n" counts as "c"
  EXPECT_EQ(rec.variables[2].exogenous, 0);
  EXPECT_EQ(rec.variables[2].set_numbers[0], 1);

  EXPECT_EQ(rec.Lookup("P1"), 1);
  EXPECT_EQ(rec.Lookup("Q"), 3);
  EXPECT_EQ(rec.Lookup("zz"), 0);
  EXPECT_TRUE(rec.items_read[kSiSets]);
  EXPECT_TRUE(rec.items_read[kSiVcTp]);
  EXPECT_FALSE(rec.items_read[8]);
}

TEST(RequestSolInfo, UnrequestedSectionsAndOddKeywordLinesAreSkipped) {
  ScratchDir dir;
  std::string text = "#SETS \n2\n" + SetLine("A", 1, 'u', "") + "#VBDSC\n1\nhello\n";
  std::string p = dir.Write("m.sli", text);
  SolInfoRec rec;
  ASSERT_TRUE(RequestSolInfo(p, {5}, kBoth, rec));
  EXPECT_FALSE(rec.sets_read);  // "#SETS " with a blank is no keyword
  EXPECT_TRUE(rec.description.empty());
  EXPECT_FALSE(rec.items_read[kSiVbDsc]);
}

TEST(RequestSolInfo, KeepsAtMostAHundredDescriptionLines) {
  ScratchDir dir;
  std::string text = "#VBDSC\n150\n";
  for (int i = 0; i < 150; ++i) text += "d" + std::to_string(i) + "\n";
  std::string p = dir.Write("m.sli", text);
  SolInfoRec rec;
  ASSERT_TRUE(RequestSolInfo(p, kProgramSolInfoRequest, kBoth, rec));
  ASSERT_EQ(rec.description.size(), 100u);
  EXPECT_EQ(rec.description[99], "d99");
}

struct ErrorCase {
  const char* what;
  std::string text;
  std::string error;  // without the file suffixes
  std::vector<int> items = kProgramSolInfoRequest;
};

TEST(RequestSolInfo, ReportsEachFault) {
  std::string sets = "#SETS\n1\n" + SetLine("REG", 2, 'u', "");
  std::string forty = "#VARIABLES\n40\n";
  for (int i = 0; i < 40; ++i) forty += VarLine("v" + std::to_string(i), 1, 0, 'N', "");
  std::string dum = VarLine("p1", 6, 0, 'X', "");
  dum[dum.find(" X")] = '*';
  std::vector<ErrorCase> cases = {
      {"dum1", "#VARIABLES\n1\n" + dum,
       "Dum1 should be blank[ReadVarDetails][ReadVarInfo][GetModelInfo]"},
      {"miscount",
       "#VARIABLES\n1\n" + VarLine("x2", 10, 0, 'x', "") + "5\n" + Range(1, 3) + Range(7, 7) +
           Range(0, 0),
       "NExog Miscount for var x2[ReadVarDetails][ReadVarInfo][GetModelInfo]"},
      {"range order",
       "#VARIABLES\n1\n" + VarLine("x2", 10, 0, 'x', "") + "1\n" + Range(4, 3) + Range(0, 0),
       "1st exog component > 2nd for var x2[ReadVarDetails][ReadVarInfo][GetModelInfo]"},
      {"range line", "#VARIABLES\n1\n" + VarLine("x2", 10, 0, 'x', "") + "1\nnot numbers\n",
       "2I read error[ReadVarDetails][ReadVarInfo][GetModelInfo]"},
      {"duplicate", "#VARIABLES\n2\n" + VarLine("p1", 1, 0, 'N', "") + VarLine("P1", 1, 0, 'N', ""),
       "Duplicate name: \"P1\"[AddKeyToRBTree][ReadVarInfo][GetModelInfo]"},
      {"status", "#VARIABLES\n1\n" + VarLine("p1", 1, 0, 'Z', ""),
       "For variable p1 ExoStat was \"Z\"; should be X, N, B, ?, s, o or x. "
       "[ReadVarDetails][ReadVarInfo][GetModelInfo]"},
      {"blank name", "#VARIABLES\n1\n" + VarLine("", 1, 0, 'N', ""),
       "Variable name is blank[ReadVarDetails][ReadVarInfo][GetModelInfo]"},
      {"no sets", "#VARIABLES\n1\n" + VarLine("p1", 2, 1, 'N', "") + "1\n",
       "SetData=nil[ReadVarDetails][ReadVarInfo][GetModelInfo]"},
      {"bad set number", sets + "#VARIABLES\n1\n" + VarLine("p1", 2, 1, 'N', "") + "2\n",
       "SetPtr=nil[ReadVarDetails][ReadVarInfo][GetModelInfo]"},
      {"eight arguments", sets + "#VARIABLES\n1\n" + VarLine("p1", 2, 8, 'N', "") + "1\n",
       "Variable p1 has 8 arguments; max is 7[ReadVarDetails][ReadVarInfo][GetModelInfo]"},
      {"variable count", "#VARIABLES\n19884108\n", "Too many variables[ReadVarInfo][GetModelInfo]"},
      {"variable line", "#VARIABLES\n1\n      p1\n",
       "read error[ReadVarDetails][ReadVarInfo][GetModelInfo]"},
      {"too many sets", "#SETS\n1001\n", "Too many sets - max is 1000 [ReadSetInfo][GetModelInfo]"},
      {"set count", "#SETS\nx\n", "cannot read NVaraSet [ReadSetInfo][GetModelInfo]"},
      {"two set sections", sets + sets, "SetData<>nil [ReadSetInfo][GetModelInfo]"},
      {"generated names",
       "#SETS\n2\n" + SetLine("A", 600000, 'u', "") + SetLine("B", 400001, 'u', ""),
       "Set B has too many elements (400001) [ReadSetInfo][GetModelInfo]"},
      {"set line", "#SETS\n2\n" + SetLine("REG", 2, 'u', ""),
       "cannot read Set data line [ReadSetInfo][GetModelInfo]"},
      {"vctp short", forty + "#VCTP\n" + std::string(39, 'p') + "\n",
       "Expected 40 chars in #VCTP data\r\nfound only 39 chars[ReadVCTP][GetModelInfo]"},
      {"vcstat char", forty + "#VCSTAT\nbbx\n",
       "Unexpected char \"x\"in #VCSTAT data[ReadVCSTAT][GetModelInfo]"},
      {"vcstat long", "#VARIABLES\n1\n" + VarLine("a", 1, 0, 'N', "") + "#VCSTAT\nbb\n",
       "More than 1 chars in #VCSTAT data[ReadVCSTAT][GetModelInfo]"},
      {"svver", "#SVVER\nabc\n", "Could not read SVVER field.[GetModelInfo]"},
      {"tmdate", "#TMDATE", "Could not read TMDATE field.[GetModelInfo]"},
      {"desc count", "#VBDSC\n-1\n", "NumToRead<0[ReadDescNLinesUnKnown][GetModelInfo]"},
      {"desc end", "#VBDSC\n3\none\n",
       "Unexpected end of file[ReadDescNLinesUnKnown][GetModelInfo]"},
      {"unimplemented", "", "Requested UnImplemented Data Item #SUBSETS[GetModelInfo]", {4, 8}},
  };
  ScratchDir dir;
  for (const ErrorCase& c : cases) {
    std::string p = dir.Write("e.sli", c.text);
    SolInfoRec rec;
    Status r = RequestSolInfo(p, c.items, kBoth, rec);
    ASSERT_FALSE(r) << c.what;
    EXPECT_EQ(r.error(), c.error + "[AddSolInfo:" + p + "][RequestSolInfo:" + p + "]") << c.what;
  }
}

TEST(RequestSolInfo, CaseSensitiveKeysAllowNamesDifferingInCase) {
  ScratchDir dir;
  std::string p = dir.Write(
      "m.sli", "#VARIABLES\n2\n" + VarLine("p1", 1, 0, 'N', "") + VarLine("P1", 1, 0, 'N', ""));
  SolInfoRec rec;
  ASSERT_TRUE(RequestSolInfo(p, kProgramSolInfoRequest, SolInfoOptions{false, false}, rec));
  EXPECT_EQ(rec.variables.size(), 2u);
  EXPECT_TRUE(rec.variables[0].exo_flags.empty());
}

TEST(RequestSolInfo, MissingFileAndClearing) {
  ScratchDir dir;
  SolInfoRec rec;
  rec.SVVER = 9;
  std::string p = dir / "none.sli";
  Status r = RequestSolInfo(p, kProgramSolInfoRequest, kBoth, rec);
  ASSERT_FALSE(r);
  EXPECT_EQ(r.error(),
            "Cannot open file " + p + "[TxtOpen][AddSolInfo:" + p + "][RequestSolInfo:" + p + "]");
  EXPECT_EQ(rec.SVVER, 0);  // cleared before reading
}

}  // namespace
}  // namespace yl
