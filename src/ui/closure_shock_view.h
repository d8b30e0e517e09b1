#pragma once
// The Closure/Shock page: the table of closure, shock and CMFSTART files by period, drawn
// from the page model, with its buttons, legend and right-click menus.

#include <QWidget>

#include "app/pages/closure_page.h"

class QLabel;
class QTableWidget;

namespace yl {

class ClosureShockView : public QWidget {
  Q_OBJECT
 public:
  ClosureShockView(ClosureShockPage& page, QWidget* parent = nullptr);

  // Redraws from the record; the active cell stays where it was.
  void Refresh();
  // The page was entered: refreshed, with the active cell on the first period's closure.
  void Entered();
  QTableWidget* table() const { return table_; }
  GridSelection Selection() const;
  // The right-click menu at a grid cell, as the user would get it (tests pick from it).
  void ShowMenuAt(int grid_row, int grid_col, const QPoint& where);

 private:
  void CellEdited(int grid_row, int grid_col);

  ClosureShockPage& page_;
  QLabel* top_line_;
  QTableWidget* table_;
  bool drawing_ = false;
};

}  // namespace yl
