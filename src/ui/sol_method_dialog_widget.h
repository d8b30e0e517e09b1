#pragma once
// "Choose Solution Method" as a dialog: every control forwards to the Qt-free dialog
// model and is redrawn from its view, so the rules live in one place.

#include <QDialog>
#include <array>
#include <functional>
#include <optional>

#include "app/commands/sol_method_menu.h"
#include "app/dialogs/sol_method_dialog.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QSpinBox;

namespace yl {

class SolMethodDialogWidget : public QDialog {
  Q_OBJECT
 public:
  SolMethodDialogWidget(const SolMethodSetting& editing, bool alternative, Prompter& prompter,
                        std::function<void(int topic)> show_help, QWidget* parent = nullptr);

  // The new setting after OK, when the dialog reported a change.
  const std::optional<SolMethodSetting>& changed() const { return changed_; }
  const SolMethodDialog& model() const { return model_; }

  void accept() override;
  void reject() override;

 private:
  void Refresh();

  SolMethodDialog model_;
  Prompter& prompter_;
  std::optional<SolMethodSetting> changed_;
  bool drawing_ = false;
  QButtonGroup* kinds_ = nullptr;
  QButtonGroup* solutions_ = nullptr;
  std::array<QLineEdit*, 3> steps_{};
  std::array<QLabel*, 3> step_labels_{};
  QLabel* subintervals_label_ = nullptr;
  QSpinBox* subintervals_ = nullptr;
  QCheckBox* auto_accuracy_ = nullptr;
  QGroupBox* accuracy_ = nullptr;
  QSpinBox* percent_ = nullptr;
  QSpinBox* figures_ = nullptr;
  QComboBox* min_length_ = nullptr;
  QRadioButton* stop_ = nullptr;
  QRadioButton* continue_ = nullptr;
  QComboBox* criterion_ = nullptr;
};

// Runs the dialog modally over parent.
SolMethodDialogRunner QtSolMethodDialogRunner(QWidget* parent, Prompter& prompter,
                                              std::function<void(int topic)> show_help);

}  // namespace yl
