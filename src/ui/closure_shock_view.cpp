#include "ui/closure_shock_view.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>
#include <set>

namespace yl {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

QColor ColourOf(Rgb c) { return QColor(c.r, c.g, c.b); }

bool IsTableCell(int grid_row, int grid_col) {
  return grid_row >= kGridCMFStartRow && grid_col >= 1 && grid_col <= 4;
}

// Cells hold short names: at most nine characters, as the files' stems allow.
class CellDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override {
    QWidget* w = QStyledItemDelegate::createEditor(parent, option, index);
    if (auto* edit = qobject_cast<QLineEdit*>(w)) edit->setMaxLength(kCellEditorMaxLength);
    return w;
  }
};

QLabel* Legend(const char* text, Rgb colour, QWidget* parent) {
  auto* l = new QLabel(text, parent);
  l->setStyleSheet(QString("color: %1;").arg(ColourOf(colour).name()));
  return l;
}

}  // namespace

ClosureShockView::ClosureShockView(ClosureShockPage& page, QWidget* parent)
    : QWidget(parent), page_(page) {
  auto* layout = new QVBoxLayout(this);
  top_line_ = new QLabel(this);
  top_line_->setTextFormat(Qt::PlainText);
  layout->addWidget(top_line_);

  table_ = new QTableWidget(this);
  table_->setColumnCount(kGridColumns);
  table_->horizontalHeader()->hide();
  table_->verticalHeader()->hide();
  table_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  table_->setContextMenuPolicy(Qt::CustomContextMenu);
  table_->setItemDelegate(new CellDelegate(table_));
  table_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                          QAbstractItemView::AnyKeyPressed);
  table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  table_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
  layout->addWidget(table_, 1);
  connect(table_, &QTableWidget::cellChanged, this, &ClosureShockView::CellEdited);
  connect(table_, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
    const QModelIndex index = table_->indexAt(pos);
    if (!index.isValid()) return;
    ShowMenuAt(index.row(), index.column(), table_->viewport()->mapToGlobal(pos));
  });

  auto* row = new QHBoxLayout;
  auto* follow = new QPushButton("Follow Pattern", this);
  auto* previous = new QPushButton("As Previous", this);
  connect(follow, &QPushButton::clicked, this, [this] {
    page_.FollowPattern(Selection());
    Refresh();
  });
  connect(previous, &QPushButton::clicked, this, [this] {
    page_.AsPrevious(Selection());
    Refresh();
  });
  row->addWidget(follow);
  row->addWidget(previous);
  row->addSpacing(24);
  row->addWidget(Legend(kLegendMissing, kRedText, this));
  row->addSpacing(12);
  row->addWidget(Legend(kLegendConstituent, kGreenText, this));
  row->addStretch();
  row->addWidget(new QLabel(kLegendRightClick, this));
  layout->addLayout(row);
}

GridSelection ClosureShockView::Selection() const {
  GridSelection s;
  std::set<std::pair<int, int>> seen;
  for (const QModelIndex& i : table_->selectionModel()->selectedIndexes()) {
    if (!IsTableCell(i.row(), i.column())) continue;
    if (seen.insert({i.row(), i.column()}).second) {
      s.cells.push_back({TableRowOfGridRow(i.row()), i.column()});
    }
  }
  const int r = table_->currentRow();
  const int c = table_->currentColumn();
  s.active = {r >= 0 ? TableRowOfGridRow(r) : -3, c >= 1 ? c : 1};
  return s;
}

void ClosureShockView::Refresh() {
  const std::optional<TableView> view = page_.Refresh();
  if (!view) return;
  drawing_ = true;
  top_line_->setText(Q(view->TopLine));
  const GridSelection before = Selection();
  const auto grid = page_.Grid(before.active.row >= -1 ? before.active : CellRef{1, 1});
  table_->setRowCount(static_cast<int>(grid.size()));
  for (int r = 0; r < static_cast<int>(grid.size()); ++r) {
    for (int c = 0; c < kGridColumns && c < static_cast<int>(grid[r].size()); ++c) {
      const GridCell& cell = grid[r][c];
      QTableWidgetItem* item = table_->item(r, c);
      if (!item) {
        item = new QTableWidgetItem;
        table_->setItem(r, c, item);
      }
      item->setText(Q(cell.text));
      item->setForeground(ColourOf(cell.colour));
      QFont f = item->font();
      f.setBold(cell.bold);
      item->setFont(f);
      Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
      if (IsTableCell(r, c)) {
        flags |= Qt::ItemIsEditable;
      } else {
        item->setBackground(palette().window());
      }
      item->setFlags(flags);
    }
  }
  drawing_ = false;
}

void ClosureShockView::Entered() {
  Refresh();
  table_->setCurrentCell(GridRowOfTableRow(1), 1);
}

void ClosureShockView::CellEdited(int grid_row, int grid_col) {
  if (drawing_ || !IsTableCell(grid_row, grid_col)) return;
  const QString text = table_->item(grid_row, grid_col)->text();
  page_.Type({TableRowOfGridRow(grid_row), grid_col}, text.toStdString());
  Refresh();
}

void ClosureShockView::ShowMenuAt(int grid_row, int grid_col, const QPoint& where) {
  // The active cell follows the right click, unless it falls inside a selection.
  const auto selected = table_->selectedItems();
  const bool inside = table_->item(grid_row, grid_col) &&
                      table_->item(grid_row, grid_col)->isSelected() && selected.size() > 1;
  if (!inside) table_->setCurrentCell(grid_row, grid_col);
  QMenu menu(this);
  switch (page_.PopupAt(grid_row, grid_col)) {
    case GridPopup::kCellMenu: {
      const GridSelection selection = Selection();
      for (const CellMenuEntry& e : page_.CellMenu(selection)) {
        QAction* a = menu.addAction(Q(e.caption));
        a->setEnabled(e.enabled);
        connect(a, &QAction::triggered, this, [this, action = e.action, selection] {
          page_.Run(action, selection);
          Refresh();
        });
      }
      break;
    }
    case GridPopup::kSolMethodMenu: {
      const int period = TableRowOfGridRow(grid_row);
      for (const PeriodMenuEntry& e : page_.PeriodMenu()) {
        QAction* a = menu.addAction(Q(e.caption));
        a->setEnabled(e.enabled);
        connect(a, &QAction::triggered, this, [this, action = e.action, period] {
          page_.Run(action, period);
          Refresh();
        });
      }
      break;
    }
    case GridPopup::kNone:
      return;
  }
  menu.setObjectName("cellMenu");
  menu.exec(where);
}

}  // namespace yl
