#pragma once
// The results viewer's chart page: one component over the years for the Base, the Base
// Rerun and the Policy on one chart, the Policy's deviation on a second, and the export
// of both as one picture.

#include <QWidget>
#include <string>
#include <vector>

#include "app/viewer/results_series.h"
#include "core/status.h"

class QChart;
class QChartView;
class QComboBox;
class QLabel;
class QPushButton;

namespace yl {

class ViewerChartPage : public QWidget {
  Q_OBJECT
 public:
  explicit ViewerChartPage(QWidget* parent = nullptr);

  // Reads the runs' tables and offers their components; the first is charted.
  void SetSources(const SeriesSources& sources);
  const SeriesSources& sources() const { return sources_; }
  bool HasData() const { return !data_.Empty(); }
  // Charts a component (names without regard to case); false, with the reason shown,
  // when no run has it.
  bool ShowComponent(const std::string& variable, const std::string& element);
  // Both charts as one picture: SVG for a ".svg" name, PNG otherwise.
  Status ExportImage(const std::string& path);

  QChart* runs_chart() const { return runs_chart_; }
  QChart* deviation_chart() const { return deviation_chart_; }
  QComboBox* component_box() const { return component_; }
  QLabel* notes_label() const { return notes_; }
  QWidget* charts_area() const { return charts_; }

 private:
  void ComponentChosen(int index);
  void ExportChosen();
  void Plot(const SeriesChart& chart);
  void ShowNotes(const std::vector<std::string>& notes);

  SeriesSources sources_;
  SeriesData data_;
  std::vector<SeriesComponent> components_;
  QComboBox* component_;
  QPushButton* export_;
  QWidget* charts_;
  QChartView* runs_view_;
  QChartView* deviation_view_;
  QChart* runs_chart_;
  QChart* deviation_chart_;
  QLabel* notes_;
};

}  // namespace yl
