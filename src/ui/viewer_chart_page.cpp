#include "ui/viewer_chart_page.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineSeries>
#include <QPainter>
#include <QPushButton>
#include <QSvgGenerator>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "core/text_util.h"

namespace yl {

namespace {

QString Qs(const std::string& s) { return QString::fromStdString(s); }

// The job panel's colours, so a run looks the same wherever it is shown.
QColor RunColour(const std::string& run) {
  if (run == "Base") return QColor("#1f4e9c");
  if (run == "Base Rerun") return QColor("#2e7d32");
  if (run == "Policy") return QColor("#b23c17");
  return QColor("#444444");
}

void Clear(QChart* chart) {
  chart->removeAllSeries();
  for (QAbstractAxis* axis : chart->axes()) {
    chart->removeAxis(axis);
    delete axis;
  }
  chart->setTitle({});
}

QChart* NewChart() {
  auto* chart = new QChart();
  chart->legend()->setAlignment(Qt::AlignBottom);
  chart->setMargins(QMargins(6, 6, 6, 6));
  return chart;
}

struct YearRange {
  int first = 0;
  int last = 0;
};

// Years are whole numbers: one tick a year for a short run, fewer for a long one. Half a
// year of margin keeps the first and last points clear of the chart's edges.
QValueAxis* YearAxis(YearRange years) {
  auto* axis = new QValueAxis();
  axis->setLabelFormat("%d");
  axis->setRange(years.first - 0.5, years.last + 0.5);
  axis->setTickType(QValueAxis::TicksDynamic);
  axis->setTickAnchor(years.first);
  axis->setTickInterval(
      std::max(1, static_cast<int>(std::ceil((years.last - years.first) / 12.0))));
  axis->setTitleText("Year");
  return axis;
}

QValueAxis* ValueAxis(const std::string& title, double low, double high) {
  auto* axis = new QValueAxis();
  if (low == high) {
    low -= 1;
    high += 1;
  }
  axis->setRange(low, high);
  axis->applyNiceNumbers();
  axis->setTitleText(Qs(title));
  return axis;
}

QPen RunPen(const std::string& run) {
  QPen pen(RunColour(run));
  pen.setWidthF(2.5);
  // The Rerun retraces the Base: a thin dashed line over a wide one keeps both visible.
  if (run == "Base") pen.setWidthF(4.5);
  if (run == "Base Rerun") {
    pen.setWidthF(2);
    pen.setDashPattern({3, 2});
  }
  return pen;
}

void AddLines(QChart* chart, const std::vector<RunSeries>& lines, YearRange years,
              const std::string& value_title) {
  double low = 0, high = 0;  // changes and deviations are read against zero: always shown
  for (const RunSeries& run : lines) {
    auto* series = new QLineSeries();
    series->setName(Qs(run.name));
    series->setPen(RunPen(run.name));
    series->setPointsVisible(true);
    series->setMarkerSize(7);  // the same for every line, however wide
    for (std::size_t i = 0; i < run.years.size(); ++i) {
      series->append(run.years[i], run.values[i]);
      low = std::min(low, run.values[i]);
      high = std::max(high, run.values[i]);
    }
    chart->addSeries(series);
  }
  QValueAxis* x = YearAxis(years);
  QValueAxis* y = ValueAxis(value_title, low, high);
  chart->addAxis(x, Qt::AlignBottom);
  chart->addAxis(y, Qt::AlignLeft);
  for (QAbstractSeries* s : chart->series()) {
    s->attachAxis(x);
    s->attachAxis(y);
  }
}

// The years of every line, so that both charts share one time axis.
YearRange YearsOf(const SeriesChart& chart) {
  YearRange r{9999, 0};
  for (const RunSeries& run : chart.runs) {
    for (int y : run.years) {
      r.first = std::min(r.first, y);
      r.last = std::max(r.last, y);
    }
  }
  return r.last == 0 ? YearRange{} : r;
}

}  // namespace

ViewerChartPage::ViewerChartPage(QWidget* parent) : QWidget(parent) {
  auto* layout = new QVBoxLayout(this);
  auto* bar = new QHBoxLayout();
  auto* label = new QLabel("&Component:", this);
  component_ = new QComboBox(this);
  component_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  label->setBuddy(component_);
  export_ = new QPushButton("&Export Chart...", this);
  bar->addWidget(label);
  bar->addWidget(component_);
  bar->addStretch(1);
  bar->addWidget(export_);
  layout->addLayout(bar);

  charts_ = new QWidget(this);
  auto* charts_layout = new QVBoxLayout(charts_);
  charts_layout->setContentsMargins(0, 0, 0, 0);
  runs_chart_ = NewChart();
  deviation_chart_ = NewChart();
  runs_view_ = new QChartView(runs_chart_, charts_);
  deviation_view_ = new QChartView(deviation_chart_, charts_);
  for (QChartView* v : {runs_view_, deviation_view_}) v->setRenderHint(QPainter::Antialiasing);
  charts_layout->addWidget(runs_view_, 3);
  charts_layout->addWidget(deviation_view_, 2);
  layout->addWidget(charts_, 1);

  notes_ = new QLabel(this);
  notes_->setWordWrap(true);
  notes_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  layout->addWidget(notes_);

  connect(component_, &QComboBox::activated, this, &ViewerChartPage::ComponentChosen);
  connect(export_, &QPushButton::clicked, this, &ViewerChartPage::ExportChosen);
  SetSources({});
}

void ViewerChartPage::SetSources(const SeriesSources& sources) {
  sources_ = sources;
  data_ = ReadSeriesData(sources);
  components_ = SeriesComponents(data_);
  component_->clear();
  for (const SeriesComponent& c : components_) {
    component_->addItem(Qs(c.label.empty() ? c.Name() : c.Name() + "  " + c.label));
  }
  component_->setEnabled(!components_.empty());
  export_->setEnabled(!components_.empty());
  if (components_.empty()) {
    Clear(runs_chart_);
    Clear(deviation_chart_);
    std::vector<std::string> notes = data_.problems;
    if (sources.Empty()) {
      notes.insert(notes.begin(),
                   "No runs' cumulative results to chart. Open a run's cumulative results table "
                   "(.csv) that lies beside its Sim Details.");
    }
    ShowNotes(notes);
    return;
  }
  ComponentChosen(0);
}

bool ViewerChartPage::ShowComponent(const std::string& variable, const std::string& element) {
  for (std::size_t i = 0; i < components_.size(); ++i) {
    if (SameText(components_[i].variable, variable) && SameText(components_[i].element, element)) {
      component_->setCurrentIndex(static_cast<int>(i));
      ComponentChosen(static_cast<int>(i));
      return true;
    }
  }
  ShowNotes({"No run's results have " + SeriesComponent{variable, element, ""}.Name()});
  return false;
}

void ViewerChartPage::ComponentChosen(int index) {
  if (index < 0 || index >= static_cast<int>(components_.size())) return;
  const SeriesComponent& c = components_[index];
  auto chart = MakeSeriesChart(data_, c.variable, c.element);
  Clear(runs_chart_);
  Clear(deviation_chart_);
  if (!chart) {
    ShowNotes({chart.error()});
    return;
  }
  Plot(*chart);
  ShowNotes(chart->notes);
}

void ViewerChartPage::Plot(const SeriesChart& chart) {
  const YearRange years = YearsOf(chart);
  runs_chart_->setTitle(Qs(chart.Title()));
  AddLines(runs_chart_, chart.runs, years, chart.ValueAxisTitle());
  deviation_view_->setVisible(chart.deviation.has_value());
  if (!chart.deviation) return;
  deviation_chart_->setTitle(Qs(chart.DeviationTitle()));
  AddLines(deviation_chart_, {*chart.deviation}, years, chart.DeviationAxisTitle());
  deviation_chart_->legend()->hide();
}

void ViewerChartPage::ShowNotes(const std::vector<std::string>& notes) {
  QStringList lines;
  for (const std::string& n : notes) lines << Qs(n);
  notes_->setText(lines.join('\n'));
  notes_->setVisible(!notes.empty());
}

Status ViewerChartPage::ExportImage(const std::string& path) {
  const QString file = Qs(path);
  if (EndsWithNoCase(path, ".svg")) {
    QSvgGenerator svg;
    svg.setFileName(file);
    svg.setSize(charts_->size());
    svg.setViewBox(charts_->rect());
    svg.setTitle(runs_chart_->title());
    QPainter painter;
    if (!painter.begin(&svg)) return Fail("Cannot write the chart to " + path);
    charts_->render(&painter);
    if (!painter.end()) return Fail("Cannot write the chart to " + path);
    return Ok();
  }
  if (!charts_->grab().save(file, "PNG")) return Fail("Cannot write the chart to " + path);
  return Ok();
}

void ViewerChartPage::ExportChosen() {
  QString filter;
  const QString file = QFileDialog::getSaveFileName(
      this, "Export Chart", QString(), "PNG image (*.png);;SVG image (*.svg)", &filter);
  if (file.isEmpty()) return;
  std::string path = file.toStdString();
  if (!EndsWithNoCase(path, ".png") && !EndsWithNoCase(path, ".svg")) {
    path += filter.contains("svg") ? ".svg" : ".png";
  }
  if (Status s = ExportImage(path); !s) ShowNotes({s.error()});
}

}  // namespace yl
