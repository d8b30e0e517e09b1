#pragma once
// The Other files page: the model's logical files with their keys, types and roles, as the
// Dynamic Information file gives them. It is read-only; the DIN file is edited from the
// File menu.

#include <QWidget>

class QTableWidget;

namespace yl {

struct TSimRecord;

class OtherFilesView : public QWidget {
  Q_OBJECT
 public:
  OtherFilesView(const TSimRecord& sim, QWidget* parent = nullptr);
  void Refresh();
  QTableWidget* table() const { return table_; }

 private:
  const TSimRecord& sim_;
  QTableWidget* table_;
};

}  // namespace yl
