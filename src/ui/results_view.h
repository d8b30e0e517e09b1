#pragma once
// The Results page: the assembled results of all or several years, and the files of one
// year of one run, drawn from the page model; every button runs a page-model command.

#include <QWidget>
#include <array>

#include "app/pages/results_page.h"

class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace yl {

class ResultsView : public QWidget {
  Q_OBJECT
 public:
  ResultsView(ResultsPage& page, std::function<void(int topic)> show_help,
              QWidget* parent = nullptr);

  void Refresh();
  // What "Accurac&y" opens: the grid of every year of every run.
  void SetAccuracySummaries(std::function<void()> open);
  QListWidget* files() const { return files_; }
  QListWidget* years() const { return years_; }
  QLabel* note() const { return note_; }
  QRadioButton* run_button(int run) const { return runs_[static_cast<std::size_t>(run)]; }

 private:
  ResultsPage& page_;
  std::array<QRadioButton*, 5> runs_{};
  QRadioButton* all_years_;
  QRadioButton* some_years_;
  QRadioButton* yony_;
  QRadioButton* cumulative_;
  std::array<QRadioButton*, 4> year_runs_{};
  QListWidget* files_;
  QListWidget* years_;
  QPushButton* year_deepro_;
  QPushButton* accuracy_;
  QLabel* file_label_;
  QLabel* year_label_;
  QLabel* note_;
  bool drawing_ = false;
};

}  // namespace yl
