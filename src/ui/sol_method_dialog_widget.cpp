#include "ui/sol_method_dialog_widget.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <QVBoxLayout>

#include "cmf/sol_method.h"

namespace yl {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

SolMethodDialogWidget::SolMethodDialogWidget(const SolMethodSetting& editing, bool alternative,
                                             Prompter& prompter,
                                             std::function<void(int topic)> show_help,
                                             QWidget* parent)
    : QDialog(parent), model_(editing, alternative), prompter_(prompter) {
  setWindowTitle(Q(model_.View().title));
  auto* layout = new QVBoxLayout(this);

  auto* top = new QHBoxLayout;
  auto* kind_box = new QGroupBox("Method", this);
  auto* kind_layout = new QVBoxLayout(kind_box);
  kinds_ = new QButtonGroup(this);
  for (int k = kJohansen; k <= kMidpoint; ++k) {
    auto* b = new QRadioButton(Q(SolMethodName(k)), kind_box);
    b->setObjectName(Q("method" + SolMethodName(k)));
    kinds_->addButton(b, k);
    kind_layout->addWidget(b);
  }
  top->addWidget(kind_box);

  auto* count_box = new QGroupBox("Number of solutions", this);
  auto* count_layout = new QVBoxLayout(count_box);
  solutions_ = new QButtonGroup(this);
  for (int n = 1; n <= 3; ++n) {
    auto* b =
        new QRadioButton(n == 1 ? "1 solution" : Q(std::to_string(n) + " solutions"), count_box);
    b->setObjectName(Q("solutions" + std::to_string(n)));
    solutions_->addButton(b, n);
    count_layout->addWidget(b);
  }
  top->addWidget(count_box);

  auto* steps_box = new QGroupBox("Steps", this);
  auto* steps_layout = new QGridLayout(steps_box);
  auto* digits = new QRegularExpressionValidator(QRegularExpression("[0-9]{0,3}"), this);
  for (int i = 0; i < 3; ++i) {
    step_labels_[i] = new QLabel(Q("Solution " + std::to_string(i + 1)), steps_box);
    steps_[i] = new QLineEdit(steps_box);
    steps_[i]->setObjectName(Q("steps" + std::to_string(i + 1)));
    steps_[i]->setValidator(digits);
    steps_[i]->setMaxLength(3);
    steps_[i]->setMaximumWidth(60);
    steps_layout->addWidget(step_labels_[i], i, 0);
    steps_layout->addWidget(steps_[i], i, 1);
    connect(steps_[i], &QLineEdit::textEdited, this, [this, i](const QString& text) {
      model_.SetStepText(i + 1, text.toStdString());
      Refresh();
    });
  }
  subintervals_label_ = new QLabel("Sub-intervals", steps_box);
  subintervals_ = new QSpinBox(steps_box);
  subintervals_->setObjectName("subintervals");
  steps_layout->addWidget(subintervals_label_, 3, 0);
  steps_layout->addWidget(subintervals_, 3, 1);
  top->addWidget(steps_box);
  layout->addLayout(top);

  auto_accuracy_ = new QCheckBox("Automatic Accuracy", this);
  auto_accuracy_->setObjectName("autoAccuracy");
  layout->addWidget(auto_accuracy_);

  accuracy_ = new QGroupBox("Automatic accuracy", this);
  accuracy_->setObjectName("accuracyGroup");
  auto* form = new QFormLayout(accuracy_);
  percent_ = new QSpinBox(accuracy_);
  percent_->setRange(60, 99);
  percent_->setSingleStep(5);
  percent_->setSuffix(" %");
  form->addRow("Required accuracy", percent_);
  figures_ = new QSpinBox(accuracy_);
  figures_->setRange(1, 6);
  form->addRow("Significant figures", figures_);
  min_length_ = new QComboBox(accuracy_);
  for (int n = 1; n <= 9; ++n) min_length_->addItem(Q("1E-" + std::to_string(n)));
  form->addRow("Minimum subinterval length", min_length_);
  auto* fails = new QWidget(accuracy_);
  auto* fails_layout = new QHBoxLayout(fails);
  fails_layout->setContentsMargins(0, 0, 0, 0);
  stop_ = new QRadioButton("STOP", fails);
  continue_ = new QRadioButton("Continue", fails);
  fails_layout->addWidget(stop_);
  fails_layout->addWidget(continue_);
  fails_layout->addStretch();
  form->addRow("If the minimum subinterval fails", fails);
  criterion_ = new QComboBox(accuracy_);
  for (int c = kCriterionData; c <= kCriterionBoth; ++c) criterion_->addItem(Q(CriterionName(c)));
  form->addRow("Accuracy criterion", criterion_);
  auto* warning = new QLabel(kAutoAccuracyWarning, accuracy_);
  warning->setWordWrap(true);
  form->addRow(warning);
  layout->addWidget(accuracy_);

  auto* buttons = new QDialogButtonBox(
      QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(buttons, &QDialogButtonBox::helpRequested, this, [show_help] {
    if (show_help) show_help(kHelpSolutionMethods);
  });

  connect(kinds_, &QButtonGroup::idClicked, this, [this](int kind) {
    model_.ChooseKind(kind);
    Refresh();
  });
  connect(solutions_, &QButtonGroup::idClicked, this, [this](int count) {
    model_.ChooseSolutions(count);
    Refresh();
  });
  connect(auto_accuracy_, &QCheckBox::toggled, this, [this](bool on) {
    if (drawing_) return;
    model_.SetAutoAccuracy(on);
    Refresh();
  });
  connect(subintervals_, &QSpinBox::valueChanged, this, [this](int n) {
    if (drawing_) return;
    model_.SetSubintervals(n);
    Refresh();
  });
  connect(percent_, &QSpinBox::valueChanged, this, [this](int v) {
    if (!drawing_) model_.SetPercent(v);
  });
  connect(figures_, &QSpinBox::valueChanged, this, [this](int v) {
    if (!drawing_) model_.SetFigures(v);
  });
  connect(min_length_, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (!drawing_ && index >= 0) model_.SetMinLengthExponent(-(index + 1));
  });
  connect(stop_, &QRadioButton::toggled, this, [this](bool on) {
    if (!drawing_) model_.SetStopOnFailure(on);
  });
  connect(criterion_, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (!drawing_ && index >= 0) model_.SetCriterion(index);
  });
  Refresh();
}

void SolMethodDialogWidget::Refresh() {
  const SolMethodDialogView v = model_.View();
  drawing_ = true;
  if (QAbstractButton* b = kinds_->button(v.kind)) b->setChecked(true);
  if (QAbstractButton* b = solutions_->button(v.solutions)) b->setChecked(true);
  for (QAbstractButton* b : solutions_->buttons()) b->setEnabled(v.solutions_enabled);
  for (int i = 0; i < 3; ++i) {
    const QString text = Q(v.step_text[static_cast<std::size_t>(i)]);
    // Rewriting the field being typed in would move its cursor.
    if (steps_[i]->text() != text) steps_[i]->setText(text);
    steps_[i]->setVisible(v.step_visible[static_cast<std::size_t>(i)]);
    step_labels_[i]->setVisible(v.step_visible[static_cast<std::size_t>(i)]);
  }
  steps_[0]->setEnabled(v.step1_enabled);
  auto_accuracy_->setEnabled(v.auto_accuracy_enabled);
  auto_accuracy_->setChecked(v.auto_accuracy_checked);
  subintervals_->setRange(1, v.subintervals_max);
  subintervals_->setValue(v.subintervals);
  subintervals_->setVisible(v.subintervals_visible);
  subintervals_label_->setVisible(v.subintervals_visible);
  accuracy_->setVisible(v.accuracy_group_visible);
  percent_->setValue(v.percent);
  figures_->setValue(v.figures);
  min_length_->setCurrentIndex(-v.min_length_exponent - 1);
  stop_->setChecked(v.stop_on_failure);
  continue_->setChecked(!v.stop_on_failure);
  criterion_->setCurrentIndex(v.criterion);
  drawing_ = false;
  adjustSize();
}

void SolMethodDialogWidget::accept() {
  const SolMethodOkResult r = model_.Ok(prompter_);
  if (!r.accepted) {
    if (r.focus != SolStepField::kNone) {
      QLineEdit* field = steps_[static_cast<std::size_t>(static_cast<int>(r.focus) - 1)];
      field->setFocus();
      field->selectAll();
    }
    return;
  }
  if (r.changed) changed_ = model_.Setting();
  QDialog::accept();
}

void SolMethodDialogWidget::reject() {
  (void)model_.Cancel();
  changed_.reset();
  QDialog::reject();
}

SolMethodDialogRunner QtSolMethodDialogRunner(QWidget* parent, Prompter& prompter,
                                              std::function<void(int topic)> show_help) {
  return [parent, &prompter, show_help](const SolMethodSetting& current,
                                        bool alternative) -> std::optional<SolMethodSetting> {
    SolMethodDialogWidget dialog(current, alternative, prompter, show_help, parent);
    dialog.exec();
    return dialog.changed();
  };
}

}  // namespace yl
