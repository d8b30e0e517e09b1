#pragma once
// "Which Periods to Omit at the Start": how many periods, and whether the first-year data
// move to the files the Base wrote; the label says what will happen as the choice changes.

#include <QDialog>
#include <functional>

#include "app/dialogs/omit_periods.h"

class QCheckBox;
class QLabel;
class QSpinBox;

namespace yl {

class OmitPeriodsDialog : public QDialog {
  Q_OBJECT
 public:
  OmitPeriodsDialog(const OmitDialogTexts& texts, const TSimRecord& sim,
                    std::function<void(int topic)> show_help, QWidget* parent = nullptr);

  OmitRequest Request() const;
  QSpinBox* count() const { return count_; }
  QCheckBox* replace() const { return replace_; }
  QLabel* label() const { return label_; }

 private:
  void Refresh();

  const TSimRecord& sim_;
  QSpinBox* count_;
  QCheckBox* replace_;
  QLabel* label_;
};

// Runs the dialog modally over parent.
AskOmitPeriods QtAskOmitPeriods(QWidget* parent, std::function<void(int topic)> show_help);

}  // namespace yl
