#pragma once
// "Which Tasks to Do" as a dialog over the Qt-free dialog model.

#include <QDialog>
#include <array>
#include <functional>

#include "app/dialogs/tasks_dialog.h"

class QCheckBox;
class QComboBox;

namespace yl {

class TasksDialogWidget : public QDialog {
  Q_OBJECT
 public:
  TasksDialogWidget(const TasksDialogSetup& setup, std::function<void(int topic)> show_help,
                    QWidget* parent = nullptr);
  TasksDialogAnswer Answer() const { return model_.Answer(); }
  QComboBox* start() const { return start_; }
  QComboBox* end() const { return end_; }
  QCheckBox* ss() const { return ss_; }

 private:
  void Refresh();

  TasksDialog model_;
  bool drawing_ = false;
  QComboBox* start_;
  QComboBox* end_;
  QCheckBox* ss_;
  QCheckBox* none_;
  std::array<QCheckBox*, 4> runs_{};
  QCheckBox* deviations_;
};

AskTasks QtAskTasks(QWidget* parent, std::function<void(int topic)> show_help);

}  // namespace yl
