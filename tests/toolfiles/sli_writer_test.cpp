// The solution-information text must read back through the program's own reader.

#include <gtest/gtest.h>

#include "core/text_util.h"
#include "harfile/sol_info.h"
#include "toolfiles/sli_writer.h"
#include "toolfiles_support.h"

namespace yl::toolfiles {
namespace {

using yl::testing::Variable;

ResultsData Solution() {
  ResultsData d;
  d.model = {"/m/demomodel", "YL-DEMO 2025-06-01", "demomodel.tab", "%none"};
  d.verbal = "autosim BS1B2021";
  d.method = "Gragg 2 4 6, 1 subintervals";
  d.variables = {
      Variable("y", "Output volume", "SECT", {"AGR", "MAN", "SER"}, {true, true, true}),
      Variable("tpow", "Power of the output tax", "SECT", {"AGR", "MAN", "SER"},
               {true, false, true}),
      Variable("w", "Wage", "", {}, {false}),
      Variable("qi", "Investment", "DEST", {"D1", "D2"}, {false, true}, 'c'),
  };
  return d;
}

Status ReadBack(const std::string& text, SolInfoRec& rec) {
  FreeSolInfo(rec);
  return GetModelInfo(SplitLines(text), kProgramSolInfoRequest,
                      {.lower_case_keys = true, .component_flags = true}, rec);
}

TEST(SliWriter, ReadsBackWithSetsClosureAndTypes) {
  auto text = FormatSolutionInfo(Solution());
  ASSERT_TRUE(text) << text.error();
  SolInfoRec rec;
  auto s = ReadBack(*text, rec);
  ASSERT_TRUE(s) << s.error() << "\n" << *text;
  EXPECT_EQ(rec.SVVER, kSliSvVer);
  EXPECT_EQ(rec.TMDATE, "YL-DEMO 2025-06-01");
  EXPECT_EQ(rec.TABFILE, "demomodel.tab");
  EXPECT_EQ(rec.description,
            (std::vector<std::string>{"autosim BS1B2021", "Method: Gragg 2 4 6, 1 subintervals"}));
  ASSERT_EQ(rec.sets.size(), 2u);
  EXPECT_EQ(rec.sets[0].name, "SECT");
  EXPECT_EQ(rec.sets[0].elements, (std::vector<std::string>{"AGR", "MAN", "SER"}));
  ASSERT_EQ(rec.variables.size(), 4u);
  const TVarRec& y = rec.variables[0];
  EXPECT_EQ(y.status, 'X');
  EXPECT_EQ(y.exogenous, 3);
  EXPECT_EQ(y.set_text, "SECT");
  const TVarRec& tpow = rec.variables[static_cast<std::size_t>(rec.Lookup("TPOW") - 1)];
  EXPECT_EQ(tpow.status, 'x');
  EXPECT_EQ(tpow.exogenous, 2);
  EXPECT_TRUE(tpow.IsExogenous(1));
  EXPECT_FALSE(tpow.IsExogenous(2));
  EXPECT_TRUE(tpow.IsExogenous(3));
  EXPECT_EQ(tpow.label, "Power of the output tax");
  const TVarRec& w = rec.variables[2];
  EXPECT_EQ(w.status, 'N');
  EXPECT_EQ(w.components, 1);
  EXPECT_EQ(w.arguments, 0);
  EXPECT_EQ(rec.variables[3].vctp, 'c');
  EXPECT_EQ(rec.variables[3].set_text, "DEST");
  EXPECT_EQ(y.vctp, 'p');
  for (int item : kProgramSolInfoRequest) EXPECT_TRUE(rec.items_read[item]) << item;
}

TEST(SliWriter, LetterSectionsSpanLinesForManyVariables) {
  for (int n : {39, 40, 41, 80, 81}) {
    ResultsData d;
    for (int i = 0; i < n; ++i) {
      d.variables.push_back(Variable("v" + std::to_string(i), "", "", {}, {i % 2 == 0}));
    }
    auto text = FormatSolutionInfo(d);
    ASSERT_TRUE(text);
    SolInfoRec rec;
    auto s = ReadBack(*text, rec);
    ASSERT_TRUE(s) << n << ": " << s.error();
    ASSERT_EQ(rec.variables.size(), static_cast<std::size_t>(n));
    EXPECT_EQ(rec.variables.back().vctp, 'p');
    EXPECT_EQ(rec.variables.back().vcstat, 'c');
    EXPECT_EQ(rec.variables[0].status, 'X');
    EXPECT_EQ(rec.variables[1].status, 'N');
  }
}

TEST(SliWriter, NamesTooLongForTheColumnsAreRefused) {
  ResultsData d;
  d.variables = {Variable("averyveryverylongname", "", "", {}, {false})};
  EXPECT_EQ(FormatSolutionInfo(d).error(),
            "Variable name averyveryverylongname is longer than 15 characters");
}

}  // namespace
}  // namespace yl::toolfiles
