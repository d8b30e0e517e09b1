// The built-in results viewer: the demo's results after a real Run All, charted for the
// three runs and exported; slicing a header through the controls; files it cannot read.

#include "ui/results_viewer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QChart>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineSeries>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTreeWidget>
#include <cmath>
#include <cstdlib>
#include <memory>

#include "app/demo_support.h"
#include "app/viewer/results_csv.h"
#include "demo_window_support.h"
#include "harfile/har_build.h"
#include "sim/sim_naming.h"
#include "ui/viewer_chart_page.h"
#include "ui/viewer_slice_bar.h"
#include "ui/viewer_table_model.h"

namespace yl::testing {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

struct ViewerCloser {
  void operator()(ResultsViewer* v) const { delete v; }
};
using ViewerPtr = std::unique_ptr<ResultsViewer, ViewerCloser>;

ViewerPtr Open(const std::vector<std::string>& files, const SeriesSources& series = {}) {
  ViewerPtr v(OpenInResultsViewer(nullptr, files, series));
  v->resize(1280, 800);
  WaitUntil([&] { return v->isVisible(); }, 2000);
  return v;
}

// With YL_SCREENSHOT_DIR set, the viewer is saved there under `name`.
void Shoot(ResultsViewer& v, const char* name) {
  if (const char* dir = std::getenv("YL_SCREENSHOT_DIR")) {
    QTest::qWait(50);  // let the charts finish their layout
    v.grab().save(QString("%1/%2").arg(dir, name));
  }
}

QLineSeries* SeriesNamed(QChart* chart, const QString& name) {
  for (QAbstractSeries* s : chart->series()) {
    if (s->name() == name) return qobject_cast<QLineSeries*>(s);
  }
  return nullptr;
}

int EntryIndex(const ResultsViewer& v, const QString& name) {
  for (int i = 0; i < v.header_list()->topLevelItemCount(); ++i) {
    if (v.header_list()->topLevelItem(i)->text(0) == name) return i;
  }
  return -1;
}

std::string Cell(const ResultsViewer& v, int r, int c) {
  return v.table_model()->data(v.table_model()->index(r, c)).toString().toStdString();
}

class ResultsViewerDemoTest : public DemoWorkTest {
 protected:
  std::string Cumulative(int run, JobKind kind) const {
    return WorkFile(
        SpreadsheetFileName(sim, run, kind, PartKind::kCum, {1, sim.NumYears}, 1, false));
  }
  const ResultsCsvRow& Row(const std::string& path, const char* variable, const char* element) {
    tables.push_back(ReadResultsCsv(path));
    EXPECT_TRUE(tables.back()) << tables.back().error();
    const ResultsCsvRow* row = tables.back()->Find(variable, element);
    EXPECT_NE(row, nullptr) << path;
    return *row;
  }
  std::vector<Result<ResultsCsv>> tables;
};

TEST_F(ResultsViewerDemoTest, ThePolicysResultsChartTheThreeRunsAndExport) {
  WriteOptions(3);
  YearloomRun run = Yearloom({"all", "all", ds1});
  ASSERT_TRUE(run.Succeeded()) << run.output;

  ViewerPtr v = Open({Cumulative(kPolicy, JobKind::kTallyr)});
  ASSERT_EQ(v->FileError(0), "");
  ASSERT_GT(EntryIndex(*v, "y"), 0);
  v->ShowEntry(EntryIndex(*v, "y"));
  const ResultsCsvRow& policy_y = Row(Cumulative(kPolicy, JobKind::kTallyr), "y", "MAN");
  EXPECT_EQ(v->table_model()->headerData(1, Qt::Vertical).toString(), "MAN");
  EXPECT_EQ(Cell(*v, 1, 0), ViewerNumberText(policy_y.values[0]));
  Shoot(*v, "viewer-table.png");

  v->tabs()->setCurrentWidget(v->chart_page());
  ViewerChartPage& page = *v->chart_page();
  ASSERT_TRUE(page.HasData()) << page.notes_label()->text().toStdString();
  ASSERT_TRUE(page.ShowComponent("y", "MAN"));
  Shoot(*v, "viewer-chart.png");

  // The Base as its table gives it; the Rerun and the Policy branch off it at the end of
  // 2023 and are chained onto it from there.
  const ResultsCsvRow& base = Row(Cumulative(kBase, JobKind::kTallyr), "y", "MAN");
  const double base_2023 = base.values[2];
  const auto chained = [&](double v) { return 100 * ((1 + base_2023 / 100) * (1 + v / 100) - 1); };
  struct Line {
    QString name;
    int first_year;
    std::vector<double> values;
  };
  std::vector<Line> lines{{"Base", 2021, base.values},
                          {"Base Rerun", 2023, {base_2023}},
                          {"Policy", 2023, {base_2023}}};
  for (double x : Row(Cumulative(kRerun, JobKind::kTallyr), "y", "MAN").values) {
    lines[1].values.push_back(chained(x));
  }
  for (double x : Row(Cumulative(kPolicy, JobKind::kTallyr), "y", "MAN").values) {
    lines[2].values.push_back(chained(x));
  }
  ASSERT_EQ(page.runs_chart()->series().size(), 3);
  for (const Line& line : lines) {
    QLineSeries* s = SeriesNamed(page.runs_chart(), line.name);
    ASSERT_NE(s, nullptr) << line.name.toStdString();
    const QList<QPointF> points = s->points();
    ASSERT_EQ(points.size(), static_cast<int>(line.values.size())) << line.name.toStdString();
    for (int i = 0; i < points.size(); ++i) {
      EXPECT_EQ(points[i].x(), line.first_year + i);
      EXPECT_NEAR(points[i].y(), line.values[i], 1e-9) << line.name.toStdString() << i;
    }
  }
  EXPECT_EQ(SeriesNamed(page.runs_chart(), "Base")->points().back().x(), 2030);
  EXPECT_THAT(page.runs_chart()->title().toStdString(), StartsWith("y(MAN)"));

  // The deviation is the one the differences table holds.
  const ResultsCsvRow& dev = Row(Cumulative(kPolicy, JobKind::kVarix), "y", "MAN");
  ASSERT_EQ(page.deviation_chart()->series().size(), 1);
  EXPECT_EQ(page.deviation_chart()->title().toStdString(), "Policy minus Base Rerun");
  const QList<QPointF> dpoints =
      qobject_cast<QLineSeries*>(page.deviation_chart()->series().front())->points();
  ASSERT_EQ(dpoints.size(), static_cast<int>(dev.values.size()) + 1);
  EXPECT_EQ(dpoints[0], QPointF(2023, 0));
  for (int i = 1; i < dpoints.size(); ++i) {
    EXPECT_EQ(dpoints[i].x(), 2023 + i);
    EXPECT_NEAR(dpoints[i].y(), dev.values[i - 1], 1e-4 * (1 + std::abs(dev.values[i - 1]))) << i;
  }

  for (const char* name : {"chart.png", "chart.svg"}) {
    ASSERT_TRUE(page.ExportImage(scratch / name)) << name;
  }
  EXPECT_THAT(ReadFileBytes(scratch / "chart.png"), StartsWith("\x89PNG\r\n\x1a\n"));
  const QImage png(QString::fromStdString(scratch / "chart.png"));
  EXPECT_EQ(png.size(), page.charts_area()->size() * page.charts_area()->devicePixelRatio());
  EXPECT_THAT(ReadFileBytes(scratch / "chart.svg"), HasSubstr("<svg"));
}

class ResultsViewerFileTest : public IsolatedEnvTest {
 protected:
  // A header over COM*REG*YEAR whose every value tells its own position.
  std::string WriteFlows() {
    auto f = NewHarFile("viewer tests", "noon", false);
    auto h = CreateUnLabelledRE("FLOW", "Flows", 3, {2, 2, 3, 1, 1, 1, 1}, true);
    EXPECT_TRUE(SetDimensionSet(*h, 0, "COM", {"agr", "man"}));
    EXPECT_TRUE(SetDimensionSet(*h, 1, "REG", {"north", "south"}));
    EXPECT_TRUE(SetDimensionSet(*h, 2, "YEAR", {"Y1", "Y2", "Y3"}));
    for (int i = 0; i < 12; ++i) h->values[i] = float(i);
    EXPECT_TRUE(AddHeaderNil(*f, std::move(*h)));
    const std::string path = scratch / "flows.har";
    EXPECT_TRUE(WriteHarFile(path, "viewer tests", "noon", *f));
    return path;
  }
};

TEST_F(ResultsViewerFileTest, TheSlicingControlsChooseRowsColumnsAndTheFixedElement) {
  ViewerPtr v = Open({WriteFlows()});
  v->ShowEntry(EntryIndex(*v, "FLOW"));
  ViewerSliceBar& bar = *v->slice_bar();
  ASSERT_EQ(v->table_model()->rowCount(), 2);
  ASSERT_EQ(v->table_model()->columnCount(), 2);
  auto* year = qobject_cast<QComboBox*>(bar.element_chooser(2));
  ASSERT_NE(year, nullptr);
  EXPECT_TRUE(year->isVisibleTo(&bar));
  year->setCurrentIndex(2);
  Q_EMIT year->activated(2);
  EXPECT_EQ(Cell(*v, 1, 0), "9");  // man, north, Y3: 1 + 2 * (0 + 2 * 2)

  // Years down the rows: the dimension they leave becomes the fixed one.
  bar.rows_box()->setCurrentIndex(2);
  Q_EMIT bar.rows_box()->activated(2);
  ASSERT_EQ(v->table_model()->rowCount(), 3);
  EXPECT_EQ(v->table_model()->headerData(2, Qt::Vertical).toString(), "Y3");
  EXPECT_EQ(v->table_model()->headerData(1, Qt::Horizontal).toString(), "south");
  EXPECT_EQ(bar.element_chooser(2), nullptr);
  auto* com = qobject_cast<QComboBox*>(bar.element_chooser(0));
  ASSERT_NE(com, nullptr);
  com->setCurrentIndex(1);
  Q_EMIT com->activated(1);
  EXPECT_EQ(Cell(*v, 2, 1), "11");  // man, south, Y3
}

TEST_F(ResultsViewerFileTest, FilesThatCannotBeReadShowTheirReasonAndTheOthersStillOpen) {
  const std::string good = WriteFlows();
  const std::string cut = scratch.Write("cut.sl4", ReadFileBytes(good).substr(0, 40));
  const std::string missing = scratch / "missing.sol";
  const std::string bad_csv = scratch.Write("bad.csv", "Results,cumulative\nVariable,Element\n");
  ViewerPtr v = Open({good, cut, missing, bad_csv});
  ASSERT_EQ(v->file_count(), 4);
  EXPECT_EQ(v->FileError(0), "");
  EXPECT_THAT(v->FileError(1), HasSubstr("cannot be read as a Header Array file"));
  EXPECT_THAT(v->FileError(2), HasSubstr("does not exist"));
  EXPECT_THAT(v->FileError(3), HasSubstr("line 2: the heading row names no value column"));
  // The one that opened is showing; another shows its reason in place of its headers.
  EXPECT_FALSE(v->error_label()->isVisibleTo(v.get()));
  EXPECT_GT(v->header_list()->topLevelItemCount(), 0);
  EXPECT_GT(v->table_model()->rowCount(), 0);
  v->ShowFile(3);
  EXPECT_TRUE(v->error_label()->isVisibleTo(v.get()));
  EXPECT_EQ(v->error_label()->text().toStdString(), v->FileError(3));
  EXPECT_EQ(v->header_list()->topLevelItemCount(), 0);
  EXPECT_EQ(v->table_model()->rowCount(), 0);
  EXPECT_THAT(v->chart_page()->notes_label()->text().toStdString(),
              HasSubstr("No runs' cumulative results to chart"));
}

}  // namespace
}  // namespace yl::testing
