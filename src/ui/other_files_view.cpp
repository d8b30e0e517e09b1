#include "ui/other_files_view.h"

#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

#include "model/file_roles.h"

namespace yl {

OtherFilesView::OtherFilesView(const TSimRecord& sim, QWidget* parent)
    : QWidget(parent), sim_(sim) {
  auto* layout = new QVBoxLayout(this);
  auto* note = new QLabel(
      "The model's logical files, from its Dynamic Information file. Use \"Edit Dynamic Info "
      "File\" under the File menu to change them.",
      this);
  note->setWordWrap(true);
  layout->addWidget(note);
  table_ = new QTableWidget(this);
  table_->setColumnCount(static_cast<int>(kFileRolesColumns.size()));
  QStringList headers;
  for (const char* h : kFileRolesColumns) headers << h;
  table_->setHorizontalHeaderLabels(headers);
  table_->verticalHeader()->hide();
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  table_->horizontalHeader()->setStretchLastSection(true);
  layout->addWidget(table_, 1);
}

void OtherFilesView::Refresh() {
  const std::vector<FileRolesRow> rows = FileRolesRows(sim_);
  table_->setRowCount(static_cast<int>(rows.size()));
  for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
    for (int c = 0; c < static_cast<int>(rows[r].size()); ++c) {
      auto* item = new QTableWidgetItem(QString::fromStdString(rows[r][c]));
      table_->setItem(r, c, item);
    }
  }
}

}  // namespace yl
