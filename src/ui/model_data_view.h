#pragma once
// The Model/Data page: the model program and the first-year data list, drawn from the
// page model; a right click on a line offers that line's commands.

#include <QWidget>
#include <functional>

#include "app/pages/model_data_page.h"

class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace yl {

class ModelDataView : public QWidget {
  Q_OBJECT
 public:
  // model_changed: after "Change &Model" chose a model (other pages and menus follow it).
  ModelDataView(ModelDataPage& page, std::function<void()> model_changed,
                QWidget* parent = nullptr);

  void Refresh();
  // Entering the page: the list is checked, asking about files that have gone.
  void Entered();
  // The menu a right click on a row offers; run by the context menu and by tests.
  void RunLineAction(DataLineAction action, int row);

  QListWidget* data_list() const { return list_; }
  QLabel* model_label() const { return model_; }
  QPushButton* save_button() const { return save_; }

 private:
  void ShowLineMenu(const QPoint& at);

  ModelDataPage& page_;
  std::function<void()> model_changed_;
  QLabel* model_;
  QCheckBox* winconsole_;
  QListWidget* list_;
  QPushButton* save_;
  bool drawing_ = false;
};

}  // namespace yl
