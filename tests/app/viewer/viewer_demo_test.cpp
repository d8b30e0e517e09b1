// The viewer on what a real Run All of the demo leaves: a solution file, and the runs'
// results found from any one of their tables, charted against the differences table the
// spreadsheet job wrote.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/demo_support.h"
#include "app/viewer/results_series.h"
#include "app/viewer/series_sources.h"
#include "app/viewer/viewer_document.h"
#include "sim/sim_naming.h"
#include "support/program_run.h"

namespace yl::testing {
namespace {

class ViewerDemoTest : public DemoWorkTest {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(DemoWorkTest::SetUp());
    WriteOptions(3);
    YearloomRun run = Yearloom({"all", "all", ds1});
    ASSERT_TRUE(run.Succeeded()) << run.output;
  }
  std::string Spreadsheet(int run, JobKind kind) const {
    return WorkFile(
        SpreadsheetFileName(sim, run, kind, PartKind::kCum, {1, sim.NumYears}, 1, false));
  }
};

TEST_F(ViewerDemoTest, ASolutionFileListsItsVariablesOverTheirSets) {
  const std::string sl4 = Solution(kPolicy, sim.NumYears);
  auto doc = ViewerDocument::Open(sl4);
  ASSERT_TRUE(doc) << doc.error();
  const HarFile file = ReadHarOrFail(sl4);
  std::size_t y = doc->entries().size();
  for (std::size_t i = 0; i < doc->entries().size(); ++i) {
    if (doc->entries()[i].description.starts_with("y ")) y = i;
  }
  ASSERT_LT(y, doc->entries().size());
  const ViewerEntry& entry = doc->entries()[y];
  EXPECT_EQ(entry.type, "RE");
  EXPECT_EQ(entry.DimsText(), "SECT");
  auto table = doc->Table(y, DefaultSlice(entry));
  ASSERT_TRUE(table) << table.error();
  const std::vector<double> values = HeaderValues(file, entry.name);
  ASSERT_EQ(table->rows(), static_cast<int>(values.size()));
  EXPECT_EQ(table->RowLabel(1), "MAN");
  for (int r = 0; r < table->rows(); ++r) EXPECT_EQ(table->Number(r, 0), values[r]);
}

TEST_F(ViewerDemoTest, AnyRunsTableFindsAllThreeAndTheDeviationMatchesTheDifferencesTable) {
  const SeriesSources expected{Spreadsheet(kBase, JobKind::kTallyr),
                               Spreadsheet(kRerun, JobKind::kTallyr),
                               Spreadsheet(kPolicy, JobKind::kTallyr)};
  for (const std::string& opened :
       {expected.policy, expected.base, Spreadsheet(kPolicy, JobKind::kVarix)}) {
    EXPECT_EQ(FindSeriesSources(opened), expected) << opened;
  }
  EXPECT_TRUE(FindSeriesSources(Solution(kBase, 1)).Empty());

  const SeriesData data = ReadSeriesData(expected);
  ASSERT_TRUE(data.problems.empty()) << data.problems.front();
  auto differences = ReadResultsCsv(Spreadsheet(kPolicy, JobKind::kVarix));
  ASSERT_TRUE(differences) << differences.error();
  ASSERT_FALSE(differences->rows.empty());
  for (const ResultsCsvRow& row : differences->rows) {
    auto chart = MakeSeriesChart(data, row.variable, row.element);
    ASSERT_TRUE(chart) << chart.error();
    ASSERT_EQ(chart->runs.size(), 3u);
    EXPECT_EQ(chart->from_year, sim.Years[1]);
    ASSERT_TRUE(chart->deviation);
    EXPECT_EQ(chart->compared_with, "Base Rerun");
    // The deviation begins at zero the year before the Policy's first.
    ASSERT_EQ(chart->deviation->values.size(), row.values.size() + 1);
    EXPECT_EQ(chart->deviation->values[0], 0);
    for (std::size_t k = 0; k < row.values.size(); ++k) {
      // Both come from seven-digit tables, the deviation by way of the Rerun's levels.
      EXPECT_NEAR(chart->deviation->values[k + 1], row.values[k],
                  1e-4 * (1 + std::abs(row.values[k])))
          << row.variable << "(" << row.element << ") " << differences->columns[k];
    }
  }
}

}  // namespace
}  // namespace yl::testing
