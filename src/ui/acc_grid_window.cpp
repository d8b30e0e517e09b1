#include "ui/acc_grid_window.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QScrollArea>
#include <QTabBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "ui/acc_detail_window.h"
#include "ui/accuracy_faces.h"

namespace yl {

AccGridWindow::AccGridWindow(AccGrid grid, Prompter& prompter, std::function<void(int)> show_help,
                             QWidget* parent)
    : QDialog(parent),
      grid_(std::move(grid)),
      prompter_(prompter),
      show_help_(std::move(show_help)) {
  setObjectName("accuracyGrid");
  auto* layout = new QVBoxLayout(this);
  tabs_ = new QTabBar(this);
  tabs_->setObjectName("accuracyGridKinds");
  tabs_->addTab("Variables");
  tabs_->addTab("Data");
  layout->addWidget(tabs_);
  auto* scroll = new QScrollArea(this);
  scroll->setWidgetResizable(true);
  cells_ = new QWidget(scroll);
  cells_layout_ = new QGridLayout(cells_);
  cells_layout_->setHorizontalSpacing(4);
  scroll->setWidget(cells_);
  layout->addWidget(scroll, 1);
  for (const char* line :
       {"Numbers: [ 0 = Least Accurate, 10 = Most Accurate ] ", "Click on Face or Number to see ",
        "  Accuracy Summary for relevant year and run.", "V: Worst Variables accuracy for run",
        "D: Worst Data accuracy for run"}) {
    layout->addWidget(new QLabel(line, this));
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Help, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::helpRequested, this, [this] {
    if (show_help_) show_help_(kHelpAccuracySummaries);
  });
  layout->addWidget(buttons);
  connect(tabs_, &QTabBar::currentChanged, this, [this](int index) {
    kind_ = index == 1 ? kAccData : kAccVariables;
    Fill();
  });
  Fill();
}

void AccGridWindow::Fill() {
  setWindowTitle(QString::fromStdString(AccGridTitle(grid_.overall, kind_)));
  while (QLayoutItem* item = cells_layout_->takeAt(0)) {
    delete item->widget();
    delete item;
  }
  if (grid_.rows.empty()) return;
  const auto& first = grid_.rows.front().cells;
  // Equal columns packed to the left, whatever the number of years.
  const int last = static_cast<int>(first.size()) + 1;
  for (int c = 1; c < last; ++c) {
    cells_layout_->setColumnMinimumWidth(c, 56);
    cells_layout_->setColumnStretch(c, 0);
  }
  cells_layout_->setColumnStretch(last, 1);
  cells_layout_->setRowStretch(static_cast<int>(grid_.rows.size()) + 1, 1);
  for (std::size_t c = 0; c < first.size(); ++c) {
    auto* year = new QLabel(QString::number(first[c].year), cells_);
    year->setAlignment(Qt::AlignCenter);
    cells_layout_->addWidget(year, 0, static_cast<int>(c) + 1);
  }
  for (std::size_t r = 0; r < grid_.rows.size(); ++r) {
    const AccGridRow& row = grid_.rows[r];
    const int line = static_cast<int>(r) + 1;
    auto* name = new QLabel(QString::fromStdString(row.name), cells_);
    QFont bold = name->font();
    bold.setBold(true);
    name->setFont(bold);
    cells_layout_->addWidget(name, line, 0);
    for (std::size_t c = 0; c < row.cells.size(); ++c) {
      const AccGridCell& cell = row.cells[c];
      const QString label = QString::fromStdString(AccCellLabel(cell, kind_));
      const int column = static_cast<int>(c) + 1;
      if (!cell.in_run) continue;
      if (!cell.present[kind_]) {
        auto* na = new QLabel(label, cells_);
        na->setAlignment(Qt::AlignCenter);
        cells_layout_->addWidget(na, line, column);
        continue;
      }
      auto* b = new QToolButton(cells_);
      b->setObjectName(QString("cell-%1-%2").arg(row.run).arg(cell.period));
      b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
      b->setAutoRaise(true);
      b->setIcon(QIcon(FacePixmap(cell.of[kind_].rating, 32)));
      b->setIconSize(QSize(32, 32));
      b->setText(label);
      b->setToolTip("Click on face to see details");
      if (cell.worst[kind_]) b->setStyleSheet("color: red; font-weight: bold;");
      connect(b, &QToolButton::clicked, this,
              [this, r, c] { OpenDetail(grid_.rows[r], grid_.rows[r].cells[c]); });
      cells_layout_->addWidget(b, line, column);
    }
  }
}

QToolButton* AccGridWindow::Cell(int run, int period) const {
  return cells_->findChild<QToolButton*>(QString("cell-%1-%2").arg(run).arg(period));
}

void AccGridWindow::OpenDetail(const AccGridRow& row, const AccGridCell& cell) {
  const auto summary = SolveAccuracySummary(cell.log_path, grid_.updated_files, prompter_);
  if (!summary) return;
  auto* detail = new AccDetailWindow(*summary, AccCellTitlePrefix(row, cell),
                                     kHelpAccuracySummaries, prompter_, show_help_, this);
  detail->setAttribute(Qt::WA_DeleteOnClose);
  last_detail_ = detail;
  detail->show();
}

std::function<void(const AccGrid&)> QtShowAccuracyGrid(QWidget* parent, Prompter& prompter,
                                                       std::function<void(int)> show_help) {
  return [parent, &prompter, show_help](const AccGrid& grid) {
    auto* w = new AccGridWindow(grid, prompter, show_help, parent);
    w->setAttribute(Qt::WA_DeleteOnClose);
    w->resize(
        std::min(1200, 140 + 62 * static_cast<int>(
                                      grid.rows.empty() ? 0 : grid.rows.front().cells.size())),
        420);
    w->show();
  };
}

}  // namespace yl
