#pragma once
// "Which Results to Save" over the Qt-free list of its groups and boxes.

#include <QDialog>
#include <array>
#include <functional>

#include "app/dialogs/results_to_save.h"

class QCheckBox;

namespace yl {

class ResultsToSaveDialog : public QDialog {
  Q_OBJECT
 public:
  ResultsToSaveDialog(const ResultsToSave& initial, int help_topic,
                      std::function<void(int topic)> show_help, QWidget* parent = nullptr);
  ResultsToSave Answer() const;
  QCheckBox* box(ResultsToSaveItem item) const { return boxes_[item]; }

 private:
  std::array<QCheckBox*, kNumResultsToSave> boxes_{};
};

AskResultsToSave QtAskResultsToSave(QWidget* parent, std::function<void(int topic)> show_help);

}  // namespace yl
