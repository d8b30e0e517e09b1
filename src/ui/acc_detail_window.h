#pragma once
// " Accuracy Summary": the accuracy of one solve, a bar per number of figures, over the
// Qt-free AccDetail.

#include <QDialog>
#include <functional>

#include "app/dialogs/acc_detail.h"

class QComboBox;
class QLabel;
class QTabBar;

namespace yl {

class AccBarsWidget;

class AccDetailWindow : public QDialog {
  Q_OBJECT
 public:
  AccDetailWindow(const AccSummary& summary, const std::string& prefix, int help_topic,
                  Prompter& prompter, std::function<void(int)> show_help,
                  QWidget* parent = nullptr);
  const AccDetail& model() const { return model_; }
  QComboBox* slots_list() const { return slots_; }
  QTabBar* tabs() const { return tabs_; }
  QWidget* face_strip() const { return strip_; }
  QLabel* face_hint() const { return hint_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Refresh();

  AccDetail model_;
  Prompter& prompter_;
  bool drawing_ = false;
  QComboBox* slots_;
  AccBarsWidget* bars_;
  QTabBar* tabs_;
  QLabel* hint_;
  QWidget* strip_;
};

}  // namespace yl
