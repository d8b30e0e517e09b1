#pragma once
// The grid of accuracy faces, every year of every run; a face or number opens the
// detail of that solve.

#include <QDialog>
#include <QPointer>
#include <functional>

#include "app/commands/accuracy_command.h"

class QGridLayout;
class QTabBar;
class QToolButton;

namespace yl {

class AccGridWindow : public QDialog {
  Q_OBJECT
 public:
  AccGridWindow(AccGrid grid, Prompter& prompter, std::function<void(int)> show_help,
                QWidget* parent = nullptr);
  QTabBar* tabs() const { return tabs_; }
  const AccGrid& grid() const { return grid_; }
  // The cell of a run and period ("cell-{run}-{period}"); null when it shows no face.
  QToolButton* Cell(int run, int period) const;
  // The detail window a cell opened last (it stays open beside the grid).
  QDialog* last_detail() const { return last_detail_.data(); }

 private:
  void Fill();
  void OpenDetail(const AccGridRow& row, const AccGridCell& cell);

  AccGrid grid_;
  Prompter& prompter_;
  std::function<void(int)> show_help_;
  AccKind kind_ = kAccVariables;
  QTabBar* tabs_;
  QWidget* cells_ = nullptr;
  QGridLayout* cells_layout_ = nullptr;
  QPointer<QDialog> last_detail_;
};

// The window's hook: shows the grid beside the main window.
std::function<void(const AccGrid&)> QtShowAccuracyGrid(QWidget* parent, Prompter& prompter,
                                                       std::function<void(int)> show_help);

}  // namespace yl
