// Results tables in the layout the spreadsheet jobs write, read as the viewer reads them:
// as tables, and as one component's series over the three runs with the deviation.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/viewer/results_series.h"
#include "app/viewer/viewer_document.h"
#include "support/comma_locale.h"
#include "support/scratch_dir.h"

namespace yl::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

std::string Table(const std::string& first_solution, const std::string& heading,
                  const std::vector<std::string>& rows) {
  std::string t =
      "Results,cumulative\n"
      "Solution of the first year," +
      first_solution +
      "\n"
      "Values,percentage change (type p) or ordinary change (type c)\n"
      "Variable,Element,Type,Label," +
      heading + "\n";
  for (const std::string& r : rows) t += r + "\n";
  return t;
}

class ResultsSeriesTest : public IsolatedEnvTest {
 protected:
  // The Base from 2021; the Rerun and the Policy from 2023, from the Base's end of 2022.
  void SetUp() override {
    sources.base = scratch.Write("b-ssc.csv", Table("/w/b-2021", "2021,2022,2023,2024",
                                                    {"y,MAN,p,Output volume,10,21,33.1,46.41",
                                                     "y,AGR,p,Output volume,1,2,3,4",
                                                     "lev,,c,\"A level, ordinary\",1,3,6,10"}));
    sources.rerun = scratch.Write("r-ssc.csv",
                                  Table("/w/r-2023", "2023,2024",
                                        {"y,MAN,p,Output volume,10,21", "y,AGR,p,Output volume,1,2",
                                         "lev,,c,\"A level, ordinary\",3,7"}));
    sources.policy = scratch.Write(
        "p-ssc.csv", Table("/w/p-2023", "2023,2024",
                           {"y,MAN,p,Output volume,32,32", "y,AGR,p,Output volume,1,2",
                            "lev,,c,\"A level, ordinary\",5,5"}));
  }
  SeriesSources sources;
};

TEST_F(ResultsSeriesTest, LaterRunsAreChainedOntoTheBaseAndTheDeviationIsFromTheRerun) {
  const SeriesData data = ReadSeriesData(sources);
  EXPECT_TRUE(data.problems.empty());
  auto chart = MakeSeriesChart(data, "y", "man");
  ASSERT_TRUE(chart) << chart.error();
  EXPECT_EQ(chart->Title(), "y(MAN): Output volume");
  EXPECT_EQ(chart->from_year, 2021);
  EXPECT_EQ(chart->ValueAxisTitle(), "% change since the start of 2021");
  ASSERT_EQ(chart->runs.size(), 3u);
  EXPECT_EQ(chart->runs[0].name, "Base");
  EXPECT_THAT(chart->runs[0].years, ElementsAre(2021, 2022, 2023, 2024));
  EXPECT_THAT(chart->runs[0].values, ElementsAre(10, 21, 33.1, 46.41));
  // 21% to the end of 2022, then 10% and 21% more: the Base's own path again. Each
  // later run begins at the Base's end of 2022, where it branches off.
  EXPECT_EQ(chart->runs[1].name, "Base Rerun");
  EXPECT_THAT(chart->runs[1].years, ElementsAre(2022, 2023, 2024));
  EXPECT_EQ(chart->runs[1].values[0], 21);
  EXPECT_NEAR(chart->runs[1].values[1], 33.1, 1e-9);
  EXPECT_NEAR(chart->runs[1].values[2], 46.41, 1e-9);
  EXPECT_EQ(chart->runs[2].name, "Policy");
  EXPECT_THAT(chart->runs[2].years, ElementsAre(2022, 2023, 2024));
  EXPECT_NEAR(chart->runs[2].values[1], 59.72, 1e-9);  // 1.21 * 1.32
  ASSERT_TRUE(chart->deviation);
  EXPECT_EQ(chart->DeviationTitle(), "Policy minus Base Rerun");
  EXPECT_EQ(chart->DeviationAxisTitle(), "% deviation");
  EXPECT_THAT(chart->deviation->years, ElementsAre(2022, 2023, 2024));
  EXPECT_EQ(chart->deviation->values[0], 0);
  EXPECT_NEAR(chart->deviation->values[1], 20, 1e-9);            // 1.32 / 1.10
  EXPECT_NEAR(chart->deviation->values[2], 9.0909090909, 1e-8);  // 1.32 / 1.21
}

TEST_F(ResultsSeriesTest, OrdinaryChangesAddUpAndWithoutARerunTheBaseIsTheComparison) {
  sources.rerun.clear();
  auto chart = MakeSeriesChart(ReadSeriesData(sources), "LEV", "");
  ASSERT_TRUE(chart) << chart.error();
  EXPECT_EQ(chart->type, 'c');
  EXPECT_EQ(chart->label, "A level, ordinary");
  EXPECT_EQ(chart->ValueAxisTitle(), "Change since the start of 2021");
  ASSERT_EQ(chart->runs.size(), 2u);
  EXPECT_THAT(chart->runs[1].values, ElementsAre(3, 8, 8));  // 3 by the end of 2022, then 5
  ASSERT_TRUE(chart->deviation);
  EXPECT_EQ(chart->DeviationTitle(), "Policy minus Base");
  EXPECT_EQ(chart->DeviationAxisTitle(), "Difference");
  EXPECT_THAT(chart->deviation->values, ElementsAre(0, 2, -2));
}

TEST_F(ResultsSeriesTest, ARunThatCannotBeReadIsLeftOutAndSaysWhy) {
  scratch.Write("r-ssc.csv", "Results,year-on-year\nVariable,Element,Type,Label,2023\n");
  sources.policy = scratch / "gone.csv";
  const SeriesData data = ReadSeriesData(sources);
  ASSERT_EQ(data.problems.size(), 2u);
  EXPECT_THAT(data.problems[0], HasSubstr("not cumulative"));
  EXPECT_THAT(data.problems[1], HasSubstr("The Policy's results: " + sources.policy));
  auto chart = MakeSeriesChart(data, "y", "MAN");
  ASSERT_TRUE(chart) << chart.error();
  ASSERT_EQ(chart->runs.size(), 1u);
  EXPECT_FALSE(chart->deviation);
  EXPECT_EQ(chart->notes, data.problems);

  auto missing = MakeSeriesChart(data, "zz", "");
  ASSERT_FALSE(missing);
  EXPECT_THAT(missing.error(), HasSubstr("No run's results have zz"));
}

TEST_F(ResultsSeriesTest, AResultsFileOpensAsEveryComponentAndOneTablePerVariable) {
  auto doc = ViewerDocument::Open(sources.base);
  ASSERT_TRUE(doc) << doc.error();
  EXPECT_EQ(doc->kind(), ViewerFileKind::kResultsTable);
  ASSERT_EQ(doc->entries().size(), 3u);
  EXPECT_EQ(doc->entries()[0].name, "(all)");
  EXPECT_EQ(doc->entries()[0].SizesText(), "3*4");
  EXPECT_EQ(doc->entries()[1].name, "y");
  EXPECT_EQ(doc->entries()[1].DimsText(), "Element*Year");
  EXPECT_EQ(doc->entries()[2].DimsText(), "Year");

  auto all = doc->Table(0, DefaultSlice(doc->entries()[0]));
  ASSERT_TRUE(all) << all.error();
  EXPECT_EQ(all->RowLabel(2), "lev");
  EXPECT_EQ(all->ColumnLabel(3), "2024");
  EXPECT_EQ(all->Text(0, 3), "46.41");
  auto y = doc->Table(1, SliceWithRows(DefaultSlice(doc->entries()[1]), 1));
  ASSERT_TRUE(y) << y.error();
  EXPECT_EQ(y->RowLabel(1), "2022");
  EXPECT_EQ(y->ColumnLabel(1), "AGR");
  EXPECT_EQ(y->Number(1, 1), 2);
}

TEST_F(ResultsSeriesTest, DamagedTablesNameTheFileAndTheLine) {
  struct Case {
    std::string text, says;
  };
  const std::string head = "Results,cumulative\nVariable,Element,Type,Label,2021,2022\n";
  const std::vector<Case> cases = {
      {"Results\n", "line 1: this is not a results table"},
      {"Variable,Element,Type,Label,2021\n", "line 1: this is not a results table"},
      {"Results,cumulative\nSource,x\n", "ends before its heading row"},
      {head + "y,MAN,p,Output,1\n", "line 3: 5 fields where the heading row has 6"},
      {head + "y,MAN,p,Output,1,2,3\n", "line 3: 7 fields"},
      {head + "y,MAN,p,\"Output,1,2\n", "line 3: a quoted field is not closed"},
      {head + "y,MAN,p,Output,1,\"2,5\"\n", "line 3: \"2,5\" under 2022 is not a number"},
      {head + "y,MAN,p,Output,1,nan\n", "is not a number"},
      {head + "y,MAN,x,Output,1,2\n", "type \"x\" is not p or c"},
      {head + ",MAN,p,Output,1,2\n", "no variable name"},
      {"Results,cumulative\n" + std::string(200'000, ',') + "\n", "line 2: more than 100000"},
  };
  for (const Case& c : cases) {
    const std::string path = scratch.Write("bad.csv", c.text);
    auto doc = ViewerDocument::Open(path);
    ASSERT_FALSE(doc) << c.text.substr(0, 80);
    EXPECT_THAT(doc.error(), HasSubstr(path)) << c.text.substr(0, 80);
    EXPECT_THAT(doc.error(), HasSubstr(c.says)) << c.text.substr(0, 80);
  }
}

class ResultsSeriesLocaleTest : public CommaLocaleTest {};

TEST_F(ResultsSeriesLocaleTest, NumbersReadTheSameUnderACommaDecimalLocale) {
  SeriesSources s;
  s.base = scratch.Write("b.csv", Table("/w/b", "2021,2022", {"y,MAN,p,Output,10.5,-2.25e-3"}));
  auto chart = MakeSeriesChart(ReadSeriesData(s), "y", "MAN");
  ASSERT_TRUE(chart) << chart.error();
  EXPECT_THAT(chart->runs[0].values, ElementsAre(10.5, -0.00225));
  auto doc = ViewerDocument::Open(s.base);
  ASSERT_TRUE(doc) << doc.error();
  auto t = doc->Table(0, DefaultSlice(doc->entries()[0]));
  ASSERT_TRUE(t) << t.error();
  EXPECT_EQ(t->Text(0, 0), "10.5");
  EXPECT_EQ(t->Text(0, 1), "-0.00225");
}

}  // namespace
}  // namespace yl::testing
