// The results tables, the arithmetic and the mapping files, as the tools share them.

#include <gtest/gtest.h>

#include <cmath>

#include "core/text_util.h"
#include "toolfiles/csv_table.h"
#include "toolfiles/mapping_file.h"
#include "toolfiles/results_math.h"
#include "toolfiles_support.h"

namespace yl::toolfiles {
namespace {

using yl::testing::Variable;

TEST(CsvTable, QuotingRoundTrips) {
  const std::vector<std::string> fields{"plain", "a,b", "say \"hi\"", " padded ", ""};
  const std::string line = CsvLine(fields);
  EXPECT_EQ(line, "plain,\"a,b\",\"say \"\"hi\"\"\",\" padded \",");
  std::vector<std::string> back;
  ASSERT_TRUE(SplitCsvLine(line, back));
  EXPECT_EQ(back, fields);
  EXPECT_FALSE(SplitCsvLine("a,\"open", back));
}

TEST(CsvTable, FormatThenParseKeepsEverything) {
  ResultsTable t;
  t.kind = kKindCumulative;
  t.info = {{"Source", "/t/a b.csv"}};
  t.columns = {"2021", "2022"};
  t.rows = {{"y", "AGR", 'p', "Output, volume", {1.5, -0.25}}, {"w", "", 'c', "Wage", {0, 3}}};
  auto back = ParseTable(FormatTable(t), "t.csv");
  ASSERT_TRUE(back) << back.error();
  EXPECT_EQ(back->kind, t.kind);
  EXPECT_EQ(back->info, t.info);
  EXPECT_EQ(back->columns, t.columns);
  ASSERT_EQ(back->rows.size(), 2u);
  EXPECT_EQ(back->rows[0].label, "Output, volume");
  EXPECT_EQ(back->rows[0].values, (std::vector<double>{1.5, -0.25}));
  EXPECT_EQ(back->rows[1].Component(), "w");
  EXPECT_EQ(back->rows[1].type, 'c');
}

TEST(CsvTable, MalformedTablesAreRefusedWithTheLine) {
  struct Case {
    const char* text;
    const char* error;
  };
  for (const Case& c : {
           Case{"", "t.csv: the file is empty"},
           Case{"Variable,Element\n", "t.csv, line 1: not a results table"},
           Case{"Results,year\nSource,x\n", "t.csv: no heading row"},
           Case{"Results,year\nVariable,Element,Type,Label\n", "heading row names no value"},
           Case{"Results,year\nVariable,Element,Kind,Label,2021\n", "heading 3 should be"},
           Case{"Results,year\nVariable,Element,Type,Label,2021\ny,,p,L\n",
                "t.csv, line 3: 4 fields, expected 5"},
           Case{"Results,year\nVariable,Element,Type,Label,2021\ny,,q,L,1\n", "type \"q\""},
           Case{"Results,year\nVariable,Element,Type,Label,2021\ny,,p,L,1x\n",
                "\"1x\" is not a number"},
           Case{"Results,year\nVariable,Element,Type,Label,2021\ny,,p,L,nan\n",
                "\"nan\" is not a number"},
           Case{"Results,year\nVariable,Element,Type,Label,2021\n,,p,L,1\n", "no variable name"},
       }) {
    auto t = ParseTable(c.text, "t.csv");
    ASSERT_FALSE(t) << c.text;
    EXPECT_NE(t.error().find(c.error), std::string::npos) << t.error();
  }
}

TEST(ResultsMath, PercentagesCompoundAndChangesAdd) {
  // 10% then 10% is 21%; -50% then +100% is back to 0%.
  auto p = Cumulate({10, 10, -50, 100}, 'p');
  ASSERT_EQ(p.size(), 4u);
  EXPECT_NEAR(p[0], 10, 1e-12);
  EXPECT_NEAR(p[1], 21, 1e-12);
  EXPECT_NEAR(p[2], -39.5, 1e-12);
  EXPECT_NEAR(p[3], 21, 1e-12);
  EXPECT_EQ(Cumulate({1, 2, -4}, 'c'), (std::vector<double>{1, 3, -1}));
}

TEST(ResultsMath, DeviationIsAgainstTheOtherRunsLevel) {
  // Levels 100 -> 121 (Policy) and 100 -> 110 (Base): the Policy is 10% above the Base.
  EXPECT_NEAR(Deviation(21, 10, 'p'), 10, 1e-12);
  EXPECT_NEAR(Deviation(-10, 0, 'p'), -10, 1e-12);
  EXPECT_EQ(Deviation(5, 2, 'c'), 3);
  EXPECT_TRUE(std::isinf(Deviation(5, -100, 'p')));  // the other run's level is zero
}

TEST(ResultsMath, GuardFailsOrZeroesNonFiniteResults) {
  std::vector<std::string> logged;
  ArithmeticGuard fatal(false, nullptr);
  double bad = INFINITY;
  auto s = fatal.Check(bad, "y(AGR), 2024");
  ASSERT_FALSE(s);
  EXPECT_NE(s.error().find("Arithmetic problem for y(AGR), 2024"), std::string::npos);
  ArithmeticGuard lenient(true, [&](const std::string& l) { logged.push_back(l); });
  double big = 1e39;  // beyond single precision
  EXPECT_TRUE(lenient.Check(big, "w, 2025"));
  EXPECT_EQ(big, 0);
  ASSERT_EQ(logged.size(), 1u);
  EXPECT_EQ(lenient.problems(), 1);
  double fine = 3.5;
  EXPECT_TRUE(fatal.Check(fine, "x"));
  EXPECT_EQ(fine, 3.5);
}

TEST(MappingFile, NamesCommentsAndElementLists) {
  auto m = ParseMapping(
      {"! header", "y      Output volume", "", "  a : AGR MAN ! partly", "w ! wage"}, "m.map");
  ASSERT_TRUE(m) << m.error();
  ASSERT_EQ(m->size(), 3u);
  EXPECT_EQ((*m)[0].name, "y");
  EXPECT_TRUE((*m)[0].elements.empty());
  EXPECT_EQ((*m)[1].elements, (std::vector<std::string>{"AGR", "MAN"}));
  EXPECT_EQ((*m)[2].name, "w");
  EXPECT_EQ(ParseMapping({"y", "Y"}, "m.map").error(), "m.map, line 2: variable Y is listed twice");
  EXPECT_EQ(ParseMapping({"y :"}, "m.map").error(), "m.map, line 1: no element after \":\"");

  ResultVariable v = Variable("a", "", "SECT", {"AGR", "MAN", "SER"}, {});
  auto comps = ComponentsOf((*m)[1], v, "m.map");
  ASSERT_TRUE(comps);
  EXPECT_EQ(*comps, (std::vector<int>{0, 1}));
  MapEntry wrong{"a", {"XXX"}, 4};
  EXPECT_EQ(ComponentsOf(wrong, v, "m.map").error(),
            "m.map, line 4: XXX is not an element of the set of variable a");
}

TEST(MappingFile, ExogenousMapListsWholeAndPartVariables) {
  ResultsData env;
  env.variables = {Variable("y", "", "SECT", {"AGR", "MAN"}, {false, false}),
                   Variable("a", "", "SECT", {"AGR", "MAN"}, {true, true}),
                   Variable("t", "", "SECT", {"AGR", "MAN"}, {false, true}),
                   Variable("savr", "", "", {}, {true})};
  const std::string text = FormatExogenousMap(env, "/t/br1r2003.en4");
  auto m = ParseMapping(SplitLines(text), "x.map");
  ASSERT_TRUE(m) << m.error();
  ASSERT_EQ(m->size(), 3u) << text;
  EXPECT_EQ((*m)[0].name, "a");
  EXPECT_TRUE((*m)[0].elements.empty());
  EXPECT_EQ((*m)[1].name, "t");
  EXPECT_EQ((*m)[1].elements, (std::vector<std::string>{"MAN"}));
  EXPECT_EQ((*m)[2].name, "savr");
}

}  // namespace
}  // namespace yl::toolfiles
