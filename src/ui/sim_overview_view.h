#pragma once
// The Sim Overview page: years, period lengths, simulation names, working directory,
// mapping file, solution method and the Sim Details buttons, drawn from the page model.

#include <QWidget>
#include <array>
#include <functional>

#include "app/pages/sim_overview_page.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QLineEdit;
class QListWidget;
class QSpinBox;

namespace yl {

class SimOverviewView : public QWidget {
  Q_OBJECT
 public:
  // use_patterns: whether a new name follows its pattern in the table.
  SimOverviewView(SimOverviewPage& page, std::function<bool()> use_patterns,
                  QWidget* parent = nullptr);

  void Refresh();
  QLineEdit* first_year() const { return first_year_; }
  QLineEdit* num_years() const { return num_years_; }
  QLineEdit* name(int run) const { return names_[static_cast<std::size_t>(run)]; }
  QLabel* working_dir() const { return working_dir_; }
  QLabel* solution_method() const { return method_; }

 private:
  void Changed();

  SimOverviewPage& page_;
  std::function<bool()> use_patterns_;
  QLineEdit* first_year_;
  QLabel* starting_note_;
  QLineEdit* num_years_;
  QLabel* ending_note_;
  QListWidget* lengths_;
  QSpinBox* length_;
  std::array<QLabel*, 4> name_captions_{};
  std::array<QLineEdit*, 4> names_{};
  QLabel* working_dir_;
  QLabel* mapping_;
  QLabel* method_;
  QPushButton* select_map_;
  QPushButton* edit_map_;
  QGroupBox* re_;
  QCheckBox* do_re_;
  QWidget* re_controls_;
  std::array<QSpinBox*, 4> re_iterations_{};
  QSpinBox* re_policy_start_;
  QLabel* re_policy_note_;
  bool drawing_ = false;
};

}  // namespace yl
