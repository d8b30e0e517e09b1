#pragma once
// The built-in results viewer: the headers of Header Array files (data, solutions,
// results) and the components of results tables, each shown as a table with slicing
// controls, and a chart page for the three runs' results over the years. All reading,
// slicing and series-making is the core's (app/viewer/); this window only shows it.

#include <QMainWindow>
#include <optional>
#include <string>
#include <vector>

#include "app/viewer/results_series.h"
#include "app/viewer/viewer_document.h"

class QComboBox;
class QLabel;
class QTabWidget;
class QTableView;
class QTreeWidget;

namespace yl {

class ViewerChartPage;
class ViewerSliceBar;
class ViewerTableModel;

class ResultsViewer : public QMainWindow {
  Q_OBJECT
 public:
  explicit ResultsViewer(QWidget* parent = nullptr);

  // Opens the files and shows the first that opened. A file that cannot be read stays
  // in the file list with its reason shown in place of its headers.
  void OpenFiles(const std::vector<std::string>& files);
  // The runs' tables for the chart page. Without them it charts the runs of the first
  // results table opened, found through the Sim Details stored beside it.
  void SetSeriesSources(const SeriesSources& sources);

  int file_count() const { return static_cast<int>(files_.size()); }
  // The file's problem, or "" when it opened.
  std::string FileError(int index) const;
  void ShowFile(int index);
  // Shows a header (or results variable) of the current file in the table.
  void ShowEntry(int index);

  QComboBox* file_box() const { return file_box_; }
  QLabel* error_label() const { return error_; }
  QTreeWidget* header_list() const { return headers_; }
  ViewerSliceBar* slice_bar() const { return slice_bar_; }
  QTableView* table_view() const { return table_view_; }
  ViewerTableModel* table_model() const { return model_; }
  QLabel* table_caption() const { return caption_; }
  ViewerChartPage* chart_page() const { return chart_page_; }
  QTabWidget* tabs() const { return tabs_; }

 private:
  struct OpenedFile {
    std::string path;
    std::optional<ViewerDocument> doc;
    std::string error;
  };

  void OpenChosen();
  void EntrySelected();
  void RefreshTable();
  void UpdateChartSources();
  OpenedFile* current();

  std::vector<OpenedFile> files_;
  int current_ = -1;
  int entry_ = -1;
  std::optional<SeriesSources> given_sources_;
  QComboBox* file_box_;
  QLabel* error_;
  QTreeWidget* headers_;
  QTabWidget* tabs_;
  ViewerSliceBar* slice_bar_;
  QLabel* caption_;
  QTableView* table_view_;
  ViewerTableModel* model_;
  QLabel* table_error_;
  ViewerChartPage* chart_page_;
};

// Opens the files in a new viewer window of its own (closed with `parent`, deleted when
// closed) and returns it. `series`, when given, names the runs' cumulative results
// tables for the chart page; otherwise they are found beside the first results table.
ResultsViewer* OpenInResultsViewer(QWidget* parent, const std::vector<std::string>& files,
                                   const SeriesSources& series = {});

// The viewer as a program of its own: returns the exit status.
int RunResultsViewer(int& argc, char** argv, const std::vector<std::string>& files,
                     const SeriesSources& series);

}  // namespace yl
